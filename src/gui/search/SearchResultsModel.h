#pragma once

#include <cstdint>
#include <vector>

#include "common/ListRowsModel.h"
#include "platform/Locale.h"
#include "search/SearchReport.h"
#include "search/SearchResults.h"

namespace ardvel::gui {

/// The search results list: a view of the rows of a SearchResults, texts
/// formatted when a view asks for them, nothing copied. The list holds a
/// permutation of the results' rows ("result rows"), so a re-sort by a
/// column click moves four bytes a row and leaves the results alone.
///
/// While a search runs the results grow before the list is told
/// (RowsAdded); rows the list has not been told of are not shown. When the
/// search has sorted the results at its end, Reload shows them in their
/// new order.
class SearchResultsModel final : public ListRowsModel {
    Q_OBJECT
public:
    SearchResultsModel(SearchResults& results, const Locale& locale, QObject* parent = nullptr);

    /// Removes every row from the list (before the results are emptied).
    void Forget();
    /// Result rows first .. first+count-1 were added: they join the end of
    /// the list.
    void RowsAdded(std::size_t first, std::size_t count);
    /// Lists every result row in the results' own order.
    void Reload();

    /// The result row a list row shows.
    std::size_t ResultRow(int row) const { return order_[static_cast<std::size_t>(row)]; }
    /// The result index of each list row, in the list's order.
    const std::vector<std::uint32_t>& Order() const noexcept { return order_; }
    bool IsFolderRow(int row) const;
    /// The row's six texts, in column order.
    QStringList Texts(int row) const;
    /// Every row's texts in the order the list holds them, for the report.
    std::vector<ReportRow> ReportRows() const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    ListKind Kind() const override { return ListKind::SearchResults; }
    void SortRows(const SortState& sort) override;
    int RowImage(int row) const override;
    NodeHandle RowNode(int row) const override;
    void SetFolderTotal(int row, std::int64_t sizeKB) override;
    int LongestText(int column) const override;

private:
    bool ValidRow(int row) const noexcept { return row >= 0 && static_cast<std::size_t>(row) < order_.size(); }

    SearchResults& results_;
    const Locale& locale_;
    std::vector<std::uint32_t> order_;  // list row -> result row
};

}  // namespace ardvel::gui
