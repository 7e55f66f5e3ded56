#pragma once

// Eight bytes of text in one word: loading them, and changing their ASCII
// letters or other bytes all at once. For the hashing of duplicate keys.

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace ardvel::words {

constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;

/// The ASCII letters a..z of eight bytes upper-cased, every other byte kept:
/// what Locale::ToUpper does to the ASCII characters of a text.
inline std::uint64_t UpperAscii(std::uint64_t word) noexcept
{
    const std::uint64_t low = word & ~kHighBits;              // no carry can cross a byte
    const std::uint64_t fromA = low + 0x1F1F1F1F1F1F1F1FULL;  // high bit: >= 'a'
    const std::uint64_t pastZ = low + 0x0505050505050505ULL;  // high bit: > 'z'
    const std::uint64_t lower = fromA & ~pastZ & ~word & kHighBits;
    return word ^ (lower >> 2);
}

template <typename T>
inline std::uint64_t Load(const unsigned char* s) noexcept
{
    T value;
    std::memcpy(&value, s, sizeof value);
    return value;
}

/// Bytes i .. n-1 of the `n` at `s` (1 to 8 of them) as one word, the
/// first in the lowest byte, the rest zero. Whole loads only: a copy of so
/// few bytes would cost more than the hashing.
inline std::uint64_t LoadTail(const unsigned char* s, std::size_t i, std::size_t n) noexcept
{
    const std::size_t r = n - i;
    if (n >= 8) return Load<std::uint64_t>(s + n - 8) >> (8 * (8 - r));
    const unsigned char* t = s + i;
    if (r >= 4) return Load<std::uint32_t>(t) | (Load<std::uint32_t>(t + r - 4) << (8 * (r - 4)));
    if (r >= 2) return Load<std::uint16_t>(t) | (Load<std::uint16_t>(t + r - 2) << (8 * (r - 2)));
    return t[0];
}

/// The bytes of `word` beyond ASCII made zero.
inline std::uint64_t AsciiOnly(std::uint64_t word) noexcept
{
    return word & ~(((word & kHighBits) >> 7) * 0xFF);
}

}  // namespace ardvel::words
