#include "cli/EntryOutput.h"

#include <ostream>
#include <vector>

#include "cli/CliCommon.h"
#include "platform/Locale.h"
#include "search/SearchEntries.h"
#include "store/CatalogError.h"
#include "store/CatalogFile.h"
#include "store/EntryRows.h"
#include "store/RowSort.h"
#include "store/VolumeName.h"

namespace ardvel::cli {

void WriteVolumeRows(const CatalogTree& tree, RowFormat format, std::ostream& out)
{
    StreamSink sink(out);
    RowWriter rows = EntryRowWriter(sink, format);
    for (NodeId v : tree.Children(CatalogTree::kRoot)) {
        const std::string_view name = tree.Text(v);
        WriteEntry(rows, {EntryType::Volume, name, name, name, 0, tree.Info(v).Date, false, {}, {}});
    }
    rows.Finish();
}

void WriteFolderRows(const CatalogTree& tree, NodeId node, RowFormat format, std::ostream& out)
{
    struct Row {
        RowKeys Keys;
        EntryRow Entry;
    };
    const std::string base = EntryPathOf(tree, node);
    const std::string_view volume = node == CatalogTree::kRoot ? std::string_view() : tree.Text(tree.VolumeOf(node));
    std::vector<Row> rows;
    std::vector<std::string> paths;  // kept apart: rows move while sorting
    paths.reserve(tree.Children(node).size() + tree.Files(node).size());
    const auto pathOf = [&](std::string_view name) -> std::string_view {
        paths.push_back(base.empty() ? std::string(name) : base + "/" + std::string(name));
        return paths.back();
    };
    for (NodeId child : tree.Children(node)) {
        Row row;
        row.Keys = {tree.ImageIndex(child), tree.Text(child), true, 0, tree.Info(child).Date, {}, {}, {}, {}};
        const bool isVolume = node == CatalogTree::kRoot;
        row.Entry = {isVolume ? EntryType::Volume : EntryType::Folder,
                     isVolume ? tree.Text(child) : volume,
                     pathOf(tree.Text(child)),
                     tree.Text(child),
                     0,
                     tree.Info(child).Date,
                     false,
                     {},
                     {}};
        rows.push_back(row);
    }
    if (node != CatalogTree::kRoot) {
        const FileList files = tree.Files(node);
        const VolumeStore& store = files.Store();
        for (const TDetails& d : files) {
            Row row;
            row.Keys = {4, store.Name(d), false, d.SizeKB, d.Date, store.Artist(d), store.Title(d), {}, {}};
            row.Entry = {EntryType::File,   volume,          pathOf(store.Name(d)), store.Name(d), d.SizeKB, d.Date,
                         store.HasMedia(d), store.Artist(d), store.Title(d)};
            rows.push_back(row);
        }
    }
    SortRowsStable(
        rows, [](const Row& r) { return r.Keys; }, SortState{}, ListKind::FolderList, Locale::User());
    StreamSink sink(out);
    RowWriter writer = EntryRowWriter(sink, format);
    for (const Row& row : rows) WriteEntry(writer, row.Entry);
    writer.Finish();
}

void WriteSearchRows(const SearchResults& results, RowFormat format, std::ostream& out)
{
    StreamSink sink(out);
    RowWriter rows = EntryRowWriter(sink, format);
    WriteSearchEntries(results, rows);
    rows.Finish();
}

int WriteDumpRows(const std::string& path, RowFormat format, std::ostream& out, std::ostream& err)
{
    const std::size_t slash = path.rfind('/');
    const std::string volume = DecodeVolumeName(slash == std::string::npos ? path : path.substr(slash + 1));
    StreamSink sink(out);
    RowWriter rows = EntryRowWriter(sink, format);
    try {
        CatalogReader reader(path);
        WriteCatalogEntries(reader, volume, rows);
    } catch (const CatalogError& e) {
        rows.Finish();
        out.flush();
        err << path << ": " << e.what() << '\n';
        return kExitFailure;
    }
    rows.Finish();
    return kExitOk;
}

}  // namespace ardvel::cli
