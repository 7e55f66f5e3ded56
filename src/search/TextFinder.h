#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/Locale.h"
#include "search/TextVectors.h"
#include "store/CatalogTree.h"

namespace ardvel {

/// True when `part` occurs in `text` once both are upper-cased, each
/// character on its own by the locale (so accented and Cyrillic letters fold
/// too). False when either is empty.
bool TextContains(std::string_view text, std::string_view part, const Locale& locale);

/// A piece of text to look for, upper-cased once.
class TextFinder {
public:
    TextFinder() = default;
    TextFinder(std::string_view part, const Locale& locale);

    /// TextContains(text, part). `scratch` holds the upper-cased text of a
    /// name that is not plain ASCII; passing the same string each time keeps
    /// the search free of allocations.
    bool FoundIn(std::string_view text, std::string& scratch) const;
    bool Empty() const noexcept { return upper_.empty(); }

    /// Whether MarkNames can be used: an ASCII part, on a machine with the
    /// vector compares it needs.
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
        Beyond,   ///< characters beyond ASCII, none that could upper-case to ASCII
        Special,  ///< maybe a character that upper-cases to ASCII
    };
    TextKind Classify(std::string_view text) const noexcept;
    void SetUpPattern(const Locale& locale);
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
    /// byte of a character that might upper-case to ASCII sits (lead true),
    /// in increasing order.
    template <typename Place>
    void Sweep(const unsigned char* s, std::size_t size, Place&& place) const;
    /// The same, a vector at a time, for regions of a few hundred bytes.
    template <typename Place>
    void SweepShort(const unsigned char* s, std::size_t size, Place&& place) const;
    bool IsSpecialLead(unsigned char c) const noexcept { return specialLeads_[c]; }

    std::string upper_;
    bool asciiOnly_ = true;
    const Locale* locale_ = nullptr;
    /// When the part is ASCII: the first bytes of the UTF-8 forms of the
    /// characters beyond ASCII that upper-case to ASCII.
    std::array<bool, 256> specialLeads_{};
    PartPattern pattern_;
};

}  // namespace ardvel
