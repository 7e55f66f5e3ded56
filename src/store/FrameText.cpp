#include "store/FrameText.h"

#include "platform/TextEncoding.h"

namespace ardvel {

namespace {

constexpr unsigned char kUtf16Encoding = 1;
constexpr unsigned char kUtf16BigEndianEncoding = 2;
constexpr unsigned char kUtf8Encoding = 3;

constexpr char32_t kReplacementCharacter = 0xFFFD;
constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

unsigned char ByteAt(std::string_view text, std::size_t i) noexcept
{
    return static_cast<unsigned char>(text[i]);
}

/// `text` without its leading and trailing bytes of code 32 or less.
std::string_view TrimControls(std::string_view text) noexcept
{
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && ByteAt(text, begin) <= 32) ++begin;
    while (end > begin && ByteAt(text, end - 1) <= 32) --end;
    return text.substr(begin, end - begin);
}

bool IsHighSurrogate(char32_t unit) noexcept
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(char32_t unit) noexcept
{
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

/// Decodes the code units of `bytes` (a trailing odd byte is not part of
/// any unit) up to the first zero unit. With `honourMark`, a first unit
/// FF FE or FE FF chooses the byte order and is consumed.
void AppendUtf16(std::string& out, std::string_view bytes, bool bigEndian, bool honourMark)
{
    const std::size_t units = bytes.size() / 2;
    std::size_t i = 0;
    if (honourMark && units > 0) {
        const unsigned char first = ByteAt(bytes, 0);
        const unsigned char second = ByteAt(bytes, 1);
        if (first == 0xFF && second == 0xFE) {
            bigEndian = false;
            i = 1;
        } else if (first == 0xFE && second == 0xFF) {
            bigEndian = true;
            i = 1;
        }
    }
    const auto unitAt = [&](std::size_t index) -> char32_t {
        const char32_t a = ByteAt(bytes, 2 * index);
        const char32_t b = ByteAt(bytes, 2 * index + 1);
        return bigEndian ? (a << 8 | b) : (b << 8 | a);
    };
    for (; i < units; ++i) {
        const char32_t unit = unitAt(i);
        if (unit == 0) break;
        char32_t cp = unit;
        if (IsHighSurrogate(unit)) {
            const char32_t next = i + 1 < units ? unitAt(i + 1) : 0;
            if (IsLowSurrogate(next)) {
                cp = 0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00);
                ++i;
            } else {
                cp = kReplacementCharacter;
            }
        } else if (IsLowSurrogate(unit)) {
            cp = kReplacementCharacter;
        }
        AppendUtf8(out, cp);
    }
}

/// True when `rest` is the beginning of a well-formed UTF-8 sequence that
/// needs more bytes than `rest` holds: a character cut off by the end of
/// the buffer.
bool IsCutUtf8Sequence(std::string_view rest) noexcept
{
    if (rest.empty()) return false;
    const unsigned char lead = ByteAt(rest, 0);
    std::size_t needed = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        needed = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        needed = 3;
        if (lead == 0xE0) low = 0xA0;   // overlong below
        if (lead == 0xED) high = 0x9F;  // surrogates above
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        needed = 4;
        if (lead == 0xF0) low = 0x90;   // overlong below
        if (lead == 0xF4) high = 0x8F;  // beyond U+10FFFF above
    }
    if (needed == 0 || rest.size() >= needed) return false;
    for (std::size_t k = 1; k < rest.size(); ++k) {
        const unsigned char c = ByteAt(rest, k);
        const unsigned char min = k == 1 ? low : 0x80;
        const unsigned char max = k == 1 ? high : 0xBF;
        if (c < min || c > max) return false;
    }
    return true;
}

/// Copies UTF-8 text, zero bytes included; bytes that are not valid UTF-8
/// are taken as Windows-1252, except a sequence cut off at the very end,
/// which is dropped.
void AppendUtf8Text(std::string& out, std::string_view text)
{
    std::size_t pos = 0;
    while (pos < text.size()) {
        const unsigned char c = ByteAt(text, pos);
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
            ++pos;
            continue;
        }
        const std::string_view rest = text.substr(pos);
        const std::size_t length = Utf8SequenceLength(rest);
        if (length > 0) {
            out.append(rest.substr(0, length));
            pos += length;
            continue;
        }
        if (IsCutUtf8Sequence(rest)) break;
        AppendUtf8(out, Windows1252ToCodePoint(c));
        ++pos;
    }
}

}  // namespace

std::string DecodeFrameText(std::string_view text)
{
    const unsigned char encoding = text.empty() ? 0 : ByteAt(text, 0);
    if (encoding != kUtf16Encoding && encoding != kUtf16BigEndianEncoding && encoding != kUtf8Encoding) {
        // The bytes of code 32 or less are the same in Windows-1252 and in
        // UTF-8, so trimming before converting gives the same text.
        return Windows1252ToUtf8(TrimControls(text));
    }

    const std::string_view body = text.substr(1);
    std::string decoded;
    decoded.reserve(body.size() * 2);
    if (encoding == kUtf8Encoding) {
        AppendUtf8Text(decoded, body);
    } else {
        AppendUtf16(decoded, body, encoding == kUtf16BigEndianEncoding, encoding == kUtf16Encoding);
    }

    std::string_view result = decoded;
    if (result.starts_with(kUtf8ByteOrderMark)) result.remove_prefix(kUtf8ByteOrderMark.size());
    return std::string(TrimControls(result));
}

std::string CleanV1Text(std::string_view field)
{
    std::size_t end = 0;
    while (end < field.size()) {
        const unsigned char c = ByteAt(field, end);
        if (!((c >= 32 && c <= 126) || c >= 192)) break;
        ++end;
    }
    std::size_t begin = 0;
    while (begin < end && field[begin] == ' ') ++begin;
    while (end > begin && field[end - 1] == ' ') --end;
    return Windows1252ToUtf8(field.substr(begin, end - begin));
}

}  // namespace ardvel
