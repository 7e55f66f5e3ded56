#pragma once

#include <QString>

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
    virtual QString SaveFileName(const QString& title, const QString& proposedName, const QString& filter) = 0;
    /// Shows a dialog modally and returns its result code.
    virtual int RunDialog(QDialog& dialog) = 0;
};

/// The dialogs of the desktop, owned by `parent` (which may be set later).
class QtUserDialogs final : public UserDialogs {
public:
    explicit QtUserDialogs(QWidget* parent = nullptr) : parent_(parent) {}
    void SetParent(QWidget* parent) { parent_ = parent; }

    void ShowError(const QString& text, const QString& title = QString()) override;
    bool Confirm(const QString& text) override;
    QString ChooseFolder(const QString& title) override;
    QString SaveFileName(const QString& title, const QString& proposedName, const QString& filter) override;
    int RunDialog(QDialog& dialog) override;

private:
    QWidget* parent_;
};

}  // namespace ardvel::gui
