#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/Locale.h"
#include "store/CatalogTree.h"

namespace ardvel {

/// A catalog file that could not be read whole: its path and the message.
struct LoadFailure {
    std::string Path;
    std::string Message;
};

struct LoadResult {
    /// Entries with the exact extension ".arv": the progress maximum.
    std::size_t ExpectedCount = 0;
    /// Entries read (all that "*.arv" lists, in any letter case).
    std::size_t FilesRead = 0;
    std::vector<LoadFailure> Failures;
};

/// Called after each catalog file is opened: position (never above the
/// maximum) and maximum.
using LoadProgress = std::function<void(std::size_t position, std::size_t maximum)>;

/// The entries of a folder that the pattern "*.arv" lists, in listing order:
/// names ending in ".arv" in any letter case, folders included.
std::vector<std::string> ListCatalogEntries(const std::string& folder);

/// True when `name` ends in ".arv" exactly (lower case).
bool HasExactCatalogExtension(std::string_view name) noexcept;

/// Replaces every volume of `tree` with the catalogs of `catalogFolder`
/// (ending in "/"). Nothing is read when no entry has the exact extension
/// ".arv". Each file's volume is named by DecodeVolumeName of its file name;
/// a file that fails is reported and keeps what was read of it (when its
/// header could be read), and loading goes on with the next file. At the end
/// the whole tree is sorted by the locale's case-sensitive collation.
LoadResult LoadCatalogs(CatalogTree& tree, const std::string& catalogFolder, const Locale& locale,
                        const LoadProgress& progress = {});

/// Reads one catalog file into a new volume node named `volumeName`; the
/// node is kept with what was read when a failure is thrown after the header.
NodeId LoadCatalogFile(CatalogTree& tree, const std::string& path, const std::string& fileName, std::string volumeName);

/// Sorts the volumes and the folders of every node by node text.
void SortCatalogTree(CatalogTree& tree, const Locale& locale);

}  // namespace ardvel
