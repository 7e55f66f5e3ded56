#include "store/TabFields.h"

namespace ardvel {

void AppendTabField(std::string& out, std::string_view text)
{
    for (char c : text) {
        switch (c) {
            case '\t':
                out += "\\t";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\\':
                out += "\\\\";
                break;
            default:
                out += c;
        }
    }
}

std::string EscapeTabField(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    AppendTabField(out, text);
    return out;
}

}  // namespace ardvel
