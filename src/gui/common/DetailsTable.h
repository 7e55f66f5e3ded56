#pragma once

#include <QTableView>

class QHeaderView;

namespace ardvel::gui {

/// The details style of a list: one row a record, column headers, no
/// grid. A table rather than a tree: a tree view lays out every row again
/// whenever rows come or their order changes (tens of nanoseconds a row,
/// and memory for each), which freezes the window on lists of millions of
/// search results; a table's rows cost it a few bytes and nanoseconds.
/// The keys move as in a file manager's list: Home and End to the first and
/// last row, Left and Right scroll sideways.
class DetailsTable final : public QTableView {
    Q_OBJECT
public:
    explicit DetailsTable(QWidget* parent = nullptr);

    /// The column headers.
    QHeaderView* header() const { return horizontalHeader(); }

protected:
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void changeEvent(QEvent* event) override;

private:
    /// Rows as high as an icon or a line of text, with the cell's margins.
    void FitRowHeight();
};

}  // namespace ardvel::gui
