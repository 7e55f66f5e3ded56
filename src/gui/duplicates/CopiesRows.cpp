#include "duplicates/CopiesRows.h"

#include <string>

#include "store/NodePath.h"

namespace ardvel::gui {

namespace {

void AddFileRow(SearchResults& results, const CatalogTree& tree, NodeId folder, std::uint32_t file)
{
    const NodeId volume = tree.VolumeOf(folder);
    const std::string nodePath = GetNodePath(tree, folder);
    // The path within the volume, as the search writes it: "A\B\" or "".
    const std::string_view path = std::string_view(nodePath).substr(tree.Text(volume).size() + 2);
    const VolumeStore& store = tree.Store(volume);
    const TDetails& d = store.Files[file];
    results.AddFile(results.AddPlace(tree.Text(volume), path), store.Name(d), d.SizeKB, d.Date, store.Artist(d),
                    store.Title(d));
}

}  // namespace

FileRecordRef FileOfResultRow(const CatalogTree& tree, const SearchResults& results, std::size_t row,
                              const Locale& locale)
{
    if (row >= results.size() || results.IsFolder(row)) return {};
    std::string folderPath(results.Volume(row));
    folderPath += ":\\";
    folderPath += results.Path(row);
    const NodeId folder = ResolveNodePath(tree, folderPath, locale);
    if (folder == kNoNode || folder == CatalogTree::kRoot) return {};
    const std::uint32_t file = FindFileRecord(tree, folder, results.Name(row), locale);
    return file == kNoFile ? FileRecordRef{} : FileRecordRef{folder, file};
}

void AddGroupRows(SearchResults& results, const CatalogTree& tree, FileRecordRef file,
                  const std::vector<DuplicateRecord>& copies)
{
    AddFileRow(results, tree, file.Folder, file.File);
    for (const DuplicateRecord& r : copies) AddFileRow(results, tree, r.Node, r.File);
}

}  // namespace ardvel::gui
