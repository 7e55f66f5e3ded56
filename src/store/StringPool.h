#pragma once

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

namespace ardvel {

/// Where a text lives in a StringPool: chunk number in the high 16 bits of
/// `Ref`, offset in the low 16, and its length in bytes.
struct StringRef {
    std::uint32_t Ref = 0;
    std::uint32_t Length = 0;
};

/// Append-only store of the names and media texts of one volume. Texts sit
/// in chunks that never move, so a record needs 8 bytes to find its name, no
/// text is a heap block of its own, and a text's view stays good while the
/// pool lives. The first chunk is small and each next one twice the last, up
/// to 64 KiB: a volume of a few files holds a few hundred bytes, not a full
/// chunk. A text longer than a quarter of the full size gets a chunk of its
/// exact size.
class StringPool {
public:
    static constexpr std::size_t kChunkSize = 1u << 16;
    static constexpr std::size_t kFirstChunkSize = 256;

    StringPool() = default;
    StringPool(const StringPool&) = delete;
    StringPool& operator=(const StringPool&) = delete;
    StringPool(StringPool&&) noexcept = default;
    StringPool& operator=(StringPool&&) noexcept = default;

    StringRef Add(std::string_view text)
    {
        if (text.empty()) return {};
        if (text.size() > free_) {
            if (text.size() > kChunkSize / 4) return AddOversize(text);
            NewChunk(text.size());
        }
        Chunk& chunk = chunks_[current_];
        const std::size_t used = chunk.Size - free_;
        std::memcpy(chunk.Bytes.get() + used, text.data(), text.size());
        free_ -= text.size();
        return {(current_ << 16) | static_cast<std::uint32_t>(used), static_cast<std::uint32_t>(text.size())};
    }

    std::string_view Get(StringRef ref) const noexcept
    {
        if (ref.Length == 0) return {};
        return {chunks_[ref.Ref >> 16].Bytes.get() + (ref.Ref & 0xFFFF), ref.Length};
    }

    /// Bytes of all chunks.
    std::size_t CapacityBytes() const noexcept
    {
        std::size_t total = 0;
        for (const Chunk& c : chunks_) total += c.Size;
        return total;
    }

private:
    struct Chunk {
        std::unique_ptr<char[]> Bytes;
        std::uint32_t Size = 0;
    };

    void NewChunk(std::size_t atLeast)
    {
        const std::size_t size = std::min(kChunkSize, std::max({nextSize_, std::bit_ceil(atLeast), kFirstChunkSize}));
        chunks_.push_back({std::make_unique_for_overwrite<char[]>(size), static_cast<std::uint32_t>(size)});
        current_ = static_cast<std::uint32_t>(chunks_.size() - 1);
        free_ = size;
        nextSize_ = std::min(kChunkSize, size * 2);
    }

    StringRef AddOversize(std::string_view text)
    {
        auto bytes = std::make_unique_for_overwrite<char[]>(text.size());
        std::memcpy(bytes.get(), text.data(), text.size());
        chunks_.push_back({std::move(bytes), static_cast<std::uint32_t>(text.size())});
        // The current chunk, if any, stays current.
        const auto index = static_cast<std::uint32_t>(chunks_.size() - 1);
        return {index << 16, static_cast<std::uint32_t>(text.size())};
    }

    std::vector<Chunk> chunks_;
    std::size_t free_ = 0;  ///< bytes left at the end of the current chunk
    std::size_t nextSize_ = kFirstChunkSize;
    std::uint32_t current_ = 0;
};

}  // namespace ardvel
