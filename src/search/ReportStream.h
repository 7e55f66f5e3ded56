#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "platform/Locale.h"
#include "search/SearchCriteria.h"
#include "search/SearchReport.h"

namespace ardvel {

/// Writes the search-results report (see BuildReportLines) of `rowCount`
/// rows to `path` one row at a time: `rowAt(i)` is asked twice for each row,
/// once for the column widths and once for its line, so a report of
/// millions of rows never lies in memory whole.
///
/// The report goes to a temporary file beside `path` that replaces `path`
/// once it is complete; a failure leaves `path` as it was. Throws
/// CatalogError "Cannot create file PATH" or "Stream write error".
void WriteReportStreaming(const std::string& path, const SearchCriteria& criteria, std::string_view lookIn,
                          std::size_t rowCount, const std::function<ReportRow(std::size_t)>& rowAt,
                          std::string_view catalogsStatus, std::string_view matchesStatus, const Locale& locale);

}  // namespace ardvel
