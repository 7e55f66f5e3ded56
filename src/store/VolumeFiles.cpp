#include "store/VolumeFiles.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/SaveFile.h"
#include "store/VolumeName.h"

namespace ardvel {

namespace {

bool SameFile(const std::string& a, const std::string& b)
{
    struct stat sa {
    }, sb{};
    if (::lstat(a.c_str(), &sa) != 0 || ::lstat(b.c_str(), &sb) != 0) return false;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

bool Exists(const std::string& path)
{
    struct stat s {};
    return ::lstat(path.c_str(), &s) == 0;
}

}  // namespace

NodeId FindVolumeNamed(const CatalogTree& tree, std::string_view name, const Locale& locale)
{
    for (NodeId v : tree.Children(CatalogTree::kRoot))
        if (locale.EqualIgnoreCase(tree.Text(v), name)) return v;
    return kNoNode;
}

VolumeFileResult RenameVolumeFile(CatalogTree& tree, NodeId volume, const std::string& catalogFolder,
                                  std::string_view newName)
{
    if (!tree.IsAlive(volume) || tree.Level(volume) != 1) return VolumeFileResult::NoCatalogFile;
    const std::string& oldFile = tree.CatalogFileName(volume);
    if (oldFile.empty()) return VolumeFileResult::NoCatalogFile;
    const EncodedVolumeName encoded = EncodeNewVolumeName(newName);
    if (encoded.Refused)
        return encoded.Message == kTildeDigitRefusal ? VolumeFileResult::TildeDigit : VolumeFileResult::ImproperName;
    const std::string newFile = encoded.Stem + ".arv";
    const std::string from = catalogFolder + oldFile;
    const std::string to = catalogFolder + newFile;
    if (newFile == oldFile) return VolumeFileResult::Done;
    if (Exists(to) && !SameFile(from, to)) return VolumeFileResult::TargetExists;
    // A name differing only in letter case on a case-insensitive file system
    // is the same file: a plain rename is right there.
    const int error =
        SameFile(from, to) ? (::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno) : RenameNoReplace(from, to);
    if (error != 0) return error == EEXIST ? VolumeFileResult::TargetExists : VolumeFileResult::SystemError;
    tree.SetCatalogFileName(volume, newFile);
    return VolumeFileResult::Done;
}

const char* RenameFailureText(VolumeFileResult result) noexcept
{
    return result == VolumeFileResult::TildeDigit ? kTildeDigitRefusal : kImproperVolumeName;
}

VolumeFileResult DeleteVolumeFile(const CatalogTree& tree, NodeId volume, const std::string& catalogFolder)
{
    if (!tree.IsAlive(volume) || tree.Level(volume) != 1) return VolumeFileResult::NoCatalogFile;
    const std::string& file = tree.CatalogFileName(volume);
    if (file.empty()) return VolumeFileResult::NoCatalogFile;
    const std::string path = catalogFolder + file;
    struct stat s {};
    if (::lstat(path.c_str(), &s) != 0) return VolumeFileResult::SystemError;
    // Only a catalog file is removed; a folder of that name is left alone.
    if (S_ISDIR(s.st_mode)) return VolumeFileResult::SystemError;
    if (::unlink(path.c_str()) != 0) return VolumeFileResult::SystemError;
    return VolumeFileResult::Done;
}

}  // namespace ardvel
