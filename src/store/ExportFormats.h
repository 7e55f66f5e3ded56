#pragma once

// The text forms that machine-readable output shares: JSON strings, CSV
// fields, UTF-8 with replacement, numbers (dates: store/LocalTime.h).

#include <cstdint>
#include <string>
#include <string_view>

#include "store/LocalTime.h"

namespace ardvel {

/// Appends `text` as a JSON string, quotes included: `"` and `\` escaped,
/// control characters as \b \f \n \r \t or \u00XX, everything else as
/// UTF-8. Each byte that does not belong to a well-formed UTF-8 sequence
/// (as texts of old catalogs may hold) becomes U+FFFD, so the output is
/// always valid UTF-8.
void AppendJsonString(std::string& out, std::string_view text);

/// Appends `text` as one CSV field (RFC 4180): quoted, with quotes doubled,
/// when it holds a comma, a quote, CR or LF; bytes that are not UTF-8
/// become U+FFFD as in JSON.
void AppendCsvField(std::string& out, std::string_view text);

/// Appends `text` with every byte that is not part of a well-formed UTF-8
/// sequence replaced by U+FFFD.
void AppendValidUtf8(std::string& out, std::string_view text);

/// Appends a whole number in decimal.
void AppendInteger(std::string& out, std::int64_t value);

/// The title of a media record as a field of its own: TitleText without the
/// " - " that joins it to the artist in the media text.
std::string_view BareTitle(std::string_view titleText) noexcept;

}  // namespace ardvel
