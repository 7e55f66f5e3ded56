// --format and -0/--null of the commands that list rows.
#include <algorithm>
#include <array>
#include <string_view>

#include "cli/CliCommon.h"

namespace ardvel::cli {

namespace {
// A listing command joins this list once it writes its rows through
// RowWriter for every context.Format; until then --format stays an unknown
// option to it rather than a silent no-op.
constexpr std::array<std::string_view, 7> kRowCommands = {"volumes",    "ls",     "search", "dump",
                                                          "duplicates", "copies", "diff"};
}  // namespace

Args TakeFormatOptions(const std::string& command, const Args& args, CliContext& context)
{
    if (std::find(kRowCommands.begin(), kRowCommands.end(), command) == kRowCommands.end()) return args;
    Args rest;
    bool haveFormat = false, haveNull = false, optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        std::string name;
        if (optionsEnded) {
            rest.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            rest.push_back(arg);
        } else if (arg == "-0" || arg == "--null") {
            haveNull = true;
        } else if (arg == "--format" || arg.rfind("--format=", 0) == 0) {
            if (arg == "--format") {
                if (i + 1 >= args.size()) throw UsageError("--format needs tsv, csv, json or jsonl");
                name = args[++i];
            } else {
                name = arg.substr(9);
            }
            const auto format = ParseRowFormat(name);
            if (!format) throw UsageError("--format takes tsv, csv, json or jsonl, not \"" + name + "\"");
            if (haveFormat && *format != context.Format) throw UsageError("--format given twice");
            context.Format = *format;
            haveFormat = true;
        } else {
            rest.push_back(arg);
        }
    }
    if (haveNull) {
        if (haveFormat && context.Format != RowFormat::Tsv) throw UsageError("-0 and --format exclude each other");
        context.Format = RowFormat::Null;
    }
    return rest;
}

}  // namespace ardvel::cli
