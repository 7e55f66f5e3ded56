#pragma once

// Where exported text goes: a stream (standard output) or a file that
// appears whole or not at all.

#include <iosfwd>
#include <string>
#include <string_view>

namespace ardvel {

/// Receives exported bytes in large pieces.
class ByteSink {
public:
    virtual ~ByteSink() = default;
    virtual void Write(std::string_view bytes) = 0;
};

/// Writes to a std::ostream (standard output).
class StreamSink final : public ByteSink {
public:
    explicit StreamSink(std::ostream& out) : out_(out) {}
    void Write(std::string_view bytes) override;

private:
    std::ostream& out_;
};

/// Collects everything in a string (tests, the window's own use).
class StringSink final : public ByteSink {
public:
    void Write(std::string_view bytes) override { Text.append(bytes); }
    std::string Text;
};

/// A file written through a temporary file beside it: `Commit` syncs it
/// and renames it into place, so readers never see half a file; without a
/// commit the temporary file is removed. Failures throw CatalogError with
/// the target's path.
class OutputFile final : public ByteSink {
public:
    explicit OutputFile(std::string path);
    ~OutputFile() override;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    void Write(std::string_view bytes) override;
    void Commit();

private:
    [[noreturn]] void Fail(int error);

    std::string path_;
    std::string tempPath_;
    int fd_ = -1;
};

}  // namespace ardvel
