#pragma once

// Pairing the entries of two folders by name, for the tree comparison.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "catalog/StoredText.h"

namespace ardvel::name_match {

inline constexpr std::uint32_t kNoIndex = 0xFFFFFFFFu;

/// A name and its place in its folder. The first 8 bytes, big-endian, settle
/// most comparisons without touching the text.
struct KeyedName {
    std::uint64_t Prefix;
    const char* Data;
    std::uint32_t Size;
    std::uint32_t Index;

    KeyedName(std::string_view text, std::uint32_t index) noexcept
        : Prefix(0), Data(text.data()), Size(static_cast<std::uint32_t>(text.size())), Index(index)
    {
        for (std::size_t i = 0; i < 8 && i < text.size(); ++i)
            Prefix |= std::uint64_t{static_cast<unsigned char>(text[i])} << (56 - 8 * i);
    }
    std::string_view View() const noexcept { return {Data, Size}; }
};

/// Byte order of the texts (names hold no NUL, so the zero-padded prefix
/// orders as the text does).
inline int CompareKeys(const KeyedName& a, const KeyedName& b) noexcept
{
    if (a.Prefix != b.Prefix) return a.Prefix < b.Prefix ? -1 : 1;
    return a.View().compare(b.View());
}

/// Names in the form a catalog file gives back. Texts that had to be
/// converted live here until the next Clear.
class StoredNames {
public:
    std::string_view Of(std::string_view raw)
    {
        if (IsStoredForm(raw)) return raw;
        return kept_.emplace_back(AsStored(raw));
    }
    void Clear() { kept_.clear(); }

private:
    std::deque<std::string> kept_;
};

/// Scratch space reused from folder to folder.
struct Buffers {
    StoredNames Names;
    std::vector<KeyedName> Old, New;
    std::vector<std::uint32_t> OldLeft, NewLeft;
};

namespace detail {

/// Sorts `keys` and merges them: pairs go to visit, the rest to the two
/// left-over lists.
template <typename Visit>
void MergeSorted(std::vector<KeyedName>& oldKeys, std::vector<KeyedName>& newKeys, std::vector<std::uint32_t>& oldLeft,
                 std::vector<std::uint32_t>& newLeft, Visit& visit)
{
    const auto less = [](const KeyedName& a, const KeyedName& b) {
        const int c = CompareKeys(a, b);
        return c != 0 ? c < 0 : a.Index < b.Index;
    };
    std::sort(oldKeys.begin(), oldKeys.end(), less);
    std::sort(newKeys.begin(), newKeys.end(), less);
    std::size_t i = 0, j = 0;
    while (i < oldKeys.size() && j < newKeys.size()) {
        const int c = CompareKeys(oldKeys[i], newKeys[j]);
        if (c == 0)
            visit(oldKeys[i++].Index, newKeys[j++].Index);
        else if (c < 0)
            oldLeft.push_back(oldKeys[i++].Index);
        else
            newLeft.push_back(newKeys[j++].Index);
    }
    for (; i < oldKeys.size(); ++i) oldLeft.push_back(oldKeys[i].Index);
    for (; j < newKeys.size(); ++j) newLeft.push_back(newKeys[j].Index);
}

}  // namespace detail

/// Pairs the entries of two lists by name: visit(old, new) for each pair,
/// visit(old, kNoIndex) for a name only in the old list, visit(kNoIndex, new)
/// for one only in the new list.
///
/// Equal bytes are equal names whatever form the texts are in, so the lists
/// are first walked from both ends while they agree name for name. What lies
/// between is paired by sorting it by bytes; only the names left after that
/// are brought into their stored form and paired once more. Returns true when
/// the calls came in list order: the lists differ only by entries that one of
/// them has between the common start and the common end.
template <typename OldName, typename NewName, typename Visit>
bool MatchByName(std::uint32_t oldCount, std::uint32_t newCount, const OldName& oldName, const NewName& newName,
                 Buffers& buffers, Visit visit)
{
    std::uint32_t first = 0;
    const std::uint32_t common = std::min(oldCount, newCount);
    while (first < common && oldName(first) == newName(first)) {
        visit(first, first);
        ++first;
    }
    if (first == oldCount && first == newCount) return true;
    std::uint32_t oldEnd = oldCount, newEnd = newCount;
    while (oldEnd > first && newEnd > first && oldName(oldEnd - 1) == newName(newEnd - 1)) {
        --oldEnd;
        --newEnd;
    }

    const auto visitSuffix = [&] {
        for (std::uint32_t k = 0; oldEnd + k < oldCount; ++k) visit(oldEnd + k, newEnd + k);
    };
    if (oldEnd == first || newEnd == first) {
        for (std::uint32_t i = first; i < oldEnd; ++i) visit(i, kNoIndex);
        for (std::uint32_t j = first; j < newEnd; ++j) visit(kNoIndex, j);
        visitSuffix();
        return true;
    }

    buffers.Old.clear();
    buffers.New.clear();
    buffers.OldLeft.clear();
    buffers.NewLeft.clear();
    for (std::uint32_t i = first; i < oldEnd; ++i) buffers.Old.emplace_back(oldName(i), i);
    for (std::uint32_t j = first; j < newEnd; ++j) buffers.New.emplace_back(newName(j), j);
    detail::MergeSorted(buffers.Old, buffers.New, buffers.OldLeft, buffers.NewLeft, visit);

    if (!buffers.OldLeft.empty() && !buffers.NewLeft.empty()) {
        // Names that differ in bytes may still be stored alike.
        buffers.Old.clear();
        buffers.New.clear();
        for (std::uint32_t i : buffers.OldLeft) buffers.Old.emplace_back(buffers.Names.Of(oldName(i)), i);
        for (std::uint32_t j : buffers.NewLeft) buffers.New.emplace_back(buffers.Names.Of(newName(j)), j);
        buffers.OldLeft.clear();
        buffers.NewLeft.clear();
        detail::MergeSorted(buffers.Old, buffers.New, buffers.OldLeft, buffers.NewLeft, visit);
    }
    for (std::uint32_t i : buffers.OldLeft) visit(i, kNoIndex);
    for (std::uint32_t j : buffers.NewLeft) visit(kNoIndex, j);
    visitSuffix();
    return false;
}

}  // namespace ardvel::name_match
