#pragma once

#include <string>
#include <string_view>

#include "search/Mask.h"
#include "search/UnicodeFold.h"

namespace ardvel {

/// A mask as the search applies it: compiled from the folded mask text and
/// tested on folded names (see FoldText), so that neither the composition
/// of a name's bytes nor letter case matters.
class NameMask {
public:
    /// Throws EMaskException, naming `mask` as written, when it is no valid mask.
    NameMask(std::string_view mask, FoldOptions options);

    /// Whether the mask covers the whole of `name` once folded. `scratch`
    /// holds the folded name when the name is not ASCII; passing the same
    /// string each time keeps the test free of allocations.
    bool Accepts(std::string_view name, std::string& scratch) const
    {
        // Folding leaves a name's last ASCII characters as they are, and the
        // one before them keeps ending where they start: a suffix is
        // answered from them.
        const std::size_t suffix = folded_.SuffixCount();
        if (suffix != 0 && name.size() > suffix) {
            unsigned char high = 0;
            for (std::size_t i = name.size() - suffix - 1; i < name.size(); ++i)
                high |= static_cast<unsigned char>(name[i]);
            if (high < 0x80) return folded_.Accepts(name);
        }
        // Folding leaves a start of printable ASCII followed by ASCII as it
        // is (but for letter case, which the mask ignores there).
        if (bool accepted; folded_.PrefixDecides(name, accepted)) return accepted;
        return AcceptsFolded(name, scratch);
    }

    /// Whether every name matches ("*").
    bool AcceptsAll() const noexcept
    {
        const auto tokens = folded_.Tokens();
        return tokens.size() == 1 && tokens[0].Skip;
    }

    /// The longest run of ASCII characters that the mask asks for one after
    /// another, folded: every name it accepts holds the run once folded, so
    /// a search may look for the run first. Empty when there is none.
    const std::string& LiteralRun() const noexcept { return run_; }

    const TMask& Compiled() const noexcept { return folded_; }

private:
    bool AcceptsFolded(std::string_view name, std::string& scratch) const;

    TMask folded_;
    FoldOptions options_;
    const FoldSpecials* specials_;
    /// Only ASCII characters in literals and sets: on a name without
    /// specials, folding changes nothing such a mask could see.
    bool asciiOnly_ = true;
    std::string run_;
};

}  // namespace ardvel
