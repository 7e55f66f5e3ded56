#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/SaveFile.h"
#include "store/CatalogTree.h"

namespace ardvel {

inline constexpr unsigned char kFolderRecordType = 0x02;
inline constexpr unsigned char kFileRecordType = 0x04;
/// The longest text a String element may hold when read; anything longer is
/// no catalog file.
inline constexpr std::size_t kMaxStoredText = 65536;

/// Reads one catalog file. The file is mapped whole, so the texts handed out
/// are views that stay valid while the reader lives (a text that needed
/// converting from Windows-1252 lives in a scratch buffer until the next
/// read of its kind). Failures throw CatalogError with the runtime's text and
/// the file's path.
class CatalogReader {
public:
    explicit CatalogReader(std::string path);
    ~CatalogReader();
    CatalogReader(const CatalogReader&) = delete;
    CatalogReader& operator=(const CatalogReader&) = delete;

    bool AtEnd() const noexcept { return pos_ == end_; }
    const std::string& Path() const noexcept { return path_; }

    /// One String element: the text up to `StringEnd`, trailing codes <= 32
    /// removed; a text that is not valid UTF-8 converted from Windows-1252.
    std::string ReadString() { return std::string(ReadStringView(0)); }
    std::uint8_t ReadByte();
    std::int32_t ReadInt32();
    /// A DOS date-time as TDateTime.
    TDateTime ReadDate();

    /// The header: the source label (returned through `label` when given)
    /// and a new TFolderInfo with the volume's date.
    TFolderInfo ReadHeader(std::string* label = nullptr);

    /// One record after its type byte, as read.
    struct Record {
        bool IsFolder = false;
        std::string_view Name;
        TDateTime Date = 0;
        std::int32_t Level = 0;   ///< folder records
        std::int32_t SizeKB = 0;  ///< file records
        bool HasMedia = false;
        std::string_view ArtistText, TitleText;
    };
    /// Reads the next folder or file record, skipping stray bytes before its
    /// type byte; false at the end of the file.
    bool ReadRecord(Record& record);

    /// Reads every record into the volume node `volume` of `tree`: a folder
    /// record's level places it (climbing back to the ancestor of level
    /// L - 1, never above the volume), a file record joins the most recent
    /// folder. What was built stays when a failure is thrown.
    void ReadTree(CatalogTree& tree, NodeId volume);

private:
    std::string_view ReadStringView(int slot);
    [[noreturn]] void Fail(const char* message) const;

    std::string path_;
    const unsigned char* data_ = nullptr;
    std::size_t size_ = 0;
    const unsigned char* pos_ = nullptr;
    const unsigned char* end_ = nullptr;
    std::string scratch_[3];
    std::uint32_t lastDos_ = 0;
    TDateTime lastDate_ = 0;
    bool haveLastDate_ = false;
};

/// Writes one catalog file. Everything goes to a temporary file beside the
/// target, which `Commit` flushes to disk and renames into place; a writer
/// destroyed without a commit removes its temporary file, so a failed save
/// leaves neither a partial catalog nor litter.
class CatalogWriter {
public:
    explicit CatalogWriter(std::string path);
    ~CatalogWriter();
    CatalogWriter(const CatalogWriter&) = delete;
    CatalogWriter& operator=(const CatalogWriter&) = delete;

    /// Text bytes 01 and 02 are written as blanks, so `StringEnd` can never
    /// appear inside a stored text.
    void WriteString(std::string_view text);
    void WriteByte(std::uint8_t value);
    void WriteInt32(std::int32_t value);
    void WriteDate(TDateTime value);
    void WriteHeader(std::string_view label, TDateTime date);
    void WriteFolder(std::string_view name, TDateTime date);
    /// A whole file record; the media strings are written exactly when the
    /// name as the reader will see it has the extension ".mp3".
    void WriteFileRecord(const VolumeStore& store, const TDetails& details);
    /// The files of `node`, then each child folder's record (with `level`)
    /// followed by its own walk: depth first, pre-order.
    void WriteTree(const CatalogTree& tree, NodeId node);

    /// Flushes, syncs, closes and renames the file into place.
    void Commit();

private:
    void Put(const void* data, std::size_t size);
    void Flush();
    [[noreturn]] void Fail(int error);

    std::string path_;
    SaveFile file_;
    bool open_ = false;
    std::string buffer_;
};

/// The name of a file record or folder as a catalog file gives it back.
std::string StoredName(std::string_view name);

}  // namespace ardvel
