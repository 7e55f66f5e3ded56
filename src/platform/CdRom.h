#pragma once

// CD-ROM services: which mounted folders are the roots of optical discs,
// the label of a disc, and opening the drive door. Everything is read from
// the mount table and from the device itself, so that tests can hand in a
// mount table of their own whose "device" is an image file.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ardvel {

/// The mount table of the calling process.
inline constexpr const char* kDefaultMountTable = "/proc/self/mountinfo";

/// One line of a mountinfo table, escapes (\040 and the like) decoded.
struct MountEntry {
    unsigned Major = 0;
    unsigned Minor = 0;
    std::string MountPoint;
    std::string FsType;
    std::string Source;  ///< the device or "none"
};

/// The entries of a table in the mountinfo format, in table order (a later
/// entry on the same mount point hides an earlier one). A missing or
/// unreadable table gives none; lines that do not parse are skipped.
std::vector<MountEntry> ReadMountTable(const std::string& path = kDefaultMountTable);
/// The same from the table's text.
std::vector<MountEntry> ParseMountTable(std::string_view text);

/// True for the file system types that hold no files of their own (proc,
/// sysfs, devtmpfs, cgroup and the like); a scan does not enter them.
bool IsPseudoFileSystem(std::string_view fsType) noexcept;

/// Where the CD-ROM services look and what they run. The defaults serve the
/// real system; tests replace them.
struct CdRomConfig {
    std::string MountTable = kDefaultMountTable;
    /// The program and its leading arguments; the device is appended.
    std::vector<std::string> EjectCommand = {"eject"};
};

/// An optical disc mounted at a folder.
struct CdRomMount {
    std::string Device;
    std::string MountPoint;
    std::string FsType;
};

/// The disc whose mount point `folder` is (symbolic links resolved), or
/// nothing when `folder` is no mount point, or the topmost mount on it is
/// not an optical drive (`/dev/sr*`) nor a file system of type iso9660 or
/// udf. A folder inside a disc is not its root.
std::optional<CdRomMount> FindCdRomRoot(const std::string& folder, const std::string& mountTable = kDefaultMountTable);

/// The volume label of a disc: the volume identifier of its ISO 9660
/// primary volume descriptor or, for a UDF disc (and a disc without an ISO
/// 9660 descriptor), the UDF logical volume identifier; blanks at both ends
/// removed, at most 63 characters, as UTF-8. Empty when the device cannot be
/// read (no disc, no permission) or holds neither. `preferUdf` tries UDF
/// first (the disc is mounted as udf).
std::string ReadVolumeLabel(const std::string& device, bool preferUdf = false);

/// Opens the door of the drive `device` by running the eject command on it
/// (which unmounts the disc first) and waits for it to finish. Whether that
/// worked is not reported: a drive without a motorised tray, or a missing
/// command, simply leaves the door shut.
void OpenDoor(const std::string& device, const std::vector<std::string>& ejectCommand = {"eject"});

}  // namespace ardvel
