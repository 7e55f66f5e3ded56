#include <QAction>
#include <QCoreApplication>
#include <QFontInfo>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QTest>
#include <QToolBar>

#include "ArdvelFormFixture.h"
#include "catalog/NameChecks.h"
#include "common/DetailsTable.h"
#include "store/VolumeName.h"

namespace ardvel::gui {
namespace {

using test::ArdvelFormFixture;
using test::Names;
using test::ReadBytes;
using test::WriteBytes;
using test::WriteCatalog;

struct CommandsTest : ArdvelFormFixture {
    void SetUp() override
    {
        WriteStandardCatalogs();
        Start();
        treeTester = test::TestModel(&form->TreeModel());
        listTester = test::TestModel(&form->ListModel());
    }
    /// Rename through the tree's in-place edit, as the user does it.
    bool Rename(const std::string& path, const QString& text)
    {
        form->SelectNode(Node(path));
        form->Rename1Execute();
        const QModelIndex index = W().Catalog->currentIndex();
        if (!(form->TreeModel().flags(index) & Qt::ItemIsEditable)) return false;
        return form->TreeModel().setData(index, text);
    }
    std::unique_ptr<QAbstractItemModelTester> treeTester, listTester;
};

TEST_F(CommandsTest, RenameMovesTheFileAndTheNodeAndRebuildsLookIn)
{
    const std::string before = ReadBytes(home.CatalogFolder() + "Photos.arv");
    ASSERT_TRUE(Rename("Photos:\\", QStringLiteral("Album")));
    EXPECT_TRUE(dialogs.Errors.empty());
    EXPECT_FALSE(CatalogExists("Photos.arv"));
    EXPECT_EQ(ReadBytes(home.CatalogFolder() + "Album.arv"), before);
    EXPECT_EQ(Volumes(), (Names{"Album", "Backup", "Music 2002"}));
    EXPECT_EQ(Entries(LookIn()), (Names{"Album", "Backup", "Music 2002", "Album:\\", "All"}));
    // The root's list shows the new name in its place.
    EXPECT_EQ(ListNames(), (Names{"Album", "Backup", "Music 2002"}));
    EXPECT_EQ(SelectedPath(), "Album:\\");
    // The tree is read-only again.
    EXPECT_EQ(form->TreeModel().EditableNode(), kNoNode);
    // Renamed again, it uses the file it was renamed to.
    ASSERT_TRUE(Rename("Album:\\", QStringLiteral("Zoo")));
    EXPECT_TRUE(CatalogExists("Zoo.arv"));
    EXPECT_FALSE(CatalogExists("Album.arv"));
}

TEST_F(CommandsTest, RenameToAnyVolumesNameItsOwnIncludedIsRefused)
{
    for (const char* name : {"Photos", "PHOTOS", "backup"}) {
        dialogs.Errors.clear();
        EXPECT_FALSE(Rename("Photos:\\", QString::fromLatin1(name))) << name;
        ASSERT_EQ(dialogs.Errors.size(), 1u) << name;
        EXPECT_EQ(dialogs.Errors[0], QString::fromUtf8(kVolumeNameTaken));
    }
    EXPECT_EQ(dialogs.Errors[0].toStdString(),
              "There is a volume with the same name.\r\n    Please choose another one!");
    EXPECT_TRUE(CatalogExists("Photos.arv"));
    EXPECT_EQ(Volumes(), (Names{"Backup", "Music 2002", "Photos"}));
    EXPECT_EQ(form->TreeModel().EditableNode(), kNoNode);
}

TEST_F(CommandsTest, RenameThatCannotBeAFileNameHereIsImproper)
{
    WriteBytes(home.CatalogFolder() + "Stray.arv", "stray");
    std::filesystem::remove(home.CatalogFolder() + "Backup.arv");
    const QString improper = QStringLiteral("Improper name! Please choose another one!");
    const std::pair<const char*, QString> cases[] = {
        {"Photos:\\", QStringLiteral("")},              // no name
        {"Photos:\\", QStringLiteral("  ")},            // a blank one
        {"Photos:\\", QString(252, QLatin1Char('n'))},  // too long a file name
        {"Photos:\\", QStringLiteral("Stray")},         // would replace another file
        {"Backup:\\", QStringLiteral("Fresh")},         // its file is missing
    };
    for (const auto& [path, text] : cases) {
        dialogs.Errors.clear();
        EXPECT_FALSE(Rename(path, text)) << text.toStdString();
        ASSERT_EQ(dialogs.Errors.size(), 1u);
        EXPECT_EQ(dialogs.Errors[0], improper);
    }
    // "~" and a digit: the refusal cataloguing gives.
    dialogs.Errors.clear();
    EXPECT_FALSE(Rename("Photos:\\", QStringLiteral("a~58")));
    ASSERT_EQ(dialogs.Errors.size(), 1u);
    EXPECT_EQ(dialogs.Errors[0].toStdString(), EncodeVolumeName("Disc~1").Message);
    EXPECT_EQ(ReadBytes(home.CatalogFolder() + "Stray.arv"), "stray");
    EXPECT_TRUE(CatalogExists("Photos.arv"));
    EXPECT_FALSE(CatalogExists("Fresh.arv"));
    EXPECT_FALSE(CatalogExists("a~58.arv"));
    EXPECT_EQ(Volumes(), (Names{"Backup", "Music 2002", "Photos"}));
}

TEST_F(CommandsTest, RenameEncodesTheNameAsCataloguingDoes)
{
    ASSERT_TRUE(Rename("Photos:\\", QStringLiteral("AC/DC: Live")));
    EXPECT_TRUE(dialogs.Errors.empty());
    EXPECT_TRUE(CatalogExists("AC~47DC~58 Live.arv"));
    EXPECT_FALSE(CatalogExists("Photos.arv"));
    EXPECT_EQ(Volumes(), (Names{"AC/DC: Live", "Backup", "Music 2002"}));
    // The next loading shows the same name.
    form.reset();
    Start();
    EXPECT_EQ(Volumes(), (Names{"AC/DC: Live", "Backup", "Music 2002"}));
}

TEST_F(CommandsTest, RenameInPlaceCommitsWithEnterAndCancelsWithEscape)
{
    auto editor = [this]() -> QLineEdit* {
        const auto editors = W().Catalog->viewport()->findChildren<QLineEdit*>();
        for (QLineEdit* e : editors)
            if (e->isVisibleTo(W().Catalog)) return e;
        return nullptr;
    };
    form->SelectNode(Node("Photos:\\"));
    W().Rename1->trigger();
    QLineEdit* edit = editor();
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->text(), QStringLiteral("Photos"));
    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_EQ(form->TreeModel().EditableNode(), kNoNode);
    EXPECT_EQ(Volumes(), (Names{"Backup", "Music 2002", "Photos"}));

    W().Rename1->trigger();
    edit = editor();
    ASSERT_NE(edit, nullptr);
    edit->setText(QStringLiteral("Images"));
    QTest::keyClick(edit, Qt::Key_Return);
    QCoreApplication::processEvents();  // the editor commits through a queued call
    EXPECT_EQ(form->TreeModel().EditableNode(), kNoNode);
    EXPECT_EQ(Volumes(), (Names{"Backup", "Images", "Music 2002"}));
    EXPECT_TRUE(CatalogExists("Images.arv"));
    EXPECT_TRUE(dialogs.Errors.empty());
}

TEST_F(CommandsTest, RenameOnAFolderOrTheRootDoesNothing)
{
    for (NodeId node : {Node("Music 2002:\\Rock\\"), CatalogTree::kRoot}) {
        form->SelectNode(node);
        form->Rename1Execute();
        EXPECT_EQ(form->TreeModel().EditableNode(), kNoNode);
        EXPECT_FALSE(form->TreeModel().flags(form->TreeModel().IndexOf(node)) & Qt::ItemIsEditable);
    }
    EXPECT_TRUE(dialogs.Errors.empty());
}

TEST_F(CommandsTest, DeleteAsksAndRemovesTheVolumeWithItsFile)
{
    Click("Photos:\\");
    Click("Music 2002:\\Rock\\");
    Click("Photos:\\");
    form->SelectNode(Node("Photos:\\"));
    dialogs.Answers = {false};
    form->Delete1Execute();
    EXPECT_EQ(dialogs.Questions.back(), QStringLiteral("Do you really want to delete the catalog folder of Photos?"));
    EXPECT_TRUE(CatalogExists("Photos.arv"));
    EXPECT_EQ(Volumes().size(), 3u);

    dialogs.Answers = {true};
    form->Delete1Execute();
    EXPECT_TRUE(dialogs.Errors.empty());
    EXPECT_FALSE(CatalogExists("Photos.arv"));
    EXPECT_EQ(Volumes(), (Names{"Backup", "Music 2002"}));
    EXPECT_EQ(Entries(LookIn()).size(), 4u);
    EXPECT_EQ(form->StatusText(0), QStringLiteral("2 Catalogs"));
    // Whatever the tree selected instead is open, and no history entry
    // leads to the removed volume.
    EXPECT_NE(form->SelectedNode(), kNoNode);
    EXPECT_EQ(form->OpenNode(), form->SelectedNode());
    for (int i = 1; i <= NavigationHistory::kMaxEntries; ++i) {
        if (const auto& slot = form->History().Slot(i)) {
            EXPECT_NE(form->Tree().Resolve(slot->Handle), kNoNode);
        }
    }
    for (const QAction* item : W().BackMenu->actions()) EXPECT_NE(item->text(), QStringLiteral("Photos"));
}

TEST_F(CommandsTest, DeleteOfAVolumeWhoseFileIsGoneOffersToRemoveTheNode)
{
    std::filesystem::remove(home.CatalogFolder() + "Photos.arv");
    form->SelectNode(Node("Photos:\\"));
    dialogs.Answers = {true, false};
    form->Delete1Execute();
    EXPECT_EQ(dialogs.Errors, QStringList{QStringLiteral("Catalog file is missing.")});
    EXPECT_EQ(dialogs.Questions.back(), QStringLiteral("Do you want to delete the node anyway?"));
    EXPECT_EQ(Volumes().size(), 3u);

    dialogs.Answers = {true, true};
    form->Delete1Execute();
    EXPECT_EQ(Volumes(), (Names{"Backup", "Music 2002"}));
    // The other files are untouched.
    EXPECT_TRUE(CatalogExists("Backup.arv"));
    EXPECT_TRUE(CatalogExists("Music 2002.arv"));
}

TEST_F(CommandsTest, DeleteOpensWhatTheTreeSelectsAndTheLastVolumeLeavesTheRoot)
{
    // The root is listed, the volume selected but not opened.
    form->SelectNode(Node("Backup:\\"));
    dialogs.Answers = {true};
    form->Delete1Execute();
    EXPECT_EQ(OpenPath(), "Music 2002:\\");
    EXPECT_EQ(ListNames(), (Names{"Jazz", "Rock", "readme.txt"}));
    // Photos goes; the tree selects Music 2002, which is open already.
    form->SelectNode(Node("Photos:\\"));
    dialogs.Answers = {true};
    form->Delete1Execute();
    EXPECT_EQ(ListNames(), (Names{"Jazz", "Rock", "readme.txt"}));
    form->SelectNode(Node("Music 2002:\\"));
    dialogs.Answers = {true};
    form->Delete1Execute();
    EXPECT_TRUE(Volumes().empty());
    EXPECT_EQ(form->ListModel().rowCount(), 0);
    EXPECT_EQ(SelectedPath(), "My Catalogs");
    EXPECT_EQ(Entries(LookIn()), (Names{"My Catalogs", "All"}));
    EXPECT_EQ(form->StatusText(0), QStringLiteral("0 Catalogs"));
    EXPECT_TRUE(dialogs.Errors.empty());
}

TEST_F(CommandsTest, DeleteOnAFolderOrTheRootDoesNothing)
{
    for (NodeId node : {Node("Music 2002:\\Rock\\"), CatalogTree::kRoot}) {
        form->SelectNode(node);
        form->Delete1Execute();
    }
    EXPECT_TRUE(dialogs.Questions.empty());
    EXPECT_EQ(Volumes().size(), 3u);
}

TEST_F(CommandsTest, SetCatalogFolderLoadsTheChosenFolder)
{
    Click("Music 2002:\\Rock\\");
    Click("Photos:\\");
    form->SetCatDirClick();  // cancelled
    EXPECT_EQ(dialogs.FolderTitles, QStringList{QStringLiteral("Choose Catalog Folder...")});
    EXPECT_EQ(Volumes().size(), 3u);

    const std::string other = home.Folder("Other");
    WriteCatalog(other + "Elsewhere.arv", nullptr);
    dialogs.Folders = {QString::fromStdString(other.substr(0, other.size() - 1))};
    form->SetCatDirClick();
    EXPECT_EQ(form->CatalogFolder(), other);
    EXPECT_EQ(Volumes(), Names{"Elsewhere"});
    EXPECT_EQ(SelectedPath(), "My Catalogs");
    EXPECT_EQ(ListNames(), Names{"Elsewhere"});
    EXPECT_EQ(Entries(LookIn()), (Names{"Elsewhere", "My Catalogs", "All"}));
    EXPECT_EQ(form->History().Count(), 0);
    EXPECT_FALSE(W().BackBut->isEnabled());

    dialogs.Folders = {QString::fromStdString(home.Folder("Nothing"))};
    form->SetCatDirClick();
    EXPECT_TRUE(Volumes().empty());
    EXPECT_EQ(form->ListModel().rowCount(), 0);
    EXPECT_EQ(form->StatusText(0), QStringLiteral("0 Catalogs"));

    form->close();
    EXPECT_EQ(IniFile::Load(home.SettingsFile()).Get("General", "CatalogFolder"), home.Folder("Nothing"));
}

TEST_F(CommandsTest, ViewStylesGoToTheListOnShowAndBothMenusAgree)
{
    W().ViewsItems[kListStyle]->trigger();
    EXPECT_EQ(W().ListView->Style(), kListStyle);
    EXPECT_TRUE(W().ViewMenuItems[kListStyle]->isChecked());
    EXPECT_EQ(W().ListView->currentWidget(), static_cast<QWidget*>(W().ListView->IconView()));
    W().ViewMenuItems[kLargeIcons]->trigger();
    EXPECT_TRUE(W().ViewsItems[kLargeIcons]->isChecked());
    EXPECT_EQ(W().ListView->Style(), kLargeIcons);

    W().SBut->trigger();
    // Search mode shows the results list with its own style.
    EXPECT_TRUE(W().ViewsItems[kDetails]->isChecked());
    W().ViewsItems[kSmallIcons]->trigger();
    EXPECT_EQ(W().SearchView->Style(), kSmallIcons);
    EXPECT_EQ(W().ListView->Style(), kLargeIcons);
    W().FBut->trigger();
    EXPECT_TRUE(W().ViewMenuItems[kLargeIcons]->isChecked());
    form->close();
    const IniFile ini = IniFile::Load(home.SettingsFile());
    EXPECT_EQ(ini.Get("View", "LV_ViewStyle"), "0");
    EXPECT_EQ(ini.Get("View", "SLV_ViewStyle"), "1");
}

TEST_F(CommandsTest, ModeButtonsAndTheCloseButtonShowAndHideTheLeftPane)
{
    W().SBut->trigger();
    EXPECT_TRUE(W().SaveSR->isEnabled());
    EXPECT_EQ(form->StatusText(1), QStringLiteral("0 Matches found"));
    EXPECT_FALSE(W().Panel3->isHidden());
    // Clicking the button that is down raises it: both up, no left pane,
    // the right side keeps its list.
    W().SBut->trigger();
    EXPECT_FALSE(W().SBut->isChecked());
    EXPECT_FALSE(W().FBut->isChecked());
    EXPECT_TRUE(W().Panel3->isHidden());
    EXPECT_FALSE(form->FolderListShown());
    W().FBut->trigger();
    EXPECT_FALSE(W().Panel3->isHidden());
    EXPECT_TRUE(form->FolderListShown());
    EXPECT_EQ(form->StatusText(1), QStringLiteral("3 Items"));

    form->XButClick();
    EXPECT_TRUE(W().Panel3->isHidden());
    EXPECT_FALSE(W().SBut->isChecked());
    EXPECT_FALSE(W().FBut->isChecked());
    EXPECT_TRUE(form->FolderListShown());
    W().FBut->trigger();
    EXPECT_FALSE(W().Panel3->isHidden());
}

TEST_F(CommandsTest, ColumnsAreSizedToTheirLongestTextsInTheDetailsView)
{
    W().AutoAdjust1->setChecked(false);
    Click("Music 2002:\\Rock\\");
    QHeaderView* header = W().ListView->DetailsView()->header();
    const QFontMetrics metrics(W().ListView->DetailsView()->font());
    const auto textWidth = [&](const char* text) { return metrics.horizontalAdvance(QString::fromUtf8(text)); };
    W().AdjustCols->trigger();
    EXPECT_GT(header->sectionSize(0), textWidth("one.mp3") + 16);
    EXPECT_GT(header->sectionSize(1), textWidth("[SUB-DIR]"));
    EXPECT_GT(header->sectionSize(3), textWidth("Band - One"));

    Click("Music 2002:\\Jazz\\");  // no rows: the header captions
    W().AdjustCols->trigger();
    EXPECT_GT(header->sectionSize(0), textWidth("Name"));
    EXPECT_GT(header->sectionSize(3), textWidth("Media Info"));
    const int nameWidth = header->sectionSize(0);

    // Outside the details view nothing changes.
    W().AutoAdjust1->setChecked(true);
    W().ViewsItems[kLargeIcons]->trigger();
    Click("Music 2002:\\Rock\\");
    W().AdjustCols->trigger();
    EXPECT_EQ(header->sectionSize(0), nameWidth);
    // Filling the list with "Auto Resize" checked sizes the columns.
    W().ViewsItems[kDetails]->trigger();
    Click("Music 2002:\\");
    EXPECT_GT(header->sectionSize(0), textWidth("readme.txt") + 16);
}

TEST_F(CommandsTest, MenusCarryTheirCaptionsAndShortcuts)
{
    EXPECT_EQ(W().CreateNew->text(), QStringLiteral("&New Catalog..."));
    EXPECT_EQ(W().CreateNew->shortcut(), QKeySequence(QStringLiteral("Ctrl+N")));
    EXPECT_EQ(W().Quit->shortcut(), QKeySequence(QStringLiteral("Ctrl+X")));
    EXPECT_EQ(W().Delete1->shortcut(), QKeySequence(QStringLiteral("Ctrl+D")));
    EXPECT_EQ(W().Rename1->shortcut(), QKeySequence(Qt::Key_F2));
    EXPECT_EQ(W().Repaint->shortcut(), QKeySequence(Qt::Key_F5));
    EXPECT_EQ(W().AdjustCols->shortcut(), QKeySequence(Qt::Key_F3));
    EXPECT_TRUE(W().HelpContents->shortcuts().contains(QKeySequence(QStringLiteral("Ctrl+F1"))));
    EXPECT_EQ(W().SaveSR->text(), QStringLiteral("&Save Search Results"));
    EXPECT_EQ(W().UpBut->toolTip(), QStringLiteral("To parent directory"));
    EXPECT_EQ(W().SBut->toolTip(), QStringLiteral("Switch to search mode"));
    EXPECT_EQ(W().FBut->toolTip(), QStringLiteral("Switch to folders mode"));
    // New Catalog runs whatever is wired to it.
    int runs = 0;
    form->SetCreateNewHandler([&] { ++runs; });
    W().CreateNew->trigger();
    EXPECT_EQ(runs, 1);
}

TEST_F(CommandsTest, QuitClosesAndSavesTheSettings)
{
    std::filesystem::remove(home.SettingsFile());
    W().Quit->trigger();
    EXPECT_TRUE(std::filesystem::exists(home.SettingsFile()));
}

}  // namespace
}  // namespace ardvel::gui
