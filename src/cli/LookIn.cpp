#include "cli/LookIn.h"

#include <ostream>

#include "store/LoadCatalogs.h"
#include "store/NodePath.h"

namespace ardvel::cli {

bool LoadForCommand(const CliContext& context, CatalogTree& tree, std::ostream& err)
{
    const LoadResult result = LoadCatalogs(tree, ResolveCatalogFolder(context), Locale::User());
    for (const LoadFailure& f : result.Failures) err << f.Path << ": " << f.Message << '\n';
    return result.Failures.empty();
}

std::optional<LookIn> ResolveLookIn(const CatalogTree& tree, const std::string& in, const Locale& locale)
{
    if (in == "All") return LookIn{SearchScope::AllVolumes(), "All"};
    for (NodeId v : tree.Children(CatalogTree::kRoot))
        if (locale.EqualIgnoreCase(tree.Text(v), in)) return LookIn{SearchScope::Of(v), std::string(tree.Text(v))};
    const NodeId node = in == CatalogTree::kRootText ? CatalogTree::kRoot : ResolveNodePath(tree, in, locale);
    if (node == kNoNode) return std::nullopt;
    return LookIn{node == CatalogTree::kRoot ? SearchScope::AllVolumes() : SearchScope::Of(node),
                  GetNodePath(tree, node)};
}

}  // namespace ardvel::cli
