#include "platform/FileDescriptor.h"

#include <unistd.h>

#include <cerrno>

namespace ardvel {

void FileDescriptor::Reset(int fd) noexcept
{
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
}

int FileDescriptor::Close() noexcept
{
    if (fd_ < 0) return 0;
    // The descriptor is gone even when close fails; never close it twice.
    const int result = ::close(std::exchange(fd_, -1));
    return result == 0 || errno == EINTR ? 0 : errno;
}

int WriteAll(int fd, const void* data, std::size_t size) noexcept
{
    const auto* bytes = static_cast<const char*>(data);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd, bytes + done, size - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (n == 0) return ENOSPC;
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

long long ReadAt(int fd, void* data, std::size_t size, long long offset) noexcept
{
    auto* bytes = static_cast<char*>(data);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n =
            ::pread(fd, bytes + done, size - done, static_cast<off_t>(offset + static_cast<long long>(done)));
        if (n < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        if (n == 0) break;
        done += static_cast<std::size_t>(n);
    }
    return static_cast<long long>(done);
}

DirectoryStream::DirectoryStream(FileDescriptor fd) noexcept
{
    dir_ = ::fdopendir(fd.Get());
    if (dir_) fd.Release();  // the stream owns it now
}

DirectoryStream::~DirectoryStream()
{
    if (dir_) ::closedir(dir_);
}

int DirectoryStream::Fd() const noexcept
{
    return dir_ ? ::dirfd(dir_) : -1;
}

const dirent* DirectoryStream::Next() noexcept
{
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(dir_);
        if (!entry) return nullptr;
        const char* name = entry->d_name;
        if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'))) continue;
        return entry;
    }
}

}  // namespace ardvel
