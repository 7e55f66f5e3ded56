#include "platform/SaveFile.h"

#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string_view>

namespace ardvel {

namespace {

bool Exists(const std::string& path) noexcept
{
    struct stat s {};
    return ::lstat(path.c_str(), &s) == 0;
}

constexpr std::string_view kSavePrefix = ".ardvel-save-";

std::string HostName()
{
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0) return "host";
    std::string host(name);
    for (char& c : host)
        if (c == '/' || c == '-') c = '_';
    return host;
}

/// The process that owns the temporary file `name`, when it was made on
/// this host by this way of naming; 0 otherwise.
pid_t OwnerOf(std::string_view name, const std::string& host)
{
    if (name.substr(0, kSavePrefix.size()) != kSavePrefix) return 0;
    name.remove_prefix(kSavePrefix.size());
    pid_t pid = 0;
    std::size_t i = 0;
    for (; i < name.size() && name[i] >= '0' && name[i] <= '9' && pid < 100000000; ++i)
        pid = pid * 10 + (name[i] - '0');
    if (i == 0 || i >= name.size() || name[i] != '-') return 0;
    name.remove_prefix(i + 1);
    if (name.size() != host.size() + 7 || name.substr(0, host.size()) != host || name[host.size()] != '-') return 0;
    return pid;
}

}  // namespace

std::string SaveFilePrefix()
{
    static const std::string host = HostName();
    return std::string(kSavePrefix) + std::to_string(::getpid()) + "-" + host + "-";
}

std::size_t RemoveDeadSaveFiles(const std::string& folder)
{
    static const std::string host = HostName();
    std::size_t removed = 0;
    DirectoryStream dir(
        FileDescriptor(::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)));
    if (!dir.IsOpen()) return 0;
    while (const dirent* entry = dir.Next()) {
        const pid_t owner = OwnerOf(entry->d_name, host);
        if (owner <= 0 || owner == ::getpid()) continue;
        if (::kill(owner, 0) == 0 || errno != ESRCH) continue;  // alive, or not ours to know
        if (::unlinkat(dir.Fd(), entry->d_name, 0) == 0) ++removed;
    }
    return removed;
}

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
    std::string path = folder + SaveFilePrefix() + "XXXXXX";
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
