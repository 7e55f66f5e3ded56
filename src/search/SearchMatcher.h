#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Locale.h"
#include "search/Mask.h"
#include "search/NameMask.h"
#include "search/SearchCriteria.h"
#include "search/TextFinder.h"
#include "search/TodayClock.h"
#include "store/CatalogTree.h"

namespace ardvel {

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
        return nameTest_ == NameTest::Text && name_.CanMarkNames() ? &name_ : nullptr;
    }
    /// How a NameMatchCache can work out the name test a block of records at
    /// a time: the packed name text, or the mask (with its literal run when
    /// MarkNames can look for it). Null members both: it cannot.
    NameSweep PackedNames() const noexcept
    {
        // A suffix is tested fastest on each name on its own, without a
        // sweep for its literal run first.
        if (nameTest_ == NameTest::Mask)
            return {maskRun_.CanMarkNames() && mask_->Compiled().SuffixCount() == 0 ? &maskRun_ : nullptr, &*mask_};
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
    TextFinder maskRun_;         ///< the mask's literal run
    bool maskRunFirst_ = false;  ///< looked for before a name is matched
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
