#pragma once

#include <optional>
#include <ostream>
#include <string>

#include "catalog/UserPrompt.h"

namespace ardvel::cli {

/// Messages on stderr; a question answered by --yes/--no, else (when the
/// command asks on a terminal and has one) by the user, else No.
class CliPrompt final : public UserPrompt {
public:
    enum class Terminal : bool { NotAsked, Asked };
    CliPrompt(std::ostream& err, std::optional<bool> answer, Terminal terminal)
        : err_(err), answer_(answer), terminal_(terminal)
    {
    }

    void ShowError(const std::string& text) override { err_ << text << '\n'; }
    bool Confirm(const std::string& text) override;

private:
    std::ostream& err_;
    std::optional<bool> answer_;
    Terminal terminal_;
};

}  // namespace ardvel::cli
