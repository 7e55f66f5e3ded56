#include "browser/ArdvelForm.h"

#include <QCoreApplication>

#include <QAbstractItemDelegate>
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QScrollArea>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

#include "browser/BrowserSettings.h"
#include "browser/CatalogTreeModel.h"
#include "browser/FolderListModel.h"
#include "browser/Icons.h"
#include "browser/LoadForm.h"
#include "browser/PathBox.h"
#include "browser/StyledListView.h"
#include "browser/UserDialogs.h"
#include "catalog/NameChecks.h"
#include "help/AboutBox.h"
#include "search/ui/SearchPanel.h"
#include "store/LoadCatalogs.h"
#include "store/NodePath.h"
#include "store/VolumeFiles.h"

namespace ardvel::gui {

namespace {

QString FromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

/// A menu caption shows "&" as it is.
QString MenuCaption(const std::string& text)
{
    return FromUtf8(text).replace(QLatin1Char('&'), QStringLiteral("&&"));
}

constexpr const char* kPathNotFound = "Path not found!";
constexpr const char* kCatalogFileMissing = "Catalog file is missing.";
constexpr const char* kDeleteNodeAnyway = "Do you want to delete the node anyway?";
constexpr const char* kDeleteQuestion = "Do you really want to delete the catalog folder of ";
constexpr const char* kChooseCatalogFolder = "Choose Catalog Folder...";

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
    setGeometry(193, 110, 539, 391);

    treeModel_ = new CatalogTreeModel(*tree_, this);
    listModel_ = new FolderListModel(*tree_, locale_, this);
    treeModel_->SetEditHandler([this](NodeId node, const QString& text) { return CatalogEdited(node, text); });

    BuildActions();
    BuildMenuBar();
    BuildToolbars();
    BuildWorkArea();

    auto* status = statusBar();
    status->setObjectName(QStringLiteral("StatusBar1"));
    status->setSizeGripEnabled(true);
    for (int i = 0; i < 2; ++i) {
        statusPanels_[i] = new QLabel(status);
        statusPanels_[i]->setMinimumWidth(i == 0 ? 150 : 50);
        statusPanels_[i]->setFrameShape(QFrame::Panel);
        statusPanels_[i]->setFrameShadow(QFrame::Sunken);
        status->addWidget(statusPanels_[i], i == 0 ? 0 : 1);
    }
    searchPanel_ = std::make_unique<TSearchPanel>(*this, dialogs_, locale_);

    FormCreate();
}

TArdvelForm::~TArdvelForm()
{
    FormDestroy();
    // The views and models go before the tree they read.
    Catalog->setModel(nullptr);
    ListView->SetModel(nullptr);
    SearchView->SetModel(nullptr);
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
    LookIn->setCurrentIndex(LookIn->count() - 1);
}

void TArdvelForm::FormDestroy()
{
    if (destroyed_) return;
    destroyed_ = true;
    // A running search ends before the window and its tree go.
    if (stopSearchHandler_) stopSearchHandler_();
    history_.Clear();
    SaveSettings();
}

void TArdvelForm::closeEvent(QCloseEvent* event)
{
    FormDestroy();
    event->accept();
}

// ---------------------------------------------------------------------------
// Building the window

void TArdvelForm::BuildActions()
{
    auto make = [this](const char* name, const QString& caption, const QKeySequence& shortcut = {}) {
        auto* action = new QAction(caption, this);
        action->setObjectName(QString::fromLatin1(name));
        if (!shortcut.isEmpty()) action->setShortcut(shortcut);
        addAction(action);  // shortcuts work while the menus are closed
        return action;
    };
    CreateNew = make("CreateNew", QStringLiteral("&New Catalog..."), QKeySequence(QStringLiteral("Ctrl+N")));
    SetCatDir = make("SetCatDir", QStringLiteral("Set Catalog &Folder"));
    SaveSR = make("SaveSR", QStringLiteral("&Save Search Results"));
    SaveSR->setEnabled(false);
    Repaint = make("Repaint", QStringLiteral("&Refresh"), QKeySequence(Qt::Key_F5));
    Quit = make("Quit", QStringLiteral("&Quit"), QKeySequence(QStringLiteral("Ctrl+X")));
    Rename1 = make("Rename1", QStringLiteral("&Rename"), QKeySequence(Qt::Key_F2));
    Delete1 = make("Delete1", QStringLiteral("&Delete"), QKeySequence(QStringLiteral("Ctrl+D")));
    StandartButtons1 = make("StandartButtons1", QStringLiteral("&Standard Buttons"));
    StandartButtons1->setCheckable(true);
    PathBar1 = make("PathBar1", QStringLiteral("&Path Bar"));
    PathBar1->setCheckable(true);
    AdjustCols = make("AdjustCols", QStringLiteral("&Resize Now"), QKeySequence(Qt::Key_F3));
    AutoAdjust1 = make("AutoAdjust1", QStringLiteral("A&uto Resize"));
    AutoAdjust1->setCheckable(true);
    HelpContents = make("HelpContents", QStringLiteral("Contents"));
    HelpContents->setShortcuts({QKeySequence(QStringLiteral("Ctrl+F1")), QKeySequence(Qt::Key_F10)});
    Update = make("Update", QStringLiteral("Check For &Update"));
    About1 = make("About1", QStringLiteral("&About"));

    connect(CreateNew, &QAction::triggered, this, [this] { CreateNewExecute(); });
    connect(SetCatDir, &QAction::triggered, this, [this] { SetCatDirClick(); });
    connect(Repaint, &QAction::triggered, this, [this] { RepaintExecute(); });
    connect(Quit, &QAction::triggered, this, [this] { QuitExecute(); });
    connect(Rename1, &QAction::triggered, this, [this] { Rename1Execute(); });
    connect(Delete1, &QAction::triggered, this, [this] { Delete1Execute(); });
    connect(StandartButtons1, &QAction::triggered, this, [this] { ToggleToolbars(); });
    connect(PathBar1, &QAction::triggered, this, [this] { ToggleToolbars(); });
    connect(AdjustCols, &QAction::triggered, this, [this] { AdjustColsExecute(); });
    connect(HelpContents, &QAction::triggered, this, [this] { HelpContentsExecute(); });
    connect(Update, &QAction::triggered, this, [this] { UpdateClick(); });
    connect(About1, &QAction::triggered, this, [this] { About1Click(); });

    static const char* const kViewCaptions[4] = {"L&arge Icons", "&Small Icons", "&List", "&Details"};
    static const char* const kViewMenuNames[4] = {"LIcons", "SIcons", "VList", "VDetails"};
    static const char* const kViewsNames[4] = {"LargeIcons2", "SmallIcons1", "List2", "Details2"};
    auto* viewMenuGroup = new QActionGroup(this);
    auto* viewsGroup = new QActionGroup(this);
    for (int k = 0; k < 4; ++k) {
        ViewMenuItems[k] = new QAction(QString::fromLatin1(kViewCaptions[k]), viewMenuGroup);
        ViewMenuItems[k]->setObjectName(QString::fromLatin1(kViewMenuNames[k]));
        ViewsItems[k] = new QAction(QString::fromLatin1(kViewCaptions[k]), viewsGroup);
        ViewsItems[k]->setObjectName(QString::fromLatin1(kViewsNames[k]));
        for (QAction* item : {ViewMenuItems[k], ViewsItems[k]}) {
            item->setCheckable(true);
            connect(item, &QAction::triggered, this, [this, k] { ViewsClick(k); });
        }
    }
}

void TArdvelForm::BuildMenuBar()
{
    // The main menu is a flat bar of caption buttons, each opening its menu.
    ToolBar3 = new QToolBar(this);
    ToolBar3->setObjectName(QStringLiteral("ToolBar3"));
    ToolBar3->setMovable(false);
    ToolBar3->setFloatable(false);
    ToolBar3->setStyleSheet(QStringLiteral("QToolButton::menu-indicator { image: none; }"));
    addToolBar(Qt::TopToolBarArea, ToolBar3);

    auto addMenu = [this](const char* name, const QString& caption) {
        auto* menu = new QMenu(caption, this);
        menu->setObjectName(QString::fromLatin1(name));
        auto* button = new QToolButton(ToolBar3);
        button->setText(caption);
        button->setMenu(menu);
        button->setPopupMode(QToolButton::InstantPopup);
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        button->setAutoRaise(true);
        button->setMinimumWidth(36);
        ToolBar3->addWidget(button);
        return menu;
    };

    QMenu* file = addMenu("File1", QStringLiteral("&File"));
    file->addAction(CreateNew);
    file->addAction(SetCatDir);
    file->addAction(SaveSR);
    file->addSeparator();
    file->addAction(Repaint);
    file->addSeparator();
    file->addAction(Quit);

    QMenu* edit = addMenu("Edit1", QStringLiteral("&Edit"));
    edit->addAction(Rename1);
    edit->addAction(Delete1);

    QMenu* view = addMenu("View1", QStringLiteral("&View"));
    QMenu* toolbars = view->addMenu(QStringLiteral("&ToolBars"));
    toolbars->addAction(StandartButtons1);
    toolbars->addAction(PathBar1);
    Columns1 = view->addMenu(QStringLiteral("&Columns"));
    Columns1->setObjectName(QStringLiteral("Columns1"));
    Columns1->addAction(AdjustCols);
    Columns1->addAction(AutoAdjust1);
    connect(Columns1, &QMenu::aboutToShow, this, [this] { AdjustColsExecute(); });
    view->addSeparator();
    for (QAction* item : ViewMenuItems) view->addAction(item);

    QMenu* help = addMenu("Help1", QStringLiteral("&Help"));
    help->addAction(HelpContents);
    help->addSeparator();
    help->addAction(Update);
    help->addSeparator();
    help->addAction(About1);

    Views = new QMenu(this);
    Views->setObjectName(QStringLiteral("Views"));
    for (QAction* item : ViewsItems) Views->addAction(item);
}

void TArdvelForm::BuildToolbars()
{
    addToolBarBreak();
    StandartButs = new QToolBar(this);
    StandartButs->setObjectName(QStringLiteral("StandartButs"));
    StandartButs->setMovable(false);
    StandartButs->setFloatable(false);
    StandartButs->setIconSize(QSize(16, 16));
    addToolBar(Qt::TopToolBarArea, StandartButs);

    BackMenu = new QMenu(this);
    BackMenu->setObjectName(QStringLiteral("BackMenu"));
    ForwMenu = new QMenu(this);
    ForwMenu->setObjectName(QStringLiteral("ForwMenu"));

    auto button = [this](const char* name, const QIcon& icon, const QString& text, Qt::ToolButtonStyle style) {
        auto* b = new QToolButton(StandartButs);
        b->setObjectName(QString::fromLatin1(name));
        b->setIcon(icon);
        b->setText(text);
        b->setToolButtonStyle(style);
        b->setAutoRaise(true);
        StandartButs->addWidget(b);
        return b;
    };
    QStyle* s = style();
    BackBut = button("BackBut", s->standardIcon(QStyle::SP_ArrowBack), QStringLiteral("Back"), Qt::ToolButtonTextBesideIcon);
    BackBut->setMenu(BackMenu);
    BackBut->setPopupMode(QToolButton::MenuButtonPopup);
    BackBut->setEnabled(false);
    ForwBut = button("ForwBut", s->standardIcon(QStyle::SP_ArrowForward), QString(), Qt::ToolButtonIconOnly);
    ForwBut->setMenu(ForwMenu);
    ForwBut->setPopupMode(QToolButton::MenuButtonPopup);
    ForwBut->setEnabled(false);
    UpBut = button("UpBut", s->standardIcon(QStyle::SP_FileDialogToParent), QString(), Qt::ToolButtonIconOnly);
    UpBut->setToolTip(QStringLiteral("To parent directory"));
    UpBut->setEnabled(false);
    connect(BackBut, &QToolButton::clicked, this, [this] { BackButClick(); });
    connect(ForwBut, &QToolButton::clicked, this, [this] { ForwButClick(); });
    connect(UpBut, &QToolButton::clicked, this, [this] { UpButClick(); });
    StandartButs->addSeparator();

    modeGroup_ = new QActionGroup(this);
    modeGroup_->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    SBut = new QAction(ListImage(kSearchResultsImage), QStringLiteral("Search"), modeGroup_);
    SBut->setObjectName(QStringLiteral("SBut"));
    SBut->setToolTip(QStringLiteral("Switch to search mode"));
    SBut->setCheckable(true);
    FBut = new QAction(ListImage(kFolderImage), QStringLiteral("Folders"), modeGroup_);
    FBut->setObjectName(QStringLiteral("FBut"));
    FBut->setToolTip(QStringLiteral("Switch to folders mode"));
    FBut->setCheckable(true);
    FBut->setChecked(true);
    for (QAction* mode : {SBut, FBut}) {
        auto* b = new QToolButton(StandartButs);
        b->setDefaultAction(mode);
        b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        b->setAutoRaise(true);
        StandartButs->addWidget(b);
        connect(mode, &QAction::triggered, this, [this] { ToggleSearch(); });
    }
    StandartButs->addSeparator();

    ViewBut = button("ViewBut", ViewButtonImage(), QString(), Qt::ToolButtonIconOnly);
    ViewBut->setIconSize(QSize(25, 16));
    ViewBut->setToolTip(QStringLiteral("Switch views"));
    ViewBut->setMenu(Views);
    ViewBut->setPopupMode(QToolButton::InstantPopup);
    ViewBut->setStyleSheet(QStringLiteral("QToolButton::menu-indicator { image: none; }"));

    addToolBarBreak();
    PathBar = new QToolBar(this);
    PathBar->setObjectName(QStringLiteral("PathBar"));
    PathBar->setMovable(false);
    PathBar->setFloatable(false);
    addToolBar(Qt::TopToolBarArea, PathBar);
    auto* bar = new QWidget(PathBar);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(8, 0, 2, 0);
    row->setSpacing(6);
    auto* label = new QLabel(QStringLiteral("Path:"), bar);
    label->setFixedWidth(32);
    row->addWidget(label);
    PathBox = new gui::PathBox(bar);
    PathBox->setObjectName(QStringLiteral("PathBox"));
    PathBox->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    row->addWidget(PathBox, 1);
    PathBar->addWidget(bar);
    connect(PathBox, &PathBox::ClosedUp, this, [this] { PathBoxCloseUp(); });
}

void TArdvelForm::BuildWorkArea()
{
    Splitter1 = new QSplitter(Qt::Horizontal, this);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    Splitter1->setHandleWidth(3);
    Splitter1->setChildrenCollapsible(false);

    Panel3 = new QFrame(Splitter1);
    Panel3->setObjectName(QStringLiteral("Panel3"));
    Panel3->setFrameShape(QFrame::StyledPanel);
    Panel3->setFrameShadow(QFrame::Sunken);
    auto* left = new QVBoxLayout(Panel3);
    left->setContentsMargins(1, 1, 1, 1);
    left->setSpacing(0);

    auto* title = new QFrame(Panel3);
    title->setFixedHeight(18);
    auto* titleRow = new QHBoxLayout(title);
    titleRow->setContentsMargins(0, 0, 1, 0);
    Panel1 = new QLabel(QStringLiteral(" Folders"), title);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    titleRow->addWidget(Panel1, 1);
    XBut = new QToolButton(title);
    XBut->setObjectName(QStringLiteral("XBut"));
    XBut->setText(QStringLiteral("X"));
    XBut->setAutoRaise(true);
    XBut->setFixedSize(16, 16);
    QFont xFont(QStringLiteral("Lucida Console"));
    xFont.setBold(true);
    XBut->setFont(xFont);
    titleRow->addWidget(XBut);
    connect(XBut, &QToolButton::clicked, this, [this] { XButClick(); });
    left->addWidget(title);

    leftStack_ = new QStackedWidget(Panel3);
    Catalog = new QTreeView(leftStack_);
    Catalog->setObjectName(QStringLiteral("Catalog"));
    Catalog->setHeaderHidden(true);
    Catalog->setIndentation(19);
    Catalog->setRootIsDecorated(false);
    Catalog->setUniformRowHeights(true);
    Catalog->setSelectionMode(QAbstractItemView::SingleSelection);
    Catalog->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Catalog->setExpandsOnDoubleClick(true);
    Catalog->setModel(treeModel_);
    connect(Catalog, &QTreeView::clicked, this, [this] { CatalogClick(); });
    connect(Catalog, &QTreeView::activated, this, [this] { CatalogClick(); });
    // The tree is read-only again once an edit ends, whatever its outcome.
    connect(Catalog->itemDelegate(), &QAbstractItemDelegate::closeEditor, this,
            [this] { treeModel_->SetEditableNode(kNoNode); });
    leftStack_->addWidget(Catalog);

    ScrollBox1 = new QScrollArea(leftStack_);
    ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
    ScrollBox1->setWidgetResizable(true);
    // The search panel (TSearchPanel) places its controls and LookIn itself.
    searchContent_ = new QWidget;
    searchContent_->setObjectName(QStringLiteral("SearchPanelContent"));
    LookIn = new QComboBox(searchContent_);
    LookIn->setObjectName(QStringLiteral("LookIn"));
    LookIn->setEditable(false);
    LookIn->setIconSize(QSize(16, 16));
    LookIn->addItem(ListImage(kRootImage), QStringLiteral("All"));
    ScrollBox1->setWidget(searchContent_);
    leftStack_->addWidget(ScrollBox1);
    leftStack_->setCurrentWidget(Catalog);
    left->addWidget(leftStack_, 1);

    rightStack_ = new QStackedWidget(Splitter1);
    ListView = new StyledListView(rightStack_);
    ListView->setObjectName(QStringLiteral("ListView"));
    ListView->SetModel(listModel_);
    QHeaderView* header = ListView->DetailsView()->header();
    header->resizeSection(FolderListModel::kName, 200);
    header->resizeSection(FolderListModel::kSize, 82);
    header->resizeSection(FolderListModel::kModified, 82);
    header->resizeSection(FolderListModel::kMediaInfo, 50);
    SearchView = new StyledListView(rightStack_);
    SearchView->setObjectName(QStringLiteral("SearchView"));
    rightStack_->addWidget(ListView);
    rightStack_->addWidget(SearchView);
    rightStack_->setCurrentWidget(ListView);

    for (StyledListView* list : {ListView, SearchView}) {
        connect(list, &StyledListView::HeaderClicked, this, [this, list](int column) { ListViewColumnClick(list, column); });
        connect(list, &StyledListView::SpacePressed, this, [this, list] { ListViewKeyDown(list); });
    }
    connect(ListView, &StyledListView::RowDoubleClicked, this, [this] { ListViewDblClick(); });

    Splitter1->addWidget(Panel3);
    Splitter1->addWidget(rightStack_);
    Splitter1->setStretchFactor(0, 0);
    Splitter1->setStretchFactor(1, 1);
    Splitter1->setSizes({225, 311});
    setCentralWidget(Splitter1);
}

// ---------------------------------------------------------------------------
// Tree and folder list

NodeId TArdvelForm::SelectedNode() const
{
    const QModelIndex current = Catalog->selectionModel()->currentIndex();
    const NodeId node = CatalogTreeModel::NodeOf(current);
    return node != kNoNode && tree_->IsAlive(node) ? node : kNoNode;
}

void TArdvelForm::SelectNode(NodeId node)
{
    const QModelIndex index = treeModel_->IndexOf(node);
    if (!index.isValid()) return;
    Catalog->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
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
    UpBut->setEnabled(node != CatalogTree::kRoot);
    Catalog->scrollTo(treeModel_->IndexOf(node));
    listModel_->Clear();
    if (tree_->VolumeCount() == 0) return;
    listModel_->ShowNode(node, sort_);
    statusPanels_[1]->setText(QString::number(listModel_->rowCount()) + QStringLiteral(" Items"));
    const QString path = FromUtf8(GetNodePath(*tree_, node));
    PathBox->RecordPath(path);
    WriteCurrentFolderEntry(node);
    if (AutoAdjust1->isChecked()) AdjustColsExecute();
}

void TArdvelForm::ListViewColumnClick(StyledListView* list, int column)
{
    sort_.ColumnClick(column);
    if (ListRowsModel* rows = RowsOf(list)) rows->SortRows(sort_);
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
    const int row = ListView->SelectedRow();
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
    BackMenu->clear();
    ForwMenu->clear();
    const int current = history_.CurrentIndex();
    if (current - 1 >= 0 && history_.Slot(current - 1))
        BackBut->setToolTip(QStringLiteral("Back to ") + FromUtf8(history_.Slot(current - 1)->Text));
    const auto back = history_.BackEntries();
    for (std::size_t k = 0; k < back.size(); ++k) {
        QAction* item = BackMenu->addAction(MenuCaption(back[k]->Text));
        connect(item, &QAction::triggered, this, [this, k] { BackMenuClick(static_cast<int>(k)); });
    }
    if (current + 1 < NavigationHistory::kSlots && history_.Slot(current + 1))
        ForwBut->setToolTip(QStringLiteral("Forwar to ") + FromUtf8(history_.Slot(current + 1)->Text));
    const auto forward = history_.ForwardEntries();
    for (std::size_t k = 0; k < forward.size(); ++k) {
        QAction* item = ForwMenu->addAction(MenuCaption(forward[k]->Text));
        connect(item, &QAction::triggered, this, [this, k] { ForwMenuClick(static_cast<int>(k)); });
    }
    BackBut->setEnabled(!BackMenu->isEmpty());
    ForwBut->setEnabled(!ForwMenu->isEmpty());
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
    FBut->setChecked(true);
    Panel3->show();
    leftStack_->setCurrentWidget(Catalog);
    if (stopSearchHandler_) stopSearchHandler_();
    Panel1->setText(QStringLiteral(" Folders"));
    PathBox->RemoveSearchResults();
    ShowList(ListView);
    ViewsClick(ListView->Style());
    SaveSR->setEnabled(false);
    // Panel 1 counts the folder list again, even when the path leads to the
    // folder already open.
    WriteRowCount();
    GoToPath();
}

void TArdvelForm::GoToPath()
{
    if (tree_->VolumeCount() == 0) return;
    const QByteArray path = PathBox->currentText().toUtf8();
    const NodeId node = ResolveNodePath(*tree_, std::string_view(path.constData(), static_cast<std::size_t>(path.size())), locale_);
    if (node == kNoNode) {
        dialogs_.ShowError(QString::fromLatin1(kPathNotFound));
        // The entry that led nowhere leaves the box.
        if (PathBox->currentIndex() >= 0) PathBox->removeItem(PathBox->currentIndex());
        if (PathBox->count() > 0) PathBox->setCurrentIndex(0);
        return;
    }
    SelectNode(node);
    CatalogClick();
}

// ---------------------------------------------------------------------------
// Catalog commands

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
    Catalog->viewport()->update();
    ListView->CurrentView()->viewport()->update();
    SearchView->CurrentView()->viewport()->update();
}

void TArdvelForm::Rename1Execute()
{
    const NodeId node = SelectedNode();
    if (node == kNoNode || tree_->Level(node) != 1) return;
    treeModel_->SetEditableNode(node);
    Catalog->edit(treeModel_->IndexOf(node));
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
    const VolumeFileResult renamed = RenameVolumeFile(*tree_, node, catalogFolder_, name);
    if (renamed != VolumeFileResult::Done) {
        dialogs_.ShowError(QString::fromUtf8(RenameFailureText(renamed)));
        return false;
    }
    treeModel_->RenameVolume(node, name, [this](std::string_view a, std::string_view b) { return locale_.Less(a, b); });
    // A list of the volumes shows the new name in its sorted place.
    if (listModel_->ShownNode() == CatalogTree::kRoot) listModel_->SortRows(sort_);
    RefreshLookIn();
    return true;
}

void TArdvelForm::Delete1Execute()
{
    const NodeId node = SelectedNode();
    if (node == kNoNode || tree_->Level(node) != 1) return;
    if (!dialogs_.Confirm(QString::fromLatin1(kDeleteQuestion) + FromUtf8(tree_->Text(node)) + QLatin1Char('?'))) return;
    if (DeleteVolumeFile(*tree_, node, catalogFolder_) != VolumeFileResult::Done) {
        dialogs_.ShowError(QString::fromLatin1(kCatalogFileMissing));
        if (!dialogs_.Confirm(QString::fromLatin1(kDeleteNodeAnyway))) return;
    }
    RemoveVolumeNode(node);
}

void TArdvelForm::RemoveVolumeNode(NodeId node)
{
    const bool listedRoot = listModel_->ShownNode() == CatalogTree::kRoot;
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
    treeModel_->BeginTreeReset();
    const LoadResult result = ardvel::LoadCatalogs(
        *tree_, catalogFolder_, locale_, [&](std::size_t position, std::size_t maximum) {
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
    if (splash) splash->SetFilesRead(opened);
    splash.reset();
    ForgetRemovedNodes();

    if (!result.Failures.empty()) {
        QStringList lines;
        for (const LoadFailure& f : result.Failures)
            lines.push_back(FromUtf8(f.Path) + QStringLiteral(": ") + FromUtf8(f.Message));
        dialogs_.ShowError(lines.join(QLatin1Char('\n')));
    }

    const QModelIndex root = treeModel_->IndexOf(CatalogTree::kRoot);
    Catalog->expand(root);
    SelectNode(CatalogTree::kRoot);
    RefreshLookIn();
    FillList();
    WriteCatalogCount();
}

void TArdvelForm::ForgetRemovedNodes()
{
    listModel_->ForgetIfStale();
    history_.DropStale(*tree_);
    UpdateHistoryMenus();
}

// ---------------------------------------------------------------------------
// Layout, views and settings

void TArdvelForm::LoadSettings()
{
    const ViewSettings s = ReadViewSettings(IniFile::Load(SettingsFilePath()));
    catalogFolder_ = s.CatalogFolder;
    SearchView->SetStyle(s.SearchViewStyle);
    StandartButtons1->setChecked(s.StdBar);
    PathBar1->setChecked(s.PathBar);
    AutoAdjust1->setChecked(s.AutoAdjust);
    ToggleToolbars();
    ViewsClick(s.ListViewStyle);
}

void TArdvelForm::SaveSettings()
{
    const std::string path = SettingsFilePath();
    IniFile ini = IniFile::Load(path);
    ViewSettings s;
    s.CatalogFolder = catalogFolder_;
    s.ListViewStyle = ListView->Style();
    s.SearchViewStyle = SearchView->Style();
    s.StdBar = !StandartButs->isHidden();
    s.PathBar = !PathBar->isHidden();
    s.AutoAdjust = AutoAdjust1->isChecked();
    WriteViewSettings(ini, s);
    if (!ini.Save(path)) dialogs_.ShowError(QStringLiteral("Unable to write to ") + FromUtf8(path));
}

void TArdvelForm::ToggleToolbars()
{
    StandartButs->setVisible(StandartButtons1->isChecked());
    PathBar->setVisible(PathBar1->isChecked());
}

void TArdvelForm::AdjustColsExecute()
{
    StyledListView* list = ShownList();
    ListRowsModel* rows = RowsOf(list);
    if (!rows || list->Style() != kDetails) return;
    const int f = QFontInfo(list->DetailsView()->font()).pointSize();
    QHeaderView* header = list->DetailsView()->header();
    int m = rows->LongestText(0);
    if (m < 3) m = 2;
    header->resizeSection(0, f * (m - 1) + 16);
    for (int c = 1; c < rows->columnCount(); ++c) {
        m = rows->LongestText(c);
        if (m < 3) m = 3;
        header->resizeSection(c, f * m);
    }
}

void TArdvelForm::ViewsClick(int k)
{
    if (k < kLargeIcons || k > kDetails) k = kDetails;
    ViewMenuItems[k]->setChecked(true);
    ViewsItems[k]->setChecked(true);
    ShownList()->SetStyle(k);
}

void TArdvelForm::XButClick()
{
    Panel3->hide();
    SBut->setChecked(false);
    FBut->setChecked(false);
}

bool TArdvelForm::FolderListShown() const
{
    return rightStack_->currentWidget() == ListView;
}

StyledListView* TArdvelForm::ShownList() const
{
    return FolderListShown() ? ListView : SearchView;
}

ListRowsModel* TArdvelForm::RowsOf(StyledListView* list) const
{
    return qobject_cast<ListRowsModel*>(list->Model());
}

void TArdvelForm::ShowList(StyledListView* list)
{
    rightStack_->setCurrentWidget(list);
}

void TArdvelForm::SetSearchResultsModel(ListRowsModel* model)
{
    SearchView->SetModel(model);
}

void TArdvelForm::ToggleSearch()
{
    const bool folders = FBut->isChecked();
    const bool search = SBut->isChecked();
    Panel3->setVisible(folders || search);
    if (folders) {
        leftStack_->setCurrentWidget(Catalog);
        if (stopSearchHandler_) stopSearchHandler_();
        Panel1->setText(QStringLiteral(" Folders"));
        PathBox->RemoveSearchResults();
        if (PathBox->count() > 0) PathBox->setCurrentIndex(0);
        ShowList(ListView);
        ViewsClick(ListView->Style());
    } else if (search) {
        leftStack_->setCurrentWidget(ScrollBox1);
        if (searchPanel_) searchPanel_->Splitter1Moved();
        Panel1->setText(QStringLiteral(" Search"));
        PathBox->InsertSearchResults();
        if (searchPanel_) searchPanel_->FocusFileNames();
        ShowList(SearchView);
        ViewsClick(SearchView->Style());
    }
    SaveSR->setEnabled(!FolderListShown());
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
                              (list == ListView ? QStringLiteral(" Items") : QStringLiteral(" Matches found")));
}

void TArdvelForm::RefreshLookIn()
{
    LookIn->clear();
    for (NodeId volume : tree_->Children(CatalogTree::kRoot))
        LookIn->addItem(ListImage(kVolumeImage), FromUtf8(tree_->Text(volume)));
    NodeId node = SelectedNode();
    if (node == kNoNode) node = CatalogTree::kRoot;
    LookIn->addItem(ListImage(tree_->ImageIndex(node)), FromUtf8(GetNodePath(*tree_, node)));
    LookIn->addItem(ListImage(kRootImage), QStringLiteral("All"));
    LookIn->setCurrentIndex(0);
}

void TArdvelForm::WriteCurrentFolderEntry(NodeId node)
{
    const int entry = LookIn->count() - 2;
    if (entry < 0) return;
    LookIn->setItemText(entry, FromUtf8(GetNodePath(*tree_, node)));
    LookIn->setItemIcon(entry, ListImage(tree_->ImageIndex(node)));
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
