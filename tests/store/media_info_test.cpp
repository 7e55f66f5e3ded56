// ReadMediaInfo and its tag readers on files built byte by byte.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <utility>

#include "store/CatalogError.h"
#include "store/MediaInfo.h"
#include "support/Id3Builder.h"

namespace ardvel {
namespace {

using test::Bytes;
using test::Id3v1Block;
using test::Id3v2Builder;
using test::SilentAudio;
using test::TempDir;
using test::TextBody;
using test::Utf16Bytes;
using test::WriteMediaFile;

using Text = std::pair<std::string, std::string>;  // ArtistText, TitleText

const Text kDefaults{"Unknown Artist", " - Untitled"};

class MediaInfoTest : public ::testing::Test {
protected:
    /// The media information of a file `name` holding `bytes`.
    Text Read(std::string_view bytes, std::string_view name = "song.mp3")
    {
        const TMediaInfo media = ReadMediaInfo(WriteMediaFile(dir_, name, bytes));
        return {media.ArtistText, media.TitleText};
    }
    /// The same for a tag followed by audio.
    Text ReadTagged(const Id3v2Builder& tag) { return Read(tag.Build() + SilentAudio(2)); }

    TempDir dir_;
};

std::string Latin(std::string_view text)
{
    return TextBody(0, text);
}

// --- Versions and frame table ---------------------------------------------------

TEST_F(MediaInfoTest, ReadsArtistAndTitleOfEachVersion)
{
    EXPECT_EQ(ReadTagged(Id3v2Builder(2).Frame("TT2", Latin("Title 2")).Frame("TP1", Latin("Artist 2"))),
              Text("Artist 2", " - Title 2"));
    EXPECT_EQ(ReadTagged(Id3v2Builder(3).Frame("TIT2", Latin("Title 3")).Frame("TPE1", Latin("Artist 3"))),
              Text("Artist 3", " - Title 3"));
    EXPECT_EQ(ReadTagged(Id3v2Builder(4).Frame("TPE1", Latin("Artist 4")).Frame("TIT2", Latin("Title 4"))),
              Text("Artist 4", " - Title 4"));
}

TEST_F(MediaInfoTest, AFileOfTheTagFolderIsOpenedInThatFolder)
{
    // The folder's descriptor decides which file is read, not the path,
    // which here names no folder at all; paths elsewhere open as usual.
    WriteMediaFile(dir_, "a.mp3", Id3v2Builder(3).Frame("TIT2", Latin("Here")).Frame("TPE1", Latin("Band")).Build());
    const std::string elsewhere = WriteMediaFile(dir_, "b.mp3", Id3v1Block("Other", "Them"));
    const int fd = ::open(dir_.Folder().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    {
        const TagFolder folder(fd, "/no/such/folder");
        const TMediaInfo media = ReadMediaInfo("/no/such/folder/a.mp3");
        EXPECT_EQ(Text(media.ArtistText, media.TitleText), Text("Band", " - Here"));
        EXPECT_EQ(ReadMediaInfo(elsewhere).ArtistText, "Them");
        EXPECT_THROW(ReadMediaInfo("/no/such/folder/deeper/a.mp3"), CatalogError);
    }
    EXPECT_THROW(ReadMediaInfo("/no/such/folder/a.mp3"), CatalogError);
    ::close(fd);
}

TEST_F(MediaInfoTest, LooksIdentifiersUpInTheColumnOfTheVersion)
{
    // A version 2.3 tag with version 2.2 identifiers has no known frame; the
    // comparison takes all four bytes.
    EXPECT_EQ(ReadTagged(Id3v2Builder(3).Frame("TT2 ", Latin("T")).Frame("TP1A", Latin("A"))), kDefaults);
    EXPECT_EQ(ReadTagged(Id3v2Builder(3).Frame("Tit2", Latin("T")).Frame("TPE1", Latin("A"))),
              Text("A", " - Untitled"));
}

TEST_F(MediaInfoTest, GivesDefaultsWhenTheTagHasNoText)
{
    EXPECT_EQ(ReadTagged(Id3v2Builder(3).Frame("TALB", Latin("Album")).Frame("COMM", Latin("eng Note"))), kDefaults);
    EXPECT_EQ(ReadTagged(Id3v2Builder(3).Frame("TIT2", Latin("   ")).Frame("TPE1", Latin(""))), kDefaults);
    EXPECT_EQ(ReadTagged(Id3v2Builder(4)), kDefaults);
}

// --- Fallback frames and replacement -------------------------------------------

TEST_F(MediaInfoTest, FallsBackToContentGroupAndOriginalArtist)
{
    EXPECT_EQ(ReadTagged(Id3v2Builder(3).Frame("TIT1", Latin("Group")).Frame("TOPE", Latin("Original"))),
              Text("Original", " - Group"));
    EXPECT_EQ(ReadTagged(Id3v2Builder(2).Frame("TT1", Latin("Group")).Frame("TOA", Latin("Original"))),
              Text("Original", " - Group"));
    // The main frames win in either order; an empty main frame does not.
    EXPECT_EQ(ReadTagged(Id3v2Builder(4)
                             .Frame("TIT1", Latin("Group"))
                             .Frame("TOPE", Latin("Original"))
                             .Frame("TIT2", Latin("Title"))
                             .Frame("TPE1", Latin("Artist"))),
              Text("Artist", " - Title"));
    EXPECT_EQ(ReadTagged(Id3v2Builder(3).Frame("TIT2", Latin(" ")).Frame("TIT1", Latin("Group"))),
              Text("Unknown Artist", " - Group"));
}

TEST_F(MediaInfoTest, LaterFrameReplacesAnEarlierOneOfTheSameKind)
{
    EXPECT_EQ(ReadTagged(Id3v2Builder(3).Frame("TPE1", Latin("First")).Frame("TPE1", Latin("Second"))),
              Text("Second", " - Untitled"));
    // Even an empty body replaces: it reads as encoding 0 with no text.
    EXPECT_EQ(
        ReadTagged(Id3v2Builder(3).Frame("TPE1", Latin("First")).Frame("TOPE", Latin("Original")).Frame("TPE1", "")),
        Text("Original", " - Untitled"));
    // A frame of an unknown text encoding is not stored and replaces nothing.
    EXPECT_EQ(ReadTagged(Id3v2Builder(3).Frame("TPE1", Latin("First")).Frame("TPE1", TextBody(4, "Second"))),
              Text("First", " - Untitled"));
    EXPECT_EQ(ReadTagged(Id3v2Builder(3).Frame("TIT2", TextBody(0x41, "Title")).Frame("TIT1", Latin("Group"))),
              Text("Unknown Artist", " - Group"));
}

// --- Text encodings through the reader --------------------------------------------

class MediaInfoEncodingTest : public MediaInfoTest,
                              public ::testing::WithParamInterface<std::pair<const char*, std::string>> {};

TEST_P(MediaInfoEncodingTest, DecodesTheTitleFrame)
{
    const std::string& body = GetParam().second;
    EXPECT_EQ(ReadTagged(Id3v2Builder(3).Frame("TIT2", body).Frame("TPE1", Latin("A"))), Text("A", " - Björk"));
    EXPECT_EQ(ReadTagged(Id3v2Builder(4).Frame("TIT2", body).Frame("TPE1", Latin("A"))), Text("A", " - Björk"));
}

INSTANTIATE_TEST_SUITE_P(Encodings, MediaInfoEncodingTest,
                         ::testing::Values(std::pair{"Latin", TextBody(0, "Bj\xF6rk")},
                                           std::pair{"Utf16LittleEndianMark", TextBody(1, Utf16Bytes(u"\uFEFFBjörk"))},
                                           std::pair{"Utf16BigEndianMark",
                                                     TextBody(1, Utf16Bytes(u"\uFEFFBjörk", true))},
                                           std::pair{"Utf16NoMark", TextBody(1, Utf16Bytes(u"Björk") + Bytes({0, 0}))},
                                           std::pair{"Utf16BigEndian", TextBody(2, Utf16Bytes(u"Björk", true))},
                                           std::pair{"Utf8", TextBody(3, "Björk")},
                                           std::pair{"Utf8Terminated", TextBody(3, std::string("Björk\0", 7))}),
                         [](const auto& info) { return std::string(info.param.first); });

// --- The 500-byte body buffer -------------------------------------------------------

TEST_F(MediaInfoTest, CutsLongTextsToTheBodyBuffer)
{
    const std::string latin(600, 'x');
    EXPECT_EQ(ReadTagged(Id3v2Builder(3).Frame("TPE1", Latin(latin))).first, std::string(499, 'x'));

    // 249 code units follow the encoding byte, the byte-order mark among them.
    const auto repeat = [](std::string_view text, int count) {
        std::string out;
        for (int i = 0; i < count; ++i) out += text;
        return out;
    };
    std::u16string units(300, u'é');
    EXPECT_EQ(ReadTagged(Id3v2Builder(3).Frame("TPE1", TextBody(1, Utf16Bytes(units)))).first, repeat("é", 249));
    units.insert(units.begin(), u'\uFEFF');
    EXPECT_EQ(ReadTagged(Id3v2Builder(3).Frame("TPE1", TextBody(1, Utf16Bytes(units, true)))).first, repeat("é", 248));

    // A UTF-8 letter that straddles the limit is dropped.
    EXPECT_EQ(ReadTagged(Id3v2Builder(4).Frame("TPE1", TextBody(3, std::string(498, 'a') + "éz"))).first,
              std::string(498, 'a'));
}

TEST_F(MediaInfoTest, SkipsWhatIsNotReadOfALongFrame)
{
    std::string comment = Latin("eng");
    comment += std::string(20000, 'c');
    EXPECT_EQ(ReadTagged(Id3v2Builder(3)
                             .Frame("COMM", comment)
                             .Frame("TIT2", Latin(std::string(5000, 't')))
                             .Frame("TPE1", Latin("Artist"))),
              Text("Artist", " - " + std::string(499, 't')));
}

TEST_F(MediaInfoTest, ReadsFramesAndBlocksAcrossTheEndOfAReadWindow)
{
    // The file is fetched in windows of TTagFile::kWindowSize bytes. Put the
    // artist frame, and in an untagged file the ID3v1 block, at every
    // position around the end of the first window.
    const std::size_t window = TTagFile::kWindowSize;
    for (std::size_t start = window - 130; start <= window + 2; ++start) {
        // A TALB frame fills the tag from byte 10 up to `start`.
        const std::string album = Latin(std::string(start - 10 - 10 - 1, 'a'));
        EXPECT_EQ(ReadTagged(Id3v2Builder(3).Frame("TALB", album).Frame("TPE1", Latin("Artist"))),
                  Text("Artist", " - Untitled"))
            << "TPE1 at " << start;
        EXPECT_EQ(Read(std::string(start, '\xFF') + Id3v1Block("Title", "Artist")), Text("Artist", " - Title"))
            << "ID3v1 block at " << start;
    }
}

// --- Frame sizes ---------------------------------------------------------------------

TEST_F(MediaInfoTest, ReadsVersion24FrameSizesAsSyncsafe)
{
    // A picture of more than 127 bytes before the text frames: read as a
    // plain number, its size would skip into the middle of the next frames.
    for (std::size_t size : {128u, 300u, 100u * 1024u}) {
        std::string picture = Latin("image/jpeg");
        picture += Bytes({0, 3, 0});
        picture.resize(size, '\x5A');
        EXPECT_EQ(
            ReadTagged(
                Id3v2Builder(4).Frame("APIC", picture).Frame("TIT2", Latin("Title")).Frame("TPE1", Latin("Artist"))),
            Text("Artist", " - Title"))
            << "picture of " << size << " bytes";
    }
}

TEST_F(MediaInfoTest, ReadsPlainVersion24SizesWhenASizeByteHasItsTopBitSet)
{
    // 456 is 00 00 01 C8: not syncsafe, so a plain number (as a syncsafe
    // number it would be 328, or 200 with the top bit masked).
    EXPECT_EQ(ReadTagged(Id3v2Builder(4)
                             .FramePlainSize("APIC", std::string(456, '\x5A'))
                             .Frame("TIT2", Latin("Title"))
                             .Frame("TPE1", Latin("Artist"))),
              Text("Artist", " - Title"));
    // A plain number with its top bit set ends the scan; what came before stays.
    EXPECT_EQ(ReadTagged(Id3v2Builder(4)
                             .Frame("TIT2", Latin("Title"))
                             .FrameWithSizeBytes("TIT2", {0x80, 0, 0, 6}, Latin("Other"))
                             .Frame("TPE1", Latin("Artist"))),
              Text("Unknown Artist", " - Title"));
}

TEST_F(MediaInfoTest, ReadsVersion23And22SizesAsPlainNumbers)
{
    // 300 as a plain 32-bit number is 00 00 01 2C, which is no valid
    // syncsafe number; 200 is 00 00 00 C8.
    for (std::size_t size : {200u, 300u}) {
        EXPECT_EQ(ReadTagged(Id3v2Builder(3)
                                 .Frame("APIC", std::string(size, '\x5A'))
                                 .Frame("TIT2", Latin("Title"))
                                 .Frame("TPE1", Latin("Artist"))),
                  Text("Artist", " - Title"));
    }
    EXPECT_EQ(ReadTagged(Id3v2Builder(2)
                             .Frame("PIC", std::string(70000, '\x5A'))
                             .Frame("TT2", Latin("Title"))
                             .Frame("TP1", Latin("Artist"))),
              Text("Artist", " - Title"));
    // The top bit of a version 2.3 size ends the scan.
    EXPECT_EQ(ReadTagged(Id3v2Builder(3)
                             .Frame("TIT2", Latin("Title"))
                             .FrameWithSizeBytes("TIT2", {0x80, 0, 0, 6}, Latin("Other"))
                             .Frame("TPE1", Latin("Artist"))),
              Text("Unknown Artist", " - Title"));
}

// --- Where the scan ends ---------------------------------------------------------------

TEST_F(MediaInfoTest, EndsTheScanAtPaddingOrForeignData)
{
    EXPECT_EQ(ReadTagged(Id3v2Builder(3).Frame("TIT2", Latin("Title")).Padding(10).Frame("TPE1", Latin("Artist"))),
              Text("Unknown Artist", " - Title"));
    EXPECT_EQ(
        ReadTagged(
            Id3v2Builder(3).Frame("TIT2", Latin("Title")).Frame("tpe1", Latin("Lower")).Frame("TPE1", Latin("Artist"))),
        Text("Unknown Artist", " - Title"));
}

TEST_F(MediaInfoTest, EndsTheScanAtTheTagSizeButReadsABodyThatCrossesIt)
{
    Id3v2Builder tag(3);
    tag.Frame("TIT2", Latin("Title")).Frame("TPE1", Latin("Artist"));
    const std::size_t titleFrame = 10 + 6;  // header and body of TIT2
    // The tag ends right behind TIT2: TPE1 lies outside it.
    tag.SizeBytes({0, 0, 0, static_cast<int>(titleFrame)});
    EXPECT_EQ(ReadTagged(tag), Text("Unknown Artist", " - Title"));
    // The tag ends one byte into TPE1's header: the frame is read whole.
    tag.SizeBytes({0, 0, 0, static_cast<int>(titleFrame + 1)});
    EXPECT_EQ(ReadTagged(tag), Text("Artist", " - Title"));
}

TEST_F(MediaInfoTest, EndsTheScanWhereTheFileEnds)
{
    // TPE1 says 256 bytes but the file ends after 7: it is not stored.
    const std::string tag =
        Id3v2Builder(3).Frame("TIT2", Latin("Title")).FrameWithSizeBytes("TPE1", {0, 0, 1, 0}, Latin("Artist")).Build();
    EXPECT_EQ(Read(tag), Text("Unknown Artist", " - Title"));
    // A frame header cut by the end of the file.
    const std::string cut = Id3v2Builder(3).Frame("TIT2", Latin("Title")).Raw(std::string("TPE1\0\0", 6)).Build();
    EXPECT_EQ(Read(cut), Text("Unknown Artist", " - Title"));
}

TEST_F(MediaInfoTest, DoesNotInterpretHeaderOrFrameFlags)
{
    // Extended header: its size bytes are taken for a frame and end the scan.
    EXPECT_EQ(ReadTagged(Id3v2Builder(3)
                             .Flags(0x40)
                             .Raw(Bytes({0, 0, 0, 6, 0, 0, 0, 0, 0, 0}))
                             .Frame("TIT2", Latin("Title"))
                             .Frame("TPE1", Latin("Artist"))),
              kDefaults);
    // Unsynchronisation is not undone: FF 00 stays as it is.
    EXPECT_EQ(ReadTagged(Id3v2Builder(3).Flags(0x80).Frame("TPE1", Latin(std::string("A\xFF\0B", 4)))).first,
              std::string("A\xC3\xBF\0B", 5));
    // Frame flags (here compression and encryption) are not looked at.
    EXPECT_EQ(ReadTagged(Id3v2Builder(3).Frame("TPE1", Latin("Artist"), 0x00C0)), Text("Artist", " - Untitled"));
}

// --- Tag size and header ----------------------------------------------------------------

TEST_F(MediaInfoTest, IgnoresATagLargerThanTheFile)
{
    Id3v2Builder tag(3);
    tag.Frame("TIT2", Latin("Title")).Frame("TPE1", Latin("Artist"));
    const std::string bytes = tag.Build();
    EXPECT_EQ(Read(bytes), Text("Artist", " - Title"));  // the tag fills the file exactly
    const int content = static_cast<int>(bytes.size() - 10);
    tag.SizeBytes({0, 0, content >> 7, (content & 0x7F) + 1});
    // One byte too large; the ID3v1 block is not consulted either.
    EXPECT_EQ(Read(tag.Build()), kDefaults);
    EXPECT_EQ(Read(tag.Build() + Id3v1Block("V1 Title", "V1 Artist")), Text("Artist", " - Title"));
    tag.SizeBytes({0x7F, 0x7F, 0x7F, 0x7F});
    EXPECT_EQ(Read(tag.Build() + Id3v1Block("V1 Title", "V1 Artist")), kDefaults);
}

TEST_F(MediaInfoTest, CountsTheFooterInEveryVersion)
{
    for (int version : {3, 4}) {
        Id3v2Builder tag(version);
        tag.Frame("TIT2", Latin("Title")).Footer();
        const std::string bytes = tag.Build();
        EXPECT_EQ(Read(bytes), Text("Unknown Artist", " - Title")) << "version " << version;
        // Without its last byte the file is smaller than header, frames and footer.
        EXPECT_EQ(Read(bytes.substr(0, bytes.size() - 1)), kDefaults) << "version " << version;
    }
}

TEST_F(MediaInfoTest, TakesTheSizeBytesWithoutMaskingTheirTopBits)
{
    // 00 00 01 80 is 128 + 128 + 10 = 266 bytes; masked it would be 138.
    Id3v2Builder tag(3);
    tag.Frame("TIT2", Latin("Title")).SizeBytes({0, 0, 1, 0x80});
    std::string bytes = tag.Build();
    bytes.resize(200, '\0');
    EXPECT_EQ(Read(bytes), kDefaults);
    bytes.resize(266, '\0');
    EXPECT_EQ(Read(bytes), Text("Unknown Artist", " - Title"));
}

TEST_F(MediaInfoTest, ReadsOnlyVersions2To4)
{
    for (int version : {0, 1, 5, 0xFF}) {
        std::string bytes = Id3v2Builder(3).Frame("TIT2", Latin("Title")).Frame("TPE1", Latin("Artist")).Build();
        bytes[3] = static_cast<char>(version);
        EXPECT_EQ(Read(bytes + SilentAudio(1) + Id3v1Block("V1 Title", "V1 Artist")), kDefaults)
            << "version " << version;
    }
}

TEST_F(MediaInfoTest, ReadsOnlyTheID3v2TagWhenItsHeaderIsThere)
{
    const std::string v1 = Id3v1Block("V1 Title", "V1 Artist");
    EXPECT_EQ(Read(Id3v2Builder(3).Frame("TIT2", Latin("Title")).Build() + SilentAudio(1) + v1),
              Text("Unknown Artist", " - Title"));
    EXPECT_EQ(Read(Id3v2Builder(4).Padding(100).Build() + SilentAudio(1) + v1), kDefaults);
    // Only "ID3" in capitals is a header.
    std::string lower = Id3v2Builder(3).Frame("TIT2", Latin("Title")).Build();
    lower.replace(0, 3, "id3");
    EXPECT_EQ(Read(lower + SilentAudio(1) + v1), Text("V1 Artist", " - V1 Title"));
}

TEST_F(MediaInfoTest, ReportsTheTagHeaderThroughTheReader)
{
    TID3v2 reader;
    const std::string footed = WriteMediaFile(dir_, "footer.mp3", Id3v2Builder(4).Padding(20).Footer().Build());
    EXPECT_TRUE(reader.ReadTag(footed));
    EXPECT_TRUE(reader.Found());
    EXPECT_EQ(reader.MajorVersion(), 4);
    EXPECT_EQ(reader.TagSize(), 40);

    const std::string tenBytes = WriteMediaFile(dir_, "ten.mp3", Bytes({'I', 'D', '3', 5, 0, 0, 0, 0, 0, 0}));
    EXPECT_TRUE(reader.ReadTag(tenBytes));
    EXPECT_TRUE(reader.Found());
    EXPECT_EQ(reader.MajorVersion(), 5);
    EXPECT_EQ(reader.TagSize(), 10);

    const std::string tooLarge = WriteMediaFile(dir_, "large.mp3", Id3v2Builder(3).SizeBytes({0, 0, 1, 0}).Build());
    EXPECT_TRUE(reader.ReadTag(tooLarge));
    EXPECT_TRUE(reader.Found());
    EXPECT_EQ(reader.TagSize(), 0);

    // Reading again starts from nothing.
    const std::string tagged =
        WriteMediaFile(dir_, "tagged.mp3", Id3v2Builder(3).Frame("TIT2", Latin("T")).Frame("TPE1", Latin("A")).Build());
    EXPECT_TRUE(reader.ReadTag(tagged));
    EXPECT_EQ(reader.DecodedTitle(), "T");
    EXPECT_EQ(reader.DecodedArtist(), "A");
    const std::string nineBytes = WriteMediaFile(dir_, "nine.mp3", std::string("ID3\x03\0\0\0\0\0", 9));
    EXPECT_FALSE(reader.ReadTag(nineBytes));
    EXPECT_FALSE(reader.Found());
    EXPECT_EQ(reader.MajorVersion(), 0);
    EXPECT_EQ(reader.TagSize(), 0);
    EXPECT_EQ(reader.DecodedTitle(), "");
    EXPECT_EQ(reader.DecodedArtist(), "");
    EXPECT_FALSE(reader.ReadTag((dir_.Path() / "missing.mp3").string()));
    EXPECT_FALSE(reader.Found());
}

// --- ID3v1 ---------------------------------------------------------------------------------

TEST_F(MediaInfoTest, ReadsTheID3v1Block)
{
    EXPECT_EQ(Read(SilentAudio(2) + Id3v1Block("J\xF3ga", "Bj\xF6rk")), Text("Björk", " - Jóga"));
    EXPECT_EQ(Read(SilentAudio(2) + Id3v1Block("  Title  ", " Artist", ' ')), Text("Artist", " - Title"));
    EXPECT_EQ(Read(SilentAudio(2) + Id3v1Block("", "", ' ')), kDefaults);
    // 0xA9 ends the artist after its first two characters, whatever follows.
    EXPECT_EQ(Read(SilentAudio(2) + Id3v1Block("Title", "Ab\xA9 2001 Label")), Text("Ab", " - Title"));
    // Only the last 128 bytes count.
    EXPECT_EQ(Read(Id3v1Block("Title", "Artist") + SilentAudio(1), "early.mp3"), Text("early", ""));
    EXPECT_EQ(Read(Id3v1Block("Title", "Artist")), Text("Artist", " - Title"));
    EXPECT_EQ(Read(std::string("x").append(Id3v1Block("Title", "Artist"))), Text("Artist", " - Title"));
}

TEST_F(MediaInfoTest, ReadsTheID3v1BlockOfAShortFileFromItsStart)
{
    EXPECT_EQ(Read("TAGShort title"), Text("Unknown Artist", " - Short title"));
    EXPECT_EQ(Read(Id3v1Block("Title", "Artist").substr(0, 127)), Text("Artist", " - Title"));
    EXPECT_EQ(Read("TAGab"), Text("Unknown Artist", " - ab"));  // shorter than a tag header
    EXPECT_EQ(Read("TAG"), kDefaults);
    EXPECT_EQ(Read("ID3\x03"), Text("song", ""));
    EXPECT_EQ(Read(""), Text("song", ""));
}

TEST_F(MediaInfoTest, KeepsTheID3v1FieldsAtFullWidth)
{
    std::string block = Id3v1Block("Title", "Artist", ' ');
    const TID3v1Info info = ReadID3v1(WriteMediaFile(dir_, "v1.mp3", SilentAudio(1) + block));
    EXPECT_TRUE(info.Found);
    EXPECT_EQ(std::string(info.Title.data(), info.Title.size()), "Title" + std::string(25, ' '));
    EXPECT_EQ(std::string(info.Artist.data(), info.Artist.size()), "Artist" + std::string(24, ' '));
    EXPECT_EQ(std::string(info.Album.data(), info.Album.size()), "Album" + std::string(25, ' '));
    EXPECT_EQ(std::string(info.Year.data(), info.Year.size()), "1999");
    EXPECT_EQ(std::string(info.Comment.data(), info.Comment.size()), "Comment" + std::string(23, ' '));
    EXPECT_EQ(info.Genre, 17);

    block[0] = 't';
    EXPECT_FALSE(ReadID3v1(WriteMediaFile(dir_, "v1.mp3", SilentAudio(1) + block)).Found);
}

// --- Untagged files and failures ---------------------------------------------------------------

TEST_F(MediaInfoTest, NamesAnUntaggedFileWithoutItsExtension)
{
    const std::string audio = SilentAudio(1);
    EXPECT_EQ(Read(audio, "Song Name.mp3"), Text("Song Name", ""));
    EXPECT_EQ(Read(audio, "X.MP3"), Text("X", ""));
    EXPECT_EQ(Read(audio, ".mp3"), Text("", ""));
    EXPECT_EQ(Read(audio, "Ünïcødé 東京.mp3"), Text("Ünïcødé 東京", ""));
    EXPECT_EQ(Read(audio, "a.b.c.mp3"), Text("a.b.c", ""));
    // The last four characters, not bytes.
    EXPECT_EQ(Read(audio, "abc"), Text("", ""));
    EXPECT_EQ(Read(audio, "xyz.méé"), Text("xyz", ""));

    std::filesystem::create_directory(dir_.Path() / "Album.mp3");
    const std::string nested = WriteMediaFile(dir_, "Album.mp3/Track 1.mp3", audio);
    const TMediaInfo media = ReadMediaInfo(nested);
    EXPECT_EQ(media.ArtistText, "Track 1");
    EXPECT_EQ(media.TitleText, "");
}

TEST_F(MediaInfoTest, RaisesCannotOpenFileForAFileThatCannotBeOpened)
{
    const std::string missing = (dir_.Path() / "gone.mp3").string();
    for (const auto& read :
         {+[](const std::string& p) { ReadMediaInfo(p); }, +[](const std::string& p) { ReadID3v1(p); }}) {
        try {
            read(missing);
            ADD_FAILURE() << "no error for a missing file";
        } catch (const CatalogError& error) {
            EXPECT_STREQ(error.what(), ("Cannot open file " + missing).c_str());
            EXPECT_EQ(error.Path(), missing);
        }
    }
}

}  // namespace
}  // namespace ardvel
