#include "platform/Settings.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace ardvel {

namespace {

bool EqualAsciiNoCase(const std::string& a, const std::string& b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x + 32);
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y + 32);
        if (x != y) return false;
    }
    return true;
}

std::string Trim(const std::string& s)
{
    const auto b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) return {};
    const auto e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}

std::string HomeSubfolder(const char* xdgVariable, const char* homeRelative)
{
    const char* xdg = std::getenv(xdgVariable);
    if (xdg && *xdg == '/') return std::string(xdg) + "/ardvel/";
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : ".") + "/" + homeRelative + "/ardvel/";
}

bool MakeFolders(const std::string& folder)
{
    for (std::size_t i = 1; i <= folder.size(); ++i) {
        if (i == folder.size() || folder[i] == '/') {
            const std::string part = folder.substr(0, i);
            if (::mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) return false;
        }
    }
    return true;
}

}  // namespace

IniFile IniFile::Load(const std::string& path)
{
    IniFile ini;
    std::ifstream in(path);
    std::string line;
    Section* current = nullptr;
    while (std::getline(in, line)) {
        const std::string t = Trim(line);
        if (t.empty() || t[0] == ';') continue;
        if (t.front() == '[' && t.back() == ']') {
            const std::string name = Trim(t.substr(1, t.size() - 2));
            current = ini.FindSection(name);
            if (!current) {
                ini.sections_.push_back({name, {}});
                current = &ini.sections_.back();
            }
            continue;
        }
        const auto eq = t.find('=');
        if (!current || eq == std::string::npos) continue;
        current->Entries.emplace_back(Trim(t.substr(0, eq)), Trim(t.substr(eq + 1)));
    }
    return ini;
}

IniFile::Section* IniFile::FindSection(const std::string& name)
{
    for (auto& s : sections_)
        if (EqualAsciiNoCase(s.Name, name)) return &s;
    return nullptr;
}

const IniFile::Section* IniFile::FindSection(const std::string& name) const
{
    for (const auto& s : sections_)
        if (EqualAsciiNoCase(s.Name, name)) return &s;
    return nullptr;
}

std::optional<std::string> IniFile::Get(const std::string& section, const std::string& key) const
{
    if (const Section* s = FindSection(section))
        for (const auto& [k, v] : s->Entries)
            if (EqualAsciiNoCase(k, key)) return v;
    return std::nullopt;
}

std::string IniFile::GetString(const std::string& section, const std::string& key, const std::string& fallback) const
{
    return Get(section, key).value_or(fallback);
}

long IniFile::GetInteger(const std::string& section, const std::string& key, long fallback) const
{
    const auto v = Get(section, key);
    if (!v || v->empty()) return fallback;
    char* end = nullptr;
    errno = 0;
    const long n = std::strtol(v->c_str(), &end, 10);
    if (errno != 0 || end == v->c_str()) return fallback;
    return n;
}

bool IniFile::GetBool(const std::string& section, const std::string& key, bool fallback) const
{
    return GetInteger(section, key, fallback ? 1 : 0) != 0;
}

void IniFile::Set(const std::string& section, const std::string& key, const std::string& value)
{
    Section* s = FindSection(section);
    if (!s) {
        sections_.push_back({section, {}});
        s = &sections_.back();
    }
    for (auto& [k, v] : s->Entries) {
        if (EqualAsciiNoCase(k, key)) {
            v = value;
            return;
        }
    }
    s->Entries.emplace_back(key, value);
}

void IniFile::SetInteger(const std::string& section, const std::string& key, long value)
{
    Set(section, key, std::to_string(value));
}

void IniFile::SetBool(const std::string& section, const std::string& key, bool value)
{
    Set(section, key, value ? "1" : "0");
}

void IniFile::RemoveSection(const std::string& section)
{
    std::erase_if(sections_, [&](const Section& s) { return EqualAsciiNoCase(s.Name, section); });
}

bool IniFile::Save(const std::string& path) const
{
    const auto slash = path.rfind('/');
    if (slash != std::string::npos && !MakeFolders(path.substr(0, slash))) return false;
    std::ostringstream out;
    for (const auto& s : sections_) {
        out << '[' << s.Name << "]\n";
        for (const auto& [k, v] : s.Entries) out << k << '=' << v << '\n';
        out << '\n';
    }
    const std::string temp = path + ".tmp";
    {
        std::ofstream file(temp, std::ios::trunc);
        file << out.str();
        file.flush();
        if (!file) {
            std::remove(temp.c_str());
            return false;
        }
    }
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        std::remove(temp.c_str());
        return false;
    }
    return true;
}

std::string SettingsFilePath()
{
    return HomeSubfolder("XDG_CONFIG_HOME", ".config") + "ardvel.ini";
}

std::string DefaultCatalogFolder()
{
    return HomeSubfolder("XDG_DATA_HOME", ".local/share") + "Catalogs/";
}

std::string WithTrailingSlash(std::string folder)
{
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder;
}

std::string CatalogFolderFromSetting(const std::optional<std::string>& value)
{
    if (!value || value->empty() || *value == kDefaultCatalogFolderSetting) return DefaultCatalogFolder();
    return WithTrailingSlash(*value);
}

}  // namespace ardvel
