#include "search/LookInList.h"

#include <QComboBox>

#include "common/Icons.h"
#include "common/QtText.h"
#include "store/NodePath.h"

namespace ardvel::gui {

namespace {

/// A volume entry carries its volume's handle, so the choice of a volume
/// survives renames and new volumes sorted in before it.
QVariant HandleData(NodeHandle handle)
{
    return QVariant::fromValue((static_cast<qulonglong>(handle.Generation) << 32) | handle.Index);
}

NodeHandle HandleOf(const QVariant& data)
{
    const qulonglong value = data.toULongLong();
    return {static_cast<std::uint32_t>(value & 0xFFFFFFFFu), static_cast<std::uint32_t>(value >> 32)};
}

}  // namespace

void FillLookIn(QComboBox& box, const CatalogTree& tree, NodeId current)
{
    // What the user chose: a volume, the current folder, or All.
    const int chosen = box.currentIndex(), oldCount = box.count();
    const bool choseAll = oldCount >= 2 && chosen == oldCount - 1;
    const bool choseCurrent = oldCount >= 2 && chosen == oldCount - 2;
    const bool choseVolume = chosen >= 0 && chosen < oldCount - 2;
    const NodeId volume = choseVolume ? tree.Resolve(HandleOf(box.itemData(chosen))) : kNoNode;

    box.clear();
    int pick = 0;
    for (NodeId v : tree.Children(CatalogTree::kRoot)) {
        if (v == volume) pick = box.count();
        box.addItem(ListImage(kVolumeImage), FromUtf8(tree.Text(v)), HandleData(tree.Handle(v)));
    }
    if (current == kNoNode) current = CatalogTree::kRoot;
    box.addItem(ListImage(tree.ImageIndex(current)), FromUtf8(GetNodePath(tree, current)));
    box.addItem(ListImage(kRootImage), QStringLiteral("All"));
    if (choseAll) pick = box.count() - 1;
    if (choseCurrent) pick = box.count() - 2;
    box.setCurrentIndex(pick);
}

void ShowCurrentFolderEntry(QComboBox& box, const CatalogTree& tree, NodeId node)
{
    const int entry = box.count() - 2;
    if (entry < 0) return;
    box.setItemText(entry, FromUtf8(GetNodePath(tree, node)));
    box.setItemIcon(entry, ListImage(tree.ImageIndex(node)));
}

}  // namespace ardvel::gui
