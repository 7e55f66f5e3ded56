#include "store/RowWriter.h"

#include "store/ExportFormats.h"
#include "store/TabFields.h"

namespace ardvel {

namespace {

constexpr std::size_t kFlushSize = 1 << 16;

}  // namespace

std::optional<RowFormat> ParseRowFormat(std::string_view name) noexcept
{
    if (name == "tsv") return RowFormat::Tsv;
    if (name == "csv") return RowFormat::Csv;
    if (name == "json") return RowFormat::Json;
    if (name == "jsonl") return RowFormat::Jsonl;
    return std::nullopt;
}

RowWriter::RowWriter(ByteSink& sink, RowFormat format, std::span<const FieldInfo> fields, std::size_t pathField)
    : sink_(sink), format_(format), fields_(fields), pathField_(pathField)
{
    buffer_.reserve(kFlushSize + 4096);
    if (format_ == RowFormat::Csv) {
        for (std::size_t i = 0; i < fields_.size(); ++i) {
            if (i > 0) buffer_ += ',';
            AppendCsvField(buffer_, fields_[i].Name);
        }
        buffer_ += "\r\n";
    } else if (format_ == RowFormat::Json) {
        buffer_ += '[';
    }
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        std::string key = i == 0 ? "{" : ",";
        AppendJsonString(key, fields_[i].Name);
        keys_.push_back(key + ':');
    }
}

void RowWriter::BeginCell()
{
    skipCell_ = false;
    switch (format_) {
        case RowFormat::Tsv:
            if (cell_ > 0) buffer_ += '\t';
            break;
        case RowFormat::Csv:
            if (cell_ > 0) buffer_ += ',';
            break;
        case RowFormat::Json:
        case RowFormat::Jsonl:
            if (cell_ == 0 && format_ == RowFormat::Json) buffer_ += rows_ == 0 ? "\n" : ",\n";
            buffer_ += keys_[cell_];
            break;
        case RowFormat::Null:
            skipCell_ = cell_ != pathField_;
            break;
    }
    ++cell_;
}

RowWriter& RowWriter::Text(std::string_view value)
{
    BeginCell();
    if (skipCell_) return *this;
    switch (format_) {
        case RowFormat::Tsv:
            AppendTabField(buffer_, value);
            break;
        case RowFormat::Csv:
            AppendCsvField(buffer_, value);
            break;
        case RowFormat::Json:
        case RowFormat::Jsonl:
            AppendJsonString(buffer_, value);
            break;
        case RowFormat::Null:
            AppendValidUtf8(buffer_, value.substr(0, value.find('\0')));
            break;
    }
    return *this;
}

RowWriter& RowWriter::Integer(std::int64_t value)
{
    BeginCell();
    if (!skipCell_) AppendInteger(buffer_, value);
    return *this;
}

RowWriter& RowWriter::Boolean(bool value)
{
    BeginCell();
    if (!skipCell_) buffer_ += value ? "true" : "false";
    return *this;
}

RowWriter& RowWriter::Date(TDateTime value)
{
    BeginCell();
    if (skipCell_) return *this;
    const bool quoted = format_ == RowFormat::Json || format_ == RowFormat::Jsonl;
    if (quoted) buffer_ += '"';
    AppendIsoDate(buffer_, value);
    if (quoted) buffer_ += '"';
    return *this;
}

RowWriter& RowWriter::Null()
{
    BeginCell();
    if (!skipCell_ && (format_ == RowFormat::Json || format_ == RowFormat::Jsonl)) buffer_ += "null";
    return *this;
}

void RowWriter::EndRow()
{
    switch (format_) {
        case RowFormat::Tsv:
            buffer_ += '\n';
            break;
        case RowFormat::Csv:
            buffer_ += "\r\n";
            break;
        case RowFormat::Json:
            buffer_ += '}';
            break;
        case RowFormat::Jsonl:
            buffer_ += "}\n";
            break;
        case RowFormat::Null:
            buffer_ += '\0';
            break;
    }
    cell_ = 0;
    ++rows_;
    FlushIfFull();
}

void RowWriter::FlushIfFull()
{
    if (buffer_.size() < kFlushSize) return;
    sink_.Write(buffer_);
    buffer_.clear();
}

void RowWriter::Finish()
{
    if (finished_) return;
    finished_ = true;
    if (format_ == RowFormat::Json) buffer_ += rows_ == 0 ? "]\n" : "\n]\n";
    sink_.Write(buffer_);
    buffer_.clear();
}

}  // namespace ardvel
