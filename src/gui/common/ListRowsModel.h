#pragma once

#include <QAbstractTableModel>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "store/CatalogTree.h"
#include "store/ListFormats.h"

namespace ardvel::gui {

class DetailsTable;

/// What the window needs of a list that shares the folder list's sorting,
/// folder totals and column sizing: the folder list, and the search results
/// list that search mode shows in its place.
class ListRowsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    virtual ListKind Kind() const = 0;
    /// Orders the rows by ListViewCompare under `sort`, keeping the order of
    /// level rows (a stable sort).
    virtual void SortRows(const SortState& sort) = 0;
    /// The row's image index (kFileImage for a file row).
    virtual int RowImage(int row) const = 0;
    /// The node a folder row stands for; a default handle for a file row.
    virtual NodeHandle RowNode(int row) const = 0;
    /// Shows `sizeKB` in place of a folder row's "[SUB-DIR]" (and sorts it
    /// as that size from then on).
    virtual void SetFolderTotal(int row, std::int64_t sizeKB) = 0;
    /// The greatest number of characters of the column's texts (0 without
    /// rows).
    virtual int LongestText(int column) const = 0;

    /// Sizes the columns of `view` (the details style of a list of these
    /// rows) to their longest texts and header captions, as the view's font
    /// and style draw them.
    void FitColumns(DetailsTable& view) const;

protected:
    /// Reorders the rows: `sort` rearranges `order` (row -> source index,
    /// each source index below `sourceCount` at most once), and the views'
    /// persistent indexes (selection, current row) follow their rows.
    void ReorderRows(std::vector<std::uint32_t>& order, std::size_t sourceCount, const std::function<void()>& sort);
};

/// Characters of a UTF-8 text (code points, not bytes).
int CharacterCount(std::string_view text) noexcept;

}  // namespace ardvel::gui
