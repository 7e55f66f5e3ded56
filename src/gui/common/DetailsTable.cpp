#include "common/DetailsTable.h"

#include <QEvent>
#include <QHeaderView>
#include <QScrollBar>
#include <QStyle>
#include <algorithm>

namespace ardvel::gui {

DetailsTable::DetailsTable(QWidget* parent) : QTableView(parent)
{
    setShowGrid(false);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    // Tab leaves the list, as it leaves any other control.
    setTabKeyNavigation(false);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setIconSize(QSize(16, 16));
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setHighlightSections(false);
    FitRowHeight();
}

void DetailsTable::FitRowHeight()
{
    const int margin = style()->pixelMetric(QStyle::PM_FocusFrameVMargin, nullptr, this);
    const int line = std::max(fontMetrics().height(), iconSize().height());
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(line + 2 * margin + 2);
}

void DetailsTable::changeEvent(QEvent* event)
{
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) FitRowHeight();
}

QModelIndex DetailsTable::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    const QModelIndex current = currentIndex();
    switch (action) {
        case MoveLeft:
        case MoveRight: {
            // The row stays; the columns scroll into view.
            QScrollBar* bar = horizontalScrollBar();
            bar->setValue(bar->value() + (action == MoveLeft ? -1 : 1) * bar->singleStep());
            return current;
        }
        case MoveHome:
        case MoveEnd: {
            if (!model()) return current;
            const int rows = model()->rowCount(rootIndex());
            if (rows == 0) return current;
            const int column = current.isValid() ? current.column() : 0;
            return model()->index(action == MoveHome ? 0 : rows - 1, column, rootIndex());
        }
        default:
            return QTableView::moveCursor(action, modifiers);
    }
}

}  // namespace ardvel::gui
