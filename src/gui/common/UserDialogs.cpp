#include "common/UserDialogs.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QRegularExpression>

#include "common/ErrorListBox.h"

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

QString QtUserDialogs::SaveFileName(const QString& title, const QString& proposedName, const QString& filter,
                                    const QString& defaultSuffix)
{
    QFileDialog dialog(parent_, title, proposedName, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst();
}

int QtUserDialogs::RunDialog(QDialog& dialog)
{
    return dialog.exec();
}

QString QtUserDialogs::SaveFileNameAs(const QString& title, const QString& proposedName, const QString& filters,
                                      QString& chosenFilter)
{
    QFileDialog dialog(parent_, title, proposedName, filters);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The extension of the chosen form goes on a name typed without one.
    dialog.setDefaultSuffix(FilterSuffix(dialog.selectedNameFilter()));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog](const QString& filter) { dialog.setDefaultSuffix(FilterSuffix(filter)); });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    chosenFilter = dialog.selectedNameFilter();
    return dialog.selectedFiles().constFirst();
}

QString QtUserDialogs::OpenFileName(const QString& title, const QString& filter)
{
    return QFileDialog::getOpenFileName(parent_, title, QString(), filter);
}

std::optional<QString> QtUserDialogs::AskText(const QString& title, const QString& label, const QString& proposed)
{
    bool ok = false;
    const QString text = QInputDialog::getText(parent_, Caption(title), label, QLineEdit::Normal, proposed, &ok);
    if (!ok) return std::nullopt;
    return text;
}

QString UserDialogs::SaveFileNameAs(const QString& title, const QString& proposedName, const QString& filters,
                                    QString& chosenFilter)
{
    const QString path =
        SaveFileName(title, proposedName, filters, FilterSuffix(filters.section(QStringLiteral(";;"), 0, 0)));
    chosenFilter = FilterOfPath(filters, path);
    return path;
}

QString UserDialogs::OpenFileName(const QString&, const QString&)
{
    return {};
}

std::optional<QString> UserDialogs::AskText(const QString&, const QString&, const QString& proposed)
{
    return proposed;
}

void UserDialogs::ShowErrorList(const QString& text, const QStringList& lines, const QString& title)
{
    ShowError(text + QStringLiteral("\n\n") + lines.join(QLatin1Char('\n')), title);
}

void QtUserDialogs::ShowErrorList(const QString& text, const QStringList& lines, const QString& title)
{
    ErrorListBox box(Caption(title), text, lines, parent_);
    box.exec();
}

QString FilterSuffix(const QString& filter)
{
    const qsizetype star = filter.indexOf(QLatin1String("*."));
    if (star < 0) return {};
    qsizetype end = star + 2;
    while (end < filter.size() && filter[end].isLetterOrNumber()) ++end;
    return filter.mid(star + 2, end - star - 2);
}

QString FilterOfPath(const QString& filters, const QString& path)
{
    const QStringList list = filters.split(QStringLiteral(";;"), Qt::SkipEmptyParts);
    const QString suffix = QFileInfo(path).suffix();
    static const QRegularExpression pattern(QStringLiteral("\\*\\.([^ )]+)"));
    for (const QString& filter : list) {
        for (auto it = pattern.globalMatch(filter); !suffix.isEmpty() && it.hasNext();) {
            if (it.next().captured(1).compare(suffix, Qt::CaseInsensitive) == 0) return filter.trimmed();
        }
    }
    return list.isEmpty() ? QString() : list.front().trimmed();
}

}  // namespace ardvel::gui
