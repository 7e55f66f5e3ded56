// Folding for the search: canonical composition, case, accents, characters
// as the user sees them, and masks applied to folded names.
#include <gtest/gtest.h>

#include <random>

#include "search/MaskReference.h"
#include "search/NameMask.h"
#include "search/UnicodeFold.h"

namespace ardvel {
namespace {

const FoldOptions kIgnoreAccents{true};

TEST(UnicodeFold, ComposedAndDecomposedFormsFoldAlike)
{
    // é precomposed and as e + combining acute.
    EXPECT_EQ(FoldText("R\xC3\xA9sum\xC3\xA9"), FoldText("Re\xCC\x81sume\xCC\x81"));
    EXPECT_EQ(FoldText("Re\xCC\x81sume\xCC\x81"), "r\xC3\xA9sum\xC3\xA9");
    // The Hangul syllable 한 and its three jamo.
    EXPECT_EQ(FoldText("\xED\x95\x9C"), FoldText("\xE1\x84\x92\xE1\x85\xA1\xE1\x86\xAB"));
    // Å as a letter, as the angstrom sign, and as A + combining ring.
    EXPECT_EQ(FoldText("\xC3\x85"), "\xC3\xA5");
    EXPECT_EQ(FoldText("\xE2\x84\xAB"), "\xC3\xA5");
    EXPECT_EQ(FoldText("A\xCC\x8A"), "\xC3\xA5");
    // Marks in either order that the normal form orders the same way.
    EXPECT_EQ(FoldText("a\xCC\xA3\xCC\x81"), FoldText("a\xCC\x81\xCC\xA3"));
}

TEST(UnicodeFold, CaseFoldsOneCharacterToOne)
{
    // ǅ, Ǆ and ǆ are one letter.
    EXPECT_EQ(FoldText("\xC7\x85"), "\xC7\x86");
    EXPECT_EQ(FoldText("\xC7\x84"), "\xC7\x86");
    // The capital sharp s folds to ß; ß stays one character, not "ss".
    EXPECT_EQ(FoldText("STRA\xE1\xBA\x9E"
                       "E"),
              "stra\xC3\x9F"
              "e");
    EXPECT_EQ(FoldText("Stra\xC3\x9F"
                       "e"),
              "stra\xC3\x9F"
              "e");
    EXPECT_EQ(FoldText("Stra\xC3\x9F"
                       "e",
                       kIgnoreAccents),
              "stra\xC3\x9F"
              "e");
    // The dotless i and the long s fold with I and S; the capital I with
    // dot above folds alike composed or not.
    EXPECT_EQ(FoldText("f\xC4\xB1le \xC5\xBFong"), "file song");
    EXPECT_EQ(FoldText("\xC4\xB0"), FoldText("I\xCC\x87"));
    EXPECT_EQ(FoldText("\xD0\x96\xD0\xA3\xD0\xA0"), "\xD0\xB6\xD1\x83\xD1\x80");  // ЖУР
    // The Kelvin sign is a K.
    EXPECT_EQ(FoldText("5\xE2\x84\xAA"), "5k");
}

TEST(UnicodeFold, AccentsOnlyWhenAsked)
{
    EXPECT_EQ(FoldText("\xC3\x89t\xC3\xA9.txt"), "\xC3\xA9t\xC3\xA9.txt");
    EXPECT_EQ(FoldText("\xC3\x89t\xC3\xA9.txt", kIgnoreAccents), "ete.txt");
    EXPECT_EQ(FoldText("Dvo\xC5\x99\xC3\xA1k", kIgnoreAccents), "dvorak");
    EXPECT_EQ(FoldText("E\xCC\x81t\xCC\x81", kIgnoreAccents), "et");
    // Letters without marks stay: ø is no o.
    EXPECT_EQ(FoldText("\xC3\x98l", kIgnoreAccents), "\xC3\xB8l");
}

TEST(UnicodeFold, BytesThatAreNotUtf8StayAsTheyAre)
{
    EXPECT_EQ(FoldText("CAF\xE9"), "caf\xE9");
    EXPECT_EQ(FoldText("\xC3\x89\xFF"
                       "E\xCC\x81\xC3"),
              "\xC3\xA9\xFF\xC3\xA9\xC3");
    EXPECT_EQ(FoldText(""), "");
}

TEST(UnicodeFold, CharactersAsTheUserSeesThem)
{
    const std::string text =
        "ae\xCC\x81\xCC\xA3"
        "b\xE1\x84\x92\xE1\x85\xA1\xE1\x86\xAB\r\n\xE9x";
    std::vector<std::size_t> lengths;
    for (std::size_t pos = 0; pos < text.size(); pos += lengths.back()) lengths.push_back(ClusterLengthAt(text, pos));
    // a, e with two marks, b, three jamo, CR LF, a stray byte, x.
    EXPECT_EQ(lengths, (std::vector<std::size_t>{1, 5, 1, 9, 2, 1, 1}));
    // An emoji joined to another by a zero-width joiner.
    EXPECT_EQ(ClusterLengthAt("\xF0\x9F\x91\xA9\xE2\x80\x8D\xF0\x9F\x94\xAC!", 0), 11u);
}

/// Whether the folded ASCII `part` occurs among the ASCII bytes of `text`,
/// letters in either case: how the search looks at a name without specials.
bool FoundAmongAscii(std::string_view text, std::string_view part)
{
    std::string lowered(text);
    for (char& c : lowered)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return lowered.find(part) != std::string::npos;
}

TEST(UnicodeFold, NamesWithoutSpecialsHoldAsciiTextsWhereTheirAsciiDoes)
{
    const char* const pieces[] = {"a",        "E",        "t",        "\xC3\xA9", "\xC3\x89",     "\xCC\x81",
                                  "\xC4\xB1", "\xC5\xBF", "\xD0\x96", "\xE9",     "\xE2\x84\xAA", "\xE2\x80\x93",
                                  "s",        "K",        "\xC3\x9F", "i"};
    const char* const parts[] = {"et", "a", "ik", "s", "te", "ke"};
    std::mt19937 random(5);
    for (const FoldOptions options : {FoldOptions{}, kIgnoreAccents}) {
        const FoldSpecials& specials = FoldSpecials::For(options);
        int plain = 0, special = 0;
        for (int round = 0; round < 4000; ++round) {
            std::string name;
            for (std::size_t k = random() % 8; k > 0; --k) name += pieces[random() % std::size(pieces)];
            const std::string folded = FoldText(name, options);
            if (specials.In(name)) {
                ++special;
                continue;
            }
            ++plain;
            for (const char* part : parts)
                ASSERT_EQ(FoundAmongAscii(name, part), folded.find(part) != std::string::npos) << name << " / " << part;
        }
        EXPECT_GT(plain, 500);
        EXPECT_GT(special, 500);
    }
    // Combining marks, the dotless i and the Kelvin sign are special; the en
    // dash and é are not, unless accents are ignored.
    const FoldSpecials& keep = FoldSpecials::For({});
    EXPECT_TRUE(keep.In("e\xCC\x81") && keep.In("\xC4\xB1") && keep.In("\xE2\x84\xAA"));
    EXPECT_FALSE(keep.In("\xE2\x80\x93") || keep.In("\xC3\xA9") || keep.In("\xD0\x96"));
    EXPECT_TRUE(FoldSpecials::For(kIgnoreAccents).In("\xC3\xA9"));
}

bool Accepts(std::string_view mask, std::string_view name, FoldOptions options = {})
{
    std::string scratch;
    return NameMask(mask, options).Accepts(name, scratch);
}

TEST(NameMask, FoldsTheMaskAndTheName)
{
    EXPECT_TRUE(Accepts("r\xC3\xA9sum\xC3\xA9*", "Re\xCC\x81sume\xCC\x81.pdf"));
    EXPECT_TRUE(Accepts("\xC3\x89T\xC3\x89", "e\xCC\x81t\xC3\xA9"));  // ÉTÉ / été
    EXPECT_TRUE(Accepts("[\xD0\xB6]", "\xD0\x96"));                   // [ж] / Ж
    EXPECT_TRUE(Accepts("stra?e",
                        "Stra\xC3\x9F"
                        "e"));
    EXPECT_FALSE(Accepts("strasse",
                         "Stra\xC3\x9F"
                         "e",
                         kIgnoreAccents));
    EXPECT_FALSE(Accepts("ete*", "\xC3\x89t\xC3\xA9.txt"));
    EXPECT_TRUE(Accepts("ete*", "\xC3\x89t\xC3\xA9.txt", kIgnoreAccents));
    EXPECT_TRUE(Accepts("*.mp3", "\xC3\xA9t\xC3\xA9.MP3"));
    EXPECT_FALSE(Accepts("*e", "caf\xC3\xA9"));
    EXPECT_FALSE(Accepts("*e", "cafe\xCC\x81"));
}

TEST(NameMask, PrefixMasksSeeTheNameAsFolded)
{
    // Answered from the name's first bytes or by folding the whole name:
    // the same answers.
    for (const FoldOptions options : {FoldOptions{}, kIgnoreAccents}) {
        EXPECT_TRUE(Accepts("[a-c]*", "Bravo \xC3\x89t\xC3\xA9", options));
        EXPECT_FALSE(Accepts("[a-c]*", "Zulu", options));
        EXPECT_EQ(Accepts("a?*", "ae\xCC\x81", options), Accepts("a?*", "a\xC3\xA9", options));
        EXPECT_TRUE(Accepts("a?*", "ae\xCC\x81x", options));
        EXPECT_TRUE(Accepts("k*", "\xE2\x84\xAA", options));  // the Kelvin sign folds to k
    }
    EXPECT_FALSE(Accepts("e*", "e\xCC\x81t\xC3\xA9"));  // é, decomposed, is no e
    EXPECT_TRUE(Accepts("e*", "e\xCC\x81t\xC3\xA9", kIgnoreAccents));
    EXPECT_FALSE(Accepts("[!e]*", "e\xCC\x81t\xC3\xA9", kIgnoreAccents));
}

TEST(NameMask, QuestionMarksAndSetsCoverABaseLetterWithItsMarks)
{
    // x has no precomposed form with a ring: the two stay two code points.
    EXPECT_TRUE(Accepts("a?b",
                        "ax\xCC\x8A"
                        "b"));
    EXPECT_FALSE(Accepts("a??b",
                         "ax\xCC\x8A"
                         "b"));
    EXPECT_TRUE(Accepts("?", "e\xCC\x81\xCC\xA3"));
    // A mark that composes with nothing (the Arabic kasratan) after an ASCII
    // letter: one character, whose letter still folds.
    EXPECT_TRUE(Accepts("U\xD9\x8D", "U\xD9\x8D"));
    EXPECT_TRUE(Accepts("u\xD9\x8D*", "U\xD9\x8D.txt"));
    EXPECT_FALSE(Accepts("u*", "U\xD9\x8D.txt"));
    EXPECT_TRUE(Accepts("[x]b",
                        "x\xCC\x8A"
                        "b"));
    EXPECT_FALSE(Accepts("*\xCC\x8A*",
                         "x\xCC\x8A"
                         "b"));
    // Ranges of accented letters, by folded code point: [à-é] holds É and a
    // decomposed é, not ö.
    EXPECT_TRUE(Accepts("[\xC3\xA0-\xC3\xA9]t*", "\xC3\x89t\xC3\xA9"));
    EXPECT_TRUE(Accepts("[\xC3\x80-\xC3\x89]t*", "e\xCC\x81t\xC3\xA9"));
    EXPECT_FALSE(Accepts("[\xC3\xA0-\xC3\xA9]*", "\xC3\xB6tz"));
    EXPECT_TRUE(Accepts("[!\xC3\xA0-\xC3\xA9]*", "\xC3\xB6tz"));
    // Hangul jamo are one character with the syllable.
    EXPECT_TRUE(Accepts("?", "\xE1\x84\x92\xE1\x85\xA1\xE1\x86\xAB"));
    EXPECT_TRUE(Accepts("\xED\x95\x9C", "\xE1\x84\x92\xE1\x85\xA1\xE1\x86\xAB"));
}

TEST(NameMask, InvalidMasksAreNamedAsWritten)
{
    try {
        NameMask("\xC3\x89[", {});
        FAIL();
    } catch (const EMaskException& e) {
        EXPECT_STREQ(e.what(), "'\xC3\x89[' is an invalid mask at (4)");
    }
}

TEST(NameMask, FoldingKeepsTheSignsOfTheMask)
{
    // Marks alone in a set or ending a range, which ignoring accents drops.
    EXPECT_TRUE(Accepts("[\xCC\x81]*x", "\xCC\x81x"));
    EXPECT_FALSE(Accepts("[\xCC\x81]*x", "\xCC\x81x", kIgnoreAccents));  // the name is "x"
    EXPECT_TRUE(Accepts("[a-\xCC\x81]", "b", kIgnoreAccents));
    EXPECT_FALSE(Accepts("[!a-\xCC\x81]", "b", kIgnoreAccents));
    // A set member folds to the first character of its fold.
    EXPECT_TRUE(Accepts("[\xC4\xB0]x", "ix"));
    EXPECT_TRUE(Accepts("[\xC3\x89\xE2\x84\xAA]", "k"));
    // "=" followed by a combining long solidus overlay composes to "≠".
    EXPECT_TRUE(Accepts("a=\xCC\xB8*",
                        "a\xE2\x89\xA0"
                        "b"));
}

TEST(NameMask, LongestLiteralRun)
{
    EXPECT_EQ(NameMask("*Madrid_9999*.mp3", {}).LiteralRun(), "madrid_9999");
    EXPECT_EQ(NameMask("abc*", {}).LiteralRun(), "abc");
    EXPECT_EQ(NameMask("[a-c]*", {}).LiteralRun(), "");
    EXPECT_EQ(NameMask("*x?YZ[0-9]w*", {}).LiteralRun(), "yz");
    EXPECT_EQ(NameMask("ab\xC3\xA9"
                       "c*de",
                       {})
                  .LiteralRun(),
              "ab");
    EXPECT_TRUE(NameMask("*", {}).AcceptsAll());
}

TEST(NameMask, ClustersAgreeWithTryingEveryPlace)
{
    const char* const maskPieces[] = {"a", "*", "*", "?", "[a\xC3\xA9]", "\xC3\xA9", "e", "\xCC\x81", "[!e]", "x"};
    const char* const namePieces[] = {"a", "e", "\xCC\x81", "\xCC\xA3", "\xC3\xA9", "x", "\xE9", "\r", "\n"};
    std::mt19937 random(3);
    int accepted = 0;
    for (int round = 0; round < 20000; ++round) {
        std::string mask, name;
        for (std::size_t k = random() % 7; k > 0; --k) mask += maskPieces[random() % std::size(maskPieces)];
        for (std::size_t k = random() % 9; k > 0; --k) name += namePieces[random() % std::size(namePieces)];
        const TMask m(mask);
        const bool fast = m.Accepts(name);
        ASSERT_EQ(fast, AcceptsTryingEveryPlace(m, name)) << "mask '" << mask << "' name '" << name << "'";
        accepted += fast;
    }
    EXPECT_GT(accepted, 1000);
}

}  // namespace
}  // namespace ardvel
