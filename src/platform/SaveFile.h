#pragma once

// Saving a file so that readers only ever see the old file or the whole new
// one: written beside the target under a temporary name, flushed to disk,
// then moved into place.

#include <cstddef>
#include <string>

#include "platform/FileDescriptor.h"

namespace ardvel {

class SaveFile {
public:
    /// How Commit puts the file in place.
    enum class Publish {
        Replace,    ///< an existing file of the name is replaced
        NoReplace,  ///< fails with EEXIST when the name is taken meanwhile
    };

    SaveFile() = default;
    /// Removes the temporary file unless it was committed.
    ~SaveFile();
    SaveFile(const SaveFile&) = delete;
    SaveFile& operator=(const SaveFile&) = delete;

    /// Creates the temporary file in the folder of `target` (a path with a
    /// file name; a symbolic link stands for the file it names), readable
    /// and writable as the umask allows. 0 or errno. Only for targets that
    /// are regular files or do not exist yet: anything else would be
    /// replaced by a regular file.
    int Open(const std::string& target);
    int Fd() const noexcept { return fd_.Get(); }
    const std::string& TempPath() const noexcept { return tempPath_; }

    /// WriteAll to the temporary file: 0 or errno.
    int Write(const void* data, std::size_t size) noexcept;
    /// Syncs and closes the temporary file and moves it to the target: 0 or
    /// errno. The temporary file is gone afterwards either way.
    int Commit(Publish how);
    /// Closes and removes the temporary file.
    void Discard() noexcept;

private:
    std::string target_;
    std::string tempPath_;
    FileDescriptor fd_;
};

/// Moves `from` to `to` unless `to` exists: 0, or errno (EEXIST when it
/// does). Where the file system has no way to ask for this, a hard link
/// and the removal of `from` do it; only where neither works is the check
/// made just before a plain rename.
int RenameNoReplace(const std::string& from, const std::string& to) noexcept;

}  // namespace ardvel
