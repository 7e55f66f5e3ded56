// The search-results report: criteria block, columns, status line, file.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <map>

#include "search/SearchReport.h"
#include "search/SearchWalk.h"
#include "support/ProcessProbe.h"
#include "support/SearchTreeFixture.h"
#include "support/TempDir.h"

namespace ardvel {
namespace {

using test::At;
using test::DeDe;
using test::EnUs;

SearchCriteria Plain(const char* nameText)
{
    SearchCriteria c;
    c.NameText = nameText;
    PrepareNameText(c);
    return c;
}

std::string Sp(int count)
{
    return std::string(static_cast<std::size_t>(count), ' ');
}

TEST(SearchReport, OneRowGivesNineLines)
{
    const std::vector<ReportRow> rows = {{"a.txt", "Vol", "", "12 KB", "07/22/2002", ""}};
    const auto lines = BuildReportLines(Plain(""), "All", rows, "1 Catalogs", "1 Matches found", EnUs());
    EXPECT_EQ(lines, (std::vector<std::string>{
                         "Criteria: *",
                         "Look In: All",
                         "MediaInfo: None",
                         "Date: None",
                         "Size: None",
                         "----------------------------------------",
                         "a.txt   Vol      12 KB   07/22/2002      ",
                         "----------------------------------------",
                         "1 Catalogs         1 Matches found",
                     }));
    EXPECT_EQ(ReportFileText(lines),
              "Criteria: *\r\nLook In: All\r\nMediaInfo: None\r\nDate: None\r\nSize: None\r\n"
              "----------------------------------------\r\n"
              "a.txt   Vol      12 KB   07/22/2002      \r\n"
              "----------------------------------------\r\n"
              "1 Catalogs         1 Matches found\r\n");
}

TEST(SearchReport, ColumnWidthsDoNotDependOnRowOrder)
{
    const ReportRow shortName = {"abcde", "Music", "Rock\\", "[SUB-DIR]", "07/22/2002 08:44:56 PM", ""};
    const ReportRow longName = {"abcdefgh", "Docs", "", "1.953 MB", "01/03/2002", ""};
    // Name 8 + 3 wide, Volume 5 + 3, Path 5 + 3, Size 9 + 3 right-aligned
    // with three blanks after it, Modified 22 + 6; no media column.
    const std::string shortLine = "abcde" + Sp(6) + "Music" + Sp(3) + "Rock\\" + Sp(3) + Sp(3) + "[SUB-DIR]" + Sp(3) +
                                  "07/22/2002 08:44:56 PM" + Sp(6);
    const std::string longLine =
        "abcdefgh" + Sp(3) + "Docs" + Sp(4) + Sp(8) + Sp(4) + "1.953 MB" + Sp(3) + "01/03/2002" + Sp(18);
    for (bool swapped : {false, true}) {
        std::vector<ReportRow> rows = {shortName, longName};
        if (swapped) std::swap(rows[0], rows[1]);
        const auto lines = BuildReportLines(Plain("x"), "All", rows, "2 Catalogs", "2 Matches found", EnUs());
        ASSERT_EQ(lines.size(), 10u);
        EXPECT_EQ(lines[swapped ? 7 : 6], shortLine);
        EXPECT_EQ(lines[swapped ? 6 : 7], longLine);
    }
}

TEST(SearchReport, MediaColumnOnlyWhenSomeRowHasMedia)
{
    std::vector<ReportRow> rows = {{"a.mp3", "V", "", "1 KB", "01/03/2002", "Artist - Title"},
                                   {"b.txt", "V", "", "1 KB", "01/03/2002", ""}};
    auto lines = BuildReportLines(Plain("*"), "All", rows, "1 Catalogs", "2 Matches found", EnUs());
    EXPECT_EQ(lines[6],
              "a.mp3" + Sp(3) + "V" + Sp(3) + Sp(3) + "1 KB" + Sp(3) + "01/03/2002" + Sp(6) + "Artist - Title" + Sp(3));
    EXPECT_EQ(lines[7], "b.txt" + Sp(3) + "V" + Sp(3) + Sp(3) + "1 KB" + Sp(3) + "01/03/2002" + Sp(6) + Sp(17));
    rows[0][kColumnMediaInfo].clear();
    lines = BuildReportLines(Plain("*"), "All", rows, "1 Catalogs", "2 Matches found", EnUs());
    EXPECT_EQ(lines[6], "a.mp3" + Sp(3) + "V" + Sp(6) + "1 KB" + Sp(3) + "01/03/2002" + Sp(6));
}

TEST(SearchReport, WidthsCountCharacters)
{
    // "Čaj" is 3 characters in 4 bytes, "Журнал" 6 in 12: columns line up by
    // what a reader sees.
    const std::vector<ReportRow> rows = {{"\xC4\x8C"
                                          "aj",
                                          "\xD0\x96\xD1\x83\xD1\x80\xD0\xBD\xD0\xB0\xD0\xBB", "", "1 KB", "d", ""},
                                         {"abcd", "V", "", "10 KB", "d", ""}};
    const auto lines = BuildReportLines(Plain("*"), "All", rows, "a", "b", EnUs());
    EXPECT_EQ(lines[6],
              "\xC4\x8C"
              "aj" +
                  Sp(4) + "\xD0\x96\xD1\x83\xD1\x80\xD0\xBD\xD0\xB0\xD0\xBB" + Sp(3) + Sp(4) + "1 KB" + Sp(3) + "d" +
                  Sp(6));
    EXPECT_EQ(lines[7], "abcd" + Sp(3) + "V" + Sp(8) + Sp(3) + "10 KB" + Sp(3) + "d" + Sp(6));
}

TEST(SearchReport, CriteriaBlock)
{
    SearchCriteria c = Plain("*.mp3");
    c.MediaOn = true;
    c.ArtistPart = "Abba";
    c.TitlePart = "";
    c.DateOn = true;
    c.DateMode = SearchDateMode::InLastMonths;
    c.MonthCount = 3;
    c.SizeOn = true;
    c.SizeBound = SearchSizeBound::AtMost;
    c.SizeLimitKB = 5250000;
    const std::vector<ReportRow> rows = {{"a", "b", "", "1 KB", "d", ""}};
    auto lines = BuildReportLines(c, "Music:\\Rock\\", rows, "x", "y", EnUs());
    ASSERT_GE(lines.size(), 8u);
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 8),
              (std::vector<std::string>{"Criteria: *.mp3", "Look In: Music:\\Rock\\", "MediaInfo:", "   Artist: Abba",
                                        "    Title: ", "Date: in the last 3 months", "Size: at most 5250000 KB",
                                        "----------------------------------------"}));

    c.DateMode = SearchDateMode::InLastDays;
    c.DayCount = -2;
    c.SizeBound = SearchSizeBound::AtLeast;
    c.SizeLimitKB = 0;
    lines = BuildReportLines(c, "All", rows, "x", "y", EnUs());
    EXPECT_EQ(lines[5], "Date: in the last -2 days");
    EXPECT_EQ(lines[6], "Size: at least 0 KB");

    // Dates in the short date format, without their time of day.
    c.DateMode = SearchDateMode::InRange;
    c.RangeStart = At(2002, 7, 12, 20, 44, 56);
    c.RangeEnd = At(2002, 7, 22, 20, 44, 56);
    lines = BuildReportLines(c, "All", rows, "x", "y", EnUs());
    EXPECT_EQ(lines[5], "Date: between 07/12/2002 and 07/22/2002");
    lines = BuildReportLines(c, "All", rows, "x", "y", DeDe());
    EXPECT_EQ(lines[5], "Date: between 12.07.2002 and 22.07.2002");

    // No item chosen in the at least / at most list: no size line at all.
    c.SizeBound = static_cast<SearchSizeBound>(-1);
    lines = BuildReportLines(c, "All", rows, "x", "y", EnUs());
    EXPECT_EQ(lines[6], "----------------------------------------");
}

TEST(SearchReport, FileBytes)
{
    test::TempDir dir;
    const std::string path = dir.File("report.txt");
    test::WriteBytes(path, "an older, longer file that is replaced without a question");
    const std::vector<std::string> lines = {"Criteria: \xC3\xA9", "", "end"};
    WriteReport(path, lines);
    EXPECT_EQ(test::ReadBytes(path), "Criteria: \xC3\xA9\r\n\r\nend\r\n");  // no byte-order mark
}

TEST(SearchReport, WriteFailures)
{
    const std::vector<std::string> lines = {"x"};
    try {
        WriteReport("/nonexistent-folder/r.txt", lines);
        FAIL() << "no error";
    } catch (const CatalogError& e) {
        EXPECT_STREQ(e.what(), "Cannot create file /nonexistent-folder/r.txt");
    }
    try {
        WriteReport("/dev/full", lines);
        FAIL() << "no error";
    } catch (const CatalogError& e) {
        EXPECT_STREQ(e.what(), "Stream write error");
    }
}

TEST(SearchReport, AFailedSaveLeavesTheOldReportAsItWas)
{
    test::TempDir dir;
    const std::string path = dir.File("report.txt");
    WriteReport(path, std::vector<std::string>{"old"});
    // The new report is larger than the files this child may write.
    const int status = test::RunInChild([&] {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) return 2;
        try {
            WriteReport(path, std::vector<std::string>(2000, "a line of the new report"));
        } catch (const CatalogError& e) {
            return std::string_view(e.what()) == "Stream write error" ? 0 : 3;
        }
        return 1;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(test::ReadBytes(path), "old\r\n");
    // Neither a partial report nor a temporary file is left.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

TEST(SearchReport, ALinkIsSavedThroughAndADeviceWrittenInPlace)
{
    test::TempDir dir;
    const std::string target = dir.File("target.txt");
    test::WriteBytes(target, "old");
    std::filesystem::create_symlink(target, dir.File("link.txt"));
    WriteReport(dir.File("link.txt"), std::vector<std::string>{"new"});
    EXPECT_TRUE(std::filesystem::is_symlink(dir.File("link.txt")));
    EXPECT_EQ(test::ReadBytes(target), "new\r\n");
    // A device is never replaced by a file.
    WriteReport("/dev/null", std::vector<std::string>{"x"});
    EXPECT_TRUE(std::filesystem::is_character_file("/dev/null"));
}

TEST(SearchReport, RowsFromResults)
{
    CatalogTree tree;
    const NodeId v = tree.AddVolume("Vol", At(2002, 1, 1));
    const NodeId f = tree.AddFolder(v, "Sub", At(2002, 7, 22, 20, 44, 56));
    tree.AddFile(f, "a.txt", 12, At(2002, 7, 22));
    SearchResults results;
    SearchWalk(tree, SearchScope::AllVolumes(), SearchCriteria{}, EnUs(), results).Run();
    const auto rows = ReportRows(results, EnUs());
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], (ReportRow{"Sub", "Vol", "", "[SUB-DIR]", "07/22/2002 08:44:56 PM", ""}));
    EXPECT_EQ(rows[1], (ReportRow{"a.txt", "Vol", "Sub\\", "12 KB", "07/22/2002", ""}));
    // Space on the folder row: its total in place of "[SUB-DIR]".
    results.SetFolderTotal(0, 2400);
    EXPECT_EQ(results.Text(0, kColumnSize, EnUs()), "2.344 MB");
}

TEST(SearchReport, FolderTotalsSortAsSizes)
{
    CatalogTree tree;
    const NodeId v = tree.AddVolume("Vol", At(2002, 1, 1));
    for (const char* name : {"Big", "Mid", "Small"}) tree.AddFolder(v, name, At(2002, 1, 1));
    SearchResults results;
    SearchWalk(tree, SearchScope::AllVolumes(), SearchCriteria{}, EnUs(), results).Run();
    ASSERT_EQ(results.size(), 3u);
    // Space on each folder row, smallest total on the row named last.
    const std::map<std::string, std::int64_t> totals{{"Big", 3000}, {"Mid", 40}, {"Small", 5}};
    for (std::size_t i = 0; i < results.size(); ++i) results.SetFolderTotal(i, totals.at(std::string(results.Name(i))));
    auto names = [&] {
        std::vector<std::string> n;
        for (std::size_t i = 0; i < results.size(); ++i) n.emplace_back(results.Name(i));
        return n;
    };
    SortState bySize;
    bySize.ColumnClick(kColumnSize);
    results.Sort(bySize, EnUs());
    EXPECT_EQ(names(), (std::vector<std::string>{"Small", "Mid", "Big"}));
    bySize.ColumnClick(kColumnSize);
    results.Sort(bySize, EnUs());
    EXPECT_EQ(names(), (std::vector<std::string>{"Big", "Mid", "Small"}));
}

}  // namespace
}  // namespace ardvel
