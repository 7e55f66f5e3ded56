// The scan under hard conditions: callbacks that throw, very deep trees,
// few descriptors to spare.
#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>
#include <string>

#include "catalog/ScanFolder.h"
#include "core/ProcessProbe.h"
#include "core/TempDir.h"

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

}  // namespace
}  // namespace ardvel
