#pragma once

#include <chrono>
#include <ostream>
#include <string_view>

namespace ardvel::cli {

/// The progress line of a scan on a terminal: entries so far, entries per
/// second and the folder being listed, redrawn about ten times a second.
/// Nothing is drawn when standard error is not a terminal.
class ProgressLine {
public:
    using Clock = std::chrono::steady_clock;

    explicit ProgressLine(std::ostream& err);

    void Start();
    void Entry(std::string_view folder);
    /// Removes the line, so that what follows starts on a clean line.
    void Clear();

private:
    std::ostream& err_;
    bool enabled_;
    bool drawn_ = false;
    unsigned long long entries_ = 0;
    Clock::time_point start_, last_;
};

}  // namespace ardvel::cli
