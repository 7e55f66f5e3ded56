// The search walk: scope, order of rows, status texts, stop, slices, errors.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <map>
#include <new>
#include <random>
#include <set>

#include "search/SearchWalk.h"
#include "support/SearchTreeFixture.h"

// Counts allocations while `gCountAllocations` is set, to check that the walk
// does not allocate per tested name. The replacement pairs malloc with free,
// which the compiler cannot see through. Under AddressSanitizer, which has
// its own operator new, nothing is replaced and that check is skipped.
#if defined(__SANITIZE_ADDRESS__)
#define ARDVEL_COUNT_ALLOCATIONS 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ARDVEL_COUNT_ALLOCATIONS 0
#endif
#endif
#ifndef ARDVEL_COUNT_ALLOCATIONS
#define ARDVEL_COUNT_ALLOCATIONS 1
#endif

namespace {
std::atomic<bool> gCountAllocations{false};
std::atomic<long> gAllocations{0};
}  // namespace

#if ARDVEL_COUNT_ALLOCATIONS
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size)
{
    if (gCountAllocations.load(std::memory_order_relaxed)) gAllocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}
#endif

namespace ardvel {
namespace {

using test::At;
using test::EnUs;
using test::RowNames;

/// Alpha (files a1.txt, a2.mp3; Rock with r1.mp3 and Live with l1.txt; Pop
/// with p1.txt), Beta (b1.txt) and Gamma (empty).
class SearchWalkTest : public ::testing::Test {
protected:
    SearchWalkTest()
    {
        alpha = tree.AddVolume("Alpha", At(2002, 1, 1));
        tree.AddFile(alpha, "a1.txt", 10, At(2002, 1, 2));
        const TMediaInfo media{"Artist", " - Title"};
        tree.AddFile(alpha, "a2.mp3", 2000, At(2002, 1, 3), &media);
        rock = tree.AddFolder(alpha, "Rock", At(2002, 2, 1));
        tree.AddFile(rock, "r1.mp3", 3000, At(2002, 2, 2));
        live = tree.AddFolder(rock, "Live", At(2002, 3, 1));
        tree.AddFile(live, "l1.txt", 1, At(2002, 3, 2));
        pop = tree.AddFolder(alpha, "Pop", At(2002, 4, 1));
        tree.AddFile(pop, "p1.txt", 0, At(2002, 4, 2));
        beta = tree.AddVolume("Beta", At(2003, 1, 1));
        tree.AddFile(beta, "b1.txt", 5, At(2003, 1, 2));
        gamma = tree.AddVolume("Gamma", At(2004, 1, 1));
    }

    /// Runs a search; `found` gets the rows in the order the walk found them.
    void Search(const SearchScope& scope, const std::string& nameText, SearchEvents events = {})
    {
        SearchCriteria c;
        c.NameText = nameText;
        Search(scope, c, std::move(events));
    }
    void Search(const SearchScope& scope, const SearchCriteria& c, SearchEvents events = {})
    {
        found.clear();
        auto added = events.RowsAdded;
        events.RowsAdded = [&, added](std::size_t first, std::size_t count) {
            EXPECT_EQ(first, found.size());  // batches follow each other
            for (std::size_t i = first; i < first + count; ++i) {
                std::string s(results.Name(i));
                s += '|';
                s += results.Path(i);
                found.push_back(s);
            }
            if (added) added(first, count);
        };
        walk = std::make_unique<SearchWalk>(tree, scope, c, EnUs(), results, std::move(events));
        walk->Run();
    }

    CatalogTree tree;
    NodeId alpha, rock, live, pop, beta, gamma;
    SearchResults results;
    std::unique_ptr<SearchWalk> walk;
    std::vector<std::string> found;
};

TEST_F(SearchWalkTest, RowsComeInPreOrder)
{
    Search(SearchScope::AllVolumes(), "");
    EXPECT_EQ(found, (std::vector<std::string>{"a1.txt|", "a2.mp3|", "Rock|", "r1.mp3|Rock\\", "Live|Rock\\",
                                               "l1.txt|Rock\\Live\\", "Pop|", "p1.txt|Pop\\", "b1.txt|"}));
    EXPECT_EQ(walk->End(), SearchEnd::Completed);
    EXPECT_EQ(walk->Criteria().NameText, "*");
}

TEST_F(SearchWalkTest, FinalOrderIsTheListOrder)
{
    Search(SearchScope::AllVolumes(), "");
    // Folders before files, then by name.
    EXPECT_EQ(RowNames(results),
              (std::vector<std::string>{"Live|Alpha|Rock\\", "Pop|Alpha|", "Rock|Alpha|", "a1.txt|Alpha|",
                                        "a2.mp3|Alpha|", "b1.txt|Beta|", "l1.txt|Alpha|Rock\\Live\\",
                                        "p1.txt|Alpha|Pop\\", "r1.mp3|Alpha|Rock\\"}));

    // The sort state at the end of the search: size descending.
    SearchEvents events;
    events.CurrentSort = [] { return SortState{kColumnSize, -1}; };
    Search(SearchScope::AllVolumes(), "*.*", events);
    EXPECT_EQ(RowNames(results),
              (std::vector<std::string>{"r1.mp3|Alpha|Rock\\", "a2.mp3|Alpha|", "a1.txt|Alpha|", "b1.txt|Beta|",
                                        "l1.txt|Alpha|Rock\\Live\\", "p1.txt|Alpha|Pop\\"}));
}

TEST_F(SearchWalkTest, SortOnAColumnThatComparesNothing)
{
    // Only the image counts: folders first, otherwise the order found.
    SearchEvents events;
    events.CurrentSort = [] { return SortState{7, 1}; };
    Search(SearchScope::AllVolumes(), "", events);
    EXPECT_EQ(RowNames(results),
              (std::vector<std::string>{"Rock|Alpha|", "Live|Alpha|Rock\\", "Pop|Alpha|", "a1.txt|Alpha|",
                                        "a2.mp3|Alpha|", "r1.mp3|Alpha|Rock\\", "l1.txt|Alpha|Rock\\Live\\",
                                        "p1.txt|Alpha|Pop\\", "b1.txt|Beta|"}));

    // A caller that sorts the rows itself gets them as found: each folder's
    // files, then each sub-folder's row and what lies below it.
    events.CallerSorts = true;
    Search(SearchScope::AllVolumes(), "", events);
    EXPECT_EQ(RowNames(results),
              (std::vector<std::string>{"a1.txt|Alpha|", "a2.mp3|Alpha|", "Rock|Alpha|", "r1.mp3|Alpha|Rock\\",
                                        "Live|Alpha|Rock\\", "l1.txt|Alpha|Rock\\Live\\", "Pop|Alpha|",
                                        "p1.txt|Alpha|Pop\\", "b1.txt|Beta|"}));
}

TEST_F(SearchWalkTest, RowsNeverMoveWhileTheSearchAddsThem)
{
    // The window reads rows while more come, batch after batch: the walk
    // makes room for every record of the tree before the first row.
    for (int i = 0; i < 5000; ++i) tree.AddFile(gamma, "g" + std::to_string(i) + ".txt", 1, At(2004, 1, 2));
    std::vector<const SearchRow*> seen;
    std::size_t batches = 0;
    SearchEvents events;
    events.RowsAdded = [&](std::size_t first, std::size_t count) {
        ++batches;
        for (std::size_t i = first; i < first + count; ++i) seen.push_back(&results.Row(i));
    };
    events.CallerSorts = true;
    Search(SearchScope::AllVolumes(), "", events);
    EXPECT_GT(batches, 2u);
    ASSERT_EQ(seen.size(), results.size());
    for (std::size_t i = 0; i < seen.size(); ++i) ASSERT_EQ(seen[i], &results.Row(i)) << i;
}

TEST_F(SearchWalkTest, RowTexts)
{
    Search(SearchScope::Of(alpha), "");
    std::map<std::string, std::array<std::string, 6>> byName;
    for (std::size_t i = 0; i < results.size(); ++i) byName[std::string(results.Name(i))] = results.Texts(i, EnUs());
    EXPECT_EQ(byName["a2.mp3"],
              (std::array<std::string, 6>{"a2.mp3", "Alpha", "", "1.953 MB", "01/03/2002", "Artist - Title"}));
    EXPECT_EQ(byName["l1.txt"],
              (std::array<std::string, 6>{"l1.txt", "Alpha", "Rock\\Live\\", "1 KB", "03/02/2002", ""}));
    // A folder row: its own date, "[SUB-DIR]", no media, the path of its parent.
    EXPECT_EQ(byName["Live"], (std::array<std::string, 6>{"Live", "Alpha", "Rock\\", "[SUB-DIR]", "03/01/2002", ""}));
}

TEST_F(SearchWalkTest, FolderRowsLinkToTheirNodes)
{
    Search(SearchScope::AllVolumes(), "o");  // Rock, Pop
    std::vector<NodeId> linked;
    for (std::size_t i = 0; i < results.size(); ++i) {
        if (results.IsFolder(i)) {
            EXPECT_EQ(results.Row(i).ImageIndex, kFolderImage);
            linked.push_back(tree.Resolve(results.Link(i)));
        } else {
            EXPECT_EQ(results.Link(i).Index, kNoNode);
        }
    }
    EXPECT_EQ(linked, (std::vector<NodeId>{pop, rock}));
    // Once the node is gone the link is found stale; the row's texts stay.
    tree.RemoveNode(rock);
    EXPECT_EQ(tree.Resolve(results.Link(1)), kNoNode);
    EXPECT_EQ(results.Name(1), "Rock");
}

TEST_F(SearchWalkTest, VolumesAreNeverRows)
{
    Search(SearchScope::AllVolumes(), "a");
    for (const std::string& row : RowNames(results)) EXPECT_NE(row.substr(0, 6), "Alpha|");
    Search(SearchScope::AllVolumes(), "Beta");
    EXPECT_TRUE(results.empty());
}

TEST_F(SearchWalkTest, ScopeFromLookIn)
{
    // Three volumes: five entries, the current folder at 3, "All" at 4.
    const auto scope = [&](int index, NodeId selected) { return ScopeFromLookIn(tree, index, 5, selected); };
    EXPECT_EQ(scope(0, rock).Node, alpha);
    EXPECT_EQ(scope(1, rock).Node, beta);
    EXPECT_EQ(scope(3, rock).What, SearchScope::Kind::Node);
    EXPECT_EQ(scope(3, rock).Node, rock);
    EXPECT_EQ(scope(3, CatalogTree::kRoot).What, SearchScope::Kind::AllVolumes);
    EXPECT_EQ(scope(3, kNoNode).What, SearchScope::Kind::AllVolumes);
    EXPECT_EQ(scope(4, rock).What, SearchScope::Kind::AllVolumes);
    EXPECT_EQ(scope(5, rock).What, SearchScope::Kind::Nothing);
    EXPECT_EQ(scope(-1, rock).What, SearchScope::Kind::Nothing);
    // Before the first rebuild the list holds only "All".
    EXPECT_EQ(ScopeFromLookIn(tree, 0, 1, rock).What, SearchScope::Kind::AllVolumes);
}

TEST_F(SearchWalkTest, AFolderScopeListsWhatLiesInside)
{
    Search(SearchScope::Of(rock), "");
    EXPECT_EQ(found, (std::vector<std::string>{"r1.mp3|Rock\\", "Live|Rock\\", "l1.txt|Rock\\Live\\"}));
    Search(SearchScope::Of(beta), "");
    EXPECT_EQ(found, (std::vector<std::string>{"b1.txt|"}));
    Search(SearchScope{}, "");
    EXPECT_TRUE(found.empty());
    EXPECT_EQ(walk->End(), SearchEnd::Completed);
}

TEST_F(SearchWalkTest, StatusTexts)
{
    std::vector<std::string> panel0, panel1;
    SearchEvents events;
    events.Status = [&](int panel, std::string_view text) {
        (panel == kStatusCatalogs ? panel0 : panel1).emplace_back(text);
    };
    Search(SearchScope::AllVolumes(), "*.txt", events);
    EXPECT_EQ(panel0, (std::vector<std::string>{"2 Volumes to search", "1 Volumes to search", "0 Volumes to search",
                                                "3 Catalogs"}));
    EXPECT_EQ(panel1, (std::vector<std::string>{"Alpha:\\", "Alpha:\\Rock\\", "Alpha:\\Rock\\Live\\", "Alpha:\\Pop\\",
                                                "Beta:\\", "Gamma:\\", "4 Matches found"}));

    // One folder: no volume count, the node path of each folder.
    panel0.clear();
    panel1.clear();
    Search(SearchScope::Of(rock), "", events);
    EXPECT_EQ(panel0, (std::vector<std::string>{"3 Catalogs"}));
    EXPECT_EQ(panel1, (std::vector<std::string>{"Alpha:\\Rock\\", "Alpha:\\Rock\\Live\\", "3 Matches found"}));
}

TEST_F(SearchWalkTest, FoldersWithoutMatchesShowTheirPathAndAnswerAStop)
{
    // Live and Pop hold no MP3 file and no sub-folder: the walk shows their
    // paths as for any folder, and a stop asked for on Live's path ends the
    // walk before Pop.
    std::vector<std::string> panel1;
    SearchEvents events;
    events.Status = [&](int panel, std::string_view text) {
        if (panel == kStatusProgress) panel1.emplace_back(text);
    };
    Search(SearchScope::AllVolumes(), "*.mp3", events);
    EXPECT_EQ(panel1, (std::vector<std::string>{"Alpha:\\", "Alpha:\\Rock\\", "Alpha:\\Rock\\Live\\", "Alpha:\\Pop\\",
                                                "Beta:\\", "Gamma:\\", "2 Matches found"}));
    EXPECT_EQ(walk->FolderPath(), "Gamma:\\");

    panel1.clear();
    events.Status = [&](int panel, std::string_view text) {
        if (panel != kStatusProgress) return;
        panel1.emplace_back(text);
        if (text == "Alpha:\\Rock\\Live\\") walk->RequestStop();
    };
    Search(SearchScope::AllVolumes(), "*.mp3", events);
    EXPECT_EQ(walk->End(), SearchEnd::Stopped);
    EXPECT_EQ(results.size(), 2u);
    EXPECT_EQ(panel1,
              (std::vector<std::string>{"Alpha:\\", "Alpha:\\Rock\\", "Alpha:\\Rock\\Live\\", "2 Matches found"}));
}

TEST(SearchWalkEmpty, NoVolumes)
{
    CatalogTree tree;
    SearchResults results;
    std::vector<std::string> status;
    SearchEvents events;
    events.Status = [&](int, std::string_view text) { status.emplace_back(text); };
    SearchWalk walk(tree, SearchScope::AllVolumes(), SearchCriteria{}, EnUs(), results, events);
    walk.Run();
    EXPECT_EQ(status, (std::vector<std::string>{"0 Catalogs", "0 Matches found"}));
    EXPECT_EQ(walk.End(), SearchEnd::Completed);
}

TEST_F(SearchWalkTest, StopKeepsTheRowsFoundSoFar)
{
    // Stop as the walk enters Rock: its files are not tested any more.
    std::vector<std::string> status;
    SearchEvents events;
    events.Status = [&](int panel, std::string_view text) {
        status.emplace_back(text);
        if (panel == kStatusProgress && text == "Alpha:\\Rock\\") walk->RequestStop();
    };
    Search(SearchScope::AllVolumes(), "", events);
    EXPECT_EQ(walk->End(), SearchEnd::Stopped);
    EXPECT_EQ(RowNames(results), (std::vector<std::string>{"Rock|Alpha|", "a1.txt|Alpha|", "a2.mp3|Alpha|"}));
    // The end is written as after a whole search; no further volume started.
    EXPECT_EQ(status, (std::vector<std::string>{"2 Volumes to search", "Alpha:\\", "Alpha:\\Rock\\", "3 Catalogs",
                                                "3 Matches found"}));
}

TEST_F(SearchWalkTest, StopBeforeAVolume)
{
    SearchEvents events;
    events.Status = [&](int, std::string_view text) {
        if (text == "Alpha:\\Pop\\") walk->RequestStop();
    };
    Search(SearchScope::AllVolumes(), "*1.txt", events);
    // p1.txt is in Pop, b1.txt in the next volume: neither is tested.
    EXPECT_EQ(RowNames(results), (std::vector<std::string>{"a1.txt|Alpha|", "l1.txt|Alpha|Rock\\Live\\"}));

    SearchCriteria c;
    SearchWalk early(tree, SearchScope::AllVolumes(), c, EnUs(), results);
    early.RequestStop();
    early.Run();
    EXPECT_EQ(early.End(), SearchEnd::Stopped);
    EXPECT_TRUE(results.empty());
}

TEST_F(SearchWalkTest, InvalidMaskEndsTheSearchAtOnce)
{
    std::vector<std::string> status;
    SearchEvents events;
    events.Status = [&](int, std::string_view text) { status.emplace_back(text); };
    // Reported even when the scope holds nothing to test.
    Search(SearchScope::Of(gamma), "[]*", events);
    EXPECT_EQ(walk->End(), SearchEnd::InvalidMask);
    ASSERT_NE(walk->Error(), nullptr);
    EXPECT_STREQ(walk->Error()->what(), "'[]*' is an invalid mask at (2)");
    EXPECT_TRUE(results.empty());
    EXPECT_EQ(status, (std::vector<std::string>{"3 Catalogs", "0 Matches found"}));

    // A bad mask typed while the search runs: the rows found before stay.
    SearchEvents change;
    change.Status = [&](int, std::string_view text) {
        if (text == "Alpha:\\Rock\\") {
            SearchCriteria c = walk->Criteria();
            c.NameText = "*[";
            walk->SetCriteria(c);
        }
    };
    Search(SearchScope::AllVolumes(), "*.*", change);
    EXPECT_EQ(walk->End(), SearchEnd::InvalidMask);
    EXPECT_STREQ(walk->Error()->what(), "'*[' is an invalid mask at (3)");
    EXPECT_EQ(RowNames(results), (std::vector<std::string>{"a1.txt|Alpha|", "a2.mp3|Alpha|"}));
}

TEST_F(SearchWalkTest, CriteriaChangedWhileRunningApplyToLaterNames)
{
    SearchEvents change;
    change.Status = [&](int, std::string_view text) {
        if (text == "Alpha:\\Rock\\") {
            SearchCriteria c = walk->Criteria();
            c.NameText = "*.mp3";
            walk->SetCriteria(c);
        }
    };
    Search(SearchScope::Of(alpha), "*.txt", change);
    EXPECT_EQ(found, (std::vector<std::string>{"a1.txt|", "r1.mp3|Rock\\"}));
    EXPECT_EQ(walk->Criteria().NameText, "*.mp3");
}

TEST_F(SearchWalkTest, SizeTestLeavesOutFolders)
{
    SearchCriteria c;
    c.SizeOn = true;
    c.SizeBound = SearchSizeBound::AtMost;
    c.SizeLimitKB = 5;
    Search(SearchScope::AllVolumes(), c);
    EXPECT_EQ(found, (std::vector<std::string>{"l1.txt|Rock\\Live\\", "p1.txt|Pop\\", "b1.txt|"}));
}

/// A volume with many files in nested folders.
class SearchWalkSlices : public ::testing::Test {
protected:
    SearchWalkSlices()
    {
        volume = tree.AddVolume("Big", At(2002, 1, 1));
        NodeId parent = volume;
        for (int f = 0; f < 20; ++f) {
            const NodeId folder =
                tree.AddFolder(f % 3 == 0 ? volume : parent, "folder" + std::to_string(f), At(2002, 1, 1));
            for (int i = 0; i < 100; ++i)
                tree.AddFile(folder, "file" + std::to_string(f) + "_" + std::to_string(i) + (i % 7 ? ".txt" : ".mp3"),
                             i, At(2002, 1, 1));
            parent = folder;
        }
    }
    CatalogTree tree;
    NodeId volume;
};

TEST_F(SearchWalkSlices, SlicesFindWhatOneRunFinds)
{
    SearchCriteria c;
    c.NameText = "*1*";
    SearchResults whole, sliced;
    SearchWalk(tree, SearchScope::AllVolumes(), c, EnUs(), whole).Run();

    std::size_t rowsTold = 0;
    SearchEvents events;
    events.RowsAdded = [&](std::size_t first, std::size_t count) {
        EXPECT_EQ(first, rowsTold);
        rowsTold += count;
    };
    SearchWalk walk(tree, SearchScope::AllVolumes(), c, EnUs(), sliced, events);
    int steps = 0;
    while (walk.Step(std::chrono::steady_clock::now())) ++steps;  // a deadline already passed
    EXPECT_GT(steps, 5);
    EXPECT_EQ(walk.End(), SearchEnd::Completed);
    EXPECT_EQ(rowsTold, sliced.size());
    EXPECT_EQ(RowNames(sliced), RowNames(whole));
    EXPECT_GT(whole.size(), 100u);
}

TEST_F(SearchWalkSlices, NodeRemovedBetweenSlicesEndsTheWalk)
{
    SearchResults results;
    SearchWalk walk(tree, SearchScope::AllVolumes(), SearchCriteria{}, EnUs(), results);
    ASSERT_TRUE(walk.Step(std::chrono::steady_clock::now()));
    const std::size_t before = results.size();
    EXPECT_GT(before, 0u);
    tree.RemoveNode(volume);
    EXPECT_FALSE(walk.Step(std::chrono::steady_clock::time_point::max()));
    EXPECT_EQ(walk.End(), SearchEnd::Stopped);
    EXPECT_EQ(results.size(), before);
    EXPECT_EQ(results.Volume(0), "Big");
}

TEST(SearchWalkNames, FoundWhateverWayTheStoreHoldsThem)
{
    // Files added to two folders in turn: the store moves a folder's earlier
    // records when another folder's came in between, so names are no longer
    // one after another. Media texts also lie between names. Every name must
    // still be found as a one-by-one test finds it.
    CatalogTree tree;
    const NodeId v = tree.AddVolume("V", 0);
    const NodeId a = tree.AddFolder(v, "A", 0);
    const NodeId b = tree.AddFolder(v, "B", 0);
    std::mt19937 random(3);
    const char* const words[] = {"Harbor", "harb", "or", "Fj\xC3\xB6rd", "f\xC4\xB1le", "Song", "x", "HARBOR"};
    std::vector<std::string> names;
    for (int i = 0; i < 3000; ++i) {
        std::string name = words[random() % 8];
        name += words[random() % 8];
        name += std::to_string(i);
        const TMediaInfo media{"Artist " + std::to_string(i), " - Harbor Title"};
        tree.AddFile(i % 7 == 0 ? v : (i / 50) % 2 ? a : b, name, i, 0, i % 3 == 0 ? &media : nullptr);
    }
    for (const char* text : {"harbor", "or", "FILE", "rd", "\xC3\xB6"}) {
        SearchCriteria c;
        c.NameText = text;
        PrepareNameText(c);
        std::multiset<std::string> expected;
        for (NodeId node : {v, a, b}) {
            const FileList files = tree.Files(node);
            for (const TDetails& d : files)
                if (NameMatches(files.Store().Name(d), c, EnUs())) expected.insert(std::string(files.Store().Name(d)));
        }
        SearchResults results;
        SearchWalk(tree, SearchScope::AllVolumes(), c, EnUs(), results).Run();
        std::multiset<std::string> got;
        for (std::size_t i = 0; i < results.size(); ++i)
            if (!results.IsFolder(i)) got.insert(std::string(results.Name(i)));
        EXPECT_EQ(got, expected) << text;
        EXPECT_GT(expected.size(), 100u) << text;
    }
}

TEST_F(SearchWalkSlices, TestingNamesAllocatesNothing)
{
    // Many names, none matching, some of them not ASCII (upper-cased into a
    // scratch buffer): allocations must not grow with the number of names.
    const auto allocationsFor = [&](const char* nameText, int fileCount) {
        CatalogTree t;
        const NodeId v = t.AddVolume("V", 0);
        for (int i = 0; i < fileCount; ++i)
            t.AddFile(v, i % 2 ? "na\xC3\xAFve" + std::to_string(i) : "plain" + std::to_string(i), i, 0);
        SearchCriteria c;
        c.NameText = nameText;
        c.DateOn = true;
        c.DateMode = SearchDateMode::InLastDays;
        c.DayCount = 1;
        SearchResults results;
        gAllocations = 0;
        gCountAllocations = true;
        SearchWalk(t, SearchScope::AllVolumes(), c, EnUs(), results).Run();
        gCountAllocations = false;
        EXPECT_TRUE(results.empty());
        return gAllocations.load();
    };
    if (!ARDVEL_COUNT_ALLOCATIONS) GTEST_SKIP() << "allocations are not counted under AddressSanitizer";
    for (const char* text : {"zzz", "*.zzz", "*x*y*z", "\xC3\x9F"}) {
        allocationsFor(text, 10);  // scratch buffers made once per thread
        // Names tested by the walk's thread, and by a thread of their own
        // (which costs the same few allocations however many names it tests).
        EXPECT_EQ(allocationsFor(text, 100), allocationsFor(text, 12000)) << text;
        EXPECT_EQ(allocationsFor(text, 20000), allocationsFor(text, 50000)) << text;
    }
}

}  // namespace
}  // namespace ardvel
