// Names searched many at a time, a block of a volume's records in one sweep
// over the pool: the same answers as one name after another, whatever the
// order of the records, the texts between the names and the vector width.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <chrono>
#include <functional>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "search/NameMask.h"
#include "search/NameMatchCache.h"
#include "search/SearchMatcher.h"
#include "search/SearchWalk.h"
#include "support/SearchTreeFixture.h"

namespace ardvel {
namespace {

using test::EnUs;

/// The vector widths to try; 0 is the test of one name after another.
constexpr int kWidths[] = {512, 256, 128};

/// Puts the widest vectors back after each test.
class SearchNameSweep : public ::testing::Test {
protected:
    ~SearchNameSweep() override { LimitTextVectors(512); }
};

/// Pieces of names that reach every path: ASCII in either case, letters
/// beyond ASCII, those that fold to ASCII (dotless i, long s, Kelvin sign),
/// an ASCII letter with a combining mark, the lead byte of another two-byte
/// letter, a stray byte.
std::string RandomText(std::mt19937& random, std::size_t maxPieces)
{
    static const char* const kPieces[] = {"a",         "B",
                                          "r",         "bor",
                                          "HAR",       "x",
                                          " ",         ".",
                                          "\xC3\xA9",  "\xD0\x96",
                                          "\xC4\xB1",  "\xC5\xBF",
                                          "\xC4\x8D",  "\xE9",
                                          "ar",        "harbor",
                                          "Ha",        "1",
                                          "file",      "Fi",
                                          "a\xCC\x81", "\xE2\x84\xAA",
                                          "\xC3\x89",  "\xC3\xB8",
                                          "\xC3\x9F",  "\xE1\xBA\xA1",
                                          "o\xCC\x88r"};
    std::string text;
    const std::size_t count = random() % (maxPieces + 1);
    for (std::size_t i = 0; i < count; ++i) text += kPieces[random() % std::size(kPieces)];
    return text;
}

/// A store filled as CatalogTree fills one, names and media texts in turn,
/// and then records in other orders as well: copies of earlier records (as
/// when a folder's records are moved), runs in reverse, empty names, names
/// longer than a quarter chunk.
void FillStore(VolumeStore& store, std::mt19937& random, std::size_t count)
{
    std::vector<TDetails> added;
    for (std::size_t i = 0; i < count; ++i) {
        TDetails d;
        const unsigned kind = random() % 200;
        if (kind == 0) {
            // An empty name.
        } else if (kind == 1) {
            std::string big(20000 + random() % 5000, 'x');
            big.replace(big.size() - 10, 6, random() % 2 ? "harbor" : "fIle  ");
            d.Name = store.Strings.Add(big);
        } else if (kind < 6) {
            // Long parts, in and out of one vector.
            d.Name = store.Strings.Add(RandomText(random, 3) + "xxxxxxxxxxxxxxxxxxxxHarbor" + RandomText(random, 3));
        } else {
            d.Name = store.Strings.Add(RandomText(random, kind % 3 == 0 ? 30 : 8));
        }
        if (random() % 3 == 0) {
            d.Media = static_cast<std::uint32_t>(store.Media.size());
            store.Media.push_back(
                MediaRecord{store.Strings.Add(RandomText(random, 4)), store.Strings.Add(RandomText(random, 4))});
        }
        d.SizeKB = static_cast<std::int32_t>(i);
        added.push_back(d);
    }
    std::vector<TDetails> records = added;
    // Copies of earlier ranges at the end, some of them reversed.
    for (int copy = 0; copy < 6; ++copy) {
        const std::size_t from = random() % added.size();
        const std::size_t length = std::min<std::size_t>(added.size() - from, 1 + random() % 700);
        std::vector<TDetails> range(added.begin() + static_cast<std::ptrdiff_t>(from),
                                    added.begin() + static_cast<std::ptrdiff_t>(from + length));
        if (copy % 2) std::reverse(range.begin(), range.end());
        records.insert(records.end(), range.begin(), range.end());
    }
    // A few records swapped with others far away.
    for (int swap = 0; swap < 20; ++swap)
        std::swap(records[random() % records.size()], records[random() % records.size()]);
    for (const TDetails& d : records) store.Files.push_back(d);
}

/// Whether `name` holds `part` once both are folded: the plain definition.
bool FoldedNameHolds(std::string_view name, std::string_view part, FoldOptions fold)
{
    return FoldText(name, fold).find(FoldText(part, fold)) != std::string::npos;
}

TEST_F(SearchNameSweep, MarkNamesAgreesWithOneNameAfterAnother)
{
    std::mt19937 random(5);
    VolumeStore store;
    FillStore(store, random, 9000);
    const char* const parts[] = {"a",
                                 "ar",
                                 "harbor",
                                 "HAR",
                                 "i",
                                 "S",
                                 "file",
                                 "bora",
                                 "xxxxxxxxxxharbor",
                                 "xxxxxxxxxxxharbor",
                                 "xxxxxxxxxxxxxxxxxxharbor"};
    std::string scratch;
    // With accents ignored, more characters fold to ASCII than the sweeps
    // compare one by one: every byte beyond ASCII sends its name to the
    // slow test.
    for (const int width : kWidths)
        for (const FoldOptions fold : {FoldOptions{false}, FoldOptions{true}}) {
            LimitTextVectors(width);
            for (const char* part : parts) {
                const TextFinder finder(part, EnUs(), fold);
                ASSERT_TRUE(finder.CanMarkNames());
                std::size_t found = 0;
                // Slices of every length up to a block, from anywhere.
                for (std::size_t first = 0; first < store.Files.size();) {
                    const std::size_t count =
                        std::min<std::size_t>(store.Files.size() - first, 1 + random() % TextFinder::kMaxMarkedNames);
                    std::vector<TDetails> files;
                    for (std::size_t i = first; i < first + count; ++i) files.push_back(store.Files[i]);
                    std::vector<std::uint64_t> bits((count + 63) / 64, 0);
                    finder.MarkNames(store, files.data(), count, bits.data(), scratch);
                    for (std::size_t i = 0; i < count; ++i) {
                        const bool expected = finder.FoundIn(store.Name(files[i]), scratch);
                        ASSERT_EQ(((bits[i / 64] >> (i % 64)) & 1) != 0, expected)
                            << "width " << width << " part '" << part << "' record " << first + i << " '"
                            << store.Name(files[i]) << "' accents ignored " << fold.IgnoreAccents;
                        ASSERT_EQ(expected, FoldedNameHolds(store.Name(files[i]), part, fold))
                            << "part '" << part << "' name '" << store.Name(files[i]) << "'";
                        found += expected;
                    }
                    first += count;
                }
                EXPECT_GT(found, 10u) << "width " << width << " part " << part;
            }
        }
}

TEST_F(SearchNameSweep, TextBetweenNamesIsNoPartOfThem)
{
    // The part lies across the end of a name and the media texts after it,
    // across two names, and inside media texts only: no name holds it.
    VolumeStore store;
    const auto add = [&](std::string_view name, std::string_view artist = {}, std::string_view title = {}) {
        TDetails d;
        d.Name = store.Strings.Add(name);
        if (!artist.empty() || !title.empty()) {
            d.Media = static_cast<std::uint32_t>(store.Media.size());
            store.Media.push_back(MediaRecord{store.Strings.Add(artist), store.Strings.Add(title)});
        }
        store.Files.push_back(d);
    };
    for (int i = 0; i < 300; ++i) {
        add("song har", "bor artist", " - title");
        add("x.mp3", "Harbor", " - Harbor");
        add("two ha");
        add("rbor.txt");
        add("plain name " + std::to_string(i));
    }
    add("the HARBOR.txt");  // the only one
    std::string scratch;
    for (const int width : kWidths) {
        LimitTextVectors(width);
        const TextFinder finder("harbor", EnUs());
        std::size_t available;
        for (std::size_t first = 0; first < store.Files.size(); first += NameMatchCache::kBlockSize) {
            const TDetails* block = store.Files.BlockAt(first, available);
            const std::size_t count = std::min(available, store.Files.size() - first);
            std::vector<std::uint64_t> bits((count + 63) / 64, 0);
            finder.MarkNames(store, block, count, bits.data(), scratch);
            for (std::size_t i = 0; i < count; ++i)
                EXPECT_EQ(((bits[i / 64] >> (i % 64)) & 1) != 0, first + i == store.Files.size() - 1)
                    << width << " " << first + i;
        }
    }
}

/// What a walk tells: rows in the order found, status texts, the end.
struct Trace {
    std::vector<std::string> Rows;
    std::vector<std::string> Status;
    SearchEnd End = SearchEnd::Running;
    bool operator==(const Trace&) const = default;
};

/// Hooks into a walk under way, called with the walk.
struct Hooks {
    std::function<void(SearchWalk&, std::string_view)> OnStatus;
    std::function<void(SearchWalk&, std::size_t rows)> OnRows;
    /// Between two steps (then each step gets a deadline already passed).
    std::function<void(int step)> BetweenSteps;
};

Trace Walk(const CatalogTree& tree, const SearchScope& scope, const SearchCriteria& criteria, int width,
           const Hooks& hooks = {})
{
    LimitTextVectors(width);
    Trace trace;
    SearchResults results;
    SearchWalk* running = nullptr;
    SearchEvents events;
    events.Status = [&](int panel, std::string_view text) {
        trace.Status.push_back(std::to_string(panel) + ":" + std::string(text));
        if (hooks.OnStatus && running) hooks.OnStatus(*running, text);
    };
    events.RowsAdded = [&](std::size_t first, std::size_t count) {
        for (std::size_t i = first; i < first + count; ++i)
            trace.Rows.push_back(std::string(results.Name(i)) + "|" + std::string(results.Volume(i)) + "|" +
                                 std::string(results.Path(i)));
        if (hooks.OnRows && running) hooks.OnRows(*running, trace.Rows.size());
    };
    SearchWalk walk(tree, scope, criteria, EnUs(), results, events);
    running = &walk;
    if (hooks.BetweenSteps) {
        int step = 0;
        while (walk.Step(std::chrono::steady_clock::now())) hooks.BetweenSteps(step++);
    } else {
        walk.Run();
    }
    trace.End = walk.End();
    LimitTextVectors(512);
    return trace;
}

/// Expects every vector width to give what one name after another gives.
void ExpectSameEverywhere(const std::function<Trace(int width)>& run)
{
    const Trace plain = run(0);
    EXPECT_FALSE(plain.Rows.empty());
    for (const int width : kWidths) {
        const Trace swept = run(width);
        EXPECT_EQ(swept.Rows, plain.Rows) << "width " << width;
        EXPECT_EQ(swept.Status, plain.Status) << "width " << width;
        EXPECT_EQ(swept.End, plain.End) << "width " << width;
    }
}

SearchCriteria Text(const std::string& text)
{
    SearchCriteria c;
    c.NameText = text;
    return c;
}

/// Two volumes: the first with folders whose files came in turns (so the
/// store moved their records), media texts holding the text, names that
/// hold it only together with the text after them; the second with names
/// beyond ASCII.
class SearchWalkSweep : public SearchNameSweep {
protected:
    SearchWalkSweep()
    {
        std::mt19937 random(17);
        mixed = tree.AddVolume("Mixed", 0);
        std::vector<NodeId> folders{mixed};
        for (int f = 0; f < 12; ++f)
            folders.push_back(tree.AddFolder(folders[random() % folders.size()], "Harbor " + std::to_string(f), 0));
        for (int i = 0; i < 6000; ++i) {
            const NodeId folder = folders[(i / (1 + i % 37)) % folders.size()];
            std::string name = RandomText(random, 6) + std::to_string(i);
            if (i % 11 == 0) name += " har";
            const TMediaInfo media{i % 11 == 0 ? "bor" : "Harbor band", " - Harbor"};
            tree.AddFile(folder, name, i, 0, i % 4 == 0 ? &media : nullptr);
        }
        foreign = tree.AddVolume("Foreign", 0);
        const NodeId sub = tree.AddFolder(foreign, "\xD0\x9F\xD0\xB0\xD0\xBF\xD0\xBA\xD0\xB0", 0);  // Папка
        const char* const names[] = {"f\xC4\xB1le",
                                     "\xC5\xBFong",
                                     "\xD0\x96\xD0\xA3\xD0\xA0",
                                     "caf\xC3\xA9",
                                     "FILE",
                                     "Stra\xC3\x9F"
                                     "e"};
        for (int i = 0; i < 3000; ++i)
            tree.AddFile(i % 2 ? sub : foreign, std::string(names[i % 6]) + " " + std::to_string(i), i, 0);
    }
    CatalogTree tree;
    NodeId mixed, foreign;
};

TEST_F(SearchWalkSweep, RowsAndStatusAsOneNameAfterAnother)
{
    for (const char* text : {"harbor", "HAR", "a", "file", "song", "s", "i", "bor1"})
        ExpectSameEverywhere([&](int width) { return Walk(tree, SearchScope::AllVolumes(), Text(text), width); });
}

TEST_F(SearchWalkSweep, MasksLookForTheirLiteralRunFirst)
{
    // Width 0 tests every name with the mask; the others sweep for the run.
    for (const char* mask : {"*har*", "*bor?*", "harbor*", "[a-c]*", "*1", "*r*a*", "*\xC3\xA9*", "f??e*"})
        ExpectSameEverywhere([&](int width) { return Walk(tree, SearchScope::AllVolumes(), Text(mask), width); });
}

TEST_F(SearchWalkSweep, OneFolderOfABigVolume)
{
    const NodeId folder = tree.Children(mixed)[0];
    ExpectSameEverywhere([&](int width) { return Walk(tree, SearchScope::Of(folder), Text("ar"), width); });
}

TEST_F(SearchWalkSweep, OtherTestsStillReadTheRecords)
{
    SearchCriteria c = Text("a");
    c.SizeOn = true;
    c.SizeBound = SearchSizeBound::AtLeast;
    c.SizeLimitKB = 2500;
    c.MediaOn = true;
    c.ArtistPart = "band";
    ExpectSameEverywhere([&](int width) { return Walk(tree, SearchScope::AllVolumes(), c, width); });
}

TEST_F(SearchWalkSweep, StopInTheMiddleOfAVolume)
{
    Hooks hooks;
    hooks.OnRows = [](SearchWalk& walk, std::size_t rows) {
        if (rows > 300) walk.RequestStop();
    };
    ExpectSameEverywhere([&](int width) {
        Trace t = Walk(tree, SearchScope::AllVolumes(), Text("a"), width, hooks);
        EXPECT_EQ(t.End, SearchEnd::Stopped);
        return t;
    });
}

TEST_F(SearchWalkSweep, CriteriaChangedWhileRunning)
{
    // Another text, a mask, and a text again, each on entering a folder.
    Hooks hooks;
    hooks.OnStatus = [](SearchWalk& walk, std::string_view text) {
        SearchCriteria c = walk.Criteria();
        if (text == "Mixed:\\Harbor 0\\") c.NameText = "bor";
        if (text == "Mixed:\\Harbor 1\\") c.NameText = "fi";
        if (text.find("Harbor 3\\") != std::string_view::npos) c.NameText = "harbor";
        walk.SetCriteria(c);
    };
    ExpectSameEverywhere([&](int width) { return Walk(tree, SearchScope::AllVolumes(), Text("a"), width, hooks); });

    // A mask typed meanwhile is only a text: UseMask stays as it was.
    hooks.OnStatus = [](SearchWalk& walk, std::string_view text) {
        if (text != "Mixed:\\Harbor 2\\") return;
        SearchCriteria c = walk.Criteria();
        c.NameText = "*.txt";
        walk.SetCriteria(c);
    };
    ExpectSameEverywhere([&](int width) { return Walk(tree, SearchScope::AllVolumes(), Text("1"), width, hooks); });
}

TEST_F(SearchWalkSweep, SlicesAndFilesAddedBetweenThem)
{
    // Each step with a deadline already passed; between steps files join
    // folders the walk has passed, is in, and has yet to reach, so the
    // store grows and moves records meanwhile. Each run gets its own tree.
    const auto run = [](int width) {
        CatalogTree t;
        const NodeId v = t.AddVolume("V", 0);
        std::vector<NodeId> folders{v};
        for (int f = 0; f < 6; ++f) folders.push_back(t.AddFolder(v, "F" + std::to_string(f), 0));
        for (int i = 0; i < 5000; ++i)
            t.AddFile(folders[static_cast<std::size_t>(i / 900)], "name" + std::to_string(i) + (i % 3 ? "x" : "a"), 0,
                      0);
        Hooks hooks;
        hooks.BetweenSteps = [&](int step) {
            if (step % 3 == 0)
                for (int k = 0; k < 40; ++k)
                    t.AddFile(folders[static_cast<std::size_t>((step + k) % 7)],
                              "late" + std::to_string(step) + "_" + std::to_string(k) + (k % 2 ? "a" : "y"), 0, 0);
        };
        return Walk(t, SearchScope::AllVolumes(), Text("a"), width, hooks);
    };
    ExpectSameEverywhere(run);
}

TEST_F(SearchNameSweep, BlocksSweptAheadOnASecondThreadHaveTheSameBits)
{
    std::mt19937 random(41);
    VolumeStore store;
    FillStore(store, random, 40000);
    const TextFinder finder("harbor", EnUs());
    const NameMask mask("*ar*o?*", {});
    const TextFinder run("ar", EnUs());
    for (const NameSweep sweep : {NameSweep{&finder, nullptr}, NameSweep{&run, &mask}, NameSweep{nullptr, &mask}}) {
        NameMatchCache plain;
        plain.Reset(&store);
        NameMatchCache ahead;
        ahead.Reset(&store);
        // From the fourth block on; the first three stay the walk's own.
        ahead.SweepAhead(sweep, 3 * NameMatchCache::kBlockSize + 5);
        EXPECT_TRUE(ahead.SweepingAhead());
        std::size_t found = 0;
        for (std::size_t first = 0; first < store.Files.size();) {
            const std::size_t inBlock = NameMatchCache::kBlockSize - first % NameMatchCache::kBlockSize;
            const std::size_t count = std::min({inBlock, store.Files.size() - first,
                                                1 + static_cast<std::size_t>(random() % SearchMatcher::kMaxBatch)});
            SearchMatcher::MatchBits expected, got;
            plain.Get(sweep, first, count, expected);
            ahead.Get(sweep, first, count, got);
            ASSERT_EQ(got, expected) << "records " << first << " + " << count;
            for (const std::uint64_t word : got) found += static_cast<std::size_t>(std::popcount(word));
            // Stopped half-way: the blocks it did not reach are worked out as before.
            if (first > store.Files.size() / 2 && ahead.SweepingAhead()) ahead.StopAhead();
            first += count;
        }
        EXPECT_FALSE(ahead.SweepingAhead());
        EXPECT_GT(found, 100u);
    }
    // The walk asking for blocks in any order, as it does when files were
    // added to folders out of turn: each block is worked out once, by
    // whichever thread takes it first, and nothing waits for ever.
    for (const NameSweep sweep : {NameSweep{&finder, nullptr}, NameSweep{&run, &mask}}) {
        NameMatchCache plain;
        plain.Reset(&store);
        NameMatchCache ahead;
        ahead.Reset(&store);
        ahead.SweepAhead(sweep, 0);
        std::vector<std::size_t> blocks;
        for (std::size_t first = 0; first < store.Files.size(); first += NameMatchCache::kBlockSize)
            blocks.push_back(first);
        std::shuffle(blocks.begin(), blocks.end(), random);
        for (const std::size_t first : blocks) {
            const std::size_t count = std::min<std::size_t>(SearchMatcher::kMaxBatch, store.Files.size() - first);
            SearchMatcher::MatchBits expected, got;
            plain.Get(sweep, first, count, expected);
            ahead.Get(sweep, first, count, got);
            ASSERT_EQ(got, expected) << "records " << first;
        }
    }
    // A store of a few blocks is not worth a thread.
    VolumeStore small;
    FillStore(small, random, 3 * NameMatchCache::kBlockSize);
    NameMatchCache cache;
    cache.Reset(&small);
    cache.SweepAhead(NameSweep{&finder, nullptr}, 0);
    EXPECT_FALSE(cache.SweepingAhead());
}

TEST_F(SearchNameSweep, BigVolumesInOneRunAndInSlices)
{
    // Volumes large enough for the names to be swept ahead on a second
    // thread: the same rows as one name after another, in one run, in
    // slices (each starting and stopping the thread), and with files added
    // between slices.
    const auto run = [](int width, bool slices, const char* text) {
        CatalogTree t;
        std::mt19937 random(99);
        std::vector<NodeId> folders;
        for (int v = 0; v < 2; ++v) {
            folders.push_back(t.AddVolume("V" + std::to_string(v), 0));
            for (int f = 0; f < 60; ++f)
                folders.push_back(t.AddFolder(folders[random() % folders.size()], "F" + std::to_string(f), 0));
        }
        // Files mostly folder by folder; now and then one for another folder,
        // whose records then move to the end of the store.
        for (int i = 0; i < 40000; ++i)
            t.AddFile(folders[(i / 500 + (i % 97 == 0 ? 7 : 0)) % folders.size()],
                      RandomText(random, 5) + std::to_string(i), i, 0);
        Hooks hooks;
        if (slices)
            hooks.BetweenSteps = [&](int step) {
                if (step % 50 == 0)
                    t.AddFile(folders[static_cast<std::size_t>(step) % folders.size()],
                              "late harbor " + std::to_string(step), 0, 0);
            };
        return Walk(t, SearchScope::AllVolumes(), Text(text), width, hooks);
    };
    for (const char* text : {"harbor", "*ar*o?*", "*1", "[a-c]*"})
        for (const bool slices : {false, true})
            ExpectSameEverywhere([&](int width) { return run(width, slices, text); });
}

TEST_F(SearchNameSweep, AStepEndsAtItsDeadlineInABigVolume)
{
    // One folder of 300000 files: a step with a deadline already passed
    // tests a few hundred of them, not the whole block of bits at once more
    // than once.
    CatalogTree tree;
    const NodeId v = tree.AddVolume("Big", 0);
    for (int i = 0; i < 300000; ++i)
        tree.AddFile(v, "file" + std::to_string(i) + (i % 1000 ? ".txt" : ".harbor"), 0, 0);
    SearchResults results;
    SearchWalk walk(tree, SearchScope::AllVolumes(), Text("harbor"), EnUs(), results);
    int steps = 0;
    while (walk.Step(std::chrono::steady_clock::now())) ++steps;
    EXPECT_GE(steps, 300000 / 256 - 1);
    EXPECT_EQ(results.size(), 300u);
}

}  // namespace
}  // namespace ardvel
