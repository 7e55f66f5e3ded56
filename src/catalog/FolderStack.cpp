#include "catalog/FolderStack.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace ardvel {

namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

}  // namespace

std::size_t FolderStack::OpenLimit() noexcept
{
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return 256;
    return std::clamp<std::size_t>(static_cast<std::size_t>(limit.rlim_cur) / 4, 4, 256);
}

int FolderStack::Start(const std::string& path, std::size_t openLimit)
{
    Clear();
    openLimit_ = std::max<std::size_t>(openLimit, 1);
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fd.IsOpen()) return errno;
    return Enter(std::move(fd), path);
}

int FolderStack::Push(std::string_view name)
{
    const int parent = TopFd();
    if (parent < 0) return errno;
    FileDescriptor fd(::openat(parent, std::string(name).c_str(), kFolderFlags));
    if (!fd.IsOpen()) return errno;
    return Enter(std::move(fd), name);
}

int FolderStack::Enter(FileDescriptor fd, std::string_view name)
{
    struct stat info {};
    if (::fstat(fd.Get(), &info) != 0) return errno;
    if (frames_.size() <= depth_) frames_.emplace_back();
    Frame& frame = frames_[depth_];
    frame.Name.assign(name);
    frame.Device = info.st_dev;
    frame.Inode = info.st_ino;
    frame.Entries.clear();
    frame.Names.clear();
    frame.Next = 0;
    if (const int error = List(fd.Get(), frame); error != 0) return error;
    frame.Fd = std::move(fd);
    if (openCount_ == 0) lowestOpen_ = depth_;
    ++depth_;
    ++openCount_;
    KeepWithinLimit();
    return 0;
}

int FolderStack::List(int fd, Frame& frame)
{
    // The entries straight from the system, on the folder's own descriptor:
    // a directory stream would cost a second descriptor and four more
    // system calls for every folder.
    listing_.resize(32768);
    for (;;) {
        const ssize_t got = ::getdents64(fd, listing_.data(), listing_.size());
        if (got < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (got == 0) return 0;
        for (ssize_t at = 0; at < got;) {
            const auto* entry = reinterpret_cast<const dirent64*>(listing_.data() + at);
            at += entry->d_reclen;
            const std::string_view name(entry->d_name);
            if (name == "." || name == "..") continue;
            frame.Entries.push_back({static_cast<std::uint32_t>(frame.Names.size()),
                                     static_cast<std::uint32_t>(name.size()), entry->d_type});
            frame.Names += name;
            frame.Names += '\0';  // so that a name can be passed to the system as it stands
        }
    }
}

void FolderStack::KeepWithinLimit() noexcept
{
    while (openCount_ > openLimit_) {
        frames_[lowestOpen_++].Fd.Reset();
        --openCount_;
    }
}

void FolderStack::Pop() noexcept
{
    Frame& top = frames_[--depth_];
    if (top.Fd.IsOpen()) {
        top.Fd.Reset();
        --openCount_;
    }
    top.Entries.clear();
}

void FolderStack::Clear() noexcept
{
    while (depth_ > 0) Pop();
    openCount_ = 0;
    lowestOpen_ = 0;
}

const FolderStack::Entry* FolderStack::Next() noexcept
{
    Frame& top = frames_[depth_ - 1];
    return top.Next < top.Entries.size() ? &top.Entries[top.Next++] : nullptr;
}

std::string_view FolderStack::Name(const Entry& entry) const noexcept
{
    return std::string_view(frames_[depth_ - 1].Names).substr(entry.NameBegin, entry.NameSize);
}

int FolderStack::TopFd()
{
    Frame& top = frames_[depth_ - 1];
    if (top.Fd.IsOpen()) return top.Fd.Get();
    const int fd = Reopen();
    if (fd < 0) {
        // Keep the open folders the deepest ones: none.
        const int error = errno;
        for (std::size_t i = 0; i < depth_; ++i) frames_[i].Fd.Reset();
        openCount_ = 0;
        errno = error;
    }
    return fd;
}

int FolderStack::Reopen()
{
    // No folder holds a descriptor now (those open are always the deepest).
    // Down from the root by name, keeping the last few open; a folder that
    // is no longer the one listed counts as gone.
    const std::size_t top = depth_ - 1;
    const std::size_t keepFrom = top + 1 > openLimit_ ? top + 1 - openLimit_ : 0;
    FileDescriptor passing;  // a folder on the way, not kept
    int parent = -1;
    for (std::size_t i = 0; i <= top; ++i) {
        Frame& frame = frames_[i];
        FileDescriptor fd(i == 0 ? ::open(frame.Name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)
                                 : ::openat(parent, frame.Name.c_str(), kFolderFlags));
        struct stat info {};
        if (!fd.IsOpen() || ::fstat(fd.Get(), &info) != 0) return -1;
        if (info.st_dev != frame.Device || info.st_ino != frame.Inode) {
            errno = ENOENT;
            return -1;
        }
        if (i >= keepFrom) {
            frame.Fd = std::move(fd);
            if (openCount_++ == 0) lowestOpen_ = i;
            parent = frame.Fd.Get();
            passing.Reset();
        } else {
            passing = std::move(fd);
            parent = passing.Get();
        }
    }
    return frames_[top].Fd.Get();
}

}  // namespace ardvel
