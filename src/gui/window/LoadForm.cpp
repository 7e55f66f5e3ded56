#include "window/LoadForm.h"

#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QProgressBar>

#include "common/Icons.h"

namespace ardvel::gui {

namespace {

QPixmap SplashPicture()
{
    QPixmap picture(340, 220);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 220);
    sky.setColorAt(0, QColor(20, 30, 90));
    sky.setColorAt(1, QColor(90, 120, 190));
    p.fillRect(picture.rect(), sky);
    p.drawPixmap(40, 70, ListImage(kVolumeImage).pixmap(64, 64));
    p.drawPixmap(70, 90, ListImage(kVolumeImage).pixmap(64, 64));
    QFont title = p.font();
    title.setPointSize(28);
    title.setBold(true);
    p.setFont(title);
    p.setPen(Qt::white);
    p.drawText(QRect(150, 70, 180, 60), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Ardvel"));
    QFont small = p.font();
    small.setPointSize(9);
    small.setBold(false);
    p.setFont(small);
    p.drawText(QRect(152, 125, 180, 20), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Version 1.4"));
    return picture;
}

}  // namespace

TLoadForm::TLoadForm(QWidget* over)
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      Image1(new QLabel(this)),
      Gauge1(new QProgressBar(this)),
      Loading(new QLabel(this))
{
    setObjectName(QStringLiteral("LoadForm"));
    setWindowTitle(QStringLiteral("Loading..."));
    setFixedSize(340, 240);

    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(0, 0, 340, 220);
    Image1->setAlignment(Qt::AlignCenter);
    Image1->setPixmap(SplashPicture());

    Gauge1->setObjectName(QStringLiteral("Gauge1"));
    Gauge1->setGeometry(0, 220, 340, 20);
    Gauge1->setTextVisible(false);
    Gauge1->setMinimum(0);
    Gauge1->setValue(0);
    Gauge1->setStyleSheet(
        QStringLiteral("QProgressBar { border: none; background: silver; } QProgressBar::chunk { background: navy; }"));

    Loading->setObjectName(QStringLiteral("Loading"));
    // Wide enough for the three dots that follow the letters.
    Loading->setGeometry(106, 224, 234, 13);
    Loading->setAttribute(Qt::WA_TranslucentBackground);
    QFont font = Loading->font();
    font.setBold(true);
    font.setPixelSize(11);
    Loading->setFont(font);
    Loading->setStyleSheet(QStringLiteral("color: white; background: transparent;"));
    Loading->setText(QString::fromLatin1(kLoadingText));
    Loading->raise();

    if (over) {
        const QRect frame = over->frameGeometry();
        move(frame.center() - QPoint(width() / 2, height() / 2));
    }
}

void TLoadForm::SetMaximum(int maximum)
{
    Gauge1->setMaximum(maximum);
    Gauge1->repaint();
}

void TLoadForm::SetPosition(int position)
{
    Gauge1->setValue(std::min(position, Gauge1->maximum()));
    Gauge1->repaint();
}

int TLoadForm::Position() const
{
    return Gauge1->value();
}

int TLoadForm::Maximum() const
{
    return Gauge1->maximum();
}

void TLoadForm::SetFilesRead(std::size_t filesRead)
{
    QString text = QString::fromLatin1(kLoadingText);
    for (std::size_t i = 0; i < filesRead % 4; ++i) text += QStringLiteral(" .");
    Loading->setText(text);
    Loading->repaint();
}

QString TLoadForm::LoadingText() const
{
    return Loading->text();
}

}  // namespace ardvel::gui
