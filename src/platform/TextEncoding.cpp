#include "platform/TextEncoding.h"

#include <array>
#include <cstdint>

namespace ardvel {

std::size_t Utf8SequenceLength(std::string_view text) noexcept
{
    if (text.empty()) return 0;
    const auto* s = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t n = text.size();
    const unsigned char c = s[0];
    if (c < 0x80) return 1;
    if (c < 0xC2) return 0;
    if (c < 0xE0) return (n >= 2 && (s[1] & 0xC0) == 0x80) ? 2 : 0;
    if (c < 0xF0) {
        if (n < 3 || (s[1] & 0xC0) != 0x80 || (s[2] & 0xC0) != 0x80) return 0;
        if (c == 0xE0 && s[1] < 0xA0) return 0;   // overlong
        if (c == 0xED && s[1] >= 0xA0) return 0;  // surrogate
        return 3;
    }
    if (c < 0xF5) {
        if (n < 4 || (s[1] & 0xC0) != 0x80 || (s[2] & 0xC0) != 0x80 || (s[3] & 0xC0) != 0x80) return 0;
        if (c == 0xF0 && s[1] < 0x90) return 0;   // overlong
        if (c == 0xF4 && s[1] >= 0x90) return 0;  // above U+10FFFF
        return 4;
    }
    return 0;
}

namespace {

// Validation as a state machine with a row of next states for each byte:
// the next state is a field of the byte's row, picked by the state, so
// that a byte costs a shift and a mask, with no branch to mispredict on
// names that mix ASCII and other characters. A state is its field's
// offset; Accept is 0, and Error leads only to itself.
enum Utf8State : unsigned {
    kAccept = 0,
    kNeedOne = 6,
    kNeedTwo = 12,
    kNeedThree = 18,
    kAfterE0 = 24,  ///< A0..BF, then one more
    kAfterED = 30,  ///< 80..9F (no surrogates), then one more
    kAfterF0 = 36,  ///< 90..BF, then two more
    kAfterF4 = 42,  ///< 80..8F (up to U+10FFFF), then two more
    kError = 48,
};

/// The row of `byte`: every state leads to Error but those set here.
constexpr std::uint64_t RowOf(unsigned byte) noexcept
{
    std::uint64_t row = 0;
    for (unsigned state = kAccept; state <= kError; state += 6) row |= std::uint64_t{kError} << state;
    const auto go = [&row](unsigned from, unsigned to) {
        row = (row & ~(std::uint64_t{63} << from)) | (std::uint64_t{to} << from);
    };
    if (byte < 0x80) {
        go(kAccept, kAccept);
    } else if (byte < 0xC0) {  // a continuation byte
        go(kNeedOne, kAccept);
        go(kNeedTwo, kNeedOne);
        go(kNeedThree, kNeedTwo);
        if (byte >= 0xA0) go(kAfterE0, kNeedOne);
        if (byte < 0xA0) go(kAfterED, kNeedOne);
        if (byte >= 0x90) go(kAfterF0, kNeedTwo);
        if (byte < 0x90) go(kAfterF4, kNeedTwo);
    } else if (byte >= 0xC2 && byte < 0xF5) {  // a lead byte, after a whole sequence
        go(kAccept, byte < 0xE0    ? kNeedOne
                    : byte == 0xE0 ? kAfterE0
                    : byte == 0xED ? kAfterED
                    : byte < 0xF0  ? kNeedTwo
                    : byte == 0xF0 ? kAfterF0
                    : byte < 0xF4  ? kNeedThree
                                   : kAfterF4);
    }
    return row;
}

constexpr std::array<std::uint64_t, 256> MakeUtf8Rows() noexcept
{
    std::array<std::uint64_t, 256> rows{};
    for (unsigned byte = 0; byte < 256; ++byte) rows[byte] = RowOf(byte);
    return rows;
}

constexpr std::array<std::uint64_t, 256> kUtf8Rows = MakeUtf8Rows();

}  // namespace

bool IsValidUtf8(std::string_view text) noexcept
{
    const auto* s = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t n = text.size();
    // Names are mostly ASCII: eight bytes at a time first.
    std::uint64_t high = 0;
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        std::uint64_t word;
        __builtin_memcpy(&word, s + i, 8);
        high |= word;
    }
    for (; i < n; ++i) high |= s[i];
    if ((high & 0x8080808080808080ULL) == 0) return true;
    std::uint64_t state = kAccept;
    for (i = 0; i < n; ++i) state = (kUtf8Rows[s[i]] >> state) & 63;
    return state == kAccept;
}

void AppendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

char32_t Windows1252ToCodePoint(unsigned char byte) noexcept
{
    static constexpr char16_t kHigh[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                           0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                           0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                           0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    if (byte >= 0x80 && byte < 0xA0) return kHigh[byte - 0x80];
    return byte;
}

std::string Windows1252ToUtf8(std::string_view text)
{
    std::string out;
    out.reserve(text.size() * 2);
    for (unsigned char c : text) AppendUtf8(out, Windows1252ToCodePoint(c));
    return out;
}

std::string Utf8OrWindows1252(std::string_view text)
{
    if (IsValidUtf8(text)) return std::string(text);
    return Windows1252ToUtf8(text);
}

char32_t DecodeCharacter(std::string_view text, std::size_t& pos) noexcept
{
    const auto* s = reinterpret_cast<const unsigned char*>(text.data()) + pos;
    const std::size_t len = Utf8SequenceLength(text.substr(pos));
    char32_t cp;
    switch (len) {
        case 1:
            cp = s[0];
            break;
        case 2:
            cp = ((s[0] & 0x1F) << 6) | (s[1] & 0x3F);
            break;
        case 3:
            cp = ((s[0] & 0x0F) << 12) | ((s[1] & 0x3F) << 6) | (s[2] & 0x3F);
            break;
        case 4:
            cp = ((s[0] & 0x07) << 18) | ((s[1] & 0x3F) << 12) | ((s[2] & 0x3F) << 6) | (s[3] & 0x3F);
            break;
        default:
            pos += 1;
            return s[0];
    }
    pos += len;
    return cp;
}

std::size_t CharacterCount(std::string_view text) noexcept
{
    std::size_t count = 0;
    for (std::size_t pos = 0; pos < text.size(); ++count) DecodeCharacter(text, pos);
    return count;
}

}  // namespace ardvel
