#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

#include "platform/Locale.h"
#include "search/Duplicates.h"
#include "store/CatalogTree.h"

namespace ardvel {

/// The node path of a record: "Volume:\Folder\file" for a file,
/// "Volume:\Folder\" for a folder.
std::string DuplicateNodePath(const CatalogTree& tree, const DuplicateRecord& record);

/// Writes "GROUP<TAB>NODEPATH<TAB>SIZE<TAB>DATE" lines, each field escaped
/// as tab-separated output is; sizes and dates in the list formats.
class DuplicateRowWriter {
public:
    DuplicateRowWriter(const CatalogTree& tree, const Locale& locale, std::ostream& out)
        : tree_(tree), locale_(locale), out_(out)
    {
    }

    void Write(std::size_t group, const DuplicateRecord& record);
    /// Every record of every group, groups numbered from 1.
    void WriteAll(const DuplicateResult& result);

private:
    const CatalogTree& tree_;
    const Locale& locale_;
    std::ostream& out_;
    NodeId pathNode_ = kNoNode;  ///< the folder whose path `path_` holds
    std::string path_;
};

/// Saves the lines of DuplicateRowWriter::WriteAll to `path` through a
/// temporary file beside it, moved into place once complete: 0, or the
/// errno of the failure, which leaves whatever was at `path` as it was.
int SaveDuplicateLines(const std::string& path, const CatalogTree& tree, const Locale& locale,
                       const DuplicateResult& result);

/// "N groups, M files, X KB that could be freed" ("folders" for folders).
std::string DuplicateSummary(std::size_t groups, std::size_t records, bool folders, std::int64_t wastedKB);

/// The wasted space of a file and its copies: all but the largest.
std::int64_t CopiesWastedKB(std::int64_t fileKB, const std::vector<DuplicateRecord>& copies);

}  // namespace ardvel
