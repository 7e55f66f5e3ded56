#pragma once

#include <string>
#include <string_view>

namespace ardvel {

/// A text as one field of a tab-separated line: tab, newline and backslash
/// are written as \t, \n and \\.
std::string EscapeTabField(std::string_view text);
/// EscapeTabField(text) appended to `out`.
void AppendTabField(std::string& out, std::string_view text);

}  // namespace ardvel
