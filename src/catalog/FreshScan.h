#pragma once

// A folder scanned into memory and never saved: the new side when a volume
// is compared with its media, and the volume-to-be of an update.

#include <string>

#include "catalog/ScanFolder.h"
#include "store/CatalogTree.h"

namespace ardvel {

class FreshScan {
public:
    FreshScan() = default;
    FreshScan(const FreshScan&) = delete;
    FreshScan& operator=(const FreshScan&) = delete;

    /// Scans `folder` into a new volume of this object's own tree, dated now
    /// and named after the folder, with the scanner of cataloguing (the same
    /// progress, stop and media reading). Returns false when the scan was
    /// stopped; what was scanned until then stays.
    bool Run(const std::string& folder, FolderScanner::Options options);

    const CatalogTree& Tree() const noexcept { return tree_; }
    CatalogTree& Tree() noexcept { return tree_; }
    NodeId Volume() const noexcept { return volume_; }
    const ScanStats& Stats() const noexcept { return stats_; }

private:
    CatalogTree tree_;
    NodeId volume_ = kNoNode;
    ScanStats stats_;
};

}  // namespace ardvel
