// ardvel-cli: the command-line companion of Ardvel over the same catalogs.
#include <cerrno>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>

#include "ArdvelVersion.h"
#include "cli/CliCommon.h"
#include "cli/CliGuard.h"

namespace {

constexpr const char* kHelp =
    R"(Usage: ardvel-cli [--catalog-folder DIR] COMMAND [ARGUMENTS]

Ardvel keeps a catalog of removable media: one catalog file (.arv) per
volume in a catalog folder. ardvel-cli reads and writes the same catalogs as
the Ardvel window.

Options:
  --catalog-folder DIR  the catalog folder to use; without it, the folder of
                        the settings file (General/CatalogFolder of
                        $XDG_CONFIG_HOME/ardvel/ardvel.ini), by default
                        $XDG_DATA_HOME/ardvel/Catalogs/
  --help                this text
  --version             the version of ardvel-cli

Commands:
  volumes               the volume names, in tree order, one a line
  ls [NODEPATH]         the rows of a folder as the folder list shows them:
                        name, size, date, media info (tab-separated), in
                        name order. NODEPATH is "My Catalogs" (the root, the
                        default), "Volume:\" or "Volume:\Folder\Sub\"; case
                        is ignored past the root
  dump FILE.arv         one catalog file as it reads: "label<TAB>date", then
                        "D<TAB>level<TAB>name<TAB>date" per folder record and
                        "F<TAB>name<TAB>sizeKB<TAB>date[<TAB>artist<TAB>title]"
                        per file record; dates as YYYY-MM-DD HH:MM:SS
  media FILE...         artist and title of MP3 files, "artist<TAB>title"
  catalog DIR [--name NAME] [--yes|--no]
                        catalogue a folder or CD as a new volume
  search [NAMETEXT] [--in All|VOLUME|NODEPATH] [--artist TEXT] [--title TEXT]
         [--months N | --days N | --between FROM TO]
         [--at-least KB | --at-most KB] [--ignore-accents] [--report FILE]
                        search the catalogs
  duplicates [--in All|VOLUME|NODEPATH]
             [--by name+size|name+size+date|size+date|name]
             [--min-size KB] [--folders]
                        what is stored twice: "GROUP<TAB>NODEPATH<TAB>SIZE
                        <TAB>DATE" per record, groups by wasted space;
                        --folders compares folders (name, total size and
                        file count); a summary on stderr
  copies NODEPATH [--by KEY]
                        the other records with the key of one file
  export VOLUME --format csv|json|jsonl|ncdu [-o FILE]
                        one volume in catalog file order; ncdu writes the
                        JSON export format that "ncdu -f FILE" browses.
                        -o writes FILE whole or not at all
  import FILE [--name NAME] [--from ncdu] [--yes|--no]
                        a new volume from an "ncdu -o" export (with or
                        without -e); sizes from asize, dates from mtime or
                        else the import's; named after the scanned folder
                        without --name
  diff VOLUME (DIR | --volume OTHER) [--exit-code]
                        the changes from VOLUME to a fresh scan of DIR
                        (nothing saved) or to the volume OTHER, one a line:
                        "+<TAB>PATH" added, "-<TAB>PATH" removed,
                        "~<TAB>PATH<TAB>old size<TAB>new size<TAB>old date<TAB>
                        new date" changed; PATH is below the volume
                        (Folder\Sub\file.txt, a folder ending in \); an
                        added or removed folder is one line. A summary goes
                        to stderr. With --exit-code: 0 no changes,
                        1 changes, 2 usage error, 3 failure
  update VOLUME [DIR] [--dry-run]
                        scan DIR again (by default the folder VOLUME was
                        catalogued or last updated from, or a mounted file
                        system with its label), print the changes as diff
                        does and replace the volume's catalog file, keeping
                        its name; --dry-run writes nothing

Output fields are tab-separated; a tab, newline or backslash inside a text
is written as \t, \n and \\.

volumes, ls, search, dump, duplicates, copies and diff also take
--format csv (RFC 4180 with a header row), --format json (one array),
--format jsonl (one object a line) or -0/--null (each row's path followed
by a NUL byte). The fields of volumes, ls, search and dump:
  type     "volume", "folder" or "file"
  volume   the volume's name
  path     volume, folders and name joined by "/"
  name     the entry's own name
  size     bytes as recorded (size_kb * 1024); null for volumes and folders
  size_kb  the size in KB as stored; null for volumes and folders
  date     ISO 8601 local time with offset, 2005-01-17T17:32:32+01:00
  artist   MP3 files: the artist; null for other entries
  title    MP3 files: the title (without " - "); null for other entries
The fields of duplicates and copies:
  group    the group's number, from 1 (copies: always 1)
  volume, path, name
           as above, of the file (with --folders, the folder)
  size     bytes as recorded (size_kb * 1024); a folder's total
  size_kb  the size in KB as stored; a folder's total
  date     ISO 8601 local time with offset
The fields of diff:
  change   "added", "removed" or "changed"
  folder   true for a folder added or removed with all it holds
  volume   VOLUME, the volume compared
  path     VOLUME, the folders and the name joined by "/"
  old_size, old_size_kb, old_date
           the record before the change; null for an added entry
  new_size, new_size_kb, new_date
           the record after the change; null for a removed entry
           (sizes are null for folders)
Texts are UTF-8, a byte that is not UTF-8 written as U+FFFD; CSV leaves
nulls empty.

Exit status: 0 success, 1 failure (a message on stderr), 2 usage error,
130 interrupted.
)";

/// The exit status once the output is written out: a failed write
/// (a full disk) is a failure with the system's reason; a reader that went
/// away (a closed pipe) ends the program quietly as the signal would.
int CheckedOutput(int code)
{
    errno = 0;
    std::cout.flush();
    if (std::cout && std::fflush(stdout) == 0) return code;
    const int error = errno;
    if (error == EPIPE) return 128 + SIGPIPE;
    std::cerr << "ardvel-cli: write error: " << std::strerror(error ? error : EIO) << '\n';
    return ardvel::cli::kExitFailure;
}

using CommandRunner = int (*)(const ardvel::cli::CliContext&, const ardvel::cli::Args&, std::ostream&, std::ostream&);

struct Command {
    std::string_view Name;
    CommandRunner Run;
};

constexpr Command kCommands[] = {
    {"volumes", ardvel::cli::RunVolumes},
    {"ls", ardvel::cli::RunLs},
    {"dump", ardvel::cli::RunDump},
    {"media", ardvel::cli::RunMedia},
    {"catalog", ardvel::cli::RunCatalog},
    {"search", ardvel::cli::RunSearch},
    {"duplicates", ardvel::cli::RunDuplicates},
    {"copies", ardvel::cli::RunCopies},
    {"export", ardvel::cli::RunExport},
    {"import", ardvel::cli::RunImport},
    {"diff", ardvel::cli::RunDiff},
    {"update", ardvel::cli::RunUpdate},
};

/// Sets the catalog folder from `value`; false when it is empty (the root
/// folder is never meant).
bool SetCatalogFolder(ardvel::cli::CliContext& context, std::string value)
{
    if (value.empty()) {
        std::cerr << "ardvel-cli: --catalog-folder needs a folder\n";
        return false;
    }
    context.CatalogFolder = std::move(value);
    return true;
}

/// Reads the options before the command from argv[i]; `i` ends on the
/// command. An exit code when the program ends here (help, version, usage).
std::optional<int> ReadGlobalOptions(int argc, char** argv, int& i, ardvel::cli::CliContext& context)
{
    using namespace ardvel::cli;
    for (; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::cout << kHelp;
            return kExitOk;
        }
        if (arg == "--version") {
            std::cout << "ardvel-cli " << ardvel::kVersion << '\n';
            return kExitOk;
        }
        if (arg == "--catalog-folder") {
            if (!SetCatalogFolder(context, i + 1 < argc ? argv[++i] : "")) return kExitUsage;
        } else if (arg.rfind("--catalog-folder=", 0) == 0) {
            if (!SetCatalogFolder(context, arg.substr(std::strlen("--catalog-folder=")))) return kExitUsage;
        } else {
            break;
        }
    }
    if (i >= argc) {
        std::cerr << "ardvel-cli: no command given (try --help)\n";
        return kExitUsage;
    }
    return std::nullopt;
}

}  // namespace

int main(int argc, char** argv)
{
    using namespace ardvel::cli;
    std::setlocale(LC_ALL, "");
    std::ios::sync_with_stdio(false);

    CliContext context;
    int i = 1;
    if (const std::optional<int> ended = ReadGlobalOptions(argc, argv, i, context)) return *ended;
    const std::string command = argv[i++];
    const Args allArgs(argv + i, argv + argc);

    const int code = RunGuarded(
        [&] {
            const Args args = TakeFormatOptions(command, allArgs, context);
            for (const Command& c : kCommands)
                if (c.Name == command) return c.Run(context, args, std::cout, std::cerr);
            throw UsageError("unknown command: " + command);
        },
        std::cout, std::cerr);
    return CheckedOutput(code);
}
