// Fuzz target for the mask compiler and matcher. The input is a mask, a NUL
// byte and a name (no NUL: the whole input is the mask and the name is
// empty). Checks that compiling either succeeds or fails with a well-formed
// message whose position lies in the mask (or just past it), that the
// matcher answers as trying every place of every "*" does, and that the way
// the search applies a mask (its literal run looked for first, then the mask
// on the folded name) answers as trying every place on the folded name.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/Locale.h"
#include "search/Mask.h"
#include "search/MaskReference.h"
#include "search/NameMask.h"
#include "search/TextFinder.h"

namespace {

void CheckSearchPath(std::string_view mask, std::string_view name)
{
    for (const bool ignoreAccents : {false, true}) {
        const ardvel::FoldOptions options{ignoreAccents};
        const ardvel::NameMask searched(mask, options);
        std::string scratch;
        bool fast = true;
        if (!searched.LiteralRun().empty())
            fast = ardvel::TextFinder(searched.LiteralRun(), ardvel::Locale::User(), options).FoundIn(name, scratch);
        fast = fast && searched.Accepts(name, scratch);
        const std::string folded = ardvel::FoldText(name, options);
        if (fast != ardvel::AcceptsTryingEveryPlace(searched.Compiled(), folded)) __builtin_trap();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t split = input.find('\0');
    const std::string_view mask = input.substr(0, split);
    const std::string_view name = split == std::string_view::npos ? std::string_view{} : input.substr(split + 1);

    try {
        const ardvel::TMask compiled(mask);
        const bool accepted = compiled.Accepts(name);
        // The reference takes time and memory of mask times name.
        if (mask.size() <= 256 && name.size() <= 512) {
            if (accepted != ardvel::AcceptsTryingEveryPlace(compiled, name)) __builtin_trap();
            CheckSearchPath(mask, name);
        }
    } catch (const ardvel::EMaskException& e) {
        const int position = e.Position();
        if (position < 1 || static_cast<std::size_t>(position) > mask.size() + 1) __builtin_trap();
        const std::string expected =
            "'" + std::string(mask) + "' is an invalid mask at (" + std::to_string(position) + ")";
        if (expected != e.what()) __builtin_trap();
    }
    return 0;
}
