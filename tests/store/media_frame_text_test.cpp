// The two text clean-ups of the tag reader: DecodeFrameText for ID3v2 frame
// bodies and CleanV1Text for ID3v1 fields.

#include <gtest/gtest.h>

#include "store/FrameText.h"
#include "support/Id3Builder.h"

namespace ardvel {
namespace {

using test::Bytes;
using test::TextBody;
using test::Utf16Bytes;

/// A body as the frame scan hands it over: padded with zero bytes to the
/// size of the body buffer.
std::string Padded(std::string body)
{
    body.resize(kFrameTextSize, '\0');
    return body;
}

// --- Encoding 0 --------------------------------------------------------------

TEST(DecodeFrameTextLatin, ConvertsWindows1252ToUtf8)
{
    EXPECT_EQ(DecodeFrameText(Padded(TextBody(0, "Bj\xF6rk"))), "Björk");
    // 0x80 to 0x9F are the code page's own letters, not C1 controls.
    EXPECT_EQ(DecodeFrameText(Padded(TextBody(0, "\x80 \x99 \x9C"))), "€ ™ œ");
    // The five bytes the code page leaves undefined keep their code point.
    EXPECT_EQ(DecodeFrameText(Padded(TextBody(0, "a\x81\x8D\x8F\x90\x9D"))), "a\u0081\u008D\u008F\u0090\u009D");
}

TEST(DecodeFrameTextLatin, TrimsControlsAtBothEndsAndKeepsZeroBytesInside)
{
    EXPECT_EQ(DecodeFrameText(Padded(TextBody(0, " \t\r\nTitle \x1F"))), "Title");
    // A version 2.4 list keeps its separators.
    EXPECT_EQ(DecodeFrameText(Padded(TextBody(0, std::string("One\0Two\0Three", 13)))),
              std::string("One\0Two\0Three", 13));
    EXPECT_EQ(DecodeFrameText(Padded(TextBody(0, ""))), "");
    EXPECT_EQ(DecodeFrameText(""), "");
    EXPECT_EQ(DecodeFrameText(Padded(TextBody(0, "   "))), "");
}

// --- Encoding 1: UTF-16 with byte-order mark ----------------------------------

TEST(DecodeFrameTextUtf16, HonoursTheByteOrderMark)
{
    EXPECT_EQ(DecodeFrameText(Padded(Bytes({1, 0xFF, 0xFE, 0x41, 0x00, 0x42, 0x00}))), "AB");
    EXPECT_EQ(DecodeFrameText(Padded(Bytes({1, 0xFE, 0xFF, 0x00, 0x41, 0x00, 0x42}))), "AB");
    // Without a mark the units are little-endian, and nothing is consumed.
    EXPECT_EQ(DecodeFrameText(Padded(TextBody(1, Utf16Bytes(u"Jóga")))), "Jóga");
    EXPECT_EQ(DecodeFrameText(Padded(TextBody(1, Utf16Bytes(u"\uFEFFJóga", true)))), "Jóga");
}

TEST(DecodeFrameTextUtf16, KeepsUnitsWhoseLowByteIsFF)
{
    // ÿ (00FF), ǿ (01FF) and ヿ (30FF) are letters like any other.
    EXPECT_EQ(DecodeFrameText(Padded(TextBody(1, Utf16Bytes(u"\uFEFFÿ\u01FF\u30FF")))), "ÿǿヿ");
    EXPECT_EQ(DecodeFrameText(Padded(TextBody(1, Utf16Bytes(u"\uFEFFÿ\u01FF\u30FF", true)))), "ÿǿヿ");
}

TEST(DecodeFrameTextUtf16, StopsAtTheFirstZeroUnit)
{
    EXPECT_EQ(DecodeFrameText(Padded(TextBody(1, Utf16Bytes(std::u16string(u"\uFEFFOne\0Two", 8))))), "One");
    // A zero low byte alone is not a zero unit.
    EXPECT_EQ(DecodeFrameText(Padded(TextBody(1, Utf16Bytes(u"\uFEFF\u0100A")))), "ĀA");
    // A lone last byte is not a unit: (size - 1) / 2 units are read.
    EXPECT_EQ(DecodeFrameText(TextBody(1, Bytes({0xFF, 0xFE, 0x41, 0x00, 0x42}))), "A");
}

TEST(DecodeFrameTextUtf16, JoinsSurrogatePairsAndReplacesUnpairedOnes)
{
    EXPECT_EQ(DecodeFrameText(Padded(TextBody(1, Utf16Bytes(u"\uFEFFA\U0001F3B5B")))), "A🎵B");
    EXPECT_EQ(DecodeFrameText(Padded(TextBody(1, Utf16Bytes(u"\uFEFFA\U0001F3B5B", true)))), "A🎵B");
    EXPECT_EQ(DecodeFrameText(Padded(TextBody(1, Utf16Bytes(u"\uFEFFA\xD83C"
                                                            u"B")))),
              "A\uFFFDB");
    EXPECT_EQ(DecodeFrameText(Padded(TextBody(1, Utf16Bytes(u"\uFEFFA\xDFB5\xD83C")))), "A\uFFFD\uFFFD");
}

TEST(DecodeFrameTextUtf16, DropsASecondMarkAndTrimsAfterDecoding)
{
    EXPECT_EQ(DecodeFrameText(Padded(TextBody(1, Utf16Bytes(u"\uFEFF\uFEFFTitle")))), "Title");
    EXPECT_EQ(DecodeFrameText(Padded(TextBody(1, Utf16Bytes(u"\uFEFF \t Title \r\n")))), "Title");
    EXPECT_EQ(DecodeFrameText(Padded(TextBody(1, Utf16Bytes(u"\uFEFF")))), "");
}

// --- Encoding 2: UTF-16 big-endian without mark ------------------------------

TEST(DecodeFrameTextUtf16BigEndian, ReadsBigEndianUnitsUpToTheFirstZeroUnit)
{
    EXPECT_EQ(DecodeFrameText(Padded(TextBody(2, Utf16Bytes(u"Björk 東京", true)))), "Björk 東京");
    EXPECT_EQ(DecodeFrameText(Padded(TextBody(2, Utf16Bytes(std::u16string(u"A\U0001F3B5\0B", 5), true)))), "A🎵");
    // A leading U+FEFF is dropped, as in every encoding.
    EXPECT_EQ(DecodeFrameText(Padded(TextBody(2, Utf16Bytes(u"\uFEFFA", true)))), "A");
}

// --- Encoding 3: UTF-8 ---------------------------------------------------------

TEST(DecodeFrameTextUtf8, TakesTheTextAsItIsWithZeroBytesInside)
{
    EXPECT_EQ(DecodeFrameText(Padded(TextBody(3, "Björk 東京 🎵"))), "Björk 東京 🎵");
    EXPECT_EQ(DecodeFrameText(Padded(TextBody(3, std::string("Rock\0Pop\0", 9)))), std::string("Rock\0Pop", 8));
    EXPECT_EQ(DecodeFrameText(Padded(TextBody(3, "\xEF\xBB\xBF  Title  "))), "Title");
}

TEST(DecodeFrameTextUtf8, ReadsInvalidBytesAsWindows1252)
{
    EXPECT_EQ(DecodeFrameText(Padded(TextBody(3, "Caf\xE9 \x80 ok"))), "Café € ok");
    // Overlong forms, surrogates and stray continuation bytes are not UTF-8.
    EXPECT_EQ(DecodeFrameText(Padded(TextBody(3, "\xC0\xAF|\xED\xA0\x80|\xBF"))), "À¯|í\u00A0€|¿");
    // A sequence broken off inside the text (here by the padding) is not cut
    // off by the end of the buffer: its bytes are read one by one.
    EXPECT_EQ(DecodeFrameText(Padded(TextBody(3, "A\xE6\x9D"))), "Aæ\u009D");
}

TEST(DecodeFrameTextUtf8, DropsASequenceCutOffByTheEndOfTheBuffer)
{
    const std::string east = "東";  // E6 9D B1
    std::string text = TextBody(3, std::string(kFrameTextSize - 3, 'a'));
    EXPECT_EQ(DecodeFrameText(text + east.substr(0, 2)), std::string(kFrameTextSize - 3, 'a'));
    EXPECT_EQ(DecodeFrameText(text + east.substr(0, 1) + "a"), std::string(kFrameTextSize - 3, 'a') + "æa");
    const std::string fitting = TextBody(3, std::string(kFrameTextSize - 4, 'a') + east);
    EXPECT_EQ(DecodeFrameText(fitting), std::string(kFrameTextSize - 4, 'a') + east);
}

// --- CleanV1Text ----------------------------------------------------------------

std::string Field(std::string_view bytes, char pad = '\0')
{
    std::string field(bytes);
    field.resize(kV1FieldSize, pad);
    return field;
}

TEST(CleanV1Text, TakesBytesUpToTheFirstOutsideThePrintableRanges)
{
    EXPECT_EQ(CleanV1Text(Field("Ab\xA9 2001 Label")), "Ab");
    EXPECT_EQ(CleanV1Text(Field("Ab\x7F"
                                "cd")),
              "Ab");
    EXPECT_EQ(CleanV1Text(Field("Ab\tcd")), "Ab");
    EXPECT_EQ(CleanV1Text(Field(std::string("Ab\0cd", 5))), "Ab");
    // 0x80 to 0xBF end the text even where the code page has a letter.
    EXPECT_EQ(CleanV1Text(Field("Ab\x80"
                                "cd")),
              "Ab");
    EXPECT_EQ(CleanV1Text(Field("Ab\xBF"
                                "cd")),
              "Ab");
}

TEST(CleanV1Text, ConvertsLettersFrom192UpToUtf8)
{
    EXPECT_EQ(CleanV1Text(Field("Bj\xF6rk \xC0\xFF")), "Björk Àÿ");
}

TEST(CleanV1Text, TrimsSpacesAtBothEnds)
{
    EXPECT_EQ(CleanV1Text(Field("  Title", ' ')), "Title");
    EXPECT_EQ(CleanV1Text(Field("  Two  Words  ")), "Two  Words");
    EXPECT_EQ(CleanV1Text(std::string(kV1FieldSize, ' ')), "");
    // The whole width is walked: a text that fills it is kept whole.
    EXPECT_EQ(CleanV1Text(std::string(kV1FieldSize, 'x')), std::string(kV1FieldSize, 'x'));
}

}  // namespace
}  // namespace ardvel
