#include "window/CommandLine.h"

#include <string_view>

#include "ArdvelVersion.h"
#include "help/HelpCommands.h"
#include "platform/DataFiles.h"

namespace ardvel::gui {

namespace {

constexpr const char* kUsage =
    R"(Usage: ardvel [QT-OPTIONS]

Ardvel keeps a catalog of removable media: one catalog file (.arv) per
volume. Its window browses and searches the volumes; ardvel-cli works on the
same catalogs from the command line.

Options:
  -h, --help     this text
  -v, --version  the version of Ardvel
The options of every Qt program are accepted as well, such as -platform NAME
and -style NAME.

)";

}  // namespace

std::optional<int> HandlePrintingOptions(int argc, const char* const* argv, std::ostream& out)
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--version" || arg == "-v") {
            out << "ardvel " << kVersion << '\n';
            return 0;
        }
        if (arg == "--help" || arg == "-h") {
            out << kUsage;
            const DataFilePlaces places = DataFilePlaces::OfProcess();
            if (const auto page = FindDataFile(kHelpPageFile, places)) {
                out << "Help page: " << *page << '\n';
            } else {
                out << "Help page: not found; looked for\n";
                for (const std::string& candidate : DataFileCandidates(kHelpPageFile, places))
                    out << "  " << candidate << '\n';
            }
            return 0;
        }
    }
    return std::nullopt;
}

}  // namespace ardvel::gui
