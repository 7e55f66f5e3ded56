#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "store/CatalogError.h"

namespace ardvel {

/// A mask text that cannot be compiled. The message is
/// "'MASK' is an invalid mask at (N)", N being the 1-based byte position in
/// the mask text where the compiler stopped.
class EMaskException : public CatalogError {
public:
    EMaskException(std::string mask, int position);
    const std::string& Mask() const noexcept { return mask_; }
    int Position() const noexcept { return position_; }

private:
    std::string mask_;
    int position_;
};

/// At most this many tokens of a mask may follow a "*" group.
inline constexpr int kMaxSkippingTokens = 30;

enum class MaskTokenKind : std::uint8_t {
    Literal,    ///< one character: ASCII letters stored upper-cased, others as written
    AnyChar,    ///< "?": any one character
    CharSet,    ///< "[...]": one character in (or, negated, not in) the set
    EndOfName,  ///< closes every mask: covers the end of the name only
};

/// One token of a compiled mask. A character is a well-formed UTF-8
/// sequence, or a single byte that does not start one.
struct MaskToken {
    bool Skip = false;  ///< one or more "*" stood before it
    MaskTokenKind Kind = MaskTokenKind::Literal;
    std::uint8_t Length = 0;  ///< Literal: its bytes in Bytes
    char Bytes[4] = {};       ///< Literal
    std::uint32_t Set = 0;    ///< CharSet: index into TMask::Sets()
};

/// The members of a "[...]" token. Characters are ranked by their key: the
/// code point of a UTF-8 character, or kRawByteKey plus the byte for a byte
/// that is not UTF-8 (such bytes rank after every character).
struct MaskSet {
    static constexpr char32_t kRawByteKey = 0x110000;
    bool Negated = false;
    std::uint64_t Ascii[2] = {0, 0};                    ///< keys below 0x80, upper-cased
    std::vector<std::pair<char32_t, char32_t>> Ranges;  ///< keys from 0x80 on, both ends included

    bool Contains(char32_t key) const noexcept;
};

/// A compiled file-name mask: "*" passes over any number of characters, "?"
/// covers one, "[abc]", "[a-c]" and "[!a-c]" cover one character in or not
/// in a set, any other character covers itself. Letter case counts only
/// outside a-z/A-Z. The whole name must be covered.
class TMask {
public:
    /// Throws EMaskException when `mask` is no valid mask.
    explicit TMask(std::string_view mask);

    /// True when the whole name matches. Runs in time proportional to the
    /// name's length times the mask's at worst, and allocates nothing.
    bool Accepts(std::string_view name) const noexcept
    {
        if (shape_ == Shape::AcceptAll) return true;
        if constexpr (std::endian::native == std::endian::little) {
            if (suffixLength_ != 0 && name.size() >= 8) {
                // "*" and up to eight ASCII characters: one compare of the
                // name's last bytes, letters with their case bit cleared.
                std::uint64_t last;
                std::memcpy(&last, name.data() + name.size() - 8, 8);
                last >>= 8 * (8 - suffixLength_);
                return (last & suffixFold_) == suffixValue_;
            }
        }
        return AcceptsAnyShape(name);
    }

    const std::string& Text() const noexcept { return text_; }
    /// The compiled form, for inspection.
    std::span<const MaskToken> Tokens() const noexcept { return tokens_; }
    std::span<const MaskSet> Sets() const noexcept { return sets_; }

    /// Whether `token` covers the character of `name` at byte `pos` (always a
    /// character boundary); `length` receives how many bytes it covers.
    bool Covers(const MaskToken& token, std::string_view name, std::size_t pos, std::size_t& length) const noexcept;

private:
    enum class Shape : std::uint8_t {
        General,
        AcceptAll,  ///< "*": every name
        Suffix,     ///< "*" then single-byte ASCII tokens only: a test of the name's end
    };

    /// Picks a shape that needs no general matching, when there is one.
    void ChooseShape();
    bool AcceptsAnyShape(std::string_view name) const noexcept;
    bool AcceptsSuffix(std::string_view name) const noexcept;

    std::string text_;
    std::vector<MaskToken> tokens_;
    std::vector<MaskSet> sets_;
    Shape shape_ = Shape::General;
    // A Suffix of one to eight literals, as the bytes of a little-endian
    // word: the upper-cased characters and the bits that must equal them.
    std::uint8_t suffixLength_ = 0;
    std::uint64_t suffixValue_ = 0;
    std::uint64_t suffixFold_ = 0;
};

/// Compiles `mask` and asks it about `name`: a one-off test.
bool MaskAccepts(std::string_view name, std::string_view mask);

/// Byte length of the character at `pos`: a UTF-8 sequence, or 1 for a byte
/// that does not start one.
std::size_t CharacterLengthAt(std::string_view text, std::size_t pos) noexcept;

}  // namespace ardvel
