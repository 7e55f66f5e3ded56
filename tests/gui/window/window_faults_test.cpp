// The path box's close-up, renames as the window shows them, and the
// Look-in list's choice across changes of the volumes.
#include <QAction>
#include <QCoreApplication>
#include <QHeaderView>
#include <QListView>
#include <QSignalSpy>
#include <QStyle>
#include <QToolBar>
#include <QTreeView>

#include "ArdvelFormFixture.h"
#include "common/DetailsTable.h"

namespace ardvel::gui {
namespace {

using test::ArdvelFormFixture;
using test::Names;

struct WindowFaultsTest : ArdvelFormFixture {
    void SetUp() override
    {
        WriteStandardCatalogs();
        Start();
        form->show();
    }
    void Settle() { QCoreApplication::processEvents(); }
};

TEST_F(WindowFaultsTest, OnlyAnOpenListClosingUpActsOnThePathBox)
{
    QSignalSpy closedUp(W().PathBox, &PathBox::ClosedUp);
    W().PathBox->showPopup();
    W().PathBox->hidePopup();
    Settle();
    EXPECT_EQ(closedUp.count(), 1);
    // Hiding the box hides no list that was open.
    W().PathBox->hidePopup();
    Settle();
    EXPECT_EQ(closedUp.count(), 1);
}

TEST_F(WindowFaultsTest, QuittingAfterARenameGoesToNoPath)
{
    Click("Photos:\\");
    ASSERT_TRUE(form->CatalogEdited(Node("Photos:\\"), QStringLiteral("Pictures")));
    W().Quit->trigger();
    Settle();
    EXPECT_TRUE(dialogs.Errors.isEmpty()) << dialogs.Errors.join(QLatin1Char('|')).toStdString();
    EXPECT_FALSE(form->isVisible());
}

TEST_F(WindowFaultsTest, HidingThePathBarKeepsSearchMode)
{
    W().SBut->trigger();
    ASSERT_FALSE(form->FolderListShown());
    W().PathBar1->trigger();
    Settle();
    EXPECT_TRUE(W().PathBar->isHidden());
    EXPECT_TRUE(W().SBut->isChecked());
    EXPECT_FALSE(form->FolderListShown());
}

TEST_F(WindowFaultsTest, PathBoxHistoryAndLookInFollowARename)
{
    Click("Music 2002:\\");
    Click("Photos:\\");
    Click("Music 2002:\\Rock\\");
    LookIn()->setCurrentIndex(LookIn()->findText(QStringLiteral("Photos")));
    ASSERT_TRUE(form->CatalogEdited(Node("Photos:\\"), QStringLiteral("Album")));
    EXPECT_EQ(W().PathBox->findText(QStringLiteral("Album:\\")), 1);
    EXPECT_EQ(W().PathBox->findText(QStringLiteral("Photos:\\")), -1);
    EXPECT_EQ(MenuTexts(W().BackMenu), (Names{"Album"}));
    EXPECT_EQ(W().BackBut->toolTip(), QStringLiteral("Back to Album"));
    // The Look-in list keeps the volume, under its new name.
    EXPECT_EQ(LookIn()->currentText(), QStringLiteral("Album"));
}

TEST_F(WindowFaultsTest, TheLookInListKeepsTheChoiceWhenTheVolumesChange)
{
    LookIn()->setCurrentIndex(LookIn()->findText(QStringLiteral("Photos")));
    form->VolumesChanged();
    EXPECT_EQ(LookIn()->currentText(), QStringLiteral("Photos"));
    LookIn()->setCurrentIndex(LookIn()->count() - 1);
    form->VolumesChanged();
    EXPECT_EQ(LookIn()->currentText(), QStringLiteral("All"));
    LookIn()->setCurrentIndex(LookIn()->count() - 2);
    form->VolumesChanged();
    EXPECT_EQ(LookIn()->currentIndex(), LookIn()->count() - 2);
    // The chosen volume deleted: the first volume.
    LookIn()->setCurrentIndex(LookIn()->findText(QStringLiteral("Photos")));
    dialogs.Answers = {true};
    form->SelectNode(Node("Photos:\\"));
    form->Delete1Execute();
    EXPECT_EQ(Entries(LookIn()).size(), 4u);
    EXPECT_EQ(LookIn()->currentIndex(), 0);
}

}  // namespace
}  // namespace ardvel::gui

namespace ardvel::gui {
namespace {

/// The lists' layouts against the widths of their captions in the view's
/// own font.
struct ListLayoutTest : test::ArdvelFormFixture {
    void SetUp() override
    {
        WriteStandardCatalogs();
        Start();
        form->resize(700, 400);
        form->show();
        Click("My Catalogs");
    }
    QListView* Icons() { return W().ListView->IconView(); }
    /// Margin the item delegate leaves either side of a text.
    int Margin(QWidget* view) { return view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1; }
    void ExpectWholeCaptionsSideBySide()
    {
        QCoreApplication::processEvents();
        const QFontMetrics metrics(Icons()->font());
        QList<QRect> cells;
        for (int row = 0; row < form->ListModel().rowCount(); ++row) {
            const QModelIndex index = form->ListModel().index(row, 0);
            const QRect cell = Icons()->visualRect(index);
            const QString caption = index.data().toString();
            // Icon left, the whole caption right of it, on one line.
            EXPECT_GE(cell.width(), 16 + metrics.horizontalAdvance(caption) + 2 * Margin(Icons()))
                << caption.toStdString();
            EXPECT_GE(cell.height(), metrics.height()) << caption.toStdString();
            EXPECT_LT(cell.height(), 2 * metrics.height()) << caption.toStdString();
            for (const QRect& other : cells) EXPECT_FALSE(cell.intersects(other)) << caption.toStdString();
            cells.push_back(cell);
        }
    }
};

TEST_F(ListLayoutTest, SmallIconsPutTheIconLeftOfAWholeCaption)
{
    form->ViewsClick(kSmallIcons);
    ExpectWholeCaptionsSideBySide();
}

TEST_F(ListLayoutTest, TheListStyleFitsItsColumnsToTheLongestCaption)
{
    form->ViewsClick(kListStyle);
    ExpectWholeCaptionsSideBySide();
}

TEST_F(ListLayoutTest, ResizedColumnsHoldTheirTextsInTheRealFont)
{
    test::WriteCatalog(home.CatalogFolder() + "Volume 0000.arv",
                       [](CatalogTree& t, NodeId v) { t.AddFile(v, "a.txt", 1, 44000.0); });
    form->LoadCatalogs();
    Click("Volume 0000:\\");
    form->ViewsClick(kDetails);
    form->AdjustColsExecute();
    DetailsTable* details = W().ListView->DetailsView();
    const QFontMetrics metrics(details->font());
    for (int c = 0; c < form->ListModel().columnCount(); ++c) {
        const int width = details->header()->sectionSize(c);
        const QString caption = form->ListModel().headerData(c, Qt::Horizontal).toString();
        EXPECT_GE(width, metrics.horizontalAdvance(caption) + 2 * Margin(details)) << caption.toStdString();
        const QString text = form->ListModel().index(0, c).data().toString();
        EXPECT_GE(width, metrics.horizontalAdvance(text) + 2 * Margin(details) + (c == 0 ? 16 : 0))
            << text.toStdString();
    }
    // Without Auto Resize the Name column takes the free width.
    W().AutoAdjust1->trigger();
    EXPECT_EQ(details->header()->sectionResizeMode(0), QHeaderView::Stretch);
}

TEST_F(ListLayoutTest, ACaptionCutShortIsShownWholeInATooltip)
{
    form->ViewsClick(kLargeIcons);
    QCoreApplication::processEvents();
    const QModelIndex photos = form->ListModel().index(ListRow("Photos"), 0);
    EXPECT_TRUE(W().ListView->CutCaption(photos).isEmpty());
    test::WriteCatalog(home.CatalogFolder() + "A rather long volume name that no cell of 80 pixels holds.arv", nullptr);
    form->LoadCatalogs();
    QCoreApplication::processEvents();
    const QModelIndex longName = form->ListModel().index(0, 0);
    EXPECT_EQ(W().ListView->CutCaption(longName), longName.data().toString());
}

}  // namespace
}  // namespace ardvel::gui
