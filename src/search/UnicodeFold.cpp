#include "search/UnicodeFold.h"

#include <utf8proc.h>

#include <cstring>
#include <vector>

namespace ardvel {

namespace {

/// Code points of the text being folded: one buffer per thread, made large
/// enough at once for any usual name so that it seldom grows.
std::vector<utf8proc_int32_t>& CodeBuffer()
{
    thread_local std::vector<utf8proc_int32_t> codes(1024);
    return codes;
}

bool IsMark(utf8proc_int32_t c) noexcept
{
    const utf8proc_category_t category = utf8proc_category(c);
    return category == UTF8PROC_CATEGORY_MN || category == UTF8PROC_CATEGORY_MC || category == UTF8PROC_CATEGORY_ME;
}

/// The case fold of one character. Marks keep their case: the combining
/// ypogegrammeni would otherwise turn into a letter iota.
utf8proc_int32_t FoldCase(utf8proc_int32_t c) noexcept
{
    if (c < 0x80) return (c >= 'A' && c <= 'Z') ? c + 32 : c;
    if (IsMark(c)) return c;
    return utf8proc_tolower(utf8proc_toupper(c));
}

/// Length of the well-formed UTF-8 that starts at `s`, up to `n` bytes.
std::size_t ValidRun(const utf8proc_uint8_t* s, std::size_t n) noexcept
{
    std::size_t i = 0;
    while (i < n) {
        if (s[i] < 0x80) {
            ++i;
            continue;
        }
        utf8proc_int32_t c;
        const utf8proc_ssize_t length = utf8proc_iterate(s + i, static_cast<utf8proc_ssize_t>(n - i), &c);
        if (length <= 0) break;
        i += static_cast<std::size_t>(length);
    }
    return i;
}

/// Folds well-formed UTF-8: canonical decomposition (dropping marks when
/// ignoring accents), the case of each character, canonical composition.
/// Case is folded between the two so that a precomposed letter and its
/// decomposed form fold alike (the capital I with dot above among them).
void FoldRun(const utf8proc_uint8_t* s, std::size_t n, std::string& out, FoldOptions options)
{
    std::vector<utf8proc_int32_t>& codes = CodeBuffer();
    const auto flags = static_cast<utf8proc_option_t>(UTF8PROC_STABLE | UTF8PROC_DECOMPOSE |
                                                      (options.IgnoreAccents ? UTF8PROC_STRIPMARK : 0));
    const auto decompose = [&] {
        return utf8proc_decompose(s, static_cast<utf8proc_ssize_t>(n), codes.data(),
                                  static_cast<utf8proc_ssize_t>(codes.size()), flags);
    };
    utf8proc_ssize_t length = decompose();
    if (length > static_cast<utf8proc_ssize_t>(codes.size())) {
        codes.resize(static_cast<std::size_t>(length));
        length = decompose();
    }
    if (length < 0) {  // cannot happen for a checked run; keep the bytes
        out.append(reinterpret_cast<const char*>(s), n);
        return;
    }
    for (utf8proc_ssize_t i = 0; i < length; ++i) codes[i] = FoldCase(codes[i]);
    length = utf8proc_normalize_utf32(codes.data(), length,
                                      static_cast<utf8proc_option_t>(UTF8PROC_STABLE | UTF8PROC_COMPOSE));
    for (utf8proc_ssize_t i = 0; i < length; ++i) {
        utf8proc_uint8_t bytes[4];
        const utf8proc_ssize_t size = utf8proc_encode_char(codes[i], bytes);
        out.append(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(size));
    }
}

/// The code point at `pos`, or -1 for a byte that does not start UTF-8;
/// `length` receives its byte length (1 for such a byte).
utf8proc_int32_t CodeAt(std::string_view text, std::size_t pos, std::size_t& length) noexcept
{
    const auto* s = reinterpret_cast<const utf8proc_uint8_t*>(text.data());
    if (s[pos] < 0x80) {
        length = 1;
        return s[pos];
    }
    utf8proc_int32_t c;
    const utf8proc_ssize_t n = utf8proc_iterate(s + pos, static_cast<utf8proc_ssize_t>(text.size() - pos), &c);
    length = n > 0 ? static_cast<std::size_t>(n) : 1;
    return n > 0 ? c : -1;
}

}  // namespace

bool IsAsciiText(std::string_view text) noexcept
{
    const auto* s = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t n = text.size();
    std::size_t i = 0;
    std::uint64_t bits = 0;
    for (; i + 8 <= n; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, s + i, 8);
        bits |= word;
    }
    for (; i < n; ++i) bits |= s[i];
    return (bits & 0x8080808080808080ULL) == 0;
}

void FoldText(std::string_view text, std::string& out, FoldOptions options)
{
    out.clear();
    const auto* s = reinterpret_cast<const utf8proc_uint8_t*>(text.data());
    const std::size_t n = text.size();
    if (IsAsciiText(text)) {
        out.resize(n);
        for (std::size_t i = 0; i < n; ++i) out[i] = static_cast<char>(FoldCase(s[i]));
        return;
    }
    std::size_t i = 0;
    while (i < n) {
        const std::size_t run = ValidRun(s + i, n - i);
        if (run != 0) FoldRun(s + i, run, out, options);
        i += run;
        if (i < n) out.push_back(static_cast<char>(s[i++]));  // not UTF-8: kept
    }
}

std::string FoldText(std::string_view text, FoldOptions options)
{
    std::string out;
    FoldText(text, out, options);
    return out;
}

std::size_t ClusterLengthAt(std::string_view text, std::size_t pos) noexcept
{
    const std::size_t n = text.size();
    const auto first = static_cast<unsigned char>(text[pos]);
    if (first < 0x80 && (pos + 1 == n || static_cast<unsigned char>(text[pos + 1]) < 0x80))
        return first == '\r' && pos + 1 < n && text[pos + 1] == '\n' ? 2 : 1;
    std::size_t length;
    utf8proc_int32_t previous = CodeAt(text, pos, length);
    if (previous < 0) return 1;
    utf8proc_int32_t state = 0;
    std::size_t end = pos + length;
    while (end < n) {
        const utf8proc_int32_t next = CodeAt(text, end, length);
        if (next < 0 || utf8proc_grapheme_break_stateful(previous, next, &state)) break;
        previous = next;
        end += length;
    }
    return end - pos;
}

FoldSpecials::FoldSpecials(FoldOptions options)
{
    std::string utf8, folded, pair, together;
    for (utf8proc_int32_t c = 0x80; c <= 0x10FFFF; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF) continue;
        const utf8proc_property_t* property = utf8proc_get_property(c);
        if (property->category == UTF8PROC_CATEGORY_CN) continue;
        const bool mark = IsMark(c);
        // Only characters with a decomposition, a case mapping or a mark can
        // fold into or next to ASCII.
        if (!mark && property->decomp_seqindex == UINT16_MAX && FoldCase(c) == c) continue;
        utf8proc_uint8_t bytes[4];
        utf8.assign(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(utf8proc_encode_char(c, bytes)));
        FoldText(utf8, folded, options);
        // A character that vanishes joins the ASCII letters on either side.
        bool special = folded.empty();
        for (char b : folded) special |= static_cast<unsigned char>(b) < 0x80;
        // A mark that composes with an ASCII character before it (such marks
        // all have a combining class).
        const bool composes = mark && property->combining_class != 0;
        for (const char* a = "abcdefghijklmnopqrstuvwxyz<=>"; composes && !special && *a != '\0'; ++a) {
            pair.assign(1, *a).append(utf8);
            FoldText(pair, together, options);
            special = together.size() != folded.size() + 1 || together[0] != *a ||
                      together.compare(1, std::string::npos, folded) != 0;
        }
        if (special) seconds_[bytes[0]] |= std::uint64_t{1} << (bytes[1] & 63);
    }
    for (int lead = 0; lead < 256; ++lead)
        if (seconds_[lead] != 0) leads_.push_back(static_cast<char>(lead));
}

const FoldSpecials& FoldSpecials::For(FoldOptions options)
{
    if (options.IgnoreAccents) {
        static const FoldSpecials ignoring(options);
        return ignoring;
    }
    static const FoldSpecials keeping(options);
    return keeping;
}

bool FoldSpecials::In(std::string_view text) const noexcept
{
    const auto* s = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t n = text.size();
    for (std::size_t i = 0; i < n; ++i) {
        if (s[i] < 0x80 || seconds_[s[i]] == 0) continue;
        if (i + 1 == n || Might(s[i], s[i + 1])) return true;
    }
    return false;
}

}  // namespace ardvel
