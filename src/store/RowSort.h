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

/// Sorts `rows` stably into the order of ListViewCompare under `sort`;
/// `keysOf(row)` gives the row's RowKeys.
template <typename Row, typename KeysOf>
void SortRowsStable(std::vector<Row>& rows, const KeysOf& keysOf, const SortState& sort, ListKind kind,
                    const Locale& locale)
{
    if (!IsTextColumn(sort, kind)) {
        std::stable_sort(rows.begin(), rows.end(), [&](const Row& a, const Row& b) {
            return ListViewCompare(keysOf(a), keysOf(b), sort, kind, locale) < 0;
        });
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
