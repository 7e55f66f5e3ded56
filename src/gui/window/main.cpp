// Ardvel: a catalogue of removable media.
#include <QApplication>
#include <iostream>

#include "ArdvelVersion.h"
#include "common/Icons.h"
#include "common/UserDialogs.h"
#include "platform/Locale.h"
#include "platform/Settings.h"
#include "window/ArdvelForm.h"
#include "window/CommandLine.h"
#include "window/NewCatalogHandler.h"
#include "window/UpdateCommands.h"

int main(int argc, char* argv[])
{
    // Before QApplication, which needs a display.
    if (const auto status = ardvel::gui::HandlePrintingOptions(argc, argv, std::cout)) return *status;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Ardvel"));
    QApplication::setApplicationVersion(QString::fromLatin1(ardvel::kVersion));
    // Wayland compositors match the window to the desktop entry by this name.
    QGuiApplication::setDesktopFileName(QString::fromLatin1(ardvel::kApplicationId));
    QApplication::setWindowIcon(ardvel::gui::ApplicationIcon());  // dialogs too
    const ardvel::Locale& locale = ardvel::Locale::User();
    ardvel::gui::QtUserDialogs dialogs;
    ardvel::gui::TArdvelForm ArdvelForm(locale, dialogs);
    dialogs.SetParent(&ArdvelForm);
    // Where each volume was catalogued or updated from is remembered here.
    const std::string settings = ardvel::SettingsFilePath();
    ardvel::CatalogRunOptions catalogOptions;
    catalogOptions.SettingsFile = settings;
    ardvel::gui::InstallCreateNewHandler(ArdvelForm, dialogs, locale, catalogOptions);
    ardvel::gui::UpdateFormOptions updateOptions;
    updateOptions.Update.SettingsFile = updateOptions.Source.SettingsFile = settings;
    ardvel::gui::InstallUpdateCommands(ArdvelForm, dialogs, locale, updateOptions);
    ArdvelForm.show();
    return QApplication::exec();
}
