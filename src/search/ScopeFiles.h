#pragma once

#include <cstdint>
#include <vector>

#include "search/SearchWalk.h"
#include "store/CatalogTree.h"

namespace ardvel {

/// The files of one node: records Begin .. Begin+Count of `Store`, numbered
/// FirstNumber on in the scope's tree order.
struct FileRun {
    const VolumeStore* Store = nullptr;
    NodeId Node = kNoNode;
    std::uint32_t Begin = 0;
    std::uint32_t Count = 0;
    std::uint32_t FirstNumber = 0;
};

/// The file records of a scope in tree order (the order the search walks:
/// a folder's files, then each sub-folder with what lies below it), as runs
/// of consecutive records, and each record's number in that order. A number
/// finds its record again without a per-record table: a coarse index of one
/// entry per 64 numbers leads to the run. Valid while the tree is unchanged.
class ScopeFiles {
public:
    ScopeFiles() = default;
    ScopeFiles(const CatalogTree& tree, const SearchScope& scope);

    const std::vector<FileRun>& Runs() const noexcept { return runs_; }
    /// How many file records the scope holds.
    std::uint32_t Count() const noexcept { return count_; }

    /// The run holding record number `number` (< Count()).
    const FileRun& RunOf(std::uint32_t number) const noexcept
    {
        std::uint32_t r = coarse_[number >> kCoarseBits];
        while (runs_[r].FirstNumber + runs_[r].Count <= number) ++r;
        return runs_[r];
    }
    const TDetails& Record(const FileRun& run, std::uint32_t number) const noexcept
    {
        return run.Store->Files[run.Begin + (number - run.FirstNumber)];
    }

private:
    static constexpr unsigned kCoarseBits = 6;
    void Add(const CatalogTree& tree, NodeId node);

    std::vector<FileRun> runs_;
    std::vector<std::uint32_t> coarse_;  ///< per 64 numbers: the run of the first
    std::uint32_t count_ = 0;
};

/// Calls visit(node) for `from` and every node below it, in tree order.
template <typename Visit>
void VisitTreeOrder(const CatalogTree& tree, NodeId from, Visit&& visit)
{
    std::vector<NodeId> pending{from};
    while (!pending.empty()) {
        const NodeId node = pending.back();
        pending.pop_back();
        visit(node);
        const auto children = tree.Children(node);
        for (auto it = children.rbegin(); it != children.rend(); ++it) pending.push_back(*it);
    }
}

/// The nodes a scope starts from: every volume, one node, or none.
std::vector<NodeId> ScopeStarts(const CatalogTree& tree, const SearchScope& scope);

}  // namespace ardvel
