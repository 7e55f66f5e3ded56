// The window's way into the duplicate search: Tools > Find Duplicates...
// and "Find Copies" in the context menus of the folder list and the
// search results.
#include <QAbstractItemView>
#include <QAction>
#include <QListView>
#include <QMenu>
#include <QTreeView>

#include "common/StyledListView.h"
#include "common/UserDialogs.h"
#include "duplicates/CopiesRows.h"
#include "duplicates/DuplicatesDialog.h"
#include "search/SearchPanel.h"
#include "search/SearchResultsModel.h"
#include "window/ArdvelForm.h"
#include "window/FolderListModel.h"

namespace ardvel::gui {

namespace {

/// The file record the selected row of a list shows.
FileRecordRef SelectedFile(const CatalogTree& tree, StyledListView* list, StyledListView* folderList,
                           const FolderListModel& folderModel, TSearchPanel& search, const Locale& locale)
{
    const int row = list->SelectedRow();
    if (row < 0) return {};
    if (list == folderList) {
        std::uint32_t file = kNoFile;
        if (!folderModel.FileRecordAt(row, file)) return {};
        return {folderModel.ShownNode(), file};
    }
    if (row >= search.ResultsModel().rowCount()) return {};
    return FileOfResultRow(tree, search.Results(), search.ResultsModel().ResultRow(row), locale);
}

}  // namespace

void TArdvelForm::BuildDuplicateActions()
{
    w_.FindDuplicates = new QAction(QStringLiteral("Find &Duplicates..."), this);
    w_.FindDuplicates->setObjectName(QStringLiteral("FindDuplicates"));
    w_.FindCopies = new QAction(QStringLiteral("Find Copies"), this);
    w_.FindCopies->setObjectName(QStringLiteral("FindCopies"));
    connect(w_.FindDuplicates, &QAction::triggered, this, [this] { FindDuplicatesExecute(); });
    connect(w_.FindCopies, &QAction::triggered, this,
            [this] { FindCopiesExecute(contextList_ ? contextList_ : ShownList()); });
}

bool TArdvelForm::CanFindCopies(StyledListView* list) const
{
    return SelectedFile(*tree_, list, w_.ListView, *listModel_, *searchPanel_, locale_).File != kNoFile;
}

void TArdvelForm::FindCopiesExecute(StyledListView* list)
{
    const FileRecordRef file = SelectedFile(*tree_, list, w_.ListView, *listModel_, *searchPanel_, locale_);
    if (file.File == kNoFile) return;
    const std::vector<DuplicateRecord> copies =
        FindCopies(*tree_, file.Folder, file.File, DuplicateKey::NameSize, locale_);
    searchPanel_->ShowRows([&](SearchResults& results) { AddGroupRows(results, *tree_, file, copies); }, 0);
    if (!InSearchMode()) {
        w_.SBut->setChecked(true);
        ToggleSearch();
    } else {
        WriteRowCount();
    }
}

void TArdvelForm::FindDuplicatesExecute()
{
    NodeHandle chosen{kNoNode, 0};
    TDuplicatesDialog dialog(
        *tree_, SelectedNode(), locale_, dialogs_, [&](NodeId folder) { chosen = tree_->Handle(folder); }, this);
    dialogs_.RunDialog(dialog);
    const NodeId folder = tree_->Resolve(chosen);
    if (folder != kNoNode) ShowFolder(folder);
}

}  // namespace ardvel::gui
