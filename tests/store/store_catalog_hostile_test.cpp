// Catalog folders that other programs share: files that are no files, files
// that change while they are read, files far larger than any catalog.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "platform/Locale.h"
#include "store/CatalogError.h"
#include "store/CatalogFile.h"
#include "store/LoadCatalogs.h"
#include "support/ProcessProbe.h"
#include "support/TempDir.h"

namespace ardvel {
namespace {

using test::TempDir;

/// A catalog of `files` file records in one folder.
void WriteCatalog(const std::string& path, std::size_t files)
{
    CatalogTree tree;
    const NodeId volume = tree.AddVolume("V", 37000.0);
    const NodeId folder = tree.AddFolder(volume, "Folder", 37000.0);
    for (std::size_t i = 0; i < files; ++i)
        tree.AddFile(folder, "a file with a name of some length " + std::to_string(i), 1, 37000.0);
    CatalogWriter writer(path);
    writer.WriteHeader("label", 37000.0);
    writer.WriteTree(tree, volume);
    writer.Commit();
}

TEST(CatalogFileHostile, AFifoOrSocketNamedLikeACatalogIsSkippedWithoutWaiting)
{
    TempDir dir;
    WriteCatalog(dir.File("Good.arv"), 3);
    ASSERT_EQ(::mkfifo(dir.File("fifo.arv").c_str(), 0644), 0);
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string socketPath = dir.File("sock.arv");
    ASSERT_LT(socketPath.size(), sizeof address.sun_path);
    socketPath.copy(address.sun_path, socketPath.size());
    ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);

    // In a child, so that a load that waits on the FIFO fails the test
    // instead of hanging it.
    const int status = test::RunInChild([&] {
        ::alarm(20);
        CatalogTree tree;
        const LoadResult result = LoadCatalogs(tree, dir.Folder(), Locale("en_US.UTF-8"));
        if (tree.VolumeCount() != 1 || result.Failures.size() != 2) return 1;
        for (const LoadFailure& f : result.Failures)
            if (f.Message != kFileAccessDenied) return 2;
        return 0;
    });
    ::close(sock);
    EXPECT_EQ(status, 0);
}

TEST(CatalogFileHostile, AFileCutWhileItIsReadEndsWithReadBeyondEnd)
{
    TempDir dir;
    const std::string path = dir.File("Big.arv");
    WriteCatalog(path, 200000);  // some 12 MB: more than one read
    const auto size = std::filesystem::file_size(path);
    CatalogReader reader(path);
    reader.ReadHeader();
    // Another program rewrites the file in place: it is empty for a moment.
    ASSERT_EQ(::truncate(path.c_str(), static_cast<off_t>(size / 3)), 0);
    CatalogTree tree;
    const NodeId volume = tree.AddVolume("Big", 0);
    try {
        reader.ReadTree(tree, volume);
        FAIL() << "the cut went unnoticed";
    } catch (const CatalogError& e) {
        EXPECT_STREQ(e.what(), kReadBeyondEnd);
    }
    // What was read before the cut stays.
    EXPECT_GT(tree.Files(tree.Children(volume)[0]).size(), 0u);
}

TEST(CatalogFileHostile, AHugeSparseFileCostsLittleMemory)
{
    TempDir dir;
    const std::string path = dir.File("s.arv");
    test::WriteBytes(path, "");
    ASSERT_EQ(::truncate(path.c_str(), off_t{1} << 30), 0);
    const int status = test::RunInChild([&] {
        rusage before{};
        ::getrusage(RUSAGE_SELF, &before);
        CatalogTree tree;
        const LoadResult result = LoadCatalogs(tree, dir.Folder(), Locale("en_US.UTF-8"));
        rusage after{};
        ::getrusage(RUSAGE_SELF, &after);
        if (result.Failures.size() != 1 || result.Failures[0].Message != kInvalidCatalogFile) return 1;
        return after.ru_maxrss - before.ru_maxrss < 100 * 1024 ? 0 : 2;  // KiB
    });
    EXPECT_EQ(status, 0);
}

}  // namespace
}  // namespace ardvel
