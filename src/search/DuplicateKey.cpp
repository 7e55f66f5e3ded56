#include "search/DuplicateKey.h"

#include <array>
#include <bit>
#include <cstring>

#include "platform/TextEncoding.h"

namespace ardvel {

namespace {

constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;

/// The ASCII letters a..z of eight bytes upper-cased, every other byte kept:
/// what Locale::ToUpper does to the ASCII characters of a text.
inline std::uint64_t UpperAscii(std::uint64_t word) noexcept
{
    const std::uint64_t low = word & ~kHighBits;              // no carry can cross a byte
    const std::uint64_t fromA = low + 0x1F1F1F1F1F1F1F1FULL;  // high bit: >= 'a'
    const std::uint64_t pastZ = low + 0x0505050505050505ULL;  // high bit: > 'z'
    const std::uint64_t lower = fromA & ~pastZ & ~word & kHighBits;
    return word ^ (lower >> 2);
}

/// The seeds of the two hashes of a key.
constexpr std::array<std::uint64_t, 2> kNameSeeds = {0x9E3779B97F4A7C15ULL, 0xD6E8FEB86659FD93ULL};
constexpr std::array<std::uint64_t, 2> kNoNameSeeds = {0x2545F4914F6CDD1DULL, 0x94D049BB133111EBULL};

__extension__ using Wide = unsigned __int128;

/// The multipliers of the two hashes of a key.
constexpr std::array<std::uint64_t, 2> kMultipliers = {0x87C37B91114253D5ULL, 0xA0761D6478BD642FULL};

/// One full multiply a word, its high half folded onto its low half: a
/// change anywhere in the word reaches every bit, so two changes in two
/// words cannot cancel out (as they can when only the low half is kept).
inline std::uint64_t Absorb(std::uint64_t h, std::uint64_t value, int which = 0) noexcept
{
    const Wide product = static_cast<Wide>(h ^ value) * kMultipliers[which];
    return static_cast<std::uint64_t>(product) ^ static_cast<std::uint64_t>(product >> 64);
}

/// Spreads every input bit over the whole hash: the grouping sorts by its
/// highest bits.
inline std::uint64_t Finish(std::uint64_t h) noexcept
{
    h ^= h >> 33;
    h *= 0xFF51AFD7ED558CCDULL;
    h ^= h >> 33;
    h *= 0xC4CEB9FE1A85EC53ULL;
    return h ^ (h >> 33);
}

template <typename T>
inline std::uint64_t Load(const unsigned char* s) noexcept
{
    T value;
    std::memcpy(&value, s, sizeof value);
    return value;
}

/// Bytes i .. n-1 of the `n` at `s` (1 to 8 of them) as one word, the
/// first in the lowest byte, the rest zero. Whole loads only: a copy of so
/// few bytes would cost more than the hashing.
inline std::uint64_t LoadTail(const unsigned char* s, std::size_t i, std::size_t n) noexcept
{
    const std::size_t r = n - i;
    if (n >= 8) return Load<std::uint64_t>(s + n - 8) >> (8 * (8 - r));
    const unsigned char* t = s + i;
    if (r >= 4) return Load<std::uint32_t>(t) | (Load<std::uint32_t>(t + r - 4) << (8 * (r - 4)));
    if (r >= 2) return Load<std::uint16_t>(t) | (Load<std::uint16_t>(t + r - 2) << (8 * (r - 2)));
    return t[0];
}

/// The hash of `text` with its ASCII letters upper-cased, eight bytes at a
/// time, as hash `which` of a key. False when the text holds a byte beyond ASCII: then the hash is not
/// the one of the upper-cased text.
inline bool HashUpperAscii(std::string_view text, int which, std::uint64_t& hash) noexcept
{
    const auto* s = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t n = text.size();
    std::uint64_t h = Absorb(kNameSeeds[which], n, which);
    std::uint64_t seen = 0;
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        const std::uint64_t word = Load<std::uint64_t>(s + i);
        seen |= word;
        h = Absorb(h, UpperAscii(word), which);
    }
    if (i < n) {
        const std::uint64_t word = LoadTail(s, i, n);
        seen |= word;
        h = Absorb(h, UpperAscii(word), which);
    }
    hash = h;
    return (seen & kHighBits) == 0;
}

/// The bytes of `word` beyond ASCII made zero.
inline std::uint64_t AsciiOnly(std::uint64_t word) noexcept
{
    return word & ~(((word & kHighBits) >> 7) * 0xFF);
}

/// The hash of `text` with its ASCII letters upper-cased and its other bytes
/// made zero: for an ASCII text, what HashUpperAscii gives as hash 0.
inline std::uint64_t HashAsciiPart(std::string_view text) noexcept
{
    const auto* s = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t n = text.size();
    std::uint64_t h = Absorb(kNameSeeds[0], n);
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) h = Absorb(h, UpperAscii(AsciiOnly(Load<std::uint64_t>(s + i))));
    if (i < n) h = Absorb(h, UpperAscii(AsciiOnly(LoadTail(s, i, n))));
    return h;
}

/// The first and last eight bytes of `text` (all of a text of up to
/// sixteen bytes; a shorter one's first bytes, the rest zero).
struct Ends {
    std::uint64_t First = 0, Last = 0;
};
inline Ends EndWords(std::string_view text) noexcept
{
    const auto* s = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t n = text.size();
    if (n >= 8) return {Load<std::uint64_t>(s), Load<std::uint64_t>(s + n - 8)};
    return {n > 0 ? LoadTail(s, 0, n) : 0, 0};
}

/// The quick hash's part of `text`: its length and its first and last
/// eight bytes with their ASCII letters upper-cased and their other bytes
/// made zero.
inline std::uint64_t QuickAsciiPart(std::string_view text) noexcept
{
    const Ends ends = EndWords(text);
    return Absorb(Absorb(kNameSeeds[0] ^ text.size(), UpperAscii(AsciiOnly(ends.First))),
                  UpperAscii(AsciiOnly(ends.Last)));
}

/// QuickAsciiPart of a text of ASCII only. False when the text holds a
/// byte beyond ASCII.
inline bool QuickUpperAscii(std::string_view text, std::uint64_t& hash) noexcept
{
    const auto* s = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t n = text.size();
    const auto [first, last] = EndWords(text);
    // Every byte is looked at for the test, and no more is hashed.
    std::uint64_t seen = first | last;
    for (std::size_t i = 8; i + 8 < n; i += 8) seen |= Load<std::uint64_t>(s + i);
    hash = Absorb(Absorb(kNameSeeds[0] ^ n, UpperAscii(first)), UpperAscii(last));
    return (seen & kHighBits) == 0;
}

bool IsAscii(std::string_view text) noexcept
{
    std::uint64_t ignored;
    return HashUpperAscii(text, 0, ignored);
}

/// The date's bits, the same for both zeros.
inline std::uint64_t DateBits(TDateTime date) noexcept
{
    return date == 0 ? 0 : std::bit_cast<std::uint64_t>(date);
}

constexpr char32_t kUnknown = 0xFFFFFFFFu;
constexpr std::size_t kPlaneSize = 0x10000;

constexpr std::array<std::string_view, 4> kKeyTexts = {"name+size", "name+size+date", "size+date", "name"};

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

std::string_view DuplicateKeyText(DuplicateKey key) noexcept
{
    return kKeyTexts[static_cast<std::size_t>(key)];
}

std::optional<DuplicateKey> ParseDuplicateKey(std::string_view text) noexcept
{
    for (std::size_t i = 0; i < kKeyTexts.size(); ++i)
        if (kKeyTexts[i] == text) return static_cast<DuplicateKey>(i);
    return std::nullopt;
}

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
    std::size_t i = 0;
    while (i < n) {
        if (i + 8 <= n && (Load<std::uint64_t>(s + i) & kHighBits) == 0) {
            i += 8;
            continue;
        }
        const unsigned char c = s[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        // Read as Upper reads it: a byte that starts no UTF-8 stays as it is.
        std::size_t next = i;
        char32_t cp;
        if (c >= 0xC2 && c < 0xE0 && i + 1 < n && (s[i + 1] & 0xC0) == 0x80) {
            cp = static_cast<char32_t>(((c & 0x1F) << 6) | (s[i + 1] & 0x3F));
            next = i + 2;
        } else if (Utf8SequenceLength(text.substr(i)) == 0) {
            ++i;
            continue;
        } else {
            cp = DecodeCharacter(text, next);
        }
        if (cp >= kPlaneSize) return false;
        std::uint8_t& known = keepsPlace_[cp];
        if (known == 0) {
            const char32_t upper = locale_->ToUpper(cp);
            unsigned char a[4], b[4];
            known = upper >= 0x80 && PutUtf8(a, upper) - a == PutUtf8(b, cp) - b ? 1 : 2;
        }
        if (known != 1) return false;
        i = next;
    }
    return true;
}

std::uint64_t KeyHasher::NameHash(std::string_view name, int which)
{
    std::uint64_t h;
    if (HashUpperAscii(name, which, h)) return h;
    // Upper-cased as the locale does it; its ASCII letters come out as the
    // fast path makes them, so both ways give one hash for one text.
    HashUpperAscii(Upper(name, scratchA_), which, h);
    return h;
}

std::uint64_t KeyHasher::Hash(const VolumeStore& store, const TDetails& file, int which)
{
    std::uint64_t h = KeyHasName(key_) ? NameHash(store.Name(file), which) : kNoNameSeeds[which];
    if (KeyHasSize(key_)) h = Absorb(h, static_cast<std::uint32_t>(file.SizeKB), which);
    if (KeyHasDate(key_)) h = Absorb(h, DateBits(file.Date), which);
    return Finish(h);
}

template <bool HasName, bool HasSize, bool HasDate>
inline std::uint64_t KeyHasher::Quick(const VolumeStore& store, const TDetails& file)
{
    std::uint64_t h = kNoNameSeeds[0];
    if constexpr (HasName) {
        const std::string_view name = store.Name(file);
        // As in NameHash: a name beyond ASCII counts as the locale upper-cases
        // it. Only its ASCII bytes and its length count, and upper-casing
        // keeps where they are unless a character changes its length or
        // becomes ASCII: the name itself tells them then.
        if (!QuickUpperAscii(name, h)) [[unlikely]]
            h = QuickAsciiPart(UpperKeepsPlaces(name) ? name : Upper(name, scratchA_));
    }
    if constexpr (HasSize) h = Absorb(h, static_cast<std::uint32_t>(file.SizeKB));
    if constexpr (HasDate) h = Absorb(h, DateBits(file.Date));
    return h;
}

std::uint64_t KeyHasher::QuickHash(const VolumeStore& store, const TDetails& file)
{
    switch (key_) {
        case DuplicateKey::NameSize:
            return Quick<true, true, false>(store, file);
        case DuplicateKey::NameSizeDate:
            return Quick<true, true, true>(store, file);
        case DuplicateKey::SizeDate:
            return Quick<false, true, true>(store, file);
        case DuplicateKey::Name:
            break;
    }
    return QuickName(store, file);
}

std::uint64_t KeyHasher::QuickName(const VolumeStore& store, const TDetails& file)
{
    // A name alone needs all of its bytes: first and last ones would tell
    // too few names apart without a size beside them. Beyond ASCII, as in
    // Quick: only the ASCII bytes and where they stand count.
    const std::string_view name = store.Name(file);
    std::uint64_t h;
    if (!HashUpperAscii(name, 0, h)) [[unlikely]]
        h = HashAsciiPart(UpperKeepsPlaces(name) ? name : Upper(name, scratchA_));
    return Finish(h);
}

template <bool HasName, bool HasSize, bool HasDate>
void KeyHasher::AddQuick(const VolumeStore& store, const TDetails* records, std::uint32_t count,
                         std::uint32_t firstNumber, std::int64_t minSizeKB, HashGroups& groups)
{
    for (std::uint32_t k = 0; k < count; ++k) {
        const TDetails& d = records[k];
        if (d.SizeKB >= minSizeKB) groups.Add(Quick<HasName, HasSize, HasDate>(store, d), firstNumber + k);
    }
}

void KeyHasher::AddQuickNames(const VolumeStore& store, const TDetails* records, std::uint32_t count,
                              std::uint32_t firstNumber, std::int64_t minSizeKB, HashGroups& groups)
{
    for (std::uint32_t k = 0; k < count; ++k) {
        const TDetails& d = records[k];
        if (d.SizeKB >= minSizeKB) groups.Add(QuickName(store, d), firstNumber + k);
    }
}

void KeyHasher::AddQuickHashes(const VolumeStore& store, const TDetails* records, std::uint32_t count,
                               std::uint32_t firstNumber, std::int64_t minSizeKB, HashGroups& groups)
{
    switch (key_) {
        case DuplicateKey::NameSize:
            return AddQuick<true, true, false>(store, records, count, firstNumber, minSizeKB, groups);
        case DuplicateKey::NameSizeDate:
            return AddQuick<true, true, true>(store, records, count, firstNumber, minSizeKB, groups);
        case DuplicateKey::SizeDate:
            return AddQuick<false, true, true>(store, records, count, firstNumber, minSizeKB, groups);
        case DuplicateKey::Name:
            break;
    }
    AddQuickNames(store, records, count, firstNumber, minSizeKB, groups);
}

std::uint64_t KeyHasher::FolderHash(std::string_view name, std::int64_t totalKB, std::uint64_t fileCount)
{
    return Finish(Absorb(Absorb(NameHash(name), static_cast<std::uint64_t>(totalKB)), fileCount));
}

bool KeyHasher::SameName(std::string_view a, std::string_view b)
{
    if (a.size() == b.size()) {
        const auto* s = reinterpret_cast<const unsigned char*>(a.data());
        const auto* t = reinterpret_cast<const unsigned char*>(b.data());
        std::uint64_t seen = 0;
        for (std::size_t i = 0; i < a.size(); i += 8) {
            const bool whole = i + 8 <= a.size();
            const std::uint64_t x = whole ? Load<std::uint64_t>(s + i) : LoadTail(s, i, a.size());
            const std::uint64_t y = whole ? Load<std::uint64_t>(t + i) : LoadTail(t, i, b.size());
            seen |= x | y;
            // While both are ASCII so far, a difference stays one after
            // upper-casing; past another character, lengths may change.
            if (UpperAscii(x) != UpperAscii(y)) {
                if ((seen & kHighBits) == 0) return false;
                break;
            }
            if (i + 8 >= a.size()) return true;  // the same but for ASCII case
        }
        if (a.empty()) return true;
    } else if (IsAscii(a) && IsAscii(b)) {
        return false;
    }
    return Upper(a, scratchA_) == Upper(b, scratchB_);
}

bool KeyHasher::Equal(const VolumeStore& storeA, const TDetails& a, const VolumeStore& storeB, const TDetails& b)
{
    if (KeyHasSize(key_) && a.SizeKB != b.SizeKB) return false;
    if (KeyHasDate(key_) && DateBits(a.Date) != DateBits(b.Date)) return false;
    return !KeyHasName(key_) || SameName(storeA.Name(a), storeB.Name(b));
}

}  // namespace ardvel
