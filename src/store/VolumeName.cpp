#include "store/VolumeName.h"

namespace ardvel {

namespace {

bool IsDigit(char c) noexcept
{
    return c >= '0' && c <= '9';
}

bool IsEncoded(char c) noexcept
{
    switch (c) {
        case '\\':
        case '/':
        case ':':
        case '*':
        case '?':
        case '"':
        case '<':
        case '>':
        case '|':
            return true;
        default:
            return false;
    }
}

}  // namespace

EncodedVolumeName EncodeVolumeName(std::string_view name)
{
    EncodedVolumeName result;
    for (std::size_t i = 0; i + 1 < name.size(); ++i) {
        if (name[i] == '~' && IsDigit(name[i + 1])) {
            result.Refused = true;
            result.Message = kTildeDigitRefusal;
            return result;
        }
    }
    result.Stem.reserve(name.size());
    for (char c : name) {
        if (IsEncoded(c)) {
            result.Stem += '~';
            result.Stem += std::to_string(static_cast<unsigned char>(c));
        } else {
            result.Stem += c;
        }
    }
    return result;
}

EncodedVolumeName EncodeNewVolumeName(std::string_view name)
{
    EncodedVolumeName result = EncodeVolumeName(name);
    if (result.Refused) return result;
    bool blank = true;
    for (char c : name) blank = blank && static_cast<unsigned char>(c) <= 32;
    const bool improper =
        blank || name.find('\0') != std::string_view::npos || result.Stem.size() + 4 > kMaxFileNameBytes;
    if (improper) {
        result.Refused = true;
        result.Stem.clear();
        result.Message = kImproperVolumeName;
    }
    return result;
}

std::string DecodeVolumeName(std::string_view fileName)
{
    const std::string_view stem = fileName.substr(0, fileName.size() >= 4 ? fileName.size() - 4 : 0);
    std::string name;
    name.reserve(stem.size());
    for (std::size_t i = 0; i < stem.size();) {
        if (stem[i] != '~' || i + 1 >= stem.size() || !IsDigit(stem[i + 1])) {
            name += stem[i++];
            continue;
        }
        std::size_t j = i + 1;
        unsigned code = 0;  // taken modulo 256 as it is read: no overflow
        while (j < stem.size() && IsDigit(stem[j])) code = (code * 10 + static_cast<unsigned>(stem[j++] - '0')) % 256;
        if (code >= 34 && code <= 124)
            name += static_cast<char>(code);
        else
            name += stem[j - 1];
        i = j;
    }
    return name;
}

}  // namespace ardvel
