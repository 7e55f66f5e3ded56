#pragma once

// Writing one volume of the tree to a file: entry rows as CSV or JSON, or
// the ncdu export format. The window's File > Export Volume... uses it.

#include <string>

#include "store/CatalogTree.h"

namespace ardvel {

enum class VolumeExportFormat { Csv, Json, Ncdu };

/// Writes `volume` in catalog file order to `path` through a temporary
/// file, so the file appears whole or not at all. Failures throw
/// CatalogError with `path`.
void ExportVolumeFile(const CatalogTree& tree, NodeId volume, VolumeExportFormat format, const std::string& path);

}  // namespace ardvel
