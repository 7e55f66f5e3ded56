// Saving the duplicate lines: whole, in pieces as large as they come, or
// not at all.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>

#include "search/DuplicateReport.h"
#include "support/SearchTreeFixture.h"
#include "support/TempDir.h"

namespace ardvel {
namespace {

namespace fs = std::filesystem;
using test::At;

/// The names of the entries of `folder`, sorted.
std::string Entries(const std::string& folder)
{
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) names.insert(e.path().filename().string());
    std::string text;
    for (const std::string& n : names) text += n + ";";
    return text;
}

TEST(DuplicatesSave, ManyLinesAreSavedAsWriteAllWritesThem)
{
    // Enough records for several of the pieces the save writes at a time.
    CatalogTree tree;
    const NodeId a = tree.AddVolume("A", At(2020, 1, 1)), b = tree.AddVolume("B", At(2020, 1, 1));
    for (int i = 0; i < 3000; ++i) {
        const std::string name = "file number " + std::to_string(i) + ".dat";
        tree.AddFile(a, name, i, At(2020, 2, 1));
        tree.AddFile(tree.AddFolder(b, "F" + std::to_string(i % 7), At(2020, 1, 2)), name, i, At(2020, 2, 1));
    }
    const DuplicateResult result = FindDuplicates(tree, SearchScope::AllVolumes(), {}, test::EnUs());
    ASSERT_EQ(result.RecordCount(), 6000u);
    std::ostringstream expected;
    DuplicateRowWriter(tree, test::EnUs(), expected).WriteAll(result);
    ASSERT_GT(expected.str().size(), 3u << 16);

    test::TempDir dir;
    test::WriteBytes(dir.File("dups.txt"), "an older, longer text that must not survive in part\n");
    EXPECT_EQ(SaveDuplicateLines(dir.File("dups.txt"), tree, test::EnUs(), result), 0);
    EXPECT_EQ(test::ReadBytes(dir.File("dups.txt")), expected.str());
    EXPECT_EQ(Entries(dir.Folder()), "dups.txt;");

    // Failures give the system's reason and leave nothing behind: a folder
    // that is not there, a name that is a folder (found only when the
    // written file is moved into place).
    EXPECT_EQ(SaveDuplicateLines(dir.File("none/dups.txt"), tree, test::EnUs(), result), ENOENT);
    fs::create_directory(dir.File("taken"));
    EXPECT_EQ(SaveDuplicateLines(dir.File("taken"), tree, test::EnUs(), result), EISDIR);
    EXPECT_EQ(Entries(dir.Folder()), "dups.txt;taken;");
    EXPECT_EQ(test::ReadBytes(dir.File("dups.txt")), expected.str());

    // A write that fails halfway (the file size limit standing for a full
    // disk) leaves the saved file as it was.
    test::WriteBytes(dir.File("dups.txt"), "the saved text\n");
    rlimit old{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 1 << 17;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const int error = SaveDuplicateLines(dir.File("dups.txt"), tree, test::EnUs(), result);
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(error, EFBIG);
    EXPECT_EQ(test::ReadBytes(dir.File("dups.txt")), "the saved text\n");
    EXPECT_EQ(Entries(dir.Folder()), "dups.txt;taken;");
}

}  // namespace
}  // namespace ardvel
