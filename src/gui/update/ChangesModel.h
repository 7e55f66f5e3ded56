#pragma once

// The list of changes of the update and compare dialogs.

#include <QAbstractTableModel>
#include <vector>

#include "catalog/CompareTrees.h"
#include "platform/Locale.h"

namespace ardvel::gui {

/// One row per change: "Change" (an icon and Added, Removed or Changed),
/// "Path", "Old Size", "New Size", "Old Date", "New Date", in the list
/// formats of the locale. Qt::UserRole gives each column's sort key (sizes
/// and dates as numbers), so a sort proxy orders the rows by value.
class ChangesModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { kChange, kPath, kOldSize, kNewSize, kOldDate, kNewDate, kColumnCount };

    explicit ChangesModel(const Locale& locale, QObject* parent = nullptr);

    void Clear();
    void Add(const TreeChange& change);
    const TreeChange& ChangeAt(int row) const { return changes_[static_cast<std::size_t>(row)]; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QVariant Text(const TreeChange& c, int column) const;
    QVariant SortKey(const TreeChange& c, int column) const;

    const Locale& locale_;
    std::vector<TreeChange> changes_;
};

/// The caption of a change's kind: "Added", "Removed" or "Changed".
QString ChangeKindText(ChangeKind kind);

}  // namespace ardvel::gui
