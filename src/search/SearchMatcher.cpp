#include "search/SearchMatcher.h"

#include <bit>
#include <cmath>

namespace ardvel {

SearchMatcher::SearchMatcher(const SearchCriteria& criteria, const Locale& locale)
    : criteria_(criteria), locale_(&locale)
{
    const FoldOptions fold{criteria_.IgnoreAccents};
    SetName(criteria_.NameText, fold);
    artist_ = TextFinder(criteria_.ArtistPart, locale, fold);
    title_ = TextFinder(criteria_.TitlePart, locale, fold);
}

void SearchMatcher::SetName(const std::string& text, FoldOptions fold)
{
    if (criteria_.UseMask) {
        NameMask mask(text, fold);  // throws before anything changes
        nameTest_ = mask.AcceptsAll() ? NameTest::Everything : NameTest::Mask;
        maskRun_ = TextFinder(mask.LiteralRun(), *locale_, fold);
        maskRunFirst_ = !maskRun_.Empty() && mask.Compiled().IsGeneral();
        mask_.emplace(std::move(mask));
    } else {
        name_ = TextFinder(text, *locale_, fold);
        nameTest_ = NameTest::Text;
    }
}

void SearchMatcher::Update(const SearchCriteria& criteria)
{
    SearchCriteria next = criteria;
    next.UseMask = criteria_.UseMask;
    const FoldOptions fold{next.IgnoreAccents};
    const bool refold = next.IgnoreAccents != criteria_.IgnoreAccents;
    if (refold || next.NameText != criteria_.NameText) SetName(next.NameText, fold);
    if (refold || next.ArtistPart != criteria_.ArtistPart) artist_ = TextFinder(next.ArtistPart, *locale_, fold);
    if (refold || next.TitlePart != criteria_.TitlePart) title_ = TextFinder(next.TitlePart, *locale_, fold);
    criteria_ = std::move(next);
}

bool SearchMatcher::NameMatches(std::string_view name) const
{
    switch (nameTest_) {
        case NameTest::Everything:
            return true;
        case NameTest::Mask:
            // Most names (folders' among them, which no sweep sees) lack the
            // run the mask asks for: looking for it is quicker than matching.
            if (maskRunFirst_ && !maskRun_.FoundIn(name, scratch_)) return false;
            return mask_->Accepts(name, scratch_);
        case NameTest::Text:
            break;
    }
    return name_.FoundIn(name, scratch_);
}

bool SearchMatcher::MediaMatches(std::string_view artist, std::string_view title) const
{
    // A file without tags has its name (without extension) as artist and no
    // title: both parts are then looked for in the artist text.
    const std::string_view titleText = title.empty() ? artist : title;
    if (!artist_.Empty() && !artist_.FoundIn(artist, scratch_)) return false;
    if (!title_.Empty() && !title_.FoundIn(titleText, scratch_)) return false;
    return true;
}

bool SearchMatcher::DateMatches(TDateTime date, TDateTime today) const
{
    switch (criteria_.DateMode) {
        case SearchDateMode::InLastMonths:
            return std::trunc(std::fabs(today - date) / 30.4375) <= static_cast<double>(criteria_.MonthCount);
        case SearchDateMode::InLastDays:
            return std::trunc(std::fabs(today - date)) <= static_cast<double>(criteria_.DayCount);
        case SearchDateMode::InRange:
            return criteria_.RangeStart <= date && date <= criteria_.RangeEnd;
    }
    return true;  // no date mode chosen: no test
}

bool SearchMatcher::OtherTestsMatch(const VolumeStore& store, const TDetails& file, TDateTime today) const
{
    if (criteria_.MediaOn && store.HasMedia(file) && !MediaMatches(store.Artist(file), store.Title(file))) return false;
    if (criteria_.DateOn && !DateMatches(file.Date, today)) return false;
    if (criteria_.SizeOn) {
        switch (criteria_.SizeBound) {
            case SearchSizeBound::AtLeast:
                return file.SizeKB >= criteria_.SizeLimitKB;
            case SearchSizeBound::AtMost:
                return file.SizeKB <= criteria_.SizeLimitKB;
        }
    }
    return true;
}

bool SearchMatcher::FileMatches(const VolumeStore& store, const TDetails& file, TDateTime today) const
{
    return NameMatches(store.Name(file)) && OtherTestsMatch(store, file, today);
}

void SearchMatcher::MatchTexts(const VolumeStore& store, const TDetails* files, std::size_t count,
                               MatchBits& matches) const
{
    // Texts that MarkNames can sweep in the name pool never come here: the
    // walk takes their match bits from its per-volume cache.
    const auto set = [&matches](std::size_t i) { matches[i >> 6] |= std::uint64_t{1} << (i & 63); };
    for (std::size_t i = 0; i < count; ++i)
        if (name_.FoundIn(store.Name(files[i]), scratch_)) set(i);
}

void SearchMatcher::MatchFiles(const VolumeStore& store, const TDetails* files, std::size_t count, TodayClock& clock,
                               MatchBits& matches) const
{
    matches.fill(0);
    const auto set = [&matches](std::size_t i) { matches[i >> 6] |= std::uint64_t{1} << (i & 63); };
    switch (nameTest_) {
        case NameTest::Everything:
            for (std::size_t w = 0; w * 64 < count; ++w)
                matches[w] = count - w * 64 >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << (count - w * 64)) - 1;
            break;
        case NameTest::Mask:
            for (std::size_t i = 0; i < count; ++i)
                if (mask_->Accepts(store.Name(files[i]), scratch_)) set(i);
            break;
        case NameTest::Text:
            MatchTexts(store, files, count, matches);
            break;
    }
    MatchOtherTests(store, files, count, clock, matches);
}

void SearchMatcher::MatchOtherTests(const VolumeStore& store, const TDetails* files, std::size_t count,
                                    TodayClock& clock, MatchBits& matches) const
{
    if (!criteria_.MediaOn && !criteria_.DateOn && !criteria_.SizeOn) return;
    const bool needsToday = NeedsToday();
    for (std::size_t w = 0; w * 64 < count; ++w) {
        for (std::uint64_t bits = matches[w]; bits != 0; bits &= bits - 1) {
            const std::size_t i = w * 64 + static_cast<std::size_t>(std::countr_zero(bits));
            if (!OtherTestsMatch(store, files[i], needsToday ? clock.Today() : TDateTime{0}))
                matches[w] &= ~(std::uint64_t{1} << (i & 63));
        }
    }
}

bool SearchMatcher::FolderMatches(TDateTime date, std::string_view name, TDateTime today) const
{
    if (!NameMatches(name)) return false;
    if (criteria_.DateOn && !DateMatches(date, today)) return false;
    return !criteria_.SizeOn;  // with the size test on, no folder is a match
}

bool NameMatches(std::string_view name, const SearchCriteria& criteria, const Locale& locale)
{
    return SearchMatcher(criteria, locale).NameMatches(name);
}

bool FileMatches(const VolumeStore& store, const TDetails& file, const SearchCriteria& criteria, const Locale& locale,
                 TDateTime today)
{
    return SearchMatcher(criteria, locale).FileMatches(store, file, today);
}

bool FolderMatches(TDateTime date, std::string_view name, const SearchCriteria& criteria, const Locale& locale,
                   TDateTime today)
{
    return SearchMatcher(criteria, locale).FolderMatches(date, name, today);
}

}  // namespace ardvel
