// ardvel-cli update end to end: the changes of a dry run, the catalog file
// an update leaves, the remembered folder, and interrupting or killing it.

#include <gtest/gtest.h>
#include <utime.h>

#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/Locale.h"
#include "store/DateTime.h"
#include "store/ListFormats.h"
#include "store/LoadCatalogs.h"
#include "support/CliRunner.h"

namespace ardvel {
namespace {

namespace fs = std::filesystem;
using test::CliRun;
using test::ReadBytes;
using test::TempDir;

constexpr std::time_t kTime = 1700000000;

void Write(const fs::path& path, std::size_t bytes)
{
    fs::create_directories(path.parent_path());
    test::WriteBytes(path.string(), std::string(bytes, 'x'));
    const utimbuf times{kTime, kTime};
    ::utime(path.c_str(), &times);
}

struct UpdateCliFixture {
    TempDir Home;
    fs::path Disk = Home.Path() / "Disk";
    std::string Catalogs = Home.Folder() + "catalogs/";
    std::string Catalog = Catalogs + "Disk.arv";

    UpdateCliFixture() { fs::create_directories(Catalogs); }

    CliRun Cli(std::vector<std::string> args, test::CliRunOptions options = {}) const
    {
        args.insert(args.begin(), {"--catalog-folder", Catalogs});
        return test::RunCliIn(Home, args, options);
    }
    /// The dump of a catalog file without the date of its header.
    std::string DumpWithoutDate(const std::string& file) const
    {
        const std::string dump = Cli({"dump", file}).Out;
        const std::size_t tab = dump.find('\t'), end = dump.find('\n');
        return dump.substr(0, tab) + dump.substr(end);
    }
};

TEST(UpdateCli, ListsTheChangesAndLeavesWhatAFreshCatalogWouldHold)
{
    UpdateCliFixture f;
    Write(f.Disk / "a.txt", 100);
    Write(f.Disk / "keep.txt", 100);
    Write(f.Disk / "song.mp3", 100);
    Write(f.Disk / "Old" / "o1", 1);
    Write(f.Disk / "Docs" / "x.txt", 1);
    ASSERT_EQ(f.Cli({"catalog", f.Disk.string()}).ExitCode, 0);
    const std::string before = ReadBytes(f.Catalog);

    fs::remove(f.Disk / "a.txt");
    Write(f.Disk / "new.txt", 1);
    Write(f.Disk / "keep.txt", 3000);
    fs::remove_all(f.Disk / "Old");
    Write(f.Disk / "Docs" / "Sub" / "s", 1);
    Write(f.Disk / "Docs" / "y.txt", 1);
    const std::string date = FormatDate(UnixToLocalDateTime(kTime), Locale("en_US.UTF-8"));
    const std::string changes = "-\ta.txt\n~\tkeep.txt\t1 KB\t3 KB\t" + date + "\t" + date +
                                "\n+\tnew.txt\n+\tDocs\\\\y.txt\n+\tDocs\\\\Sub\\\\\n-\tOld\\\\\n";
    const std::string summary = "3 added, 2 removed, 1 changed (1 files in added folders, 1 in removed ones)\n";

    CliRun r = f.Cli({"update", "Disk", f.Disk.string(), "--dry-run"});
    EXPECT_EQ(r.ExitCode, 0) << r.Err;
    EXPECT_EQ(r.Out, changes);
    EXPECT_EQ(r.Err, summary);
    EXPECT_EQ(ReadBytes(f.Catalog), before);

    // Without a folder: the one the volume was catalogued from.
    r = f.Cli({"update", "disk"});
    EXPECT_EQ(r.ExitCode, 0) << r.Err;
    EXPECT_EQ(r.Out, changes);
    ASSERT_EQ(f.Cli({"catalog", f.Disk.string(), "--name", "Fresh", "--yes"}).ExitCode, 0);
    EXPECT_EQ(f.DumpWithoutDate(f.Catalog), f.DumpWithoutDate(f.Catalogs + "Fresh.arv"));

    EXPECT_EQ(f.Cli({"diff", "Disk", f.Disk.string(), "--exit-code"}).ExitCode, 0);
    r = f.Cli({"update", "Disk"});
    EXPECT_EQ(r.Out, "");
    EXPECT_EQ(r.Err, "0 added, 0 removed, 0 changed (0 files in added folders, 0 in removed ones)\n");

    // A renamed volume keeps its folder; a volume without one is named.
    fs::rename(f.Catalog, f.Catalogs + "Renamed.arv");
    EXPECT_EQ(f.Cli({"update", "Renamed"}).ExitCode, 0);
    fs::remove_all(f.Home.Path() / "config");
    r = f.Cli({"update", "Renamed", "--dry-run"});
    EXPECT_EQ(r.ExitCode, 1);
    EXPECT_EQ(r.Err, "Renamed: no folder known to update the volume from; name one\n");
    EXPECT_EQ(f.Cli({"update"}).ExitCode, 2);
    EXPECT_EQ(f.Cli({"update", "Nothing", f.Disk.string()}).ExitCode, 1);
}

TEST(UpdateCli, InterruptedOrKilledTheOldCatalogStaysWhole)
{
    // A tree that takes long enough to scan for a signal to land in it.
    UpdateCliFixture f;
    const std::string tree = "/usr/share";
    ASSERT_EQ(f.Cli({"catalog", tree, "--name", "Disk"}).ExitCode, 0);
    std::string before = ReadBytes(f.Catalog);

    // Whenever the signal lands, the catalog is whole: the old one, or (when
    // it came after the new one took its place) the same tree newly dated.
    const std::string contents = f.DumpWithoutDate(f.Catalog);
    const CliRun interrupted = f.Cli({"update", "Disk", tree}, {200, SIGINT});
    if (interrupted.ExitCode != 0) {
        // 130 from its handler; or, on a slow machine, the signal came
        // before the program had started far enough to handle it.
        EXPECT_TRUE(interrupted.ExitCode == 130 || interrupted.ExitCode == -SIGINT)
            << interrupted.ExitCode << " " << interrupted.Err;
        EXPECT_EQ(ReadBytes(f.Catalog), before);
    }
    before = ReadBytes(f.Catalog);

    int killedInTime = 0;
    for (int ms : {50, 200, 600, 1500}) {
        const CliRun r = f.Cli({"update", "Disk", tree}, {ms, SIGKILL});
        const std::string now = ReadBytes(f.Catalog);
        if (r.ExitCode == -SIGKILL && now == before) ++killedInTime;
        EXPECT_EQ(f.DumpWithoutDate(f.Catalog), contents) << "signal after " << ms << " ms";
        before = now;
    }
    // Loadable and complete: the catalog folder reads without a failure.
    CatalogTree loaded;
    const LoadResult result = LoadCatalogs(loaded, f.Catalogs, Locale("en_US.UTF-8"));
    EXPECT_TRUE(result.Failures.empty());
    EXPECT_EQ(loaded.VolumeCount(), 1u);
    if (killedInTime == 0) GTEST_SKIP() << "every update had replaced the catalog before it was killed";
}

}  // namespace
}  // namespace ardvel
