#pragma once

// Running ardvel-cli as a child process for end-to-end tests: English list
// formats, a settings folder of the test's own, output caught in files.

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "core/TempDir.h"

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
};

/// Runs ardvel-cli with `args` and LC_ALL=en_US.UTF-8, XDG_CONFIG_HOME =
/// `home`/config; standard input from /dev/null.
inline CliRun RunCliIn(const TempDir& home, const std::vector<std::string>& args, CliRunOptions options = {})
{
    const std::string outPath = home.File("cli-out"), errPath = home.File("cli-err");
    const std::string config = "XDG_CONFIG_HOME=" + home.File("config");
    std::vector<std::string> argv{ARDVEL_CLI_PATH};
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
