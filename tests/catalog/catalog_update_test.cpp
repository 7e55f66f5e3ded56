// Updating a volume: the run, the reuse of media texts, the remembered
// source folders and the proposal of a folder to scan.

#include <gtest/gtest.h>
#include <utime.h>

#include <atomic>
#include <filesystem>
#include <string>
#include <vector>

#include "catalog/ReplaceVolume.h"
#include "catalog/UpdateSource.h"
#include "catalog/VolumeSources.h"
#include "catalog/VolumeUpdate.h"
#include "store/CatalogError.h"
#include "store/CatalogFile.h"
#include "store/LoadCatalogs.h"
#include "support/Id3Builder.h"
#include "support/TempDir.h"

namespace ardvel {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

const Locale& English()
{
    static const Locale locale("en_US.UTF-8");
    return locale;
}

int g_tagReads = 0;
TMediaInfo CountingReader(const std::string& path)
{
    ++g_tagReads;
    return {"Read " + fs::path(path).filename().string(), " - Tags"};
}

void SetTime(const fs::path& path, std::time_t when)
{
    const utimbuf times{when, when};
    ASSERT_EQ(::utime(path.c_str(), &times), 0);
}

/// A folder "Disk" catalogued as the volume "Disk" of a catalog folder.
struct UpdateFixture {
    TempDir Dir;
    fs::path Disk = Dir.Path() / "Disk";
    std::string Catalogs = Dir.Folder() + "catalogs/";
    std::string Settings = Dir.File("ardvel.ini");

    UpdateFixture()
    {
        fs::create_directories(Disk / "Music");
        fs::create_directories(Catalogs);
        WriteBytes((Disk / "a.txt").string(), "abc");
        for (const char* name : {"one.mp3", "two.mp3"}) {
            WriteBytes((Disk / "Music" / name).string(), std::string(500, 'm'));
            SetTime(Disk / "Music" / name, 1700000000);
        }
        FreshScan scan;
        FolderScanner::Options options;
        options.ReadMedia = &CountingReader;
        EXPECT_TRUE(scan.Run(Disk.string(), std::move(options)));
        CatalogWriter writer(Catalogs + "Disk.arv");
        writer.WriteHeader("Disk", scan.Tree().Info(scan.Volume()).Date);
        writer.WriteTree(scan.Tree(), scan.Volume());
        writer.Commit();
    }

    NodeId Load(CatalogTree& tree) const { return LoadCatalogFile(tree, Catalogs + "Disk.arv", "Disk.arv", "Disk"); }

    VolumeUpdateResult Update(bool dryRun, std::vector<std::string>* changes = nullptr,
                              const std::atomic<bool>* stop = nullptr) const
    {
        CatalogTree tree;
        const NodeId volume = Load(tree);
        VolumeUpdateOptions options;
        options.DryRun = dryRun;
        options.StopRequested = stop;
        options.ReadMedia = &CountingReader;
        options.SettingsFile = Settings;
        VolumeUpdate update(Catalogs, English(), std::move(options));
        VolumeUpdateEvents events;
        events.Change = [&](const TreeChange& c) {
            if (changes) changes->push_back(c.Path);
        };
        return update.Run(tree, volume, Disk.string(), events);
    }
};

TEST(VolumeUpdate, ReplacesTheCatalogFileAndReadsTheTagsOfChangedFilesOnly)
{
    UpdateFixture f;
    const std::string before = ReadBytes(f.Catalogs + "Disk.arv");
    WriteBytes((f.Disk / "Music" / "two.mp3").string(), std::string(5000, 'm'));
    WriteBytes((f.Disk / "b.txt").string(), "b");

    g_tagReads = 0;
    std::vector<std::string> changes;
    VolumeUpdateResult r = f.Update(true, &changes);
    EXPECT_EQ(r.Outcome, UpdateOutcome::DryRun);
    EXPECT_EQ(changes, (std::vector<std::string>{"b.txt", "Music\\two.mp3"}));
    EXPECT_EQ(g_tagReads, 1);
    EXPECT_EQ(r.MediaReused, 1u);
    EXPECT_EQ(ReadBytes(f.Catalogs + "Disk.arv"), before);
    EXPECT_FALSE(fs::exists(f.Settings));

    r = f.Update(false);
    EXPECT_EQ(r.Outcome, UpdateOutcome::Updated);
    EXPECT_EQ(r.Summary.Added + r.Summary.Changed, 2u);
    EXPECT_TRUE(r.SourceRemembered);
    EXPECT_EQ(std::distance(fs::directory_iterator(f.Catalogs), {}), 1);  // no temporary left

    CatalogTree tree;
    const NodeId volume = f.Load(tree);
    changes.clear();
    g_tagReads = 0;
    r = f.Update(true, &changes);
    EXPECT_TRUE(changes.empty());
    EXPECT_EQ(g_tagReads, 0);
    // The kept media text is the one read when the volume was catalogued.
    const FileList music = tree.Files(tree.Children(volume)[0]);
    ASSERT_EQ(music.size(), 2u);
    EXPECT_EQ(std::string(music.Store().Artist(music[0])).substr(0, 5), "Read ");
}

TEST(VolumeUpdate, StoppingWritesNothing)
{
    UpdateFixture f;
    const std::string before = ReadBytes(f.Catalogs + "Disk.arv");
    WriteBytes((f.Disk / "b.txt").string(), "b");
    std::atomic<bool> stop{true};
    const VolumeUpdateResult r = f.Update(false, nullptr, &stop);
    EXPECT_EQ(r.Outcome, UpdateOutcome::Stopped);
    EXPECT_EQ(ReadBytes(f.Catalogs + "Disk.arv"), before);
    EXPECT_FALSE(fs::exists(f.Settings));
}

TEST(ReplaceVolumeContents, KeepsTheNodesOfFoldersThatStillExist)
{
    CatalogTree tree, scan;
    const NodeId volume = tree.AddVolume("Disk", 1000);
    const NodeId other = tree.AddVolume("Other", 1000);
    tree.AddFile(other, "untouched", 1, 1000);
    tree.AddFile(volume, "root.txt", 1, 1000);
    const NodeId a = tree.AddFolder(volume, "A", 1000);
    tree.AddFile(a, "a1", 1, 1000);
    const NodeId b = tree.AddFolder(volume, "B", 1000);
    tree.AddFolder(b, "C", 1000);
    const NodeHandle keptA = tree.Handle(a), goneB = tree.Handle(b);

    const NodeId from = scan.AddVolume("/media/disk", 2000);
    const NodeId d = scan.AddFolder(from, "D", 2000);
    scan.AddFile(d, "d1", 3, 2000);
    const NodeId newA = scan.AddFolder(from, "A", 2001);
    const TMediaInfo media{"Artist", " - Title"};
    scan.AddFile(newA, "a2.mp3", 2, 2000, &media);
    scan.AddFile(newA, "a1", 5, 2000);
    scan.AddFile(from, "root.txt", 1, 1000);

    ReplaceVolumeContents(tree, volume, scan, from, English());
    EXPECT_EQ(tree.Resolve(keptA), a);
    EXPECT_EQ(tree.Resolve(goneB), kNoNode);
    EXPECT_EQ(tree.Info(a).Date, 2001);
    EXPECT_EQ(tree.Info(volume).Date, 1000);
    ASSERT_EQ(tree.Children(volume).size(), 2u);
    EXPECT_EQ(tree.Text(tree.Children(volume)[1]), "D");  // sorted
    const FileList files = tree.Files(a);
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(files.Store().Name(files[0]), "a2.mp3");
    EXPECT_EQ(files.Store().Title(files[0]), " - Title");
    EXPECT_EQ(tree.Files(other).size(), 1u);
    const CompareSummary left = CompareTrees(tree, volume, scan, from, English(), [](const TreeChange&) {});
    EXPECT_TRUE(left.Empty()) << ChangeSummaryText(left);
}

TEST(VolumeSources, FollowRenamesAndForgetDeletedCatalogs)
{
    UpdateFixture f;
    CatalogTree tree;
    const TDateTime date = tree.Info(f.Load(tree)).Date;
    const std::string folder = " /media/with\\odd\nname ";
    ASSERT_TRUE(RememberVolumeSource(f.Settings, f.Catalogs + "Disk.arv", date, folder));
    EXPECT_EQ(RememberedVolumeSource(f.Settings, f.Catalogs + "Disk.arv", date), folder);
    EXPECT_EQ(RememberedVolumeSource(f.Settings, f.Catalogs + "Disk.arv", date + 1), std::nullopt);

    fs::rename(f.Catalogs + "Disk.arv", f.Catalogs + "Renamed.arv");
    EXPECT_EQ(RememberedVolumeSource(f.Settings, f.Catalogs + "Renamed.arv", date), folder);

    // Another volume remembered: the renamed one's entry moves to its new
    // name; once deleted, its entry goes.
    WriteBytes(f.Catalogs + "Other.arv", "x");
    ASSERT_TRUE(RememberVolumeSource(f.Settings, f.Catalogs + "Other.arv", date, "/other"));
    VolumeSources sources = VolumeSources::Read(IniFile::Load(f.Settings));
    ASSERT_EQ(sources.Entries().size(), 2u);
    EXPECT_EQ(sources.Entries()[0].CatalogPath, f.Catalogs + "Renamed.arv");
    fs::remove(f.Catalogs + "Renamed.arv");
    ASSERT_TRUE(RememberVolumeSource(f.Settings, f.Catalogs + "Other.arv", date, "/other2"));
    sources = VolumeSources::Read(IniFile::Load(f.Settings));
    ASSERT_EQ(sources.Entries().size(), 1u);
    EXPECT_EQ(sources.Entries()[0].Folder, "/other2");
}

TEST(UpdateSource, ProposesTheRememberedFolderElseAMountWithTheLabel)
{
    UpdateFixture f;
    CatalogTree tree;
    const TDateTime date = tree.Info(f.Load(tree)).Date;
    const fs::path labels = f.Dir.Path() / "by-label";
    fs::create_directories(labels);
    WriteBytes(f.Dir.File("sdb1"), "");
    fs::create_symlink(f.Dir.File("sdb1"), labels / "MY\\x20STICK");
    const std::string stick = f.Dir.File("mnt-stick"), named = f.Dir.File("BACKUP");
    WriteBytes(f.Dir.File("mountinfo"), "1 1 8:1 / " + stick + " rw - vfat " + f.Dir.File("sdb1") + " rw\n" +
                                            "2 1 8:2 / " + named + " rw - ext4 /dev/sdc1 rw\n" +
                                            "3 1 0:5 / /proc/BACKUP rw - proc proc rw\n");
    const UpdateSourceConfig config{f.Settings, f.Dir.File("mountinfo"), labels.string()};

    EXPECT_EQ(LabelLinkName("MY STICK/é"), "MY\\x20STICK\\x2f\xC3\xA9");
    EXPECT_EQ(ProposeUpdateFolder(f.Catalogs + "Disk.arv", date, "MY STICK", config), stick);
    EXPECT_EQ(ProposeUpdateFolder(f.Catalogs + "Disk.arv", date, "BACKUP", config), named);
    EXPECT_EQ(ProposeUpdateFolder(f.Catalogs + "Disk.arv", date, "Nothing", config), "");

    ASSERT_TRUE(RememberVolumeSource(f.Settings, f.Catalogs + "Disk.arv", date, f.Disk.string()));
    EXPECT_EQ(ProposeUpdateFolder(f.Catalogs + "Disk.arv", date, "BACKUP", config), f.Disk.string());
    fs::remove_all(f.Disk);  // a remembered folder that is gone is no proposal
    EXPECT_EQ(ProposeUpdateFolder(f.Catalogs + "Disk.arv", date, "BACKUP", config), named);
}

}  // namespace
}  // namespace ardvel
