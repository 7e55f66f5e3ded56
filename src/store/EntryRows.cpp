#include "store/EntryRows.h"

#include <vector>

#include "store/ExportFormats.h"
#include "store/TreeWalk.h"

namespace ardvel {

void WriteEntry(RowWriter& rows, const EntryRow& entry)
{
    static constexpr std::string_view kTypes[] = {"volume", "folder", "file"};
    rows.Text(kTypes[static_cast<int>(entry.Type)]).Text(entry.Volume).Text(entry.Path).Text(entry.Name);
    if (entry.Type == EntryType::File)
        rows.Integer(std::int64_t{entry.SizeKB} * 1024).Integer(entry.SizeKB);
    else
        rows.Null().Null();
    rows.Date(entry.Date);
    if (entry.HasMedia)
        rows.Text(entry.ArtistText).Text(BareTitle(entry.TitleText));
    else
        rows.Null().Null();
    rows.EndRow();
}

std::string EntryPathOf(const CatalogTree& tree, NodeId node)
{
    std::vector<NodeId> chain;
    for (NodeId n = node; n != CatalogTree::kRoot && n != kNoNode; n = tree.Parent(n)) chain.push_back(n);
    std::string path;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        if (!path.empty()) path += '/';
        path += tree.Text(*it);
    }
    return path;
}

void WriteCatalogEntries(CatalogReader& reader, std::string_view volume, RowWriter& rows)
{
    const TFolderInfo header = reader.ReadHeader();
    std::string path(volume);
    WriteEntry(rows, {EntryType::Volume, volume, path, volume, 0, header.Date, false, {}, {}});
    // Path length of the current node at each tree level (the volume's
    // first), placing folders by their level as loading does.
    std::vector<std::size_t> lengths{path.size()};
    CatalogReader::Record r;
    while (reader.ReadRecord(r)) {
        if (r.IsFolder) {
            const std::size_t parentLevel = r.Level < 2 ? 1 : static_cast<std::size_t>(r.Level - 1);
            while (lengths.size() > parentLevel && lengths.size() > 1) lengths.pop_back();
        }
        path.resize(lengths.back());
        path += '/';
        path += r.Name;
        if (r.IsFolder) {
            lengths.push_back(path.size());
            WriteEntry(rows, {EntryType::Folder, volume, path, r.Name, 0, r.Date, false, {}, {}});
        } else {
            WriteEntry(
                rows, {EntryType::File, volume, path, r.Name, r.SizeKB, r.Date, r.HasMedia, r.ArtistText, r.TitleText});
        }
    }
}

void WriteVolumeEntries(const CatalogTree& tree, NodeId volume, RowWriter& rows)
{
    const std::string_view name = tree.Text(volume);
    std::string path(name);
    WriteEntry(rows, {EntryType::Volume, name, path, name, 0, tree.Info(volume).Date, false, {}, {}});
    std::vector<std::size_t> pathLengths;  // of the folders being walked, by depth
    ForEachFolderPreOrder(tree, volume, [&](NodeId folder, std::size_t depth) {
        if (depth > 0) {
            path.resize(pathLengths[depth - 1]);
            path += '/';
            path += tree.Text(folder);
            WriteEntry(rows,
                       {EntryType::Folder, name, path, tree.Text(folder), 0, tree.Info(folder).Date, false, {}, {}});
        }
        pathLengths.resize(depth);
        pathLengths.push_back(path.size());
        const FileList files = tree.Files(folder);
        for (const TDetails& d : files) {
            const VolumeStore& store = files.Store();
            path.resize(pathLengths[depth]);
            path += '/';
            path += store.Name(d);
            WriteEntry(rows, {EntryType::File, name, path, store.Name(d), d.SizeKB, d.Date, store.HasMedia(d),
                              store.Artist(d), store.Title(d)});
        }
    });
}

}  // namespace ardvel
