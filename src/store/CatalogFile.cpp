#include "store/CatalogFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <bit>
#include <cerrno>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "platform/FileDescriptor.h"
#include "platform/TextEncoding.h"
#include "store/CatalogError.h"
#include "store/TreeWalk.h"

namespace ardvel {

namespace {

/// The text of a failure to create or write a catalog file. "File access
/// denied" stands for many causes (a read-only file system, a loop of
/// links, a folder in the way), so the system's own words follow it.
std::string WriteErrorText(int error)
{
    const std::string_view text = error == EIO ? kDiskFull : IoErrorText(error);
    if (text != kFileAccessDenied) return std::string(text);
    return std::string(text) + ": " + std::strerror(error);
}

constexpr unsigned char kStringEnd[3] = {0x02, 0x01, 0x02};

/// Most texts are short: their end mark is looked for among the first
/// bytes all at once.
constexpr std::size_t kNearMarkBytes = 48;

/// The bits of the places 1, 4, 7, ... of the first kNearMarkBytes: where
/// the 01 of an end mark that starts on a multiple of three lies.
constexpr std::uint64_t MarkMiddles() noexcept
{
    std::uint64_t bits = 0;
    for (std::size_t p = 1; p < kNearMarkBytes; p += 3) bits |= std::uint64_t{1} << p;
    return bits;
}

/// The end mark among the first kNearMarkBytes of the `size` bytes at
/// `start`, or null; `from` receives where a search for the 01 of a mark
/// further on starts.
const unsigned char* FindNearMark(const unsigned char* start, std::size_t size, const unsigned char*& from) noexcept
{
    from = start + 1;
#if defined(__SSE2__)
    if (size < kNearMarkBytes) return nullptr;
    from = start + kNearMarkBytes;
    const __m128i ones = _mm_set1_epi8(0x01);
    const auto onesAt = [&](std::size_t at) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(start + at));
        return static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, ones))));
    };
    std::uint64_t middles = (onesAt(0) | (onesAt(16) << 16) | (onesAt(32) << 32)) & MarkMiddles();
    for (; middles != 0; middles &= middles - 1) {
        const auto p = static_cast<std::size_t>(std::countr_zero(middles));
        if (start[p - 1] == 0x02 && start[p + 1] == 0x02) return start + p - 1;
    }
#else
    (void)start;
    (void)size;
#endif
    return nullptr;
}

std::uint32_t LoadLe32(const unsigned char* p) noexcept
{
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

}  // namespace

// ---------------------------------------------------------------- reading

namespace {

/// The window of a file: a few records' worth, so the copy of the tail at
/// each refill costs little beside the reads.
constexpr std::size_t kWindowSize = 4 * CatalogReader::kMaxRecordSize + (1 << 20);

}  // namespace

CatalogReader::CatalogReader(std::string path) : path_(std::move(path))
{
    // Non-blocking, so that opening a FIFO does not wait for a writer.
    fd_.Reset(::open(path_.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!fd_.IsOpen()) throw CatalogError(IoErrorText(errno), path_);
    struct stat st {};
    if (::fstat(fd_.Get(), &st) != 0 || !S_ISREG(st.st_mode)) throw CatalogError(kFileAccessDenied, path_);
    // A small file needs no more than its size (and a little to see its end).
    const auto size = static_cast<std::size_t>(st.st_size < 0 ? 0 : st.st_size);
    capacity_ = size + 1 < kWindowSize ? size + 1 : kWindowSize;
    buffer_.reset(new unsigned char[capacity_]);
    pos_ = end_ = buffer_.get();
    Fill();
}

CatalogReader::~CatalogReader() = default;

void CatalogReader::Fill()
{
    unsigned char* const base = buffer_.get();
    std::size_t filled = static_cast<std::size_t>(end_ - pos_);
    if (pos_ != base && filled > 0) std::memmove(base, pos_, filled);
    while (!atEof_ && filled < capacity_) {
        const long long n = ReadAt(fd_.Get(), base + filled, capacity_ - filled, offset_);
        if (n < 0) throw CatalogError(IoErrorText(errno), path_);
        // Less than asked for only at the end of the file.
        if (static_cast<std::size_t>(n) < capacity_ - filled) atEof_ = true;
        offset_ += n;
        filled += static_cast<std::size_t>(n);
    }
    pos_ = base;
    end_ = base + filled;
}

void CatalogReader::Fail(const char* message) const
{
    throw CatalogError(message, path_);
}

std::uint8_t CatalogReader::ReadByte()
{
    if (pos_ == end_) Fail(kReadBeyondEnd);
    return *pos_++;
}

std::int32_t CatalogReader::ReadInt32()
{
    if (end_ - pos_ < 4) Fail(kReadBeyondEnd);
    const std::uint32_t v = LoadLe32(pos_);
    pos_ += 4;
    return static_cast<std::int32_t>(v);
}

TDateTime CatalogReader::ReadDate()
{
    if (end_ - pos_ < 4) Fail(kReadBeyondEnd);
    const std::uint32_t dos = LoadLe32(pos_);
    pos_ += 4;
    // Files of one folder mostly share a few stamps; skip the calendar maths.
    if (!haveLastDate_ || dos != lastDos_) {
        lastDos_ = dos;
        lastDate_ = DosToDateTime(dos);
        haveLastDate_ = true;
    }
    return lastDate_;
}

std::string_view CatalogReader::ReadStringView(int slot)
{
    // The end mark starts on a multiple of three. A text longer than
    // kMaxStoredText (plus at most two padding bytes) means no catalog file.
    const unsigned char* start = pos_;
    const std::size_t available = static_cast<std::size_t>(end_ - start);
    if (available < 3) {
        pos_ = end_;
        Fail(kReadBeyondEnd);
    }
    const std::size_t limit = kMaxStoredText + 2 + 3;
    const std::size_t span = available < limit ? available : limit;
    const unsigned char* scanEnd = start + span;
    const unsigned char* from;
    const unsigned char* mark = FindNearMark(start, span, from);
    while (!mark && from < scanEnd) {
        const auto* one =
            static_cast<const unsigned char*>(std::memchr(from, 0x01, static_cast<std::size_t>(scanEnd - from)));
        if (!one || one + 1 >= scanEnd) break;
        if ((one - start) % 3 == 1 && one[-1] == 0x02 && one[1] == 0x02) {
            mark = one - 1;
            break;
        }
        from = one + 1;
    }
    if (!mark) {
        if (available < limit) {
            pos_ = end_;
            Fail(kReadBeyondEnd);
        }
        Fail(kInvalidCatalogFile);
    }
    pos_ = mark + 3;
    std::string_view text(reinterpret_cast<const char*>(start), static_cast<std::size_t>(mark - start));
    text = TrimTrailingControls(text);
    if (!IsValidUtf8(text)) {  // an ASCII text is known at once
        std::string& converted = scratch_[slot];
        converted = Windows1252ToUtf8(text);
        // A character of Windows-1252 takes up to three bytes of UTF-8: what
        // was read must still fit a catalog string when it is saved again.
        if (converted.size() > kMaxStoredText) {
            std::size_t cut = kMaxStoredText;
            while (cut > 0 && (static_cast<unsigned char>(converted[cut]) & 0xC0) == 0x80) --cut;
            converted.resize(cut);
            converted.resize(TrimTrailingControls(converted).size());
        }
        return converted;
    }
    return text;
}

TFolderInfo CatalogReader::ReadHeader(std::string* label)
{
    FillIfShort();
    const std::string_view text = ReadStringView(0);
    if (label) *label = std::string(text);
    TFolderInfo info;
    info.Date = ReadDate();
    return info;
}

bool CatalogReader::ReadRecord(Record& record)
{
    for (;;) {
        FillIfShort();
        if (pos_ == end_) return false;
        const unsigned char type = *pos_++;
        if (type == kFolderRecordType) {
            record.IsFolder = true;
            record.Name = ReadStringView(0);
            record.Date = ReadDate();
            record.Level = ReadInt32();
            record.SizeKB = 0;
            record.HasMedia = false;
            record.ArtistText = record.TitleText = {};
            return true;
        }
        if (type == kFileRecordType) {
            record.IsFolder = false;
            record.Name = ReadStringView(0);
            record.SizeKB = ReadInt32();
            record.Date = ReadDate();
            record.Level = 0;
            record.HasMedia = HasMp3Extension(record.Name);
            if (record.HasMedia) {
                record.ArtistText = ReadStringView(1);
                record.TitleText = ReadStringView(2);
            } else {
                record.ArtistText = record.TitleText = {};
            }
            return true;
        }
        // Stray byte between records: skip it.
    }
}

void CatalogReader::ReadTree(CatalogTree& tree, NodeId volume)
{
    NodeId current = volume;
    Record record;
    while (ReadRecord(record)) {
        if (record.IsFolder) {
            if (record.Level < 2) {
                current = volume;
            } else {
                const auto parentLevel = static_cast<std::uint32_t>(record.Level - 1);
                while (tree.Level(current) > parentLevel) current = tree.Parent(current);
            }
            current = tree.AddFolder(current, record.Name, record.Date);
        } else {
            tree.AddFile(current, record.Name, record.SizeKB, record.Date, record.HasMedia, record.ArtistText,
                         record.TitleText);
        }
    }
}

// ---------------------------------------------------------------- writing

std::string StoredName(std::string_view name)
{
    std::string text(name);
    for (char& c : text)
        if (c == 0x01 || c == 0x02) c = ' ';
    text.resize(TrimTrailingControls(text).size());
    return text;
}

CatalogWriter::CatalogWriter(std::string path) : path_(std::move(path))
{
    const auto slash = path_.rfind('/');
    if (path_.empty() || slash == path_.size() - 1) throw CatalogError(kInvalidFilename, path_);
    if (const int error = file_.Open(path_); error != 0) throw CatalogError(WriteErrorText(error), path_);
    open_ = true;
    buffer_.reserve(1 << 16);
}

CatalogWriter::~CatalogWriter() = default;

void CatalogWriter::Fail(int error)
{
    file_.Discard();
    open_ = false;
    throw CatalogError(WriteErrorText(error), path_);
}

void CatalogWriter::Flush()
{
    if (const int error = file_.Write(buffer_.data(), buffer_.size()); error != 0) Fail(error);
    buffer_.clear();
}

void CatalogWriter::Put(const void* data, std::size_t size)
{
    if (!open_) throw CatalogError(kFileAccessDenied, path_);
    buffer_.append(static_cast<const char*>(data), size);
    if (buffer_.size() >= (1 << 16)) Flush();
}

void CatalogWriter::WriteString(std::string_view text)
{
    if (!open_) throw CatalogError(kFileAccessDenied, path_);
    const std::size_t start = buffer_.size();
    buffer_.append(text);
    for (std::size_t i = start; i < buffer_.size(); ++i)
        if (buffer_[i] == 0x01 || buffer_[i] == 0x02) buffer_[i] = ' ';
    static constexpr char kZeros[2] = {0, 0};
    Put(kZeros, (3 - text.size() % 3) % 3);
    Put(kStringEnd, 3);
}

void CatalogWriter::WriteByte(std::uint8_t value)
{
    Put(&value, 1);
}

void CatalogWriter::WriteInt32(std::int32_t value)
{
    const auto v = static_cast<std::uint32_t>(value);
    const unsigned char bytes[4] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
                                    static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 24)};
    Put(bytes, 4);
}

void CatalogWriter::WriteDate(TDateTime value)
{
    WriteInt32(static_cast<std::int32_t>(DateTimeToDos(value)));
}

void CatalogWriter::WriteHeader(std::string_view label, TDateTime date)
{
    WriteString(label);
    WriteDate(date);
}

void CatalogWriter::WriteFolder(std::string_view name, TDateTime date)
{
    WriteByte(kFolderRecordType);
    WriteString(name);
    WriteDate(date);
}

void CatalogWriter::WriteFileRecord(const VolumeStore& store, const TDetails& details)
{
    if (!open_) throw CatalogError(kFileAccessDenied, path_);
    const std::string_view name = store.Name(details);
    // Type, name, padding, end mark, size and date made in place in one
    // piece: a save writes one such record for every file.
    const std::size_t pad = (3 - name.size() % 3) % 3;
    const std::size_t start = buffer_.size();
    buffer_.resize(start + 1 + name.size() + pad + sizeof kStringEnd + 8);  // the padding zeros included
    char* out = buffer_.data() + start;
    *out++ = static_cast<char>(kFileRecordType);
    if (!name.empty()) std::memcpy(out, name.data(), name.size());  // an empty view may have no data
    for (std::size_t i = 0; i < name.size(); ++i)
        if (out[i] == 0x01 || out[i] == 0x02) out[i] = ' ';
    out += name.size() + pad;
    std::memcpy(out, kStringEnd, sizeof kStringEnd);
    out += sizeof kStringEnd;
    const auto size = static_cast<std::uint32_t>(details.SizeKB), date = DateTimeToDos(details.Date);
    for (int k = 0; k < 4; ++k) {
        out[k] = static_cast<char>(size >> (8 * k));
        out[4 + k] = static_cast<char>(date >> (8 * k));
    }
    // As HasMp3Extension(StoredName(name)), without a copy: the blanks that
    // StoredName puts for 01 and 02 are trimmed as those are.
    if (HasMp3Extension(TrimTrailingControls(name))) {
        WriteString(store.Artist(details));
        WriteString(store.Title(details));
    } else if (buffer_.size() >= (1 << 16)) {
        Flush();
    }
}

void CatalogWriter::WriteTree(const CatalogTree& tree, NodeId node)
{
    // Each folder's record (the first, `node` itself, has none) followed by
    // its files, then its sub-folders.
    ForEachFolderPreOrder(tree, node, [&](NodeId folder, std::size_t depth) {
        if (depth > 0) {
            WriteFolder(tree.Text(folder), tree.Info(folder).Date);
            WriteInt32(static_cast<std::int32_t>(tree.Level(folder)));
        }
        const FileList files = tree.Files(folder);
        for (const TDetails& d : files) WriteFileRecord(files.Store(), d);
    });
}

void CatalogWriter::Commit(SaveFile::Publish how)
{
    if (!open_) throw CatalogError(kFileAccessDenied, path_);
    Flush();
    open_ = false;
    const int error = file_.Commit(how);
    if (error == EEXIST && how == SaveFile::Publish::NoReplace) throw CatalogFileExists(IoErrorText(error), path_);
    if (error != 0) Fail(error);
}

}  // namespace ardvel
