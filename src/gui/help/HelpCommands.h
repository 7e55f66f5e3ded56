#pragma once

#include <QString>
#include <QUrl>

#include <functional>

namespace ardvel::gui {

class UserDialogs;

/// The help page, relative to the current working folder (not to the
/// program's own folder).
inline constexpr const char* kHelpPagePath = "./Help/readme.html";
/// The page that tells about newer versions.
inline constexpr const char* kUpdatePageUrl = "https://ardvel.example.org/update";
/// Shown when the help page cannot be opened.
inline constexpr const char* kHelpMissingText = "Help files not found or corrupted.";

/// Opens an address with the desktop's handler; false when that failed.
using UrlOpener = std::function<bool(const QUrl&)>;

/// The desktop's handler (QDesktopServices).
UrlOpener DesktopUrlOpener();

/// "Contents": opens ./Help/readme.html of the current working folder with
/// the viewer the desktop associates with it. A missing page, or one that
/// cannot be opened, gives the error box "Help files not found or
/// corrupted." titled "Error".
void HelpContentsExecute(const UrlOpener& open, UserDialogs& dialogs);

/// "Check For Update": opens the update page; the outcome is not shown.
void UpdateClick(const UrlOpener& open);

}  // namespace ardvel::gui
