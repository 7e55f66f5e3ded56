#include "cli/CatalogFolder.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <ostream>

#include "platform/Settings.h"
#include "store/LoadCatalogs.h"
#include "store/VolumeName.h"

namespace ardvel::cli {

std::vector<std::string> LoadableCatalogEntries(const std::string& catalogFolder)
{
    std::vector<std::string> entries = ListCatalogEntries(catalogFolder);
    if (std::none_of(entries.begin(), entries.end(),
                     [](const std::string& entry) { return HasExactCatalogExtension(entry); }))
        entries.clear();
    return entries;
}

std::optional<std::string> CatalogFolderToSaveIn(const CliContext& context, std::ostream& err)
{
    const std::string catalogFolder = ResolveCatalogFolder(context);
    if (!context.CatalogFolder && catalogFolder == DefaultCatalogFolder()) {
        std::error_code ec;
        std::filesystem::create_directories(catalogFolder, ec);
    }
    struct stat info {};
    const int folderError = ::stat(catalogFolder.c_str(), &info) != 0 ? errno : S_ISDIR(info.st_mode) ? 0 : ENOTDIR;
    if (folderError != 0) {
        err << "Catalog folder " << catalogFolder << ": " << std::strerror(folderError) << '\n';
        return std::nullopt;
    }
    return catalogFolder;
}

void AddVolumesByFileName(CatalogTree& tree, const std::string& catalogFolder)
{
    for (const std::string& name : LoadableCatalogEntries(catalogFolder))
        tree.SetCatalogFileName(tree.AddVolume(DecodeVolumeName(name), 0), name);
}

}  // namespace ardvel::cli
