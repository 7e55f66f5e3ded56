// Catalogs that other programs add, rewrite or remove while the window is
// open (ardvel-cli catalog, a copy from a backup) are read without a
// restart, and the user stays where they were.
#include <QApplication>
#include <QTreeView>

#include "common/Icons.h"
#include "common/QtText.h"
#include "common/StyledListView.h"
#include "common/UserDialogs.h"
#include "search/SearchPanel.h"
#include "store/CatalogError.h"
#include "store/LoadCatalogs.h"
#include "store/NodePath.h"
#include "store/VolumeName.h"
#include "window/ArdvelForm.h"
#include "window/CatalogFolderWatch.h"
#include "window/CatalogTreeModel.h"
#include "window/FolderListModel.h"

namespace ardvel::gui {

struct TArdvelForm::ViewPlace {
    std::string Open;      ///< the open folder's path, empty when none
    std::string Selected;  ///< the tree's selected node
    std::string Row;       ///< the caption of the folder list's selected row
    bool RowIsFolder = false;
    std::vector<std::pair<int, std::string>> History;  ///< slot, path
    std::vector<std::string> Expanded;                 ///< the tree's expanded nodes
};

void TArdvelForm::CatalogFolderChanged()
{
    // Never while a dialog, a cataloguing, a loading, a rename or a search
    // works on the tree: later.
    if (QApplication::activeModalWidget() || treeChanges_ > 0 || treeModel_->EditableNode() != kNoNode ||
        searchPanel_->Running()) {
        watch_->Postpone();
        return;
    }
    const CatalogFolderChanges changes = watch_->Compare(*tree_);
    if (changes.Empty()) return;
    const ViewPlace place = RememberPlace();
    const QStringList failures = ApplyFolderChanges(changes);
    ReturnToPlace(place);
    if (!failures.isEmpty()) ReportUnreadCatalogs(failures);
}

QStringList TArdvelForm::ApplyFolderChanges(const CatalogFolderChanges& changes)
{
    std::vector<std::string> files = changes.Added;
    // The list reads records of volumes about to go.
    listModel_->Clear();
    treeModel_->BeginTreeReset();
    for (const std::vector<NodeHandle>* volumes : {&changes.Removed, &changes.Changed}) {
        for (const NodeHandle& handle : *volumes) {
            const NodeId volume = tree_->Resolve(handle);
            if (volume == kNoNode) continue;
            if (volumes == &changes.Changed) files.push_back(tree_->CatalogFileName(volume));
            tree_->RemoveNode(volume);
        }
    }
    QStringList failures;
    for (const std::string& name : files) {
        try {
            LoadCatalogFile(*tree_, catalogFolder_ + name, name, DecodeVolumeName(name));
        } catch (const CatalogError& e) {
            failures.push_back(FromUtf8(catalogFolder_ + name) + QStringLiteral(": ") + FromUtf8(e.what()));
        }
    }
    SortCatalogTree(*tree_, locale_);
    treeModel_->EndTreeReset();
    return failures;
}

TArdvelForm::ViewPlace TArdvelForm::RememberPlace() const
{
    ViewPlace place;
    if (const NodeId open = OpenNode(); open != kNoNode) place.Open = GetNodePath(*tree_, open);
    if (const NodeId selected = SelectedNode(); selected != kNoNode) place.Selected = GetNodePath(*tree_, selected);
    if (const int row = w_.ListView->SelectedRow(); row >= 0) {
        place.Row = ToUtf8(listModel_->Text(row, 0));
        place.RowIsFolder = listModel_->RowImage(row) != kFileImage;
    }
    for (int slot = 0; slot < NavigationHistory::kSlots; ++slot) {
        const auto& entry = history_.Slot(slot);
        const NodeId node = entry ? tree_->Resolve(entry->Handle) : kNoNode;
        if (node != kNoNode) place.History.emplace_back(slot, GetNodePath(*tree_, node));
    }
    std::vector<NodeId> pending{CatalogTree::kRoot};
    while (!pending.empty()) {
        const NodeId node = pending.back();
        pending.pop_back();
        if (!IsExpanded(node)) continue;
        place.Expanded.push_back(GetNodePath(*tree_, node));
        pending.insert(pending.end(), tree_->Children(node).begin(), tree_->Children(node).end());
    }
    return place;
}

void TArdvelForm::ReturnToPlace(const ViewPlace& place)
{
    const auto find = [this](const std::string& path) {
        return path.empty() ? kNoNode : ResolveNodePath(*tree_, path, locale_);
    };
    for (const auto& [slot, path] : place.History) {
        const NodeId node = find(path);
        history_.SetHandle(slot, node == kNoNode ? NodeHandle{} : tree_->Handle(node));
    }
    ForgetRemovedNodes();
    Expand(CatalogTree::kRoot);
    for (const std::string& path : place.Expanded)
        if (const NodeId node = find(path); node != kNoNode) Expand(node);
    // The open folder, or the root when it has gone; no new history entry.
    NodeId open = find(place.Open);
    if (open == kNoNode) open = CatalogTree::kRoot;
    SelectNode(open);
    openNode_ = tree_->Handle(open);
    haveOpenNode_ = true;
    FillList();
    if (const NodeId selected = find(place.Selected); selected != kNoNode) SelectNode(selected);
    if (const int row = place.Row.empty() ? -1 : listModel_->RowNamed(place.Row, place.RowIsFolder); row >= 0) {
        w_.ListView->SelectRow(row);
        w_.ListView->CurrentView()->scrollTo(listModel_->index(row, 0));
    }
    RefreshLookIn();
    WriteCatalogCount();
    WriteRowCount();
}

}  // namespace ardvel::gui
