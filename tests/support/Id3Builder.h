#pragma once

// Test helpers for the MP3 media information: builders of ID3v1 blocks and
// ID3v2.2/2.3/2.4 tags byte by byte, a bit of MPEG audio to put behind
// them, and running external tag writers.

#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "support/TempDir.h"

namespace ardvel::test {

/// A byte string from byte values.
inline std::string Bytes(std::initializer_list<int> values)
{
    std::string out;
    for (int v : values) out.push_back(static_cast<char>(v));
    return out;
}

/// A text frame body: the encoding byte followed by `text` as it stands.
inline std::string TextBody(int encoding, std::string_view text)
{
    std::string body(1, static_cast<char>(encoding));
    body += text;
    return body;
}

/// The bytes of UTF-16 code units, in either byte order.
inline std::string Utf16Bytes(std::u16string_view units, bool bigEndian = false)
{
    std::string out;
    for (char16_t u : units) {
        const char lo = static_cast<char>(u & 0xFF);
        const char hi = static_cast<char>(u >> 8);
        out.push_back(bigEndian ? hi : lo);
        out.push_back(bigEndian ? lo : hi);
    }
    return out;
}

/// An ID3v2 tag of version 2.2, 2.3 or 2.4 assembled from frames and raw
/// bytes. Frame sizes are written as the version wants them (24-bit for
/// 2.2, 32-bit for 2.3, syncsafe for 2.4); the header's size is the
/// syncsafe size of everything between header and footer unless set.
class Id3v2Builder {
public:
    explicit Id3v2Builder(int majorVersion) : major_(majorVersion) {}

    Id3v2Builder& Frame(std::string_view id, std::string_view body, int flags = 0)
    {
        return AddFrame(id, body, major_ == 4 ? Syncsafe(body.size()) : Plain(body.size()), flags);
    }
    /// A version 2.4 frame whose size is a plain 32-bit number, as some
    /// writers put it.
    Id3v2Builder& FramePlainSize(std::string_view id, std::string_view body)
    {
        return AddFrame(id, body, Plain(body.size()), 0);
    }
    /// A frame header with the given size bytes, followed by `body`.
    Id3v2Builder& FrameWithSizeBytes(std::string_view id, std::array<int, 4> size, std::string_view body)
    {
        content_ += id;
        for (int b : size) content_.push_back(static_cast<char>(b));
        content_ += std::string(2, '\0');
        content_ += body;
        return *this;
    }
    Id3v2Builder& Raw(std::string_view bytes)
    {
        content_ += bytes;
        return *this;
    }
    Id3v2Builder& Padding(std::size_t count) { return Raw(std::string(count, '\0')); }
    Id3v2Builder& Flags(int flags)
    {
        flags_ = flags;
        return *this;
    }
    /// Sets the footer flag and appends a footer.
    Id3v2Builder& Footer()
    {
        flags_ |= 0x10;
        footer_ = true;
        return *this;
    }
    /// Replaces the header's size bytes.
    Id3v2Builder& SizeBytes(std::array<int, 4> bytes)
    {
        sizeBytes_ = bytes;
        setSize_ = true;
        return *this;
    }

    std::string Build() const
    {
        std::string tag = Header("ID3");
        tag += content_;
        if (footer_) tag += Header("3DI");
        return tag;
    }

private:
    static std::array<int, 4> Syncsafe(std::size_t n)
    {
        return {static_cast<int>((n >> 21) & 0x7F), static_cast<int>((n >> 14) & 0x7F),
                static_cast<int>((n >> 7) & 0x7F), static_cast<int>(n & 0x7F)};
    }
    static std::array<int, 4> Plain(std::size_t n)
    {
        return {static_cast<int>((n >> 24) & 0xFF), static_cast<int>((n >> 16) & 0xFF),
                static_cast<int>((n >> 8) & 0xFF), static_cast<int>(n & 0xFF)};
    }

    Id3v2Builder& AddFrame(std::string_view id, std::string_view body, std::array<int, 4> size, int flags)
    {
        content_ += id;
        if (major_ == 2) {
            const std::size_t n = body.size();
            content_ += Bytes(
                {static_cast<int>((n >> 16) & 0xFF), static_cast<int>((n >> 8) & 0xFF), static_cast<int>(n & 0xFF)});
        } else {
            for (int b : size) content_.push_back(static_cast<char>(b));
            content_ += Bytes({(flags >> 8) & 0xFF, flags & 0xFF});
        }
        content_ += body;
        return *this;
    }

    std::string Header(std::string_view identifier) const
    {
        std::string header(identifier);
        header += Bytes({major_, 0, flags_});
        const std::array<int, 4> size = setSize_ ? sizeBytes_ : Syncsafe(content_.size());
        for (int b : size) header.push_back(static_cast<char>(b));
        return header;
    }

    int major_;
    int flags_ = 0;
    bool footer_ = false;
    bool setSize_ = false;
    std::array<int, 4> sizeBytes_{};
    std::string content_;
};

/// A 128-byte ID3v1 block; fields are given as raw bytes and padded with
/// `pad` to their width.
inline std::string Id3v1Block(std::string_view title, std::string_view artist, char pad = '\0')
{
    const auto field = [pad](std::string_view text, std::size_t width) {
        std::string f(text.substr(0, width));
        f.resize(width, pad);
        return f;
    };
    std::string block = "TAG";
    block += field(title, 30);
    block += field(artist, 30);
    block += field("Album", 30);
    block += field("1999", 4);
    block += field("Comment", 30);
    block.push_back(static_cast<char>(17));
    return block;
}

/// MPEG-1 Layer III frames of silence (128 kbit/s, 44.1 kHz, 417 bytes
/// each), so that tag writers and readers see an MP3 file.
inline std::string SilentAudio(int frames = 8)
{
    std::string frame = Bytes({0xFF, 0xFB, 0x90, 0x64});
    frame.resize(417, '\0');
    std::string audio;
    for (int i = 0; i < frames; ++i) audio += frame;
    return audio;
}

/// Writes `bytes` into the file `name` of `dir`; returns its path.
inline std::string WriteMediaFile(const TempDir& dir, std::string_view name, std::string_view bytes)
{
    const std::string path = dir.File(name);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
    return path;
}

/// True when `name` is an executable on PATH.
inline bool HaveProgram(const std::string& name)
{
    const char* path = std::getenv("PATH");
    if (path == nullptr) return false;
    std::stringstream dirs(path);
    std::string dir;
    while (std::getline(dirs, dir, ':')) {
        if (!dir.empty() && ::access((dir + "/" + name).c_str(), X_OK) == 0) return true;
    }
    return false;
}

struct ToolResult {
    int ExitCode = -1;
    std::string Out;
    std::string Err;
};

/// Runs `argv` with its standard and error output caught in files of `dir`.
inline ToolResult RunTool(const std::vector<std::string>& argv, const TempDir& dir)
{
    std::string command;
    for (const std::string& arg : argv) command += ShellQuote(arg) + " ";
    const std::string out = dir.File(".tool-out");
    const std::string err = dir.File(".tool-err");
    command += "</dev/null >" + ShellQuote(out) + " 2>" + ShellQuote(err);
    const int status = std::system(command.c_str());
    ToolResult result;
    result.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.Out = ReadBytes(out);
    result.Err = ReadBytes(err);
    return result;
}

}  // namespace ardvel::test
