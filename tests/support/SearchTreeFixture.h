#pragma once

// Small catalog trees for the search tests.

#include <string>
#include <string_view>
#include <vector>

#include "platform/Locale.h"
#include "search/SearchResults.h"
#include "store/CatalogTree.h"
#include "store/DateTime.h"
#include "support/DateAt.h"

namespace ardvel::test {

inline const Locale& EnUs()
{
    static const Locale locale("en_US.UTF-8");
    return locale;
}

inline const Locale& DeDe()
{
    static const Locale locale("de_DE.UTF-8");
    return locale;
}

/// A file as a one-file volume store holds it, for the predicate tests.
struct OneFile {
    VolumeStore Store;
    TDetails Details;

    explicit OneFile(std::string_view name, std::int32_t sizeKB = 1, TDateTime date = 0)
    {
        Details.Name = Store.Strings.Add(name);
        Details.SizeKB = sizeKB;
        Details.Date = date;
    }
    OneFile(std::string_view name, std::string_view artist, std::string_view title) : OneFile(name)
    {
        Details.Media = static_cast<std::uint32_t>(Store.Media.size());
        Store.Media.push_back(MediaRecord{Store.Strings.Add(artist), Store.Strings.Add(title)});
    }
};

/// "Name|Volume|Path" of every row, in the results' order.
inline std::vector<std::string> RowNames(const SearchResults& results)
{
    std::vector<std::string> names;
    for (std::size_t i = 0; i < results.size(); ++i) {
        std::string s(results.Name(i));
        s += '|';
        s += results.Volume(i);
        s += '|';
        s += results.Path(i);
        names.push_back(std::move(s));
    }
    return names;
}

}  // namespace ardvel::test
