// The main window's widgets: actions, the menu bar, the toolbars, the two
// panes and the status bar, and the signals that tie them to the commands.
#include <QAbstractItemDelegate>
#include <QAction>
#include <QActionGroup>
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
#include <algorithm>

#include "cataloguing/VolumeExchange.h"
#include "common/DetailsTable.h"
#include "common/Icons.h"
#include "common/PaintedIcon.h"
#include "common/StyledListView.h"
#include "search/SearchPanel.h"
#include "window/ArdvelForm.h"
#include "window/CatalogTreeModel.h"
#include "window/FolderListModel.h"
#include "window/PathBox.h"

namespace ardvel::gui {

namespace {
// The work area's first widths: the left pane and the lists.
constexpr int kLeftPaneWidth = 225;
constexpr int kListsWidth = 311;
}  // namespace

void TArdvelForm::BuildActions()
{
    auto make = [this](const char* name, const QString& caption, const QKeySequence& shortcut = {}) {
        auto* action = new QAction(caption, this);
        action->setObjectName(QString::fromLatin1(name));
        if (!shortcut.isEmpty()) action->setShortcut(shortcut);
        addAction(action);  // shortcuts work while the menus are closed
        return action;
    };
    w_.CreateNew = make("CreateNew", QStringLiteral("&New Catalog..."), QKeySequence(QStringLiteral("Ctrl+N")));
    w_.SetCatDir = make("SetCatDir", QStringLiteral("Set Catalog &Folder"));
    w_.SaveSR = make("SaveSR", QStringLiteral("&Save Search Results"));
    w_.SaveSR->setEnabled(false);
    w_.ExportVolume = make("ExportVolume", QStringLiteral("&Export Volume..."));
    w_.ImportVolume = make("ImportVolume", QStringLiteral("&Import..."));
    w_.Repaint = make("Repaint", QStringLiteral("&Refresh"), QKeySequence(Qt::Key_F5));
    w_.Quit = make("Quit", QStringLiteral("&Quit"), QKeySequence(QStringLiteral("Ctrl+X")));
    w_.Rename1 = make("Rename1", QStringLiteral("&Rename"), QKeySequence(Qt::Key_F2));
    w_.Delete1 = make("Delete1", QStringLiteral("&Delete"), QKeySequence(QStringLiteral("Ctrl+D")));
    w_.StandartButtons1 = make("StandartButtons1", QStringLiteral("&Standard Buttons"));
    w_.StandartButtons1->setCheckable(true);
    w_.PathBar1 = make("PathBar1", QStringLiteral("&Path Bar"));
    w_.PathBar1->setCheckable(true);
    w_.AdjustCols = make("AdjustCols", QStringLiteral("&Resize Now"), QKeySequence(Qt::Key_F3));
    w_.AutoAdjust1 = make("AutoAdjust1", QStringLiteral("A&uto Resize"));
    w_.AutoAdjust1->setCheckable(true);
    w_.HelpContents = make("HelpContents", QStringLiteral("Contents"));
    w_.HelpContents->setShortcuts({QKeySequence(QStringLiteral("Ctrl+F1")), QKeySequence(Qt::Key_F10)});
    w_.Update = make("Update", QStringLiteral("Check For &Update"));
    w_.About1 = make("About1", QStringLiteral("&About"));

    connect(w_.CreateNew, &QAction::triggered, this, [this] { CreateNewExecute(); });
    connect(w_.SetCatDir, &QAction::triggered, this, [this] { SetCatDirClick(); });
    connect(w_.ExportVolume, &QAction::triggered, this, [this] { ExportSelectedVolume(*this, dialogs_); });
    connect(w_.ImportVolume, &QAction::triggered, this, [this] { ImportVolume(*this, dialogs_, locale_); });
    connect(w_.Repaint, &QAction::triggered, this, [this] { RepaintExecute(); });
    connect(w_.Quit, &QAction::triggered, this, [this] { QuitExecute(); });
    connect(w_.Rename1, &QAction::triggered, this, [this] { Rename1Execute(); });
    connect(w_.Delete1, &QAction::triggered, this, [this] { Delete1Execute(); });
    connect(w_.StandartButtons1, &QAction::triggered, this, [this] { ToggleToolbars(); });
    connect(w_.PathBar1, &QAction::triggered, this, [this] { ToggleToolbars(); });
    connect(w_.AdjustCols, &QAction::triggered, this, [this] { AdjustColsExecute(); });
    connect(w_.AutoAdjust1, &QAction::triggered, this, [this] { AutoAdjustClick(); });
    connect(w_.HelpContents, &QAction::triggered, this, [this] { HelpContentsExecute(); });
    connect(w_.Update, &QAction::triggered, this, [this] { UpdateClick(); });
    connect(w_.About1, &QAction::triggered, this, [this] { About1Click(); });
    w_.Delete1->setShortcuts({QKeySequence(QStringLiteral("Ctrl+D")), QKeySequence(QKeySequence::Delete)});
    BuildViewActions();
    BuildDuplicateActions();
    BuildKeys();
}

void TArdvelForm::BuildKeys()
{
    auto key = [this](const char* name, QList<QKeySequence> keys, std::function<void()> run) {
        auto* action = new QAction(this);
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcuts(keys);
        addAction(action);
        connect(action, &QAction::triggered, this, std::move(run));
    };
    key("GoUp", {QKeySequence(Qt::Key_Backspace), QKeySequence(Qt::ALT | Qt::Key_Up)}, [this] { UpButClick(); });
    key("GoBack", {QKeySequence(Qt::ALT | Qt::Key_Left)}, [this] { BackButClick(); });
    key("GoForward", {QKeySequence(Qt::ALT | Qt::Key_Right)}, [this] { ForwButClick(); });
    key("FindFiles", {QKeySequence(QKeySequence::Find)}, [this] {
        w_.SBut->setChecked(true);
        ToggleSearch();
    });
}

void TArdvelForm::BuildViewActions()
{
    static const char* const kViewCaptions[4] = {"L&arge Icons", "&Small Icons", "&List", "&Details"};
    static const char* const kViewMenuNames[4] = {"LIcons", "SIcons", "VList", "VDetails"};
    static const char* const kViewsNames[4] = {"LargeIcons2", "SmallIcons1", "List2", "Details2"};
    auto* viewMenuGroup = new QActionGroup(this);
    auto* viewsGroup = new QActionGroup(this);
    for (int k = 0; k < 4; ++k) {
        w_.ViewMenuItems[k] = new QAction(QString::fromLatin1(kViewCaptions[k]), viewMenuGroup);
        w_.ViewMenuItems[k]->setObjectName(QString::fromLatin1(kViewMenuNames[k]));
        w_.ViewsItems[k] = new QAction(QString::fromLatin1(kViewCaptions[k]), viewsGroup);
        w_.ViewsItems[k]->setObjectName(QString::fromLatin1(kViewsNames[k]));
        for (QAction* item : {w_.ViewMenuItems[k], w_.ViewsItems[k]}) {
            item->setCheckable(true);
            connect(item, &QAction::triggered, this, [this, k] { ViewsClick(k); });
        }
    }
}

QMenu* TArdvelForm::AddBarMenu(const char* name, const QString& caption)
{
    auto* menu = new QMenu(caption, this);
    menu->setObjectName(QString::fromLatin1(name));
    auto* button = new QToolButton(w_.ToolBar3);
    button->setText(caption);
    button->setMenu(menu);
    button->setPopupMode(QToolButton::InstantPopup);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    button->setAutoRaise(true);
    button->setMinimumWidth(36);
    w_.ToolBar3->addWidget(button);
    return menu;
}

void TArdvelForm::BuildMenuBar()
{
    // The main menu is a flat bar of caption buttons, each opening its menu.
    w_.ToolBar3 = new QToolBar(this);
    w_.ToolBar3->setObjectName(QStringLiteral("ToolBar3"));
    w_.ToolBar3->setMovable(false);
    w_.ToolBar3->setFloatable(false);
    w_.ToolBar3->setStyleSheet(QStringLiteral("QToolButton::menu-indicator { image: none; }"));
    addToolBar(Qt::TopToolBarArea, w_.ToolBar3);

    QMenu* file = AddBarMenu("File1", QStringLiteral("&File"));
    file->addAction(w_.CreateNew);
    file->addAction(w_.SetCatDir);
    file->addAction(w_.SaveSR);
    file->addAction(w_.ExportVolume);
    file->addAction(w_.ImportVolume);
    file->addSeparator();
    file->addAction(w_.Repaint);
    file->addSeparator();
    file->addAction(w_.Quit);

    QMenu* edit = AddBarMenu("Edit1", QStringLiteral("&Edit"));
    edit->addAction(w_.Rename1);
    edit->addAction(w_.Delete1);

    QMenu* view = AddBarMenu("View1", QStringLiteral("&View"));
    QMenu* toolbars = view->addMenu(QStringLiteral("&ToolBars"));
    toolbars->addAction(w_.StandartButtons1);
    toolbars->addAction(w_.PathBar1);
    w_.Columns1 = view->addMenu(QStringLiteral("&Columns"));
    w_.Columns1->setObjectName(QStringLiteral("Columns1"));
    w_.Columns1->addAction(w_.AdjustCols);
    w_.Columns1->addAction(w_.AutoAdjust1);
    connect(w_.Columns1, &QMenu::aboutToShow, this, [this] { AdjustColsExecute(); });
    view->addSeparator();
    for (QAction* item : w_.ViewMenuItems) view->addAction(item);

    QMenu* tools = AddBarMenu("Tools1", QStringLiteral("&Tools"));
    tools->addAction(w_.FindDuplicates);

    QMenu* help = AddBarMenu("Help1", QStringLiteral("&Help"));
    help->addAction(w_.HelpContents);
    help->addSeparator();
    help->addAction(w_.Update);
    help->addSeparator();
    help->addAction(w_.About1);

    w_.Views = new QMenu(this);
    w_.Views->setObjectName(QStringLiteral("Views"));
    for (QAction* item : w_.ViewsItems) w_.Views->addAction(item);
}

void TArdvelForm::BuildToolbars()
{
    addToolBarBreak();
    w_.StandartButs = new QToolBar(this);
    w_.StandartButs->setObjectName(QStringLiteral("StandartButs"));
    w_.StandartButs->setMovable(false);
    w_.StandartButs->setFloatable(false);
    w_.StandartButs->setIconSize(QSize(16, 16));
    addToolBar(Qt::TopToolBarArea, w_.StandartButs);

    w_.BackMenu = new QMenu(this);
    w_.BackMenu->setObjectName(QStringLiteral("BackMenu"));
    w_.ForwMenu = new QMenu(this);
    w_.ForwMenu->setObjectName(QStringLiteral("ForwMenu"));

    auto button = [this](const char* name, const QIcon& icon, const QString& text, Qt::ToolButtonStyle style) {
        auto* b = new QToolButton(w_.StandartButs);
        b->setObjectName(QString::fromLatin1(name));
        b->setIcon(icon);
        b->setText(text);
        b->setToolButtonStyle(style);
        b->setAutoRaise(true);
        w_.StandartButs->addWidget(b);
        return b;
    };
    // The desktop theme's arrows where it has them, the style's otherwise.
    QStyle* s = style();
    const auto themed = [s](const char* name, QStyle::StandardPixmap fallback) {
        return ThemeIconOr(QString::fromLatin1(name), s->standardIcon(fallback));
    };
    w_.BackBut = button("BackBut", themed("go-previous", QStyle::SP_ArrowBack), QStringLiteral("Back"),
                        Qt::ToolButtonTextBesideIcon);
    w_.BackBut->setMenu(w_.BackMenu);
    w_.BackBut->setPopupMode(QToolButton::MenuButtonPopup);
    w_.BackBut->setEnabled(false);
    w_.ForwBut = button("ForwBut", themed("go-next", QStyle::SP_ArrowForward), QString(), Qt::ToolButtonIconOnly);
    w_.ForwBut->setMenu(w_.ForwMenu);
    w_.ForwBut->setPopupMode(QToolButton::MenuButtonPopup);
    w_.ForwBut->setEnabled(false);
    w_.UpBut = button("UpBut", themed("go-up", QStyle::SP_FileDialogToParent), QString(), Qt::ToolButtonIconOnly);
    w_.UpBut->setToolTip(QStringLiteral("To parent directory"));
    // The buttons that show only an icon are named for screen readers.
    w_.ForwBut->setAccessibleName(QStringLiteral("Forward"));
    w_.UpBut->setAccessibleName(QStringLiteral("Up"));
    w_.UpBut->setEnabled(false);
    connect(w_.BackBut, &QToolButton::clicked, this, [this] { BackButClick(); });
    connect(w_.ForwBut, &QToolButton::clicked, this, [this] { ForwButClick(); });
    connect(w_.UpBut, &QToolButton::clicked, this, [this] { UpButClick(); });
    w_.StandartButs->addSeparator();
    BuildModeButtons();
    w_.StandartButs->addSeparator();

    w_.ViewBut = button("ViewBut", ViewButtonImage(), QString(), Qt::ToolButtonIconOnly);
    w_.ViewBut->setIconSize(QSize(25, 16));
    w_.ViewBut->setToolTip(QStringLiteral("Switch views"));
    w_.ViewBut->setAccessibleName(QStringLiteral("Views"));
    w_.ViewBut->setMenu(w_.Views);
    w_.ViewBut->setPopupMode(QToolButton::InstantPopup);
    w_.ViewBut->setStyleSheet(QStringLiteral("QToolButton::menu-indicator { image: none; }"));
    BuildPathBar();
}

void TArdvelForm::BuildModeButtons()
{
    modeGroup_ = new QActionGroup(this);
    modeGroup_->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    w_.SBut = new QAction(ListImage(kSearchResultsImage), QStringLiteral("Search"), modeGroup_);
    w_.SBut->setObjectName(QStringLiteral("SBut"));
    w_.SBut->setToolTip(QStringLiteral("Switch to search mode"));
    w_.SBut->setCheckable(true);
    w_.FBut = new QAction(ListImage(kFolderImage), QStringLiteral("Folders"), modeGroup_);
    w_.FBut->setObjectName(QStringLiteral("FBut"));
    w_.FBut->setToolTip(QStringLiteral("Switch to folders mode"));
    w_.FBut->setCheckable(true);
    w_.FBut->setChecked(true);
    for (QAction* mode : {w_.SBut, w_.FBut}) {
        auto* b = new QToolButton(w_.StandartButs);
        b->setDefaultAction(mode);
        b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        b->setAutoRaise(true);
        w_.StandartButs->addWidget(b);
        connect(mode, &QAction::triggered, this, [this] { ToggleSearch(); });
    }
}

void TArdvelForm::BuildPathBar()
{
    addToolBarBreak();
    w_.PathBar = new QToolBar(this);
    w_.PathBar->setObjectName(QStringLiteral("PathBar"));
    w_.PathBar->setMovable(false);
    w_.PathBar->setFloatable(false);
    addToolBar(Qt::TopToolBarArea, w_.PathBar);
    auto* bar = new QWidget(w_.PathBar);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(8, 0, 2, 0);
    row->setSpacing(6);
    auto* label = new QLabel(QStringLiteral("Path:"), bar);
    label->setFixedWidth(32);
    row->addWidget(label);
    w_.PathBox = new gui::PathBox(bar);
    w_.PathBox->setObjectName(QStringLiteral("PathBox"));
    w_.PathBox->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    row->addWidget(w_.PathBox, 1);
    w_.PathBar->addWidget(bar);
    connect(w_.PathBox, &PathBox::ClosedUp, this, [this] { PathBoxCloseUp(); });
}

void TArdvelForm::BuildWorkArea()
{
    w_.Splitter1 = new QSplitter(Qt::Horizontal, this);
    w_.Splitter1->setObjectName(QStringLiteral("Splitter1"));
    w_.Splitter1->setHandleWidth(3);
    w_.Splitter1->setChildrenCollapsible(false);
    w_.Splitter1->addWidget(BuildLeftPane(w_.Splitter1));
    w_.Splitter1->addWidget(BuildLists(w_.Splitter1));
    w_.Splitter1->setStretchFactor(0, 0);
    w_.Splitter1->setStretchFactor(1, 1);
    w_.Splitter1->setSizes({kLeftPaneWidth, kListsWidth});
    setCentralWidget(w_.Splitter1);
}

QFrame* TArdvelForm::BuildLeftPane(QWidget* parent)
{
    w_.Panel3 = new QFrame(parent);
    w_.Panel3->setObjectName(QStringLiteral("Panel3"));
    w_.Panel3->setFrameShape(QFrame::StyledPanel);
    w_.Panel3->setFrameShadow(QFrame::Sunken);
    auto* left = new QVBoxLayout(w_.Panel3);
    left->setContentsMargins(1, 1, 1, 1);
    left->setSpacing(0);

    auto* title = new QFrame(w_.Panel3);
    title->setFixedHeight(18);
    auto* titleRow = new QHBoxLayout(title);
    titleRow->setContentsMargins(0, 0, 1, 0);
    w_.Panel1 = new QLabel(QStringLiteral(" Folders"), title);
    w_.Panel1->setObjectName(QStringLiteral("Panel1"));
    titleRow->addWidget(w_.Panel1, 1);
    w_.XBut = new QToolButton(title);
    w_.XBut->setObjectName(QStringLiteral("XBut"));
    w_.XBut->setText(QStringLiteral("X"));
    w_.XBut->setAutoRaise(true);
    w_.XBut->setFixedSize(16, 16);
    QFont xFont(QStringLiteral("Lucida Console"));
    xFont.setBold(true);
    w_.XBut->setFont(xFont);
    titleRow->addWidget(w_.XBut);
    connect(w_.XBut, &QToolButton::clicked, this, [this] { XButClick(); });
    left->addWidget(title);

    leftStack_ = new QStackedWidget(w_.Panel3);
    w_.Catalog = new QTreeView(leftStack_);
    w_.Catalog->setObjectName(QStringLiteral("Catalog"));
    w_.Catalog->setAccessibleName(QStringLiteral("Folders"));
    w_.Catalog->setHeaderHidden(true);
    w_.Catalog->setIndentation(19);
    w_.Catalog->setRootIsDecorated(false);
    w_.Catalog->setUniformRowHeights(true);
    w_.Catalog->setSelectionMode(QAbstractItemView::SingleSelection);
    w_.Catalog->setEditTriggers(QAbstractItemView::NoEditTriggers);
    w_.Catalog->setExpandsOnDoubleClick(true);
    w_.Catalog->setModel(treeModel_);
    connect(w_.Catalog, &QTreeView::clicked, this, [this] { CatalogClick(); });
    connect(w_.Catalog, &QTreeView::activated, this, [this] { CatalogClick(); });
    // The tree is read-only again once an edit ends, whatever its outcome.
    connect(w_.Catalog->itemDelegate(), &QAbstractItemDelegate::closeEditor, this,
            [this] { treeModel_->SetEditableNode(kNoNode); });
    leftStack_->addWidget(w_.Catalog);

    // The search panel (TSearchPanel) fills the scroll area.
    w_.ScrollBox1 = new QScrollArea(leftStack_);
    w_.ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
    w_.ScrollBox1->setWidgetResizable(true);
    leftStack_->addWidget(w_.ScrollBox1);
    leftStack_->setCurrentWidget(w_.Catalog);
    left->addWidget(leftStack_, 1);
    return w_.Panel3;
}

QWidget* TArdvelForm::BuildLists(QWidget* parent)
{
    rightStack_ = new QStackedWidget(parent);
    w_.ListView = new StyledListView(rightStack_);
    w_.ListView->setObjectName(QStringLiteral("ListView"));
    w_.ListView->SetAccessibleName(QStringLiteral("Folder contents"));
    w_.ListView->SetModel(listModel_);
    // A large folder is put in order after it shows: the row chosen
    // meanwhile is brought into sight again where the order put it.
    connect(listModel_, &FolderListModel::SortFinished, this, [this] {
        QAbstractItemView* view = w_.ListView->CurrentView();
        if (view->currentIndex().isValid()) view->scrollTo(view->currentIndex());
    });
    QHeaderView* header = w_.ListView->DetailsView()->header();
    header->resizeSection(FolderListModel::kName, 200);
    header->resizeSection(FolderListModel::kSize, 82);
    header->resizeSection(FolderListModel::kModified, 82);
    header->resizeSection(FolderListModel::kMediaInfo, 50);
    w_.SearchView = new StyledListView(rightStack_);
    w_.SearchView->setObjectName(QStringLiteral("SearchView"));
    w_.SearchView->SetAccessibleName(QStringLiteral("Search results"));
    rightStack_->addWidget(w_.ListView);
    rightStack_->addWidget(w_.SearchView);
    rightStack_->setCurrentWidget(w_.ListView);
    BuildRowMenus();

    for (StyledListView* list : {w_.ListView, w_.SearchView}) {
        connect(list, &StyledListView::HeaderClicked, this,
                [this, list](int column) { ListViewColumnClick(list, column); });
        connect(list, &StyledListView::SpacePressed, this, [this, list] { ListViewKeyDown(list); });
    }
    connect(w_.ListView, &StyledListView::RowDoubleClicked, this, [this] { ListViewDblClick(); });
    return rightStack_;
}

void TArdvelForm::BuildStatusBar()
{
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
}

void TArdvelForm::BuildSearchPanel()
{
    searchPanel_ = std::make_unique<TSearchPanel>(*this, *w_.ScrollBox1, *w_.SearchView, dialogs_, locale_);
    // The left pane's 225 pixels fit the search panel's texts in a small
    // font; with the desktop's, it is as wide as they need (a width the
    // settings keep wins over both).
    const int pane = std::max(kLeftPaneWidth, searchPanel_->PreferredPaneWidth());
    w_.Splitter1->setSizes({pane, kListsWidth});
    searchPanel_->ChainTabOrder({w_.SearchView->DetailsView(), w_.SearchView->IconView()});
    connect(w_.SaveSR, &QAction::triggered, this, [this] { searchPanel_->SaveSRExecute(); });
    connect(w_.Splitter1, &QSplitter::splitterMoved, this, [this] { searchPanel_->Splitter1Moved(); });
}

}  // namespace ardvel::gui
