#include "search/SearchResultsModel.h"

#include <QFont>
#include <algorithm>
#include <climits>
#include <numeric>

#include "common/Icons.h"
#include "common/QtText.h"
#include "store/RowSort.h"

namespace ardvel::gui {

SearchResultsModel::SearchResultsModel(SearchResults& results, const Locale& locale, QObject* parent)
    : ListRowsModel(parent), results_(&results), locale_(locale)
{
}

SearchResultsModel::~SearchResultsModel()
{
    CancelSort();
}

void SearchResultsModel::Forget()
{
    CancelSort();
    beginResetModel();
    order_.clear();
    marked_ = SIZE_MAX;
    endResetModel();
}

void SearchResultsModel::MarkResultRow(std::size_t resultRow)
{
    marked_ = resultRow;
    if (!order_.empty()) emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1), {Qt::FontRole});
}

void SearchResultsModel::RowsAdded(std::size_t first, std::size_t count)
{
    if (count == 0) return;
    CancelSort();  // the rows change: a sort of them elsewhere is stale
    // The list may have been re-sorted meanwhile: new rows join its end.
    const int firstRow = static_cast<int>(order_.size());
    // Room for as many rows as the results reserved: growing a list of
    // millions of rows by doubling would copy it whole within one event.
    if (order_.size() + count > order_.capacity())
        order_.reserve(std::max(results_->ReservedRows(), 2 * (order_.size() + count)));
    beginInsertRows({}, firstRow, firstRow + static_cast<int>(count) - 1);
    for (std::size_t i = 0; i < count; ++i) order_.push_back(static_cast<std::uint32_t>(first + i));
    endInsertRows();
}

void SearchResultsModel::ShowResults(SearchResults& results, std::size_t count)
{
    CancelSort();
    beginResetModel();
    results_ = &results;
    order_.resize(count);
    std::iota(order_.begin(), order_.end(), 0u);
    marked_ = SIZE_MAX;
    endResetModel();
}

std::optional<std::size_t> SearchResultsModel::FindRow(const RowIdentity& identity, std::size_t first) const
{
    for (std::size_t row = first; row < order_.size(); ++row) {
        const std::size_t i = order_[row];
        if (results_->Name(i) == identity.Name && results_->Path(i) == identity.Path &&
            results_->Volume(i) == identity.Volume)
            return row;
    }
    return std::nullopt;
}

RowIdentity SearchResultsModel::Identity(int row) const
{
    if (!ValidRow(row)) return {};
    const std::size_t i = ResultRow(row);
    return {std::string(results_->Name(i)), std::string(results_->Volume(i)), std::string(results_->Path(i))};
}

void SearchResultsModel::Reload()
{
    CancelSort();
    beginResetModel();
    order_.resize(results_->size());
    std::iota(order_.begin(), order_.end(), 0u);
    endResetModel();
}

bool SearchResultsModel::IsFolderRow(int row) const
{
    return ValidRow(row) && results_->IsFolder(ResultRow(row));
}

std::string SearchResultsModel::RowPath(int row) const
{
    if (!ValidRow(row)) return {};
    const std::size_t r = ResultRow(row);
    std::string path(results_->Volume(r));
    path += ":\\";
    path += results_->Path(r);
    path += results_->Name(r);
    if (results_->IsFolder(r)) path += '\\';
    return path;
}

QStringList SearchResultsModel::Texts(int row) const
{
    QStringList texts;
    if (!ValidRow(row)) return texts;
    for (const std::string& text : results_->Texts(ResultRow(row), locale_))
        texts.push_back(QString::fromStdString(text));
    return texts;
}

ReportRow SearchResultsModel::ReportRowAt(std::size_t row) const
{
    return results_->Texts(order_[row], locale_);
}

int SearchResultsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(order_.size());
}

int SearchResultsModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kSearchColumnCount;
}

QVariant SearchResultsModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || !ValidRow(index.row())) return {};
    const std::size_t i = ResultRow(index.row());
    switch (role) {
        case Qt::DisplayRole:
            switch (index.column()) {
                case kColumnName:
                    return FromUtf8(results_->Name(i));
                case kColumnVolume:
                    return FromUtf8(results_->Volume(i));
                case kColumnPath:
                    return FromUtf8(results_->Path(i));
                case kColumnMediaInfo:
                    return FromUtf8(results_->Media(i));
                case kColumnSize:
                case kColumnModified:
                    return QString::fromStdString(results_->Text(i, index.column(), locale_));
                default:
                    return {};
            }
        case Qt::DecorationRole:
            if (index.column() == kColumnName) return ListImage(results_->Row(i).ImageIndex);
            return {};
        case Qt::TextAlignmentRole:
            if (index.column() == kColumnSize) return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
            return {};
        case Qt::FontRole:
            if (i == marked_) {
                QFont bold;
                bold.setBold(true);
                return bold;
            }
            return {};
        default:
            return {};
    }
}

QVariant SearchResultsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal) return {};
    if (role == Qt::DisplayRole) {
        switch (section) {
            case kColumnName:
                return QStringLiteral("Name");
            case kColumnVolume:
                return QStringLiteral("Volume");
            case kColumnPath:
                return QStringLiteral("Path");
            case kColumnSize:
                return QStringLiteral("Size");
            case kColumnModified:
                return QStringLiteral("Modified");
            case kColumnMediaInfo:
                return QStringLiteral("Media Info");
            default:
                return {};
        }
    }
    if (role == Qt::TextAlignmentRole && section == kColumnSize)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

void SearchResultsModel::SortRows(const SortState& sort)
{
    if (growing_) {
        CancelSort();  // the rows change: a sort of them elsewhere is stale
        ReorderRows(order_, results_->size(), [&] {
            SortRowsStable(
                order_, [this](std::uint32_t i) { return results_->Keys(i); }, sort, ListKind::SearchResults, locale_);
        });
        return;
    }
    if (Sorting()) {
        pendingSort_ = sort;
        return;
    }
    StartSort(sort);
}

void SearchResultsModel::StartSort(const SortState& sort)
{
    runningSort_ = sort;
    // The keys are taken once per row; the rows' texts are only read.
    background_.Start(
        this, &order_,
        [this, sort](BackgroundSort::Order& order, const SortPoll& poll) {
            SortRowsStable(
                order,
                [&](std::uint32_t i) {
                    poll();
                    return results_->Keys(i);
                },
                sort, ListKind::SearchResults, locale_, poll);
        },
        [this] { TakeSortedOrder(); });
}

void SearchResultsModel::TakeSortedOrder()
{
    if (!background_.Running()) return;
    BackgroundSort::Order sorted;
    if (background_.Take(sorted) && sorted.size() == order_.size())
        ReorderRows(order_, results_->size(), [&] { order_.swap(sorted); });
    if (pendingSort_) {
        const SortState next = *pendingSort_;
        pendingSort_.reset();
        StartSort(next);
        return;
    }
    emit SortFinished();
}

void SearchResultsModel::FinishSort()
{
    while (Sorting()) TakeSortedOrder();
}

void SearchResultsModel::CancelSort()
{
    pendingSort_.reset();
    background_.Cancel();
}

int SearchResultsModel::RowImage(int row) const
{
    return ValidRow(row) ? results_->Row(ResultRow(row)).ImageIndex : -1;
}

NodeHandle SearchResultsModel::RowNode(int row) const
{
    return ValidRow(row) ? results_->Link(ResultRow(row)) : NodeHandle{};
}

void SearchResultsModel::SetFolderTotal(int row, std::int64_t sizeKB)
{
    if (!IsFolderRow(row)) return;
    // A sort elsewhere reads the sizes it sorts by: it is ended, and runs
    // again once the total is in, rather than waited for.
    std::optional<SortState> again = pendingSort_;
    if (!again && Sorting()) again = runningSort_;
    CancelSort();
    results_->SetFolderTotal(ResultRow(row), sizeKB);
    const QModelIndex cell = index(row, kColumnSize);
    emit dataChanged(cell, cell);
    if (again) StartSort(*again);
}

int SearchResultsModel::LongestText(int column) const
{
    int longest = 0;
    switch (column) {
        case kColumnName:
            for (std::uint32_t i : order_) longest = std::max(longest, CharacterCount(results_->Name(i)));
            return longest;
        case kColumnVolume:
            for (std::uint32_t i : order_) longest = std::max(longest, CharacterCount(results_->Volume(i)));
            return longest;
        case kColumnPath:
            for (std::uint32_t i : order_) longest = std::max(longest, CharacterCount(results_->Path(i)));
            return longest;
        case kColumnMediaInfo:
            for (std::uint32_t i : order_) longest = std::max(longest, CharacterCount(results_->Media(i)));
            return longest;
        case kColumnSize: {
            // A size text grows with the size within each unit, so the largest
            // and smallest sizes of each unit are enough.
            std::int64_t kbMax = INT64_MIN, kbMin = INT64_MAX, mbMax = INT64_MIN;
            for (std::uint32_t i : order_) {
                const SearchRow& row = results_->Row(i);
                if (row.SubDir) {
                    longest = std::max(longest, CharacterCount(kSubDirText));
                } else if (row.SizeKB <= 999) {
                    kbMax = std::max(kbMax, row.SizeKB);
                    kbMin = std::min(kbMin, row.SizeKB);
                } else {
                    mbMax = std::max(mbMax, row.SizeKB);
                }
            }
            for (std::int64_t kb : {kbMax, kbMin, mbMax})
                if (kb != INT64_MIN && kb != INT64_MAX)
                    longest = std::max(longest, CharacterCount(FormatSize(kb, locale_)));
            return longest;
        }
        case kColumnModified: {
            // Rows found together often share a date-time: format each run once.
            TDateTime last = 0;
            bool haveLast = false;
            for (std::uint32_t i : order_) {
                const TDateTime date = results_->Row(i).Date;
                if (haveLast && date == last) continue;
                last = date;
                haveLast = true;
                longest = std::max(longest, CharacterCount(FormatDate(date, locale_)));
            }
            return longest;
        }
        default:
            return 0;
    }
}

}  // namespace ardvel::gui
