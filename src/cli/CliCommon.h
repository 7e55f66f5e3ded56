#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "store/RowWriter.h"

namespace ardvel::cli {

/// Exit codes shared by every command.
constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
constexpr int kExitInterrupted = 130;

/// Options that come before the command name.
struct CliContext {
    std::optional<std::string> CatalogFolder;  ///< --catalog-folder DIR
    RowFormat Format = RowFormat::Tsv;         ///< --format, -0/--null
};

/// Thrown for a command line the command cannot accept; main prints the
/// message and exits with kExitUsage.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// The answer of --yes or --no (`arg`) into `answer`; a usage error when
/// the other one was given before.
void TakeYesNo(const std::string& arg, std::optional<bool>& answer);

/// A text as one tab-separated output field: tab, newline and backslash are
/// written as \t, \n and \\.
std::string EscapeField(std::string_view text);

/// The catalog folder the command works on: --catalog-folder, else the one
/// of the settings file (with its default). Always ends with "/".
std::string ResolveCatalogFolder(const CliContext& context);

/// Throws CatalogError "Catalog folder not found" (or the system's reason
/// why it cannot be read) with the folder as its path.
void CheckCatalogFolder(const std::string& folder);

/// A whole decimal number, optionally signed; saturates at the int64 range.
std::optional<std::int64_t> ParseWhole(const std::string& text);

using Args = std::vector<std::string>;

int RunVolumes(const CliContext& context, const Args& args, std::ostream& out, std::ostream& err);
int RunLs(const CliContext& context, const Args& args, std::ostream& out, std::ostream& err);
int RunDump(const CliContext& context, const Args& args, std::ostream& out, std::ostream& err);
int RunMedia(const CliContext& context, const Args& args, std::ostream& out, std::ostream& err);
int RunCatalog(const CliContext& context, const Args& args, std::ostream& out, std::ostream& err);
int RunSearch(const CliContext& context, const Args& args, std::ostream& out, std::ostream& err);
int RunDuplicates(const CliContext& context, const Args& args, std::ostream& out, std::ostream& err);
int RunCopies(const CliContext& context, const Args& args, std::ostream& out, std::ostream& err);
int RunExport(const CliContext& context, const Args& args, std::ostream& out, std::ostream& err);
int RunImport(const CliContext& context, const Args& args, std::ostream& out, std::ostream& err);

/// For the commands that list rows through RowWriter (volumes, ls, search,
/// dump, duplicates, copies, diff): takes "--format tsv|csv|json|jsonl" and "-0"/"--null" out of
/// `args` into `context.Format` and returns the rest; other commands get
/// `args` back unchanged.
Args TakeFormatOptions(const std::string& command, const Args& args, CliContext& context);
int RunDiff(const CliContext& context, const Args& args, std::ostream& out, std::ostream& err);
int RunUpdate(const CliContext& context, const Args& args, std::ostream& out, std::ostream& err);

}  // namespace ardvel::cli
