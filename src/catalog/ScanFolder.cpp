#include "catalog/ScanFolder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "store/CatalogError.h"
#include "store/DateTime.h"
#include "store/MediaInfo.h"

namespace ardvel {

struct FolderScanner::StagedFile {
    std::uint32_t NameBegin, NameSize;
    std::uint32_t ArtistBegin, ArtistSize;
    std::uint32_t TitleBegin, TitleSize;
    std::int32_t SizeKB;
    bool HasMedia;
    TDateTime Date;
};

struct FolderScanner::Level {
    std::vector<StagedFile> Files;
    std::string Text;  ///< the staged names and media texts, back to back

    std::uint32_t Keep(std::string_view text)
    {
        const auto begin = static_cast<std::uint32_t>(Text.size());
        Text += text;
        return begin;
    }
    std::string_view View(std::uint32_t begin, std::uint32_t size) const
    {
        return std::string_view(Text).substr(begin, size);
    }
};

namespace {

/// The last-write time as the catalog keeps it: local time, whole even
/// seconds, within the dates a catalog file can hold.
TDateTime FileDate(const struct stat& info) noexcept
{
    return DosToDateTime(DateTimeToDos(UnixToLocalDateTime(info.st_mtim.tv_sec, 0)));
}

void AppendName(std::string& path, std::string_view name)
{
    if (path.empty() || path.back() != '/') path += '/';
    path += name;
}

}  // namespace

std::int32_t SizeKBOf(std::uint64_t bytes) noexcept
{
    const std::uint64_t kb = bytes / 1024 + (bytes % 1024 != 0);
    return kb > 2147483647u ? 2147483647 : static_cast<std::int32_t>(kb);
}

std::string UntaggedMediaText(std::string_view name)
{
    const std::string_view stored = TrimTrailingControls(name);
    return stored.size() > 4 ? std::string(stored.substr(0, stored.size() - 4)) : std::string();
}

FolderScanner::FolderScanner(CatalogTree& tree, Options options) : tree_(tree), options_(std::move(options))
{
    if (!options_.ReadMedia) options_.ReadMedia = &ReadMediaInfo;
}

FolderScanner::~FolderScanner() = default;

bool FolderScanner::ScanFolder(const std::string& path, NodeId node)
{
    path_ = path;
    while (path_.size() > 1 && path_.back() == '/') path_.pop_back();
    const int fd = ::open(path_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return true;  // cannot be listed: stays empty
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        ::close(fd);
        return true;
    }
    return ScanLevel(fd, node, info.st_dev, 0);
}

bool FolderScanner::IsPseudoMount(std::uint64_t device)
{
    if (!mountsRead_) {
        mountsRead_ = true;
        for (const MountEntry& m : ReadMountTable(options_.MountTable))
            if (IsPseudoFileSystem(m.FsType)) pseudoDevices_.push_back(makedev(m.Major, m.Minor));
    }
    return std::find(pseudoDevices_.begin(), pseudoDevices_.end(), device) != pseudoDevices_.end();
}

void FolderScanner::FlushFiles(NodeId node, Level& level)
{
    for (const StagedFile& f : level.Files)
        tree_.AddFile(node, level.View(f.NameBegin, f.NameSize), f.SizeKB, f.Date, f.HasMedia,
                      level.View(f.ArtistBegin, f.ArtistSize), level.View(f.TitleBegin, f.TitleSize));
    level.Files.clear();
    level.Text.clear();
}

bool FolderScanner::ScanLevel(int dirFd, NodeId node, std::uint64_t device, std::size_t depth)
{
    DIR* dir = ::fdopendir(dirFd);
    if (!dir) {
        ::close(dirFd);
        return true;
    }
    if (levels_.size() <= depth) levels_.push_back(std::make_unique<Level>());
    Level& level = *levels_[depth];
    const std::size_t pathSize = path_.size();
    bool goOn = true;

    while (const dirent* entry = ::readdir(dir)) {
        const char* name = entry->d_name;
        if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'))) continue;
        const std::string_view nameView(name);

        ++stats_.Entries;
        if (options_.Progress) options_.Progress(path_, nameView);
        if (options_.StopRequested && options_.StopRequested->load(std::memory_order_relaxed)) {
            goOn = false;
            break;
        }

        struct stat info {};
        if (::fstatat(dirFd, name, &info, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT) != 0) {
            if (errno == ENOENT) continue;  // gone since it was listed
            // Listed but without attributes (a folder that can be read but
            // not searched): keep what the listing tells.
            info = {};
            info.st_mode = entry->d_type == DT_DIR ? S_IFDIR : S_IFREG;
            info.st_dev = device;
        }
        bool regular = S_ISREG(info.st_mode);
        if (S_ISLNK(info.st_mode)) {
            struct stat target {};
            if (::fstatat(dirFd, name, &target, AT_NO_AUTOMOUNT) == 0 && S_ISREG(target.st_mode)) {
                info = target;
                regular = true;
            }
        }
        const TDateTime date = FileDate(info);

        if (S_ISDIR(info.st_mode)) {
            ++stats_.Folders;
            const NodeId child = tree_.AddFolder(node, nameView, date);
            if (info.st_dev != device && IsPseudoMount(info.st_dev)) continue;
            const int childFd = ::openat(dirFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (childFd < 0) continue;  // cannot be listed: stays empty
            AppendName(path_, nameView);
            goOn = ScanLevel(childFd, child, info.st_dev, depth + 1);
            path_.resize(pathSize);
            if (!goOn) break;
            continue;
        }

        ++stats_.Files;
        const auto bytes = static_cast<std::uint64_t>(info.st_size < 0 ? 0 : info.st_size);
        stats_.TotalBytes += bytes;
        StagedFile staged{};
        staged.NameBegin = level.Keep(nameView);
        staged.NameSize = static_cast<std::uint32_t>(nameView.size());
        staged.SizeKB = SizeKBOf(bytes);
        staged.Date = date;
        staged.HasMedia = HasMp3Extension(TrimTrailingControls(nameView));
        if (staged.HasMedia) {
            ++stats_.Mp3Files;
            TMediaInfo media;
            bool tagged = false;
            // Only regular files are opened: a FIFO or a device would block
            // the scan or read from hardware.
            if (regular) {
                filePath_.assign(path_);
                AppendName(filePath_, nameView);
                try {
                    media = options_.ReadMedia(filePath_);
                    tagged = !media.TitleText.empty();
                } catch (const CatalogError& e) {
                    ++stats_.UnreadableMedia;
                    if (stats_.UnreadableMediaMessages.size() < kUnreadableMediaListed)
                        stats_.UnreadableMediaMessages.emplace_back(e.what());
                }
            }
            // Untagged text from the name the catalog file gives back.
            if (!tagged) media = TMediaInfo{UntaggedMediaText(nameView), {}};
            staged.ArtistBegin = level.Keep(media.ArtistText);
            staged.ArtistSize = static_cast<std::uint32_t>(media.ArtistText.size());
            staged.TitleBegin = level.Keep(media.TitleText);
            staged.TitleSize = static_cast<std::uint32_t>(media.TitleText.size());
        }
        level.Files.push_back(staged);
    }

    FlushFiles(node, level);
    ::closedir(dir);
    return goOn;
}

}  // namespace ardvel
