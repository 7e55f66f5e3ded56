#include "common/ListRowsModel.h"

#include <QHeaderView>

namespace ardvel::gui {

int CharacterCount(std::string_view text) noexcept
{
    int count = 0;
    for (unsigned char c : text)
        if ((c & 0xC0) != 0x80) ++count;
    return count;
}

void ListRowsModel::FitColumns(QHeaderView& header, int pointSize) const
{
    int m = LongestText(0);
    if (m < 3) m = 2;
    header.resizeSection(0, pointSize * (m - 1) + 16);
    for (int c = 1; c < columnCount(); ++c) {
        m = LongestText(c);
        if (m < 3) m = 3;
        header.resizeSection(c, pointSize * m);
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
