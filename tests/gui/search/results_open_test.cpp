// A file of the search results opens in its folder, selected and in view.
#include <QAbstractItemView>
#include <QApplication>
#include <QTest>
#include <QTreeView>

#include "common/DetailsTable.h"
#include "search/SearchModeFixture.h"

namespace ardvel::gui {
namespace {

struct ResultsOpenTest : test::SearchModeFixture {
    void SetUp() override
    {
        WriteStandardCatalogs();
        // Enough files that the last one is out of view when the folder opens.
        WriteFilesCatalog("Many", 400, FileNumber);
        StartWindow();
        form->show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }
    /// The selected row of the folder list, by its name.
    std::string SelectedListName()
    {
        const int row = W().ListView->SelectedRow();
        return row < 0 ? std::string("(none)") : form->ListModel().Text(row, 0).toStdString();
    }
    bool InView(int row)
    {
        QAbstractItemView* view = W().ListView->CurrentView();
        const QRect cell = view->visualRect(form->ListModel().index(row, 0));
        return !cell.isEmpty() && view->viewport()->rect().contains(cell);
    }
};

TEST_F(ResultsOpenTest, ADoubleClickedFileOpensItsFolderWithTheFileSelected)
{
    W().SBut->trigger();
    Search(QStringLiteral("*"));
    DoubleClick("one.mp3");
    EXPECT_TRUE(W().FBut->isChecked());
    EXPECT_TRUE(form->FolderListShown());
    EXPECT_EQ(OpenPath(), "Music 2002:\\Rock\\");
    EXPECT_EQ(SelectedListName(), "one.mp3");
    EXPECT_EQ(form->StatusText(1), QStringLiteral("2 Items"));
}

TEST_F(ResultsOpenTest, EnterOnAFileFarDownTheFolderShowsItsRowInView)
{
    W().SBut->trigger();
    Search(QStringLiteral("f00399.txt"));
    ASSERT_EQ(RowNames(), (test::Names{"f00399.txt"}));
    W().SearchView->SelectRow(0);
    W().SearchView->DetailsView()->setFocus();
    QTest::keyClick(W().SearchView->DetailsView(), Qt::Key_Return);
    EXPECT_EQ(OpenPath(), "Many:\\");
    ASSERT_EQ(SelectedListName(), "f00399.txt");
    EXPECT_TRUE(InView(W().ListView->SelectedRow()));
    EXPECT_FALSE(InView(0));  // the list did scroll
    EXPECT_TRUE(W().ListView->HasFocus());
}

TEST_F(ResultsOpenTest, OpenContainingFolderSelectsAFolderRowInItsParent)
{
    W().SBut->trigger();
    Search(QStringLiteral("Live"));
    W().SearchView->SelectRow(RowOf("Live"));
    Panel().OpenContainingFolder();
    EXPECT_EQ(OpenPath(), "Music 2002:\\Rock\\");
    EXPECT_EQ(SelectedListName(), "Live");
    // A file whose volume has gone since the search is not found.
    W().SBut->trigger();
    Search(QStringLiteral("beach.jpg"));
    W().FBut->trigger();
    form->SelectNode(Node("Photos:\\"));
    dialogs.Answers.push_back(true);
    form->Delete1Execute();
    W().SBut->trigger();
    DoubleClick("beach.jpg");
    ASSERT_EQ(dialogs.Errors.size(), 1);
    EXPECT_EQ(dialogs.Errors[0], QStringLiteral("Path not found!"));
    EXPECT_TRUE(W().SBut->isChecked());
}

}  // namespace
}  // namespace ardvel::gui
