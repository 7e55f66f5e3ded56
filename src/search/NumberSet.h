#pragma once

#include <bit>
#include <cstdint>
#include <vector>

namespace ardvel {

/// A set of numbers below a limit, one bit each, that tells each member's
/// rank (how many members are smaller) in constant time once Finish has
/// run: a count per 64 numbers goes with the bits.
class NumberSet {
public:
    explicit NumberSet(std::uint32_t limit) : bits_((std::size_t{limit} + 63) / 64, 0) {}

    void Insert(std::uint32_t n) noexcept { bits_[n >> 6] |= std::uint64_t{1} << (n & 63); }

    /// Counts the members; no Insert after it.
    void Finish()
    {
        before_.resize(bits_.size());
        std::uint32_t total = 0;
        for (std::size_t w = 0; w < bits_.size(); ++w) {
            before_[w] = total;
            total += static_cast<std::uint32_t>(std::popcount(bits_[w]));
        }
        count_ = total;
    }
    std::uint32_t Count() const noexcept { return count_; }
    std::uint32_t Rank(std::uint32_t n) const noexcept
    {
        const std::uint64_t below = bits_[n >> 6] & ((std::uint64_t{1} << (n & 63)) - 1);
        return before_[n >> 6] + static_cast<std::uint32_t>(std::popcount(below));
    }

    /// Calls visit(n) for every member, ascending.
    template <typename Visit>
    void ForEach(Visit&& visit) const
    {
        for (std::size_t w = 0; w < bits_.size(); ++w)
            for (std::uint64_t b = bits_[w]; b != 0; b &= b - 1)
                visit(static_cast<std::uint32_t>(w * 64 + static_cast<std::size_t>(std::countr_zero(b))));
    }

private:
    std::vector<std::uint64_t> bits_;
    std::vector<std::uint32_t> before_;
    std::uint32_t count_ = 0;
};

}  // namespace ardvel
