// Saving through a temporary file, and the descriptor owners.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <thread>

#include "platform/FileDescriptor.h"
#include "platform/SaveFile.h"
#include "support/ProcessProbe.h"
#include "support/TempDir.h"

namespace ardvel {
namespace {

using test::TempDir;

std::size_t EntryCount(const TempDir& dir)
{
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(dir.Path()), {}));
}

TEST(SaveFile, ReplaceMovesTheWholeFileInPlaceAndLeavesNoTemporaryFile)
{
    TempDir dir;
    const std::string target = dir.File("a.arv");
    test::WriteBytes(target, "old");
    SaveFile file;
    ASSERT_EQ(file.Open(target), 0);
    EXPECT_EQ(test::ReadBytes(target), "old");  // untouched until the commit
    EXPECT_EQ(file.Write("new", 3), 0);
    EXPECT_EQ(file.Commit(SaveFile::Publish::Replace), 0);
    EXPECT_EQ(test::ReadBytes(target), "new");
    EXPECT_EQ(EntryCount(dir), 1u);
}

TEST(SaveFile, NoReplaceNeverReplacesAFileThatAppearedMeanwhile)
{
    TempDir dir;
    const std::string target = dir.File("a.arv");
    SaveFile file;
    ASSERT_EQ(file.Open(target), 0);
    ASSERT_EQ(file.Write("mine", 4), 0);
    test::WriteBytes(target, "theirs");  // another program was quicker
    EXPECT_EQ(file.Commit(SaveFile::Publish::NoReplace), EEXIST);
    EXPECT_EQ(test::ReadBytes(target), "theirs");
    EXPECT_EQ(EntryCount(dir), 1u);

    EXPECT_EQ(RenameNoReplace(dir.File("missing"), dir.File("b.arv")), ENOENT);
    test::WriteBytes(dir.File("c"), "c");
    EXPECT_EQ(RenameNoReplace(dir.File("c"), target), EEXIST);
    EXPECT_EQ(RenameNoReplace(dir.File("c"), dir.File("d")), 0);
    EXPECT_EQ(test::ReadBytes(dir.File("d")), "c");
}

TEST(SaveFile, AnUncommittedSaveRemovesItsTemporaryFile)
{
    TempDir dir;
    const std::size_t descriptors = test::OpenDescriptorCount();
    {
        SaveFile file;
        ASSERT_EQ(file.Open(dir.File("a.arv")), 0);
        EXPECT_EQ(EntryCount(dir), 1u);
    }
    EXPECT_EQ(EntryCount(dir), 0u);
    EXPECT_EQ(test::OpenDescriptorCount(), descriptors);
    SaveFile file;
    EXPECT_EQ(file.Open(dir.File("no such folder/a.arv")), ENOENT);
}

TEST(FileDescriptor, ClosesOnceAndReportsWriteErrors)
{
    const std::size_t before = test::OpenDescriptorCount();
    {
        FileDescriptor a(::open("/dev/null", O_RDONLY | O_CLOEXEC));
        FileDescriptor b(std::move(a));
        EXPECT_FALSE(a.IsOpen());
        EXPECT_EQ(test::OpenDescriptorCount(), before + 1);
    }
    EXPECT_EQ(test::OpenDescriptorCount(), before);

    FileDescriptor full(::open("/dev/full", O_WRONLY | O_CLOEXEC));
    ASSERT_TRUE(full.IsOpen());
    EXPECT_EQ(WriteAll(full.Get(), "x", 1), ENOSPC);
    EXPECT_EQ(full.Close(), 0);
    EXPECT_EQ(full.Close(), 0);  // already closed: nothing to do
}

TEST(FileDescriptor, WriteAllAndReadAtGoOnAfterShortTransfers)
{
    // More than a pipe holds at once: the writes come back short.
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    FileDescriptor reader(ends[0]), writer(ends[1]);
    const std::string data(1 << 20, 'z');
    std::size_t total = 0;
    std::thread drain([&] {
        std::string got(data.size() + 1, '\0');
        for (ssize_t n; (n = ::read(reader.Get(), got.data() + total, got.size() - total)) > 0;)
            total += static_cast<std::size_t>(n);
    });
    EXPECT_EQ(WriteAll(writer.Get(), data.data(), data.size()), 0);
    writer.Reset();
    drain.join();
    EXPECT_EQ(total, data.size());

    TempDir dir;
    test::WriteBytes(dir.File("f"), "0123456789");
    FileDescriptor f(::open(dir.File("f").c_str(), O_RDONLY | O_CLOEXEC));
    char buffer[16] = {};
    EXPECT_EQ(ReadAt(f.Get(), buffer, sizeof buffer, 4), 6);
    EXPECT_EQ(std::string(buffer, 6), "456789");
}

}  // namespace
}  // namespace ardvel
