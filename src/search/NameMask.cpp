#include "search/NameMask.h"

namespace ardvel {

namespace {

/// Compiles the mask as written first, so that an invalid mask is reported
/// with its own text and positions.
TMask CompileFolded(std::string_view mask, FoldOptions options)
{
    const TMask written(mask);
    const std::string folded = FoldText(mask, options);
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
        if (token.Kind == MaskTokenKind::Literal)
            asciiOnly_ = asciiOnly_ && static_cast<unsigned char>(token.Bytes[0]) < 0x80;
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
