#include "window/BrowserSettings.h"

namespace ardvel::gui {

namespace {

int ViewStyleOf(const IniFile& ini, const char* key)
{
    const long style = ini.GetInteger("View", key, 3);
    return style >= 0 && style <= 3 ? static_cast<int>(style) : 3;
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
}

}  // namespace ardvel::gui
