// Which byte sequences count as UTF-8: catalog texts that do not are read as
// Windows-1252, so a sequence let through wrongly garbles a name for good.

#include <gtest/gtest.h>

#include <string>

#include "platform/TextEncoding.h"

namespace ardvel {
namespace {

TEST(Utf8Validity, ShortestFormsOnlyNoSurrogatesNothingAboveU10FFFF)
{
    struct Case {
        std::string Bytes;
        std::size_t Length;  ///< of the first sequence; 0 when invalid
    };
    const Case cases[] = {
        {"\x7F", 1},
        {"\xC2\x80", 2},
        {"\xC1\xBF", 0},      // overlong two bytes
        {"\xE0\x80\x80", 0},  // overlong three bytes, E0 80..9F
        {"\xE0\x9F\xBF", 0},
        {"\xE0\xA0\x80", 3},  // U+0800
        {"\xED\x9F\xBF", 3},  // U+D7FF
        {"\xED\xA0\x80", 0},  // a surrogate
        {"\xEF\xBF\xBF", 3},
        {"\xF0\x8F\xBF\xBF", 0},  // overlong four bytes
        {"\xF0\x90\x80\x80", 4},  // U+10000
        {"\xF4\x8F\xBF\xBF", 4},  // U+10FFFF
        {"\xF4\x90\x80\x80", 0},  // above U+10FFFF
        {"\xE2\x82", 0},          // cut short
        {"\xE2\x28\xA1", 0},      // a continuation byte missing
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Utf8SequenceLength(c.Bytes), c.Length) << testing::PrintToString(c.Bytes);
        EXPECT_EQ(IsValidUtf8("name " + c.Bytes), c.Length == c.Bytes.size()) << testing::PrintToString(c.Bytes);
    }
    // Past the eight-byte ASCII stride as well.
    EXPECT_FALSE(IsValidUtf8("a long ascii run\xE0\x9F\xBF"));
    EXPECT_EQ(Utf8OrWindows1252("\xE0\x9F\xBF"), "àŸ¿");
}

/// Valid when the sequences that Utf8SequenceLength finds cover the text.
bool ValidBySequences(std::string_view text)
{
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = Utf8SequenceLength(text.substr(i));
        if (length == 0) return false;
        i += length;
    }
    return true;
}

TEST(Utf8Validity, EveryTextOfUpToThreeBytesAndEveryLeadOfFourAgreesWithTheSequences)
{
    // Behind ASCII of both lengths the eight-byte stride sees: the state
    // machine must agree with the sequence rules on every byte after it.
    for (const std::string prefix : {"", "abcdefghij"}) {
        std::string text;
        for (unsigned a = 0; a < 256; ++a) {
            for (unsigned b = 0; b < 256; ++b) {
                text = prefix + static_cast<char>(a) + static_cast<char>(b);
                ASSERT_EQ(IsValidUtf8(text), ValidBySequences(text)) << testing::PrintToString(text);
                if (a < 0xE0) continue;
                for (unsigned c = 0x70; c < 0xC8; ++c) {
                    text = prefix + static_cast<char>(a) + static_cast<char>(b) + static_cast<char>(c);
                    ASSERT_EQ(IsValidUtf8(text), ValidBySequences(text)) << testing::PrintToString(text);
                    if (a < 0xF0 || (b & 0xC0) != 0x80 || (c & 0xC0) != 0x80) continue;
                    for (const char d : {'\x7F', '\x80', '\xBF', '\xC0'}) {
                        text.push_back(d);
                        ASSERT_EQ(IsValidUtf8(text), ValidBySequences(text)) << testing::PrintToString(text);
                        text.pop_back();
                    }
                }
            }
        }
    }
}

}  // namespace
}  // namespace ardvel
