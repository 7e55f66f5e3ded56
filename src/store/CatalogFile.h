#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/FileDescriptor.h"
#include "platform/SaveFile.h"
#include "store/CatalogTree.h"

namespace ardvel {

inline constexpr unsigned char kFolderRecordType = 0x02;
inline constexpr unsigned char kFileRecordType = 0x04;
/// The longest text a String element may hold when read; anything longer is
/// no catalog file.
inline constexpr std::size_t kMaxStoredText = 65536;

/// Reads one catalog file, a window of it at a time, so memory stays bounded
/// whatever the file holds. The texts handed out are views that stay valid
/// until the next record (or header) is read. Only a regular file is read:
/// anything else (a FIFO, a socket, a device, a folder) is refused without
/// waiting on it. A file that shrinks while it is read ends early, as a
/// shorter file would. Failures throw CatalogError with the runtime's text
/// and the file's path.
class CatalogReader {
public:
    explicit CatalogReader(std::string path);
    ~CatalogReader();
    CatalogReader(const CatalogReader&) = delete;
    CatalogReader& operator=(const CatalogReader&) = delete;

    bool AtEnd()
    {
        FillIfShort();
        return pos_ == end_;
    }
    const std::string& Path() const noexcept { return path_; }

    /// One String element: the text up to `StringEnd`, trailing codes <= 32
    /// removed; a text that is not valid UTF-8 converted from Windows-1252.
    std::string ReadString()
    {
        FillIfShort();
        return std::string(ReadStringView(0));
    }
    // The parts of a record, read after ReadString or ReadRecord began it.
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

    /// The most bytes one record (or the header) can take.
    static constexpr std::size_t kMaxRecordSize = 1 + 3 * (kMaxStoredText + 2 + 3) + 8;

private:
    std::string_view ReadStringView(int slot);
    [[noreturn]] void Fail(const char* message) const;
    /// Makes sure the window holds a whole record from pos_ on, or the rest
    /// of the file: moves what is left to the front and reads more.
    void Fill();
    void FillIfShort()
    {
        if (static_cast<std::size_t>(end_ - pos_) < kMaxRecordSize && !atEof_) Fill();
    }

    std::string path_;
    FileDescriptor fd_;
    std::unique_ptr<unsigned char[]> buffer_;
    std::size_t capacity_ = 0;
    long long offset_ = 0;  ///< of the file's next byte to read into the window
    bool atEof_ = false;
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

    /// Flushes, syncs, closes and renames the file into place. With
    /// NoReplace, a file that took the name meanwhile stays as it is and
    /// CatalogFileExists is thrown.
    void Commit(SaveFile::Publish how = SaveFile::Publish::Replace);

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
