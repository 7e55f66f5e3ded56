// Finding installed data files: beside the executable, in $XDG_DATA_DIRS,
// then in the current folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/DataFiles.h"
#include "support/TempDir.h"

namespace ardvel {
namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

TEST(DataFilesTest, CandidatesGoFromExecutableToDataDirsToCurrentFolder)
{
    const DataFilePlaces places{"/opt/ardvel/bin", "/a:/b/", "/home/me/src"};
    EXPECT_EQ(DataFileCandidates("Help/readme.html", places),
              (Strings{"/opt/ardvel/share/ardvel/Help/readme.html", "/a/ardvel/Help/readme.html",
                       "/b/ardvel/Help/readme.html", "/home/me/src/Help/readme.html"}));
}

TEST(DataFilesTest, DataDirsDefaultWhenUnsetOrEmptyAndSkipInvalidEntries)
{
    const Strings defaults{"/usr/local/share/ardvel/x", "/usr/share/ardvel/x"};
    EXPECT_EQ(DataFileCandidates("x", {"", std::nullopt, ""}), defaults);
    EXPECT_EQ(DataFileCandidates("x", {"", std::string(), ""}), defaults);
    // Empty and relative entries are not folders of the base directory rules.
    EXPECT_EQ(DataFileCandidates("x", {"", std::string("::relative:/c::"), ""}), Strings{"/c/ardvel/x"});
}

void WriteFile(const fs::path& path)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path) << "<html></html>\n";
}

TEST(DataFilesTest, FindTakesTheFirstReadableFile)
{
    const test::TempDir dir;
    const fs::path root = dir.Path();
    const fs::path installed = root / "usr/share/ardvel/Help/readme.html";
    const fs::path shared = root / "xdg/ardvel/Help/readme.html";
    const fs::path source = root / "src/Help/readme.html";
    WriteFile(installed);
    WriteFile(shared);
    WriteFile(source);
    const DataFilePlaces places{(root / "usr/bin").string(), (root / "none").string() + ":" + (root / "xdg").string(),
                                (root / "src").string()};

    EXPECT_EQ(FindDataFile("Help/readme.html", places), installed.string());
    fs::remove(installed);
    EXPECT_EQ(FindDataFile("Help/readme.html", places), shared.string());
    // A folder of that name is not the file.
    fs::remove(shared);
    fs::create_directories(shared);
    EXPECT_EQ(FindDataFile("Help/readme.html", places), source.string());
    fs::remove(source);
    EXPECT_EQ(FindDataFile("Help/readme.html", places), std::nullopt);
}

TEST(DataFilesTest, ProcessPlacesNameThisExecutableAndFolder)
{
    const DataFilePlaces places = DataFilePlaces::OfProcess();
    EXPECT_TRUE(fs::exists(fs::path(places.ExecutableDir) / "ardvel_core_tests")) << places.ExecutableDir;
    EXPECT_EQ(places.CurrentDir, fs::current_path().string());
}

}  // namespace
}  // namespace ardvel
