#pragma once

// The change lines of diff and update.

#include <iosfwd>

#include "catalog/CompareTrees.h"
#include "platform/Locale.h"

namespace ardvel::cli {

/// One change as a line: "+<TAB>PATH", "-<TAB>PATH" or
/// "~<TAB>PATH<TAB>OLD SIZE<TAB>NEW SIZE<TAB>OLD DATE<TAB>NEW DATE", sizes and
/// dates in the list formats of `locale`, fields escaped.
void WriteChangeLine(std::ostream& out, const TreeChange& change, const Locale& locale);

}  // namespace ardvel::cli
