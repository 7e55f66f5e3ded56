#pragma once

#include <QString>
#include <QUrl>
#include <functional>

#include "platform/BuildConfig.h"
#include "platform/DataFiles.h"

namespace ardvel::gui {

class UserDialogs;

/// The help page, a data file: looked for beside the executable in its
/// installed data folder, then in $XDG_DATA_DIRS, then in the current
/// working folder (a source tree's Help/ folder).
inline constexpr const char* kHelpPageFile = "Help/readme.html";
/// The page that tells how to update, installed beside the help page and
/// found the same way.
inline constexpr const char* kUpdatePageFile = "Help/update.html";
/// A web page set for the build (ARDVEL_UPDATE_URL) replaces it.
inline constexpr const char* kUpdatePageUrl = kConfiguredUpdateUrl;
/// Shown when the help page cannot be opened.
inline constexpr const char* kHelpMissingText = "Help files not found or corrupted.";

/// Opens an address with the desktop's handler; false when that failed.
using UrlOpener = std::function<bool(const QUrl&)>;

/// The desktop's handler (QDesktopServices).
UrlOpener DesktopUrlOpener();

/// "Contents": opens the first help page found from `places` (see
/// kHelpPageFile) with the viewer the desktop associates with it. A missing
/// page, or one that cannot be opened, gives the error box "Help files not
/// found or corrupted." titled "Error".
void HelpContentsExecute(const UrlOpener& open, UserDialogs& dialogs,
                         const DataFilePlaces& places = DataFilePlaces::OfProcess());

/// "Check For Update": opens `webPage` when it is set, else the update page
/// beside the help page, found as "Contents" finds that; the outcome is not
/// shown.
void UpdateClick(const UrlOpener& open, const char* webPage = kUpdatePageUrl,
                 const DataFilePlaces& places = DataFilePlaces::OfProcess());

}  // namespace ardvel::gui
