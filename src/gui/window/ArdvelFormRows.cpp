// The rows of the tree and of both lists as the user reaches them besides
// opening: the context menu (Open, Open Containing Folder, Copy Path,
// Rename, Delete, Find Copies), Ctrl+C, and showing a row of a folder.
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QItemSelectionModel>
#include <QListView>
#include <QMenu>
#include <QTreeView>

#include "common/DetailsTable.h"
#include "common/QtText.h"
#include "common/StyledListView.h"
#include "search/SearchPanel.h"
#include "search/SearchResultsModel.h"
#include "window/ArdvelForm.h"
#include "window/CatalogTreeModel.h"
#include "window/FolderListModel.h"

namespace ardvel::gui {

void TArdvelForm::BuildRowMenus()
{
    const auto offer = [this](QAbstractItemView* view, RowPlace place, StyledListView* list) {
        view->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(view, &QWidget::customContextMenuRequested, this, [this, view, place, list](const QPoint& pos) {
            // A right click selects the row under it first (without opening
            // it), unless the row is one of those selected.
            const QModelIndex index = view->indexAt(pos);
            if (index.isValid() && list && !list->Selection()->isSelected(index.siblingAtColumn(0)))
                list->SelectRow(index.row());
            if (index.isValid() && !list) SelectNode(CatalogTreeModel::NodeOf(index));
            const std::unique_ptr<QMenu> menu = RowMenu(place);
            contextList_ = list;
            menu->exec(view->viewport()->mapToGlobal(pos));
            contextList_ = nullptr;
        });
    };
    offer(w_.Catalog, RowPlace::Tree, nullptr);
    for (StyledListView* list : {w_.ListView, w_.SearchView}) {
        // Several rows may be selected, for Ctrl+C; the other commands act
        // on the current one.
        list->SetMultiSelection(true);
        const RowPlace place = list == w_.ListView ? RowPlace::FolderList : RowPlace::Results;
        offer(list->DetailsView(), place, list);
        offer(list->IconView(), place, list);
    }
    // Ctrl+C where the rows have the focus; the search fields keep theirs.
    const auto copyKey = [this](QWidget* widget, RowPlace place) {
        auto* action = new QAction(widget);
        action->setObjectName(QStringLiteral("CopyPaths"));
        action->setShortcut(QKeySequence::Copy);
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        widget->addAction(action);
        connect(action, &QAction::triggered, this, [this, place] { CopyPathExecute(place); });
    };
    copyKey(w_.Catalog, RowPlace::Tree);
    copyKey(w_.ListView, RowPlace::FolderList);
    copyKey(w_.SearchView, RowPlace::Results);
}

std::unique_ptr<QMenu> TArdvelForm::RowMenu(RowPlace place)
{
    RowMenuItems items;
    items.Place = place;
    items.HasRow = !SelectedRowPaths(place).isEmpty();
    items.IsVolume = RowVolume(place) != kNoNode;
    items.Open = [this, place] { OpenRow(place); };
    items.CopyPath = [this, place] { CopyPathExecute(place); };
    items.Rename = [this, place] { RenameVolume(RowVolume(place)); };
    items.Delete = [this, place] { DeleteVolume(RowVolume(place)); };
    // They act on the tree's selection.
    if (place == RowPlace::Tree) items.VolumeCommands = volumeCommands_;
    switch (place) {
        case RowPlace::Tree:
            items.CanOpen = SelectedNode() != kNoNode;
            break;
        case RowPlace::FolderList: {
            const int row = w_.ListView->SelectedRow();
            items.CanOpen = row >= 0 && listModel_->RowImage(row) != kFileImage;
            break;
        }
        case RowPlace::Results:
            items.CanOpen = items.HasRow;
            items.OpenContainingFolder = [this] { searchPanel_->OpenContainingFolder(); };
            break;
    }
    if (place != RowPlace::Tree) {
        StyledListView* list = place == RowPlace::FolderList ? w_.ListView : w_.SearchView;
        w_.FindCopies->setEnabled(CanFindCopies(list));
        items.FindCopies = w_.FindCopies;
    }
    return BuildRowMenu(this, items);
}

QString TArdvelForm::SelectedRowPaths(RowPlace place) const
{
    QStringList paths;
    switch (place) {
        case RowPlace::Tree:
            if (const NodeId node = SelectedNode(); node != kNoNode)
                paths.push_back(FromUtf8(GetNodePath(*tree_, node)));
            break;
        case RowPlace::FolderList:
            for (int row : w_.ListView->SelectedRows()) paths.push_back(FromUtf8(listModel_->RowPath(row)));
            break;
        case RowPlace::Results:
            for (int row : w_.SearchView->SelectedRows())
                paths.push_back(FromUtf8(searchPanel_->ResultsModel().RowPath(row)));
            break;
    }
    paths.removeAll(QString());
    return paths.join(QLatin1Char('\n'));
}

void TArdvelForm::CopyPathExecute(RowPlace place)
{
    const QString paths = SelectedRowPaths(place);
    if (!paths.isEmpty()) QApplication::clipboard()->setText(paths);
}

void TArdvelForm::OpenRow(RowPlace place)
{
    switch (place) {
        case RowPlace::Tree:
            CatalogClick();
            break;
        case RowPlace::FolderList:
            ListViewDblClick();
            break;
        case RowPlace::Results:
            searchPanel_->SearchViewDblClick();
            break;
    }
}

NodeId TArdvelForm::RowVolume(RowPlace place) const
{
    NodeId node = kNoNode;
    if (place == RowPlace::Tree) {
        node = SelectedNode();
    } else if (place == RowPlace::FolderList) {
        const int row = w_.ListView->SelectedRow();
        if (row >= 0) node = tree_->Resolve(listModel_->RowNode(row));
    }
    return node != kNoNode && tree_->Level(node) == 1 ? node : kNoNode;
}

void TArdvelForm::ShowFolderRow(NodeId folder, std::string_view name, bool folderRow)
{
    const std::string wanted(name);
    ShowFolder(folder);
    const int row = listModel_->RowNamed(wanted, folderRow);
    if (row < 0) return;
    w_.ListView->SelectRow(row);
    QAbstractItemView* view = w_.ListView->CurrentView();
    view->scrollTo(listModel_->index(row, 0));
    view->setFocus();
}

}  // namespace ardvel::gui
