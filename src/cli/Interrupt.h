#pragma once

#include <atomic>

namespace ardvel::cli {

/// While an object lives, the first Ctrl+C raises a flag that a long scan
/// tests after each entry, instead of ending the program at once; a second
/// Ctrl+C ends it.
class InterruptFlag {
public:
    InterruptFlag();
    ~InterruptFlag();
    InterruptFlag(const InterruptFlag&) = delete;
    InterruptFlag& operator=(const InterruptFlag&) = delete;

    const std::atomic<bool>* Flag() const noexcept;
    bool Raised() const noexcept;

private:
    bool installed_ = false;
};

}  // namespace ardvel::cli
