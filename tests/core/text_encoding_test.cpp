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

}  // namespace
}  // namespace ardvel
