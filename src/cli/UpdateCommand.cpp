// update: rescan a volume's media and replace its catalog file.
#include <optional>
#include <ostream>

#include "catalog/UpdateSource.h"
#include "catalog/VolumeUpdate.h"
#include "cli/ChangeLines.h"
#include "cli/CliCommon.h"
#include "cli/Interrupt.h"
#include "cli/ProgressLine.h"
#include "cli/VolumeLookup.h"
#include "platform/Settings.h"
#include "store/CatalogError.h"
#include "store/CatalogFile.h"

namespace ardvel::cli {

namespace {

struct UpdateArgs {
    std::string Volume;
    std::optional<std::string> Folder;
    bool DryRun = false;
};

UpdateArgs ParseUpdateArgs(const Args& args)
{
    UpdateArgs parsed;
    std::vector<std::string> positional;
    for (const std::string& arg : args) {
        if (arg == "--dry-run")
            parsed.DryRun = true;
        else if (arg.size() > 1 && arg[0] == '-')
            throw UsageError("update: unknown option " + arg);
        else
            positional.push_back(arg);
    }
    if (positional.empty()) throw UsageError("update needs a volume");
    if (positional.size() > 2) throw UsageError("update takes a volume and at most one folder");
    parsed.Volume = positional[0];
    if (positional.size() == 2) parsed.Folder = positional[1];
    return parsed;
}

/// The folder to scan: the one given, else the one the volume was
/// catalogued or last updated from, else a mounted file system with the
/// volume's label. Empty, with a message naming the volume, when none.
std::string FolderToScan(const UpdateArgs& parsed, const std::string& catalogPath, TDateTime volumeDate,
                         std::ostream& err)
{
    if (parsed.Folder) return *parsed.Folder;
    std::string label;
    CatalogReader(catalogPath).ReadHeader(&label);
    UpdateSourceConfig config;
    config.SettingsFile = SettingsFilePath();
    std::string folder = ProposeUpdateFolder(catalogPath, volumeDate, label, config);
    if (folder.empty()) err << parsed.Volume << ": no folder known to update the volume from; name one\n";
    return folder;
}

}  // namespace

int RunUpdate(const CliContext& context, const Args& args, std::ostream& out, std::ostream& err)
{
    const UpdateArgs parsed = ParseUpdateArgs(args);
    const std::string catalogFolder = ResolveCatalogFolder(context);
    const Locale& locale = Locale::User();

    CatalogTree tree;
    const NodeId volume = LoadVolumeNamed(tree, catalogFolder, parsed.Volume, err);
    if (volume == kNoNode) return kExitFailure;
    const std::string catalogPath = catalogFolder + tree.CatalogFileName(volume);
    const std::string folder = FolderToScan(parsed, catalogPath, tree.Info(volume).Date, err);
    if (folder.empty() || !CheckFolderToScan(folder, err)) return kExitFailure;

    InterruptFlag interrupt;
    VolumeUpdateOptions options;
    options.DryRun = parsed.DryRun;
    options.StopRequested = interrupt.Flag();
    options.SettingsFile = SettingsFilePath();
    VolumeUpdate update(catalogFolder, locale, std::move(options));
    ProgressLine progress(err);
    VolumeUpdateEvents events;
    events.Progress = [&](std::string_view scanFolder, std::string_view) { progress.Entry(scanFolder); };
    events.Change = [&](const TreeChange& c) {
        progress.Clear();
        WriteChangeLine(out, c, locale);
    };
    progress.Start();
    const VolumeUpdateResult result = update.Run(tree, volume, folder, events);
    progress.Clear();
    out.flush();
    if (result.Outcome == UpdateOutcome::Stopped) {
        err << "ardvel-cli: stopped; the catalog was not changed\n";
        return kExitInterrupted;
    }
    err << ChangeSummaryText(result.Summary) << '\n';
    if (result.Outcome == UpdateOutcome::Updated && !result.SourceRemembered)
        err << SettingsFilePath() << ": the folder of the volume could not be remembered\n";
    return kExitOk;
}

}  // namespace ardvel::cli
