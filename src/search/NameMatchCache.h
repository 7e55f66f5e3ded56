#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>
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
///
/// On a large store, SweepAhead works the blocks out on a second thread,
/// a few blocks ahead of the walk, while the walk makes its rows from the
/// ones done. Each block is taken by one of the two threads: the walk, when
/// the block it needs is being worked out, works out a later one meanwhile,
/// so that a walk with few rows to make shares the sweeping.
class NameMatchCache {
public:
    NameMatchCache() = default;
    NameMatchCache(const NameMatchCache&) = delete;
    NameMatchCache& operator=(const NameMatchCache&) = delete;
    ~NameMatchCache() { StopAhead(); }

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

    /// Starts working out, on a thread of its own, the bits of the blocks
    /// from the one that holds record `first` to the end of the store, when
    /// at least kAheadMinBlocks of them are left and no such thread runs.
    /// Until StopAhead (or Reset), neither the store nor what `sweep` points
    /// to may change.
    void SweepAhead(const NameSweep& sweep, std::size_t first);
    /// Stops that thread and waits for it; the blocks it did not reach are
    /// worked out by Get as before.
    void StopAhead() noexcept;

    /// Whether a thread started by SweepAhead has not been stopped yet.
    bool SweepingAhead() const noexcept { return ahead_.joinable(); }

    /// Fewer blocks left than this are not worth a thread.
    static constexpr std::size_t kAheadMinBlocks = 16;

private:
    static constexpr std::size_t kWordsPerBlock = kBlockSize / 64;
    /// Room for the bits of every block up to `block` and of the store as it is.
    void MakeRoom(std::size_t block);
    /// The bits of block `block`, into its words, and its count of records done.
    void MarkBlock(const NameSweep& sweep, std::size_t block, std::string& scratch);
    /// The bits of the `size` records of a block, into `words`.
    void Mark(const NameSweep& sweep, const TDetails* records, std::size_t size, std::uint64_t* words,
              std::string& scratch);
    /// The sweeping thread's work: the blocks from aheadFrom_ to aheadEnd_
    /// that the walk has not taken, at most kMaxLead blocks ahead of it.
    void RunAhead(NameSweep sweep) noexcept;
    /// For a block from aheadFrom_ to aheadEnd_: returns once its bits are
    /// worked out, by either thread. While the other thread works on it,
    /// this one works out a later block that no thread has taken.
    void AwaitBlock(const NameSweep& sweep, std::size_t block);
    /// Takes the block, when no thread has: works its bits out and returns true.
    bool TakeAndMark(const NameSweep& sweep, std::size_t block, std::string& scratch);
    /// Whether the bits of a block from aheadFrom_ to aheadEnd_ are done.
    bool BlockDone(std::size_t block) const noexcept
    {
        return states_[block - aheadFrom_].load(std::memory_order_acquire) == kDone;
    }
    /// Asks for the texts of the matches among records from .. from+count-1
    /// of the block, whose rows come next.
    void PrefetchMatches(std::size_t block, std::size_t from, std::size_t count) noexcept;
    /// How far the sweeping thread may run ahead of the block the walk last
    /// asked for: the records and names it read are then still in a cache
    /// the two cores share when the walk reads them.
    static constexpr std::size_t kMaxLead = 12;

    /// The states of the blocks from aheadFrom_ on while a thread sweeps ahead.
    enum : std::uint8_t { kFree, kTaken, kDone };

    const VolumeStore* store_ = nullptr;
    std::vector<std::uint64_t> bits_;  ///< kWordsPerBlock words per block
    std::vector<std::uint32_t> done_;  ///< per block: how many of its records have their bits
    std::string scratch_;

    std::thread ahead_;
    std::size_t aheadFrom_ = 0, aheadEnd_ = 0;             ///< the blocks the thread sweeps while it runs
    std::unique_ptr<std::atomic<std::uint8_t>[]> states_;  ///< per block from aheadFrom_
    std::atomic<bool> stopAhead_{false};
    /// The block the walk asked for last. Written by the walk, read by the
    /// other thread: a cache line of its own. A sweeping thread that is
    /// kMaxLead blocks ahead sleeps until the walk reaches WakeAt, and the
    /// walk rings Bell then: a thread that yielded in a loop instead took
    /// the processor from the walk whenever the two shared one.
    struct alignas(64) WalkBlock {
        std::atomic<std::size_t> Block{0};
        std::atomic<std::size_t> WakeAt{kNoWake};
        std::atomic<std::uint32_t> Bell{0};
    } walkBlock_;
    static constexpr std::size_t kNoWake = ~std::size_t{0};
    /// The sweeping thread: returns once `block` is at most kMaxLead blocks
    /// ahead of the walk, or the sweep is to stop.
    void AwaitWalk(std::size_t block) noexcept;
    /// The walk: records that it asked for `block`, waking the sweeping
    /// thread when it waits for that.
    void WalkReached(std::size_t block) noexcept;
    std::string aheadScratch_;
};

}  // namespace ardvel
