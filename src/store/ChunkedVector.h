#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace ardvel {

/// A vector of trivially copyable records kept in fixed blocks: growing it
/// never moves or copies what is there, so peak memory stays at what is
/// held, and indices stay valid.
template <typename T, unsigned BlockBits = 12>
class ChunkedVector {
public:
    static constexpr std::size_t kBlockSize = std::size_t{1} << BlockBits;

    std::size_t size() const noexcept { return size_; }
    bool empty() const noexcept { return size_ == 0; }

    void push_back(const T& value)
    {
        if ((size_ & (kBlockSize - 1)) == 0 && (size_ >> BlockBits) == blocks_.size())
            blocks_.push_back(std::make_unique_for_overwrite<T[]>(kBlockSize));
        blocks_[size_ >> BlockBits][size_ & (kBlockSize - 1)] = value;
        ++size_;
    }

    T& operator[](std::size_t i) noexcept { return blocks_[i >> BlockBits][i & (kBlockSize - 1)]; }
    const T& operator[](std::size_t i) const noexcept { return blocks_[i >> BlockBits][i & (kBlockSize - 1)]; }

    /// The block holding record `i` and how many records follow it there;
    /// lets hot loops walk a range without an index split per record.
    const T* BlockAt(std::size_t i, std::size_t& available) const noexcept
    {
        available = kBlockSize - (i & (kBlockSize - 1));
        return &blocks_[i >> BlockBits][i & (kBlockSize - 1)];
    }

private:
    std::vector<std::unique_ptr<T[]>> blocks_;
    std::size_t size_ = 0;
};

}  // namespace ardvel
