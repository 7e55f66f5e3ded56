#include "cli/ChangeLines.h"

#include <ostream>

#include "cli/CliCommon.h"
#include "store/ListFormats.h"

namespace ardvel::cli {

void WriteChangeLine(std::ostream& out, const TreeChange& change, const Locale& locale)
{
    switch (change.Kind) {
        case ChangeKind::Added:
            out << "+\t" << EscapeField(change.Path) << '\n';
            break;
        case ChangeKind::Removed:
            out << "-\t" << EscapeField(change.Path) << '\n';
            break;
        case ChangeKind::Changed:
            out << "~\t" << EscapeField(change.Path) << '\t' << EscapeField(FormatSize(change.OldSizeKB, locale))
                << '\t' << EscapeField(FormatSize(change.NewSizeKB, locale)) << '\t'
                << EscapeField(FormatDate(change.OldDate, locale)) << '\t'
                << EscapeField(FormatDate(change.NewDate, locale)) << '\n';
            break;
    }
}

}  // namespace ardvel::cli
