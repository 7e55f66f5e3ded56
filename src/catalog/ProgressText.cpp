#include "catalog/ProgressText.h"

#include "platform/TextEncoding.h"

namespace ardvel {

std::string ShortenFolderText(std::string_view folder)
{
    // Count up to one past the limit; the first three characters' end is
    // noted on the way.
    std::size_t pos = 0, count = 0, headEnd = 0;
    while (pos < folder.size() && count <= kProgressFolderWidth) {
        DecodeCharacter(folder, pos);
        ++count;
        if (count == 3) headEnd = pos;
    }
    if (count <= kProgressFolderWidth) return std::string(folder);

    const std::size_t slash = folder.rfind('/');
    std::string text(folder.substr(0, headEnd));
    text += " ...";
    text += slash == std::string_view::npos ? folder : folder.substr(slash);
    return text;
}

}  // namespace ardvel
