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
    // First by image and the first primary weights of each text: cheap, and
    // it decides most pairs. Rows whose prefixes are equal form runs, ordered
    // by their whole primary weights and, where those are equal too, by the
    // collation itself.
    std::vector<CollationPrefix> prefixes(imageOf.size());
    for (std::uint32_t i : order) prefixes[i] = MakeCollationPrefix(textOf(i), locale);
    const bool ascending = direction > 0;
    std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
        if (imageOf[a] != imageOf[b]) return imageOf[a] < imageOf[b];
        if (prefixes[a] == prefixes[b]) return false;
        return (prefixes[a] < prefixes[b]) == ascending;
    });

    std::vector<std::string> texts, primaries;
    std::vector<std::uint32_t> runOrder;
    for (std::size_t begin = 0; begin < order.size();) {
        std::size_t end = begin + 1;
        while (end < order.size() && imageOf[order[end]] == imageOf[order[begin]] &&
               prefixes[order[end]] == prefixes[order[begin]])
            ++end;
        if (end - begin > 1) {
            texts.clear();
            primaries.clear();
            runOrder.clear();
            for (std::size_t k = begin; k < end; ++k) {
                texts.push_back(textOf(order[k]));
                std::string key = CollationKey(texts.back(), locale);
                key.resize(std::min(key.size(), key.find('\x01')));
                primaries.push_back(std::move(key));
                runOrder.push_back(static_cast<std::uint32_t>(k - begin));
            }
            std::stable_sort(runOrder.begin(), runOrder.end(), [&](std::uint32_t a, std::uint32_t b) {
                int c = primaries[a].compare(primaries[b]);
                if (c == 0) c = ::strcoll_l(texts[a].c_str(), texts[b].c_str(), locale.Handle());
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
