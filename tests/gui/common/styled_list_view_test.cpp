#include <QHeaderView>
#include <QLineEdit>
#include <QListView>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTest>
#include <QTreeView>
#include <QVBoxLayout>

#include "GuiTestSupport.h"
#include "common/DetailsTable.h"
#include "common/StyledListView.h"

namespace ardvel::gui {
namespace {

struct StyledListViewTest : ::testing::Test {
    StyledListViewTest() : model(3, 2)
    {
        for (int row = 0; row < 3; ++row) model.setItem(row, 0, new QStandardItem(QStringLiteral("r%1").arg(row)));
        view.SetModel(&model);
    }
    QStandardItemModel model;
    StyledListView view;
};

TEST_F(StyledListViewTest, FourStylesOverOneSelection)
{
    EXPECT_EQ(view.Style(), kDetails);
    EXPECT_EQ(view.CurrentView(), static_cast<QAbstractItemView*>(view.DetailsView()));
    view.SelectRow(2);
    for (int style : {kLargeIcons, kSmallIcons, kListStyle}) {
        view.SetStyle(style);
        EXPECT_EQ(view.Style(), style);
        EXPECT_EQ(view.CurrentView(), static_cast<QAbstractItemView*>(view.IconView()));
        EXPECT_EQ(view.SelectedRow(), 2);
    }
    EXPECT_EQ(view.IconView()->viewMode(), QListView::ListMode);
    view.SetStyle(kLargeIcons);
    EXPECT_EQ(view.IconView()->viewMode(), QListView::IconMode);
    EXPECT_EQ(view.IconView()->iconSize(), QSize(32, 32));
    view.SetStyle(7);  // no style: details
    EXPECT_EQ(view.Style(), kDetails);
    EXPECT_EQ(view.IconView()->selectionModel(), view.DetailsView()->selectionModel());
}

TEST_F(StyledListViewTest, SpaceIsReportedFromEitherViewAndOtherKeysAreNot)
{
    QSignalSpy space(&view, &StyledListView::SpacePressed);
    QTest::keyClick(view.DetailsView(), Qt::Key_Space);
    QTest::keyClick(view.DetailsView(), Qt::Key_A);
    QTest::keyClick(view.DetailsView(), Qt::Key_Space, Qt::ShiftModifier);
    view.SetStyle(kListStyle);
    QTest::keyClick(view.IconView(), Qt::Key_Space);
    EXPECT_EQ(space.count(), 2);
}

TEST_F(StyledListViewTest, HeaderClicksAndDoubleClicksAreReported)
{
    QSignalSpy header(&view, &StyledListView::HeaderClicked);
    QSignalSpy doubled(&view, &StyledListView::RowDoubleClicked);
    emit view.DetailsView()->header()->sectionClicked(1);
    emit view.DetailsView()->doubleClicked(model.index(2, 0));
    ASSERT_EQ(header.count(), 1);
    EXPECT_EQ(header.at(0).at(0).toInt(), 1);
    ASSERT_EQ(doubled.count(), 1);
    EXPECT_EQ(doubled.at(0).at(0).toInt(), 2);
    EXPECT_EQ(view.SelectedRow(), -1);
}

TEST_F(StyledListViewTest, ListCellsFitCaptionsAddedInAnyStyle)
{
    view.SetStyle(kListStyle);
    const int narrow = view.IconView()->gridSize().width();
    // Rows added while the details style shows (captions not measured then).
    view.SetStyle(kDetails);
    model.appendRow(new QStandardItem(QString(10, QLatin1Char('w'))));
    view.SetStyle(kListStyle);
    const int wide = view.IconView()->gridSize().width();
    EXPECT_GT(wide, narrow);
    // Rows added in the list style itself.
    model.appendRow(new QStandardItem(QString(20, QLatin1Char('w'))));
    EXPECT_GT(view.IconView()->gridSize().width(), wide);
    // New rows in place of all (a reset) while the details style shows.
    view.SetStyle(kDetails);
    model.clear();
    model.appendRow(new QStandardItem(QStringLiteral("r9")));
    view.SetStyle(kListStyle);
    EXPECT_EQ(view.IconView()->gridSize().width(), narrow);
}

TEST_F(StyledListViewTest, DetailsKeysMoveAsInAFileList)
{
    // Home and End go to the first and last row (not the row's first and
    // last column); Left and Right keep the row; Tab leaves the list.
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    view.setParent(&window);
    layout->addWidget(&view);
    auto* next = new QLineEdit(&window);
    layout->addWidget(next);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    DetailsTable* details = view.DetailsView();
    details->setFocus();
    view.SelectRow(1);
    QTest::keyClick(details, Qt::Key_End);
    EXPECT_EQ(view.SelectedRow(), 2);
    QTest::keyClick(details, Qt::Key_Home);
    EXPECT_EQ(view.SelectedRow(), 0);
    QTest::keyClick(details, Qt::Key_Down);
    QTest::keyClick(details, Qt::Key_Right);
    EXPECT_EQ(view.SelectedRow(), 1);
    QTest::keyClick(details, Qt::Key_Left);
    EXPECT_EQ(view.SelectedRow(), 1);
    EXPECT_EQ(details->currentIndex().column(), 0);
    QTest::keyClick(details, Qt::Key_Tab);
    EXPECT_TRUE(next->hasFocus());
    view.setParent(nullptr);
}

TEST_F(StyledListViewTest, DetailsRowsFitTheirIconAndText)
{
    DetailsTable* details = view.DetailsView();
    const int height = details->visualRect(model.index(0, 0)).height();
    EXPECT_GE(height, details->fontMetrics().height());
    EXPECT_GE(height, 16);
    QFont large = details->font();
    large.setPointSize(large.pointSize() * 3);
    details->setFont(large);
    EXPECT_GE(details->visualRect(model.index(0, 0)).height(), QFontMetrics(large).height());
    // One row under another, with no gap or overlap.
    EXPECT_EQ(details->visualRect(model.index(1, 0)).top(), details->visualRect(model.index(0, 0)).bottom() + 1);
}

}  // namespace
}  // namespace ardvel::gui
