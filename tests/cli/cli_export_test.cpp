#include <gtest/gtest.h>

#include <filesystem>

#include "store/CatalogFile.h"
#include "support/DateAt.h"
#include "support/MusicVolume.h"
#include "support/TempDir.h"

namespace ardvel {
namespace {

using test::CommandResult;
using test::ShellQuote;
using test::TempDir;
using namespace std::string_literals;

using test::At;

/// The catalog of the README's example, and a folder of names that need
/// quoting in every format.
class CliExport : public ::testing::Test {
protected:
    void SetUp() override
    {
        CatalogTree tree;
        const NodeId v = test::AddMusic2002(tree, "a.mp3", " - Song").Volume;
        const NodeId odd = tree.AddFolder(v, "Odd", At(2002, 7, 1, 12, 0, 0));
        tree.AddFile(odd, "x, \"y\"\nz\t\\.txt", 1, At(2002, 7, 1, 12, 0, 2));
        test::WriteCatalog(dir.File("Music 2002.arv"), tree, v, "CD");
    }
    CommandResult Cli(const std::string& arguments)
    {
        const std::string command = "LC_ALL=en_US.UTF-8 TZ=CET-1CEST,M3.5.0,M10.5.0/3 " + ShellQuote(ARDVEL_CLI_PATH) +
                                    " --catalog-folder " + ShellQuote(dir.Folder()) + " " + arguments + " 2>" +
                                    ShellQuote(dir.File("stderr.txt"));
        return test::RunCommand(command);
    }
    std::string Err() { return test::ReadBytes(dir.File("stderr.txt")); }
    TempDir dir;
};

TEST_F(CliExport, TheReadmeJsonExampleIsWhatLsPrints)
{
    const std::string text = test::ReadBytes(std::string(ARDVEL_SOURCE_DIR) + "/README.md");
    const std::string command = "ardvel-cli ls 'Music 2002:\\Rock\\' --format json\n";
    const std::size_t at = text.find(command);
    ASSERT_NE(at, std::string::npos) << "README lacks the example";
    const std::size_t begin = text.find("```json\n", at);
    ASSERT_NE(begin, std::string::npos);
    const std::size_t end = text.find("```", begin + 8);
    const CommandResult r = Cli("ls 'Music 2002:\\Rock\\' --format json");
    EXPECT_EQ(r.Status, 0) << Err();
    EXPECT_EQ(r.Out, text.substr(begin + 8, end - begin - 8));
}

TEST_F(CliExport, CsvAndJsonLinesQuoteWhatTheNamesHold)
{
    const CommandResult csv = Cli("ls --format csv 'Music 2002:\\Odd'");
    EXPECT_EQ(csv.Status, 0) << Err();
    EXPECT_EQ(csv.Out,
              "type,volume,path,name,size,size_kb,date,artist,title\r\n"
              "file,Music 2002,\"Music 2002/Odd/x, \"\"y\"\"\nz\t\\.txt\",\"x, \"\"y\"\"\nz\t\\.txt\","
              "1024,1,2002-07-01T12:00:02+02:00,,\r\n");
    const CommandResult jsonl = Cli("ls --format=jsonl 'Music 2002:\\Odd'");
    EXPECT_EQ(jsonl.Out,
              "{\"type\":\"file\",\"volume\":\"Music 2002\",\"path\":\"Music 2002/Odd/x, \\\"y\\\"\\nz\\t\\\\.txt\","
              "\"name\":\"x, \\\"y\\\"\\nz\\t\\\\.txt\",\"size\":1024,\"size_kb\":1,"
              "\"date\":\"2002-07-01T12:00:02+02:00\",\"artist\":null,\"title\":null}\n");
}

TEST_F(CliExport, NullOutputIsThePathsEachEndedByNul)
{
    EXPECT_EQ(Cli("volumes -0").Out, "Music 2002\0"s);
    EXPECT_EQ(Cli("ls --null 'Music 2002:\\'").Out, "Music 2002/Odd\0Music 2002/Rock\0"s);
    const CommandResult search = Cli("search '*.*' --in 'Music 2002' -0");
    EXPECT_EQ(search.Status, 0) << Err();
    // In the order of the results list: by name.
    EXPECT_EQ(search.Out,
              "Music 2002/Rock/a.mp3\0Music 2002/Rock/b.txt\0"
              "Music 2002/Odd/x, \"y\"\nz\t\\.txt\0"s);
}

TEST_F(CliExport, SearchRowsSplitArtistAndTitle)
{
    const CommandResult r = Cli("search a.mp3 --format jsonl");
    EXPECT_EQ(r.Status, 0) << Err();
    EXPECT_EQ(r.Out,
              "{\"type\":\"file\",\"volume\":\"Music 2002\",\"path\":\"Music 2002/Rock/a.mp3\",\"name\":\"a.mp3\","
              "\"size\":12288,\"size_kb\":12,\"date\":\"2002-02-03T00:00:00+01:00\",\"artist\":\"Band\","
              "\"title\":\"Song\"}\n");
    EXPECT_EQ(Cli("search Live --format csv").Out,
              "type,volume,path,name,size,size_kb,date,artist,title\r\n"
              "folder,Music 2002,Music 2002/Rock/Live,Live,,,2002-01-03T04:05:06+01:00,,\r\n");
}

TEST_F(CliExport, DumpAndExportGiveTheRowsOfTheCatalogFile)
{
    const CommandResult dump = Cli("dump --format json " + ShellQuote(dir.File("Music 2002.arv")));
    EXPECT_EQ(dump.Status, 0) << Err();
    const std::string head =
        "[\n{\"type\":\"volume\",\"volume\":\"Music 2002\",\"path\":\"Music 2002\",\"name\":\"Music 2002\","
        "\"size\":null,\"size_kb\":null,\"date\":\"2002-05-06T07:08:10+02:00\",\"artist\":null,\"title\":null},"
        "\n{\"type\":\"folder\"";
    EXPECT_EQ(dump.Out.substr(0, head.size()), head);
    const CommandResult exported = Cli("export 'music 2002' --format json -o " + ShellQuote(dir.File("out.json")));
    EXPECT_EQ(exported.Status, 0) << Err();
    EXPECT_EQ(exported.Out, "");
    EXPECT_EQ(test::ReadBytes(dir.File("out.json")), dump.Out);
    EXPECT_EQ(Cli("export 'Music 2002' --format csv").Out,
              Cli("dump --format csv " + ShellQuote(dir.File("Music 2002.arv"))).Out);

    // A file that cannot be written is reported and leaves nothing behind.
    std::filesystem::create_directory(dir.File("taken"));
    const CommandResult failed = Cli("export 'Music 2002' --format ncdu -o " + ShellQuote(dir.File("taken")));
    EXPECT_EQ(failed.Status, 1);
    EXPECT_EQ(Err(), dir.File("taken") + ": File access denied\n");
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
        EXPECT_EQ(entry.path().filename().string().find(".ardvel-export"), std::string::npos);
    EXPECT_EQ(Cli("export Nothing --format csv").Status, 1);
}

TEST_F(CliExport, FormatOptionsAreCheckedAsUsage)
{
    EXPECT_EQ(Cli("volumes --format xml").Status, 2);
    EXPECT_NE(Err().find("--format takes tsv, csv, json or jsonl, not \"xml\""), std::string::npos) << Err();
    EXPECT_EQ(Cli("volumes -0 --format json").Status, 2);
    EXPECT_EQ(Cli("volumes --format tsv").Out, "Music 2002\n");
    EXPECT_EQ(Cli("export 'Music 2002'").Status, 2);
    EXPECT_EQ(Cli("export 'Music 2002' --format tsv").Status, 2);
    EXPECT_EQ(Cli("media --format json x.mp3").Status, 1);  // only listing commands take it
    EXPECT_EQ(Cli("import x.json --from tar").Status, 2);
}

}  // namespace
}  // namespace ardvel
