// The keys of the main window and the sort indicators of its lists.
#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QTest>
#include <QTreeView>

#include "ArdvelFormFixture.h"
#include "common/DetailsTable.h"

namespace ardvel::gui {
namespace {

using test::Names;

struct WindowKeysTest : test::ArdvelFormFixture {
    void SetUp() override
    {
        WriteStandardCatalogs();
        Start();
        form->show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : form.get(), key, modifiers);
    }
};

TEST_F(WindowKeysTest, FocusStartsInTheTreeAndKeysMoveAroundTheFolders)
{
    EXPECT_EQ(QApplication::focusWidget(), W().Catalog);
    Click("Music 2002:\\");
    Click("Music 2002:\\Rock\\");
    Key(Qt::Key_Backspace);
    EXPECT_EQ(OpenPath(), "Music 2002:\\");
    Key(Qt::Key_Left, Qt::AltModifier);
    EXPECT_EQ(OpenPath(), "Music 2002:\\Rock\\");
    Key(Qt::Key_Right, Qt::AltModifier);
    EXPECT_EQ(OpenPath(), "Music 2002:\\");
    Key(Qt::Key_Up, Qt::AltModifier);
    EXPECT_EQ(OpenPath(), "My Catalogs");

    // Enter on a folder row of the list opens it.
    W().ListView->DetailsView()->setFocus();
    W().ListView->SelectRow(ListRow("Photos"));
    Key(Qt::Key_Return);
    EXPECT_EQ(OpenPath(), "Photos:\\");
}

TEST_F(WindowKeysTest, DeleteAsksAboutTheVolumeAndCtrlFSearches)
{
    W().Catalog->setFocus();
    form->SelectNode(Node("Photos:\\"));
    dialogs.Answers = {false};
    Key(Qt::Key_Delete);
    ASSERT_EQ(dialogs.Questions.size(), 1);
    EXPECT_TRUE(dialogs.Questions[0].endsWith(QStringLiteral("Photos?")));
    Key(Qt::Key_F, Qt::ControlModifier);
    EXPECT_TRUE(W().SBut->isChecked());
    EXPECT_EQ(QApplication::focusWidget(), form->SearchPanel().FileNames);
}

TEST_F(WindowKeysTest, BothHeadersShowTheSharedSortOrder)
{
    for (StyledListView* list : {W().ListView, W().SearchView}) {
        EXPECT_TRUE(list->DetailsView()->header()->isSortIndicatorShown());
        EXPECT_EQ(list->DetailsView()->header()->sortIndicatorSection(), 0);
    }
    Click("Music 2002:\\");
    emit W().ListView->HeaderClicked(0);
    for (StyledListView* list : {W().ListView, W().SearchView})
        EXPECT_EQ(list->DetailsView()->header()->sortIndicatorOrder(), Qt::DescendingOrder);
}

}  // namespace
}  // namespace ardvel::gui
