#pragma once

#include <optional>
#include <string>
#include <vector>

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
    bool IgnoreAccents = false;           ///< `Search`/`IgnoreAccents`
    std::optional<bool> SearchAsYouType;  ///< `Search`/`SearchAsYouType`; none: by the records loaded
    /// `View`/`WindowGeometry`: the window's size, place and state as the
    /// toolkit saves them, in base64; empty: the first run's.
    std::string WindowGeometry;
    /// `View`/`SplitterSizes`: the widths of the left pane and the lists,
    /// "225,311"; empty: the first run's.
    std::vector<int> SplitterSizes;
    /// `View`/`LV_ColumnWidths` and `SLV_ColumnWidths`: the Details columns
    /// of the folder list and of the results, left to right; empty: the
    /// first run's.
    std::vector<int> ListColumns;
    std::vector<int> SearchColumns;
};

/// The settings a file holds; missing or unreadable keys give the
/// defaults, and a view style outside 0 to 3 is taken as 3 (details). A
/// list of widths with anything but numbers from 1 to 100000 is unreadable.
ViewSettings ReadViewSettings(const IniFile& ini);

/// Sets the keys, in the order General/CatalogFolder, View/LV_ViewStyle,
/// SLV_ViewStyle, StdBar, PathBar, AutoAdjust, Search/IgnoreAccents and
/// SearchAsYouType (when set), then the geometry, splitter and column keys
/// that are not empty; other keys are kept.
void WriteViewSettings(IniFile& ini, const ViewSettings& settings);

}  // namespace ardvel::gui
