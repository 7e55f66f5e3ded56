// ardvel-cli catalog end to end.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "catalog/NameChecks.h"
#include "store/CatalogFile.h"
#include "store/VolumeName.h"
#include "support/CliRunner.h"
#include "support/Id3Builder.h"
#include "support/TempDir.h"

namespace ardvel {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

using CliResult = test::CliRun;

struct CliOptions {
    bool AsNobody = false;
    int InterruptAfterMs = -1;
};

/// Runs ardvel-cli with `args`, its output and settings in `outputs`.
CliResult RunCli(const std::vector<std::string>& args, const TempDir& outputs, CliOptions options = {})
{
    return test::RunCliIn(outputs, args, {.SignalAfterMs = options.InterruptAfterMs, .AsNobody = options.AsNobody});
}

struct CliFixture {
    TempDir Dir;
    TempDir Outputs;
    std::string Catalogs = Dir.Folder() + "catalogs/";
    CliFixture() { fs::create_directories(Catalogs); }

    std::vector<std::string> Args(std::vector<std::string> more) const
    {
        std::vector<std::string> args{"--catalog-folder", Catalogs, "catalog"};
        args.insert(args.end(), more.begin(), more.end());
        return args;
    }
    std::vector<std::string> CatalogEntries() const
    {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(Catalogs)) names.push_back(e.path().filename());
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST(CatalogCli, CataloguesAFolderUnderItsNameAndPrintsASummary)
{
    CliFixture f;
    const fs::path src = f.Dir.Path() / "Trip";
    fs::create_directories(src / "Day 1");
    WriteBytes((src / "notes.txt").string(), std::string(1500, 'n'));
    WriteBytes((src / "Day 1" / "song.mp3").string(), test::SilentAudio(2));
    WriteBytes((src / "Day 1" / "empty").string(), "");

    const CliResult r = RunCli(f.Args({src.string()}), f.Outputs);
    ASSERT_EQ(r.ExitCode, 0) << r.Err;
    EXPECT_EQ(r.Err, "");
    const std::string expected =
        "Volume: Trip\nFolders: 1\nFiles: 3\nMP3 files: 1\nTotal size: " + std::to_string(1500 + 2 * 417) +
        " bytes\nCatalog file: " + f.Catalogs + "Trip.arv\nSeconds: ";
    ASSERT_TRUE(r.Out.starts_with(expected)) << r.Out;
    const std::string seconds = r.Out.substr(expected.size());
    EXPECT_TRUE(seconds.ends_with("\n") && seconds.find('.') != std::string::npos) << seconds;

    CatalogReader reader(f.Catalogs + "Trip.arv");
    std::string label;
    reader.ReadHeader(&label);
    EXPECT_EQ(label, "Trip");
    std::vector<std::string> records;
    CatalogReader::Record rec;
    while (reader.ReadRecord(rec))
        records.push_back(std::string(rec.IsFolder ? "D " : "F ") + std::string(rec.Name) + " " +
                          std::to_string(rec.IsFolder ? rec.Level : rec.SizeKB) + " " + std::string(rec.ArtistText));
    std::sort(records.begin() + 2, records.end());  // the files of "Day 1", in any listing order
    EXPECT_EQ(records, (std::vector<std::string>{"F notes.txt 2 ", "D Day 1 2 ", "F empty 0 ", "F song.mp3 1 song"}));
}

TEST(CatalogCli, RefusedNamesPrintTheirMessageAndFail)
{
    CliFixture f;
    fs::create_directories(f.Dir.Path() / "src");
    ASSERT_EQ(RunCli(f.Args({f.Dir.File("src"), "--name", "Disc"}), f.Outputs).ExitCode, 0);

    CliResult r = RunCli(f.Args({f.Dir.File("src"), "--name", "Disc~1"}), f.Outputs);
    EXPECT_EQ(r.ExitCode, 1);
    EXPECT_EQ(r.Err, std::string(kTildeDigitRefusal) + "\n");
    EXPECT_EQ(r.Out, "");

    r = RunCli(f.Args({f.Dir.File("src"), "--name=DISC", "--yes"}), f.Outputs);
    EXPECT_EQ(r.ExitCode, 1);
    EXPECT_EQ(r.Err, "There is a volume with the same name.\r\n    Please choose another one!\n");

    // A name whose catalog file is there under another volume name.
    {
        CatalogWriter writer(f.Catalogs + "CD~581.arv");
        writer.WriteHeader("Other disc", 40000.0);
        writer.Commit();
    }
    r = RunCli(f.Args({f.Dir.File("src"), "--name", "CD:1", "--yes"}), f.Outputs);
    EXPECT_EQ(r.ExitCode, 1);
    EXPECT_EQ(r.Err, "There is a volume with the same name.\r\n    Please choose another one!\n");
    EXPECT_EQ(f.CatalogEntries(), (std::vector<std::string>{"CD~581.arv", "Disc.arv"}));

    // Blank and over-long names, before anything is scanned.
    for (const std::string& name : {std::string(), std::string("  "), std::string(252, 'n')}) {
        r = RunCli(f.Args({f.Dir.File("src"), "--name", name, "--yes"}), f.Outputs);
        EXPECT_EQ(r.ExitCode, 1);
        EXPECT_EQ(r.Err, "Improper name! Please choose another one!\n");
    }
    EXPECT_EQ(f.CatalogEntries(), (std::vector<std::string>{"CD~581.arv", "Disc.arv"}));
}

TEST(CatalogCli, AnEmptyCatalogFileDoesNotBlockCataloguing)
{
    CliFixture f;
    fs::create_directories(f.Dir.Path() / "src");
    WriteBytes(f.Catalogs + "junk.arv", "");
    const CliResult r = RunCli(f.Args({f.Dir.File("src")}), f.Outputs);
    EXPECT_EQ(r.ExitCode, 0) << r.Err;
    EXPECT_EQ(r.Err, "");
    EXPECT_EQ(f.CatalogEntries(), (std::vector<std::string>{"junk.arv", "src.arv"}));
}

TEST(CatalogCli, ASourceCataloguedBeforeIsMadeAgainOnlyWithYes)
{
    CliFixture f;
    fs::create_directories(f.Dir.Path() / "src");
    ASSERT_EQ(RunCli(f.Args({f.Dir.File("src")}), f.Outputs).ExitCode, 0);
    const std::string question = "This folder has already been cataloged.\n\r   Do you want to make a new volume?";

    for (const std::vector<std::string>& flags : {std::vector<std::string>{}, std::vector<std::string>{"--no"}}) {
        std::vector<std::string> args{f.Dir.File("src"), "--name", "Again"};
        args.insert(args.end(), flags.begin(), flags.end());
        const CliResult r = RunCli(f.Args(args), f.Outputs);
        EXPECT_EQ(r.ExitCode, 1);
        EXPECT_TRUE(r.Err.starts_with(question)) << r.Err;
        EXPECT_EQ(r.Out, "");
        EXPECT_EQ(f.CatalogEntries(), std::vector<std::string>{"src.arv"});
    }
    const CliResult r = RunCli(f.Args({f.Dir.File("src"), "--name", "Again", "--yes"}), f.Outputs);
    EXPECT_EQ(r.ExitCode, 0) << r.Err;
    EXPECT_EQ(f.CatalogEntries(), (std::vector<std::string>{"Again.arv", "src.arv"}));
}

TEST(CatalogCli, BadCommandLinesAndFolders)
{
    CliFixture f;
    WriteBytes(f.Dir.File("file"), "");
    EXPECT_EQ(RunCli(f.Args({}), f.Outputs).ExitCode, 2);
    EXPECT_EQ(RunCli(f.Args({f.Dir.File("file"), "--yes", "--no"}), f.Outputs).ExitCode, 2);
    EXPECT_EQ(RunCli(f.Args({f.Dir.Path().string(), "--fast"}), f.Outputs).ExitCode, 2);
    EXPECT_EQ(RunCli(f.Args({f.Dir.Path().string(), "--name"}), f.Outputs).ExitCode, 2);
    EXPECT_EQ(RunCli(f.Args({"a", "b"}), f.Outputs).ExitCode, 2);

    CliResult r = RunCli(f.Args({f.Dir.File("missing")}), f.Outputs);
    EXPECT_EQ(r.ExitCode, 1);
    EXPECT_NE(r.Err.find(f.Dir.File("missing")), std::string::npos);
    EXPECT_EQ(RunCli(f.Args({f.Dir.File("file")}), f.Outputs).ExitCode, 1);
    EXPECT_TRUE(f.CatalogEntries().empty());

    // A catalog folder that is not there fails before anything is scanned.
    r = RunCli({"--catalog-folder", f.Dir.File("no-catalogs"), "catalog", f.Dir.Path().string()}, f.Outputs);
    EXPECT_EQ(r.ExitCode, 1);
    EXPECT_EQ(r.Err, "Catalog folder " + f.Dir.File("no-catalogs") + "/: No such file or directory\n");
    EXPECT_FALSE(fs::exists(f.Dir.File("no-catalogs")));
}

TEST(CatalogCli, ImportChecksTheCatalogFolderAndNamesAsCatalogDoes)
{
    // Loading reads "Music.ARV" beside "Disc.arv": its volume's name is in
    // use for both ways of adding a volume.
    CliFixture f;
    fs::create_directories(f.Dir.Path() / "src");
    ASSERT_EQ(RunCli(f.Args({f.Dir.File("src"), "--name", "Disc"}), f.Outputs).ExitCode, 0);
    {
        CatalogWriter writer(f.Catalogs + "Music.ARV");
        writer.WriteHeader("Music", 40000.0);
        writer.Commit();
    }
    WriteBytes(f.Dir.File("tree.json"),
               R"([1,0,{"progname":"ncdu","progver":"1.18","timestamp":1},[{"name":"/t"},{"name":"a","asize":10}]])");
    const std::string taken = "There is a volume with the same name.\r\n    Please choose another one!\n";
    CliResult r = RunCli(f.Args({f.Dir.File("src"), "--name", "MUSIC", "--yes"}), f.Outputs);
    EXPECT_EQ(r.ExitCode, 1);
    EXPECT_EQ(r.Err, taken);
    r = RunCli({"--catalog-folder", f.Catalogs, "import", f.Dir.File("tree.json"), "--name", "music"}, f.Outputs);
    EXPECT_EQ(r.ExitCode, 1);
    EXPECT_EQ(r.Err, taken);
    EXPECT_EQ(f.CatalogEntries(), (std::vector<std::string>{"Disc.arv", "Music.ARV"}));

    r = RunCli({"--catalog-folder", f.Dir.File("no-catalogs"), "import", f.Dir.File("tree.json"), "--name", "t"},
               f.Outputs);
    EXPECT_EQ(r.ExitCode, 1);
    EXPECT_EQ(r.Err, "Catalog folder " + f.Dir.File("no-catalogs") + "/: No such file or directory\n");
    r = RunCli({"--catalog-folder", f.Catalogs, "import", f.Dir.File("tree.json"), "--name", "t"}, f.Outputs);
    EXPECT_EQ(r.ExitCode, 0) << r.Err;
    EXPECT_EQ(f.CatalogEntries(), (std::vector<std::string>{"Disc.arv", "Music.ARV", "t.arv"}));
}

TEST(CatalogCli, Mp3FilesThatCannotBeOpenedAreListedAndTheCatalogIsSaved)
{
    // Root opens everything, so the command runs as "nobody" then.
    CliFixture f;
    const fs::path src = f.Dir.Path() / "src";
    fs::create_directories(src);
    WriteBytes((src / "locked.mp3").string(), test::SilentAudio(1));
    WriteBytes((src / "open.mp3").string(), test::SilentAudio(1));
    fs::permissions(src / "locked.mp3", fs::perms::none);
    fs::permissions(f.Dir.Path(), fs::perms::all);
    fs::permissions(f.Catalogs, fs::perms::all);

    const CliResult r = RunCli(f.Args({src.string()}), f.Outputs, CliOptions{true, -1});
    ASSERT_NE(r.ExitCode, 121) << "cannot change to the user nobody";
    if (r.ExitCode == 122)
        GTEST_SKIP() << "the user nobody cannot reach the temporary folder " << fs::temp_directory_path();
    EXPECT_EQ(r.ExitCode, 0) << r.Err;
    EXPECT_EQ(r.Err, "The tags of 1 MP3 file could not be read; they were catalogued by name.\nCannot open file " +
                         (src / "locked.mp3").string() + "\n");
    EXPECT_EQ(f.CatalogEntries(), std::vector<std::string>{"src.arv"});
}

TEST(CatalogCli, InterruptStopsTheScanAndSavesNothing)
{
    // The whole file system takes long enough to scan for an interrupt to
    // land in the middle.
    CliFixture f;
    const CliResult r = RunCli(f.Args({"/", "--name", "Everything"}), f.Outputs, CliOptions{false, 300});
    if (r.ExitCode == 0) GTEST_SKIP() << "the scan ended before the interrupt";
    EXPECT_EQ(r.ExitCode, 130) << r.Err;
    EXPECT_EQ(r.Err, "ardvel-cli: stopped; nothing was saved\n");
    EXPECT_EQ(r.Out, "");
    EXPECT_TRUE(f.CatalogEntries().empty());
}

}  // namespace
}  // namespace ardvel
