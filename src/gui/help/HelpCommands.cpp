#include "help/HelpCommands.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>

#include "common/UserDialogs.h"

namespace ardvel::gui {

UrlOpener DesktopUrlOpener()
{
    return [](const QUrl& url) { return QDesktopServices::openUrl(url); };
}

void HelpContentsExecute(const UrlOpener& open, UserDialogs& dialogs)
{
    // The desktop's opener starts a helper program and cannot tell whether
    // the page exists, so a missing page is found here.
    const QFileInfo page(QDir::current(), QString::fromLatin1(kHelpPagePath));
    const bool opened = page.isFile() && page.isReadable() && open &&
                        open(QUrl::fromLocalFile(page.absoluteFilePath()));
    if (!opened) dialogs.ShowError(QString::fromLatin1(kHelpMissingText), QStringLiteral("Error"));
}

void UpdateClick(const UrlOpener& open, const char* webPage)
{
    if (!open) return;
    if (webPage && *webPage) open(QUrl(QString::fromUtf8(webPage)));
    else open(QUrl::fromLocalFile(QFileInfo(QDir::current(), QString::fromLatin1(kUpdatePagePath)).absoluteFilePath()));
}

}  // namespace ardvel::gui
