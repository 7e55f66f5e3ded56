// Export and import speed: one volume of RECORDS file records (1,000,000 by
// default) written as CSV, JSON lines and an ncdu export from its catalog
// file, and that ncdu export read into a volume node, then imported as a
// new volume (read, built, saved with fsync and sorted). The target is
// 2,000,000 records per second each way; CPU seconds are given beside wall
// seconds because a shared machine stretches the latter.
//
//   export_bench [RECORDS]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "catalog/ImportRun.h"
#include "platform/Locale.h"
#include "store/CatalogFile.h"
#include "store/EntryRows.h"
#include "store/NcduExport.h"

using namespace ardvel;

namespace {

/// Counts what it is given and keeps nothing.
class CountingSink final : public ByteSink {
public:
    void Write(std::string_view bytes) override { Bytes += bytes.size(); }
    std::size_t Bytes = 0;
};

class SilentPrompt final : public UserPrompt {
public:
    void ShowError(const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }
    bool Confirm(const std::string&) override { return true; }
};

/// 1 folder per 100 files, placed at random below earlier folders; dates
/// spread over ten years, sizes over six orders of magnitude; every tenth
/// file an MP3.
void Generate(const std::string& path, int records)
{
    std::mt19937 rng(7);
    CatalogTree tree;
    const NodeId volume = tree.AddVolume("bench", 45000.5);
    std::vector<NodeId> folders{volume};
    for (int f = 0; f < records / 100; ++f)
        folders.push_back(
            tree.AddFolder(folders[rng() % folders.size()], "folder " + std::to_string(f),
                           DosToDateTime(DateTimeToDos(38000 + rng() % 3650 + (rng() % 86400) / 86400.0))));
    int remaining = records - (static_cast<int>(folders.size()) - 1);
    for (std::size_t i = 0; i < folders.size() && remaining > 0; ++i) {
        const int count = i + 1 == folders.size() ? remaining : std::min(remaining, 80 + static_cast<int>(rng() % 40));
        for (int k = 0; k < count; ++k) {
            const bool mp3 = rng() % 10 == 0;
            const std::string name = "file " + std::to_string(rng() % 100000) + (mp3 ? ".mp3" : ".dat");
            const TDateTime date = DosToDateTime(DateTimeToDos(38000 + rng() % 3650 + (rng() % 86400) / 86400.0));
            const TMediaInfo media{"Artist " + std::to_string(k), " - Title " + std::to_string(k)};
            tree.AddFile(folders[i], name, static_cast<std::int32_t>(rng() % (1u << (rng() % 21))), date,
                         mp3 ? &media : nullptr);
        }
        remaining -= count;
    }
    CatalogWriter writer(path);
    writer.WriteHeader("bench", tree.Info(volume).Date);
    writer.WriteTree(tree, volume);
    writer.Commit();
}

double CpuNow()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

/// Wall-clock and CPU seconds of `work`. On a machine shared with other
/// jobs the CPU time is the figure that says what the code costs.
struct Times {
    double Wall = 0, Cpu = 0;
};
Times Seconds(const std::function<void()>& work)
{
    const auto start = std::chrono::steady_clock::now();
    const double cpu = CpuNow();
    work();
    return {std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), CpuNow() - cpu};
}

void Report(const char* what, double records, Times t, std::size_t bytes)
{
    std::printf("%-22s %8.0f records: %6.3f s wall = %9.0f/s, %6.3f s CPU = %9.0f/s  (%.1f MB)%s\n", what, records,
                t.Wall, records / t.Wall, t.Cpu, records / t.Cpu, bytes / 1e6,
                records / t.Cpu >= 2e6 ? "" : "  BELOW 2,000,000/s");
}

}  // namespace

int main(int argc, char** argv)
{
    const int records = argc > 1 ? std::atoi(argv[1]) : 1000000;
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "ardvel-export-bench";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir / "imported");
    const std::string catalog = (dir / "bench.arv").string();
    Generate(catalog, records);
    std::printf("volume of %d records (files and folders)\n", records);

    for (const auto& [name, format] : {std::pair{"export csv", RowFormat::Csv}, {"export jsonl", RowFormat::Jsonl}}) {
        CountingSink sink;
        std::uint64_t rows = 0;
        const Times s = Seconds([&] {
            CatalogReader reader(catalog);
            RowWriter writer = EntryRowWriter(sink, format);
            WriteCatalogEntries(reader, "bench", writer);
            writer.Finish();
            rows = writer.Rows() - 1;  // the volume's own row
        });
        Report(name, static_cast<double>(rows), s, sink.Bytes);
    }

    const std::string ncduPath = (dir / "bench.json").string();
    {
        std::uint64_t written = 0;
        const Times s = Seconds([&] {
            CatalogReader reader(catalog);
            OutputFile file(ncduPath);
            WriteNcduExport(reader, "bench", file, 0);
            file.Commit();
        });
        written = std::filesystem::file_size(ncduPath);
        Report("export ncdu (to file)", records, s, written);
    }

    {
        // The reading alone: document to volume node, without the save.
        std::ifstream in(ncduPath, std::ios::binary);
        const std::string document((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        CatalogTree tree;
        const NodeId volume = tree.AddVolume("read", 0);
        NcduImportStats stats;
        const Times s = Seconds([&] { stats = ReadNcduExport(document, tree, volume, 0); });
        Report("import ncdu (read)", static_cast<double>(stats.Files + stats.Folders), s, document.size());
    }

    CatalogTree tree;
    SilentPrompt prompt;
    ImportResult result;
    const Times s = Seconds([&] {
        result = ImportNcduFile(tree, (dir / "imported").string() + "/", prompt, ncduPath, "imported", Locale::User());
    });
    Report("import ncdu (+ save)", static_cast<double>(result.Stats.Files + result.Stats.Folders), s,
           std::filesystem::file_size(ncduPath));
    std::filesystem::remove_all(dir);
    return result.Outcome == ImportOutcome::Imported ? 0 : 1;
}
