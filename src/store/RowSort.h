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

/// Orders `order` (indices of rows) stably by image index, then by the
/// collation of each row's text (`textOf`) times `direction`, with the byte
/// order breaking collation ties as Locale::Compare does. Each text is
/// transformed once instead of once per comparison.
void SortByCollation(std::vector<std::uint32_t>& order, const std::vector<int>& imageOf,
                     const std::function<std::string(std::uint32_t)>& textOf, int direction, const Locale& locale);

/// What a comparison of a size or date column reads of a row, in 16 bytes:
/// the image index, the "[SUB-DIR]" flag and the size or the date.
struct SortNumbers {
    std::int64_t Bits = 0;  ///< SizeKB, or the bits of Date
    std::int32_t Image = 0;
    bool SubDir = false;
};

/// True when the sort column of `kind` is the size column (else a date
/// column or none).
bool IsSizeColumn(const SortState& sort, ListKind kind) noexcept;
SortNumbers SortNumbersOf(const RowKeys& keys, bool bySize) noexcept;
RowKeys KeysOfNumbers(const SortNumbers& numbers, bool bySize) noexcept;

/// SortRowsStable for a size or date column: the keys are taken once per
/// row instead of twice per comparison.
template <typename Row, typename KeysOf>
void SortByNumbers(std::vector<Row>& rows, const KeysOf& keysOf, const SortState& sort, ListKind kind,
                   const Locale& locale)
{
    const bool bySize = IsSizeColumn(sort, kind);
    std::vector<SortNumbers> numbers(rows.size());
    std::vector<std::uint32_t> order(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        numbers[i] = SortNumbersOf(keysOf(rows[i]), bySize);
        order[i] = static_cast<std::uint32_t>(i);
    }
    std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
        return ListViewCompare(KeysOfNumbers(numbers[a], bySize), KeysOfNumbers(numbers[b], bySize), sort, kind,
                               locale) < 0;
    });
    std::vector<Row> sorted;
    sorted.reserve(rows.size());
    for (std::uint32_t i : order) sorted.push_back(std::move(rows[i]));
    rows = std::move(sorted);
}

/// Sorts `rows` stably into the order of ListViewCompare under `sort`;
/// `keysOf(row)` gives the row's RowKeys.
template <typename Row, typename KeysOf>
void SortRowsStable(std::vector<Row>& rows, const KeysOf& keysOf, const SortState& sort, ListKind kind,
                    const Locale& locale)
{
    if (!IsTextColumn(sort, kind)) {
        SortByNumbers(rows, keysOf, sort, kind, locale);
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
        locale);
    std::vector<Row> sorted;
    sorted.reserve(rows.size());
    for (std::uint32_t i : order) sorted.push_back(std::move(rows[i]));
    rows = std::move(sorted);
}

}  // namespace ardvel
