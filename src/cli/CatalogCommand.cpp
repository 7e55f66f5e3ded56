// catalog: scanning a folder or CD-ROM into a new volume from the command line.
#include <chrono>
#include <cstdio>
#include <iostream>
#include <optional>
#include <ostream>
#include <string>

#include "catalog/CatalogRun.h"
#include "catalog/CatalogSource.h"
#include "catalog/NameChecks.h"
#include "cli/CatalogFolder.h"
#include "cli/CliCommon.h"
#include "cli/CliPrompt.h"
#include "cli/Interrupt.h"
#include "cli/ProgressLine.h"
#include "cli/VolumeLookup.h"
#include "platform/Locale.h"
#include "platform/Settings.h"

namespace ardvel::cli {

namespace {

struct CatalogArgs {
    std::string Folder;
    std::optional<std::string> Name;
    std::optional<bool> Answer;  ///< --yes / --no
};

CatalogArgs ParseCatalogArgs(const Args& args)
{
    CatalogArgs parsed;
    bool haveFolder = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--name") {
            if (i + 1 >= args.size()) throw UsageError("--name needs a volume name");
            parsed.Name = args[++i];
        } else if (arg.rfind("--name=", 0) == 0) {
            parsed.Name = arg.substr(7);
        } else if (arg == "--yes" || arg == "--no") {
            TakeYesNo(arg, parsed.Answer);
        } else if (arg.size() > 1 && arg[0] == '-' && arg != "-") {
            throw UsageError("catalog: unknown option " + arg);
        } else {
            if (haveFolder) throw UsageError("catalog takes one folder");
            parsed.Folder = arg;
            haveFolder = true;
        }
    }
    if (!haveFolder) throw UsageError("catalog needs a folder");
    return parsed;
}

void PrintSummary(const std::string& volumeName, const CatalogResult& result, double seconds, std::ostream& out)
{
    const ScanStats& s = result.Stats;
    char secondsText[32];
    std::snprintf(secondsText, sizeof secondsText, "%.3f", seconds);
    out << "Volume: " << EscapeField(volumeName) << '\n'
        << "Folders: " << s.Folders << '\n'
        << "Files: " << s.Files << '\n'
        << "MP3 files: " << s.Mp3Files << '\n'
        << "Total size: " << s.TotalBytes << " bytes\n"
        << "Catalog file: " << EscapeField(result.CatalogPath) << '\n'
        << "Seconds: " << secondsText << '\n';
}

/// The exit code of a run that did not catalogue, after telling why.
int ExitCodeOfUnfinished(CatalogOutcome outcome, std::ostream& err)
{
    switch (outcome) {
        case CatalogOutcome::Stopped:
            err << "ardvel-cli: stopped; nothing was saved\n";
            return kExitInterrupted;
        case CatalogOutcome::Declined:
            err << "ardvel-cli: not catalogued\n";
            return kExitFailure;
        default:
            return kExitFailure;
    }
}

}  // namespace

int RunCatalog(const CliContext& context, const Args& args, std::ostream& out, std::ostream& err)
{
    const CatalogArgs parsed = ParseCatalogArgs(args);
    if (!CheckFolderToScan(parsed.Folder, err)) return kExitFailure;
    const std::optional<std::string> catalogFolder = CatalogFolderToSaveIn(context, err);
    if (!catalogFolder) return kExitFailure;

    const CatalogSource source = SelectSource(parsed.Folder);
    const std::string volumeName = parsed.Name.value_or(source.SourceLabel);

    CatalogTree tree;
    AddVolumesByFileName(tree, *catalogFolder);
    CliPrompt prompt(err, parsed.Answer, CliPrompt::Terminal::Asked);
    CatalogRunOptions runOptions;
    runOptions.SettingsFile = SettingsFilePath();
    CatalogRun run(tree, *catalogFolder, prompt, Locale::User(), std::move(runOptions));

    // Ctrl+C stops the scan once it runs (before, while a question may be
    // asked, it ends the program): the progress is told of every entry.
    std::optional<InterruptFlag> interrupt;
    ProgressLine progress(err);
    CatalogEvents events;
    events.ScanStarting = [&](NodeId) {
        interrupt.emplace();
        progress.Start();
    };
    events.Progress = [&](std::string_view folder, std::string_view) {
        if (interrupt->Raised()) run.RequestStop();
        progress.Entry(folder);
    };
    events.ScanEnded = [&](NodeId) { progress.Clear(); };

    const auto start = std::chrono::steady_clock::now();
    const CatalogResult result = run.Run(source, volumeName, events);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (result.Outcome != CatalogOutcome::Catalogued) return ExitCodeOfUnfinished(result.Outcome, err);
    PrintSummary(volumeName, result, seconds, out);
    return kExitOk;
}

}  // namespace ardvel::cli
