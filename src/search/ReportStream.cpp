#include "search/ReportStream.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "store/CatalogError.h"

namespace ardvel {

namespace {

/// A temporary file beside its target: removed unless Commit renamed it into
/// place.
class TempReportFile {
public:
    explicit TempReportFile(const std::string& path) : path_(path), tempPath_(path + ".XXXXXX")
    {
        const int fd = ::mkstemp(tempPath_.data());
        if (fd < 0) throw CatalogError("Cannot create file " + path_);
        file_.reset(::fdopen(fd, "wb"));
        if (!file_) {
            ::close(fd);
            ::unlink(tempPath_.c_str());
            throw CatalogError("Cannot create file " + path_);
        }
    }
    ~TempReportFile()
    {
        if (committed_) return;
        file_.reset();
        ::unlink(tempPath_.c_str());
    }
    TempReportFile(const TempReportFile&) = delete;
    TempReportFile& operator=(const TempReportFile&) = delete;

    void WriteLine(std::string_view line)
    {
        if (std::fwrite(line.data(), 1, line.size(), file_.get()) != line.size() ||
            std::fwrite("\r\n", 1, 2, file_.get()) != 2)
            throw CatalogError("Stream write error");
    }

    void Commit()
    {
        // A report is made readable by everyone, as a file created anew would be.
        const mode_t mask = ::umask(0);
        ::umask(mask);
        if (std::fflush(file_.get()) != 0 || ::fchmod(::fileno(file_.get()), 0666 & ~mask) != 0 ||
            ::fsync(::fileno(file_.get())) != 0)
            throw CatalogError("Stream write error");
        if (std::fclose(file_.release()) != 0) throw CatalogError("Stream write error");
        if (std::rename(tempPath_.c_str(), path_.c_str()) != 0) throw CatalogError("Cannot create file " + path_);
        committed_ = true;
    }

private:
    struct Closer {
        void operator()(std::FILE* f) const noexcept { std::fclose(f); }
    };
    std::string path_;
    std::string tempPath_;
    std::unique_ptr<std::FILE, Closer> file_;
    bool committed_ = false;
};

}  // namespace

void WriteReportStreaming(const std::string& path, const SearchCriteria& criteria, std::string_view lookIn,
                          std::size_t rowCount, const std::function<ReportRow(std::size_t)>& rowAt,
                          std::string_view catalogsStatus, std::string_view matchesStatus, const Locale& locale)
{
    // The report without rows: the criteria block and separator, then the
    // separator and status line that close it.
    const std::vector<std::string> frame =
        BuildReportLines(criteria, lookIn, {}, catalogsStatus, matchesStatus, locale);
    const std::size_t headLines = frame.size() - 2;

    ReportWidths width{};
    for (std::size_t i = 0; i < rowCount; ++i) WidenReportColumns(width, rowAt(i));

    TempReportFile file(path);
    for (std::size_t k = 0; k < headLines; ++k) file.WriteLine(frame[k]);
    for (std::size_t i = 0; i < rowCount; ++i) file.WriteLine(ReportRowLine(rowAt(i), width));
    for (std::size_t k = headLines; k < frame.size(); ++k) file.WriteLine(frame[k]);
    file.Commit();
}

}  // namespace ardvel
