#include "store/CatalogError.h"

#include <cerrno>

namespace ardvel {

const char* IoErrorText(int error) noexcept
{
    switch (error) {
        case ENOENT:
        case ENOTDIR:
            return kFileNotFound;
        case ENAMETOOLONG:
        case EINVAL:
        case EILSEQ:
            return kInvalidFilename;
        case ENOSPC:
        case EDQUOT:
        case EFBIG:
            return kDiskFull;
        default:
            return kFileAccessDenied;
    }
}

}  // namespace ardvel
