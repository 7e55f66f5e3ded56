// The scan under hard conditions: callbacks that throw, very deep trees,
// few descriptors to spare.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <stdexcept>
#include <string>

#include "catalog/ScanFolder.h"
#include "support/ProcessProbe.h"
#include "support/TempDir.h"

namespace ardvel {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

TEST(ScanFolderLimits, ACallbackThatThrowsLeavesNoFolderOpen)
{
    TempDir dir;
    fs::create_directories(dir.Path() / "a" / "b" / "c" / "d");
    test::WriteBytes(dir.File("a/b/c/d/deepest"), "x");
    const std::size_t before = test::OpenDescriptorCount();
    for (int round = 0; round < 2; ++round) {
        CatalogTree tree;
        const NodeId volume = tree.AddVolume("V", 0);
        FolderScanner::Options options;
        options.Progress = [](std::string_view, std::string_view name) {
            if (name == "deepest") throw std::runtime_error("stop here");
        };
        FolderScanner scanner(tree, std::move(options));
        EXPECT_THROW(scanner.ScanFolder(dir.Path().string(), volume), std::runtime_error);
        // Every level between the root and the entry had its folder open.
        EXPECT_EQ(test::OpenDescriptorCount(), before);
    }
}

/// A chain of `depth` folders named "d" under `root`, each holding the next
/// and, when `withFiles`, a file "f"; the deepest holds "bottom". Made and
/// removed through descriptors: its paths are far longer than PATH_MAX.
class FolderChain {
public:
    FolderChain(const fs::path& root, int depth, bool withFiles) : root_(root)
    {
        int fd = ::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        for (int i = 0; i < depth && fd >= 0; ++i) {
            ::mkdirat(fd, "d", 0755);
            if (withFiles) ::close(::openat(fd, "f", O_CREAT | O_WRONLY | O_CLOEXEC, 0644));
            const int next = ::openat(fd, "d", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            ::close(fd);
            fd = next;
        }
        if (fd >= 0) ::close(::openat(fd, "bottom", O_CREAT | O_WRONLY | O_CLOEXEC, 0644));
        ::close(fd);
    }
    ~FolderChain()
    {
        // Down to the deepest folder, then up through ".." removing each.
        struct stat top {};
        if (::stat(root_.c_str(), &top) != 0) return;
        int fd = ::open(root_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        for (int next; fd >= 0 && (next = ::openat(fd, "d", O_RDONLY | O_DIRECTORY | O_CLOEXEC)) >= 0;) {
            ::close(fd);
            fd = next;
        }
        for (struct stat here{}; fd >= 0 && ::fstat(fd, &here) == 0 && here.st_ino != top.st_ino;) {
            ::unlinkat(fd, "f", 0);
            ::unlinkat(fd, "bottom", 0);
            const int parent = ::openat(fd, "..", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            ::close(fd);
            ::unlinkat(parent, "d", AT_REMOVEDIR);
            fd = parent;
        }
        if (fd >= 0) ::close(fd);
    }
    FolderChain(const FolderChain&) = delete;
    FolderChain& operator=(const FolderChain&) = delete;

private:
    fs::path root_;
};

/// How deep the first-child chain below `volume` goes, and whether its
/// deepest folder holds the file "bottom".
int ChainDepth(const CatalogTree& tree, NodeId volume, bool& bottomFound)
{
    int depth = 0;
    NodeId node = volume;
    while (!tree.Children(node).empty()) {
        node = tree.Children(node)[0];
        ++depth;
    }
    const FileList files = tree.Files(node);
    bottomFound = files.size() == 1 && files.Store().Name(*files.begin()) == "bottom";
    return depth;
}

/// Scans `root` in a child whose descriptors are limited to `maxFiles`;
/// the exit status is 0 when every level of a chain of `depth` was
/// catalogued, with its file at the bottom.
int ScanChainInChild(const fs::path& root, int depth, rlim_t maxFiles)
{
    return test::RunInChild([&] {
        const rlimit limit{maxFiles, maxFiles};
        if (::setrlimit(RLIMIT_NOFILE, &limit) != 0) return 2;
        CatalogTree tree;
        const NodeId volume = tree.AddVolume("V", 0);
        FolderScanner scanner(tree, {});
        if (!scanner.ScanFolder(root.string(), volume)) return 3;
        if (scanner.Stats().UnreadableFolders != 0) return 4;
        bool bottom = false;
        if (ChainDepth(tree, volume, bottom) != depth || !bottom) return 5;
        return 0;
    });
}

TEST(ScanFolderLimits, ATwentyThousandDeepTreeIsCataloguedWholeWithSixtyFourDescriptors)
{
    // In memory where there is such a file system: some disk file systems
    // take minutes to make this many folders after as many were removed.
    std::string pattern =
        (fs::is_directory("/dev/shm") && ::access("/dev/shm", W_OK) == 0 ? fs::path("/dev/shm")
                                                                         : fs::temp_directory_path()) /
        "ardvel-deep-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    constexpr int kDepth = 20000;
    {
        const FolderChain chain(pattern, kDepth, false);
        EXPECT_EQ(ScanChainInChild(pattern, kDepth, 64), 0);
    }
    EXPECT_EQ(::rmdir(pattern.c_str()), 0);
}

TEST(ScanFolderLimits, FoldersClosedOnTheWayDownAreOpenedAgainForTheirLaterEntries)
{
    // A file at every level: whichever the listing gives first, the scan
    // often comes back to a folder whose descriptor it gave up.
    TempDir dir;
    constexpr int kDepth = 300;
    const FolderChain chain(dir.Path(), kDepth, true);
    EXPECT_EQ(ScanChainInChild(dir.Path(), kDepth, 64), 0);
}

TEST(ScanFolderLimits, AFolderThatCannotBeOpenedIsReported)
{
    TempDir dir;
    CatalogTree tree;
    const NodeId volume = tree.AddVolume("V", 0);
    FolderScanner scanner(tree, {});
    ASSERT_TRUE(scanner.ScanFolder((dir.Path() / "missing").string(), volume));
    EXPECT_EQ(scanner.Stats().UnreadableFolders, 1u);
    ASSERT_EQ(scanner.Stats().UnreadableFolderMessages.size(), 1u);
    EXPECT_EQ(scanner.Stats().UnreadableFolderMessages[0],
              "Cannot open folder " + (dir.Path() / "missing").string() + ": No such file or directory");
}

}  // namespace
}  // namespace ardvel
