#include "cli/CliCommon.h"

#include <fcntl.h>

#include <cerrno>
#include <cstring>
#include <limits>

#include "platform/FileDescriptor.h"
#include "platform/Settings.h"
#include "store/CatalogError.h"
#include "store/TabFields.h"

namespace ardvel::cli {

std::string EscapeField(std::string_view text)
{
    return EscapeTabField(text);
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

void CheckCatalogFolder(const std::string& folder)
{
    std::string shown = folder;
    while (shown.size() > 1 && shown.back() == '/') shown.pop_back();
    const FileDescriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.IsOpen()) return;
    if (errno == ENOENT) throw CatalogError("Catalog folder not found", shown);
    throw CatalogError(std::strerror(errno), shown);
}

std::string ResolveCatalogFolder(const CliContext& context)
{
    if (context.CatalogFolder) return WithTrailingSlash(*context.CatalogFolder);
    const IniFile ini = IniFile::Load(SettingsFilePath());
    return CatalogFolderFromSetting(ini.Get("General", "CatalogFolder"));
}

void TakeYesNo(const std::string& arg, std::optional<bool>& answer)
{
    const bool yes = arg == "--yes";
    if (answer && *answer != yes) throw UsageError("--yes and --no exclude each other");
    answer = yes;
}

}  // namespace ardvel::cli
