#include "search/FolderStatus.h"

#include <algorithm>

#include "common/QtText.h"

namespace ardvel::gui {

QString StatusPath(std::string_view path, std::size_t maxBytes)
{
    if (path.size() <= maxBytes) return FromUtf8(path);
    // "Volume:\", then from the first backslash of the last maxBytes on
    // (an ASCII byte: the cut never splits a character). The final
    // backslash closes the deepest folder and is no place to cut.
    const std::size_t volumeEnd = path.find(":\\");
    const std::size_t head = volumeEnd == std::string_view::npos ? 0 : volumeEnd + 2;
    std::size_t cut = path.find('\\', std::max(head, path.size() - maxBytes));
    if (cut == std::string_view::npos || cut + 1 >= path.size()) {
        // The deepest folder alone is longer: it is shown whole.
        cut = path.rfind('\\', path.size() - 2);
        if (cut == std::string_view::npos || cut < head) return FromUtf8(path);
    }
    return FromUtf8(path.substr(0, head)) + QStringLiteral("...") + FromUtf8(path.substr(cut));
}

}  // namespace ardvel::gui
