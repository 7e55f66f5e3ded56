#include "common/PaintedIcon.h"

#include <QGuiApplication>
#include <QIconEngine>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <utility>

namespace ardvel::gui {

namespace {

class PaintedIconEngine final : public QIconEngine {
public:
    PaintedIconEngine(IconPainter painter, QSizeF grid) : painter_(std::move(painter)), grid_(grid) {}

    void paint(QPainter* target, const QRect& rect, QIcon::Mode mode, QIcon::State) override
    {
        const QRectF box = Fit(rect.size());
        target->save();
        target->setRenderHint(QPainter::Antialiasing);
        target->translate(rect.topLeft() + box.topLeft());
        target->scale(box.width() / grid_.width(), box.height() / grid_.height());
        if (mode == QIcon::Disabled) target->setOpacity(target->opacity() * 0.45);
        painter_(*target, QGuiApplication::palette(), mode);
        target->restore();
    }

    // QIcon asks for size x device pixel ratio here, so the picture is drawn
    // at the resolution of the screen rather than scaled from a bitmap.
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        QImage image(size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        {
            QPainter p(&image);
            paint(&p, QRect(QPoint(0, 0), size), mode, state);
        }
        return QPixmap::fromImage(std::move(image));
    }

    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override { return Fit(size).size().toSize(); }

    QIconEngine* clone() const override { return new PaintedIconEngine(painter_, grid_); }

    QString key() const override { return QStringLiteral("ArdvelPainted"); }

private:
    /// The largest rectangle of the grid's proportions inside `size`,
    /// centred.
    QRectF Fit(const QSize& size) const
    {
        const QSizeF fitted = grid_.scaled(QSizeF(size), Qt::KeepAspectRatio);
        return QRectF(QPointF((size.width() - fitted.width()) / 2, (size.height() - fitted.height()) / 2), fitted);
    }

    IconPainter painter_;
    QSizeF grid_;
};

/// Hands each request to one of two icons by mode.
class SelectedIconEngine final : public QIconEngine {
public:
    SelectedIconEngine(QIcon normal, QIcon selected) : normal_(std::move(normal)), selected_(std::move(selected)) {}

    void paint(QPainter* target, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        For(mode).paint(target, rect, Qt::AlignCenter, Shown(mode), state);
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return For(mode).pixmap(size, 1.0, Shown(mode), state);
    }

    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return For(mode).actualSize(size, Shown(mode), state);
    }

    QIconEngine* clone() const override { return new SelectedIconEngine(normal_, selected_); }

    QString key() const override { return QStringLiteral("ArdvelSelected"); }

private:
    const QIcon& For(QIcon::Mode mode) const { return mode == QIcon::Selected ? selected_ : normal_; }
    // The selected picture is already the selected look.
    static QIcon::Mode Shown(QIcon::Mode mode) { return mode == QIcon::Selected ? QIcon::Normal : mode; }

    QIcon normal_;
    QIcon selected_;
};

}  // namespace

QIcon WithSelectedIcon(const QIcon& normal, const QIcon& selected)
{
    return QIcon(new SelectedIconEngine(normal, selected));
}

QIcon PaintedIcon(IconPainter painter, QSizeF grid)
{
    return QIcon(new PaintedIconEngine(std::move(painter), grid));
}

QIcon ThemeIconOr(const QString& themeName, const QIcon& fallback)
{
    return QIcon::hasThemeIcon(themeName) ? QIcon::fromTheme(themeName) : fallback;
}

}  // namespace ardvel::gui
