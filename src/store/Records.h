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
