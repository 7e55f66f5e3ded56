#pragma once

#include <QApplication>
#include <QColor>
#include <QPalette>
#include <algorithm>
#include <cmath>

namespace ardvel::gui::test {

/// A dark palette as a dark desktop theme sets it: light text on dark
/// windows, and a light link colour.
inline QPalette DarkPalette()
{
    QPalette p;
    const QColor window(0x2b, 0x2b, 0x2e), base(0x1e, 0x1e, 0x20), text(0xe8, 0xe8, 0xe8);
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        p.setColor(group, QPalette::Window, window);
        p.setColor(group, QPalette::WindowText, text);
        p.setColor(group, QPalette::Base, base);
        p.setColor(group, QPalette::AlternateBase, window);
        p.setColor(group, QPalette::Text, text);
        p.setColor(group, QPalette::Button, QColor(0x3a, 0x3a, 0x3e));
        p.setColor(group, QPalette::ButtonText, text);
        p.setColor(group, QPalette::Light, QColor(0x55, 0x55, 0x5a));
        p.setColor(group, QPalette::Midlight, QColor(0x48, 0x48, 0x4c));
        p.setColor(group, QPalette::Mid, QColor(0x35, 0x35, 0x38));
        p.setColor(group, QPalette::Dark, QColor(0x18, 0x18, 0x1a));
        p.setColor(group, QPalette::Shadow, Qt::black);
        p.setColor(group, QPalette::Highlight, QColor(0x3d, 0x6e, 0xa8));
        p.setColor(group, QPalette::HighlightedText, Qt::white);
        p.setColor(group, QPalette::Link, QColor(0x8a, 0xb4, 0xf8));
        p.setColor(group, QPalette::LinkVisited, QColor(0xc5, 0x8a, 0xf9));
        p.setColor(group, QPalette::ToolTipBase, base);
        p.setColor(group, QPalette::ToolTipText, text);
        p.setColor(group, QPalette::PlaceholderText, QColor(0x90, 0x90, 0x90));
    }
    const QColor dimmed(0x80, 0x80, 0x84);
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, dimmed);
    for (QPalette::ColorRole role : {QPalette::Window, QPalette::Button, QPalette::Base})
        p.setColor(QPalette::Disabled, role, p.color(QPalette::Active, role));
    return p;
}

/// Sets the application's palette for one test and puts the old one back.
class ApplicationPalette {
public:
    explicit ApplicationPalette(const QPalette& palette) : previous_(QApplication::palette())
    {
        QApplication::setPalette(palette);
    }
    ~ApplicationPalette() { QApplication::setPalette(previous_); }
    ApplicationPalette(const ApplicationPalette&) = delete;
    ApplicationPalette& operator=(const ApplicationPalette&) = delete;

private:
    QPalette previous_;
};

/// The contrast ratio of two colours by their relative luminance, from 1
/// (the same) to 21 (black and white).
inline double Contrast(const QColor& a, const QColor& b)
{
    const auto luminance = [](const QColor& c) {
        const auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

}  // namespace ardvel::gui::test
