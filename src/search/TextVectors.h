#pragma once

// The vector compares behind the text search, one table of functions per
// instruction set (plain C++, SSE2, AVX2, AVX-512). Everything that needs a
// processor feature lives behind this table; the callers stay plain C++.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace ardvel {

/// Upper-casing of the ASCII letters, a byte at a time.
inline constexpr std::array<unsigned char, 256> kAsciiUpper = [] {
    std::array<unsigned char, 256> table{};
    for (int c = 0; c < 256; ++c) table[c] = static_cast<unsigned char>((c >= 'a' && c <= 'z') ? c - 32 : c);
    return table;
}();

/// An ASCII part to look for, laid out for the compares: for a byte b of a
/// text, (b | bit) == wanted holds exactly when b is the character in either
/// letter case. Each value is repeated over a whole vector.
struct PartPattern {
    static constexpr int kMaxLeads = 6;
    /// SpecialLeads when there are more lead bytes than that (accents
    /// ignored): every byte beyond ASCII is taken for one. The sweeps then
    /// send every name with such a byte to the slow test, which is exact.
    static constexpr int kAnyHigh = kMaxLeads + 1;
    struct alignas(32) Splat : std::array<unsigned char, 32> {};

    std::size_t Size = 0;  ///< characters (= bytes) of the part
    Splat FirstBit{}, FirstWanted{}, LastBit{}, LastWanted{};
    /// The lead bytes of the characters beyond ASCII that fold to or with
    /// ASCII (FoldSpecials), when there are at most kMaxLeads of them (six
    /// when accents count); else SpecialLeads is kAnyHigh (-1: not set up).
    std::array<Splat, kMaxLeads> SpecialLead{};
    int SpecialLeads = -1;
    /// The same lead bytes as two tables of sixteen bytes, each twice, for
    /// looking bytes up by their high and low four bits: byte b is a lead
    /// byte when LeadHigh[b >> 4] & LeadLow[b & 15] is not zero.
    Splat LeadHigh{}, LeadLow{};
    /// The whole part as one block, for parts of at most sixteen characters.
    bool InBlock = false;
    alignas(16) std::array<unsigned char, 16> PartBits{};
    alignas(16) std::array<unsigned char, 16> PartWanted{};
};

/// Where a sweep found something in 64 (or fewer) bytes from `At` on: bit p
/// of `Places` for a place At+p where the part's first and last characters
/// fit (or, in the widest sweep, the whole part), of `Leads` for the lead
/// byte of a special character.
struct PlaceBlock {
    std::uint64_t Places;
    std::uint64_t Leads;
    std::size_t At;
};

/// The answer of the quick test of a short text.
enum class ShortFind : std::uint8_t { Found, Missing, Slow };

/// Collects PlaceBlocks of the region `s`, `size` bytes, from `at` on, at
/// most `capacity` of them, and moves `at` past the bytes looked at.
using CollectFn = std::size_t (*)(const PartPattern& part, const unsigned char* s, std::size_t size, std::size_t& at,
                                  PlaceBlock* out, std::size_t capacity);

struct TextVectorTable {
    const char* Name;
    /// Whether `upper` (upper-cased ASCII, not empty) occurs in `text` with
    /// the text's ASCII letters upper-cased; bytes beyond ASCII never match.
    bool (*FindAsciiFolded)(std::string_view text, std::string_view upper) noexcept;
    /// The position of the first byte from `from` on with its high bit set,
    /// or `size`.
    std::size_t (*NextHighByte)(const unsigned char* s, std::size_t from, std::size_t size) noexcept;
    /// A text of 8 to 32 bytes: found, missing, or Slow when it holds a
    /// character that might fold to or with ASCII. Null: no quick test.
    ShortFind (*FindInShort)(const PartPattern& part, std::string_view upper, std::string_view text) noexcept;
    /// Whether the part lies whole at p of the `size` bytes at `s`.
    bool (*WholeAt)(const PartPattern& part, std::string_view upper, const unsigned char* s, std::size_t size,
                    std::size_t p) noexcept;
    /// A sweep a vector at a time for regions of at least Size - 1 + 16
    /// bytes: every place where the first and last characters fit and every
    /// lead byte of a special character, up to the region's end less
    /// Size - 1 bytes (where `at` ends). Null: none.
    CollectFn CollectShort;
    /// The sweep of long regions, 64 bytes at a time while the part still
    /// fits; ends early, `at` short of the end, when `capacity` blocks are
    /// full. Null: none.
    CollectFn CollectLong;
};

/// The widest table the processor allows within the limit of
/// LimitTextVectors.
const TextVectorTable& TextVectors() noexcept;

/// Text searches use vector compares up to `bits` wide (512, 256 or 128),
/// as far as the processor has them; 0 turns the search of many names in
/// one sweep off, leaving the test of one name after another. For tests,
/// to reach every way; not while a search runs on another thread.
void LimitTextVectors(int bits) noexcept;
/// The limit set by LimitTextVectors (512 at first).
int TextVectorLimit() noexcept;

}  // namespace ardvel
