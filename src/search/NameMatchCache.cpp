#include "search/NameMatchCache.h"

#include <algorithm>
#include <bit>

namespace ardvel {

static_assert(NameMatchCache::kBlockSize % 64 == 0);
static_assert(NameMatchCache::kBlockSize <= TextFinder::kMaxMarkedNames);

void NameMatchCache::Reset(const VolumeStore* store) noexcept
{
    store_ = store;
    std::fill(done_.begin(), done_.end(), 0);
}

void NameMatchCache::Mark(const NameSweep& sweep, const TDetails* records, std::size_t size, std::uint64_t* words)
{
    std::fill(words, words + kWordsPerBlock, 0);
    if (sweep.Text != nullptr) {
        sweep.Text->MarkNames(*store_, records, size, words, scratch_);
    } else {
        for (std::size_t w = 0; w * 64 < size; ++w)
            words[w] = size - w * 64 >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << (size - w * 64)) - 1;
    }
    if (sweep.Mask == nullptr) return;
    for (std::size_t w = 0; w * 64 < size; ++w) {
        for (std::uint64_t bits = words[w]; bits != 0; bits &= bits - 1) {
            const auto bit = static_cast<std::size_t>(std::countr_zero(bits));
            if (!sweep.Mask->Accepts(store_->Name(records[w * 64 + bit]), scratch_))
                words[w] &= ~(std::uint64_t{1} << bit);
        }
    }
}

void NameMatchCache::Get(const NameSweep& sweep, std::size_t first, std::size_t count,
                         SearchMatcher::MatchBits& matches)
{
    const std::size_t block = first / kBlockSize;
    const std::size_t offset = first % kBlockSize;
    if (block >= done_.size()) {
        // Room for every block of the store as it is now: allocated once
        // per search unless the store grows meanwhile.
        const std::size_t blocks = std::max(block + 1, (store_->Files.size() + kBlockSize - 1) / kBlockSize);
        done_.resize(blocks, 0);
        bits_.resize(blocks * kWordsPerBlock);
    }
    std::uint64_t* words = bits_.data() + block * kWordsPerBlock;
    if (done_[block] < offset + count) {
        std::size_t available;
        const TDetails* records = store_->Files.BlockAt(block * kBlockSize, available);
        const std::size_t size = std::min(available, store_->Files.size() - block * kBlockSize);
        Mark(sweep, records, size, words);
        done_[block] = static_cast<std::uint32_t>(size);
        // The rows of the matches are made soon: ask for their texts now.
        for (std::size_t w = 0; w < kWordsPerBlock; ++w) {
            for (std::uint64_t bits = words[w]; bits != 0; bits &= bits - 1) {
                const TDetails& file = records[w * 64 + static_cast<std::size_t>(std::countr_zero(bits))];
                __builtin_prefetch(store_->Name(file).data());
                if (store_->HasMedia(file)) __builtin_prefetch(&store_->Media[file.Media]);
            }
        }
    }

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

}  // namespace ardvel
