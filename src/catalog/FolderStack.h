#pragma once

// The folders of a scan from its root down to the one being listed. Each
// folder's listing is read whole when it is entered, and only the deepest
// few folders keep a descriptor open: however deep the tree, the scan needs
// neither more stack nor more descriptors. A folder whose descriptor was
// closed is opened again from the root, by name, when it is needed.

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileDescriptor.h"

namespace ardvel {

class FolderStack {
public:
    /// One entry of a listing ("." and ".." left out).
    struct Entry {
        std::uint32_t NameBegin, NameSize;
        unsigned char Type;  ///< d_type
    };

    /// At most this many folders keep their descriptor open: a quarter of
    /// what the process may open, within [4, 256].
    static std::size_t OpenLimit() noexcept;

    /// Starts over at the folder `path`: 0, or the errno of opening or
    /// listing it.
    int Start(const std::string& path, std::size_t openLimit);
    /// Enters the folder `name` of the top folder (never through a link):
    /// 0, or the errno of opening or listing it.
    int Push(std::string_view name);
    /// Leaves the top folder.
    void Pop() noexcept;
    /// Closes every folder.
    void Clear() noexcept;

    std::size_t Depth() const noexcept { return depth_; }
    /// The top folder's next entry, or null when its listing is done.
    const Entry* Next() noexcept;
    std::string_view Name(const Entry& entry) const noexcept;
    /// The top folder's descriptor, opened again when it was closed: -1
    /// with errno set when that fails (or the folder was replaced).
    int TopFd();
    dev_t TopDevice() const noexcept { return frames_[depth_ - 1].Device; }
    /// Folders holding an open descriptor now.
    std::size_t OpenCount() const noexcept { return openCount_; }

private:
    struct Frame {
        std::string Name;  ///< in its parent; the root's path for the root
        dev_t Device = 0;
        ino_t Inode = 0;
        FileDescriptor Fd;
        std::vector<Entry> Entries;
        std::string Names;
        std::size_t Next = 0;
    };

    /// Makes frames_[depth_] the folder open at `fd`, listed: 0 or errno.
    int Enter(FileDescriptor fd, std::string_view name);
    /// Reads the entries of the folder open at `fd` into `frame` (all but
    /// "." and ".."): 0 or errno.
    int List(int fd, Frame& frame);
    void KeepWithinLimit() noexcept;
    int Reopen();

    std::vector<Frame> frames_;  ///< kept for reuse beyond depth_
    std::vector<char> listing_;  ///< what the system hands over of a folder's entries
    std::size_t depth_ = 0;
    std::size_t openLimit_ = 16;
    std::size_t openCount_ = 0;
    std::size_t lowestOpen_ = 0;  ///< frames below it have no descriptor
};

}  // namespace ardvel
