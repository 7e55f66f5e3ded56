// The window's size and place, the splitter and the column widths are
// kept in the settings file from one window to the next.
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QScopeGuard>
#include <QScrollArea>
#include <QSplitter>
#include <QTest>
#include <QTreeView>

#include "ArdvelFormFixture.h"
#include "common/DetailsTable.h"
#include "search/SearchResults.h"
#include "window/BrowserSettings.h"

namespace ardvel::gui {
namespace {

struct WindowPlacementTest : test::ArdvelFormFixture {
    void SetUp() override
    {
        WriteStandardCatalogs();
        // Auto Resize would fit the columns anew at each folder.
        home.WriteSettings("[View]\nAutoAdjust=0\n");
    }
    void Open()
    {
        Start();
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }
    QHeaderView* ListHeader() { return W().ListView->DetailsView()->header(); }
    QHeaderView* ResultsHeader() { return W().SearchView->DetailsView()->header(); }
};

TEST_F(WindowPlacementTest, ANewWindowComesBackWithTheShapeTheLastOneHad)
{
    Open();
    form->resize(700, 520);
    form->move(40, 50);
    W().Splitter1->setSizes({300, 390});
    QTest::qWait(10);
    const QList<int> splitter = W().Splitter1->sizes();
    ListHeader()->resizeSection(FolderListModel::kSize, 123);
    ResultsHeader()->resizeSection(kColumnVolume, 97);
    form->close();
    form.reset();
    const IniFile ini = IniFile::Load(home.SettingsFile());
    EXPECT_TRUE(ini.Get("View", "WindowGeometry"));
    EXPECT_EQ(ini.Get("View", "SplitterSizes"), std::to_string(splitter[0]) + "," + std::to_string(splitter[1]));

    Open();
    EXPECT_EQ(form->size(), QSize(700, 520));
    EXPECT_EQ(form->pos(), QPoint(40, 50));
    EXPECT_EQ(W().Splitter1->sizes()[0], splitter[0]);
    EXPECT_EQ(ListHeader()->sectionSize(FolderListModel::kSize), 123);
    EXPECT_EQ(ResultsHeader()->sectionSize(kColumnVolume), 97);
}

TEST_F(WindowPlacementTest, ASettingsFileWithoutTheKeysGivesTheFirstRunsShape)
{
    Open();
    EXPECT_EQ(form->size(), QSize(539, 391));
    EXPECT_EQ(ListHeader()->sectionSize(FolderListModel::kSize), 82);
    EXPECT_EQ(ResultsHeader()->sectionSize(kColumnVolume), 80);
    const int left = W().Splitter1->sizes()[0];
    form.reset();
    // Unreadable widths are left out as a whole.
    home.WriteSettings("[View]\nAutoAdjust=0\nSplitterSizes=300,x\nLV_ColumnWidths=200,-5,82,50\nWindowGeometry=\n");
    Open();
    EXPECT_EQ(W().Splitter1->sizes()[0], left);
    EXPECT_EQ(ListHeader()->sectionSize(FolderListModel::kSize), 82);
    EXPECT_EQ(form->size(), QSize(539, 391));
}

TEST_F(WindowPlacementTest, TheFirstRunsLeftPaneShowsTheSearchPanelsTextsWhole)
{
    // 225 pixels, or more where the font needs it: a desktop font larger
    // than the test platform's.
    const QFont former = QApplication::font();
    QFont large = former;
    large.setPointSizeF(former.pointSizeF() * 1.4);
    QApplication::setFont(large);
    const auto restore = qScopeGuard([&] { QApplication::setFont(former); });
    Open();
    form->show();
    W().SBut->trigger();
    QTest::qWait(20);
    EXPECT_GE(W().Splitter1->sizes()[0], 225);
    const QWidget* viewport = W().ScrollBox1->viewport();
    int labels = 0;
    for (const QLabel* label : W().ScrollBox1->widget()->findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
        if (label->isHidden() || label->text().isEmpty()) continue;
        ++labels;
        EXPECT_LE(label->x() + label->sizeHint().width(), viewport->width()) << label->text().toStdString();
    }
    EXPECT_GE(labels, 3);
}

TEST(BrowserSettings, WidthListsAreReadOnlyWhenEveryPartIsAWidth)
{
    IniFile ini;
    ini.Set("View", "SplitterSizes", "225,311");
    ini.Set("View", "LV_ColumnWidths", "200,82,,50");
    ini.Set("View", "SLV_ColumnWidths", "150,0");
    ViewSettings s = ReadViewSettings(ini);
    EXPECT_EQ(s.SplitterSizes, (std::vector<int>{225, 311}));
    EXPECT_TRUE(s.ListColumns.empty());
    EXPECT_TRUE(s.SearchColumns.empty());
    s.SearchColumns = {150, 80, 100};
    s.SplitterSizes.clear();  // nothing to say: the file keeps its value
    WriteViewSettings(ini, s);
    EXPECT_EQ(ini.Get("View", "SLV_ColumnWidths"), "150,80,100");
    EXPECT_EQ(ini.Get("View", "SplitterSizes"), "225,311");
    EXPECT_FALSE(ini.Get("View", "WindowGeometry"));
}

}  // namespace
}  // namespace ardvel::gui
