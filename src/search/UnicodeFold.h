#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace ardvel {

/// How the search compares characters: after canonical composition (NFC),
/// so that a name is found however its bytes were composed, and after case
/// folding, each character to the lower case of its upper case by the
/// Unicode library's one-to-one mappings ("ǅ", "Ǆ" and "ǆ" are one letter,
/// "ẞ" and "ß" too, the dotless i folds with "I"). One character stays one
/// character: "ß" does not become "ss", so a "?" of a mask still covers it.
/// With `IgnoreAccents` the marks of decomposed characters are dropped too
/// ("Été" reads "ete", "Dvořák" "dvorak"; "ø" and "ß" have no marks and stay).
///
/// Bytes that are not UTF-8 are kept as they are, each one a character.
struct FoldOptions {
    bool IgnoreAccents = false;
};

/// True when every byte of `text` is ASCII: such a text folds to its lower
/// case, byte by byte.
bool IsAsciiText(std::string_view text) noexcept;

/// Writes the folded form of `text` to `out`, replacing what it held. Uses a
/// buffer of this thread that is made once, so folding names one after
/// another allocates nothing once `out` is large enough.
void FoldText(std::string_view text, std::string& out, FoldOptions options = {});
std::string FoldText(std::string_view text, FoldOptions options = {});

/// Byte length of the character as the user sees it (an extended grapheme
/// cluster: a base letter with its combining marks, a Hangul syllable of
/// jamo, an emoji sequence) that starts at byte `pos` of `text`. A byte that
/// is not UTF-8 is a character of its own.
std::size_t ClusterLengthAt(std::string_view text, std::size_t pos) noexcept;

/// The bytes beyond ASCII whose characters can change what an ASCII text
/// finds in a name once folded: characters that fold to or with ASCII (the
/// dotless i, the long s, the Kelvin sign, and with IgnoreAccents every
/// accented Latin letter), and the marks that compose with an ASCII letter
/// before them. A name without them holds an ASCII text after folding
/// exactly where its ASCII letters hold it, in either case.
class FoldSpecials {
public:
    /// The table for the options, worked out once.
    static const FoldSpecials& For(FoldOptions options);

    /// Whether the character whose UTF-8 form starts with `lead`, `second`
    /// might be such a character (only `lead` for a single byte).
    bool Might(unsigned char lead, unsigned char second) const noexcept
    {
        return (seconds_[lead] >> (second & 63)) & 1;
    }
    bool MightLead(unsigned char lead) const noexcept { return seconds_[lead] != 0; }

    /// Whether `text` holds such a character.
    bool In(std::string_view text) const noexcept;

    /// The distinct lead bytes, in increasing order.
    const std::string& Leads() const noexcept { return leads_; }

private:
    explicit FoldSpecials(FoldOptions options);
    /// Per lead byte, bit k for the second byte 0x80 + k; all bits for a
    /// lead byte whose character is special whatever follows.
    std::array<std::uint64_t, 256> seconds_{};
    std::string leads_;
};

}  // namespace ardvel
