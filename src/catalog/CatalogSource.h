#pragma once

#include <string>

#include "platform/CdRom.h"

namespace ardvel {

/// What the selection of a folder to catalogue decides, kept together so
/// that a run uses the label, the eject decision and the scan root of the
/// folder it was started for.
struct CatalogSource {
    /// The folder to scan: absolute, without trailing "/" ("/" for the root).
    std::string ScanRoot;
    /// The proposed volume name, which is also the header label of the
    /// catalog file and the key of the test for an earlier cataloguing: the
    /// label of a CD-ROM, else the folder's display name (its last path
    /// component; "/" for the root).
    std::string SourceLabel;
    /// The folder is the root of a CD-ROM: the door opens after saving.
    bool EjectWhenDone = false;
    /// The CD-ROM's device, when EjectWhenDone.
    std::string Device;
};

/// The selection of `folder`: a CD-ROM root (the mount point of an optical
/// drive, read from the mount table of `config`) proposes the disc's label
/// (empty when it cannot be read) and is ejected when done; any other
/// folder, a folder on a disc included, proposes its display name.
CatalogSource SelectSource(const std::string& folder, const CdRomConfig& config = {});

/// The display name of a folder: the last component of its absolute path,
/// "/" for the root.
std::string FolderDisplayName(const std::string& absoluteFolder);

}  // namespace ardvel
