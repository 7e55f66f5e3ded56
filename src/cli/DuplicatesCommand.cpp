// duplicates and copies: what is stored twice, and where else a file is.
#include <ostream>
#include <string>

#include "cli/CliCommon.h"
#include "cli/DuplicateRows.h"
#include "cli/LookIn.h"
#include "platform/Locale.h"
#include "search/DuplicateReport.h"
#include "store/NodePath.h"

namespace ardvel::cli {

namespace {

DuplicateKey ParseKey(const std::string& text)
{
    const auto key = ParseDuplicateKey(text);
    if (!key) throw UsageError("--by needs name+size, name+size+date, size+date or name, not \"" + text + "\"");
    return *key;
}

const std::string& OptionValue(const Args& args, std::size_t& i)
{
    if (i + 1 >= args.size()) throw UsageError(args[i] + " needs a value");
    return args[++i];
}

/// The folder and the file record a node path "Volume:\Folder\file" names:
/// the name as it is, else ignoring case; the first in list order.
bool ResolveFilePath(const CatalogTree& tree, const std::string& path, const Locale& locale, NodeId& node,
                     std::uint32_t& file)
{
    const std::size_t slash = path.rfind('\\');
    if (slash == std::string::npos || slash + 1 == path.size()) return false;
    node = ResolveNodePath(tree, std::string_view(path).substr(0, slash + 1), locale);
    if (node == kNoNode || node == CatalogTree::kRoot) return false;
    file = FindFileRecord(tree, node, std::string_view(path).substr(slash + 1), locale);
    return file != kNoFile;
}

}  // namespace

int RunDuplicates(const CliContext& context, const Args& args, std::ostream& out, std::ostream& err)
{
    std::string in = "All";
    DuplicateOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--in") {
            in = OptionValue(args, i);
        } else if (arg == "--by") {
            options.Key = ParseKey(OptionValue(args, i));
        } else if (arg == "--min-size") {
            const std::string& text = OptionValue(args, i);
            const auto value = ParseWhole(text);
            if (!value || *value < 0) throw UsageError("--min-size needs a whole number of KB, not \"" + text + "\"");
            options.MinSizeKB = *value;
        } else if (arg == "--folders") {
            options.Folders = true;
        } else {
            throw UsageError("unknown duplicates option: " + arg);
        }
    }
    const Locale& locale = Locale::User();
    CatalogTree tree;
    const bool ok = LoadForCommand(context, tree, err);
    const std::optional<LookIn> lookIn = ResolveLookIn(tree, in, locale);
    if (!lookIn) {
        err << "Path not found!\n";
        return kExitFailure;
    }

    const DuplicateResult result = FindDuplicates(tree, lookIn->Scope, options, locale);
    if (context.Format == RowFormat::Tsv) {
        DuplicateRowWriter(tree, locale, out).WriteAll(result);
    } else {
        StreamSink sink(out);
        DuplicateRows rows(tree, sink, context.Format);
        rows.WriteAll(result);
        rows.Finish();
    }
    out.flush();
    err << DuplicateSummary(result.Groups().size(), result.RecordCount(), options.Folders, result.WastedKB()) << '\n';
    return ok ? kExitOk : kExitFailure;
}

int RunCopies(const CliContext& context, const Args& args, std::ostream& out, std::ostream& err)
{
    std::optional<std::string> path;
    DuplicateKey key = DuplicateKey::NameSize;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--by") {
            key = ParseKey(OptionValue(args, i));
        } else if (args[i].rfind("--", 0) == 0) {
            throw UsageError("unknown copies option: " + args[i]);
        } else {
            if (path) throw UsageError("copies takes one node path");
            path = args[i];
        }
    }
    if (!path) throw UsageError("copies needs the node path of a file");

    const Locale& locale = Locale::User();
    CatalogTree tree;
    const bool ok = LoadForCommand(context, tree, err);
    NodeId node = kNoNode;
    std::uint32_t file = kNoFile;
    if (!ResolveFilePath(tree, *path, locale, node, file)) {
        err << "Path not found!\n";
        return kExitFailure;
    }

    const std::vector<DuplicateRecord> copies = FindCopies(tree, node, file, key, locale);
    if (context.Format == RowFormat::Tsv) {
        DuplicateRowWriter rows(tree, locale, out);
        for (const DuplicateRecord& r : copies) rows.Write(1, r);
    } else {
        StreamSink sink(out);
        DuplicateRows rows(tree, sink, context.Format);
        for (const DuplicateRecord& r : copies) rows.Write(1, r);
        rows.Finish();
    }
    out.flush();
    // The file's group: the file and its copies, one of them kept.
    const std::int64_t fileKB = tree.Store(tree.VolumeOf(node)).Files[file].SizeKB;
    err << DuplicateSummary(copies.empty() ? 0 : 1, copies.empty() ? 0 : copies.size() + 1, false,
                            CopiesWastedKB(fileKB, copies))
        << '\n';
    return ok ? kExitOk : kExitFailure;
}

}  // namespace ardvel::cli
