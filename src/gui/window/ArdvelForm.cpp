#include "window/ArdvelForm.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QScrollArea>
#include <QStackedWidget>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>

#include "common/DetailsTable.h"
#include "common/Icons.h"
#include "common/QtText.h"
#include "common/StyledListView.h"
#include "common/UserDialogs.h"
#include "help/AboutBox.h"
#include "search/SearchPanel.h"
#include "search/SearchTyping.h"
#include "store/NodePath.h"
#include "store/VolumeFiles.h"
#include "window/BrowserSettings.h"
#include "window/CatalogFolderWatch.h"
#include "window/CatalogTreeModel.h"
#include "window/FolderListModel.h"
#include "window/PathBox.h"

namespace ardvel::gui {

namespace {

/// A menu caption shows "&" as it is.
QString MenuCaption(const std::string& text)
{
    return FromUtf8(text).replace(QLatin1Char('&'), QStringLiteral("&&"));
}

constexpr const char* kPathNotFound = "Path not found!";

}  // namespace

// ---------------------------------------------------------------------------
// Creation and destruction

TArdvelForm::TArdvelForm(const Locale& locale, UserDialogs& dialogs, QWidget* parent)
    : QMainWindow(parent),
      locale_(locale),
      dialogs_(dialogs),
      tree_(std::make_unique<CatalogTree>()),
      urlOpener_(DesktopUrlOpener())
{
    setObjectName(QStringLiteral("ArdvelForm"));
    setWindowTitle(QString::fromLatin1(kCaption));
    setWindowIcon(ApplicationIcon());
    setGeometry(193, 110, 539, 391);

    treeModel_ = new CatalogTreeModel(*tree_, this);
    watch_ = new CatalogFolderWatch([this] { CatalogFolderChanged(); }, this);
    listModel_ = new FolderListModel(*tree_, locale_, this);
    treeModel_->SetEditHandler([this](NodeId node, const QString& text) { return CatalogEdited(node, text); });

    BuildActions();
    BuildMenuBar();
    BuildToolbars();
    BuildWorkArea();
    BuildStatusBar();
    BuildSearchPanel();

    FormCreate();
}

TArdvelForm::~TArdvelForm()
{
    FormDestroy();
    // The views and models go before the tree they read.
    w_.Catalog->setModel(nullptr);
    w_.ListView->SetModel(nullptr);
    w_.SearchView->SetModel(nullptr);
    delete treeModel_;
    delete listModel_;
}

void TArdvelForm::FormCreate()
{
    LoadSettings();
    sort_ = SortState{};
    history_.Clear();
    haveOpenNode_ = false;
    UpdateHistoryMenus();
    LoadCatalogs();
    WriteCatalogCount();
    searchPanel_->LookInAll();
    // Without a setting, on when the records loaded are few enough.
    searchPanel_->Typing->SetSearchAsYouType(searchAsYouType_, *tree_);
    ShowSortIndicators();
    w_.Catalog->setFocus();
}

void TArdvelForm::FormDestroy()
{
    if (destroyed_) return;
    destroyed_ = true;
    // A running search ends before the window and its tree go.
    if (searchPanel_) searchPanel_->StopSearchClick();
    history_.Clear();
    SaveSettings();
}

void TArdvelForm::closeEvent(QCloseEvent* event)
{
    FormDestroy();
    event->accept();
}

// ---------------------------------------------------------------------------
// Tree and folder list

NodeId TArdvelForm::SelectedNode() const
{
    const QModelIndex current = w_.Catalog->selectionModel()->currentIndex();
    const NodeId node = CatalogTreeModel::NodeOf(current);
    return node != kNoNode && tree_->IsAlive(node) ? node : kNoNode;
}

void TArdvelForm::SelectNode(NodeId node)
{
    const QModelIndex index = treeModel_->IndexOf(node);
    if (!index.isValid()) return;
    w_.Catalog->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
}

NodeId TArdvelForm::OpenNode() const
{
    return haveOpenNode_ ? tree_->Resolve(openNode_) : kNoNode;
}

void TArdvelForm::CatalogClick()
{
    const NodeId selected = SelectedNode();
    if (selected == kNoNode) return;
    if (haveOpenNode_ && tree_->Resolve(openNode_) == selected) return;
    FillList();
    if (!haveOpenNode_) {
        // The first opening since start-up enters no history.
        haveOpenNode_ = true;
        openNode_ = tree_->Handle(selected);
        return;
    }
    history_.Enter(std::string(tree_->Text(selected)), tree_->Handle(selected));
    UpdateHistoryMenus();
    openNode_ = tree_->Handle(selected);
}

void TArdvelForm::FillList()
{
    NodeId node = SelectedNode();
    if (node == kNoNode) node = CatalogTree::kRoot;
    w_.UpBut->setEnabled(node != CatalogTree::kRoot);
    w_.Catalog->scrollTo(treeModel_->IndexOf(node));
    listModel_->Clear();
    if (tree_->VolumeCount() == 0) return;
    listModel_->ShowNode(node, sort_);
    statusPanels_[1]->setText(QString::number(listModel_->rowCount()) + QStringLiteral(" Items"));
    const QString path = FromUtf8(GetNodePath(*tree_, node));
    w_.PathBox->RecordPath(path);
    WriteCurrentFolderEntry(node);
    if (w_.AutoAdjust1->isChecked()) AdjustColsExecute();
}

void TArdvelForm::ListViewColumnClick(StyledListView* list, int column)
{
    sort_.ColumnClick(column);
    ShowSortIndicators();
    if (ListRowsModel* rows = RowsOf(list)) rows->SortRows(sort_);
}

void TArdvelForm::ShowSortIndicators()
{
    const Qt::SortOrder order = sort_.Direction > 0 ? Qt::AscendingOrder : Qt::DescendingOrder;
    for (StyledListView* list : {w_.ListView, w_.SearchView}) {
        QHeaderView* header = list->DetailsView()->header();
        header->setSortIndicatorShown(true);
        header->setSortIndicator(sort_.Column, order);
    }
}

void TArdvelForm::ListViewKeyDown(StyledListView* list)
{
    ListRowsModel* rows = RowsOf(list);
    const int row = list->SelectedRow();
    if (!rows || row < 0 || rows->RowImage(row) == kFileImage) return;
    const NodeId node = tree_->Resolve(rows->RowNode(row));
    if (node == kNoNode) return;
    std::int64_t total = 0;
    AddFolderSize(*tree_, node, total);
    rows->SetFolderTotal(row, total);
}

void TArdvelForm::ListViewDblClick()
{
    const int row = w_.ListView->SelectedRow();
    if (row < 0) return;
    const NodeId node = tree_->Resolve(listModel_->RowNode(row));
    if (node == kNoNode) return;
    SelectNode(node);
    CatalogClick();
}

void TArdvelForm::UpButClick()
{
    const NodeId node = SelectedNode();
    if (node == kNoNode || node == CatalogTree::kRoot) return;
    SelectNode(tree_->Parent(node));
    CatalogClick();
}

// ---------------------------------------------------------------------------
// History and path box

void TArdvelForm::UpdateHistoryMenus()
{
    w_.BackMenu->clear();
    w_.ForwMenu->clear();
    const int current = history_.CurrentIndex();
    if (current - 1 >= 0 && history_.Slot(current - 1))
        w_.BackBut->setToolTip(QStringLiteral("Back to ") + FromUtf8(history_.Slot(current - 1)->Text));
    const auto back = history_.BackEntries();
    for (std::size_t k = 0; k < back.size(); ++k) {
        QAction* item = w_.BackMenu->addAction(MenuCaption(back[k]->Text));
        connect(item, &QAction::triggered, this, [this, k] { BackMenuClick(static_cast<int>(k)); });
    }
    if (current + 1 < NavigationHistory::kSlots && history_.Slot(current + 1))
        w_.ForwBut->setToolTip(QStringLiteral("Forwar to ") + FromUtf8(history_.Slot(current + 1)->Text));
    const auto forward = history_.ForwardEntries();
    for (std::size_t k = 0; k < forward.size(); ++k) {
        QAction* item = w_.ForwMenu->addAction(MenuCaption(forward[k]->Text));
        connect(item, &QAction::triggered, this, [this, k] { ForwMenuClick(static_cast<int>(k)); });
    }
    w_.BackBut->setEnabled(!w_.BackMenu->isEmpty());
    w_.ForwBut->setEnabled(!w_.ForwMenu->isEmpty());
}

void TArdvelForm::BackButClick()
{
    if (!history_.BackEntries().empty()) BackMenuClick(0);
}

void TArdvelForm::ForwButClick()
{
    if (!history_.ForwardEntries().empty()) ForwMenuClick(0);
}

void TArdvelForm::BackMenuClick(int k)
{
    ShowHistoryEntry(history_.GoBack(k + 1));
}

void TArdvelForm::ForwMenuClick(int k)
{
    ShowHistoryEntry(history_.GoForward(k + 1));
}

void TArdvelForm::ShowHistoryEntry(const NavigationHistory::Entry* entry)
{
    // Back and Forward show the entry's folder without a new history entry.
    if (!entry) return;
    const NodeId node = tree_->Resolve(entry->Handle);
    if (node != kNoNode) {
        SelectNode(node);
        openNode_ = entry->Handle;
        haveOpenNode_ = true;
        FillList();
    }
    UpdateHistoryMenus();
}

void TArdvelForm::PathBoxCloseUp()
{
    // Closing the drop-down always returns to folders mode.
    w_.FBut->setChecked(true);
    w_.Panel3->show();
    leftStack_->setCurrentWidget(w_.Catalog);
    searchPanel_->StopSearchClick();
    w_.Panel1->setText(QStringLiteral(" Folders"));
    w_.PathBox->RemoveSearchResults();
    ShowList(w_.ListView);
    ViewsClick(w_.ListView->Style());
    w_.SaveSR->setEnabled(false);
    // Panel 1 counts the folder list again, even when the path leads to the
    // folder already open.
    WriteRowCount();
    GoToPath();
}

void TArdvelForm::GoToPath()
{
    if (tree_->VolumeCount() == 0) return;
    const QByteArray path = w_.PathBox->currentText().toUtf8();
    const NodeId node =
        ResolveNodePath(*tree_, std::string_view(path.constData(), static_cast<std::size_t>(path.size())), locale_);
    if (node == kNoNode) {
        dialogs_.ShowError(QString::fromLatin1(kPathNotFound));
        // The entry that led nowhere leaves the box.
        if (w_.PathBox->currentIndex() >= 0) w_.PathBox->removeItem(w_.PathBox->currentIndex());
        if (w_.PathBox->count() > 0) w_.PathBox->setCurrentIndex(0);
        return;
    }
    SelectNode(node);
    CatalogClick();
}

// ---------------------------------------------------------------------------
// Layout, views and settings

void TArdvelForm::LoadSettings()
{
    const ViewSettings s = ReadViewSettings(IniFile::Load(SettingsFilePath()));
    catalogFolder_ = s.CatalogFolder;
    w_.SearchView->SetStyle(s.SearchViewStyle);
    w_.StandartButtons1->setChecked(s.StdBar);
    w_.PathBar1->setChecked(s.PathBar);
    w_.AutoAdjust1->setChecked(s.AutoAdjust);
    searchPanel_->Typing->IgnoreAccents->setChecked(s.IgnoreAccents);
    searchAsYouType_ = s.SearchAsYouType;
    RestorePlacement(s);
    AutoAdjustClick();
    ToggleToolbars();
    ViewsClick(s.ListViewStyle);
}

void TArdvelForm::SaveSettings()
{
    const std::string path = SettingsFilePath();
    IniFile ini = IniFile::Load(path);
    ViewSettings s;
    s.CatalogFolder = catalogFolder_;
    s.ListViewStyle = w_.ListView->Style();
    s.SearchViewStyle = w_.SearchView->Style();
    s.StdBar = !w_.StandartButs->isHidden();
    s.PathBar = !w_.PathBar->isHidden();
    s.AutoAdjust = w_.AutoAdjust1->isChecked();
    s.IgnoreAccents = searchPanel_->Typing->IgnoreAccents->isChecked();
    s.SearchAsYouType = searchPanel_->Typing->SearchAsYouType->isChecked();
    KeepPlacement(s);
    WriteViewSettings(ini, s);
    if (!ini.Save(path)) dialogs_.ShowError(QStringLiteral("Unable to write to ") + FromUtf8(path));
}

void TArdvelForm::ToggleToolbars()
{
    w_.StandartButs->setVisible(w_.StandartButtons1->isChecked());
    w_.PathBar->setVisible(w_.PathBar1->isChecked());
}

void TArdvelForm::AdjustColsExecute()
{
    StyledListView* list = ShownList();
    ListRowsModel* rows = RowsOf(list);
    if (!rows || list->Style() != kDetails) return;
    rows->FitColumns(*list->DetailsView());
}

void TArdvelForm::AutoAdjustClick()
{
    const auto mode = w_.AutoAdjust1->isChecked() ? QHeaderView::Interactive : QHeaderView::Stretch;
    for (StyledListView* list : {w_.ListView, w_.SearchView})
        list->DetailsView()->header()->setSectionResizeMode(0, mode);
    if (w_.AutoAdjust1->isChecked()) AdjustColsExecute();
}

void TArdvelForm::ViewsClick(int k)
{
    if (k < kLargeIcons || k > kDetails) k = kDetails;
    w_.ViewMenuItems[k]->setChecked(true);
    w_.ViewsItems[k]->setChecked(true);
    ShownList()->SetStyle(k);
}

void TArdvelForm::XButClick()
{
    w_.Panel3->hide();
    w_.SBut->setChecked(false);
    w_.FBut->setChecked(false);
}

bool TArdvelForm::FolderListShown() const
{
    return rightStack_->currentWidget() == w_.ListView;
}

StyledListView* TArdvelForm::ShownList() const
{
    return FolderListShown() ? w_.ListView : w_.SearchView;
}

ListRowsModel* TArdvelForm::RowsOf(StyledListView* list) const
{
    return qobject_cast<ListRowsModel*>(list->Model());
}

void TArdvelForm::ShowList(StyledListView* list)
{
    rightStack_->setCurrentWidget(list);
}

void TArdvelForm::ToggleSearch()
{
    const bool folders = w_.FBut->isChecked();
    const bool search = w_.SBut->isChecked();
    w_.Panel3->setVisible(folders || search);
    if (folders) {
        leftStack_->setCurrentWidget(w_.Catalog);
        searchPanel_->StopSearchClick();
        w_.Panel1->setText(QStringLiteral(" Folders"));
        w_.PathBox->RemoveSearchResults();
        if (w_.PathBox->count() > 0) w_.PathBox->setCurrentIndex(0);
        ShowList(w_.ListView);
        ViewsClick(w_.ListView->Style());
    } else if (search) {
        leftStack_->setCurrentWidget(w_.ScrollBox1);
        searchPanel_->Splitter1Moved();
        w_.Panel1->setText(QStringLiteral(" Search"));
        w_.PathBox->InsertSearchResults();
        searchPanel_->FocusFileNames();
        ShowList(w_.SearchView);
        ViewsClick(w_.SearchView->Style());
    }
    w_.SaveSR->setEnabled(!FolderListShown());
    WriteRowCount();
}

// ---------------------------------------------------------------------------
// Status bar and Look-in list

QString TArdvelForm::StatusText(int panel) const
{
    return panel >= 0 && panel < 2 ? statusPanels_[panel]->text() : QString();
}

void TArdvelForm::SetStatusText(int panel, const QString& text)
{
    if (panel >= 0 && panel < 2) statusPanels_[panel]->setText(text);
}

void TArdvelForm::WriteCatalogCount()
{
    statusPanels_[0]->setText(QString::number(tree_->VolumeCount()) + QStringLiteral(" Catalogs"));
}

void TArdvelForm::WriteRowCount()
{
    StyledListView* list = ShownList();
    const int rows = list->Model() ? list->Model()->rowCount() : 0;
    statusPanels_[1]->setText(QString::number(rows) +
                              (list == w_.ListView ? QStringLiteral(" Items") : QStringLiteral(" Matches found")));
}

void TArdvelForm::RefreshLookIn()
{
    if (searchPanel_) searchPanel_->RefreshLookIn();
}

void TArdvelForm::WriteCurrentFolderEntry(NodeId node)
{
    if (searchPanel_) searchPanel_->ShowCurrentFolder(node);
}

// ---------------------------------------------------------------------------
// For the search panel and the cataloguing dialog

bool TArdvelForm::InSearchMode() const
{
    return w_.SBut->isChecked();
}

void TArdvelForm::SetBusy(bool busy)
{
    if (busy)
        setCursor(Qt::BusyCursor);
    else
        unsetCursor();
}

void TArdvelForm::ShowFolder(NodeId node)
{
    w_.FBut->setChecked(true);
    SelectNode(node);
    ToggleSearch();
    CatalogClick();
}

void TArdvelForm::OpenSelected()
{
    // A volume catalogued in search mode is shown in folders mode, so that
    // the list, path box and status bar all speak of it.
    if (w_.SBut->isChecked())
        ShowFolder(SelectedNode());
    else
        CatalogClick();
}

void TArdvelForm::BeginTreeChange()
{
    // A sort of the folder list on its own thread reads the records about
    // to change.
    listModel_->CancelSort();
    ++treeChanges_;
    w_.Catalog->setUpdatesEnabled(false);
    treeModel_->BeginTreeReset();
}

void TArdvelForm::EndTreeChange()
{
    treeModel_->EndTreeReset();
    w_.Catalog->setUpdatesEnabled(true);
    if (treeChanges_ > 0) --treeChanges_;
}

bool TArdvelForm::IsExpanded(NodeId node) const
{
    return w_.Catalog->isExpanded(treeModel_->IndexOf(node));
}

void TArdvelForm::Expand(NodeId node)
{
    w_.Catalog->expand(treeModel_->IndexOf(node));
}

void TArdvelForm::VolumesChanged()
{
    RefreshLookIn();
    WriteCatalogCount();
    // The window saved the catalogs: they are not to be read back.
    watch_->Accept();
}

// ---------------------------------------------------------------------------
// Help

void TArdvelForm::HelpContentsExecute()
{
    gui::HelpContentsExecute(urlOpener_, dialogs_);
}

void TArdvelForm::UpdateClick()
{
    gui::UpdateClick(urlOpener_);
}

void TArdvelForm::About1Click()
{
    gui::About1Click(this, dialogs_);
}

}  // namespace ardvel::gui
