#pragma once

// What changed from one tree of records to another: a volume against a fresh
// scan of its media, or one volume against another.

#include <cstdint>
#include <functional>
#include <string>

#include "platform/Locale.h"
#include "store/CatalogTree.h"
#include "store/DateTime.h"

namespace ardvel {

enum class ChangeKind : std::uint8_t {
    Added,    ///< only in the new tree
    Removed,  ///< only in the old tree
    Changed,  ///< a file in both, with another size, date or media text
};

/// One difference. Texts are as a catalog file gives them back.
struct TreeChange {
    ChangeKind Kind = ChangeKind::Changed;
    bool IsFolder = false;
    /// The entry's path below the compared nodes, "\" between names, a
    /// folder's ending with "\": Folder\Sub\file.txt, Folder\Sub\.
    std::string Path;
    /// The same names joined by "/", a folder's without a trailing "/":
    /// Folder/Sub/file.txt, Folder/Sub. Unlike Path it can be split again,
    /// since a name may hold a "\" but never a "/".
    std::string SlashPath;
    /// The old record (removed and changed entries) and the new one (added
    /// and changed entries); folders have a date and no size.
    std::int32_t OldSizeKB = 0, NewSizeKB = 0;
    TDateTime OldDate = 0, NewDate = 0;
    /// Media text (artist then title) of an MP3 file; empty for others.
    std::string OldMedia, NewMedia;
    /// An added or removed folder: the files and folders at every level
    /// below it, which are not listed one by one.
    std::uint64_t FilesInside = 0, FoldersInside = 0;
};

struct CompareSummary {
    std::uint64_t Added = 0, Removed = 0, Changed = 0;
    std::uint64_t FilesInAddedFolders = 0, FilesInRemovedFolders = 0;

    bool Empty() const noexcept { return Added == 0 && Removed == 0 && Changed == 0; }
};

/// Receives the changes one by one, in tree order.
using ChangeSink = std::function<void(const TreeChange&)>;

/// Compares the subtree of `oldNode` in `oldTree` with that of `newNode` in
/// `newTree` (volume or folder nodes; the trees may be one and the same).
///
/// Entries are matched by name as the tree matches them: bytes as a catalog
/// file gives them back, letter case included, so a scanned name and the
/// same name read from a catalog file match; a folder and a file of the same
/// name are different entries. A name found twice in one folder (two names
/// stored alike) pairs up in order. A file in both is changed when its
/// SizeKB, its date (as stored, whole even seconds) or its media text
/// differs; a folder in both is never a change itself (its date moves with
/// its contents), its contents are compared. A folder in one tree only is one
/// change, with its contents counted.
///
/// Tree order: in each folder first its files' changes, then its
/// subfolders, each group ordered by the locale's collation of the names;
/// a subfolder's changes follow right after it. The time is linear in the
/// number of records where the folders of both trees list their entries in
/// the same order; elsewhere the entries between a folder's common first and
/// last ones are sorted by name. Extra memory: the entries of one folder
/// being compared, 24 bytes each, and the pending subfolders of the folders
/// on the current path, 8 bytes each.
CompareSummary CompareTrees(const CatalogTree& oldTree, NodeId oldNode, const CatalogTree& newTree, NodeId newNode,
                            const Locale& locale, const ChangeSink& sink);

/// "N added, N removed, N changed (F files in added folders, G in removed
/// ones)".
std::string ChangeSummaryText(const CompareSummary& summary);

}  // namespace ardvel
