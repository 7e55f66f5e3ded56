#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace ardvel {

/// Size of the buffer that holds one ID3v2 frame body: the frame scan reads at
/// most this many bytes of a body and pads the rest with zero bytes.
inline constexpr std::size_t kFrameTextSize = 500;

/// Width of an ID3v1 text field (title, artist, album, comment).
inline constexpr std::size_t kV1FieldSize = 30;

/// The UTF-8 text of an ID3v2 text frame body. Byte 0 is the frame's text
/// encoding; what follows it is decoded by that encoding:
///
/// - 1 (UTF-16 with byte-order mark): (size - 1) / 2 code units from the
///   bytes behind the encoding byte. A first unit FF FE or none marks
///   little-endian, FE FF big-endian; the mark is consumed.
/// - 2 (UTF-16 big-endian, no mark): (size - 1) / 2 big-endian units.
///   For both UTF-16 encodings the text ends at the first zero unit, a
///   surrogate pair gives one character and an unpaired surrogate U+FFFD.
/// - 3 (UTF-8): taken as it is, zero bytes included; a sequence cut off by the
///   end of `text` (the body buffer's limit) is dropped, and any other byte
///   that is not valid UTF-8 is read as Windows-1252.
/// - anything else (0, ISO-8859-1 in the format, read as Windows-1252 here):
///   every byte converted, zero bytes included, so a list of several values
///   keeps its separators.
///
/// A leading U+FEFF of the decoded text is dropped, then every leading and
/// trailing character of code 32 or less (the encoding byte 0 and the zero
/// padding among them).
std::string DecodeFrameText(std::string_view text);

/// The UTF-8 text of an ID3v1 field: the bytes from the start of the field
/// that are printable ASCII (32 to 126) or 192 to 255, up to the first byte
/// that is not; taken as Windows-1252, and with spaces trimmed at both ends.
/// A zero byte, a control character or a byte such as 0xA9 ends the text.
std::string CleanV1Text(std::string_view field);

}  // namespace ardvel
