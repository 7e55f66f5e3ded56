#pragma once

// Cataloguing a volume: the name checks, the scan into a new volume node,
// saving its catalog file, sorting the tree and opening a CD-ROM's door.
// The window's dialog and the command line both drive it; it asks its
// questions through a UserPrompt and reports its steps through events.

#include <atomic>
#include <functional>
#include <string>
#include <string_view>

#include "catalog/CatalogSource.h"
#include "catalog/ScanFolder.h"
#include "catalog/UserPrompt.h"
#include "platform/CdRom.h"
#include "platform/Locale.h"
#include "store/CatalogTree.h"
#include "store/VolumeName.h"

namespace ardvel {

/// Texts of the dialog's status line, one per stage of a run.
inline constexpr const char* kStatusSelecting = " Selecting...";
inline constexpr const char* kStatusScanning = " Scaning...";
inline constexpr const char* kStatusSaving = " Saving...";
inline constexpr const char* kStatusSorting = " Sorting...";
inline constexpr const char* kStatusOpeningCdRom = " Opening CD-ROM...";
inline constexpr const char* kStatusEnding = " Ending...";
/// The dialog's question after a volume was catalogued.
inline constexpr const char* kCatalogAnotherQuestion = "Will you catalog another volume or folder?";

enum class CatalogOutcome {
    Catalogued,  ///< scanned, saved and sorted
    Refused,     ///< a name check refused the name (its message was shown)
    Declined,    ///< No to the question whether to catalogue a source again
    Stopped,     ///< the scan was stopped; the partial volume is gone, nothing saved
    Busy,        ///< a run was already going on; nothing done
};

/// Hooks into a run; every one is optional.
struct CatalogEvents {
    /// Each stage's status text (kStatusScanning ...), as the stage begins.
    std::function<void(std::string_view status)> Status;
    /// Every entry of the scan (see FolderScanner).
    ScanProgress Progress;
    /// The volume node was added and is about to be filled.
    std::function<void(NodeId volume)> ScanStarting;
    /// The scan ended: the filled volume, or kNoNode when the scan was
    /// stopped and the volume removed.
    std::function<void(NodeId volume)> ScanEnded;
    /// The save failed: removes the unsaved volume from the tree and from
    /// whatever shows it. Without it the run removes the node itself.
    std::function<void(NodeId volume)> RemoveVolume;
};

struct CatalogResult {
    CatalogOutcome Outcome = CatalogOutcome::Refused;
    NodeId Volume = kNoNode;  ///< the new volume when catalogued
    std::string CatalogPath;  ///< its catalog file
    ScanStats Stats;
};

/// What a run uses of the system; the defaults serve the real one.
struct CatalogRunOptions {
    CdRomConfig CdRom;
    MediaReader ReadMedia = nullptr;  ///< ReadMediaInfo when not set
    /// The settings file that remembers which folder each volume was
    /// catalogued from (for updating it later); none when empty.
    std::string SettingsFile;
};

/// The engine behind "&New Catalog...". One object can catalogue several
/// volumes one after another.
class CatalogRun {
public:
    using Options = CatalogRunOptions;

    /// `catalogFolder` ends with "/".
    CatalogRun(CatalogTree& tree, std::string catalogFolder, UserPrompt& prompt, const Locale& locale = Locale::User(),
               CatalogRunOptions options = {});

    /// Cancel: the scan stops at its next entry. Safe from a signal handler
    /// and from a progress callback.
    void RequestStop() noexcept { stopRequested_.store(true, std::memory_order_relaxed); }
    bool StopRequested() const noexcept { return stopRequested_.load(std::memory_order_relaxed); }
    /// True from the start of Run until it returns.
    bool Running() const noexcept { return running_; }

    /// Catalogues `source` as a new volume named `volumeName` (as typed):
    /// 1. clears the stop request;
    /// 2. checks, in this order, each refusal shown through the prompt:
    ///    EncodeNewVolumeName (so no blank name, no over-long file name);
    ///    VolumeNameIsFree; the catalog file name not in
    ///    use (CatalogFileNameIsFree); IsAlreadyCatalogued of the source
    ///    label, which asks kAlreadyCataloguedQuestion (No: Declined);
    /// 3. adds the volume node dated now and scans the source into it; a
    ///    stopped scan removes the volume again and ends here (Stopped);
    /// 4. saves the catalog file catalogFolder + stem + ".arv": header with
    ///    the source label and the volume's date, then the tree in scan
    ///    order; remembers the source folder in options.SettingsFile;
    /// 5. sorts the whole tree by the locale's collation;
    /// 6. reports MP3 files whose tags could not be read, in one message;
    /// 7. opens the CD-ROM's door when the source asks for it.
    /// A catalog file that cannot be read is passed over by the check (its
    /// loading reported it). A save that fails throws CatalogError after the
    /// unsaved volume was removed (CatalogEvents::RemoveVolume). A call made while a run is going on (from
    /// an event handler) returns Busy at once.
    CatalogResult Run(const CatalogSource& source, const std::string& volumeName, const CatalogEvents& events = {});

private:
    /// The name checks: Catalogued when all pass.
    CatalogOutcome CheckNames(const CatalogSource& source, const std::string& volumeName,
                              const EncodedVolumeName& encoded);
    /// The new volume, scanned; kNoNode when the scan was stopped.
    NodeId Scan(const CatalogSource& source, const std::string& volumeName, TDateTime date, const CatalogEvents& events,
                ScanStats& stats);
    /// Writes the catalog file; never replaces a file that took its name.
    void Save(const std::string& path, const std::string& label, TDateTime date, NodeId volume);
    /// Throws "Cannot create file PATH: REASON" when no file can be made
    /// beside `path`.
    void CheckWritable(const std::string& path) const;

    CatalogTree& tree_;
    std::string catalogFolder_;
    UserPrompt& prompt_;
    const Locale& locale_;
    Options options_;
    std::atomic<bool> stopRequested_{false};
    bool running_ = false;
};

/// The one message about what the scan could not read: how many MP3 files
/// kept their tags to themselves and how many folders could not be opened,
/// each with the messages of the first few ("Cannot open file PATH" lines).
/// Empty when there were none.
std::string UnreadableMediaReport(const ScanStats& stats);

}  // namespace ardvel
