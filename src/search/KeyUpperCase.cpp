// Upper-casing names for the duplicate keys as the locale does, and telling
// which names keep their ASCII bytes in place when upper-cased.
#include <algorithm>
#include <bit>
#include <memory>
#include <string>
#include <string_view>

#include "platform/TextEncoding.h"
#include "search/DuplicateKey.h"
#include "search/TextWords.h"

namespace ardvel {

using namespace words;

namespace {

constexpr char32_t kUnknown = 0xFFFFFFFFu;
constexpr std::size_t kPlaneSize = 0x10000;

}  // namespace

namespace {

/// Writes `cp` in UTF-8 at `o`; returns the byte after it.
inline unsigned char* PutUtf8(unsigned char* o, char32_t cp) noexcept
{
    if (cp < 0x80) {
        *o++ = static_cast<unsigned char>(cp);
    } else if (cp < 0x800) {
        *o++ = static_cast<unsigned char>(0xC0 | (cp >> 6));
        *o++ = static_cast<unsigned char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        *o++ = static_cast<unsigned char>(0xE0 | (cp >> 12));
        *o++ = static_cast<unsigned char>(0x80 | ((cp >> 6) & 0x3F));
        *o++ = static_cast<unsigned char>(0x80 | (cp & 0x3F));
    } else {
        *o++ = static_cast<unsigned char>(0xF0 | (cp >> 18));
        *o++ = static_cast<unsigned char>(0x80 | ((cp >> 12) & 0x3F));
        *o++ = static_cast<unsigned char>(0x80 | ((cp >> 6) & 0x3F));
        *o++ = static_cast<unsigned char>(0x80 | (cp & 0x3F));
    }
    return o;
}

}  // namespace

std::uint32_t KeyHasher::PackedUpper(char32_t cp)
{
    const char32_t upper = locale_->ToUpper(cp);
    if (upper >= kPlaneSize) return kNotPacked;
    unsigned char bytes[4] = {};
    const auto length = static_cast<std::uint32_t>(PutUtf8(bytes, upper) - bytes);
    std::uint32_t packed;
    std::memcpy(&packed, bytes, 4);  // the fourth byte is zero: three at most
    return (packed & 0xFFFFFFu) | (length << 24);
}

std::string_view KeyHasher::Upper(std::string_view text, std::string& out)
{
    // As Locale::ToUpper goes through a text; asking the locale for every
    // character of millions of names would take most of the time.
    if (!upper_) {
        upper_ = std::make_unique_for_overwrite<char32_t[]>(kPlaneSize);
        std::fill_n(upper_.get(), kPlaneSize, kUnknown);
        twoByteUpper_ = std::make_unique<std::uint32_t[]>(kTwoByteLimit);
    }
    // No character grows by more than half its bytes (two bytes to three at
    // most): written through a pointer, without a check at every byte.
    const std::size_t n = text.size();
    if (out.size() < n + n / 2 + 8) out.resize(n + n / 2 + 8);
    const auto* s = reinterpret_cast<const unsigned char*>(text.data());
    auto* o = reinterpret_cast<unsigned char*>(out.data());
    char32_t* const table = upper_.get();
    std::size_t i = 0;
    while (i < n) {
        if (i + 8 <= n) {  // eight ASCII bytes at once
            const std::uint64_t word = Load<std::uint64_t>(s + i);
            if ((word & kHighBits) == 0) {
                const std::uint64_t upper = UpperAscii(word);
                std::memcpy(o, &upper, 8);
                o += 8;
                i += 8;
                continue;
            }
        }
        const unsigned char c = s[i];
        if (c < 0x80) {
            *o++ = (c >= 'a' && c <= 'z') ? c - 32 : c;
            ++i;
            continue;
        }
        char32_t cp;
        if (c >= 0xC2 && c < 0xE0 && i + 1 < n && (s[i + 1] & 0xC0) == 0x80) {  // two bytes, the most common
            cp = static_cast<char32_t>(((c & 0x1F) << 6) | (s[i + 1] & 0x3F));
            i += 2;
            // Its upper case as UTF-8 bytes, with their count in the top byte:
            // copied at once (the buffer has room for a fourth byte).
            std::uint32_t& packed = twoByteUpper_[cp];
            if (packed == 0) packed = PackedUpper(cp);
            if (packed != kNotPacked) {
                std::memcpy(o, &packed, 4);
                o += packed >> 24;
                continue;
            }
        } else if (Utf8SequenceLength(text.substr(i)) == 0) {  // not UTF-8: kept
            *o++ = c;
            ++i;
            continue;
        } else {
            // Its own position: `i` itself stays out of memory.
            std::size_t at = i;
            cp = DecodeCharacter(text, at);
            i = at;
        }
        const char32_t upper = cp >= kPlaneSize        ? locale_->ToUpper(cp)
                               : table[cp] != kUnknown ? table[cp]
                                                       : (table[cp] = locale_->ToUpper(cp));
        o = PutUtf8(o, upper);
    }
    // The buffer keeps its size for the next text.
    return {out.data(), static_cast<std::size_t>(o - reinterpret_cast<unsigned char*>(out.data()))};
}

bool KeyHasher::UpperKeepsPlaces(std::string_view text)
{
    if (!keepsPlace_) keepsPlace_ = std::make_unique<std::uint8_t[]>(kPlaneSize);  // 0: not known yet
    const auto* s = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t n = text.size();
    // Only the bytes that start a sequence are looked at, found eight at a
    // time: a valid sequence holds no other one, and every other byte
    // beyond ASCII stays as it is, as Upper reads them.
    for (std::size_t base = 0; base < n; base += 8) {
        const std::uint64_t word = base + 8 <= n ? Load<std::uint64_t>(s + base) : LoadTail(s, base, n);
        for (std::uint64_t leads = word & (word << 1) & kHighBits; leads != 0; leads &= leads - 1) {
            const std::size_t i = base + static_cast<std::size_t>(std::countr_zero(leads)) / 8;
            std::uint8_t& changes = leadChanges_[s[i]];
            if (changes == kLeadNotKnown) changes = AllKeepPlace(s[i]) ? 0 : 1;
            if (changes != 0 && !KeepsPlace(text, i)) return false;
        }
    }
    return true;
}

bool KeyHasher::AllKeepPlace(unsigned char lead)
{
    if (lead >= 0xF0) return false;  // four bytes long: beyond the table
    const bool threeBytes = lead >= 0xE0;
    unsigned char bytes[3] = {lead, 0x80, 0x80};
    for (unsigned second = 0x80; second <= 0xBF; ++second) {
        bytes[1] = static_cast<unsigned char>(second);
        for (unsigned third = 0x80; third <= (threeBytes ? 0xBFu : 0x80u); ++third) {
            bytes[2] = static_cast<unsigned char>(third);
            if (!KeepsPlace({reinterpret_cast<const char*>(bytes), threeBytes ? 3u : 2u}, 0)) return false;
        }
    }
    return true;
}

bool KeyHasher::KeepsPlace(std::string_view text, std::size_t i)
{
    const auto* s = reinterpret_cast<const unsigned char*>(text.data());
    const unsigned char c = s[i];
    char32_t cp;
    if (c < 0xE0) {
        if (c < 0xC2 || i + 1 >= text.size() || (s[i + 1] & 0xC0) != 0x80) return true;  // kept as it is
        cp = static_cast<char32_t>(((c & 0x1F) << 6) | (s[i + 1] & 0x3F));
    } else {
        const std::size_t length = Utf8SequenceLength(text.substr(i));
        if (length == 0) return true;
        if (length == 4) return false;  // beyond the plane the table covers
        cp = static_cast<char32_t>(((c & 0x0F) << 12) | ((s[i + 1] & 0x3F) << 6) | (s[i + 2] & 0x3F));
    }
    std::uint8_t& known = keepsPlace_[cp];
    if (known == 0) {
        const char32_t upper = locale_->ToUpper(cp);
        unsigned char a[4], b[4];
        known = upper >= 0x80 && PutUtf8(a, upper) - a == PutUtf8(b, cp) - b ? 1 : 2;
    }
    return known == 1;
}

bool KeyHasher::EndsBeyondAscii(std::string_view text)
{
    // The character the text ends with, read as Upper reads it: a sequence
    // that does not end exactly there leaves its last byte as it is.
    const auto* s = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t n = text.size();
    std::size_t start = n - 1;
    while (start > 0 && n - start < 4 && (s[start] & 0xC0) == 0x80) --start;
    if (Utf8SequenceLength(text.substr(start)) != n - start) return true;
    std::size_t at = start;
    return UpperBeyondAscii(DecodeCharacter(text, at));
}

bool KeyHasher::UpperBeyondAscii(char32_t cp)
{
    if (cp >= kPlaneSize) return locale_->ToUpper(cp) >= 0x80;
    if (!upperBeyondAscii_) upperBeyondAscii_ = std::make_unique<std::uint8_t[]>(kPlaneSize);  // 0: not known yet
    std::uint8_t& known = upperBeyondAscii_[cp];
    if (known == 0) known = locale_->ToUpper(cp) >= 0x80 ? 1 : 2;
    return known == 1;
}

}  // namespace ardvel
