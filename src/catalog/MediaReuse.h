#pragma once

// Updating a volume reads the tags again only of MP3 files that changed: a
// file whose size and date are as the volume records them keeps its media
// texts.

#include <cstdint>
#include <string>
#include <unordered_map>

#include "catalog/ScanFolder.h"
#include "store/CatalogTree.h"

namespace ardvel {

class MediaReuse {
public:
    /// The MP3 records of `volume` in `tree`, by their path below it, for a
    /// scan of `scanRoot`; `readTags` reads a changed file (ReadMediaInfo
    /// when not set). The object serves the scans of the thread that made
    /// it, while it lives.
    MediaReuse(const CatalogTree& tree, NodeId volume, std::string scanRoot, MediaReader readTags = nullptr);
    ~MediaReuse();
    MediaReuse(const MediaReuse&) = delete;
    MediaReuse& operator=(const MediaReuse&) = delete;

    /// The reader to hand to the scanner.
    MediaReader Reader() const noexcept;
    /// Files whose old media texts were taken.
    std::uint64_t Reused() const noexcept { return reused_; }

private:
    struct Old {
        std::int32_t SizeKB;
        std::uint32_t Dos;
        TMediaInfo Media;
    };
    static TMediaInfo Read(const std::string& path);
    std::string KeyOf(const std::string& path) const;

    std::unordered_map<std::string, Old> byPath_;
    std::string root_;
    MediaReader readTags_;
    MediaReuse* previous_;
    std::uint64_t reused_ = 0;
};

}  // namespace ardvel
