#pragma once

// The Look-in list of the search panel: one entry per volume, the current
// folder, and "All", the last.

#include "store/CatalogTree.h"

class QComboBox;

namespace ardvel::gui {

/// Fills `box` from the volumes of `tree`, with `current` (the root when
/// kNoNode) as the current-folder entry. The choice made before stays: the
/// same volume (under its new name after a rename), the current-folder
/// entry or All; the first volume when the chosen one has gone.
void FillLookIn(QComboBox& box, const CatalogTree& tree, NodeId current);

/// The current-folder entry (the one before "All") names `node`.
void ShowCurrentFolderEntry(QComboBox& box, const CatalogTree& tree, NodeId node);

}  // namespace ardvel::gui
