#include <QPersistentModelIndex>
#include <QSignalSpy>

#include "GuiTestSupport.h"
#include "common/Icons.h"
#include "window/CatalogTreeModel.h"

namespace ardvel::gui {
namespace {

using test::ModelComplaints;
using test::Numbered;
using test::TestModel;

struct CatalogTreeModelTest : ::testing::Test {
    CatalogTreeModelTest()
    {
        a = tree.AddVolume("Alpha", 0);
        b = tree.AddVolume("Beta", 0);
        rock = tree.AddFolder(a, "Rock", 0);
        live = tree.AddFolder(rock, "Live", 0);
        jazz = tree.AddFolder(a, "Jazz", 0);
        tree.AddFile(live, "song.mp3", 10, 0);
    }
    std::string TextAt(const QModelIndex& index) const { return index.data().toString().toStdString(); }

    ModelComplaints complaints;
    CatalogTree tree;
    NodeId a, b, rock, live, jazz;
};

TEST_F(CatalogTreeModelTest, ShowsTheRootAloneAtTopAndTheNodesBelowInTreeOrder)
{
    CatalogTreeModel model(tree);
    auto tester = TestModel(&model);
    ASSERT_EQ(model.rowCount(), 1);
    const QModelIndex root = model.index(0, 0);
    EXPECT_EQ(TextAt(root), "My Catalogs");
    ASSERT_EQ(model.rowCount(root), 2);
    EXPECT_EQ(TextAt(model.index(0, 0, root)), "Alpha");
    EXPECT_EQ(TextAt(model.index(1, 0, root)), "Beta");
    const QModelIndex alpha = model.index(0, 0, root);
    EXPECT_EQ(TextAt(model.index(1, 0, alpha)), "Jazz");
    EXPECT_FALSE(model.hasChildren(model.index(1, 0, root)));
    // Files are no tree items.
    const QModelIndex liveIndex = model.IndexOf(live);
    EXPECT_EQ(model.rowCount(liveIndex), 0);
}

TEST_F(CatalogTreeModelTest, IndexOfAndParentAgreeForEveryNode)
{
    CatalogTreeModel model(tree);
    for (NodeId node : {CatalogTree::kRoot, a, b, rock, live, jazz}) {
        const QModelIndex index = model.IndexOf(node);
        ASSERT_TRUE(index.isValid());
        EXPECT_EQ(CatalogTreeModel::NodeOf(index), node);
        EXPECT_EQ(model.index(index.row(), 0, index.parent()), index);
        if (node != CatalogTree::kRoot) {
            EXPECT_EQ(CatalogTreeModel::NodeOf(index.parent()), tree.Parent(node));
        }
    }
    EXPECT_FALSE(model.parent(model.IndexOf(CatalogTree::kRoot)).isValid());
    // A node added after the model was made is still found.
    const NodeId late = tree.AddFolder(jazz, "Late", 0);
    EXPECT_EQ(CatalogTreeModel::NodeOf(model.IndexOf(late)), late);
    EXPECT_EQ(model.IndexOf(late).row(), 0);
}

TEST_F(CatalogTreeModelTest, ImagesFollowTheNodeKind)
{
    CatalogTreeModel model(tree);
    const auto cacheKey = [&](NodeId node) {
        return qvariant_cast<QIcon>(model.IndexOf(node).data(Qt::DecorationRole)).cacheKey();
    };
    EXPECT_EQ(cacheKey(CatalogTree::kRoot), TreeImage(kRootImage).cacheKey());
    EXPECT_EQ(cacheKey(a), TreeImage(kVolumeImage).cacheKey());
    EXPECT_EQ(cacheKey(rock), TreeImage(kFolderImage).cacheKey());
    EXPECT_NE(TreeImage(kFolderImage).cacheKey(), TreeImage(kVolumeImage).cacheKey());
}

TEST_F(CatalogTreeModelTest, ResetAfterTheTreeIsRebuilt)
{
    CatalogTreeModel model(tree);
    auto tester = TestModel(&model);
    model.BeginTreeReset();
    tree.RemoveAllVolumes();
    const NodeId c = tree.AddVolume("Gamma", 0);
    const NodeId deep = tree.AddFolder(tree.AddFolder(c, "X", 0), "Y", 0);
    model.EndTreeReset();
    EXPECT_EQ(model.rowCount(model.index(0, 0)), 1);
    EXPECT_EQ(TextAt(model.IndexOf(deep)), "Y");
    EXPECT_EQ(CatalogTreeModel::NodeOf(model.IndexOf(deep).parent().parent()), c);
}

TEST_F(CatalogTreeModelTest, NodesAddedThroughTheModelAreAnnounced)
{
    CatalogTreeModel model(tree);
    auto tester = TestModel(&model);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    const NodeId c = model.AddVolume("Gamma", 0);
    const NodeId x = model.AddFolder(c, "X", 0);
    const NodeId y = model.AddFolder(rock, "Y", 0);
    ASSERT_EQ(inserted.count(), 3);
    EXPECT_EQ(inserted.at(0).at(1).toInt(), 2);
    EXPECT_EQ(CatalogTreeModel::NodeOf(qvariant_cast<QModelIndex>(inserted.at(1).at(0))), c);
    EXPECT_EQ(model.IndexOf(c).row(), 2);
    EXPECT_EQ(model.IndexOf(x).row(), 0);
    EXPECT_EQ(model.IndexOf(y).row(), 1);
    EXPECT_EQ(model.IndexOf(x).parent(), model.IndexOf(c));
}

TEST_F(CatalogTreeModelTest, RemovingAVolumeTakesItsRowAndKeepsTheOthers)
{
    CatalogTreeModel model(tree);
    auto tester = TestModel(&model);
    const QPersistentModelIndex beta = model.IndexOf(b);
    const QPersistentModelIndex deep = model.IndexOf(live);
    QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
    model.RemoveNode(a);
    ASSERT_EQ(removed.count(), 1);
    EXPECT_EQ(removed.at(0).at(1).toInt(), 0);
    EXPECT_FALSE(deep.isValid());
    ASSERT_TRUE(beta.isValid());
    EXPECT_EQ(beta.row(), 0);
    EXPECT_EQ(CatalogTreeModel::NodeOf(beta), b);
    EXPECT_EQ(model.rowCount(model.index(0, 0)), 1);
    // The root cannot be removed.
    model.RemoveNode(CatalogTree::kRoot);
    EXPECT_EQ(model.rowCount(), 1);
}

TEST_F(CatalogTreeModelTest, RenamedVolumeMovesToItsSortedPlaceWithItsSubtree)
{
    CatalogTreeModel model(tree);
    auto tester = TestModel(&model);
    const NodeId c = tree.AddVolume("Gamma", 0);
    model.BeginTreeReset();
    model.EndTreeReset();
    const QPersistentModelIndex alpha = model.IndexOf(a);
    const QPersistentModelIndex deep = model.IndexOf(live);
    model.RenameVolume(a, "Delta", [](std::string_view x, std::string_view y) { return x < y; });
    const QModelIndex root = model.index(0, 0);
    EXPECT_EQ(TextAt(model.index(0, 0, root)), "Beta");
    EXPECT_EQ(TextAt(model.index(1, 0, root)), "Delta");
    EXPECT_EQ(TextAt(model.index(2, 0, root)), "Gamma");
    EXPECT_EQ(alpha.row(), 1);
    EXPECT_EQ(CatalogTreeModel::NodeOf(alpha), a);
    EXPECT_EQ(CatalogTreeModel::NodeOf(deep), live);
    EXPECT_EQ(CatalogTreeModel::NodeOf(deep.parent().parent()), a);
    EXPECT_EQ(model.IndexOf(c).row(), 2);
}

TEST_F(CatalogTreeModelTest, OnlyTheNodeUnderRenameIsEditableAndTheEditGoesToTheHandler)
{
    CatalogTreeModel model(tree);
    std::vector<std::pair<NodeId, QString>> edits;
    model.SetEditHandler([&](NodeId node, const QString& text) {
        edits.emplace_back(node, text);
        return true;
    });
    EXPECT_FALSE(model.flags(model.IndexOf(a)) & Qt::ItemIsEditable);
    EXPECT_FALSE(model.setData(model.IndexOf(a), QStringLiteral("X")));
    model.SetEditableNode(a);
    EXPECT_TRUE(model.flags(model.IndexOf(a)) & Qt::ItemIsEditable);
    EXPECT_FALSE(model.flags(model.IndexOf(b)) & Qt::ItemIsEditable);
    EXPECT_FALSE(model.setData(model.IndexOf(b), QStringLiteral("X")));
    EXPECT_TRUE(model.setData(model.IndexOf(a), QStringLiteral("New")));
    ASSERT_EQ(edits.size(), 1u);
    EXPECT_EQ(edits[0].first, a);
    EXPECT_EQ(edits[0].second, QStringLiteral("New"));
    // The edit ended: the tree is read-only again.
    EXPECT_EQ(model.EditableNode(), kNoNode);
    EXPECT_FALSE(model.flags(model.IndexOf(a)) & Qt::ItemIsEditable);
}

TEST(CatalogTreeModelSize, TenThousandVolumesKeepTheirRows)
{
    ModelComplaints complaints;
    CatalogTree tree;
    std::vector<NodeId> folders;
    for (int i = 0; i < 10000; ++i) {
        const NodeId v = tree.AddVolume(Numbered("V", i), 0);
        folders.push_back(tree.AddFolder(v, "F", 0));
    }
    CatalogTreeModel model(tree);
    const QModelIndex root = model.index(0, 0);
    ASSERT_EQ(model.rowCount(root), 10000);
    for (int i : {0, 1, 4999, 9999}) {
        const QModelIndex folder = model.IndexOf(folders[static_cast<std::size_t>(i)]);
        EXPECT_EQ(folder.parent().row(), i);
        EXPECT_EQ(folder.parent(), model.index(i, 0, root));
    }
}

}  // namespace
}  // namespace ardvel::gui
