#include "cli/CliPrompt.h"

#include <unistd.h>

#include <iostream>

namespace ardvel::cli {

bool CliPrompt::Confirm(const std::string& text)
{
    err_ << text;
    if (answer_) {
        err_ << (*answer_ ? " Yes (--yes)\n" : " No (--no)\n");
        return *answer_;
    }
    if (terminal_ == Terminal::NotAsked) {
        err_ << " No (--yes answers Yes)\n";
        return false;
    }
    if (!::isatty(STDIN_FILENO) || !::isatty(STDERR_FILENO)) {
        err_ << " No (no terminal to ask; --yes answers Yes)\n";
        return false;
    }
    err_ << " [y/N] " << std::flush;
    std::string line;
    if (!std::getline(std::cin, line)) return false;
    return line == "y" || line == "Y" || line == "yes" || line == "Yes" || line == "YES";
}

}  // namespace ardvel::cli
