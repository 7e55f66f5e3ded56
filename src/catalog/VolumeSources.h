#pragma once

// Where each volume was catalogued or last updated from, kept in the
// settings file so that an update can propose the same folder again.
//
// An entry belongs to one catalog file: its path, its device and inode, and
// its volume date. The inode follows the file through a rename (the entry is
// found again under the new name); a file deleted and made anew under the
// same name has another volume date, so the old entry never answers for it,
// and an entry whose file is gone is dropped at the next change.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/Settings.h"
#include "store/DateTime.h"

namespace ardvel {

/// The section of the settings file: pairs of keys CatalogN, FolderN and
/// FileN for N = 1, 2, ...
inline constexpr const char* kSourcesSection = "Sources";

struct VolumeSource {
    std::string CatalogPath;  ///< the catalog file when it was remembered
    std::string Folder;       ///< the folder scanned
    std::uint64_t Device = 0, Inode = 0;
    std::uint32_t VolumeDate = 0;  ///< the volume's date, as a DOS date-time
};

class VolumeSources {
public:
    static VolumeSources Read(const IniFile& ini);
    /// Replaces the section with these entries.
    void Write(IniFile& ini) const;

    /// The folder remembered for the catalog file at `catalogPath` (whose
    /// volume has the date `volumeDate`), also when the file was renamed
    /// since.
    std::optional<std::string> FolderOf(const std::string& catalogPath, TDateTime volumeDate) const;

    /// Remembers `folder` for the catalog file at `catalogPath` as it is
    /// now, in place of what was remembered for it; drops the entries whose
    /// catalog file is gone and moves those whose file was renamed.
    void Remember(const std::string& catalogPath, TDateTime volumeDate, const std::string& folder);

    const std::vector<VolumeSource>& Entries() const noexcept { return entries_; }

private:
    void Tidy();
    std::vector<VolumeSource> entries_;
};

/// Remember on the settings file itself: read, change, write. False when the
/// file cannot be written.
bool RememberVolumeSource(const std::string& settingsFile, const std::string& catalogPath, TDateTime volumeDate,
                          const std::string& folder);
std::optional<std::string> RememberedVolumeSource(const std::string& settingsFile, const std::string& catalogPath,
                                                  TDateTime volumeDate);

}  // namespace ardvel
