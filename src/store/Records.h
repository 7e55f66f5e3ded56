#pragma once

#include <string>

namespace ardvel {

/// The media information of one MP3 file. The media text that lists show is
/// ArtistText immediately followed by TitleText; TitleText is empty or
/// begins with " - ".
struct TMediaInfo {
    std::string ArtistText;
    std::string TitleText;

    bool operator==(const TMediaInfo&) const = default;
};

/// True when `name` has the extension ".mp3" in any letter case (the text
/// from its last "." on). `name` is taken as it stands; callers that need
/// the name as a catalog file gives it back trim it first.
bool HasMp3Extension(std::string_view name) noexcept;

/// `text` without its trailing characters of code 32 or less: what a stored
/// string reads back as.
std::string_view TrimTrailingControls(std::string_view text) noexcept;

}  // namespace ardvel

#include <cstdint>
#include <optional>

#include "store/DateTime.h"

namespace ardvel {

/// A file's size in whole KiB, rounded up (0 bytes 0, 1..1024 bytes 1,
/// 1025 bytes 2), capped at the largest SizeKB.
std::int32_t SizeKBFromBytes(std::uint64_t bytes) noexcept;

/// A file record before it joins the tree (see CatalogTree::AddFile).
struct NewFileRecord {
    std::string Name;
    std::int32_t SizeKB = 0;
    TDateTime Date = 0;
    std::optional<TMediaInfo> Media;
};

/// The record of a new file: `SizeKB` = ceil(bytes / 1024).
NewFileRecord NewDetails(std::string name, std::uint64_t sizeBytes, TDateTime date, std::optional<TMediaInfo> media);

}  // namespace ardvel
