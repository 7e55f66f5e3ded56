// ardvel-cli's exit codes when its folder, its arguments or its output fail.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "store/CatalogFile.h"
#include "support/TempDir.h"

namespace ardvel {
namespace {

using test::RunCommand;
using test::ShellQuote;
using test::TempDir;

std::string Cli(const std::string& arguments)
{
    return ShellQuote(ARDVEL_CLI_PATH) + " " + arguments;
}

void OneCatalog(const TempDir& dir)
{
    CatalogTree tree;
    const NodeId v = tree.AddVolume("Vol", 37000.0);
    tree.AddFile(v, "a.txt", 1, 37000.0);
    CatalogWriter writer(dir.File("Vol.arv"));
    writer.WriteHeader("Vol", 37000.0);
    writer.WriteTree(tree, v);
    writer.Commit();
}

TEST(CliErrors, AMissingCatalogFolderIsAFailureWithAMessage)
{
    TempDir dir;
    const std::string missing = dir.File("gone");
    for (const char* command : {"volumes", "ls", "search x"}) {
        const auto r = RunCommand(Cli("--catalog-folder " + ShellQuote(missing) + " " + command + " 2>&1"));
        EXPECT_EQ(r.Status, 1) << command;
        EXPECT_EQ(r.Out, missing + ": Catalog folder not found\n") << command;
    }
}

TEST(CliErrors, AnEmptyCatalogFolderIsAUsageError)
{
    EXPECT_EQ(RunCommand(Cli("--catalog-folder '' volumes 2>/dev/null")).Status, 2);
    EXPECT_EQ(RunCommand(Cli("--catalog-folder= volumes 2>/dev/null")).Status, 2);
}

TEST(CliErrors, OutputThatCannotBeWrittenIsAFailureAndAClosedPipeIsQuiet)
{
    TempDir dir;
    OneCatalog(dir);
    const auto full = RunCommand(Cli("--catalog-folder " + ShellQuote(dir.Folder()) + " volumes 2>&1 >/dev/full"));
    EXPECT_EQ(full.Status, 1);
    EXPECT_EQ(full.Out, "ardvel-cli: write error: No space left on device\n");
    // The reader is gone before the first row: no message, no crash.
    const auto piped = RunCommand("(" + Cli("--catalog-folder " + ShellQuote(dir.Folder()) + " ls 'Vol:\\' 2>&1") +
                                  "; echo \"status $?\") | (exec 0<&-; sleep 0.2) ; true");
    EXPECT_EQ(piped.Out.find("ardvel-cli"), std::string::npos) << piped.Out;
}

TEST(CliErrors, MediaReadsRegularFilesOnly)
{
    TempDir dir;
    ASSERT_EQ(::mkfifo(dir.File("pipe.mp3").c_str(), 0644), 0);
    const auto r = RunCommand(
        "timeout 20 " + Cli("media " + ShellQuote(dir.File("pipe.mp3")) + " " + ShellQuote(dir.Folder()) + " 2>&1"));
    EXPECT_EQ(r.Status, 1);
    EXPECT_EQ(r.Out, dir.File("pipe.mp3") + ": Not a regular file\n" + dir.Folder() + ": Not a regular file\n");
}

}  // namespace
}  // namespace ardvel
