#include "browser/ListRowsModel.h"

namespace ardvel::gui {

int CharacterCount(std::string_view text) noexcept
{
    int count = 0;
    for (unsigned char c : text)
        if ((c & 0xC0) != 0x80) ++count;
    return count;
}

}  // namespace ardvel::gui
