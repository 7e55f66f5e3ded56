#pragma once

// One writer for every machine-readable list: the rows of a command or an
// export, as tab-separated lines, CSV, one JSON document, JSON lines or
// NUL-terminated paths. volumes, ls, search, dump and export write through
// it, and so do the lists that come later (duplicates, diff): a command
// declares its fields once and writes cells; the formats are all here.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "store/DateTime.h"
#include "store/OutputFile.h"

namespace ardvel {

enum class RowFormat {
    Tsv,    ///< tab-separated, tab/newline/backslash written \t \n \\, no header
    Csv,    ///< RFC 4180, a header row, CRLF line ends, UTF-8
    Json,   ///< one array of objects
    Jsonl,  ///< one object a line
    Null,   ///< the path field of each row, each followed by a NUL byte
};

/// "tsv", "csv", "json", "jsonl"; nullopt for anything else.
std::optional<RowFormat> ParseRowFormat(std::string_view name) noexcept;

/// The JSON type of a field, for the help texts.
enum class FieldType { Text, Integer, Boolean, Date };

struct FieldInfo {
    const char* Name;
    FieldType Type;
    bool Nullable = false;
};

/// Writes rows whose fields are given in the order of `fields`; each row is
/// its cells followed by EndRow. In CSV and TSV a null cell is empty and a
/// boolean is true/false; in JSON each cell has its JSON type. Output is
/// buffered and handed to the sink in large pieces; Finish ends the
/// document (the closing "]" of JSON) and hands over the rest.
class RowWriter {
public:
    /// `pathField` is the field the Null format writes.
    RowWriter(ByteSink& sink, RowFormat format, std::span<const FieldInfo> fields, std::size_t pathField = 0);
    ~RowWriter() = default;
    RowWriter(const RowWriter&) = delete;
    RowWriter& operator=(const RowWriter&) = delete;

    RowWriter& Text(std::string_view value);
    RowWriter& Integer(std::int64_t value);
    RowWriter& Boolean(bool value);
    /// ISO 8601 local time with offset.
    RowWriter& Date(TDateTime value);
    RowWriter& Null();
    void EndRow();
    void Finish();

    std::uint64_t Rows() const noexcept { return rows_; }

private:
    void BeginCell();
    void FlushIfFull();

    ByteSink& sink_;
    RowFormat format_;
    std::span<const FieldInfo> fields_;
    std::size_t pathField_;
    std::size_t cell_ = 0;
    std::uint64_t rows_ = 0;
    bool skipCell_ = false;
    bool finished_ = false;
    std::string buffer_;
    std::vector<std::string> keys_;  ///< JSON: "name": of each field, made once
};

}  // namespace ardvel
