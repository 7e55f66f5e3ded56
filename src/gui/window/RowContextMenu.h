#pragma once

// The context menu of a row of the catalog tree, the folder list or the
// search results. The menu is built apart from showing it, so that what it
// offers can be read and its items run without a popup.

#include <functional>
#include <memory>
#include <vector>

class QAction;
class QMenu;
class QWidget;

namespace ardvel::gui {

/// Where a row's context menu was asked for.
enum class RowPlace { Tree, FolderList, Results };

/// What the menu offers for the rows under it, and what each item runs.
struct RowMenuItems {
    RowPlace Place = RowPlace::Tree;
    bool HasRow = false;    ///< a row is selected: Copy Path
    bool CanOpen = false;   ///< a folder, volume or (results) file row: Open
    bool IsVolume = false;  ///< a volume row: Rename and Delete
    std::function<void()> Open, OpenContainingFolder, CopyPath, Rename, Delete;
    /// The window's "Find Copies", in the menus of both lists.
    QAction* FindCopies = nullptr;
    /// Further commands on a volume (Update Volume...), after Delete; the
    /// actions enable themselves.
    std::vector<QAction*> VolumeCommands;
};

/// Object names of the menu's own items.
inline constexpr const char* kRowOpen = "RowOpen";
inline constexpr const char* kRowOpenFolder = "RowOpenFolder";
inline constexpr const char* kRowCopyPath = "RowCopyPath";
inline constexpr const char* kRowRename = "RowRename";
inline constexpr const char* kRowDelete = "RowDelete";

/// Builds, without showing it, the menu: Open, Open Containing Folder (the
/// results), Copy Path, then Rename and Delete (the tree and the folder
/// list, enabled on a volume row) and Find Copies (both lists). Items that
/// do not apply to the rows are disabled, not left out, so that the menu
/// keeps its shape.
std::unique_ptr<QMenu> BuildRowMenu(QWidget* parent, const RowMenuItems& items);

/// The menu item of `menu` with that object name, or nullptr.
QAction* RowMenuItem(const QMenu& menu, const char* name);

}  // namespace ardvel::gui
