// Reading the media information of many MP3 files: ReadMediaInfo against
// TagLib reading the same files' tags with audio properties off.
//
// Generates N files (default 10,000) into a temporary folder: ID3v2.3 and
// 2.4 tags with the usual text frames and padding, half of them with a
// 100 KB picture (before the text frames in one file out of four, as eyeD3
// writes it, after them otherwise), some MPEG audio and, in every third
// file, an ID3v1 block. Every file is read once by each reader to check the
// results and warm the caches; then each reader reads all files in rounds,
// alternately, and the best round of each counts.
//
// Target: our reader takes at most half of TagLib's time. The exit status is
// 1 when the target is missed (unless --no-check) or a result is wrong.
//
//   media_bench [--files N] [--rounds R] [--no-check]

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "store/MediaInfo.h"

#ifdef ARDVEL_HAVE_TAGLIB
#include <mpegfile.h>
#include <tag.h>
#include <tstring.h>
#endif

namespace {

constexpr std::size_t kPictureSize = 100 * 1024;

/// Keeps the results of the timed reads alive.
volatile std::size_t g_sink = 0;

void AppendSize(std::string& out, std::size_t n, bool syncsafe)
{
    const int shift = syncsafe ? 7 : 8;
    const std::size_t mask = syncsafe ? 0x7F : 0xFF;
    for (int i = 3; i >= 0; --i) out.push_back(static_cast<char>((n >> (shift * i)) & mask));
}

void AppendFrame(std::string& tag, int version, std::string_view id, std::string_view body)
{
    tag += id;
    AppendSize(tag, body.size(), version == 4);
    tag += std::string(2, '\0');
    tag += body;
}

std::string Latin(std::string_view text)
{
    std::string body(1, '\0');
    body += text;
    return body;
}

bool HasPicture(int index)
{
    return index % 4 < 2;
}

struct GeneratedFile {
    std::string Path;
    std::string Artist;
    std::string Title;
};

GeneratedFile MakeFile(const std::filesystem::path& dir, int index, const std::string& audio)
{
    const int version = index % 2 == 0 ? 3 : 4;
    const bool picture = HasPicture(index);
    const bool pictureFirst = index % 8 == 0;
    GeneratedFile file;
    file.Path = (dir / ("track" + std::to_string(index) + ".mp3")).string();
    file.Artist = "Artist " + std::to_string(index % 97);
    file.Title = "Title of track number " + std::to_string(index);

    std::string frames;
    std::string apic;
    if (picture) {
        apic = Latin("image/jpeg");
        apic += std::string("\x03\0", 2);
        apic.resize(kPictureSize, static_cast<char>(index & 0xFF));
    }
    if (picture && pictureFirst) AppendFrame(frames, version, "APIC", apic);
    AppendFrame(frames, version, "TIT2", Latin(file.Title));
    AppendFrame(frames, version, "TPE1", Latin(file.Artist));
    AppendFrame(frames, version, "TALB", Latin("Album " + std::to_string(index / 12)));
    AppendFrame(frames, version, "TRCK", Latin(std::to_string(index % 12 + 1)));
    AppendFrame(frames, version, version == 3 ? "TYER" : "TDRC", Latin("1999"));
    AppendFrame(frames, version, "TCON", Latin("(17)"));
    AppendFrame(frames, version, "COMM", Latin(std::string("eng\0A comment", 13)));
    if (picture && !pictureFirst) AppendFrame(frames, version, "APIC", apic);
    frames += std::string(1024, '\0');  // padding

    std::string bytes = "ID3";
    bytes.push_back(static_cast<char>(version));
    bytes += std::string(2, '\0');
    AppendSize(bytes, frames.size(), true);
    bytes += frames;
    bytes += audio;
    if (index % 3 == 0) {
        std::string v1 = "TAG";
        v1 += "V1 title";
        v1.resize(128, '\0');
        bytes += v1;
    }
    std::ofstream out(file.Path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        std::fprintf(stderr, "media_bench: cannot write %s\n", file.Path.c_str());
        std::exit(2);
    }
    return file;
}

std::string SilentAudio(int frames)
{
    std::string frame("\xFF\xFB\x90\x64", 4);
    frame.resize(417, '\0');
    std::string audio;
    for (int i = 0; i < frames; ++i) audio += frame;
    return audio;
}

using Reader = std::function<std::pair<std::string, std::string>(const std::string&)>;

double TimeRound(const std::vector<GeneratedFile>& files, const Reader& read, std::size_t& sink)
{
    const auto start = std::chrono::steady_clock::now();
    for (const GeneratedFile& file : files) {
        const auto [artist, title] = read(file.Path);
        sink += artist.size() + title.size();
    }
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

std::size_t CountWrong(const std::vector<GeneratedFile>& files, const Reader& read, const char* name)
{
    std::size_t wrong = 0;
    for (const GeneratedFile& file : files) {
        const auto [artist, title] = read(file.Path);
        if (artist != file.Artist || title != file.Title) {
            if (wrong++ == 0) {
                std::fprintf(stderr, "media_bench: %s read \"%s\" / \"%s\" from %s\n", name, artist.c_str(),
                             title.c_str(), file.Path.c_str());
            }
        }
    }
    return wrong;
}

}  // namespace

int main(int argc, char** argv)
{
    int fileCount = 10000;
    int rounds = 3;
    bool check = true;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--files" && i + 1 < argc)
            fileCount = std::atoi(argv[++i]);
        else if (arg == "--rounds" && i + 1 < argc)
            rounds = std::atoi(argv[++i]);
        else if (arg == "--no-check")
            check = false;
        else {
            std::fprintf(stderr, "usage: media_bench [--files N] [--rounds R] [--no-check]\n");
            return 2;
        }
    }
    fileCount = std::max(fileCount, 1);
    rounds = std::max(rounds, 1);

    std::string pattern = (std::filesystem::temp_directory_path() / "ardvel-media-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        std::perror("media_bench: mkdtemp");
        return 2;
    }
    const std::filesystem::path dir = pattern;

    const std::string audio = SilentAudio(20);
    std::vector<GeneratedFile> files;
    files.reserve(static_cast<std::size_t>(fileCount));
    int pictured = 0;
    const auto generateStart = std::chrono::steady_clock::now();
    for (int i = 0; i < fileCount; ++i) {
        files.push_back(MakeFile(dir, i, audio));
        if (HasPicture(i)) ++pictured;
    }
    const double generateMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - generateStart).count();

    const Reader ours = [](const std::string& path) {
        const ardvel::TMediaInfo media = ardvel::ReadMediaInfo(path);
        // The title comes with its " - ".
        return std::pair{media.ArtistText, media.TitleText.substr(std::min<std::size_t>(3, media.TitleText.size()))};
    };
#ifdef ARDVEL_HAVE_TAGLIB
    const Reader taglib = [](const std::string& path) {
        TagLib::MPEG::File file(path.c_str(), false);
        const TagLib::Tag* tag = file.tag();
        return std::pair{tag->artist().to8Bit(true), tag->title().to8Bit(true)};
    };
#endif

    std::size_t wrong = CountWrong(files, ours, "ardvel");
#ifdef ARDVEL_HAVE_TAGLIB
    wrong += CountWrong(files, taglib, "TagLib");
#endif

    std::size_t sink = 0;
    double oursMs = 1e300;
    double taglibMs = 1e300;
    for (int r = 0; r < rounds; ++r) {
        oursMs = std::min(oursMs, TimeRound(files, ours, sink));
#ifdef ARDVEL_HAVE_TAGLIB
        taglibMs = std::min(taglibMs, TimeRound(files, taglib, sink));
#endif
    }

    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);

    const double perFile = 1000.0 / fileCount;
    std::printf("media_bench: %d files (%d with a 100 KB picture), generated in %.0f ms; best of %d rounds\n",
                fileCount, pictured, generateMs, rounds);
    std::printf("  ardvel ReadMediaInfo      %9.1f ms  %7.2f us/file\n", oursMs, oursMs * perFile);
    int status = wrong == 0 ? 0 : 1;
    if (wrong != 0) std::printf("  WRONG RESULTS: %zu\n", wrong);
#ifdef ARDVEL_HAVE_TAGLIB
    const double ratio = oursMs / taglibMs;
    std::printf("  TagLib MPEG::File tag()   %9.1f ms  %7.2f us/file\n", taglibMs, taglibMs * perFile);
    std::printf("  ratio ardvel / TagLib     %9.2f    (target <= 0.50): %s\n", ratio, ratio <= 0.5 ? "met" : "MISSED");
    if (check && ratio > 0.5) status = 1;
#else
    (void)check;
    std::printf("  TagLib not built in: no comparison\n");
#endif
    g_sink = sink;
    return status;
}
