#pragma once

#include <vector>

#include "platform/Locale.h"
#include "search/Duplicates.h"
#include "search/SearchResults.h"
#include "store/CatalogTree.h"

namespace ardvel::gui {

/// A file record as Find Copies starts from it.
struct FileRecordRef {
    NodeId Folder = kNoNode;
    std::uint32_t File = kNoFile;
};

/// The file record a search results row shows (by its volume, path and
/// name), or none when it has left the tree.
FileRecordRef FileOfResultRow(const CatalogTree& tree, const SearchResults& results, std::size_t row,
                              const Locale& locale);

/// Adds `file` and then each of `copies` to `results` as search result
/// rows; the file is result row 0.
void AddGroupRows(SearchResults& results, const CatalogTree& tree, FileRecordRef file,
                  const std::vector<DuplicateRecord>& copies);

}  // namespace ardvel::gui
