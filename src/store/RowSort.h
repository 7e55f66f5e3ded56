#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/Locale.h"
#include "store/ListFormats.h"

namespace ardvel {

/// True when the sort column of `kind` is compared as text (Name, Media
/// Info; Volume and Path of the search results).
bool IsTextColumn(const SortState& sort, ListKind kind) noexcept;

/// The text the sort column compares (for IsTextColumn columns).
std::string SortColumnText(const RowKeys& keys, const SortState& sort, ListKind kind);

/// Called now and then while a sort compares rows (every kSortPollEvery
/// comparisons), so that a sort of millions of rows that is no longer
/// wanted can end early: it throws, and the exception leaves the sort.
/// SortRowsStable then leaves the rows as they were; an order SortByCollation
/// was given is to be thrown away.
using SortPoll = std::function<void()>;
inline constexpr std::uint32_t kSortPollEvery = 1u << 14;

/// Counts comparisons and calls the poll, when there is one, every
/// kSortPollEvery of them.
class SortPollCounter {
public:
    explicit SortPollCounter(const SortPoll& poll) noexcept : poll_(poll ? &poll : nullptr) {}
    void Tick()
    {
        if (poll_ != nullptr && ++count_ % kSortPollEvery == 0) (*poll_)();
    }

private:
    const SortPoll* poll_;
    std::uint32_t count_ = 0;
};

/// Orders `order` (indices of rows) stably by image index, then by the
/// collation of each row's text (`textOf`) times `direction`, with the byte
/// order breaking collation ties as Locale::Compare does. Each text is
/// transformed once instead of once per comparison.
void SortByCollation(std::vector<std::uint32_t>& order, const std::vector<int>& imageOf,
                     const std::function<std::string(std::uint32_t)>& textOf, int direction, const Locale& locale,
                     const SortPoll& poll = {});

/// The column a sort that is not by text compares.
enum class NumberColumn : std::uint8_t { None, Size, Date };
NumberColumn NumberColumnOf(const SortState& sort, ListKind kind) noexcept;

/// What ListViewCompare reads of a row for a size or date column (or none),
/// made once per row: the image index and the value the column's text
/// shows.
struct SortNumbers {
    std::int64_t Shown = 0;  ///< size: KB up to 999, else thousandths of MB
    double Seconds = 0;      ///< date: whole seconds
    std::int32_t Image = 0;
    char Unit = 'K';  ///< size: 'K', 'M', or 'R' for "[SUB-DIR]"
};
SortNumbers SortNumbersOf(const RowKeys& keys, NumberColumn column) noexcept;
/// The sign of ListViewCompare on the two rows' keys, direction 1.
int CompareNumbers(const SortNumbers& a, const SortNumbers& b, NumberColumn column) noexcept;

/// Rearranges `rows` so that row k is the former row order[k]. The rows
/// stay in their vector's memory: a list that reserved room for a search's
/// rows keeps it for the next search.
template <typename Row>
void PutInOrder(std::vector<Row>& rows, const std::vector<std::uint32_t>& order)
{
    std::vector<Row> sorted;
    sorted.reserve(rows.size());
    for (std::uint32_t i : order) sorted.push_back(std::move(rows[i]));
    std::move(sorted.begin(), sorted.end(), rows.begin());
}

/// SortRowsStable for a size or date column, or none: the keys are taken
/// once per row, and comparisons read 24 bytes a row.
template <typename Row, typename KeysOf>
void SortByNumbers(std::vector<Row>& rows, const KeysOf& keysOf, const SortState& sort, ListKind kind,
                   const SortPoll& poll = {})
{
    const NumberColumn column = NumberColumnOf(sort, kind);
    std::vector<SortNumbers> numbers(rows.size());
    std::vector<std::uint32_t> order(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        numbers[i] = SortNumbersOf(keysOf(rows[i]), column);
        order[i] = static_cast<std::uint32_t>(i);
    }
    SortPollCounter polls(poll);
    std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
        polls.Tick();
        const SortNumbers& x = numbers[a];
        const SortNumbers& y = numbers[b];
        // The image first, whatever the direction.
        if (x.Image != y.Image) return x.Image < y.Image;
        return CompareNumbers(x, y, column) * sort.Direction < 0;
    });
    PutInOrder(rows, order);
}

/// Sorts `rows` stably into the order of ListViewCompare under `sort`;
/// `keysOf(row)` gives the row's RowKeys. `poll`, if any, may end the sort
/// early by throwing (see SortPoll).
template <typename Row, typename KeysOf>
void SortRowsStable(std::vector<Row>& rows, const KeysOf& keysOf, const SortState& sort, ListKind kind,
                    const Locale& locale, const SortPoll& poll = {})
{
    if (!IsTextColumn(sort, kind)) {
        SortByNumbers(rows, keysOf, sort, kind, poll);
        return;
    }
    std::vector<std::uint32_t> order(rows.size());
    std::vector<int> images(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        order[i] = static_cast<std::uint32_t>(i);
        images[i] = keysOf(rows[i]).ImageIndex;
    }
    SortByCollation(
        order, images, [&](std::uint32_t i) { return SortColumnText(keysOf(rows[i]), sort, kind); }, sort.Direction,
        locale, poll);
    PutInOrder(rows, order);
}

}  // namespace ardvel
