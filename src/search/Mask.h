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

/// One token of a compiled mask. Every token covers one character as the
/// user sees it (see ClusterLengthAt): a base letter with its combining
/// marks, or a single byte that does not start UTF-8.
struct MaskToken {
    bool Skip = false;  ///< one or more "*" stood before it
    MaskTokenKind Kind = MaskTokenKind::Literal;
    std::uint16_t Length = 0;  ///< Literal: its byte length
    char Bytes[4] = {};        ///< Literal of up to 4 bytes
    std::uint32_t Set = 0;     ///< CharSet: index into TMask::Sets(); a longer Literal: its offset in the literal pool
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
/// in a set (by its first code point), any other character covers itself.
/// Letter case counts only outside a-z/A-Z: the search folds both the mask
/// and the names first (FoldText). The whole name must be covered.
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
            // The character before the suffix must end where it starts: an
            // ASCII one does.
            if (suffixLength_ != 0 && name.size() >= 9 &&
                static_cast<unsigned char>(name[name.size() - suffixLength_ - 1]) < 0x80) {
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
    /// For a mask of "*" and single ASCII characters only, answered from the
    /// name's last bytes: how many characters follow the "*"; else 0.
    std::size_t SuffixCount() const noexcept { return shape_ == Shape::Suffix ? tokens_.size() - 1 : 0; }
    /// Whether names are tested by the general matcher alone (no shape with
    /// a quicker test).
    bool IsGeneral() const noexcept { return shape_ == Shape::General; }
    /// The compiled form, for inspection.
    std::span<const MaskToken> Tokens() const noexcept { return tokens_; }
    std::span<const MaskSet> Sets() const noexcept { return sets_; }

    /// Whether `token` covers the character of `name` at byte `pos` (always a
    /// character boundary); `length` receives how many bytes it covers.
    bool Covers(const MaskToken& token, std::string_view name, std::size_t pos, std::size_t& length) const noexcept;
    /// For a mask of single-character tokens then "*" ("[a-c]*", "ab?*"),
    /// true when the name's first bytes decide it: they and the byte after
    /// them are printable ASCII, so each is a character of its own and the
    /// "*" takes the rest whatever it is. `accepted` then receives the
    /// answer. False for other masks and names: ask Accepts.
    bool PrefixDecides(std::string_view name, bool& accepted) const noexcept;
    /// The bytes of a Literal token.
    std::string_view LiteralBytes(const MaskToken& token) const noexcept
    {
        return token.Length <= sizeof(token.Bytes) ? std::string_view(token.Bytes, token.Length)
                                                   : std::string_view(literals_).substr(token.Set, token.Length);
    }

private:
    enum class Shape : std::uint8_t {
        General,
        AcceptAll,  ///< "*": every name
        Suffix,     ///< "*" then single-byte ASCII tokens only: a test of the name's end
        Prefix,     ///< single-character tokens then "*": mostly a test of the name's start
    };

    /// Picks a shape that needs no general matching, when there is one.
    void ChooseShape();
    /// Prefix masks of up to this many characters.
    static constexpr std::size_t kMaxPrefixTokens = 16;
    bool IsPrefixShape() const noexcept;
    bool AcceptsAnyShape(std::string_view name) const noexcept;
    bool AcceptsSuffix(std::string_view name) const noexcept;
    /// Whether the tokens before the final "*" cover the ASCII bytes at the
    /// start of `name`, one each.
    bool AcceptsPrefix(std::string_view name) const noexcept;

    std::string text_;
    std::vector<MaskToken> tokens_;
    std::vector<MaskSet> sets_;
    std::string literals_;  ///< the bytes of Literal tokens longer than 4 bytes
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
