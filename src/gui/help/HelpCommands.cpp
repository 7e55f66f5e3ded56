#include "help/HelpCommands.h"

#include <QDesktopServices>
#include <QDir>
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

void UpdateClick(const UrlOpener& open, const char* webPage, const DataFilePlaces& places)
{
    if (!open) return;
    if (webPage && *webPage) {
        open(QUrl(QString::fromUtf8(webPage)));
        return;
    }
    // Where no copy is found, the working folder's path still goes to the
    // opener, whose failure is not shown.
    const std::optional<std::string> page = FindDataFile(kUpdatePageFile, places);
    open(QUrl::fromLocalFile(page ? QString::fromStdString(*page)
                                  : QDir::current().absoluteFilePath(QString::fromLatin1(kUpdatePageFile))));
}

}  // namespace ardvel::gui
