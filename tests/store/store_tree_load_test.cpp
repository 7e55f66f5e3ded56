#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "store/CatalogError.h"
#include "store/CatalogFile.h"
#include "store/LoadCatalogs.h"
#include "store/NodePath.h"
#include "store/VolumeName.h"
#include "support/TempDir.h"

namespace ardvel {
namespace {

using test::TempDir;
using test::WriteBytes;

const Locale& English()
{
    static const Locale l("en_US.UTF-8");
    return l;
}

TEST(CatalogTreeHandles, RemovedNodesAreDetectedAndSlotsReused)
{
    CatalogTree tree;
    const NodeId v = tree.AddVolume("V", 0);
    const NodeId a = tree.AddFolder(v, "A", 0);
    const NodeId b = tree.AddFolder(a, "B", 0);
    const NodeHandle hv = tree.Handle(v), ha = tree.Handle(a), hb = tree.Handle(b);
    EXPECT_EQ(tree.Resolve(hb), b);
    tree.RemoveNode(a);
    EXPECT_EQ(tree.Resolve(ha), kNoNode);
    EXPECT_EQ(tree.Resolve(hb), kNoNode);
    EXPECT_EQ(tree.Resolve(hv), v);
    EXPECT_TRUE(tree.Children(v).empty());
    // The freed slots come back with new generations: old handles stay stale.
    const NodeId c = tree.AddFolder(v, "C", 0);
    EXPECT_TRUE(c == a || c == b);
    EXPECT_EQ(tree.Resolve(ha), kNoNode);
    EXPECT_EQ(tree.Resolve(hb), kNoNode);
    EXPECT_EQ(tree.Resolve(tree.Handle(c)), c);
    tree.RemoveAllVolumes();
    EXPECT_EQ(tree.Resolve(hv), kNoNode);
    EXPECT_EQ(tree.NodeCount(), 1u);
    EXPECT_EQ(tree.Resolve(NodeHandle{}), kNoNode);
    EXPECT_EQ(tree.Resolve(tree.Handle(CatalogTree::kRoot)), CatalogTree::kRoot);
}

TEST(CatalogTreeFiles, FilesOfANodeStayInOrderWhenAddedOutOfTurn)
{
    CatalogTree tree;
    const NodeId v = tree.AddVolume("V", 0);
    const NodeId a = tree.AddFolder(v, "A", 0);
    tree.AddFile(v, "v1", 1, 0);
    tree.AddFile(a, "a1", 2, 0);
    tree.AddFile(v, "v2", 3, 0);
    const FileList files = tree.Files(v);
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(files.Store().Name(files[0]), "v1");
    EXPECT_EQ(files.Store().Name(files[1]), "v2");
    EXPECT_EQ(tree.Files(a).Store().Name(tree.Files(a)[0]), "a1");
    EXPECT_TRUE(tree.Files(CatalogTree::kRoot).empty());
}

TEST(CatalogTreeSort, DeepTreesSortAndRemoveWithoutRecursion)
{
    CatalogTree tree;
    const NodeId v = tree.AddVolume("V", 0);
    NodeId n = v;
    for (int i = 0; i < 200000; ++i) n = tree.AddFolder(n, "d", 0);
    SortCatalogTree(tree, English());
    tree.RemoveNode(v);
    EXPECT_EQ(tree.NodeCount(), 1u);
}

TEST(NodePathResolution, CaseInsensitiveBelowTheRootAndVolumeNeedsColon)
{
    CatalogTree tree;
    const NodeId v = tree.AddVolume("Music 2002", 0);
    const NodeId rock = tree.AddFolder(v, "Rock", 0);
    tree.AddVolume("Music 2002X", 0);
    EXPECT_EQ(ResolveNodePath(tree, "My Catalogs", English()), CatalogTree::kRoot);
    EXPECT_EQ(ResolveNodePath(tree, "My Catalogs\\", English()), CatalogTree::kRoot);
    EXPECT_EQ(ResolveNodePath(tree, "my catalogs", English()), kNoNode);
    EXPECT_EQ(ResolveNodePath(tree, "music 2002:\\rock\\", English()), rock);
    EXPECT_EQ(ResolveNodePath(tree, "Music 2002:\\Rock", English()), rock);
    EXPECT_EQ(ResolveNodePath(tree, "Music 2002:", English()), v);
    EXPECT_EQ(ResolveNodePath(tree, "Music 2002X\\", English()), kNoNode);
    EXPECT_EQ(ResolveNodePath(tree, "Music 2002:\\Pop\\", English()), kNoNode);
    CatalogTree empty;
    EXPECT_EQ(ResolveNodePath(empty, "My Catalogs", English()), kNoNode);
}

class LoadCatalogsTest : public ::testing::Test {
protected:
    void Save(const std::string& fileName) { SaveTo(dir.File(fileName)); }
    static void SaveTo(const std::string& path)
    {
        CatalogTree tree;
        const NodeId v = tree.AddVolume("x", 0);
        tree.AddFile(v, "file", 1, 0);
        tree.AddFolder(v, "F", 0);
        CatalogWriter w(path);
        w.WriteHeader("L", 0);
        w.WriteTree(tree, v);
        w.Commit();
    }
    std::vector<std::string> Volumes() const
    {
        std::vector<std::string> names;
        for (NodeId v : tree.Children(CatalogTree::kRoot)) names.emplace_back(tree.Text(v));
        return names;
    }
    TempDir dir;
    CatalogTree tree;
};

TEST_F(LoadCatalogsTest, LoadsSortedDecodedVolumesWithProgress)
{
    Save("beta.arv");
    Save("Alpha.arv");
    Save("My ~58 Disc.arv");
    std::vector<std::pair<std::size_t, std::size_t>> steps;
    const LoadResult r =
        LoadCatalogs(tree, dir.Folder(), English(), [&](std::size_t p, std::size_t m) { steps.emplace_back(p, m); });
    EXPECT_TRUE(r.Failures.empty());
    EXPECT_EQ(r.ExpectedCount, 3u);
    EXPECT_EQ(Volumes(), (std::vector<std::string>{"Alpha", "beta", "My : Disc"}));
    ASSERT_EQ(steps.size(), 3u);
    EXPECT_EQ(steps.back(), (std::pair<std::size_t, std::size_t>{3, 3}));
    const NodeId alpha = tree.Children(CatalogTree::kRoot)[0];
    EXPECT_EQ(tree.CatalogFileName(alpha), "Alpha.arv");
    EXPECT_EQ(tree.Files(alpha).size(), 1u);
}

TEST_F(LoadCatalogsTest, UpperCaseExtensionIsLoadedButNotCounted)
{
    Save("a.arv");
    Save("X.ARV");
    Save("ignored.txt");
    std::size_t lastPosition = 0, maximum = 0, calls = 0;
    const LoadResult r = LoadCatalogs(tree, dir.Folder(), English(),
                                      [&](std::size_t p, std::size_t m) { lastPosition = p, maximum = m, ++calls; });
    EXPECT_EQ(r.ExpectedCount, 1u);
    EXPECT_EQ(r.FilesRead, 2u);
    EXPECT_EQ(calls, 2u);
    EXPECT_EQ(lastPosition, 1u);  // never beyond the maximum
    EXPECT_EQ(maximum, 1u);
    EXPECT_EQ(Volumes(), (std::vector<std::string>{"a", "X"}));

    TempDir other;
    SaveTo(other.File("Y.ARV"));
    const LoadResult none = LoadCatalogs(tree, other.Folder(), English());
    EXPECT_EQ(none.ExpectedCount, 0u);
    EXPECT_TRUE(Volumes().empty());
}

TEST_F(LoadCatalogsTest, FailuresAreReportedAndLoadingGoesOn)
{
    Save("good.arv");
    WriteBytes(dir.File("empty.arv"), "");
    std::filesystem::create_directory(dir.File("folder.arv"));
    // A header and a truncated record: the volume stays with what was read.
    {
        std::string bytes = "L";
        bytes += std::string("\0\0\x02\x01\x02", 5);
        bytes += std::string("\0\0\x21\0", 4);
        bytes += std::string(
            "\x04"
            "ab",
            3);
        WriteBytes(dir.File("cut.arv"), bytes);
    }
    const LoadResult r = LoadCatalogs(tree, dir.Folder(), English());
    EXPECT_EQ(r.ExpectedCount, 4u);
    ASSERT_EQ(r.Failures.size(), 3u);
    std::map<std::string, std::string> byPath;
    for (const auto& f : r.Failures) byPath[f.Path] = f.Message;
    EXPECT_EQ(byPath[dir.File("empty.arv")], "Read beyond end of file");
    EXPECT_EQ(byPath[dir.File("folder.arv")], "File access denied");
    EXPECT_EQ(byPath[dir.File("cut.arv")], "Read beyond end of file");
    EXPECT_EQ(Volumes(), (std::vector<std::string>{"cut", "good"}));
}

/// Every node of `tree` below the root in walk order, with its level, date,
/// catalog file and files, as one text.
std::string Describe(const CatalogTree& tree)
{
    std::string text;
    std::vector<NodeId> pending(tree.Children(CatalogTree::kRoot).rbegin(), tree.Children(CatalogTree::kRoot).rend());
    while (!pending.empty()) {
        const NodeId node = pending.back();
        pending.pop_back();
        text += std::string(tree.Level(node), ' ') + std::string(tree.Text(node)) + " " +
                std::to_string(tree.Info(node).Date) + " [" + tree.CatalogFileName(node) + "]\n";
        EXPECT_EQ(tree.VolumeOf(node), tree.Level(node) == 1 ? node : tree.VolumeOf(tree.Parent(node)));
        const FileList files = tree.Files(node);
        for (const TDetails& d : files)
            text += "  - " + std::string(files.Store().Name(d)) + " " + std::to_string(d.SizeKB) + " " +
                    std::string(files.Store().Artist(d)) + std::string(files.Store().Title(d)) + "\n";
        const auto children = tree.Children(node);
        pending.insert(pending.end(), children.rbegin(), children.rend());
    }
    return text;
}

TEST_F(LoadCatalogsTest, ManyCatalogsLoadAsIfReadOneAfterAnother)
{
    // Catalogs of many sizes (so that both of the loading threads read
    // some), one cut short and one that is no catalog at all, and two whose
    // names collate alike: the tree, the failures and the progress are
    // those of reading the listing in order.
    for (int i = 0; i < 40; ++i) {
        CatalogTree source;
        const NodeId v = source.AddVolume("v", 40000 + i);
        NodeId folder = v;
        for (int f = 0; f < (i * 7) % 23; ++f) {
            folder = source.AddFolder(f % 3 == 0 ? v : folder, "F" + std::to_string(f), 41000 + f);
            for (int k = 0; k < (i + f) % 5; ++k) {
                const TMediaInfo media{"Artist", " - " + std::to_string(k)};
                source.AddFile(folder, std::to_string(k) + ".mp3", k, 42000 + k, &media);
            }
        }
        source.AddFile(v, "top.txt", i, 43000);
        CatalogWriter w(dir.File("vol " + std::to_string(i) + (i == 7 ? ".ARV" : ".arv")));
        w.WriteHeader("L", source.Info(v).Date);
        w.WriteTree(source, v);
        w.Commit();
    }
    Save("same.arv");
    Save("Same.arv");
    WriteBytes(dir.File("junk.arv"), "no catalog");
    const std::string whole = test::ReadBytes(dir.File("vol 30.arv"));
    WriteBytes(dir.File("vol 30.arv"), whole.substr(0, whole.size() - 5));

    std::vector<std::pair<std::size_t, std::size_t>> steps;
    const LoadResult r =
        LoadCatalogs(tree, dir.Folder(), English(), [&](std::size_t p, std::size_t m) { steps.emplace_back(p, m); });

    CatalogTree expected;
    LoadResult one;
    std::vector<std::pair<std::size_t, std::size_t>> expectedSteps;
    for (const std::string& name : ListCatalogEntries(dir.Folder())) {
        if (HasExactCatalogExtension(name)) ++one.ExpectedCount;
        try {
            LoadCatalogFile(expected, dir.File(name), name, DecodeVolumeName(name));
        } catch (const CatalogError& e) {
            one.Failures.push_back({dir.File(name), e.what()});
        }
    }
    for (std::size_t k = 1; k <= ListCatalogEntries(dir.Folder()).size(); ++k)
        expectedSteps.emplace_back(std::min(k, one.ExpectedCount), one.ExpectedCount);
    SortCatalogTree(expected, English());

    EXPECT_EQ(Describe(tree), Describe(expected));
    EXPECT_EQ(tree.NodeCount(), expected.NodeCount());
    EXPECT_EQ(r.ExpectedCount, 42u);
    EXPECT_EQ(r.FilesRead, 43u);
    ASSERT_EQ(r.Failures.size(), 2u);
    for (std::size_t i = 0; i < r.Failures.size(); ++i) {
        EXPECT_EQ(r.Failures[i].Path, one.Failures[i].Path);
        EXPECT_EQ(r.Failures[i].Message, one.Failures[i].Message);
    }
    EXPECT_EQ(steps, expectedSteps);
}

TEST(CatalogTreeAdopt, AVolumeMovesWithItsFoldersFilesAndOrder)
{
    CatalogTree from, to;
    to.AddVolume("Already", 1);
    const NodeId v = from.AddVolume("V", 2);
    from.SetCatalogFileName(v, "V.arv");
    const NodeId b = from.AddFolder(v, "b", 3);
    const NodeId a = from.AddFolder(v, "a", 4);
    from.AddFolder(b, "inner", 5);
    const TMediaInfo media{"Band", " - Song"};
    from.AddFile(a, "song.mp3", 7, 8, &media);
    from.AddFile(v, "top", 9, 10);
    const std::string before = Describe(from);
    const NodeHandle old = from.Handle(a);

    const NodeId adopted = to.AdoptVolume(from, v);
    EXPECT_EQ(to.Children(CatalogTree::kRoot).back(), adopted);
    EXPECT_EQ(to.CatalogFileName(adopted), "V.arv");
    EXPECT_EQ(to.Text(to.Children(adopted)[0]), "b");
    EXPECT_EQ(to.Level(to.Children(to.Children(adopted)[0])[0]), 3u);
    // The first volume's text and then the adopted one's, as it was.
    EXPECT_EQ(Describe(to), " Already 1.000000 []\n" + before);
    EXPECT_EQ(from.VolumeCount(), 0u);
    EXPECT_EQ(from.NodeCount(), 1u);
    EXPECT_EQ(from.Resolve(old), kNoNode);

    to.SetChildOrder(CatalogTree::kRoot, {adopted, to.Children(CatalogTree::kRoot)[0]});
    EXPECT_EQ(to.Text(to.Children(CatalogTree::kRoot)[1]), "Already");
}

TEST_F(LoadCatalogsTest, MissingFolderAndReloadReplaceEverything)
{
    Save("one.arv");
    LoadCatalogs(tree, dir.Folder(), English());
    const NodeHandle old = tree.Handle(tree.Children(CatalogTree::kRoot)[0]);
    LoadCatalogs(tree, dir.Folder(), English());
    EXPECT_EQ(tree.VolumeCount(), 1u);
    EXPECT_EQ(tree.Resolve(old), kNoNode);
    const LoadResult r = LoadCatalogs(tree, dir.File("nowhere") + "/", English());
    EXPECT_EQ(r.ExpectedCount, 0u);
    EXPECT_EQ(tree.VolumeCount(), 0u);
}

TEST_F(LoadCatalogsTest, FoldersAreSortedByCollationInEveryVolume)
{
    CatalogTree source;
    const NodeId v = source.AddVolume("x", 0);
    for (const char* n : {"b", "C", "a", "Ä"}) source.AddFolder(v, n, 0);
    {
        CatalogWriter w(dir.File("v.arv"));
        w.WriteHeader("", 0);
        w.WriteTree(source, v);
        w.Commit();
    }
    LoadCatalogs(tree, dir.Folder(), English());
    std::vector<std::string> names;
    for (NodeId c : tree.Children(tree.Children(CatalogTree::kRoot)[0])) names.emplace_back(tree.Text(c));
    EXPECT_EQ(names, (std::vector<std::string>{"a", "Ä", "b", "C"}));
}

}  // namespace
}  // namespace ardvel
