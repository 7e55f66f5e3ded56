#include "window/CatalogTreeModel.h"

#include <algorithm>

#include "common/Icons.h"

namespace ardvel::gui {

CatalogTreeModel::CatalogTreeModel(CatalogTree& tree, QObject* parent) : QAbstractItemModel(parent), tree_(tree)
{
    RebuildRows();
}

NodeId CatalogTreeModel::NodeOf(const QModelIndex& index)
{
    return index.isValid() ? static_cast<NodeId>(index.internalId()) : kNoNode;
}

QModelIndex CatalogTreeModel::index(int row, int column, const QModelIndex& parent) const
{
    if (column != 0 || row < 0) return {};
    if (!parent.isValid()) return row == 0 ? createIndex(0, 0, quintptr{CatalogTree::kRoot}) : QModelIndex();
    const auto children = tree_.Children(NodeOf(parent));
    if (static_cast<std::size_t>(row) >= children.size()) return {};
    return createIndex(row, 0, quintptr{children[static_cast<std::size_t>(row)]});
}

QModelIndex CatalogTreeModel::parent(const QModelIndex& child) const
{
    const NodeId node = NodeOf(child);
    if (node == kNoNode || node == CatalogTree::kRoot) return {};
    const NodeId up = tree_.Parent(node);
    return createIndex(RowOf(up), 0, quintptr{up});
}

int CatalogTreeModel::rowCount(const QModelIndex& parent) const
{
    if (!parent.isValid()) return 1;
    if (parent.column() != 0) return 0;
    return static_cast<int>(tree_.Children(NodeOf(parent)).size());
}

int CatalogTreeModel::columnCount(const QModelIndex&) const
{
    return 1;
}

bool CatalogTreeModel::hasChildren(const QModelIndex& parent) const
{
    return rowCount(parent) > 0;
}

QVariant CatalogTreeModel::data(const QModelIndex& index, int role) const
{
    const NodeId node = NodeOf(index);
    if (node == kNoNode) return {};
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole: {
            const std::string_view text = tree_.Text(node);
            return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
        }
        case Qt::DecorationRole:
            return TreeImage(tree_.ImageIndex(node));
        default:
            return {};
    }
}

Qt::ItemFlags CatalogTreeModel::flags(const QModelIndex& index) const
{
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (editable_ != kNoNode && NodeOf(index) == editable_) f |= Qt::ItemIsEditable;
    return f;
}

bool CatalogTreeModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    const NodeId node = NodeOf(index);
    if (role != Qt::EditRole || node == kNoNode || node != editable_) return false;
    // The edit ends here whatever becomes of it: the tree is read-only again.
    editable_ = kNoNode;
    return onEdited_ ? onEdited_(node, value.toString()) : false;
}

QModelIndex CatalogTreeModel::IndexOf(NodeId node) const
{
    if (node == kNoNode || !tree_.IsAlive(node)) return {};
    return createIndex(RowOf(node), 0, quintptr{node});
}

int CatalogTreeModel::RowOf(NodeId node) const
{
    if (node == CatalogTree::kRoot) return 0;
    if (node < rows_.size()) {
        const auto siblings = tree_.Children(tree_.Parent(node));
        const std::uint32_t row = rows_[node];
        if (row < siblings.size() && siblings[row] == node) return static_cast<int>(row);
    }
    // A node added since the last rebuild: find it among its siblings.
    const auto siblings = tree_.Children(tree_.Parent(node));
    const auto it = std::find(siblings.begin(), siblings.end(), node);
    return static_cast<int>(it - siblings.begin());
}

void CatalogTreeModel::RebuildRows()
{
    rows_.clear();
    std::vector<NodeId> pending{CatalogTree::kRoot};
    while (!pending.empty()) {
        const NodeId id = pending.back();
        pending.pop_back();
        const auto children = tree_.Children(id);
        for (std::size_t i = 0; i < children.size(); ++i) {
            const NodeId child = children[i];
            if (child >= rows_.size()) rows_.resize(std::max<std::size_t>(child + 1, rows_.size() * 2), 0);
            rows_[child] = static_cast<std::uint32_t>(i);
            if (!tree_.Children(child).empty()) pending.push_back(child);
        }
    }
}

void CatalogTreeModel::RebuildRowsOf(NodeId parent)
{
    const auto children = tree_.Children(parent);
    for (std::size_t i = 0; i < children.size(); ++i) {
        const NodeId child = children[i];
        if (child >= rows_.size()) rows_.resize(child + 1, 0);
        rows_[child] = static_cast<std::uint32_t>(i);
    }
}

void CatalogTreeModel::BeginTreeReset()
{
    beginResetModel();
    editable_ = kNoNode;
}

void CatalogTreeModel::EndTreeReset()
{
    RebuildRows();
    endResetModel();
}

NodeId CatalogTreeModel::AddVolume(std::string name, TDateTime date)
{
    const int row = static_cast<int>(tree_.VolumeCount());
    beginInsertRows(IndexOf(CatalogTree::kRoot), row, row);
    const NodeId node = tree_.AddVolume(std::move(name), date);
    if (node >= rows_.size()) rows_.resize(node + 1, 0);
    rows_[node] = static_cast<std::uint32_t>(row);
    endInsertRows();
    return node;
}

NodeId CatalogTreeModel::AddFolder(NodeId parent, std::string_view name, TDateTime date)
{
    const int row = static_cast<int>(tree_.Children(parent).size());
    beginInsertRows(IndexOf(parent), row, row);
    const NodeId node = tree_.AddFolder(parent, name, date);
    if (node >= rows_.size()) rows_.resize(node + 1, 0);
    rows_[node] = static_cast<std::uint32_t>(row);
    endInsertRows();
    return node;
}

void CatalogTreeModel::RemoveNode(NodeId node)
{
    if (node == CatalogTree::kRoot || !tree_.IsAlive(node)) return;
    const NodeId up = tree_.Parent(node);
    const int row = RowOf(node);
    beginRemoveRows(IndexOf(up), row, row);
    if (editable_ != kNoNode && (editable_ == node || !tree_.IsAlive(editable_))) editable_ = kNoNode;
    tree_.RemoveNode(node);
    RebuildRowsOf(up);
    endRemoveRows();
    if (editable_ != kNoNode && !tree_.IsAlive(editable_)) editable_ = kNoNode;
}

void CatalogTreeModel::RenameVolume(NodeId volume, std::string text,
                                    const std::function<bool(std::string_view, std::string_view)>& less)
{
    const QModelIndex root = IndexOf(CatalogTree::kRoot);
    emit layoutAboutToBeChanged({QPersistentModelIndex(root)}, QAbstractItemModel::VerticalSortHint);
    tree_.SetText(volume, std::move(text));
    // Only the volumes move: the stable sort keeps every other node's place.
    tree_.SortTree(CatalogTree::kRoot, less);
    RebuildRowsOf(CatalogTree::kRoot);
    QModelIndexList from, to;
    for (const QModelIndex& index : persistentIndexList()) {
        if (index.parent() != root) continue;
        const NodeId node = NodeOf(index);
        from.push_back(index);
        to.push_back(tree_.IsAlive(node) ? IndexOf(node) : QModelIndex());
    }
    changePersistentIndexList(from, to);
    emit layoutChanged({QPersistentModelIndex(root)}, QAbstractItemModel::VerticalSortHint);
    const QModelIndex moved = IndexOf(volume);
    emit dataChanged(moved, moved);
}

}  // namespace ardvel::gui
