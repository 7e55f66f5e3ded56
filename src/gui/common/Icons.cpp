#include "common/Icons.h"

#include <QPainter>
#include <QPainterPath>
#include <array>
#include <initializer_list>

#include "ArdvelVersion.h"
#include "common/PaintedIcon.h"

namespace ardvel::gui {

namespace {

// The pictures are drawn on a 16-unit grid; PaintedIcon scales them to the
// size and device pixel ratio asked for. Fill colours belong to the picture
// (a yellow folder stays yellow); lines that stand on the window's
// background take their colour from the palette.

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

/// A closed outline through the given points.
QPainterPath Outline(std::initializer_list<QPointF> points)
{
    QPainterPath path;
    for (const QPointF& point : points) {
        if (path.elementCount() == 0)
            path.moveTo(point);
        else
            path.lineTo(point);
    }
    path.closeSubpath();
    return path;
}

void DrawFolder(QPainter& p, bool open)
{
    p.setPen(QPen(QColor(130, 100, 20), 0.8));
    p.setBrush(QColor(230, 190, 70));
    p.drawPath(Outline({{1, 3}, {6, 3}, {7, 4.5}, {14, 4.5}, {14, 13.5}, {1, 13.5}}));
    p.setBrush(QColor(250, 220, 110));
    // The open folder's front leans back.
    p.drawPath(open ? Outline({{3.5, 7}, {15.5, 7}, {13, 13.5}, {1, 13.5}})
                    : Outline({{1, 6.5}, {14, 6.5}, {14, 13.5}, {1, 13.5}}));
}

void DrawFile(QPainter& p)
{
    p.setPen(QPen(QColor(80, 80, 80), 0.8));
    p.setBrush(Qt::white);
    p.drawPath(Outline({{3, 1}, {10, 1}, {13, 4}, {13, 15}, {3, 15}}));
    p.drawLine(QPointF(10, 1), QPointF(10, 4));
    p.drawLine(QPointF(10, 4), QPointF(13, 4));
    p.setPen(QPen(QColor(150, 150, 170), 0.8));
    for (double y = 7; y < 14; y += 2) p.drawLine(QPointF(5, y), QPointF(11, y));
}

void DrawSearchResults(QPainter& p, const QPalette& palette)
{
    // The handle stands on the background: the text colour keeps it seen.
    p.setPen(QPen(palette.color(QPalette::WindowText), 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(10, 10), QPointF(14.5, 14.5));
    p.setPen(QPen(QColor(50, 50, 80), 1.2));
    p.setBrush(QColor(200, 230, 255));
    p.drawEllipse(QRectF(1.5, 1.5, 10, 10));
}

void DrawImage(QPainter& p, const QPalette& palette, int index)
{
    switch (index) {
        case kRootImage:
            DrawRoot(p);
            break;
        case kVolumeImage:
            DrawVolume(p);
            break;
        case kFolderImage:
            DrawFolder(p, false);
            break;
        case kOpenFolderImage:
            DrawFolder(p, true);
            break;
        case kFileImage:
            DrawFile(p);
            break;
        case kSearchResultsImage:
            DrawSearchResults(p, palette);
            break;
        default:
            break;
    }
}

/// The standard icon names of the desktop themes for the pictures that have
/// one; the card cabinet of the root has none.
QString ThemeName(int index)
{
    switch (index) {
        case kVolumeImage:
            return QStringLiteral("media-optical");
        case kFolderImage:
            return QStringLiteral("folder");
        case kOpenFolderImage:
            return QStringLiteral("folder-open");
        case kFileImage:
            return QStringLiteral("text-x-generic");
        case kSearchResultsImage:
            return QStringLiteral("edit-find");
        default:
            return {};
    }
}

constexpr int kImageCount = 6;

QIcon Painted(int index)
{
    return PaintedIcon([index](QPainter& p, const QPalette& palette, QIcon::Mode) { DrawImage(p, palette, index); });
}

}  // namespace

QIcon ListImage(int index)
{
    static std::array<QIcon, kImageCount> icons;
    if (index < 0 || index >= kImageCount) return {};
    QIcon& icon = icons[static_cast<std::size_t>(index)];
    if (icon.isNull()) {
        const QString name = ThemeName(index);
        icon = name.isEmpty() ? Painted(index) : ThemeIconOr(name, Painted(index));
    }
    return icon;
}

QIcon TreeImage(int index)
{
    if (index != kFolderImage) return ListImage(index);
    static QIcon folder;
    if (folder.isNull()) folder = WithSelectedIcon(ListImage(kFolderImage), ListImage(kOpenFolderImage));
    return folder;
}

QIcon ViewButtonImage()
{
    static const QIcon icon = PaintedIcon(
        [](QPainter& p, const QPalette& palette, QIcon::Mode) {
            p.setPen(QPen(QColor(60, 60, 90), 1));
            p.setBrush(QColor(120, 150, 210));
            for (int row = 0; row < 2; ++row)
                for (int col = 0; col < 2; ++col) p.drawRect(QRectF(2.5 + col * 7, 2.5 + row * 7, 5, 5));
            // The drop-down arrow is drawn like the button's text.
            p.setBrush(palette.color(QPalette::ButtonText));
            p.setPen(Qt::NoPen);
            const QPointF arrow[3] = {QPointF(17, 6), QPointF(23, 6), QPointF(20, 10)};
            p.drawPolygon(arrow, 3);
        },
        QSizeF(25, 16));
    return icon;
}

QIcon ApplicationImage()
{
    static const QIcon painted = PaintedIcon(
        [](QPainter& p, const QPalette&, QIcon::Mode) {
            // The same picture as the installed SVG icon, on its 128-unit grid.
            QLinearGradient tile(0, 8, 0, 120);
            tile.setColorAt(0, QColor(0x3a, 0x84, 0xb8));
            tile.setColorAt(1, QColor(0x1d, 0x4a, 0x6e));
            p.setPen(Qt::NoPen);
            p.setBrush(tile);
            p.drawRoundedRect(QRectF(8, 8, 112, 112), 20, 20);
            QLinearGradient disc(16, 16, 92, 92);
            disc.setColorAt(0, QColor(0xf4, 0xf7, 0xfa));
            disc.setColorAt(0.45, QColor(0xc9, 0xd4, 0xdd));
            disc.setColorAt(0.55, QColor(0xe6, 0xec, 0xf1));
            disc.setColorAt(1, QColor(0xa7, 0xb6, 0xc2));
            p.setPen(QPen(QColor(0x4d, 0x62, 0x73), 2));
            p.setBrush(disc);
            p.drawEllipse(QPointF(54, 54), 38, 38);
            p.setPen(QPen(QColor(255, 255, 255, 128), 3));
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(QPointF(54, 54), 25, 25);
            p.setPen(QPen(QColor(0x4d, 0x62, 0x73), 2));
            p.setBrush(QColor(0x8f, 0xa3, 0xb3));
            p.drawEllipse(QPointF(54, 54), 13, 13);
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(0x2a, 0x62, 0x8c));
            p.drawEllipse(QPointF(54, 54), 6, 6);
            p.setPen(QPen(QColor(0xf2, 0xb3, 0x3d), 11, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(96, 96), QPointF(112, 112));
            p.setPen(QPen(Qt::white, 7));
            p.setBrush(QColor(255, 255, 255, 64));
            p.drawEllipse(QPointF(84, 84), 17, 17);
        },
        QSizeF(128, 128));
    return painted;
}

QIcon ApplicationIcon()
{
    return ThemeIconOr(QString::fromLatin1(kApplicationId), ApplicationImage());
}

}  // namespace ardvel::gui
