#include "store/OutputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ostream>

#include "store/CatalogError.h"

namespace ardvel {

void StreamSink::Write(std::string_view bytes)
{
    out_.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

OutputFile::OutputFile(std::string path) : path_(std::move(path))
{
    const auto slash = path_.rfind('/');
    if (path_.empty() || (slash != std::string::npos && slash == path_.size() - 1))
        throw CatalogError(kInvalidFilename, path_);
    const std::string folder = slash == std::string::npos ? std::string() : path_.substr(0, slash + 1);
    tempPath_ = folder + ".ardvel-export-XXXXXX";
    fd_ = ::mkostemp(tempPath_.data(), O_CLOEXEC);
    if (fd_ < 0) {
        const int error = errno;
        tempPath_.clear();
        throw CatalogError(IoErrorText(error), path_);
    }
    // mkstemp makes the file private; an export is an ordinary file.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd_, 0666 & ~mask);
}

OutputFile::~OutputFile()
{
    if (fd_ >= 0) ::close(fd_);
    if (!tempPath_.empty()) ::unlink(tempPath_.c_str());
}

void OutputFile::Fail(int error)
{
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!tempPath_.empty()) ::unlink(tempPath_.c_str());
    tempPath_.clear();
    throw CatalogError(error == ENOSPC || error == EDQUOT || error == EFBIG ? kDiskFull : IoErrorText(error), path_);
}

void OutputFile::Write(std::string_view bytes)
{
    if (fd_ < 0) throw CatalogError(kFileAccessDenied, path_);
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            Fail(errno);
        }
        if (n == 0) Fail(ENOSPC);
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
}

void OutputFile::Commit()
{
    if (fd_ < 0) throw CatalogError(kFileAccessDenied, path_);
    if (::fsync(fd_) != 0) Fail(errno);
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) Fail(errno);
    if (::rename(tempPath_.c_str(), path_.c_str()) != 0) Fail(errno);
    tempPath_.clear();
}

}  // namespace ardvel
