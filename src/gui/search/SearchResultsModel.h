#pragma once

#include <climits>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/BackgroundSort.h"
#include "common/ListRowsModel.h"
#include "platform/Locale.h"
#include "search/SearchReport.h"
#include "search/SearchResults.h"

namespace ardvel::gui {

/// What tells a record from the others across two searches: its name and
/// the volume and path of its folder.
struct RowIdentity {
    std::string Name, Volume, Path;
};

/// The search results list: a view of the rows of a SearchResults, texts
/// formatted when a view asks for them, nothing copied. The list holds a
/// permutation of the results' rows ("result rows"), so a re-sort by a
/// column click moves four bytes a row and leaves the results alone.
///
/// While a search runs the results grow before the list is told
/// (RowsAdded); rows the list has not been told of are not shown, and a
/// re-sort runs at once. Once the results stop growing a sort runs on a
/// worker thread over a copy of the list's order, which only reads the
/// results: the window goes on while millions of rows are sorted, and the
/// rows take their new order when the sort is done.
class SearchResultsModel final : public ListRowsModel {
    Q_OBJECT
public:
    SearchResultsModel(SearchResults& results, const Locale& locale, QObject* parent = nullptr);
    ~SearchResultsModel() override;

    /// Removes every row from the list (before the results are emptied).
    /// A sort under way is dropped.
    void Forget();
    /// While the results grow (a search runs), sorts run at once: a worker
    /// must not read results that are being added to.
    void SetGrowing(bool growing) noexcept { growing_ = growing; }
    /// True while a sort runs on the worker thread.
    bool Sorting() const noexcept { return background_.Running(); }
    /// Waits for the sort under way (and any asked for meanwhile) and shows
    /// its order.
    void FinishSort();
    /// Stops the sort under way; the rows keep the order they show.
    void CancelSort();
    /// Result rows first .. first+count-1 were added: they join the end of
    /// the list.
    void RowsAdded(std::size_t first, std::size_t count);
    /// Lists every result row in the results' own order.
    void Reload();
    /// Shows rows 0..count-1 of `results` in place of the rows shown, in one
    /// reset: the list is never empty in between. A sort under way and the
    /// bold mark are dropped.
    void ShowResults(SearchResults& results, std::size_t count);
    /// The results the list shows.
    SearchResults& Results() const noexcept { return *results_; }

    /// The identity of the record row `row` shows (empty for no row).
    RowIdentity Identity(int row) const;
    /// The first list row from `first` on that shows the record `identity`.
    std::optional<std::size_t> FindRow(const RowIdentity& identity, std::size_t first = 0) const;

    /// Shows the row of result row `resultRow` in bold (Find Copies marks
    /// the file whose copies are listed); Forget drops the mark.
    void MarkResultRow(std::size_t resultRow);
    bool IsMarkedRow(int row) const { return ValidRow(row) && ResultRow(row) == marked_; }

    /// The result row a list row shows.
    std::size_t ResultRow(int row) const { return order_[static_cast<std::size_t>(row)]; }
    /// The result index of each list row, in the list's order.
    const std::vector<std::uint32_t>& Order() const noexcept { return order_; }
    bool IsFolderRow(int row) const;
    /// The node path of a row's folder or file: "Vol:\A\B\" for a
    /// folder, "Vol:\A\name" for a file; empty for no row.
    std::string RowPath(int row) const;
    /// The row's six texts, in column order.
    QStringList Texts(int row) const;
    /// The texts of the list's row `row`, for the report.
    ReportRow ReportRowAt(std::size_t row) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    ListKind Kind() const override { return ListKind::SearchResults; }
    /// Sorts on the worker thread, unless the results grow; a sort asked
    /// for while one runs follows it.
    void SortRows(const SortState& sort) override;
    int RowImage(int row) const override;
    NodeHandle RowNode(int row) const override;
    void SetFolderTotal(int row, std::int64_t sizeKB) override;
    int LongestText(int column) const override;

signals:
    /// A sort on the worker thread is done and the rows show its order.
    void SortFinished();

private:
    void StartSort(const SortState& sort);
    /// Shows the worker's order, then starts the sort asked for meanwhile.
    void TakeSortedOrder();

    bool ValidRow(int row) const noexcept { return row >= 0 && static_cast<std::size_t>(row) < order_.size(); }

    SearchResults* results_;
    const Locale& locale_;
    std::vector<std::uint32_t> order_;  // list row -> result row
    std::size_t marked_ = SIZE_MAX;     // result row shown in bold

    bool growing_ = false;
    BackgroundSort background_;
    std::optional<SortState> pendingSort_;  // asked for while a sort ran
    SortState runningSort_;                 // the sort started last
};

}  // namespace ardvel::gui
