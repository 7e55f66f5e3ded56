#pragma once

#include <QMainWindow>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "cataloguing/CataloguingHost.h"
#include "help/HelpCommands.h"
#include "platform/Locale.h"
#include "search/SearchHost.h"
#include "store/CatalogTree.h"
#include "store/ListFormats.h"
#include "update/UpdateHost.h"
#include "window/FormWidgets.h"
#include "window/NavigationHistory.h"
#include "window/RowContextMenu.h"

class QActionGroup;
namespace ardvel::gui {
struct ViewSettings;
}
class QLabel;
class QMenu;
class QStackedWidget;
class QWidget;

namespace ardvel::gui {

class CatalogFolderWatch;
struct CatalogFolderChanges;
class CatalogTreeModel;
class FolderListModel;
class ListRowsModel;
class PathBox;
class StyledListView;
class TSearchPanel;
class UserDialogs;

/// The main window: the catalog tree on the left, the open folder's
/// contents on the right, the history and path bar above, the status bar
/// below. The window holds the one catalog tree of the program.
///
/// Creating the window reads the settings, loads the catalog folder (with
/// the splash window) and opens the root; closing or destroying it writes
/// the settings.
class TArdvelForm final : public QMainWindow, public SearchHost, public CataloguingHost, public UpdateHost {
    Q_OBJECT
public:
    static constexpr const char* kCaption = "Ardvel 1.4";

    /// `locale` gives every list its formats and order; `dialogs` answers
    /// every message box. Both must outlive the window.
    TArdvelForm(const Locale& locale, UserDialogs& dialogs, QWidget* parent = nullptr);
    ~TArdvelForm() override;

    // -- the store ------------------------------------------------------------

    CatalogTreeModel& TreeModel() noexcept { return *treeModel_; }
    FolderListModel& ListModel() noexcept { return *listModel_; }
    const NavigationHistory& History() const noexcept { return history_; }

    // -- tree and folder list ----------------------------------------------

    /// The node selected in the tree (kNoNode when none).
    NodeId SelectedNode() const override;
    /// Selects a node in the tree (nothing is opened).
    void SelectNode(NodeId node) override;
    /// The node last opened by CatalogClick, Back or Forward (kNoNode when
    /// none, or when it has left the tree).
    NodeId OpenNode() const;

    /// Opens the selected node: fills the list and, after the first
    /// opening, enters it into the history. The node already open is left
    /// as it is.
    void CatalogClick();
    /// Fills the folder list from the selected node.
    void FillList();
    void ListViewColumnClick(StyledListView* list, int column);
    /// Both lists' headers show the shared sort column and direction.
    void ShowSortIndicators();
    /// Space on a list: the selected folder row shows its subtree's size.
    void ListViewKeyDown(StyledListView* list);
    void ListViewDblClick();
    void UpButClick();

    // -- history and path box ------------------------------------------------

    void UpdateHistoryMenus();
    void BackButClick();
    void ForwButClick();
    /// Item `k` of the Back menu (0: the nearest entry).
    void BackMenuClick(int k);
    void ForwMenuClick(int k);
    void PathBoxCloseUp();
    void GoToPath();

    // -- catalog commands ------------------------------------------------------

    /// "&New Catalog...": opens the cataloguing dialog once there is one.
    void CreateNewExecute();
    /// Sets the handler "&New Catalog..." runs.
    void SetCreateNewHandler(std::function<void()> handler) { createNewHandler_ = std::move(handler); }
    void SetCatDirClick();
    void RepaintExecute();
    void Rename1Execute();
    /// The end of a rename edit; true when the volume took the new name.
    bool CatalogEdited(NodeId node, const QString& text);
    void Delete1Execute();
    void QuitExecute();
    /// Replaces every volume with the catalogs of the catalog folder.
    void LoadCatalogs();
    /// Reads again what other programs changed in the catalog folder: new
    /// catalogs are added, removed ones leave, rewritten ones are read
    /// anew. The open folder, the selections and the history stay where
    /// their folders still exist (ArdvelFormWatch.cpp).
    void CatalogFolderChanged();

    // -- layout, views, settings -------------------------------------------------

    void LoadSettings();
    void SaveSettings();
    void ToggleToolbars();
    void AdjustColsExecute();
    /// With Auto Resize off the Name column of both lists takes the width
    /// the other columns leave; with it on the columns fit their texts.
    void AutoAdjustClick();
    /// Item `k` (0 large icons, 1 small icons, 2 list, 3 details) of either
    /// view-style menu.
    void ViewsClick(int k);
    void XButClick();
    /// The click of either mode button (Search, Folders).
    void ToggleSearch();
    /// True while the folder list (not the search results) is on show.
    bool FolderListShown() const override;

    // -- Look-in list ------------------------------------------------------------

    void RefreshLookIn();

    // -- duplicates (ArdvelFormDuplicates.cpp) -------------------------------------

    /// Tools > "Find &Duplicates...": the dialog; a double-clicked row's
    /// folder opens once it has closed.
    void FindDuplicatesExecute();
    /// "Find Copies" on the selected file row of `list`: the file and every
    /// other record with its name and size, in the results list, the file
    /// first and in bold.
    void FindCopiesExecute(StyledListView* list);
    /// Whether `list` has a file row selected that Find Copies can start from.
    bool CanFindCopies(StyledListView* list) const;

    // -- row menus and paths (ArdvelFormRows.cpp) ---------------------------------

    /// The context menu of the selected rows of `place`, built but not
    /// shown (a right click shows it).
    std::unique_ptr<QMenu> RowMenu(RowPlace place);
    /// Offers `command` in the tree's row menu, after Delete, enabled on volumes.
    void AddVolumeCommand(QAction* command) { volumeCommands_.push_back(command); }
    /// The node paths of the selected rows of `place`, one a line.
    QString SelectedRowPaths(RowPlace place) const;
    /// Ctrl+C and Copy Path: the selected rows' paths go to the clipboard.
    void CopyPathExecute(RowPlace place);
    void ShowFolderRow(NodeId folder, std::string_view name, bool folderRow) override;

    // -- help ----------------------------------------------------------------------

    void HelpContentsExecute();
    void UpdateClick();
    void About1Click();
    void SetUrlOpener(UrlOpener opener) { urlOpener_ = std::move(opener); }

    // -- for the search panel and the cataloguing dialog ------------------------

    /// The search controls and the running search.
    TSearchPanel& SearchPanel() noexcept { return *searchPanel_; }

    QWidget* DialogParent() override { return this; }
    CatalogTree& Tree() noexcept override { return *tree_; }
    const CatalogTree& Tree() const noexcept { return *tree_; }
    const std::string& CatalogFolder() const noexcept override { return catalogFolder_; }
    /// The sort column and direction shared by both lists.
    SortState CurrentSort() const override { return sort_; }
    bool InSearchMode() const override;
    QString StatusText(int panel) const override;
    void SetStatusText(int panel, const QString& text) override;
    void SetBusy(bool busy) override;
    void ShowFolder(NodeId node) override;
    void BeginTreeChange() override;
    void EndTreeChange() override;
    bool IsExpanded(NodeId node) const override;
    void Expand(NodeId node) override;
    void OpenSelected() override;
    void VolumesChanged() override;
    void VolumeContentsReplaced(NodeId volume) override;
    /// Removes a volume node from the tree and from every view of it, then
    /// opens the node the tree selects instead. Its catalog file is left.
    void RemoveVolume(NodeId node) override;

protected:
    void closeEvent(QCloseEvent* event) override;
    QMenu* createPopupMenu() override { return nullptr; }

private:
    friend class ArdvelFormTestAccess;

    /// Shows the folder of a history entry reached by Back or Forward.
    void ShowHistoryEntry(const NavigationHistory::Entry* entry);
    // Building the window (ArdvelFormLayout.cpp).
    void BuildActions();
    void BuildViewActions();
    /// Keys without a menu item: Backspace and Alt+Up go up, Alt+Left and
    /// Alt+Right go back and forward, Ctrl+F searches.
    void BuildKeys();
    void BuildMenuBar();
    /// A caption button of the menu bar opening a new menu.
    QMenu* AddBarMenu(const char* name, const QString& caption);
    void BuildToolbars();
    void BuildModeButtons();
    void BuildPathBar();
    void BuildWorkArea();
    QFrame* BuildLeftPane(QWidget* parent);
    QWidget* BuildLists(QWidget* parent);
    void BuildStatusBar();
    void BuildSearchPanel();
    void BuildDuplicateActions();
    /// The context menus of the tree and both lists, and their Ctrl+C.
    void BuildRowMenus();
    /// Open on a row of `place`.
    void OpenRow(RowPlace place);
    /// The volume a selected row of `place` stands for, or kNoNode.
    NodeId RowVolume(RowPlace place) const;
    /// Rename and Delete of a volume (the tree's selection or a row of the
    /// list of volumes); Delete asks first.
    void RenameVolume(NodeId node);
    void DeleteVolume(NodeId node);
    void FormCreate();
    void FormDestroy();
    // The window's size and place, the splitter and the Details column
    // widths of both lists (ArdvelFormPlacement.cpp); what the settings
    // leave out keeps the first run's.
    void RestorePlacement(const ViewSettings& settings);
    void KeepPlacement(ViewSettings& settings) const;

    StyledListView* ShownList() const;
    ListRowsModel* RowsOf(StyledListView* list) const;
    void ShowList(StyledListView* list);
    void EnterFoldersMode();
    void WriteCatalogCount();
    void WriteRowCount();
    void WriteCurrentFolderEntry(NodeId node);
    /// After nodes left the tree: no list, history entry or open node may
    /// refer to them.
    void ForgetRemovedNodes();
    /// Where the user is, by paths, to be found again once volumes were
    /// read anew.
    struct ViewPlace;
    ViewPlace RememberPlace() const;
    /// The box listing the catalog files that could not be read ("PATH: message").
    void ReportUnreadCatalogs(const QStringList& lines);
    void ReturnToPlace(const ViewPlace& place);
    /// Removes the volumes of `changes` and reads its files; the messages
    /// of the files that failed.
    QStringList ApplyFolderChanges(const CatalogFolderChanges& changes);

    FormWidgets w_;
    const Locale& locale_;
    UserDialogs& dialogs_;
    std::unique_ptr<CatalogTree> tree_;
    CatalogTreeModel* treeModel_ = nullptr;
    FolderListModel* listModel_ = nullptr;
    std::string catalogFolder_;
    std::optional<bool> searchAsYouType_;  ///< as the settings hold it, until the catalogs are loaded
    SortState sort_;
    NavigationHistory history_;
    NodeHandle openNode_;
    bool haveOpenNode_ = false;
    bool destroyed_ = false;
    int treeChanges_ = 0;  ///< BeginTreeChange without its EndTreeChange yet
    CatalogFolderWatch* watch_ = nullptr;

    QLabel* statusPanels_[2] = {};
    QStackedWidget* leftStack_ = nullptr;
    QStackedWidget* rightStack_ = nullptr;
    QActionGroup* modeGroup_ = nullptr;

    StyledListView* contextList_ = nullptr;  ///< the list whose context menu is open
    std::vector<QAction*> volumeCommands_;   ///< more commands of the volume rows' menu
    UrlOpener urlOpener_;
    std::function<void()> createNewHandler_;
    // Last, so that it goes first: a running search ends before the tree
    // and the hooks it uses.
    std::unique_ptr<TSearchPanel> searchPanel_;
};

}  // namespace ardvel::gui
