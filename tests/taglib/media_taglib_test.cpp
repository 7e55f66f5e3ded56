// Our artist and title next to TagLib's on the same files: files made by
// the tag builder and by real writers where they agree, and the cases where
// our rules deliberately give something else, each with its reason.

#include <gtest/gtest.h>
#include <mpegfile.h>
#include <tag.h>
#include <tstring.h>

#include <utility>

#include "store/MediaInfo.h"
#include "support/Id3Builder.h"

namespace ardvel {
namespace {

using test::Bytes;
using test::HaveProgram;
using test::Id3v1Block;
using test::Id3v2Builder;
using test::RunTool;
using test::SilentAudio;
using test::TempDir;
using test::TextBody;
using test::Utf16Bytes;
using test::WriteMediaFile;

using Text = std::pair<std::string, std::string>;  // artist, title

Text Ours(const std::string& path)
{
    const TMediaInfo media = ReadMediaInfo(path);
    return {media.ArtistText, media.TitleText};
}

/// TagLib's artist and title put the way we put ours: " - " before the
/// title, the defaults for empty texts.
Text TagLibs(const std::string& path)
{
    TagLib::MPEG::File file(path.c_str(), false);
    const TagLib::Tag* tag = file.isValid() ? file.tag() : nullptr;
    std::string artist = tag ? tag->artist().to8Bit(true) : std::string();
    std::string title = tag ? tag->title().to8Bit(true) : std::string();
    return {artist.empty() ? "Unknown Artist" : artist, " - " + (title.empty() ? "Untitled" : title)};
}

class TagLibComparison : public ::testing::Test {
protected:
    std::string File(std::string_view bytes)
    {
        return WriteMediaFile(dir_, "song" + std::to_string(++count_) + ".mp3", bytes);
    }
    std::string Tagged(const Id3v2Builder& tag) { return File(tag.Build() + SilentAudio(24)); }

    /// A fresh MP3 file tagged by `tool`, or "" when the tool is missing.
    std::string TaggedBy(const std::string& tool, std::vector<std::string> arguments)
    {
        if (!HaveProgram(tool)) return {};
        const std::string path = File(SilentAudio(24));
        std::vector<std::string> argv = {"env", "LC_ALL=C.UTF-8", tool};
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        argv.push_back(path);
        const auto result = RunTool(argv, dir_);
        EXPECT_EQ(result.ExitCode, 0) << tool << ": " << result.Err;
        return path;
    }

    TempDir dir_;
    int count_ = 0;
};

std::string Latin(std::string_view text)
{
    return TextBody(0, text);
}

TEST_F(TagLibComparison, AgreesOnBuiltTagsOfEveryVersionAndEncoding)
{
    const std::vector<std::string> bodies = {
        TextBody(0, "Bj\xF6rk"), TextBody(1, Utf16Bytes(u"\uFEFFBjörk 東京 🎵")),
        TextBody(1, Utf16Bytes(u"\uFEFFBjörk 東京 🎵", true)),
        TextBody(1, Utf16Bytes(u"\uFEFFÿ")),  // a unit whose low byte is FF
    };
    for (const std::string& body : bodies) {
        const std::string v22 = Tagged(Id3v2Builder(2).Frame("TT2", body).Frame("TP1", Latin("Artist")));
        const std::string v23 = Tagged(Id3v2Builder(3).Frame("TIT2", body).Frame("TPE1", Latin("Artist")));
        const std::string v24 = Tagged(Id3v2Builder(4).Frame("TIT2", body).Frame("TPE1", Latin("Artist")));
        for (const std::string& path : {v22, v23, v24}) EXPECT_EQ(Ours(path), TagLibs(path)) << path;
    }
    // Encodings 2 and 3 exist from version 2.4 on.
    for (const std::string& body : {TextBody(2, Utf16Bytes(u"Björk 東京 🎵", true)), TextBody(3, "Björk 東京 🎵")}) {
        const std::string path = Tagged(Id3v2Builder(4).Frame("TIT2", body).Frame("TPE1", Latin("Artist")));
        EXPECT_EQ(Ours(path), TagLibs(path));
    }
    // Frame sizes: a picture of more than 127 bytes first, in 2.3 and 2.4.
    for (int version : {3, 4}) {
        const std::string path =
            Tagged(Id3v2Builder(version)
                       .Frame("APIC", Latin("image/png") + Bytes({0, 3, 0}) + std::string(5000, 'P'))
                       .Frame("TIT2", Latin("Title"))
                       .Frame("TPE1", Latin("Artist")));
        EXPECT_EQ(Ours(path), TagLibs(path)) << "version " << version;
    }
    const std::string v1 = File(SilentAudio(24) + Id3v1Block("J\xF3ga", "Bj\xF6rk"));
    EXPECT_EQ(Ours(v1), TagLibs(v1));
}

TEST_F(TagLibComparison, AgreesOnFilesOfRealWriters)
{
    const std::vector<std::string> paths = {
        TaggedBy("id3v2", {"-a", "Björk", "-t", "Jóga €"}),
        TaggedBy("id3v2", {"-1", "-a", "Björk", "-t", "Jóga"}),
        TaggedBy("eyeD3", {"--to-v2.3", "--encoding", "utf16", "-a", "Björk 東京", "-t", "Jóga 🎵"}),
        TaggedBy("eyeD3", {"--to-v2.4", "--encoding", "utf8", "-a", "Björk 東京", "-t", "Jóga 🎵"}),
        TaggedBy("eyeD3", {"--to-v2.4", "--encoding", "utf16-be", "-a", "Björk 東京", "-t", "Jóga 🎵"}),
        TaggedBy("eyeD3", {"--to-v2.4", "--encoding", "latin1", "-a", "Björk", "-t", "Jóga"}),
        TaggedBy("eyeD3", {"-1", "-a", "Björk", "-t", "Jóga"}),
        TaggedBy("mid3v2", {"-a", "Björk 🎵", "-t", "Jóga"}),
    };
    int compared = 0;
    for (const std::string& path : paths) {
        if (path.empty()) continue;
        EXPECT_EQ(Ours(path), TagLibs(path)) << path;
        ++compared;
    }
    if (compared == 0) GTEST_SKIP() << "none of id3v2, eyeD3, mid3v2 is installed";
}

// Where we differ from TagLib on purpose.

TEST_F(TagLibComparison, WeFallBackToContentGroupAndOriginalArtist)
{
    // Files that carry only the original artist and the content group still
    // get a media text to search by; TagLib's artist and title stay empty.
    const std::string path = Tagged(Id3v2Builder(3).Frame("TIT1", Latin("Group")).Frame("TOPE", Latin("Original")));
    EXPECT_EQ(TagLibs(path), Text("Unknown Artist", " - Untitled"));
    EXPECT_EQ(Ours(path), Text("Original", " - Group"));
}

TEST_F(TagLibComparison, WeNeverReadID3v1BehindAnID3v2Header)
{
    // TagLib fills empty ID3v2 fields from the ID3v1 block; a file with an
    // ID3v2 header takes its text from that tag alone with us.
    const std::string path = File(Id3v2Builder(3).Frame("TIT2", Latin("Title")).Build() + SilentAudio(24) +
                                  Id3v1Block("V1 Title", "V1 Artist"));
    EXPECT_EQ(TagLibs(path), Text("V1 Artist", " - Title"));
    EXPECT_EQ(Ours(path), Text("Unknown Artist", " - Title"));
}

TEST_F(TagLibComparison, WeCutTextsToTheBodyBuffer)
{
    // We read at most 500 bytes of a frame; TagLib reads all of it.
    const std::string path = Tagged(Id3v2Builder(3).Frame("TPE1", Latin(std::string(600, 'x'))));
    EXPECT_EQ(TagLibs(path).first, std::string(600, 'x'));
    EXPECT_EQ(Ours(path).first, std::string(499, 'x'));
}

TEST_F(TagLibComparison, WeReadLatinTextAsWindows1252)
{
    // Our 8-bit text is Windows-1252, whose 0x80 is the euro sign; TagLib
    // reads ISO-8859-1 and gives the control character U+0080.
    const std::string path = Tagged(Id3v2Builder(3).Frame("TPE1", Latin("5 \x80")));
    EXPECT_EQ(TagLibs(path).first, "5 \u0080");
    EXPECT_EQ(Ours(path).first, "5 €");
}

TEST_F(TagLibComparison, WeEndAnID3v1FieldAtTheFirstByteOutsideTheLetters)
{
    // TagLib reads the whole field as ISO-8859-1.
    const std::string path = File(SilentAudio(24) + Id3v1Block("Title", "Ab\xA9 Label"));
    EXPECT_EQ(TagLibs(path).first, "Ab© Label");
    EXPECT_EQ(Ours(path).first, "Ab");
}

TEST_F(TagLibComparison, WeKeepTheZeroSeparatorsOfAList)
{
    // The separators of a version 2.4 list stay as they are in our text.
    const std::string path = Tagged(Id3v2Builder(4).Frame("TPE1", TextBody(3, std::string("One\0Two", 7))));
    EXPECT_NE(TagLibs(path).first, std::string("One\0Two", 7));
    EXPECT_EQ(Ours(path).first, std::string("One\0Two", 7));
}

TEST_F(TagLibComparison, WeNameUntaggedFilesAfterThemselves)
{
    const std::string path = WriteMediaFile(dir_, "Plain Song.mp3", SilentAudio(24));
    EXPECT_EQ(TagLibs(path), Text("Unknown Artist", " - Untitled"));
    EXPECT_EQ(Ours(path), Text("Plain Song", ""));
}

}  // namespace
}  // namespace ardvel
