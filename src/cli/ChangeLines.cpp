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

void WriteChangeRow(RowWriter& rows, const TreeChange& change, std::string_view volume)
{
    const bool hasOld = change.Kind != ChangeKind::Added, hasNew = change.Kind != ChangeKind::Removed;
    static constexpr const char* kKinds[] = {"added", "removed", "changed"};
    std::string path(volume);
    path += '/';
    path += change.SlashPath;
    rows.Text(kKinds[static_cast<int>(change.Kind)]).Boolean(change.IsFolder).Text(volume).Text(path);
    const auto size = [&](bool has, std::int32_t sizeKB) {
        if (has && !change.IsFolder)
            rows.Integer(std::int64_t{sizeKB} * 1024).Integer(sizeKB);
        else
            rows.Null().Null();
    };
    size(hasOld, change.OldSizeKB);
    size(hasNew, change.NewSizeKB);
    hasOld ? rows.Date(change.OldDate) : rows.Null();
    hasNew ? rows.Date(change.NewDate) : rows.Null();
    rows.EndRow();
}

}  // namespace ardvel::cli
