#include "store/ExportFormats.h"

#include <array>
#include <charconv>
#include <climits>
#include <cstring>
#include <ctime>
#include <iterator>

#include "platform/TextEncoding.h"

namespace ardvel {

namespace {

constexpr char kReplacement[] = "\xEF\xBF\xBD";  // U+FFFD

void Put2(char* p, int v) noexcept
{
    p[0] = static_cast<char>('0' + v / 10);
    p[1] = static_cast<char>('0' + v % 10);
}

// What each byte is to the writers: one pass over a text decides.
constexpr unsigned char kJsonSpecial = 1;  ///< control characters, '"', '\\'
constexpr unsigned char kCsvSpecial = 2;   ///< ',', '"', CR, LF
constexpr unsigned char kHigh = 4;         ///< part of a multi-byte sequence
constexpr auto kByteClass = [] {
    std::array<unsigned char, 256> table{};
    for (int c = 0; c < 0x20; ++c) table[c] = kJsonSpecial;
    table['"'] = kJsonSpecial | kCsvSpecial;
    table['\\'] = kJsonSpecial;
    table[','] = kCsvSpecial;
    table['\r'] |= kCsvSpecial;
    table['\n'] |= kCsvSpecial;
    for (int c = 0x80; c < 0x100; ++c) table[c] = kHigh;
    return table;
}();

/// Appends the run of `text` from `pos` on that needs no change, up to the
/// first byte of class `stop` or the first byte of an ill-formed UTF-8
/// sequence; returns where it stopped.
std::size_t AppendPlainRun(std::string& out, std::string_view text, std::size_t pos, unsigned char stop)
{
    const std::size_t start = pos;
    const std::size_t size = text.size();
    const auto* data = reinterpret_cast<const unsigned char*>(text.data());
    const unsigned char mask = stop | kHigh;
    for (;;) {
        while (pos < size && (kByteClass[data[pos]] & mask) == 0) ++pos;
        if (pos == size || (kByteClass[data[pos]] & kHigh) == 0) break;
        const std::size_t n = Utf8SequenceLength(text.substr(pos));
        if (n == 0) break;
        pos += n;
    }
    out.append(text.data() + start, pos - start);
    return pos;
}

}  // namespace

namespace {

/// Seconds east of UTC at the Unix time `t`. localtime_r, unlike mktime,
/// does not look at the zone files again on every call.
long OffsetAt(std::int64_t t) noexcept
{
    const auto seconds = static_cast<std::time_t>(t);
    std::tm tm{};
    return localtime_r(&seconds, &tm) ? tm.tm_gmtoff : 0;
}

/// The offset at a local time given as seconds since 1970 on the local
/// clock: the offset at the UTC instant that local time names (for a time a
/// clock change skipped, the offset before the change).
long OffsetAtLocal(std::int64_t local) noexcept
{
    const long guess = OffsetAt(local);
    return OffsetAt(local - guess);
}

}  // namespace

long LocalUtcOffset(const DateTimeFields& f)
{
    // The dates of a catalog fall on comparatively few days, and nearly
    // every day has one offset throughout: a direct-mapped cache by local
    // day spares almost every zone lookup. The zone's standard offset is
    // part of the key, so a time zone set anew (tzset) is not mixed up with
    // the one before.
    struct Slot {
        std::int64_t Day = INT64_MIN;
        long Zone = 0;
        long Offset = 0;
        bool Changes = false;  ///< the offset changes that day: no shortcut
    };
    thread_local Slot cache[4096];
    const std::int64_t day = DaysSinceEpoch(f.Year, f.Month, f.Day) - DaysSinceEpoch(1970, 1, 1);
    const std::int64_t local = day * 86400 + f.Hour * 3600 + f.Minute * 60 + f.Second;
    Slot& slot = cache[static_cast<std::size_t>(day) % std::size(cache)];
    if (slot.Day != day || slot.Zone != ::timezone) {
        const long first = OffsetAtLocal(day * 86400);
        slot = {day, ::timezone, first, OffsetAtLocal(day * 86400 + 86399) != first};
    }
    return slot.Changes ? OffsetAtLocal(local) : slot.Offset;
}

std::int64_t LocalDateTimeToUnix(TDateTime date)
{
    const DateTimeFields f = DecodeDateTime(date);
    const std::int64_t days = DaysSinceEpoch(f.Year, f.Month, f.Day) - DaysSinceEpoch(1970, 1, 1);
    return days * 86400 + f.Hour * 3600 + f.Minute * 60 + f.Second - LocalUtcOffset(f);
}

void AppendIsoDate(std::string& out, TDateTime date)
{
    // Records of one folder mostly share their stamps.
    thread_local TDateTime lastDate = -1e300;
    thread_local char last[32];
    thread_local std::size_t lastSize = 0;
    thread_local long lastZone = 0;
    if (date != lastDate || lastZone != ::timezone) {
        const DateTimeFields f = DecodeDateTime(date);
        char* p = last;
        const int year = f.Year < 0 ? 0 : f.Year > 9999 ? 9999 : f.Year;
        Put2(p, year / 100);
        Put2(p + 2, year % 100);
        p[4] = '-';
        Put2(p + 5, f.Month);
        p[7] = '-';
        Put2(p + 8, f.Day);
        p[10] = 'T';
        Put2(p + 11, f.Hour);
        p[13] = ':';
        Put2(p + 14, f.Minute);
        p[16] = ':';
        Put2(p + 17, f.Second);
        long offset = LocalUtcOffset(f);
        p[19] = offset < 0 ? '-' : '+';
        if (offset < 0) offset = -offset;
        Put2(p + 20, static_cast<int>(offset / 3600 % 100));
        p[22] = ':';
        Put2(p + 23, static_cast<int>(offset / 60 % 60));
        lastSize = 25;
        lastDate = date;
        lastZone = ::timezone;
    }
    out.append(last, lastSize);
}

std::string IsoDate(TDateTime date)
{
    std::string text;
    AppendIsoDate(text, date);
    return text;
}

void AppendValidUtf8(std::string& out, std::string_view text)
{
    std::size_t pos = 0;
    while (pos < text.size()) {
        pos = AppendPlainRun(out, text, pos, 0);
        if (pos < text.size()) {
            out += kReplacement;
            ++pos;
        }
    }
}

void AppendJsonString(std::string& out, std::string_view text)
{
    static constexpr char kHex[] = "0123456789abcdef";
    out += '"';
    std::size_t pos = 0;
    while (pos < text.size()) {
        pos = AppendPlainRun(out, text, pos, kJsonSpecial);
        if (pos == text.size()) break;
        const auto c = static_cast<unsigned char>(text[pos++]);
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\b': out += "\\b"; break;
        case '\f': out += "\\f"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20) {
                const char escape[6] = {'\\', 'u', '0', '0', kHex[c >> 4], kHex[c & 15]};
                out.append(escape, 6);
            } else {
                out += kReplacement;
            }
        }
    }
    out += '"';
}

void AppendCsvField(std::string& out, std::string_view text)
{
    bool quote = false;
    for (char c : text) quote = quote || (kByteClass[static_cast<unsigned char>(c)] & kCsvSpecial) != 0;
    if (!quote) {
        AppendValidUtf8(out, text);
        return;
    }
    out += '"';
    std::size_t start = 0;
    for (std::size_t q = text.find('"'); q != std::string_view::npos; q = text.find('"', start)) {
        AppendValidUtf8(out, text.substr(start, q + 1 - start));
        out += '"';
        start = q + 1;
    }
    AppendValidUtf8(out, text.substr(start));
    out += '"';
}

void AppendInteger(std::string& out, std::int64_t value)
{
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    out.append(digits, static_cast<std::size_t>(result.ptr - digits));
}

std::string_view BareTitle(std::string_view titleText) noexcept
{
    constexpr std::string_view kJoin = " - ";
    if (titleText.substr(0, kJoin.size()) == kJoin) titleText.remove_prefix(kJoin.size());
    return titleText;
}

}  // namespace ardvel
