// The duplicate search: keys, scopes, minimum size, group order, copies of
// one file and folders.
#include "search/Duplicates.h"

#include <gtest/gtest.h>

#include <bit>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "search/DuplicateBuilder.h"
#include "search/DuplicateReport.h"
#include "support/SearchTreeFixture.h"

namespace ardvel {
namespace {

using test::At;

/// A:\  Song.mp3 100, readme.txt 2, notes.txt 3, Ölfeld.txt 5
///      Docs\  README.TXT 2, report.doc 50 (May 1)
///             Sub\  report.doc 50 (May 2)
/// B:\  song.MP3 100, Copy of song.mp3 100 (renamed), NOTES.txt 9,
///      ölfeld.TXT 5, unique.bin 7
class Duplicates : public ::testing::Test {
protected:
    Duplicates()
    {
        a = tree.AddVolume("A", At(2020, 1, 1));
        tree.AddFile(a, "Song.mp3", 100, At(2020, 3, 1, 10, 0, 0));
        tree.AddFile(a, "readme.txt", 2, At(2020, 3, 2));
        tree.AddFile(a, "notes.txt", 3, At(2020, 3, 3));
        tree.AddFile(a, "\xC3\x96lfeld.txt", 5, At(2020, 3, 4));
        docs = tree.AddFolder(a, "Docs", At(2020, 1, 1));
        tree.AddFile(docs, "README.TXT", 2, At(2020, 3, 2));
        tree.AddFile(docs, "report.doc", 50, At(2020, 5, 1));
        const NodeId sub = tree.AddFolder(docs, "Sub", At(2020, 1, 1));
        tree.AddFile(sub, "report.doc", 50, At(2020, 5, 2));
        b = tree.AddVolume("B", At(2021, 1, 1));
        tree.AddFile(b, "song.MP3", 100, At(2020, 3, 1, 10, 0, 0));
        tree.AddFile(b, "Copy of song.mp3", 100, At(2020, 3, 1, 10, 0, 0));
        tree.AddFile(b, "NOTES.txt", 9, At(2020, 3, 3));
        tree.AddFile(b, "\xC3\xB6lfeld.TXT", 5, At(2020, 3, 4));
        tree.AddFile(b, "unique.bin", 7, At(2020, 3, 5));
    }

    /// Each group as "wasted: Volume:\path\name, ...".
    std::vector<std::string> Groups(const SearchScope& scope, const DuplicateOptions& options)
    {
        const DuplicateResult result = FindDuplicates(tree, scope, options, test::EnUs());
        std::vector<std::string> groups;
        for (const DuplicateGroup& g : result.Groups()) {
            std::string text = std::to_string(g.WastedKB) + ":";
            for (std::uint32_t i = 0; i < g.Count; ++i) text += " " + PathOf(result.Record(g.First + i));
            groups.push_back(text);
        }
        return groups;
    }
    std::vector<std::string> Groups(DuplicateKey key, std::int64_t minSizeKB = 0)
    {
        return Groups(SearchScope::AllVolumes(), DuplicateOptions{key, minSizeKB, false});
    }

    std::string PathOf(const DuplicateRecord& r) const { return DuplicateNodePath(tree, r); }

    /// The store index of the file `name` of `node`.
    std::uint32_t FileOf(NodeId node, std::string_view name) const
    {
        const FileList files = tree.Files(node);
        for (std::uint32_t i = 0; i < files.size(); ++i)
            if (files.Store().Name(files[i]) == name) return files.Begin() + i;
        return kNoFile;
    }

    CatalogTree tree;
    NodeId a = kNoNode, b = kNoNode, docs = kNoNode;
};

TEST_F(Duplicates, EachKeyGroupsByItsOwnParts)
{
    // Names ignore letter case, beyond ASCII too; sizes must agree.
    EXPECT_EQ(Groups(DuplicateKey::NameSize),
              (std::vector<std::string>{
                  "100: A:\\Song.mp3 B:\\song.MP3", "50: A:\\Docs\\report.doc A:\\Docs\\Sub\\report.doc",
                  "5: A:\\\xC3\x96lfeld.txt B:\\\xC3\xB6lfeld.TXT", "2: A:\\readme.txt A:\\Docs\\README.TXT"}));
    // The two reports differ in date.
    EXPECT_EQ(
        Groups(DuplicateKey::NameSizeDate),
        (std::vector<std::string>{"100: A:\\Song.mp3 B:\\song.MP3", "5: A:\\\xC3\x96lfeld.txt B:\\\xC3\xB6lfeld.TXT",
                                  "2: A:\\readme.txt A:\\Docs\\README.TXT"}));
    // The renamed copy joins by size and date.
    EXPECT_EQ(Groups(DuplicateKey::SizeDate),
              (std::vector<std::string>{"200: A:\\Song.mp3 B:\\song.MP3 B:\\Copy of song.mp3",
                                        "5: A:\\\xC3\x96lfeld.txt B:\\\xC3\xB6lfeld.TXT",
                                        "2: A:\\readme.txt A:\\Docs\\README.TXT"}));
    // By name alone sizes may differ: all but the largest could be freed.
    EXPECT_EQ(Groups(DuplicateKey::Name),
              (std::vector<std::string>{"100: A:\\Song.mp3 B:\\song.MP3",
                                        "50: A:\\Docs\\report.doc A:\\Docs\\Sub\\report.doc",
                                        "5: A:\\\xC3\x96lfeld.txt B:\\\xC3\xB6lfeld.TXT",
                                        "3: A:\\notes.txt B:\\NOTES.txt", "2: A:\\readme.txt A:\\Docs\\README.TXT"}));
}

TEST_F(Duplicates, ScopeAndMinimumSize)
{
    const DuplicateOptions byNameSize;
    EXPECT_EQ(Groups(SearchScope::Of(a), byNameSize),
              (std::vector<std::string>{"50: A:\\Docs\\report.doc A:\\Docs\\Sub\\report.doc",
                                        "2: A:\\readme.txt A:\\Docs\\README.TXT"}));
    EXPECT_EQ(Groups(SearchScope::Of(docs), byNameSize),
              (std::vector<std::string>{"50: A:\\Docs\\report.doc A:\\Docs\\Sub\\report.doc"}));
    EXPECT_TRUE(Groups(SearchScope::Of(b), byNameSize).empty());
    EXPECT_TRUE(Groups(SearchScope{}, byNameSize).empty());
    // The minimum itself is kept.
    EXPECT_EQ(Groups(DuplicateKey::NameSize, 50),
              (std::vector<std::string>{"100: A:\\Song.mp3 B:\\song.MP3",
                                        "50: A:\\Docs\\report.doc A:\\Docs\\Sub\\report.doc"}));
    EXPECT_EQ(Groups(DuplicateKey::NameSize, 51), (std::vector<std::string>{"100: A:\\Song.mp3 B:\\song.MP3"}));
}

TEST_F(Duplicates, LevelGroupsKeepTreeOrderAndTotalsAddUp)
{
    // Two groups of 12 KB wasted: the one whose first record comes first
    // in the tree goes first, whichever hash is lower.
    const NodeId c = tree.AddVolume("C", At(2022, 1, 1));
    tree.AddFile(c, "zeta", 12, 1);
    tree.AddFile(c, "alpha", 6, 1);
    tree.AddFile(c, "ZETA", 12, 1);
    tree.AddFile(c, "alpha", 6, 1);
    tree.AddFile(c, "alpha", 6, 1);
    const DuplicateResult result = FindDuplicates(tree, SearchScope::Of(c), DuplicateOptions{}, test::EnUs());
    ASSERT_EQ(result.Groups().size(), 2u);
    EXPECT_EQ(PathOf(result.Record(0)), "C:\\zeta");
    EXPECT_EQ(PathOf(result.Record(2)), "C:\\alpha");
    EXPECT_EQ(result.Groups()[1].Count, 3u);
    EXPECT_EQ(result.RecordCount(), 5u);
    EXPECT_EQ(result.WastedKB(), 24);
}

TEST_F(Duplicates, CopiesOfOneFile)
{
    const auto copies = [&](NodeId node, std::string_view name, DuplicateKey key) {
        std::vector<std::string> paths;
        for (const DuplicateRecord& r : FindCopies(tree, node, FileOf(node, name), key, test::EnUs()))
            paths.push_back(PathOf(r));
        return paths;
    };
    EXPECT_EQ(copies(b, "song.MP3", DuplicateKey::NameSize), (std::vector<std::string>{"A:\\Song.mp3"}));
    EXPECT_EQ(copies(a, "Song.mp3", DuplicateKey::SizeDate),
              (std::vector<std::string>{"B:\\song.MP3", "B:\\Copy of song.mp3"}));
    EXPECT_EQ(copies(a, "notes.txt", DuplicateKey::Name), (std::vector<std::string>{"B:\\NOTES.txt"}));
    EXPECT_TRUE(copies(a, "notes.txt", DuplicateKey::NameSize).empty());
    EXPECT_TRUE(copies(b, "unique.bin", DuplicateKey::SizeDate).empty());
}

TEST_F(Duplicates, FoldersWithTheSameNameTotalAndCount)
{
    // The same totals laid out otherwise still count; the Raw folders
    // inside add nothing to what their parents' group says.
    const NodeId p1 = tree.AddFolder(a, "Photos", 1);
    tree.AddFile(p1, "one.jpg", 10, 1);
    tree.AddFile(p1, "two.jpg", 20, 1);
    tree.AddFile(tree.AddFolder(p1, "Raw", 1), "x.raw", 5, 1);
    const NodeId p2 = tree.AddFolder(b, "PHOTOS", 1);
    tree.AddFile(p2, "uno.jpg", 25, 1);
    tree.AddFile(p2, "dos.jpg", 5, 1);
    tree.AddFile(tree.AddFolder(p2, "Raw", 1), "y.raw", 5, 1);
    // Empty folders hold nothing twice.
    tree.AddFolder(a, "Empty", 1);
    tree.AddFolder(b, "Empty", 1);

    DuplicateOptions folders;
    folders.Folders = true;
    EXPECT_EQ(Groups(SearchScope::AllVolumes(), folders), (std::vector<std::string>{"35: A:\\Photos\\ B:\\PHOTOS\\"}));
    // A Raw elsewhere makes a group the Photos group does not hold.
    tree.AddFile(tree.AddFolder(docs, "Raw", 1), "z.raw", 5, 1);
    EXPECT_EQ(Groups(SearchScope::AllVolumes(), folders),
              (std::vector<std::string>{"35: A:\\Photos\\ B:\\PHOTOS\\",
                                        "10: A:\\Docs\\Raw\\ A:\\Photos\\Raw\\ B:\\PHOTOS\\Raw\\"}));
    folders.MinSizeKB = 11;
    EXPECT_EQ(Groups(SearchScope::AllVolumes(), folders), (std::vector<std::string>{"35: A:\\Photos\\ B:\\PHOTOS\\"}));
    // The scope's own folder never counts.
    folders.MinSizeKB = 0;
    EXPECT_EQ(Groups(SearchScope::Of(a), folders), (std::vector<std::string>{"5: A:\\Docs\\Raw\\ A:\\Photos\\Raw\\"}));
    EXPECT_EQ(Groups(SearchScope::Of(p1), folders), (std::vector<std::string>{}));
}

TEST(DuplicateKeys, NamesHashAndCompareUpperCased)
{
    KeyHasher hasher(DuplicateKey::Name, test::EnUs());
    // Every length around the eight-byte words, the last byte differing.
    for (std::size_t n = 1; n <= 20; ++n) {
        const std::string lower(n, 'q'), upper(n, 'Q');
        std::string other = lower;
        other.back() = 'r';
        EXPECT_TRUE(hasher.SameName(lower, upper)) << n;
        EXPECT_EQ(hasher.NameHash(lower), hasher.NameHash(upper)) << n;
        EXPECT_FALSE(hasher.SameName(lower, other)) << n;
        EXPECT_NE(hasher.NameHash(lower), hasher.NameHash(other)) << n;
    }
    // Changes in two words that a weaker mixing lets cancel out.
    EXPECT_NE(hasher.NameHash("Archive Winter 32956.avi"), hasher.NameHash("Archive Winter 92955.avi"));
    EXPECT_NE(hasher.NameHash("Island Concert 96126.png", 1), hasher.NameHash("Island Concert 76125.png", 1));
    // Letters beyond ASCII, and ASCII letters after them.
    EXPECT_TRUE(hasher.SameName("\xD0\xBC\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB2\xD0\xB0 abc",
                                "\xD0\x9C\xD0\x9E\xD0\xA1\xD0\x9A\xD0\x92\xD0\x90 ABC"));
    EXPECT_EQ(hasher.NameHash("caf\xC3\xA9.txt"), hasher.NameHash("CAF\xC3\x89.TXT"));
    EXPECT_FALSE(hasher.SameName("caf\xC3\xA9.txt", "cafe.txt"));
    // Upper case one byte longer (U+0250 to U+2C6F), none at all (U+4E2D),
    // and beyond the Basic Multilingual Plane (U+10428 to U+10400).
    EXPECT_TRUE(hasher.SameName("\xC9\x90\xC9\x90\xC9\x90x", "\xE2\xB1\xAF\xE2\xB1\xAF\xE2\xB1\xAFX"));
    EXPECT_EQ(hasher.NameHash("\xC9\x90\xC9\x90\xC9\x90x"), hasher.NameHash("\xE2\xB1\xAF\xE2\xB1\xAF\xE2\xB1\xAFX"));
    EXPECT_TRUE(hasher.SameName("\xE4\xB8\xAD.txt", "\xE4\xB8\xAD.TXT"));
    EXPECT_TRUE(hasher.SameName("\xF0\x90\x90\xA8", "\xF0\x90\x90\x80"));
    // Punctuation next to letters is not a letter: "@" and "`" stay.
    EXPECT_FALSE(hasher.SameName("@", "`"));
    EXPECT_FALSE(hasher.SameName("[x]", "{x}"));
    // Bytes that are no UTF-8 are kept as they are.
    EXPECT_TRUE(hasher.SameName("a\xFF", "A\xFF"));
    EXPECT_FALSE(hasher.SameName("a\xFF", "a\xFE"));
    EXPECT_EQ(ParseDuplicateKey("size+date"), DuplicateKey::SizeDate);
    EXPECT_EQ(ParseDuplicateKey("Name"), std::nullopt);
    EXPECT_EQ(DuplicateKeyText(DuplicateKey::NameSizeDate), "name+size+date");
}

TEST(DuplicateKeys, QuickHashesOfEqualKeysAreEqual)
{
    // Pairs of names that are the same once upper-cased, one of each pair
    // ASCII where that can be: the quick hash takes the ASCII way for one
    // and the locale's for the other.
    const std::vector<std::pair<std::string, std::string>> same = {
        {"a", "A"},
        {"readme.txt", "README.TXT"},
        {"Lake Meadow 12345.mp3", "LAKE meadow 12345.MP3"},
        {"caf\xC3\xA9 au lait.txt", "CAF\xC3\x89 AU LAIT.TXT"},
        {"\xC9\x90\xC9\x90\xC9\x90x", "\xE2\xB1\xAF\xE2\xB1\xAF\xE2\xB1\xAFX"},
        {"\xC4\xB1"
         "d.txt",
         "ID.TXT"},  // dotless i upper-cases to ASCII
        {"a\xFF", "A\xFF"},
        // Beyond ASCII on both sides, one side with a character that
        // upper-cases to ASCII (long s) or to a longer one, at either end
        // and in the middle: the hash of the first side leaves the
        // characters as they are, the other's upper-cases them.
        {"\xD0\xB4\xD0\xBE\xD0\xBA 12.txt", "\xD0\x94\xD0\x9E\xD0\x9A 12.TXT"},
        {"\xC3\xA9t\xC3\xA9 S.txt", "\xC3\x89T\xC3\x89 \xC5\xBF.txt"},
        {"S\xC3\xA9 long name in the middle.txt", "\xC5\xBF\xC3\xA9 long name in the middle.TXT"},
        {"\xC3\xA9 long name in the middle S", "\xC3\x89 long name in the middle \xC5\xBF"},
        {"\xC3\xA9 long name S in the middle", "\xC3\x89 long name \xC5\xBF in the middle"},
        {"\xC3\xA9 name \xE2\xB1\xAF in the middle", "\xC3\x89 NAME \xC9\x90 in the middle"},
        // The last character beyond ASCII of the name's end changes: to a
        // longer one, to ASCII, or it is a byte that is no UTF-8.
        {"x \xC9\x90.txt", "X \xE2\xB1\xAF.TXT"},
        {"a long name that ends with \xC4\xB1", "A LONG NAME THAT ENDS WITH I"},
        {"a long name with \xC5\xBF and more", "A LONG NAME WITH S AND MORE"},
        {"name \xC3\xA9\xA9.txt", "NAME \xC3\x89\xA9.TXT"},
        {"\xE2\x82 truncated.txt", "\xE2\x82 TRUNCATED.TXT"},
        // Short names whose only letter beyond ASCII changes length, and
        // names longer than 32 bytes read in words, with and without one.
        {"\xC9\x90.t", "\xE2\xB1\xAF.T"},
        {"a name longer than thirty-two bytes \xC9\x90 with more.txt",
         "A NAME LONGER THAN THIRTY-TWO BYTES \xE2\xB1\xAF WITH MORE.TXT"},
        {"a plain name longer than thirty-two bytes.txt", "A PLAIN NAME LONGER THAN THIRTY-TWO BYTES.TXT"},
        {"zany az zoo.txt", "ZANY AZ ZOO.TXT"},  // the letters at either end of the alphabet
    };
    CatalogTree tree;
    const NodeId v = tree.AddVolume("V", At(2020, 1, 1));
    for (const auto& [a, b] : same) {
        tree.AddFile(v, a, 7, At(2020, 2, 1));
        tree.AddFile(v, b, 7, At(2020, 2, 1));
        tree.AddFile(v, b, 8, At(2020, 2, 1));
        tree.AddFile(v, b, 7, At(2020, 2, 2));
    }
    const VolumeStore& store = tree.Store(v);
    for (DuplicateKey key :
         {DuplicateKey::NameSize, DuplicateKey::NameSizeDate, DuplicateKey::SizeDate, DuplicateKey::Name}) {
        KeyHasher hasher(key, test::EnUs());
        for (std::size_t i = 0; i < same.size(); ++i) {
            const TDetails* r = &store.Files[static_cast<std::uint32_t>(4 * i)];
            ASSERT_TRUE(hasher.Equal(store, r[0], store, r[1])) << same[i].first;
            EXPECT_EQ(hasher.QuickHash(store, r[0]), hasher.QuickHash(store, r[1])) << same[i].first;
            if (KeyHasSize(key)) {
                EXPECT_NE(hasher.QuickHash(store, r[1]), hasher.QuickHash(store, r[2])) << same[i].first;
            }
            if (KeyHasDate(key)) {
                EXPECT_NE(hasher.QuickHash(store, r[1]), hasher.QuickHash(store, r[3]));
            }
        }
    }
    // The same pairs as the search hashes them, a batch of records at a
    // time: every pair's four records one group by name, three by name
    // and size.
    for (const auto& [key, perGroup] : {std::pair{DuplicateKey::Name, 4u}, std::pair{DuplicateKey::NameSize, 3u}}) {
        DuplicateOptions options;
        options.Key = key;
        const DuplicateResult result = FindDuplicates(tree, SearchScope::AllVolumes(), options, test::EnUs());
        EXPECT_EQ(result.Groups().size(), same.size()) << DuplicateKeyText(key);
        EXPECT_EQ(result.RecordCount(), perGroup * same.size()) << DuplicateKeyText(key);
    }
}

TEST(DuplicateKeys, EqualHashesOfUnequalKeysSplitIntoGroups)
{
    // Numbers 0..5 all under one hash; their keys are their parity, and
    // 4 has a hash of its own.
    HashGroups hashes(6, 6);
    for (std::uint32_t n : {5u, 3u, 2u, 0u, 1u}) hashes.Add(0xABCD'0000'0000'0000ULL, n);
    hashes.Add(0x1234'0000'0000'0000ULL, 4);
    hashes.Sort();
    DuplicateResult result;
    DuplicateBuilder builder(result);
    // The runs give places among the kept words, not numbers.
    builder.TakeRuns(
        hashes, [&](std::uint32_t x, std::uint32_t y) { return hashes.NumberAt(x) % 2 == hashes.NumberAt(y) % 2; },
        [&](std::uint32_t place) { return std::int64_t{hashes.NumberAt(place)}; }, true);
    ASSERT_EQ(builder.GroupCount(), 2u);
    EXPECT_EQ(std::vector<std::uint32_t>(builder.GroupNumbers(0).begin(), builder.GroupNumbers(0).end()),
              (std::vector<std::uint32_t>{0, 2}));
    EXPECT_EQ(std::vector<std::uint32_t>(builder.GroupNumbers(1).begin(), builder.GroupNumbers(1).end()),
              (std::vector<std::uint32_t>{1, 3, 5}));
}

TEST(DuplicateKeys, RepeatedHashesFoundInSmallAndLargePartitions)
{
    // The same words, told apart into many partitions (each worked through
    // at once) or into two (each split into parts first): the runs are the
    // words whose hash bits repeat, with their numbers ascending.
    constexpr std::uint32_t kWords = 100000;
    std::mt19937_64 random(8);
    std::vector<std::uint64_t> hashes(kWords);
    for (std::uint64_t& h : hashes) h = random();
    for (std::uint32_t n = 0; n < kWords; n += 7) hashes[n] = hashes[random() % kWords];  // copies
    for (std::uint32_t n = 3; n < kWords; n += 11) hashes[n] = hashes[n % 3];             // three large groups, mixed
    for (const std::size_t capacity : {std::size_t{kWords}, std::size_t{100}}) {
        HashGroups groups(capacity, kWords);
        for (std::uint32_t n = 0; n < kWords; ++n) groups.Add(hashes[n], n);
        groups.Sort();
        std::vector<std::vector<std::uint32_t>> runs;
        groups.ForEachRun([&](std::size_t first, std::size_t count) {
            std::vector<std::uint32_t>& run = runs.emplace_back();
            for (std::size_t i = 0; i < count; ++i) run.push_back(groups.NumberAt(first + i));
        });
        // What a map of the hashes' high bits gives (the low bits hold the number).
        const int numberBits = 1 + std::bit_width(kWords - 1);
        std::map<std::uint64_t, std::vector<std::uint32_t>> byHash;
        for (std::uint32_t n = 0; n < kWords; ++n) byHash[hashes[n] >> numberBits].push_back(n);
        std::vector<std::vector<std::uint32_t>> expected;
        for (const auto& [hash, numbers] : byHash)
            if (numbers.size() >= 2) expected.push_back(numbers);
        EXPECT_GT(expected.size(), 1000u);
        EXPECT_EQ(runs, expected) << "capacity " << capacity;
    }
}

}  // namespace
}  // namespace ardvel
