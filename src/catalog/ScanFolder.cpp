#include "catalog/ScanFolder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/FileDescriptor.h"
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
    NodeId Node = kNoNode;
    std::size_t PathSize = 0;  ///< of path_ while this folder is listed
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

FolderScanner::FolderScanner(CatalogTree& tree, Options options) : tree_(tree), options_(std::move(options))
{
    if (!options_.ReadMedia) options_.ReadMedia = &ReadMediaInfo;
}

FolderScanner::~FolderScanner() = default;

bool FolderScanner::ScanFolder(const std::string& path, NodeId node)
{
    path_ = path;
    while (path_.size() > 1 && path_.back() == '/') path_.pop_back();
    // Whatever way the scan ends, no folder stays open.
    struct Closer {
        FolderStack& Folders;
        ~Closer() { Folders.Clear(); }
    } closer{folders_};
    if (const int error = folders_.Start(path_, FolderStack::OpenLimit()); error != 0) {
        NoteUnreadableFolder(path_, error);
        return true;  // stays empty
    }
    EnterLevel(node);
    while (folders_.Depth() > 0) {
        const FolderStack::Entry* entry = folders_.Next();
        if (!entry) {
            LeaveLevel();
        } else if (!ScanEntry(*entry)) {
            // Every level keeps what it found so far.
            while (folders_.Depth() > 0) LeaveLevel();
            return false;
        }
    }
    return true;
}

void FolderScanner::EnterLevel(NodeId node)
{
    const std::size_t depth = folders_.Depth() - 1;
    if (levels_.size() <= depth) levels_.push_back(std::make_unique<Level>());
    Level& level = *levels_[depth];
    level.Node = node;
    level.PathSize = path_.size();
    level.Files.clear();
    level.Text.clear();
}

void FolderScanner::LeaveLevel()
{
    const std::size_t depth = folders_.Depth() - 1;
    FlushFiles(levels_[depth]->Node, *levels_[depth]);
    folders_.Pop();
    if (depth > 0) path_.resize(levels_[depth - 1]->PathSize);
}

void FolderScanner::NoteUnreadableFolder(const std::string& path, int error)
{
    ++stats_.UnreadableFolders;
    if (stats_.UnreadableFolderMessages.size() < kUnreadableFoldersListed)
        stats_.UnreadableFolderMessages.push_back("Cannot open folder " + path + ": " + std::strerror(error));
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

bool FolderScanner::ScanEntry(const FolderStack::Entry& entry)
{
    // A copy: entering a folder may move the listing.
    entryName_.assign(folders_.Name(entry));
    const std::string_view name(entryName_);
    ++stats_.Entries;
    if (options_.Progress) options_.Progress(path_, name);
    if (options_.StopRequested && options_.StopRequested->load(std::memory_order_relaxed)) return false;

    const int dirFd = folders_.TopFd();
    if (dirFd < 0) {
        // The folder went away since it was listed: the rest of it is lost.
        NoteUnreadableFolder(path_, errno);
        while (folders_.Next()) {
        }
        return true;
    }
    EntryInfo info;
    if (!StatEntry(dirFd, entryName_.c_str(), entry.Type, folders_.TopDevice(), info)) return true;  // gone
    if (S_ISDIR(info.Stat.st_mode)) {
        EnterFolder(name, info);
        return true;
    }
    StageFile(*levels_[folders_.Depth() - 1], name, info);
    return true;
}

bool FolderScanner::StatEntry(int dirFd, const char* name, unsigned char type, std::uint64_t device, EntryInfo& info)
{
    struct stat& st = info.Stat;
    if (::fstatat(dirFd, name, &st, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT) != 0) {
        if (errno == ENOENT) return false;
        // Listed but without attributes (a folder that can be read but not
        // searched): keep what the listing tells.
        st = {};
        st.st_mode = type == DT_DIR ? S_IFDIR : S_IFREG;
        st.st_dev = device;
    }
    info.Regular = S_ISREG(st.st_mode);
    if (S_ISLNK(st.st_mode)) {
        // A link is a file, with the size and time of a regular target.
        struct stat target {};
        if (::fstatat(dirFd, name, &target, AT_NO_AUTOMOUNT) == 0 && S_ISREG(target.st_mode)) {
            st = target;
            info.Regular = true;
        }
    }
    info.Date = FileDate(st);
    return true;
}

void FolderScanner::EnterFolder(std::string_view name, const EntryInfo& info)
{
    ++stats_.Folders;
    const NodeId child = tree_.AddFolder(levels_[folders_.Depth() - 1]->Node, name, info.Date);
    if (info.Stat.st_dev != folders_.TopDevice() && IsPseudoMount(info.Stat.st_dev)) return;
    const std::size_t pathSize = path_.size();
    AppendName(path_, name);
    if (const int error = folders_.Push(name); error != 0) {
        NoteUnreadableFolder(path_, error);  // stays empty
        path_.resize(pathSize);
        return;
    }
    EnterLevel(child);
}

void FolderScanner::StageFile(Level& level, std::string_view name, const EntryInfo& info)
{
    ++stats_.Files;
    const auto bytes = static_cast<std::uint64_t>(info.Stat.st_size < 0 ? 0 : info.Stat.st_size);
    stats_.TotalBytes += bytes;
    StagedFile staged{};
    staged.NameBegin = level.Keep(name);
    staged.NameSize = static_cast<std::uint32_t>(name.size());
    staged.SizeKB = SizeKBFromBytes(bytes);
    staged.Date = info.Date;
    staged.HasMedia = HasMp3Extension(TrimTrailingControls(name));
    if (staged.HasMedia) {
        ++stats_.Mp3Files;
        const TMediaInfo media = MediaOf(name, info.Regular);
        staged.ArtistBegin = level.Keep(media.ArtistText);
        staged.ArtistSize = static_cast<std::uint32_t>(media.ArtistText.size());
        staged.TitleBegin = level.Keep(media.TitleText);
        staged.TitleSize = static_cast<std::uint32_t>(media.TitleText.size());
    }
    level.Files.push_back(staged);
}

TMediaInfo FolderScanner::MediaOf(std::string_view name, bool regular)
{
    // Only regular files are opened: a FIFO or a device would block the
    // scan or read from hardware.
    if (regular) {
        filePath_.assign(path_);
        AppendName(filePath_, name);
        // The file is opened in the folder being listed, not by its path.
        const TagFolder folder(folders_.TopFd(), path_);
        try {
            TMediaInfo media = options_.ReadMedia(filePath_);
            if (!media.TitleText.empty()) return media;
        } catch (const CatalogError& e) {
            ++stats_.UnreadableMedia;
            if (stats_.UnreadableMediaMessages.size() < kUnreadableMediaListed)
                stats_.UnreadableMediaMessages.emplace_back(e.what());
        }
    }
    // Untagged: the text comes from the name the catalog file gives back.
    return TMediaInfo{UntaggedMediaText(TrimTrailingControls(name)), {}};
}

}  // namespace ardvel
