#include "common/UserDialogs.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>

namespace ardvel::gui {

namespace {

QString Caption(const QString& title)
{
    return title.isEmpty() ? QApplication::applicationName() : title;
}

}  // namespace

void QtUserDialogs::ShowError(const QString& text, const QString& title)
{
    QMessageBox box(QMessageBox::Critical, Caption(title), text, QMessageBox::Ok, parent_);
    box.exec();
}

bool QtUserDialogs::Confirm(const QString& text)
{
    QMessageBox box(QMessageBox::Question, Caption(QString()), text, QMessageBox::Yes | QMessageBox::No, parent_);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

QString QtUserDialogs::ChooseFolder(const QString& title)
{
    return QFileDialog::getExistingDirectory(parent_, title, QString(), QFileDialog::ShowDirsOnly);
}

QString QtUserDialogs::SaveFileName(const QString& title, const QString& proposedName, const QString& filter)
{
    return QFileDialog::getSaveFileName(parent_, title, proposedName, filter);
}

int QtUserDialogs::RunDialog(QDialog& dialog)
{
    return dialog.exec();
}

}  // namespace ardvel::gui
