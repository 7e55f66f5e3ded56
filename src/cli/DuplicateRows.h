#pragma once

// The rows of duplicates and copies as CSV, JSON, JSON lines or
// NUL-terminated paths.

#include <cstddef>
#include <string>

#include "search/Duplicates.h"
#include "store/CatalogTree.h"
#include "store/RowWriter.h"

namespace ardvel::cli {

/// group, volume, path, name, size, size_kb, date:
/// - group: the group's number, from 1, in the order of the groups;
/// - volume: the name of the record's volume;
/// - path: the volume, the folders and the record's name joined by "/";
/// - name: the file's (with --folders the folder's) own name;
/// - size: bytes as recorded (size_kb * 1024); a folder's total;
/// - size_kb: the size in KB as stored; a folder's total;
/// - date: ISO 8601 local time with offset.
inline constexpr FieldInfo kDuplicateFields[] = {
    {"group", FieldType::Integer}, {"volume", FieldType::Text},  {"path", FieldType::Text},
    {"name", FieldType::Text},     {"size", FieldType::Integer}, {"size_kb", FieldType::Integer},
    {"date", FieldType::Date},
};
inline constexpr std::size_t kDuplicatePathField = 2;

class DuplicateRows {
public:
    DuplicateRows(const CatalogTree& tree, ByteSink& sink, RowFormat format)
        : tree_(tree), rows_(sink, format, kDuplicateFields, kDuplicatePathField)
    {
    }

    void Write(std::size_t group, const DuplicateRecord& record);
    /// Every record of every group, groups numbered from 1.
    void WriteAll(const DuplicateResult& result);
    void Finish() { rows_.Finish(); }

private:
    const CatalogTree& tree_;
    RowWriter rows_;
    NodeId pathNode_ = kNoNode;  ///< the folder whose "/" path `path_` holds
    std::string path_;
};

}  // namespace ardvel::cli
