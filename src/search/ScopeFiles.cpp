#include "search/ScopeFiles.h"

#include <limits>
#include <stdexcept>

namespace ardvel {

std::vector<NodeId> ScopeStarts(const CatalogTree& tree, const SearchScope& scope)
{
    switch (scope.What) {
        case SearchScope::Kind::AllVolumes: {
            const auto volumes = tree.Children(CatalogTree::kRoot);
            return {volumes.begin(), volumes.end()};
        }
        case SearchScope::Kind::Node:
            if (tree.IsAlive(scope.Node)) return {scope.Node};
            return {};
        case SearchScope::Kind::Nothing:
            break;
    }
    return {};
}

ScopeFiles::ScopeFiles(const CatalogTree& tree, const SearchScope& scope)
{
    for (NodeId start : ScopeStarts(tree, scope)) VisitTreeOrder(tree, start, [&](NodeId node) { Add(tree, node); });
    coarse_.resize((std::size_t{count_} >> kCoarseBits) + 1);
    std::uint32_t r = 0;
    for (std::size_t block = 0; block < coarse_.size(); ++block) {
        const std::uint64_t first = block << kCoarseBits;
        while (r + 1 < runs_.size() && runs_[r].FirstNumber + std::uint64_t{runs_[r].Count} <= first) ++r;
        coarse_[block] = r;
    }
}

void ScopeFiles::Add(const CatalogTree& tree, NodeId node)
{
    const FileList files = tree.Files(node);
    if (files.empty()) return;
    if (files.size() > std::numeric_limits<std::uint32_t>::max() - count_)
        throw std::length_error("too many file records in one scope");
    runs_.push_back(FileRun{&files.Store(), node, files.Begin(), static_cast<std::uint32_t>(files.size()), count_});
    count_ += static_cast<std::uint32_t>(files.size());
}

}  // namespace ardvel
