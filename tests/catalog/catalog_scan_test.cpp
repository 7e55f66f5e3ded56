// The folder scan: order, counts, folders that cannot be listed, links,
// mount points, stopping, sizes and the media information of MP3 files.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "catalog/ProgressText.h"
#include "catalog/ScanFolder.h"
#include "store/CatalogError.h"
#include "store/DateTime.h"
#include "store/MediaInfo.h"
#include "support/Id3Builder.h"
#include "support/TempDir.h"

namespace ardvel {
namespace {

namespace fs = std::filesystem;
using test::TempDir;
using test::WriteBytes;

/// The subtree of `node` as lines: "name/" for a folder (its contents
/// indented below), "name size" for a file, with " [artist|title]" for one
/// with media information; in the tree's order.
void Dump(const CatalogTree& tree, NodeId node, std::string& out, int depth = 0)
{
    const std::string indent(static_cast<std::size_t>(depth) * 2, ' ');
    const FileList files = tree.Files(node);
    for (const TDetails& d : files) {
        out += indent + std::string(files.Store().Name(d)) + " " + std::to_string(d.SizeKB);
        if (files.Store().HasMedia(d))
            out += " [" + std::string(files.Store().Artist(d)) + "|" + std::string(files.Store().Title(d)) + "]";
        out += "\n";
    }
    for (NodeId child : tree.Children(node)) {
        out += indent + std::string(tree.Text(child)) + "/\n";
        Dump(tree, child, out, depth + 1);
    }
}

std::string Dump(const CatalogTree& tree, NodeId node)
{
    std::string out;
    Dump(tree, node, out);
    return out;
}

/// The names of a folder in the order the file system lists them.
std::vector<std::string> ListingOrder(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const fs::directory_entry& e : fs::directory_iterator(folder)) names.push_back(e.path().filename());
    return names;
}

struct ScanRun {
    CatalogTree Tree;
    NodeId Volume = kNoNode;
    ScanStats Stats;
    bool Completed = false;
    std::vector<std::pair<std::string, std::string>> Progress;
};

void Scan(ScanRun& run, const std::string& path, FolderScanner::Options options = {})
{
    run.Volume = run.Tree.AddVolume("Vol", 0);
    if (!options.Progress)
        options.Progress = [&run](std::string_view folder, std::string_view name) {
            run.Progress.emplace_back(folder, name);
        };
    FolderScanner scanner(run.Tree, std::move(options));
    run.Completed = scanner.ScanFolder(path, run.Volume);
    run.Stats = scanner.Stats();
}

std::int32_t SizeOfFile(const CatalogTree& tree, NodeId node, std::string_view name)
{
    const FileList files = tree.Files(node);
    for (const TDetails& d : files)
        if (files.Store().Name(d) == name) return d.SizeKB;
    return -1;
}

const TDetails* FindFile(const CatalogTree& tree, NodeId node, std::string_view name)
{
    const FileList files = tree.Files(node);
    for (const TDetails& d : files)
        if (files.Store().Name(d) == name) return &d;
    return nullptr;
}

void SetMTime(const std::string& path, std::time_t when, bool ofLink = false)
{
    const timespec times[2] = {{when, 0}, {when, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, ofLink ? AT_SYMLINK_NOFOLLOW : 0), 0) << path;
}

// -- order and counts ---------------------------------------------------------

TEST(ScanFolder, WalksDepthFirstInListingOrderWithHiddenEntries)
{
    TempDir dir;
    const fs::path root = dir.Path() / "src";
    fs::create_directories(root / "b-dir" / "deeper");
    fs::create_directories(root / ".hidden-dir");
    fs::create_directories(root / "empty");
    for (const char* name : {"z.txt", "a.txt", ".hidden", "m.dat", "k"}) WriteBytes((root / name).string(), "x");
    WriteBytes((root / "b-dir" / "inner.txt").string(), "");
    WriteBytes((root / "b-dir" / "deeper" / "deep.txt").string(), std::string(2000, 'd'));

    ScanRun run;
    Scan(run, root.string());
    ASSERT_TRUE(run.Completed);

    // The progress lists every entry once, each folder's entries in the
    // listing order, a subfolder's entries right after the subfolder.
    std::vector<std::pair<std::string, std::string>> expected;
    const auto walk = [&](auto& self, const fs::path& folder) -> void {
        for (const std::string& name : ListingOrder(folder)) {
            expected.emplace_back(folder.string(), name);
            if (fs::is_directory(fs::symlink_status(folder / name))) self(self, folder / name);
        }
    };
    walk(walk, root);
    EXPECT_EQ(run.Progress, expected);

    // Files and folders of each node keep the listing order too.
    std::vector<std::string> rootFiles, rootFolders;
    for (const std::string& name : ListingOrder(root))
        (fs::is_directory(root / name) ? rootFolders : rootFiles).push_back(name);
    const FileList files = run.Tree.Files(run.Volume);
    std::vector<std::string> scannedFiles, scannedFolders;
    for (const TDetails& d : files) scannedFiles.emplace_back(files.Store().Name(d));
    for (NodeId child : run.Tree.Children(run.Volume)) scannedFolders.emplace_back(run.Tree.Text(child));
    EXPECT_EQ(scannedFiles, rootFiles);
    EXPECT_EQ(scannedFolders, rootFolders);

    EXPECT_EQ(run.Stats.Entries, 11u);
    EXPECT_EQ(run.Stats.Folders, 4u);
    EXPECT_EQ(run.Stats.Files, 7u);
    EXPECT_EQ(run.Stats.Mp3Files, 0u);
    EXPECT_EQ(run.Stats.TotalBytes, 5u + 2000u);

    // The deep file sits under b-dir/deeper; the empty folders have nothing.
    NodeId bdir = kNoNode, empty = kNoNode, hidden = kNoNode;
    for (NodeId child : run.Tree.Children(run.Volume)) {
        if (run.Tree.Text(child) == "b-dir") bdir = child;
        if (run.Tree.Text(child) == "empty") empty = child;
        if (run.Tree.Text(child) == ".hidden-dir") hidden = child;
    }
    ASSERT_NE(bdir, kNoNode);
    ASSERT_EQ(run.Tree.Children(bdir).size(), 1u);
    EXPECT_EQ(SizeOfFile(run.Tree, run.Tree.Children(bdir)[0], "deep.txt"), 2);
    EXPECT_EQ(run.Tree.Children(empty).size(), 0u);
    EXPECT_EQ(run.Tree.Files(empty).size(), 0u);
    EXPECT_NE(hidden, kNoNode);
    EXPECT_NE(FindFile(run.Tree, run.Volume, ".hidden"), nullptr);
}

TEST(ScanFolder, TrailingSlashesOfThePathAreIgnored)
{
    TempDir dir;
    fs::create_directories(dir.Path() / "src" / "sub");
    ScanRun run;
    Scan(run, (dir.Path() / "src").string() + "//");
    ASSERT_EQ(run.Progress.size(), 1u);
    EXPECT_EQ(run.Progress[0].first, (dir.Path() / "src").string());
    EXPECT_EQ(run.Progress[0].second, "sub");
}

TEST(ScanFolder, FolderThatCannotBeOpenedGivesAnEmptyVolume)
{
    TempDir dir;
    ScanRun run;
    Scan(run, (dir.Path() / "missing").string());
    EXPECT_TRUE(run.Completed);
    EXPECT_EQ(run.Tree.Children(run.Volume).size(), 0u);
    EXPECT_EQ(run.Stats.Entries, 0u);
}

TEST(ScanFolder, UnreadableFolderIsCataloguedEmptyAndTheScanGoesOn)
{
    // Permissions do not stop root, so the scan runs as "nobody" in a child
    // process, which reports the tree it built through a pipe.
    TempDir dir;
    const fs::path root = dir.Path() / "src";
    fs::create_directories(root / "locked" / "inner");
    fs::create_directories(root / "open");
    WriteBytes((root / "locked" / "secret.txt").string(), "s");
    WriteBytes((root / "open" / "seen.txt").string(), "s");
    fs::permissions(dir.Path(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                    fs::perms::others_read | fs::perms::others_exec);
    fs::permissions(root / "locked", fs::perms::none);

    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        ::close(fds[0]);
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(3);
        ScanRun run;
        Scan(run, root.string());
        std::string text = (run.Completed ? "completed\n" : "stopped\n") + Dump(run.Tree, run.Volume) + "unreadable " +
                           std::to_string(run.Stats.UnreadableFolders) + "\n";
        if (::write(fds[1], text.data(), text.size()) != static_cast<ssize_t>(text.size())) ::_exit(4);
        ::_exit(0);
    }
    ::close(fds[1]);
    std::string text;
    char buffer[4096];
    ssize_t n;
    while ((n = ::read(fds[0], buffer, sizeof buffer)) > 0) text.append(buffer, static_cast<std::size_t>(n));
    ::close(fds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    fs::permissions(root / "locked", fs::perms::owner_all);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "child status " << status;

    // Both folders are there; only the open one has its file.
    EXPECT_NE(text.find("completed\n"), std::string::npos) << text;
    EXPECT_NE(text.find("locked/\n"), std::string::npos) << text;
    EXPECT_NE(text.find("open/\n  seen.txt 1\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("secret"), std::string::npos) << text;
    EXPECT_EQ(text.find("inner"), std::string::npos) << text;
    // Reported once, at the end of the scan.
    EXPECT_NE(text.find("unreadable 1\n"), std::string::npos) << text;
}

// -- symbolic links -------------------------------------------------------------

TEST(ScanFolder, SymbolicLinksAreFilesAndNeverLeadIntoFolders)
{
    TempDir dir;
    const fs::path root = dir.Path() / "src";
    fs::create_directories(root / "sub");
    const std::string target = (root / "sub" / "big.bin").string();
    WriteBytes(target, std::string(5000, 'b'));
    SetMTime(target, 1500000000);
    fs::create_symlink("sub/big.bin", root / "to-file");
    fs::create_symlink("..", root / "sub" / "loop");  // back to the root
    fs::create_symlink(".", root / "self");
    fs::create_symlink("nowhere", root / "dangling");
    fs::create_symlink("circle", root / "circle");  // resolves to itself
    const std::string longTarget(3000, 'x');        // a link of 3000 bytes
    fs::create_symlink(longTarget, root / "long-dangling");
    SetMTime((root / "dangling").string(), 1400000000, true);

    ScanRun run;
    Scan(run, root.string());
    ASSERT_TRUE(run.Completed);
    EXPECT_EQ(run.Stats.Folders, 1u);
    EXPECT_EQ(run.Stats.Files, 7u);

    // A link to a regular file has the target's size and time.
    const TDetails* toFile = FindFile(run.Tree, run.Volume, "to-file");
    ASSERT_NE(toFile, nullptr);
    EXPECT_EQ(toFile->SizeKB, 5);
    EXPECT_EQ(toFile->Date, DosToDateTime(DateTimeToDos(UnixToLocalDateTime(1500000000))));
    // A link to a folder, a dangling link and a loop are the link itself.
    EXPECT_EQ(SizeOfFile(run.Tree, run.Volume, "self"), 1);
    EXPECT_EQ(SizeOfFile(run.Tree, run.Volume, "circle"), 1);
    EXPECT_EQ(SizeOfFile(run.Tree, run.Volume, "long-dangling"), 3);
    const TDetails* dangling = FindFile(run.Tree, run.Volume, "dangling");
    ASSERT_NE(dangling, nullptr);
    EXPECT_EQ(dangling->Date, DosToDateTime(DateTimeToDos(UnixToLocalDateTime(1400000000))));
    const NodeId sub = run.Tree.Children(run.Volume)[0];
    EXPECT_EQ(run.Tree.Children(sub).size(), 0u);
    EXPECT_EQ(SizeOfFile(run.Tree, sub, "loop"), 1);
}

// -- mount points -----------------------------------------------------------------

/// The folder below which a devpts file system is mounted, from the real
/// mount table, or empty.
std::string DevptsMountPoint()
{
    for (const MountEntry& m : ReadMountTable())
        if (m.FsType == "devpts" && m.MountPoint == "/dev/pts") return m.MountPoint;
    return {};
}

TEST(ScanFolder, PseudoFileSystemsAreRecordedButNotEntered)
{
    if (DevptsMountPoint().empty()) GTEST_SKIP() << "no devpts mounted at /dev/pts";
    if (fs::is_empty("/dev/pts")) GTEST_SKIP() << "/dev/pts is empty";

    const auto ptsNode = [](const ScanRun& run) {
        for (NodeId child : run.Tree.Children(run.Volume))
            if (run.Tree.Text(child) == "pts") return child;
        return kNoNode;
    };
    ScanRun run;
    Scan(run, "/dev");
    const NodeId pts = ptsNode(run);
    ASSERT_NE(pts, kNoNode);
    EXPECT_EQ(run.Tree.Files(pts).size(), 0u);

    // The mount table decides: one without that mount lets the scan in.
    TempDir dir;
    WriteBytes(dir.File("mountinfo"), "");
    FolderScanner::Options options;
    options.MountTable = dir.File("mountinfo");
    ScanRun entered;
    Scan(entered, "/dev", options);
    const NodeId enteredPts = ptsNode(entered);
    ASSERT_NE(enteredPts, kNoNode);
    EXPECT_GT(entered.Tree.Files(enteredPts).size(), 0u);
}

// -- stopping -------------------------------------------------------------------

TEST(ScanFolder, StopsAtTheEntryAfterTheRequestAndEveryLevelReturns)
{
    TempDir dir;
    const fs::path root = dir.Path() / "src";
    fs::create_directories(root / "a" / "b");
    for (int i = 0; i < 5; ++i) {
        WriteBytes((root / ("r" + std::to_string(i))).string(), "");
        WriteBytes((root / "a" / ("f" + std::to_string(i))).string(), "");
        WriteBytes((root / "a" / "b" / ("g" + std::to_string(i))).string(), "");
    }

    for (const std::size_t stopAt : {1u, 4u, 9u, 17u}) {
        std::atomic<bool> stop{false};
        std::size_t calls = 0;
        FolderScanner::Options options;
        options.StopRequested = &stop;
        options.Progress = [&](std::string_view, std::string_view) {
            if (++calls == stopAt) stop = true;
        };
        ScanRun run;
        Scan(run, root.string(), options);
        EXPECT_FALSE(run.Completed) << stopAt;
        // The callback saw stopAt entries and no more; the last of them was
        // not catalogued.
        EXPECT_EQ(calls, stopAt);
        EXPECT_EQ(run.Stats.Entries, stopAt);
        EXPECT_EQ(run.Stats.Files + run.Stats.Folders, stopAt - 1) << stopAt;
    }

    // A flag that stays clear changes nothing.
    std::atomic<bool> never{false};
    FolderScanner::Options options;
    options.StopRequested = &never;
    ScanRun run;
    Scan(run, root.string(), options);
    EXPECT_TRUE(run.Completed);
    EXPECT_EQ(run.Stats.Entries, 17u);
}

// -- sizes and dates --------------------------------------------------------------

TEST(ScanFolder, SizesAreWholeKilobytesRoundedUp)
{
    TempDir dir;
    const fs::path root = dir.Path() / "src";
    fs::create_directories(root);
    WriteBytes((root / "0").string(), "");
    WriteBytes((root / "1").string(), "x");
    WriteBytes((root / "1024").string(), std::string(1024, 'x'));
    WriteBytes((root / "1025").string(), std::string(1025, 'x'));
    // Sparse files beyond what 32 bits hold.
    const std::uint64_t big = (3ull << 30) + 1;
    WriteBytes((root / "3GiB+1").string(), "");
    ASSERT_EQ(::truncate((root / "3GiB+1").string().c_str(), static_cast<off_t>(big)), 0);

    ScanRun run;
    Scan(run, root.string());
    EXPECT_EQ(SizeOfFile(run.Tree, run.Volume, "0"), 0);
    EXPECT_EQ(SizeOfFile(run.Tree, run.Volume, "1"), 1);
    EXPECT_EQ(SizeOfFile(run.Tree, run.Volume, "1024"), 1);
    EXPECT_EQ(SizeOfFile(run.Tree, run.Volume, "1025"), 2);
    EXPECT_EQ(SizeOfFile(run.Tree, run.Volume, "3GiB+1"), 3 * 1024 * 1024 + 1);
    EXPECT_EQ(run.Stats.TotalBytes, 1u + 1024u + 1025u + big);
}

TEST(ScanFolder, DatesAreLocalEvenSecondsClampedToTheCatalogRange)
{
    TempDir dir;
    const fs::path root = dir.Path() / "src";
    fs::create_directories(root / "folder");
    WriteBytes((root / "odd").string(), "");
    WriteBytes((root / "old").string(), "");
    WriteBytes((root / "future").string(), "");
    SetMTime((root / "odd").string(), 1600000001);
    SetMTime((root / "old").string(), 100);            // 1970
    SetMTime((root / "future").string(), 5000000000);  // 2128
    SetMTime((root / "folder").string(), 1300000003);

    ScanRun run;
    Scan(run, root.string());
    const auto local = [](std::time_t t) {
        std::tm tm{};
        localtime_r(&t, &tm);
        DateTimeFields f;
        f.Year = tm.tm_year + 1900;
        f.Month = tm.tm_mon + 1;
        f.Day = tm.tm_mday;
        f.Hour = tm.tm_hour;
        f.Minute = tm.tm_min;
        f.Second = tm.tm_sec / 2 * 2;
        return EncodeDateTime(f);
    };
    EXPECT_EQ(FindFile(run.Tree, run.Volume, "odd")->Date, local(1600000001));
    DateTimeFields first{1980, 1, 1, 0, 0, 0, 0};
    DateTimeFields last{2107, 12, 31, 23, 59, 58, 0};
    EXPECT_EQ(FindFile(run.Tree, run.Volume, "old")->Date, EncodeDateTime(first));
    EXPECT_EQ(FindFile(run.Tree, run.Volume, "future")->Date, EncodeDateTime(last));
    EXPECT_EQ(run.Tree.Info(run.Tree.Children(run.Volume)[0]).Date, local(1300000003));
}

// -- MP3 files --------------------------------------------------------------------

TEST(ScanFolder, Mp3FilesGetTheirTagsOrTheTextOfTheirStoredName)
{
    TempDir dir;
    const fs::path root = dir.Path() / "src";
    fs::create_directories(root / "album.mp3");  // a folder: no media
    const std::string tag = test::Id3v2Builder(3)
                                .Frame("TIT2", test::TextBody(0, "Title"))
                                .Frame("TPE1", test::TextBody(0, "Artist"))
                                .Build() +
                            test::SilentAudio(1);
    WriteBytes((root / "Tagged.MP3").string(), tag);
    WriteBytes((root / "plain.mp3").string(), test::SilentAudio(1));
    WriteBytes((root / "blank.mp3 ").string(), tag);                  // tags read, name trimmed for the test
    WriteBytes((root / "song.mp3 ").string(), test::SilentAudio(1));  // untagged: "song"
    WriteBytes((root / ".mp3").string(), test::SilentAudio(1));
    WriteBytes((root / "song.mp3.txt").string(), tag);
    WriteBytes((root / "notes.mp3x").string(), tag);
    fs::create_symlink("Tagged.MP3", root / "link.mp3");
    fs::create_symlink("missing", root / "broken.mp3");
    ASSERT_EQ(::mkfifo((root / "pipe.mp3").string().c_str(), 0644), 0);

    ScanRun run;
    Scan(run, root.string());
    ASSERT_TRUE(run.Completed);
    const auto media = [&](std::string_view name) -> std::string {
        const TDetails* d = FindFile(run.Tree, run.Volume, name);
        if (d == nullptr) return "<missing>";
        const VolumeStore& store = run.Tree.Store(run.Volume);
        if (!store.HasMedia(*d)) return "<none>";
        return std::string(store.Artist(*d)) + "|" + std::string(store.Title(*d));
    };
    EXPECT_EQ(media("Tagged.MP3"), "Artist| - Title");
    EXPECT_EQ(media("plain.mp3"), "plain|");
    EXPECT_EQ(media("blank.mp3 "), "Artist| - Title");
    EXPECT_EQ(media("song.mp3 "), "song|");
    EXPECT_EQ(media(".mp3"), "|");
    EXPECT_EQ(media("song.mp3.txt"), "<none>");
    EXPECT_EQ(media("notes.mp3x"), "<none>");
    EXPECT_EQ(media("link.mp3"), "Artist| - Title");  // through the link
    EXPECT_EQ(media("broken.mp3"), "broken|");
    EXPECT_EQ(media("pipe.mp3"), "pipe|");  // never opened, so never blocks
    EXPECT_EQ(run.Stats.Mp3Files, 8u);
    EXPECT_EQ(run.Stats.UnreadableMedia, 0u);
    ASSERT_EQ(run.Tree.Children(run.Volume).size(), 1u);
}

std::vector<std::string> g_mediaPaths;

TMediaInfo FailingForBadNames(const std::string& path)
{
    g_mediaPaths.push_back(path);
    if (path.find("bad") != std::string::npos) throw CatalogError("Cannot open file " + path, path);
    return TMediaInfo{"A", " - T"};
}

TEST(ScanFolder, Mp3FilesWhoseTagsCannotBeReadAreCountedAndTheScanGoesOn)
{
    TempDir dir;
    const fs::path root = dir.Path() / "src";
    fs::create_directories(root / "sub");
    for (int i = 0; i < 7; ++i) WriteBytes((root / ("bad" + std::to_string(i) + ".mp3")).string(), "");
    WriteBytes((root / "sub" / "good.mp3").string(), "");

    g_mediaPaths.clear();
    FolderScanner::Options options;
    options.ReadMedia = &FailingForBadNames;
    ScanRun run;
    Scan(run, root.string(), options);
    ASSERT_TRUE(run.Completed);
    EXPECT_EQ(run.Stats.Mp3Files, 8u);
    EXPECT_EQ(run.Stats.UnreadableMedia, 7u);
    ASSERT_EQ(run.Stats.UnreadableMediaMessages.size(), kUnreadableMediaListed);
    EXPECT_EQ(run.Stats.UnreadableMediaMessages[0], "Cannot open file " + g_mediaPaths[0]);
    // The reader gets the full path; failed files keep the untagged text.
    EXPECT_NE(std::find(g_mediaPaths.begin(), g_mediaPaths.end(), (root / "sub" / "good.mp3").string()),
              g_mediaPaths.end());
    const VolumeStore& store = run.Tree.Store(run.Volume);
    const TDetails* bad = FindFile(run.Tree, run.Volume, "bad3.mp3");
    ASSERT_NE(bad, nullptr);
    EXPECT_EQ(store.Artist(*bad), "bad3");
    EXPECT_EQ(store.Title(*bad), "");
    const NodeId sub = run.Tree.Children(run.Volume)[0];
    EXPECT_EQ(store.Artist(*FindFile(run.Tree, sub, "good.mp3")), "A");
}

TEST(ScanFolder, UntaggedMediaTextComesFromTheNameAsStored)
{
    const auto stored = [](std::string_view name) { return UntaggedMediaText(TrimTrailingControls(name)); };
    EXPECT_EQ(stored("song.mp3"), "song");
    EXPECT_EQ(stored("song.mp3 \t"), "song");
    EXPECT_EQ(stored(" lead.MP3"), " lead");
    EXPECT_EQ(stored(".mp3"), "");
    EXPECT_EQ(stored(".mp3   "), "");
    EXPECT_EQ(stored("x"), "");
    // Characters, not bytes.
    EXPECT_EQ(stored("\xC3\xA9t\xC3\xA9.mp3"), "\xC3\xA9t\xC3\xA9");
    EXPECT_EQ(stored("xyz.m\xC3\xA9\xC3\xA9"), "xyz");
}

// -- progress text ----------------------------------------------------------------

TEST(ScanProgressText, FolderTextsAreShortenedBeyond34Characters)
{
    const std::string of34 = "/home/user/music/collection/abcdef";
    ASSERT_EQ(of34.size(), 34u);
    EXPECT_EQ(ShortenFolderText(of34), of34);
    EXPECT_EQ(ShortenFolderText(of34 + "g"), "/ho .../abcdefg");
    EXPECT_EQ(ShortenFolderText("/usr/share/doc/packages/zlib-devel/examples"), "/us .../examples");
    EXPECT_EQ(ShortenFolderText(""), "");
    EXPECT_EQ(ShortenFolderText("/"), "/");
    // Without a "/", the whole text follows the dots.
    const std::string noSlash(40, 'n');
    EXPECT_EQ(ShortenFolderText(noSlash), "nnn ..." + noSlash);
    // Characters, not bytes: 34 two-byte letters are still shown whole.
    std::string wide;
    for (int i = 0; i < 34; ++i) wide += "\xC3\xA9";
    EXPECT_EQ(ShortenFolderText(wide), wide);
    EXPECT_EQ(ShortenFolderText("/" + wide), "/\xC3\xA9\xC3\xA9 .../" + wide);
}

}  // namespace
}  // namespace ardvel
