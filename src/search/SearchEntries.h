#pragma once

// The rows of a search as machine-readable entry rows (see EntryRows.h),
// for the command line and for saving the results as CSV or JSON.

#include <string>

#include "search/SearchResults.h"
#include "store/RowWriter.h"

namespace ardvel {

/// One entry row per result, in the results' order: folder rows as
/// folders, file rows with their sizes and, for MP3 files, artist and title.
void WriteSearchEntries(const SearchResults& results, RowWriter& rows);

/// The rows of a search as a CSV or JSON file, written through a temporary
/// file; failures throw CatalogError with `path`.
void SaveSearchEntries(const SearchResults& results, RowFormat format, const std::string& path);

}  // namespace ardvel
