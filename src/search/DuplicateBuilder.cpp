#include "search/DuplicateBuilder.h"

#include <algorithm>

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
    // Sorted by keys of their own: looking up each group's first number at
    // every comparison would reach all over the numbers.
    struct Order {
        std::int64_t WastedKB;
        std::uint32_t FirstNumber;
        std::uint32_t Group;
    };
    std::vector<Order> order;
    order.reserve(groups.size());
    for (std::uint32_t g = 0; g < groups.size(); ++g)
        if (drop.empty() || !drop[g]) order.push_back({groups[g].WastedKB, numbers[groups[g].First], g});
    // Numbers run in tree order, so a group's first number places it.
    std::sort(order.begin(), order.end(), [](const Order& a, const Order& b) {
        if (a.WastedKB != b.WastedKB) return a.WastedKB > b.WastedKB;
        return a.FirstNumber < b.FirstNumber;
    });

    std::vector<std::uint32_t> sortedNumbers;
    std::vector<DuplicateGroup> sortedGroups;
    sortedGroups.reserve(order.size());
    std::size_t kept = 0;
    for (const Order& o : order) kept += groups[o.Group].Count;
    sortedNumbers.reserve(kept);
    for (const Order& o : order) {
        DuplicateGroup group = groups[o.Group];
        const auto from = numbers.begin() + group.First;
        group.First = static_cast<std::uint32_t>(sortedNumbers.size());
        sortedNumbers.insert(sortedNumbers.end(), from, from + group.Count);
        sortedGroups.push_back(group);
    }
    result_.numbers_ = std::move(sortedNumbers);
    result_.groups_ = std::move(sortedGroups);
}

}  // namespace ardvel
