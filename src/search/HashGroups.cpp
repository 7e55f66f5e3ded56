#include "search/HashGroups.h"

#include <algorithm>
#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <immintrin.h>
#endif

namespace ardvel {

namespace {

/// Words per partition aimed at. Few partitions keep the lines that gather
/// their words within the first-level cache (256 lines, 16 KiB).
constexpr std::size_t kPartitionTarget = 8192;
constexpr unsigned kMaxPartitionBits = 10;
/// A partition of at most this many words is worked through in place, its
/// table (two slots a word, 256 KiB) within the second-level cache.
constexpr std::size_t kDirectWords = 16384;
/// Words per part of a partition whose table (two slots a word, 32 KiB) stays
/// within the first-level cache.
constexpr std::size_t kPartTarget = 2048;
constexpr unsigned kMaxPartBits = 8;
/// A partition or part of fewer words is probed whole; the bitmaps that
/// sort out a larger one's words have 16 bits a word (fewer words meet by
/// chance), within these bounds.
constexpr std::size_t kFilterMinWords = 1024;
constexpr unsigned kFilterMinBits = 10, kFilterMaxBits = 18;
/// In a table slot: the hash has been met again, the slot's word kept.
constexpr std::uint64_t kTaken = 1;
/// A free slot: no word has all its bits set, the marking bit being clear.
constexpr std::uint64_t kEmpty = ~std::uint64_t{0};

}  // namespace

HashGroups::HashGroups(std::size_t capacity, std::uint32_t limit)
{
    // The number above the marking bit.
    const unsigned numberBits = 1 + std::max(1u, static_cast<unsigned>(std::bit_width(limit > 0 ? limit - 1 : 0u)));
    numberMask_ = (std::uint64_t{1} << numberBits) - 1;
    const unsigned bits =
        std::min(kMaxPartitionBits, static_cast<unsigned>(std::bit_width(capacity / kPartitionTarget)));
    // With one partition, every word's top bit still picks one of two.
    partitionShift_ = bits == 0 ? 63 : 64 - bits;
    partitions_.resize(bits == 0 ? 2 : std::size_t{1} << bits);
    lines_ = std::make_unique<Line[]>(partitions_.size());
    held_.assign(partitions_.size(), 0);
    // Room for every word, and for each partition's last block part filled.
    arena_ = LargeBuffer(capacity + partitions_.size() * kBlockWords);
}

void HashGroups::MoveLine(std::size_t p, std::size_t count)
{
    Partition& partition = partitions_[p];
    if (partition.Fill == partition.End) NewBlock(partition);
#if defined(__SSE2__)
    if (count == kLineWords) {
        // Straight to memory: the line is not read in first only to be
        // overwritten whole, and it does not push out what the cache holds.
        const auto* from = reinterpret_cast<const __m128i*>(lines_[p].Words);
        auto* to = reinterpret_cast<__m128i*>(partition.Fill);
        for (int k = 0; k < 4; ++k) _mm_stream_si128(to + k, _mm_load_si128(from + k));
        partition.Fill += count;
        return;
    }
#endif
    std::memcpy(partition.Fill, lines_[p].Words, count * sizeof(std::uint64_t));
    partition.Fill += count;
}

void HashGroups::NewBlock(Partition& p)
{
    std::uint64_t* block;
    if (arenaUsed_ + kBlockWords <= arena_.size()) {
        block = arena_.data() + arenaUsed_;
        arenaUsed_ += kBlockWords;
    } else {
        overflow_.push_back(std::make_unique_for_overwrite<std::uint64_t[]>(kBlockWords));
        block = overflow_.back().get();
    }
    p.Blocks.push_back(block);
    p.Fill = block;
    p.End = block + kBlockWords;
}

void HashGroups::Sort()
{
#if defined(__SSE2__)
    _mm_sfence();  // the streamed lines before they are read
#endif
    for (std::size_t p = 0; p < partitions_.size(); ++p) {
        // A part line never crosses a block's end: blocks hold whole lines.
        if (held_[p] > 0) MoveLine(p, held_[p]);
        held_[p] = 0;
    }
    for (Partition& p : partitions_) {
        const std::size_t first = repeated_.size();
        TakeRepeated(p);
        SortRepeated(first);
    }
    // The words not kept are no longer needed.
    arena_ = LargeBuffer();
    overflow_.clear();
}

void HashGroups::SortRepeated(std::size_t first)
{
    std::uint64_t* const words = repeated_.data() + first;
    const std::size_t count = repeated_.size() - first;
    if (count < 64) {
        std::sort(words, words + count);
        return;
    }
    // Counted out into about as many buckets as words by the bits below the
    // partition's, then each bucket sorted on its own: most hold a word or
    // two, or the words of one hash, which came in already in order.
    const unsigned bits = std::min(static_cast<unsigned>(std::bit_width(count)), partitionShift_ - 1);
    const unsigned shift = partitionShift_ - bits;
    const std::uint64_t mask = (std::uint64_t{1} << bits) - 1;
    bucketEnds_.assign(std::size_t{1} << bits, 0);
    for (std::size_t k = 0; k < count; ++k) ++bucketEnds_[(words[k] >> shift) & mask];
    std::size_t end = 0;
    for (std::size_t& bucket : bucketEnds_) bucket = end += bucket;  // each bucket's end
    scratch_.resize(std::max(scratch_.size(), count));
    for (std::size_t k = count; k-- > 0;) scratch_[--bucketEnds_[(words[k] >> shift) & mask]] = words[k];
    std::copy_n(scratch_.data(), count, words);
    // bucketEnds_ now hold each bucket's start.
    for (std::size_t b = 0; b < bucketEnds_.size(); ++b) {
        const std::size_t from = bucketEnds_[b], to = b + 1 < bucketEnds_.size() ? bucketEnds_[b + 1] : count;
        if (to - from > 1) std::sort(words + from, words + to);
    }
}

template <typename ForEach>
void HashGroups::FilterThenProbe(std::size_t count, unsigned shift, ForEach&& forEach)
{
    const unsigned numberBits = static_cast<unsigned>(std::popcount(numberMask_));
    const unsigned bits = std::min({kFilterMaxBits, static_cast<unsigned>(std::bit_width(count * 16)),
                                    shift > numberBits ? shift - numberBits : 0u});
    candidates_.clear();
    if (count < kFilterMinWords || bits < kFilterMinBits) {
        forEach([&](std::uint64_t word) { candidates_.push_back(word); });
    } else {
        const unsigned low = shift - bits;
        const std::uint64_t mask = (std::uint64_t{1} << bits) - 1;
        seen_.assign(std::size_t{1} << (bits - 6), 0);
        twice_.assign(seen_.size(), 0);
        forEach([&](std::uint64_t word) {
            const std::uint64_t at = (word >> low) & mask, bit = std::uint64_t{1} << (at & 63);
            twice_[at >> 6] |= seen_[at >> 6] & bit;
            seen_[at >> 6] |= bit;
        });
        forEach([&](std::uint64_t word) {
            const std::uint64_t at = (word >> low) & mask;
            if ((twice_[at >> 6] >> (at & 63)) & 1) candidates_.push_back(word);
        });
    }
    if (candidates_.size() < 2) return;
    PrepareTable(candidates_.size());
    Probe(candidates_.data(), candidates_.size());
}

void HashGroups::TakeRepeated(Partition& p)
{
    if (p.Blocks.empty()) return;
    const std::size_t last = static_cast<std::size_t>(p.Fill - p.Blocks.back());
    const std::size_t count = (p.Blocks.size() - 1) * kBlockWords + last;
    if (count <= kDirectWords) {
        if (count >= 2) {
            FilterThenProbe(count, partitionShift_, [&](auto&& visit) {
                for (std::size_t b = 0; b < p.Blocks.size(); ++b) {
                    const std::uint64_t* words = p.Blocks[b];
                    const std::size_t n = b + 1 == p.Blocks.size() ? last : kBlockWords;
                    for (std::size_t k = 0; k < n; ++k) visit(words[k]);
                }
            });
        }
        p = Partition{};
        return;
    }
    // The partition's words, in parts by the bits below the partition's:
    // one pass over memory the cache holds, and each part's table small.
    const unsigned bits = std::min(kMaxPartBits, static_cast<unsigned>(std::bit_width(count / kPartTarget)));
    const unsigned shift = partitionShift_ - bits;
    const std::uint64_t mask = (std::uint64_t{1} << bits) - 1;
    std::vector<std::size_t> next(std::size_t{1} << bits, 0);
    const auto forEach = [&](auto&& visit) {
        for (std::size_t b = 0; b < p.Blocks.size(); ++b) {
            const std::uint64_t* words = p.Blocks[b];
            const std::size_t n = b + 1 == p.Blocks.size() ? last : kBlockWords;
            for (std::size_t k = 0; k < n; ++k) visit(words[k]);
        }
    };
    forEach([&](std::uint64_t word) { ++next[(word >> shift) & mask]; });
    std::size_t at = 0;
    for (std::size_t& n : next) {
        const std::size_t size = n;
        n = at;
        at += size;
    }
    std::vector<std::size_t> begin = next;
    scratch_.resize(count);
    forEach([&](std::uint64_t word) { scratch_[next[(word >> shift) & mask]++] = word; });
    p = Partition{};
    for (std::size_t part = 0; part < begin.size(); ++part)
        FindRepeated(scratch_.data() + begin[part], next[part] - begin[part], shift);
}

void HashGroups::FindRepeated(const std::uint64_t* words, std::size_t count, unsigned shift)
{
    if (count < 2) return;
    FilterThenProbe(count, shift, [&](auto&& visit) {
        for (std::size_t k = 0; k < count; ++k) visit(words[k]);
    });
}

void HashGroups::PrepareTable(std::size_t count)
{
    table_.assign(std::bit_ceil(std::max<std::size_t>(16, 2 * count)), kEmpty);
}

void HashGroups::Probe(const std::uint64_t* words, std::size_t count)
{
    const std::uint64_t slotMask = table_.size() - 1;
    const unsigned slotShift = static_cast<unsigned>(std::popcount(numberMask_));
    // One pass: the first word of a hash waits in the table; the second
    // brings it out, and every later one comes out on its own.
    for (std::size_t k = 0; k < count; ++k) {
        const std::uint64_t word = words[k];
        const std::uint64_t hash = word & ~numberMask_;
        // The bits just above the number are spread evenly: they pick the slot.
        std::uint64_t i = (hash >> slotShift) & slotMask;
        while (table_[i] != kEmpty && (table_[i] & ~numberMask_) != hash) i = (i + 1) & slotMask;
        std::uint64_t& slot = table_[i];
        if (slot == kEmpty) {
            slot = word;
            continue;
        }
        if ((slot & kTaken) == 0) {
            repeated_.push_back(slot);
            slot |= kTaken;
        }
        repeated_.push_back(word);
    }
}

}  // namespace ardvel
