// volumes, ls and dump: reading catalogs from the command line.
#include <algorithm>
#include <cstdio>
#include <ostream>
#include <vector>

#include "cli/CliCommon.h"
#include "cli/EntryOutput.h"
#include "cli/LookIn.h"
#include "platform/Locale.h"
#include "store/CatalogError.h"
#include "store/CatalogFile.h"
#include "store/ListFormats.h"
#include "store/NodePath.h"
#include "store/RowSort.h"

namespace ardvel::cli {

namespace {

std::string DumpDate(TDateTime date)
{
    const DateTimeFields f = DecodeDateTime(date);
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", f.Year, f.Month, f.Day, f.Hour, f.Minute,
                  f.Second);
    return text;
}

}  // namespace

int RunVolumes(const CliContext& context, const Args& args, std::ostream& out, std::ostream& err)
{
    if (!args.empty()) throw UsageError("volumes takes no arguments");
    CatalogTree tree;
    const bool ok = LoadForCommand(context, tree, err);
    if (context.Format != RowFormat::Tsv)
        WriteVolumeRows(tree, context.Format, out);
    else
        for (NodeId v : tree.Children(CatalogTree::kRoot)) out << EscapeField(tree.Text(v)) << '\n';
    return ok ? kExitOk : kExitFailure;
}

int RunLs(const CliContext& context, const Args& args, std::ostream& out, std::ostream& err)
{
    if (args.size() > 1) throw UsageError("ls takes at most one node path");
    CatalogTree tree;
    const bool ok = LoadForCommand(context, tree, err);
    const Locale& locale = Locale::User();

    NodeId node = CatalogTree::kRoot;
    const std::string rootText = CatalogTree::kRootText;
    if (!args.empty() && args[0] != rootText && args[0] != rootText + "\\") {
        node = ResolveNodePath(tree, args[0], locale);
        if (node == kNoNode) {
            err << "Path not found!\n";
            return kExitFailure;
        }
    }

    if (context.Format != RowFormat::Tsv) {
        WriteFolderRows(tree, node, context.Format, out);
        return ok ? kExitOk : kExitFailure;
    }
    // The rows of the folder list, in its start order (Name, ascending).
    struct Row {
        RowKeys Keys;
        std::string Size, Date;
    };
    std::vector<Row> rows;
    for (NodeId child : tree.Children(node)) {
        Row row;
        row.Keys.ImageIndex = tree.ImageIndex(child);
        row.Keys.Caption = tree.Text(child);
        row.Keys.SubDir = true;
        row.Keys.Date = tree.Info(child).Date;
        row.Size = kSubDirText;
        rows.push_back(std::move(row));
    }
    if (node != CatalogTree::kRoot) {
        const FileList files = tree.Files(node);
        for (const TDetails& d : files) {
            Row row;
            row.Keys.ImageIndex = 4;
            row.Keys.Caption = files.Store().Name(d);
            row.Keys.SizeKB = d.SizeKB;
            row.Keys.Date = d.Date;
            row.Keys.MediaArtist = files.Store().Artist(d);
            row.Keys.MediaTitle = files.Store().Title(d);
            row.Size = FormatSize(d.SizeKB, locale);
            rows.push_back(std::move(row));
        }
    }
    const SortState sort;
    SortRowsStable(
        rows, [](const Row& r) { return r.Keys; }, sort, ListKind::FolderList, locale);
    for (const Row& row : rows) {
        std::string media(row.Keys.MediaArtist);
        media += row.Keys.MediaTitle;
        out << EscapeField(row.Keys.Caption) << '\t' << EscapeField(row.Size) << '\t'
            << EscapeField(FormatDate(row.Keys.Date, locale)) << '\t' << EscapeField(media) << '\n';
    }
    return ok ? kExitOk : kExitFailure;
}

int RunDump(const CliContext& context, const Args& args, std::ostream& out, std::ostream& err)
{
    if (args.size() != 1) throw UsageError("dump takes one catalog file");
    const std::string& path = args[0];
    if (context.Format != RowFormat::Tsv) return WriteDumpRows(path, context.Format, out, err);
    try {
        CatalogReader reader(path);
        std::string label;
        const TFolderInfo header = reader.ReadHeader(&label);
        out << EscapeField(label) << '\t' << DumpDate(header.Date) << '\n';
        CatalogReader::Record r;
        while (reader.ReadRecord(r)) {
            if (r.IsFolder) {
                out << "D\t" << r.Level << '\t' << EscapeField(r.Name) << '\t' << DumpDate(r.Date) << '\n';
            } else {
                out << "F\t" << EscapeField(r.Name) << '\t' << r.SizeKB << '\t' << DumpDate(r.Date);
                if (r.HasMedia) out << '\t' << EscapeField(r.ArtistText) << '\t' << EscapeField(r.TitleText);
                out << '\n';
            }
        }
    } catch (const CatalogError& e) {
        out.flush();
        err << path << ": " << e.what() << '\n';
        return kExitFailure;
    }
    return kExitOk;
}

}  // namespace ardvel::cli
