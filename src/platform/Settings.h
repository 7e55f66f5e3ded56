#pragma once

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace ardvel {

/// A settings file in the INI format: [Section] lines and Key=Value lines.
/// Sections and keys are matched ignoring ASCII case, as profile files are.
class IniFile {
public:
    /// Reads `path`; a missing or unreadable file gives an empty set.
    static IniFile Load(const std::string& path);

    std::optional<std::string> Get(const std::string& section, const std::string& key) const;
    std::string GetString(const std::string& section, const std::string& key, const std::string& fallback) const;
    /// A missing or non-numeric value gives `fallback`.
    long GetInteger(const std::string& section, const std::string& key, long fallback) const;
    /// Any number other than 0 is true.
    bool GetBool(const std::string& section, const std::string& key, bool fallback) const;

    void Set(const std::string& section, const std::string& key, const std::string& value);
    void SetInteger(const std::string& section, const std::string& key, long value);
    void SetBool(const std::string& section, const std::string& key, bool value);
    /// Drops a section with all its keys.
    void RemoveSection(const std::string& section);

    /// Writes the file atomically (temporary file, then rename), creating its
    /// folder. Returns false when it cannot be written.
    bool Save(const std::string& path) const;

private:
    struct Section {
        std::string Name;
        std::vector<std::pair<std::string, std::string>> Entries;
    };
    Section* FindSection(const std::string& name);
    const Section* FindSection(const std::string& name) const;
    std::vector<Section> sections_;
};

/// $XDG_CONFIG_HOME/ardvel/ardvel.ini (default ~/.config/ardvel/ardvel.ini).
std::string SettingsFilePath();

/// $XDG_DATA_HOME/ardvel/Catalogs/ (default ~/.local/share/ardvel/Catalogs/).
std::string DefaultCatalogFolder();

/// The value the settings file holds when the user never chose a folder.
inline constexpr const char* kDefaultCatalogFolderSetting = ".\\Catalogs\\";

/// The catalog folder a `General`/`CatalogFolder` value names: the default
/// value (or none) is DefaultCatalogFolder(); any other value is used as it
/// is (a relative one from the current directory), with a trailing "/".
std::string CatalogFolderFromSetting(const std::optional<std::string>& value);

/// A folder path with a trailing "/" added when it has none.
std::string WithTrailingSlash(std::string folder);

}  // namespace ardvel
