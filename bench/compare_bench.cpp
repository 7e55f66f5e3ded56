// Comparing two volumes of about a million file records each: the time and
// the memory the comparison needs beyond the two trees.
//
//   compare_bench [FILES] [RUNS]
//
// Cases: identical volumes; volumes that differ in about 1.5% of their
// records (files removed, added, resized; folders renamed); the same with
// the new volume's entries in another order in every folder (the files of a
// fresh scan, folders not yet sorted), which makes each folder's entries be
// sorted. Targets: at most 0.3 s and 24 bytes of extra memory per record.
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "catalog/CompareTrees.h"
#include "platform/Locale.h"
#include "store/LoadCatalogs.h"

using namespace ardvel;

namespace {

const char* const kWords[] = {"Music", "Photos", "Backup", "Документы", "Projekt", "Übersicht", "café", "Live",
                              "2003",  "Disc",   "Track",  "Концерт",   "résumé",  "Holiday",   "raw",  "final"};
const char* const kExtensions[] = {".txt", ".jpg", ".pdf", ".doc", ".png", ".dat", ".html", ".cpp", ".zip"};

std::string Name(std::mt19937& rng, int words)
{
    std::string name;
    for (int i = 0; i < words; ++i) {
        if (i) name += ' ';
        name += kWords[rng() % std::size(kWords)];
    }
    return name + ' ' + std::to_string(rng() % 100000);
}

struct Mutation {
    bool Changes = false;   ///< remove, add and resize some records
    bool Shuffled = false;  ///< list each folder's entries in another order
};

/// One volume of `files` file records in folders of 50 to 150; the same
/// seed gives the same names, so two calls make two volumes to compare.
NodeId Build(CatalogTree& tree, const std::string& name, int files, Mutation m)
{
    std::mt19937 rng(42), change(7), order(11);
    const NodeId volume = tree.AddVolume(name, 45000.5);
    struct Folder {
        NodeId Parent;
        std::string Name;
        TDateTime Date;
    };
    std::vector<Folder> plan{{kNoNode, "", 0}};
    for (int f = 0; f < files / 100; ++f) {
        const auto parent = static_cast<NodeId>(rng() % plan.size());
        std::string folderName = Name(rng, 1 + rng() % 2);
        if (m.Changes && change() % 1000 == 0) folderName += " renamed";
        plan.push_back({parent, folderName, 40000.0 + rng() % 8000});
    }
    std::vector<std::size_t> created(plan.size());
    for (std::size_t i = 0; i < plan.size(); ++i) created[i] = i;
    if (m.Shuffled) std::shuffle(created.begin() + 1, created.end(), order);
    // Parents before children whatever the shuffle: place by plan index.
    std::vector<NodeId> placed(plan.size(), kNoNode);
    placed[0] = volume;
    for (std::size_t done = 1; done < plan.size();) {
        for (std::size_t k = 1; k < created.size(); ++k) {
            const std::size_t i = created[k];
            if (placed[i] != kNoNode || placed[plan[i].Parent] == kNoNode) continue;
            placed[i] = tree.AddFolder(placed[plan[i].Parent], plan[i].Name, plan[i].Date);
            ++done;
        }
    }
    int remaining = files;
    for (std::size_t i = 0; i < plan.size() && remaining > 0; ++i) {
        const int count = i + 1 == plan.size() ? remaining : std::min<int>(remaining, 50 + rng() % 100);
        struct File {
            std::string Name;
            std::int32_t Size;
            TDateTime Date;
        };
        std::vector<File> list;
        for (int k = 0; k < count; ++k) {
            File file{Name(rng, 1 + rng() % 3) + kExtensions[rng() % std::size(kExtensions)],
                      static_cast<std::int32_t>(rng() % 100000), 40000.0 + rng() % 8000};
            const unsigned roll = change() % 200;
            if (m.Changes && roll == 0) continue;
            if (m.Changes && roll == 1) file.Size += 1;
            if (m.Changes && roll == 2) list.push_back({file.Name + " new", 1, file.Date});
            list.push_back(std::move(file));
        }
        if (m.Shuffled) std::shuffle(list.begin(), list.end(), order);
        for (const File& file : list) tree.AddFile(placed[i], file.Name, file.Size, file.Date);
        remaining -= count;
    }
    return volume;
}

/// CPU time of this thread: wall-clock time is unreliable on a busy machine.
double CpuSeconds()
{
    timespec t{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + t.tv_nsec / 1e9;
}

long StatusKiB(const char* key)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(key, 0) == 0) return std::atol(line.c_str() + std::char_traits<char>::length(key));
    return -1;
}

void Run(const char* title, int files, Mutation m, int runs)
{
    CatalogTree tree;
    const NodeId old = Build(tree, "Old", files, {});
    SortCatalogTree(tree, Locale::User());
    const NodeId now = Build(tree, "New", files, m);
    if (!m.Shuffled) SortCatalogTree(tree, Locale::User());

    double best = 1e9, bestCpu = 1e9;
    CompareSummary summary;
    long extraKiB = 0;
    for (int r = 0; r < runs; ++r) {
        std::ofstream("/proc/self/clear_refs") << "5";  // peak := current
        const long before = StatusKiB("VmRSS:");
        const auto t0 = std::chrono::steady_clock::now();
        const double cpu0 = CpuSeconds();
        std::size_t lines = 0;
        summary = CompareTrees(tree, old, tree, now, Locale::User(), [&](const TreeChange&) { ++lines; });
        const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        best = std::min(best, s);
        bestCpu = std::min(bestCpu, CpuSeconds() - cpu0);
        extraKiB = std::max(extraKiB, StatusKiB("VmHWM:") - before);
    }
    std::printf("%-26s %8d records  %6.3f s (CPU %6.3f s)  %5.1f bytes/record extra  %s\n", title, files, best, bestCpu,
                extraKiB * 1024.0 / files, ChangeSummaryText(summary).c_str());
}

}  // namespace

int main(int argc, char** argv)
{
    const int files = argc > 1 ? std::atoi(argv[1]) : 1000000;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 3;
    Run("identical", files, {}, runs);
    Run("1.5% changed", files, {true, false}, runs);
    Run("1.5% changed, other order", files, {true, true}, runs);
    return 0;
}
