#pragma once

// What a test needs to look at its own process: the descriptors it holds,
// and a child in which to change limits the test itself must keep.

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <functional>

namespace ardvel::test {

/// Open descriptors of this process.
inline std::size_t OpenDescriptorCount()
{
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) ++count;
    return count - 1;  // the iterator's own
}

/// Runs `body` in a forked child and returns its exit status, or -1 when it
/// did not exit normally (a crash, a signal). The child leaves by _exit, so
/// nothing of the parent's state (test results, buffers) is flushed twice.
inline int RunInChild(const std::function<int()>& body)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        int code = 99;
        try {
            code = body();
        } catch (...) {
            code = 98;
        }
        ::_exit(code);
    }
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace ardvel::test
