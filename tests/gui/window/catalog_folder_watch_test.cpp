// Catalogs that another program adds, rewrites or removes while the window
// is open are read without a restart, and the user stays where they were.
#include <QTest>
#include <QTreeView>
#include <filesystem>

#include "ArdvelFormFixture.h"
#include "window/CatalogFolderWatch.h"

namespace ardvel::gui {
namespace {

using test::Names;

struct CatalogFolderWatchTest : test::ArdvelFormFixture {
    void SetUp() override
    {
        WriteStandardCatalogs();
        Start();
        form->show();
        Click("Photos:\\");  // the first folder opened enters no history
        Click("Music 2002:\\");
        Click("Music 2002:\\Rock\\");
    }
    /// Long enough for a change to have been read, were it to be.
    static void Settle() { QTest::qWait(CatalogFolderWatch::kPauseMs * 2 + 200); }
    NodeHandle HandleOf(const std::string& path) { return form->Tree().Handle(Node(path)); }
};

TEST_F(CatalogFolderWatchTest, ANewCatalogAppearsAndARemovedOneLeavesWhileTheOpenFolderStays)
{
    const NodeHandle photos = HandleOf("Photos:\\");
    test::WriteCatalog(home.CatalogFolder() + "New.arv",
                       [](CatalogTree& t, NodeId v) { t.AddFolder(v, "Inside", 1.0); });
    QTRY_VERIFY(Node("New:\\Inside\\") != kNoNode);
    EXPECT_EQ(Volumes(), (Names{"Backup", "Music 2002", "New", "Photos"}));
    EXPECT_EQ(form->StatusText(0), QStringLiteral("4 Catalogs"));
    EXPECT_EQ(Entries(LookIn()).size(), 6u);  // the current folder, four volumes, All
    // Volumes that did not change are not read again.
    EXPECT_EQ(form->Tree().Resolve(photos), Node("Photos:\\"));
    EXPECT_EQ(OpenPath(), "Music 2002:\\Rock\\");
    EXPECT_EQ(ListNames(), (Names{"Live", "one.mp3"}));

    std::filesystem::remove(home.CatalogFolder() + "New.arv");
    QTRY_VERIFY(Node("New:\\") == kNoNode);
    EXPECT_EQ(form->StatusText(0), QStringLiteral("3 Catalogs"));
    EXPECT_EQ(OpenPath(), "Music 2002:\\Rock\\");
    form->BackButClick();
    EXPECT_EQ(OpenPath(), "Music 2002:\\");
}

TEST_F(CatalogFolderWatchTest, ARewrittenCatalogIsReadAnewKeepingTheFolderRowAndHistory)
{
    W().ListView->SelectRow(ListRow("one.mp3"));
    test::WriteCatalog(home.CatalogFolder() + "Music 2002.arv", [](CatalogTree& t, NodeId v) {
        const NodeId rock = t.AddFolder(v, "Rock", 44001.0);
        t.AddFile(rock, "one.mp3", 1200, 44001.5);
        t.AddFile(rock, "three.mp3", 1300, 44001.5);
    });
    QTRY_VERIFY(ListNames() == (Names{"one.mp3", "three.mp3"}));
    EXPECT_EQ(OpenPath(), "Music 2002:\\Rock\\");
    EXPECT_EQ(W().ListView->SelectedRow(), ListRow("one.mp3"));
    EXPECT_EQ(Node("Music 2002:\\Jazz\\"), kNoNode);
    form->BackButClick();
    EXPECT_EQ(OpenPath(), "Music 2002:\\");
    EXPECT_EQ(ListNames(), (Names{"Rock"}));

    // The open folder gone, the root is shown.
    Click("Music 2002:\\Rock\\");
    std::filesystem::remove(home.CatalogFolder() + "Music 2002.arv");
    QTRY_VERIFY(Node("Music 2002:\\") == kNoNode);
    EXPECT_EQ(OpenPath(), "My Catalogs");
    EXPECT_EQ(ListNames(), (Names{"Backup", "Photos"}));
}

TEST_F(CatalogFolderWatchTest, TheWindowsOwnSavesAreNotReadBackAndABadFileIsReportedOnce)
{
    const NodeHandle photos = HandleOf("Photos:\\");
    const NodeHandle music = HandleOf("Music 2002:\\");
    ASSERT_TRUE(form->CatalogEdited(Node("Photos:\\"), QStringLiteral("Pictures")));
    form->SelectNode(Node("Backup:\\"));
    dialogs.Answers = {true};
    form->Delete1Execute();
    Settle();
    EXPECT_EQ(form->Tree().Resolve(photos), Node("Pictures:\\"));
    EXPECT_EQ(form->Tree().Resolve(music), Node("Music 2002:\\"));
    EXPECT_TRUE(dialogs.Errors.empty());

    test::WriteBytes(home.CatalogFolder() + "junk.arv", "");
    QTRY_COMPARE(dialogs.ErrorLists.size(), 1u);
    ASSERT_EQ(dialogs.ErrorLists[0].size(), 1);
    EXPECT_TRUE(dialogs.ErrorLists[0][0].startsWith(QString::fromStdString(home.CatalogFolder() + "junk.arv: ")));
    test::WriteCatalog(home.CatalogFolder() + "Other.arv", nullptr);
    QTRY_VERIFY(Node("Other:\\") != kNoNode);
    EXPECT_EQ(dialogs.ErrorLists.size(), 1u);
    EXPECT_EQ(form->Tree().Resolve(music), Node("Music 2002:\\"));
}

}  // namespace
}  // namespace ardvel::gui
