#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "store/CatalogTree.h"
#include "store/ChunkedVector.h"
#include "store/StringPool.h"

namespace ardvel {
namespace {

std::string Text(std::size_t i, std::size_t length)
{
    std::string s = std::to_string(i) + ":";
    while (s.size() < length) s += static_cast<char>('a' + (i + s.size()) % 26);
    return s;
}

TEST(RecordBlocks, TheFirstBlockGrowsWithTheRecordsAndEveryRecordKeepsItsValue)
{
    using Vector = ChunkedVector<std::uint64_t, 6, 2>;  // blocks of 64, first 4
    Vector v;
    EXPECT_EQ(v.CapacityBytes(), 0u);
    std::vector<std::size_t> capacities;
    for (std::uint64_t i = 0; i < 300; ++i) {
        v.push_back(i * 7);
        if (capacities.empty() || capacities.back() != v.CapacityBytes()) capacities.push_back(v.CapacityBytes());
    }
    // Doubling up to a whole block, then a block at a time.
    EXPECT_EQ(capacities, (std::vector<std::size_t>{32, 64, 128, 256, 512, 1024, 1536, 2048, 2560}));
    for (std::uint64_t i = 0; i < 300; ++i) ASSERT_EQ(v[i], i * 7) << i;
    // A walk by blocks sees whole blocks of 64 and every record in order.
    std::size_t i = 0;
    while (i < v.size()) {
        std::size_t available;
        const std::uint64_t* block = v.BlockAt(i, available);
        EXPECT_EQ(available, 64u);
        for (std::size_t k = 0; k < available && i + k < v.size(); ++k) ASSERT_EQ(block[k], (i + k) * 7);
        i += available;
    }
}

TEST(RecordBlocks, ARecordCopiedFromTheGrowingFirstBlockArrivesWhole)
{
    // Appending one of its own records while the first block moves.
    ChunkedVector<std::uint64_t, 6, 1> v;
    v.push_back(11);
    v.push_back(22);
    for (int round = 0; round < 6; ++round) v.push_back(v[v.size() - 2]);
    EXPECT_EQ(v.size(), 8u);
    for (std::size_t i = 0; i < v.size(); ++i) EXPECT_EQ(v[i], i % 2 ? 22u : 11u) << i;
}

TEST(TextPool, TextsNeverMoveWhileThePoolGrows)
{
    StringPool pool;
    EXPECT_EQ(pool.CapacityBytes(), 0u);
    std::vector<std::pair<StringRef, const char*>> kept;
    for (std::size_t i = 0; i < 20'000; ++i) {
        const std::string text = Text(i, 5 + i % 40);
        const StringRef ref = pool.Add(text);
        kept.emplace_back(ref, pool.Get(ref).data());
    }
    // A text longer than a chunk gets one of its own, between the others.
    const std::string longText = Text(7, StringPool::kChunkSize + 100);
    const StringRef longRef = pool.Add(longText);
    kept.emplace_back(pool.Add("after the long one"), nullptr);
    for (std::size_t i = 0; i < 20'000; ++i) {
        ASSERT_EQ(pool.Get(kept[i].first).data(), kept[i].second) << i;
        ASSERT_EQ(pool.Get(kept[i].first), Text(i, 5 + i % 40)) << i;
    }
    EXPECT_EQ(pool.Get(longRef), longText);
    EXPECT_EQ(pool.Get(kept.back().first), "after the long one");
}

TEST(TextPool, ASmallPoolHoldsLittleAndGrowsByDoubling)
{
    StringPool pool;
    const StringRef a = pool.Add("alpha.txt");
    const StringRef b = pool.Add("beta.txt");
    EXPECT_LE(pool.CapacityBytes(), StringPool::kFirstChunkSize);
    // Texts added one after another lie one after another.
    EXPECT_EQ(pool.Get(a).data() + a.Length, pool.Get(b).data());
    // Chunks double up to the full size: the total stays within twice what
    // is held plus one full chunk.
    std::size_t held = a.Length + b.Length;
    for (std::size_t i = 0; i < 40'000; ++i) {
        const StringRef r = pool.Add(Text(i, 30));
        held += r.Length;
    }
    EXPECT_LE(pool.CapacityBytes(), 2 * held + StringPool::kChunkSize);
    // A text too big for the chunk's rest starts a chunk it fits in.
    const std::string big = Text(1, StringPool::kChunkSize / 4);
    const StringRef r = pool.Add(big);
    EXPECT_EQ(pool.Get(r), big);
}

TEST(VolumeMemory, AVolumeOfAFewFilesHoldsAFewHundredBytesOfRecordsAndTexts)
{
    CatalogTree tree;
    const NodeId v = tree.AddVolume("Disc", 45000);
    const NodeId a = tree.AddFolder(v, "Photos", 45000);
    // Files of a node added after another node's: its records move to the
    // end of the store, copied from the first block while it grows.
    tree.AddFile(v, "one.txt", 1, 45000);
    tree.AddFile(a, "two.jpg", 2, 45000);
    tree.AddFile(v, "three.mp3", 3, 45000, true, "Artist", " - Title");
    tree.AddFile(a, "four.jpg", 4, 45000);
    const VolumeStore& store = tree.Store(v);
    EXPECT_LE(store.Files.CapacityBytes() + store.Media.CapacityBytes() + store.Strings.CapacityBytes(), 512u);
    std::vector<std::string> names;
    for (NodeId n : {v, a})
        for (const TDetails& d : tree.Files(n)) names.emplace_back(store.Name(d));
    EXPECT_EQ(names, (std::vector<std::string>{"one.txt", "three.mp3", "two.jpg", "four.jpg"}));
    EXPECT_EQ(store.Artist(tree.Files(v)[1]), "Artist");
    EXPECT_EQ(tree.Files(a)[1].SizeKB, 4);
}

}  // namespace
}  // namespace ardvel
