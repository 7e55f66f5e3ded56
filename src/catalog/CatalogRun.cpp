#include "catalog/CatalogRun.h"

#include <cstring>

#include "catalog/NameChecks.h"
#include "catalog/VolumeSources.h"
#include "platform/SaveFile.h"
#include "store/CatalogError.h"
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

namespace {

void Say(const CatalogEvents& events, const char* status)
{
    if (events.Status) events.Status(status);
}

}  // namespace

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
    stopRequested_.store(false, std::memory_order_relaxed);

    const EncodedVolumeName encoded = EncodeNewVolumeName(volumeName);
    result.Outcome = CheckNames(source, volumeName, encoded);
    if (result.Outcome != CatalogOutcome::Catalogued) return result;

    result.CatalogPath = catalogFolder_ + encoded.Stem + ".arv";
    CheckWritable(result.CatalogPath);
    const TDateTime date = NowLocal();
    result.Volume = Scan(source, volumeName, date, events, result.Stats);
    if (result.Volume == kNoNode) {
        result.Outcome = CatalogOutcome::Stopped;
        return result;
    }

    // Saving, in the order of the scan.
    Say(events, kStatusSaving);
    const std::string fileName = encoded.Stem + ".arv";
    try {
        Save(result.CatalogPath, source.SourceLabel, date, result.Volume);
    } catch (...) {
        // A volume without a catalog file would look catalogued until the
        // next loading, and keep its name taken.
        if (events.RemoveVolume) events.RemoveVolume(result.Volume);
        if (tree_.IsAlive(result.Volume)) tree_.RemoveNode(result.Volume);
        throw;
    }
    tree_.SetCatalogFileName(result.Volume, fileName);
    if (!options_.SettingsFile.empty())
        RememberVolumeSource(options_.SettingsFile, result.CatalogPath, date, source.ScanRoot);

    Say(events, kStatusSorting);
    SortCatalogTree(tree_, locale_);
    if (const std::string report = UnreadableMediaReport(result.Stats); !report.empty()) prompt_.ShowError(report);
    if (source.EjectWhenDone) {
        Say(events, kStatusOpeningCdRom);
        OpenDoor(source.Device, options_.CdRom.EjectCommand);
    }
    Say(events, kStatusEnding);
    return result;
}

CatalogOutcome CatalogRun::CheckNames(const CatalogSource& source, const std::string& volumeName,
                                      const EncodedVolumeName& encoded)
{
    if (encoded.Refused) {
        prompt_.ShowError(encoded.Message);
        return CatalogOutcome::Refused;
    }
    if (!VolumeNameIsFree(tree_, volumeName, prompt_, locale_)) return CatalogOutcome::Refused;
    if (!CatalogFileNameIsFree(tree_, catalogFolder_, encoded.Stem, prompt_)) return CatalogOutcome::Refused;
    if (IsAlreadyCatalogued(catalogFolder_, source.SourceLabel) && !prompt_.Confirm(kAlreadyCataloguedQuestion))
        return CatalogOutcome::Declined;
    return CatalogOutcome::Catalogued;
}

NodeId CatalogRun::Scan(const CatalogSource& source, const std::string& volumeName, TDateTime date,
                        const CatalogEvents& events, ScanStats& stats)
{
    const NodeId volume = tree_.AddVolume(volumeName, date);
    if (events.ScanStarting) events.ScanStarting(volume);
    Say(events, kStatusScanning);
    FolderScanner::Options scanOptions;
    scanOptions.Progress = events.Progress;
    scanOptions.StopRequested = &stopRequested_;
    scanOptions.ReadMedia = options_.ReadMedia;
    scanOptions.MountTable = options_.CdRom.MountTable;
    FolderScanner scanner(tree_, std::move(scanOptions));
    const bool completed = scanner.ScanFolder(source.ScanRoot, volume);
    stats = scanner.Stats();
    if (!completed) {
        tree_.RemoveNode(volume);
        if (events.ScanEnded) events.ScanEnded(kNoNode);
        return kNoNode;
    }
    if (events.ScanEnded) events.ScanEnded(volume);
    return volume;
}

void CatalogRun::Save(const std::string& path, const std::string& label, TDateTime date, NodeId volume)
{
    CatalogWriter writer(path);
    writer.WriteHeader(label, date);
    writer.WriteTree(tree_, volume);
    try {
        writer.Commit(SaveFile::Publish::NoReplace);
    } catch (const CatalogFileExists&) {
        // Another cataloguing took the name after the checks.
        throw CatalogError(kVolumeNameTaken, path);
    }
}

void CatalogRun::CheckWritable(const std::string& path) const
{
    // Creating the temporary file the save will need, before the scan, so
    // that a folder where it cannot be made is known at once.
    RemoveDeadSaveFiles(catalogFolder_);
    SaveFile probe;
    if (const int error = probe.Open(path); error != 0)
        throw CatalogError("Cannot create file " + path + ": " + std::strerror(error), path);
}

namespace {

void AppendListed(std::string& text, const std::vector<std::string>& messages, std::uint64_t count)
{
    for (const std::string& message : messages) text += "\n" + message;
    const std::uint64_t rest = count - messages.size();
    if (rest > 0) text += "\n... and " + std::to_string(rest) + " more";
}

}  // namespace

std::string UnreadableMediaReport(const ScanStats& stats)
{
    std::string text;
    if (stats.UnreadableMedia > 0) {
        text = "The tags of " + std::to_string(stats.UnreadableMedia) +
               (stats.UnreadableMedia == 1 ? " MP3 file" : " MP3 files") +
               " could not be read; they were catalogued by name.";
        AppendListed(text, stats.UnreadableMediaMessages, stats.UnreadableMedia);
    }
    if (stats.UnreadableFolders > 0) {
        if (!text.empty()) text += "\n";
        text += std::to_string(stats.UnreadableFolders) + (stats.UnreadableFolders == 1 ? " folder" : " folders") +
                " could not be read; they were catalogued empty.";
        AppendListed(text, stats.UnreadableFolderMessages, stats.UnreadableFolders);
    }
    return text;
}

}  // namespace ardvel
