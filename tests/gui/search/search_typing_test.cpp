// Search as you type and Ignore accents in the search panel.
#include <QCheckBox>
#include <QLineEdit>
#include <QTest>

#include "SearchModeFixture.h"
#include "platform/Settings.h"
#include "window/BrowserSettings.h"

namespace ardvel::gui {
namespace {

using test::Names;
using test::SearchModeFixture;
using test::WriteCatalog;

/// Music (one.mp3 in Rock, Été.mp3 with its accents decomposed, two.mp3).
struct SearchTypingTest : SearchModeFixture {
    void SetUp() override
    {
        WriteCatalog(home.CatalogFolder() + "Music.arv", [](CatalogTree& t, NodeId v) {
            const NodeId rock = t.AddFolder(v, "Rock", 44001.0);
            t.AddFile(rock, "one.mp3", 1200, 44001.5);
            t.AddFile(v, "E\xCC\x81te\xCC\x81.mp3", 5, 44002.0);
            t.AddFile(v, "two.mp3", 7, 44003.0);
        });
        StartWindow();
        W().SBut->trigger();
    }
    TSearchTyping& Typing() { return *Panel().Typing; }
    /// Waits for the pause after typing and the search it starts.
    void WaitForTheSearch()
    {
        EXPECT_TRUE(Typing().Pending());
        QTRY_VERIFY(!Typing().Pending());
        RunToEnd();
    }
};

TEST_F(SearchTypingTest, EachChangeStartsTheSearchAgainAfterAPause)
{
    Typing().SearchAsYouType->setChecked(true);
    Panel().FileNames->setText(QStringLiteral("o"));
    EXPECT_FALSE(Panel().Running());  // not before the pause
    WaitForTheSearch();
    EXPECT_EQ(RowNames(), (Names{"Rock", "one.mp3", "two.mp3"}));

    // A restart while a search runs cancels it for a fresh one.
    Typing().SearchAsYouType->setChecked(false);
    Panel().FileNames->setText(QStringLiteral("*"));
    Panel().SearchNowClick();
    ASSERT_TRUE(Panel().Running());
    Panel().FileNames->setText(QStringLiteral("*.mp3"));
    Panel().RestartSearch();
    RunToEnd();
    EXPECT_EQ(RowNames().size(), 3u);

    // Unticked, typing waits for Search Now.
    Panel().FileNames->setText(QStringLiteral("two"));
    EXPECT_FALSE(Typing().Pending());
    EXPECT_EQ(RowNames().size(), 3u);
}

TEST_F(SearchTypingTest, TheSelectedRowStaysSelectedWhenStillAResult)
{
    Search(QStringLiteral("*.mp3"));
    W().SearchView->SelectRow(RowOf("two.mp3"));
    Typing().SearchAsYouType->setChecked(true);
    Panel().FileNames->setText(QStringLiteral("*o*"));
    WaitForTheSearch();
    EXPECT_EQ(W().SearchView->SelectedRow(), RowOf("two.mp3"));
    Panel().FileNames->setText(QStringLiteral("one*"));
    WaitForTheSearch();
    EXPECT_EQ(RowNames(), (Names{"one.mp3"}));
    EXPECT_LT(W().SearchView->SelectedRow(), 0);
}

TEST_F(SearchTypingTest, IgnoreAccentsAndComposedNames)
{
    Search(QString::fromUtf8("\xC3\xA9t\xC3\xA9"));  // composed été finds the decomposed name
    EXPECT_EQ(RowNames(), (Names{"E\xCC\x81te\xCC\x81.mp3"}));
    Search(QStringLiteral("ete"));
    EXPECT_TRUE(RowNames().empty());
    Typing().IgnoreAccents->setChecked(true);
    EXPECT_TRUE(Panel().Criteria().IgnoreAccents);
    Search(QStringLiteral("ete"));
    EXPECT_EQ(RowNames(), (Names{"E\xCC\x81te\xCC\x81.mp3"}));
}

TEST_F(SearchTypingTest, BothCheckBoxesAreRemembered)
{
    // Without a setting, search as you type is on for a catalog this small.
    Typing().SetSearchAsYouType(std::nullopt, form->Tree());
    EXPECT_TRUE(Typing().SearchAsYouType->isChecked());
    Typing().SetSearchAsYouType(false, form->Tree());
    EXPECT_FALSE(Typing().SearchAsYouType->isChecked());

    Typing().IgnoreAccents->setChecked(true);
    Typing().SearchAsYouType->setChecked(true);
    form.reset();  // saves the settings
    const ViewSettings saved = ReadViewSettings(IniFile::Load(home.SettingsFile()));
    EXPECT_TRUE(saved.IgnoreAccents);
    EXPECT_EQ(saved.SearchAsYouType, std::optional<bool>(true));
    StartWindow();
    EXPECT_TRUE(Panel().Typing->IgnoreAccents->isChecked());
}

}  // namespace
}  // namespace ardvel::gui
