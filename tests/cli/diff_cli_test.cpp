// ardvel-cli diff end to end: a catalogued tree changed in every way,
// compared with its folder and with a volume made of the changed tree.

#include <gtest/gtest.h>
#include <utime.h>

#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/Locale.h"
#include "store/DateTime.h"
#include "store/ListFormats.h"
#include "store/LocalTime.h"
#include "support/CliRunner.h"
#include "support/JsonRows.h"

namespace ardvel {
namespace {

namespace fs = std::filesystem;
using test::CliRun;
using test::TempDir;
using test::WriteBytes;
using namespace std::string_literals;

constexpr std::time_t kFirstTime = 1700000000;   // 2023-11-14
constexpr std::time_t kSecondTime = 1710000000;  // 2024-03-09

void Touch(const fs::path& path, std::time_t when)
{
    const utimbuf times{when, when};
    ASSERT_EQ(::utime(path.c_str(), &times), 0) << path;
}

void Write(const fs::path& path, std::size_t bytes, std::time_t when = kFirstTime)
{
    fs::create_directories(path.parent_path());
    WriteBytes(path.string(), std::string(bytes, 'x'));
    Touch(path, when);
}

/// The ISO 8601 date of a file modified at `when`, as the catalog keeps it.
std::string IsoDate(std::time_t when)
{
    std::string text;
    AppendIsoDate(text, DosToDateTime(DateTimeToDos(UnixToLocalDateTime(when))));
    return text;
}

/// A list date of a file modified at `when`, as the catalog keeps it.
std::string ListDate(std::time_t when)
{
    static const Locale english("en_US.UTF-8");
    return FormatDate(DosToDateTime(DateTimeToDos(UnixToLocalDateTime(when))), english);
}

struct DiffFixture {
    TempDir Home;
    fs::path Disk = Home.Path() / "media" / "Disk";
    std::string Catalogs = Home.Folder() + "catalogs/";

    DiffFixture()
    {
        fs::create_directories(Catalogs);
        Write(Disk / "a.txt", 100);
        Write(Disk / "change.txt", 100);
        Write(Disk / "keep.txt", 100);
        Write(Disk / "Report", 100);
        Write(Disk / "Docs" / "x.txt", 100);
        Write(Disk / "Docs" / "Sub" / "y.txt", 100);
        Write(Disk / "Old" / "o1", 1);
        Write(Disk / "Old" / "o2", 1);
    }

    CliRun Cli(std::vector<std::string> args) const
    {
        args.insert(args.begin(), {"--catalog-folder", Catalogs});
        return test::RunCliIn(Home, args);
    }

    /// Adds, removes and modifies files and folders.
    void Change() const
    {
        fs::remove(Disk / "a.txt");
        Write(Disk / "new.txt", 10);
        Write(Disk / "change.txt", 3000);
        fs::remove_all(Disk / "Old");
        Write(Disk / "Photos" / "p1.jpg", 10);
        Write(Disk / "Photos" / "Trip" / "p2.jpg", 10);
        fs::remove(Disk / "Report");
        Write(Disk / "Report" / "page.txt", 10);
        Touch(Disk / "Docs" / "x.txt", kSecondTime);
        Write(Disk / "Docs" / "Sub" / "z.txt", 10);
    }
};

const std::string kSummary = "4 added, 3 removed, 2 changed (3 files in added folders, 2 in removed ones)\n";

std::string ExpectedLines()
{
    const std::string first = ListDate(kFirstTime);
    return "-\ta.txt\n"
           "~\tchange.txt\t1 KB\t3 KB\t" +
           first + "\t" + first +
           "\n"
           "+\tnew.txt\n"
           "-\tReport\n"
           "~\tDocs\\\\x.txt\t1 KB\t1 KB\t" +
           first + "\t" + ListDate(kSecondTime) +
           "\n"
           "+\tDocs\\\\Sub\\\\z.txt\n"
           "-\tOld\\\\\n"
           "+\tPhotos\\\\\n"
           "+\tReport\\\\\n";
}

TEST(DiffCli, ListsTheChangesFromAVolumeToItsFolder)
{
    DiffFixture f;
    ASSERT_EQ(f.Cli({"catalog", f.Disk.string(), "--name", "Disk"}).ExitCode, 0);

    CliRun r = f.Cli({"diff", "Disk", f.Disk.string(), "--exit-code"});
    EXPECT_EQ(r.ExitCode, 0) << r.Err;
    EXPECT_EQ(r.Out, "");
    EXPECT_EQ(r.Err, "0 added, 0 removed, 0 changed (0 files in added folders, 0 in removed ones)\n");

    f.Change();
    r = f.Cli({"diff", "disk", f.Disk.string()});
    EXPECT_EQ(r.ExitCode, 0) << r.Err;
    EXPECT_EQ(r.Out, ExpectedLines());
    EXPECT_EQ(r.Err, kSummary);
    EXPECT_EQ(f.Cli({"diff", "--exit-code", "Disk", f.Disk.string()}).ExitCode, 1);
}

TEST(DiffCli, ComparesTwoVolumes)
{
    DiffFixture f;
    ASSERT_EQ(f.Cli({"catalog", f.Disk.string(), "--name", "Disk"}).ExitCode, 0);
    f.Change();
    ASSERT_EQ(f.Cli({"catalog", f.Disk.string(), "--name", "Disk now", "--yes"}).ExitCode, 0);

    CliRun r = f.Cli({"diff", "Disk", "--volume", "Disk now", "--exit-code"});
    EXPECT_EQ(r.ExitCode, 1);
    EXPECT_EQ(r.Out, ExpectedLines());
    EXPECT_EQ(r.Err, kSummary);

    r = f.Cli({"diff", "Disk now", "--volume=Disk now", "--exit-code"});
    EXPECT_EQ(r.ExitCode, 0);
    EXPECT_EQ(r.Out, "");
}

TEST(DiffCli, FailuresAndUsageErrorsHaveTheirExitCodes)
{
    DiffFixture f;
    ASSERT_EQ(f.Cli({"catalog", f.Disk.string(), "--name", "Disk"}).ExitCode, 0);
    const std::string missing = f.Home.File("missing");

    CliRun r = f.Cli({"diff", "Nothing", f.Disk.string()});
    EXPECT_EQ(r.ExitCode, 1);
    EXPECT_EQ(r.Err, "Nothing: no such volume\n");
    EXPECT_EQ(f.Cli({"diff", "Nothing", f.Disk.string(), "--exit-code"}).ExitCode, 3);
    EXPECT_EQ(f.Cli({"diff", "Disk", "--volume", "Nothing", "--exit-code"}).ExitCode, 3);

    r = f.Cli({"diff", "Disk", missing, "--exit-code"});
    EXPECT_EQ(r.ExitCode, 3);
    EXPECT_EQ(r.Err, missing + ": No such file or directory\n");

    WriteBytes(f.Catalogs + "Broken.arv", "no catalog");
    r = f.Cli({"diff", "Broken", f.Disk.string()});
    EXPECT_EQ(r.ExitCode, 1);
    EXPECT_EQ(r.Err, f.Catalogs + "Broken.arv: Read beyond end of file\n");

    for (const std::vector<std::string>& args : {std::vector<std::string>{"diff", "Disk"},
                                                 {"diff"},
                                                 {"diff", "Disk", "a", "b"},
                                                 {"diff", "Disk", f.Disk.string(), "--volume", "Disk"},
                                                 {"diff", "Disk", "--bogus", "--exit-code"}})
        EXPECT_EQ(f.Cli(args).ExitCode, 2) << args.size();
}

TEST(DiffCli, PathsAreEscapedLikeOtherOutput)
{
    DiffFixture f;
    ASSERT_EQ(f.Cli({"catalog", f.Disk.string(), "--name", "Disk"}).ExitCode, 0);
    Write(f.Disk / "Docs" / "tab\there", 1);
    Write(f.Disk / "Docs" / "back\\slash", 1);
    const CliRun r = f.Cli({"diff", "Disk", f.Disk.string()});
    EXPECT_EQ(r.Out, "+\tDocs\\\\back\\\\slash\n+\tDocs\\\\tab\\there\n");
}

TEST(DiffCli, CsvJsonAndNulRowsOfTheChanges)
{
    DiffFixture f;
    ASSERT_EQ(f.Cli({"catalog", f.Disk.string(), "--name", "Disk"}).ExitCode, 0);
    f.Change();
    EXPECT_EQ(f.Cli({"diff", "Disk", f.Disk.string(), "--format", "tsv"}).Out, ExpectedLines());

    const CliRun csv = f.Cli({"diff", "disk", f.Disk.string(), "--format=csv"});
    EXPECT_EQ(csv.ExitCode, 0) << csv.Err;
    EXPECT_EQ(csv.Err, kSummary);
    const std::string first = IsoDate(kFirstTime);
    const std::string head =
        "change,folder,volume,path,old_size,old_size_kb,new_size,new_size_kb,old_date,new_date\r\n"
        "removed,false,Disk,Disk/a.txt,1024,1,,,"s +
        first +
        ",\r\n"
        "changed,false,Disk,Disk/change.txt,1024,1,3072,3," +
        first + "," + first +
        "\r\n"
        "added,false,Disk,Disk/new.txt,,,1024,1,," +
        first +
        "\r\n"
        "removed,false,Disk,Disk/Report,1024,1,,,"s +
        first +
        ",\r\n"
        "changed,false,Disk,Disk/Docs/x.txt,1024,1,1024,1," +
        first + "," + IsoDate(kSecondTime) + "\r\nadded,false,Disk,Disk/Docs/Sub/z.txt,,,1024,1,," + first +
        "\r\n"
        "removed,true,Disk,Disk/Old,,,,,";
    EXPECT_EQ(csv.Out.substr(0, head.size()), head);

    const CliRun json = f.Cli({"diff", "Disk", "--volume", "Disk", "--format", "json", "--exit-code"});
    EXPECT_EQ(json.ExitCode, 0) << json.Err;
    EXPECT_EQ(json.Out, "[]\n");
    const std::vector<test::JsonRow> rows =
        test::ReadJsonRows(f.Cli({"diff", "Disk", f.Disk.string(), "--format", "json"}).Out);
    ASSERT_EQ(rows.size(), 9u);
    EXPECT_EQ(rows[2], (test::JsonRow{{"change", "added"},
                                      {"folder", "false"},
                                      {"volume", "Disk"},
                                      {"path", "Disk/new.txt"},
                                      {"old_size", "null"},
                                      {"old_size_kb", "null"},
                                      {"new_size", "1024"},
                                      {"new_size_kb", "1"},
                                      {"old_date", "null"},
                                      {"new_date", first}}));
    EXPECT_EQ(rows[7].at("folder"), "true");
    EXPECT_EQ(rows[7].at("new_size"), "null");
    EXPECT_EQ(rows[7].at("path"), "Disk/Photos");
    EXPECT_EQ(test::ReadJsonRows(f.Cli({"diff", "Disk", f.Disk.string(), "--format", "jsonl"}).Out, true), rows);

    EXPECT_EQ(f.Cli({"diff", "Disk", f.Disk.string(), "-0"}).Out,
              "Disk/a.txt\0Disk/change.txt\0Disk/new.txt\0Disk/Report\0Disk/Docs/x.txt\0Disk/Docs/Sub/z.txt\0"
              "Disk/Old\0Disk/Photos\0Disk/Report\0"s);
    EXPECT_EQ(f.Cli({"diff", "Disk", f.Disk.string(), "--null", "--format", "csv"}).ExitCode, 2);
}

TEST(DiffCli, SlashPathsKeepABackslashInsideAName)
{
    DiffFixture f;
    ASSERT_EQ(f.Cli({"catalog", f.Disk.string(), "--name", "Disk"}).ExitCode, 0);
    Write(f.Disk / "Docs" / "back\\slash", 1);
    Write(f.Disk / "a\\b" / "c", 1);
    EXPECT_EQ(f.Cli({"diff", "Disk", f.Disk.string(), "--null"}).Out, "Disk/Docs/back\\slash\0Disk/a\\b\0"s);
}

}  // namespace
}  // namespace ardvel
