#include "cli/CliCommon.h"

#include <ostream>

namespace ardvel::cli {

int RunCatalog(const CliContext&, const Args&, std::ostream&, std::ostream& err)
{
    err << "ardvel-cli: the catalog command is not available in this build\n";
    return kExitFailure;
}

}  // namespace ardvel::cli
