// libFuzzer target: ReadMediaInfo on arbitrary file contents. The input is
// written to one file per process, x.mp3 in a folder of its own, and read
// back through the whole tag reader.

#include <fcntl.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/TextEncoding.h"
#include "store/CatalogError.h"
#include "store/MediaInfo.h"

namespace {

std::filesystem::path& InputFolder()
{
    static std::filesystem::path dir;
    return dir;
}

void RemoveInputFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(InputFolder(), ignored);
}

const std::string& InputPath()
{
    static const std::string path = [] {
        InputFolder() = std::filesystem::temp_directory_path() / ("ardvel-media-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(InputFolder());
        std::atexit(RemoveInputFolder);
        return (InputFolder() / "x.mp3").string();
    }();
    return path;
}

bool WriteInput(const uint8_t* data, size_t size)
{
    const int fd = ::open(InputPath().c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd, data + done, size - done);
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
    ::close(fd);
    return done == size;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (!WriteInput(data, size)) std::abort();
    const ardvel::TMediaInfo media = ardvel::ReadMediaInfo(InputPath());
    // What the reader promises whatever the bytes: UTF-8 texts, a title
    // that is empty or begins with " - ", and an artist for a tagged file.
    if (!ardvel::IsValidUtf8(media.ArtistText) || !ardvel::IsValidUtf8(media.TitleText)) std::abort();
    if (!media.TitleText.empty() && media.TitleText.rfind(" - ", 0) != 0) std::abort();
    if (!media.TitleText.empty() && media.ArtistText.empty()) std::abort();
    return 0;
}
