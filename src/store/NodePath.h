#pragma once

#include <string_view>

#include "platform/Locale.h"
#include "store/CatalogTree.h"

namespace ardvel {

/// Finds the node a path names, as the path box goes to it: "My Catalogs"
/// (exactly so) is the root; otherwise the first component must end with ":"
/// and names a volume, the others folders, each matched ignoring case against
/// the children in tree order. A trailing "\" is optional. Returns kNoNode
/// when some component matches nothing, or when no volume is loaded.
NodeId ResolveNodePath(const CatalogTree& tree, std::string_view path, const Locale& locale);

}  // namespace ardvel
