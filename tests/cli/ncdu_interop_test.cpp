// Exchange with the real ncdu: what it exports imports as what a scan
// catalogues, and what Ardvel exports it reads back as the same tree.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <regex>
#include <sstream>
#include <vector>

#include "support/TempDir.h"

namespace ardvel {
namespace {

using test::CommandResult;
using test::ShellQuote;
using test::TempDir;

bool HaveNcdu()
{
    return test::RunCommand("command -v ncdu >/dev/null 2>&1 && echo yes").Out == "yes\n";
}

class NcduInterop : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!HaveNcdu()) GTEST_SKIP() << "ncdu is not installed (scripts/install-deps.sh --test)";
        MakeTree();
    }

    /// Folders and files of many sizes, names that need escaping, an MP3
    /// without tags, and fixed times (folders set last).
    void MakeTree()
    {
        const std::string t = tree();
        for (const char* d : {"", "/A", "/A/B", "/A/empty", "/C \"d\", e"}) std::filesystem::create_directory(t + d);
        const std::pair<const char*, std::size_t> files[] = {
            {"/zero", 0},
            {"/one", 1},
            {"/A/k1024", 1024},
            {"/A/k1025", 1025},
            {"/A/B/big", 100000},
            {"/A/B/song.mp3", 0},
            {"/C \"d\", e/back\\slash\ttab", 5000},
        };
        std::time_t when = 1500000000;
        for (const auto& [name, size] : files) {
            test::WriteBytes(t + name, std::string(size, 'x'));
            Touch(t + name, when += 86402);
        }
        for (const char* d : {"/A/B", "/A/empty", "/A", "/C \"d\", e", ""}) Touch(t + d, when += 3600);
    }
    static void Touch(const std::string& path, std::time_t when)
    {
        const timespec times[2] = {{when, 0}, {when, 0}};
        ::utimensat(AT_FDCWD, path.c_str(), times, 0);
    }

    std::string tree() const { return dir.File("tree"); }
    std::string Folder(const std::string& name)
    {
        std::filesystem::create_directories(dir.File(name));
        return dir.Folder() + name + "/";
    }
    CommandResult Cli(const std::string& folder, const std::string& arguments)
    {
        return test::RunCommand(ShellQuote(ARDVEL_CLI_PATH) + " --catalog-folder " + ShellQuote(folder) + " " +
                                arguments + " 2>" + ShellQuote(dir.File("stderr.txt")));
    }
    std::string Err() { return test::ReadBytes(dir.File("stderr.txt")); }
    void Ncdu(const std::string& arguments)
    {
        ASSERT_EQ(test::RunCommand("ncdu -0 " + arguments + " 2>/dev/null").Status, 0) << arguments;
    }

    /// The entry rows below the volume "tree" of a catalog folder, sorted,
    /// with or without their dates.
    std::vector<std::string> Rows(const std::string& folder, bool withDates)
    {
        const CommandResult r = Cli(folder, "dump --format jsonl " + ShellQuote(folder + "tree.arv"));
        EXPECT_EQ(r.Status, 0) << Err();
        std::vector<std::string> rows;
        std::istringstream lines(r.Out);
        std::string line;
        std::getline(lines, line);  // the volume: dated by its cataloguing
        const std::regex date(R"("date":"[^"]*")");
        while (std::getline(lines, line)) rows.push_back(withDates ? line : std::regex_replace(line, date, ""));
        std::sort(rows.begin(), rows.end());
        return rows;
    }
    std::string Catalogue()
    {
        const std::string folder = Folder("scanned");
        EXPECT_EQ(Cli(folder, "catalog " + ShellQuote(tree()) + " --name tree").Status, 0) << Err();
        return folder;
    }
    TempDir dir;
};

TEST_F(NcduInterop, ImportedNcduExportsDumpAsTheScannedCatalogue)
{
    const std::string scanned = Catalogue();
    Ncdu("-o " + ShellQuote(dir.File("plain.json")) + " " + ShellQuote(tree()));
    Ncdu("-e -o " + ShellQuote(dir.File("extended.json")) + " " + ShellQuote(tree()));

    const std::string plain = Folder("plain");
    EXPECT_EQ(Cli(plain, "import " + ShellQuote(dir.File("plain.json")) + " --name tree").Status, 0) << Err();
    const std::string extended = Folder("extended");
    EXPECT_EQ(Cli(extended, "import --from ncdu " + ShellQuote(dir.File("extended.json"))).Status, 0) << Err();

    const std::vector<std::string> expected = Rows(scanned, true);
    ASSERT_EQ(expected.size(), 11u);  // 4 folders and 7 files
    EXPECT_EQ(Rows(extended, true), expected);
    EXPECT_EQ(Rows(plain, false), Rows(scanned, false));
}

TEST_F(NcduInterop, NcduReadsAnExportedVolumeBackAsTheSameTree)
{
    const std::string scanned = Catalogue();
    EXPECT_EQ(Cli(scanned, "export tree --format ncdu -o " + ShellQuote(dir.File("out.json"))).Status, 0) << Err();
    // ncdu loads the file and writes out again what it read.
    Ncdu("-e -f " + ShellQuote(dir.File("out.json")) + " -o " + ShellQuote(dir.File("again.json")));
    const std::string again = Folder("again");
    EXPECT_EQ(Cli(again, "import " + ShellQuote(dir.File("again.json")) + " --name tree").Status, 0) << Err();
    EXPECT_EQ(Rows(again, true), Rows(scanned, true));
}

TEST_F(NcduInterop, ADamagedExportIsRefusedAtItsPlace)
{
    Ncdu("-o " + ShellQuote(dir.File("whole.json")) + " " + ShellQuote(tree()));
    std::string text = test::ReadBytes(dir.File("whole.json"));
    const std::size_t second = text.find('\n') + 1;
    const std::size_t cut = text.find("\"name\"", text.find('\n', second) + 1);  // into the third line
    text.replace(cut, 6, "\"na\"me\"");
    test::WriteBytes(dir.File("damaged.json"), text);
    const std::string folder = Folder("damaged");
    const CommandResult r = Cli(folder, "import " + ShellQuote(dir.File("damaged.json")) + " --name tree");
    EXPECT_EQ(r.Status, 1);
    const std::size_t column = cut - text.rfind('\n', cut) + 4;
    EXPECT_EQ(Err(), dir.File("damaged.json") + ": line 3, column " + std::to_string(column) +
                         ": expected ':' after a member name\n");
    EXPECT_FALSE(std::filesystem::exists(folder + "tree.arv"));
}

}  // namespace
}  // namespace ardvel
