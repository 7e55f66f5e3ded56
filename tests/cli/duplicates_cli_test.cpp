// ardvel-cli duplicates and copies, end to end over a catalog folder.
#include <gtest/gtest.h>

#include "support/CliCatalogFixture.h"
#include "support/JsonRows.h"
#include "support/SearchTreeFixture.h"
#include "support/ZoneGuard.h"

namespace ardvel {
namespace {

using test::At;
using namespace std::string_literals;

/// Music: Intro.mp3, cover.jpg, Rock\ (Song.mp3, cover.JPG, Live\ intro.MP3),
///        backup\ y.bin;
/// Docs:  "a\b.txt", readme.DOC, Old\ ("A\B.TXT", readme.doc of another
///        date), Backup\ x.bin.
class DuplicatesCli : public ::testing::Test, protected test::CliCatalogFolder {
protected:
    DuplicatesCli()
    {
        CatalogTree tree;
        const NodeId music = tree.AddVolume("Music", At(2002, 1, 1));
        tree.AddFile(music, "Intro.mp3", 4000, At(2002, 7, 22, 20, 44, 56));
        tree.AddFile(music, "cover.jpg", 12, At(2002, 7, 20));
        const NodeId rock = tree.AddFolder(music, "Rock", At(2002, 7, 21, 10, 0, 0));
        tree.AddFile(rock, "Song.mp3", 1200, At(2002, 7, 22));
        tree.AddFile(rock, "cover.JPG", 12, At(2002, 7, 20));
        tree.AddFile(tree.AddFolder(rock, "Live", At(2002, 7, 23)), "intro.MP3", 4000, At(2002, 7, 22, 20, 44, 56));
        tree.AddFile(tree.AddFolder(music, "backup", At(2002, 8, 1)), "y.bin", 5, At(2002, 8, 1));
        const NodeId docs = tree.AddVolume("Docs", At(2003, 1, 1));
        tree.AddFile(docs, "a\\b.txt", 1, At(2003, 1, 3));
        tree.AddFile(docs, "readme.DOC", 3, At(2003, 1, 2));
        const NodeId old = tree.AddFolder(docs, "Old", At(2003, 1, 4));
        tree.AddFile(old, "A\\B.TXT", 1, At(2003, 1, 3));
        tree.AddFile(old, "readme.doc", 3, At(2003, 1, 5));
        tree.AddFile(tree.AddFolder(docs, "Backup", At(2003, 2, 1)), "x.bin", 5, At(2003, 2, 1));
        Save(tree, music);
        Save(tree, docs);
    }

    Result Run(const std::string& arguments) { return RunCli(arguments); }
};

TEST_F(DuplicatesCli, GroupsByWastedSpaceEachRecordInTreeOrder)
{
    const Result r = Run("duplicates");
    EXPECT_EQ(r.Status, 0);
    EXPECT_EQ(r.Out,
              "1\tMusic:\\\\Intro.mp3\t3.906 MB\t07/22/2002 08:44:56 PM\n"
              "1\tMusic:\\\\Rock\\\\Live\\\\intro.MP3\t3.906 MB\t07/22/2002 08:44:56 PM\n"
              "2\tMusic:\\\\cover.jpg\t12 KB\t07/20/2002\n"
              "2\tMusic:\\\\Rock\\\\cover.JPG\t12 KB\t07/20/2002\n"
              "3\tDocs:\\\\readme.DOC\t3 KB\t01/02/2003\n"
              "3\tDocs:\\\\Old\\\\readme.doc\t3 KB\t01/05/2003\n"
              "4\tDocs:\\\\a\\\\b.txt\t1 KB\t01/03/2003\n"
              "4\tDocs:\\\\Old\\\\A\\\\B.TXT\t1 KB\t01/03/2003\n");
    EXPECT_EQ(r.Err, "4 groups, 8 files, 4016 KB that could be freed\n");
    EXPECT_EQ(Run("duplicates --in All --by name+size").Out, r.Out);
}

TEST_F(DuplicatesCli, ScopeKeyAndMinimumSize)
{
    Result r = Run("duplicates --in music --min-size 12");
    EXPECT_EQ(r.Out,
              "1\tMusic:\\\\Intro.mp3\t3.906 MB\t07/22/2002 08:44:56 PM\n"
              "1\tMusic:\\\\Rock\\\\Live\\\\intro.MP3\t3.906 MB\t07/22/2002 08:44:56 PM\n"
              "2\tMusic:\\\\cover.jpg\t12 KB\t07/20/2002\n"
              "2\tMusic:\\\\Rock\\\\cover.JPG\t12 KB\t07/20/2002\n");
    EXPECT_EQ(r.Err, "2 groups, 4 files, 4012 KB that could be freed\n");
    // The readme files differ in date; the two bin files by name only.
    r = Run("duplicates --in Docs --by size+date");
    EXPECT_EQ(r.Out,
              "1\tDocs:\\\\a\\\\b.txt\t1 KB\t01/03/2003\n"
              "1\tDocs:\\\\Old\\\\A\\\\B.TXT\t1 KB\t01/03/2003\n");
    r = Run("duplicates --in 'docs:\\old' --by name");
    EXPECT_EQ(r.Status, 0);
    EXPECT_EQ(r.Out, "");
    EXPECT_EQ(r.Err, "0 groups, 0 files, 0 KB that could be freed\n");
}

TEST_F(DuplicatesCli, Folders)
{
    // Volumes load in name order: Docs first.
    const Result r = Run("duplicates --folders");
    EXPECT_EQ(r.Out,
              "1\tDocs:\\\\Backup\\\\\t5 KB\t02/01/2003\n"
              "1\tMusic:\\\\backup\\\\\t5 KB\t08/01/2002\n");
    EXPECT_EQ(r.Err, "1 groups, 2 folders, 5 KB that could be freed\n");
}

TEST_F(DuplicatesCli, CopiesOfOneFile)
{
    Result r = Run("copies 'music:\\rock\\live\\INTRO.mp3'");
    EXPECT_EQ(r.Status, 0);
    EXPECT_EQ(r.Out, "1\tMusic:\\\\Intro.mp3\t3.906 MB\t07/22/2002 08:44:56 PM\n");
    EXPECT_EQ(r.Err, "1 groups, 2 files, 4000 KB that could be freed\n");
    r = Run("copies 'Docs:\\readme.DOC' --by name+size+date");
    EXPECT_EQ(r.Status, 0);
    EXPECT_EQ(r.Out, "");
    EXPECT_EQ(r.Err, "0 groups, 0 files, 0 KB that could be freed\n");
    EXPECT_EQ(Run("copies 'Docs:\\readme.DOC' --by name").Out, "1\tDocs:\\\\Old\\\\readme.doc\t3 KB\t01/05/2003\n");
}

TEST_F(DuplicatesCli, NoSuchPlaceOrOption)
{
    for (const char* arguments : {"duplicates --in Nowhere", "copies 'Music:\\none.mp3'", "copies 'Music:\\Rock\\'",
                                  "copies 'Jazz:\\Intro.mp3'"}) {
        const Result r = Run(arguments);
        EXPECT_EQ(r.Status, 1) << arguments;
        EXPECT_EQ(r.Out, "") << arguments;
        EXPECT_EQ(r.Err, "Path not found!\n") << arguments;
    }
    Result r = Run("duplicates --by date");
    EXPECT_EQ(r.Status, 2);
    EXPECT_EQ(r.Err,
              "ardvel-cli: --by needs name+size, name+size+date, size+date or name, not \"date\" (try --help)\n");
    EXPECT_EQ(Run("duplicates --min-size -1").Status, 2);
    EXPECT_EQ(Run("duplicates --min-size").Status, 2);
    EXPECT_EQ(Run("copies").Status, 2);
    EXPECT_EQ(Run("duplicates extra").Status, 2);
}

TEST_F(DuplicatesCli, CsvQuotesNamesAndGivesBytesKilobytesAndIsoDates)
{
    const test::ZoneGuard zone("UTC0");
    CatalogTree tree;
    const NodeId odd = tree.AddVolume("Odd", At(2004, 1, 1));
    tree.AddFile(odd, "say \"hi\", ok.txt", 7, At(2004, 3, 4, 5, 6, 8));
    tree.AddFile(tree.AddFolder(odd, "Sub", At(2004, 1, 2)), "say \"hi\", ok.txt", 7, At(2004, 3, 4, 5, 6, 8));
    Save(tree, odd);

    Result r = Run("duplicates --in Odd --format csv");
    EXPECT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(
        r.Out,
        "group,volume,path,name,size,size_kb,date\r\n"
        "1,Odd,\"Odd/say \"\"hi\"\", ok.txt\",\"say \"\"hi\"\", ok.txt\",7168,7,2004-03-04T05:06:08+00:00\r\n"
        "1,Odd,\"Odd/Sub/say \"\"hi\"\", ok.txt\",\"say \"\"hi\"\", ok.txt\",7168,7,2004-03-04T05:06:08+00:00\r\n");
    EXPECT_EQ(r.Err, "1 groups, 2 files, 7 KB that could be freed\n");
    // A backslash inside a name stays as it is; only "/" joins the names.
    EXPECT_EQ(Run("duplicates --in Docs --by size+date --format=csv").Out,
              "group,volume,path,name,size,size_kb,date\r\n"
              "1,Docs,Docs/a\\b.txt,a\\b.txt,1024,1,2003-01-03T00:00:00+00:00\r\n"
              "1,Docs,Docs/Old/A\\B.TXT,A\\B.TXT,1024,1,2003-01-03T00:00:00+00:00\r\n");
}

TEST_F(DuplicatesCli, JsonHasNumbersAndStringsInTheTsvOrder)
{
    const test::ZoneGuard zone("UTC0");
    const Result tsv = Run("duplicates");
    EXPECT_EQ(Run("duplicates --format tsv").Out, tsv.Out);
    const Result json = Run("duplicates --format json");
    EXPECT_EQ(json.Status, 0) << json.Err;
    EXPECT_EQ(json.Err, tsv.Err);
    const std::vector<test::JsonRow> rows = test::ReadJsonRows(json.Out);
    EXPECT_EQ(test::ReadJsonRows(Run("duplicates --format jsonl").Out, true), rows);
    ASSERT_EQ(rows.size(), 8u);
    const std::vector<std::string> paths = {"Music/Intro.mp3",      "Music/Rock/Live/intro.MP3", "Music/cover.jpg",
                                            "Music/Rock/cover.JPG", "Docs/readme.DOC",           "Docs/Old/readme.doc",
                                            "Docs/a\\b.txt",        "Docs/Old/A\\B.TXT"};
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].at("group"), std::to_string(i / 2 + 1));
        EXPECT_EQ(rows[i].at("path"), paths[i]);
    }
    EXPECT_EQ(rows[0], (test::JsonRow{{"group", "1"},
                                      {"volume", "Music"},
                                      {"path", "Music/Intro.mp3"},
                                      {"name", "Intro.mp3"},
                                      {"size", "4096000"},
                                      {"size_kb", "4000"},
                                      {"date", "2002-07-22T20:44:56+00:00"}}));
    EXPECT_EQ(Run("duplicates --folders --format jsonl").Out,
              "{\"group\":1,\"volume\":\"Docs\",\"path\":\"Docs/Backup\",\"name\":\"Backup\",\"size\":5120,"
              "\"size_kb\":5,\"date\":\"2003-02-01T00:00:00+00:00\"}\n"
              "{\"group\":1,\"volume\":\"Music\",\"path\":\"Music/backup\",\"name\":\"backup\",\"size\":5120,"
              "\"size_kb\":5,\"date\":\"2002-08-01T00:00:00+00:00\"}\n");
    EXPECT_EQ(Run("copies 'Docs:\\readme.DOC' --by name+size+date --format json").Out, "[]\n");
}

TEST_F(DuplicatesCli, NullEndsEachPathAndExcludesOtherFormats)
{
    EXPECT_EQ(Run("duplicates --in Docs --by size+date -0").Out, "Docs/a\\b.txt\0Docs/Old/A\\B.TXT\0"s);
    EXPECT_EQ(Run("copies --null 'music:\\rock\\live\\INTRO.mp3'").Out, "Music/Intro.mp3\0"s);
    EXPECT_EQ(Run("duplicates --format xml").Status, 2);
    EXPECT_EQ(Run("copies -0 --format json 'Docs:\\readme.DOC'").Status, 2);
}

}  // namespace
}  // namespace ardvel
