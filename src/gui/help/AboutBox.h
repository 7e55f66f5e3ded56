#pragma once

#include <QDialog>

#include "platform/BuildConfig.h"

class QLabel;
class QPushButton;

namespace ardvel::gui {

class UserDialogs;

/// The maker's address shown in the About box (plain text), as the build
/// sets it (ARDVEL_CONTACT_ADDRESS); empty hides the contact line.
inline constexpr const char* kContactAddress = kConfiguredContactAddress;

/// The About box: the program's icon, name and version and the maker's
/// contact address, with an OK button.
class TAboutBox final : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr, const QString& contact = QString::fromUtf8(kContactAddress));

    QLabel* ProductName() const noexcept { return Label5; }
    QLabel* VersionLabel() const noexcept { return Version; }
    QLabel* ContactCaption() const noexcept { return Label3; }
    QLabel* ContactLabel() const noexcept { return Label4; }
    QPushButton* OkButton() const noexcept { return OKButton; }

private:
    QLabel* Label5;
    QLabel* Version;
    QLabel* Label3;
    QLabel* Label4;
    QPushButton* OKButton;
};

/// "&About": shows a newly made About box modally and frees it when it
/// closes; every use shows a fresh box.
void About1Click(QWidget* owner, UserDialogs& dialogs);

}  // namespace ardvel::gui
