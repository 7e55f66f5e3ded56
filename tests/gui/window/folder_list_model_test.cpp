#include <QItemSelectionModel>
#include <QPersistentModelIndex>
#include <QSignalSpy>
#include <QTest>

#include "GuiTestSupport.h"
#include "common/Icons.h"
#include "store/DateTime.h"
#include "support/DateAt.h"
#include "window/FolderListModel.h"

namespace ardvel::gui {
namespace {

using test::English;
using test::ModelComplaints;
using test::Numbered;
using test::TestModel;

using ardvel::test::At;

struct FolderListModelTest : ::testing::Test {
    FolderListModelTest() : model(tree, English())
    {
        vol = tree.AddVolume("Music", At(2020, 1, 1));
        other = tree.AddVolume("Other", At(2021, 1, 1));
        sub = tree.AddFolder(vol, "Rock", At(2024, 3, 9, 14, 5, 6));
        empty = tree.AddFolder(vol, "Empty", At(2024, 3, 9));
        tree.AddFile(sub, "deep.bin", 2048, At(2024, 1, 1));
        tree.AddFile(vol, "b.mp3", 999, At(2024, 3, 9, 8), true, "Artist", " - Title");
        tree.AddFile(vol, "a.txt", 1000, At(2024, 3, 9, 14));
        tree.AddFile(vol, "c.dat", 0, At(2024, 3, 10));
    }
    std::vector<std::string> Column(int column) const
    {
        std::vector<std::string> texts;
        for (int row = 0; row < model.rowCount(); ++row) texts.push_back(model.Text(row, column).toStdString());
        return texts;
    }
    using Rows = std::vector<std::string>;

    ModelComplaints complaints;
    CatalogTree tree;
    FolderListModel model;
    SortState sort;
    NodeId vol, other, sub, empty;
};

TEST_F(FolderListModelTest, FolderRowsThenFileRowsWithTheirTexts)
{
    auto tester = TestModel(&model);
    model.ShowNode(vol, sort);
    ASSERT_EQ(model.rowCount(), 5);
    ASSERT_EQ(model.columnCount(), 4);
    EXPECT_EQ(Column(0), (Rows{"Empty", "Rock", "a.txt", "b.mp3", "c.dat"}));
    EXPECT_EQ(Column(1), (Rows{"[SUB-DIR]", "[SUB-DIR]", "0.977 MB", "999 KB", "0 KB"}));
    EXPECT_EQ(Column(2), (Rows{"03/09/2024", "03/09/2024 02:05:06 PM", "03/09/2024 02:00:00 PM",
                               "03/09/2024 08:00:00 AM", "03/10/2024"}));
    EXPECT_EQ(Column(3), (Rows{"", "", "", "Artist - Title", ""}));
    EXPECT_EQ(model.RowImage(0), kFolderImage);
    EXPECT_EQ(model.RowImage(2), kFileImage);
    EXPECT_EQ(tree.Resolve(model.RowNode(1)), sub);
    EXPECT_EQ(tree.Resolve(model.RowNode(2)), kNoNode);
    EXPECT_EQ(model.headerData(3, Qt::Horizontal).toString(), QStringLiteral("Media Info"));
    EXPECT_EQ(model.index(0, 0).data(Qt::DisplayRole).toString(), QStringLiteral("Empty"));
    EXPECT_TRUE(model.index(0, 0).data(Qt::DecorationRole).isValid());
    EXPECT_FALSE(model.index(0, 1).data(Qt::DecorationRole).isValid());
}

TEST_F(FolderListModelTest, RootListsVolumesOnlyAndAnEmptyFolderNothing)
{
    model.ShowNode(CatalogTree::kRoot, sort);
    EXPECT_EQ(Column(0), (Rows{"Music", "Other"}));
    EXPECT_EQ(model.RowImage(0), kVolumeImage);
    model.ShowNode(empty, sort);
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(model.ShownNode(), empty);
}

TEST_F(FolderListModelTest, SortingKeepsFoldersFirstInBothDirections)
{
    auto tester = TestModel(&model);
    model.ShowNode(vol, sort);
    sort.ColumnClick(0);  // Name, descending
    model.SortRows(sort);
    EXPECT_EQ(Column(0), (Rows{"Rock", "Empty", "c.dat", "b.mp3", "a.txt"}));
    sort.ColumnClick(1);  // Size, ascending: KB before MB; folders level
    model.SortRows(sort);
    EXPECT_EQ(Column(0), (Rows{"Rock", "Empty", "c.dat", "b.mp3", "a.txt"}));
    sort.ColumnClick(1);  // descending
    model.SortRows(sort);
    EXPECT_EQ(Column(0), (Rows{"Rock", "Empty", "a.txt", "b.mp3", "c.dat"}));
    sort.ColumnClick(3);  // Media Info, ascending
    model.SortRows(sort);
    EXPECT_EQ(Column(0), (Rows{"Rock", "Empty", "a.txt", "c.dat", "b.mp3"}));
}

TEST_F(FolderListModelTest, LevelRowsKeepTheirOrder)
{
    // 1.200 MB and 1.400 MB are level by size; two dates six hours apart
    // are level by date: a stable sort leaves them as they were.
    const NodeId f = tree.AddFolder(vol, "Level", 0);
    tree.AddFile(f, "z", 1229, At(2024, 5, 1, 6));
    tree.AddFile(f, "y", 1434, At(2024, 5, 1, 12));
    tree.AddFile(f, "x", 1229, At(2024, 5, 1, 9));
    model.ShowNode(f, sort);
    EXPECT_EQ(Column(0), (Rows{"x", "y", "z"}));
    for (int column : {1, 2}) {
        SortState s;
        s.ColumnClick(column);
        model.SortRows(s);
        EXPECT_EQ(Column(0), (Rows{"x", "y", "z"})) << column;
        s.ColumnClick(column);
        model.SortRows(s);
        EXPECT_EQ(Column(0), (Rows{"x", "y", "z"})) << column;
    }
}

TEST_F(FolderListModelTest, FolderTotalReplacesSubDirAndSortsAsASize)
{
    model.ShowNode(vol, sort);
    const int rock = 1;
    ASSERT_EQ(model.Text(rock, 0), QStringLiteral("Rock"));
    model.SetFolderTotal(rock, 2048);
    EXPECT_EQ(model.Text(rock, 1), QStringLiteral("2.000 MB"));
    // A file row takes no total.
    model.SetFolderTotal(2, 5);
    EXPECT_EQ(model.Text(2, 1), QStringLiteral("0.977 MB"));
    // Sorted by size, the folder with a total no longer counts as
    // "[SUB-DIR]": it goes after the plain one in ascending order...
    SortState bySize;
    bySize.ColumnClick(1);
    model.SortRows(bySize);
    EXPECT_EQ(Column(0), (Rows{"Rock", "Empty", "c.dat", "b.mp3", "a.txt"}));
    EXPECT_EQ(Column(1)[0], "2.000 MB");
    // ...and the total stays with its row through the sort.
    EXPECT_EQ(model.LongestText(1), 9);
}

TEST_F(FolderListModelTest, FolderTotalsSortByTheirValues)
{
    model.ShowNode(vol, sort);
    ASSERT_EQ(Column(0)[0], "Empty");
    // Totals against the name order: ascending by size puts Rock first.
    model.SetFolderTotal(0, 2048);
    model.SetFolderTotal(1, 5);
    SortState bySize;
    bySize.ColumnClick(1);
    model.SortRows(bySize);
    EXPECT_EQ(Column(0), (Rows{"Rock", "Empty", "c.dat", "b.mp3", "a.txt"}));
    EXPECT_EQ(Column(1)[0], "5 KB");
    bySize.ColumnClick(1);
    model.SortRows(bySize);
    EXPECT_EQ(Column(0), (Rows{"Empty", "Rock", "a.txt", "b.mp3", "c.dat"}));
}

TEST_F(FolderListModelTest, SelectionFollowsItsRowThroughASort)
{
    model.ShowNode(vol, sort);
    QItemSelectionModel selection(&model);
    selection.setCurrentIndex(model.index(3, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    ASSERT_EQ(model.Text(3, 0), QStringLiteral("b.mp3"));
    sort.ColumnClick(0);
    model.SortRows(sort);
    EXPECT_EQ(model.Text(selection.currentIndex().row(), 0), QStringLiteral("b.mp3"));
    EXPECT_EQ(selection.selectedIndexes().first().row(), selection.currentIndex().row());
}

TEST_F(FolderListModelTest, ForgetsANodeThatLeftTheTree)
{
    auto tester = TestModel(&model);
    model.ShowNode(sub, sort);
    ASSERT_EQ(model.rowCount(), 1);
    EXPECT_FALSE(model.ForgetIfStale());
    tree.RemoveNode(vol);
    // No row is read from released records, even before the list is told.
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_FALSE(model.index(0, 0).data().isValid());
    EXPECT_TRUE(model.ForgetIfStale());
    EXPECT_EQ(model.ShownNode(), kNoNode);
}

TEST_F(FolderListModelTest, LongestTextsCountCharactersNotBytes)
{
    tree.AddFile(other, "Ärger über Öl", 5, At(2024, 3, 9, 14, 5, 6), true, "Ä", " - ö");
    tree.AddFile(other, "x", 1048576, At(2024, 3, 9));
    tree.AddFile(other, "y", 7, At(2024, 3, 9));
    model.ShowNode(other, sort);
    EXPECT_EQ(model.LongestText(0), 13);
    EXPECT_EQ(model.LongestText(1), 12);  // "1,024.000 MB"
    EXPECT_EQ(model.LongestText(2), 22);  // "03/09/2024 02:05:06 PM"
    EXPECT_EQ(model.LongestText(3), 5);
    model.ShowNode(empty, sort);
    for (int c = 0; c < 4; ++c) EXPECT_EQ(model.LongestText(c), 0);
}

TEST(FolderListModelSize, AMillionFilesAreListedAndSortedWithoutCopies)
{
    CatalogTree tree;
    const NodeId v = tree.AddVolume("Big", 0);
    for (int i = 0; i < 1000000; ++i) tree.AddFile(v, Numbered("f", 999999 - i), i % 2000, 45000.0 + i % 97);
    FolderListModel model(tree, English());
    SortState sort;
    sort.ColumnClick(1);  // by size: a cheap key, so the test stays quick
    model.ShowNode(v, sort);
    ASSERT_EQ(model.rowCount(), 1000000);
    EXPECT_EQ(model.Text(0, 1), QStringLiteral("0 KB"));
    EXPECT_EQ(model.Text(999999, 1).right(2), QStringLiteral("MB"));
    EXPECT_EQ(model.LongestText(1), 8);
}

}  // namespace
}  // namespace ardvel::gui

namespace ardvel::gui {
namespace {

/// A folder of many files, listed once with every sort on the window's
/// thread and once with sorts on their own thread.
struct FolderListBackgroundSortTest : ::testing::Test {
    FolderListBackgroundSortTest() : plain(tree, test::English()), background(tree, test::English())
    {
        vol = tree.AddVolume("V", ardvel::test::At(2020, 1, 1));
        tree.AddFolder(vol, "zeta", ardvel::test::At(2020, 1, 2));
        tree.AddFolder(vol, "Alpha", ardvel::test::At(2020, 1, 3));
        for (int i = 0; i < 3000; ++i)
            tree.AddFile(vol, "file " + std::to_string((i * 7919) % 3001), (i * 31) % 977,
                         ardvel::test::At(2021, 1, 1 + i % 28));
        background.SetBackgroundSortRows(1);
    }
    std::vector<QString> Names(const FolderListModel& model) const
    {
        std::vector<QString> names;
        for (int row = 0; row < model.rowCount(); ++row) names.push_back(model.Text(row, 0));
        return names;
    }
    /// Waits for the sort running on its own thread to land.
    bool Landed()
    {
        QSignalSpy finished(&background, &FolderListModel::SortFinished);
        return background.Sorting() && finished.wait(10'000);
    }

    CatalogTree tree;
    FolderListModel plain, background;
    NodeId vol;
};

TEST_F(FolderListBackgroundSortTest, RowsLandInTheOrderOfASortOnTheWindowsThread)
{
    auto tester = test::TestModel(&background);
    SortState byName, bySize;
    bySize.Column = FolderListModel::kSize;
    bySize.Direction = -1;
    plain.ShowNode(vol, byName);
    background.ShowNode(vol, byName);
    // Shown at once, in tree order, until the sorted order is there.
    EXPECT_EQ(background.rowCount(), plain.rowCount());
    EXPECT_EQ(background.Text(0, 0), QStringLiteral("zeta"));
    ASSERT_TRUE(Landed());
    EXPECT_EQ(Names(background), Names(plain));

    // A second sort asked for while one runs: the last one holds.
    plain.SortRows(bySize);
    background.SortRows(byName);
    background.SortRows(bySize);
    ASSERT_TRUE(Landed());
    EXPECT_EQ(Names(background), Names(plain));
    EXPECT_FALSE(background.Sorting());
}

TEST_F(FolderListBackgroundSortTest, ACancelledOrClearedSortLeavesTheRowsAsTheyWere)
{
    SortState bySize;
    bySize.Column = FolderListModel::kSize;
    background.ShowNode(vol, SortState{});
    ASSERT_TRUE(Landed());
    const std::vector<QString> byName = Names(background);
    QSignalSpy finished(&background, &FolderListModel::SortFinished);
    background.SortRows(bySize);
    background.CancelSort();
    EXPECT_FALSE(background.Sorting());
    QTest::qWait(50);
    EXPECT_TRUE(finished.isEmpty());
    EXPECT_EQ(Names(background), byName);

    background.SortRows(bySize);
    background.Clear();
    QTest::qWait(50);
    EXPECT_TRUE(finished.isEmpty());
    EXPECT_EQ(background.rowCount(), 0);
}

TEST_F(FolderListBackgroundSortTest, AFolderTotalSetWhileSortingSortsAgain)
{
    // The folder "zeta" given a total while a sort by size runs: the rows
    // land as a sort that knew the total puts them.
    SortState bySize;
    bySize.Column = FolderListModel::kSize;

    plain.ShowNode(vol, SortState{});
    plain.SetFolderTotal(plain.RowNamed("zeta", true), 5'000'000);
    plain.SortRows(bySize);
    background.ShowNode(vol, SortState{});
    ASSERT_TRUE(Landed());
    background.SortRows(bySize);
    ASSERT_TRUE(background.Sorting());
    background.SetFolderTotal(background.RowNamed("zeta", true), 5'000'000);
    QSignalSpy finished(&background, &FolderListModel::SortFinished);
    ASSERT_TRUE(finished.wait(10'000));
    EXPECT_EQ(Names(background), Names(plain));
    // ... which is not the order without it.
    FolderListModel noTotal(tree, test::English());
    noTotal.ShowNode(vol, SortState{});
    noTotal.SortRows(bySize);
    EXPECT_NE(Names(background), Names(noTotal));
}

}  // namespace
}  // namespace ardvel::gui
