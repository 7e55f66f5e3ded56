#pragma once

#include <QStackedWidget>

class QAbstractItemModel;
class QAbstractItemView;
class QItemSelectionModel;
class QListView;
class QTreeView;

namespace ardvel::gui {

/// View styles of a list, by number.
enum ViewStyle : int { kLargeIcons = 0, kSmallIcons = 1, kListStyle = 2, kDetails = 3 };

/// A list with four view styles over one model: a report view with column
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
    QTreeView* DetailsView() const noexcept { return details_; }
    QListView* IconView() const noexcept { return icons_; }
    QItemSelectionModel* Selection() const;

    /// The selected row, or -1.
    int SelectedRow() const;
    void SelectRow(int row);
    /// True when either view has the keyboard focus.
    bool HasFocus() const;

signals:
    void RowDoubleClicked(int row);
    void SpacePressed();
    void HeaderClicked(int column);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QTreeView* details_;
    QListView* icons_;
    QAbstractItemModel* model_ = nullptr;
    int style_ = kDetails;
};

}  // namespace ardvel::gui
