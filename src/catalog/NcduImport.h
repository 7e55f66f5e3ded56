#pragma once

// Reading the JSON export of the ncdu disk usage browser (what `ncdu -o`
// writes, with or without the extended information of `-e`) into a volume.

#include <cstdint>
#include <string>
#include <string_view>

#include "store/CatalogTree.h"
#include "store/JsonReader.h"

namespace ardvel {

/// What an import found.
struct NcduImportStats {
    std::string RootName;  ///< the name of the top folder (an absolute path)
    std::uint64_t Folders = 0;
    std::uint64_t Files = 0;
    std::uint64_t Mp3Files = 0;
    std::uint64_t TotalBytes = 0;  ///< the files' asize, added up
    std::uint64_t Dated = 0;       ///< entries with an mtime (extended mode)
    std::uint64_t HardLinks = 0;   ///< files marked hlnkc, each kept as a file
    std::uint64_t Excluded = 0;    ///< entries excluded by a pattern, left out
};

/// The name of the top folder of an ncdu export, read from the head of
/// the document only. Throws JsonError.
std::string NcduRootName(std::string_view document);

/// Reads an ncdu export into the volume node `volume`. The format:
/// [1, minor, {metadata}, [{root info}, entries...]] where a folder is an
/// array [{info}, entries...] and any other entry an info object. Of an
/// info object `name` is needed; `asize` (bytes, else 0) gives SizeKB
/// rounded up; `mtime` (Unix seconds, extended mode) gives the date in
/// local time as a scan keeps it (whole even seconds, within the catalog
/// range), else `importDate`; other members are ignored. Files marked
/// `notreg` (links, devices, pipes) are files as a scan records them; hard
/// links each keep their size, as a scan sees every name; an entry
/// `excluded` as "otherfs", "kernfs" or "frmlnk" (a mount point left out)
/// becomes an empty folder, one excluded by a pattern is left out. MP3
/// files get the media text of an untagged file. The metadata and the top
/// folder's own info (but its name) are not used.
/// Throws JsonError with the place of the first fault; what was added to
/// `volume` by then stays, so the caller removes the volume.
NcduImportStats ReadNcduExport(std::string_view document, CatalogTree& tree, NodeId volume, TDateTime importDate);

}  // namespace ardvel
