#include "store/LoadCatalogs.h"

#include <fcntl.h>

#include "platform/FileDescriptor.h"
#include "platform/SaveFile.h"
#include "store/CatalogError.h"
#include "store/CatalogFile.h"
#include "store/VolumeName.h"

namespace ardvel {

namespace {

bool MatchesCatalogPattern(std::string_view name) noexcept
{
    if (name.size() < 4) return false;
    const char* e = name.data() + name.size() - 4;
    return e[0] == '.' && (e[1] | 0x20) == 'a' && (e[2] | 0x20) == 'r' && (e[3] | 0x20) == 'v';
}

}  // namespace

bool HasExactCatalogExtension(std::string_view name) noexcept
{
    return name.size() >= 4 && name.substr(name.size() - 4) == ".arv";
}

std::vector<std::string> ListCatalogEntries(const std::string& folder)
{
    std::vector<std::string> names;
    DirectoryStream dir(
        FileDescriptor(::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)));
    if (!dir.IsOpen()) return names;
    while (const dirent* entry = dir.Next()) {
        const std::string_view name = entry->d_name;
        if (MatchesCatalogPattern(name)) names.emplace_back(name);
    }
    return names;
}

NodeId LoadCatalogFile(CatalogTree& tree, const std::string& path, const std::string& fileName, std::string volumeName)
{
    CatalogReader reader(path);
    const TFolderInfo header = reader.ReadHeader();
    const NodeId volume = tree.AddVolume(std::move(volumeName), header.Date);
    tree.SetCatalogFileName(volume, fileName);
    reader.ReadTree(tree, volume);
    return volume;
}

void SortCatalogTree(CatalogTree& tree, const Locale& locale)
{
    tree.SortTree(CatalogTree::kRoot, [&](std::string_view a, std::string_view b) { return locale.Less(a, b); });
}

LoadResult LoadCatalogs(CatalogTree& tree, const std::string& catalogFolder, const Locale& locale,
                        const LoadProgress& progress)
{
    LoadResult result;
    tree.RemoveAllVolumes();
    RemoveDeadSaveFiles(catalogFolder);
    const std::vector<std::string> entries = ListCatalogEntries(catalogFolder);
    for (const std::string& name : entries)
        if (HasExactCatalogExtension(name)) ++result.ExpectedCount;
    if (result.ExpectedCount == 0) return result;

    std::size_t position = 0;
    for (const std::string& name : entries) {
        const std::string path = catalogFolder + name;
        if (position < result.ExpectedCount) ++position;
        if (progress) progress(position, result.ExpectedCount);
        try {
            LoadCatalogFile(tree, path, name, DecodeVolumeName(name));
        } catch (const CatalogError& e) {
            result.Failures.push_back({path, e.what()});
        }
        ++result.FilesRead;
    }
    SortCatalogTree(tree, locale);
    return result;
}

}  // namespace ardvel
