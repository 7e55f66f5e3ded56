#include "search/NameMask.h"

#include <algorithm>

namespace ardvel {

namespace {

/// A member of a set, folded: the first character of its fold, or itself
/// when it folds to nothing (a mark, when accents are ignored), so that the
/// set keeps its members.
void AppendFoldedMember(std::string_view member, std::string& out, FoldOptions options)
{
    const std::string folded = FoldText(member, options);
    out.append(folded.empty() ? member : std::string_view(folded).substr(0, CharacterLengthAt(folded, 0)));
}

/// The mask with its literals and set members folded, its signs kept where
/// they are: folding the whole text could join a mark to a sign or drop a
/// set's only member. `mask` is a valid mask.
std::string FoldMaskText(std::string_view mask, FoldOptions options)
{
    std::string out;
    std::size_t i = 0;
    while (i < mask.size()) {
        if (mask[i] == '*' || mask[i] == '?') {
            out.push_back(mask[i++]);
        } else if (mask[i] == '[') {
            out.push_back(mask[i++]);
            if (mask[i] == '!') out.push_back(mask[i++]);
            for (bool first = true;; first = false) {
                if (!first && mask[i] == ']') break;
                if (!first && mask[i] == '-') out.push_back(mask[i++]);  // the range's end follows, even "]"
                const std::size_t length = CharacterLengthAt(mask, i);
                AppendFoldedMember(mask.substr(i, length), out, options);
                i += length;
            }
            out.push_back(mask[i++]);
        } else {
            const std::size_t end = std::min(mask.find_first_of("*?[", i), mask.size());
            out += FoldText(mask.substr(i, end - i), options);
            i = end;
        }
    }
    return out;
}

/// Compiles the mask as written first, so that an invalid mask is reported
/// with its own text and positions.
TMask CompileFolded(std::string_view mask, FoldOptions options)
{
    const TMask written(mask);
    const std::string folded = FoldMaskText(mask, options);
    return folded == mask ? written : TMask(folded);
}

std::string LongestLiteralRun(const TMask& mask)
{
    std::string longest, run;
    for (const MaskToken& token : mask.Tokens()) {
        const bool ascii = token.Kind == MaskTokenKind::Literal && token.Length == 1 &&
                           static_cast<unsigned char>(token.Bytes[0]) < 0x80;
        if (token.Skip || !ascii) {
            if (run.size() > longest.size()) longest = run;
            run.clear();
        }
        if (ascii) run.push_back(token.Bytes[0]);
    }
    return FoldText(longest);
}

}  // namespace

NameMask::NameMask(std::string_view mask, FoldOptions options)
    : folded_(CompileFolded(mask, options)),
      options_(options),
      specials_(&FoldSpecials::For(options)),
      run_(LongestLiteralRun(folded_))
{
    for (const MaskToken& token : folded_.Tokens()) {
        if (token.Kind == MaskTokenKind::Literal)  // a letter with a mark is no ASCII literal
            asciiOnly_ = asciiOnly_ && token.Length == 1 && static_cast<unsigned char>(token.Bytes[0]) < 0x80;
        else if (token.Kind == MaskTokenKind::CharSet)
            asciiOnly_ = asciiOnly_ && folded_.Sets()[token.Set].Ranges.empty();
    }
}

bool NameMask::AcceptsFolded(std::string_view name, std::string& scratch) const
{
    // Folding a name without specials changes only its characters beyond
    // ASCII, and not into ASCII: a mask of ASCII literals and sets, "?" and
    // "*" sees no difference.
    if (IsAsciiText(name) || (asciiOnly_ && !specials_->In(name))) return folded_.Accepts(name);
    FoldText(name, scratch, options_);
    return folded_.Accepts(scratch);
}

}  // namespace ardvel
