#include <QAction>
#include <QMenu>
#include <QToolButton>

#include "ArdvelFormFixture.h"

namespace ardvel::gui {
namespace {

using test::ArdvelFormFixture;
using test::Names;

struct NavigationTest : ArdvelFormFixture {
    void SetUp() override
    {
        WriteStandardCatalogs();
        Start();
        treeTester = test::TestModel(&form->TreeModel());
        listTester = test::TestModel(&form->ListModel());
    }
    std::unique_ptr<QAbstractItemModelTester> treeTester, listTester;
};

TEST_F(NavigationTest, OpeningAFolderListsItsFoldersThenFiles)
{
    Click("Music 2002:\\");
    EXPECT_EQ(ListNames(), (Names{"Jazz", "Rock", "readme.txt"}));
    EXPECT_EQ(form->StatusText(1), QStringLiteral("3 Items"));
    EXPECT_EQ(W().PathBox->currentText(), QStringLiteral("Music 2002:\\"));
    EXPECT_EQ(LookIn()->itemText(LookIn()->count() - 2), QStringLiteral("Music 2002:\\"));
    EXPECT_TRUE(W().UpBut->isEnabled());
    Click("Music 2002:\\Jazz\\");
    EXPECT_TRUE(ListNames().empty());
    EXPECT_EQ(form->StatusText(1), QStringLiteral("0 Items"));
    Click("Photos:\\");
    EXPECT_EQ(form->StatusText(1), QStringLiteral("1 Items"));
}

TEST_F(NavigationTest, TheFirstOpeningEntersNoHistoryAndARepeatedClickDoesNothing)
{
    Click("Photos:\\");
    EXPECT_EQ(OpenPath(), "Photos:\\");
    EXPECT_EQ(form->History().Count(), 0);
    EXPECT_FALSE(W().BackBut->isEnabled());
    Click("Music 2002:\\");
    EXPECT_EQ(form->History().Count(), 1);
    // A folder total would be gone if the list were filled again.
    const int rock = ListRow("Rock");
    W().ListView->SelectRow(rock);
    form->ListViewKeyDown(W().ListView);
    Click("Music 2002:\\");
    EXPECT_EQ(form->History().Count(), 1);
    EXPECT_EQ(form->ListModel().Text(rock, 1), QStringLiteral("2.346 MB"));
}

TEST_F(NavigationTest, BackAndForwardMoveThroughTheOpenedFolders)
{
    Click("Photos:\\");            // A, the first opening
    Click("Music 2002:\\");        // B
    Click("Music 2002:\\Rock\\");  // C
    EXPECT_EQ(MenuTexts(W().BackMenu), Names{"Music 2002"});
    EXPECT_TRUE(W().BackBut->isEnabled());
    EXPECT_FALSE(W().ForwBut->isEnabled());
    EXPECT_EQ(W().BackBut->toolTip(), QStringLiteral("Back to Music 2002"));

    form->BackButClick();
    EXPECT_EQ(SelectedPath(), "Music 2002:\\");
    EXPECT_EQ(OpenPath(), "Music 2002:\\");
    EXPECT_EQ(ListNames(), (Names{"Jazz", "Rock", "readme.txt"}));
    EXPECT_EQ(MenuTexts(W().ForwMenu), Names{"Rock"});
    EXPECT_TRUE(MenuTexts(W().BackMenu).empty());
    EXPECT_FALSE(W().BackBut->isEnabled());
    EXPECT_TRUE(W().ForwBut->isEnabled());
    EXPECT_EQ(W().ForwBut->toolTip(), QStringLiteral("Forwar to Rock"));
    EXPECT_EQ(form->History().Count(), 2);

    W().ForwMenu->actions().at(0)->trigger();
    EXPECT_EQ(OpenPath(), "Music 2002:\\Rock\\");
    EXPECT_EQ(ListNames(), (Names{"Live", "one.mp3"}));
    EXPECT_EQ(form->History().Count(), 2);
}

TEST_F(NavigationTest, BackMenuItemsJumpSeveralEntries)
{
    Click("My Catalogs");
    Click("Backup:\\");
    Click("Music 2002:\\");
    Click("Music 2002:\\Rock\\");
    Click("Music 2002:\\Rock\\Live\\");
    EXPECT_EQ(MenuTexts(W().BackMenu), (Names{"Rock", "Music 2002", "Backup"}));
    W().BackMenu->actions().at(2)->trigger();
    EXPECT_EQ(OpenPath(), "Backup:\\");
    EXPECT_EQ(MenuTexts(W().ForwMenu), (Names{"Music 2002", "Rock", "Live"}));
}

TEST_F(NavigationTest, UpOpensTheParentUntilTheRoot)
{
    Click("Music 2002:\\Rock\\Live\\");
    form->UpButClick();
    EXPECT_EQ(OpenPath(), "Music 2002:\\Rock\\");
    form->UpButClick();
    form->UpButClick();
    EXPECT_EQ(OpenPath(), "My Catalogs");
    EXPECT_FALSE(W().UpBut->isEnabled());
    EXPECT_EQ(ListNames(), (Names{"Backup", "Music 2002", "Photos"}));
    form->UpButClick();
    EXPECT_EQ(OpenPath(), "My Catalogs");
}

TEST_F(NavigationTest, DoubleClickOpensFolderRowsOnly)
{
    Click("Music 2002:\\");
    W().ListView->SelectRow(ListRow("readme.txt"));
    form->ListViewDblClick();
    EXPECT_EQ(OpenPath(), "Music 2002:\\");
    W().ListView->SelectRow(ListRow("Rock"));
    form->ListViewDblClick();
    EXPECT_EQ(OpenPath(), "Music 2002:\\Rock\\");
    EXPECT_EQ(SelectedPath(), "Music 2002:\\Rock\\");
    EXPECT_EQ(ListNames(), (Names{"Live", "one.mp3"}));
    // Nothing selected: nothing happens.
    W().ListView->Selection()->clearSelection();
    form->ListViewDblClick();
    EXPECT_EQ(OpenPath(), "Music 2002:\\Rock\\");
}

TEST_F(NavigationTest, SpaceShowsTheTotalOfAFolderRowsSubtree)
{
    Click("Music 2002:\\");
    const int rock = ListRow("Rock");
    W().ListView->SelectRow(rock);
    form->ListViewKeyDown(W().ListView);
    // 1200 + 1202 KB = 2402 KB.
    EXPECT_EQ(form->ListModel().Text(rock, 1), QStringLiteral("2.346 MB"));
    EXPECT_EQ(ListRow("Rock"), rock);  // the row is not moved
    const int file = ListRow("readme.txt");
    W().ListView->SelectRow(file);
    form->ListViewKeyDown(W().ListView);
    EXPECT_EQ(form->ListModel().Text(file, 1), QStringLiteral("1 KB"));
    const int jazz = ListRow("Jazz");
    W().ListView->SelectRow(jazz);
    form->ListViewKeyDown(W().ListView);
    EXPECT_EQ(form->ListModel().Text(jazz, 1), QStringLiteral("0 KB"));
}

TEST_F(NavigationTest, HeaderClicksFlipOrRestartTheSort)
{
    Click("Music 2002:\\");
    form->ListViewColumnClick(W().ListView, 0);
    EXPECT_EQ(ListNames(), (Names{"Rock", "Jazz", "readme.txt"}));
    form->ListViewColumnClick(W().ListView, 0);
    EXPECT_EQ(ListNames(), (Names{"Jazz", "Rock", "readme.txt"}));
    form->ListViewColumnClick(W().ListView, 2);
    EXPECT_EQ(form->CurrentSort().Column, 2);
    EXPECT_EQ(form->CurrentSort().Direction, 1);
    // The sort state applies to the next folder opened.
    form->ListViewColumnClick(W().ListView, 0);
    form->ListViewColumnClick(W().ListView, 0);
    Click("My Catalogs");
    EXPECT_EQ(ListNames(), (Names{"Photos", "Music 2002", "Backup"}));
}

TEST_F(NavigationTest, ThePathBoxKeepsElevenPathsNewestFirstEachOnce)
{
    Click("Music 2002:\\");
    Click("Music 2002:\\Rock\\");
    Click("Music 2002:\\");
    EXPECT_EQ(Entries(W().PathBox), (Names{"Music 2002:\\Rock\\", "Music 2002:\\", "My Catalogs"}));
    EXPECT_EQ(W().PathBox->currentIndex(), 1);
    for (const char* path : {"Backup:\\", "Photos:\\", "Music 2002:\\Jazz\\", "Music 2002:\\Rock\\Live\\"}) Click(path);
    // Known paths keep their places; with 11 the oldest leaves.
    for (int i = 0; i < 5; ++i) W().PathBox->RecordPath(QStringLiteral("X%1:\\").arg(i));
    EXPECT_EQ(W().PathBox->count(), 11);
    W().PathBox->RecordPath(QStringLiteral("Y:\\"));
    EXPECT_EQ(W().PathBox->count(), 11);
    EXPECT_EQ(W().PathBox->itemText(0), QStringLiteral("Y:\\"));
    EXPECT_EQ(W().PathBox->itemText(10), QStringLiteral("Music 2002:\\Rock\\"));
}

TEST_F(NavigationTest, GoingToAPathIgnoresCase)
{
    W().PathBox->insertItem(0, QStringLiteral("music 2002:\\rock\\live"));
    W().PathBox->setCurrentIndex(0);
    form->PathBoxCloseUp();
    EXPECT_TRUE(dialogs.Errors.empty());
    EXPECT_EQ(OpenPath(), "Music 2002:\\Rock\\Live\\");
    EXPECT_EQ(W().PathBox->currentText(), QStringLiteral("Music 2002:\\Rock\\Live\\"));
    // The folder already shown: nothing but the mode changes.
    const int entries = W().PathBox->count();
    form->PathBoxCloseUp();
    EXPECT_EQ(W().PathBox->count(), entries);
    EXPECT_EQ(form->History().Count(), 0);
}

TEST_F(NavigationTest, APathThatLeadsNowhereIsReportedAndLeavesTheBox)
{
    Click("Photos:\\");
    // No volume is named without the ":" after it.
    for (const char* gone : {"Gone:\\", "Photos\\"}) {
        W().PathBox->insertItem(1, QString::fromLatin1(gone));
        W().PathBox->setCurrentIndex(1);
        form->PathBoxCloseUp();
        ASSERT_FALSE(dialogs.Errors.empty());
        EXPECT_EQ(dialogs.Errors.back(), QStringLiteral("Path not found!"));
        EXPECT_EQ(W().PathBox->findText(QString::fromLatin1(gone)), -1);
        EXPECT_EQ(W().PathBox->currentIndex(), 0);
        EXPECT_EQ(OpenPath(), "Photos:\\");
    }
}

TEST_F(NavigationTest, ClosingThePathBoxLeavesSearchMode)
{
    Click("Photos:\\");
    W().SBut->trigger();
    EXPECT_FALSE(form->FolderListShown());
    EXPECT_EQ(W().PathBox->itemText(0), QStringLiteral("Search Results"));
    EXPECT_EQ(W().Panel1->text(), QStringLiteral(" Search"));
    W().PathBox->setCurrentIndex(W().PathBox->findText(QStringLiteral("My Catalogs")));
    form->PathBoxCloseUp();
    EXPECT_TRUE(W().FBut->isChecked());
    EXPECT_FALSE(W().SBut->isChecked());
    EXPECT_TRUE(form->FolderListShown());
    EXPECT_EQ(W().Panel1->text(), QStringLiteral(" Folders"));
    EXPECT_EQ(W().PathBox->findText(QStringLiteral("Search Results")), -1);
    EXPECT_EQ(OpenPath(), "My Catalogs");
    EXPECT_FALSE(W().SaveSR->isEnabled());
}

TEST_F(NavigationTest, SearchModeAndBackKeepSearchResultsFirst)
{
    Click("Photos:\\");
    Click("Music 2002:\\");
    Click("Backup:\\");
    W().SBut->trigger();
    form->BackButClick();
    EXPECT_EQ(W().PathBox->itemText(0), QStringLiteral("Search Results"));
    EXPECT_EQ(W().PathBox->currentText(), QStringLiteral("Music 2002:\\"));
    // Leaving and entering folders mode keeps the paths as they were.
    W().FBut->trigger();
    EXPECT_EQ(Entries(W().PathBox), (Names{"Backup:\\", "Music 2002:\\", "Photos:\\", "My Catalogs"}));
    EXPECT_EQ(W().PathBox->currentIndex(), 0);
}

}  // namespace
}  // namespace ardvel::gui
