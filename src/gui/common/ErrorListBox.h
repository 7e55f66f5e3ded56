#pragma once

#include <QDialog>
#include <QStringList>

class QLabel;
class QPlainTextEdit;

namespace ardvel::gui {

/// An error box for a list of any length: the message above, the list in a
/// read-only text area that scrolls, and OK. However long the list, the box
/// stays within the screen it opens on.
class ErrorListBox final : public QDialog {
    Q_OBJECT
public:
    ErrorListBox(const QString& title, const QString& text, const QStringList& lines, QWidget* parent = nullptr);

    const QLabel* Message() const { return message_; }
    const QPlainTextEdit* List() const { return list_; }

private:
    QLabel* message_;
    QPlainTextEdit* list_;
};

}  // namespace ardvel::gui
