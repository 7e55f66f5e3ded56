#include "catalog/UpdateSource.h"

#include <sys/stat.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "catalog/CatalogSource.h"
#include "catalog/StoredText.h"
#include "catalog/VolumeSources.h"
#include "platform/TextEncoding.h"

namespace ardvel {

namespace {

bool IsFolder(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string RealPath(const std::string& path)
{
    char resolved[PATH_MAX];
    return ::realpath(path.c_str(), resolved) ? std::string(resolved) : std::string();
}

}  // namespace

std::string LabelLinkName(std::string_view label)
{
    std::string out;
    for (std::size_t i = 0; i < label.size();) {
        const auto c = static_cast<unsigned char>(label[i]);
        if (c >= 0x80) {
            const std::size_t n = Utf8SequenceLength(label.substr(i));
            if (n > 1) {
                out.append(label.substr(i, n));
                i += n;
                continue;
            }
        }
        if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
            (c != 0 && std::strchr("#+-.:=@_", c))) {
            out += static_cast<char>(c);
        } else {
            char code[5];
            std::snprintf(code, sizeof code, "\\x%02x", c);
            out += code;
        }
        ++i;
    }
    return out;
}

std::string FindMountByLabel(std::string_view label, const std::string& mountTable, const std::string& byLabelFolder)
{
    if (label.empty()) return {};
    const std::string device = RealPath(byLabelFolder + "/" + LabelLinkName(label));
    std::string byDevice, byName;
    // A later entry on a mount point hides an earlier one: the last match wins.
    for (const MountEntry& m : ReadMountTable(mountTable)) {
        if (IsPseudoFileSystem(m.FsType) || m.MountPoint == "/") continue;
        if (!device.empty() && (m.Source == device || RealPath(m.Source) == device)) byDevice = m.MountPoint;
        if (AsStored(FolderDisplayName(m.MountPoint)) == label) byName = m.MountPoint;
    }
    return byDevice.empty() ? byName : byDevice;
}

std::string ProposeUpdateFolder(const std::string& catalogPath, TDateTime volumeDate, std::string_view label,
                                const UpdateSourceConfig& config)
{
    if (!config.SettingsFile.empty()) {
        const auto remembered = RememberedVolumeSource(config.SettingsFile, catalogPath, volumeDate);
        if (remembered && IsFolder(*remembered)) return *remembered;
    }
    return FindMountByLabel(label, config.MountTable, config.ByLabelFolder);
}

}  // namespace ardvel
