// Ardvel: a catalogue of removable media.
#include <QApplication>

#include "browser/ArdvelForm.h"
#include "browser/UserDialogs.h"
#include "platform/Locale.h"

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Ardvel"));
    ardvel::gui::QtUserDialogs dialogs;
    ardvel::gui::TArdvelForm ArdvelForm(ardvel::Locale::User(), dialogs);
    dialogs.SetParent(&ArdvelForm);
    ArdvelForm.show();
    return QApplication::exec();
}
