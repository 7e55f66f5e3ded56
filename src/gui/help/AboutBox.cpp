#include "help/AboutBox.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

#include "common/Icons.h"
#include "common/UserDialogs.h"

namespace ardvel::gui {

TAboutBox::TAboutBox(QWidget* parent, const QString& contact)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("About"));
    setFixedSize(298, 195);

    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setGeometry(8, 8, 281, 145);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    panel->setLineWidth(2);

    auto* image = new QLabel(panel);
    image->setObjectName(QStringLiteral("Image1"));
    image->setGeometry(12, 12, 32, 32);
    image->setPixmap(ListImage(kVolumeImage).pixmap(32, 32));

    Label5 = new QLabel(QStringLiteral("Ardvel"), panel);
    Label5->setObjectName(QStringLiteral("Label5"));
    Label5->setGeometry(60, 12, 200, 30);
    QFont nameFont(QStringLiteral("Courier New"));
    nameFont.setPixelSize(19);
    nameFont.setBold(true);
    Label5->setFont(nameFont);
    Label5->setStyleSheet(QStringLiteral("color: navy;"));

    Version = new QLabel(QStringLiteral("Version: 1.4"), panel);
    Version->setObjectName(QStringLiteral("Version"));
    Version->setGeometry(60, 48, 200, 18);

    Label3 = new QLabel(QStringLiteral("Contact me via e-mail:"), panel);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->setGeometry(12, 96, 260, 18);

    Label4 = new QLabel(contact, panel);
    Label4->setTextFormat(Qt::PlainText);
    Label4->setObjectName(QStringLiteral("Label4"));
    Label4->setGeometry(12, 116, 260, 18);
    Label4->setTextInteractionFlags(Qt::NoTextInteraction);
    QFont linkFont = Label4->font();
    linkFont.setUnderline(true);
    Label4->setFont(linkFont);
    Label4->setStyleSheet(QStringLiteral("color: blue;"));
    // Without an address there is nothing to contact.
    Label3->setHidden(contact.isEmpty());
    Label4->setHidden(contact.isEmpty());

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setGeometry(111, 161, 75, 25);
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
}

void About1Click(QWidget* owner, UserDialogs& dialogs)
{
    TAboutBox box(owner);
    dialogs.RunDialog(box);
}

}  // namespace ardvel::gui
