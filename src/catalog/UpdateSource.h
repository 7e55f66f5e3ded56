#pragma once

// Which folder an update of a volume proposes to scan.

#include <string>
#include <string_view>

#include "platform/CdRom.h"
#include "store/DateTime.h"

namespace ardvel {

/// Where the proposal looks; the defaults serve the real system.
struct UpdateSourceConfig {
    std::string SettingsFile;  ///< the settings file with the remembered folders
    std::string MountTable = kDefaultMountTable;
    /// The folder of links named after file system labels (udev's).
    std::string ByLabelFolder = "/dev/disk/by-label";
};

/// The folder the volume of `catalogPath` (dated `volumeDate`, header label
/// `label`) was catalogued or last updated from, while it is a folder; else
/// the mount point of a mounted file system whose label is `label`; else
/// empty.
std::string ProposeUpdateFolder(const std::string& catalogPath, TDateTime volumeDate, std::string_view label,
                                const UpdateSourceConfig& config);

/// The mount point of a mounted file system whose label is `label`: one
/// whose device the label link names, or else one whose mount point is named
/// like the label (desktop automounters name them so). Pseudo file systems
/// and "/" never count. Empty when there is none.
std::string FindMountByLabel(std::string_view label, const std::string& mountTable, const std::string& byLabelFolder);

/// A label as the name of its link: letters, digits, "#+-.:=@_" and UTF-8
/// sequences as they are, any other byte as \xNN.
std::string LabelLinkName(std::string_view label);

}  // namespace ardvel
