#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "search/SearchMatcher.h"
#include "store/CatalogTree.h"

namespace ardvel {

/// Which records of one volume's store have a name that holds the search
/// text, one bit per record. The bits are worked out a block of the store's
/// records at a time, when the walk first asks for a record of the block:
/// the block's records are read once, in order, and the names the pool
/// holds one after another swept in one go (TextFinder::MarkNames). The
/// walk then reads no name, and no record whose name does not match.
///
/// While the walk goes through the folders of a block, the memory the next
/// block will read is asked for a little at each call, so that working it
/// out does not wait for memory.
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
    /// to Reset: set when its name holds the text of `finder`. The records
    /// must lie in one block, and `finder` stay the same until the next
    /// Reset. `count` is at most SearchMatcher::kMaxBatch.
    void Get(const TextFinder& finder, std::size_t first, std::size_t count, SearchMatcher::MatchBits& matches);

private:
    static constexpr std::size_t kWordsPerBlock = kBlockSize / 64;
    /// Lines asked for ahead at each call: a block is mostly taken in some
    /// forty calls, one for each folder, while its records and names are
    /// some eight hundred lines.
    static constexpr int kAheadLinesPerCall = 24;
    /// How much of the pool after the names of a block is asked for.
    static constexpr std::size_t kAheadTextBytes = 32 * 1024;

    /// What the next block is likely to read: its records, and the pool
    /// after the last name of the block just worked out.
    void AimAhead(std::size_t block, const TDetails* records, std::size_t size) noexcept;
    /// Asks for a few lines of it, so that they come in from memory while
    /// the walk goes through the folders, not all at once when the next
    /// block is worked out.
    void FetchAhead() noexcept;

    /// Bytes to ask for, from `At` on: `Done` of `Size` asked for so far.
    struct Ahead {
        const char* At = nullptr;
        std::size_t Size = 0;
        std::size_t Done = 0;
    };

    const VolumeStore* store_ = nullptr;
    std::vector<std::uint64_t> bits_;  ///< kWordsPerBlock words per block
    std::vector<std::uint32_t> done_;  ///< per block: how many of its records have their bits
    std::string scratch_;
    Ahead aheadRecords_, aheadText_;
};

}  // namespace ardvel
