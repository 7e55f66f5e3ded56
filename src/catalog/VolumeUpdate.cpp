#include "catalog/VolumeUpdate.h"

#include "catalog/CatalogSource.h"
#include "catalog/MediaReuse.h"
#include "catalog/VolumeSources.h"
#include "store/CatalogError.h"
#include "store/CatalogFile.h"

namespace ardvel {

VolumeUpdate::VolumeUpdate(std::string catalogFolder, const Locale& locale, VolumeUpdateOptions options)
    : catalogFolder_(std::move(catalogFolder)), locale_(locale), options_(std::move(options))
{
}

bool VolumeUpdate::Stopped() const noexcept
{
    return options_.StopRequested && options_.StopRequested->load(std::memory_order_relaxed);
}

VolumeUpdateResult VolumeUpdate::Run(const CatalogTree& tree, NodeId volume, const std::string& folder,
                                     const VolumeUpdateEvents& events)
{
    VolumeUpdateResult result = Prepare(tree, volume, folder, events);
    if (result.Outcome == UpdateOutcome::Stopped || options_.DryRun) return result;
    return Commit(std::move(result));
}

VolumeUpdateResult VolumeUpdate::Prepare(const CatalogTree& tree, NodeId volume, const std::string& folder,
                                         const VolumeUpdateEvents& events)
{
    VolumeUpdateResult result;
    const std::string& fileName = tree.CatalogFileName(volume);
    if (!options_.DryRun && fileName.empty()) throw CatalogError(kFileNotFound, std::string(tree.Text(volume)));
    result.CatalogPath = catalogFolder_ + fileName;
    const CatalogSource source = SelectSource(folder, options_.CdRom);
    result.Label = source.SourceLabel;
    result.ScanRoot = source.ScanRoot;

    MediaReuse reuse(tree, volume, source.ScanRoot, options_.ReadMedia);
    FolderScanner::Options scanOptions;
    scanOptions.Progress = events.Progress;
    scanOptions.StopRequested = options_.StopRequested;
    scanOptions.ReadMedia = reuse.Reader();
    scanOptions.MountTable = options_.CdRom.MountTable;
    const bool completed = scan_.Run(source.ScanRoot, std::move(scanOptions));
    result.Stats = scan_.Stats();
    result.MediaReused = reuse.Reused();
    if (!completed) return result;

    const ChangeSink ignore = [](const TreeChange&) {};
    result.Summary =
        CompareTrees(tree, volume, scan_.Tree(), scan_.Volume(), locale_, events.Change ? events.Change : ignore);
    result.Outcome = UpdateOutcome::DryRun;
    return result;
}

VolumeUpdateResult VolumeUpdate::Commit(VolumeUpdateResult result)
{
    result.Outcome = UpdateOutcome::Stopped;
    {
        CatalogWriter writer(result.CatalogPath);
        writer.WriteHeader(result.Label, VolumeDate());
        writer.WriteTree(scan_.Tree(), scan_.Volume());
        // The last moment at which stopping keeps the old catalog.
        if (Stopped()) return result;
        writer.Commit();
    }
    result.Outcome = UpdateOutcome::Updated;
    if (!options_.SettingsFile.empty())
        result.SourceRemembered =
            RememberVolumeSource(options_.SettingsFile, result.CatalogPath, VolumeDate(), result.ScanRoot);
    return result;
}

}  // namespace ardvel
