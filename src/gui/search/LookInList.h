#pragma once

// The Look-in list of the search panel: one entry per volume, the current
// folder, and "All", the last.

#include "store/CatalogTree.h"

class QComboBox;

namespace ardvel::gui {

/// Fills `box` from the volumes of `tree`, with `current` (the root when
/// kNoNode) as the current-folder entry; the first entry is chosen.
void FillLookIn(QComboBox& box, const CatalogTree& tree, NodeId current);

/// The current-folder entry (the one before "All") names `node`.
void ShowCurrentFolderEntry(QComboBox& box, const CatalogTree& tree, NodeId node);

}  // namespace ardvel::gui
