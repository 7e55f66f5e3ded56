// Search criteria: text search, name test, media, date and size tests.
#include <gtest/gtest.h>

#include <random>

#include "search/SearchMatcher.h"
#include "support/SearchTreeFixture.h"

namespace ardvel {
namespace {

using test::At;
using test::DeDe;
using test::EnUs;
using test::OneFile;

TEST(SearchTextContains, FoldsEveryScript)
{
    const Locale& l = EnUs();
    EXPECT_TRUE(TextContains("MyDocuments", "doc", l));
    EXPECT_TRUE(TextContains("readme.DOC", "doc", l));
    EXPECT_FALSE(TextContains("readme.txt", "doc", l));
    // Cyrillic and accented letters fold both ways.
    EXPECT_TRUE(TextContains("\xD0\x96\xD0\xA3\xD0\xA0\xD0\x9D\xD0\x90\xD0\x9B", "\xD0\xB6\xD1\x83\xD1\x80",
                             l));  // ЖУРНАЛ / жур
    EXPECT_TRUE(TextContains("\xD0\xB6\xD1\x83\xD1\x80\xD0\xBD\xD0\xB0\xD0\xBB", "\xD0\x9D\xD0\x90\xD0\x9B",
                             l));                                     // журнал / НАЛ
    EXPECT_TRUE(TextContains("Caf\xC3\xA9 Noir", "CAF\xC3\x89", l));  // Café / CAFÉ
    EXPECT_TRUE(TextContains("\xC3\x84rger.txt", "\xC3\xA4rg", l));   // Ärger / ärg
    EXPECT_FALSE(TextContains("Cafe Noir", "caf\xC3\xA9", l));        // no accent folding
    // Same in another locale.
    EXPECT_TRUE(TextContains("\xC3\x84rger.txt", "\xC3\xA4RG", DeDe()));
}

TEST(SearchTextContains, NonAsciiLettersThatUpperCaseToAscii)
{
    // The dotless i upper-cases to I: a name holding it is no ASCII name,
    // yet it contains "FILE" once upper-cased.
    EXPECT_TRUE(TextContains("f\xC4\xB1le.txt", "FILE", EnUs()));
    EXPECT_TRUE(TextContains("FILE.txt", "f\xC4\xB1le", EnUs()));
    EXPECT_FALSE(TextContains("file.txt", "\xC3\xA9", EnUs()));
}

TEST(SearchTextContains, EmptyTextsAndStrayBytes)
{
    EXPECT_FALSE(TextContains("", "a", EnUs()));
    EXPECT_FALSE(TextContains("a", "", EnUs()));
    EXPECT_FALSE(TextContains("", "", EnUs()));
    // Bytes that are not UTF-8 stay as they are.
    EXPECT_TRUE(TextContains("caf\xE9", "CAF", EnUs()));
    EXPECT_TRUE(TextContains("caf\xE9", "F\xE9", EnUs()));
    EXPECT_FALSE(TextContains("caf\xE9", "F\xC3\xA9", EnUs()));
}

TEST(SearchTextContains, FinderGivesTheSameAnswersWithOneScratch)
{
    const TextFinder finder("\xD0\xB6\xD1\x83", EnUs());
    std::string scratch;
    EXPECT_TRUE(finder.FoundIn("\xD0\x96\xD0\xA3\xD0\xA0", scratch));
    EXPECT_FALSE(finder.FoundIn("abc", scratch));
    EXPECT_FALSE(finder.FoundIn("\xD0\x96", scratch));
    EXPECT_TRUE(finder.FoundIn("x\xD0\xB6\xD0\xA3", scratch));
}

TEST(SearchNameText, PrepareNameText)
{
    SearchCriteria c;
    PrepareNameText(c);
    EXPECT_EQ(c.NameText, "*");
    EXPECT_TRUE(c.UseMask);

    const std::pair<const char*, bool> cases[] = {{"doc", false},        {"[abc]", false}, {"a?c", true},
                                                  {"*.mp3;*.wav", true}, {"x*", true},     {" ", false}};
    for (const auto& [text, mask] : cases) {
        c.NameText = text;
        PrepareNameText(c);
        EXPECT_EQ(c.NameText, text);
        EXPECT_EQ(c.UseMask, mask) << text;
    }
}

TEST(SearchNameText, TextOrMask)
{
    SearchCriteria c;
    c.NameText = "doc";
    PrepareNameText(c);
    EXPECT_TRUE(NameMatches("MyDocuments", c, EnUs()));
    EXPECT_TRUE(NameMatches("readme.DOC", c, EnUs()));
    // "[abc]" is no mask: its five characters are looked for.
    c.NameText = "[abc]";
    PrepareNameText(c);
    EXPECT_TRUE(NameMatches("x[ABC]y", c, EnUs()));
    EXPECT_FALSE(NameMatches("a", c, EnUs()));
    // Leading blanks count.
    c.NameText = " doc";
    PrepareNameText(c);
    EXPECT_FALSE(NameMatches("mydoc.txt", c, EnUs()));
    EXPECT_TRUE(NameMatches("my doc.txt", c, EnUs()));
    // An empty name text matches everything once prepared.
    c.NameText.clear();
    PrepareNameText(c);
    EXPECT_TRUE(NameMatches("", c, EnUs()));
    EXPECT_TRUE(NameMatches("anything", c, EnUs()));
    // An invalid mask is raised by the test.
    c.NameText = "[]*";
    PrepareNameText(c);
    EXPECT_THROW(NameMatches("x", c, EnUs()), EMaskException);
}

TEST(SearchFileMatches, InvalidMaskBeforeAnyOtherTest)
{
    SearchCriteria c;
    c.NameText = "*[";
    PrepareNameText(c);
    c.SizeOn = true;
    c.SizeLimitKB = 1000;  // the size test would fail
    OneFile f("a.txt", 1);
    EXPECT_THROW(FileMatches(f.Store, f.Details, c, EnUs(), 0), EMaskException);
    EXPECT_THROW(FolderMatches(0, "a", c, EnUs(), 0), EMaskException);
}

TEST(SearchFileMatches, MediaOfTaggedFiles)
{
    OneFile tagged("yesterday.mp3", "The Beatles", " - Yesterday");
    SearchCriteria c;
    PrepareNameText(c);
    c.MediaOn = true;
    const auto matches = [&](const char* artist, const char* title) {
        c.ArtistPart = artist;
        c.TitlePart = title;
        return FileMatches(tagged.Store, tagged.Details, c, EnUs(), 0);
    };
    EXPECT_TRUE(matches("", ""));
    EXPECT_TRUE(matches("beat", ""));
    EXPECT_TRUE(matches("", "YESTER"));
    EXPECT_TRUE(matches("beatles", "yesterday"));
    EXPECT_FALSE(matches("stones", ""));
    EXPECT_FALSE(matches("", "beatles"));    // the title is looked for in the title
    EXPECT_FALSE(matches("yesterday", ""));  // and the artist in the artist
    EXPECT_TRUE(matches("", " - "));         // the title's " - " is part of it
}

TEST(SearchFileMatches, MediaOfUntaggedFiles)
{
    // No tags: the artist text is the name without extension, the title empty.
    OneFile untagged("Artist Name - Song.mp3", "Artist Name - Song", "");
    SearchCriteria c;
    PrepareNameText(c);
    c.MediaOn = true;
    c.TitlePart = "song";
    EXPECT_TRUE(FileMatches(untagged.Store, untagged.Details, c, EnUs(), 0));
    c.ArtistPart = "artist";
    EXPECT_TRUE(FileMatches(untagged.Store, untagged.Details, c, EnUs(), 0));
    c.TitlePart = "other";
    EXPECT_FALSE(FileMatches(untagged.Store, untagged.Details, c, EnUs(), 0));
    // A tagged file with an empty artist has nothing to find an artist in.
    OneFile noArtist("x.mp3", "", " - Title");
    c.ArtistPart = "a";
    c.TitlePart.clear();
    EXPECT_FALSE(FileMatches(noArtist.Store, noArtist.Details, c, EnUs(), 0));
}

TEST(SearchFileMatches, MediaTestPassesFilesWithoutMedia)
{
    OneFile plain("notes.txt");
    SearchCriteria c;
    PrepareNameText(c);
    c.MediaOn = true;
    c.ArtistPart = "zzz";
    c.TitlePart = "zzz";
    EXPECT_TRUE(FileMatches(plain.Store, plain.Details, c, EnUs(), 0));
    OneFile tagged("a.mp3", "Artist", " - Title");
    EXPECT_FALSE(FileMatches(tagged.Store, tagged.Details, c, EnUs(), 0));
    // Switched off, the parts are not looked at.
    c.MediaOn = false;
    EXPECT_TRUE(FileMatches(tagged.Store, tagged.Details, c, EnUs(), 0));
}

class SearchDateTest : public ::testing::Test {
protected:
    const TDateTime today = At(2024, 3, 15);

    bool FileOn(TDateTime date) const
    {
        OneFile f("a.txt", 1, date);
        return FileMatches(f.Store, f.Details, c, EnUs(), today);
    }
    bool FolderOn(TDateTime date) const { return FolderMatches(date, "folder", c, EnUs(), today); }

    SearchCriteria c = [] {
        SearchCriteria criteria;
        PrepareNameText(criteria);
        criteria.DateOn = true;
        return criteria;
    }();
};

TEST_F(SearchDateTest, InTheLastZeroDays)
{
    c.DateMode = SearchDateMode::InLastDays;
    c.DayCount = 0;
    EXPECT_TRUE(FileOn(At(2024, 3, 14, 0, 0, 2)));
    EXPECT_TRUE(FileOn(At(2024, 3, 15, 23, 59, 58)));
    EXPECT_TRUE(FileOn(today));
    EXPECT_FALSE(FileOn(At(2024, 3, 14)));
    EXPECT_FALSE(FileOn(At(2024, 3, 16)));
    // Folders are tested the same way.
    EXPECT_TRUE(FolderOn(At(2024, 3, 14, 0, 0, 2)));
    EXPECT_FALSE(FolderOn(At(2024, 3, 16)));
}

TEST_F(SearchDateTest, InTheLastDaysTakesTheFutureLikeThePast)
{
    c.DateMode = SearchDateMode::InLastDays;
    c.DayCount = 3;
    EXPECT_TRUE(FileOn(today - 3.99));
    EXPECT_FALSE(FileOn(today - 4));
    EXPECT_TRUE(FileOn(today + 3.99));
    EXPECT_FALSE(FileOn(today + 4));
    EXPECT_FALSE(FileOn(At(2030, 1, 1)));
}

TEST_F(SearchDateTest, InTheLastMonths)
{
    c.DateMode = SearchDateMode::InLastMonths;
    c.MonthCount = 1;
    // Less than 2 * 30.4375 = 60.875 days away.
    EXPECT_TRUE(FileOn(today - 60.874));
    EXPECT_FALSE(FileOn(today - 60.875));
    EXPECT_TRUE(FileOn(today + 60.874));
    EXPECT_FALSE(FileOn(today + 61));
    c.MonthCount = 0;
    EXPECT_TRUE(FileOn(today - 30.4));
    EXPECT_FALSE(FileOn(today - 30.4375));
}

TEST_F(SearchDateTest, NegativeCountsMatchNothing)
{
    c.DateMode = SearchDateMode::InLastDays;
    c.DayCount = -1;
    EXPECT_FALSE(FileOn(today));
    c.DateMode = SearchDateMode::InLastMonths;
    c.MonthCount = -1;
    EXPECT_FALSE(FileOn(today));
}

TEST_F(SearchDateTest, BetweenTwoInstantsBothIncluded)
{
    c.DateMode = SearchDateMode::InRange;
    // Both pickers on the same day, with the time of day they carry.
    c.RangeStart = At(2002, 7, 22, 20, 44, 56);
    c.RangeEnd = At(2002, 7, 22, 20, 44, 56);
    EXPECT_TRUE(FileOn(At(2002, 7, 22, 20, 44, 56)));
    EXPECT_FALSE(FileOn(At(2002, 7, 22, 20, 44, 54)));
    EXPECT_FALSE(FileOn(At(2002, 7, 22, 20, 44, 58)));
    EXPECT_FALSE(FileOn(At(2002, 7, 22)));
    // The first picker on an earlier day: the second day after its time of
    // day is outside.
    c.RangeStart = At(2002, 7, 12, 20, 44, 56);
    EXPECT_TRUE(FileOn(At(2002, 7, 12, 20, 44, 56)));
    EXPECT_FALSE(FileOn(At(2002, 7, 12, 20, 44, 54)));
    EXPECT_TRUE(FileOn(At(2002, 7, 22, 8, 0, 0)));
    EXPECT_FALSE(FileOn(At(2002, 7, 22, 21, 0, 0)));
    // An end before the start matches nothing.
    std::swap(c.RangeStart, c.RangeEnd);
    EXPECT_FALSE(FileOn(At(2002, 7, 15)));
}

TEST(SearchSizeTest, BoundsAreInclusiveAndFoldersNeverMatch)
{
    SearchCriteria c;
    PrepareNameText(c);
    c.SizeOn = true;
    const auto fileOf = [&](std::int32_t kb) {
        OneFile f("a.bin", kb);
        return FileMatches(f.Store, f.Details, c, EnUs(), 0);
    };
    c.SizeBound = SearchSizeBound::AtMost;
    c.SizeLimitKB = 0;
    EXPECT_TRUE(fileOf(0));
    EXPECT_FALSE(fileOf(1));
    c.SizeBound = SearchSizeBound::AtLeast;
    c.SizeLimitKB = 1;
    EXPECT_FALSE(fileOf(0));
    EXPECT_TRUE(fileOf(1));
    c.SizeLimitKB = 100;
    EXPECT_TRUE(fileOf(100));
    EXPECT_FALSE(fileOf(99));
    c.SizeBound = SearchSizeBound::AtMost;
    EXPECT_TRUE(fileOf(100));
    EXPECT_FALSE(fileOf(101));
    // With the size test on, no folder is a match, whatever its name and date.
    EXPECT_FALSE(FolderMatches(0, "anything", c, EnUs(), 0));
    c.SizeOn = false;
    EXPECT_TRUE(FolderMatches(0, "anything", c, EnUs(), 0));
}

TEST(SearchFolderMatches, NameAndDateButNoMedia)
{
    SearchCriteria c;
    c.NameText = "ock";
    PrepareNameText(c);
    c.MediaOn = true;
    c.ArtistPart = "zzz";
    EXPECT_TRUE(FolderMatches(At(2001, 1, 1), "Rock", c, EnUs(), 0));
    EXPECT_FALSE(FolderMatches(At(2001, 1, 1), "Pop", c, EnUs(), 0));
    c.DateOn = true;
    c.DateMode = SearchDateMode::InRange;
    c.RangeStart = At(2002, 1, 1);
    c.RangeEnd = At(2003, 1, 1);
    EXPECT_FALSE(FolderMatches(At(2001, 1, 1), "Rock", c, EnUs(), 0));
    EXPECT_TRUE(FolderMatches(At(2002, 6, 1), "Rock", c, EnUs(), 0));
}

TEST(SearchFolderMatches, MaskWithARunInsideIgnoresCaseAndComposition)
{
    // The mask's run "harbor 1" is looked for before the mask is matched.
    SearchCriteria c;
    c.NameText = "*harbor 1?*.mp3";
    PrepareNameText(c);
    SearchMatcher m(c, EnUs());
    EXPECT_TRUE(m.FolderMatches(0, "Old HARBOR 12 live.MP3", 0));
    EXPECT_TRUE(m.FolderMatches(0, "harbor 19.mp3", 0));
    EXPECT_FALSE(m.FolderMatches(0, "harbor 1.mp3", 0));  // the "?" needs a character
    EXPECT_FALSE(m.FolderMatches(0, "harbor 2x.mp3", 0));
    EXPECT_FALSE(m.FolderMatches(0, "harbor 12.mp4", 0));

    // The run "caf" before a letter beyond ASCII, in a decomposed name.
    c.NameText = "*[ae]?caf\xC3\xA9*";
    const SearchMatcher accented(c, EnUs());
    EXPECT_TRUE(accented.FolderMatches(0, "Le Cafe\xCC\x81 du port", 0));
    EXPECT_FALSE(accented.FolderMatches(0, "Le Cafe du port", 0));
}

TEST(SearchMatcherUpdate, NewNameTextKeepsUseMask)
{
    SearchCriteria c;
    c.NameText = "*.txt";
    PrepareNameText(c);
    SearchMatcher m(c, EnUs());
    EXPECT_TRUE(m.NameMatches("a.txt"));

    SearchCriteria next = c;
    next.NameText = "*.mp3";
    next.UseMask = false;  // fixed at the start of the search: ignored
    m.Update(next);
    EXPECT_TRUE(m.NameMatches("a.mp3"));
    EXPECT_FALSE(m.NameMatches("a.txt"));

    // An invalid mask leaves the matcher as it was.
    next.NameText = "[";
    EXPECT_THROW(m.Update(next), EMaskException);
    EXPECT_TRUE(m.NameMatches("a.mp3"));
    EXPECT_EQ(m.Criteria().NameText, "*.mp3");

    // Changed artist text applies at once.
    next.NameText = "*";
    next.MediaOn = true;
    next.ArtistPart = "abba";
    m.Update(next);
    OneFile f("x.mp3", "ABBA", "");
    OneFile g("y.mp3", "Queen", "");
    EXPECT_TRUE(m.FileMatches(f.Store, f.Details, 0));
    EXPECT_FALSE(m.FileMatches(g.Store, g.Details, 0));
}

TEST(SearchTodayClock, IsTodayAtLocalMidnight)
{
    TodayClock clock;
    for (int attempt = 0; attempt < 3; ++attempt) {
        const TDateTime before = TodayLocal();
        const TDateTime today = clock.Today();
        const TDateTime again = clock.Today();
        if (TodayLocal() != before) continue;  // midnight passed meanwhile
        EXPECT_EQ(today, before);
        EXPECT_EQ(again, before);
        return;
    }
}

}  // namespace
}  // namespace ardvel

namespace ardvel {
namespace {

/// TextContains the plain way: both upper-cased whole, then a search.
bool PlainContains(std::string_view text, std::string_view part)
{
    if (text.empty() || part.empty()) return false;
    return test::EnUs().ToUpper(text).find(test::EnUs().ToUpper(part)) != std::string::npos;
}

/// Random texts from pieces that hit every path: ASCII of any case, letters
/// beyond ASCII, the two that upper-case to ASCII (dotless i, long s), a
/// lead byte of another two-byte letter, stray bytes.
std::string RandomText(std::mt19937& random, std::size_t maxPieces)
{
    static const char* const kPieces[] = {"a",        "B",    "r",        "bor",      "HAR",      "x",
                                          " ",        ".",    "\xC3\xA9", "\xD0\x96", "\xC4\xB1", "\xC5\xBF",
                                          "\xC4\x8D", "\xE9", "ar",       "harbor",   "Ha",       "1"};
    std::string text;
    const std::size_t count = random() % (maxPieces + 1);
    for (std::size_t i = 0; i < count; ++i) text += kPieces[random() % std::size(kPieces)];
    return text;
}

TEST(SearchTextFinder, EveryPathAgreesWithThePlainWay)
{
    std::mt19937 random(7);
    const char* const parts[] = {"a", "ar", "harbor", "HAR", "bor", "i", "S", "fIle", "x.", "\xC3\xA9", "r\xD0\xB6"};
    std::string scratch;
    int found = 0;
    for (const char* part : parts) {
        const TextFinder finder(part, EnUs());
        for (int round = 0; round < 3000; ++round) {
            const std::string text = RandomText(random, 1 + round % 24);
            const bool expected = PlainContains(text, part);
            ASSERT_EQ(finder.FoundIn(text, scratch), expected) << "'" << text << "' / '" << part << "'";
            found += expected;
        }
    }
    EXPECT_GT(found, 1000);
}

}  // namespace
}  // namespace ardvel

namespace ardvel {
namespace {

TEST(SearchTextContains, ComposedOrDecomposedAndAccentsOnRequest)
{
    const Locale& l = EnUs();
    EXPECT_TRUE(TextContains("Re\xCC\x81sume\xCC\x81.pdf", "r\xC3\xA9sum\xC3\xA9", l));  // NFD / résumé
    EXPECT_TRUE(TextContains("r\xC3\xA9sum\xC3\xA9.pdf", "RE\xCC\x81SUME\xCC\x81", l));
    EXPECT_FALSE(TextContains("cafe\xCC\x81", "cafe", l));  // the e is an é
    EXPECT_TRUE(TextContains("cafe\xCC\x81", "caf", l));
    EXPECT_TRUE(TextContains("5\xE2\x84\xAA.txt", "5k", l));  // Kelvin sign
    EXPECT_TRUE(
        TextContains("stra\xC3\x9F"
                     "e",
                     "STRA\xE1\xBA\x9E"
                     "E",
                     l));  // ß / ẞ
    EXPECT_FALSE(
        TextContains("Stra\xC3\x9F"
                     "e",
                     "strasse", l));
    std::string scratch;
    const TextFinder ete("ete", l, FoldOptions{true});
    EXPECT_TRUE(ete.FoundIn("\xC3\x89t\xC3\xA9.txt", scratch));
    EXPECT_TRUE(ete.FoundIn("E\xCC\x81te\xCC\x81", scratch));
    EXPECT_FALSE(TextFinder("ete", l).FoundIn("\xC3\x89t\xC3\xA9.txt", scratch));
    EXPECT_TRUE(TextFinder("Dvorak", l, FoldOptions{true}).FoundIn("Dvo\xC5\x99\xC3\xA1k", scratch));
    EXPECT_FALSE(TextFinder("strasse", l, FoldOptions{true})
                     .FoundIn("Stra\xC3\x9F"
                              "e",
                              scratch));
}

TEST(SearchNameText, IgnoreAccentsForTextsMasksAndMedia)
{
    SearchCriteria c;
    c.NameText = "*ete*";
    PrepareNameText(c);
    EXPECT_FALSE(NameMatches("\xC3\x89t\xC3\xA9 2024", c, EnUs()));
    c.IgnoreAccents = true;
    EXPECT_TRUE(NameMatches("\xC3\x89t\xC3\xA9 2024", c, EnUs()));
    c.NameText = "\xC3\xA9t\xC3\xA9";
    PrepareNameText(c);
    EXPECT_TRUE(NameMatches("Ete", c, EnUs()));

    // Switching the option on a running matcher folds the texts again.
    SearchCriteria m;
    m.NameText = "ete";
    PrepareNameText(m);
    SearchMatcher matcher(m, EnUs());
    EXPECT_FALSE(matcher.NameMatches("\xC3\xA9t\xC3\xA9"));
    m.IgnoreAccents = true;
    matcher.Update(m);
    EXPECT_TRUE(matcher.NameMatches("\xC3\xA9t\xC3\xA9"));
}

/// Texts from pieces that reach every special case of folding: decomposed
/// letters, marks, the Kelvin sign, the dotless i, letters that lose their
/// accents, a stray byte.
std::string FoldPieces(std::mt19937& random, std::size_t maxPieces)
{
    static const char* const kPieces[] = {"a",  "E",        "t",        "K",        "\xCC\x81",     "e\xCC\x81",
                                          "ke", "\xC3\xA9", "\xC3\x89", "\xC4\xB1", "\xE2\x84\xAA", "\xE2\x80\x93",
                                          "i",  "\xE9",     " ",        "ete",      "\xD0\x96",     "s"};
    std::string text;
    for (std::size_t k = random() % (maxPieces + 1); k > 0; --k) text += kPieces[random() % std::size(kPieces)];
    return text;
}

TEST(SearchTextFinder, EveryPathFindsWhatTheFoldedTextsHold)
{
    std::mt19937 random(23);
    const char* const parts[] = {"e", "et", "ke", "te", "k", "i", "\xC3\xA9t", "e\xCC\x81", "a k"};
    std::string scratch;
    for (const FoldOptions options : {FoldOptions{}, FoldOptions{true}}) {
        int found = 0;
        for (const char* part : parts) {
            const TextFinder finder(part, EnUs(), options);
            const std::string folded = FoldText(part, options);
            // Names one after another in the pool, as a volume's files are.
            VolumeStore store;
            std::vector<bool> expected;
            for (int k = 0; k < 1000; ++k) {
                const std::string text = FoldPieces(random, k % 2 ? 5 : 14);
                TDetails d;
                d.Name = store.Strings.Add(text);
                store.Files.push_back(d);
                const bool holds = !text.empty() && FoldText(text, options).find(folded) != std::string::npos;
                ASSERT_EQ(finder.FoundIn(text, scratch), holds) << "'" << text << "' / '" << part << "'";
                expected.push_back(holds);
                found += holds;
            }
            if (!finder.CanMarkNames()) continue;
            std::size_t available;
            const TDetails* files = store.Files.BlockAt(0, available);
            ASSERT_GE(available, expected.size());
            std::vector<std::uint64_t> bits((expected.size() + 63) / 64, 0);
            finder.MarkNames(store, files, expected.size(), bits.data(), scratch);
            for (std::size_t k = 0; k < expected.size(); ++k)
                ASSERT_EQ(((bits[k / 64] >> (k % 64)) & 1) != 0, expected[k])
                    << "part '" << part << "' name '" << store.Name(files[k]) << "'";
        }
        EXPECT_GT(found, 1000);
    }
}

}  // namespace
}  // namespace ardvel
