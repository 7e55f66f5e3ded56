// The mask language: compiling, its faults and their positions, matching.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "search/Mask.h"
#include "search/MaskReference.h"

namespace ardvel {
namespace {

std::string Repeat(std::string_view piece, int count)
{
    std::string s;
    for (int i = 0; i < count; ++i) s += piece;
    return s;
}

/// The message and position of the fault of `mask`, or "valid".
std::string Fault(const std::string& mask)
{
    try {
        TMask m(mask);
        return "valid";
    } catch (const EMaskException& e) {
        EXPECT_EQ(e.Mask(), mask);
        EXPECT_EQ(std::string(e.what()), "'" + mask + "' is an invalid mask at (" + std::to_string(e.Position()) + ")");
        return std::to_string(e.Position());
    }
}

TEST(MaskCompile, FaultsAndTheirPositions)
{
    // "-" with no previous character: the "-".
    EXPECT_EQ(Fault("[-a]x"), "2");
    EXPECT_EQ(Fault("x[!-a]"), "4");
    // A set closed with nothing in it: the "]".
    EXPECT_EQ(Fault("[]x"), "2");
    EXPECT_EQ(Fault("ab[!]"), "5");
    EXPECT_EQ(Fault("[]]"), "2");
    // Not closed, or "-" as the last character: length plus 1.
    EXPECT_EQ(Fault("[abc"), "5");
    EXPECT_EQ(Fault("a["), "3");
    EXPECT_EQ(Fault("[!"), "3");
    EXPECT_EQ(Fault("[a-"), "4");
    // The character after "-" ends the range even when it is "]", so the set
    // is still open.
    EXPECT_EQ(Fault("[a-]"), "5");
    // The first fault from the left is the one reported.
    EXPECT_EQ(Fault("[]x[-"), "2");
}

TEST(MaskCompile, MessageIsTheProgramsText)
{
    try {
        TMask m("[]x");
        FAIL() << "no exception";
    } catch (const CatalogError& e) {  // front ends catch the core's one error type
        EXPECT_STREQ(e.what(), "'[]x' is an invalid mask at (2)");
    }
}

TEST(MaskCompile, ThirtySkippingGroupsAreTheLimit)
{
    EXPECT_EQ(Fault(Repeat("*a", 30)), "valid");
    // The 31st: at the byte that ends it.
    EXPECT_EQ(Fault(Repeat("*a", 31)), "62");
    // ... the end-of-name token: length plus 1.
    EXPECT_EQ(Fault(Repeat("*a", 30) + "*"), "62");
    EXPECT_EQ(Fault(Repeat("*a", 29) + "*"), "valid");
    // ... a set: its "]".
    EXPECT_EQ(Fault(Repeat("*a", 30) + "*[xy]z"), "65");
    // ... a two-byte character: its second byte.
    EXPECT_EQ(Fault(Repeat("*a", 30) + "*\xC3\xA9z"), "63");
    // A run of "*" is one group, and "?" after "*" is dropped, not a token.
    EXPECT_EQ(Fault(Repeat("**a", 30)), "valid");
    EXPECT_EQ(Fault(Repeat("*?a", 30)), "valid");
    EXPECT_EQ(Fault(Repeat("*?a", 31)), "93");
    // Tokens without a "*" before them do not count.
    EXPECT_EQ(Fault(Repeat("*ab?[c]", 30) + "xyz"), "valid");
}

TEST(MaskCompile, TokensOfTheMask)
{
    TMask m("*?a[!b-d]**?\xD0\xB6");
    const auto t = m.Tokens();
    ASSERT_EQ(t.size(), 4u);
    EXPECT_TRUE(t[0].Skip);  // "?" dropped, its "*" goes to "a"
    EXPECT_EQ(t[0].Kind, MaskTokenKind::Literal);
    EXPECT_EQ(t[0].Bytes[0], 'A');
    EXPECT_FALSE(t[1].Skip);
    EXPECT_EQ(t[1].Kind, MaskTokenKind::CharSet);
    EXPECT_TRUE(m.Sets()[t[1].Set].Negated);
    EXPECT_TRUE(t[2].Skip);
    EXPECT_EQ(t[2].Kind, MaskTokenKind::Literal);
    EXPECT_EQ(t[2].Length, 2);
    EXPECT_EQ(t[3].Kind, MaskTokenKind::EndOfName);
    EXPECT_FALSE(t[3].Skip);
}

TEST(MaskMatch, ExamplesOfTheMaskLanguage)
{
    EXPECT_FALSE(MaskAccepts("readme", "*.*"));
    EXPECT_TRUE(MaskAccepts("read.me", "*.*"));
    EXPECT_TRUE(MaskAccepts(".", "*.*"));
    EXPECT_TRUE(MaskAccepts("song.mp3", "*.MP3"));
    EXPECT_TRUE(MaskAccepts("SONG.MP3", "*.mp3"));
    EXPECT_FALSE(MaskAccepts("song.mp3x", "*.mp3"));
    EXPECT_FALSE(MaskAccepts("abc", "abc?"));
    EXPECT_TRUE(MaskAccepts("abcd", "abc?"));
    EXPECT_TRUE(MaskAccepts("a", "a*?"));
    EXPECT_TRUE(MaskAccepts("a", "a*"));
    EXPECT_FALSE(MaskAccepts("", "?*"));
    EXPECT_TRUE(MaskAccepts("x", "?*"));
    EXPECT_TRUE(MaskAccepts("Bert", "[a-c]*"));
    EXPECT_FALSE(MaskAccepts("bert", "[!a-c]*"));
    EXPECT_TRUE(MaskAccepts("Dora", "[!a-c]*"));
    // Semicolons and blanks are ordinary characters: one mask.
    EXPECT_FALSE(MaskAccepts("a.mp3", "*.mp3;*.wav"));
    EXPECT_TRUE(MaskAccepts("a.mp3;b.wav", "*.mp3;*.wav"));
    EXPECT_FALSE(MaskAccepts("a.mp3", " *.mp3"));
    EXPECT_TRUE(MaskAccepts(" a.mp3", " *.mp3"));
    // "*" takes everything, the empty name too; the empty mask only that.
    EXPECT_TRUE(MaskAccepts("", "*"));
    EXPECT_TRUE(MaskAccepts("anything at all", "***"));
    EXPECT_TRUE(MaskAccepts("", ""));
    EXPECT_FALSE(MaskAccepts("a", ""));
    // A negated set needs a character, like "?".
    EXPECT_FALSE(MaskAccepts("ab", "ab[!x]"));
    EXPECT_TRUE(MaskAccepts("aby", "ab[!x]"));
}

TEST(MaskMatch, Sets)
{
    // Specials are members inside a set.
    EXPECT_TRUE(MaskAccepts("*", "[*?]"));
    EXPECT_TRUE(MaskAccepts("?", "[*?]"));
    EXPECT_FALSE(MaskAccepts("a", "[*?]"));
    EXPECT_TRUE(MaskAccepts("[", "[[]"));
    // A range whose end is below its start adds nothing; its start was added.
    EXPECT_TRUE(MaskAccepts("c", "[c-a]"));
    EXPECT_FALSE(MaskAccepts("b", "[c-a]"));
    EXPECT_FALSE(MaskAccepts("a", "[c-a]"));
    // After a range the previous character stays its start: [a-c-e] is A..E.
    EXPECT_TRUE(MaskAccepts("d", "[a-c-e]"));
    EXPECT_FALSE(MaskAccepts("f", "[a-c-e]"));
    // "]" as the end of a range.
    EXPECT_TRUE(MaskAccepts("\\x", "[a-]]x"));
    EXPECT_TRUE(MaskAccepts("]x", "[a-]]x"));
    EXPECT_FALSE(MaskAccepts("^x", "[a-]]x"));
    // Ranges compare upper-cased letters: [A-z] is A..Z.
    EXPECT_TRUE(MaskAccepts("q", "[A-z]"));
    EXPECT_FALSE(MaskAccepts("_", "[A-z]"));
    EXPECT_TRUE(MaskAccepts("7", "[0-9]"));
    EXPECT_TRUE(MaskAccepts("-", "[!a-z]"));
}

TEST(MaskMatch, LetterCaseFoldsOnlyAsciiLetters)
{
    EXPECT_TRUE(MaskAccepts("\xC3\xA9t\xC3\xA9", "\xC3\xA9T\xC3\xA9"));   // été / éTé
    EXPECT_FALSE(MaskAccepts("\xC3\x89T\xC3\x89", "\xC3\xA9t\xC3\xA9"));  // ÉTÉ / été
    EXPECT_FALSE(MaskAccepts("\xD0\x96", "[\xD0\xB6]"));                  // Ж / [ж]
    EXPECT_TRUE(MaskAccepts("\xD0\xB6", "[\xD0\xB6]"));
}

TEST(MaskMatch, MultiByteCharactersAreOneCharacter)
{
    const std::string e = "\xC3\xA9";              // é
    const std::string zhe = "\xD0\xB6";            // ж
    const std::string emoji = "\xF0\x9F\x98\x80";  // U+1F600
    EXPECT_TRUE(MaskAccepts(e, "?"));
    EXPECT_TRUE(MaskAccepts(emoji, "?"));
    EXPECT_FALSE(MaskAccepts(e, "??"));
    EXPECT_TRUE(MaskAccepts("a" + emoji + "b", "a?b"));
    EXPECT_TRUE(MaskAccepts(zhe + zhe + ".txt", "??.txt"));
    EXPECT_FALSE(MaskAccepts(zhe + ".txt", "??.txt"));
    EXPECT_TRUE(MaskAccepts("x" + e, "*" + e));
    EXPECT_TRUE(MaskAccepts(e + "x" + e, "*?" + e));
    // A set holds multi-byte characters, matched exactly.
    EXPECT_TRUE(MaskAccepts(e, "[" + e + zhe + "]"));
    EXPECT_TRUE(MaskAccepts(zhe, "[" + e + zhe + "]"));
    EXPECT_FALSE(MaskAccepts("e", "[" + e + zhe + "]"));
    EXPECT_TRUE(MaskAccepts("e", "[!" + e + zhe + "]"));
    EXPECT_FALSE(MaskAccepts(e, "[!" + e + "]"));
    // Ranges by code point: [а-я] holds ж but not Ж; [a-é] reaches ä, not ö.
    EXPECT_TRUE(MaskAccepts(zhe, "[\xD0\xB0-\xD1\x8F]"));
    EXPECT_FALSE(MaskAccepts("\xD0\x96", "[\xD0\xB0-\xD1\x8F]"));
    EXPECT_TRUE(MaskAccepts("\xC3\xA4", "[a-" + e + "]"));
    EXPECT_FALSE(MaskAccepts("\xC3\xB6", "[a-" + e + "]"));
    EXPECT_TRUE(MaskAccepts("z", "[a-" + e + "]"));
}

TEST(MaskMatch, BytesThatAreNotUtf8CountAsOneCharacter)
{
    const std::string latin1 = "\xE9t\xE9";  // été written in Latin-1
    EXPECT_TRUE(MaskAccepts(latin1, "???"));
    EXPECT_TRUE(MaskAccepts(latin1, "?t?"));
    EXPECT_TRUE(MaskAccepts(latin1, "\xE9*"));
    EXPECT_FALSE(MaskAccepts(latin1, "\xC3\xA9*"));  // UTF-8 é is another character
    EXPECT_TRUE(MaskAccepts(latin1, "[\xE9]t*"));
    EXPECT_FALSE(MaskAccepts("\xC3\xA9", "[\xE9]"));
    // A lone lead byte in a mask does not match the start of a character.
    EXPECT_FALSE(MaskAccepts("\xC3\xA9", "\xC3*"));
    EXPECT_FALSE(MaskAccepts("\xC3\xA9", "\xC3?"));
    EXPECT_TRUE(MaskAccepts("\xC3x", "\xC3?"));
    // A sequence cut off at the end of the name.
    EXPECT_TRUE(MaskAccepts("ab\xC3", "ab?"));
    EXPECT_FALSE(MaskAccepts("ab\xC3", "ab??"));
    EXPECT_TRUE(MaskAccepts("ab\xE2\x82", "ab??"));
}

TEST(MaskMatch, BacktrackingOverLongNames)
{
    const std::string filler(5000, 'x');
    EXPECT_TRUE(MaskAccepts(filler + "a" + filler + "b" + filler + "c", "*a*b*c"));
    EXPECT_FALSE(MaskAccepts(filler + "a" + filler + "b" + filler + "cd", "*a*b*c"));
    EXPECT_FALSE(MaskAccepts(filler + "c" + filler + "b" + filler + "a", "*a*b*c"));
    EXPECT_TRUE(MaskAccepts("abcabcabc", "*a*b*c"));
    EXPECT_TRUE(MaskAccepts("aXbXcXaXbXc", "*a?b*c"));
    EXPECT_FALSE(MaskAccepts("aXbXcXaXbXd", "*a?b*c"));
    // Trying every place for every "*" takes exponential time on these.
    const std::string many(3000, 'a');
    EXPECT_FALSE(MaskAccepts(many, "*a*a*a*a*a*a*a*a*a*a*a*a*b"));
    EXPECT_TRUE(MaskAccepts(many + "b", "*a*a*a*a*a*a*a*a*a*a*a*a*b"));
    EXPECT_FALSE(MaskAccepts(many, Repeat("*a", 29) + "*b"));
    // The last "*" has to move past a place where the rest almost fits.
    EXPECT_TRUE(MaskAccepts("abcabd", "*ab?"));
    EXPECT_TRUE(MaskAccepts("aab", "*ab"));
    EXPECT_TRUE(MaskAccepts("mississippi", "m*iss*ppi"));
    EXPECT_FALSE(MaskAccepts("mississippi", "m*iss*ppix"));
}

TEST(MaskMatch, SameAnswersAsTryingEveryPlace)
{
    // Masks and names from a small alphabet with sets, multi-byte characters
    // and a stray byte, so that the special shapes and backtracking are all hit.
    const std::vector<std::string> maskPieces = {
        "a", "b", "A", "*", "*", "?", "[ab]", "[!a]", "[a-\xC3\xA9]", "\xC3\xA9", ".", "\xD0\xB6", "\xE9", "[.b]"};
    const std::vector<std::string> namePieces = {"a", "b", "B", ".", "\xC3\xA9", "\xC3\x89", "\xD0\xB6", "\xE9", "x"};
    std::mt19937 random(20240611);
    int accepted = 0, tested = 0;
    for (int round = 0; round < 20000; ++round) {
        std::string mask, name;
        const int maskLength = static_cast<int>(random() % 8);
        for (int i = 0; i < maskLength; ++i) mask += maskPieces[random() % maskPieces.size()];
        const int nameLength = static_cast<int>(random() % 10);
        for (int i = 0; i < nameLength; ++i) name += namePieces[random() % namePieces.size()];
        const TMask m(mask);
        const bool fast = m.Accepts(name);
        ASSERT_EQ(fast, AcceptsTryingEveryPlace(m, name)) << "mask '" << mask << "' name '" << name << "'";
        accepted += fast;
        ++tested;
    }
    // Both answers occur often enough for the comparison to mean something.
    EXPECT_GT(accepted, tested / 20);
    EXPECT_LT(accepted, tested - tested / 20);
}

TEST(MaskMatch, SuffixMasksAgreeWithTheGeneralRule)
{
    // "*" followed by plain ASCII tokens is answered from the name's end.
    const std::vector<std::string> masks = {"*.mp3", "*[0-9].txt", "*a", "*[ab]"};
    const std::vector<std::string> names = {"x.mp3",
                                            ".mp3",
                                            "mp3",
                                            "\xC3\xA9.MP3",
                                            "\xE9.mp3",
                                            "a1.txt",
                                            "a.txt",
                                            "1.txt",
                                            "\xC3\xA9",
                                            "\xD0\xB6"
                                            "a",
                                            "",
                                            "b",
                                            "ab.mp3",
                                            "\xE2\x82.mp3"};
    for (const std::string& mask : masks) {
        const TMask m(mask);
        for (const std::string& name : names)
            EXPECT_EQ(m.Accepts(name), AcceptsTryingEveryPlace(m, name)) << mask << " / " << name;
    }
}

TEST(MaskMatch, PrefixMasksAgreeWithTheGeneralRule)
{
    // Single characters then "*" are answered from the name's first bytes
    // when they are plain ASCII; a mark, a carriage return and line feed, or
    // a byte beyond ASCII right after them leave it to the general rule.
    const std::vector<std::string> masks = {"[a-c]*", "[!a-c]*", "a?*", "?*", "ab*", "[0-9][0-9]*", "A[.b]?*"};
    const std::vector<std::string> pieces = {"a",        "B",  "c",  "x",        ".",    "1",
                                             "\xCC\x81", "\r", "\n", "\xC3\xA9", "\xE9", " "};
    std::mt19937 random(77);
    int decided = 0;
    for (const std::string& mask : masks) {
        const TMask m(mask);
        for (int round = 0; round < 3000; ++round) {
            std::string name;
            const int length = static_cast<int>(random() % 6);
            for (int i = 0; i < length; ++i) name += pieces[random() % pieces.size()];
            bool accepted = false;
            if (m.PrefixDecides(name, accepted)) {
                ++decided;
                ASSERT_EQ(accepted, AcceptsTryingEveryPlace(m, name)) << mask << " / " << name;
            }
            ASSERT_EQ(m.Accepts(name), AcceptsTryingEveryPlace(m, name)) << mask << " / " << name;
        }
    }
    EXPECT_GT(decided, 3000);
    bool accepted;
    EXPECT_FALSE(TMask("*a").PrefixDecides("abc", accepted));  // not a prefix mask
    EXPECT_FALSE(TMask("a*b").PrefixDecides("abc", accepted));
    EXPECT_FALSE(TMask("a*").PrefixDecides("a\xCC\x81", accepted));  // a mark joins the first letter
}

}  // namespace
}  // namespace ardvel
