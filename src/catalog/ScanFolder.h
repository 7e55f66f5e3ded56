#pragma once

// The scan that turns a folder of the file system into the folder nodes and
// file records of a volume.

#include <sys/stat.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "catalog/FolderStack.h"
#include "platform/CdRom.h"
#include "store/CatalogTree.h"
#include "store/Records.h"

namespace ardvel {

/// Called for every entry before it is looked at: the path of the folder
/// being listed and the entry's name. Runs once per entry, so it must be
/// cheap (a window updates its labels a few dozen times a second at most).
using ScanProgress = std::function<void(std::string_view folder, std::string_view name)>;

/// Reads the media information of the MP3 file at a path; throws
/// CatalogError when the file cannot be opened.
using MediaReader = TMediaInfo (*)(const std::string& path);

/// How many MP3 files whose tags could not be read are named in the report.
inline constexpr std::size_t kUnreadableMediaListed = 5;
/// How many folders that could not be read are named in the report.
inline constexpr std::size_t kUnreadableFoldersListed = 5;

/// What a scan found.
struct ScanStats {
    std::uint64_t Entries = 0;  ///< entries looked at
    std::uint64_t Folders = 0;
    std::uint64_t Files = 0;
    std::uint64_t Mp3Files = 0;
    std::uint64_t TotalBytes = 0;  ///< sum of the files' sizes in bytes
    /// MP3 files whose tags could not be read; they are catalogued with
    /// the media text of an untagged file.
    std::uint64_t UnreadableMedia = 0;
    /// The messages ("Cannot open file PATH") of the first few of them.
    std::vector<std::string> UnreadableMediaMessages;
    /// Folders that could not be opened or listed; they are catalogued
    /// empty.
    std::uint64_t UnreadableFolders = 0;
    /// The messages ("Cannot open folder PATH: REASON") of the first few.
    std::vector<std::string> UnreadableFolderMessages;
};

/// Scans folders into a catalog tree, depth first.
///
/// Entries come in the order the file system lists them; "." and ".." are
/// skipped, hidden entries are not. For each entry the progress callback
/// runs, then the stop flag is tested: once it is set, the listing ends and
/// every enclosing level returns at once (what was added so far stays).
/// A folder becomes a child node and is scanned before the next entry; a
/// folder that cannot be opened or listed stays empty and is counted in the
/// stats. Everything else becomes a file record of the folder's node, in
/// listing order. The walk keeps its folders on a stack of its own and only
/// a few of them open (FolderStack): depth is bounded by memory alone.
///
/// Symbolic links are never followed into folders: a link is a file, with
/// the size and time of its target when that is a regular file, else those
/// of the link. Mount points of pseudo file systems (proc, sysfs, ...) are
/// recorded as empty folders. Times are local last-write times in whole even
/// seconds, clamped to the range of catalog file dates.
///
/// A file whose name ends in ".mp3" (any letter case, trailing codes <= 32
/// ignored) gets media information: the tags of a regular file (through a
/// link too), the untagged media text for anything else or when the tags
/// cannot be read (counted in the stats).
class FolderScanner {
public:
    struct Options {
        ScanProgress Progress;
        /// Tested after the progress callback of every entry; may be set
        /// from the callback or from a signal handler.
        const std::atomic<bool>* StopRequested = nullptr;
        MediaReader ReadMedia = nullptr;  ///< ReadMediaInfo when not set
        /// Where the file system types of mount points are looked up.
        std::string MountTable = kDefaultMountTable;
    };

    FolderScanner(CatalogTree& tree, Options options);
    ~FolderScanner();
    FolderScanner(const FolderScanner&) = delete;
    FolderScanner& operator=(const FolderScanner&) = delete;

    /// Scans the folder `path` into `node` (a volume or folder node).
    /// Trailing "/" of `path` are ignored (the root stays "/"). Returns
    /// false when the scan was stopped.
    bool ScanFolder(const std::string& path, NodeId node);

    const ScanStats& Stats() const noexcept { return stats_; }

private:
    struct StagedFile;
    struct Level;
    /// What the scan needs to know of an entry.
    struct EntryInfo {
        struct stat Stat {};
        bool Regular = false;  ///< a regular file, or a link to one
        TDateTime Date = 0;
    };

    /// An entry of the folder on top: false when the scan was stopped.
    bool ScanEntry(const FolderStack::Entry& entry);
    /// The folder just pushed on folders_ becomes the level listed.
    void EnterLevel(NodeId node);
    /// Adds the files of the level listed and goes back to its parent.
    void LeaveLevel();
    void EnterFolder(std::string_view name, const EntryInfo& info);
    void NoteUnreadableFolder(const std::string& path, int error);
    /// False when the entry is gone since it was listed.
    static bool StatEntry(int dirFd, const char* name, unsigned char type, std::uint64_t device, EntryInfo& info);
    void StageFile(Level& level, std::string_view name, const EntryInfo& info);
    TMediaInfo MediaOf(std::string_view name, bool regular);
    bool IsPseudoMount(std::uint64_t device);
    void FlushFiles(NodeId node, Level& level);

    CatalogTree& tree_;
    Options options_;
    ScanStats stats_;
    std::string path_;  ///< the folder being listed
    std::string filePath_;
    std::string entryName_;
    FolderStack folders_;
    /// Node and files of the folder being listed at each depth, added to its node
    /// when its listing ends so that they form one range of the store.
    std::vector<std::unique_ptr<Level>> levels_;
    bool mountsRead_ = false;
    std::vector<std::uint64_t> pseudoDevices_;
};

}  // namespace ardvel
