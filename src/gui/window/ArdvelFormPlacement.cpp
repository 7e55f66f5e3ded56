// What the window remembers of its own shape between runs: its size and
// place, the splitter between the panes and the widths of the Details
// columns of both lists.
#include <QByteArray>
#include <QFrame>
#include <QHeaderView>
#include <QSplitter>
#include <QTreeView>

#include "common/DetailsTable.h"
#include "common/StyledListView.h"
#include "window/ArdvelForm.h"
#include "window/BrowserSettings.h"

namespace ardvel::gui {

namespace {

void SetColumnWidths(StyledListView& list, const std::vector<int>& widths)
{
    QHeaderView* header = list.DetailsView()->header();
    const int count = std::min(static_cast<int>(widths.size()), header->count());
    for (int column = 0; column < count; ++column)
        header->resizeSection(column, widths[static_cast<std::size_t>(column)]);
}

std::vector<int> ColumnWidths(const StyledListView& list)
{
    const QHeaderView* header = list.DetailsView()->header();
    std::vector<int> widths;
    for (int column = 0; column < header->count(); ++column) widths.push_back(std::max(header->sectionSize(column), 1));
    return widths;
}

}  // namespace

void TArdvelForm::RestorePlacement(const ViewSettings& s)
{
    if (!s.WindowGeometry.empty()) restoreGeometry(QByteArray::fromBase64(QByteArray::fromStdString(s.WindowGeometry)));
    if (s.SplitterSizes.size() == 2) w_.Splitter1->setSizes({s.SplitterSizes[0], s.SplitterSizes[1]});
    SetColumnWidths(*w_.ListView, s.ListColumns);
    SetColumnWidths(*w_.SearchView, s.SearchColumns);
}

void TArdvelForm::KeepPlacement(ViewSettings& s) const
{
    s.WindowGeometry = saveGeometry().toBase64().toStdString();
    // A closed left pane has no width worth keeping: the file keeps the
    // last one it had.
    if (!w_.Panel3->isHidden()) {
        const QList<int> sizes = w_.Splitter1->sizes();
        if (sizes.size() == 2 && sizes[0] > 0 && sizes[1] > 0) s.SplitterSizes = {sizes[0], sizes[1]};
    }
    s.ListColumns = ColumnWidths(*w_.ListView);
    s.SearchColumns = ColumnWidths(*w_.SearchView);
}

}  // namespace ardvel::gui
