#include "search/TextFinder.h"

#include <algorithm>
#include <bit>

namespace ardvel {

namespace {

bool IsAscii(std::string_view text) noexcept
{
    const auto* s = reinterpret_cast<const unsigned char*>(text.data());
    return TextVectors().NextHighByte(s, 0, text.size()) == text.size();
}

/// The case bit to set and the byte wanted for the ASCII character `c`.
void Folded(unsigned char c, unsigned char& bit, unsigned char& wanted) noexcept
{
    const bool letter = c >= 'A' && c <= 'Z';
    bit = letter ? 0x20 : 0;
    wanted = letter ? static_cast<unsigned char>(c | 0x20) : c;
}

void Fill(PartPattern::Splat& bit, PartPattern::Splat& wanted, unsigned char c) noexcept
{
    unsigned char b, w;
    Folded(c, b, w);
    bit.fill(b);
    wanted.fill(w);
}

}  // namespace

TextFinder::TextFinder(std::string_view part, const Locale&, FoldOptions options)
    : folded_(FoldText(part, options)), options_(options), specials_(&FoldSpecials::For(options))
{
    asciiOnly_ = IsAscii(folded_);
    if (!asciiOnly_) return;
    upper_ = folded_;
    for (char& c : upper_) c = static_cast<char>(kAsciiUpper[static_cast<unsigned char>(c)]);
    if (!upper_.empty()) SetUpPattern();
}

void TextFinder::SetUpPattern()
{
    PartPattern& p = pattern_;
    p.Size = upper_.size();
    Fill(p.FirstBit, p.FirstWanted, static_cast<unsigned char>(upper_.front()));
    Fill(p.LastBit, p.LastWanted, static_cast<unsigned char>(upper_.back()));
    p.InBlock = upper_.size() <= p.PartWanted.size();
    if (p.InBlock)
        for (std::size_t k = 0; k < upper_.size(); ++k)
            Folded(static_cast<unsigned char>(upper_[k]), p.PartBits[k], p.PartWanted[k]);
    const std::string& leads = specials_->Leads();
    const bool few = leads.size() <= PartPattern::kMaxLeads;
    p.SpecialLeads = few ? static_cast<int>(leads.size()) : PartPattern::kAnyHigh;
    for (int k = 0; few && k < p.SpecialLeads; ++k) {
        const auto lead = static_cast<unsigned char>(leads[static_cast<std::size_t>(k)]);
        p.SpecialLead[static_cast<std::size_t>(k)].fill(lead);
        // Lead bytes are beyond ASCII: their high four bits, 8 to 15, pick a bit.
        const auto bit = static_cast<unsigned char>(1u << ((lead >> 4) - 8));
        for (const std::size_t lane : {std::size_t{0}, std::size_t{16}}) {
            p.LeadHigh[lane + (lead >> 4)] |= bit;
            p.LeadLow[lane + (lead & 15)] |= bit;
        }
    }
}

TextFinder::TextKind TextFinder::Classify(std::string_view text) const noexcept
{
    const auto* s = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t n = text.size();
    const TextVectorTable& vectors = TextVectors();
    TextKind kind = TextKind::Ascii;
    for (std::size_t i = vectors.NextHighByte(s, 0, n); i < n; i = vectors.NextHighByte(s, i + 1, n)) {
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
    const TextVectorTable& vectors = TextVectors();
    if (asciiOnly_ && text.size() >= 8 && text.size() <= 32 && vectors.FindInShort) {
        switch (vectors.FindInShort(pattern_, upper_, text)) {
            case ShortFind::Found:
                return true;
            case ShortFind::Missing:
                return false;
            case ShortFind::Slow:
                break;
        }
    }
    switch (Classify(text)) {
        case TextKind::Ascii:
            // An ASCII text stays ASCII when folded.
            return asciiOnly_ && vectors.FindAsciiFolded(text, upper_);
        case TextKind::Beyond:
            // Its characters beyond ASCII stay beyond ASCII when folded and
            // leave the ASCII ones as they are, so an ASCII part can only
            // occur among the ASCII characters, which fold in place.
            if (asciiOnly_) return vectors.FindAsciiFolded(text, upper_);
            break;
        case TextKind::Special:
            break;
    }
    FoldText(text, scratch, options_);
    return std::string_view(scratch).find(folded_) != std::string_view::npos;
}

bool TextFinder::CanMarkNames() const noexcept
{
    return asciiOnly_ && !upper_.empty() && pattern_.SpecialLeads >= 0 && TextVectorLimit() > 0 &&
           TextVectors().CollectShort != nullptr;
}

template <typename Place>
void TextFinder::Sweep(const unsigned char* s, std::size_t size, Place&& place) const
{
    const TextVectorTable& vectors = TextVectors();
    const std::size_t m = upper_.size();
    if (!vectors.CollectLong || size < m - 1 + 2 * 64) {
        SweepShort(s, size, place);
        return;
    }
    // A long region: the blocks with places are gathered first, then
    // handed on; the last few bytes are swept as a region of their own.
    constexpr std::size_t kBlocks = 64;
    PlaceBlock blocks[kBlocks];
    std::size_t at = 0;
    for (;;) {
        const std::size_t n = vectors.CollectLong(pattern_, s, size, at, blocks, kBlocks);
        for (std::size_t b = 0; b < n; ++b) {
            for (std::uint64_t bits = blocks[b].Places | blocks[b].Leads; bits != 0; bits &= bits - 1) {
                const auto bit = static_cast<unsigned>(std::countr_zero(bits));
                place(blocks[b].At + bit, ((blocks[b].Leads >> bit) & 1) != 0);
            }
        }
        if (n < kBlocks) break;
    }
    SweepShort(s + at, size - at, [&](std::size_t p, bool lead) { place(at + p, lead); });
}

template <typename Place>
void TextFinder::SweepShort(const unsigned char* s, std::size_t size, Place&& place) const
{
    const auto* u = reinterpret_cast<const unsigned char*>(upper_.data());
    const std::size_t m = upper_.size();
    const TextVectorTable& vectors = TextVectors();
    if (size < m - 1 + 16) {
        for (std::size_t p = 0; p < size; ++p) {
            if (IsSpecialLead(s[p]))
                place(p, true);
            else if (p + m <= size && kAsciiUpper[s[p]] == u[0] && kAsciiUpper[s[p + m - 1]] == u[m - 1])
                place(p, false);
        }
        return;
    }
    constexpr std::size_t kBlocks = 16;
    PlaceBlock blocks[kBlocks];
    const std::size_t end = size - (m - 1);
    std::size_t at = 0;
    while (at < end) {
        const std::size_t n = vectors.CollectShort(pattern_, s, size, at, blocks, kBlocks);
        for (std::size_t b = 0; b < n; ++b) {
            for (std::uint64_t bits = blocks[b].Places | blocks[b].Leads; bits != 0; bits &= bits - 1) {
                const auto bit = static_cast<unsigned>(std::countr_zero(bits));
                place(blocks[b].At + bit, ((blocks[b].Leads >> bit) & 1) != 0);
            }
        }
    }
    // The lead bytes of the last m - 1 bytes, where the part cannot start.
    for (std::size_t p = end; p < size; ++p)
        if (IsSpecialLead(s[p])) place(p, true);
}

std::size_t TextFinder::NameRun(const TDetails* files, std::size_t count, std::uint32_t* ends) noexcept
{
    // A run: the following records whose names come later in the same
    // chunk, each after the one before. The bytes between two names of a
    // chunk are texts too (the pool fills its chunks from the start, without
    // gaps), so the run's names can be read as one region.
    const StringRef first = files[0].Name;
    const std::uint32_t chunk = first.Ref >> 16;
    const std::uint32_t base = first.Ref;
    const std::size_t limit = std::min(count, kMaxMarkedNames);
    std::uint64_t end = std::uint64_t{base} + first.Length;
    ends[0] = first.Length;
    std::size_t j = 1;
    // Sixteen records at a time, without a branch for each: all of them must
    // start at or after the end of the name before (an empty name, at
    // reference 0, never does), and the last one in the chunk.
    constexpr std::size_t kStride = 16;
    const std::uint64_t chunkEnd = (std::uint64_t{chunk} + 1) << 16;
    while (j + kStride <= limit) {
        // The hardware does not fetch ahead across pages.
        const auto* ahead = reinterpret_cast<const char*>(files + std::min(j + 8 * kStride, count - 1));
        for (std::size_t line = 0; line < kStride * sizeof(TDetails); line += 64) __builtin_prefetch(ahead + line);
        std::uint64_t e = end;
        bool behind = false;
        for (std::size_t t = 0; t < kStride; ++t) {
            const StringRef ref = files[j + t].Name;
            behind |= ref.Ref < e;
            e = std::uint64_t{ref.Ref} + ref.Length;
            ends[j + t] = static_cast<std::uint32_t>(e - base);
        }
        if (behind || files[j + kStride - 1].Name.Ref >= chunkEnd) break;
        end = e;
        j += kStride;
    }
    for (; j < limit; ++j) {
        const StringRef ref = files[j].Name;
        if (ref.Length == 0 || (ref.Ref >> 16) != chunk || ref.Ref < end) break;
        end = std::uint64_t{ref.Ref} + ref.Length;
        ends[j] = static_cast<std::uint32_t>(end - base);
    }
    return j;
}

void TextFinder::MarkRun(const VolumeStore& store, const TDetails* run, std::size_t n, const std::uint32_t* ends,
                         std::size_t first, std::uint64_t* bits, std::string& scratch) const
{
    const std::size_t m = upper_.size();
    const auto* s = reinterpret_cast<const unsigned char*>(store.Text(run[0].Name).data());
    const auto wholeAt = TextVectors().WholeAt;
    // Places come in increasing order, and so do the names of the run: the
    // name a place lies in is looked for among the ends of the names from the
    // last one found on. Only whole matches and lead bytes are looked up, so
    // the names without them cost nothing here. A name is settled by its
    // first place that is a whole match, or by the slow test at its first
    // lead byte of a character that might fold to or with ASCII.
    constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    std::size_t k = 0, settled = kNone;
    const std::size_t size = ends[n - 1];
    const auto place = [&](std::size_t p, bool lead) {
        if (!lead && !wholeAt(pattern_, upper_, s, size, p)) return;
        // The first name from k on that ends after p, by halving without
        // branches.
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
        if (lead ? FoundIn(store.Name(run[k]), scratch) : p + m <= ends[k])
            bits[(first + k) >> 6] |= std::uint64_t{1} << ((first + k) & 63);
    };
    Sweep(s, size, place);
}

void TextFinder::MarkNames(const VolumeStore& store, const TDetails* files, std::size_t count, std::uint64_t* bits,
                           std::string& scratch) const
{
    // Where each name of a run ends, from the start of the run's region.
    std::uint32_t ends[kMaxMarkedNames];
    std::size_t i = 0;
    while (i < count) {
        if (files[i].Name.Length == 0) {  // an empty name contains nothing
            ++i;
            continue;
        }
        const std::size_t n = NameRun(files + i, count - i, ends);
        MarkRun(store, files + i, n, ends, i, bits, scratch);
        i += n;
    }
}

bool TextContains(std::string_view text, std::string_view part, const Locale& locale)
{
    std::string scratch;
    return TextFinder(part, locale).FoundIn(text, scratch);
}

}  // namespace ardvel
