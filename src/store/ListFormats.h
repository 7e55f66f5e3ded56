#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/Locale.h"
#include "store/DateTime.h"

namespace ardvel {

/// The size column's text for folders.
inline constexpr const char* kSubDirText = "[SUB-DIR]";

/// Sizes of at most 999 KB as "%.0n KB" ("999 KB"), larger ones divided by
/// 1024 as "%.3n MB" ("1,024.000 MB"), with the locale's separators; the last
/// decimal rounded half away from zero.
std::string FormatSize(std::int64_t sizeKB, const Locale& locale);

/// The locale's short date alone.
std::string FormatShortDate(TDateTime date, const Locale& locale);

/// The locale's short date, a blank and its long time; the time is left out
/// when it is exactly midnight.
std::string FormatDate(TDateTime date, const Locale& locale);

/// The lists that share one comparison.
enum class ListKind {
    FolderList,     ///< Name, Size, Modified, Media Info
    SearchResults,  ///< Name, Volume, Path, Size, Modified, Media Info
};

/// Column and direction of both lists (not saved between runs).
struct SortState {
    std::uint8_t Column = 0;
    std::int8_t Direction = 1;

    /// A click on a column header: the same column flips the direction,
    /// another one sorts ascending.
    void ColumnClick(int column) noexcept
    {
        Direction = column == Column ? static_cast<std::int8_t>(-Direction) : std::int8_t{1};
        Column = static_cast<std::uint8_t>(column);
    }
};

/// What a list row shows, taken from the records rather than parsed back
/// from its texts.
struct RowKeys {
    int ImageIndex = 4;
    std::string_view Caption;
    bool SubDir = false;  ///< the size text is "[SUB-DIR]"
    std::int64_t SizeKB = 0;
    TDateTime Date = 0;
    std::string_view MediaArtist;  ///< the media text is MediaArtist + MediaTitle
    std::string_view MediaTitle;
    std::string_view Volume;  ///< search results only
    std::string_view Path;    ///< search results only
};

/// The value a size text shows, in its unit's smallest step: KB up to 999,
/// else thousandths of a MB.
std::int64_t ShownSize(std::int64_t kb) noexcept;

/// Negative when `a` goes before `b`, 0 when level, positive after: the
/// image index first (whatever the direction), then the sort column times
/// the direction. Not a strict weak ordering; sort with a stable merge sort.
int ListViewCompare(const RowKeys& a, const RowKeys& b, const SortState& sort, ListKind kind, const Locale& locale);

/// The size rule: "[SUB-DIR]" first is level with anything, then the units
/// (KB before MB), then the shown values' difference rounded ties-to-even.
int CompareSizes(const RowKeys& a, const RowKeys& b);
/// The date rule: the difference in days of the shown date-times, rounded
/// ties-to-even.
int CompareDates(const RowKeys& a, const RowKeys& b);

}  // namespace ardvel
