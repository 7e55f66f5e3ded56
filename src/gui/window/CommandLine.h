#pragma once

#include <optional>
#include <ostream>

namespace ardvel::gui {

/// The options that print and end the program before any window is made,
/// so that they work without a display: --help (with the help page this
/// copy would open) and --version. Returns the exit status when one of them
/// was given.
std::optional<int> HandlePrintingOptions(int argc, const char* const* argv, std::ostream& out);

}  // namespace ardvel::gui
