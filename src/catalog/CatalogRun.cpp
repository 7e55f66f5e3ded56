#include "catalog/CatalogRun.h"

#include "catalog/NameChecks.h"
#include "catalog/VolumeSources.h"
#include "store/CatalogFile.h"
#include "store/DateTime.h"
#include "store/LoadCatalogs.h"
#include "store/VolumeName.h"

namespace ardvel {

CatalogRun::CatalogRun(CatalogTree& tree, std::string catalogFolder, UserPrompt& prompt, const Locale& locale,
                       Options options)
    : tree_(tree),
      catalogFolder_(std::move(catalogFolder)),
      prompt_(prompt),
      locale_(locale),
      options_(std::move(options))
{
}

CatalogResult CatalogRun::Run(const CatalogSource& source, const std::string& volumeName, const CatalogEvents& events)
{
    CatalogResult result;
    if (running_) {
        result.Outcome = CatalogOutcome::Busy;
        return result;
    }
    struct RunningGuard {
        bool& flag;
        explicit RunningGuard(bool& f) : flag(f) { flag = true; }
        ~RunningGuard() { flag = false; }
    } guard(running_);
    const auto status = [&](const char* text) {
        if (events.Status) events.Status(text);
    };

    stopRequested_.store(false, std::memory_order_relaxed);

    // The name checks.
    const EncodedVolumeName encoded = EncodeNewVolumeName(volumeName);
    if (encoded.Refused) {
        prompt_.ShowError(encoded.Message);
        return result;
    }
    if (!VolumeNameIsFree(tree_, volumeName, prompt_, locale_)) return result;
    if (!CatalogFileNameIsFree(tree_, catalogFolder_, encoded.Stem, prompt_)) return result;
    if (IsAlreadyCatalogued(catalogFolder_, source.SourceLabel) && !prompt_.Confirm(kAlreadyCataloguedQuestion)) {
        result.Outcome = CatalogOutcome::Declined;
        return result;
    }

    // The scan.
    const TDateTime date = NowLocal();
    const NodeId volume = tree_.AddVolume(volumeName, date);
    if (events.ScanStarting) events.ScanStarting(volume);
    status(kStatusScanning);
    FolderScanner::Options scanOptions;
    scanOptions.Progress = events.Progress;
    scanOptions.StopRequested = &stopRequested_;
    scanOptions.ReadMedia = options_.ReadMedia;
    scanOptions.MountTable = options_.CdRom.MountTable;
    FolderScanner scanner(tree_, std::move(scanOptions));
    const bool completed = scanner.ScanFolder(source.ScanRoot, volume);
    result.Stats = scanner.Stats();
    if (!completed) {
        tree_.RemoveNode(volume);
        if (events.ScanEnded) events.ScanEnded(kNoNode);
        result.Outcome = CatalogOutcome::Stopped;
        return result;
    }
    if (events.ScanEnded) events.ScanEnded(volume);
    result.Volume = volume;

    // Saving, in the order of the scan.
    status(kStatusSaving);
    const std::string fileName = encoded.Stem + ".arv";
    result.CatalogPath = catalogFolder_ + fileName;
    try {
        CatalogWriter writer(result.CatalogPath);
        writer.WriteHeader(source.SourceLabel, date);
        writer.WriteTree(tree_, volume);
        writer.Commit();
    } catch (...) {
        // A volume without a catalog file would look catalogued until the
        // next loading, and keep its name taken.
        if (events.RemoveVolume) events.RemoveVolume(volume);
        if (tree_.IsAlive(volume)) tree_.RemoveNode(volume);
        throw;
    }
    tree_.SetCatalogFileName(volume, fileName);
    if (!options_.SettingsFile.empty())
        RememberVolumeSource(options_.SettingsFile, result.CatalogPath, date, source.ScanRoot);

    status(kStatusSorting);
    SortCatalogTree(tree_, locale_);

    if (result.Stats.UnreadableMedia > 0) prompt_.ShowError(UnreadableMediaReport(result.Stats));

    if (source.EjectWhenDone) {
        status(kStatusOpeningCdRom);
        OpenDoor(source.Device, options_.CdRom.EjectCommand);
    }
    status(kStatusEnding);
    result.Outcome = CatalogOutcome::Catalogued;
    return result;
}

std::string UnreadableMediaReport(const ScanStats& stats)
{
    if (stats.UnreadableMedia == 0) return {};
    std::string text = "The tags of " + std::to_string(stats.UnreadableMedia) +
                       (stats.UnreadableMedia == 1 ? " MP3 file" : " MP3 files") +
                       " could not be read; they were catalogued by name.";
    for (const std::string& message : stats.UnreadableMediaMessages) text += "\n" + message;
    const std::uint64_t rest = stats.UnreadableMedia - stats.UnreadableMediaMessages.size();
    if (rest > 0) text += "\n... and " + std::to_string(rest) + " more";
    return text;
}

}  // namespace ardvel
