#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ardvel {

/// The refusal of a name holding "~" followed by a digit.
inline constexpr const char* kTildeDigitRefusal = "fName cannot contain \"~\" character followed by number.";

/// The refusal of a name that can give no catalog file.
inline constexpr const char* kImproperVolumeName = "Improper name! Please choose another one!";
/// The longest file name the file systems take, in bytes.
inline constexpr std::size_t kMaxFileNameBytes = 255;

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

/// The stem for a name a volume is about to get, by cataloguing or by
/// renaming: EncodeVolumeName, and then kImproperVolumeName for a name that
/// is empty or blank (codes 32 and below only), holds a NUL or gives a file
/// name (stem and ".arv") longer than kMaxFileNameBytes. Such names would be
/// a hidden file, shown as a blank volume, or fail the save after the scan.
EncodedVolumeName EncodeNewVolumeName(std::string_view name);

/// The volume name of a catalog file name (its last four characters, the
/// extension, dropped): "~" and a digit run become the character of the run's
/// value modulo 256 when that lies in 34..124, else the run's last digit.
std::string DecodeVolumeName(std::string_view fileName);

}  // namespace ardvel
