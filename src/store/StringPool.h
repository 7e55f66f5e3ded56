#pragma once

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
/// in 64 KiB chunks that never move, so a record needs 8 bytes to find its
/// name and no text is a heap block of its own; a text longer than a chunk
/// gets a chunk of its exact size.
class StringPool {
public:
    static constexpr std::size_t kChunkSize = 1u << 16;

    StringPool() = default;
    StringPool(const StringPool&) = delete;
    StringPool& operator=(const StringPool&) = delete;
    StringPool(StringPool&&) noexcept = default;
    StringPool& operator=(StringPool&&) noexcept = default;

    StringRef Add(std::string_view text)
    {
        if (text.empty()) return {};
        if (text.size() > kChunkSize - used_ || chunks_.empty()) {
            if (text.size() > kChunkSize / 4) return AddOversize(text);
            chunks_.push_back(std::make_unique_for_overwrite<char[]>(kChunkSize));
            used_ = 0;
            current_ = static_cast<std::uint32_t>(chunks_.size() - 1);
        }
        char* dest = chunks_[current_].get() + used_;
        std::memcpy(dest, text.data(), text.size());
        StringRef ref{(current_ << 16) | static_cast<std::uint32_t>(used_), static_cast<std::uint32_t>(text.size())};
        used_ += text.size();
        return ref;
    }

    std::string_view Get(StringRef ref) const noexcept
    {
        if (ref.Length == 0) return {};
        return {chunks_[ref.Ref >> 16].get() + (ref.Ref & 0xFFFF), ref.Length};
    }

private:
    StringRef AddOversize(std::string_view text)
    {
        auto chunk = std::make_unique_for_overwrite<char[]>(text.size());
        std::memcpy(chunk.get(), text.data(), text.size());
        chunks_.push_back(std::move(chunk));
        const auto index = static_cast<std::uint32_t>(chunks_.size() - 1);
        // The current chunk stays current; if there is none, force a new
        // one at the next Add.
        if (chunks_.size() == 1) used_ = kChunkSize;
        return {index << 16, static_cast<std::uint32_t>(text.size())};
    }

    std::vector<std::unique_ptr<char[]>> chunks_;
    std::size_t used_ = kChunkSize;
    std::uint32_t current_ = 0;
};

}  // namespace ardvel
