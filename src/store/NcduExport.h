#pragma once

// A volume in the JSON export format of the ncdu disk usage browser
// (major version 1), which `ncdu -f FILE` reads back:
//   [1,1,{"progname":"ardvel","timestamp":T},
//    [{"name":VOLUME,"mtime":M}, {"name":FILE,"asize":B,"dsize":B,"mtime":M},
//     [{"name":FOLDER,"mtime":M}, ...], ...]]
// A folder is an array whose first element is its own info object; sizes
// are the recorded SizeKB * 1024 bytes (asize and dsize alike), mtime the
// Unix time of the recorded local date.

#include <cstdint>
#include <string>
#include <string_view>

#include "store/CatalogFile.h"
#include "store/CatalogTree.h"
#include "store/OutputFile.h"

namespace ardvel {

class NcduWriter {
public:
    /// Writes the head of the document; `timestamp` is the Unix time of
    /// the export.
    NcduWriter(ByteSink& sink, std::int64_t timestamp);
    NcduWriter(const NcduWriter&) = delete;
    NcduWriter& operator=(const NcduWriter&) = delete;

    /// Opens a folder (the first one is the volume) inside the open one.
    void BeginFolder(std::string_view name, TDateTime date);
    void File(std::string_view name, std::int32_t sizeKB, TDateTime date);
    void EndFolder();
    /// Folders open, the volume included.
    std::size_t Depth() const noexcept { return depth_; }
    /// Closes every open folder and the document, and hands over the rest.
    void Finish();

    std::uint64_t Records() const noexcept { return records_; }

private:
    void Info(std::string_view name, TDateTime date);
    void FlushIfFull();

    ByteSink& sink_;
    std::string buffer_;
    std::size_t depth_ = 0;
    std::uint64_t records_ = 0;
};

/// The records of one catalog file as an ncdu document; the root folder is
/// named `volume`. Read failures throw CatalogError.
void WriteNcduExport(CatalogReader& reader, std::string_view volume, ByteSink& sink, std::int64_t timestamp);

/// A volume of the tree as an ncdu document, in catalog file order.
void WriteNcduExport(const CatalogTree& tree, NodeId volume, ByteSink& sink, std::int64_t timestamp);

}  // namespace ardvel
