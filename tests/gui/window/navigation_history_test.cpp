#include <gtest/gtest.h>

#include "GuiTestSupport.h"
#include "window/NavigationHistory.h"

namespace ardvel::gui {
namespace {

using test::Numbered;

std::vector<std::string> Texts(const std::vector<const NavigationHistory::Entry*>& entries)
{
    std::vector<std::string> texts;
    for (const auto* e : entries) texts.push_back(e->Text);
    return texts;
}

using Texts_ = std::vector<std::string>;

struct NavigationHistoryTest : ::testing::Test {
    NodeHandle Node(const std::string& name)
    {
        const NodeId v = tree.AddVolume(name, 0);
        return tree.Handle(v);
    }
    void Open(const std::string& name) { history.Enter(name, Node(name)); }

    CatalogTree tree;
    NavigationHistory history;
};

TEST_F(NavigationHistoryTest, StartsEmptyAtSlotOne)
{
    EXPECT_EQ(history.CurrentIndex(), 1);
    EXPECT_EQ(history.Count(), 0);
    EXPECT_TRUE(history.BackEntries().empty());
    EXPECT_TRUE(history.ForwardEntries().empty());
    EXPECT_EQ(history.GoBack(1), nullptr);
    EXPECT_EQ(history.GoForward(1), nullptr);
}

TEST_F(NavigationHistoryTest, BackAndForwardMenusListTheNearestFirst)
{
    Open("B");
    Open("C");
    EXPECT_EQ(Texts(history.BackEntries()), Texts_{"B"});
    EXPECT_TRUE(history.ForwardEntries().empty());
    const auto* entry = history.GoBack(1);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->Text, "B");
    EXPECT_EQ(Texts(history.ForwardEntries()), Texts_{"C"});
    EXPECT_TRUE(history.BackEntries().empty());
    // Going forward past the end changes nothing.
    EXPECT_EQ(history.GoForward(2), nullptr);
    EXPECT_EQ(history.CurrentIndex(), 1);
}

TEST_F(NavigationHistoryTest, OpeningAfterGoingBackKeepsTheEntriesAhead)
{
    Open("B");
    Open("C");
    Open("E");
    ASSERT_NE(history.GoBack(2), nullptr);
    EXPECT_EQ(history.CurrentIndex(), 1);
    Open("D");
    EXPECT_EQ(Texts(history.BackEntries()), (Texts_{"E", "C", "B"}));
    EXPECT_TRUE(history.ForwardEntries().empty());
    EXPECT_EQ(history.CurrentIndex(), 4);
}

TEST_F(NavigationHistoryTest, KeepsTheLastElevenEntries)
{
    for (int i = 1; i <= 11; ++i) Open(Numbered("N", i));
    EXPECT_EQ(history.Count(), 11);
    EXPECT_EQ(history.CurrentIndex(), 11);
    Open("N12");
    EXPECT_EQ(history.Count(), 11);
    EXPECT_EQ(history.CurrentIndex(), 11);
    EXPECT_EQ(history.Slot(1)->Text, "N2");
    EXPECT_EQ(history.Slot(11)->Text, "N12");
    EXPECT_FALSE(history.Slot(0).has_value());
    EXPECT_FALSE(history.Slot(12).has_value());
    // The third item of the Back menu is three steps back.
    const auto* entry = history.GoBack(3);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->Text, "N9");
    EXPECT_EQ(history.BackEntries().size(), 7u);
    EXPECT_EQ(history.ForwardEntries().size(), 3u);
}

TEST_F(NavigationHistoryTest, ForwardReachesTheLastSlotAndNoFurther)
{
    for (int i = 1; i <= 11; ++i) Open(Numbered("N", i));
    ASSERT_NE(history.GoBack(10), nullptr);
    const auto* entry = history.GoForward(10);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->Text, "N11");
    EXPECT_EQ(history.CurrentIndex(), 11);
    ASSERT_NE(history.GoBack(1), nullptr);
    entry = history.GoForward(1);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->Text, "N11");
    EXPECT_EQ(history.GoForward(1), nullptr);
    EXPECT_EQ(history.CurrentIndex(), 11);
}

TEST_F(NavigationHistoryTest, DroppingRemovedNodesClosesTheGaps)
{
    const NodeHandle a = Node("A"), b = Node("B"), c = Node("C"), d = Node("D");
    history.Enter("A", a);
    history.Enter("B", b);
    history.Enter("C", c);
    history.Enter("D", d);
    history.GoBack(1);  // C is current
    tree.RemoveNode(b.Index);
    history.DropStale(tree);
    EXPECT_EQ(history.Count(), 3);
    EXPECT_EQ(history.Slot(history.CurrentIndex())->Text, "C");
    EXPECT_EQ(Texts(history.BackEntries()), Texts_{"A"});
    EXPECT_EQ(Texts(history.ForwardEntries()), Texts_{"D"});

    // The current entry itself gone: the nearest one behind it is current.
    tree.RemoveNode(c.Index);
    history.DropStale(tree);
    EXPECT_EQ(history.Slot(history.CurrentIndex())->Text, "A");
    EXPECT_EQ(Texts(history.ForwardEntries()), Texts_{"D"});

    tree.RemoveAllVolumes();
    history.DropStale(tree);
    EXPECT_EQ(history.Count(), 0);
    EXPECT_EQ(history.CurrentIndex(), 1);
}

}  // namespace
}  // namespace ardvel::gui
