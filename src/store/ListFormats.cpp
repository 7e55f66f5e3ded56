#include "store/ListFormats.h"

#include <cmath>
#include <ctime>

namespace ardvel {

namespace {

void AppendGrouped(std::string& out, std::uint64_t value, const std::string& separator)
{
    const std::string digits = std::to_string(value);
    const std::size_t lead = digits.size() % 3 == 0 ? 3 : digits.size() % 3;
    out.append(digits, 0, lead);
    for (std::size_t i = lead; i < digits.size(); i += 3) {
        out += separator;
        out.append(digits, i, 3);
    }
}

std::uint64_t Magnitude(std::int64_t v) noexcept
{
    return v < 0 ? static_cast<std::uint64_t>(-(v + 1)) + 1 : static_cast<std::uint64_t>(v);
}

// Thousandths of a megabyte, rounded half away from zero: kb * 1000 / 1024
// is kb * 125 / 128.
std::uint64_t ThousandthsOfMB(std::uint64_t kb) noexcept
{
    return (kb * 125 * 2 + 128) / 256;
}

// Rounds num / den to the nearest integer, ties to even.
int RoundHalfEven(std::int64_t num, std::int64_t den) noexcept
{
    const double q = static_cast<double>(num) / static_cast<double>(den);
    const double r = std::nearbyint(q);
    if (r > 2147483647.0) return 2147483647;
    if (r < -2147483647.0) return -2147483647;
    return static_cast<int>(r);
}

char SizeUnitFirst(const RowKeys& r) noexcept
{
    return r.SubDir ? 'R' : r.SizeKB <= 999 ? 'K' : 'M';
}
char SizeUnitSecond(const RowKeys& r) noexcept
{
    return r.SubDir ? ']' : 'B';
}

int Sign(int v) noexcept
{
    return (v > 0) - (v < 0);
}

std::string MediaText(const RowKeys& r)
{
    std::string s(r.MediaArtist);
    s += r.MediaTitle;
    return s;
}

}  // namespace

std::int64_t ShownSize(std::int64_t kb) noexcept
{
    if (kb <= 999) return kb;
    return static_cast<std::int64_t>(ThousandthsOfMB(static_cast<std::uint64_t>(kb)));
}

std::string FormatSize(std::int64_t sizeKB, const Locale& locale)
{
    std::string out;
    if (sizeKB < 0) out += '-';
    if (sizeKB <= 999) {
        AppendGrouped(out, Magnitude(sizeKB), locale.ThousandSeparator());
        out += " KB";
        return out;
    }
    const std::uint64_t t = ThousandthsOfMB(Magnitude(sizeKB));
    AppendGrouped(out, t / 1000, locale.ThousandSeparator());
    out += locale.DecimalSeparator();
    const unsigned frac = static_cast<unsigned>(t % 1000);
    out += static_cast<char>('0' + frac / 100);
    out += static_cast<char>('0' + frac / 10 % 10);
    out += static_cast<char>('0' + frac % 10);
    out += " MB";
    return out;
}

namespace {

std::tm CalendarOf(const DateTimeFields& f) noexcept
{
    std::tm tm{};
    tm.tm_year = f.Year - 1900;
    tm.tm_mon = f.Month - 1;
    tm.tm_mday = f.Day;
    tm.tm_hour = f.Hour;
    tm.tm_min = f.Minute;
    tm.tm_sec = f.Second;
    tm.tm_wday =
        static_cast<int>(((DaysSinceEpoch(f.Year, f.Month, f.Day) % 7) + 7 + 6) % 7);  // 1899-12-30 was a Saturday
    tm.tm_isdst = -1;
    return tm;
}

std::string Strftime(const std::string& format, const std::tm& tm, const Locale& locale)
{
    char buffer[256];
    const std::size_t n = ::strftime_l(buffer, sizeof buffer, format.c_str(), &tm, locale.Handle());
    return std::string(buffer, n);
}

}  // namespace

std::string FormatShortDate(TDateTime date, const Locale& locale)
{
    return Strftime(locale.ShortDateFormat(), CalendarOf(DecodeDateTime(date)), locale);
}

std::string FormatDate(TDateTime date, const Locale& locale)
{
    const DateTimeFields f = DecodeDateTime(date);
    const std::tm tm = CalendarOf(f);
    std::string out = Strftime(locale.ShortDateFormat(), tm, locale);
    if (f.Hour == 0 && f.Minute == 0 && f.Second == 0 && f.Millisecond == 0) return out;
    out += ' ';
    out += Strftime(locale.LongTimeFormat(), tm, locale);
    return out;
}

int CompareSizes(const RowKeys& a, const RowKeys& b)
{
    if (a.SubDir) return 0;
    const int unit1 = static_cast<unsigned char>(SizeUnitFirst(a)) - static_cast<unsigned char>(SizeUnitFirst(b));
    if (unit1 != 0) return unit1;
    const int unit2 = static_cast<unsigned char>(SizeUnitSecond(a)) - static_cast<unsigned char>(SizeUnitSecond(b));
    if (unit2 != 0) return unit2;
    // Same unit, and `a` is not "[SUB-DIR]", so neither is `b`.
    const std::int64_t sa = ShownSize(a.SizeKB);
    const std::int64_t sb = ShownSize(b.SizeKB);
    return a.SizeKB <= 999 ? RoundHalfEven(sa - sb, 1) : RoundHalfEven(sa - sb, 1000);
}

int CompareDates(const RowKeys& a, const RowKeys& b)
{
    // The texts show whole seconds.
    const double da = std::round(a.Date * 86400.0);
    const double db = std::round(b.Date * 86400.0);
    const double days = std::nearbyint((da - db) / 86400.0);
    return static_cast<int>(days);
}

int ListViewCompare(const RowKeys& a, const RowKeys& b, const SortState& sort, ListKind kind, const Locale& locale)
{
    const int image = a.ImageIndex - b.ImageIndex;
    if (image != 0) return image;
    int result = 0;
    if (kind == ListKind::FolderList) {
        switch (sort.Column) {
            case 0:
                result = Sign(locale.Compare(a.Caption, b.Caption));
                break;
            case 1:
                result = CompareSizes(a, b);
                break;
            case 2:
                result = CompareDates(a, b);
                break;
            case 3:
                result = Sign(locale.Compare(MediaText(a), MediaText(b)));
                break;
            default:
                result = 0;
        }
    } else {
        switch (sort.Column) {
            case 0:
                result = Sign(locale.Compare(a.Caption, b.Caption));
                break;
            case 1:
                result = Sign(locale.Compare(a.Volume, b.Volume));
                break;
            case 2:
                result = Sign(locale.Compare(a.Path, b.Path));
                break;
            case 3:
                result = CompareSizes(a, b);
                break;
            case 4:
                result = CompareDates(a, b);
                break;
            case 5:
                result = Sign(locale.Compare(MediaText(a), MediaText(b)));
                break;
            default:
                result = 0;
        }
    }
    return result * sort.Direction;
}

}  // namespace ardvel
