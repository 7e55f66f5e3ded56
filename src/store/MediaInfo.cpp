#include "store/MediaInfo.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string_view>

#include "platform/TextEncoding.h"
#include "store/CatalogError.h"

namespace ardvel {

namespace {

constexpr std::size_t kTagHeaderSize = 10;
constexpr std::size_t kFooterSize = 10;
constexpr unsigned char kFooterPresentFlag = 0x10;
constexpr std::size_t kV1BlockSize = 128;

constexpr std::string_view kUnknownArtist = "Unknown Artist";
constexpr std::string_view kUntitled = "Untitled";
constexpr std::string_view kTitleSeparator = " - ";

/// The frame table: one row per frame kind, the identifier of versions 2.3
/// and 2.4 and that of version 2.2.
struct FrameKind {
    char Modern[5];
    char V22[4];
};
constexpr FrameKind kFrameTable[TID3v2::kFrameSlots] = {
    {"TIT2", "TT2"}, {"TPE1", "TP1"}, {"TALB", "TAL"}, {"TRCK", "TRK"}, {"TYER", "TYE"}, {"TCON", "TCO"},
    {"COMM", "COM"}, {"TCOM", "TCM"}, {"TENC", "TEN"}, {"TCOP", "TCR"}, {"TLAN", "TLA"}, {"WXXX", "WXX"},
    {"TDRC", "TOR"}, {"TOPE", "TOA"}, {"TIT1", "TT1"}, {"TOAL", "TOT"},
};
constexpr std::size_t kTitleSlot = 0;
constexpr std::size_t kArtistSlot = 1;
constexpr std::size_t kOriginalArtistSlot = 13;
constexpr std::size_t kContentGroupSlot = 14;

/// The row of the frame table for `id` (3 bytes for version 2.2, else 4),
/// or kFrameSlots when the frame is not in it.
std::size_t FindFrameSlot(const unsigned char* id, bool v22) noexcept
{
    for (std::size_t slot = 0; slot < TID3v2::kFrameSlots; ++slot) {
        const char* name = v22 ? kFrameTable[slot].V22 : kFrameTable[slot].Modern;
        if (std::memcmp(id, name, v22 ? 3 : 4) == 0) return slot;
    }
    return TID3v2::kFrameSlots;
}

/// The working record of one file: the tag header as it stands.
struct TagInfo {
    unsigned char Identifier[3];
    std::uint8_t MajorVersion;
    std::uint8_t RevisionNumber;
    unsigned char HeaderFlags;
    unsigned char SyncsafeSize[4];
    std::int64_t FileLength;
};

std::uint32_t BigEndian32(const unsigned char* b) noexcept
{
    return std::uint32_t{b[0]} << 24 | std::uint32_t{b[1]} << 16 | std::uint32_t{b[2]} << 8 | b[3];
}

std::string_view FieldView(const auto& field) noexcept
{
    return std::string_view(field.data(), field.size());
}

std::string_view LastComponent(std::string_view path) noexcept
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string CannotOpenMessage(const std::string& path)
{
    return "Cannot open file " + path;
}

}  // namespace

std::string UntaggedMediaText(std::string_view name)
{
    std::size_t starts[4] = {0, 0, 0, 0};  // where the last four characters begin
    std::size_t count = 0;
    for (std::size_t pos = 0; pos < name.size(); ++count) {
        starts[count % 4] = pos;
        DecodeCharacter(name, pos);
    }
    if (count <= 4) return {};
    return std::string(name.substr(0, starts[(count - 4) % 4]));
}

// ---------------------------------------------------------------------------
// TagFolder

namespace {
thread_local const TagFolder* t_tagFolder = nullptr;
}  // namespace

TagFolder::TagFolder(int folderFd, std::string_view folderPath) noexcept
    : fd_(folderFd), path_(folderPath), previous_(t_tagFolder)
{
    t_tagFolder = this;
}

TagFolder::~TagFolder()
{
    t_tagFolder = previous_;
}

bool TagFolder::Relative(const std::string& path, int& folderFd, const char*& name) noexcept
{
    const TagFolder* folder = t_tagFolder;
    if (folder == nullptr || folder->fd_ < 0 || folder->path_.empty()) return false;
    const std::string_view prefix = folder->path_;
    if (!std::string_view(path).starts_with(prefix)) return false;
    std::size_t begin = prefix.size();
    if (prefix.back() != '/') {
        if (begin >= path.size() || path[begin] != '/') return false;
        ++begin;
    }
    if (begin >= path.size() || path.find('/', begin) != std::string::npos) return false;
    folderFd = folder->fd_;
    name = path.c_str() + begin;
    return true;
}

// ---------------------------------------------------------------------------
// TTagFile

// Tags are only read: a plain read-only open, which lets other programs go
// on reading and writing the file (Linux has no share modes to ask for).
TTagFile::TTagFile(const std::string& path) noexcept
{
    int folderFd;
    const char* name;
    if (TagFolder::Relative(path, folderFd, name))
        fd_ = ::openat(folderFd, name, O_RDONLY | O_CLOEXEC);
    else
        fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) return;
    struct stat info {};
    if (::fstat(fd_, &info) == 0) length_ = info.st_size;
}

TTagFile::~TTagFile()
{
    if (fd_ >= 0) ::close(fd_);
}

bool TTagFile::FillWindow(std::int64_t offset)
{
    windowStart_ = offset;
    windowSize_ = 0;
    windowValid_ = false;
    windowReachesEnd_ = false;
    while (windowSize_ < kWindowSize) {
        const ssize_t got = ::pread(fd_, window_.data() + windowSize_, kWindowSize - windowSize_,
                                    static_cast<off_t>(offset + static_cast<std::int64_t>(windowSize_)));
        if (got < 0) {
            if (errno == EINTR) continue;
            windowSize_ = 0;
            return false;
        }
        windowSize_ += static_cast<std::size_t>(got);
        // A short read of a regular file is its end; only ask again when
        // the length says that more is there.
        const std::int64_t reached = offset + static_cast<std::int64_t>(windowSize_);
        if (got == 0 || (windowSize_ < kWindowSize && (length_ < 0 || reached >= length_))) {
            windowReachesEnd_ = true;
            break;
        }
    }
    windowValid_ = true;
    return true;
}

std::span<const unsigned char> TTagFile::Read(std::int64_t offset, std::size_t count)
{
    if (fd_ < 0 || offset < 0) return {};
    count = std::min(count, kWindowSize);
    const std::int64_t windowEnd = windowStart_ + static_cast<std::int64_t>(windowSize_);
    if (!(windowValid_ && offset >= windowStart_ && offset <= windowEnd &&
          (offset + static_cast<std::int64_t>(count) <= windowEnd || windowReachesEnd_))) {
        if (!FillWindow(offset)) return {};
    }
    const std::size_t skip = static_cast<std::size_t>(offset - windowStart_);
    return std::span<const unsigned char>(window_.data() + skip, std::min(count, windowSize_ - skip));
}

// ---------------------------------------------------------------------------
// TID3v2

void TID3v2::Reset()
{
    found_ = false;
    majorVersion_ = 0;
    tagSize_ = 0;
    decodedTitle_.clear();
    decodedArtist_.clear();
    for (std::string& text : frameText_) text.clear();
}

bool TID3v2::ReadTag(const std::string& path)
{
    TTagFile file(path);
    return ReadTag(file);
}

bool TID3v2::ReadTag(TTagFile& file)
{
    Reset();
    const std::span<const unsigned char> header = file.Read(0, kTagHeaderSize);
    if (header.size() < kTagHeaderSize || file.Length() < 0) return false;

    TagInfo info{};
    std::memcpy(info.Identifier, header.data(), 3);
    info.MajorVersion = header[3];
    info.RevisionNumber = header[4];
    info.HeaderFlags = header[5];
    std::memcpy(info.SyncsafeSize, header.data() + 6, 4);
    info.FileLength = file.Length();

    if (std::memcmp(info.Identifier, "ID3", 3) != 0) return true;
    found_ = true;
    majorVersion_ = info.MajorVersion;

    // The size bytes enter with their whole value: a top bit that the
    // format forbids is not masked away, so such a tag is larger than the
    // file and yields nothing. The footer counts in every version.
    const unsigned char* b = info.SyncsafeSize;
    std::int64_t size = (std::int64_t{b[0]} << 21) + (std::int64_t{b[1]} << 14) + (std::int64_t{b[2]} << 7) + b[3] +
                        static_cast<std::int64_t>(kTagHeaderSize);
    if (info.HeaderFlags & kFooterPresentFlag) size += static_cast<std::int64_t>(kFooterSize);
    tagSize_ = size > info.FileLength ? 0 : size;

    if (majorVersion_ >= 2 && majorVersion_ <= 4 && tagSize_ > 0) ScanFrames(file);

    decodedTitle_ = DecodeFrameText(frameText_[kTitleSlot]);
    if (decodedTitle_.empty()) decodedTitle_ = DecodeFrameText(frameText_[kContentGroupSlot]);
    decodedArtist_ = DecodeFrameText(frameText_[kArtistSlot]);
    if (decodedArtist_.empty()) decodedArtist_ = DecodeFrameText(frameText_[kOriginalArtistSlot]);
    return true;
}

// Frames follow the header directly: the extended header is not skipped
// (its size bytes end the scan as foreign data), unsynchronisation is not
// undone and frame flags are not looked at. Only the first kFrameTextSize
// bytes of a body are read; the rest is skipped.
void TID3v2::ScanFrames(TTagFile& file)
{
    const bool v22 = majorVersion_ == 2;
    const std::size_t frameHeaderSize = v22 ? 6 : 10;
    std::int64_t pos = static_cast<std::int64_t>(kTagHeaderSize);
    while (pos < tagSize_) {
        const std::span<const unsigned char> header = file.Read(pos, frameHeaderSize);
        if (header.size() < frameHeaderSize) return;
        if (header[0] < 'A' || header[0] > 'Z') return;  // padding or foreign data

        unsigned char id[4];
        std::memcpy(id, header.data(), v22 ? 3 : 4);
        std::int64_t bodySize;
        if (v22) {
            bodySize = std::int64_t{header[3]} << 16 | std::int64_t{header[4]} << 8 | header[5];
        } else {
            const unsigned char* s = header.data() + 4;
            const bool syncsafe = majorVersion_ == 4 && ((s[0] | s[1] | s[2] | s[3]) & 0x80) == 0;
            if (syncsafe) {
                bodySize = std::int64_t{s[0]} << 21 | std::int64_t{s[1]} << 14 | std::int64_t{s[2]} << 7 | s[3];
            } else {
                // A plain number, as version 2.3 has it and as some writers
                // put it into version 2.4 tags.
                const std::uint32_t plain = BigEndian32(s);
                if (plain & 0x80000000u) return;
                bodySize = plain;
            }
        }

        const std::int64_t bodyStart = pos + static_cast<std::int64_t>(frameHeaderSize);
        const std::size_t wanted = static_cast<std::size_t>(std::min<std::int64_t>(bodySize, kFrameTextSize));
        const std::span<const unsigned char> body = file.Read(bodyStart, wanted);
        if (body.size() < wanted) return;

        const std::size_t slot = FindFrameSlot(id, v22);
        const unsigned char encoding = body.empty() ? 0 : body[0];
        if (slot < kFrameSlots && encoding <= 3) {
            std::string& text = frameText_[slot];
            text.assign(kFrameTextSize, '\0');
            std::memcpy(text.data(), body.data(), body.size());
        }
        pos = bodyStart + bodySize;
    }
}

// ---------------------------------------------------------------------------
// ID3v1

TID3v1Info ReadID3v1(const std::string& path)
{
    TTagFile file(path);
    if (!file.IsOpen()) throw CatalogError(CannotOpenMessage(path), path);
    return ReadID3v1(file);
}

TID3v1Info ReadID3v1(TTagFile& file)
{
    unsigned char block[kV1BlockSize] = {};
    const std::int64_t length = file.Length();
    const std::int64_t offset =
        length >= static_cast<std::int64_t>(kV1BlockSize) ? length - static_cast<std::int64_t>(kV1BlockSize) : 0;
    const std::span<const unsigned char> bytes = file.Read(offset, kV1BlockSize);
    std::memcpy(block, bytes.data(), bytes.size());

    TID3v1Info info;
    const unsigned char* p = block;
    const auto take = [&p](auto& field) {
        std::memcpy(field.data(), p, field.size());
        p += field.size();
    };
    take(info.Header);
    take(info.Title);
    take(info.Artist);
    take(info.Album);
    take(info.Year);
    take(info.Comment);
    info.Genre = *p;
    info.Found = std::memcmp(info.Header.data(), "TAG", 3) == 0;
    return info;
}

// ---------------------------------------------------------------------------
// ReadMediaInfo

TMediaInfo ReadMediaInfo(const std::string& path)
{
    // One open serves both tags. A file that cannot be opened has no ID3v2
    // header, so the ID3v1 read would be reached and fail to open it.
    TTagFile file(path);
    if (!file.IsOpen()) throw CatalogError(CannotOpenMessage(path), path);

    std::string artist;
    std::string title;
    TID3v2 reader;
    reader.ReadTag(file);
    if (reader.Found()) {
        artist = reader.DecodedArtist();
        title = reader.DecodedTitle();
    } else {
        const TID3v1Info v1 = ReadID3v1(file);
        if (!v1.Found) return TMediaInfo{UntaggedMediaText(LastComponent(path)), {}};
        artist = CleanV1Text(FieldView(v1.Artist));
        title = CleanV1Text(FieldView(v1.Title));
    }

    TMediaInfo media;
    media.ArtistText = artist.empty() ? std::string(kUnknownArtist) : std::move(artist);
    media.TitleText = std::string(kTitleSeparator);
    media.TitleText += title.empty() ? kUntitled : std::string_view(title);
    return media;
}

}  // namespace ardvel
