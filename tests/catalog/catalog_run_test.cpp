// Cataloguing a volume: the name checks and their order, the question for a
// source catalogued before, saving, sorting, stopping, the report of MP3
// files that could not be read and the CD-ROM door.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <deque>
#include <filesystem>
#include <string>
#include <vector>

#include "catalog/CatalogRun.h"
#include "catalog/NameChecks.h"
#include "store/CatalogError.h"
#include "store/CatalogFile.h"
#include "store/LoadCatalogs.h"
#include "store/VolumeName.h"
#include "support/Id3Builder.h"
#include "support/TempDir.h"

namespace ardvel {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

/// Records every message and question, and what happened around them, in
/// one log; questions are answered from a queue (No when it is empty).
class RecordingPrompt final : public UserPrompt {
public:
    void ShowError(const std::string& text) override { Log.push_back("error: " + text); }
    bool Confirm(const std::string& text) override
    {
        Log.push_back("confirm: " + text);
        if (Answers.empty()) return false;
        const bool answer = Answers.front();
        Answers.pop_front();
        return answer;
    }
    std::vector<std::string> Log;
    std::deque<bool> Answers;
};

/// A folder to catalogue and a catalog folder, side by side.
struct Fixture {
    TempDir Dir;
    std::string Catalogs = Dir.Folder() + "catalogs/";
    CatalogTree Tree;
    RecordingPrompt Prompt;
    CatalogEvents Events;

    Fixture()
    {
        fs::create_directories(Catalogs);
        Events.Status = [this](std::string_view s) { Prompt.Log.push_back("status:" + std::string(s)); };
    }

    /// A folder `name` beside the catalogs holding a file or two.
    std::string Source(const std::string& name)
    {
        const fs::path p = Dir.Path() / name;
        fs::create_directories(p / "sub");
        WriteBytes((p / "a.txt").string(), "a");
        WriteBytes((p / "sub" / "b.txt").string(), "b");
        return p.string();
    }

    CatalogResult Run(const std::string& folder, const std::string& name, CatalogRunOptions options = {})
    {
        CatalogRun run(Tree, Catalogs, Prompt, Locale::User(), std::move(options));
        return run.Run(SelectSource(folder, CdRomConfig{Dir.File("no-mounts"), {}}), name, Events);
    }

    std::vector<std::string> CatalogEntries() const
    {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(Catalogs)) names.push_back(e.path().filename());
        std::sort(names.begin(), names.end());
        return names;
    }
};

std::string HeaderLabel(const std::string& path)
{
    CatalogReader reader(path);
    std::string label;
    reader.ReadHeader(&label);
    return label;
}

void WriteCatalog(const std::string& path, std::string_view label)
{
    CatalogWriter writer(path);
    writer.WriteHeader(label, 40000.0);
    writer.Commit();
}

// -- the checks ----------------------------------------------------------------

TEST(CatalogNameChecks, VolumeNameIsFreeIgnoresLetterCaseInEveryScript)
{
    CatalogTree tree;
    tree.AddVolume("Música", 0);
    tree.AddVolume("Αθήνα", 0);
    RecordingPrompt prompt;
    EXPECT_FALSE(VolumeNameIsFree(tree, "MÚSICA", prompt));
    EXPECT_FALSE(VolumeNameIsFree(tree, "αθήνα", prompt));
    EXPECT_TRUE(VolumeNameIsFree(tree, "Musica", prompt));
    EXPECT_TRUE(VolumeNameIsFree(tree, "Música 2", prompt));
    EXPECT_EQ(prompt.Log, (std::vector<std::string>{"error: " + std::string(kVolumeNameTaken),
                                                    "error: " + std::string(kVolumeNameTaken)}));
    EXPECT_EQ(std::string(kVolumeNameTaken), "There is a volume with the same name.\r\n    Please choose another one!");
}

TEST(CatalogNameChecks, IsAlreadyCataloguedComparesStoredLabelsOfExactArvFiles)
{
    TempDir dir;
    const std::string folder = dir.Folder();
    EXPECT_FALSE(IsAlreadyCatalogued(folder, ""));  // no catalogs at all
    EXPECT_FALSE(IsAlreadyCatalogued(dir.Folder() + "missing/", "x"));

    WriteCatalog(folder + "One.arv", "Disc  ");
    WriteCatalog(folder + "Two.ARV", "Upper");
    WriteCatalog(folder + "Three.arv.bak", "Backup");
    WriteCatalog(folder + "Four.arv", "");
    // The label comes back without its trailing blanks: only the trimmed
    // label matches, exactly and with its letter case.
    EXPECT_TRUE(IsAlreadyCatalogued(folder, "Disc"));
    EXPECT_FALSE(IsAlreadyCatalogued(folder, "Disc  "));
    EXPECT_FALSE(IsAlreadyCatalogued(folder, "disc"));
    EXPECT_FALSE(IsAlreadyCatalogued(folder, "Upper"));
    EXPECT_FALSE(IsAlreadyCatalogued(folder, "Backup"));
    EXPECT_TRUE(IsAlreadyCatalogued(folder, ""));

    // Catalogs that cannot be read (empty, damaged, a folder) are passed
    // over, as loading passes over them; the readable ones still count.
    WriteBytes(folder + "Empty.arv", "");
    WriteBytes(folder + "Broken.arv", "no end mark here");
    fs::create_directory(folder + "Folder.arv");
    EXPECT_FALSE(IsAlreadyCatalogued(folder, "Other"));
    EXPECT_TRUE(IsAlreadyCatalogued(folder, "Disc"));
}

TEST(CatalogNameChecks, CatalogFileNameInUseByAVolumeOrAFileIsRefused)
{
    TempDir dir;
    CatalogTree tree;
    RecordingPrompt prompt;
    const NodeId loaded = tree.AddVolume("CDE", 0);
    tree.SetCatalogFileName(loaded, "CD~581.arv");
    WriteBytes(dir.File("Left over.arv"), "");
    fs::create_directories(dir.Path() / "Folder.arv");

    EXPECT_FALSE(CatalogFileNameIsFree(tree, dir.Folder(), "CD~581", prompt));
    EXPECT_FALSE(CatalogFileNameIsFree(tree, dir.Folder(), "Left over", prompt));
    EXPECT_FALSE(CatalogFileNameIsFree(tree, dir.Folder(), "Folder", prompt));
    EXPECT_TRUE(CatalogFileNameIsFree(tree, dir.Folder(), "CDE", prompt));
    EXPECT_TRUE(CatalogFileNameIsFree(tree, dir.Folder(), "", prompt));
    EXPECT_EQ(prompt.Log.size(), 3u);
    for (const std::string& line : prompt.Log) EXPECT_EQ(line, "error: " + std::string(kVolumeNameTaken));
}

TEST(CatalogRunChecks, RefusalsAndTheQuestionComeInOrderAndEndTheRun)
{
    Fixture f;
    const std::string music = f.Source("Music");
    ASSERT_EQ(f.Run(music, "Music").Outcome, CatalogOutcome::Catalogued);
    // A loaded volume whose file name decodes to another name.
    WriteCatalog(f.Catalogs + "CD~581.arv", "Label");
    const std::string cdBytes = ReadBytes(f.Catalogs + "CD~581.arv");
    const NodeId cde = f.Tree.AddVolume("CDE", 0);
    f.Tree.SetCatalogFileName(cde, "CD~581.arv");
    WriteCatalog(f.Catalogs + "Stray.arv", "Stray");  // a file without a volume
    const auto entriesBefore = f.CatalogEntries();
    f.Prompt.Log.clear();

    const std::string taken = "error: " + std::string(kVolumeNameTaken);
    const std::string question = "confirm: " + std::string(kAlreadyCataloguedQuestion);
    struct Case {
        std::string Name;
        std::vector<std::string> Log;
        CatalogOutcome Outcome;
    };
    const Case cases[] = {
        // Each refusal is the first that applies; the source "Music" was
        // catalogued before, but no question comes after a refusal.
        {"Music~1", {"error: " + std::string(kTildeDigitRefusal)}, CatalogOutcome::Refused},
        {"MUSIC", {taken}, CatalogOutcome::Refused},
        {"CD:1", {taken}, CatalogOutcome::Refused},   // stored as CD~581.arv
        {"Stray", {taken}, CatalogOutcome::Refused},  // the name of a file left there
        {"Music 2", {question}, CatalogOutcome::Declined},
    };
    for (const Case& c : cases) {
        f.Prompt.Log.clear();
        const std::size_t volumes = f.Tree.VolumeCount();
        EXPECT_EQ(f.Run(music, c.Name).Outcome, c.Outcome) << c.Name;
        EXPECT_EQ(f.Prompt.Log, c.Log) << c.Name;
        EXPECT_EQ(f.Tree.VolumeCount(), volumes) << c.Name;
    }
    EXPECT_EQ(f.CatalogEntries(), entriesBefore);
    EXPECT_EQ(ReadBytes(f.Catalogs + "CD~581.arv"), cdBytes);

    // Yes makes a second volume of the same source, with the same label.
    f.Prompt.Log.clear();
    f.Prompt.Answers = {true};
    const CatalogResult again = f.Run(music, "Music 2");
    EXPECT_EQ(again.Outcome, CatalogOutcome::Catalogued);
    EXPECT_EQ(f.Prompt.Log.front(), question);
    EXPECT_EQ(HeaderLabel(f.Catalogs + "Music 2.arv"), "Music");
    EXPECT_EQ(std::string(kAlreadyCataloguedQuestion),
              "This folder has already been cataloged.\n\r   Do you want to make a new volume?");
}

TEST(CatalogRunChecks, NamesWithTildesAreAcceptedBlankAndOverLongNamesAreImproper)
{
    Fixture f;
    const std::string src = f.Source("src");
    for (const std::string name : {"Disc~", "Disc~A", "Disc 1", " lead"}) {
        f.Prompt.Answers = {true};
        EXPECT_EQ(f.Run(src, name).Outcome, CatalogOutcome::Catalogued) << name;
    }
    // The longest file name the file system takes: 251 bytes and ".arv",
    // "/" counting as the three of "~47".
    const std::string longest = std::string(248, 'x') + "/";
    f.Prompt.Answers = {true};
    EXPECT_EQ(f.Run(src, longest).Outcome, CatalogOutcome::Catalogued);
    const std::vector<std::string> saved = f.CatalogEntries();
    EXPECT_EQ(saved, (std::vector<std::string>{" lead.arv", "Disc 1.arv", "Disc~.arv", "Disc~A.arv",
                                               std::string(248, 'x') + "~47.arv"}));

    // Refused before anything is scanned.
    bool scanned = false;
    f.Events.ScanStarting = [&](NodeId) { scanned = true; };
    for (const std::string& name : {std::string(), std::string("   "), std::string(" \t\n"), std::string("a\0b", 3),
                                    std::string(249, 'x') + "/", std::string(252, 'y')}) {
        f.Prompt.Log.clear();
        f.Prompt.Answers = {true};
        EXPECT_EQ(f.Run(src, name).Outcome, CatalogOutcome::Refused) << name.size();
        EXPECT_EQ(f.Prompt.Log, (std::vector<std::string>{"error: Improper name! Please choose another one!"}));
    }
    EXPECT_FALSE(scanned);
    EXPECT_EQ(f.CatalogEntries(), saved);
    EXPECT_EQ(f.Tree.VolumeCount(), 5u);
}

TEST(CatalogRunChecks, UnreadableCatalogFilesDoNotBlockCataloguing)
{
    Fixture f;
    const std::string src = f.Source("src");
    WriteBytes(f.Catalogs + "junk.arv", "");
    WriteBytes(f.Catalogs + "Broken.arv", "xx");
    EXPECT_EQ(f.Run(src, "New").Outcome, CatalogOutcome::Catalogued);
    EXPECT_EQ(f.Prompt.Log.front(), "status:" + std::string(kStatusScanning));
    EXPECT_EQ(HeaderLabel(f.Catalogs + "New.arv"), "src");
}

TEST(CatalogRun, SavesInScanOrderUnderTheSourceLabelThenSortsTheTree)
{
    Fixture f;
    const fs::path src = f.Dir.Path() / "Holiday";
    for (const char* folder : {"zeta", "Alpha", "mid", "beta", "Omega", "delta"}) {
        fs::create_directories(src / folder);
        WriteBytes((src / folder / "in.txt").string(), folder);
    }
    for (const char* file : {"z.txt", "B.txt", "a.txt"}) WriteBytes((src / file).string(), file);

    NodeId started = kNoNode, ended = kNoNode;
    f.Events.ScanStarting = [&](NodeId v) {
        started = v;
        f.Prompt.Log.push_back("scan starting");
    };
    f.Events.ScanEnded = [&](NodeId v) { ended = v; };
    const CatalogResult result = f.Run(src.string(), "Typed Name");
    ASSERT_EQ(result.Outcome, CatalogOutcome::Catalogued);
    EXPECT_EQ(f.Prompt.Log, (std::vector<std::string>{"scan starting", "status: Scaning...", "status: Saving...",
                                                      "status: Sorting...", "status: Ending..."}));
    EXPECT_EQ(started, result.Volume);
    EXPECT_EQ(ended, result.Volume);
    EXPECT_EQ(result.CatalogPath, f.Catalogs + "Typed Name.arv");
    EXPECT_EQ(f.Tree.CatalogFileName(result.Volume), "Typed Name.arv");
    EXPECT_EQ(f.Tree.Text(result.Volume), "Typed Name");
    EXPECT_EQ(result.Stats.Folders, 6u);
    EXPECT_EQ(result.Stats.Files, 9u);

    // The file: the proposal as label, the volume's date, records in the
    // order of the listing.
    CatalogReader reader(result.CatalogPath);
    std::string label;
    const TFolderInfo header = reader.ReadHeader(&label);
    EXPECT_EQ(label, "Holiday");
    EXPECT_EQ(header.Date, DosToDateTime(DateTimeToDos(f.Tree.Info(result.Volume).Date)));
    std::vector<std::string> rootFiles, folders;
    CatalogReader::Record r;
    while (reader.ReadRecord(r)) {
        if (r.IsFolder)
            folders.emplace_back(r.Name);
        else if (folders.empty())
            rootFiles.emplace_back(r.Name);
    }
    std::vector<std::string> listedFiles, listedFolders;
    for (const auto& e : fs::directory_iterator(src))
        (e.is_directory() ? listedFolders : listedFiles).push_back(e.path().filename());
    EXPECT_EQ(rootFiles, listedFiles);
    EXPECT_EQ(folders, listedFolders);

    // The tree is sorted by the locale's collation afterwards.
    std::vector<std::string> treeFolders;
    for (NodeId child : f.Tree.Children(result.Volume)) treeFolders.emplace_back(f.Tree.Text(child));
    std::vector<std::string> sorted = listedFolders;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const std::string& a, const std::string& b) { return Locale::User().Less(a, b); });
    EXPECT_EQ(treeFolders, sorted);

    // Loading the catalog folder gives the same volume back.
    CatalogTree loaded;
    LoadCatalogs(loaded, f.Catalogs, Locale::User());
    ASSERT_EQ(loaded.VolumeCount(), 1u);
    const NodeId back = loaded.Children(CatalogTree::kRoot)[0];
    EXPECT_EQ(loaded.Text(back), "Typed Name");
    std::vector<std::string> loadedFolders;
    for (NodeId child : loaded.Children(back)) loadedFolders.emplace_back(loaded.Text(child));
    EXPECT_EQ(loadedFolders, treeFolders);
    EXPECT_EQ(loaded.Files(back).size(), 3u);
}

TEST(CatalogRun, StopRemovesThePartialVolumeAndSavesNothing)
{
    Fixture f;
    const std::string src = f.Source("src");
    for (int i = 0; i < 20; ++i) WriteBytes(src + "/f" + std::to_string(i), "");
    f.Tree.AddVolume("Existing", 0);

    CatalogRun run(f.Tree, f.Catalogs, f.Prompt);
    int entries = 0;
    NodeId ended = 1234;
    CatalogEvents events;
    events.Progress = [&](std::string_view, std::string_view) {
        if (++entries == 5) run.RequestStop();
    };
    events.ScanEnded = [&](NodeId v) { ended = v; };
    const CatalogResult result = run.Run(SelectSource(src), "New", events);
    EXPECT_EQ(result.Outcome, CatalogOutcome::Stopped);
    EXPECT_EQ(entries, 5);
    EXPECT_EQ(ended, kNoNode);
    ASSERT_EQ(f.Tree.VolumeCount(), 1u);
    EXPECT_EQ(f.Tree.Text(f.Tree.Children(CatalogTree::kRoot)[0]), "Existing");
    EXPECT_EQ(f.Tree.NodeCount(), 2u);  // root and Existing
    EXPECT_TRUE(f.CatalogEntries().empty());

    // The next run starts with the request cleared.
    events.Progress = {};
    EXPECT_EQ(run.Run(SelectSource(src), "New", events).Outcome, CatalogOutcome::Catalogued);
    EXPECT_EQ(f.CatalogEntries(), std::vector<std::string>{"New.arv"});
}

TEST(CatalogRun, ARunStartedWhileOneIsGoingOnDoesNothing)
{
    Fixture f;
    const std::string src = f.Source("src");
    CatalogRun run(f.Tree, f.Catalogs, f.Prompt);
    std::vector<CatalogOutcome> nested;
    CatalogEvents events;
    events.Progress = [&](std::string_view, std::string_view) {
        nested.push_back(run.Run(SelectSource(src), "Other", {}).Outcome);
    };
    EXPECT_EQ(run.Run(SelectSource(src), "First", events).Outcome, CatalogOutcome::Catalogued);
    ASSERT_FALSE(nested.empty());
    for (CatalogOutcome o : nested) EXPECT_EQ(o, CatalogOutcome::Busy);
    EXPECT_EQ(f.Tree.VolumeCount(), 1u);
    EXPECT_FALSE(run.Running());
}

TMediaInfo CannotOpenBad(const std::string& path)
{
    if (path.find("bad") != std::string::npos) throw CatalogError("Cannot open file " + path, path);
    return TMediaInfo{"Artist", " - Title"};
}

TEST(CatalogRun, Mp3FilesThatCannotBeReadAreReportedOnceAfterSaving)
{
    Fixture f;
    const std::string src = f.Source("src");
    for (int i = 0; i < 7; ++i) WriteBytes(src + "/bad" + std::to_string(i) + ".mp3", "");
    WriteBytes(src + "/good.mp3", "");
    CatalogRunOptions options;
    options.ReadMedia = &CannotOpenBad;
    const CatalogResult result = f.Run(src, "Songs", options);
    ASSERT_EQ(result.Outcome, CatalogOutcome::Catalogued);

    std::vector<std::string> errors;
    for (const std::string& line : f.Prompt.Log)
        if (line.starts_with("error: ")) errors.push_back(line.substr(7));
    ASSERT_EQ(errors.size(), 1u);
    const auto saving = std::find(f.Prompt.Log.begin(), f.Prompt.Log.end(), "status: Saving...");
    const auto report = std::find(f.Prompt.Log.begin(), f.Prompt.Log.end(), "error: " + errors[0]);
    EXPECT_LT(saving, report);
    EXPECT_EQ(errors[0], UnreadableMediaReport(result.Stats));
    EXPECT_TRUE(errors[0].starts_with("The tags of 7 MP3 files could not be read")) << errors[0];
    std::size_t lines = 0;
    for (std::size_t p = errors[0].find("\nCannot open file " + src + "/bad"); p != std::string::npos;
         p = errors[0].find("\nCannot open file " + src + "/bad", p + 1))
        ++lines;
    EXPECT_EQ(lines, kUnreadableMediaListed);
    EXPECT_TRUE(errors[0].ends_with("\n... and 2 more")) << errors[0];

    // The catalog was saved with the untagged texts.
    CatalogReader reader(result.CatalogPath);
    reader.ReadHeader();
    CatalogReader::Record r;
    int bad = 0;
    while (reader.ReadRecord(r)) {
        if (!r.IsFolder && std::string_view(r.Name).starts_with("bad")) {
            ++bad;
            EXPECT_EQ(r.ArtistText, std::string_view(r.Name).substr(0, 4));
            EXPECT_EQ(r.TitleText, "");
        }
    }
    EXPECT_EQ(bad, 7);
    EXPECT_EQ(UnreadableMediaReport(ScanStats{}), "");
}

TEST(CatalogRun, SaveFailureRemovesTheUnsavedVolume)
{
    Fixture f;
    const std::string src = f.Source("src");
    f.Catalogs = f.Dir.Folder() + "not-there/";
    // A catalog folder where no file can be made is found before the scan.
    std::vector<std::string> events;
    f.Events.ScanStarting = [&](NodeId) { events.push_back("scan"); };
    try {
        f.Run(src, "Lost");
        ADD_FAILURE() << "no error";
    } catch (const CatalogError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot create file " + f.Catalogs + "Lost.arv: No such file or directory");
    }
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(f.Tree.VolumeCount(), 0u);

    // A folder that goes away during the scan: a handler removes the
    // volume in the run's stead, once the scan has ended.
    fs::create_directories(f.Catalogs);
    f.Events.ScanStarting = {};
    f.Events.ScanEnded = [&](NodeId v) {
        events.push_back("ended " + std::string(f.Tree.Text(v)));
        fs::remove_all(f.Catalogs);
    };
    f.Events.RemoveVolume = [&](NodeId v) {
        events.push_back("remove " + std::string(f.Tree.Text(v)));
        f.Tree.RemoveNode(v);
    };
    EXPECT_THROW(f.Run(src, "Lost"), CatalogError);
    EXPECT_EQ(events, (std::vector<std::string>{"ended Lost", "remove Lost"}));
    EXPECT_EQ(f.Tree.VolumeCount(), 0u);

    // The name is free again at once.
    fs::create_directories(f.Catalogs);
    f.Events.ScanEnded = {};
    EXPECT_EQ(f.Run(src, "lost").Outcome, CatalogOutcome::Catalogued);
}

// -- CD-ROM ------------------------------------------------------------------------

TEST(CatalogRun, CdRomRootProposesItsLabelAndOpensTheDoorOnceAfterSaving)
{
    if (!test::HaveProgram("xorriso")) GTEST_SKIP() << "xorriso is not installed";
    Fixture f;
    const std::string content = f.Source("disc-content");
    const std::string image = f.Dir.File("disc.iso");
    const auto made = test::RunCommand("xorriso -as mkisofs -quiet -V 'HOLIDAY 2009' -o " + test::ShellQuote(image) +
                                       " " + test::ShellQuote(content) + " 2>&1");
    ASSERT_EQ(made.Status, 0) << made.Out;

    // The content folder stands for the disc's mount point.
    const std::string mounts = f.Dir.File("mountinfo");
    WriteBytes(mounts, "30 1 11:0 / " + fs::canonical(content).string() + " ro - iso9660 " + image + " ro\n");
    const std::string log = f.Dir.File("eject.log");
    CdRomConfig cd{mounts,
                   {"sh", "-c",
                    "if [ -f " + test::ShellQuote(f.Catalogs + "HOLIDAY 2009.arv") +
                        " ]; then s=saved; else s=unsaved; fi; echo \"$0 $s\" >> " + test::ShellQuote(log)}};

    const CatalogSource source = SelectSource(content, cd);
    EXPECT_EQ(source.SourceLabel, "HOLIDAY 2009");
    EXPECT_TRUE(source.EjectWhenDone);
    EXPECT_EQ(source.Device, image);

    CatalogRunOptions options;
    options.CdRom = cd;
    CatalogRun run(f.Tree, f.Catalogs, f.Prompt, Locale::User(), options);
    const CatalogResult result = run.Run(source, source.SourceLabel, f.Events);
    ASSERT_EQ(result.Outcome, CatalogOutcome::Catalogued);
    EXPECT_EQ(f.Prompt.Log, (std::vector<std::string>{"status: Scaning...", "status: Saving...", "status: Sorting...",
                                                      "status: Opening CD-ROM...", "status: Ending..."}));
    EXPECT_EQ(ReadBytes(log), image + " saved\n");

    // A folder on the disc is no CD-ROM root: its own name, no door.
    const CatalogSource inner = SelectSource(content + "/sub", cd);
    EXPECT_EQ(inner.SourceLabel, "sub");
    EXPECT_FALSE(inner.EjectWhenDone);
    EXPECT_EQ(run.Run(inner, "Inner", {}).Outcome, CatalogOutcome::Catalogued);
    EXPECT_EQ(ReadBytes(log), image + " saved\n");

    // The same disc again, under a name of the user's: asked about, and
    // its header keeps the disc's label.
    f.Prompt.Log.clear();
    f.Prompt.Answers = {true};
    const CatalogResult renamed = run.Run(source, "My holiday", {});
    EXPECT_EQ(renamed.Outcome, CatalogOutcome::Catalogued);
    EXPECT_EQ(f.Prompt.Log, std::vector<std::string>{"confirm: " + std::string(kAlreadyCataloguedQuestion)});
    EXPECT_EQ(HeaderLabel(renamed.CatalogPath), "HOLIDAY 2009");
}

}  // namespace
}  // namespace ardvel
