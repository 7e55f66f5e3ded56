#pragma once

#include <QStackedWidget>
#include <vector>

class QAbstractItemModel;
class QModelIndex;
class QAbstractItemView;
class QItemSelectionModel;
class QListView;

namespace ardvel::gui {

class DetailsTable;

/// View styles of a list, by number.
enum ViewStyle : int { kLargeIcons = 0, kSmallIcons = 1, kListStyle = 2, kDetails = 3 };

/// A list with four view styles over one model: a table with column
/// headers for the details style and an icon/list view for the others. Both
/// share one selection, so a change of style keeps the selected row.
class StyledListView final : public QStackedWidget {
    Q_OBJECT
public:
    explicit StyledListView(QWidget* parent = nullptr);

    void SetModel(QAbstractItemModel* model);
    QAbstractItemModel* Model() const noexcept { return model_; }

    int Style() const noexcept { return style_; }
    void SetStyle(int style);

    /// The view of the current style.
    QAbstractItemView* CurrentView() const;
    DetailsTable* DetailsView() const noexcept { return details_; }
    QListView* IconView() const noexcept { return icons_; }
    QItemSelectionModel* Selection() const;

    /// The name screen readers give the list, in every style.
    void SetAccessibleName(const QString& name);

    /// Whether Shift and Ctrl select several rows (one row by default).
    void SetMultiSelection(bool on);
    /// The selected row (of several, the current one when it is selected),
    /// or -1.
    int SelectedRow() const;
    void SelectRow(int row);
    /// Every selected row, in list order.
    std::vector<int> SelectedRows() const;
    /// True when either view has the keyboard focus.
    bool HasFocus() const;
    /// The full caption of the cell `index` when the current style cuts it
    /// short (the view shows it as a tooltip), else an empty text.
    QString CutCaption(const QModelIndex& index) const;

    /// Widest cell of the small-icon and list styles: longer captions are
    /// cut there, and shown whole in a tooltip.
    static constexpr int kMaxCellWidth = 320;
    /// Captions measured for the cell width: the first this many rows.
    static constexpr int kMeasuredRows = 20000;

signals:
    void RowDoubleClicked(int row);
    void SpacePressed();
    void HeaderClicked(int column);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    /// The small-icon and list styles lay out cells as wide as the longest
    /// caption (up to kMaxCellWidth), icon left, text right.
    void FitCells();
    /// The small-icon and list styles size their cells by the captions.
    bool MeasuresCaptions() const noexcept;
    void MeasureRows(int first, int last);
    bool ShowToolTip(QEvent* event);

    DetailsTable* details_;
    QListView* icons_;
    QAbstractItemModel* model_ = nullptr;
    int style_ = kDetails;
    int captionWidth_ = 0;        ///< widest caption measured, in pixels
    bool captionsKnown_ = false;  ///< captionWidth_ covers the model's rows
};

}  // namespace ardvel::gui
