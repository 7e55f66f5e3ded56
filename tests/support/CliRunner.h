#pragma once

// Running ardvel-cli as a child process for end-to-end tests: English list
// formats, a settings folder of the test's own, output caught in files.

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "support/TempDir.h"

namespace ardvel::test {

struct CliRun {
    int ExitCode = -1;  ///< or minus the signal that ended it
    std::string Out;
    std::string Err;
};

struct CliRunOptions {
    /// Sends `Signal` this long after the start (never when negative).
    int SignalAfterMs = -1;
    int Signal = SIGINT;
    /// Runs as the user "nobody" when the tests run as root.
    bool AsNobody = false;
};

/// Another user may not be able to reach the build folder (a clone in a
/// private folder): that user runs a copy in `dir`, a folder open to all.
inline std::string CliCopyForAll(const TempDir& dir)
{
    namespace fs = std::filesystem;
    const std::string copy = dir.File("ardvel-cli");
    fs::copy_file(ARDVEL_CLI_PATH, copy, fs::copy_options::overwrite_existing);
    const auto readable = fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                          fs::perms::others_read | fs::perms::others_exec;
    fs::permissions(dir.Path(), readable);
    fs::permissions(copy, readable);
    return copy;
}

/// Runs ardvel-cli with `args` and LC_ALL=en_US.UTF-8, XDG_CONFIG_HOME =
/// `home`/config; standard input from /dev/null.
inline CliRun RunCliIn(const TempDir& home, const std::vector<std::string>& args, CliRunOptions options = {})
{
    const std::string outPath = home.File("cli-out"), errPath = home.File("cli-err");
    const std::string config = "XDG_CONFIG_HOME=" + home.File("config");
    std::vector<std::string> argv{ARDVEL_CLI_PATH};
    const bool asNobody = options.AsNobody && ::geteuid() == 0;
    std::optional<TempDir> copyDir;
    if (asNobody) argv[0] = CliCopyForAll(copyDir.emplace());
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char*> cargv;
    for (std::string& a : argv) cargv.push_back(a.data());
    cargv.push_back(nullptr);

    const pid_t pid = ::fork();
    if (pid == 0) {
        const int in = ::open("/dev/null", O_RDONLY);
        const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
        const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
        if (in < 0 || out < 0 || err < 0) ::_exit(120);
        ::dup2(in, 0);
        ::dup2(out, 1);
        ::dup2(err, 2);
        ::setenv("LC_ALL", "en_US.UTF-8", 1);
        ::putenv(const_cast<char*>(config.c_str()));
        if (asNobody && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(121);
        ::execv(cargv[0], cargv.data());
        ::_exit(122);
    }
    if (options.SignalAfterMs >= 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(options.SignalAfterMs));
        ::kill(pid, options.Signal);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    CliRun r;
    r.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : WIFSIGNALED(status) ? -WTERMSIG(status) : -1;
    r.Out = ReadBytes(outPath);
    r.Err = ReadBytes(errPath);
    return r;
}

}  // namespace ardvel::test
