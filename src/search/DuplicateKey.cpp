#include "search/DuplicateKey.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "platform/TextEncoding.h"
#include "search/TextWords.h"

namespace ardvel {

using namespace words;

namespace {

/// The seeds of the two hashes of a key.
constexpr std::array<std::uint64_t, 2> kNameSeeds = {0x9E3779B97F4A7C15ULL, 0xD6E8FEB86659FD93ULL};
constexpr std::array<std::uint64_t, 2> kNoNameSeeds = {0x2545F4914F6CDD1DULL, 0x94D049BB133111EBULL};

__extension__ using Wide = unsigned __int128;

/// The multipliers of the two hashes of a key.
constexpr std::array<std::uint64_t, 2> kMultipliers = {0x87C37B91114253D5ULL, 0xA0761D6478BD642FULL};

/// Two words multiplied in full, the high half folded onto the low one.
inline std::uint64_t Multiply(std::uint64_t a, std::uint64_t b) noexcept
{
    const Wide product = static_cast<Wide>(a) * b;
    return static_cast<std::uint64_t>(product) ^ static_cast<std::uint64_t>(product >> 64);
}

/// One full multiply a word, its high half folded onto its low half: a
/// change anywhere in the word reaches every bit, so two changes in two
/// words cannot cancel out (as they can when only the low half is kept).
inline std::uint64_t Absorb(std::uint64_t h, std::uint64_t value, int which = 0) noexcept
{
    return Multiply(h ^ value, kMultipliers[which]);
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

/// Four words that hold every byte of a text of 8 to 32 bytes, some bytes
/// more than once: where they start depends on the length alone, so equal
/// texts give equal words, and no test of the length decides a branch
/// (names' lengths vary too much to be foretold).
struct Cover {
    std::uint64_t Words[4];
};
inline Cover CoverWords(const unsigned char* s, std::size_t n) noexcept
{
    const std::size_t second = std::min<std::size_t>(8, n - 8);
    const std::size_t third = std::max<std::size_t>(n, 16) - 16;
    return {{Load<std::uint64_t>(s), Load<std::uint64_t>(s + second), Load<std::uint64_t>(s + third),
             Load<std::uint64_t>(s + n - 8)}};
}

/// Keys that keep a word of text from being zero in Multiply.
constexpr std::array<std::uint64_t, 5> kWordKeys = {0xA0761D6478BD642FULL, 0xE7037ED1A0B428DBULL, 0x8EBC6AF09C88C6E3ULL,
                                                    0x589965CC75374CC3ULL, 0x1D8E4E27C47D124FULL};

/// The quick hash of a name alone of 8 to 32 bytes from its cover words:
/// their ASCII letters upper-cased and, with `asciiPart`, their other
/// bytes made zero. Three multiplies, two of them side by side.
inline std::uint64_t QuickCoverHash(Cover c, std::size_t n, bool asciiPart) noexcept
{
#if defined(__SSE2__)
    // Two words a register: the bytes are changed as UpperAscii and
    // AsciiOnly change them, in half the steps.
    __m128i front = _mm_set_epi64x(static_cast<long long>(c.Words[1]), static_cast<long long>(c.Words[0]));
    __m128i back = _mm_set_epi64x(static_cast<long long>(c.Words[3]), static_cast<long long>(c.Words[2]));
    const auto upper = [asciiPart](__m128i x) {
        const __m128i beyond = _mm_cmplt_epi8(x, _mm_setzero_si128());
        if (asciiPart) x = _mm_andnot_si128(beyond, x);
        const __m128i lower = _mm_andnot_si128(beyond, _mm_and_si128(_mm_cmpgt_epi8(x, _mm_set1_epi8('a' - 1)),
                                                                     _mm_cmplt_epi8(x, _mm_set1_epi8('z' + 1))));
        return _mm_xor_si128(x, _mm_and_si128(lower, _mm_set1_epi8(0x20)));
    };
    front = _mm_xor_si128(upper(front),
                          _mm_set_epi64x(static_cast<long long>(kWordKeys[1]), static_cast<long long>(kWordKeys[0])));
    back = _mm_xor_si128(upper(back),
                         _mm_set_epi64x(static_cast<long long>(kWordKeys[3]), static_cast<long long>(kWordKeys[2])));
    const auto low = [](__m128i x) { return static_cast<std::uint64_t>(_mm_cvtsi128_si64(x)); };
    const auto high = [&](__m128i x) { return low(_mm_unpackhi_epi64(x, x)); };
    const std::uint64_t f = Multiply(low(front), high(front));
    const std::uint64_t b = Multiply(low(back), high(back));
    return Multiply(f ^ n, b ^ kWordKeys[4]);
#else
    for (std::uint64_t& word : c.Words) word = UpperAscii(asciiPart ? AsciiOnly(word) : word);
    const std::uint64_t front = Multiply(c.Words[0] ^ kWordKeys[0], c.Words[1] ^ kWordKeys[1]);
    const std::uint64_t back = Multiply(c.Words[2] ^ kWordKeys[2], c.Words[3] ^ kWordKeys[3]);
    return Multiply(front ^ n, back ^ kWordKeys[4]);
#endif
}

/// The quick hash of a name alone: all of its bytes, with their ASCII
/// letters upper-cased and, with `AsciiPart`, their other bytes made zero
/// (of an ASCII text, both the same). A name of 8 to 32 bytes takes three
/// multiplies, two of them side by side.
template <bool AsciiPart>
inline std::uint64_t QuickNameWords(std::string_view text) noexcept
{
    const auto* s = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t n = text.size();
    const auto part = [](std::uint64_t word) { return UpperAscii(AsciiPart ? AsciiOnly(word) : word); };
    if (n >= 8 && n <= 32) [[likely]]
        return QuickCoverHash(CoverWords(s, n), n, AsciiPart);
    std::uint64_t h = Absorb(kNameSeeds[0], n);
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) h = Absorb(h, part(Load<std::uint64_t>(s + i)));
    if (i < n) h = Absorb(h, part(LoadTail(s, i, n)));
    return Finish(h);
}

/// Whether every byte of `text` is ASCII.
inline bool AllAscii(std::string_view text) noexcept
{
    const auto* s = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t n = text.size();
    if (n >= 8 && n <= 32) [[likely]] {
        const Cover c = CoverWords(s, n);
        return ((c.Words[0] | c.Words[1] | c.Words[2] | c.Words[3]) & kHighBits) == 0;
    }
    std::uint64_t seen = 0;
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) seen |= Load<std::uint64_t>(s + i);
    if (i < n) seen |= LoadTail(s, i, n);
    return (seen & kHighBits) == 0;
}

constexpr Wide kHighBits128 = (static_cast<Wide>(kHighBits) << 64) | kHighBits;

/// The last sixteen bytes of a text of `n` bytes at `s`, in the top bytes
/// of the value when it is shorter (the rest zero). Whole loads only.
inline Wide LastSixteen(const unsigned char* s, std::size_t n) noexcept
{
    if (n >= 16) {
        Wide x;
        std::memcpy(&x, s + n - 16, 16);
        return x;
    }
    if (n == 0) return 0;
    const std::uint64_t low = LoadTail(s, 0, std::min<std::size_t>(n, 8));
    const std::uint64_t high = n > 8 ? LoadTail(s, 8, n) : 0;
    return ((static_cast<Wide>(high) << 64) | low) << (8 * (16 - n));
}

/// The hash of the last up to sixteen bytes that a text's ASCII bytes
/// end with (`end`, as LastSixteen gives them, the bytes before them
/// zero), with their letters upper-cased; `mark` tells the texts whose
/// last sixteen bytes are not all ASCII.
inline std::uint64_t EndHash(Wide end, std::size_t count, bool mark) noexcept
{
    std::uint64_t low = static_cast<std::uint64_t>(end), high = static_cast<std::uint64_t>(end >> 64);
#if defined(__SSE2__)
    __m128i x = _mm_set_epi64x(static_cast<long long>(high), static_cast<long long>(low));
    const __m128i lower =
        _mm_and_si128(_mm_cmpgt_epi8(x, _mm_set1_epi8('a' - 1)), _mm_cmplt_epi8(x, _mm_set1_epi8('z' + 1)));
    x = _mm_xor_si128(x, _mm_and_si128(lower, _mm_set1_epi8(0x20)));
    low = static_cast<std::uint64_t>(_mm_cvtsi128_si64(x));
    high = static_cast<std::uint64_t>(_mm_cvtsi128_si64(_mm_unpackhi_epi64(x, x)));
#else
    low = UpperAscii(low);
    high = UpperAscii(high);
#endif
    // Words of ASCII bytes: neither key can make one of them zero.
    return Multiply(low ^ kWordKeys[0], high ^ kWordKeys[1]) ^ (count + (mark ? 32 : 0));
}

/// The date's bits, the same for both zeros.
inline std::uint64_t DateBits(TDateTime date) noexcept
{
    return date == 0 ? 0 : std::bit_cast<std::uint64_t>(date);
}

/// Adds to `groups` the hash that hash(k, h) gives each of `count` records
/// (numbered from `firstNumber`) it takes. The hashes of a batch are made
/// first, then added: made between the adds, they would wait for them.
template <typename HashOf>
void AddInBatches(std::uint32_t count, std::uint32_t firstNumber, HashGroups& groups, HashOf&& hashOf)
{
    constexpr std::uint32_t kBatch = 128;
    std::uint64_t hashes[kBatch];
    std::uint32_t numbers[kBatch];
    for (std::uint32_t from = 0; from < count; from += kBatch) {
        const std::uint32_t to = std::min(count, from + kBatch);
        std::uint32_t made = 0;
        for (std::uint32_t k = from; k < to; ++k) {
            numbers[made] = firstNumber + k;
            made += hashOf(k, hashes[made]) ? 1 : 0;
        }
        for (std::uint32_t i = 0; i < made; ++i) groups.Add(hashes[i], numbers[i]);
    }
}

constexpr std::array<std::string_view, 4> kKeyTexts = {"name+size", "name+size+date", "size+date", "name"};

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
        h = QuickNameEnd(store.Name(file), false);
    }
    if constexpr (HasSize) h = Absorb(h, static_cast<std::uint32_t>(file.SizeKB));
    if constexpr (HasDate) h = Absorb(h, DateBits(file.Date));
    return h;
}

std::uint64_t KeyHasher::QuickNameEnd(std::string_view name, bool upperCased)
{
    // As in NameHash, a name beyond ASCII counts as the locale upper-cases
    // it. The ASCII bytes a name ends with (sixteen at most) stay where
    // they are when it is upper-cased, unless the character before them
    // becomes ASCII: the upper-cased name tells them then.
    const auto* s = reinterpret_cast<const unsigned char*>(name.data());
    const std::size_t n = name.size();
    Wide end = LastSixteen(s, n);
    const Wide beyond = end & kHighBits128;
    if (beyond == 0) [[likely]]
        return EndHash(end, std::min<std::size_t>(n, 16), false);
    const auto highBits = static_cast<std::uint64_t>(beyond >> 64);
    const unsigned last =  // the byte of `end` that the last byte beyond ASCII is
        highBits != 0 ? 15 - static_cast<unsigned>(std::countl_zero(highBits)) / 8
                      : 7 - static_cast<unsigned>(std::countl_zero(static_cast<std::uint64_t>(beyond))) / 8;
    if (!upperCased && !EndsBeyondAscii(name.substr(0, n + last + 1 - 16)))
        return QuickNameEnd(Upper(name, scratchA_), true);
    end = last == 15 ? 0 : (end >> (8 * (last + 1))) << (8 * (last + 1));
    return EndHash(end, 15 - last, true);
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

inline std::uint64_t KeyHasher::QuickName(const VolumeStore& store, const TDetails& file)
{
    // A name alone needs all of its bytes: its end would tell too few
    // names apart without a size beside it. Beyond ASCII, only the ASCII
    // bytes and where they stand count: upper-casing keeps them unless a
    // character changes its length or becomes ASCII.
    const std::string_view name = store.Name(file);
    const std::size_t n = name.size();
    if (n < 8 || n > 32) [[unlikely]]
        return QuickNameOfOtherLength(name);
    const Cover c = CoverWords(reinterpret_cast<const unsigned char*>(name.data()), n);
    const std::uint64_t hash = QuickCoverHash(c, n, true);
    return ((c.Words[0] | c.Words[1] | c.Words[2] | c.Words[3]) & kHighBits) == 0 ? hash
                                                                                  : QuickNameBeyondAscii(name, hash);
}

std::uint64_t KeyHasher::QuickNameBeyondAscii(std::string_view name, std::uint64_t asciiHash)
{
    // All thirty-two bytes of the cover words are looked up, as many for
    // every name: a loop as long as the name would end unforeseeably.
    const Cover c = CoverWords(reinterpret_cast<const unsigned char*>(name.data()), name.size());
    unsigned changes = 0;
    for (const std::uint64_t word : c.Words)
        for (unsigned shift = 0; shift < 64; shift += 8) changes |= leadChanges_[(word >> shift) & 0xFF];
    if (changes == 0 || UpperKeepsPlaces(name)) return asciiHash;
    return QuickNameWords<true>(Upper(name, scratchA_));
}

std::uint64_t KeyHasher::QuickNameOfOtherLength(std::string_view name)
{
    return AllAscii(name) ? QuickNameWords<false>(name)
                          : QuickNameWords<true>(UpperKeepsPlaces(name) ? name : Upper(name, scratchA_));
}

template <bool HasName, bool HasSize, bool HasDate>
void KeyHasher::AddQuick(const VolumeStore& store, const TDetails* records, std::uint32_t count,
                         std::uint32_t firstNumber, std::int64_t minSizeKB, HashGroups& groups)
{
    AddInBatches(count, firstNumber, groups, [&](std::uint32_t k, std::uint64_t& hash) {
        const TDetails& d = records[k];
        if (d.SizeKB < minSizeKB) return false;
        hash = Quick<HasName, HasSize, HasDate>(store, d);
        return true;
    });
}

void KeyHasher::AddQuickNames(const VolumeStore& store, const TDetails* records, std::uint32_t count,
                              std::uint32_t firstNumber, std::int64_t minSizeKB, HashGroups& groups)
{
    // As QuickName, but a name of 8 to 32 bytes is hashed from its ASCII
    // bytes without a test of whether it has others (which names have is
    // not foreseeable); those names are seen to afterwards, a batch at a
    // time.
    constexpr std::uint32_t kBatch = 128;
    std::uint64_t hashes[kBatch];
    std::uint32_t numbers[kBatch], beyond[kBatch];
    for (std::uint32_t from = 0; from < count; from += kBatch) {
        const std::uint32_t to = std::min(count, from + kBatch);
        std::uint32_t made = 0, beyondCount = 0;
        for (std::uint32_t k = from; k < to; ++k) {
            const TDetails& d = records[k];
            const std::string_view name = store.Name(d);
            const std::size_t n = name.size();
            numbers[made] = firstNumber + k;
            std::uint64_t seen = 0;
            if (n >= 8 && n <= 32) [[likely]] {
                const Cover c = CoverWords(reinterpret_cast<const unsigned char*>(name.data()), n);
                seen = c.Words[0] | c.Words[1] | c.Words[2] | c.Words[3];
                hashes[made] = QuickCoverHash(c, n, true);
            } else {
                hashes[made] = QuickNameOfOtherLength(name);
            }
            const bool taken = d.SizeKB >= minSizeKB;
            beyond[beyondCount] = made;
            beyondCount += taken && (seen & kHighBits) != 0 ? 1 : 0;
            made += taken ? 1 : 0;
        }
        for (std::uint32_t b = 0; b < beyondCount; ++b) {
            const std::uint32_t slot = beyond[b];
            hashes[slot] = QuickNameBeyondAscii(store.Name(records[numbers[slot] - firstNumber]), hashes[slot]);
        }
        for (std::uint32_t i = 0; i < made; ++i) groups.Add(hashes[i], numbers[i]);
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
    } else if (AllAscii(a) && AllAscii(b)) {
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
