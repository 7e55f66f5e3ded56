#include "catalog/CatalogSource.h"

#include <filesystem>
#include <system_error>

namespace ardvel {

namespace {

/// `folder` made absolute and lexically normal ("." and ".." resolved,
/// doubled "/" merged), symbolic links kept, without trailing "/".
std::string AbsoluteFolder(const std::string& folder)
{
    std::error_code ec;
    std::filesystem::path p = std::filesystem::absolute(folder.empty() ? "." : folder, ec);
    if (ec) p = folder;
    std::string text = p.lexically_normal().string();
    while (text.size() > 1 && text.back() == '/') text.pop_back();
    return text;
}

}  // namespace

std::string FolderDisplayName(const std::string& absoluteFolder)
{
    std::string text = absoluteFolder;
    while (text.size() > 1 && text.back() == '/') text.pop_back();
    if (text == "/") return text;
    const std::size_t slash = text.rfind('/');
    return slash == std::string::npos ? text : text.substr(slash + 1);
}

CatalogSource SelectSource(const std::string& folder, const CdRomConfig& config)
{
    CatalogSource source;
    source.ScanRoot = AbsoluteFolder(folder);
    if (const std::optional<CdRomMount> cd = FindCdRomRoot(source.ScanRoot, config.MountTable)) {
        source.SourceLabel = ReadVolumeLabel(cd->Device, cd->FsType == "udf");
        source.EjectWhenDone = true;
        source.Device = cd->Device;
    } else {
        source.SourceLabel = FolderDisplayName(source.ScanRoot);
    }
    return source;
}

}  // namespace ardvel
