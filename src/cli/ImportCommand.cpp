// import: an ncdu export as a new volume.
#include <optional>
#include <ostream>

#include "catalog/ImportRun.h"
#include "cli/CatalogFolder.h"
#include "cli/CliCommon.h"
#include "cli/CliPrompt.h"

namespace ardvel::cli {

namespace {

struct ImportArgs {
    std::string File;
    std::string Name;
    std::optional<bool> Answer;  ///< --yes / --no
};

ImportArgs ParseImportArgs(const Args& args)
{
    ImportArgs parsed;
    bool haveFile = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size()) throw UsageError(arg + " needs a value");
            return args[++i];
        };
        if (arg == "--name") {
            parsed.Name = value();
        } else if (arg.rfind("--name=", 0) == 0) {
            parsed.Name = arg.substr(7);
        } else if (arg == "--from") {
            if (value() != "ncdu") throw UsageError("import --from takes ncdu, not \"" + args[i] + "\"");
        } else if (arg == "--yes" || arg == "--no") {
            TakeYesNo(arg, parsed.Answer);
        } else if (arg.size() > 1 && arg[0] == '-') {
            throw UsageError("import: unknown option " + arg);
        } else {
            if (haveFile) throw UsageError("import takes one file");
            parsed.File = arg;
            haveFile = true;
        }
    }
    if (!haveFile) throw UsageError("import needs a file");
    return parsed;
}

}  // namespace

int RunImport(const CliContext& context, const Args& args, std::ostream& out, std::ostream& err)
{
    const ImportArgs parsed = ParseImportArgs(args);
    const std::optional<std::string> catalogFolder = CatalogFolderToSaveIn(context, err);
    if (!catalogFolder) return kExitFailure;

    CatalogTree tree;
    AddVolumesByFileName(tree, *catalogFolder);
    CliPrompt prompt(err, parsed.Answer, CliPrompt::Terminal::NotAsked);
    const ImportResult result = ImportNcduFile(tree, *catalogFolder, prompt, parsed.File, parsed.Name);
    if (result.Outcome == ImportOutcome::Declined) {
        err << "ardvel-cli: not imported\n";
        return kExitFailure;
    }
    if (result.Outcome != ImportOutcome::Imported) return kExitFailure;

    const NcduImportStats& s = result.Stats;
    out << "Volume: " << EscapeField(result.VolumeName) << '\n'
        << "Folders: " << s.Folders << '\n'
        << "Files: " << s.Files << '\n'
        << "MP3 files: " << s.Mp3Files << '\n'
        << "Total size: " << s.TotalBytes << " bytes\n"
        << "Dated entries: " << s.Dated << '\n'
        << "Hard links: " << s.HardLinks << '\n'
        << "Excluded entries left out: " << s.Excluded << '\n'
        << "Catalog file: " << EscapeField(result.CatalogPath) << '\n';
    return kExitOk;
}

}  // namespace ardvel::cli
