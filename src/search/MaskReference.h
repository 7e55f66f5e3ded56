#pragma once

// The plain reading of the mask rules, kept as a check of TMask::Accepts: for
// every skipping token every place is tried, leftmost first, going back to
// later places when the rest does not fit. Remembering the (token, place)
// pairs that failed keeps it polynomial. Used by the tests and the fuzz
// target only.

#include <string_view>
#include <vector>

#include "search/Mask.h"
#include "search/UnicodeFold.h"

namespace ardvel {

inline bool AcceptsTryingEveryPlace(const TMask& mask, std::string_view name)
{
    const auto tokens = mask.Tokens();
    const std::size_t width = name.size() + 1;
    std::vector<unsigned char> failed(tokens.size() * width, 0);

    struct Search {
        const TMask& Mask;
        std::span<const MaskToken> Tokens;
        std::string_view Name;
        std::size_t Width;
        std::vector<unsigned char>& Failed;

        bool From(std::size_t t, std::size_t pos)
        {
            if (Failed[t * Width + pos]) return false;
            const MaskToken& token = Tokens[t];
            for (std::size_t place = pos;;) {
                std::size_t length;
                if (Mask.Covers(token, Name, place, length)) {
                    if (token.Kind == MaskTokenKind::EndOfName) return true;
                    if (From(t + 1, place + length)) return true;
                }
                if (!token.Skip || place >= Name.size()) break;
                place += ClusterLengthAt(Name, place);
            }
            Failed[t * Width + pos] = 1;
            return false;
        }
    };
    Search search{mask, tokens, name, width, failed};
    return search.From(0, 0);
}

}  // namespace ardvel
