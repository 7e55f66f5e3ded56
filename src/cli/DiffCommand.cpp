// diff: what changed from a volume to a folder's fresh scan or to another
// volume. Nothing is written.
#include <optional>
#include <ostream>

#include "catalog/CompareTrees.h"
#include "catalog/FreshScan.h"
#include "cli/ChangeLines.h"
#include "cli/CliCommon.h"
#include "cli/Interrupt.h"
#include "cli/VolumeLookup.h"
#include "store/CatalogError.h"

namespace ardvel::cli {

namespace {

/// Exit codes of diff --exit-code, as git diff --exit-code has them.
constexpr int kDiffSame = 0;
constexpr int kDiffDifferent = 1;
constexpr int kDiffFailure = 3;

struct DiffArgs {
    std::string Volume;
    std::optional<std::string> Folder;
    std::optional<std::string> OtherVolume;
    bool ExitCode = false;
};

DiffArgs ParseDiffArgs(const Args& args)
{
    DiffArgs parsed;
    std::vector<std::string> positional;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--exit-code") {
            parsed.ExitCode = true;
        } else if (arg == "--volume") {
            if (i + 1 >= args.size()) throw UsageError("--volume needs a volume name");
            if (parsed.OtherVolume) throw UsageError("--volume given twice");
            parsed.OtherVolume = args[++i];
        } else if (arg.rfind("--volume=", 0) == 0) {
            if (parsed.OtherVolume) throw UsageError("--volume given twice");
            parsed.OtherVolume = arg.substr(9);
        } else if (arg.size() > 1 && arg[0] == '-') {
            throw UsageError("diff: unknown option " + arg);
        } else {
            positional.push_back(arg);
        }
    }
    if (positional.empty()) throw UsageError("diff needs a volume");
    parsed.Volume = positional[0];
    if (positional.size() > 2) throw UsageError("diff takes a volume and one folder");
    if (positional.size() == 2) parsed.Folder = positional[1];
    if (parsed.Folder && parsed.OtherVolume) throw UsageError("diff compares with a folder or with --volume, not both");
    if (!parsed.Folder && !parsed.OtherVolume) throw UsageError("diff needs a folder or --volume OTHER");
    return parsed;
}

}  // namespace

int RunDiff(const CliContext& context, const Args& args, std::ostream& out, std::ostream& err)
{
    const DiffArgs parsed = ParseDiffArgs(args);
    const int failure = parsed.ExitCode ? kDiffFailure : kExitFailure;
    const std::string catalogFolder = ResolveCatalogFolder(context);
    const Locale& locale = Locale::User();

    CatalogTree volumes;
    FreshScan scan;
    NodeId oldNode = kNoNode, newNode = kNoNode;
    const CatalogTree* newTree = &volumes;
    try {
        oldNode = LoadVolumeNamed(volumes, catalogFolder, parsed.Volume, err);
        if (oldNode == kNoNode) return failure;
        if (parsed.OtherVolume) {
            newNode = LoadVolumeNamed(volumes, catalogFolder, *parsed.OtherVolume, err);
            if (newNode == kNoNode) return failure;
        }
    } catch (const CatalogError& e) {
        err << e.Path() << ": " << e.what() << '\n';
        return failure;
    }
    if (parsed.Folder) {
        if (!CheckFolderToScan(*parsed.Folder, err)) return failure;
        InterruptFlag interrupt;
        FolderScanner::Options options;
        options.StopRequested = interrupt.Flag();
        if (!scan.Run(*parsed.Folder, std::move(options))) {
            err << "ardvel-cli: stopped\n";
            return kExitInterrupted;
        }
        newTree = &scan.Tree();
        newNode = scan.Volume();
    }

    CompareSummary summary;
    if (context.Format == RowFormat::Tsv) {
        summary = CompareTrees(volumes, oldNode, *newTree, newNode, locale,
                               [&](const TreeChange& c) { WriteChangeLine(out, c, locale); });
    } else {
        StreamSink sink(out);
        RowWriter rows(sink, context.Format, kChangeFields, kChangePathField);
        const std::string_view volume = volumes.Text(oldNode);
        summary = CompareTrees(volumes, oldNode, *newTree, newNode, locale,
                               [&](const TreeChange& c) { WriteChangeRow(rows, c, volume); });
        rows.Finish();
    }
    out.flush();
    err << ChangeSummaryText(summary) << '\n';
    if (!parsed.ExitCode) return kExitOk;
    return summary.Empty() ? kDiffSame : kDiffDifferent;
}

}  // namespace ardvel::cli
