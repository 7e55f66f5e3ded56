#include "store/Records.h"

namespace ardvel {

bool HasMp3Extension(std::string_view name) noexcept
{
    if (name.size() < 4) return false;
    const char* e = name.data() + name.size() - 4;
    return e[0] == '.' && (e[1] | 0x20) == 'm' && (e[2] | 0x20) == 'p' && e[3] == '3';
}

std::string_view TrimTrailingControls(std::string_view text) noexcept
{
    std::size_t n = text.size();
    while (n > 0 && static_cast<unsigned char>(text[n - 1]) <= 32) --n;
    return text.substr(0, n);
}

}  // namespace ardvel

namespace ardvel {

std::int32_t SizeKBFromBytes(std::uint64_t bytes) noexcept
{
    const std::uint64_t kb = bytes / 1024 + (bytes % 1024 != 0);
    return kb > 2147483647u ? 2147483647 : static_cast<std::int32_t>(kb);
}

NewFileRecord NewDetails(std::string name, std::uint64_t sizeBytes, TDateTime date, std::optional<TMediaInfo> media)
{
    return {std::move(name), SizeKBFromBytes(sizeBytes), date, std::move(media)};
}

}  // namespace ardvel
