#include <gtest/gtest.h>

#include <filesystem>

#include "store/VolumeFiles.h"
#include "store/VolumeName.h"
#include "support/TempDir.h"

namespace ardvel {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

const Locale& English()
{
    static const Locale l("en_US.UTF-8");
    return l;
}

struct VolumeFilesTest : ::testing::Test {
    NodeId AddVolumeWithFile(const std::string& name, const std::string& file, const std::string& bytes)
    {
        const NodeId v = tree.AddVolume(name, 0);
        tree.SetCatalogFileName(v, file);
        WriteBytes(dir.File(file), bytes);
        return v;
    }
    bool Exists(const std::string& name) const { return std::filesystem::exists(dir.File(name)); }

    TempDir dir;
    CatalogTree tree;
};

TEST_F(VolumeFilesTest, FindVolumeNamedIgnoresCaseInEveryScript)
{
    const NodeId a = tree.AddVolume("Music", 0);
    const NodeId b = tree.AddVolume("Ärger", 0);
    const NodeId f = tree.AddFolder(a, "Deep", 0);
    EXPECT_EQ(FindVolumeNamed(tree, "MUSIC", English()), a);
    EXPECT_EQ(FindVolumeNamed(tree, "ärger", English()), b);
    // Folders are no volumes.
    EXPECT_EQ(FindVolumeNamed(tree, "deep", English()), kNoNode);
    EXPECT_EQ(FindVolumeNamed(tree, "Musi", English()), kNoNode);
    (void)f;
}

TEST_F(VolumeFilesTest, RenameMovesTheRememberedFileToTheEncodedName)
{
    // The file a volume came from is not always what encoding its text gives.
    const NodeId v = AddVolumeWithFile("a:b", "a~58b.arv", "catalog");
    ASSERT_EQ(RenameVolumeFile(tree, v, dir.Folder(), "AC/DC: Live"), VolumeFileResult::Done);
    EXPECT_FALSE(Exists("a~58b.arv"));
    EXPECT_EQ(ReadBytes(dir.File("AC~47DC~58 Live.arv")), "catalog");
    EXPECT_EQ(tree.CatalogFileName(v), "AC~47DC~58 Live.arv");
    // The node text is the caller's business.
    EXPECT_EQ(tree.Text(v), "a:b");
    // The longest name the file system takes: 251 bytes of stem and ".arv".
    const std::string longest = std::string(248, 'x') + "?";
    ASSERT_EQ(RenameVolumeFile(tree, v, dir.Folder(), longest), VolumeFileResult::Done);
    EXPECT_EQ(tree.CatalogFileName(v), std::string(248, 'x') + "~63.arv");
}

TEST_F(VolumeFilesTest, RenameRefusesAndChangesNothing)
{
    const NodeId v = AddVolumeWithFile("One", "One.arv", "one");
    AddVolumeWithFile("Two", "Two.arv", "two");
    WriteBytes(dir.File("Stray.arv"), "stray");
    WriteBytes(dir.File("Enc~63.arv"), "encoded");

    EXPECT_EQ(RenameVolumeFile(tree, v, dir.Folder(), "Two"), VolumeFileResult::TargetExists);
    EXPECT_EQ(RenameVolumeFile(tree, v, dir.Folder(), "Stray"), VolumeFileResult::TargetExists);
    EXPECT_EQ(RenameVolumeFile(tree, v, dir.Folder(), "Enc?"), VolumeFileResult::TargetExists);
    EXPECT_EQ(RenameVolumeFile(tree, v, dir.Folder(), "a~58"), VolumeFileResult::TildeDigit);
    EXPECT_EQ(RenameVolumeFile(tree, v, dir.Folder(), ""), VolumeFileResult::ImproperName);
    EXPECT_EQ(RenameVolumeFile(tree, v, dir.Folder(), " \t "), VolumeFileResult::ImproperName);
    EXPECT_EQ(RenameVolumeFile(tree, v, dir.Folder(), std::string(249, 'x') + "?"), VolumeFileResult::ImproperName);
    EXPECT_EQ(RenameVolumeFile(tree, v, dir.Folder(), std::string_view("nul\0x", 5)), VolumeFileResult::ImproperName);
    EXPECT_STREQ(RenameFailureText(VolumeFileResult::TildeDigit), kTildeDigitRefusal);
    EXPECT_STREQ(RenameFailureText(VolumeFileResult::ImproperName), "Improper name! Please choose another one!");
    EXPECT_STREQ(RenameFailureText(VolumeFileResult::SystemError), "Improper name! Please choose another one!");

    EXPECT_EQ(ReadBytes(dir.File("One.arv")), "one");
    EXPECT_EQ(ReadBytes(dir.File("Two.arv")), "two");
    EXPECT_EQ(ReadBytes(dir.File("Stray.arv")), "stray");
    EXPECT_EQ(ReadBytes(dir.File("Enc~63.arv")), "encoded");
    EXPECT_EQ(tree.CatalogFileName(v), "One.arv");
}

TEST_F(VolumeFilesTest, RenameOfAMissingFileOrAVolumeWithoutFileFails)
{
    const NodeId v = AddVolumeWithFile("One", "One.arv", "one");
    std::filesystem::remove(dir.File("One.arv"));
    EXPECT_EQ(RenameVolumeFile(tree, v, dir.Folder(), "New"), VolumeFileResult::SystemError);
    EXPECT_FALSE(Exists("New.arv"));
    EXPECT_EQ(tree.CatalogFileName(v), "One.arv");

    const NodeId fresh = tree.AddVolume("Fresh", 0);
    EXPECT_EQ(RenameVolumeFile(tree, fresh, dir.Folder(), "New"), VolumeFileResult::NoCatalogFile);
    const NodeId folder = tree.AddFolder(v, "F", 0);
    EXPECT_EQ(RenameVolumeFile(tree, folder, dir.Folder(), "New"), VolumeFileResult::NoCatalogFile);
}

TEST_F(VolumeFilesTest, DeleteRemovesOnlyTheVolumesOwnFile)
{
    // "A?" encodes to "A~63"; a file of the plain text must survive.
    const NodeId v = AddVolumeWithFile("A?", "A~63.arv", "mine");
    WriteBytes(dir.File("A?.arv"), "other");
    ASSERT_EQ(DeleteVolumeFile(tree, v, dir.Folder()), VolumeFileResult::Done);
    EXPECT_FALSE(Exists("A~63.arv"));
    EXPECT_EQ(ReadBytes(dir.File("A?.arv")), "other");

    // Once gone, a second delete fails.
    EXPECT_EQ(DeleteVolumeFile(tree, v, dir.Folder()), VolumeFileResult::SystemError);
    const NodeId fresh = tree.AddVolume("Fresh", 0);
    EXPECT_EQ(DeleteVolumeFile(tree, fresh, dir.Folder()), VolumeFileResult::NoCatalogFile);
}

TEST_F(VolumeFilesTest, DeleteLeavesAFolderOfTheCatalogsNameAlone)
{
    const NodeId v = tree.AddVolume("Dir", 0);
    tree.SetCatalogFileName(v, "Dir.arv");
    std::filesystem::create_directory(dir.File("Dir.arv"));
    WriteBytes(dir.File("Dir.arv/inside"), "x");
    EXPECT_EQ(DeleteVolumeFile(tree, v, dir.Folder()), VolumeFileResult::SystemError);
    EXPECT_TRUE(Exists("Dir.arv/inside"));
}

}  // namespace
}  // namespace ardvel
