// export: one volume as CSV, JSON, JSON lines or an ncdu export.
#include <ctime>
#include <memory>
#include <optional>
#include <ostream>

#include "cli/CliCommon.h"
#include "platform/Locale.h"
#include "store/CatalogError.h"
#include "store/CatalogFile.h"
#include "store/EntryRows.h"
#include "store/LoadCatalogs.h"
#include "store/NcduExport.h"
#include "store/OutputFile.h"
#include "store/VolumeName.h"

namespace ardvel::cli {

namespace {

struct ExportArgs {
    std::string Volume;
    std::string Format;
    std::optional<std::string> Output;
};

ExportArgs ParseExportArgs(const Args& args)
{
    ExportArgs parsed;
    bool haveVolume = false, haveFormat = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size()) throw UsageError(arg + " needs a value");
            return args[++i];
        };
        if (arg == "--format") {
            if (haveFormat) throw UsageError("--format given twice");
            parsed.Format = value();
            haveFormat = true;
        } else if (arg.rfind("--format=", 0) == 0) {
            if (haveFormat) throw UsageError("--format given twice");
            parsed.Format = arg.substr(9);
            haveFormat = true;
        } else if (arg == "-o" || arg == "--output") {
            if (parsed.Output) throw UsageError("-o given twice");
            parsed.Output = value();
        } else if (arg.size() > 1 && arg[0] == '-') {
            throw UsageError("export: unknown option " + arg);
        } else {
            if (haveVolume) throw UsageError("export takes one volume");
            parsed.Volume = arg;
            haveVolume = true;
        }
    }
    if (!haveVolume) throw UsageError("export needs a volume name");
    if (!haveFormat) throw UsageError("export needs --format csv, json, jsonl or ncdu");
    if (parsed.Format != "ncdu" && (!ParseRowFormat(parsed.Format) || parsed.Format == "tsv"))
        throw UsageError("export --format takes csv, json, jsonl or ncdu, not \"" + parsed.Format + "\"");
    return parsed;
}

/// The catalog file of the volume named `name` (letter case ignored), or
/// an empty text.
std::string FindVolumeFile(const std::string& catalogFolder, const std::string& name)
{
    const Locale& locale = Locale::User();
    for (const std::string& entry : ListCatalogEntries(catalogFolder))
        if (HasExactCatalogExtension(entry) && locale.EqualIgnoreCase(DecodeVolumeName(entry), name)) return entry;
    return {};
}

}  // namespace

int RunExport(const CliContext& context, const Args& args, std::ostream& out, std::ostream& err)
{
    const ExportArgs parsed = ParseExportArgs(args);
    const std::string catalogFolder = ResolveCatalogFolder(context);
    const std::string fileName = FindVolumeFile(catalogFolder, parsed.Volume);
    if (fileName.empty()) {
        err << parsed.Volume << ": no volume of that name in " << catalogFolder << '\n';
        return kExitFailure;
    }
    const std::string volume = DecodeVolumeName(fileName);

    std::unique_ptr<OutputFile> file;
    StreamSink stream(out);
    ByteSink* sink = &stream;
    try {
        if (parsed.Output) sink = (file = std::make_unique<OutputFile>(*parsed.Output)).get();
        CatalogReader reader(catalogFolder + fileName);
        if (parsed.Format == "ncdu") {
            WriteNcduExport(reader, volume, *sink, static_cast<std::int64_t>(std::time(nullptr)));
        } else {
            RowWriter rows = EntryRowWriter(*sink, *ParseRowFormat(parsed.Format));
            WriteCatalogEntries(reader, volume, rows);
            rows.Finish();
        }
        if (file) file->Commit();
    } catch (const CatalogError& e) {
        out.flush();
        err << (e.Path().empty() ? catalogFolder + fileName : e.Path()) << ": " << e.what() << '\n';
        return kExitFailure;
    }
    return kExitOk;
}

}  // namespace ardvel::cli
