// The path box's close-up, renames as the window shows them, and the
// Look-in list's choice across changes of the volumes.
#include <QAction>
#include <QCoreApplication>
#include <QSignalSpy>
#include <QToolBar>

#include "ArdvelFormFixture.h"

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
