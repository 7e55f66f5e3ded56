#pragma once

// The change lines of diff and update, and diff's machine-readable rows.

#include <iosfwd>
#include <string_view>

#include "catalog/CompareTrees.h"
#include "platform/Locale.h"
#include "store/RowWriter.h"

namespace ardvel::cli {

/// One change as a line: "+<TAB>PATH", "-<TAB>PATH" or
/// "~<TAB>PATH<TAB>OLD SIZE<TAB>NEW SIZE<TAB>OLD DATE<TAB>NEW DATE", sizes and
/// dates in the list formats of `locale`, fields escaped.
void WriteChangeLine(std::ostream& out, const TreeChange& change, const Locale& locale);

/// change, folder, volume, path, old_size, old_size_kb, new_size,
/// new_size_kb, old_date, new_date:
/// - change: "added", "removed" or "changed";
/// - folder: true for a folder added or removed with all inside it;
/// - volume: the volume compared (the first one named);
/// - path: the volume, the folders and the entry's name joined by "/";
/// - old_*: the record before (removed and changed entries), new_*: after
///   (added and changed entries), null on the side that lacks it; sizes in
///   bytes as recorded (size_kb * 1024) and in KB as stored, null for
///   folders; dates ISO 8601 local time with offset.
inline constexpr FieldInfo kChangeFields[] = {
    {"change", FieldType::Text},
    {"folder", FieldType::Boolean},
    {"volume", FieldType::Text},
    {"path", FieldType::Text},
    {"old_size", FieldType::Integer, true},
    {"old_size_kb", FieldType::Integer, true},
    {"new_size", FieldType::Integer, true},
    {"new_size_kb", FieldType::Integer, true},
    {"old_date", FieldType::Date, true},
    {"new_date", FieldType::Date, true},
};
inline constexpr std::size_t kChangePathField = 3;

/// One change as a row of kChangeFields, below the volume named `volume`.
void WriteChangeRow(RowWriter& rows, const TreeChange& change, std::string_view volume);

}  // namespace ardvel::cli
