#pragma once

#include <QString>
#include <string_view>

#include "store/CatalogTree.h"
#include "store/ListFormats.h"

namespace ardvel::gui {

/// What the search panel needs of the window it sits in: the catalog tree
/// it searches, the node the Look-in list calls the current folder, the
/// shared sort order, the status bar, and a way back to folders mode.
class SearchHost {
public:
    virtual CatalogTree& Tree() = 0;
    /// The node selected in the catalog tree (kNoNode when none).
    virtual NodeId SelectedNode() const = 0;
    /// The sort column and direction the results list shares with the
    /// folder list.
    virtual SortState CurrentSort() const = 0;
    /// True while the search mode's pane is on show.
    virtual bool InSearchMode() const = 0;
    /// True while the folder list (not the results list) is on show.
    virtual bool FolderListShown() const = 0;
    virtual QString StatusText(int panel) const = 0;
    virtual void SetStatusText(int panel, const QString& text) = 0;
    /// The busy cursor over the window while a search runs.
    virtual void SetBusy(bool busy) = 0;
    /// Leaves search mode and opens `node` in the folder list.
    virtual void ShowFolder(NodeId node) = 0;
    /// Leaves search mode, opens `folder` and selects, in view, its row of
    /// the folder (`folderRow`) or file named `name`.
    virtual void ShowFolderRow(NodeId folder, std::string_view name, bool folderRow) = 0;

protected:
    ~SearchHost() = default;
};

}  // namespace ardvel::gui
