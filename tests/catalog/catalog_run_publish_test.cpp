// Publishing a new catalog file in a folder other programs write to.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "catalog/CatalogRun.h"
#include "catalog/NameChecks.h"
#include "platform/SaveFile.h"
#include "store/CatalogError.h"
#include "support/TempDir.h"

namespace ardvel {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

class SilentPrompt final : public UserPrompt {
public:
    void ShowError(const std::string& text) override { Errors.push_back(text); }
    bool Confirm(const std::string&) override { return true; }
    std::vector<std::string> Errors;
};

std::vector<std::string> Entries(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(CatalogPublish, ANameTakenAfterTheChecksIsNeverReplaced)
{
    TempDir dir;
    const std::string catalogs = dir.Folder() + "catalogs/";
    fs::create_directories(catalogs);
    fs::create_directories(dir.Path() / "src");
    test::WriteBytes(dir.File("src/a.txt"), "a");

    CatalogTree tree;
    SilentPrompt prompt;
    CatalogRun run(tree, catalogs, prompt);
    CatalogEvents events;
    // Another cataloguing of the same name saves while this one scans.
    events.ScanEnded = [&](NodeId) { test::WriteBytes(catalogs + "Same.arv", "the other catalog"); };
    try {
        run.Run(SelectSource(dir.File("src"), CdRomConfig{dir.File("no-mounts"), {}}), "Same", events);
        ADD_FAILURE() << "the run reported success";
    } catch (const CatalogError& e) {
        EXPECT_STREQ(e.what(), kVolumeNameTaken);
    }
    EXPECT_EQ(test::ReadBytes(catalogs + "Same.arv"), "the other catalog");
    EXPECT_EQ(Entries(catalogs), std::vector<std::string>{"Same.arv"});  // no temporary file left
    EXPECT_EQ(tree.VolumeCount(), 0u);
}

TEST(CatalogPublish, TemporaryFilesOfDeadSavesAreRemovedOthersKept)
{
    TempDir dir;
    // A save of a process that is gone: a child that made its file and died.
    const pid_t child = ::fork();
    if (child == 0) {
        SaveFile file;
        file.Open(dir.File("a.arv"));
        ::_exit(file.TempPath().empty() ? 1 : (file.Fd() >= 0 ? 0 : 1));  // killed: the file stays
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    ASSERT_EQ(Entries(dir.Folder()).size(), 1u);
    // A save going on in this process, and files that only look alike.
    SaveFile mine;
    ASSERT_EQ(mine.Open(dir.File("b.arv")), 0);
    test::WriteBytes(dir.File(".ardvel-save-abcdef"), "");
    test::WriteBytes(dir.File(".ardvel-save-1-elsewhere-abcdef"), "");

    EXPECT_EQ(RemoveDeadSaveFiles(dir.Folder()), 1u);
    const std::vector<std::string> left = Entries(dir.Folder());
    EXPECT_EQ(left.size(), 3u);
    EXPECT_NE(std::find(left.begin(), left.end(), fs::path(mine.TempPath()).filename().string()), left.end());
}

}  // namespace
}  // namespace ardvel
