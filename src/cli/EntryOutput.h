#pragma once

// The rows of volumes, ls, search and dump as CSV, JSON, JSON lines or
// NUL-terminated paths (the fields of kEntryFields).

#include <iosfwd>
#include <string>

#include "search/SearchResults.h"
#include "store/CatalogTree.h"
#include "store/RowWriter.h"

namespace ardvel::cli {

/// The volumes, in tree order.
void WriteVolumeRows(const CatalogTree& tree, RowFormat format, std::ostream& out);
/// The rows of a node in the folder list's start order (folders, then
/// files, each by name); the root's rows are its volumes.
void WriteFolderRows(const CatalogTree& tree, NodeId node, RowFormat format, std::ostream& out);
/// The rows of a search, in their order.
void WriteSearchRows(const SearchResults& results, RowFormat format, std::ostream& out);
/// dump: the rows of one catalog file; failures as "PATH: message" on
/// `err`, after the rows read.
int WriteDumpRows(const std::string& path, RowFormat format, std::ostream& out, std::ostream& err);

}  // namespace ardvel::cli
