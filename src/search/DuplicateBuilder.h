#pragma once

// The duplicate search's inner parts, shared by its files and folders ways.

#include <algorithm>
#include <cstdint>
#include <span>
#include <vector>

#include "search/Duplicates.h"
#include "search/HashGroups.h"

namespace ardvel {

/// Fills a DuplicateResult: runs of equal hashes split into groups of equal
/// keys, then the groups put in order.
class DuplicateBuilder {
public:
    explicit DuplicateBuilder(DuplicateResult& result) : result_(result) {}

    void SetFiles(ScopeFiles files) { result_.files_ = std::move(files); }
    const ScopeFiles& Files() const noexcept { return result_.files_; }
    void SetFolders(std::vector<DuplicateRecord> folders)
    {
        result_.folders_ = true;
        result_.folderRecords_ = std::move(folders);
    }

    /// Splits every run of equal hashes into the records whose keys are
    /// equal (same(a, b), given the places of two kept words of `hashes`),
    /// keeping each group of two or more. The wasted space is size × (count
    /// − 1), or when sizes vary within a group, the sizes of all but the
    /// largest (size(place)).
    template <typename Same, typename Size>
    void TakeRuns(const HashGroups& hashes, Same&& same, Size&& size, bool sizesVary)
    {
        hashes.ForEachRun([&](std::size_t first, std::size_t count) {
            pending_.clear();
            for (std::size_t i = 0; i < count; ++i) pending_.push_back(static_cast<std::uint32_t>(first + i));
            // Nearly always one key per run: one pass takes it whole.
            while (pending_.size() >= 2) {
                group_.assign(1, pending_[0]);
                rest_.clear();
                for (std::size_t i = 1; i < pending_.size(); ++i)
                    (same(pending_[0], pending_[i]) ? group_ : rest_).push_back(pending_[i]);
                if (group_.size() >= 2) {
                    const std::int64_t wasted = Wasted(size, sizesVary);
                    for (std::uint32_t& place : group_) place = hashes.NumberAt(place);
                    Add(wasted);
                }
                pending_.swap(rest_);
            }
        });
    }
    /// Puts the groups in order and drops those with `drop[g]` set (when
    /// `drop` is not empty).
    void Finish(const std::vector<bool>& drop);

    /// The numbers of the records of group `g` found so far.
    std::span<const std::uint32_t> GroupNumbers(std::size_t g) const
    {
        const DuplicateGroup& group = result_.groups_[g];
        return {result_.numbers_.data() + group.First, group.Count};
    }
    std::size_t GroupCount() const noexcept { return result_.groups_.size(); }

private:
    template <typename Size>
    std::int64_t Wasted(Size&& size, bool sizesVary) const
    {
        const std::int64_t first = size(group_[0]);
        if (!sizesVary) return first * static_cast<std::int64_t>(group_.size() - 1);
        std::int64_t total = 0, largest = 0;
        for (std::uint32_t n : group_) {
            const std::int64_t s = size(n);
            total += s;
            largest = std::max(largest, s);
        }
        return total - largest;
    }
    void Add(std::int64_t wastedKB);

    DuplicateResult& result_;
    std::vector<std::uint32_t> pending_, group_, rest_;
};

/// The folders way of FindDuplicates, Finish included.
void FindFolderDuplicates(DuplicateBuilder& builder, const CatalogTree& tree, const SearchScope& scope,
                          const DuplicateOptions& options, KeyHasher& hasher);

}  // namespace ardvel
