#include "window/BrowserSettings.h"

#include <algorithm>

namespace ardvel::gui {

namespace {

constexpr int kMaxWidth = 100000;

int ViewStyleOf(const IniFile& ini, const char* key)
{
    const long style = ini.GetInteger("View", key, 3);
    return style >= 0 && style <= 3 ? static_cast<int>(style) : 3;
}

/// "12,300,4" as numbers; empty when any part is not a width.
std::vector<int> WidthsOf(const IniFile& ini, const char* key)
{
    std::vector<int> widths;
    const std::optional<std::string> text = ini.Get("View", key);
    if (!text || text->empty()) return widths;
    std::size_t start = 0;
    while (start <= text->size()) {
        const std::size_t end = std::min(text->find(',', start), text->size());
        const std::string part = text->substr(start, end - start);
        if (part.empty() || part.size() > 6 || part.find_first_not_of("0123456789") != std::string::npos) return {};
        const int width = std::stoi(part);
        if (width < 1 || width > kMaxWidth) return {};
        widths.push_back(width);
        start = end + 1;
    }
    return widths;
}

void SetWidths(IniFile& ini, const char* key, const std::vector<int>& widths)
{
    if (widths.empty()) return;
    std::string text;
    for (int width : widths) {
        if (!text.empty()) text += ',';
        text += std::to_string(width);
    }
    ini.Set("View", key, text);
}

}  // namespace

ViewSettings ReadViewSettings(const IniFile& ini)
{
    ViewSettings s;
    s.CatalogFolder = CatalogFolderFromSetting(ini.Get("General", "CatalogFolder"));
    s.ListViewStyle = ViewStyleOf(ini, "LV_ViewStyle");
    s.SearchViewStyle = ViewStyleOf(ini, "SLV_ViewStyle");
    s.StdBar = ini.GetBool("View", "StdBar", true);
    s.PathBar = ini.GetBool("View", "PathBar", true);
    s.AutoAdjust = ini.GetBool("View", "AutoAdjust", true);
    s.IgnoreAccents = ini.GetBool("Search", "IgnoreAccents", false);
    if (ini.Get("Search", "SearchAsYouType")) s.SearchAsYouType = ini.GetBool("Search", "SearchAsYouType", true);
    s.WindowGeometry = ini.GetString("View", "WindowGeometry", "");
    s.SplitterSizes = WidthsOf(ini, "SplitterSizes");
    s.ListColumns = WidthsOf(ini, "LV_ColumnWidths");
    s.SearchColumns = WidthsOf(ini, "SLV_ColumnWidths");
    return s;
}

void WriteViewSettings(IniFile& ini, const ViewSettings& s)
{
    ini.Set("General", "CatalogFolder", WithTrailingSlash(s.CatalogFolder));
    ini.SetInteger("View", "LV_ViewStyle", s.ListViewStyle);
    ini.SetInteger("View", "SLV_ViewStyle", s.SearchViewStyle);
    ini.SetBool("View", "StdBar", s.StdBar);
    ini.SetBool("View", "PathBar", s.PathBar);
    ini.SetBool("View", "AutoAdjust", s.AutoAdjust);
    ini.SetBool("Search", "IgnoreAccents", s.IgnoreAccents);
    if (s.SearchAsYouType) ini.SetBool("Search", "SearchAsYouType", *s.SearchAsYouType);
    if (!s.WindowGeometry.empty()) ini.Set("View", "WindowGeometry", s.WindowGeometry);
    SetWidths(ini, "SplitterSizes", s.SplitterSizes);
    SetWidths(ini, "LV_ColumnWidths", s.ListColumns);
    SetWidths(ini, "SLV_ColumnWidths", s.SearchColumns);
}

}  // namespace ardvel::gui
