// catalog: scanning a folder or CD-ROM into a new volume from the command line.
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <optional>
#include <ostream>
#include <string>

#include "catalog/CatalogRun.h"
#include "catalog/CatalogSource.h"
#include "catalog/NameChecks.h"
#include "cli/CliCommon.h"
#include "cli/CliPrompt.h"
#include "cli/ProgressLine.h"
#include "platform/Locale.h"
#include "platform/Settings.h"
#include "store/LoadCatalogs.h"
#include "store/VolumeName.h"

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

/// The volumes the catalog folder holds, known by their file names alone:
/// enough for the name checks, without reading every catalog.
void AddKnownVolumes(CatalogTree& tree, const std::string& catalogFolder)
{
    const std::vector<std::string> entries = ListCatalogEntries(catalogFolder);
    bool any = false;
    for (const std::string& name : entries) any = any || HasExactCatalogExtension(name);
    if (!any) return;
    for (const std::string& name : entries) {
        const NodeId volume = tree.AddVolume(DecodeVolumeName(name), 0);
        tree.SetCatalogFileName(volume, name);
    }
}

/// A deep tree keeps one directory open per level; allow as many as the
/// system lets this process have.
void RaiseOpenFileLimit()
{
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        ::setrlimit(RLIMIT_NOFILE, &limit);
    }
}

// Ctrl+C asks the running scan to stop; a second one ends the program.
CatalogRun* volatile g_interruptedRun = nullptr;

extern "C" void OnInterrupt(int)
{
    if (CatalogRun* run = g_interruptedRun) run->RequestStop();
}

class InterruptStopsRun {
public:
    InterruptStopsRun() = default;
    InterruptStopsRun(const InterruptStopsRun&) = delete;
    InterruptStopsRun& operator=(const InterruptStopsRun&) = delete;
    void Install(CatalogRun& run)
    {
        if (installed_) return;
        g_interruptedRun = &run;
        struct sigaction action {};
        action.sa_handler = OnInterrupt;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART | SA_RESETHAND;
        installed_ = ::sigaction(SIGINT, &action, &previous_) == 0;
    }
    ~InterruptStopsRun()
    {
        if (installed_) ::sigaction(SIGINT, &previous_, nullptr);
        g_interruptedRun = nullptr;
    }

private:
    bool installed_ = false;
    struct sigaction previous_ {};
};

/// The folder to catalogue must be a folder; false after telling why not.
bool IsFolderToCatalogue(const std::string& folder, std::ostream& err)
{
    struct stat info {};
    if (::stat(folder.c_str(), &info) != 0) {
        err << folder << ": " << std::strerror(errno) << '\n';
        return false;
    }
    if (!S_ISDIR(info.st_mode)) {
        err << folder << ": " << std::strerror(ENOTDIR) << '\n';
        return false;
    }
    return true;
}

/// The catalog folder the volume goes to, checked now rather than when
/// saving, after a scan that may be long; nothing after telling why not.
std::optional<std::string> CatalogFolderToSaveIn(const CliContext& context, std::ostream& err)
{
    const std::string catalogFolder = ResolveCatalogFolder(context);
    // The default catalog folder is made on first use; one that was named
    // explicitly must exist.
    if (!context.CatalogFolder && catalogFolder == DefaultCatalogFolder()) {
        std::error_code ec;
        std::filesystem::create_directories(catalogFolder, ec);
    }
    struct stat info {};
    const int folderError = ::stat(catalogFolder.c_str(), &info) != 0 ? errno : S_ISDIR(info.st_mode) ? 0 : ENOTDIR;
    if (folderError != 0) {
        err << "Catalog folder " << catalogFolder << ": " << std::strerror(folderError) << '\n';
        return std::nullopt;
    }
    return catalogFolder;
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
    if (!IsFolderToCatalogue(parsed.Folder, err)) return kExitFailure;
    const std::optional<std::string> catalogFolder = CatalogFolderToSaveIn(context, err);
    if (!catalogFolder) return kExitFailure;

    const CatalogSource source = SelectSource(parsed.Folder);
    const std::string volumeName = parsed.Name.value_or(source.SourceLabel);

    CatalogTree tree;
    AddKnownVolumes(tree, *catalogFolder);
    CliPrompt prompt(err, parsed.Answer, CliPrompt::Terminal::Asked);
    CatalogRunOptions runOptions;
    runOptions.SettingsFile = SettingsFilePath();
    CatalogRun run(tree, *catalogFolder, prompt, Locale::User(), std::move(runOptions));
    RaiseOpenFileLimit();

    InterruptStopsRun interrupt;
    ProgressLine progress(err);
    CatalogEvents events;
    events.ScanStarting = [&](NodeId) {
        interrupt.Install(run);
        progress.Start();
    };
    events.Progress = [&](std::string_view folder, std::string_view) { progress.Entry(folder); };
    events.ScanEnded = [&](NodeId) { progress.Clear(); };

    const auto start = std::chrono::steady_clock::now();
    const CatalogResult result = run.Run(source, volumeName, events);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (result.Outcome != CatalogOutcome::Catalogued) return ExitCodeOfUnfinished(result.Outcome, err);
    PrintSummary(volumeName, result, seconds, out);
    return kExitOk;
}

}  // namespace ardvel::cli
