#include "store/DateTime.h"

#include <chrono>
#include <cmath>
#include <vector>

namespace ardvel {

namespace {

// Howard Hinnant's days_from_civil, shifted to the 1899-12-30 epoch.
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) noexcept
{
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void CivilFromDays(std::int64_t z, int& year, int& month, int& day) noexcept
{
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t y = static_cast<std::int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(y + (month <= 2));
}

const std::int64_t kEpochOffset = DaysFromCivil(1899, 12, 30);

bool IsLeap(int y) noexcept
{
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int DaysInMonth(int y, int m) noexcept
{
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeap(y) ? 29 : kDays[m - 1];
}

/// The days of the DOS range, 1980-01-01 to 2107-12-31, from the epoch.
const std::int64_t kDosFirstDay = DaysFromCivil(1980, 1, 1) - kEpochOffset;
const std::int64_t kDosLastDay = DaysFromCivil(2107, 12, 31) - kEpochOffset;

/// The DOS date bits (years since 1980, month, day) of each day of the DOS
/// range, from its first: a save converts a date for every record, and a
/// look-up of 94 KB costs less than a calendar computation each time.
const std::uint16_t* DosDays()
{
    static const std::vector<std::uint16_t> table = [] {
        std::vector<std::uint16_t> days;
        days.reserve(static_cast<std::size_t>(kDosLastDay - kDosFirstDay + 1));
        for (std::int64_t d = kDosFirstDay; d <= kDosLastDay; ++d) {
            int year, month, day;
            CivilFromDays(d + kEpochOffset, year, month, day);
            days.push_back(static_cast<std::uint16_t>(((year - 1980) << 9) | (month << 5) | day));
        }
        return days;
    }();
    return table.data();
}

constexpr std::uint16_t kNoDosDay = 0xFFFF;

/// For each DOS date (the high sixteen bits), its day from the first of the
/// DOS range, or kNoDosDay when it names no day: loading converts the date
/// of every record.
const std::uint16_t* DosDayNumbers()
{
    static const std::vector<std::uint16_t> table = [] {
        std::vector<std::uint16_t> numbers(std::size_t{1} << 16, kNoDosDay);
        const std::uint16_t* days = DosDays();
        for (std::int64_t d = 0; d <= kDosLastDay - kDosFirstDay; ++d) numbers[days[d]] = static_cast<std::uint16_t>(d);
        return numbers;
    }();
    return table.data();
}

}  // namespace

std::int64_t DaysSinceEpoch(int year, int month, int day) noexcept
{
    return DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) - kEpochOffset;
}

bool IsValidDateTime(const DateTimeFields& f) noexcept
{
    if (f.Month < 1 || f.Month > 12 || f.Day < 1 || f.Day > DaysInMonth(f.Year, f.Month)) return false;
    return f.Hour >= 0 && f.Hour < 24 && f.Minute >= 0 && f.Minute < 60 && f.Second >= 0 && f.Second < 60 &&
           f.Millisecond >= 0 && f.Millisecond < 1000;
}

TDateTime EncodeDateTime(const DateTimeFields& f) noexcept
{
    const double days = static_cast<double>(DaysSinceEpoch(f.Year, f.Month, f.Day));
    const double time = (f.Hour * 3600000.0 + f.Minute * 60000.0 + f.Second * 1000.0 + f.Millisecond) / 86400000.0;
    // Before the epoch the time of day still counts forwards from midnight,
    // which in this encoding means it is subtracted from a negative day.
    return days >= 0 ? days + time : days - time;
}

DateTimeFields DecodeDateTime(TDateTime value) noexcept
{
    DateTimeFields f;
    if (!std::isfinite(value)) return f;
    double whole = std::trunc(value);
    double ms = std::round(std::fabs(value - whole) * 86400000.0);
    if (ms >= 86400000.0) {  // rounding reached the next day
        ms = 0;
        // The day after, on either side of the epoch: before it the whole
        // part is the day and the fraction still counts forwards from midnight.
        whole += 1;
    }
    CivilFromDays(static_cast<std::int64_t>(whole) + kEpochOffset, f.Year, f.Month, f.Day);
    auto total = static_cast<std::int64_t>(ms);
    f.Millisecond = static_cast<int>(total % 1000);
    total /= 1000;
    f.Second = static_cast<int>(total % 60);
    total /= 60;
    f.Minute = static_cast<int>(total % 60);
    f.Hour = static_cast<int>(total / 60);
    return f;
}

std::uint32_t DateTimeToDos(TDateTime value) noexcept
{
    if (!std::isfinite(value)) return kDosMinimum;
    // Within the DOS range, the day and the time of day as DecodeDateTime
    // finds them, the calendar date from the table.
    double whole = std::trunc(value);
    double ms = std::round(std::fabs(value - whole) * 86400000.0);
    if (ms >= 86400000.0) {
        ms = 0;
        whole += 1;
    }
    if (whole >= static_cast<double>(kDosFirstDay) && whole <= static_cast<double>(kDosLastDay)) {
        const auto seconds = static_cast<std::uint32_t>(ms) / 1000;
        const std::uint32_t date = DosDays()[static_cast<std::size_t>(whole) - static_cast<std::size_t>(kDosFirstDay)];
        return (date << 16) | ((seconds / 3600) << 11) | ((seconds / 60 % 60) << 5) | (seconds % 60 / 2);
    }
    // Compare whole seconds first so that 2107-12-31 23:59:59.9 does not
    // round into 2108.
    const DateTimeFields f = DecodeDateTime(value);
    if (f.Year < 1980) return kDosMinimum;
    if (f.Year > 2107) return kDosMaximum;
    return (static_cast<std::uint32_t>(f.Year - 1980) << 25) | (static_cast<std::uint32_t>(f.Month) << 21) |
           (static_cast<std::uint32_t>(f.Day) << 16) | (static_cast<std::uint32_t>(f.Hour) << 11) |
           (static_cast<std::uint32_t>(f.Minute) << 5) | static_cast<std::uint32_t>(f.Second / 2);
}

TDateTime DosToDateTime(std::uint32_t dos) noexcept
{
    // The day from the table, the time of day as EncodeDateTime makes it.
    const std::uint16_t day = DosDayNumbers()[dos >> 16];
    const unsigned hour = (dos >> 11) & 0x1F, minute = (dos >> 5) & 0x3F, second = (dos & 0x1F) * 2;
    if (day == kNoDosDay || hour > 23 || minute > 59 || second > 59) return static_cast<TDateTime>(kDosFirstDay);
    const double time = (hour * 3600000.0 + minute * 60000.0 + second * 1000.0) / 86400000.0;
    return static_cast<double>(kDosFirstDay + day) + time;
}

TDateTime UnixToLocalDateTime(std::time_t seconds, long nanoseconds) noexcept
{
    std::tm tm{};
    if (!localtime_r(&seconds, &tm)) return 0.0;
    DateTimeFields f;
    f.Year = tm.tm_year + 1900;
    f.Month = tm.tm_mon + 1;
    f.Day = tm.tm_mday;
    f.Hour = tm.tm_hour;
    f.Minute = tm.tm_min;
    f.Second = tm.tm_sec > 59 ? 59 : tm.tm_sec;  // leap second
    f.Millisecond = static_cast<int>(nanoseconds / 1000000);
    return EncodeDateTime(f);
}

TDateTime NowLocal() noexcept
{
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    return UnixToLocalDateTime(ts.tv_sec, ts.tv_nsec);
}

TDateTime TodayLocal() noexcept
{
    return std::trunc(NowLocal());
}

}  // namespace ardvel
