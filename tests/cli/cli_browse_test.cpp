#include <gtest/gtest.h>

#include <filesystem>

#include "store/CatalogFile.h"
#include "support/DateAt.h"
#include "support/MusicVolume.h"
#include "support/TempDir.h"

namespace ardvel {
namespace {

using test::CommandResult;
using test::ShellQuote;
using test::TempDir;

using test::At;

class CliBrowse : public ::testing::Test {
protected:
    void SetUp() override
    {
        CatalogTree tree;
        const test::MusicVolume music = test::AddMusic2002(tree, "a\\b.mp3", " - Song\tTab");
        tree.AddFolder(music.Rock, "alpha", At(2002, 1, 4));
        test::WriteCatalog(dir.File("Music 2002.arv"), tree, music.Volume, "CD LABEL");

        CatalogTree other;
        const NodeId w = other.AddVolume("x", At(2003, 1, 1));
        test::WriteCatalog(dir.File("AC~47DC~58 Live.arv"), other, w, "");
    }
    CommandResult Cli(const std::string& arguments, bool withFolder = true)
    {
        std::string command = "LC_ALL=en_US.UTF-8 " + ShellQuote(ARDVEL_CLI_PATH) + " ";
        if (withFolder) command += "--catalog-folder " + ShellQuote(dir.Folder()) + " ";
        return test::RunCommand(command + arguments + " 2>" + ShellQuote(dir.File("stderr.txt")));
    }
    std::string Err() { return test::ReadBytes(dir.File("stderr.txt")); }
    TempDir dir;
};

TEST_F(CliBrowse, VolumesInTreeOrder)
{
    const CommandResult r = Cli("volumes");
    EXPECT_EQ(r.Status, 0);
    EXPECT_EQ(r.Out, "AC/DC: Live\nMusic 2002\n");
}

TEST_F(CliBrowse, LsShowsFolderRowsFirstThenFilesByName)
{
    const CommandResult root = Cli("ls");
    EXPECT_EQ(root.Status, 0);
    EXPECT_EQ(root.Out,
              "AC/DC: Live\t[SUB-DIR]\t01/01/2003\t\n"
              "Music 2002\t[SUB-DIR]\t05/06/2002 07:08:10 AM\t\n");
    const CommandResult rock = Cli("ls 'music 2002:\\ROCK'");
    EXPECT_EQ(rock.Status, 0) << Err();
    EXPECT_EQ(rock.Out,
              "alpha\t[SUB-DIR]\t01/04/2002\t\n"
              "Live\t[SUB-DIR]\t01/03/2002 04:05:06 AM\t\n"
              "a\\\\b.mp3\t12 KB\t02/03/2002\tBand - Song\\tTab\n"
              "b.txt\t1.063 MB\t02/03/2002 02:00:00 PM\t\n");
    EXPECT_EQ(Cli("ls 'My Catalogs'").Out, root.Out);
}

TEST_F(CliBrowse, LsOfAnUnknownPathSaysPathNotFound)
{
    for (const char* path : {"'Music 2002:\\Pop\\'", "'Music 2002\\'", "'my catalogs'"}) {
        const CommandResult r = Cli(std::string("ls ") + path);
        EXPECT_EQ(r.Status, 1) << path;
        EXPECT_EQ(r.Out, "");
        EXPECT_EQ(Err(), "Path not found!\n");
    }
}

TEST_F(CliBrowse, DumpPrintsRecordsAndFailsAfterWhatWasRead)
{
    const CommandResult r = Cli("dump " + ShellQuote(dir.File("Music 2002.arv")), false);
    EXPECT_EQ(r.Status, 0);
    EXPECT_EQ(r.Out,
              "CD LABEL\t2002-05-06 07:08:10\n"
              "D\t2\tRock\t2002-01-02 00:00:00\n"
              "F\tb.txt\t1088\t2002-02-03 14:00:00\n"
              "F\ta\\\\b.mp3\t12\t2002-02-03 00:00:00\tBand\t - Song\\tTab\n"
              "D\t3\tLive\t2002-01-03 04:05:06\n"
              "D\t3\talpha\t2002-01-04 00:00:00\n");

    const std::string bytes = test::ReadBytes(dir.File("Music 2002.arv"));
    test::WriteBytes(dir.File("cut.arv"), bytes.substr(0, bytes.size() - 2));
    const CommandResult cut = Cli("dump " + ShellQuote(dir.File("cut.arv")), false);
    EXPECT_EQ(cut.Status, 1);
    EXPECT_EQ(cut.Out, r.Out.substr(0, r.Out.rfind("D\t3\talpha")));
    EXPECT_EQ(Err(), dir.File("cut.arv") + ": Read beyond end of file\n");
}

TEST_F(CliBrowse, LoadFailuresGoToStderrAndTheRestStillPrints)
{
    test::WriteBytes(dir.File("broken.arv"), "");
    std::filesystem::create_directory(dir.File("dir.arv"));
    const CommandResult r = Cli("volumes");
    EXPECT_EQ(r.Status, 1);
    EXPECT_EQ(r.Out, "AC/DC: Live\nMusic 2002\n");
    const std::string err = Err();
    EXPECT_NE(err.find(dir.Folder() + "broken.arv: Read beyond end of file\n"), std::string::npos) << err;
    EXPECT_NE(err.find(dir.Folder() + "dir.arv: File access denied\n"), std::string::npos) << err;
}

TEST_F(CliBrowse, CatalogFolderComesFromTheSettingsFile)
{
    TempDir config;
    std::filesystem::create_directories(config.Path() / "ardvel");
    test::WriteBytes(config.File("ardvel/ardvel.ini"), "[General]\nCatalogFolder=" + dir.Folder() + "\n");
    const std::string env = "XDG_CONFIG_HOME=" + ShellQuote(config.Folder()) + " ";
    const CommandResult r = test::RunCommand(env + ShellQuote(ARDVEL_CLI_PATH) + " volumes");
    EXPECT_EQ(r.Status, 0);
    EXPECT_EQ(r.Out, "AC/DC: Live\nMusic 2002\n");

    // Without a setting: the default folder under XDG_DATA_HOME.
    TempDir data;
    std::filesystem::create_directories(data.Path() / "ardvel" / "Catalogs");
    std::filesystem::copy_file(dir.File("Music 2002.arv"), data.Path() / "ardvel" / "Catalogs" / "Only.arv");
    const CommandResult d = test::RunCommand("XDG_CONFIG_HOME=/nonexistent XDG_DATA_HOME=" + ShellQuote(data.Folder()) +
                                             " " + ShellQuote(ARDVEL_CLI_PATH) + " volumes");
    EXPECT_EQ(d.Out, "Only\n");
}

TEST_F(CliBrowse, UsageErrorsExitTwo)
{
    EXPECT_EQ(Cli("").Status, 2);
    EXPECT_EQ(Cli("frobnicate").Status, 2);
    EXPECT_EQ(Cli("ls a b").Status, 2);
    EXPECT_EQ(Cli("dump", false).Status, 2);
    const CommandResult help = Cli("--help", false);
    EXPECT_EQ(help.Status, 0);
    EXPECT_NE(help.Out.find("ls [NODEPATH]"), std::string::npos);
}

TEST_F(CliBrowse, EmptyCatalogFolderListsNothing)
{
    TempDir empty;
    const CommandResult r =
        test::RunCommand(ShellQuote(ARDVEL_CLI_PATH) + " --catalog-folder " + ShellQuote(empty.Folder()) + " ls");
    EXPECT_EQ(r.Status, 0);
    EXPECT_EQ(r.Out, "");
    const CommandResult other = test::RunCommand(ShellQuote(ARDVEL_CLI_PATH) + " --catalog-folder " +
                                                 ShellQuote(empty.Folder()) + " ls 'x:\\' 2>&1");
    EXPECT_EQ(other.Status, 1);
    EXPECT_EQ(other.Out, "Path not found!\n");
}

}  // namespace
}  // namespace ardvel
