// The results list sorts on a worker thread once a search has ended.
#include <QSignalSpy>

#include "search/SearchModeFixture.h"

namespace ardvel::gui {
namespace {

using test::Names;

struct ResultsSortTest : test::SearchModeFixture {
    void SetUp() override
    {
        WriteStandardCatalogs();
        StartWindow();
        W().SBut->trigger();
    }
    /// Starts a search for everything and runs it to its end, leaving the
    /// final sort to the event loop.
    void SearchAllUnsorted()
    {
        SelectLookIn(QStringLiteral("All"));
        Panel().FileNames->setText(QStringLiteral("*"));
        Panel().SearchNowClick();
        while (Panel().StepSearch(std::chrono::steady_clock::time_point::max())) {
        }
    }
};

TEST_F(ResultsSortTest, TheFinalSortAndHeaderClicksLeaveTheEventLoopFree)
{
    QSignalSpy sorted(&Results(), &SearchResultsModel::SortFinished);
    SearchAllUnsorted();
    EXPECT_EQ(Results().rowCount(), 7);  // every row on show before the sort ends
    ASSERT_TRUE(sorted.wait(10000));
    EXPECT_EQ(RowNames(), (Names{"Jazz", "Live", "Rock", "beach.jpg", "one.mp3", "readme.txt", "two.mp3"}));

    // A click returns before the sort; the selection follows its row.
    W().SearchView->SelectRow(RowOf("one.mp3"));
    emit W().SearchView->HeaderClicked(kColumnName);
    ASSERT_TRUE(sorted.wait(10000));
    EXPECT_EQ(RowNames(), (Names{"Rock", "Live", "Jazz", "two.mp3", "readme.txt", "one.mp3", "beach.jpg"}));
    EXPECT_EQ(W().SearchView->SelectedRow(), RowOf("one.mp3"));
}

TEST_F(ResultsSortTest, ClicksDuringASortAndANewSearchAreHandledInOrder)
{
    SearchAllUnsorted();
    // Two clicks while the first sort may run: the last state wins.
    emit W().SearchView->HeaderClicked(kColumnName);
    emit W().SearchView->HeaderClicked(kColumnName);
    Results().FinishSort();
    EXPECT_FALSE(Results().Sorting());
    EXPECT_EQ(RowNames(), (Names{"Jazz", "Live", "Rock", "beach.jpg", "one.mp3", "readme.txt", "two.mp3"}));
    // A new search drops a sort under way and ends sorted itself.
    emit W().SearchView->HeaderClicked(kColumnName);
    Search(QStringLiteral("*.mp3"));
    EXPECT_EQ(RowNames(), (Names{"two.mp3", "one.mp3"}));
}

TEST_F(ResultsSortTest, AFolderTotalSetDuringASortSortsAgainWithoutWaitingForIt)
{
    QSignalSpy sorted(&Results(), &SearchResultsModel::SortFinished);
    SearchAllUnsorted();
    ASSERT_TRUE(sorted.wait(10000));
    emit W().SearchView->HeaderClicked(kColumnSize);
    ASSERT_TRUE(Results().Sorting());
    Results().SetFolderTotal(RowOf("Live"), 900000);
    EXPECT_TRUE(Results().Sorting());  // the window did not wait for the sort
    ASSERT_TRUE(sorted.wait(10000));
    // By size: the folder with its total before those still "[SUB-DIR]".
    const Names rows = RowNames();
    ASSERT_EQ(rows.size(), 7u);
    EXPECT_EQ(Names(rows.begin(), rows.begin() + 3), (Names{"Live", "Jazz", "Rock"}));
}

}  // namespace
}  // namespace ardvel::gui
