#pragma once

#include <cstdint>
#include <string>

#include "store/DateTime.h"

namespace ardvel {

/// Which radio button of the date test is set.
enum class SearchDateMode : int {
    InLastMonths = 0,
    InLastDays = 1,
    InRange = 2,
};

/// The item index of the "at least" / "at most" list. Any other value (no
/// item selected) puts no bound on files and writes no size line in reports.
enum class SearchSizeBound : int {
    AtLeast = 0,
    AtMost = 1,
};

/// The spin edit of the size test keeps its value within these bounds.
inline constexpr std::int32_t kSizeEditMinimum = 0;
inline constexpr std::int32_t kSizeEditMaximum = 5250000;

/// What the search panel asks for. All tests that are switched on must hold.
struct SearchCriteria {
    std::string NameText;  ///< the mask, or the text to look for in names
    bool UseMask = false;  ///< set by PrepareNameText when a search starts

    bool MediaOn = false;
    std::string ArtistPart;  ///< empty: any artist
    std::string TitlePart;   ///< empty: any title

    bool DateOn = false;
    SearchDateMode DateMode = SearchDateMode::InRange;
    std::int32_t MonthCount = 0;
    std::int32_t DayCount = 0;
    TDateTime RangeStart = 0;
    TDateTime RangeEnd = 0;

    bool SizeOn = false;
    SearchSizeBound SizeBound = SearchSizeBound::AtLeast;
    std::int32_t SizeLimitKB = 0;
};

/// Run when a search starts: an empty name text becomes "*", and UseMask is
/// set exactly when the text holds a "*" or a "?".
void PrepareNameText(SearchCriteria& criteria);

}  // namespace ardvel
