#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTest>

#include "GuiTestSupport.h"
#include "common/ErrorListBox.h"

namespace ardvel::gui {
namespace {

QStringList Lines(int count)
{
    QStringList lines;
    for (int i = 0; i < count; ++i)
        lines.push_back(QStringLiteral("/home/u/Catalogs/Disc %1.arv: Read beyond end of file").arg(i));
    return lines;
}

TEST(ErrorListBoxTest, AListLongerThanTheScreenScrollsInsideABoxThatFitsOnIt)
{
    const QStringList lines = Lines(160);
    ErrorListBox box(QStringLiteral("Ardvel"), QStringLiteral("160 catalog files could not be read."), lines);
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    const QRect screen = box.screen()->availableGeometry();
    EXPECT_LE(box.frameGeometry().height(), screen.height());
    EXPECT_LE(box.sizeHint().height(), screen.height());
    EXPECT_EQ(box.Message()->text(), QStringLiteral("160 catalog files could not be read."));
    const QPlainTextEdit* list = box.List();
    EXPECT_TRUE(list->isReadOnly());
    EXPECT_FALSE(list->accessibleName().isEmpty());
    EXPECT_EQ(list->toPlainText().split(QLatin1Char('\n')), lines);
    EXPECT_GT(list->verticalScrollBar()->maximum(), 0);  // the rest is reached by scrolling
}

TEST(ErrorListBoxTest, AShortListIsShownWholeAndOkClosesTheBox)
{
    const QStringList lines = Lines(2);
    ErrorListBox box(QStringLiteral("Ardvel"), QStringLiteral("2 catalog files could not be read."), lines);
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    EXPECT_EQ(box.List()->verticalScrollBar()->maximum(), 0);
    auto* ok = box.findChild<QPushButton*>();
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->accessibleName(), QStringLiteral("OK"));
    QTest::mouseClick(ok, Qt::LeftButton);
    EXPECT_EQ(box.result(), QDialog::Accepted);
    EXPECT_FALSE(box.isVisible());
}

}  // namespace
}  // namespace ardvel::gui
