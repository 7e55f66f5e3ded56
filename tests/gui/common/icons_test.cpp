// The window's own pictures are drawn at the size and device pixel ratio
// they are shown at, and their lines on the background follow the palette.
#include "common/Icons.h"

#include <gtest/gtest.h>

#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QStyle>
#include <cmath>
#include <utility>
#include <vector>

#include "PaletteSupport.h"

namespace ardvel::gui {
namespace {

using test::ApplicationPalette;
using test::Contrast;
using test::DarkPalette;

struct NamedIcon {
    const char* Name;
    QIcon Icon;
    QSize Size;  ///< the size the window shows it at
};

std::vector<NamedIcon> OwnIcons()
{
    const QSize small(16, 16);
    return {{"root", ListImage(kRootImage), small},
            {"volume", ListImage(kVolumeImage), small},
            {"folder", ListImage(kFolderImage), small},
            {"open folder", ListImage(kOpenFolderImage), small},
            {"file", ListImage(kFileImage), small},
            {"search results", ListImage(kSearchResultsImage), small},
            {"tree folder", TreeImage(kFolderImage), small},
            {"view button", ViewButtonImage(), QSize(25, 16)},
            {"application", ApplicationImage(), QSize(32, 32)}};
}

/// Pixels that differ by more than `tolerance` in some channel or alpha.
int DifferingPixels(const QImage& a, const QImage& b, int tolerance = 40)
{
    const QImage x = a.convertToFormat(QImage::Format_ARGB32);
    const QImage y = b.convertToFormat(QImage::Format_ARGB32);
    int count = 0;
    for (int row = 0; row < x.height(); ++row)
        for (int col = 0; col < x.width(); ++col) {
            const QRgb p = x.pixel(col, row), q = y.pixel(col, row);
            if (std::abs(qRed(p) - qRed(q)) > tolerance || std::abs(qGreen(p) - qGreen(q)) > tolerance ||
                std::abs(qBlue(p) - qBlue(q)) > tolerance || std::abs(qAlpha(p) - qAlpha(q)) > tolerance)
                ++count;
        }
    return count;
}

TEST(IconsTest, EveryPictureHasOneDevicePixelPerScreenPixel)
{
    for (const NamedIcon& icon : OwnIcons()) {
        for (const double ratio : {1.0, 1.5, 2.0, 3.0}) {
            const QPixmap pixmap = icon.Icon.pixmap(icon.Size, ratio);
            const QSize wanted(qRound(icon.Size.width() * ratio), qRound(icon.Size.height() * ratio));
            EXPECT_EQ(pixmap.size(), wanted) << icon.Name << " at " << ratio;
            EXPECT_DOUBLE_EQ(pixmap.devicePixelRatio(), ratio) << icon.Name << " at " << ratio;
        }
    }
}

TEST(IconsTest, PicturesAtRatioTwoAreDrawnNotEnlarged)
{
    for (const NamedIcon& icon : OwnIcons()) {
        const QImage sharp = icon.Icon.pixmap(icon.Size, 2.0).toImage();
        const QImage small = icon.Icon.pixmap(icon.Size, 1.0).toImage();
        ASSERT_EQ(sharp.size(), small.size() * 2) << icon.Name;
        const QImage blocky = small.scaled(sharp.size(), Qt::IgnoreAspectRatio, Qt::FastTransformation);
        const QImage blurred = small.scaled(sharp.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        // Redrawn edges land on other pixels than enlarged ones.
        const int edge = sharp.width() + sharp.height();
        EXPECT_GT(DifferingPixels(sharp, blocky), edge / 2) << icon.Name;
        EXPECT_GT(DifferingPixels(sharp, blurred), edge / 2) << icon.Name;
    }
}

TEST(IconsTest, TheTreeShowsASelectedFolderOpen)
{
    const QIcon tree = TreeImage(kFolderImage);
    const QSize size(16, 16);
    EXPECT_EQ(tree.pixmap(size, 1.0, QIcon::Normal).toImage(), ListImage(kFolderImage).pixmap(size, 1.0).toImage());
    EXPECT_EQ(tree.pixmap(size, 1.0, QIcon::Selected).toImage(),
              ListImage(kOpenFolderImage).pixmap(size, 1.0).toImage());
    EXPECT_NE(tree.pixmap(size, 1.0, QIcon::Selected).toImage(), tree.pixmap(size, 1.0, QIcon::Normal).toImage());
}

/// The colour of the view button's drop-down arrow, drawn for `palette`.
QColor ArrowColour(const QPalette& palette)
{
    const ApplicationPalette scoped(palette);
    const QImage image = ViewButtonImage().pixmap(QSize(25, 16), 1.0).toImage();
    return image.pixelColor(20, 7);
}

TEST(IconsTest, TheViewButtonArrowStandsOutOnLightAndDarkButtons)
{
    const QPalette dark = DarkPalette();
    const QPalette light = QApplication::style()->standardPalette();
    const QColor onDark = ArrowColour(dark), onLight = ArrowColour(light);
    EXPECT_GE(Contrast(onDark, dark.color(QPalette::Button)), 4.5) << onDark.name().toStdString();
    EXPECT_GE(Contrast(onLight, light.color(QPalette::Button)), 4.5) << onLight.name().toStdString();
}

}  // namespace
}  // namespace ardvel::gui
