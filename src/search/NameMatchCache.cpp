#include "search/NameMatchCache.h"

#include <algorithm>
#include <bit>

namespace ardvel {

static_assert(NameMatchCache::kBlockSize % 64 == 0);
static_assert(NameMatchCache::kBlockSize <= TextFinder::kMaxMarkedNames);

void NameMatchCache::Reset(const VolumeStore* store) noexcept
{
    StopAhead();
    store_ = store;
    std::fill(done_.begin(), done_.end(), 0);
}

void NameMatchCache::MakeRoom(std::size_t block)
{
    if (block < done_.size()) return;
    // Room for every block of the store as it is now: allocated once per
    // search unless the store grows meanwhile.
    const std::size_t blocks = std::max(block + 1, (store_->Files.size() + kBlockSize - 1) / kBlockSize);
    done_.resize(blocks, 0);
    bits_.resize(blocks * kWordsPerBlock);
}

void NameMatchCache::Mark(const NameSweep& sweep, const TDetails* records, std::size_t size, std::uint64_t* words,
                          std::string& scratch)
{
    std::fill(words, words + kWordsPerBlock, 0);
    if (sweep.Text != nullptr) {
        sweep.Text->MarkNames(*store_, records, size, words, scratch);
    } else {
        for (std::size_t w = 0; w * 64 < size; ++w)
            words[w] = size - w * 64 >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << (size - w * 64)) - 1;
    }
    if (sweep.Mask == nullptr) return;
    for (std::size_t w = 0; w * 64 < size; ++w) {
        for (std::uint64_t bits = words[w]; bits != 0; bits &= bits - 1) {
            const auto bit = static_cast<std::size_t>(std::countr_zero(bits));
            if (!sweep.Mask->Accepts(store_->Name(records[w * 64 + bit]), scratch))
                words[w] &= ~(std::uint64_t{1} << bit);
        }
    }
}

void NameMatchCache::MarkBlock(const NameSweep& sweep, std::size_t block, std::string& scratch)
{
    std::size_t available;
    const TDetails* records = store_->Files.BlockAt(block * kBlockSize, available);
    const std::size_t size = std::min(available, store_->Files.size() - block * kBlockSize);
    Mark(sweep, records, size, bits_.data() + block * kWordsPerBlock, scratch);
    done_[block] = static_cast<std::uint32_t>(size);
}

void NameMatchCache::SweepAhead(const NameSweep& sweep, std::size_t first)
{
    if (ahead_.joinable() || store_ == nullptr) return;
    const std::size_t blocks = (store_->Files.size() + kBlockSize - 1) / kBlockSize;
    // The block asked for now is the walk's own: it would only wait for it.
    const std::size_t from = first / kBlockSize + 1;
    if (from >= blocks || blocks - from < kAheadMinBlocks) return;
    MakeRoom(blocks - 1);
    states_.reset(new (std::nothrow) std::atomic<std::uint8_t>[blocks - from]);
    if (!states_) return;
    for (std::size_t block = from; block < blocks; ++block) {
        const std::size_t size = std::min(kBlockSize, store_->Files.size() - block * kBlockSize);
        states_[block - from].store(done_[block] >= size ? kDone : kFree, std::memory_order_relaxed);
    }
    aheadFrom_ = from;
    aheadEnd_ = blocks;
    walkBlock_.Block.store(from, std::memory_order_relaxed);
    stopAhead_.store(false, std::memory_order_relaxed);
    try {
        ahead_ = std::thread([this, sweep] { RunAhead(sweep); });
    } catch (const std::system_error&) {
        // No thread to be had: Get works every block out itself.
    }
}

bool NameMatchCache::TakeAndMark(const NameSweep& sweep, std::size_t block, std::string& scratch)
{
    std::atomic<std::uint8_t>& state = states_[block - aheadFrom_];
    std::uint8_t expected = kFree;
    if (state.load(std::memory_order_relaxed) != kFree ||
        !state.compare_exchange_strong(expected, kTaken, std::memory_order_acquire))
        return false;
    try {
        MarkBlock(sweep, block, scratch);
    } catch (...) {
        state.store(kFree, std::memory_order_release);  // for the other thread to try
        throw;
    }
    state.store(kDone, std::memory_order_release);
    return true;
}

void NameMatchCache::RunAhead(NameSweep sweep) noexcept
{
    try {
        for (std::size_t block = aheadFrom_; block < aheadEnd_; ++block) {
            AwaitWalk(block);
            if (stopAhead_.load(std::memory_order_relaxed)) break;
            TakeAndMark(sweep, block, aheadScratch_);
        }
    } catch (...) {
        // Out of memory for a name's folding: the walk's thread does the rest.
    }
}

void NameMatchCache::AwaitWalk(std::size_t block) noexcept
{
    if (block <= walkBlock_.Block.load(std::memory_order_acquire) + kMaxLead) return;
    // Asleep until the walk has come half the lead nearer, so that one
    // wake-up is worth several blocks.
    const std::size_t wakeAt = block - kMaxLead / 2;
    while (!stopAhead_.load(std::memory_order_seq_cst)) {
        const std::uint32_t bell = walkBlock_.Bell.load(std::memory_order_seq_cst);
        walkBlock_.WakeAt.store(wakeAt, std::memory_order_seq_cst);
        // Read after WakeAt is set: either the walk sees WakeAt and rings,
        // or this thread sees the walk's block here.
        if (walkBlock_.Block.load(std::memory_order_seq_cst) >= wakeAt || stopAhead_.load(std::memory_order_seq_cst))
            break;
        walkBlock_.Bell.wait(bell, std::memory_order_seq_cst);
    }
    walkBlock_.WakeAt.store(kNoWake, std::memory_order_relaxed);
}

void NameMatchCache::WalkReached(std::size_t block) noexcept
{
    if (walkBlock_.Block.load(std::memory_order_relaxed) == block) return;
    walkBlock_.Block.store(block, std::memory_order_seq_cst);
    if (block >= walkBlock_.WakeAt.load(std::memory_order_seq_cst)) {
        walkBlock_.WakeAt.store(kNoWake, std::memory_order_relaxed);
        walkBlock_.Bell.fetch_add(1, std::memory_order_seq_cst);
        walkBlock_.Bell.notify_one();
    }
}

void NameMatchCache::StopAhead() noexcept
{
    if (!ahead_.joinable()) return;
    stopAhead_.store(true, std::memory_order_seq_cst);
    walkBlock_.Bell.fetch_add(1, std::memory_order_seq_cst);
    walkBlock_.Bell.notify_one();
    ahead_.join();
}

void NameMatchCache::AwaitBlock(const NameSweep& sweep, std::size_t block)
{
    WalkReached(block);
    if (BlockDone(block) || TakeAndMark(sweep, block, scratch_)) return;
    // The other thread works on it: a block or two take it a few
    // microseconds, which this thread spends on a later block rather than
    // waiting.
    std::size_t later = block + 1;
    while (!BlockDone(block)) {
        while (later < aheadEnd_ && later <= block + kMaxLead && !TakeAndMark(sweep, later, scratch_)) ++later;
        // Given back when the other thread ran out of memory.
        if (!BlockDone(block) && !TakeAndMark(sweep, block, scratch_)) std::this_thread::yield();
    }
}

void NameMatchCache::Get(const NameSweep& sweep, std::size_t first, std::size_t count,
                         SearchMatcher::MatchBits& matches)
{
    const std::size_t block = first / kBlockSize;
    const std::size_t offset = first % kBlockSize;
    if (ahead_.joinable() && block >= aheadFrom_ && block < aheadEnd_) {
        AwaitBlock(sweep, block);
        // The texts of these rows are asked for now, together, rather than
        // one after another as they are read.
        PrefetchMatches(block, offset, count);
    } else {
        if (block >= done_.size()) StopAhead();  // the store grew: the room moves
        MakeRoom(block);
        if (done_[block] < offset + count) {
            MarkBlock(sweep, block, scratch_);
            PrefetchMatches(block, 0, kBlockSize);
        }
    }
    const std::uint64_t* words = bits_.data() + block * kWordsPerBlock;

    // Bits offset .. offset+count-1 of the block, moved down to bit 0.
    matches.fill(0);
    const std::size_t shift = offset % 64;
    const std::size_t from = offset / 64;
    const std::size_t last = (offset + count - 1) / 64;  // the last word that holds a wanted bit
    for (std::size_t w = 0; w * 64 < count; ++w) {
        std::uint64_t word = words[from + w] >> shift;
        if (shift != 0 && from + w + 1 <= last) word |= words[from + w + 1] << (64 - shift);
        matches[w] = word;
    }
    const std::size_t tail = count % 64;
    if (tail != 0) matches[(count - 1) / 64] &= (std::uint64_t{1} << tail) - 1;
}

void NameMatchCache::PrefetchMatches(std::size_t block, std::size_t from, std::size_t count) noexcept
{
    // The rows of the matches are made soon: ask for their texts now.
    std::size_t available;
    const TDetails* records = store_->Files.BlockAt(block * kBlockSize, available);
    const std::uint64_t* words = bits_.data() + block * kWordsPerBlock;
    const std::size_t end = std::min(from + count, kBlockSize);
    for (std::size_t w = from / 64; w * 64 < end; ++w) {
        for (std::uint64_t bits = words[w]; bits != 0; bits &= bits - 1) {
            const std::size_t i = w * 64 + static_cast<std::size_t>(std::countr_zero(bits));
            if (i < from || i >= end) continue;
            const TDetails& file = records[i];
            __builtin_prefetch(store_->Name(file).data());
            if (store_->HasMedia(file)) __builtin_prefetch(&store_->Media[file.Media]);
        }
    }
}

}  // namespace ardvel
