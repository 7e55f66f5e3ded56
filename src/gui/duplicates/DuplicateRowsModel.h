#pragma once

#include <QAbstractTableModel>
#include <cstdint>
#include <vector>

#include "platform/Locale.h"
#include "search/Duplicates.h"
#include "store/CatalogTree.h"

namespace ardvel::gui {

/// The list of the Find Duplicates dialog: one row per record of every
/// group, with its group's number. The rows keep their own texts, so the
/// list outlives the search's result. Sorting by a column keeps the rows of
/// level keys in the order they had (group order, then tree order).
class DuplicateRowsModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { kGroup = 0, kName = 1, kVolume = 2, kPath = 3, kSize = 4, kModified = 5, kColumnCount = 6 };

    DuplicateRowsModel(const Locale& locale, QObject* parent = nullptr);

    /// Lists every record of `result`, group by group.
    void Show(const CatalogTree& tree, const DuplicateResult& result);
    void Clear();

    /// The folder a row's record lies in (itself for a folder record).
    NodeHandle RowFolder(int row) const;
    int Group(int row) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

private:
    struct Row {
        int Group = 0;
        std::uint32_t Order = 0;  ///< place in group order
        NodeHandle Folder;
        QString Name, Volume, Path, Size, Modified;
        std::int64_t SizeKB = 0;
        TDateTime Date = 0;
    };
    int Compare(const Row& a, const Row& b, int column) const;

    const Locale& locale_;
    std::vector<Row> rows_;
};

}  // namespace ardvel::gui
