#include "cli/CliCommon.h"

#include "platform/Settings.h"

namespace ardvel::cli {

std::string EscapeField(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '\t': out += "\\t"; break;
        case '\n': out += "\\n"; break;
        case '\\': out += "\\\\"; break;
        default: out += c;
        }
    }
    return out;
}

std::string ResolveCatalogFolder(const CliContext& context)
{
    if (context.CatalogFolder) return WithTrailingSlash(*context.CatalogFolder);
    const IniFile ini = IniFile::Load(SettingsFilePath());
    return CatalogFolderFromSetting(ini.Get("General", "CatalogFolder"));
}

}  // namespace ardvel::cli
