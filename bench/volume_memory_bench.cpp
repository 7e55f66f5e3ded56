// Memory of many small volumes: writes V small catalogs (a folder and a few
// files each) with the catalog writer, loads the folder as the program does
// and reports the resident memory the loaded tree holds per volume.
//
//   volume_memory_bench [--volumes V] [--records TOTAL_FILES] [--dir DIR]
//
// Without options: 10,000 volumes of 4 files. A new temporary folder is removed
// afterwards; a folder given with --dir is kept.
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "BenchOptions.h"
#include "platform/Locale.h"
#include "platform/Settings.h"
#include "store/CatalogFile.h"
#include "store/LoadCatalogs.h"

using namespace ardvel;

namespace {

void WriteCatalogs(const std::string& folder, std::size_t volumes, std::size_t files)
{
    for (std::size_t v = 0; v < volumes; ++v) {
        CatalogTree tree;
        const NodeId vol = tree.AddVolume("v", 45000.5);
        const NodeId sub = tree.AddFolder(vol, "Photos " + std::to_string(v % 97), 44000.25);
        for (std::size_t f = 0; f < files; ++f) {
            const NodeId where = f % 2 ? sub : vol;
            const std::string name = "track " + std::to_string(f) + (f % 3 ? ".txt" : ".mp3");
            if (f % 3 == 0) {
                const TMediaInfo media{"Artist " + std::to_string(v % 13), " - Song " + std::to_string(f)};
                tree.AddFile(where, name, static_cast<std::int32_t>(100 + f), 44100.5, &media);
            } else {
                tree.AddFile(where, name, static_cast<std::int32_t>(10 + f), 44200.75);
            }
        }
        CatalogWriter writer(folder + "/Disc " + std::to_string(v) + ".arv");
        writer.WriteHeader("DISC" + std::to_string(v), 45000.5);
        writer.WriteTree(tree, vol);
        writer.Commit();
    }
}

std::size_t CountFiles(const CatalogTree& tree)
{
    std::size_t n = 0;
    for (NodeId volume : tree.Children(CatalogTree::kRoot)) n += tree.Store(volume).Files.size();
    return n;
}

}  // namespace

int main(int argc, char** argv)
{
    // Defaults of this benchmark, before the shared parser reads the options.
    bench::BenchOptions options;
    if (argc == 1) {
        options.Volumes = 10'000;
        options.Records = 4;
    } else {
        auto parsed = bench::ParseBenchOptions(argc, argv, "volume_memory_bench");
        if (!parsed) return 2;
        options = *parsed;
        options.Records = std::max<std::size_t>(options.Records / std::max<std::size_t>(options.Volumes, 1), 1);
    }
    const std::string folder = bench::BenchFolder(options, "ardvel-volume-memory");
    if (folder.empty()) {
        std::perror("volume_memory_bench: temporary folder");
        return 1;
    }
    std::filesystem::create_directories(folder);

    // Written by a child, so that none of the writing's memory is freed
    // heap that the loading below could reuse unseen.
    if (std::filesystem::is_empty(folder)) {
        const pid_t child = ::fork();
        if (child == 0) {
            WriteCatalogs(folder, options.Volumes, options.Records);
            std::_Exit(0);
        }
        int status = 0;
        if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            std::fprintf(stderr, "volume_memory_bench: writing the catalogs failed\n");
            return 1;
        }
    }

    const Locale& locale = Locale::User();
    const long before = bench::ResidentKiB();
    CatalogTree tree;
    const auto start = std::chrono::steady_clock::now();
    const LoadResult result = LoadCatalogs(tree, WithTrailingSlash(folder), locale);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const long after = bench::ResidentKiB();

    const double volumes = static_cast<double>(tree.VolumeCount());
    const std::size_t files = CountFiles(tree);
    const double perVolume = (after - before) * 1024.0 / std::max(volumes, 1.0);
    std::printf("volumes loaded:      %zu (%zu failures), %zu file records\n", tree.VolumeCount(),
                result.Failures.size(), files);
    std::printf("load time:           %.3f s\n", seconds);
    std::printf("resident added:      %.1f MB\n", (after - before) / 1024.0);
    std::printf("memory per volume:   %.0f bytes\n", perVolume);
    std::printf("less 64 B a record:  %.0f bytes per volume\n",
                perVolume - 64.0 * static_cast<double>(files) / std::max(volumes, 1.0));
    if (options.Dir.empty()) std::filesystem::remove_all(folder);
    return 0;
}
