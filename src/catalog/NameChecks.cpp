#include "catalog/NameChecks.h"

#include <sys/stat.h>

#include "store/CatalogError.h"
#include "store/CatalogFile.h"
#include "store/LoadCatalogs.h"

namespace ardvel {

bool VolumeNameIsFree(const CatalogTree& tree, std::string_view name, UserPrompt& prompt, const Locale& locale)
{
    for (NodeId volume : tree.Children(CatalogTree::kRoot)) {
        if (locale.EqualIgnoreCase(tree.Text(volume), name)) {
            prompt.ShowError(kVolumeNameTaken);
            return false;
        }
    }
    return true;
}

bool CatalogFileNameIsFree(const CatalogTree& tree, const std::string& catalogFolder, std::string_view stem,
                           UserPrompt& prompt)
{
    const std::string fileName = std::string(stem) + ".arv";
    bool taken = false;
    for (NodeId volume : tree.Children(CatalogTree::kRoot))
        if (tree.CatalogFileName(volume) == fileName) taken = true;
    struct stat info {};
    if (!taken && ::lstat((catalogFolder + fileName).c_str(), &info) == 0) taken = true;
    if (taken) prompt.ShowError(kVolumeNameTaken);
    return !taken;
}

bool IsAlreadyCatalogued(const std::string& catalogFolder, std::string_view label)
{
    for (const std::string& name : ListCatalogEntries(catalogFolder)) {
        if (!HasExactCatalogExtension(name)) continue;
        // Only the header's first String, the label, is read. A catalog that
        // cannot be read was reported when loading and is left out here, as
        // there; it must not block every new cataloguing.
        try {
            CatalogReader reader(catalogFolder + name);
            if (reader.ReadString() == label) return true;
        } catch (const CatalogError&) {
        }
    }
    return false;
}

}  // namespace ardvel
