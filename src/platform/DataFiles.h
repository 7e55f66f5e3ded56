#pragma once

#include <optional>
#include <string>
#include <vector>

namespace ardvel {

/// Where the programs look for their installed data files (the help pages).
struct DataFilePlaces {
    /// The folder of the running executable.
    std::string ExecutableDir;
    /// The value of `$XDG_DATA_DIRS`, if set.
    std::optional<std::string> XdgDataDirs;
    /// The current working folder.
    std::string CurrentDir;

    /// The places of this process.
    static DataFilePlaces OfProcess();
};

/// The paths at which the data file `relative` (such as "Help/readme.html")
/// is looked for, in order: beside the executable in its installed data
/// folder (`../share/ardvel/`), below each `$XDG_DATA_DIRS` folder (by
/// default /usr/local/share and /usr/share) in an `ardvel` folder, and last
/// in the current folder, where it lies in a source tree.
std::vector<std::string> DataFileCandidates(const std::string& relative, const DataFilePlaces& places);

/// The first candidate that is a readable regular file, or nullopt.
std::optional<std::string> FindDataFile(const std::string& relative, const DataFilePlaces& places);

/// The folder of the running executable (from /proc/self/exe), or "" when
/// it cannot be told.
std::string ExecutableDir();

}  // namespace ardvel
