#pragma once

// The catalog folder as the commands that add a volume (catalog, import)
// and those that read one volume (diff, update, export) see it, without
// loading every catalog it holds.

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "cli/CliCommon.h"
#include "store/CatalogTree.h"

namespace ardvel::cli {

/// The entries of `catalogFolder` that loading it would read: none when no
/// entry has the exact extension, as loading reads nothing then.
std::vector<std::string> LoadableCatalogEntries(const std::string& catalogFolder);

/// The catalog folder a new volume goes to, checked before a scan that may
/// be long: the default folder is made on first use, one named explicitly
/// must exist. Nothing, after "Catalog folder FOLDER: reason" on `err`.
std::optional<std::string> CatalogFolderToSaveIn(const CliContext& context, std::ostream& err);

/// Adds the volumes of `catalogFolder` to `tree` known by their file names
/// alone: enough for the name checks of a new volume.
void AddVolumesByFileName(CatalogTree& tree, const std::string& catalogFolder);

}  // namespace ardvel::cli
