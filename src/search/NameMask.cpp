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
    : folded_(CompileFolded(mask, options)), options_(options), run_(LongestLiteralRun(folded_))
{
}

bool NameMask::Accepts(std::string_view name, std::string& scratch) const
{
    if (IsAsciiText(name)) return folded_.Accepts(name);
    // Folding leaves a name's last ASCII characters as they are, and the one
    // before them keeps ending where they start.
    const std::size_t suffix = folded_.SuffixCount();
    if (suffix != 0 && name.size() > suffix && IsAsciiText(name.substr(name.size() - suffix - 1)))
        return folded_.Accepts(name);
    FoldText(name, scratch, options_);
    return folded_.Accepts(scratch);
}

}  // namespace ardvel
