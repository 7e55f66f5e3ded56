#pragma once

// The text forms that machine-readable output shares: ISO 8601 dates with
// the local offset, JSON strings, CSV fields and "/" paths.

#include <cstdint>
#include <string>
#include <string_view>

#include "store/DateTime.h"

namespace ardvel {

/// Appends `date` (local time) as "2005-01-17T17:32:32+01:00": whole
/// seconds, the offset from UTC that the system's time zone had then.
void AppendIsoDate(std::string& out, TDateTime date);
std::string IsoDate(TDateTime date);

/// The Unix time (seconds since 1970 UTC) of a local date-time, whole
/// seconds. A local time that a clock change skipped is taken with the
/// offset before the change.
std::int64_t LocalDateTimeToUnix(TDateTime date);

/// Seconds east of UTC of the system's time zone at that local date-time.
long LocalUtcOffset(const DateTimeFields& fields);

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
