#include "store/RowSort.h"

#include <string.h>

#include <bit>
#include <cmath>

namespace ardvel {

bool IsTextColumn(const SortState& sort, ListKind kind) noexcept
{
    if (kind == ListKind::FolderList) return sort.Column == 0 || sort.Column == 3;
    return sort.Column == 0 || sort.Column == 1 || sort.Column == 2 || sort.Column == 5;
}

NumberColumn NumberColumnOf(const SortState& sort, ListKind kind) noexcept
{
    const bool folders = kind == ListKind::FolderList;
    if (sort.Column == (folders ? 1 : 3)) return NumberColumn::Size;
    if (sort.Column == (folders ? 2 : 4)) return NumberColumn::Date;
    return NumberColumn::None;
}

SortNumbers SortNumbersOf(const RowKeys& keys, NumberColumn column) noexcept
{
    SortNumbers numbers;
    numbers.Image = keys.ImageIndex;
    if (column == NumberColumn::Size) {
        numbers.Unit = keys.SubDir ? 'R' : keys.SizeKB <= 999 ? 'K' : 'M';
        numbers.Shown = ShownSize(keys.SizeKB);
    } else if (column == NumberColumn::Date) {
        numbers.Seconds = std::round(keys.Date * 86400.0);
    }
    return numbers;
}

int CompareNumbers(const SortNumbers& a, const SortNumbers& b, NumberColumn column) noexcept
{
    switch (column) {
        case NumberColumn::Size: {
            // "[SUB-DIR]" first is level with anything; the units' letters
            // next; sizes in MB differ once they differ by more than half a MB
            // (ties to even).
            if (a.Unit == 'R') return 0;
            if (a.Unit != b.Unit) return a.Unit < b.Unit ? -1 : 1;
            const std::int64_t d = a.Shown - b.Shown;
            if (a.Unit == 'M' && d >= -500 && d <= 500) return 0;
            return (d > 0) - (d < 0);
        }
        case NumberColumn::Date: {
            // Whole days apart, rounded to even: more than half a day.
            const double d = a.Seconds - b.Seconds;
            if (!(d > 43200.0 || d < -43200.0)) return 0;
            return d > 0 ? 1 : -1;
        }
        case NumberColumn::None:
            break;
    }
    return 0;
}

std::string SortColumnText(const RowKeys& keys, const SortState& sort, ListKind kind)
{
    const int media = kind == ListKind::FolderList ? 3 : 5;
    if (sort.Column == 0) return std::string(keys.Caption);
    if (sort.Column == media) return std::string(keys.MediaArtist) + std::string(keys.MediaTitle);
    if (sort.Column == 1) return std::string(keys.Volume);
    return std::string(keys.Path);
}

namespace {

/// The primary weights of each row's text (the first level of its sort key,
/// up to the level separator 01), made once and kept in one arena; the
/// first eight bytes are also held inline.
struct PrimaryKeys {
    std::vector<std::uint64_t> Prefix;
    std::vector<std::uint32_t> Offset, Length;
    std::string Arena;

    int Compare(std::uint32_t a, std::uint32_t b) const
    {
        if (Prefix[a] != Prefix[b]) return Prefix[a] < Prefix[b] ? -1 : 1;
        return std::string_view(Arena.data() + Offset[a], Length[a])
            .compare(std::string_view(Arena.data() + Offset[b], Length[b]));
    }
};

PrimaryKeys MakePrimaryKeys(const std::vector<std::uint32_t>& order, std::size_t n,
                            const std::function<std::string(std::uint32_t)>& textOf, const Locale& locale)
{
    PrimaryKeys keys;
    keys.Prefix.resize(n);
    keys.Offset.resize(n);
    keys.Length.resize(n);
    std::string key(256, '\0');
    for (std::uint32_t i : order) {
        const std::string text = textOf(i);
        std::size_t needed = ::strxfrm_l(key.data(), text.c_str(), key.size(), locale.Handle());
        if (needed >= key.size()) {
            key.assign(needed + 1, '\0');
            needed = ::strxfrm_l(key.data(), text.c_str(), key.size(), locale.Handle());
        }
        const std::size_t primary = std::min(needed, std::string_view(key.data(), needed).find('\x01'));
        std::uint64_t p = 0;
        for (std::size_t b = 0; b < 8; ++b) p = (p << 8) | (b < primary ? static_cast<unsigned char>(key[b]) : 0u);
        keys.Prefix[i] = p;
        keys.Offset[i] = static_cast<std::uint32_t>(keys.Arena.size());
        keys.Length[i] = static_cast<std::uint32_t>(primary);
        keys.Arena.append(key.data(), primary);
    }
    return keys;
}

/// Orders the rows order[begin, end), whose primary weights are equal, by
/// the collation itself, the byte order breaking its ties.
void SortRunByCollation(std::vector<std::uint32_t>& order, std::size_t begin, std::size_t end,
                        const std::function<std::string(std::uint32_t)>& textOf, bool ascending, const Locale& locale)
{
    std::vector<std::string> texts;
    std::vector<std::uint32_t> runOrder;
    for (std::size_t k = begin; k < end; ++k) {
        texts.push_back(textOf(order[k]));
        runOrder.push_back(static_cast<std::uint32_t>(k - begin));
    }
    std::stable_sort(runOrder.begin(), runOrder.end(), [&](std::uint32_t a, std::uint32_t b) {
        int c = ::strcoll_l(texts[a].c_str(), texts[b].c_str(), locale.Handle());
        if (c == 0) c = texts[a].compare(texts[b]);
        return ascending ? c < 0 : c > 0;
    });
    const std::vector<std::uint32_t> run(order.begin() + static_cast<std::ptrdiff_t>(begin),
                                         order.begin() + static_cast<std::ptrdiff_t>(end));
    for (std::size_t k = 0; k < run.size(); ++k) order[begin + k] = run[runOrder[k]];
}

}  // namespace

void SortByCollation(std::vector<std::uint32_t>& order, const std::vector<int>& imageOf,
                     const std::function<std::string(std::uint32_t)>& textOf, int direction, const Locale& locale,
                     const SortPoll& poll)
{
    // Rows compare by their primary weights. Only rows whose primary weights
    // are all equal (texts that differ in case, accents or punctuation
    // alone) are then ordered by the collation itself: the later levels of
    // glibc's keys do not always agree with its strcoll.
    const PrimaryKeys keys = MakePrimaryKeys(order, imageOf.size(), textOf, locale);
    const bool ascending = direction > 0;
    SortPollCounter polls(poll);
    std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
        polls.Tick();
        if (imageOf[a] != imageOf[b]) return imageOf[a] < imageOf[b];
        const int c = keys.Compare(a, b);
        return ascending ? c < 0 : c > 0;
    });
    for (std::size_t begin = 0; begin < order.size();) {
        std::size_t end = begin + 1;
        while (end < order.size() && imageOf[order[end]] == imageOf[order[begin]] &&
               keys.Compare(order[end], order[begin]) == 0)
            ++end;
        if (end - begin > 1) SortRunByCollation(order, begin, end, textOf, ascending, locale);
        begin = end;
    }
}

}  // namespace ardvel
