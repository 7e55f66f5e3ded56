#include "platform/CdRom.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "platform/TextEncoding.h"

extern char** environ;

namespace ardvel {

namespace {

constexpr std::size_t kSectorSize = 2048;
/// The longest label the program takes: what fits a 64-character buffer.
constexpr std::size_t kMaxLabelCharacters = 63;

/// A mountinfo field with its octal escapes (\040 blank, \011 tab, \012
/// line feed, \134 backslash) decoded.
std::string Unescape(std::string_view field)
{
    std::string out;
    out.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            const char a = field[i + 1], b = field[i + 2], c = field[i + 3];
            if (a >= '0' && a <= '3' && b >= '0' && b <= '7' && c >= '0' && c <= '7') {
                out.push_back(static_cast<char>((a - '0') * 64 + (b - '0') * 8 + (c - '0')));
                i += 3;
                continue;
            }
        }
        out.push_back(field[i]);
    }
    return out;
}

std::vector<std::string_view> SplitFields(std::string_view line)
{
    std::vector<std::string_view> fields;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && line[i] == ' ') ++i;
        const std::size_t start = i;
        while (i < line.size() && line[i] != ' ') ++i;
        if (i > start) fields.push_back(line.substr(start, i - start));
    }
    return fields;
}

bool ParseUnsigned(std::string_view text, unsigned& value)
{
    if (text.empty()) return false;
    unsigned long v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + static_cast<unsigned>(c - '0');
        if (v > UINT_MAX) return false;
    }
    value = static_cast<unsigned>(v);
    return true;
}

std::string Canonical(const std::string& path)
{
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved)) return resolved;
    return path;
}

/// Reads one 2048-byte sector; false when it cannot be read whole.
bool ReadSector(int fd, std::uint64_t sector, std::array<unsigned char, kSectorSize>& buffer)
{
    std::size_t done = 0;
    const auto offset = static_cast<off_t>(sector * kSectorSize);
    while (done < kSectorSize) {
        const ssize_t n = ::pread(fd, buffer.data() + done, kSectorSize - done, offset + static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

std::uint32_t Le16(const unsigned char* p)
{
    return p[0] | (p[1] << 8);
}
std::uint32_t Le32(const unsigned char* p)
{
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

/// Blanks and NULs removed at both ends; invalid UTF-8 taken as
/// Windows-1252; cut to the longest label the program takes.
std::string CleanLabel(std::string_view raw)
{
    std::size_t begin = 0, end = raw.size();
    while (begin < end && (raw[begin] == ' ' || raw[begin] == '\0')) ++begin;
    while (end > begin && (raw[end - 1] == ' ' || raw[end - 1] == '\0')) --end;
    std::string text = Utf8OrWindows1252(raw.substr(begin, end - begin));
    std::size_t pos = 0, count = 0;
    while (pos < text.size() && count < kMaxLabelCharacters) {
        DecodeCharacter(text, pos);
        ++count;
    }
    text.resize(pos);
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

/// The volume identifier of the ISO 9660 primary volume descriptor, or
/// nothing when the set of descriptors has none.
std::optional<std::string> ReadIsoLabel(int fd)
{
    std::array<unsigned char, kSectorSize> sector{};
    // The descriptor set starts at sector 16 and ends with a terminator
    // (type 255); a few dozen sectors is more than any disc uses.
    for (std::uint64_t s = 16; s < 16 + 64; ++s) {
        if (!ReadSector(fd, s, sector)) return std::nullopt;
        if (std::string_view(reinterpret_cast<const char*>(sector.data()) + 1, 5) != "CD001") return std::nullopt;
        if (sector[0] == 255) return std::nullopt;
        if (sector[0] == 1) return CleanLabel(std::string_view(reinterpret_cast<const char*>(sector.data()) + 40, 32));
    }
    return std::nullopt;
}

/// A descriptor tag that is what it says: its checksum adds up and it
/// records the sector it stands in.
bool IsUdfTag(const std::array<unsigned char, kSectorSize>& d, std::uint32_t id, std::uint64_t sector)
{
    unsigned sum = 0;
    for (int i = 0; i < 16; ++i)
        if (i != 4) sum += d[i];
    return (sum & 0xFF) == d[4] && Le16(d.data()) == id && Le32(d.data() + 12) == sector;
}

/// A UDF dstring: compression 8 is one byte per character (Latin-1),
/// compression 16 two bytes big-endian (UCS-2); the last byte holds the
/// number of bytes used, the compression byte included.
std::string DecodeDString(const unsigned char* field, std::size_t size)
{
    const std::size_t used = field[size - 1];
    if (used < 2 || used > size - 1) return {};
    std::string out;
    if (field[0] == 8) {
        for (std::size_t i = 1; i < used; ++i) AppendUtf8(out, field[i]);
    } else if (field[0] == 16) {
        for (std::size_t i = 1; i + 1 < used; i += 2) {
            const char32_t unit = static_cast<char32_t>((field[i] << 8) | field[i + 1]);
            AppendUtf8(out, unit >= 0xD800 && unit <= 0xDFFF ? U'?' : unit);
        }
    }
    return out;
}

/// The logical volume identifier of a UDF disc, or nothing when the disc
/// has no UDF anchor.
std::optional<std::string> ReadUdfLabel(int fd)
{
    std::array<unsigned char, kSectorSize> d{};
    constexpr std::uint64_t kAnchor = 256;
    if (!ReadSector(fd, kAnchor, d) || !IsUdfTag(d, 2, kAnchor)) return std::nullopt;
    const std::uint32_t length = Le32(d.data() + 16);
    const std::uint32_t location = Le32(d.data() + 20);
    const std::uint64_t sectors = std::min<std::uint64_t>(length / kSectorSize, 64);
    for (std::uint64_t s = location; s < location + sectors; ++s) {
        if (!ReadSector(fd, s, d)) break;
        const std::uint32_t id = Le16(d.data());
        if (id == 8 && IsUdfTag(d, 8, s)) break;  // terminating descriptor
        if (id == 6 && IsUdfTag(d, 6, s)) {
            const std::string text = DecodeDString(d.data() + 84, 128);
            return CleanLabel(text);
        }
    }
    return std::nullopt;
}

}  // namespace

std::vector<MountEntry> ParseMountTable(std::string_view text)
{
    std::vector<MountEntry> entries;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t eol = text.find('\n', pos);
        if (eol == std::string_view::npos) eol = text.size();
        const std::vector<std::string_view> f = SplitFields(text.substr(pos, eol - pos));
        pos = eol + 1;

        // id parent major:minor root mount-point options [optional...] - type source super-options
        if (f.size() < 9) continue;
        std::size_t dash = 6;
        while (dash < f.size() && f[dash] != "-") ++dash;
        if (dash + 2 >= f.size()) continue;
        const std::size_t colon = f[2].find(':');
        MountEntry e;
        if (colon == std::string_view::npos || !ParseUnsigned(f[2].substr(0, colon), e.Major) ||
            !ParseUnsigned(f[2].substr(colon + 1), e.Minor))
            continue;
        e.MountPoint = Unescape(f[4]);
        e.FsType = Unescape(f[dash + 1]);
        e.Source = Unescape(f[dash + 2]);
        entries.push_back(std::move(e));
    }
    return entries;
}

std::vector<MountEntry> ReadMountTable(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    return ParseMountTable(text);
}

bool IsPseudoFileSystem(std::string_view fsType) noexcept
{
    static constexpr std::string_view kPseudo[] = {
        "proc",    "sysfs",       "devtmpfs", "devpts",       "cgroup",    "cgroup2",    "securityfs",
        "debugfs", "tracefs",     "pstore",   "bpf",          "configfs",  "fusectl",    "hugetlbfs",
        "mqueue",  "binfmt_misc", "autofs",   "efivarfs",     "selinuxfs", "rpc_pipefs", "nsfs",
        "nfsd",    "sockfs",      "pipefs",   "anon_inodefs", "usbfs",     "binder",     "fuse.portal",
    };
    for (std::string_view p : kPseudo)
        if (fsType == p) return true;
    return false;
}

std::optional<CdRomMount> FindCdRomRoot(const std::string& folder, const std::string& mountTable)
{
    const std::string path = Canonical(folder);
    const std::vector<MountEntry> entries = ReadMountTable(mountTable);
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
        if (it->MountPoint != path) continue;
        // The topmost mount on the folder decides.
        const bool optical =
            it->FsType == "iso9660" || it->FsType == "udf" || Canonical(it->Source).starts_with("/dev/sr");
        if (!optical) return std::nullopt;
        return CdRomMount{it->Source, it->MountPoint, it->FsType};
    }
    return std::nullopt;
}

std::string ReadVolumeLabel(const std::string& device, bool preferUdf)
{
    const int fd = ::open(device.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return {};
    std::optional<std::string> label = preferUdf ? ReadUdfLabel(fd) : ReadIsoLabel(fd);
    if (!label) label = preferUdf ? ReadIsoLabel(fd) : ReadUdfLabel(fd);
    ::close(fd);
    return label.value_or(std::string());
}

void OpenDoor(const std::string& device, const std::vector<std::string>& ejectCommand)
{
    if (ejectCommand.empty()) return;
    std::vector<std::string> args = ejectCommand;
    args.push_back(device);
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);

    pid_t pid = 0;
    if (::posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return;
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
}

}  // namespace ardvel
