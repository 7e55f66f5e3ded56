#include "help/HelpCommands.h"

#include <QDesktopServices>

#include <optional>
#include <string>

#include "common/UserDialogs.h"

namespace ardvel::gui {

UrlOpener DesktopUrlOpener()
{
    return [](const QUrl& url) { return QDesktopServices::openUrl(url); };
}

void HelpContentsExecute(const UrlOpener& open, UserDialogs& dialogs, const DataFilePlaces& places)
{
    // The desktop's opener starts a helper program and cannot tell whether
    // the page exists, so a missing page is found here.
    const std::optional<std::string> page = FindDataFile(kHelpPageFile, places);
    const bool opened = page && open && open(QUrl::fromLocalFile(QString::fromStdString(*page)));
    if (!opened) dialogs.ShowError(QString::fromLatin1(kHelpMissingText), QStringLiteral("Error"));
}

void UpdateClick(const UrlOpener& open)
{
    if (open) open(QUrl(QString::fromLatin1(kUpdatePageUrl)));
}

}  // namespace ardvel::gui
