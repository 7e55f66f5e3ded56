// ReadMediaInfo on files tagged by real tag writers: id3v2 (id3lib), eyeD3
// and mid3v2 (mutagen). Each test is skipped when its writer is missing.

#include <gtest/gtest.h>

#include <utility>

#include "store/MediaInfo.h"
#include "support/Id3Builder.h"

namespace ardvel {
namespace {

using test::HaveProgram;
using test::RunTool;
using test::SilentAudio;
using test::TempDir;
using test::WriteMediaFile;

using Text = std::pair<std::string, std::string>;  // ArtistText, TitleText

class MediaWriterTest : public ::testing::Test {
protected:
    /// A fresh untagged MP3 file tagged by `tool` with `arguments`, the file
    /// name last. The writers take their arguments as UTF-8.
    std::string Tag(const std::string& tool, std::vector<std::string> arguments)
    {
        const std::string path = WriteMediaFile(dir_, "song" + std::to_string(++count_) + ".mp3", SilentAudio(24));
        std::vector<std::string> argv = {"env", "LC_ALL=C.UTF-8", tool};
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        argv.push_back(path);
        const auto result = RunTool(argv, dir_);
        EXPECT_EQ(result.ExitCode, 0) << tool << ": " << result.Err;
        return path;
    }

    static Text Read(const std::string& path)
    {
        const TMediaInfo media = ReadMediaInfo(path);
        return {media.ArtistText, media.TitleText};
    }

    /// A picture file of `size` bytes that begins like a PNG file.
    std::string Picture(std::size_t size)
    {
        std::string bytes = "\x89PNG\r\n\x1A\n";
        bytes.resize(size, '\x5A');
        return WriteMediaFile(dir_, "cover" + std::to_string(size) + ".png", bytes);
    }

    TempDir dir_;
    int count_ = 0;
};

#define REQUIRE_PROGRAM(name) \
    if (!HaveProgram(name)) GTEST_SKIP() << name << " is not installed"

TEST_F(MediaWriterTest, Id3libVersion23)
{
    REQUIRE_PROGRAM("id3v2");
    // id3lib writes ISO-8859-1 where it can and UTF-16 with a mark where it
    // cannot (the euro sign), and an ID3v1 block besides, which is not read.
    EXPECT_EQ(Read(Tag("id3v2", {"-a", "Björk", "-t", "Jóga €"})), Text("Björk", " - Jóga €"));
    EXPECT_EQ(Read(Tag("id3v2", {"--TOPE", "Original", "--TIT1", "Group"})), Text("Original", " - Group"));
    EXPECT_EQ(Read(Tag("id3v2", {"-1", "-a", "Björk", "-t", "Jóga"})), Text("Björk", " - Jóga"));
}

TEST_F(MediaWriterTest, EyeD3Versions23And24InEachEncoding)
{
    REQUIRE_PROGRAM("eyeD3");
    const std::vector<std::string> texts = {"-a", "Björk 東京", "-t", "Jóga 🎵"};
    const Text expected("Björk 東京", " - Jóga 🎵");
    for (const char* encoding : {"utf16", "utf8", "utf16-be"}) {
        for (const char* version : {"--to-v2.3", "--to-v2.4"}) {
            // Version 2.3 has no UTF-8 or UTF-16BE; eyeD3 falls back to UTF-16.
            std::vector<std::string> args = {"--no-color", version, "--encoding", encoding};
            args.insert(args.end(), texts.begin(), texts.end());
            EXPECT_EQ(Read(Tag("eyeD3", args)), expected) << version << " " << encoding;
        }
    }
    EXPECT_EQ(Read(Tag("eyeD3", {"--no-color", "--to-v2.4", "--encoding", "latin1", "-a", "Björk", "-t", "Jóga"})),
              Text("Björk", " - Jóga"));
}

TEST_F(MediaWriterTest, EyeD3PictureBeforeTheTextFrames)
{
    REQUIRE_PROGRAM("eyeD3");
    // eyeD3 puts APIC first; its size needs more than 7 bits.
    for (std::size_t size : {3000u, 100u * 1024u}) {
        const std::string cover = Picture(size) + ":FRONT_COVER";
        EXPECT_EQ(Read(Tag("eyeD3", {"--no-color", "--to-v2.4", "--add-image", cover, "-a", "Artist", "-t", "Title"})),
                  Text("Artist", " - Title"))
            << size;
        EXPECT_EQ(Read(Tag("eyeD3", {"--no-color", "--to-v2.3", "--add-image", cover, "-a", "Artist", "-t", "Title"})),
                  Text("Artist", " - Title"))
            << size;
    }
}

TEST_F(MediaWriterTest, EyeD3Version1)
{
    REQUIRE_PROGRAM("eyeD3");
    EXPECT_EQ(Read(Tag("eyeD3", {"--no-color", "-1", "-a", "Björk", "-t", "Jóga"})), Text("Björk", " - Jóga"));
    // © is 0xA9 in the block and ends the field.
    EXPECT_EQ(Read(Tag("eyeD3", {"--no-color", "-1", "-a", "Ab©cd", "-t", "Title"})), Text("Ab", " - Title"));
}

TEST_F(MediaWriterTest, MutagenVersion24Utf8)
{
    REQUIRE_PROGRAM("mid3v2");
    // mutagen writes UTF-8 with a zero terminator, and the picture after the
    // text frames.
    const std::string cover = Picture(100 * 1024) + ":cover:3:image/png";
    EXPECT_EQ(Read(Tag("mid3v2", {"-a", "Björk 🎵", "-t", "Jóga", "-p", cover})), Text("Björk 🎵", " - Jóga"));
    EXPECT_EQ(Read(Tag("mid3v2", {"--TOPE", "Original", "--TIT1", "Group", "-A", "Album"})),
              Text("Original", " - Group"));
    // Several values are separated by zero bytes, which stay.
    EXPECT_EQ(Read(Tag("mid3v2", {"-e", "-a", "One\\x00Two", "-t", "T"})), Text(std::string("One\0Two", 7), " - T"));
}

}  // namespace
}  // namespace ardvel
