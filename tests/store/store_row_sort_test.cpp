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
                    // Room for more rows, as a results list reserves it:
                    // the sort leaves the rows in that memory.
                    std::vector<Row> fast;
                    fast.reserve(4 * expected.size());
                    fast = expected;
                    const Row* const memory = fast.data();
                    std::stable_sort(expected.begin(), expected.end(), [&](const Row& a, const Row& b) {
                        return ListViewCompare(KeysOf(a), KeysOf(b), sort, kind, locale) < 0;
                    });
                    SortRowsStable(fast, KeysOf, sort, kind, locale);
                    EXPECT_EQ(Ids(fast), Ids(expected)) << name << " column " << column << " direction " << direction;
                    EXPECT_EQ(fast.data(), memory);
                    EXPECT_EQ(fast.capacity(), 4 * expected.size());
                }
            }
        }
    }
}

TEST(RowSortFast, APollThatThrowsEndsTheSortWhileItCompares)
{
    // Once every row's keys are taken only comparisons are left: a sort
    // that is no longer wanted must still end there, by text and by number,
    // leaving every row in place.
    struct Stop {};
    const Locale locale("en_US.UTF-8");
    const std::vector<Row> original = RandomRows(11, 20 * kSortPollEvery);
    for (int column : {0, 3, 4}) {
        SortState sort;
        sort.Column = static_cast<std::uint8_t>(column);
        std::vector<Row> rows = original;
        std::size_t keysTaken = 0;
        int polls = 0;
        const auto keys = [&](const Row& r) {
            ++keysTaken;
            return KeysOf(r);
        };
        const SortPoll poll = [&] {
            ++polls;
            if (keysTaken >= rows.size()) throw Stop{};
        };
        EXPECT_THROW(SortRowsStable(rows, keys, sort, ListKind::SearchResults, locale, poll), Stop)
            << "column " << column;
        EXPECT_EQ(polls, 1) << "column " << column;
        std::vector<int> ids = Ids(rows);
        std::sort(ids.begin(), ids.end());
        EXPECT_EQ(ids, Ids(original)) << "column " << column;
    }
}

TEST(RowSortFast, SizesAndDatesCompareAsTheRowComparisonAtEveryBoundary)
{
    // Sizes either side of 999 KB and of half a MB apart, folders with
    // "[SUB-DIR]"; dates either side of half a day apart, and fractions of a
    // second. Every pair of rows sorts as the row comparison puts it.
    const Locale locale("en_US.UTF-8");
    std::vector<Row> rows;
    const std::int64_t sizes[] = {0, 1, 998, 999, 1000, 1001, 1024, 1535, 1536, 1537, 1560, 2048, 2559, 2560, 2561};
    const double seconds[] = {0, 0.4, 0.6, 43199.4, 43200, 43200.4, 43200.6, 43201, 86400, 129600, 129601};
    for (std::size_t i = 0; i < std::size(sizes); ++i) {
        for (int image : {2, 4}) {
            for (bool subDir : {false, true}) {
                if (subDir && image == 4) continue;
                Row r;
                r.Image = image;
                r.Size = sizes[i];
                r.SubDir = subDir;
                r.Date = 40000 + seconds[i % std::size(seconds)] / 86400.0;
                r.Id = static_cast<int>(rows.size());
                rows.push_back(r);
            }
        }
    }
    for (ListKind kind : {ListKind::FolderList, ListKind::SearchResults}) {
        const int size = kind == ListKind::FolderList ? 1 : 3;
        for (int column : {size, size + 1, 9}) {
            for (int direction : {1, -1}) {
                SortState sort;
                sort.Column = static_cast<std::uint8_t>(column);
                sort.Direction = static_cast<std::int8_t>(direction);
                for (const Row& a : rows) {
                    for (const Row& b : rows) {
                        std::vector<Row> pair = {a, b};
                        SortRowsStable(pair, KeysOf, sort, kind, locale);
                        const bool swapped = ListViewCompare(KeysOf(b), KeysOf(a), sort, kind, locale) < 0;
                        ASSERT_EQ(pair[0].Id, swapped ? b.Id : a.Id)
                            << "column " << column << " direction " << direction << ": " << a.Size << "/" << a.SubDir
                            << " " << a.Date << " against " << b.Size << "/" << b.SubDir << " " << b.Date;
                    }
                }
            }
        }
    }
}

}  // namespace
}  // namespace ardvel
