#include "catalog/VolumeSources.h"

#include <sys/stat.h>

#include <cinttypes>
#include <cstdio>
#include <filesystem>

#include "store/LoadCatalogs.h"

namespace ardvel {

namespace {

/// Settings values lose blanks at both ends and end at a line break; paths
/// may hold both, so such characters are written as \xNN (and "\" as \\).
std::string EscapeValue(const std::string& text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        const bool edge = i == 0 || i + 1 == text.size();
        if (c == '\\') {
            out += "\\\\";
        } else if (c < 0x20 || c == 0x7F || (edge && c == ' ')) {
            char code[5];
            std::snprintf(code, sizeof code, "\\x%02X", c);
            out += code;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

std::string UnescapeValue(const std::string& text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == '\\') {
            out += '\\';
            ++i;
        } else if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] == 'x' && HexDigit(text[i + 2]) >= 0 &&
                   HexDigit(text[i + 3]) >= 0) {
            out += static_cast<char>(HexDigit(text[i + 2]) * 16 + HexDigit(text[i + 3]));
            i += 3;
        } else {
            out += text[i];
        }
    }
    return out;
}

struct FileId {
    std::uint64_t Device = 0, Inode = 0;
};

std::optional<FileId> IdOf(const std::string& path)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return std::nullopt;
    return FileId{info.st_dev, info.st_ino};
}

bool Same(const VolumeSource& s, const FileId& id)
{
    return s.Device == id.Device && s.Inode == id.Inode;
}

/// Entries must not depend on the working folder of the program that made
/// them.
std::string Absolute(const std::string& path)
{
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(path, ec);
    return ec ? path : absolute.lexically_normal().string();
}

std::string FolderOfPath(const std::string& path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace

VolumeSources VolumeSources::Read(const IniFile& ini)
{
    VolumeSources sources;
    for (int n = 1;; ++n) {
        const std::string index = std::to_string(n);
        const auto catalog = ini.Get(kSourcesSection, "Catalog" + index);
        const auto folder = ini.Get(kSourcesSection, "Folder" + index);
        const auto file = ini.Get(kSourcesSection, "File" + index);
        if (!catalog || !folder || !file) break;
        VolumeSource s;
        s.CatalogPath = UnescapeValue(*catalog);
        s.Folder = UnescapeValue(*folder);
        if (std::sscanf(file->c_str(), "%" SCNu64 ":%" SCNu64 ":%" SCNu32, &s.Device, &s.Inode, &s.VolumeDate) != 3)
            continue;
        sources.entries_.push_back(std::move(s));
    }
    return sources;
}

void VolumeSources::Write(IniFile& ini) const
{
    ini.RemoveSection(kSourcesSection);
    int n = 0;
    for (const VolumeSource& s : entries_) {
        const std::string index = std::to_string(++n);
        ini.Set(kSourcesSection, "Catalog" + index, EscapeValue(s.CatalogPath));
        ini.Set(kSourcesSection, "Folder" + index, EscapeValue(s.Folder));
        char file[80];
        std::snprintf(file, sizeof file, "%" PRIu64 ":%" PRIu64 ":%" PRIu32, s.Device, s.Inode, s.VolumeDate);
        ini.Set(kSourcesSection, "File" + index, file);
    }
}

std::optional<std::string> VolumeSources::FolderOf(const std::string& path, TDateTime volumeDate) const
{
    const std::string catalogPath = Absolute(path);
    const std::uint32_t date = DateTimeToDos(volumeDate);
    const std::optional<FileId> id = IdOf(catalogPath);
    for (const VolumeSource& s : entries_)
        if (s.VolumeDate == date && (s.CatalogPath == catalogPath || (id && Same(s, *id)))) return s.Folder;
    return std::nullopt;
}

void VolumeSources::Remember(const std::string& path, TDateTime volumeDate, const std::string& folder)
{
    const std::string catalogPath = Absolute(path);
    Tidy();
    const std::optional<FileId> id = IdOf(catalogPath);
    std::erase_if(entries_,
                  [&](const VolumeSource& s) { return s.CatalogPath == catalogPath || (id && Same(s, *id)); });
    if (!id) return;
    entries_.push_back({catalogPath, folder, id->Device, id->Inode, DateTimeToDos(volumeDate)});
}

void VolumeSources::Tidy()
{
    std::vector<VolumeSource> kept;
    for (VolumeSource& s : entries_) {
        const std::optional<FileId> id = IdOf(s.CatalogPath);
        if (id && Same(s, *id)) {
            kept.push_back(std::move(s));
            continue;
        }
        // Renamed within its catalog folder: found by its inode.
        const std::string folder = FolderOfPath(s.CatalogPath);
        for (const std::string& name : ListCatalogEntries(folder)) {
            const std::optional<FileId> other = IdOf(folder + name);
            if (other && Same(s, *other)) {
                s.CatalogPath = folder + name;
                kept.push_back(std::move(s));
                break;
            }
        }
    }
    entries_ = std::move(kept);
}

bool RememberVolumeSource(const std::string& settingsFile, const std::string& catalogPath, TDateTime volumeDate,
                          const std::string& folder)
{
    IniFile ini = IniFile::Load(settingsFile);
    VolumeSources sources = VolumeSources::Read(ini);
    sources.Remember(catalogPath, volumeDate, folder);
    sources.Write(ini);
    return ini.Save(settingsFile);
}

std::optional<std::string> RememberedVolumeSource(const std::string& settingsFile, const std::string& catalogPath,
                                                  TDateTime volumeDate)
{
    return VolumeSources::Read(IniFile::Load(settingsFile)).FolderOf(catalogPath, volumeDate);
}

}  // namespace ardvel
