// The catalog commands of the main window: new catalog, catalog folder,
// refresh, rename, delete, quit, and loading the catalog folder.
#include <QCoreApplication>
#include <QTreeView>

#include "catalog/NameChecks.h"
#include "common/QtText.h"
#include "common/StyledListView.h"
#include "common/UserDialogs.h"
#include "platform/Settings.h"
#include "store/LoadCatalogs.h"
#include "store/VolumeFiles.h"
#include "window/ArdvelForm.h"
#include "window/CatalogFolderWatch.h"
#include "window/CatalogTreeModel.h"
#include "window/FolderListModel.h"
#include "window/LoadForm.h"
#include "window/PathBox.h"

namespace ardvel::gui {

namespace {

constexpr const char* kCatalogFileMissing = "Catalog file is missing.";
constexpr const char* kDeleteNodeAnyway = "Do you want to delete the node anyway?";
constexpr const char* kDeleteQuestion = "Do you really want to delete the catalog folder of ";
constexpr const char* kChooseCatalogFolder = "Choose Catalog Folder...";

}  // namespace

void TArdvelForm::CreateNewExecute()
{
    // The cataloguing dialog is run by the handler set for it.
    if (createNewHandler_) createNewHandler_();
}

void TArdvelForm::SetCatDirClick()
{
    const QString folder = dialogs_.ChooseFolder(QString::fromLatin1(kChooseCatalogFolder));
    if (folder.isEmpty()) return;
    catalogFolder_ = WithTrailingSlash(folder.toStdString());
    LoadCatalogs();
}

void TArdvelForm::RepaintExecute()
{
    w_.Catalog->viewport()->update();
    w_.ListView->CurrentView()->viewport()->update();
    w_.SearchView->CurrentView()->viewport()->update();
}

void TArdvelForm::Rename1Execute()
{
    RenameVolume(SelectedNode());
}

void TArdvelForm::RenameVolume(NodeId node)
{
    if (node == kNoNode || !tree_->IsAlive(node) || tree_->Level(node) != 1) return;
    treeModel_->SetEditableNode(node);
    const QModelIndex index = treeModel_->IndexOf(node);
    w_.Catalog->scrollTo(index);
    w_.Catalog->edit(index);
}

bool TArdvelForm::CatalogEdited(NodeId node, const QString& text)
{
    treeModel_->SetEditableNode(kNoNode);
    if (!tree_->IsAlive(node) || tree_->Level(node) != 1) return false;
    const std::string name = text.toStdString();
    // The node being renamed counts too: an unchanged name is refused.
    if (FindVolumeNamed(*tree_, name, locale_) != kNoNode) {
        dialogs_.ShowError(QString::fromUtf8(kVolumeNameTaken));
        return false;
    }
    const std::string oldName(tree_->Text(node));
    // The catalog file takes the encoded name, as in cataloguing.
    const VolumeFileResult renamed = RenameVolumeFile(*tree_, node, catalogFolder_, name);
    if (renamed != VolumeFileResult::Done) {
        dialogs_.ShowError(QString::fromUtf8(RenameFailureText(renamed)));
        return false;
    }
    treeModel_->RenameVolume(node, name, [this](std::string_view a, std::string_view b) { return locale_.Less(a, b); });
    // A list of the volumes shows the new name in its sorted place.
    if (listModel_->ShownNode() == CatalogTree::kRoot) listModel_->SortRows(sort_);
    // Every text that names the volume follows it.
    w_.PathBox->RenameRoot(FromUtf8(oldName + ":\\"), FromUtf8(name + ":\\"));
    history_.Retitle(tree_->Handle(node), name);
    UpdateHistoryMenus();
    RefreshLookIn();
    return true;
}

void TArdvelForm::Delete1Execute()
{
    DeleteVolume(SelectedNode());
}

void TArdvelForm::DeleteVolume(NodeId node)
{
    if (node == kNoNode || !tree_->IsAlive(node) || tree_->Level(node) != 1) return;
    if (!dialogs_.Confirm(QString::fromLatin1(kDeleteQuestion) + FromUtf8(tree_->Text(node)) + QLatin1Char('?')))
        return;
    if (DeleteVolumeFile(*tree_, node, catalogFolder_) != VolumeFileResult::Done) {
        dialogs_.ShowError(QString::fromLatin1(kCatalogFileMissing));
        if (!dialogs_.Confirm(QString::fromLatin1(kDeleteNodeAnyway))) return;
    }
    RemoveVolume(node);
}

void TArdvelForm::RemoveVolume(NodeId node)
{
    const bool listedRoot = listModel_->ShownNode() == CatalogTree::kRoot;
    listModel_->CancelSort();  // it may read the records of the volume going
    treeModel_->RemoveNode(node);
    ForgetRemovedNodes();
    // A list of the volumes must not keep the removed one's row.
    if (listedRoot && tree_->VolumeCount() > 0) {
        listModel_->ShowNode(CatalogTree::kRoot, sort_);
        if (FolderListShown()) WriteRowCount();
    } else if (listedRoot) {
        listModel_->Clear();
    }
    RefreshLookIn();
    WriteCatalogCount();
    if (SelectedNode() == kNoNode) SelectNode(CatalogTree::kRoot);
    CatalogClick();
}

void TArdvelForm::QuitExecute()
{
    close();
}

void TArdvelForm::LoadCatalogs()
{
    // The list reads records of the volumes about to go.
    listModel_->Clear();
    std::unique_ptr<TLoadForm> splash;
    std::size_t opened = 0;
    // The splash window lets events in; the folder watch must wait.
    ++treeChanges_;
    treeModel_->BeginTreeReset();
    const LoadResult result =
        ardvel::LoadCatalogs(*tree_, catalogFolder_, locale_, [&](std::size_t position, std::size_t maximum) {
            if (!splash) {
                splash = std::make_unique<TLoadForm>(this);
                splash->SetMaximum(static_cast<int>(maximum));
                splash->show();
                // A new window is painted only once the window system has
                // mapped it; user input stays queued until loading ends.
                QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
                splash->repaint();
            }
            splash->SetFilesRead(opened++);
            splash->SetPosition(static_cast<int>(position));
        });
    treeModel_->EndTreeReset();
    --treeChanges_;
    if (splash) splash->SetFilesRead(opened);
    splash.reset();
    ForgetRemovedNodes();

    if (!result.Failures.empty()) {
        QStringList lines;
        for (const LoadFailure& f : result.Failures)
            lines.push_back(FromUtf8(f.Path) + QStringLiteral(": ") + FromUtf8(f.Message));
        ReportUnreadCatalogs(lines);
    }

    const QModelIndex root = treeModel_->IndexOf(CatalogTree::kRoot);
    w_.Catalog->expand(root);
    SelectNode(CatalogTree::kRoot);
    RefreshLookIn();
    FillList();
    WriteCatalogCount();
    watch_->Watch(catalogFolder_);
}

void TArdvelForm::ReportUnreadCatalogs(const QStringList& lines)
{
    // In a list that scrolls: a folder of many bad files still gives a box
    // within the screen.
    const auto count = static_cast<qsizetype>(lines.size());
    dialogs_.ShowErrorList(count == 1 ? QStringLiteral("1 catalog file could not be read.")
                                      : QStringLiteral("%1 catalog files could not be read.").arg(count),
                           lines);
}

void TArdvelForm::VolumeContentsReplaced(NodeId volume)
{
    ForgetRemovedNodes();
    const NodeId shown = listModel_->ShownNode();
    if (shown == CatalogTree::kRoot || (shown != kNoNode && tree_->VolumeOf(shown) == volume)) {
        // Its rows showed the volume's old records.
        listModel_->ShowNode(shown, sort_);
        if (FolderListShown()) WriteRowCount();
    }
    const NodeId open = OpenNode();
    SelectNode(open != kNoNode ? open : volume);
    if (open == kNoNode) CatalogClick();
    RefreshLookIn();
    watch_->Accept();
}

void TArdvelForm::ForgetRemovedNodes()
{
    listModel_->ForgetIfStale();
    history_.DropStale(*tree_);
    UpdateHistoryMenus();
}

}  // namespace ardvel::gui
