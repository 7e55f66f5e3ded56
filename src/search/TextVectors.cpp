#include "search/TextVectors.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <immintrin.h>
#endif

namespace ardvel {

namespace {

/// See LimitTextVectors.
std::atomic<int> gVectorLimit{512};

// ------------------------------------------------------------ plain C++

bool FindAsciiFoldedPlain(std::string_view text, std::string_view upper) noexcept
{
    const std::size_t m = upper.size();
    if (m > text.size()) return false;
    const auto* s = reinterpret_cast<const unsigned char*>(text.data());
    const auto* u = reinterpret_cast<const unsigned char*>(upper.data());
    for (std::size_t p = 0; p + m <= text.size(); ++p) {
        std::size_t k = 0;
        while (k < m && kAsciiUpper[s[p + k]] == u[k]) ++k;
        if (k == m) return true;
    }
    return false;
}

std::size_t NextHighBytePlain(const unsigned char* s, std::size_t from, std::size_t size) noexcept
{
    std::size_t i = from;
    for (; i + 8 <= size; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, s + i, 8);
        const std::uint64_t high = word & 0x8080808080808080ULL;
        if (high != 0) {
            // The lowest set bit is the first byte in memory on little-endian
            // machines only; elsewhere the bytes are looked at one by one.
            if constexpr (std::endian::native == std::endian::little)
                return i + (static_cast<std::size_t>(std::countr_zero(high)) >> 3);
            break;
        }
    }
    for (; i < size; ++i)
        if (s[i] >= 0x80) return i;
    return size;
}

bool WholeAtPlain(const PartPattern&, std::string_view upper, const unsigned char* s, std::size_t size,
                  std::size_t p) noexcept
{
    const std::size_t m = upper.size();
    if (p + m > size) return false;
    for (std::size_t t = 0; t < m; ++t)
        if (kAsciiUpper[s[p + t]] != static_cast<unsigned char>(upper[t])) return false;
    return true;
}

constexpr TextVectorTable kPlain{"plain", &FindAsciiFoldedPlain, &NextHighBytePlain, nullptr, &WholeAtPlain, nullptr,
                                 nullptr};

#if defined(__SSE2__)

// ------------------------------------------------------------ SSE2

__m128i Splat16(const unsigned char* bytes) noexcept
{
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes));
}

/// Bit p set when byte p of `block`, ORed with `bit`, equals `wanted`.
unsigned Fits16(__m128i block, __m128i bit, __m128i wanted) noexcept
{
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_or_si128(block, bit), wanted)));
}

bool FindAsciiFoldedSse2(std::string_view text, std::string_view upper) noexcept
{
    const std::size_t m = upper.size();
    const std::size_t n = text.size();
    if (m > n) return false;
    if (n < 16) return FindAsciiFoldedPlain(text, upper);
    const auto* s = reinterpret_cast<const unsigned char*>(text.data());
    const auto* u = reinterpret_cast<const unsigned char*>(upper.data());
    const std::size_t last = n - m;  // the last place the part can start at
    // Sixteen places at a time: the bytes equal to the first character in
    // either case are found by a vector compare, then checked whole. The
    // last block is read ending at the text's end, its places already seen
    // dropped.
    const unsigned char first = u[0];
    const bool letter = first >= 'A' && first <= 'Z';
    const __m128i caseBit = _mm_set1_epi8(letter ? 0x20 : 0);
    const __m128i wanted = _mm_set1_epi8(static_cast<char>(letter ? first | 0x20 : first));
    for (std::size_t i = 0; i <= last; i += 16) {
        std::size_t at = i;
        unsigned keep = 0xFFFFu;
        if (at + 16 > n) {
            at = n - 16;
            keep = (0xFFFFu << (i - at)) & 0xFFFFu;
        }
        unsigned places = Fits16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(s + at)), caseBit, wanted) & keep;
        for (; places != 0; places &= places - 1) {
            const std::size_t p = at + static_cast<std::size_t>(std::countr_zero(places));
            if (p > last) return false;
            std::size_t k = 1;
            while (k < m && kAsciiUpper[s[p + k]] == u[k]) ++k;
            if (k == m) return true;
        }
    }
    return false;
}

std::size_t NextHighByteSse2(const unsigned char* s, std::size_t from, std::size_t size) noexcept
{
    std::size_t i = from;
    for (; i + 16 <= size; i += 16) {
        const auto high =
            static_cast<unsigned>(_mm_movemask_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i))));
        if (high != 0) return i + static_cast<std::size_t>(std::countr_zero(high));
    }
    return NextHighBytePlain(s, i, size);
}

/// A text of 8 to 32 bytes as two blocks: for 16 bytes and more, bytes 0..15
/// and n-16..n-1; for fewer, bytes 0..7 and n-8..n-1 (the upper halves
/// empty). Places are found by comparing whole blocks.
struct TextBlocks {
    __m128i First, Second;
    unsigned Keep;      ///< the movemask bits that stand for bytes
    std::size_t Shift;  ///< position of the second block's first byte

    TextBlocks(const unsigned char* s, std::size_t n) noexcept
    {
        if (n >= 16) {
            First = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
            Second = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + n - 16));
            Keep = 0xFFFFu;
            Shift = n - 16;
        } else {
            First = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(s));
            Second = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(s + n - 8));
            Keep = 0xFFu;
            Shift = n - 8;
        }
    }

    bool AnyHigh() const noexcept { return ((_mm_movemask_epi8(First) | _mm_movemask_epi8(Second)) & Keep) != 0; }

    /// Bit p set when byte p, ORed with `caseBit`, equals `wanted`.
    std::uint64_t Places(const unsigned char* caseBit, const unsigned char* wanted) const noexcept
    {
        const __m128i bit = Splat16(caseBit);
        const __m128i w = Splat16(wanted);
        const std::uint64_t a = Fits16(First, bit, w) & Keep;
        const std::uint64_t b = Fits16(Second, bit, w) & Keep;
        return a | (b << Shift);
    }
};

/// Without loops whose length depends on the text: the places where the
/// part's first and last characters both fit are found at once, then
/// checked.
ShortFind FindInShortSse2(const PartPattern& part, std::string_view upper, std::string_view text) noexcept
{
    const auto* s = reinterpret_cast<const unsigned char*>(text.data());
    const auto* u = reinterpret_cast<const unsigned char*>(upper.data());
    const std::size_t n = text.size();
    const std::size_t m = upper.size();
    const TextBlocks blocks(s, n);
    // A special character's lead byte alone does not tell whether it is
    // one: the caller looks at such texts closely.
    if (part.SpecialLeads != 0 && blocks.AnyHigh()) return ShortFind::Slow;
    // Bytes beyond ASCII match no ASCII character, even with the case bit set.
    if (m > n) return ShortFind::Missing;
    const std::size_t last = n - m;
    std::uint64_t places = blocks.Places(part.FirstBit.data(), part.FirstWanted.data()) &
                           (blocks.Places(part.LastBit.data(), part.LastWanted.data()) >> (m - 1));
    places &= (std::uint64_t{1} << (last + 1)) - 1;
    for (; places != 0; places &= places - 1) {
        const auto p = static_cast<std::size_t>(std::countr_zero(places));
        std::size_t k = 1;
        while (k + 1 < m && kAsciiUpper[s[p + k]] == u[k]) ++k;
        if (k + 1 >= m) return ShortFind::Found;
    }
    return ShortFind::Missing;
}

bool WholeAtSse2(const PartPattern& part, std::string_view upper, const unsigned char* s, std::size_t size,
                 std::size_t p) noexcept
{
    const std::size_t m = upper.size();
    if (p + m > size) return false;
    if (!part.InBlock || p + 16 > size) return WholeAtPlain(part, upper, s, size, p);
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + p));
    const unsigned same = Fits16(block, Splat16(part.PartBits.data()), Splat16(part.PartWanted.data()));
    const unsigned all = (1u << m) - 1;
    return (same & all) == all;
}

/// Lead bytes of special characters among the bytes of `a`.
unsigned Leads16(const PartPattern& part, __m128i a) noexcept
{
    // Compared every time: a test for bytes beyond ASCII first costs more
    // in mispredicted branches than it saves when such names are common.
    if (part.SpecialLeads == PartPattern::kAnyHigh) return static_cast<unsigned>(_mm_movemask_epi8(a));
    __m128i leads = _mm_setzero_si128();
    for (int k = 0; k < part.SpecialLeads; ++k)
        leads = _mm_or_si128(leads, _mm_cmpeq_epi8(a, Splat16(part.SpecialLead[k].data())));
    return static_cast<unsigned>(_mm_movemask_epi8(leads));
}

std::size_t CollectShort16(const PartPattern& part, const unsigned char* s, std::size_t size, std::size_t& at,
                           PlaceBlock* out, std::size_t capacity)
{
    const std::size_t m = part.Size;
    const std::size_t end = size - (m - 1);
    const std::size_t lastBlock = end - 16;
    const __m128i firstBit = Splat16(part.FirstBit.data()), firstWanted = Splat16(part.FirstWanted.data());
    const __m128i lastBit = Splat16(part.LastBit.data()), lastWanted = Splat16(part.LastWanted.data());
    std::size_t n = 0;
    while (n < capacity && at < end) {
        // The last block is read ending at the region's end, its places
        // already seen dropped.
        std::size_t from = at;
        unsigned keep = 0xFFFFu;
        if (from > lastBlock) {
            from = lastBlock;
            keep = (0xFFFFu << (at - from)) & 0xFFFFu;
        }
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + from));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + from + m - 1));
        const unsigned places = Fits16(a, firstBit, firstWanted) & Fits16(b, lastBit, lastWanted) & keep;
        const unsigned leads = Leads16(part, a) & keep;
        at = from + 16;
        if ((places | leads) != 0) out[n++] = PlaceBlock{places, leads, from};
    }
    return n;
}

constexpr TextVectorTable kSse2{
    "SSE2", &FindAsciiFoldedSse2, &NextHighByteSse2, &FindInShortSse2, &WholeAtSse2, &CollectShort16, nullptr};

#if defined(__x86_64__) && defined(__GNUC__)

// ------------------------------------------------------------ AVX2
// No lambdas in functions with a target: they would not carry it.

#define ARDVEL_AVX2 __attribute__((target("avx2")))
#define ARDVEL_AVX512 __attribute__((target("avx512f,avx512bw")))

ARDVEL_AVX2 inline __m256i Splat32(const unsigned char* bytes) noexcept
{
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes));
}

ARDVEL_AVX2 inline __m256i Load32(const unsigned char* s) noexcept
{
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s));
}

/// Bytes of `block` that, ORed with `bit`, equal `wanted`: all ones.
ARDVEL_AVX2 inline __m256i Fits32(__m256i block, __m256i bit, __m256i wanted) noexcept
{
    return _mm256_cmpeq_epi8(_mm256_or_si256(block, bit), wanted);
}

ARDVEL_AVX2 inline std::uint32_t Mask32(__m256i bytes) noexcept
{
    return static_cast<std::uint32_t>(_mm256_movemask_epi8(bytes));
}

ARDVEL_AVX2 std::size_t CollectShort32(const PartPattern& part, const unsigned char* s, std::size_t size,
                                       std::size_t& at, PlaceBlock* out, std::size_t capacity)
{
    const std::size_t m = part.Size;
    const std::size_t end = size - (m - 1);
    if (end < 32) return CollectShort16(part, s, size, at, out, capacity);
    const std::size_t lastBlock = end - 32;
    const __m256i firstBit = Splat32(part.FirstBit.data()), firstWanted = Splat32(part.FirstWanted.data());
    const __m256i lastBit = Splat32(part.LastBit.data()), lastWanted = Splat32(part.LastWanted.data());
    std::size_t n = 0;
    while (n < capacity && at < end) {
        std::size_t from = at;
        std::uint32_t keep = 0xFFFFFFFFu;
        if (from > lastBlock) {
            from = lastBlock;
            keep = static_cast<std::uint32_t>((std::uint64_t{0xFFFFFFFFu} << (at - from)) & 0xFFFFFFFFu);
        }
        const __m256i a = Load32(s + from);
        const __m256i b = Load32(s + from + m - 1);
        const std::uint32_t places =
            Mask32(_mm256_and_si256(Fits32(a, firstBit, firstWanted), Fits32(b, lastBit, lastWanted))) & keep;
        // Only the top bit of each byte counts: a byte beyond ASCII stands
        // for itself when every such byte is taken for a lead byte.
        __m256i leadBytes = part.SpecialLeads == PartPattern::kAnyHigh ? a : _mm256_setzero_si256();
        for (int k = 0; k < part.SpecialLeads && k < PartPattern::kMaxLeads; ++k)
            leadBytes = _mm256_or_si256(leadBytes, _mm256_cmpeq_epi8(a, Splat32(part.SpecialLead[k].data())));
        const std::uint32_t leads = Mask32(leadBytes) & keep;
        at = from + 32;
        if ((places | leads) != 0) out[n++] = PlaceBlock{places, leads, from};
    }
    return n;
}

/// The lead bytes among the bytes of `a`, by looking their high and low four
/// bits up (see PartPattern::LeadHigh): the top bit of each such byte set.
ARDVEL_AVX2 inline __m256i LeadsByNibbles32(__m256i a, __m256i highTable, __m256i lowTable) noexcept
{
    const __m256i nibble = _mm256_set1_epi8(0x0F);
    const __m256i high = _mm256_shuffle_epi8(highTable, _mm256_and_si256(_mm256_srli_epi16(a, 4), nibble));
    const __m256i low = _mm256_shuffle_epi8(lowTable, _mm256_and_si256(a, nibble));
    return _mm256_adds_epu8(_mm256_and_si256(high, low), _mm256_set1_epi8(0x7F));
}

/// How far ahead of the bytes read a long sweep asks for more: the hardware
/// does not fetch ahead across pages.
constexpr std::size_t kPrefetchBytes = 2048;

/// 64 bytes at a time, with `Leads` lead bytes to compare. Nothing in the
/// loop but the compares.
template <int Leads>
ARDVEL_AVX2 std::size_t CollectLong32(const PartPattern& part, const unsigned char* s, std::size_t size,
                                      std::size_t& at, PlaceBlock* out, std::size_t capacity)
{
    const std::size_t m = part.Size;
    const __m256i firstBit = Splat32(part.FirstBit.data()), firstWanted = Splat32(part.FirstWanted.data());
    const __m256i lastBit = Splat32(part.LastBit.data()), lastWanted = Splat32(part.LastWanted.data());
    constexpr bool kAnyHigh = Leads == PartPattern::kAnyHigh;
    // Three lead bytes or more are looked up rather than compared one by one.
    constexpr bool kByNibbles = !kAnyHigh && Leads >= 3;
    constexpr int kCompared = kAnyHigh || kByNibbles ? 0 : Leads;
    const __m256i tops = _mm256_set1_epi8(static_cast<char>(0x80));
    __m256i lead[kCompared > 0 ? kCompared : 1];
    for (int k = 0; k < kCompared; ++k) lead[k] = Splat32(part.SpecialLead[k].data());
    const __m256i highTable = Splat32(part.LeadHigh.data()), lowTable = Splat32(part.LeadLow.data());
    std::size_t n = 0;
    std::size_t p = at;
    for (; n < capacity && p + 64 + m - 1 <= size; p += 64) {
        _mm_prefetch(reinterpret_cast<const char*>(s + std::min(p + kPrefetchBytes, size - 1)), _MM_HINT_T0);
        const __m256i a0 = Load32(s + p), a1 = Load32(s + p + 32);
        const __m256i b0 = Load32(s + p + m - 1), b1 = Load32(s + p + m - 1 + 32);
        const __m256i fit0 = _mm256_and_si256(Fits32(a0, firstBit, firstWanted), Fits32(b0, lastBit, lastWanted));
        const __m256i fit1 = _mm256_and_si256(Fits32(a1, firstBit, firstWanted), Fits32(b1, lastBit, lastWanted));
        // Only the top bit of each byte counts (the compares give whole
        // bytes of ones).
        __m256i lead0 = kAnyHigh ? a0 : _mm256_setzero_si256();
        __m256i lead1 = kAnyHigh ? a1 : _mm256_setzero_si256();
        if constexpr (kByNibbles) {
            lead0 = LeadsByNibbles32(a0, highTable, lowTable);
            lead1 = LeadsByNibbles32(a1, highTable, lowTable);
        }
        for (int k = 0; k < kCompared; ++k) {
            lead0 = _mm256_or_si256(lead0, _mm256_cmpeq_epi8(a0, lead[k]));
            lead1 = _mm256_or_si256(lead1, _mm256_cmpeq_epi8(a1, lead[k]));
        }
        const __m256i any = _mm256_or_si256(_mm256_or_si256(fit0, fit1), _mm256_or_si256(lead0, lead1));
        if (_mm256_testz_si256(any, tops)) continue;
        const std::uint64_t fits = Mask32(fit0) | (std::uint64_t{Mask32(fit1)} << 32);
        const std::uint64_t leads = Mask32(lead0) | (std::uint64_t{Mask32(lead1)} << 32);
        out[n++] = PlaceBlock{fits, leads, p};
    }
    at = p;
    return n;
}

// ------------------------------------------------------------ AVX-512

ARDVEL_AVX512 inline __m512i Byte64(unsigned char byte) noexcept
{
    return _mm512_set1_epi8(static_cast<char>(byte));
}

/// The places of 64 bytes at p whose first, last and second characters fit.
ARDVEL_AVX512 inline __mmask64 Fits64(const PartPattern& part, const unsigned char* p, int middle) noexcept
{
    const std::size_t m = part.Size;
    __mmask64 fits = _mm512_cmpeq_epi8_mask(_mm512_or_si512(_mm512_loadu_si512(p), Byte64(part.FirstBit[0])),
                                            Byte64(part.FirstWanted[0]));
    fits = _mm512_mask_cmpeq_epi8_mask(fits, _mm512_or_si512(_mm512_loadu_si512(p + m - 1), Byte64(part.LastBit[0])),
                                       Byte64(part.LastWanted[0]));
    if (middle > 0)
        fits = _mm512_mask_cmpeq_epi8_mask(fits, _mm512_or_si512(_mm512_loadu_si512(p + 1), Byte64(part.PartBits[1])),
                                           Byte64(part.PartWanted[1]));
    return fits;
}

/// CollectLong32 with 64-byte vectors, whose compares give the bits at
/// once. They leave time to spare while the bytes come in from memory, so
/// the part's second character is compared too, and where a place is left,
/// the rest of the part: only whole matches are handed on (of a part of at
/// most sixteen characters).
template <int Leads>
ARDVEL_AVX512 std::size_t CollectLong64(const PartPattern& part, const unsigned char* s, std::size_t size,
                                        std::size_t& at, PlaceBlock* out, std::size_t capacity)
{
    const std::size_t m = part.Size;
    const int middles = part.InBlock && m >= 3 ? static_cast<int>(m) - 2 : 0;
    constexpr bool kAnyHigh = Leads == PartPattern::kAnyHigh;
    constexpr int kCompared = kAnyHigh ? 0 : Leads;
    __m512i lead[kCompared > 0 ? kCompared : 1];
    for (int k = 0; k < kCompared; ++k) lead[k] = Byte64(part.SpecialLead[k][0]);
    std::size_t n = 0;
    std::size_t p = at;
    for (; n < capacity && p + 64 + m - 1 <= size; p += 64) {
        _mm_prefetch(reinterpret_cast<const char*>(s + std::min(p + kPrefetchBytes, size - 1)), _MM_HINT_T0);
        __mmask64 fits = Fits64(part, s + p, middles);
        const __m512i a = _mm512_loadu_si512(s + p);
        __mmask64 leads = kAnyHigh ? _mm512_movepi8_mask(a) : 0;
        for (int k = 0; k < kCompared; ++k) leads |= _mm512_cmpeq_epi8_mask(a, lead[k]);
        if ((fits | leads) == 0) continue;
        // Seldom here: the rest of the part, so that only whole matches
        // are handed on.
        for (int k = 1; k < middles && fits != 0; ++k) {
            const __m512i c = _mm512_or_si512(_mm512_loadu_si512(s + p + 1 + k), Byte64(part.PartBits[1 + k]));
            fits = _mm512_mask_cmpeq_epi8_mask(fits, c, Byte64(part.PartWanted[1 + k]));
        }
        if ((fits | leads) == 0) continue;
        out[n++] = PlaceBlock{fits, leads, p};
    }
    at = p;
    return n;
}

/// The instantiation for the part's number of special characters.
template <template <int> class Pick>
CollectFn ForLeads(int leads)
{
    switch (leads) {
        case 0:
            return Pick<0>::Fn;
        case 1:
            return Pick<1>::Fn;
        case 2:
            return Pick<2>::Fn;
        case 3:
            return Pick<3>::Fn;
        case 4:
            return Pick<4>::Fn;
        case 5:
            return Pick<5>::Fn;
        case 6:
            return Pick<6>::Fn;
        default:
            return Pick<PartPattern::kAnyHigh>::Fn;
    }
}

template <int Leads>
struct PickLong32 {
    static constexpr CollectFn Fn = &CollectLong32<Leads>;
};
template <int Leads>
struct PickLong64 {
    static constexpr CollectFn Fn = &CollectLong64<Leads>;
};

std::size_t CollectLongAvx2(const PartPattern& part, const unsigned char* s, std::size_t size, std::size_t& at,
                            PlaceBlock* out, std::size_t capacity)
{
    return ForLeads<PickLong32>(part.SpecialLeads)(part, s, size, at, out, capacity);
}

std::size_t CollectLongAvx512(const PartPattern& part, const unsigned char* s, std::size_t size, std::size_t& at,
                              PlaceBlock* out, std::size_t capacity)
{
    return ForLeads<PickLong64>(part.SpecialLeads)(part, s, size, at, out, capacity);
}

constexpr TextVectorTable kAvx2{"AVX2",       &FindAsciiFoldedSse2, &NextHighByteSse2, &FindInShortSse2,
                                &WholeAtSse2, &CollectShort32,      &CollectLongAvx2};
constexpr TextVectorTable kAvx512{"AVX-512",    &FindAsciiFoldedSse2, &NextHighByteSse2, &FindInShortSse2,
                                  &WholeAtSse2, &CollectShort32,      &CollectLongAvx512};

bool Supports(const char* feature) noexcept
{
    __builtin_cpu_init();
    if (std::strcmp(feature, "avx2") == 0) return __builtin_cpu_supports("avx2") != 0;
    return __builtin_cpu_supports("avx512f") != 0 && __builtin_cpu_supports("avx512bw") != 0;
}

#endif  // x86-64
#endif  // SSE2

}  // namespace

const TextVectorTable& TextVectors() noexcept
{
#if defined(__SSE2__)
#if defined(__x86_64__) && defined(__GNUC__)
    static const bool avx2 = Supports("avx2");
    static const bool avx512 = Supports("avx512");
    const int limit = gVectorLimit.load(std::memory_order_relaxed);
    if (avx512 && limit >= 512) return kAvx512;
    if (avx2 && limit >= 256) return kAvx2;
#endif
    return kSse2;
#else
    return kPlain;
#endif
}

void LimitTextVectors(int bits) noexcept
{
    gVectorLimit.store(bits, std::memory_order_relaxed);
}

int TextVectorLimit() noexcept
{
    return gVectorLimit.load(std::memory_order_relaxed);
}

}  // namespace ardvel
