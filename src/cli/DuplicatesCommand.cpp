// duplicates and copies: what is stored twice, and where else a file is.
#include <ostream>
#include <string>

#include "cli/CliCommon.h"
#include "cli/LookIn.h"
#include "platform/Locale.h"
#include "search/Duplicates.h"
#include "store/ListFormats.h"
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

/// "GROUP<TAB>NODEPATH<TAB>SIZE<TAB>DATE" for each record; the node path
/// of a folder ends with "\", that of a file with its name.
class RowWriter {
public:
    RowWriter(const CatalogTree& tree, const Locale& locale, std::ostream& out)
        : tree_(tree), locale_(locale), out_(out)
    {
    }

    void Write(std::size_t group, const DuplicateRecord& r)
    {
        if (r.Node != pathNode_) {
            pathNode_ = r.Node;
            path_ = GetNodePath(tree_, r.Node);
        }
        std::string nodePath = path_;
        if (r.File != kNoFile) {
            const VolumeStore& store = tree_.Store(tree_.VolumeOf(r.Node));
            nodePath += store.Name(store.Files[r.File]);
        }
        out_ << group << '\t' << EscapeField(nodePath) << '\t' << EscapeField(FormatSize(r.SizeKB, locale_)) << '\t'
             << EscapeField(FormatDate(r.Date, locale_)) << '\n';
    }

private:
    const CatalogTree& tree_;
    const Locale& locale_;
    std::ostream& out_;
    NodeId pathNode_ = kNoNode;
    std::string path_;
};

void WriteSummary(std::ostream& err, std::size_t groups, std::size_t records, bool folders, std::int64_t wastedKB)
{
    err << groups << " groups, " << records << (folders ? " folders, " : " files, ") << wastedKB
        << " KB that could be freed\n";
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
    const std::string_view name = std::string_view(path).substr(slash + 1);
    const FileList files = tree.Files(node);
    for (int pass = 0; pass < 2; ++pass) {
        for (std::size_t i = 0; i < files.size(); ++i) {
            const std::string_view candidate = files.Store().Name(files[i]);
            if (pass == 0 ? candidate == name : locale.EqualIgnoreCase(candidate, name)) {
                file = files.Begin() + static_cast<std::uint32_t>(i);
                return true;
            }
        }
    }
    return false;
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
    RowWriter rows(tree, locale, out);
    const auto& groups = result.Groups();
    for (std::size_t g = 0; g < groups.size(); ++g)
        for (std::uint32_t i = 0; i < groups[g].Count; ++i) rows.Write(g + 1, result.Record(groups[g].First + i));
    out.flush();
    WriteSummary(err, groups.size(), result.RecordCount(), options.Folders, result.WastedKB());
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
    RowWriter rows(tree, locale, out);
    for (const DuplicateRecord& r : copies) rows.Write(1, r);
    out.flush();
    // The file's group: the file and its copies, one of them kept.
    std::int64_t wastedKB = 0;
    if (!copies.empty()) {
        std::int64_t total = tree.Store(tree.VolumeOf(node)).Files[file].SizeKB, largest = total;
        for (const DuplicateRecord& r : copies) {
            total += r.SizeKB;
            largest = std::max(largest, r.SizeKB);
        }
        wastedKB = total - largest;
    }
    WriteSummary(err, copies.empty() ? 0 : 1, copies.empty() ? 0 : copies.size() + 1, false, wastedKB);
    return ok ? kExitOk : kExitFailure;
}

}  // namespace ardvel::cli
