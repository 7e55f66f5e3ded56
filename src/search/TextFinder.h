#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/Locale.h"
#include "search/TextVectors.h"
#include "search/UnicodeFold.h"
#include "store/CatalogTree.h"

namespace ardvel {

/// True when `part` occurs in `text` once both are folded (FoldText: in
/// composed form, each character to one case, so accented and Cyrillic
/// letters fold too). False when either is empty.
bool TextContains(std::string_view text, std::string_view part, const Locale& locale);

/// A piece of text to look for, folded once.
class TextFinder {
public:
    TextFinder() = default;
    TextFinder(std::string_view part, const Locale& locale, FoldOptions options = {});

    /// TextContains(text, part), with the finder's fold options. `scratch`
    /// holds the folded text of a name that is not plain ASCII; passing the
    /// same string each time keeps the search free of allocations.
    bool FoundIn(std::string_view text, std::string& scratch) const;
    bool Empty() const noexcept { return folded_.empty(); }

    /// Whether MarkNames can be used: an ASCII part, on a machine with the
    /// vector compares it needs, and few lead bytes of characters that fold
    /// to or with ASCII.
    bool CanMarkNames() const noexcept;
    /// The names of the records `files[0 .. count)` of `store` at once: sets
    /// bit i of `bits` (bit i % 64 of word i / 64) for each record whose name
    /// FoundIn holds, and leaves the other bits as they are. Names that the
    /// pool holds one after another in one chunk, as it does for files added
    /// one by one, are searched in one sweep; the records may come in any
    /// order. Only when CanMarkNames; `count` at most kMaxMarkedNames.
    static constexpr std::size_t kMaxMarkedNames = 1024;
    void MarkNames(const VolumeStore& store, const TDetails* files, std::size_t count, std::uint64_t* bits,
                   std::string& scratch) const;

private:
    enum class TextKind : std::uint8_t {
        Ascii,    ///< ASCII only
        Beyond,   ///< characters beyond ASCII, none that could fold to or with ASCII
        Special,  ///< maybe a character that folds to or with ASCII (FoldSpecials)
    };
    TextKind Classify(std::string_view text) const noexcept;
    void SetUpPattern();
    /// Records from `files[0]` on whose names lie one after another in one
    /// chunk of the pool; `ends[k]` receives where name k ends, counted from
    /// the first name's start. Returns how many (at least one).
    static std::size_t NameRun(const TDetails* files, std::size_t count, std::uint32_t* ends) noexcept;
    /// MarkNames for one run of `n` names starting at record `first`.
    void MarkRun(const VolumeStore& store, const TDetails* run, std::size_t n, const std::uint32_t* ends,
                 std::size_t first, std::uint64_t* bits, std::string& scratch) const;
    /// Calls place(p, lead) for every place p of `size` bytes at `s` where
    /// the part's first and last characters fit (lead false; a long region
    /// may hand on only the places where more of the part fits) or a lead
    /// byte of a character that might fold to or with ASCII sits (lead true),
    /// in increasing order.
    template <typename Place>
    void Sweep(const unsigned char* s, std::size_t size, Place&& place) const;
    /// The same, a vector at a time, for regions of a few hundred bytes.
    template <typename Place>
    void SweepShort(const unsigned char* s, std::size_t size, Place&& place) const;
    bool IsSpecialLead(unsigned char c) const noexcept { return specials_->MightLead(c); }
    /// Whether the character at `s` (`left` bytes to the end of its text)
    /// might fold with the ASCII one before it, as a mark composing with
    /// it: a whole match of an ASCII part ending there is then no sure one.
    bool MightChangeLast(const unsigned char* s, std::size_t left) const noexcept
    {
        return left != 0 && s[0] >= 0x80 && specials_->Might(s[0], left > 1 ? s[1] : 0);
    }

    std::string folded_;  ///< the part folded
    std::string upper_;   ///< when ASCII: the part folded, its letters upper-cased
    bool asciiOnly_ = true;
    FoldOptions options_;
    const FoldSpecials* specials_ = &FoldSpecials::For({});
    PartPattern pattern_;
};

}  // namespace ardvel
