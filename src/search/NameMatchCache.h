#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "search/SearchMatcher.h"
#include "store/CatalogTree.h"

namespace ardvel {

/// Which records of one volume's store have a name that holds the search
/// text or fits the mask (see NameSweep), one bit per record. The bits are
/// worked out a block of the store's records at a time, when the walk first
/// asks for a record of the block: the block's records are read once, in
/// order, and the names the pool holds one after another swept in one go
/// (TextFinder::MarkNames), a mask then tested on the names found. The walk
/// then reads no name, and no record whose name does not match.
///
/// The store may grow between two calls (records are only ever added to
/// it); a block that has grown since its bits were worked out is worked out
/// again. Anything else (another volume, other criteria) needs a Reset.
class NameMatchCache {
public:
    /// Records per block: a block of the store's record vector.
    static constexpr std::size_t kBlockSize = decltype(VolumeStore::Files)::kBlockSize;

    /// Forgets every bit: the next Get works them out for `store` anew.
    void Reset(const VolumeStore* store) noexcept;
    /// The store given to the last Reset.
    const VolumeStore* Store() const noexcept { return store_; }

    /// Bit i of `matches` for record first+i, i < count, of the store given
    /// to Reset: set when its name is one that `sweep` asks for. The records
    /// must lie in one block, and `sweep` stay the same until the next
    /// Reset. `count` is at most SearchMatcher::kMaxBatch.
    void Get(const NameSweep& sweep, std::size_t first, std::size_t count, SearchMatcher::MatchBits& matches);
    void Get(const TextFinder& finder, std::size_t first, std::size_t count, SearchMatcher::MatchBits& matches)
    {
        Get(NameSweep{&finder, nullptr}, first, count, matches);
    }

private:
    static constexpr std::size_t kWordsPerBlock = kBlockSize / 64;
    /// The bits of the `size` records of a block, into `words`.
    void Mark(const NameSweep& sweep, const TDetails* records, std::size_t size, std::uint64_t* words);

    const VolumeStore* store_ = nullptr;
    std::vector<std::uint64_t> bits_;  ///< kWordsPerBlock words per block
    std::vector<std::uint32_t> done_;  ///< per block: how many of its records have their bits
    std::string scratch_;
};

}  // namespace ardvel
