#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Locale.h"
#include "search/Mask.h"
#include "search/NameMask.h"
#include "search/UnicodeFold.h"
#include "store/CatalogTree.h"
#include "store/DateTime.h"

namespace ardvel {

/// Which radio button of the date test is set.
enum class SearchDateMode : int {
    InLastMonths = 0,
    InLastDays = 1,
    InRange = 2,
};

/// The item index of the "at least" / "at most" list. Any other value (no
/// item selected) puts no bound on files and writes no size line in reports.
enum class SearchSizeBound : int {
    AtLeast = 0,
    AtMost = 1,
};

/// The spin edit of the size test keeps its value within these bounds.
inline constexpr std::int32_t kSizeEditMinimum = 0;
inline constexpr std::int32_t kSizeEditMaximum = 5250000;

/// What the search panel asks for. All tests that are switched on must hold.
struct SearchCriteria {
    std::string NameText;  ///< the mask, or the text to look for in names
    bool UseMask = false;  ///< set by PrepareNameText when a search starts
    /// Letters with and without accents are the same to the name and media
    /// tests (FoldOptions::IgnoreAccents).
    bool IgnoreAccents = false;

    bool MediaOn = false;
    std::string ArtistPart;  ///< empty: any artist
    std::string TitlePart;   ///< empty: any title

    bool DateOn = false;
    SearchDateMode DateMode = SearchDateMode::InRange;
    std::int32_t MonthCount = 0;
    std::int32_t DayCount = 0;
    TDateTime RangeStart = 0;
    TDateTime RangeEnd = 0;

    bool SizeOn = false;
    SearchSizeBound SizeBound = SearchSizeBound::AtLeast;
    std::int32_t SizeLimitKB = 0;
};

/// Run when a search starts: an empty name text becomes "*", and UseMask is
/// set exactly when the text holds a "*" or a "?".
void PrepareNameText(SearchCriteria& criteria);

/// True when `part` occurs in `text` once both are folded (FoldText: in
/// composed form, each character to one case, so accented and Cyrillic
/// letters fold too). False when either is empty.
bool TextContains(std::string_view text, std::string_view part, const Locale& locale);

/// Text searches use vector compares up to `bits` wide (512, 256 or 128),
/// as far as the processor has them; 0 turns the search of many names in
/// one sweep off, leaving the test of one name after another. For tests,
/// to reach every way; not while a search runs on another thread.
void LimitTextVectors(int bits) noexcept;

/// Today at local midnight, read again for every test but cheaply: the date
/// is worked out anew only once the clock has passed the next midnight.
class TodayClock {
public:
    TDateTime Today();

private:
    std::time_t validFrom_ = 1;
    std::time_t validUntil_ = 0;
    TDateTime today_ = 0;
};

/// A piece of text to look for, folded once.
class TextFinder {
public:
    TextFinder() = default;
    TextFinder(std::string_view part, const Locale& locale, FoldOptions options = {});

    /// TextContains(text, part), with the finder's fold options. `scratch`
    /// holds the folded text of a name that is not plain ASCII; passing the
    /// same string each time keeps the search free of allocations.
    bool FoundIn(std::string_view text, std::string& scratch) const;
    bool Empty() const noexcept { return upper_.empty(); }

    /// Whether FindInPacked can be used: an ASCII part, on a machine with
    /// the vector compares it needs, and few lead bytes of characters that
    /// fold to or with ASCII (FoldSpecials).
    bool CanFindInPacked() const noexcept;
    /// Many texts at once. `region` holds them in order, text k at
    /// `starts[k]` with `lengths[k]` bytes, with possibly other bytes
    /// between them. Writes the numbers k of the texts for which FoundIn
    /// holds to `found`, in increasing order, and returns how many there
    /// are. At most SearchMatcher::kMaxBatch texts.
    std::size_t FindInPacked(std::string_view region, const std::uint32_t* starts, const std::uint32_t* lengths,
                             std::size_t count, std::uint16_t* found, std::string& scratch) const;
    /// The names of the records `files[0 .. count)` of `store` at once: sets
    /// bit i of `bits` (bit i % 64 of word i / 64) for each record whose name
    /// FoundIn holds, and leaves the other bits as they are. Names that the
    /// pool holds one after another in one chunk, as it does for files added
    /// one by one, are searched in one sweep; the records may come in any
    /// order. Only when CanFindInPacked; `count` at most kMaxMarkedNames.
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
    enum class Quick : std::uint8_t { Found, Missing, Slow };
    Quick FindInShort(std::string_view text) const noexcept;
    /// Calls place(p, lead) for every place p of `size` bytes at `s` where
    /// the part's first and last characters fit (lead false; a long region
    /// may hand on only the places where more of the part fits) or a lead
    /// byte of a character that might fold to or with ASCII sits (lead
    /// true), in increasing order.
    template <typename Place>
    void Sweep(const unsigned char* s, std::size_t size, Place&& place) const;
    /// The same, for regions of a few hundred bytes.
    template <typename Place>
    void SweepShort(const unsigned char* s, std::size_t size, Place&& place) const;
    /// Whether the character at `s` (`left` bytes to the end of its text)
    /// might fold with the ASCII one before it, as a mark composing with
    /// it: a whole match of an ASCII part ending there is then no sure one.
    bool MightChangeLast(const unsigned char* s, std::size_t left) const noexcept
    {
        return left != 0 && s[0] >= 0x80 && specials_->Might(s[0], left > 1 ? s[1] : 0);
    }
    /// Whether the (ASCII) part lies whole at p of the `size` bytes at `s`.
    bool WholeAt(const unsigned char* s, std::size_t size, std::size_t p) const noexcept;

    std::string folded_;  ///< the part folded
    std::string upper_;   ///< when ASCII: the part folded, its letters upper-cased
    bool asciiOnly_ = true;
    FoldOptions options_;
    const FoldSpecials* specials_ = nullptr;
    /// Sixteen copies of a byte each, for comparing with blocks of a name:
    /// the part's first and last characters (the case bit to set, the byte
    /// wanted), then the lead bytes of the special characters when there are
    /// at most kMaxLeads of them (six when accents count).
    static constexpr int kNoBits = 0, kFirstCaseBit = 1, kFirstWanted = 2, kLastCaseBit = 3, kLastWanted = 4,
                         kFirstSpecial = 5, kMaxLeads = 6;
    struct alignas(32) Splat : std::array<unsigned char, 32> {};
    std::array<Splat, kFirstSpecial + kMaxLeads> splats_{};
    int leadCount_ = -1;  ///< -1: too many lead bytes to compare with
    /// An ASCII part of at most 16 characters as one block: the case bit to
    /// set and the byte wanted for each character, so that a place is checked
    /// whole by one compare.
    bool partInBlock_ = false;
    alignas(16) std::array<unsigned char, 16> partCaseBits_{};
    alignas(16) std::array<unsigned char, 16> partWanted_{};
};

/// What a NameMatchCache marks: the names that hold the text of `Text`, or,
/// with a `Mask`, the names it accepts. A mask's names are looked for by
/// its literal run (`Text`, when it has one) first, so that the mask is
/// tested only on the few names that hold it.
struct NameSweep {
    const TextFinder* Text = nullptr;
    const NameMask* Mask = nullptr;
};

/// The criteria ready to test many names: the mask compiled once, the texts
/// folded once. Not for use by two threads at once.
class SearchMatcher {
public:
    /// Throws EMaskException when UseMask is set and NameText is no valid mask.
    SearchMatcher(const SearchCriteria& criteria, const Locale& locale);

    const SearchCriteria& Criteria() const noexcept { return criteria_; }

    /// Takes new criteria, keeping UseMask. The mask is compiled again only
    /// when the name text or IgnoreAccents changed; when it is invalid,
    /// EMaskException is thrown and the matcher stays as it was.
    void Update(const SearchCriteria& criteria);

    /// True when the date test compares with today, which the caller must
    /// then pass as `today` (local midnight) to each test.
    bool NeedsToday() const noexcept
    {
        return criteria_.DateOn &&
               (criteria_.DateMode == SearchDateMode::InLastMonths || criteria_.DateMode == SearchDateMode::InLastDays);
    }

    bool NameMatches(std::string_view name) const;
    bool FileMatches(const VolumeStore& store, const TDetails& file, TDateTime today) const;
    bool FolderMatches(TDateTime date, std::string_view name, TDateTime today) const;

    /// At most this many records are tested by one MatchFiles call.
    static constexpr std::size_t kMaxBatch = 256;
    using MatchBits = std::array<std::uint64_t, kMaxBatch / 64>;

    /// Tests `count` (at most kMaxBatch) consecutive records from `files`:
    /// bit i of `matches` is set when record i matches. Today is read from
    /// `clock` at each date test.
    void MatchFiles(const VolumeStore& store, const TDetails* files, std::size_t count, TodayClock& clock,
                    MatchBits& matches) const;

    /// The finder of the name text when the name test is a text that
    /// TextFinder::MarkNames can look for, else null.
    const TextFinder* PackedNameText() const noexcept
    {
        return nameTest_ == NameTest::Text && name_.CanFindInPacked() ? &name_ : nullptr;
    }
    /// How a NameMatchCache can work out the name test a block of records at
    /// a time: the packed name text, or the mask (with its literal run when
    /// MarkNames can look for it). Null members both: it cannot.
    NameSweep PackedNames() const noexcept
    {
        // A suffix is tested fastest on each name on its own.
        if (nameTest_ == NameTest::Mask && mask_->Compiled().SuffixCount() == 0)
            return {maskRun_.CanFindInPacked() ? &maskRun_ : nullptr, &*mask_};
        if (nameTest_ == NameTest::Mask) return {};
        return {PackedNameText(), nullptr};
    }
    /// Whether a media, date or size test is on.
    bool OtherTestsOn() const noexcept { return criteria_.MediaOn || criteria_.DateOn || criteria_.SizeOn; }
    /// The second half of MatchFiles: clears the bits of `matches` whose
    /// records fail the media, date or size test.
    void MatchOtherTests(const VolumeStore& store, const TDetails* files, std::size_t count, TodayClock& clock,
                         MatchBits& matches) const;

private:
    void SetName(const std::string& text, FoldOptions fold);
    bool MediaMatches(std::string_view artist, std::string_view title) const;
    bool OtherTestsMatch(const VolumeStore& store, const TDetails& file, TDateTime today) const;
    void MatchTexts(const VolumeStore& store, const TDetails* files, std::size_t count, MatchBits& matches) const;
    bool DateMatches(TDateTime date, TDateTime today) const;

    enum class NameTest : std::uint8_t { Everything, Mask, Text };

    SearchCriteria criteria_;
    const Locale* locale_;
    NameTest nameTest_ = NameTest::Text;
    std::optional<NameMask> mask_;
    TextFinder maskRun_;  ///< the mask's literal run
    TextFinder name_, artist_, title_;
    mutable std::string scratch_;
};

/// One-off tests, compiling the criteria for each call. `today` is the local
/// date at midnight. They throw EMaskException for an invalid mask, before
/// any other test.
bool NameMatches(std::string_view name, const SearchCriteria& criteria, const Locale& locale);
bool FileMatches(const VolumeStore& store, const TDetails& file, const SearchCriteria& criteria, const Locale& locale,
                 TDateTime today);
bool FolderMatches(TDateTime date, std::string_view name, const SearchCriteria& criteria, const Locale& locale,
                   TDateTime today);

}  // namespace ardvel
