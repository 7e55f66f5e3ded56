#include <QTest>

#include "SearchModeFixture.h"
#include "search/FolderStatus.h"

namespace ardvel::gui {
namespace {

using test::SearchModeFixture;

TEST(FolderStatusThrottleTest, FirstFoldersOfASearchAndOfEachVolumeAreShownTheRestWaitForTheTimer)
{
    FolderStatusThrottle throttle;
    EXPECT_FALSE(throttle.TakeWaiting());
    EXPECT_TRUE(throttle.Entered());  // the search's first folder
    EXPECT_FALSE(throttle.TakeWaiting());
    EXPECT_FALSE(throttle.Entered());
    EXPECT_FALSE(throttle.Entered());
    EXPECT_TRUE(throttle.TakeWaiting());  // once for any number entered
    EXPECT_FALSE(throttle.TakeWaiting());
    EXPECT_FALSE(throttle.Entered());
    throttle.ShowNext();              // a new volume
    EXPECT_TRUE(throttle.Entered());  // shown, and nothing older waits
    EXPECT_FALSE(throttle.TakeWaiting());
    EXPECT_FALSE(throttle.Entered());
}

TEST(StatusPathTest, ALongPathKeepsItsVolumeAndDeepestFoldersCutAtFolderBounds)
{
    EXPECT_EQ(StatusPath("Disc:\\a\\b\\", 100), QStringLiteral("Disc:\\a\\b\\"));
    std::string path = "Disc:\\";
    for (int i = 0; i < 500; ++i) path += "f" + std::to_string(i) + "\\";
    const QString shown = StatusPath(path, 40);
    EXPECT_TRUE(shown.startsWith(QStringLiteral("Disc:\\...\\f"))) << shown.toStdString();
    EXPECT_TRUE(shown.endsWith(QStringLiteral("\\f498\\f499\\"))) << shown.toStdString();
    EXPECT_LE(shown.size(), 40 + 10);
    EXPECT_TRUE(QString::fromStdString(path).endsWith(shown.mid(9)));  // whole folders after "..."
    // A deepest folder longer than the limit is shown whole; characters
    // beyond ASCII are never split.
    const std::string wide = "Disc:\\a\\" + std::string(30, 'x') + "\xc3\xa9\\";
    EXPECT_EQ(StatusPath(wide, 10),
              QStringLiteral("Disc:\\...\\") + QString(30, QLatin1Char('x')) + QChar(0xE9) + QLatin1Char('\\'));
}

TEST_F(SearchModeFixture, AChainTwentyThousandFoldersDeepIsSearchedInTheWindowWithItsFolderShown)
{
    constexpr int kDepth = 20'000;
    test::WriteCatalog(home.CatalogFolder() + "Deep.arv", [](CatalogTree& t, NodeId v) {
        NodeId n = v;
        for (int i = 0; i < kDepth; ++i) n = t.AddFolder(n, test::Numbered("folder ", i), 44000.0);
        t.AddFile(n, "bottom.txt", 1, 44000.0);
    });
    StartWindow();
    W().SBut->trigger();
    SelectLookIn(QStringLiteral("All"));
    Panel().FileNames->setText(QStringLiteral("bottom.txt"));
    Panel().SearchNowClick();
    ASSERT_TRUE(OneSlice());                                    // a few hundred folders down
    EXPECT_EQ(form->StatusText(1), QStringLiteral("Deep:\\"));  // the volume, as the search entered it
    Panel().ShowWaitingFolder();                                // the timer's turn
    const QString deeper = form->StatusText(1);
    EXPECT_TRUE(deeper.startsWith(QStringLiteral("Deep:\\...\\folder "))) << deeper.toStdString();
    EXPECT_TRUE(deeper.endsWith(QLatin1Char('\\'))) << deeper.toStdString();
    EXPECT_LE(deeper.size(), 1100);
    // The rest driven by the event loop and its timers, as a user's search
    // is. Every folder's whole path in the status bar took minutes here.
    QStringList shown;
    const bool ended = QTest::qWaitFor(
        [&] {
            const QString text = form->StatusText(1);
            if (shown.isEmpty() || shown.back() != text) shown.push_back(text);
            return !Panel().Running();
        },
        120'000);
    ASSERT_TRUE(ended);
    Results().FinishSort();
    EXPECT_EQ(RowNames(), std::vector<std::string>{"bottom.txt"});
    EXPECT_EQ(form->StatusText(1), QStringLiteral("1 Matches found"));
    for (const QString& text : shown) EXPECT_LE(text.size(), 1100);
}

}  // namespace
}  // namespace ardvel::gui
