// Loading a catalog folder: records per second and peak resident memory per
// file record, beside the time `cat` needs to read the same files.
//
//   load_bench generate DIR [VOLUMES] [FILES]   writes a catalog folder
//   load_bench load DIR                          loads it and reports
//   load_bench DIR                               both (generates when DIR is empty)
#include <sys/resource.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "BenchOptions.h"
#include "platform/Locale.h"
#include "platform/Settings.h"
#include "store/CatalogFile.h"
#include "store/LoadCatalogs.h"

using namespace ardvel;

namespace {

const char* const kWords[] = {"Music",  "Photos",  "Backup", "Документы", "Projekt",   "Übersicht",
                              "café",   "Live",    "2003",   "Disc",      "Track",     "Концерт",
                              "résumé", "Holiday", "raw",    "final",     "Árvíztűrő", "tükörfúrógép",
                              "日本語", "notes",   "draft",  "v2",        "copy",      "export"};
const char* const kExtensions[] = {".txt", ".jpg", ".pdf", ".doc", ".png", ".dat", ".html", ".cpp", ".zip"};

std::string Name(std::mt19937& rng, int words)
{
    std::string name;
    for (int i = 0; i < words; ++i) {
        if (i) name += rng() % 3 ? ' ' : '_';
        name += kWords[rng() % std::size(kWords)];
    }
    name += ' ';
    name += std::to_string(rng() % 1000);
    return name;
}

void Generate(const std::string& folder, int volumes, int filesPerVolume)
{
    std::filesystem::create_directories(folder);
    std::mt19937 rng(42);
    for (int v = 0; v < volumes; ++v) {
        CatalogTree tree;
        const NodeId vol = tree.AddVolume("v", 45000.5);
        std::vector<NodeId> folders{vol};
        const int folderCount = filesPerVolume / 100;
        for (int f = 0; f < folderCount; ++f) {
            const NodeId parent = folders[rng() % folders.size()];
            folders.push_back(tree.AddFolder(parent, Name(rng, 1 + rng() % 2), 40000 + rng() % 8000));
        }
        // Files are added folder by folder, as the scan delivers them.
        int remaining = filesPerVolume;
        for (std::size_t i = 0; i < folders.size() && remaining > 0; ++i) {
            const int count = i + 1 == folders.size() ? remaining : std::min<int>(remaining, 50 + rng() % 100);
            for (int k = 0; k < count; ++k) {
                const bool mp3 = rng() % 10 == 0;
                const std::string name =
                    Name(rng, 1 + rng() % 3) + (mp3 ? ".mp3" : kExtensions[rng() % std::size(kExtensions)]);
                const TDateTime date = 40000 + (rng() % 8000) + (rng() % 43200) / 43200.0;
                if (mp3) {
                    const TMediaInfo media{Name(rng, 2), " - " + Name(rng, 3)};
                    tree.AddFile(folders[i], name, static_cast<std::int32_t>(rng() % 10000), date, &media);
                } else {
                    tree.AddFile(folders[i], name, static_cast<std::int32_t>(rng() % 100000), date);
                }
            }
            remaining -= count;
        }
        CatalogWriter writer(folder + "/Volume " + std::to_string(v) + ".arv");
        writer.WriteHeader("Label " + std::to_string(v), 45000.5);
        writer.WriteTree(tree, vol);
        writer.Commit();
    }
}

long PeakKiB()
{
    struct rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

double Seconds(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

std::size_t CountFiles(const CatalogTree& tree)
{
    std::size_t n = 0;
    for (NodeId volume : tree.Children(CatalogTree::kRoot)) n += tree.Store(volume).Files.size();
    return n;
}

int Load(const std::string& folder)
{
    const std::string dir = WithTrailingSlash(folder);
    const Locale& locale = Locale::User();
    const long baseline = bench::ResidentKiB();

    // Warm the page cache and time cat over the same files.
    const std::string cat = "cat " + dir + "*.arv > /dev/null";
    if (std::system(cat.c_str()) != 0) return 1;
    auto start = std::chrono::steady_clock::now();
    if (std::system(cat.c_str()) != 0) return 1;
    const double catSeconds = Seconds(start);

    CatalogTree tree;
    start = std::chrono::steady_clock::now();
    const LoadResult first = LoadCatalogs(tree, dir, locale);
    const double firstSeconds = Seconds(start);
    const long peak = PeakKiB();
    const std::size_t files = CountFiles(tree);
    const std::size_t nodes = tree.NodeCount();

    double best = firstSeconds;
    for (int i = 0; i < 3; ++i) {
        start = std::chrono::steady_clock::now();
        LoadCatalogs(tree, dir, locale);
        best = std::min(best, Seconds(start));
    }
    std::uintmax_t bytes = 0;
    for (const auto& e : std::filesystem::directory_iterator(folder)) bytes += e.is_regular_file() ? e.file_size() : 0;

    const double records = static_cast<double>(files + nodes);
    std::printf("catalog files:       %zu (%.1f MB), failures %zu\n", first.FilesRead, bytes / 1e6,
                first.Failures.size());
    std::printf("records:             %zu file records, %zu nodes\n", files, nodes);
    std::printf("load (first, best):  %.3f s, %.3f s\n", firstSeconds, best);
    std::printf("records per second:  %.2f million (best run)\n", records / best / 1e6);
    std::printf("cat over the files:  %.3f s\n", catSeconds);
    std::printf("peak resident:       %.1f MB total, %.1f MB above start\n", peak / 1024.0, (peak - baseline) / 1024.0);
    std::printf("bytes per record:    %.1f (peak above start / file records)\n",
                (peak - baseline) * 1024.0 / static_cast<double>(files));
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    // An option is no folder to fill with catalog files.
    for (int i = 1; i < argc; ++i) {
        if (argv[i][0] == '-') {
            std::fprintf(stderr, "usage: load_bench DIR | generate DIR [VOLUMES] [FILES] | load DIR\n");
            return 2;
        }
    }
    if (argc >= 3 && std::string(argv[1]) == "generate") {
        Generate(argv[2], argc > 3 ? std::atoi(argv[3]) : 100, argc > 4 ? std::atoi(argv[4]) : 10000);
        return 0;
    }
    if (argc == 3 && std::string(argv[1]) == "load") return Load(argv[2]);
    if (argc == 2) {
        const std::string folder = argv[1];
        if (!std::filesystem::exists(folder) || std::filesystem::is_empty(folder)) {
            // Generate in a child process so its memory does not count.
            const std::string self = std::filesystem::canonical("/proc/self/exe").string();
            if (std::system((self + " generate '" + folder + "'").c_str()) != 0) return 1;
        }
        const std::string self = std::filesystem::canonical("/proc/self/exe").string();
        return std::system((self + " load '" + folder + "'").c_str()) == 0 ? 0 : 1;
    }
    std::fprintf(stderr, "usage: load_bench DIR | generate DIR [VOLUMES] [FILES] | load DIR\n");
    return 2;
}
