#include "store/NodePath.h"

#include <string>

namespace ardvel {

NodeId ResolveNodePath(const CatalogTree& tree, std::string_view path, const Locale& locale)
{
    if (tree.VolumeCount() == 0) return kNoNode;
    std::string text(path);
    if (text.empty() || text.back() != '\\') text += '\\';
    if (text == std::string(CatalogTree::kRootText) + "\\") return CatalogTree::kRoot;

    NodeId node = CatalogTree::kRoot;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t stop = text.find('\\', start);
        std::string_view component(text.data() + start, stop - start);
        start = stop + 1;
        if (node == CatalogTree::kRoot) {
            if (component.empty() || component.back() != ':') return kNoNode;
            component.remove_suffix(1);
        }
        NodeId found = kNoNode;
        for (NodeId child : tree.Children(node)) {
            if (locale.EqualIgnoreCase(tree.Text(child), component)) {
                found = child;
                break;
            }
        }
        if (found == kNoNode) return kNoNode;
        node = found;
    }
    return node;
}

}  // namespace ardvel
