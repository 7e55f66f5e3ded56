#pragma once

#include <QIcon>
#include <QPalette>
#include <QSizeF>
#include <functional>

class QPainter;

namespace ardvel::gui {

/// Draws a picture on a grid of `grid` units (the painter is scaled so that
/// the grid fills the target); `palette` is the application's palette of
/// the moment, for lines that must stand out from the window's colours.
using IconPainter = std::function<void(QPainter& painter, const QPalette& palette, QIcon::Mode mode)>;

/// An icon painted on demand at every size and device pixel ratio it is
/// asked for: crisp on a 2x screen, and following the palette when the
/// desktop switches between a light and a dark theme.
QIcon PaintedIcon(IconPainter painter, QSizeF grid = QSizeF(16, 16));

/// `normal`, except in the Selected mode, which shows `selected`.
QIcon WithSelectedIcon(const QIcon& normal, const QIcon& selected);

/// The desktop theme's icon `themeName` when the theme has one, otherwise
/// `fallback`.
QIcon ThemeIconOr(const QString& themeName, const QIcon& fallback);

}  // namespace ardvel::gui
