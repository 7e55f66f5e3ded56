#pragma once

// Sizes and placing helpers shared by the search panel's building and its
// resizing.

#include <QWidget>
#include <algorithm>

namespace ardvel::gui::search_panel {

// Layout of the search panel, in pixels.
constexpr int kLeft = 10;          // left edge of the panel's rows
constexpr int kMargin = 20;        // the wide controls leave this much of the pane
constexpr int kNarrowest = 120;    // the wide controls get at least this width
constexpr int kGap = 6;            // between a control and the one below it
constexpr int kCheckIndent = 4;    // the option check boxes, inside Panel2
constexpr int kOptionIndent = 12;  // the controls of an option
constexpr int kSpinWidth = 44;
constexpr int kSizeEditWidth = 80;
constexpr int kButtonWidth = 80;

inline int Bottom(const QWidget* w)
{
    return w->y() + w->height();
}

inline int HintHeight(const QWidget* w)
{
    return w->sizeHint().height();
}

inline int HintWidth(const QWidget* w)
{
    return w->sizeHint().width();
}

inline void Place(QWidget* w, int x, int y, int width)
{
    w->setGeometry(x, y, std::max(width, 1), HintHeight(w));
}

}  // namespace ardvel::gui::search_panel
