#pragma once

#include <bit>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/LargeBuffer.h"

namespace ardvel {

/// Finds the numbers whose hashes are equal, for numbers below `limit`,
/// without copying any key: each entry is one word, the hash's high bits
/// above the number and one bit for marking. Words are kept in partitions by their highest bits, a
/// few KiB at a time, so that each partition can then be worked through
/// while it sits in the cache: a small table finds the hashes met more
/// than once, and only their words are sorted, which brings equal hashes
/// together with their numbers ascending. Equal words' hashes share only
/// their high bits: callers compare the keys of a run before they take it
/// as one group.
class HashGroups {
public:
    /// `capacity`: about how many words will be added (sizes the partitions).
    HashGroups(std::size_t capacity, std::uint32_t limit);

    void Add(std::uint64_t hash, std::uint32_t number)
    {
        const std::uint64_t word = (hash & ~numberMask_) | (std::uint64_t{number} << 1);
        // Gathered a cache line per partition, then moved on a line at a
        // time: writing each word straight to its partition would touch as
        // many lines as there are partitions, far more than the cache holds.
        const std::size_t p = word >> partitionShift_;
        std::uint8_t& held = held_[p];
        lines_[p].Words[held] = word;
        if (++held == kLineWords) {
            MoveLine(p, kLineWords);
            held = 0;
        }
    }

    /// Keeps the words whose hashes were added more than once, sorted.
    void Sort();

    /// After Sort: calls run(first, count) for every run of two or more
    /// kept words whose hash bits are equal, in word order: places first ..
    /// first+count-1 of the kept words.
    template <typename Run>
    void ForEachRun(Run&& run) const
    {
        std::size_t i = 0;
        const std::size_t n = repeated_.size();
        while (i < n) {
            const std::uint64_t hash = repeated_[i] & ~numberMask_;
            std::size_t j = i + 1;
            while (j < n && (repeated_[j] & ~numberMask_) == hash) ++j;
            if (j - i >= 2) run(i, j - i);
            i = j;
        }
    }
    /// After Sort: how many words were kept.
    std::size_t KeptCount() const noexcept { return repeated_.size(); }
    /// The number of the kept word at `place`.
    std::uint32_t NumberAt(std::size_t place) const noexcept
    {
        return static_cast<std::uint32_t>((repeated_[place] & numberMask_) >> 1);
    }

private:
    static constexpr std::size_t kBlockWords = 512;
    static constexpr std::size_t kLineWords = 8;
    struct alignas(64) Line {
        std::uint64_t Words[kLineWords];
    };
    struct Partition {
        std::vector<std::uint64_t*> Blocks;  ///< in arena_, or in overflow_
        std::uint64_t* Fill = nullptr;
        std::uint64_t* End = nullptr;
    };
    void NewBlock(Partition& p);
    void MoveLine(std::size_t p, std::size_t count);
    /// Moves the words of `p` whose hashes repeat to `repeated_`, freeing `p`.
    void TakeRepeated(Partition& p);
    /// `shift`: the words' bits from it up are the same for all of them.
    void FindRepeated(const std::uint64_t* words, std::size_t count, unsigned shift);
    /// Probes those of the `count` words that forEach(visit) visits whose
    /// hash bits below `shift` meet another's in a bitmap of a few bits a
    /// word: two passes over the words find them without a write outside
    /// the bitmaps (which the second-level cache holds) for most words, and
    /// the table is made for the few found.
    template <typename ForEach>
    void FilterThenProbe(std::size_t count, unsigned shift, ForEach&& forEach);
    /// Sorts the words of `repeated_` from `first` on, which share the
    /// partition's bits.
    void SortRepeated(std::size_t first);
    /// An empty table for `count` words.
    void PrepareTable(std::size_t count);
    /// Puts `count` words into the table, moving those whose hash was met
    /// before to `repeated_` (and the first word of that hash with them).
    void Probe(const std::uint64_t* words, std::size_t count);

    std::vector<Partition> partitions_;
    /// The partitions' blocks for the expected number of words, handed out
    /// in turn; more come from overflow_.
    LargeBuffer arena_;
    std::size_t arenaUsed_ = 0;
    std::vector<std::unique_ptr<std::uint64_t[]>> overflow_;
    std::unique_ptr<Line[]> lines_;   ///< by partition, the words not yet moved
    std::vector<std::uint8_t> held_;  ///< by partition, how many
    unsigned partitionShift_ = 63;
    std::uint64_t numberMask_ = 0;
    std::vector<std::uint64_t> table_;         ///< one partition's first word of each hash
    std::vector<std::uint64_t> repeated_;      ///< the words kept by Sort
    std::vector<std::uint64_t> scratch_;       ///< one partition's words, in parts
    std::vector<std::uint64_t> seen_, twice_;  ///< the bitmaps of FilterThenProbe
    std::vector<std::uint64_t> candidates_;    ///< the words it probes
    std::vector<std::size_t> bucketEnds_;      ///< of SortRepeated
};

}  // namespace ardvel
