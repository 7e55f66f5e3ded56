// ardvel-cli search, end to end over a catalog folder.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/CliCatalogFixture.h"
#include "support/SearchTreeFixture.h"

namespace ardvel {
namespace {

using test::At;

/// Music: Intro.mp3, cover.jpg, Rock\ (Song.mp3, Live\ (encore.mp3));
/// Docs: readme.DOC, "a\b.txt".
class SearchCli : public ::testing::Test, protected test::CliCatalogFolder {
protected:
    SearchCli()
    {
        CatalogTree tree;
        const NodeId music = tree.AddVolume("Music", At(2002, 1, 1));
        const TMediaInfo intro{"Band", " - Intro"};
        tree.AddFile(music, "Intro.mp3", 4000, At(2002, 7, 22, 20, 44, 56), &intro);
        tree.AddFile(music, "cover.jpg", 12, At(2002, 7, 20));
        const NodeId rock = tree.AddFolder(music, "Rock", At(2002, 7, 21, 10, 0, 0));
        const TMediaInfo untagged{"Artist Name - Song", ""};
        tree.AddFile(rock, "Song.mp3", 1200, At(2002, 7, 22), &untagged);
        const NodeId live = tree.AddFolder(rock, "Live", At(2002, 7, 23));
        const TMediaInfo encore{"Band", " - Encore"};
        tree.AddFile(live, "encore.mp3", 0, At(2002, 7, 24), &encore);
        const NodeId docs = tree.AddVolume("Docs", At(2003, 1, 1));
        tree.AddFile(docs, "readme.DOC", 3, At(2003, 1, 2));
        tree.AddFile(docs, "a\\b.txt", 1, At(2003, 1, 3));
        Save(tree, music);
        Save(tree, docs);
    }

    Result Run(const std::string& arguments) { return RunCli("search " + arguments); }
};

TEST_F(SearchCli, EveryRowSortedAsTheListSortsIt)
{
    const Result r = Run("");
    EXPECT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(r.Err, "");
    // Six fields always; the Path's backslashes doubled like every other.
    EXPECT_EQ(r.Out,
              "Live\tMusic\tRock\\\\\t[SUB-DIR]\t07/23/2002\t\n"
              "Rock\tMusic\t\t[SUB-DIR]\t07/21/2002 10:00:00 AM\t\n"
              "a\\\\b.txt\tDocs\t\t1 KB\t01/03/2003\t\n"
              "cover.jpg\tMusic\t\t12 KB\t07/20/2002\t\n"
              "encore.mp3\tMusic\tRock\\\\Live\\\\\t0 KB\t07/24/2002\tBand - Encore\n"
              "Intro.mp3\tMusic\t\t3.906 MB\t07/22/2002 08:44:56 PM\tBand - Intro\n"
              "readme.DOC\tDocs\t\t3 KB\t01/02/2003\t\n"
              "Song.mp3\tMusic\tRock\\\\\t1.172 MB\t07/22/2002\tArtist Name - Song\n");
    // An empty name text is "*" too.
    EXPECT_EQ(Run("''").Out, r.Out);
}

TEST_F(SearchCli, LookInAVolumeOrAFolder)
{
    // A volume name, ignoring case.
    Result r = Run("'*.mp3' --in music");
    EXPECT_EQ(r.Status, 0);
    EXPECT_EQ(r.Out,
              "encore.mp3\tMusic\tRock\\\\Live\\\\\t0 KB\t07/24/2002\tBand - Encore\n"
              "Intro.mp3\tMusic\t\t3.906 MB\t07/22/2002 08:44:56 PM\tBand - Intro\n"
              "Song.mp3\tMusic\tRock\\\\\t1.172 MB\t07/22/2002\tArtist Name - Song\n");
    // A node path, as ls takes it: what lies inside the folder.
    r = Run("--in 'music:\\rock'");
    EXPECT_EQ(r.Status, 0);
    EXPECT_EQ(r.Out,
              "Live\tMusic\tRock\\\\\t[SUB-DIR]\t07/23/2002\t\n"
              "encore.mp3\tMusic\tRock\\\\Live\\\\\t0 KB\t07/24/2002\tBand - Encore\n"
              "Song.mp3\tMusic\tRock\\\\\t1.172 MB\t07/22/2002\tArtist Name - Song\n");
    // The root, and "All", search every volume.
    EXPECT_EQ(Run("doc --in 'My Catalogs'").Out, "readme.DOC\tDocs\t\t3 KB\t01/02/2003\t\n");
    EXPECT_EQ(Run("doc --in All").Out, "readme.DOC\tDocs\t\t3 KB\t01/02/2003\t\n");
    // Anything else is no place.
    r = Run("doc --in Nowhere");
    EXPECT_EQ(r.Status, 1);
    EXPECT_EQ(r.Out, "");
    EXPECT_EQ(r.Err, "Path not found!\n");
    EXPECT_EQ(Run("doc --in 'Music:\\Jazz\\'").Err, "Path not found!\n");
}

TEST_F(SearchCli, ComposedOrDecomposedAndAccentsOnRequest)
{
    CatalogTree tree;
    const NodeId photos = tree.AddVolume("Photos", At(2004, 1, 1));
    tree.AddFile(photos, "\xC3\x89t\xC3\xA9 2004.jpg", 5, At(2004, 8, 1));  // Été, composed
    tree.AddFile(photos, "Re\xCC\x81sume\xCC\x81.pdf", 2, At(2004, 8, 2));  // Résumé, decomposed
    Save(tree, photos);
    const std::string summer = "\xC3\x89t\xC3\xA9 2004.jpg\tPhotos\t\t5 KB\t08/01/2004\t\n";
    const std::string resume = "Re\xCC\x81sume\xCC\x81.pdf\tPhotos\t\t2 KB\t08/02/2004\t\n";
    EXPECT_EQ(Run("'r\xC3\xA9sum\xC3\xA9' --in photos").Out, resume);
    EXPECT_EQ(Run("'\xC3\xA9T\xC3\xA9*' --in photos").Out, summer);
    EXPECT_EQ(Run("e --in photos").Out, "");
    EXPECT_EQ(Run("e --in photos --ignore-accents").Out, summer + resume);
    EXPECT_EQ(Run("'ete*' --ignore-accents --in photos").Out, summer);
    const Result twice = Run("--ignore-accents --ignore-accents");
    EXPECT_EQ(twice.Status, 2);
    EXPECT_NE(twice.Err.find("--ignore-accents given twice"), std::string::npos) << twice.Err;
}

TEST_F(SearchCli, InvalidMask)
{
    const Result r = Run("'[]*'");
    EXPECT_EQ(r.Status, 1);
    EXPECT_EQ(r.Out, "");
    EXPECT_EQ(r.Err, "'[]*' is an invalid mask at (2)\n");
    // Without "*" or "?" the text is looked for as it is.
    EXPECT_EQ(Run("'[]'").Status, 0);
}

TEST_F(SearchCli, UsageErrors)
{
    for (const char* args : {"--at-least abc", "--at-most", "--months 1 --days 2", "--months x",
                             "--between 2002-13-01 2002-01-01", "--between 2002-01-01", "a b", "--bogus",
                             "--at-least 1 --at-most 2", "--between '2002-01-01 25:00:00' 2002-01-02"}) {
        const Result r = Run(args);
        EXPECT_EQ(r.Status, 2) << args;
        EXPECT_EQ(r.Out, "") << args;
    }
}

TEST_F(SearchCli, MediaDateAndSize)
{
    // --title switches the media test on: files without media pass it, an
    // untagged file is tested on its artist text; folders have no media test.
    Result r = Run("--title INTRO");
    EXPECT_EQ(r.Out,
              "Live\tMusic\tRock\\\\\t[SUB-DIR]\t07/23/2002\t\n"
              "Rock\tMusic\t\t[SUB-DIR]\t07/21/2002 10:00:00 AM\t\n"
              "a\\\\b.txt\tDocs\t\t1 KB\t01/03/2003\t\n"
              "cover.jpg\tMusic\t\t12 KB\t07/20/2002\t\n"
              "Intro.mp3\tMusic\t\t3.906 MB\t07/22/2002 08:44:56 PM\tBand - Intro\n"
              "readme.DOC\tDocs\t\t3 KB\t01/02/2003\t\n");
    EXPECT_EQ(Run("'*.mp3' --title song").Out, "Song.mp3\tMusic\tRock\\\\\t1.172 MB\t07/22/2002\tArtist Name - Song\n");

    // Both bounds included; a date alone is midnight.
    r = Run("'*.mp3' --between 2002-07-22 '2002-07-22 20:44:56'");
    EXPECT_EQ(r.Out,
              "Intro.mp3\tMusic\t\t3.906 MB\t07/22/2002 08:44:56 PM\tBand - Intro\n"
              "Song.mp3\tMusic\tRock\\\\\t1.172 MB\t07/22/2002\tArtist Name - Song\n");
    EXPECT_EQ(Run("'*.mp3' --between 2002-07-22 '2002-07-22 20:44:54'").Out,
              "Song.mp3\tMusic\tRock\\\\\t1.172 MB\t07/22/2002\tArtist Name - Song\n");

    // The size bound is pulled into 0..5250000, and folders leave.
    EXPECT_EQ(Run("--at-least 99999999999999999999999").Out, "");
    EXPECT_EQ(Run("--at-most -7").Out, "encore.mp3\tMusic\tRock\\\\Live\\\\\t0 KB\t07/24/2002\tBand - Encore\n");
    EXPECT_EQ(Run("--at-least 1200 --in docs").Out, "");
    EXPECT_EQ(Run("--at-least 1200 --in music").Out,
              "Intro.mp3\tMusic\t\t3.906 MB\t07/22/2002 08:44:56 PM\tBand - Intro\n"
              "Song.mp3\tMusic\tRock\\\\\t1.172 MB\t07/22/2002\tArtist Name - Song\n");
}

TEST_F(SearchCli, Report)
{
    const std::string report = dir.File("report.txt");
    const Result r = Run("--in 'music:\\rock' --artist '' --at-least -3 --report " + test::ShellQuote(report));
    EXPECT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(r.Out,
              "encore.mp3\tMusic\tRock\\\\Live\\\\\t0 KB\t07/24/2002\tBand - Encore\n"
              "Song.mp3\tMusic\tRock\\\\\t1.172 MB\t07/22/2002\tArtist Name - Song\n");
    EXPECT_EQ(test::ReadBytes(report),
              "Criteria: *\r\n"
              "Look In: Music:\\Rock\\\r\n"
              "MediaInfo:\r\n"
              "   Artist: \r\n"
              "    Title: \r\n"
              "Date: None\r\n"
              "Size: at least 0 KB\r\n"
              "----------------------------------------\r\n"
              "encore.mp3   Music   Rock\\Live\\          0 KB   07/24/2002      Band - Encore        \r\n"
              "Song.mp3     Music   Rock\\           1.172 MB   07/22/2002      Artist Name - Song   \r\n"
              "----------------------------------------\r\n"
              "2 Catalogs         2 Matches found\r\n");

    // The Look In line names what --in chose, as the Look-in list shows it.
    ASSERT_EQ(Run("readme --in DOCS --report " + test::ShellQuote(report)).Status, 0);
    EXPECT_NE(test::ReadBytes(report).find("Criteria: readme\r\nLook In: Docs\r\n"), std::string::npos);
    ASSERT_EQ(Run("'*.doc' --months 999 --report " + test::ShellQuote(report)).Status, 0);
    EXPECT_NE(test::ReadBytes(report).find("Look In: All\r\nMediaInfo: None\r\nDate: in the last 999 months\r\n"),
              std::string::npos);
}

TEST_F(SearchCli, NoRowsNoReport)
{
    const std::string report = dir.File("none.txt");
    const Result r = Run("nothing-like-this --report " + test::ShellQuote(report));
    EXPECT_EQ(r.Status, 0);
    EXPECT_EQ(r.Out, "");
    EXPECT_FALSE(std::filesystem::exists(report));
}

TEST_F(SearchCli, ReportThatCannotBeCreated)
{
    const Result r = Run("readme --report /nonexistent-folder/r.txt");
    EXPECT_EQ(r.Status, 1);
    EXPECT_EQ(r.Out, "readme.DOC\tDocs\t\t3 KB\t01/02/2003\t\n");
    EXPECT_EQ(r.Err, "Cannot create file /nonexistent-folder/r.txt\n");
}

}  // namespace
}  // namespace ardvel
