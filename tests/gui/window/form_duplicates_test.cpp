// The window's duplicate commands: Tools > Find Duplicates... and Find
// Copies in the context menus of both lists.
#include <QAction>
#include <QFont>
#include <QMenu>

#include "ArdvelFormFixture.h"
#include "duplicates/DuplicateRowsModel.h"
#include "duplicates/DuplicatesDialog.h"
#include "search/SearchResultsModel.h"

namespace ardvel::gui::test {
namespace {

class FormDuplicatesTest : public ArdvelFormFixture {
protected:
    /// Music 2002:\ Rock\ one.mp3 (1200 KB), Live\ two.mp3; Photos:\ ONE.MP3
    /// (1200 KB), beach.jpg.
    void SetUp() override
    {
        WriteStandardCatalogs();
        WriteCatalog(home.CatalogFolder() + "Photos.arv", [](CatalogTree& t, NodeId v) {
            t.AddFile(v, "beach.jpg", 300, 44000.25);
            t.AddFile(v, "ONE.MP3", 1200, 44005.0);
        });
        Start();
    }

    std::vector<std::string> ResultNames()
    {
        std::vector<std::string> names;
        SearchResultsModel& m = form->SearchPanel().ResultsModel();
        for (int row = 0; row < m.rowCount(); ++row)
            names.push_back(m.index(row, kColumnName).data().toString().toStdString() + "|" +
                            m.index(row, kColumnVolume).data().toString().toStdString());
        return names;
    }
    bool Bold(int row)
    {
        const QVariant font = form->SearchPanel().ResultsModel().index(row, kColumnName).data(Qt::FontRole);
        return font.isValid() && font.value<QFont>().bold();
    }
};

TEST_F(FormDuplicatesTest, FindCopiesFromTheFolderListShowsTheGroupInTheResults)
{
    Click("Music 2002:\\Rock\\");
    // A folder row has no copies to find.
    W().ListView->SelectRow(ListRow("Live"));
    EXPECT_FALSE(form->CanFindCopies(W().ListView));
    W().ListView->SelectRow(ListRow("one.mp3"));
    ASSERT_TRUE(form->CanFindCopies(W().ListView));
    form->FindCopiesExecute(W().ListView);
    EXPECT_TRUE(form->InSearchMode());
    EXPECT_EQ(ResultNames(), (Names{"one.mp3|Music 2002", "ONE.MP3|Photos"}));
    EXPECT_TRUE(Bold(0));
    EXPECT_FALSE(Bold(1));
    EXPECT_EQ(form->StatusText(1), QStringLiteral("2 Matches found"));

    // From the results: the other one, now first and marked.
    W().SearchView->SelectRow(1);
    form->FindCopiesExecute(W().SearchView);
    EXPECT_EQ(ResultNames(), (Names{"ONE.MP3|Photos", "one.mp3|Music 2002"}));
    EXPECT_TRUE(Bold(0));
    // A search of its own drops the mark.
    form->SearchPanel().SearchNowClick();
    while (form->SearchPanel().StepSearch(std::chrono::steady_clock::now() + std::chrono::seconds(1))) {
    }
    EXPECT_FALSE(Bold(0));
}

TEST_F(FormDuplicatesTest, AFileWithoutCopiesListsItselfAlone)
{
    Click("Photos:\\");
    W().ListView->SelectRow(ListRow("beach.jpg"));
    form->FindCopiesExecute(W().ListView);
    EXPECT_EQ(ResultNames(), (Names{"beach.jpg|Photos"}));
    EXPECT_EQ(form->StatusText(1), QStringLiteral("1 Matches found"));
}

TEST_F(FormDuplicatesTest, ToolsMenuDialogOpensTheDoubleClickedFolder)
{
    const QMenu* tools = form->findChild<QMenu*>(QStringLiteral("Tools1"));
    ASSERT_NE(tools, nullptr);
    EXPECT_EQ(MenuTexts(tools), (Names{"Find &Duplicates..."}));
    dialogs.OnDialog = [](QDialog& dialog) {
        auto& d = dynamic_cast<TDuplicatesDialog&>(dialog);
        d.FindClick();
        ASSERT_EQ(d.Model().rowCount(), 2);
        d.RowDoubleClicked(0);  // Music 2002:\Rock\one.mp3
    };
    W().FindDuplicates->trigger();
    EXPECT_EQ(dialogs.DialogTitles, QStringList{QStringLiteral("Find Duplicates")});
    EXPECT_FALSE(form->InSearchMode());
    EXPECT_EQ(OpenPath(), "Music 2002:\\Rock\\");
}

}  // namespace
}  // namespace ardvel::gui::test
