#include "search/LookInList.h"

#include <QComboBox>

#include "common/Icons.h"
#include "common/QtText.h"
#include "store/NodePath.h"

namespace ardvel::gui {

void FillLookIn(QComboBox& box, const CatalogTree& tree, NodeId current)
{
    box.clear();
    for (NodeId volume : tree.Children(CatalogTree::kRoot))
        box.addItem(ListImage(kVolumeImage), FromUtf8(tree.Text(volume)));
    if (current == kNoNode) current = CatalogTree::kRoot;
    box.addItem(ListImage(tree.ImageIndex(current)), FromUtf8(GetNodePath(tree, current)));
    box.addItem(ListImage(kRootImage), QStringLiteral("All"));
    box.setCurrentIndex(0);
}

void ShowCurrentFolderEntry(QComboBox& box, const CatalogTree& tree, NodeId node)
{
    const int entry = box.count() - 2;
    if (entry < 0) return;
    box.setItemText(entry, FromUtf8(GetNodePath(tree, node)));
    box.setItemIcon(entry, ListImage(tree.ImageIndex(node)));
}

}  // namespace ardvel::gui
