#include "search/SearchReport.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

#include "platform/TextEncoding.h"
#include "store/CatalogError.h"

namespace ardvel {

namespace {

constexpr std::string_view kSeparator = "----------------------------------------";
constexpr std::string_view kStatusGap = "         ";

std::string ShortDate(TDateTime value, const Locale& locale)
{
    const DateTimeFields f = DecodeDateTime(value);
    std::tm tm{};
    tm.tm_year = f.Year - 1900;
    tm.tm_mon = f.Month - 1;
    tm.tm_mday = f.Day;
    tm.tm_wday = static_cast<int>(((DaysSinceEpoch(f.Year, f.Month, f.Day) % 7) + 7 + 6) % 7);  // 1899-12-30: Saturday
    tm.tm_isdst = -1;
    char buffer[256];
    const std::size_t n = ::strftime_l(buffer, sizeof buffer, locale.ShortDateFormat().c_str(), &tm, locale.Handle());
    return std::string(buffer, n);
}

void PadRight(std::string& line, std::string_view text, std::size_t width)
{
    line += text;
    const std::size_t count = CharacterCount(text);
    if (count < width) line.append(width - count, ' ');
}

void PadLeft(std::string& line, std::string_view text, std::size_t width)
{
    const std::size_t count = CharacterCount(text);
    if (count < width) line.append(width - count, ' ');
    line += text;
}

}  // namespace

std::vector<ReportRow> ReportRows(const SearchResults& results, const Locale& locale)
{
    std::vector<ReportRow> rows;
    rows.reserve(results.size());
    for (std::size_t i = 0; i < results.size(); ++i) rows.push_back(results.Texts(i, locale));
    return rows;
}

void WidenReportColumns(ReportWidths& width, const ReportRow& row)
{
    for (int c = 0; c < kSearchColumnCount; ++c) {
        const std::size_t count = CharacterCount(row[c]);
        if (count > 0 && count + 3 > width[c]) width[c] = count + 3;
    }
}

std::string ReportRowLine(const ReportRow& row, const ReportWidths& width)
{
    std::string line;
    PadRight(line, row[kColumnName], width[kColumnName]);
    PadRight(line, row[kColumnVolume], width[kColumnVolume]);
    PadRight(line, row[kColumnPath], width[kColumnPath]);
    PadLeft(line, row[kColumnSize] + "   ", width[kColumnSize] + 3);
    PadRight(line, row[kColumnModified], width[kColumnModified] + 3);
    PadRight(line, row[kColumnMediaInfo], width[kColumnMediaInfo]);
    return line;
}

std::vector<std::string> BuildReportLines(const SearchCriteria& criteria, std::string_view lookIn,
                                          std::span<const ReportRow> rows, std::string_view catalogsStatus,
                                          std::string_view matchesStatus, const Locale& locale)
{
    std::vector<std::string> lines;
    lines.push_back("Criteria: " + criteria.NameText);
    lines.push_back("Look In: " + std::string(lookIn));
    if (criteria.MediaOn) {
        lines.push_back("MediaInfo:");
        lines.push_back("   Artist: " + criteria.ArtistPart);
        lines.push_back("    Title: " + criteria.TitlePart);
    } else {
        lines.push_back("MediaInfo: None");
    }
    if (criteria.DateOn) {
        switch (criteria.DateMode) {
            case SearchDateMode::InLastMonths:
                lines.push_back("Date: in the last " + std::to_string(criteria.MonthCount) + " months");
                break;
            case SearchDateMode::InLastDays:
                lines.push_back("Date: in the last " + std::to_string(criteria.DayCount) + " days");
                break;
            case SearchDateMode::InRange:
                lines.push_back("Date: between " + ShortDate(criteria.RangeStart, locale) + " and " +
                                ShortDate(criteria.RangeEnd, locale));
                break;
        }
    } else {
        lines.push_back("Date: None");
    }
    if (criteria.SizeOn) {
        switch (criteria.SizeBound) {
            case SearchSizeBound::AtLeast:
                lines.push_back("Size: at least " + std::to_string(criteria.SizeLimitKB) + " KB");
                break;
            case SearchSizeBound::AtMost:
                lines.push_back("Size: at most " + std::to_string(criteria.SizeLimitKB) + " KB");
                break;
        }
    } else {
        lines.push_back("Size: None");
    }
    lines.emplace_back(kSeparator);

    ReportWidths width{};
    for (const ReportRow& row : rows) WidenReportColumns(width, row);
    for (const ReportRow& row : rows) lines.push_back(ReportRowLine(row, width));

    lines.emplace_back(kSeparator);
    std::string status(catalogsStatus);
    status += kStatusGap;
    status += matchesStatus;
    lines.push_back(std::move(status));
    return lines;
}

std::string ReportFileText(std::span<const std::string> lines)
{
    std::string text;
    for (const std::string& line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

void WriteReport(const std::string& path, std::span<const std::string> lines)
{
    const std::string text = ReportFileText(lines);
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) throw CatalogError("Cannot create file " + path);
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ::close(fd);
            throw CatalogError("Stream write error");
        }
        done += static_cast<std::size_t>(n);
    }
    if (::close(fd) != 0) throw CatalogError("Stream write error");
}

}  // namespace ardvel
