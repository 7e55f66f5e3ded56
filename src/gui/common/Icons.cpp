#include "common/Icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <array>

namespace ardvel::gui {

namespace {

// All pictures are drawn on a 16-unit grid and scaled to the pixmap.
QPixmap Canvas(int width, int height)
{
    QPixmap pixmap(width, height);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

void DrawRoot(QPainter& p)
{
    // A card cabinet with two drawers.
    p.setPen(QPen(QColor(60, 60, 60), 0.8));
    p.setBrush(QColor(176, 144, 96));
    p.drawRect(QRectF(2.5, 1.5, 11, 13));
    p.setBrush(QColor(214, 186, 140));
    p.drawRect(QRectF(4, 3, 8, 5));
    p.drawRect(QRectF(4, 9, 8, 4.5));
    p.setBrush(QColor(60, 60, 60));
    p.drawRect(QRectF(7, 5, 2, 1));
    p.drawRect(QRectF(7, 10.5, 2, 1));
}

void DrawVolume(QPainter& p)
{
    // A disc.
    QRadialGradient shine(QPointF(6, 6), 9);
    shine.setColorAt(0, QColor(250, 250, 255));
    shine.setColorAt(0.6, QColor(190, 200, 225));
    shine.setColorAt(1, QColor(150, 160, 200));
    p.setPen(QPen(QColor(70, 70, 110), 0.8));
    p.setBrush(shine);
    p.drawEllipse(QRectF(1, 1, 14, 14));
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(6, 6, 4, 4));
}

void DrawFolder(QPainter& p, bool open)
{
    p.setPen(QPen(QColor(130, 100, 20), 0.8));
    p.setBrush(QColor(230, 190, 70));
    QPainterPath back;
    back.moveTo(1, 3);
    back.lineTo(6, 3);
    back.lineTo(7, 4.5);
    back.lineTo(14, 4.5);
    back.lineTo(14, 13.5);
    back.lineTo(1, 13.5);
    back.closeSubpath();
    p.drawPath(back);
    p.setBrush(QColor(250, 220, 110));
    QPainterPath front;
    if (open) {
        front.moveTo(3.5, 7);
        front.lineTo(15.5, 7);
        front.lineTo(13, 13.5);
        front.lineTo(1, 13.5);
    } else {
        front.moveTo(1, 6.5);
        front.lineTo(14, 6.5);
        front.lineTo(14, 13.5);
        front.lineTo(1, 13.5);
    }
    front.closeSubpath();
    p.drawPath(front);
}

void DrawFile(QPainter& p)
{
    p.setPen(QPen(QColor(80, 80, 80), 0.8));
    p.setBrush(Qt::white);
    QPainterPath page;
    page.moveTo(3, 1);
    page.lineTo(10, 1);
    page.lineTo(13, 4);
    page.lineTo(13, 15);
    page.lineTo(3, 15);
    page.closeSubpath();
    p.drawPath(page);
    p.drawLine(QPointF(10, 1), QPointF(10, 4));
    p.drawLine(QPointF(10, 4), QPointF(13, 4));
    p.setPen(QPen(QColor(150, 150, 170), 0.8));
    for (double y = 7; y < 14; y += 2) p.drawLine(QPointF(5, y), QPointF(11, y));
}

void DrawSearchResults(QPainter& p)
{
    p.setPen(QPen(QColor(90, 60, 30), 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(10, 10), QPointF(14.5, 14.5));
    p.setPen(QPen(QColor(50, 50, 80), 1.2));
    p.setBrush(QColor(200, 230, 255));
    p.drawEllipse(QRectF(1.5, 1.5, 10, 10));
}

QPixmap DrawImage(int index, int size)
{
    QPixmap pixmap = Canvas(size, size);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 16.0, size / 16.0);
    switch (index) {
    case kRootImage: DrawRoot(p); break;
    case kVolumeImage: DrawVolume(p); break;
    case kFolderImage: DrawFolder(p, false); break;
    case kOpenFolderImage: DrawFolder(p, true); break;
    case kFileImage: DrawFile(p); break;
    case kSearchResultsImage: DrawSearchResults(p); break;
    default: break;
    }
    return pixmap;
}

constexpr int kImageCount = 6;

}  // namespace

QIcon ListImage(int index)
{
    static std::array<QIcon, kImageCount> icons;
    if (index < 0 || index >= kImageCount) return {};
    QIcon& icon = icons[static_cast<std::size_t>(index)];
    if (icon.isNull()) {
        icon.addPixmap(DrawImage(index, 16));
        icon.addPixmap(DrawImage(index, 32));
    }
    return icon;
}

QIcon TreeImage(int index)
{
    if (index != kFolderImage) return ListImage(index);
    static QIcon folder;
    if (folder.isNull()) {
        for (int size : {16, 32}) {
            folder.addPixmap(DrawImage(kFolderImage, size), QIcon::Normal);
            folder.addPixmap(DrawImage(kOpenFolderImage, size), QIcon::Selected);
        }
    }
    return folder;
}

QIcon ViewButtonImage()
{
    static QIcon icon;
    if (icon.isNull()) {
        QPixmap pixmap = Canvas(25, 16);
        QPainter p(&pixmap);
        p.setPen(QColor(60, 60, 90));
        p.setBrush(QColor(120, 150, 210));
        for (int row = 0; row < 2; ++row)
            for (int col = 0; col < 2; ++col) p.drawRect(2 + col * 7, 2 + row * 7, 5, 5);
        p.setBrush(QColor(40, 40, 40));
        p.setPen(Qt::NoPen);
        const QPointF arrow[3] = {QPointF(17, 6), QPointF(23, 6), QPointF(20, 10)};
        p.drawPolygon(arrow, 3);
        icon.addPixmap(pixmap);
    }
    return icon;
}

}  // namespace ardvel::gui
