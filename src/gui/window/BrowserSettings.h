#pragma once

#include <string>

#include "platform/Settings.h"

namespace ardvel::gui {

/// What ardvel.ini keeps between runs.
struct ViewSettings {
    std::string CatalogFolder;  ///< the folder as used, ending in "/"
    int ListViewStyle = 3;      ///< `View`/`LV_ViewStyle`
    int SearchViewStyle = 3;    ///< `View`/`SLV_ViewStyle`
    bool StdBar = true;
    bool PathBar = true;
    bool AutoAdjust = true;
};

/// The settings a file holds; missing or unreadable keys give the
/// defaults, and a view style outside 0 to 3 is taken as 3 (details).
ViewSettings ReadViewSettings(const IniFile& ini);

/// Sets the keys, in the order General/CatalogFolder, View/LV_ViewStyle,
/// SLV_ViewStyle, StdBar, PathBar, AutoAdjust; other keys are kept.
void WriteViewSettings(IniFile& ini, const ViewSettings& settings);

}  // namespace ardvel::gui
