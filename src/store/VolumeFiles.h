#pragma once

// Renaming and deleting the catalog file of a volume. Both act only on the
// file the volume node remembers it was loaded from or saved to, never on a
// name rebuilt from the volume's text.

#include <string>
#include <string_view>

#include "platform/Locale.h"
#include "store/CatalogTree.h"

namespace ardvel {

/// The volume of `tree` whose name equals `name` ignoring letter case (in
/// every script), or kNoNode.
NodeId FindVolumeNamed(const CatalogTree& tree, std::string_view name, const Locale& locale);

enum class VolumeFileResult {
    Done,
    NoCatalogFile,  ///< the volume remembers no catalog file
    ImproperName,   ///< the new name cannot give a catalog file name
    TildeDigit,     ///< the new name holds "~" followed by a digit
    TargetExists,   ///< another file already has the new name
    SystemError,    ///< the file system refused (missing file, no access...)
};

/// Renames the catalog file of `volume` (in `catalogFolder`, ending in "/")
/// to the file name cataloguing would give `newName`: the stem of
/// EncodeNewVolumeName and ".arv", so the next loading shows the volume
/// under `newName`. Never replaces an existing file. On success the volume
/// remembers the new file name; the node's text is the caller's to change.
/// On failure nothing is changed.
VolumeFileResult RenameVolumeFile(CatalogTree& tree, NodeId volume, const std::string& catalogFolder,
                                  std::string_view newName);

/// The message telling the user that a rename failed with `result`: the
/// refusal of EncodeVolumeName for TildeDigit, else kImproperVolumeName.
const char* RenameFailureText(VolumeFileResult result) noexcept;

/// Deletes the catalog file of `volume` from `catalogFolder`. The tree is
/// not changed.
VolumeFileResult DeleteVolumeFile(const CatalogTree& tree, NodeId volume, const std::string& catalogFolder);

}  // namespace ardvel
