#pragma once

// What the in-memory benchmarks share: their command line, their work
// folder and reading their memory use.

#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

namespace ardvel::bench {

/// [--records N] [--volumes V] [--dir DIR]
struct BenchOptions {
    std::size_t Records = 10'000'000;
    std::size_t Volumes = 10;
    std::string Dir;  ///< empty: a fresh temporary folder, removed afterwards
};

/// The options, or none after a usage message naming `program`.
inline std::optional<BenchOptions> ParseBenchOptions(int argc, char** argv, const char* program)
{
    BenchOptions o;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--records" && i + 1 < argc)
            o.Records = std::strtoull(argv[++i], nullptr, 10);
        else if (arg == "--volumes" && i + 1 < argc)
            o.Volumes = std::strtoull(argv[++i], nullptr, 10);
        else if (arg == "--dir" && i + 1 < argc)
            o.Dir = argv[++i];
        else {
            std::fprintf(stderr, "usage: %s [--records N] [--volumes V] [--dir DIR]\n", program);
            return std::nullopt;
        }
    }
    if (o.Volumes == 0 || o.Records < o.Volumes) o.Volumes = 1;
    return o;
}

/// The folder for the benchmark's files: --dir, else a new temporary one
/// named after `prefix`; empty when it cannot be made.
inline std::string BenchFolder(const BenchOptions& o, const std::string& prefix)
{
    if (!o.Dir.empty()) return o.Dir;
    std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
    if (!::mkdtemp(pattern.data())) return {};
    return pattern;
}

/// A "Vm...:" field of /proc/self/status in KB, -1 when missing.
inline long StatusKB(const std::string& field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field, 0) == 0) return std::strtol(line.c_str() + field.size(), nullptr, 10);
    return -1;
}

inline long PeakMemoryKB()
{
    return StatusKB("VmHWM:");
}

/// Resident memory of this process in KiB, from /proc/self/statm.
inline long ResidentKiB()
{
    FILE* f = std::fopen("/proc/self/statm", "r");
    long pages = 0, resident = 0;
    if (f) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(f);
    }
    return resident * (::sysconf(_SC_PAGESIZE) / 1024);
}

}  // namespace ardvel::bench
