// CD-ROM services: the mount table, which folders are disc roots, disc
// labels from ISO 9660 and UDF images, the door, and what a selection
// proposes.

#include "platform/CdRom.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "catalog/CatalogSource.h"
#include "support/Id3Builder.h"
#include "support/TempDir.h"

namespace ardvel {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::ShellQuote;
using test::TempDir;
using test::WriteBytes;

std::string MountLine(int id, const std::string& mountPoint, const std::string& type, const std::string& source,
                      const std::string& optional = "")
{
    return std::to_string(id) + " 1 11:" + std::to_string(id) + " / " + mountPoint + " rw,relatime " + optional +
           (optional.empty() ? "" : " ") + "- " + type + " " + source + " rw\n";
}

TEST(CdRomMountTable, ParsesMountinfoLinesWithEscapesAndOptionalFields)
{
    const auto entries = ParseMountTable(
        "22 1 8:1 / / rw,relatime shared:1 - ext4 /dev/vda1 rw\n"
        "36 22 11:0 / /media/me/My\\040Disc ro,nosuid shared:7 master:2 - iso9660 /dev/sr0 ro,uid=1000\n"
        "garbage line\n"
        "40 22 0:5 / /proc rw - proc proc rw\n"
        "41 22 0:6 / /no-separator rw ext4 /dev/x rw\n");
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].MountPoint, "/");
    EXPECT_EQ(entries[0].Major, 8u);
    EXPECT_EQ(entries[0].Minor, 1u);
    EXPECT_EQ(entries[1].MountPoint, "/media/me/My Disc");
    EXPECT_EQ(entries[1].FsType, "iso9660");
    EXPECT_EQ(entries[1].Source, "/dev/sr0");
    EXPECT_EQ(entries[2].FsType, "proc");
    EXPECT_EQ(entries[2].Minor, 5u);

    EXPECT_TRUE(ReadMountTable("/nonexistent/mountinfo").empty());
    // The real table of this process has at least the root.
    bool root = false;
    for (const MountEntry& e : ReadMountTable()) root = root || e.MountPoint == "/";
    EXPECT_TRUE(root);
}

TEST(CdRomMountTable, PseudoFileSystemsAreKnownByType)
{
    for (const char* type : {"proc", "sysfs", "devtmpfs", "devpts", "cgroup", "cgroup2", "securityfs", "debugfs",
                             "tracefs", "autofs", "mqueue", "bpf"})
        EXPECT_TRUE(IsPseudoFileSystem(type)) << type;
    for (const char* type : {"ext4", "tmpfs", "iso9660", "udf", "vfat", "nfs4", "fuse.sshfs", "overlay", "btrfs"})
        EXPECT_FALSE(IsPseudoFileSystem(type)) << type;
}

TEST(CdRomRoot, OpticalMountPointsAreFoundInTheTableAndOnlyAtTheirRoot)
{
    TempDir dir;
    const auto folder = [&](const std::string& name) {
        fs::create_directories(dir.Path() / name / "inside");
        return fs::canonical(dir.Path() / name).string();
    };
    const std::string sr = folder("sr"), iso = folder("iso"), udf = folder("udf"), usb = folder("usb"),
                      stacked = folder("stacked"), blank = folder("with blank"), plain = folder("plain");
    std::string escapedBlank = blank;
    escapedBlank.replace(escapedBlank.find(' '), 1, "\\040");
    const std::string table = dir.File("mountinfo");
    WriteBytes(table, MountLine(1, sr, "auto", "/dev/sr1", "shared:3") + MountLine(2, iso, "iso9660", "/dev/loop4") +
                          MountLine(3, udf, "udf", "/dev/sdc") + MountLine(4, usb, "vfat", "/dev/sdb1") +
                          MountLine(5, stacked, "iso9660", "/dev/sr0") + MountLine(6, stacked, "ext4", "/dev/sdd") +
                          MountLine(7, escapedBlank, "iso9660", "/dev/sr2"));

    const auto device = [&](const std::string& path) {
        const auto cd = FindCdRomRoot(path, table);
        return cd ? cd->Device + " " + cd->FsType : std::string("-");
    };
    EXPECT_EQ(device(sr), "/dev/sr1 auto");
    EXPECT_EQ(device(sr + "/"), "/dev/sr1 auto");
    EXPECT_EQ(device(iso), "/dev/loop4 iso9660");
    EXPECT_EQ(device(udf), "/dev/sdc udf");
    EXPECT_EQ(device(blank), "/dev/sr2 iso9660");
    EXPECT_EQ(device(usb), "-");
    EXPECT_EQ(device(stacked), "-");  // the topmost mount decides
    EXPECT_EQ(device(plain), "-");
    EXPECT_EQ(device(sr + "/inside"), "-");
    // Through a symbolic link to the mount point.
    fs::create_symlink(sr, dir.Path() / "link-to-sr");
    EXPECT_EQ(device((dir.Path() / "link-to-sr").string()), "/dev/sr1 auto");
}

// -- labels ----------------------------------------------------------------------

TEST(CdRomLabel, IsoVolumeIdentifierWithoutItsPadding)
{
    if (!test::HaveProgram("xorriso")) GTEST_SKIP() << "xorriso is not installed";
    TempDir dir;
    fs::create_directories(dir.Path() / "content");
    WriteBytes(dir.File("content/readme.txt"), "hello");
    const std::string image = dir.File("disc.iso");
    const auto made = test::RunCommand("xorriso -as mkisofs -quiet -V 'Summer 2009' -o " + ShellQuote(image) + " " +
                                       ShellQuote(dir.File("content")) + " 2>&1");
    ASSERT_EQ(made.Status, 0) << made.Out;
    EXPECT_EQ(ReadVolumeLabel(image), "Summer 2009");
    // No UDF on this image: asking for UDF first still finds the ISO label.
    EXPECT_EQ(ReadVolumeLabel(image, true), "Summer 2009");
}

TEST(CdRomLabel, NothingReadableGivesTheEmptyLabel)
{
    TempDir dir;
    EXPECT_EQ(ReadVolumeLabel(dir.File("missing.iso")), "");
    WriteBytes(dir.File("short.iso"), "CD001");
    EXPECT_EQ(ReadVolumeLabel(dir.File("short.iso")), "");
    WriteBytes(dir.File("zeros.iso"), std::string(600 * 2048, '\0'));
    EXPECT_EQ(ReadVolumeLabel(dir.File("zeros.iso")), "");
    EXPECT_EQ(ReadVolumeLabel(dir.Path().string()), "");  // a folder
}

/// A UDF image of 2048-byte sectors: the anchor at sector 256 points to a
/// volume descriptor sequence at 257 holding a primary volume descriptor,
/// a logical volume descriptor with `identifier` (a dstring of 128 bytes)
/// and a terminating descriptor.
std::string UdfImage(const std::string& identifier)
{
    constexpr std::size_t kSector = 2048;
    std::string image(260 * kSector, '\0');
    const auto put32 = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) image[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    const auto tag = [&](std::uint32_t sector, int id) {
        const std::size_t at = sector * kSector;
        image[at] = static_cast<char>(id);
        image[at + 2] = 2;  // descriptor version
        put32(at + 12, sector);
        unsigned sum = 0;
        for (int i = 0; i < 16; ++i)
            if (i != 4) sum += static_cast<unsigned char>(image[at + i]);
        image[at + 4] = static_cast<char>(sum & 0xFF);
    };
    put32(256 * kSector + 16, 3 * kSector);  // main sequence: length
    put32(256 * kSector + 20, 257);          //                location
    tag(256, 2);
    tag(257, 1);
    image.replace(258 * kSector + 84, identifier.size(), identifier);
    tag(258, 6);
    tag(259, 8);
    return image;
}

std::string DString(int compression, const std::string& bytes)
{
    std::string d(128, '\0');
    d[0] = static_cast<char>(compression);
    d.replace(1, bytes.size(), bytes);
    d[127] = static_cast<char>(bytes.size() + 1);
    return d;
}

TEST(CdRomLabel, UdfLogicalVolumeIdentifierInBothCompressions)
{
    TempDir dir;
    WriteBytes(dir.File("latin.udf"), UdfImage(DString(8, "Backup \xE9t\xE9  ")));
    EXPECT_EQ(ReadVolumeLabel(dir.File("latin.udf"), true), "Backup \xC3\xA9t\xC3\xA9");
    EXPECT_EQ(ReadVolumeLabel(dir.File("latin.udf"), false), "Backup \xC3\xA9t\xC3\xA9");  // no ISO: UDF after all

    // UCS-2, big-endian: "Δίσκος".
    const std::u16string text = u"\u0394\u03af\u03c3\u03ba\u03bf\u03c2";
    std::string ucs2;
    for (char16_t c : text) {
        ucs2.push_back(static_cast<char>(c >> 8));
        ucs2.push_back(static_cast<char>(c & 0xFF));
    }
    WriteBytes(dir.File("greek.udf"), UdfImage(DString(16, ucs2)));
    EXPECT_EQ(ReadVolumeLabel(dir.File("greek.udf"), true), "Δίσκος");

    // A damaged anchor tag is no UDF.
    std::string broken = UdfImage(DString(8, "Name"));
    broken[256 * 2048 + 4] ^= 0x55;
    WriteBytes(dir.File("broken.udf"), broken);
    EXPECT_EQ(ReadVolumeLabel(dir.File("broken.udf"), true), "");
}

TEST(CdRomLabel, LongLabelsAreCutTo63Characters)
{
    TempDir dir;
    const std::string longName(100, 'L');
    WriteBytes(dir.File("long.udf"), UdfImage(DString(8, longName)));
    EXPECT_EQ(ReadVolumeLabel(dir.File("long.udf"), true), std::string(63, 'L'));
}

// -- the door --------------------------------------------------------------------

TEST(CdRomDoor, TheEjectCommandRunsOnceWithTheDeviceAndItsResultIsIgnored)
{
    TempDir dir;
    const std::string log = dir.File("calls");
    OpenDoor("/dev/sr0", {"sh", "-c", "echo \"$0|$#\" >> " + ShellQuote(log) + "; exit 3"});
    EXPECT_EQ(ReadBytes(log), "/dev/sr0|0\n");
    // A command that does not exist changes nothing.
    OpenDoor("/dev/sr0", {dir.File("no-such-eject")});
    OpenDoor("/dev/sr0", {});
    EXPECT_EQ(ReadBytes(log), "/dev/sr0|0\n");
}

// -- what a selection proposes ---------------------------------------------------

TEST(CdRomSelection, AFolderProposesItsDisplayName)
{
    TempDir dir;
    fs::create_directories(dir.Path() / "Music" / "Jazz");
    const CdRomConfig noMounts{dir.File("none"), {}};
    const std::string music = (dir.Path() / "Music").string();

    CatalogSource s = SelectSource(music + "/", noMounts);
    EXPECT_EQ(s.ScanRoot, music);
    EXPECT_EQ(s.SourceLabel, "Music");
    EXPECT_FALSE(s.EjectWhenDone);
    EXPECT_EQ(SelectSource(music + "/Jazz/..", noMounts).SourceLabel, "Music");
    EXPECT_EQ(SelectSource(music + "//Jazz", noMounts).ScanRoot, music + "/Jazz");

    s = SelectSource("/", noMounts);
    EXPECT_EQ(s.ScanRoot, "/");
    EXPECT_EQ(s.SourceLabel, "/");
    EXPECT_EQ(FolderDisplayName("/a/b c/"), "b c");

    // A relative path is taken from the current folder.
    const CatalogSource here = SelectSource(".", noMounts);
    EXPECT_EQ(here.ScanRoot, fs::current_path().string());
    EXPECT_EQ(here.SourceLabel, fs::current_path().filename().string());
}

TEST(CdRomSelection, AnUnreadableDiscProposesTheEmptyName)
{
    TempDir dir;
    fs::create_directories(dir.Path() / "cd");
    const std::string mountPoint = fs::canonical(dir.Path() / "cd").string();
    WriteBytes(dir.File("mountinfo"), MountLine(9, mountPoint, "iso9660", dir.File("no-disc")));
    const CatalogSource s = SelectSource(mountPoint, CdRomConfig{dir.File("mountinfo"), {}});
    EXPECT_EQ(s.SourceLabel, "");
    EXPECT_TRUE(s.EjectWhenDone);
    EXPECT_EQ(s.Device, dir.File("no-disc"));
}

}  // namespace
}  // namespace ardvel
