#include "search/SearchReport.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>

#include "platform/FileDescriptor.h"
#include "platform/SaveFile.h"
#include "platform/TextEncoding.h"
#include "store/CatalogError.h"
#include "store/ListFormats.h"

namespace ardvel {

namespace {

constexpr std::string_view kSeparator = "----------------------------------------";
constexpr std::string_view kStatusGap = "         ";

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

namespace {

/// The criteria block at the report's top.
std::vector<std::string> CriteriaLines(const SearchCriteria& criteria, std::string_view lookIn, const Locale& locale)
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
                lines.push_back("Date: between " + FormatShortDate(criteria.RangeStart, locale) + " and " +
                                FormatShortDate(criteria.RangeEnd, locale));
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
    return lines;
}

}  // namespace

std::vector<std::string> BuildReportLines(const SearchCriteria& criteria, std::string_view lookIn,
                                          std::span<const ReportRow> rows, std::string_view catalogsStatus,
                                          std::string_view matchesStatus, const Locale& locale)
{
    std::vector<std::string> lines = CriteriaLines(criteria, lookIn, locale);
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

namespace {

/// Writes into a device or pipe as it stands: only regular files can be
/// replaced, and these have no old contents to keep.
void WriteInPlace(const std::string& path, const std::string& text)
{
    FileDescriptor fd(::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC));
    if (!fd.IsOpen()) throw CatalogError("Cannot create file " + path);
    if (WriteAll(fd.Get(), text.data(), text.size()) != 0 || fd.Close() != 0) throw CatalogError("Stream write error");
}

}  // namespace

void WriteReport(const std::string& path, std::span<const std::string> lines)
{
    const std::string text = ReportFileText(lines);
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode)) {
        WriteInPlace(path, text);
        return;
    }
    // Saved like a catalog: a failed save leaves the old report as it was.
    SaveFile file;
    if (file.Open(path) != 0) throw CatalogError("Cannot create file " + path);
    if (file.Write(text.data(), text.size()) != 0) throw CatalogError("Stream write error");
    const int error = file.Commit(SaveFile::Publish::Replace);
    if (error == EACCES || error == EPERM || error == EISDIR || error == ENOTDIR || error == EROFS)
        throw CatalogError("Cannot create file " + path);
    if (error != 0) throw CatalogError("Stream write error");
}

}  // namespace ardvel
