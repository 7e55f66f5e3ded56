#include "cli/CliCommon.h"

#include <limits>

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

std::optional<std::int64_t> ParseWhole(const std::string& text)
{
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    if (i == text.size()) return std::nullopt;
    std::int64_t value = 0;
    constexpr std::int64_t kLimit = std::numeric_limits<std::int64_t>::max() / 10 - 1;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
        if (value < kLimit) value = value * 10 + (text[i] - '0');
    }
    return negative ? -value : value;
}

std::string ResolveCatalogFolder(const CliContext& context)
{
    if (context.CatalogFolder) return WithTrailingSlash(*context.CatalogFolder);
    const IniFile ini = IniFile::Load(SettingsFilePath());
    return CatalogFolderFromSetting(ini.Get("General", "CatalogFolder"));
}

}  // namespace ardvel::cli
