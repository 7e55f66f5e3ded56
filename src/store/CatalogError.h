#pragma once

// How the core reports failures and holds resources.
//
// - An operation asked for as a whole that cannot be done throws
//   CatalogError: the program's message text and the path concerned. So do
//   reading and writing one catalog file, saving a report, reading one MP3
//   file's tags; an invalid mask throws EMaskException, a CatalogError too.
// - Where failing is one of the expected outcomes, the function returns it:
//   the name checks (a refusal shown through the UserPrompt), renaming and
//   deleting a volume's file (VolumeFileResult), loading a catalog folder
//   (LoadResult lists each file that failed; loading goes on), a scan
//   (ScanStats lists what could not be read; entries never throw).
// - The core never shows a message, prints or exits. Front ends catch
//   CatalogError where a command or dialog begins and show its text;
//   anything else thrown (std::bad_alloc) is theirs to report too.
// - Descriptors and directory listings are held by FileDescriptor and
//   DirectoryStream, so leaving a scope by an exception closes them. Files
//   are saved through SaveFile: a temporary file beside the target, synced
//   and then renamed into place; a save that fails leaves the old file and
//   no temporary file.

#include <stdexcept>
#include <string>

namespace ardvel {

/// The one error type of the core: the program's message text and the path
/// it concerns. The core never shows or exits; front ends turn it into a
/// message box or a stderr line.
class CatalogError : public std::runtime_error {
public:
    CatalogError(std::string message, std::string path = {}) : std::runtime_error(message), path_(std::move(path)) {}
    const std::string& Path() const noexcept { return path_; }

private:
    std::string path_;
};

/// A catalog file was to be published under a name another file took
/// meanwhile; that file was left alone.
class CatalogFileExists : public CatalogError {
public:
    using CatalogError::CatalogError;
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
