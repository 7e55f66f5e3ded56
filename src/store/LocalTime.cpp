#include "store/LocalTime.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>

namespace ardvel {

namespace {

constexpr std::int64_t kDay = 86400;
/// Days from 1899-12-30 (TDateTime 0) to 1970-01-01.
constexpr std::int64_t kUnixEpoch = 25569;

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) noexcept
{
    return a / b - (a % b != 0 && (a < 0) != (b < 0));
}

void Put2(char* p, int v) noexcept
{
    p[0] = static_cast<char>('0' + v / 10);
    p[1] = static_cast<char>('0' + v % 10);
}

/// Seconds east of UTC at the Unix time `t`. localtime_r, unlike mktime,
/// does not read the zone files again on every call.
long OffsetAt(std::int64_t t) noexcept
{
    const auto seconds = static_cast<std::time_t>(t);
    std::tm tm{};
    return localtime_r(&seconds, &tm) ? tm.tm_gmtoff : 0;
}

/// The offset at a time of the local clock (seconds since 1970 on it).
long OffsetAtLocal(std::int64_t local) noexcept
{
    return OffsetAt(local - OffsetAt(local));
}

/// What one day (local or UTC) needs: its offset when it has only one, and
/// for local days the date text. Direct-mapped by day number: the dates of
/// a catalog fall on comparatively few days. The zone's standard offset is
/// part of the key, so a zone set anew (tzset) is not mixed with the old.
struct DaySlot {
    std::int64_t Day = INT64_MIN;
    long Zone = 0;
    long Offset = 0;
    bool Changes = false;  ///< a clock change that day: look each time up
    char Text[10] = {};    ///< "YYYY-MM-DD" (local days)
};

template <bool Local>
const DaySlot& DayOf(std::int64_t day)
{
    thread_local DaySlot cache[4096];
    DaySlot& slot = cache[static_cast<std::uint64_t>(day) % 4096];
    if (slot.Day == day && slot.Zone == ::timezone) return slot;
    const auto at = [](std::int64_t t) { return Local ? OffsetAtLocal(t) : OffsetAt(t); };
    slot.Day = day;
    slot.Zone = ::timezone;
    slot.Offset = at(day * kDay);
    slot.Changes = at(day * kDay + kDay - 1) != slot.Offset;
    if (Local) {
        const DateTimeFields f = DecodeDateTime(static_cast<double>(day + kUnixEpoch));
        const int year = f.Year < 0 ? 0 : f.Year > 9999 ? 9999 : f.Year;
        Put2(slot.Text, year / 100);
        Put2(slot.Text + 2, year % 100);
        slot.Text[4] = '-';
        Put2(slot.Text + 5, f.Month);
        slot.Text[7] = '-';
        Put2(slot.Text + 8, f.Day);
    }
    return slot;
}

}  // namespace

long LocalUtcOffset(const DateTimeFields& f)
{
    const std::int64_t day = DaysSinceEpoch(f.Year, f.Month, f.Day) - kUnixEpoch;
    const DaySlot& slot = DayOf<true>(day);
    return slot.Changes ? OffsetAtLocal(day * kDay + f.Hour * 3600 + f.Minute * 60 + f.Second) : slot.Offset;
}

std::int64_t LocalDateTimeToUnix(TDateTime date)
{
    const DateTimeFields f = DecodeDateTime(date);
    const std::int64_t days = DaysSinceEpoch(f.Year, f.Month, f.Day) - kUnixEpoch;
    return days * kDay + f.Hour * 3600 + f.Minute * 60 + f.Second - LocalUtcOffset(f);
}

void AppendIsoDate(std::string& out, TDateTime date)
{
    char text[32];
    // Day and second as DecodeDateTime finds them (milliseconds dropped).
    double whole = std::trunc(date);
    double ms = std::round(std::fabs(date - whole) * 86400000.0);
    if (ms >= 86400000.0) {
        ms = 0;
        whole += date >= 0 ? 1 : -1;
    }
    long offset;
    if (whole >= 0 && whole < 2958466) {  // 1899-12-30 to 9999-12-31: through the day cache
        const auto day = static_cast<std::int64_t>(whole) - kUnixEpoch;
        const auto second = static_cast<std::int64_t>(ms) / 1000;
        const DaySlot& slot = DayOf<true>(day);
        offset = slot.Changes ? OffsetAtLocal(day * kDay + second) : slot.Offset;
        std::memcpy(text, slot.Text, 10);
        text[10] = 'T';
        Put2(text + 11, static_cast<int>(second / 3600));
        text[13] = ':';
        Put2(text + 14, static_cast<int>(second / 60 % 60));
        text[16] = ':';
        Put2(text + 17, static_cast<int>(second % 60));
    } else {
        const DateTimeFields f = DecodeDateTime(date);
        std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", f.Year < 0 ? 0 : f.Year % 10000, f.Month,
                      f.Day, f.Hour, f.Minute, f.Second);
        offset = LocalUtcOffset(f);
    }
    text[19] = offset < 0 ? '-' : '+';
    if (offset < 0) offset = -offset;
    Put2(text + 20, static_cast<int>(offset / 3600 % 100));
    text[22] = ':';
    Put2(text + 23, static_cast<int>(offset / 60 % 60));
    out.append(text, 25);
}

std::string IsoDate(TDateTime date)
{
    std::string text;
    AppendIsoDate(text, date);
    return text;
}

TDateTime UnixToCatalogDate(std::int64_t t)
{
    static const std::int64_t kFirst = DaysSinceEpoch(1980, 1, 1);
    static const std::int64_t kLast = DaysSinceEpoch(2107, 12, 31);
    const DaySlot& slot = DayOf<false>(FloorDiv(t, kDay));
    const std::int64_t local = t + (slot.Changes ? OffsetAt(t) : slot.Offset);
    const std::int64_t day = FloorDiv(local, kDay) + kUnixEpoch;
    const std::int64_t second = (local - (day - kUnixEpoch) * kDay) & ~std::int64_t{1};
    if (day < kFirst) return DosToDateTime(kDosMinimum);
    if (day > kLast) return DosToDateTime(kDosMaximum);
    // As EncodeDateTime sums it: whole milliseconds over a day's.
    return static_cast<double>(day) + static_cast<double>(second * 1000) / 86400000.0;
}

}  // namespace ardvel
