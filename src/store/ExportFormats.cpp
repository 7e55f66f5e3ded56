#include "store/ExportFormats.h"

#include <array>
#include <charconv>
#include <cstring>

#include "platform/TextEncoding.h"

namespace ardvel {

namespace {

constexpr char kReplacement[] = "\xEF\xBF\xBD";  // U+FFFD

// What each byte is to the writers: one pass over a text decides.
constexpr unsigned char kJsonEscaped = 1;  ///< control characters, '"', '\\'
constexpr unsigned char kCsvQuoted = 2;    ///< ',', '"', CR, LF
constexpr unsigned char kHigh = 4;         ///< part of a multi-byte sequence
constexpr auto kByteClass = [] {
    std::array<unsigned char, 256> table{};
    for (int c = 0; c < 0x20; ++c) table[c] = kJsonEscaped;
    table['"'] = kJsonEscaped | kCsvQuoted;
    table['\\'] = kJsonEscaped;
    table[','] = kCsvQuoted;
    table['\r'] |= kCsvQuoted;
    table['\n'] |= kCsvQuoted;
    for (int c = 0x80; c < 0x100; ++c) table[c] = kHigh;
    return table;
}();

// Eight bytes at a time: whether any byte of a word is high, below n
// (n <= 128) or equal to c.
constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
constexpr std::uint64_t kHighs = 0x8080808080808080ULL;
constexpr std::uint64_t AnyLess(std::uint64_t x, unsigned n) noexcept
{
    return (x - kOnes * n) & ~x & kHighs;
}
constexpr std::uint64_t AnyEqual(std::uint64_t x, unsigned char c) noexcept
{
    return AnyLess(x ^ (kOnes * c), 1);
}

/// How many leading bytes of `text` are ASCII outside the class `stop`,
/// rounded down to whole words: what can be copied without a look at each.
std::size_t PlainWords(std::string_view text, unsigned char stop) noexcept
{
    std::size_t pos = 0;
    for (; pos + 8 <= text.size(); pos += 8) {
        std::uint64_t x;
        std::memcpy(&x, text.data() + pos, 8);
        std::uint64_t hit = x & kHighs;
        if (stop & kJsonEscaped) hit |= AnyLess(x, 0x20) | AnyEqual(x, '"') | AnyEqual(x, '\\');
        if (stop & kCsvQuoted) hit |= AnyEqual(x, ',') | AnyEqual(x, '"') | AnyEqual(x, '\r') | AnyEqual(x, '\n');
        if (hit) break;
    }
    return pos;
}

/// Appends the run of `text` from `pos` on that needs no change, up to the
/// first byte of class `stop` or the first byte of an ill-formed UTF-8
/// sequence; returns where it stopped.
std::size_t AppendPlainRun(std::string& out, std::string_view text, std::size_t pos, unsigned char stop)
{
    const std::size_t start = pos;
    const std::size_t size = text.size();
    const auto* data = reinterpret_cast<const unsigned char*>(text.data());
    const unsigned char mask = stop | kHigh;
    pos += PlainWords(text.substr(pos), stop);
    for (;;) {
        while (pos < size && (kByteClass[data[pos]] & mask) == 0) ++pos;
        if (pos == size || (kByteClass[data[pos]] & kHigh) == 0) break;
        const std::size_t n = Utf8SequenceLength(text.substr(pos));
        if (n == 0) break;
        pos += n;
    }
    out.append(text.data() + start, pos - start);
    return pos;
}

}  // namespace

void AppendValidUtf8(std::string& out, std::string_view text)
{
    std::size_t pos = 0;
    while (pos < text.size()) {
        pos = AppendPlainRun(out, text, pos, 0);
        if (pos < text.size()) {
            out += kReplacement;
            ++pos;
        }
    }
}

void AppendJsonString(std::string& out, std::string_view text)
{
    static constexpr char kHex[] = "0123456789abcdef";
    out += '"';
    std::size_t pos = 0;
    while (pos < text.size()) {
        pos = AppendPlainRun(out, text, pos, kJsonEscaped);
        if (pos == text.size()) break;
        const auto c = static_cast<unsigned char>(text[pos++]);
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\b':
                out += "\\b";
                break;
            case '\f':
                out += "\\f";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (c < 0x20) {
                    const char escape[6] = {'\\', 'u', '0', '0', kHex[c >> 4], kHex[c & 15]};
                    out.append(escape, 6);
                } else {
                    out += kReplacement;
                }
        }
    }
    out += '"';
}

void AppendCsvField(std::string& out, std::string_view text)
{
    std::size_t plain = PlainWords(text, kCsvQuoted);
    while (plain < text.size() && (kByteClass[static_cast<unsigned char>(text[plain])] & (kCsvQuoted | kHigh)) == 0)
        ++plain;
    if (plain == text.size()) {  // the usual case: nothing to quote or replace
        out.append(text);
        return;
    }
    bool quote = false;
    for (char c : text.substr(plain)) quote = quote || (kByteClass[static_cast<unsigned char>(c)] & kCsvQuoted) != 0;
    if (!quote) {
        AppendValidUtf8(out, text);
        return;
    }
    out += '"';
    std::size_t start = 0;
    for (std::size_t q = text.find('"'); q != std::string_view::npos; q = text.find('"', start)) {
        AppendValidUtf8(out, text.substr(start, q + 1 - start));
        out += '"';
        start = q + 1;
    }
    AppendValidUtf8(out, text.substr(start));
    out += '"';
}

void AppendInteger(std::string& out, std::int64_t value)
{
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    out.append(digits, static_cast<std::size_t>(result.ptr - digits));
}

std::string_view BareTitle(std::string_view titleText) noexcept
{
    constexpr std::string_view kJoin = " - ";
    if (titleText.substr(0, kJoin.size()) == kJoin) titleText.remove_prefix(kJoin.size());
    return titleText;
}

}  // namespace ardvel
