#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Locale.h"
#include "search/SearchCriteria.h"
#include "search/SearchResults.h"

namespace ardvel {

/// The six texts of one results row, in column order: Name, Volume, Path,
/// Size, Modified, Media Info.
using ReportRow = std::array<std::string, kSearchColumnCount>;

/// The texts of every row of `results`, in their order.
std::vector<ReportRow> ReportRows(const SearchResults& results, const Locale& locale);

/// The lines of the search-results report: the criteria block as the search
/// panel shows it (`lookIn` is the text of the Look-in entry), a line of 40
/// hyphens, one line per row with the columns padded to their widest text
/// plus three blanks (counted in characters), the hyphens again, and the two
/// status texts joined by nine blanks. Dates in the criteria are written in
/// the locale's short date format.
std::vector<std::string> BuildReportLines(const SearchCriteria& criteria, std::string_view lookIn,
                                          std::span<const ReportRow> rows, std::string_view catalogsStatus,
                                          std::string_view matchesStatus, const Locale& locale);

/// The lines as the file holds them: each followed by CR LF, no byte-order mark.
std::string ReportFileText(std::span<const std::string> lines);

/// Creates (or replaces) `path` and writes the lines into it, through a
/// temporary file beside it that replaces it once complete. Throws
/// CatalogError "Cannot create file PATH" or "Stream write error"; `path`
/// is then as it was.
void WriteReport(const std::string& path, std::span<const std::string> lines);

}  // namespace ardvel
