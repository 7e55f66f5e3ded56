#pragma once

// The machine-readable row of a catalog entry (a volume, folder or file),
// shared by every list of entries and by the CSV and JSON exports.

#include <cstdint>
#include <string>
#include <string_view>

#include "store/CatalogFile.h"
#include "store/CatalogTree.h"
#include "store/RowWriter.h"

namespace ardvel {

/// type, volume, path, name, size, size_kb, date, artist, title:
/// - type: "volume", "folder" or "file";
/// - path: the volume name, then the folders and the entry's name, joined
///   by "/" (the volume as the first component; a volume's path is its name);
/// - size: bytes as recorded (size_kb * 1024), null for volumes and folders;
/// - size_kb: the stored size in KB, null for volumes and folders;
/// - date: ISO 8601 local time with offset;
/// - artist, title: the media texts of MP3 files (the title without the
///   " - " that joins it to the artist), null for other entries.
inline constexpr FieldInfo kEntryFields[] = {
    {"type", FieldType::Text}, {"volume", FieldType::Text},        {"path", FieldType::Text},
    {"name", FieldType::Text}, {"size", FieldType::Integer, true}, {"size_kb", FieldType::Integer, true},
    {"date", FieldType::Date}, {"artist", FieldType::Text, true},  {"title", FieldType::Text, true},
};
inline constexpr std::size_t kEntryPathField = 2;

enum class EntryType { Volume, Folder, File };

struct EntryRow {
    EntryType Type = EntryType::File;
    std::string_view Volume;
    std::string_view Path;
    std::string_view Name;
    std::int32_t SizeKB = 0;  ///< files only
    TDateTime Date = 0;
    bool HasMedia = false;
    std::string_view ArtistText, TitleText;
};

/// A RowWriter for entry rows.
inline RowWriter EntryRowWriter(ByteSink& sink, RowFormat format)
{
    return RowWriter(sink, format, kEntryFields, kEntryPathField);
}

void WriteEntry(RowWriter& rows, const EntryRow& entry);

/// The "/" path of a node: its volume's name and the folders down to it.
std::string EntryPathOf(const CatalogTree& tree, NodeId node);

/// The rows of one catalog file as it reads: the volume (named `volume`,
/// dated by the header), then each record in file order, files with the
/// path of the folder they belong to. Read failures throw CatalogError
/// after the rows read so far.
void WriteCatalogEntries(CatalogReader& reader, std::string_view volume, RowWriter& rows);

/// The rows of a volume of the tree in the same order as its catalog file:
/// the volume, then depth first each node's files before its folders.
void WriteVolumeEntries(const CatalogTree& tree, NodeId volume, RowWriter& rows);

}  // namespace ardvel
