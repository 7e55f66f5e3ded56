#include "cli/VolumeLookup.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <ostream>

#include "cli/CatalogFolder.h"
#include "platform/Locale.h"
#include "store/LoadCatalogs.h"
#include "store/VolumeName.h"

namespace ardvel::cli {

std::string FindVolumeFile(const std::string& catalogFolder, std::string_view name)
{
    std::string found;
    for (const std::string& entry : LoadableCatalogEntries(catalogFolder)) {
        const std::string volume = DecodeVolumeName(entry);
        if (volume == name) return entry;
        if (found.empty() && Locale::User().EqualIgnoreCase(volume, name)) found = entry;
    }
    return found;
}

NodeId LoadVolumeNamed(CatalogTree& tree, const std::string& catalogFolder, std::string_view name, std::ostream& err)
{
    const std::string file = FindVolumeFile(catalogFolder, name);
    if (file.empty()) {
        err << name << ": no such volume\n";
        return kNoNode;
    }
    return LoadCatalogFile(tree, catalogFolder + file, file, DecodeVolumeName(file));
}

bool CheckFolderToScan(const std::string& folder, std::ostream& err)
{
    struct stat info {};
    const int error = ::stat(folder.c_str(), &info) != 0 ? errno : S_ISDIR(info.st_mode) ? 0 : ENOTDIR;
    if (error != 0) err << folder << ": " << std::strerror(error) << '\n';
    return error == 0;
}

}  // namespace ardvel::cli
