#include "catalog/StoredText.h"

#include "platform/TextEncoding.h"
#include "store/CatalogFile.h"

namespace ardvel {

bool IsStoredForm(std::string_view text) noexcept
{
    if (text.empty()) return true;
    if (static_cast<unsigned char>(text.back()) <= 32) return false;
    bool high = false;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == 0x01 || byte == 0x02) return false;
        high = high || byte >= 0x80;
    }
    return !high || IsValidUtf8(text);
}

std::string AsStored(std::string_view text)
{
    std::string stored = StoredName(text);
    if (!IsValidUtf8(stored)) stored = Windows1252ToUtf8(stored);
    return stored;
}

}  // namespace ardvel
