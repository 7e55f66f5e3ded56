#pragma once

#include <cstddef>
#include <cstdint>

namespace ardvel {

/// A buffer of many words, asked of the system in whole huge pages where it
/// offers them: filling hundreds of megabytes then takes a few hundred page
/// faults instead of tens of thousands. Its contents start undefined.
class LargeBuffer {
public:
    LargeBuffer() = default;
    /// Throws std::bad_alloc when the memory cannot be had.
    explicit LargeBuffer(std::size_t words);
    ~LargeBuffer();
    LargeBuffer(LargeBuffer&& other) noexcept;
    LargeBuffer& operator=(LargeBuffer&& other) noexcept;
    LargeBuffer(const LargeBuffer&) = delete;
    LargeBuffer& operator=(const LargeBuffer&) = delete;

    std::uint64_t* data() noexcept { return words_; }
    std::size_t size() const noexcept { return size_; }

private:
    std::uint64_t* words_ = nullptr;
    std::size_t size_ = 0;
    std::size_t bytes_ = 0;  ///< mapped, a whole number of huge pages
};

}  // namespace ardvel
