#pragma once

// Giving a volume of the catalog tree the contents of an update's scan
// without replacing its node: the volume and the folders that still exist
// keep their nodes, so whatever refers to them (the open folder, the
// history, expanded branches) stays valid.

#include "platform/Locale.h"
#include "store/CatalogTree.h"

namespace ardvel {

/// Makes the subtree of `volume` in `tree` hold what the subtree of `from`
/// in `source` holds: folders matched by name as CompareTrees matches them
/// keep their nodes and take the new dates; folders only in `tree` are
/// removed, folders only in `source` are added; every node's files become
/// those of its counterpart, in their order. The volume's own text and date
/// are not changed. Then the folders below `volume` are sorted by the
/// locale's collation, as the tree keeps them. `source` is another tree.
void ReplaceVolumeContents(CatalogTree& tree, NodeId volume, const CatalogTree& source, NodeId from,
                           const Locale& locale);

}  // namespace ardvel
