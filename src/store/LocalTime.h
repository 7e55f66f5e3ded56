#pragma once

// Catalog dates (local time without a zone) against the clock of the world:
// ISO 8601 with the offset, Unix times both ways. Exports and imports
// convert a date per record, so offsets are looked up once per day.

#include <cstdint>
#include <string>

#include "store/DateTime.h"

namespace ardvel {

/// Appends `date` (local time) as "2005-01-17T17:32:32+01:00": whole
/// seconds, the offset from UTC that the system's time zone had then.
void AppendIsoDate(std::string& out, TDateTime date);
std::string IsoDate(TDateTime date);

/// Seconds east of UTC of the system's time zone at that local date-time.
/// A local time that a clock change skipped is taken with the offset
/// before the change.
long LocalUtcOffset(const DateTimeFields& fields);

/// The Unix time (seconds since 1970 UTC) of a local date-time, whole
/// seconds.
std::int64_t LocalDateTimeToUnix(TDateTime date);

/// A Unix time as a scan keeps a file's time: local, whole even seconds,
/// clamped to the dates a catalog file holds (1980-01-01 00:00:00 to
/// 2107-12-31 23:59:58). The same value as
/// DosToDateTime(DateTimeToDos(UnixToLocalDateTime(t))).
TDateTime UnixToCatalogDate(std::int64_t t);

}  // namespace ardvel
