#include "platform/DataFiles.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "ArdvelVersion.h"

namespace ardvel {

namespace fs = std::filesystem;

namespace {

/// The folders of a colon-separated list; empty entries are skipped, as the
/// base directory rules say. An unset or empty list means the default.
std::vector<std::string> XdgDataFolders(const std::optional<std::string>& value)
{
    const std::string list = value && !value->empty() ? *value : "/usr/local/share/:/usr/share/";
    std::vector<std::string> folders;
    std::size_t start = 0;
    while (start <= list.size()) {
        const std::size_t end = std::min(list.find(':', start), list.size());
        // Relative entries are invalid and ignored.
        if (end > start && list[start] == '/') folders.push_back(list.substr(start, end - start));
        start = end + 1;
    }
    return folders;
}

}  // namespace

DataFilePlaces DataFilePlaces::OfProcess()
{
    DataFilePlaces places;
    places.ExecutableDir = ardvel::ExecutableDir();
    if (const char* dirs = std::getenv("XDG_DATA_DIRS")) places.XdgDataDirs = dirs;
    std::error_code ec;
    places.CurrentDir = fs::current_path(ec).string();
    return places;
}

std::vector<std::string> DataFileCandidates(const std::string& relative, const DataFilePlaces& places)
{
    std::vector<std::string> candidates;
    if (!places.ExecutableDir.empty())
        candidates.push_back(
            (fs::path(places.ExecutableDir) / kDataDirFromBinDir / relative).lexically_normal().string());
    for (const std::string& folder : XdgDataFolders(places.XdgDataDirs))
        candidates.push_back((fs::path(folder) / kDataDirName / relative).lexically_normal().string());
    if (!places.CurrentDir.empty())
        candidates.push_back((fs::path(places.CurrentDir) / relative).lexically_normal().string());
    return candidates;
}

std::optional<std::string> FindDataFile(const std::string& relative, const DataFilePlaces& places)
{
    for (const std::string& candidate : DataFileCandidates(relative, places)) {
        std::error_code ec;
        if (fs::is_regular_file(candidate, ec) && ::access(candidate.c_str(), R_OK) == 0) return candidate;
    }
    return std::nullopt;
}

std::string ExecutableDir()
{
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : exe.parent_path().string();
}

}  // namespace ardvel
