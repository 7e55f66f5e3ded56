#pragma once

#include <QAbstractItemModel>
#include <functional>
#include <vector>

#include "store/CatalogTree.h"

namespace ardvel::gui {

/// The catalog tree as an item model, read straight from the CatalogTree:
/// one column, the root "My Catalogs" as the only top-level item, the
/// internal id of an index being its NodeId. The row of every node is kept
/// in a map rebuilt whenever the tree changes as a whole, so `parent()` and
/// `IndexOf` need no search.
///
/// The tree is read-only except for one node at a time that the rename
/// command makes editable; an accepted edit goes to `SetEditHandler`'s
/// handler, which decides what becomes of the node.
class CatalogTreeModel final : public QAbstractItemModel {
    Q_OBJECT
public:
    /// Given the node and the edited text; returns whether the node took it.
    using EditHandler = std::function<bool(NodeId, const QString&)>;

    explicit CatalogTreeModel(CatalogTree& tree, QObject* parent = nullptr);

    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    bool hasChildren(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    const CatalogTree& Tree() const noexcept { return tree_; }
    QModelIndex IndexOf(NodeId node) const;
    static NodeId NodeOf(const QModelIndex& index);

    /// Wrap a change of the whole tree (loading a catalog folder, adding a
    /// volume): every index and row is made again.
    void BeginTreeReset();
    void EndTreeReset();

    /// Adds a volume as the last child of the root, or a folder as the last
    /// child of `parent`, telling the views (cataloguing adds nodes while
    /// the tree is on show).
    NodeId AddVolume(std::string name, TDateTime date);
    NodeId AddFolder(NodeId parent, std::string_view name, TDateTime date);

    /// Removes a volume (or folder) node with its subtree from the tree.
    void RemoveNode(NodeId node);
    /// Gives a volume node a new text and moves it to its sorted place
    /// among the volumes (`less` on node texts, stable).
    void RenameVolume(NodeId volume, std::string text,
                      const std::function<bool(std::string_view, std::string_view)>& less);

    /// The node that may be edited (kNoNode: none, the tree is read-only).
    void SetEditableNode(NodeId node) { editable_ = node; }
    NodeId EditableNode() const noexcept { return editable_; }
    void SetEditHandler(EditHandler handler) { onEdited_ = std::move(handler); }

private:
    int RowOf(NodeId node) const;
    void RebuildRows();
    void RebuildRowsOf(NodeId parent);

    CatalogTree& tree_;
    std::vector<std::uint32_t> rows_;  // by NodeId: the row under its parent
    NodeId editable_ = kNoNode;
    EditHandler onEdited_;
};

}  // namespace ardvel::gui
