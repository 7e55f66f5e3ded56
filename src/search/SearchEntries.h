#pragma once

// The rows of a search as machine-readable entry rows (see EntryRows.h),
// for the command line and for saving the results as CSV or JSON.

#include <cstdint>
#include <span>
#include <string>

#include "search/SearchResults.h"
#include "store/RowWriter.h"

namespace ardvel {

/// One entry row per result: folder rows as folders, file rows with their
/// sizes and, for MP3 files, artist and title. In the results' order, or in
/// `order` (result indices, as a sorted list shows them) when given.
void WriteSearchEntries(const SearchResults& results, RowWriter& rows, std::span<const std::uint32_t> order = {});

/// The rows of a search as a CSV or JSON file, written through a temporary
/// file; failures throw CatalogError with `path`.
void SaveSearchEntries(const SearchResults& results, RowFormat format, const std::string& path,
                       std::span<const std::uint32_t> order = {});

}  // namespace ardvel
