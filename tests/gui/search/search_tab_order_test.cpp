// Tab moves through the search pane in the order it is laid out, and on to
// the results.
#include <QApplication>
#include <QTest>
#include <QTreeView>

#include "common/DetailsTable.h"
#include "search/SearchControls.h"
#include "search/SearchModeFixture.h"

namespace ardvel::gui {
namespace {

struct SearchTabOrderTest : test::SearchModeFixture {
    void SetUp() override
    {
        WriteStandardCatalogs();
        StartWindow();
        form->show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        W().SBut->trigger();
    }
    /// The widgets Tab reaches from the name field, `count` presses.
    std::vector<QWidget*> TabFromNames(int count)
    {
        Panel().FileNames->setFocus();
        std::vector<QWidget*> reached{QApplication::focusWidget()};
        for (int i = 0; i < count; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            reached.push_back(QApplication::focusWidget());
        }
        return reached;
    }
};

TEST_F(SearchTabOrderTest, TabGoesFromTheNameThroughTheCriteriaToSearchNowAndTheResults)
{
    TSearchPanel& p = Panel();
    EXPECT_EQ(TabFromNames(6),
              (std::vector<QWidget*>{p.FileNames, p.LookIn, p.Typing->IgnoreAccents, p.Typing->SearchAsYouType,
                                     p.SOptHiden, p.SearchNow, W().SearchView->DetailsView()}));
    // With the options shown, their controls come before Search Now.
    p.ToggleSearchOptions();
    p.SizeCB->setChecked(true);
    const auto reached = TabFromNames(10);
    EXPECT_EQ(reached[4], p.SOptShown);
    EXPECT_EQ(reached[5], p.MediaInfo);
    EXPECT_EQ(reached[6], p.SizeCB);
    EXPECT_EQ(reached[7], p.LeastMost);
    EXPECT_EQ(reached[8], p.SizeEdit);
    EXPECT_EQ(reached[9], p.DateCB);
    EXPECT_EQ(reached[10], p.SearchNow);
}

}  // namespace
}  // namespace ardvel::gui
