#include "cli/ProgressLine.h"

#include <unistd.h>

#include <cstdio>

#include "catalog/ProgressText.h"

namespace ardvel::cli {

ProgressLine::ProgressLine(std::ostream& err) : err_(err), enabled_(::isatty(STDERR_FILENO) == 1) {}

void ProgressLine::Start()
{
    start_ = last_ = Clock::now();
}

void ProgressLine::Entry(std::string_view folder)
{
    ++entries_;
    if (!enabled_ || (entries_ & 255) != 0) return;
    const Clock::time_point now = Clock::now();
    if (now - last_ < std::chrono::milliseconds(100)) return;
    last_ = now;
    const double seconds = std::chrono::duration<double>(now - start_).count();
    char numbers[64];
    std::snprintf(numbers, sizeof numbers, "%llu entries, %.0f/s, ", entries_,
                  seconds > 0 ? static_cast<double>(entries_) / seconds : 0.0);
    err_ << "\r\033[K" << numbers << ShortenFolderText(folder) << std::flush;
    drawn_ = true;
}

void ProgressLine::Clear()
{
    if (drawn_) err_ << "\r\033[K" << std::flush;
    drawn_ = false;
}

}  // namespace ardvel::cli
