#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "platform/Locale.h"
#include "store/CatalogTree.h"
#include "store/ListFormats.h"
#include "support/DateAt.h"

namespace ardvel {
namespace {

const Locale& English()
{
    static const Locale l("en_US.UTF-8");
    return l;
}
const Locale& German()
{
    static const Locale l("de_DE.UTF-8");
    return l;
}

using test::At;

TEST(SizeText, KilobytesUpTo999ThenMegabytesWithThreeDecimals)
{
    const std::pair<std::int64_t, const char*> cases[] = {
        {0, "0 KB"},
        {999, "999 KB"},
        {1000, "0.977 MB"},
        {1088, "1.063 MB"},
        {1536, "1.500 MB"},
        {1048576, "1,024.000 MB"},
        {2147483647, "2,097,151.999 MB"},
        {5000000000LL, "4,882,812.500 MB"},  // totals over 2 TiB stay right
    };
    for (const auto& [kb, text] : cases) EXPECT_EQ(FormatSize(kb, English()), text) << kb;
    EXPECT_EQ(FormatSize(1048576, German()), "1.024,000 MB");
    EXPECT_EQ(FormatSize(1088, German()), "1,063 MB");
}

TEST(SizeText, LastDecimalRoundsHalfAwayFromZero)
{
    EXPECT_EQ(FormatSize(1088, English()), "1.063 MB");  // exactly 1.0625: away from zero, not to even
    EXPECT_EQ(FormatSize(1027, English()), "1.003 MB");  // 1.00293
    EXPECT_EQ(FormatSize(4097, English()), "4.001 MB");  // 4.00098
    EXPECT_EQ(FormatSize(1000, English()), "0.977 MB");  // 0.97656
}

TEST(DateText, ShortDateAndLongTimeWithMidnightLeftOut)
{
    EXPECT_EQ(FormatDate(At(2024, 3, 9, 14, 5, 6), English()), "03/09/2024 02:05:06 PM");
    EXPECT_EQ(FormatDate(At(2024, 3, 9), English()), "03/09/2024");
    EXPECT_EQ(FormatDate(At(2024, 3, 9, 0, 0, 2), English()), "03/09/2024 12:00:02 AM");
    EXPECT_EQ(FormatDate(At(2024, 3, 9, 14, 5, 6), German()), "09.03.2024 14:05:06");
    EXPECT_EQ(FormatDate(At(1980, 1, 1), German()), "01.01.1980");
}

RowKeys FileRow(std::string_view name, std::int64_t kb, TDateTime date = 0)
{
    RowKeys r;
    r.ImageIndex = 4;
    r.Caption = name;
    r.SizeKB = kb;
    r.Date = date;
    return r;
}

RowKeys FolderRow(std::string_view name, TDateTime date = 0)
{
    RowKeys r;
    r.ImageIndex = 2;
    r.Caption = name;
    r.SubDir = true;
    r.Date = date;
    return r;
}

int Compare(const RowKeys& a, const RowKeys& b, int column, int direction = 1, ListKind kind = ListKind::FolderList)
{
    SortState s;
    s.Column = static_cast<std::uint8_t>(column);
    s.Direction = static_cast<std::int8_t>(direction);
    return ListViewCompare(a, b, s, kind, English());
}

TEST(RowComparison, FoldersPrecedeFilesInBothDirections)
{
    EXPECT_LT(Compare(FolderRow("z"), FileRow("a", 1), 0, +1), 0);
    EXPECT_LT(Compare(FolderRow("z"), FileRow("a", 1), 0, -1), 0);
    EXPECT_GT(Compare(FileRow("a", 1), FolderRow("z"), 1, -1), 0);
    EXPECT_LT(Compare(FileRow("a", 1), FileRow("b", 1), 0, +1), 0);
    EXPECT_GT(Compare(FileRow("a", 1), FileRow("b", 1), 0, -1), 0);
}

TEST(RowComparison, SizeRuleUnitsThenShownValuesRoundedToEven)
{
    EXPECT_EQ(Compare(FolderRow("a"), FolderRow("b"), 1), 0);         // [SUB-DIR] is level
    EXPECT_LT(Compare(FileRow("a", 12), FileRow("b", 13), 1), 0);     // KB differ
    EXPECT_LT(Compare(FileRow("a", 999), FileRow("b", 1000), 1), 0);  // KB before MB
    EXPECT_GT(Compare(FileRow("a", 1000), FileRow("b", 999), 1), 0);
    // 1.200 MB and 1.400 MB are level; 1.000 and 1.500 differ by a tie: even 0.
    EXPECT_EQ(Compare(FileRow("a", 1229), FileRow("b", 1434), 1), 0);
    EXPECT_EQ(Compare(FileRow("a", 1024), FileRow("b", 1536), 1), 0);
    EXPECT_LT(Compare(FileRow("a", 1024), FileRow("b", 2560), 1), 0);  // 1.500 MB apart -> 2
    EXPECT_EQ(Compare(FileRow("a", 2560), FileRow("b", 1024), 1), 2);
    // With the size text replaced by a total, the unit decides against [SUB-DIR].
    RowKeys total = FolderRow("t");
    total.SubDir = false;
    total.SizeKB = 2402;
    EXPECT_LT(Compare(total, FolderRow("u"), 1), 0);
    EXPECT_EQ(Compare(FolderRow("u"), total, 1), 0);
}

TEST(RowComparison, DateRuleInWholeDaysAndNotFooledByTwoDigitYears)
{
    EXPECT_EQ(Compare(FileRow("a", 1, At(2020, 1, 1, 6)), FileRow("b", 1, At(2020, 1, 1, 12)), 2), 0);
    EXPECT_EQ(Compare(FileRow("a", 1, At(2020, 1, 1, 0)), FileRow("b", 1, At(2020, 1, 1, 12)), 2), 0);  // tie: even
    EXPECT_EQ(Compare(FileRow("a", 1, At(2020, 1, 1, 0)), FileRow("b", 1, At(2020, 1, 1, 12, 0, 2)), 2), -1);
    EXPECT_LT(Compare(FileRow("a", 1, At(1999, 1, 1)), FileRow("b", 1, At(2069, 1, 1)), 2), 0);
}

TEST(RowComparison, SearchResultColumnsMapToTheirTexts)
{
    RowKeys a = FileRow("n", 5, At(2000, 1, 1));
    RowKeys b = FileRow("n", 5, At(2001, 1, 1));
    a.Volume = "A";
    b.Volume = "B";
    a.Path = "Z\\";
    b.Path = "Y\\";
    EXPECT_LT(Compare(a, b, 1, 1, ListKind::SearchResults), 0);
    EXPECT_GT(Compare(a, b, 2, 1, ListKind::SearchResults), 0);
    EXPECT_EQ(Compare(a, b, 3, 1, ListKind::SearchResults), 0);
    EXPECT_LT(Compare(a, b, 4, 1, ListKind::SearchResults), 0);
    EXPECT_EQ(Compare(a, b, 6, 1, ListKind::SearchResults), 0);
}

TEST(RowComparison, StableSortKeepsLevelRowsInTheirOrder)
{
    std::vector<RowKeys> rows = {FileRow("first", 1229), FileRow("second", 12), FileRow("third", 1434),
                                 FolderRow("dir")};
    SortState s;
    s.ColumnClick(1);
    std::stable_sort(rows.begin(), rows.end(), [&](const RowKeys& a, const RowKeys& b) {
        return ListViewCompare(a, b, s, ListKind::FolderList, English()) < 0;
    });
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0].Caption, "dir");
    EXPECT_EQ(rows[1].Caption, "second");
    EXPECT_EQ(rows[2].Caption, "first");
    EXPECT_EQ(rows[3].Caption, "third");
}

TEST(SortStateClicks, SameColumnFlipsOtherColumnStartsAscending)
{
    SortState s;
    s.ColumnClick(0);
    EXPECT_EQ(s.Direction, -1);
    s.ColumnClick(0);
    EXPECT_EQ(s.Direction, 1);
    s.ColumnClick(0);
    s.ColumnClick(2);
    EXPECT_EQ(s.Column, 2);
    EXPECT_EQ(s.Direction, 1);
}

TEST(NodePathAndFolderSize, PathsAndSubtreeTotals)
{
    CatalogTree tree;
    const NodeId v = tree.AddVolume("Music 2002", 0);
    const NodeId rock = tree.AddFolder(v, "Rock", 0);
    const NodeId live = tree.AddFolder(rock, "Live", 0);
    tree.AddFile(v, "a", 2147483647, 0);
    tree.AddFile(rock, "b", 2147483647, 0);
    tree.AddFile(live, "c", 10, 0);
    EXPECT_EQ(GetNodePath(tree, CatalogTree::kRoot), "My Catalogs");
    EXPECT_EQ(GetNodePath(tree, v), "Music 2002:\\");
    EXPECT_EQ(GetNodePath(tree, live), "Music 2002:\\Rock\\Live\\");
    std::int64_t total = 0;
    AddFolderSize(tree, v, total);
    EXPECT_EQ(total, 2LL * 2147483647 + 10);
    total = 0;
    AddFolderSize(tree, live, total);
    EXPECT_EQ(total, 10);
}

TEST(LocaleServices, CollationCaseMappingAndSeparators)
{
    EXPECT_EQ(English().ThousandSeparator(), ",");
    EXPECT_EQ(German().DecimalSeparator(), ",");
    EXPECT_TRUE(English().Less("apple", "Banana"));
    EXPECT_TRUE(English().Less("a", "B"));
    EXPECT_NE(English().Compare("abc", "ABC"), 0);
    EXPECT_EQ(English().ToUpper("straße ёлка éa"), "STRAßE ЁЛКА ÉA");
    EXPECT_TRUE(English().EqualIgnoreCase("Ёлка Über", "ёЛКА üBER"));
    EXPECT_FALSE(English().EqualIgnoreCase("abc", "abd"));
    EXPECT_FALSE(English().EqualIgnoreCase("abc", "ab"));
    EXPECT_EQ(English().ToUpper(std::string("a\xFFz", 3)), std::string("A\xFFZ", 3));
}

}  // namespace
}  // namespace ardvel
