#include "platform/SaveFile.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace ardvel {

namespace {

bool Exists(const std::string& path) noexcept
{
    struct stat s {};
    return ::lstat(path.c_str(), &s) == 0;
}

}  // namespace

int RenameNoReplace(const std::string& from, const std::string& to) noexcept
{
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) return errno;
    // A link never replaces its target.
    if (::link(from.c_str(), to.c_str()) == 0) {
        ::unlink(from.c_str());
        return 0;
    }
    if (errno == EEXIST) return EEXIST;
    if (errno != EPERM && errno != ENOTSUP && errno != EOPNOTSUPP && errno != EXDEV) return errno;
    if (Exists(to)) return EEXIST;
    return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

SaveFile::~SaveFile()
{
    Discard();
}

int SaveFile::Open(const std::string& target)
{
    Discard();
    target_ = target;
    // A link is saved through: the file it names is the one replaced.
    struct stat s {};
    if (::lstat(target.c_str(), &s) == 0 && S_ISLNK(s.st_mode)) {
        if (char* real = ::realpath(target.c_str(), nullptr)) {
            target_ = real;
            std::free(real);
        }
    }
    const auto slash = target_.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : target_.substr(0, slash + 1);
    std::string path = folder + ".ardvel-save-XXXXXX";
    const int fd = ::mkostemp(path.data(), O_CLOEXEC);
    if (fd < 0) return errno;
    fd_.Reset(fd);
    tempPath_ = std::move(path);
    // mkstemp makes the file private; a saved file is an ordinary one.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    return 0;
}

int SaveFile::Write(const void* data, std::size_t size) noexcept
{
    if (!fd_.IsOpen()) return EBADF;
    return WriteAll(fd_.Get(), data, size);
}

int SaveFile::Commit(Publish how)
{
    if (!fd_.IsOpen()) return EBADF;
    int error = ::fsync(fd_.Get()) == 0 ? 0 : errno;
    const int closeError = fd_.Close();
    if (error == 0) error = closeError;
    if (error == 0) {
        if (how == Publish::Replace)
            error = ::rename(tempPath_.c_str(), target_.c_str()) == 0 ? 0 : errno;
        else
            error = RenameNoReplace(tempPath_, target_);
    }
    if (error == 0) tempPath_.clear();
    Discard();
    return error;
}

void SaveFile::Discard() noexcept
{
    fd_.Reset();
    if (!tempPath_.empty()) ::unlink(tempPath_.c_str());
    tempPath_.clear();
}

}  // namespace ardvel
