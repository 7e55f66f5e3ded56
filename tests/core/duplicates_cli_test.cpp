// ardvel-cli duplicates and copies, end to end over a catalog folder.
#include <gtest/gtest.h>

#include "CliCatalogFixture.h"
#include "SearchTreeFixture.h"

namespace ardvel {
namespace {

using test::At;

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

}  // namespace
}  // namespace ardvel
