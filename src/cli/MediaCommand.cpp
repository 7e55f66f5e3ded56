// ardvel-cli media FILE...: the media information of MP3 files as the
// cataloguing scan records it, one line per file: ArtistText, a tab and
// TitleText, escaped like every other field.

#include <sys/stat.h>

#include <ostream>

#include "cli/CliCommon.h"
#include "store/CatalogError.h"
#include "store/MediaInfo.h"

namespace ardvel::cli {

int RunMedia(const CliContext&, const Args& args, std::ostream& out, std::ostream& err)
{
    if (args.empty()) throw UsageError("media: no file given (usage: ardvel-cli media FILE...)");

    int status = kExitOk;
    for (const std::string& path : args) {
        // Only regular files are read: a FIFO would wait for a writer, a
        // folder has no tags.
        struct stat info {};
        if (::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
            out.flush();
            err << path << ": Not a regular file\n";
            status = kExitFailure;
            continue;
        }
        try {
            const TMediaInfo media = ReadMediaInfo(path);
            out << EscapeField(media.ArtistText) << '\t' << EscapeField(media.TitleText) << '\n';
        } catch (const CatalogError& error) {
            // A file that cannot be read is reported and the others go on.
            out.flush();
            err << error.what() << '\n';
            status = kExitFailure;
        }
    }
    return status;
}

}  // namespace ardvel::cli
