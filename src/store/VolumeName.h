#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ardvel {

/// The refusal of a name holding "~" followed by a digit.
inline constexpr const char* kTildeDigitRefusal = "fName cannot contain \"~\" character followed by number.";

/// The result of EncodeVolumeName: the file name stem, or a refusal whose
/// message the caller shows.
struct EncodedVolumeName {
    bool Refused = false;
    std::string Stem;
    std::string Message;  ///< set when refused
};

/// Encodes a volume name as a catalog file name stem: each of \ / : * ? " < > |
/// becomes "~" and its decimal code. A name holding "~" immediately followed
/// by a digit is refused (empty stem). The empty name gives the empty stem.
EncodedVolumeName EncodeVolumeName(std::string_view name);

/// The volume name of a catalog file name (its last four characters, the
/// extension, dropped): "~" and a digit run become the character of the run's
/// value modulo 256 when that lies in 34..124, else the run's last digit.
std::string DecodeVolumeName(std::string_view fileName);

}  // namespace ardvel
