#include "common/ListRowsModel.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QStyle>
#include <algorithm>

#include "common/DetailsTable.h"

namespace ardvel::gui {

int CharacterCount(std::string_view text) noexcept
{
    int count = 0;
    for (unsigned char c : text)
        if ((c & 0xC0) != 0x80) ++count;
    return count;
}

void ListRowsModel::FitColumns(DetailsTable& view) const
{
    QHeaderView* header = view.header();
    const QAbstractItemView& cells = view;
    const QFontMetrics metrics(view.font());
    const int margin = view.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &view) + 1;
    for (int c = 0; c < columnCount(); ++c) {
        // The view measures the rows near the top as its delegate draws
        // them; the longest text of all rows, at the font's average
        // character width, stands for the rest.
        int width = std::max(cells.sizeHintForColumn(c), header->sectionSizeHint(c));
        int estimate = LongestText(c) * metrics.averageCharWidth() + 2 * margin;
        if (c == 0) estimate += (view.iconSize().isValid() ? view.iconSize().width() : 16) + 2 * margin;
        header->resizeSection(c, std::max(width, estimate));
    }
}

void ListRowsModel::ReorderRows(std::vector<std::uint32_t>& order, std::size_t sourceCount,
                                const std::function<void()>& sort)
{
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<std::uint32_t> sources;
    sources.reserve(static_cast<std::size_t>(before.size()));
    for (const QModelIndex& index : before) sources.push_back(order[static_cast<std::size_t>(index.row())]);

    sort();

    if (!before.isEmpty()) {
        std::vector<std::uint32_t> rowOf(sourceCount);
        for (std::size_t row = 0; row < order.size(); ++row) rowOf[order[row]] = static_cast<std::uint32_t>(row);
        QModelIndexList after;
        after.reserve(before.size());
        for (qsizetype i = 0; i < before.size(); ++i)
            after.push_back(index(static_cast<int>(rowOf[sources[static_cast<std::size_t>(i)]]), before[i].column()));
        changePersistentIndexList(before, after);
    }
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

}  // namespace ardvel::gui
