#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "store/RowSort.h"

namespace ardvel {
namespace {

struct Row {
    std::string Name, Artist, Title;
    int Image = 4;
    std::int64_t Size = 0;
    bool SubDir = false;
    double Date = 0;
    int Id = 0;
};

RowKeys KeysOf(const Row& r)
{
    RowKeys k;
    k.ImageIndex = r.Image;
    k.Caption = r.Name;
    k.SizeKB = r.Size;
    k.SubDir = r.SubDir;
    k.Date = r.Date;
    k.MediaArtist = r.Artist;
    k.MediaTitle = r.Title;
    k.Volume = r.Artist;
    k.Path = r.Title;
    return k;
}

std::vector<Row> RandomRows(unsigned seed, std::size_t count)
{
    // Names that share long prefixes, differ only in case or accents, or
    // hold punctuation the collation mostly ignores: the cases in which a
    // prefix of the sort key cannot decide.
    static const char* const kParts[] = {"track", "Track", "TRACK",  "tráck",   "a", "A",    "á",
                                         "-",     " ",     "_",      "10",      "9", "Élan", "elan",
                                         "ёж",    "Ёж",    "straße", "strasse", "ß", "z",    ".mp3"};
    std::mt19937 rng(seed);
    std::vector<Row> rows(count);
    for (std::size_t i = 0; i < count; ++i) {
        Row& r = rows[i];
        const int parts = 1 + static_cast<int>(rng() % 6);
        for (int p = 0; p < parts; ++p) r.Name += kParts[rng() % std::size(kParts)];
        r.Artist = kParts[rng() % std::size(kParts)];
        r.Title = rng() % 2 ? std::string(" - ") + kParts[rng() % std::size(kParts)] : "";
        r.Image = rng() % 4 == 0 ? 2 : 4;
        r.Size = static_cast<std::int64_t>(rng() % 3000);
        r.SubDir = r.Image == 2 && rng() % 2 == 0;
        // Dates a fraction of a second apart compare as the shown seconds.
        r.Date = 40000 + static_cast<double>(rng() % 50) + static_cast<double>(rng() % 4) / 200000.0;
        r.Id = static_cast<int>(i);
    }
    return rows;
}

std::vector<int> Ids(const std::vector<Row>& rows)
{
    std::vector<int> ids;
    for (const Row& r : rows) ids.push_back(r.Id);
    return ids;
}

TEST(RowSortFast, GivesExactlyTheOrderOfTheRowComparison)
{
    for (const char* name : {"en_US.UTF-8", "de_DE.UTF-8"}) {
        const Locale locale(name);
        for (ListKind kind : {ListKind::FolderList, ListKind::SearchResults}) {
            for (int column = 0; column < 6; ++column) {
                for (int direction : {1, -1}) {
                    SortState sort;
                    sort.Column = static_cast<std::uint8_t>(column);
                    sort.Direction = static_cast<std::int8_t>(direction);
                    std::vector<Row> expected = RandomRows(static_cast<unsigned>(column * 7 + direction + 3), 1500);
                    std::vector<Row> fast = expected;
                    std::stable_sort(expected.begin(), expected.end(), [&](const Row& a, const Row& b) {
                        return ListViewCompare(KeysOf(a), KeysOf(b), sort, kind, locale) < 0;
                    });
                    SortRowsStable(fast, KeysOf, sort, kind, locale);
                    EXPECT_EQ(Ids(fast), Ids(expected)) << name << " column " << column << " direction " << direction;
                }
            }
        }
    }
}

}  // namespace
}  // namespace ardvel
