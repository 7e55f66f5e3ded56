#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

namespace ardvel {

/// A vector of trivially copyable records kept in fixed blocks: growing it
/// never copies what the full blocks hold, so peak memory stays near what is
/// held, and indices stay valid.
///
/// The first block starts at `kFirstCapacity` records and doubles up to the
/// block size, moving as it grows: a catalog of thousands of small volumes
/// pays for the records it has, not for a block each. References into the
/// first block are therefore good only until the next push_back; what is
/// kept across one holds an index.
template <typename T, unsigned BlockBits = 12, unsigned FirstBits = 2>
class ChunkedVector {
    static_assert(FirstBits <= BlockBits);

public:
    static constexpr std::size_t kBlockSize = std::size_t{1} << BlockBits;
    static constexpr std::size_t kFirstCapacity = std::size_t{1} << FirstBits;

    std::size_t size() const noexcept { return size_; }
    bool empty() const noexcept { return size_ == 0; }

    void push_back(const T& value)
    {
        // `value` may be one of ours, which growing the first block moves.
        const T copy = value;
        if (size_ == capacity_) Grow();
        blocks_[size_ >> BlockBits][size_ & (kBlockSize - 1)] = copy;
        ++size_;
    }

    T& operator[](std::size_t i) noexcept { return blocks_[i >> BlockBits][i & (kBlockSize - 1)]; }
    const T& operator[](std::size_t i) const noexcept { return blocks_[i >> BlockBits][i & (kBlockSize - 1)]; }

    /// The block holding record `i` and how many records follow it there;
    /// lets hot loops walk a range without an index split per record. A
    /// first block still growing holds fewer than `available` records: the
    /// callers stop at size() anyway.
    const T* BlockAt(std::size_t i, std::size_t& available) const noexcept
    {
        available = kBlockSize - (i & (kBlockSize - 1));
        return &blocks_[i >> BlockBits][i & (kBlockSize - 1)];
    }

    /// Bytes of the record blocks (not of the block table).
    std::size_t CapacityBytes() const noexcept { return capacity_ * sizeof(T); }

private:
    void Grow()
    {
        if (capacity_ >= kBlockSize) {
            blocks_.push_back(std::make_unique_for_overwrite<T[]>(kBlockSize));
            capacity_ += kBlockSize;
            return;
        }
        const std::size_t grown = capacity_ == 0 ? kFirstCapacity : capacity_ * 2;
        auto first = std::make_unique_for_overwrite<T[]>(grown);
        if (blocks_.empty()) {
            blocks_.push_back(std::move(first));
        } else {
            std::copy_n(blocks_[0].get(), size_, first.get());
            blocks_[0] = std::move(first);
        }
        capacity_ = grown;
    }

    std::vector<std::unique_ptr<T[]>> blocks_;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};

}  // namespace ardvel
