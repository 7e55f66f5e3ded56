#pragma once

#include <stdexcept>
#include <string>

namespace ardvel {

/// The one error type of the core: the program's message text and the path
/// it concerns. The core never shows or exits; front ends turn it into a
/// message box or a stderr line.
class CatalogError : public std::runtime_error {
public:
    CatalogError(std::string message, std::string path = {})
        : std::runtime_error(message), path_(std::move(path)) {}
    const std::string& Path() const noexcept { return path_; }

private:
    std::string path_;
};

/// Texts of the runtime's I/O errors.
inline constexpr const char* kReadBeyondEnd = "Read beyond end of file";
inline constexpr const char* kDiskFull = "Disk full";
inline constexpr const char* kFileNotFound = "File not found";
inline constexpr const char* kFileAccessDenied = "File access denied";
inline constexpr const char* kInvalidFilename = "Invalid filename";
inline constexpr const char* kInvalidCatalogFile = "Invalid catalog file";

/// The runtime's text for an errno of opening, creating or writing a file.
const char* IoErrorText(int error) noexcept;

}  // namespace ardvel
