// import: an ncdu export as a new volume.
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <optional>
#include <ostream>

#include "catalog/ImportRun.h"
#include "cli/CliCommon.h"
#include "cli/CliPrompt.h"
#include "platform/Settings.h"
#include "store/LoadCatalogs.h"
#include "store/VolumeName.h"

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

/// The volumes of the catalog folder known by their file names alone:
/// enough for the name checks.
void AddVolumesByFileName(CatalogTree& tree, const std::string& catalogFolder)
{
    for (const std::string& name : ListCatalogEntries(catalogFolder)) {
        if (!HasExactCatalogExtension(name)) continue;
        tree.SetCatalogFileName(tree.AddVolume(DecodeVolumeName(name), 0), name);
    }
}

}  // namespace

int RunImport(const CliContext& context, const Args& args, std::ostream& out, std::ostream& err)
{
    const ImportArgs parsed = ParseImportArgs(args);
    const std::string catalogFolder = ResolveCatalogFolder(context);
    // As for catalog: the default catalog folder is made on first use, one
    // that was named explicitly must exist.
    if (!context.CatalogFolder && catalogFolder == DefaultCatalogFolder()) {
        std::error_code ec;
        std::filesystem::create_directories(catalogFolder, ec);
    }
    struct stat info {};
    const int folderError = ::stat(catalogFolder.c_str(), &info) != 0 ? errno : S_ISDIR(info.st_mode) ? 0 : ENOTDIR;
    if (folderError != 0) {
        err << "Catalog folder " << catalogFolder << ": " << std::strerror(folderError) << '\n';
        return kExitFailure;
    }

    CatalogTree tree;
    AddVolumesByFileName(tree, catalogFolder);
    CliPrompt prompt(err, parsed.Answer, CliPrompt::Terminal::NotAsked);
    const ImportResult result = ImportNcduFile(tree, catalogFolder, prompt, parsed.File, parsed.Name);
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
