#include "store/RowSort.h"

#include <string.h>

namespace ardvel {

std::string CollationKey(std::string_view text, const Locale& locale)
{
    thread_local std::string input;
    input.assign(text);
    std::string key(4 * input.size() + 16, '\0');
    std::size_t needed = ::strxfrm_l(key.data(), input.c_str(), key.size(), locale.Handle());
    if (needed >= key.size()) {
        key.assign(needed + 1, '\0');
        needed = ::strxfrm_l(key.data(), input.c_str(), key.size(), locale.Handle());
    }
    key.resize(needed);
    return key;
}

CollationPrefix MakeCollationPrefix(std::string_view text, const Locale& locale)
{
    // Only the primary weights, which come first in the key and end at the
    // level separator 01: the later levels of glibc's keys do not always
    // agree with its strcoll (ignorable punctuation), the primary ones do.
    const std::string key = CollationKey(text, locale);
    CollationPrefix prefix;
    bool primary = true;
    for (std::size_t i = 0; i < 16; ++i) {
        if (i >= key.size() || key[i] == '\x01') primary = false;
        const std::uint64_t byte = primary ? static_cast<unsigned char>(key[i]) : 0u;
        if (i < 8) prefix.High = (prefix.High << 8) | byte;
        else prefix.Low = (prefix.Low << 8) | byte;
    }
    return prefix;
}

bool IsTextColumn(const SortState& sort, ListKind kind) noexcept
{
    if (kind == ListKind::FolderList) return sort.Column == 0 || sort.Column == 3;
    return sort.Column == 0 || sort.Column == 1 || sort.Column == 2 || sort.Column == 5;
}

std::string SortColumnText(const RowKeys& keys, const SortState& sort, ListKind kind)
{
    const int media = kind == ListKind::FolderList ? 3 : 5;
    if (sort.Column == 0) return std::string(keys.Caption);
    if (sort.Column == media) return std::string(keys.MediaArtist) + std::string(keys.MediaTitle);
    if (sort.Column == 1) return std::string(keys.Volume);
    return std::string(keys.Path);
}

void SortByCollation(std::vector<std::uint32_t>& order, const std::vector<int>& imageOf,
                     const std::function<std::string(std::uint32_t)>& textOf, int direction, const Locale& locale)
{
    // Each text's primary weights (the first level of its sort key, up to
    // the level separator 01) are made once and kept in one arena; rows
    // compare by them, the first eight bytes held inline. Only rows whose
    // primary weights are all equal (texts that differ in case, accents or
    // punctuation alone) are then ordered by the collation itself: the later
    // levels of glibc's keys do not always agree with its strcoll.
    const std::size_t n = imageOf.size();
    std::vector<std::uint64_t> prefix(n);
    std::vector<std::uint32_t> offset(n), length(n);
    std::string arena;
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
        prefix[i] = p;
        offset[i] = static_cast<std::uint32_t>(arena.size());
        length[i] = static_cast<std::uint32_t>(primary);
        arena.append(key.data(), primary);
    }
    const auto primaryOrder = [&](std::uint32_t a, std::uint32_t b) {
        if (prefix[a] != prefix[b]) return prefix[a] < prefix[b] ? -1 : 1;
        return std::string_view(arena.data() + offset[a], length[a])
            .compare(std::string_view(arena.data() + offset[b], length[b]));
    };
    const bool ascending = direction > 0;
    std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
        if (imageOf[a] != imageOf[b]) return imageOf[a] < imageOf[b];
        const int c = primaryOrder(a, b);
        return ascending ? c < 0 : c > 0;
    });

    std::vector<std::string> texts;
    std::vector<std::uint32_t> runOrder;
    for (std::size_t begin = 0; begin < order.size();) {
        std::size_t end = begin + 1;
        while (end < order.size() && imageOf[order[end]] == imageOf[order[begin]] &&
               primaryOrder(order[end], order[begin]) == 0)
            ++end;
        if (end - begin > 1) {
            texts.clear();
            runOrder.clear();
            for (std::size_t k = begin; k < end; ++k) {
                texts.push_back(textOf(order[k]));
                runOrder.push_back(static_cast<std::uint32_t>(k - begin));
            }
            std::stable_sort(runOrder.begin(), runOrder.end(), [&](std::uint32_t a, std::uint32_t b) {
                int c = ::strcoll_l(texts[a].c_str(), texts[b].c_str(), locale.Handle());
                if (c == 0) c = texts[a].compare(texts[b]);
                return ascending ? c < 0 : c > 0;
            });
            std::vector<std::uint32_t> run(order.begin() + static_cast<std::ptrdiff_t>(begin),
                                           order.begin() + static_cast<std::ptrdiff_t>(end));
            for (std::size_t k = 0; k < run.size(); ++k) order[begin + k] = run[runOrder[k]];
        }
        begin = end;
    }
}

}  // namespace ardvel
