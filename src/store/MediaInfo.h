#pragma once

// The media information of MP3 files: artist and title from the ID3v2
// (versions 2.2, 2.3, 2.4) or ID3v1 tag, or the file name for an untagged
// file. All texts are UTF-8.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "store/FrameText.h"
#include "store/Records.h"

namespace ardvel {

/// While one lives on a thread, TTagFile opens a path FOLDER/NAME of that
/// thread (FOLDER as given here, NAME without a '/') relative to
/// `folderFd`, the open folder a scan is listing, rather than walking the
/// whole path again for every file. They nest; the latest holds.
class TagFolder {
public:
    TagFolder(int folderFd, std::string_view folderPath) noexcept;
    ~TagFolder();
    TagFolder(const TagFolder&) = delete;
    TagFolder& operator=(const TagFolder&) = delete;

    /// When `path` names a file right in the folder of this thread's latest
    /// TagFolder: the folder's descriptor and the file's name within it.
    static bool Relative(const std::string& path, int& folderFd, const char*& name) noexcept;

private:
    int fd_;
    std::string_view path_;
    const TagFolder* previous_;
};

/// A file opened read-only for reading its tags, with its length. Reads go
/// through one window of kWindowSize bytes, so that the tag header and the
/// frames next to it cost one system call, and whatever lies between two
/// reads is skipped rather than read.
class TTagFile {
public:
    static constexpr std::size_t kWindowSize = 4096;

    /// Opens `path`; IsOpen() tells whether that worked. Never throws.
    explicit TTagFile(const std::string& path) noexcept;
    ~TTagFile();
    TTagFile(const TTagFile&) = delete;
    TTagFile& operator=(const TTagFile&) = delete;

    bool IsOpen() const noexcept { return fd_ >= 0; }

    /// The file's length in bytes, or -1 when it is not known.
    std::int64_t Length() const noexcept { return length_; }

    /// Up to `count` bytes (at most kWindowSize) from `offset`: fewer at the
    /// end of the file, none on a read error. The bytes stay valid until the
    /// next call.
    std::span<const unsigned char> Read(std::int64_t offset, std::size_t count);

private:
    bool FillWindow(std::int64_t offset);

    int fd_ = -1;
    std::int64_t length_ = -1;
    std::int64_t windowStart_ = 0;
    std::size_t windowSize_ = 0;
    bool windowValid_ = false;
    bool windowReachesEnd_ = false;
    std::array<unsigned char, kWindowSize> window_{};
};

/// The ID3v2 tag reader: one per file.
class TID3v2 {
public:
    /// Number of rows of the frame table.
    static constexpr std::size_t kFrameSlots = 16;

    /// Clears every field, then reads the tag header of `path` and, for
    /// versions 2.2 to 2.4 whose size fits in the file, the frames. Returns
    /// true when the 10 header bytes could be read. Never throws for I/O: a
    /// file that cannot be opened or read has no header.
    bool ReadTag(const std::string& path);
    /// The same through a file that is already open (and stays open).
    bool ReadTag(TTagFile& file);

    /// True when the file begins with "ID3".
    bool Found() const noexcept { return found_; }
    /// The header's major version byte (3 for ID3v2.3).
    std::uint8_t MajorVersion() const noexcept { return majorVersion_; }
    /// The whole tag's size in bytes, header and footer included; 0 when
    /// the header gives a size larger than the file.
    std::int64_t TagSize() const noexcept { return tagSize_; }
    /// The title ("TIT2", else "TIT1"), empty when the tag gives none.
    const std::string& DecodedTitle() const noexcept { return decodedTitle_; }
    /// The artist ("TPE1", else "TOPE"), empty when the tag gives none.
    const std::string& DecodedArtist() const noexcept { return decodedArtist_; }

private:
    void Reset();
    void ScanFrames(TTagFile& file);

    bool found_ = false;
    std::uint8_t majorVersion_ = 0;
    std::int64_t tagSize_ = 0;
    std::string decodedTitle_;
    std::string decodedArtist_;
    /// One frame text per row of the frame table: the first kFrameTextSize
    /// bytes of the body of the last frame of that kind, zero-padded.
    std::array<std::string, kFrameSlots> frameText_;
};

/// The ID3v1 block at the end of a file, in fixed-width fields that hold
/// their full width of bytes, padding included.
struct TID3v1Info {
    bool Found = false;  ///< the block begins with "TAG"
    std::array<char, 3> Header{};
    std::array<char, kV1FieldSize> Title{};
    std::array<char, kV1FieldSize> Artist{};
    std::array<char, kV1FieldSize> Album{};
    std::array<char, 4> Year{};
    std::array<char, kV1FieldSize> Comment{};
    unsigned char Genre = 0;
};

/// Reads the last 128 bytes of `path` (of a shorter file, all of it from the
/// start, the rest of the block being zero bytes). Throws CatalogError
/// "Cannot open file PATH" when the file cannot be opened; a failed read
/// leaves the block zero.
TID3v1Info ReadID3v1(const std::string& path);
/// The same through a file that is already open (and stays open).
TID3v1Info ReadID3v1(TTagFile& file);

/// The media text of an MP3 file without tags: `name` without its last four
/// characters (the ".mp3"), empty for a name of four characters or fewer. A
/// byte that is not valid UTF-8 counts as one character.
std::string UntaggedMediaText(std::string_view name);

/// The media information of the MP3 file at `path`:
/// - with an ID3v2 header, its artist and title, the ID3v1 block not read;
/// - else with an ID3v1 block, its artist and title fields;
/// - in both cases ArtistText = the artist or "Unknown Artist" and
///   TitleText = " - " followed by the title or "Untitled";
/// - without either tag, ArtistText = the last path component without its
///   last 4 characters (the ".mp3") and TitleText empty.
/// Throws CatalogError "Cannot open file PATH" when the file cannot be opened.
TMediaInfo ReadMediaInfo(const std::string& path);

}  // namespace ardvel
