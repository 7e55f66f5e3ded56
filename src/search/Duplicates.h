#pragma once

#include <cstdint>
#include <vector>

#include "platform/Locale.h"
#include "search/DuplicateKey.h"
#include "search/ScopeFiles.h"
#include "search/SearchWalk.h"
#include "store/CatalogTree.h"

namespace ardvel {

/// What to look for.
struct DuplicateOptions {
    DuplicateKey Key = DuplicateKey::NameSize;
    std::int64_t MinSizeKB = 0;  ///< smaller files (folders: totals) are left out
    /// Compare folders instead of files: the same name (as names are
    /// compared), the same total size and the same number of files below.
    bool Folders = false;
};

inline constexpr std::uint32_t kNoFile = 0xFFFFFFFFu;

/// One record of a group: a file record (`File` its index in the store of
/// the volume of `Node`, the folder holding it) or, comparing folders, a
/// folder node (`File` kNoFile, SizeKB its total).
struct DuplicateRecord {
    NodeId Node = kNoNode;
    std::uint32_t File = kNoFile;
    std::int64_t SizeKB = 0;
    TDateTime Date = 0;
};

/// Records [First, First+Count) of the found records. WastedKB is what
/// keeping one of them would free: size × (count − 1), for the "name" key
/// the sizes of all but the largest.
struct DuplicateGroup {
    std::uint32_t First = 0;
    std::uint32_t Count = 0;
    std::int64_t WastedKB = 0;
};

/// The groups of a scope: two or more records each, the groups by wasted
/// space (largest first; level ones in the tree order of their first
/// records), the records of a group in tree order. Refers to the tree,
/// which must not change while it is read.
class DuplicateResult {
public:
    const std::vector<DuplicateGroup>& Groups() const noexcept { return groups_; }
    std::size_t RecordCount() const noexcept { return numbers_.size(); }
    /// Record `i` of all groups' records, in group order.
    DuplicateRecord Record(std::size_t i) const;
    /// The wasted space of all groups.
    std::int64_t WastedKB() const noexcept;
    bool Folders() const noexcept { return folders_; }

private:
    friend class DuplicateBuilder;
    bool folders_ = false;
    ScopeFiles files_;
    /// Comparing folders: the folders, their totals, by number.
    std::vector<DuplicateRecord> folderRecords_;
    std::vector<std::uint32_t> numbers_;  ///< by group, each number in tree order
    std::vector<DuplicateGroup> groups_;
};

/// The groups of records of `scope` that share a key.
DuplicateResult FindDuplicates(const CatalogTree& tree, const SearchScope& scope, const DuplicateOptions& options,
                               const Locale& locale);

/// Every other file record of every volume with the key of record `file` of
/// the store of `node`'s volume, in tree order. No minimum size applies.
std::vector<DuplicateRecord> FindCopies(const CatalogTree& tree, NodeId node, std::uint32_t file, DuplicateKey key,
                                        const Locale& locale);

}  // namespace ardvel
