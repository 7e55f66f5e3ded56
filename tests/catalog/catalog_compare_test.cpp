// Comparing two trees of records: each kind of change, how names are
// matched, the order of the changes and the round trip through a catalog
// file.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "catalog/CompareTrees.h"
#include "catalog/FreshScan.h"
#include "catalog/NameMatch.h"
#include "catalog/StoredText.h"
#include "store/CatalogFile.h"
#include "store/LoadCatalogs.h"
#include "support/TempDir.h"

namespace ardvel {
namespace {

namespace fs = std::filesystem;
using test::TempDir;
using test::WriteBytes;

const Locale& English()
{
    static const Locale locale("en_US.UTF-8");
    return locale;
}

TDateTime Day(int day, int hour = 12)
{
    return EncodeDateTime({2024, 5, day, hour, 0, 0, 0});
}

/// The changes as short lines: "+ path", "- path", "~ path", folders with
/// "(files/folders)" inside; the summary last.
std::vector<std::string> Changes(const CatalogTree& oldTree, NodeId oldNode, const CatalogTree& newTree, NodeId newNode)
{
    std::vector<std::string> lines;
    const CompareSummary summary =
        CompareTrees(oldTree, oldNode, newTree, newNode, English(), [&](const TreeChange& c) {
            std::string line = c.Kind == ChangeKind::Added ? "+ " : c.Kind == ChangeKind::Removed ? "- " : "~ ";
            line += c.Path;
            if (c.IsFolder) line += " (" + std::to_string(c.FilesInside) + "/" + std::to_string(c.FoldersInside) + ")";
            lines.push_back(line);
        });
    lines.push_back(ChangeSummaryText(summary));
    return lines;
}

/// Two volumes of one tree: Old and New, both built by the test.
struct TwoVolumes {
    CatalogTree Tree;
    NodeId Old = Tree.AddVolume("Old", Day(1));
    NodeId New = Tree.AddVolume("New", Day(2));

    std::vector<std::string> Changes() const { return ardvel::Changes(Tree, Old, Tree, New); }
};

void AddMp3(CatalogTree& tree, NodeId node, std::string_view name, std::string artist, std::string title)
{
    const TMediaInfo media{std::move(artist), std::move(title)};
    tree.AddFile(node, name, 4000, Day(3), &media);
}

TEST(CompareTrees, FilesAddedRemovedResizedRedatedAndRetagged)
{
    TwoVolumes v;
    for (NodeId n : {v.Old, v.New}) {
        v.Tree.AddFile(n, "same.txt", 10, Day(3));
        v.Tree.AddFile(n, "resized.txt", n == v.Old ? 10 : 11, Day(3));
        v.Tree.AddFile(n, "redated.txt", 10, n == v.Old ? Day(3) : Day(4));
        AddMp3(v.Tree, n, "retagged.mp3", "Band", n == v.Old ? " - Song" : " - Other Song");
        AddMp3(v.Tree, n, "kept.mp3", "Band", " - Song");
    }
    v.Tree.AddFile(v.Old, "gone.txt", 1, Day(3));
    v.Tree.AddFile(v.New, "new.txt", 1, Day(3));

    EXPECT_EQ(v.Changes(),
              (std::vector<std::string>{"- gone.txt", "+ new.txt", "~ redated.txt", "~ resized.txt", "~ retagged.mp3",
                                        "1 added, 1 removed, 3 changed (0 files in added folders, 0 in "
                                        "removed ones)"}));

    // The records of both sides travel with the change.
    std::vector<TreeChange> changes;
    CompareTrees(v.Tree, v.Old, v.Tree, v.New, English(), [&](const TreeChange& c) { changes.push_back(c); });
    ASSERT_EQ(changes.size(), 5u);
    EXPECT_EQ(changes[3].OldSizeKB, 10);
    EXPECT_EQ(changes[3].NewSizeKB, 11);
    EXPECT_EQ(changes[2].OldDate, Day(3));
    EXPECT_EQ(changes[2].NewDate, Day(4));
    EXPECT_EQ(changes[4].OldMedia, "Band - Song");
    EXPECT_EQ(changes[4].NewMedia, "Band - Other Song");
    EXPECT_EQ(changes[1].NewSizeKB, 1);
    EXPECT_EQ(changes[1].OldSizeKB, 0);
}

TEST(CompareTrees, DatesAreComparedAsStoredAndFolderDatesAreNoChange)
{
    TwoVolumes v;
    // 10:15:33.250 is stored as 10:15:32.
    v.Tree.AddFile(v.Old, "a.txt", 1, EncodeDateTime({2024, 5, 3, 10, 15, 32, 0}));
    v.Tree.AddFile(v.New, "a.txt", 1, EncodeDateTime({2024, 5, 3, 10, 15, 33, 250}));
    v.Tree.AddFolder(v.Old, "Docs", Day(3));
    v.Tree.AddFolder(v.New, "Docs", Day(9));
    EXPECT_EQ(v.Changes().size(), 1u);
}

TEST(CompareTrees, AFolderOnOneSideIsOneChangeWithItsContentsCounted)
{
    TwoVolumes v;
    const NodeId gone = v.Tree.AddFolder(v.Old, "Gone", Day(3));
    v.Tree.AddFile(gone, "a", 1, Day(3));
    const NodeId sub = v.Tree.AddFolder(gone, "Sub", Day(3));
    v.Tree.AddFile(sub, "b", 1, Day(3));
    v.Tree.AddFile(sub, "c", 1, Day(3));
    v.Tree.AddFolder(sub, "Empty", Day(3));

    const NodeId keptOld = v.Tree.AddFolder(v.Old, "Kept", Day(3));
    const NodeId keptNew = v.Tree.AddFolder(v.New, "Kept", Day(3));
    v.Tree.AddFile(keptOld, "k", 1, Day(3));
    v.Tree.AddFile(keptNew, "k", 1, Day(3));
    const NodeId added = v.Tree.AddFolder(keptNew, "Added", Day(3));
    v.Tree.AddFile(added, "n", 1, Day(3));

    EXPECT_EQ(v.Changes(), (std::vector<std::string>{"- Gone\\ (3/2)", "+ Kept\\Added\\ (1/0)",
                                                     "1 added, 1 removed, 0 changed (1 files in added folders, 3 in "
                                                     "removed ones)"}));
}

TEST(CompareTrees, AFileAndAFolderOfOneNameAreDifferentEntries)
{
    TwoVolumes v;
    v.Tree.AddFile(v.Old, "Report", 1, Day(3));
    const NodeId folder = v.Tree.AddFolder(v.New, "Report", Day(3));
    v.Tree.AddFile(folder, "page1", 1, Day(3));
    EXPECT_EQ(v.Changes(), (std::vector<std::string>{"- Report", "+ Report\\ (1/0)",
                                                     "1 added, 1 removed, 0 changed (1 files in added folders, 0 in "
                                                     "removed ones)"}));
}

TEST(CompareTrees, NamesDifferingInCaseAreDifferentEntries)
{
    TwoVolumes v;
    v.Tree.AddFile(v.Old, "readme.txt", 1, Day(3));
    v.Tree.AddFile(v.New, "README.txt", 1, Day(3));
    v.Tree.AddFolder(v.Old, "music", Day(3));
    v.Tree.AddFolder(v.New, "Music", Day(3));
    EXPECT_EQ(v.Changes(),
              (std::vector<std::string>{"- readme.txt", "+ README.txt", "- music\\ (0/0)", "+ Music\\ (0/0)",
                                        "2 added, 2 removed, 0 changed (0 files in added folders, 0 in "
                                        "removed ones)"}));
}

TEST(CompareTrees, ScannedNamesMatchTheirStoredForm)
{
    // The old side as read from a catalog file, the new one as scanned.
    TwoVolumes v;
    v.Tree.AddFile(v.Old, "a b.txt", 1, Day(3));
    v.Tree.AddFile(v.Old, "trailing", 1, Day(3));
    v.Tree.AddFile(v.Old, "caf\xC3\xA9", 1, Day(3));
    v.Tree.AddFolder(v.Old, "x y", Day(3));
    AddMp3(v.Tree, v.Old, "song.mp3", "Ar tist", " - Title");
    v.Tree.AddFile(v.New,
                   "a\x01"
                   "b.txt",
                   1, Day(3));
    v.Tree.AddFile(v.New, "trailing  ", 1, Day(3));
    v.Tree.AddFile(v.New, "caf\xE9", 1, Day(3));  // Windows-1252
    v.Tree.AddFolder(v.New, "x\x02y", Day(3));
    AddMp3(v.Tree, v.New, "song.mp3", "Ar\x02tist", " - Title ");
    EXPECT_EQ(v.Changes().size(), 1u) << v.Changes()[0];

    // Paths show the stored form.
    v.Tree.AddFile(v.New, "new\x01.txt", 1, Day(3));
    EXPECT_EQ(v.Changes()[0], "+ new .txt");
}

TEST(CompareTrees, NamesStoredAlikePairUpInOrder)
{
    TwoVolumes v;
    v.Tree.AddFile(v.Old, "x", 1, Day(3));
    v.Tree.AddFile(v.New, "x", 1, Day(3));
    v.Tree.AddFile(v.New, "x ", 2, Day(3));
    EXPECT_EQ(v.Changes(), (std::vector<std::string>{"+ x",
                                                     "1 added, 0 removed, 0 changed (0 files in added "
                                                     "folders, 0 in removed ones)"}));
}

TEST(CompareTrees, ChangesComeInTreeOrderWhateverOrderTheFoldersListThem)
{
    // Files first, then subfolders, each by the locale's collation ("apple"
    // before "Banana"); a folder's changes right after it.
    CatalogTree tree;
    const NodeId old = tree.AddVolume("Old", Day(1));
    const NodeId sorted = tree.AddVolume("New sorted", Day(2));
    const NodeId shuffled = tree.AddVolume("New shuffled", Day(2));
    for (const char* name : {"Banana", "apple", "cherry"}) {
        const NodeId f = tree.AddFolder(old, name, Day(3));
        tree.AddFile(f, "same", 1, Day(3));
    }
    auto fill = [&](NodeId volume, std::vector<std::string> folders, std::vector<std::string> files) {
        for (const std::string& name : files) tree.AddFile(volume, name, 1, Day(3));
        for (const std::string& name : folders) {
            const NodeId f = tree.AddFolder(volume, name, Day(3));
            tree.AddFile(f, "same", 1, Day(3));
            if (name != "Banana") tree.AddFile(f, "z", 1, Day(3));
        }
    };
    fill(sorted, {"apple", "avocado", "Banana", "cherry"}, {"Zed", "b", "A"});
    fill(shuffled, {"cherry", "Banana", "avocado", "apple"}, {"b", "A", "Zed"});
    SortCatalogTree(tree, English());

    const std::vector<std::string> expected{"+ A",
                                            "+ b",
                                            "+ Zed",
                                            "+ apple\\z",
                                            "+ avocado\\ (2/0)",
                                            "+ cherry\\z",
                                            "6 added, 0 removed, 0 changed (2 files in added folders, 0 in "
                                            "removed ones)"};
    EXPECT_EQ(Changes(tree, old, tree, sorted), expected);
    // The shuffled volume's folders were sorted too; its files were not.
    EXPECT_EQ(Changes(tree, old, tree, shuffled), expected);

    // Folders listed in different orders come in the locale's order.
    CatalogTree scanOrder;
    const NodeId one = scanOrder.AddVolume("One", Day(1));
    const NodeId two = scanOrder.AddVolume("Two", Day(2));
    for (const char* name : {"cherry", "apple", "Banana"})
        scanOrder.AddFile(scanOrder.AddFolder(one, name, Day(3)), "f", 1, Day(3));
    for (const char* name : {"Banana", "cherry", "apple"})
        scanOrder.AddFile(scanOrder.AddFolder(two, name, Day(3)), "f", 2, Day(3));
    const std::vector<std::string> changed{"~ apple\\f", "~ Banana\\f", "~ cherry\\f",
                                           "0 added, 0 removed, 3 changed (0 files in added folders, 0 in "
                                           "removed ones)"};
    EXPECT_EQ(Changes(scanOrder, one, scanOrder, two), changed);
    EXPECT_EQ(Changes(scanOrder, two, scanOrder, one), changed);
}

TEST(CompareTrees, AScanMatchesTheCatalogFileMadeOfIt)
{
    // "Update, then compare with the same folder" finds nothing: names and
    // media texts that change on their way through a catalog file included.
    TempDir media, catalogs;
    const fs::path root = media.Path();
    fs::create_directories(root / "Music" / "Live ");
    fs::create_directories(root / "Docs\x01");
    WriteBytes((root / "a.txt").string(), "abc");
    WriteBytes((root / "trailing ").string(), std::string(2000, 'x'));
    WriteBytes((root / "caf\xE9").string(), "x");
    WriteBytes((root / "Music" / "untagged.mp3 ").string(), "no tags");
    WriteBytes((root / "Music" / "Live " / "x\x02.mp3").string(), "no tags either");
    WriteBytes((root / "Docs\x01" / "b.txt").string(), "");

    FreshScan first;
    ASSERT_TRUE(first.Run(root.string(), {}));
    const std::string path = catalogs.File("v.arv");
    {
        CatalogWriter writer(path);
        writer.WriteHeader("v", first.Tree().Info(first.Volume()).Date);
        writer.WriteTree(first.Tree(), first.Volume());
        writer.Commit();
    }
    CatalogTree loaded;
    const NodeId volume = LoadCatalogFile(loaded, path, "v.arv", "v");

    FreshScan second;
    ASSERT_TRUE(second.Run(root.string(), {}));
    EXPECT_EQ(Changes(loaded, volume, second.Tree(), second.Volume()).size(), 1u);
    EXPECT_EQ(Changes(second.Tree(), second.Volume(), loaded, volume).size(), 1u);

    fs::remove(root / "a.txt");
    WriteBytes((root / "Docs\x01" / "b.txt").string(), "now longer");
    FreshScan third;
    ASSERT_TRUE(third.Run(root.string(), {}));
    EXPECT_EQ(Changes(loaded, volume, third.Tree(), third.Volume()),
              (std::vector<std::string>{"- a.txt", "~ Docs\\b.txt",
                                        "0 added, 1 removed, 1 changed (0 files in added folders, 0 in removed "
                                        "ones)"}));
}

/// MatchByName over two lists of names: "a=a" pairs, "-a" old only, "+a"
/// new only, in the order of the calls; "in order" last when it says so.
std::vector<std::string> Pairs(const std::vector<std::string>& oldNames, const std::vector<std::string>& newNames)
{
    name_match::Buffers buffers;
    std::vector<std::string> out;
    const bool inOrder = name_match::MatchByName(
        static_cast<std::uint32_t>(oldNames.size()), static_cast<std::uint32_t>(newNames.size()),
        [&](std::uint32_t i) { return std::string_view(oldNames[i]); },
        [&](std::uint32_t j) { return std::string_view(newNames[j]); }, buffers,
        [&](std::uint32_t i, std::uint32_t j) {
            if (i == name_match::kNoIndex)
                out.push_back("+" + newNames[j]);
            else if (j == name_match::kNoIndex)
                out.push_back("-" + oldNames[i]);
            else
                out.push_back(oldNames[i] + "=" + newNames[j]);
        });
    if (inOrder) out.push_back("in order");
    return out;
}

TEST(MatchByName, PairsCommonEndsInOrderAndSortsOnlyWhatLiesBetween)
{
    using V = std::vector<std::string>;
    EXPECT_EQ(Pairs({"a", "b", "c"}, {"a", "b", "c"}), (V{"a=a", "b=b", "c=c", "in order"}));
    EXPECT_EQ(Pairs({"a", "c"}, {"a", "b", "c"}), (V{"a=a", "+b", "c=c", "in order"}));
    EXPECT_EQ(Pairs({"a", "b", "c"}, {"a", "c"}), (V{"a=a", "-b", "c=c", "in order"}));
    EXPECT_EQ(Pairs({}, {"x", "y"}), (V{"+x", "+y", "in order"}));
    // Between the common ends: by bytes, then what is left.
    EXPECT_EQ(Pairs({"a", "q", "p", "z"}, {"a", "p", "r", "q", "z"}), (V{"a=a", "p=p", "q=q", "+r", "z=z"}));
    // Names that differ in bytes but are stored alike pair on the second pass.
    EXPECT_EQ(Pairs({"k", "m n", "x"}, {"m\x01n", "k "}), (V{"k=k ", "m n=m\x01n", "-x"}));
    // One name twice on one side: the first pairs, the second is left.
    EXPECT_EQ(Pairs({"d", "d", "e"}, {"e", "d"}), (V{"d=d", "e=e", "-d"}));
}

TEST(StoredText, TextsReadBackAsACatalogFileGivesThem)
{
    EXPECT_TRUE(IsStoredForm(""));
    EXPECT_TRUE(IsStoredForm(" leading"));
    EXPECT_TRUE(IsStoredForm("caf\xC3\xA9"));
    EXPECT_FALSE(IsStoredForm("trailing "));
    EXPECT_FALSE(
        IsStoredForm("a\x01"
                     "b"));
    EXPECT_FALSE(IsStoredForm("caf\xE9"));
    EXPECT_EQ(AsStored("a\x01\x02"
                       "b\t \x02"),
              "a  b");
    EXPECT_EQ(AsStored("caf\xE9 "), "caf\xC3\xA9");
}

}  // namespace
}  // namespace ardvel
