#include "search/DuplicateBuilder.h"

#include <algorithm>
#include <numeric>

namespace ardvel {

void DuplicateBuilder::Add(std::int64_t wastedKB)
{
    auto& numbers = result_.numbers_;
    result_.groups_.push_back(DuplicateGroup{static_cast<std::uint32_t>(numbers.size()),
                                             static_cast<std::uint32_t>(group_.size()), wastedKB});
    numbers.insert(numbers.end(), group_.begin(), group_.end());
}

void DuplicateBuilder::Finish(const std::vector<bool>& drop)
{
    auto& groups = result_.groups_;
    const auto& numbers = result_.numbers_;
    std::vector<std::uint32_t> order;
    order.reserve(groups.size());
    for (std::uint32_t g = 0; g < groups.size(); ++g)
        if (drop.empty() || !drop[g]) order.push_back(g);
    // Numbers run in tree order, so a group's first number places it.
    std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
        if (groups[a].WastedKB != groups[b].WastedKB) return groups[a].WastedKB > groups[b].WastedKB;
        return numbers[groups[a].First] < numbers[groups[b].First];
    });

    std::vector<std::uint32_t> sortedNumbers;
    std::vector<DuplicateGroup> sortedGroups;
    sortedGroups.reserve(order.size());
    std::size_t kept = 0;
    for (std::uint32_t g : order) kept += groups[g].Count;
    sortedNumbers.reserve(kept);
    for (std::uint32_t g : order) {
        DuplicateGroup group = groups[g];
        const auto from = numbers.begin() + group.First;
        group.First = static_cast<std::uint32_t>(sortedNumbers.size());
        sortedNumbers.insert(sortedNumbers.end(), from, from + group.Count);
        sortedGroups.push_back(group);
    }
    result_.numbers_ = std::move(sortedNumbers);
    result_.groups_ = std::move(sortedGroups);
}

}  // namespace ardvel
