#pragma once

#include <cstddef>
#include <vector>

#include "store/CatalogTree.h"

namespace ardvel {

/// Calls `enter(node, depth)` for `top` (depth 0) and for every folder below
/// it, in the order of a catalog file: a folder, then its files (the
/// caller's to take within `enter`), then each of its sub-folders with all
/// they hold. Iterative, so that no depth of tree can overflow the stack.
template <typename Enter>
void ForEachFolderPreOrder(const CatalogTree& tree, NodeId top, Enter&& enter)
{
    struct Frame {
        NodeId Node;
        std::size_t NextChild;
    };
    std::vector<Frame> stack;
    enter(top, std::size_t{0});
    stack.push_back({top, 0});
    while (!stack.empty()) {
        Frame& frame = stack.back();
        const auto children = tree.Children(frame.Node);
        if (frame.NextChild == children.size()) {
            stack.pop_back();
            continue;
        }
        const NodeId child = children[frame.NextChild++];
        enter(child, stack.size());
        stack.push_back({child, 0});
    }
}

}  // namespace ardvel
