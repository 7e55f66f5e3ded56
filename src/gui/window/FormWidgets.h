#pragma once

// The main window's widgets, actions and menus, by the names the program
// gives them. The window builds them (ArdvelFormLayout.cpp) and keeps them
// to itself.

class QAction;
class QFrame;
class QLabel;
class QMenu;
class QScrollArea;
class QSplitter;
class QToolBar;
class QToolButton;
class QTreeView;

namespace ardvel::gui {

class PathBox;
class StyledListView;

struct FormWidgets {
    QToolBar* ToolBar3 = nullptr;
    QToolBar* StandartButs = nullptr;
    QToolBar* PathBar = nullptr;
    QToolButton* BackBut = nullptr;
    QToolButton* ForwBut = nullptr;
    QToolButton* UpBut = nullptr;
    QToolButton* ViewBut = nullptr;
    QAction* SBut = nullptr;
    QAction* FBut = nullptr;
    QMenu* BackMenu = nullptr;
    QMenu* ForwMenu = nullptr;
    QMenu* Views = nullptr;
    gui::PathBox* PathBox = nullptr;
    QSplitter* Splitter1 = nullptr;
    QFrame* Panel3 = nullptr;
    QLabel* Panel1 = nullptr;
    QToolButton* XBut = nullptr;
    QTreeView* Catalog = nullptr;
    QScrollArea* ScrollBox1 = nullptr;
    StyledListView* ListView = nullptr;
    StyledListView* SearchView = nullptr;

    // Actions and menu items.
    QAction* CreateNew = nullptr;
    QAction* SetCatDir = nullptr;
    QAction* SaveSR = nullptr;
    QAction* ExportVolume = nullptr;
    QAction* ImportVolume = nullptr;
    QAction* Repaint = nullptr;
    QAction* Quit = nullptr;
    QAction* Rename1 = nullptr;
    QAction* Delete1 = nullptr;
    QAction* StandartButtons1 = nullptr;
    QAction* PathBar1 = nullptr;
    QAction* AdjustCols = nullptr;
    QAction* AutoAdjust1 = nullptr;
    QMenu* Columns1 = nullptr;
    QAction* HelpContents = nullptr;
    QAction* Update = nullptr;
    QAction* About1 = nullptr;
    /// The view-style items of the View menu and of `Views`, by number.
    QAction* ViewMenuItems[4] = {};
    QAction* ViewsItems[4] = {};
};

}  // namespace ardvel::gui
