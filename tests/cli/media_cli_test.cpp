// ardvel-cli media FILE... end to end.

#include <gtest/gtest.h>

#include "support/Id3Builder.h"

namespace ardvel {
namespace {

using test::Id3v1Block;
using test::Id3v2Builder;
using test::RunTool;
using test::SilentAudio;
using test::TempDir;
using test::TextBody;
using test::WriteMediaFile;

TEST(MediaCommand, PrintsOneEscapedLinePerFileInArgumentOrder)
{
    TempDir dir;
    const std::string tagged = WriteMediaFile(
        dir, "tagged.mp3",
        Id3v2Builder(3).Frame("TIT2", TextBody(3, "Tab\there\\back")).Frame("TPE1", TextBody(0, "Line\none")).Build() +
            SilentAudio(1));
    const std::string v1 = WriteMediaFile(dir, "v1.mp3", SilentAudio(1) + Id3v1Block("J\xF3ga", "Bj\xF6rk"));
    const std::string plain = WriteMediaFile(dir, "Plain Song.MP3", SilentAudio(1));

    const auto result = RunTool({ARDVEL_CLI_PATH, "media", plain, tagged, v1}, dir);
    EXPECT_EQ(result.ExitCode, 0) << result.Err;
    EXPECT_EQ(result.Out,
              "Plain Song\t\n"
              "Line\\none\t - Tab\\there\\\\back\n"
              "Björk\t - Jóga\n");
    EXPECT_EQ(result.Err, "");
}

TEST(MediaCommand, ReportsAFileThatCannotBeOpenedAndGoesOn)
{
    TempDir dir;
    const std::string first = WriteMediaFile(dir, "first.mp3", SilentAudio(1));
    const std::string missing = dir.File("missing.mp3");
    const std::string last = WriteMediaFile(dir, "last.mp3", SilentAudio(1));

    const auto result = RunTool({ARDVEL_CLI_PATH, "media", first, missing, last}, dir);
    EXPECT_EQ(result.ExitCode, 1);
    EXPECT_EQ(result.Out, "first\t\nlast\t\n");
    EXPECT_EQ(result.Err, "Cannot open file " + missing + "\n");
}

TEST(MediaCommand, WantsAtLeastOneFile)
{
    TempDir dir;
    const auto result = RunTool({ARDVEL_CLI_PATH, "media"}, dir);
    EXPECT_EQ(result.ExitCode, 2);
    EXPECT_EQ(result.Out, "");
    EXPECT_NE(result.Err, "");
}

}  // namespace
}  // namespace ardvel
