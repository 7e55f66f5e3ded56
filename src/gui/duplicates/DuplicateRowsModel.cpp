#include "duplicates/DuplicateRowsModel.h"

#include <algorithm>

#include "common/QtText.h"
#include "store/ListFormats.h"

namespace ardvel::gui {

DuplicateRowsModel::DuplicateRowsModel(const Locale& locale, QObject* parent)
    : QAbstractTableModel(parent), locale_(locale)
{
}

void DuplicateRowsModel::Show(const CatalogTree& tree, const DuplicateResult& result)
{
    beginResetModel();
    rows_.clear();
    rows_.reserve(result.RecordCount());
    const auto& groups = result.Groups();
    for (std::size_t g = 0; g < groups.size(); ++g) {
        for (std::uint32_t i = 0; i < groups[g].Count; ++i) {
            const DuplicateRecord r = result.Record(groups[g].First + i);
            Row row;
            row.Group = static_cast<int>(g + 1);
            row.Order = static_cast<std::uint32_t>(rows_.size());
            row.Folder = tree.Handle(r.Node);
            const NodeId volume = tree.VolumeOf(r.Node);
            // The path within the volume, as the search results show it.
            const std::string nodePath = GetNodePath(tree, r.Node);
            const std::size_t volumeLength = tree.Text(volume).size() + 2;
            if (r.File != kNoFile) {
                const VolumeStore& store = tree.Store(volume);
                row.Name = FromUtf8(store.Name(store.Files[r.File]));
                row.Path = FromUtf8(std::string_view(nodePath).substr(volumeLength));
            } else {
                row.Name = FromUtf8(tree.Text(r.Node));
                const std::string_view parent = std::string_view(nodePath).substr(volumeLength);
                row.Path = FromUtf8(parent.substr(0, parent.size() - tree.Text(r.Node).size() - 1));
            }
            row.Volume = FromUtf8(tree.Text(volume));
            row.SizeKB = r.SizeKB;
            row.Date = r.Date;
            row.Size = QString::fromStdString(FormatSize(r.SizeKB, locale_));
            row.Modified = QString::fromStdString(FormatDate(r.Date, locale_));
            rows_.push_back(std::move(row));
        }
    }
    endResetModel();
}

void DuplicateRowsModel::Clear()
{
    beginResetModel();
    rows_.clear();
    endResetModel();
}

NodeHandle DuplicateRowsModel::RowFolder(int row) const
{
    return row >= 0 && row < rowCount() ? rows_[static_cast<std::size_t>(row)].Folder : NodeHandle{};
}

int DuplicateRowsModel::Group(int row) const
{
    return row >= 0 && row < rowCount() ? rows_[static_cast<std::size_t>(row)].Group : 0;
}

int DuplicateRowsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int DuplicateRowsModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant DuplicateRowsModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const Row& row = rows_[static_cast<std::size_t>(index.row())];
    if (role == Qt::TextAlignmentRole && (index.column() == kGroup || index.column() == kSize))
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole) return {};
    switch (index.column()) {
        case kGroup:
            return row.Group;
        case kName:
            return row.Name;
        case kVolume:
            return row.Volume;
        case kPath:
            return row.Path;
        case kSize:
            return row.Size;
        case kModified:
            return row.Modified;
        default:
            return {};
    }
}

QVariant DuplicateRowsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    static const char* const kTitles[kColumnCount] = {"Group", "Name", "Volume", "Path", "Size", "Modified"};
    return section >= 0 && section < kColumnCount ? QString::fromLatin1(kTitles[section]) : QVariant();
}

int DuplicateRowsModel::Compare(const Row& a, const Row& b, int column) const
{
    const auto sign = [](auto x, auto y) { return x < y ? -1 : y < x ? 1 : 0; };
    switch (column) {
        case kGroup:
            return sign(a.Group, b.Group);
        case kName:
            return locale_.Compare(ToUtf8(a.Name), ToUtf8(b.Name));
        case kVolume:
            return locale_.Compare(ToUtf8(a.Volume), ToUtf8(b.Volume));
        case kPath:
            return locale_.Compare(ToUtf8(a.Path), ToUtf8(b.Path));
        case kSize:
            return sign(a.SizeKB, b.SizeKB);
        case kModified:
            return sign(a.Date, b.Date);
        default:
            return 0;
    }
}

void DuplicateRowsModel::sort(int column, Qt::SortOrder order)
{
    emit layoutAboutToBeChanged();
    const QModelIndexList before = persistentIndexList();
    std::vector<std::uint32_t> orderBefore;
    for (const QModelIndex& i : before) orderBefore.push_back(rows_[static_cast<std::size_t>(i.row())].Order);
    std::stable_sort(rows_.begin(), rows_.end(), [&](const Row& a, const Row& b) {
        const int c = Compare(a, b, column);
        if (c != 0) return order == Qt::AscendingOrder ? c < 0 : c > 0;
        return a.Order < b.Order;  // level rows: group order
    });
    // Selection and current row follow their rows.
    std::vector<int> rowOf(rows_.size());
    for (std::size_t r = 0; r < rows_.size(); ++r) rowOf[rows_[r].Order] = static_cast<int>(r);
    QModelIndexList after;
    for (qsizetype k = 0; k < before.size(); ++k)
        after.push_back(index(rowOf[orderBefore[static_cast<std::size_t>(k)]], before[k].column()));
    changePersistentIndexList(before, after);
    emit layoutChanged();
}

}  // namespace ardvel::gui
