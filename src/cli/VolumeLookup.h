#pragma once

// The inputs of diff and update: the one volume a command names, read
// without loading the whole catalog folder, and the folder to scan.

#include <iosfwd>
#include <string>
#include <string_view>

#include "store/CatalogTree.h"

namespace ardvel::cli {

/// The catalog file of the volume named `name` in `catalogFolder` (ending
/// in "/"): the entry that loading would name so, letter case ignored as
/// volume names are, an exact match preferred. Empty when there is none.
std::string FindVolumeFile(const std::string& catalogFolder, std::string_view name);

/// Reads the volume named `name` into `tree`. Without one, writes
/// "NAME: no such volume" to `err` and returns kNoNode. A catalog file that
/// cannot be read whole throws CatalogError.
NodeId LoadVolumeNamed(CatalogTree& tree, const std::string& catalogFolder, std::string_view name, std::ostream& err);

/// True when `folder` is a folder; else writes "FOLDER: reason" to `err`.
bool CheckFolderToScan(const std::string& folder, std::ostream& err);

}  // namespace ardvel::cli
