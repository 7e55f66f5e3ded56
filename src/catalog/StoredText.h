#pragma once

// Texts as a catalog file gives them back. A tree filled by a scan holds the
// names the file system gave; a tree read from a catalog file holds them as
// stored. Comparing the two needs one form.

#include <string>
#include <string_view>

namespace ardvel {

/// True when `text` reads back from a catalog file exactly as it stands: no
/// byte 01 or 02, no trailing code <= 32, and valid UTF-8 when it has bytes
/// of 0x80 and above.
bool IsStoredForm(std::string_view text) noexcept;

/// `text` as a catalog file gives it back: bytes 01 and 02 blanked, trailing
/// codes <= 32 removed, then taken as Windows-1252 when it is not UTF-8.
std::string AsStored(std::string_view text);

}  // namespace ardvel
