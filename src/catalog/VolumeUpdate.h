#pragma once

// Updating a volume from its media: scan the folder again, list what
// changed, and replace the volume's catalog file with the new state.

#include <atomic>
#include <string>

#include "catalog/CompareTrees.h"
#include "catalog/FreshScan.h"
#include "catalog/ScanFolder.h"
#include "platform/CdRom.h"
#include "platform/Locale.h"
#include "store/CatalogTree.h"

namespace ardvel {

struct VolumeUpdateOptions {
    bool DryRun = false;  ///< list the changes, write nothing
    /// Tested after every entry of the scan and once more before the new
    /// catalog file replaces the old one; may be set from a signal handler.
    const std::atomic<bool>* StopRequested = nullptr;
    MediaReader ReadMedia = nullptr;  ///< tags of changed MP3 files; ReadMediaInfo when not set
    CdRomConfig CdRom;                ///< the label of a disc, and the mount table
    /// The settings file that remembers the folder; none when empty.
    std::string SettingsFile;
};

struct VolumeUpdateEvents {
    ScanProgress Progress;  ///< every entry of the scan
    ChangeSink Change;      ///< every change, in tree order
};

enum class UpdateOutcome {
    Updated,  ///< the catalog file holds the new state (also when nothing changed)
    DryRun,   ///< changes listed, nothing written
    Stopped,  ///< stopped; nothing written
};

struct VolumeUpdateResult {
    UpdateOutcome Outcome = UpdateOutcome::Stopped;
    CompareSummary Summary;
    ScanStats Stats;
    std::uint64_t MediaReused = 0;  ///< MP3 files whose tags were not read again
    std::string CatalogPath;
    std::string Label;     ///< the header label written
    std::string ScanRoot;  ///< the folder scanned, absolute
    bool SourceRemembered = false;
};

class VolumeUpdate {
public:
    /// `catalogFolder` ends with "/".
    VolumeUpdate(std::string catalogFolder, const Locale& locale, VolumeUpdateOptions options = {});

    /// Updates `volume` of `tree` (a volume read from its catalog file) from
    /// `folder`:
    /// 1. scans the folder into memory with the scanner of cataloguing; a
    ///    stopped scan ends here (Stopped). MP3 files whose size and date are
    ///    as recorded keep their media texts;
    /// 2. compares the volume with the scan, each change to events.Change;
    /// 3. unless a dry run or stopped by now: writes the scan, in scan order,
    ///    to a temporary file and renames it over the volume's catalog file
    ///    (same file name, so the volume keeps its name), the header holding
    ///    the media's current label (as cataloguing proposes it) and the
    ///    time the update started;
    /// 4. remembers the folder for the volume in the settings file.
    /// A catalog file that cannot be written throws CatalogError and leaves
    /// the old one as it was. `tree` is not changed.
    VolumeUpdateResult Run(const CatalogTree& tree, NodeId volume, const std::string& folder,
                           const VolumeUpdateEvents& events = {});

    /// Steps 1 and 2 alone, for a window that shows the changes before it
    /// applies them: the outcome is DryRun, or Stopped.
    VolumeUpdateResult Prepare(const CatalogTree& tree, NodeId volume, const std::string& folder,
                               const VolumeUpdateEvents& events = {});
    /// Steps 3 and 4 after Prepare: Updated, or Stopped when a stop was
    /// asked for by now.
    VolumeUpdateResult Commit(VolumeUpdateResult prepared);

    /// The scan of the last run: the volume's new state.
    const FreshScan& Scan() const noexcept { return scan_; }
    /// The date the new state carries: when the update started.
    TDateTime VolumeDate() const noexcept { return scan_.Tree().Info(scan_.Volume()).Date; }

private:
    bool Stopped() const noexcept;

    std::string catalogFolder_;
    const Locale& locale_;
    VolumeUpdateOptions options_;
    FreshScan scan_;
};

}  // namespace ardvel
