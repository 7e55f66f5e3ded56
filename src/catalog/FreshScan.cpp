#include "catalog/FreshScan.h"

#include "store/DateTime.h"

namespace ardvel {

bool FreshScan::Run(const std::string& folder, FolderScanner::Options options)
{
    if (volume_ != kNoNode) tree_.RemoveNode(volume_);
    volume_ = tree_.AddVolume(folder, NowLocal());
    FolderScanner scanner(tree_, std::move(options));
    const bool completed = scanner.ScanFolder(folder, volume_);
    stats_ = scanner.Stats();
    return completed;
}

}  // namespace ardvel
