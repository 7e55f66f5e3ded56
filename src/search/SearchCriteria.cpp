#include "search/SearchCriteria.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <cmath>
#include <cstring>
#include <map>
#include <mutex>
#include <vector>

#if defined(__SSE2__)
#include <immintrin.h>
#endif

#include "platform/TextEncoding.h"

namespace ardvel {

namespace {

constexpr std::array<unsigned char, 256> MakeUpperTable()
{
    std::array<unsigned char, 256> table{};
    for (int c = 0; c < 256; ++c) table[c] = static_cast<unsigned char>((c >= 'a' && c <= 'z') ? c - 32 : c);
    return table;
}
constexpr std::array<unsigned char, 256> kUpper = MakeUpperTable();

/// See LimitTextVectors.
std::atomic<int> gVectorLimit{512};

bool IsAscii(std::string_view text) noexcept
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

/// Whether the upper-cased ASCII `upper` occurs in `text` with the text's
/// ASCII letters upper-cased; bytes beyond ASCII never match.
bool FindAsciiFolded(std::string_view text, std::string_view upper) noexcept
{
    const std::size_t m = upper.size();
    const std::size_t n = text.size();
    if (m > n) return false;
    const auto* s = reinterpret_cast<const unsigned char*>(text.data());
    const auto* u = reinterpret_cast<const unsigned char*>(upper.data());
    const unsigned char first = u[0];
    const std::size_t last = n - m;  // the last place the text can start at
    const auto fitsAt = [&](std::size_t p) {
        if (kUpper[s[p]] != first) return false;
        for (std::size_t k = 1; k < m; ++k)
            if (kUpper[s[p + k]] != u[k]) return false;
        return true;
    };
#if defined(__SSE2__)
    if (n >= 16) {
        // Sixteen places at a time: the bytes equal to the first character in
        // either case are found by a vector compare, then checked whole. The
        // last block is read ending at the text's end, its places already
        // seen dropped.
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
            const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + at));
            unsigned places =
                static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_or_si128(block, caseBit), wanted))) & keep;
            while (places != 0) {
                const std::size_t p = at + static_cast<std::size_t>(std::countr_zero(places));
                if (p > last) return false;
                if (fitsAt(p)) return true;
                places &= places - 1;
            }
        }
        return false;
    }
#endif
    for (std::size_t i = 0; i <= last; ++i)
        if (fitsAt(i)) return true;
    return false;
}

#if defined(__SSE2__)

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

    /// Bit p set when byte p has its high bit set.
    bool AnyHigh() const noexcept { return ((_mm_movemask_epi8(First) | _mm_movemask_epi8(Second)) & Keep) != 0; }

    /// Bit p set when byte p, ORed with `caseBit`, equals `wanted` (both
    /// given as sixteen equal bytes).
    std::uint64_t Places(const unsigned char* caseBit, const unsigned char* wanted) const noexcept
    {
        const __m128i bit = _mm_load_si128(reinterpret_cast<const __m128i*>(caseBit));
        const __m128i w = _mm_load_si128(reinterpret_cast<const __m128i*>(wanted));
        const auto a = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_or_si128(First, bit), w))) & Keep;
        const auto b = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_or_si128(Second, bit), w))) & Keep;
        return std::uint64_t{a} | (std::uint64_t{b} << Shift);
    }
};
#endif

}  // namespace

#if defined(__SSE2__)
/// Names of 8 to 32 bytes and an ASCII part, without loops whose length
/// depends on the name: places where the part's first and last characters
/// both fit are found at once and then checked. Slow when the text holds a
/// character that might fold to or with ASCII.
TextFinder::Quick TextFinder::FindInShort(std::string_view text) const noexcept
{
    const auto* s = reinterpret_cast<const unsigned char*>(text.data());
    const auto* u = reinterpret_cast<const unsigned char*>(upper_.data());
    const std::size_t n = text.size();
    const std::size_t m = upper_.size();
    const TextBlocks blocks(s, n);
    if (blocks.AnyHigh() && Classify(text) == TextKind::Special) return Quick::Slow;
    // Bytes beyond ASCII match no ASCII character, even with the case bit set.
    if (m > n) return Quick::Missing;
    const std::size_t last = n - m;
    std::uint64_t places = blocks.Places(splats_[kFirstCaseBit].data(), splats_[kFirstWanted].data()) &
                           (blocks.Places(splats_[kLastCaseBit].data(), splats_[kLastWanted].data()) >> (m - 1));
    places &= (std::uint64_t{1} << (last + 1)) - 1;
    for (; places != 0; places &= places - 1) {
        const auto p = static_cast<std::size_t>(std::countr_zero(places));
        std::size_t k = 1;
        while (k + 1 < m && kUpper[s[p + k]] == u[k]) ++k;
        if (k + 1 >= m) return Quick::Found;
    }
    return Quick::Missing;
}
#endif

void PrepareNameText(SearchCriteria& criteria)
{
    if (criteria.NameText.empty()) criteria.NameText.push_back('*');
    criteria.UseMask = criteria.NameText.find_first_of("*?") != std::string::npos;
}

TextFinder::TextFinder(std::string_view part, const Locale&, FoldOptions options)
    : folded_(FoldText(part, options)), options_(options), specials_(&FoldSpecials::For(options))
{
    asciiOnly_ = IsAscii(folded_);
    if (asciiOnly_) {
        upper_ = folded_;
        for (char& c : upper_) c = static_cast<char>(kUpper[static_cast<unsigned char>(c)]);
    }
    if (!upper_.empty() && asciiOnly_) {
        // The blocks a short name is compared with: the part's first and last
        // character in either case, and the bytes of the special characters.
        const auto splat = [this](int which, unsigned char byte) { splats_[which].fill(byte); };
        const auto folded = [&](int caseBit, int wanted, unsigned char c) {
            const bool letter = c >= 'A' && c <= 'Z';
            splat(caseBit, letter ? 0x20 : 0);
            splat(wanted, letter ? static_cast<unsigned char>(c | 0x20) : c);
        };
        folded(kFirstCaseBit, kFirstWanted, static_cast<unsigned char>(upper_.front()));
        folded(kLastCaseBit, kLastWanted, static_cast<unsigned char>(upper_.back()));
        partInBlock_ = upper_.size() <= partWanted_.size();
        if (partInBlock_) {
            for (std::size_t k = 0; k < upper_.size(); ++k) {
                const auto c = static_cast<unsigned char>(upper_[k]);
                const bool letter = c >= 'A' && c <= 'Z';
                partCaseBits_[k] = letter ? 0x20 : 0;
                partWanted_[k] = letter ? static_cast<unsigned char>(c | 0x20) : c;
            }
        }
        const std::string& leads = specials_->Leads();
        leadCount_ = leads.size() <= kMaxLeads ? static_cast<int>(leads.size()) : -1;
        for (int k = 0; k < leadCount_; ++k) splat(kFirstSpecial + k, static_cast<unsigned char>(leads[k]));
    }
}

TextFinder::TextKind TextFinder::Classify(std::string_view text) const noexcept
{
    const auto* s = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t n = text.size();
    TextKind kind = TextKind::Ascii;
    std::size_t i = 0;
#if defined(__SSE2__)
    for (; i + 16 <= n; i += 16) {
        auto high = static_cast<unsigned>(_mm_movemask_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i))));
        while (high != 0) {
            kind = TextKind::Beyond;
            const std::size_t at = i + static_cast<std::size_t>(std::countr_zero(high));
            if (specials_->Might(s[at], at + 1 < n ? s[at + 1] : 0)) return TextKind::Special;
            high &= high - 1;
        }
    }
#endif
    for (; i + 8 <= n; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, s + i, 8);
        std::uint64_t high = word & 0x8080808080808080ULL;
        while (high != 0) {
            kind = TextKind::Beyond;
            const std::size_t at = i + (static_cast<std::size_t>(std::countr_zero(high)) >> 3);
            if (specials_->Might(s[at], at + 1 < n ? s[at + 1] : 0)) return TextKind::Special;
            high &= high - 1;
        }
    }
    for (; i < n; ++i) {
        if (s[i] < 0x80) continue;
        kind = TextKind::Beyond;
        if (specials_->Might(s[i], i + 1 < n ? s[i + 1] : 0)) return TextKind::Special;
    }
    return kind;
}

bool TextFinder::FoundIn(std::string_view text, std::string& scratch) const
{
    if (folded_.empty() || text.empty()) return false;
    // An ASCII part is found among the ASCII characters of the folded text,
    // each of which comes from at least one byte of the text.
    if (asciiOnly_ && text.size() < upper_.size()) return false;
#if defined(__SSE2__)
    if (asciiOnly_ && text.size() >= 8 && text.size() <= 32) {
        switch (FindInShort(text)) {
            case Quick::Found:
                return true;
            case Quick::Missing:
                return false;
            case Quick::Slow:
                break;
        }
    }
#endif
    switch (Classify(text)) {
        case TextKind::Ascii:
            // An ASCII text stays ASCII when folded.
            return asciiOnly_ && FindAsciiFolded(text, upper_);
        case TextKind::Beyond:
            // Its characters beyond ASCII stay beyond ASCII when folded and
            // leave the ASCII ones as they are, so an ASCII part can only
            // occur among the ASCII characters, which fold in place.
            if (asciiOnly_) return FindAsciiFolded(text, upper_);
            break;
        case TextKind::Special:
            break;
    }
    FoldText(text, scratch, options_);
    return std::string_view(scratch).find(folded_) != std::string_view::npos;
}

bool TextFinder::CanFindInPacked() const noexcept
{
#if defined(__SSE2__)
    return asciiOnly_ && !upper_.empty() && leadCount_ >= 0 && gVectorLimit.load(std::memory_order_relaxed) > 0;
#else
    return false;
#endif
}

#if defined(__SSE2__)
namespace {

/// The places of one block of a packed region: where the part's first
/// character starts (`First`) with its last character m-1 bytes on (`Last`
/// loaded there), and the lead bytes of characters that might upper-case to
/// ASCII. W bytes at a time: 16 with SSE2, 32 with AVX2.
struct PackedScan {
    const unsigned char* S;
    std::size_t Size, M;
    const unsigned char* FirstBit;
    const unsigned char* FirstWanted;
    const unsigned char* LastBit;
    const unsigned char* LastWanted;
    const unsigned char* const* Leads;  ///< 16 (or 32) copies of each lead byte
    int LeadCount;
    /// The case bits and bytes wanted of the characters after the first,
    /// one byte each, MiddleCount of them (up to the one before the last).
    const unsigned char* MiddleBits = nullptr;
    const unsigned char* MiddleWanted = nullptr;
    int MiddleCount = 0;
};

/// Calls place(p, lead) for every such place in increasing order. Lead
/// bytes in the region's last m-1 bytes are left to the caller.
template <typename Place>
std::size_t ScanPacked16(const PackedScan& x, Place&& place)
{
    const auto load = [&](std::size_t at) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(x.S + at)); };
    const auto splat = [](const unsigned char* b) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(b)); };
    const __m128i firstBit = splat(x.FirstBit), firstWanted = splat(x.FirstWanted);
    const __m128i lastBit = splat(x.LastBit), lastWanted = splat(x.LastWanted);
    const std::size_t lastBlock = x.Size - (x.M - 1) - 16;
    for (std::size_t p0 = 0;; p0 += 16) {
        std::size_t at = p0;
        unsigned keep = 0xFFFFu;
        if (at > lastBlock) {
            at = lastBlock;
            keep = (0xFFFFu << (p0 - at)) & 0xFFFFu;
        }
        const __m128i a = load(at);
        const __m128i b = load(at + x.M - 1);
        unsigned places = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(_mm_or_si128(a, firstBit), firstWanted),
                                            _mm_cmpeq_epi8(_mm_or_si128(b, lastBit), lastWanted))));
        // The lead bytes are compared every time: a test for bytes beyond
        // ASCII first costs more in mispredicted branches than it saves
        // when such names are common.
        __m128i leadBytes = _mm_setzero_si128();
        for (int k = 0; k < x.LeadCount; ++k) leadBytes = _mm_or_si128(leadBytes, _mm_cmpeq_epi8(a, splat(x.Leads[k])));
        const auto leads = static_cast<unsigned>(_mm_movemask_epi8(leadBytes));
        for (unsigned bits = (places | leads) & keep; bits != 0; bits &= bits - 1) {
            const auto bit = static_cast<unsigned>(std::countr_zero(bits));
            place(at + bit, ((leads >> bit) & 1) != 0);
        }
        if (at == lastBlock) return at + 16;
    }
}

#if defined(__x86_64__) && defined(__GNUC__)
template <typename Place>
__attribute__((target("avx2"))) std::size_t ScanPacked32(const PackedScan& x, Place&& place)
{
    // No lambdas here: they would not carry the target.
    const __m256i firstBit = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(x.FirstBit));
    const __m256i firstWanted = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(x.FirstWanted));
    const __m256i lastBit = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(x.LastBit));
    const __m256i lastWanted = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(x.LastWanted));
    const std::size_t lastBlock = x.Size - (x.M - 1) - 32;
    for (std::size_t p0 = 0;; p0 += 32) {
        std::size_t at = p0;
        std::uint32_t keep = 0xFFFFFFFFu;
        if (at > lastBlock) {
            at = lastBlock;
            keep = static_cast<std::uint32_t>((std::uint64_t{0xFFFFFFFFu} << (p0 - at)) & 0xFFFFFFFFu);
        }
        const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(x.S + at));
        const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(x.S + at + x.M - 1));
        const auto places = static_cast<std::uint32_t>(
            _mm256_movemask_epi8(_mm256_and_si256(_mm256_cmpeq_epi8(_mm256_or_si256(a, firstBit), firstWanted),
                                                  _mm256_cmpeq_epi8(_mm256_or_si256(b, lastBit), lastWanted))));
        __m256i leadBytes = _mm256_setzero_si256();
        for (int k = 0; k < x.LeadCount; ++k) {
            const __m256i lead = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(x.Leads[k]));
            leadBytes = _mm256_or_si256(leadBytes, _mm256_cmpeq_epi8(a, lead));
        }
        const auto leads = static_cast<std::uint32_t>(_mm256_movemask_epi8(leadBytes));
        for (std::uint32_t bits = (places | leads) & keep; bits != 0; bits &= bits - 1) {
            const auto bit = static_cast<unsigned>(__builtin_ctz(bits));
            place(at + bit, ((leads >> bit) & 1) != 0);
        }
        if (at == lastBlock) return at + 32;
    }
}

bool HaveAvx2() noexcept
{
    static const bool have = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx2") != 0;
    }();
    return have && gVectorLimit.load(std::memory_order_relaxed) >= 256;
}

/// How far ahead of the bytes read a long sweep asks for more.
constexpr std::size_t kPrefetchBytes = 2048;

/// 64 bytes of a region from `At` on in which a place was seen: bit p of
/// `Places` for a place at At+p where the part's first and last characters
/// fit, of `Leads` for a lead byte.
struct PlaceBlock {
    static constexpr int kLeadSlots = 6;  ///< lead bytes CollectPlaces64 compares with, at most
    std::uint64_t Places;
    std::uint64_t Leads;
    std::size_t At;
};

/// The long stretch of a region: 64 bytes at a time from `at` on, while the
/// part's last character still lies within the region, and at most
/// `capacity` blocks with places. Moves `at` on past the bytes looked at and
/// returns the number of blocks written to `out`. Nothing in the loop but
/// the compares, with the `Leads` lead bytes of the scan.
template <int Leads>
__attribute__((target("avx2"))) std::size_t CollectPlaces64(const PackedScan& x, std::size_t& at, PlaceBlock* out,
                                                            std::size_t capacity)
{
    // No lambdas here: they would not carry the target.
    const unsigned char* const s = x.S;
    const std::size_t m = x.M;
    const std::size_t size = x.Size;
    const __m256i firstBit = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(x.FirstBit));
    const __m256i firstWanted = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(x.FirstWanted));
    const __m256i lastBit = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(x.LastBit));
    const __m256i lastWanted = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(x.LastWanted));
    __m256i lead[Leads > 0 ? Leads : 1];
    for (int k = 0; k < Leads; ++k) lead[k] = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(x.Leads[k]));
    std::size_t n = 0;
    std::size_t p = at;
    for (; n < capacity && p + 64 + m - 1 <= size; p += 64) {
        // The hardware does not fetch ahead across pages.
        _mm_prefetch(reinterpret_cast<const char*>(s + std::min(p + kPrefetchBytes, size - 1)), _MM_HINT_T0);
        const __m256i a0 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + p));
        const __m256i a1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + p + 32));
        const __m256i b0 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + p + m - 1));
        const __m256i b1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + p + m - 1 + 32));
        const __m256i fit0 = _mm256_and_si256(_mm256_cmpeq_epi8(_mm256_or_si256(a0, firstBit), firstWanted),
                                              _mm256_cmpeq_epi8(_mm256_or_si256(b0, lastBit), lastWanted));
        const __m256i fit1 = _mm256_and_si256(_mm256_cmpeq_epi8(_mm256_or_si256(a1, firstBit), firstWanted),
                                              _mm256_cmpeq_epi8(_mm256_or_si256(b1, lastBit), lastWanted));
        __m256i lead0 = _mm256_setzero_si256(), lead1 = _mm256_setzero_si256();
        for (int k = 0; k < Leads; ++k) {
            lead0 = _mm256_or_si256(lead0, _mm256_cmpeq_epi8(a0, lead[k]));
            lead1 = _mm256_or_si256(lead1, _mm256_cmpeq_epi8(a1, lead[k]));
        }
        const __m256i any = _mm256_or_si256(_mm256_or_si256(fit0, fit1), _mm256_or_si256(lead0, lead1));
        if (_mm256_testz_si256(any, any)) continue;
        const std::uint64_t fits = static_cast<std::uint32_t>(_mm256_movemask_epi8(fit0)) |
                                   (std::uint64_t{static_cast<std::uint32_t>(_mm256_movemask_epi8(fit1))} << 32);
        const std::uint64_t leads = static_cast<std::uint32_t>(_mm256_movemask_epi8(lead0)) |
                                    (std::uint64_t{static_cast<std::uint32_t>(_mm256_movemask_epi8(lead1))} << 32);
        out[n++] = PlaceBlock{fits, leads, p};
    }
    at = p;
    return n;
}

bool HaveAvx512() noexcept
{
    static const bool have = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx512f") != 0 && __builtin_cpu_supports("avx512bw") != 0;
    }();
    return have && gVectorLimit.load(std::memory_order_relaxed) >= 512;
}

/// CollectPlaces64 with 64-byte vectors, whose compares give the bits at
/// once. They leave time to spare while the bytes come in from memory, so
/// the part's second character is compared too, and where a place is left,
/// the rest of the part: only whole matches are handed on (of a part of at
/// most sixteen characters).
template <int Leads>
__attribute__((target("avx512f,avx512bw"))) std::size_t CollectPlaces64Wide(const PackedScan& x, std::size_t& at,
                                                                            PlaceBlock* out, std::size_t capacity)
{
    const unsigned char* const s = x.S;
    const std::size_t m = x.M;
    const std::size_t size = x.Size;
    // No lambdas here: they would not carry the target.
    const __m512i firstBit = _mm512_set1_epi8(static_cast<char>(*x.FirstBit));
    const __m512i firstWanted = _mm512_set1_epi8(static_cast<char>(*x.FirstWanted));
    const __m512i lastBit = _mm512_set1_epi8(static_cast<char>(*x.LastBit));
    const __m512i lastWanted = _mm512_set1_epi8(static_cast<char>(*x.LastWanted));
    __m512i lead[Leads > 0 ? Leads : 1];
    for (int k = 0; k < Leads; ++k) lead[k] = _mm512_set1_epi8(static_cast<char>(*x.Leads[k]));
    constexpr int kMiddle = 1;
    const int middle = std::min(x.MiddleCount, kMiddle);
    __m512i middleBit[kMiddle], middleWanted[kMiddle];
    for (int k = 0; k < middle; ++k) {
        middleBit[k] = _mm512_set1_epi8(static_cast<char>(x.MiddleBits[k]));
        middleWanted[k] = _mm512_set1_epi8(static_cast<char>(x.MiddleWanted[k]));
    }
    std::size_t n = 0;
    std::size_t p = at;
    for (; n < capacity && p + 64 + m - 1 <= size; p += 64) {
        // The hardware does not fetch ahead across pages.
        _mm_prefetch(reinterpret_cast<const char*>(s + std::min(p + kPrefetchBytes, size - 1)), _MM_HINT_T0);
        const __m512i a = _mm512_loadu_si512(s + p);
        const __m512i b = _mm512_loadu_si512(s + p + m - 1);
        __mmask64 fits = _mm512_cmpeq_epi8_mask(_mm512_or_si512(a, firstBit), firstWanted);
        fits = _mm512_mask_cmpeq_epi8_mask(fits, _mm512_or_si512(b, lastBit), lastWanted);
        for (int k = 0; k < middle; ++k) {
            const __m512i c = _mm512_loadu_si512(s + p + 1 + k);
            fits = _mm512_mask_cmpeq_epi8_mask(fits, _mm512_or_si512(c, middleBit[k]), middleWanted[k]);
        }
        __mmask64 leads = 0;
        for (int k = 0; k < Leads; ++k) leads |= _mm512_cmpeq_epi8_mask(a, lead[k]);
        if ((fits | leads) == 0) continue;
        // Seldom here: the rest of the part, so that only whole matches
        // are handed on.
        for (int k = middle; k < x.MiddleCount && fits != 0; ++k) {
            const __m512i c = _mm512_or_si512(_mm512_loadu_si512(s + p + 1 + k),
                                              _mm512_set1_epi8(static_cast<char>(x.MiddleBits[k])));
            fits = _mm512_mask_cmpeq_epi8_mask(fits, c, _mm512_set1_epi8(static_cast<char>(x.MiddleWanted[k])));
        }
        if ((fits | leads) == 0) continue;
        out[n++] = PlaceBlock{fits, leads, p};
    }
    at = p;
    return n;
}

std::size_t CollectPlaces64(const PackedScan& x, std::size_t& at, PlaceBlock* out, std::size_t capacity)
{
    if (HaveAvx512()) {
        switch (x.LeadCount) {
            case 0:
                return CollectPlaces64Wide<0>(x, at, out, capacity);
            case 1:
                return CollectPlaces64Wide<1>(x, at, out, capacity);
            case 2:
                return CollectPlaces64Wide<2>(x, at, out, capacity);
            case 3:
                return CollectPlaces64Wide<3>(x, at, out, capacity);
            case 4:
                return CollectPlaces64Wide<4>(x, at, out, capacity);
            case 5:
                return CollectPlaces64Wide<5>(x, at, out, capacity);
            default:
                return CollectPlaces64Wide<6>(x, at, out, capacity);
        }
    }
    switch (x.LeadCount) {
        case 0:
            return CollectPlaces64<0>(x, at, out, capacity);
        case 1:
            return CollectPlaces64<1>(x, at, out, capacity);
        case 2:
            return CollectPlaces64<2>(x, at, out, capacity);
        case 3:
            return CollectPlaces64<3>(x, at, out, capacity);
        case 4:
            return CollectPlaces64<4>(x, at, out, capacity);
        case 5:
            return CollectPlaces64<5>(x, at, out, capacity);
        default:
            return CollectPlaces64<6>(x, at, out, capacity);
    }
}
#endif

}  // namespace
#endif

template <typename Place>
void TextFinder::Sweep(const unsigned char* s, std::size_t size, Place&& place) const
{
#if defined(__x86_64__) && defined(__GNUC__)
    const std::size_t m = upper_.size();
    if (size >= m - 1 + 2 * 64 && HaveAvx2()) {
        // A long region: the blocks with places are gathered first, then
        // handed on; the last few bytes are swept as a region of their own.
        static_assert(kMaxLeads <= PlaceBlock::kLeadSlots);
        const unsigned char* leads[kMaxLeads];
        for (int k = 0; k < leadCount_; ++k) leads[k] = splats_[static_cast<std::size_t>(kFirstSpecial + k)].data();
        const PackedScan scan{s,
                              size,
                              m,
                              splats_[kFirstCaseBit].data(),
                              splats_[kFirstWanted].data(),
                              splats_[kLastCaseBit].data(),
                              splats_[kLastWanted].data(),
                              leads,
                              leadCount_,
                              partCaseBits_.data() + 1,
                              partWanted_.data() + 1,
                              partInBlock_ && m >= 3 ? static_cast<int>(m) - 2 : 0};
        constexpr std::size_t kBlocks = 64;
        PlaceBlock blocks[kBlocks];
        std::size_t at = 0;
        for (;;) {
            const std::size_t n = CollectPlaces64(scan, at, blocks, kBlocks);
            for (std::size_t b = 0; b < n; ++b) {
                for (std::uint64_t bits = blocks[b].Places | blocks[b].Leads; bits != 0; bits &= bits - 1) {
                    const auto bit = static_cast<unsigned>(std::countr_zero(bits));
                    place(blocks[b].At + bit, ((blocks[b].Leads >> bit) & 1) != 0);
                }
            }
            if (n < kBlocks) break;
        }
        SweepShort(s + at, size - at, [&](std::size_t p, bool lead) { place(at + p, lead); });
        return;
    }
#endif
    SweepShort(s, size, place);
}

template <typename Place>
void TextFinder::SweepShort(const unsigned char* s, std::size_t size, Place&& place) const
{
    const auto* u = reinterpret_cast<const unsigned char*>(upper_.data());
    const std::size_t m = upper_.size();
    const auto isLead = [&](unsigned char c) {
        for (int k = 0; k < leadCount_; ++k)
            if (c == splats_[static_cast<std::size_t>(kFirstSpecial + k)][0]) return true;
        return false;
    };

    std::size_t scanned = 0;  // bytes whose lead bytes were looked at
#if defined(__SSE2__)
    const unsigned char* leads[kMaxLeads];
    for (int k = 0; k < leadCount_; ++k) leads[k] = splats_[static_cast<std::size_t>(kFirstSpecial + k)].data();
    const PackedScan scan{s,
                          size,
                          m,
                          splats_[kFirstCaseBit].data(),
                          splats_[kFirstWanted].data(),
                          splats_[kLastCaseBit].data(),
                          splats_[kLastWanted].data(),
                          leads,
                          leadCount_};
#if defined(__x86_64__) && defined(__GNUC__)
    if (size >= m - 1 + 32 && HaveAvx2())
        scanned = ScanPacked32(scan, place);
    else
#endif
        if (size >= m - 1 + 16)
        scanned = ScanPacked16(scan, place);
#endif
    if (scanned == 0) {
        for (std::size_t p = 0; p < size; ++p) {
            if (isLead(s[p]))
                place(p, true);
            else if (p + m <= size && kUpper[s[p]] == u[0] && kUpper[s[p + m - 1]] == u[m - 1])
                place(p, false);
        }
    } else {
        for (std::size_t p = scanned; p < size; ++p)
            if (isLead(s[p])) place(p, true);
    }
}

std::size_t TextFinder::FindInPacked(std::string_view region, const std::uint32_t* starts, const std::uint32_t* lengths,
                                     std::size_t count, std::uint16_t* found, std::string& scratch) const
{
    std::size_t foundCount = 0;
    const auto* s = reinterpret_cast<const unsigned char*>(region.data());
    const auto* u = reinterpret_cast<const unsigned char*>(upper_.data());
    const std::size_t m = upper_.size();

    // One sweep finds the places where the part's first and last characters
    // fit and the lead bytes of characters that might upper-case to ASCII.
    // Each place is given to the text it lies in; places come in order, so
    // texts do too. A text with such a lead byte in which the part was not
    // found among its ASCII characters is looked at the slow way afterwards.
    std::uint16_t special[SearchMatcher::kMaxBatch];
    std::size_t specialCount = 0;
    constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    std::size_t k = 0, lastFound = kNone, lastSpecial = kNone;
    const auto place = [&](std::size_t p, bool lead) {
        while (k < count && starts[k] + lengths[k] <= p) ++k;
        if (k == count || p < starts[k]) return;
        const std::size_t end = starts[k] + lengths[k];
        if (!lead) {
            if (k == lastFound || p + m > end) return;
            for (std::size_t t = 1; t + 1 < m; ++t)
                if (kUpper[s[p + t]] != u[t]) return;
            lead = MightChangeLast(s + p + m, end - p - m);
        }
        if (lead) {
            if (k != lastSpecial) special[specialCount++] = static_cast<std::uint16_t>(lastSpecial = k);
            return;
        }
        found[foundCount++] = static_cast<std::uint16_t>(lastFound = k);
    };
    SweepShort(s, region.size(), place);
    if (specialCount == 0) return foundCount;

    std::uint16_t merged[SearchMatcher::kMaxBatch];
    std::size_t mergedCount = 0, f = 0;
    for (std::size_t x = 0; x < specialCount; ++x) {
        const std::uint16_t t = special[x];
        while (f < foundCount && found[f] < t) merged[mergedCount++] = found[f++];
        if (f < foundCount && found[f] == t) continue;
        if (FoundIn(region.substr(starts[t], lengths[t]), scratch)) merged[mergedCount++] = t;
    }
    while (f < foundCount) merged[mergedCount++] = found[f++];
    std::copy(merged, merged + mergedCount, found);
    return mergedCount;
}

/// Whether the part (ASCII, its letters in either case) lies at p of the
/// `size` bytes at `s`, whole.
bool TextFinder::WholeAt(const unsigned char* s, std::size_t size, std::size_t p) const noexcept
{
    const std::size_t m = upper_.size();
    if (p + m > size) return false;
#if defined(__SSE2__)
    if (partInBlock_ && p + 16 <= size) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + p));
        const __m128i bits = _mm_load_si128(reinterpret_cast<const __m128i*>(partCaseBits_.data()));
        const __m128i wanted = _mm_load_si128(reinterpret_cast<const __m128i*>(partWanted_.data()));
        const auto same = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_or_si128(block, bits), wanted)));
        const unsigned all = (1u << m) - 1;
        return (same & all) == all;
    }
#endif
    const auto* u = reinterpret_cast<const unsigned char*>(upper_.data());
    for (std::size_t t = 0; t < m; ++t)
        if (kUpper[s[p + t]] != u[t]) return false;
    return true;
}

void TextFinder::MarkNames(const VolumeStore& store, const TDetails* files, std::size_t count, std::uint64_t* bits,
                           std::string& scratch) const
{
    const std::size_t m = upper_.size();
    const auto set = [bits](std::size_t i) { bits[i >> 6] |= std::uint64_t{1} << (i & 63); };
    // Where each name of a run ends, from the start of the run's region.
    std::uint32_t ends[kMaxMarkedNames];
    std::size_t i = 0;
    while (i < count) {
        const StringRef first = files[i].Name;
        if (first.Length == 0) {  // an empty name contains nothing
            ++i;
            continue;
        }
        // A run: the following records whose names come later in the same
        // chunk, each after the one before. The bytes between two names of
        // a chunk are texts too (the pool fills its chunks from the start,
        // without gaps), so the run's names can be read as one region.
        const std::uint32_t chunk = first.Ref >> 16;
        const std::uint32_t base = first.Ref;
        const std::size_t limit = std::min(count, i + kMaxMarkedNames);
        std::uint64_t end = std::uint64_t{base} + first.Length;
        ends[0] = first.Length;
        std::size_t j = i + 1;
        // Sixteen records at a time, without a branch for each: all of them
        // must start at or after the end of the name before (an empty name,
        // at reference 0, never does), and the last one in the chunk.
        constexpr std::size_t kStride = 16;
        const std::uint64_t chunkEnd = (std::uint64_t{chunk} + 1) << 16;
        while (j + kStride <= limit) {
#if defined(__SSE2__)
            // The hardware does not fetch ahead across pages.
            const auto* ahead = reinterpret_cast<const char*>(files + std::min(j + 8 * kStride, count - 1));
            for (std::size_t line = 0; line < kStride * sizeof(TDetails); line += 64)
                _mm_prefetch(ahead + line, _MM_HINT_T0);
#endif
            std::uint64_t e = end;
            bool behind = false;
            for (std::size_t t = 0; t < kStride; ++t) {
                const StringRef ref = files[j + t].Name;
                behind |= ref.Ref < e;
                e = std::uint64_t{ref.Ref} + ref.Length;
                ends[j + t - i] = static_cast<std::uint32_t>(e - base);
            }
            if (behind || files[j + kStride - 1].Name.Ref >= chunkEnd) break;
            end = e;
            j += kStride;
        }
        for (; j < limit; ++j) {
            const StringRef ref = files[j].Name;
            if (ref.Length == 0 || (ref.Ref >> 16) != chunk || ref.Ref < end) break;
            end = std::uint64_t{ref.Ref} + ref.Length;
            ends[j - i] = static_cast<std::uint32_t>(end - base);
        }
        const TDetails* run = files + i;
        const std::size_t n = j - i;
        const auto* s = reinterpret_cast<const unsigned char*>(store.Text(first).data());

        // Places come in increasing order, and so do the names of the run:
        // the name a place lies in is looked for among the ends of the names
        // from the last one found on. Only whole matches and lead bytes are
        // looked up, so the names without them cost nothing here. A name is
        // settled by its first place that is a whole match, or by the slow
        // test at its first lead byte of a character that might upper-case
        // to ASCII.
        constexpr std::size_t kNone = static_cast<std::size_t>(-1);
        std::size_t k = 0, settled = kNone;
        const std::size_t size = ends[n - 1];
        const auto place = [&](std::size_t p, bool lead) {
            if (!lead && !WholeAt(s, size, p)) return;
            // The first name from k on that ends after p, by halving
            // without branches.
            const std::uint32_t* at = ends + k;
            for (std::size_t left = n - k; left > 1;) {
                const std::size_t half = left / 2;
                at = at[half - 1] <= p ? at + half : at;
                left -= half;
            }
            k = static_cast<std::size_t>(at - ends) + (k < n && *at <= p ? 1 : 0);
            if (k == n || k == settled || p + run[k].Name.Length < ends[k]) return;  // past the end, or before the name
            settled = k;
            if (!lead && p + m <= ends[k]) lead = MightChangeLast(s + p + m, ends[k] - p - m);
            if (lead ? FoundIn(store.Name(run[k]), scratch) : p + m <= ends[k]) set(i + k);
        };
        Sweep(s, size, place);
        i = j;
    }
}

void LimitTextVectors(int bits) noexcept
{
    gVectorLimit.store(bits, std::memory_order_relaxed);
}

bool TextContains(std::string_view text, std::string_view part, const Locale& locale)
{
    std::string scratch;
    return TextFinder(part, locale).FoundIn(text, scratch);
}

SearchMatcher::SearchMatcher(const SearchCriteria& criteria, const Locale& locale)
    : criteria_(criteria), locale_(&locale)
{
    const FoldOptions fold{criteria_.IgnoreAccents};
    SetName(criteria_.NameText, fold);
    artist_ = TextFinder(criteria_.ArtistPart, locale, fold);
    title_ = TextFinder(criteria_.TitlePart, locale, fold);
}

void SearchMatcher::SetName(const std::string& text, FoldOptions fold)
{
    if (criteria_.UseMask) {
        NameMask mask(text, fold);  // throws before anything changes
        nameTest_ = mask.AcceptsAll() ? NameTest::Everything : NameTest::Mask;
        maskRun_ = TextFinder(mask.LiteralRun(), *locale_, fold);
        mask_.emplace(std::move(mask));
    } else {
        name_ = TextFinder(text, *locale_, fold);
        nameTest_ = NameTest::Text;
    }
}

void SearchMatcher::Update(const SearchCriteria& criteria)
{
    SearchCriteria next = criteria;
    next.UseMask = criteria_.UseMask;
    const FoldOptions fold{next.IgnoreAccents};
    const bool refold = next.IgnoreAccents != criteria_.IgnoreAccents;
    if (refold || next.NameText != criteria_.NameText) SetName(next.NameText, fold);
    if (refold || next.ArtistPart != criteria_.ArtistPart) artist_ = TextFinder(next.ArtistPart, *locale_, fold);
    if (refold || next.TitlePart != criteria_.TitlePart) title_ = TextFinder(next.TitlePart, *locale_, fold);
    criteria_ = std::move(next);
}

bool SearchMatcher::NameMatches(std::string_view name) const
{
    switch (nameTest_) {
        case NameTest::Everything:
            return true;
        case NameTest::Mask:
            return mask_->Accepts(name, scratch_);
        case NameTest::Text:
            break;
    }
    return name_.FoundIn(name, scratch_);
}

bool SearchMatcher::MediaMatches(std::string_view artist, std::string_view title) const
{
    // A file without tags has its name (without extension) as artist and no
    // title: both parts are then looked for in the artist text.
    const std::string_view titleText = title.empty() ? artist : title;
    if (!artist_.Empty() && !artist_.FoundIn(artist, scratch_)) return false;
    if (!title_.Empty() && !title_.FoundIn(titleText, scratch_)) return false;
    return true;
}

bool SearchMatcher::DateMatches(TDateTime date, TDateTime today) const
{
    switch (criteria_.DateMode) {
        case SearchDateMode::InLastMonths:
            return std::trunc(std::fabs(today - date) / 30.4375) <= static_cast<double>(criteria_.MonthCount);
        case SearchDateMode::InLastDays:
            return std::trunc(std::fabs(today - date)) <= static_cast<double>(criteria_.DayCount);
        case SearchDateMode::InRange:
            return criteria_.RangeStart <= date && date <= criteria_.RangeEnd;
    }
    return true;  // no date mode chosen: no test
}

bool SearchMatcher::OtherTestsMatch(const VolumeStore& store, const TDetails& file, TDateTime today) const
{
    if (criteria_.MediaOn && store.HasMedia(file) && !MediaMatches(store.Artist(file), store.Title(file))) return false;
    if (criteria_.DateOn && !DateMatches(file.Date, today)) return false;
    if (criteria_.SizeOn) {
        switch (criteria_.SizeBound) {
            case SearchSizeBound::AtLeast:
                return file.SizeKB >= criteria_.SizeLimitKB;
            case SearchSizeBound::AtMost:
                return file.SizeKB <= criteria_.SizeLimitKB;
        }
    }
    return true;
}

bool SearchMatcher::FileMatches(const VolumeStore& store, const TDetails& file, TDateTime today) const
{
    return NameMatches(store.Name(file)) && OtherTestsMatch(store, file, today);
}

void SearchMatcher::MatchTexts(const VolumeStore& store, const TDetails* files, std::size_t count,
                               MatchBits& matches) const
{
    // Texts that MarkNames can sweep in the name pool never come here: the
    // walk takes their match bits from its per-volume cache.
    const auto set = [&matches](std::size_t i) { matches[i >> 6] |= std::uint64_t{1} << (i & 63); };
    for (std::size_t i = 0; i < count; ++i)
        if (name_.FoundIn(store.Name(files[i]), scratch_)) set(i);
}

void SearchMatcher::MatchFiles(const VolumeStore& store, const TDetails* files, std::size_t count, TodayClock& clock,
                               MatchBits& matches) const
{
    matches.fill(0);
    const auto set = [&matches](std::size_t i) { matches[i >> 6] |= std::uint64_t{1} << (i & 63); };
    switch (nameTest_) {
        case NameTest::Everything:
            for (std::size_t w = 0; w * 64 < count; ++w)
                matches[w] = count - w * 64 >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << (count - w * 64)) - 1;
            break;
        case NameTest::Mask:
            for (std::size_t i = 0; i < count; ++i)
                if (mask_->Accepts(store.Name(files[i]), scratch_)) set(i);
            break;
        case NameTest::Text:
            MatchTexts(store, files, count, matches);
            break;
    }
    MatchOtherTests(store, files, count, clock, matches);
}

void SearchMatcher::MatchOtherTests(const VolumeStore& store, const TDetails* files, std::size_t count,
                                    TodayClock& clock, MatchBits& matches) const
{
    if (!criteria_.MediaOn && !criteria_.DateOn && !criteria_.SizeOn) return;
    const bool needsToday = NeedsToday();
    for (std::size_t w = 0; w * 64 < count; ++w) {
        for (std::uint64_t bits = matches[w]; bits != 0; bits &= bits - 1) {
            const std::size_t i = w * 64 + static_cast<std::size_t>(std::countr_zero(bits));
            if (!OtherTestsMatch(store, files[i], needsToday ? clock.Today() : TDateTime{0}))
                matches[w] &= ~(std::uint64_t{1} << (i & 63));
        }
    }
}

bool SearchMatcher::FolderMatches(TDateTime date, std::string_view name, TDateTime today) const
{
    if (!NameMatches(name)) return false;
    if (criteria_.DateOn && !DateMatches(date, today)) return false;
    return !criteria_.SizeOn;  // with the size test on, no folder is a match
}

bool NameMatches(std::string_view name, const SearchCriteria& criteria, const Locale& locale)
{
    return SearchMatcher(criteria, locale).NameMatches(name);
}

bool FileMatches(const VolumeStore& store, const TDetails& file, const SearchCriteria& criteria, const Locale& locale,
                 TDateTime today)
{
    return SearchMatcher(criteria, locale).FileMatches(store, file, today);
}

bool FolderMatches(TDateTime date, std::string_view name, const SearchCriteria& criteria, const Locale& locale,
                   TDateTime today)
{
    return SearchMatcher(criteria, locale).FolderMatches(date, name, today);
}

TDateTime TodayClock::Today()
{
    const std::time_t now = std::time(nullptr);
    if (now >= validFrom_ && now < validUntil_) return today_;
    std::tm local{};
    ::localtime_r(&now, &local);
    DateTimeFields fields;
    fields.Year = local.tm_year + 1900;
    fields.Month = local.tm_mon + 1;
    fields.Day = local.tm_mday;
    today_ = EncodeDateTime(fields);

    std::tm start = local;
    start.tm_hour = start.tm_min = start.tm_sec = 0;
    start.tm_isdst = -1;
    validFrom_ = std::mktime(&start);
    std::tm next = start;
    next.tm_mday += 1;
    next.tm_isdst = -1;
    validUntil_ = std::mktime(&next);
    // A midnight that daylight saving time skips: keep the range around now.
    if (validFrom_ == -1 || validFrom_ > now) validFrom_ = now;
    if (validUntil_ == -1 || validUntil_ <= now) validUntil_ = now + 1;
    return today_;
}

}  // namespace ardvel
