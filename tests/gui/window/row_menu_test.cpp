// The context menus of the tree, the folder list and the search results,
// and Ctrl+C, which copies the selected rows' paths.
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QTest>
#include <QTreeView>

#include "common/DetailsTable.h"
#include "search/SearchModeFixture.h"
#include "window/RowContextMenu.h"

namespace ardvel::gui {
namespace {

using test::Names;
using MenuState = std::vector<std::pair<std::string, bool>>;

struct RowMenuTest : test::SearchModeFixture {
    void SetUp() override
    {
        WriteStandardCatalogs();
        StartWindow();
        form->show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        QApplication::clipboard()->clear();
    }
    /// The menu of `place` as it is now: each item's name, and whether it is enabled.
    MenuState Items(RowPlace place)
    {
        MenuState items;
        const auto menu = form->RowMenu(place);
        for (const QAction* a : menu->actions())
            if (!a->isSeparator()) items.emplace_back(a->objectName().toStdString(), a->isEnabled());
        return items;
    }
    void Run(RowPlace place, const char* item)
    {
        const auto menu = form->RowMenu(place);
        QAction* action = RowMenuItem(*menu, item);
        ASSERT_NE(action, nullptr) << item;
        action->trigger();
    }
    static QString Clipboard() { return QApplication::clipboard()->text(); }
};

TEST_F(RowMenuTest, TheTreeMenuOpensCopiesAndRenamesOrDeletesOnlyVolumes)
{
    form->SelectNode(Node("Music 2002:\\Rock\\"));
    EXPECT_EQ(Items(RowPlace::Tree),
              (MenuState{{"RowOpen", true}, {"RowCopyPath", true}, {"RowRename", false}, {"RowDelete", false}}));
    Run(RowPlace::Tree, kRowCopyPath);
    EXPECT_EQ(Clipboard(), QStringLiteral("Music 2002:\\Rock\\"));
    Run(RowPlace::Tree, kRowOpen);
    EXPECT_EQ(OpenPath(), "Music 2002:\\Rock\\");

    form->SelectNode(Node("Photos:\\"));
    EXPECT_EQ(Items(RowPlace::Tree)[3], (std::pair<std::string, bool>{"RowDelete", true}));
    dialogs.Answers = {false};
    Run(RowPlace::Tree, kRowDelete);
    ASSERT_EQ(dialogs.Questions.size(), 1);
    EXPECT_EQ(dialogs.Questions[0], QStringLiteral("Do you really want to delete the catalog folder of Photos?"));
    EXPECT_NE(Node("Photos:\\"), kNoNode);
    Run(RowPlace::Tree, kRowRename);
    const auto* editor = W().Catalog->viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), QStringLiteral("Photos"));
    EXPECT_EQ(form->TreeModel().EditableNode(), Node("Photos:\\"));
}

TEST_F(RowMenuTest, TheFolderListMenuActsOnTheSelectedRow)
{
    Click("Music 2002:\\");
    W().ListView->SelectRow(ListRow("readme.txt"));
    // A file cannot be opened, renamed or deleted; its copies can be found.
    EXPECT_EQ(Items(RowPlace::FolderList), (MenuState{{"RowOpen", false},
                                                      {"RowCopyPath", true},
                                                      {"RowRename", false},
                                                      {"RowDelete", false},
                                                      {"FindCopies", true}}));
    Run(RowPlace::FolderList, kRowCopyPath);
    EXPECT_EQ(Clipboard(), QStringLiteral("Music 2002:\\readme.txt"));
    W().ListView->SelectRow(ListRow("Rock"));
    Run(RowPlace::FolderList, kRowOpen);
    EXPECT_EQ(OpenPath(), "Music 2002:\\Rock\\");
    W().ListView->Selection()->clear();
    EXPECT_FALSE(Items(RowPlace::FolderList)[1].second);  // no row, nothing to copy
}

TEST_F(RowMenuTest, AVolumeRowOfTheListIsDeletedAndTheListStaysOnTheVolumes)
{
    Click("My Catalogs");
    W().ListView->SelectRow(ListRow("Photos"));
    EXPECT_TRUE(Items(RowPlace::FolderList)[3].second);
    dialogs.Answers = {true};
    Run(RowPlace::FolderList, kRowDelete);
    EXPECT_EQ(dialogs.Questions.size(), 1);
    EXPECT_FALSE(CatalogExists("Photos.arv"));
    EXPECT_EQ(OpenPath(), "My Catalogs");
    EXPECT_EQ(ListNames(), (Names{"Backup", "Music 2002"}));
    EXPECT_EQ(form->History().BackEntries().size(), 0u);

    W().ListView->SelectRow(ListRow("Backup"));
    Run(RowPlace::FolderList, kRowRename);
    EXPECT_EQ(form->TreeModel().EditableNode(), Node("Backup:\\"));
}

TEST_F(RowMenuTest, TheResultsMenuCopiesTheFilesPathAndOpensItsFolder)
{
    W().SBut->trigger();
    Search(QStringLiteral("*.mp3"));
    W().SearchView->SelectRow(RowOf("two.mp3"));
    EXPECT_EQ(Items(RowPlace::Results),
              (MenuState{{"RowOpen", true}, {"RowOpenFolder", true}, {"RowCopyPath", true}, {"FindCopies", true}}));
    Run(RowPlace::Results, kRowCopyPath);
    EXPECT_EQ(Clipboard(), QStringLiteral("Music 2002:\\Rock\\Live\\two.mp3"));
    Run(RowPlace::Results, kRowOpenFolder);
    EXPECT_EQ(OpenPath(), "Music 2002:\\Rock\\Live\\");
    EXPECT_EQ(form->ListModel().Text(W().ListView->SelectedRow(), 0), QStringLiteral("two.mp3"));

    W().SBut->trigger();
    Search(QStringLiteral("Rock"));
    W().SearchView->SelectRow(RowOf("Rock"));
    EXPECT_EQ(form->SelectedRowPaths(RowPlace::Results), QStringLiteral("Music 2002:\\Rock\\"));
    Run(RowPlace::Results, kRowOpen);
    EXPECT_EQ(OpenPath(), "Music 2002:\\Rock\\");
}

TEST_F(RowMenuTest, CtrlCCopiesThePathsOfTheFocusedRowsAndLeavesTheNameFieldAlone)
{
    Click("Music 2002:\\");
    W().ListView->SelectRow(ListRow("Jazz"));
    W().ListView->DetailsView()->setFocus();
    QTest::keyClick(W().ListView->DetailsView(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(Clipboard(), QStringLiteral("Music 2002:\\Jazz\\"));
    // Shift+Down adds the next row: one path a line, in list order.
    ASSERT_EQ(ListRow("Rock"), ListRow("Jazz") + 1);
    QTest::keyClick(W().ListView->DetailsView(), Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(W().ListView->DetailsView(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(Clipboard(), QStringLiteral("Music 2002:\\Jazz\\\nMusic 2002:\\Rock\\"));
    EXPECT_EQ(W().ListView->SelectedRow(), ListRow("Rock"));  // the current row

    form->SelectNode(Node("Photos:\\"));
    W().Catalog->setFocus();
    QTest::keyClick(W().Catalog, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(Clipboard(), QStringLiteral("Photos:\\"));

    W().SBut->trigger();
    Panel().FileNames->setText(QStringLiteral("abc"));
    Panel().FileNames->selectAll();
    Panel().FileNames->setFocus();
    QTest::keyClick(Panel().FileNames, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(Clipboard(), QStringLiteral("abc"));
}

}  // namespace
}  // namespace ardvel::gui
