#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace ardvel {

/// True when every byte sequence of `text` is well-formed UTF-8
/// (no overlongs, no surrogates, nothing above U+10FFFF).
bool IsValidUtf8(std::string_view text) noexcept;

/// Length in bytes of the well-formed UTF-8 sequence that starts `text`,
/// or 0 when the first byte does not start one (or `text` is empty).
std::size_t Utf8SequenceLength(std::string_view text) noexcept;

/// Appends the UTF-8 form of code point `cp` to `out`.
void AppendUtf8(std::string& out, char32_t cp);

/// The Unicode code point of a Windows-1252 byte. The five bytes that the
/// code page leaves undefined (81, 8D, 8F, 90, 9D) keep their own value.
char32_t Windows1252ToCodePoint(unsigned char byte) noexcept;

/// Converts Windows-1252 text to UTF-8.
std::string Windows1252ToUtf8(std::string_view text);

/// Text that is valid UTF-8 is returned as it is; any other text is taken
/// as Windows-1252 (a catalog made on an 8-bit system) and converted.
std::string Utf8OrWindows1252(std::string_view text);

/// Decodes one character at `pos` in `text`: valid UTF-8 gives its code point,
/// any other byte counts as one character holding that byte's value.
/// Advances `pos` past the character.
char32_t DecodeCharacter(std::string_view text, std::size_t& pos) noexcept;

/// Number of characters in `text`, counting each byte that is not part of a
/// valid UTF-8 sequence as one character.
std::size_t CharacterCount(std::string_view text) noexcept;

}  // namespace ardvel
