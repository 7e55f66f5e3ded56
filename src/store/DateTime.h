#pragma once

#include <cstdint>
#include <ctime>

namespace ardvel {

/// Days since 1899-12-30 00:00, the fraction being the time of day, local time.
using TDateTime = double;

struct DateTimeFields {
    int Year = 1899, Month = 12, Day = 30;
    int Hour = 0, Minute = 0, Second = 0, Millisecond = 0;
};

/// Days from 1899-12-30 to the given civil date (proleptic Gregorian).
std::int64_t DaysSinceEpoch(int year, int month, int day) noexcept;

TDateTime EncodeDateTime(const DateTimeFields& f) noexcept;
DateTimeFields DecodeDateTime(TDateTime value) noexcept;

/// True for a real calendar date and a time of day within 00:00:00..23:59:59.
bool IsValidDateTime(const DateTimeFields& f) noexcept;

/// The packed DOS form: seconds/2 in bits 0-4, minute 5-10, hour 11-15,
/// day 16-20, month 21-24, year-1980 25-31. Seconds are truncated to the
/// even second below. Dates before 1980 or after 2107 are clamped to
/// 1980-01-01 00:00:00 or 2107-12-31 23:59:58 (never the invalid 0).
std::uint32_t DateTimeToDos(TDateTime value) noexcept;

/// The DOS date-time back as TDateTime. A value that is no valid date or
/// time (0 included) reads as 1980-01-01 00:00:00, so one bad stamp does
/// not make a whole catalog unreadable.
TDateTime DosToDateTime(std::uint32_t dos) noexcept;

constexpr std::uint32_t kDosMinimum = (0u << 25) | (1u << 21) | (1u << 16);
constexpr std::uint32_t kDosMaximum = (127u << 25) | (12u << 21) | (31u << 16) | (23u << 11) | (59u << 5) | 29u;

/// A Unix time (seconds since 1970 UTC) as local TDateTime.
TDateTime UnixToLocalDateTime(std::time_t seconds, long nanoseconds = 0) noexcept;

/// The current local date and time, milliseconds included.
TDateTime NowLocal() noexcept;

/// Today at local midnight.
TDateTime TodayLocal() noexcept;

}  // namespace ardvel
