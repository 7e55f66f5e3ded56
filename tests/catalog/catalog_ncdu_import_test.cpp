#include <gtest/gtest.h>

#include <filesystem>

#include "catalog/ImportRun.h"
#include "store/CatalogError.h"
#include "store/EntryRows.h"
#include "store/LoadCatalogs.h"
#include "store/NcduExport.h"
#include "store/VolumeExport.h"
#include "support/DateAt.h"
#include "support/TempDir.h"
#include "support/ZoneGuard.h"

namespace ardvel {
namespace {

using test::TempDir;

using test::At;

/// The tree below `volume` as CSV entry rows without the volume's own row.
std::string Rows(const CatalogTree& tree, NodeId volume)
{
    StringSink sink;
    RowWriter rows = EntryRowWriter(sink, RowFormat::Csv);
    WriteVolumeEntries(tree, volume, rows);
    rows.Finish();
    const std::size_t header = sink.Text.find('\n');
    return sink.Text.substr(sink.Text.find('\n', header + 1) + 1);
}

class RecordingPrompt : public UserPrompt {
public:
    void ShowError(const std::string& text) override { Errors += text + "\n"; }
    bool Confirm(const std::string&) override { return Answer; }
    std::string Errors;
    bool Answer = false;
};

constexpr const char* kExtended = R"([1,2,{"progname":"ncdu","progver":"1.18","timestamp":1},
[{"name":"/srv/music","asize":4096,"dev":64,"mtime":1000000000},
{"name":"a.txt","asize":1025,"dsize":4096,"uid":0,"gid":0,"mode":33188,"mtime":1111111110,"future":{"x":[1,{}]}},
[{"name":"Rock","mtime":1222222222},
 [{"name":"Live","mtime":1222222222}],
 {"name":"Song.MP3","asize":0,"mtime":1111111110}],
{"name":"link","asize":5,"notreg":true,"mtime":1111111110},
{"name":"proc","excluded":"kernfs","mtime":1111111110},
{"name":"cache","excluded":"pattern"},
{"name":"hl","asize":3000,"ino":7,"hlnkc":true,"nlink":2,"mtime":1111111110},
{"name":"hl2","asize":3000,"ino":7,"hlnkc":true,"nlink":2,"mtime":1111111110}],
{"after":"the root"}]
)";

TEST(NcduImportRead, MapsEntriesAsAScanWouldRecordThem)
{
    const test::ZoneGuard zone("UTC0");
    CatalogTree tree;
    const NodeId v = tree.AddVolume("music", At(2020, 1, 1));
    const NcduImportStats s = ReadNcduExport(kExtended, tree, v, At(2020, 1, 1));
    EXPECT_EQ(s.RootName, "/srv/music");
    EXPECT_EQ(s.Files, 5u);
    EXPECT_EQ(s.Folders, 3u);  // Rock, Live and the kernfs mount point
    EXPECT_EQ(s.Mp3Files, 1u);
    EXPECT_EQ(s.HardLinks, 2u);
    EXPECT_EQ(s.Excluded, 1u);
    EXPECT_EQ(s.TotalBytes, 1025u + 5 + 6000);
    // mtime 1111111110 is 2005-03-18 01:58:30 UTC, 1222222222 2008-09-24 02:10:22.
    EXPECT_EQ(Rows(tree, v),
              "file,music,music/a.txt,a.txt,2048,2,2005-03-18T01:58:30+00:00,,\r\n"
              "file,music,music/link,link,1024,1,2005-03-18T01:58:30+00:00,,\r\n"
              "file,music,music/hl,hl,3072,3,2005-03-18T01:58:30+00:00,,\r\n"
              "file,music,music/hl2,hl2,3072,3,2005-03-18T01:58:30+00:00,,\r\n"
              "folder,music,music/Rock,Rock,,,2008-09-24T02:10:22+00:00,,\r\n"
              "file,music,music/Rock/Song.MP3,Song.MP3,0,0,2005-03-18T01:58:30+00:00,Song,\r\n"
              "folder,music,music/Rock/Live,Live,,,2008-09-24T02:10:22+00:00,,\r\n"
              "folder,music,music/proc,proc,,,2005-03-18T01:58:30+00:00,,\r\n");
}

TEST(NcduImportRead, WithoutExtendedInfoEverythingHasTheImportDate)
{
    CatalogTree tree;
    const NodeId v = tree.AddVolume("v", 0);
    const TDateTime imported = At(2021, 6, 7, 8, 9, 10);
    const NcduImportStats s =
        ReadNcduExport(R"([1,0,{},[{"name":"/"},[{"name":"d"},{"name":"f","dsize":8192}]]])", tree, v, imported);
    EXPECT_EQ(s.Dated, 0u);
    EXPECT_EQ(s.RootName, "/");
    const NodeId d = tree.Children(v)[0];
    EXPECT_EQ(tree.Info(d).Date, imported);
    ASSERT_EQ(tree.Files(d).size(), 1u);
    EXPECT_EQ(tree.Files(d)[0].Date, imported);
    EXPECT_EQ(tree.Files(d)[0].SizeKB, 0);  // no asize: disk usage is no file size
}

TEST(NcduImportRead, FaultsOfTheFormatNameTheirPlace)
{
    const std::pair<const char*, const char*> cases[] = {
        {"[2,0,{},[{\"name\":\"/\"}]]", "line 1, column 2: unsupported ncdu export version 2"},
        {"{}", "line 1, column 1: expected '[' at the start of an ncdu export"},
        {"[1,0,{},{\"name\":\"/\"}]", "line 1, column 9: expected the top folder's array"},
        {"[1,0,{},[{\"name\":\"/\"},\n {\"asize\":1}]]", "line 2, column 2: an entry without \"name\""},
        {"[1,0,{},[{\"name\":\"/\"},\n {\"name\":\"a/b\"}]]", "line 2, column 2: a name holding \"/\": \"a/b\""},
        {"[1,0,{},[{\"name\":\"/\"},{\"name\":\"a\",\"asize\":\"1\"}]]",
         "line 1, column 43: \"asize\" must be a whole number of at least 0"},
        {"[1,0,{},[{\"name\":\"/\"},[{\"name\":\"d\"},3]]]",
         "line 1, column 37: expected a folder's array or an entry's info object"},
        {"[1,0,{},[{\"name\":\"/\"},[{\"name\":\"d\"}]",
         "line 1, column 37: unexpected end of file; expected ',' or ']'"},
    };
    for (const auto& [document, message] : cases) {
        CatalogTree tree;
        const NodeId v = tree.AddVolume("v", 0);
        try {
            ReadNcduExport(document, tree, v, 0);
            ADD_FAILURE() << "no error for " << document;
        } catch (const JsonError& e) {
            EXPECT_EQ(e.Describe(), message) << document;
        }
    }
}

class NcduImportFile : public ::testing::Test {
protected:
    ImportResult Import(const std::string& document, const std::string& name)
    {
        test::WriteBytes(dir.File("in.json"), document);
        return ImportNcduFile(tree, catalogs, prompt, dir.File("in.json"), name);
    }
    TempDir dir;
    std::string catalogs = dir.Folder();
    CatalogTree tree;
    RecordingPrompt prompt;
};

TEST_F(NcduImportFile, SavesANewVolumeThatLoadsBackTheSame)
{
    const ImportResult r = Import(kExtended, "");
    ASSERT_EQ(r.Outcome, ImportOutcome::Imported) << prompt.Errors;
    EXPECT_EQ(r.VolumeName, "music");  // the last component of the top folder
    EXPECT_EQ(r.CatalogPath, catalogs + "music.arv");
    CatalogTree loaded;
    EXPECT_TRUE(LoadCatalogs(loaded, catalogs, Locale::User()).Failures.empty());
    ASSERT_EQ(loaded.VolumeCount(), 1u);
    EXPECT_EQ(Rows(loaded, loaded.Children(CatalogTree::kRoot)[0]), Rows(tree, r.Volume));

    // The name checks of cataloguing: the name is taken now, and the label
    // was catalogued already (No keeps it out).
    EXPECT_EQ(Import(kExtended, "MUSIC").Outcome, ImportOutcome::Refused);
    EXPECT_NE(prompt.Errors.find("There is a volume with the same name."), std::string::npos);
    EXPECT_EQ(Import(kExtended, "  ").Outcome, ImportOutcome::Refused);
    EXPECT_NE(prompt.Errors.find("Improper name!"), std::string::npos);
    EXPECT_EQ(Import(kExtended, "other").Outcome, ImportOutcome::Declined);
    prompt.Answer = true;
    EXPECT_EQ(Import(kExtended, "other").Outcome, ImportOutcome::Imported);
}

TEST_F(NcduImportFile, BadInputSavesNothingAndKeepsNoVolume)
{
    std::string cut = kExtended;
    cut.resize(cut.find("{\"name\":\"hl\""));
    try {
        Import(cut, "cut");
        ADD_FAILURE() << "no error";
    } catch (const CatalogError& e) {
        EXPECT_EQ(e.Path(), dir.File("in.json"));
        EXPECT_EQ(std::string(e.what()), "line 10, column 1: unexpected end of file; expected a value");
    }
    EXPECT_EQ(tree.VolumeCount(), 0u);
    EXPECT_FALSE(std::filesystem::exists(catalogs + "cut.arv"));
    EXPECT_THROW(ImportNcduFile(tree, catalogs, prompt, dir.File("missing.json"), "x"), CatalogError);
}

TEST(NcduRoundTrip, ExportedVolumeImportsAsTheSameTree)
{
    CatalogTree tree;
    const NodeId v = tree.AddVolume("Vol \"1\"", At(2019, 1, 1));
    const NodeId a = tree.AddFolder(v, "A, b", At(2018, 5, 6, 7, 8, 10));
    tree.AddFolder(a, "empty", At(2018, 5, 6, 7, 8, 12));
    tree.AddFile(v, "top\n\x01.txt", 7, At(2017, 1, 2, 3, 4, 6));
    const TMediaInfo media{"x", {}};
    tree.AddFile(a, "x.mp3", 2147483647, At(2017, 1, 2, 3, 4, 8), &media);

    StringSink sink;
    WriteNcduExport(tree, v, sink, 0);
    CatalogTree back;
    const NodeId w = back.AddVolume("Vol \"1\"", At(2019, 1, 1));
    const NcduImportStats s = ReadNcduExport(sink.Text, back, w, 0);
    EXPECT_EQ(s.RootName, "Vol \"1\"");
    EXPECT_EQ(s.Dated, 4u);  // the top folder's own date is the volume's
    EXPECT_EQ(Rows(back, w), Rows(tree, v));
}

TEST(VolumeExportFile, EachFormatAsAWholeFile)
{
    TempDir dir;
    CatalogTree tree;
    const NodeId v = tree.AddVolume("V", At(2019, 1, 1));
    tree.AddFile(tree.AddFolder(v, "d", At(2018, 1, 1)), "f,1", 3, At(2018, 1, 2));
    ExportVolumeFile(tree, v, VolumeExportFormat::Csv, dir.File("v.csv"));
    EXPECT_EQ(test::ReadBytes(dir.File("v.csv")).substr(0, 54),
              "type,volume,path,name,size,size_kb,date,artist,title\r\n");
    ExportVolumeFile(tree, v, VolumeExportFormat::Json, dir.File("v.json"));
    EXPECT_EQ(test::ReadBytes(dir.File("v.json")).substr(0, 18), "[\n{\"type\":\"volume\"");
    ExportVolumeFile(tree, v, VolumeExportFormat::Ncdu, dir.File("ncdu.json"));
    CatalogTree back;
    const NodeId w = back.AddVolume("V", 0);
    ReadNcduExport(test::ReadBytes(dir.File("ncdu.json")), back, w, 0);
    EXPECT_EQ(Rows(back, w), Rows(tree, v));
    EXPECT_THROW(ExportVolumeFile(tree, v, VolumeExportFormat::Csv, dir.File("no/such/folder.csv")), CatalogError);
}

}  // namespace
}  // namespace ardvel
