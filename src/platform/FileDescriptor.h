#pragma once

// Owners of the system's file and directory handles: whatever way a scope is
// left (a return, an exception from a callback), what it opened is closed.

#include <dirent.h>

#include <cstddef>
#include <utility>

namespace ardvel {

/// An open file or directory descriptor, closed by the destructor.
class FileDescriptor {
public:
    FileDescriptor() noexcept = default;
    explicit FileDescriptor(int fd) noexcept : fd_(fd) {}
    ~FileDescriptor() { Reset(); }
    FileDescriptor(FileDescriptor&& other) noexcept : fd_(other.Release()) {}
    FileDescriptor& operator=(FileDescriptor&& other) noexcept
    {
        if (this != &other) Reset(other.Release());
        return *this;
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int Get() const noexcept { return fd_; }
    bool IsOpen() const noexcept { return fd_ >= 0; }
    /// Gives up ownership without closing.
    int Release() noexcept { return std::exchange(fd_, -1); }
    /// Closes the descriptor held (ignoring errors) and takes `fd`.
    void Reset(int fd = -1) noexcept;
    /// Closes now: 0, or the errno of close (a file written through NFS can
    /// report its write errors only here).
    int Close() noexcept;

private:
    int fd_ = -1;
};

/// Writes all `size` bytes, going on after interruptions and short writes.
/// Returns 0, or the errno of the failure (ENOSPC when a write made no
/// progress).
int WriteAll(int fd, const void* data, std::size_t size) noexcept;

/// Reads up to `size` bytes from `offset` on, going on after interruptions
/// and short reads; stops early only at the end of the file. Returns the
/// bytes read, or -1 with errno set.
long long ReadAt(int fd, void* data, std::size_t size, long long offset) noexcept;

/// The entries of an open directory, read one at a time; the directory is
/// closed by the destructor.
class DirectoryStream {
public:
    /// Takes over `fd` (a directory). IsOpen is false when the listing
    /// cannot be started; `fd` is closed then too.
    explicit DirectoryStream(FileDescriptor fd) noexcept;
    ~DirectoryStream();
    DirectoryStream(const DirectoryStream&) = delete;
    DirectoryStream& operator=(const DirectoryStream&) = delete;

    bool IsOpen() const noexcept { return dir_ != nullptr; }
    /// The descriptor of the directory, for the *at calls on its entries.
    int Fd() const noexcept;
    /// The next entry other than "." and "..", or null at the end (errno is
    /// then 0, or the error that ended the listing early).
    const dirent* Next() noexcept;

private:
    DIR* dir_ = nullptr;
};

}  // namespace ardvel
