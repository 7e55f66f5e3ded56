#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class QDialog;
class QWidget;

namespace ardvel::gui {

/// Every message box, folder chooser, save dialog and modal window of the
/// program goes through this interface, so that a test can answer them.
/// Texts are shown exactly as given, line breaks and blanks included.
class UserDialogs {
public:
    virtual ~UserDialogs() = default;
    /// An error box with an OK button; an empty title means the program's.
    virtual void ShowError(const QString& text, const QString& title = QString()) = 0;
    /// A confirmation box with Yes and No; true for Yes.
    virtual bool Confirm(const QString& text) = 0;
    /// A folder chooser; the chosen folder's path, or empty when cancelled.
    virtual QString ChooseFolder(const QString& title) = 0;
    /// A save-file dialog; the chosen file's path, or empty when cancelled.
    /// A name typed without an extension gets `defaultSuffix` (when not
    /// empty) before the dialog asks about replacing an existing file.
    virtual QString SaveFileName(const QString& title, const QString& proposedName, const QString& filter,
                                 const QString& defaultSuffix) = 0;
    /// Shows a dialog modally and returns its result code.
    virtual int RunDialog(QDialog& dialog) = 0;

    /// A save-file dialog offering several filters (";;" between them): the
    /// chosen file's path, or empty when cancelled, and in `chosenFilter`
    /// the filter selected. By default SaveFileName asks, and the filter is
    /// the first whose pattern the name's extension matches, else the first.
    virtual QString SaveFileNameAs(const QString& title, const QString& proposedName, const QString& filters,
                                   QString& chosenFilter);
    /// An open-file dialog: the chosen file's path, or empty when cancelled
    /// (the default).
    virtual QString OpenFileName(const QString& title, const QString& filter);
    /// A line of text to enter, with OK and Cancel: the text, or nullopt
    /// when cancelled. By default `proposed` is accepted.
    virtual std::optional<QString> AskText(const QString& title, const QString& label, const QString& proposed);
    /// An error box with `text` over a list of any length, one entry a
    /// line, in a text area that scrolls. By default ShowError with the text,
    /// a blank line and the lines.
    virtual void ShowErrorList(const QString& text, const QStringList& lines, const QString& title = QString());
};

/// The filter of `filters` (";;" between them) whose pattern the extension
/// of `path` matches, case ignored; the first filter when none does.
QString FilterOfPath(const QString& filters, const QString& path);

/// The extension of a filter's first pattern: "txt" for "Text (*.txt)",
/// empty when it has none.
QString FilterSuffix(const QString& filter);

/// The dialogs of the desktop, owned by `parent` (which may be set later).
class QtUserDialogs final : public UserDialogs {
public:
    explicit QtUserDialogs(QWidget* parent = nullptr) : parent_(parent) {}
    void SetParent(QWidget* parent) { parent_ = parent; }

    void ShowError(const QString& text, const QString& title = QString()) override;
    bool Confirm(const QString& text) override;
    QString ChooseFolder(const QString& title) override;
    QString SaveFileName(const QString& title, const QString& proposedName, const QString& filter,
                         const QString& defaultSuffix) override;
    int RunDialog(QDialog& dialog) override;
    QString SaveFileNameAs(const QString& title, const QString& proposedName, const QString& filters,
                           QString& chosenFilter) override;
    QString OpenFileName(const QString& title, const QString& filter) override;
    std::optional<QString> AskText(const QString& title, const QString& label, const QString& proposed) override;
    void ShowErrorList(const QString& text, const QStringList& lines, const QString& title = QString()) override;

private:
    QWidget* parent_;
};

}  // namespace ardvel::gui
