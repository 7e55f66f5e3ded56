#pragma once

#include <string>
#include <string_view>

namespace ardvel {

/// Folder texts longer than this are shortened in the progress display.
inline constexpr std::size_t kProgressFolderWidth = 34;

/// The folder text of the progress display ("Current Folder:"): a text of
/// at most 34 characters as it is, a longer one as its first three
/// characters, " ..." and the part from its last "/" on ("/" included; the
/// whole text when it has none): /usr/share/doc/packages/zlib-devel/examples
/// shows as "/us .../examples". Characters are UTF-8 characters; a byte
/// that is no valid UTF-8 counts as one.
std::string ShortenFolderText(std::string_view folder);

}  // namespace ardvel
