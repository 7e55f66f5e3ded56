#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <cstring>
#include <filesystem>

#include "store/CatalogError.h"
#include "store/CatalogFile.h"
#include "support/DateAt.h"
#include "support/TempDir.h"

namespace ardvel {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

std::string Bytes(std::initializer_list<int> values)
{
    std::string s;
    for (int v : values) s += static_cast<char>(v);
    return s;
}

std::string LE32(std::uint32_t v)
{
    return Bytes({static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF), static_cast<int>((v >> 16) & 0xFF),
                  static_cast<int>(v >> 24)});
}

// A String element as the format defines it, built independently of the writer.
std::string Str(std::string_view text)
{
    std::string s(text);
    s.append((3 - text.size() % 3) % 3, '\0');
    return s + Bytes({2, 1, 2});
}

using test::At;

std::uint32_t Dos(int y, int mo, int d, int h, int mi, int s)
{
    return (static_cast<std::uint32_t>(y - 1980) << 25) | (mo << 21) | (d << 16) | (h << 11) | (mi << 5) | (s / 2);
}

std::string SaveVolume(const CatalogTree& tree, NodeId volume, const std::string& path, std::string_view label)
{
    CatalogWriter writer(path);
    writer.WriteHeader(label, tree.Info(volume).Date);
    writer.WriteTree(tree, volume);
    writer.Commit();
    return ReadBytes(path);
}

struct Loaded {
    CatalogTree Tree;
    NodeId Volume = kNoNode;
};

void Load(Loaded& out, const std::string& path)
{
    CatalogReader reader(path);
    const TFolderInfo info = reader.ReadHeader();
    out.Volume = out.Tree.AddVolume("V", info.Date);
    reader.ReadTree(out.Tree, out.Volume);
}

std::string FailureOf(const std::string& path)
{
    Loaded l;
    try {
        Load(l, path);
    } catch (const CatalogError& e) {
        EXPECT_EQ(e.Path(), path);
        return e.what();
    }
    return "";
}

TEST(CatalogFileWrite, StringsArePaddedToThreeAndEndWithTheMark)
{
    TempDir dir;
    const std::string path = dir.File("s.arv");
    {
        CatalogWriter w(path);
        w.WriteString("abc");
        w.WriteString("abcd");
        w.WriteString("");
        w.WriteString("ab");
        w.Commit();
    }
    EXPECT_EQ(ReadBytes(path), Bytes({0x61, 0x62, 0x63, 2, 1, 2, 0x61, 0x62, 0x63, 0x64, 0, 0,
                                      2,    1,    2,    2, 1, 2, 0x61, 0x62, 0,    2,    1, 2}));
}

TEST(CatalogFileWrite, ExampleVolumeIsWrittenInPreOrderWithFilesFirst)
{
    CatalogTree tree;
    const TDateTime day = At(2003, 4, 5, 10, 15, 33);  // odd second: stored as :32
    const NodeId v = tree.AddVolume("Vol", day);
    tree.AddFile(v, "a.txt", 1, day);
    const NodeId music = tree.AddFolder(v, "Music", day);
    const TMediaInfo media{"Artist", " - Title"};
    tree.AddFile(music, "x.mp3", 2, day, &media);
    const NodeId sub = tree.AddFolder(music, "Sub", day);
    tree.AddFile(sub, "y.txt", 3, day);

    TempDir dir;
    const std::string bytes = SaveVolume(tree, v, dir.File("Vol.arv"), "LABEL");
    const std::string d = LE32(Dos(2003, 4, 5, 10, 15, 32));
    const std::string expected = Str("LABEL") + d +                     // header
                                 "\x04" + Str("a.txt") + LE32(1) + d +  // file
                                 "\x02" + Str("Music") + d + LE32(2) +  // folder
                                 "\x04" + Str("x.mp3") + LE32(2) + d + Str("Artist") + Str(" - Title") + "\x02" +
                                 Str("Sub") + d + LE32(3) +  // folder
                                 "\x04" + Str("y.txt") + LE32(3) + d;
    EXPECT_EQ(bytes, expected);
}

TEST(CatalogFileWrite, AFileWithAnEmptyNameIsWrittenAndReadBack)
{
    // A damaged catalog can hold such a record; saving what was read must
    // not stumble over it.
    TempDir dir;
    CatalogTree tree;
    const NodeId v = tree.AddVolume("V", At(2001, 1, 1));
    tree.AddFile(v, "", 3, At(2001, 1, 1));
    const std::string path = dir.File("e.arv");
    {
        CatalogWriter w(path);
        w.WriteHeader("L", At(2001, 1, 1));
        w.WriteTree(tree, v);
        w.Commit();
    }
    Loaded l;
    Load(l, path);
    const FileList files = l.Tree.Files(l.Volume);
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files.Store().Name(files[0]), "");
    EXPECT_EQ(files[0].SizeKB, 3);
}

TEST(CatalogFileWrite, EmptyVolumeIsTheHeaderAlone)
{
    CatalogTree tree;
    const NodeId v = tree.AddVolume("", At(1999, 12, 31, 23, 59, 58));
    TempDir dir;
    EXPECT_EQ(SaveVolume(tree, v, dir.File(".arv"), ""), Bytes({2, 1, 2}) + LE32(Dos(1999, 12, 31, 23, 59, 58)));
}

TEST(CatalogFileWrite, DatesOutsideTheDosRangeAreClamped)
{
    CatalogTree tree;
    const NodeId v = tree.AddVolume("V", At(1970, 1, 1, 12));
    tree.AddFile(v, "future", 0, At(2200, 6, 1));
    TempDir dir;
    const std::string bytes = SaveVolume(tree, v, dir.File("V.arv"), "");
    EXPECT_EQ(bytes.substr(3, 4), LE32(Dos(1980, 1, 1, 0, 0, 0)));
    EXPECT_EQ(bytes.substr(bytes.size() - 4), LE32(Dos(2107, 12, 31, 23, 59, 58)));
}

TEST(CatalogFileWrite, ControlBytesOneAndTwoBecomeBlanksSoTextsReadBack)
{
    CatalogTree tree;
    const NodeId v = tree.AddVolume("V", At(2000, 1, 1));
    // "\x02\x01\x02" at a multiple of three would end the string early.
    const TMediaInfo media{std::string("AB\x02\x01\x02Z", 6), " - T"};
    tree.AddFile(v, std::string("n\x01m.mp3", 7), 5, At(2000, 1, 1), &media);
    TempDir dir;
    SaveVolume(tree, v, dir.File("V.arv"), "");
    Loaded l;
    Load(l, dir.File("V.arv"));
    const FileList files = l.Tree.Files(l.Volume);
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files.Store().Name(files[0]), "n m.mp3");
    EXPECT_EQ(files.Store().Artist(files[0]), "AB   Z");
    EXPECT_EQ(files.Store().Title(files[0]), " - T");
}

TEST(CatalogFileWrite, MediaStringsFollowTheNameAsItWillReadBack)
{
    CatalogTree tree;
    const NodeId v = tree.AddVolume("V", At(2000, 1, 1));
    const TMediaInfo media{"song", ""};
    tree.AddFile(v, "song.mp3 ", 1, At(2000, 1, 1), &media);  // reads back as song.mp3
    tree.AddFile(v, "TRACK.Mp3", 1, At(2000, 1, 1));          // no media given: empty texts
    tree.AddFile(v, "track.mp3.bak", 1, At(2000, 1, 1));
    tree.AddFile(v, "after", 7, At(2000, 1, 1));
    TempDir dir;
    SaveVolume(tree, v, dir.File("V.arv"), "");
    Loaded l;
    Load(l, dir.File("V.arv"));
    const FileList f = l.Tree.Files(l.Volume);
    ASSERT_EQ(f.size(), 4u);
    EXPECT_EQ(f.Store().Name(f[0]), "song.mp3");
    EXPECT_EQ(f.Store().Artist(f[0]), "song");
    EXPECT_TRUE(f.Store().HasMedia(f[1]));
    EXPECT_FALSE(f.Store().HasMedia(f[2]));
    EXPECT_EQ(f.Store().Name(f[3]), "after");
    EXPECT_EQ(f[3].SizeKB, 7);
}

TEST(CatalogFileRoundTrip, TreeComesBackIdenticalExceptTrimmedNamesAndEvenSeconds)
{
    CatalogTree tree;
    const NodeId v = tree.AddVolume("V", At(2010, 2, 3, 4, 5, 7));
    const NodeId a = tree.AddFolder(v, "  lead", At(2011, 1, 1, 1, 1, 1));
    tree.AddFolder(a, "trail  ", At(2012, 1, 1));
    const NodeId b = tree.AddFolder(v, "Ünïcödé Папка", At(2013, 1, 1));
    const TMediaInfo media{"Артист", " - Титул"};
    tree.AddFile(b, "Песня.MP3", 2147483647, At(2014, 5, 6, 7, 8, 9), &media);
    tree.AddFile(b, "abc", 0, At(2015, 1, 1));
    TempDir dir;
    SaveVolume(tree, v, dir.File("V.arv"), "label");

    Loaded l;
    Load(l, dir.File("V.arv"));
    EXPECT_EQ(l.Tree.Info(l.Volume).Date, At(2010, 2, 3, 4, 5, 6));
    const auto top = l.Tree.Children(l.Volume);
    ASSERT_EQ(top.size(), 2u);
    EXPECT_EQ(l.Tree.Text(top[0]), "  lead");
    EXPECT_EQ(l.Tree.Info(top[0]).Date, At(2011, 1, 1, 1, 1, 0));
    ASSERT_EQ(l.Tree.Children(top[0]).size(), 1u);
    EXPECT_EQ(l.Tree.Text(l.Tree.Children(top[0])[0]), "trail");
    EXPECT_EQ(l.Tree.Text(top[1]), "Ünïcödé Папка");
    const FileList f = l.Tree.Files(top[1]);
    ASSERT_EQ(f.size(), 2u);
    EXPECT_EQ(f.Store().Name(f[0]), "Песня.MP3");
    EXPECT_EQ(f[0].SizeKB, 2147483647);
    EXPECT_EQ(f[0].Date, At(2014, 5, 6, 7, 8, 8));
    EXPECT_EQ(f.Store().Artist(f[0]), "Артист");
    EXPECT_EQ(f.Store().Title(f[0]), " - Титул");
    EXPECT_EQ(f.Store().Name(f[1]), "abc");
}

class CatalogFileRead : public ::testing::Test {
protected:
    std::string Write(std::string_view bytes)
    {
        const std::string path = dir.File("t.arv");
        WriteBytes(path, bytes);
        return path;
    }
    std::string Header() { return Str("L") + LE32(Dos(2001, 2, 3, 4, 5, 6)); }
    std::string Folder(std::string_view name, int level)
    {
        return "\x02" + Str(name) + LE32(Dos(2001, 1, 1, 0, 0, 0)) + LE32(static_cast<std::uint32_t>(level));
    }
    std::string File(std::string_view name, int kb = 1)
    {
        return "\x04" + Str(name) + LE32(kb) + LE32(Dos(2001, 1, 1, 0, 0, 0));
    }
    TempDir dir;
};

TEST_F(CatalogFileRead, LevelsPlaceFoldersAndFilesJoinTheLatestFolder)
{
    Loaded l;
    Load(l, Write(Header() + File("v.txt") + Folder("A", 2) + File("a.txt") + Folder("B", 7) /* deeper: child */ +
                  Folder("C", 3) /* climbs to A */ + Folder("D", 0) /* below 2: under the volume */ + Folder("E", 1) +
                  Folder("F", 2)));
    const CatalogTree& t = l.Tree;
    const auto top = t.Children(l.Volume);
    ASSERT_EQ(top.size(), 4u);
    EXPECT_EQ(t.Text(top[0]), "A");
    EXPECT_EQ(t.Text(top[1]), "D");
    EXPECT_EQ(t.Text(top[2]), "E");
    EXPECT_EQ(t.Text(top[3]), "F");
    const auto underA = t.Children(top[0]);
    ASSERT_EQ(underA.size(), 2u);
    EXPECT_EQ(t.Text(underA[0]), "B");
    EXPECT_EQ(t.Text(underA[1]), "C");
    EXPECT_EQ(t.Files(l.Volume).size(), 1u);
    EXPECT_EQ(t.Files(top[0]).size(), 1u);
    EXPECT_EQ(GetNodePath(t, underA[1]), "V:\\A\\C\\");
}

TEST_F(CatalogFileRead, StrayBytesBetweenRecordsAreSkipped)
{
    Loaded l;
    Load(l,
         Write(Header() + std::string("\x07\x00\xFF", 3) + File("a") + "\x01" + Folder("F", 2) + "\x03" + File("b")));
    EXPECT_EQ(l.Tree.Files(l.Volume).size(), 1u);
    ASSERT_EQ(l.Tree.Children(l.Volume).size(), 1u);
    EXPECT_EQ(l.Tree.Files(l.Tree.Children(l.Volume)[0]).size(), 1u);
}

TEST_F(CatalogFileRead, TruncationFailsWithReadBeyondEndAndKeepsWhatWasRead)
{
    const std::string whole = Header() + File("a") + Folder("F", 2) + File("b");
    Loaded complete;
    EXPECT_NO_THROW(Load(complete, Write(whole)));

    const std::string path = Write(whole.substr(0, whole.size() - 1));
    EXPECT_EQ(FailureOf(path), "Read beyond end of file");
    Loaded partial;
    EXPECT_THROW(Load(partial, path), CatalogError);
    EXPECT_EQ(partial.Tree.Files(partial.Volume).size(), 1u);
    EXPECT_EQ(partial.Tree.Children(partial.Volume).size(), 1u);

    EXPECT_EQ(FailureOf(Write("")), "Read beyond end of file");
    EXPECT_EQ(FailureOf(Write(Str("L") + "\x01\x02")), "Read beyond end of file");
    EXPECT_EQ(FailureOf(Write(Header() + "\x04" + "abc" + "\x02\x01")), "Read beyond end of file");
}

TEST_F(CatalogFileRead, OnlyAnEndMarkOnAMultipleOfThreeEndsAString)
{
    // 02 01 02 one and two bytes into a string's text is text.
    const std::string one("x\x02\x01\x02yz", 6), two("ab\x02\x01\x02z", 6);
    Loaded l;
    Load(l, Write(Header() + File(one, 7) + File(two, 8) + File("last", 9)));
    const FileList f = l.Tree.Files(l.Volume);
    ASSERT_EQ(f.size(), 3u);
    EXPECT_EQ(f.Store().Name(f[0]), one);
    EXPECT_EQ(f[0].SizeKB, 7);
    EXPECT_EQ(f.Store().Name(f[1]), two);
    EXPECT_EQ(f[1].SizeKB, 8);
    EXPECT_EQ(f.Store().Name(f[2]), "last");
    EXPECT_EQ(f[2].SizeKB, 9);
}

TEST_F(CatalogFileRead, EndMarksNearAndFarFromAStringsStartEndItWhereTheyAre)
{
    // Texts of every length up to past the first bytes looked at together,
    // with 02 01 02 one or two bytes off a multiple of three before their end.
    std::string records;
    std::vector<std::string> names;
    for (std::size_t length = 0; length <= 80; ++length) {
        std::string name(length, 'n');
        const std::size_t decoy = length >= 5 ? length - 5 : length;
        if (decoy % 3 != 0 && decoy + 3 <= length) name.replace(decoy, 3, "\x02\x01\x02");
        names.push_back(name);
        records += File(name, static_cast<int>(length));
    }
    Loaded l;
    Load(l, Write(Header() + records));
    const FileList f = l.Tree.Files(l.Volume);
    ASSERT_EQ(f.size(), names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        EXPECT_EQ(f.Store().Name(f[i]), names[i]) << i;
        EXPECT_EQ(f[i].SizeKB, static_cast<std::int32_t>(i));
    }
}

TEST_F(CatalogFileRead, OpeningFailuresCarryTheRuntimeTexts)
{
    EXPECT_EQ(FailureOf(dir.File("missing.arv")), "File not found");
    std::filesystem::create_directory(dir.File("folder.arv"));
    EXPECT_EQ(FailureOf(dir.File("folder.arv")), "File access denied");
}

TEST_F(CatalogFileRead, OversizedStringIsNoCatalog)
{
    std::string big(70000, 'x');
    EXPECT_EQ(FailureOf(Write(big)), "Invalid catalog file");
    // 65,536 text bytes (65,538 with padding) are still a string.
    Loaded l;
    Load(l, Write(Str("L") + LE32(Dos(2001, 1, 1, 0, 0, 0)) + File(std::string(65536, 'n'))));
    EXPECT_EQ(l.Tree.Files(l.Volume).Store().Name(l.Tree.Files(l.Volume)[0]).size(), 65536u);
}

TEST_F(CatalogFileRead, InvalidDatesReadAsTheFirstDosDay)
{
    Loaded l;
    Load(l, Write(Str("L") + LE32(0) + "\x04" + Str("a") + LE32(1) + LE32(Dos(2001, 1, 1, 0, 0, 0) | (60 << 5))));
    EXPECT_EQ(l.Tree.Info(l.Volume).Date, At(1980, 1, 1));
    EXPECT_EQ(l.Tree.Files(l.Volume)[0].Date, At(1980, 1, 1));
}

TEST_F(CatalogFileRead, TextsThatAreNotUtf8AreReadAsWindows1252)
{
    Loaded l;
    std::string label;
    // E0 80..9F would start an overlong form of a character below U+0800.
    const std::string path = Write(Str("Caf\xE9") + LE32(Dos(2001, 1, 1, 0, 0, 0)) + File("na\xEFve \x80.txt") +
                                   File("ok \xC3\xA9") + File("\xE0\x9F\xBF") + File("\xE0\xA0\x80"));
    {
        CatalogReader r(path);
        r.ReadHeader(&label);
    }
    EXPECT_EQ(label, "Café");
    Load(l, path);
    const FileList f = l.Tree.Files(l.Volume);
    EXPECT_EQ(f.Store().Name(f[0]), "naïve €.txt");
    EXPECT_EQ(f.Store().Name(f[1]), "ok é");
    EXPECT_EQ(f.Store().Name(f[2]), "àŸ¿");
    EXPECT_EQ(f.Store().Name(f[3]), "\xE0\xA0\x80");  // U+0800, the first three-byte character
}

TEST_F(CatalogFileRead, LongWindows1252TextsAreCutToWhatACatalogCanHoldAndSaveAgain)
{
    // 40,000 bytes of "é" in Windows-1252 become 80,000 bytes of UTF-8: more
    // than a catalog string holds, so a save of what was read would give a
    // file that no longer loads.
    Loaded l;
    Load(l, Write(Header() + File(std::string(40000, '\xE9'))));
    const std::string name(l.Tree.Files(l.Volume).Store().Name(l.Tree.Files(l.Volume)[0]));
    EXPECT_LE(name.size(), kMaxStoredText);
    EXPECT_GE(name.size(), kMaxStoredText - 1);
    EXPECT_TRUE(name.ends_with("\xC3\xA9")) << "cut inside a character";

    const std::string saved = dir.File("saved.arv");
    {
        CatalogWriter w(saved);
        w.WriteHeader("L", l.Tree.Info(l.Volume).Date);
        w.WriteTree(l.Tree, l.Volume);
        w.Commit();
    }
    Loaded again;
    Load(again, saved);
    EXPECT_EQ(again.Tree.Files(again.Volume).Store().Name(again.Tree.Files(again.Volume)[0]), name);
}

TEST_F(CatalogFileRead, TrailingBlanksAndControlsGoLeadingBlanksStay)
{
    CatalogReader r(Write(Str("  x \t\x1F ") + Str("")));
    EXPECT_EQ(r.ReadString(), "  x");
    EXPECT_EQ(r.ReadString(), "");
    EXPECT_TRUE(r.AtEnd());
}

TEST(CatalogFileSave, FailedSaveLeavesNeitherPartialFileNorTemporary)
{
    TempDir dir;
    const std::string target = dir.File("V.arv");
    WriteBytes(target, "previous");
    CatalogTree tree;
    const NodeId v = tree.AddVolume("V", At(2000, 1, 1));
    for (int i = 0; i < 5000; ++i) tree.AddFile(v, "file number " + std::to_string(i), i, At(2000, 1, 1));

    struct rlimit old {};
    ::getrlimit(RLIMIT_FSIZE, &old);
    const auto oldHandler = ::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 4096;
    ::setrlimit(RLIMIT_FSIZE, &small);
    std::string message;
    try {
        SaveVolume(tree, v, target, "L");
    } catch (const CatalogError& e) {
        message = e.what();
    }
    ::setrlimit(RLIMIT_FSIZE, &old);
    ::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(message, "Disk full");
    EXPECT_EQ(ReadBytes(target), "previous");
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.Path())) ++entries;
    EXPECT_EQ(entries, 1u);
}

TEST(CatalogFileSave, CommitOntoAFolderFailsAndLeavesNoTemporary)
{
    TempDir dir;
    const std::string target = dir.File("V.arv");
    std::filesystem::create_directory(target);
    WriteBytes(target + "/inside", "x");
    CatalogWriter writer(target);
    writer.WriteHeader("L", At(2000, 1, 1));
    try {
        writer.Commit();
        ADD_FAILURE() << "the commit did not fail";
    } catch (const CatalogError& e) {
        EXPECT_EQ(e.Path(), target);
        EXPECT_EQ(std::string(e.what()), std::string("File access denied: ") + std::strerror(EISDIR));
    }
    EXPECT_EQ(ReadBytes(target + "/inside"), "x");
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.Path())) ++entries;
    EXPECT_EQ(entries, 1u);
}

TEST(CatalogFileSave, WriterAbandonedWithoutCommitRemovesItsTemporary)
{
    TempDir dir;
    {
        CatalogWriter w(dir.File("V.arv"));
        w.WriteString("abc");
    }
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
    EXPECT_THROW(CatalogWriter(dir.File("nowhere/V.arv")), CatalogError);
}

}  // namespace
}  // namespace ardvel
