#pragma once

// The rows of a search as machine-readable entry rows (see EntryRows.h),
// for the command line and for saving the results as CSV or JSON.

#include "search/SearchResults.h"
#include "store/RowWriter.h"

namespace ardvel {

/// One entry row per result, in the results' order: folder rows as
/// folders, file rows with their sizes and, for MP3 files, artist and title.
void WriteSearchEntries(const SearchResults& results, RowWriter& rows);

}  // namespace ardvel
