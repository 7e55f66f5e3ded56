#include <QAction>
#include <QLabel>
#include <QToolBar>
#include <QToolButton>

#include "ArdvelFormFixture.h"
#include "platform/Settings.h"
#include "window/BrowserSettings.h"
#include "window/LoadForm.h"

namespace ardvel::gui {
namespace {

using test::ArdvelFormFixture;
using test::Names;
using test::WriteBytes;
using test::WriteCatalog;

using StartupTest = ArdvelFormFixture;

TEST_F(StartupTest, LoadsEveryCatalogSortedAndShowsTheRoot)
{
    WriteStandardCatalogs();
    TArdvelForm& f = Start();
    auto tester = test::TestModel(&f.TreeModel());
    auto listTester = test::TestModel(&f.ListModel());
    EXPECT_TRUE(dialogs.Errors.empty());
    EXPECT_EQ(Volumes(), (Names{"Backup", "Music 2002", "Photos"}));
    EXPECT_EQ(f.windowTitle(), QStringLiteral("Ardvel 1.4"));
    EXPECT_EQ(f.StatusText(0), QStringLiteral("3 Catalogs"));
    EXPECT_EQ(f.StatusText(1), QStringLiteral("3 Items"));
    EXPECT_EQ(ListNames(), (Names{"Backup", "Music 2002", "Photos"}));
    EXPECT_EQ(Entries(W().PathBox), Names{"My Catalogs"});
    EXPECT_EQ(Entries(LookIn()), (Names{"Backup", "Music 2002", "Photos", "My Catalogs", "All"}));
    EXPECT_EQ(LookIn()->currentIndex(), 4);
    EXPECT_EQ(SelectedPath(), "My Catalogs");
    EXPECT_TRUE(W().Catalog->isExpanded(f.TreeModel().IndexOf(CatalogTree::kRoot)));
    // The root is shown but not yet open; nothing is in the history.
    EXPECT_EQ(f.OpenNode(), kNoNode);
    EXPECT_FALSE(W().UpBut->isEnabled());
    EXPECT_FALSE(W().BackBut->isEnabled());
    EXPECT_FALSE(W().ForwBut->isEnabled());
    EXPECT_TRUE(W().FBut->isChecked());
    EXPECT_FALSE(W().SBut->isChecked());
    EXPECT_FALSE(W().SaveSR->isEnabled());
    // Each volume remembers the file it came from.
    EXPECT_EQ(f.Tree().CatalogFileName(Node("Music 2002:\\")), "Music 2002.arv");
}

TEST_F(StartupTest, FirstRunUsesTheDefaultsAndWritesThemAtTheEnd)
{
    TArdvelForm& f = Start();
    EXPECT_EQ(f.CatalogFolder(), home.CatalogFolder());
    EXPECT_FALSE(W().StandartButs->isHidden());
    EXPECT_FALSE(W().PathBar->isHidden());
    EXPECT_TRUE(W().StandartButtons1->isChecked());
    EXPECT_TRUE(W().PathBar1->isChecked());
    EXPECT_TRUE(W().AutoAdjust1->isChecked());
    EXPECT_EQ(W().ListView->Style(), kDetails);
    EXPECT_EQ(W().SearchView->Style(), kDetails);
    EXPECT_TRUE(W().ViewMenuItems[kDetails]->isChecked());
    EXPECT_TRUE(W().ViewsItems[kDetails]->isChecked());
    // No catalogs: the root alone, an empty list.
    EXPECT_EQ(f.Tree().VolumeCount(), 0u);
    EXPECT_EQ(f.ListModel().rowCount(), 0);
    EXPECT_EQ(f.StatusText(0), QStringLiteral("0 Catalogs"));
    EXPECT_EQ(Entries(LookIn()), (Names{"My Catalogs", "All"}));
    EXPECT_TRUE(dialogs.Errors.empty());

    form.reset();
    const IniFile ini = IniFile::Load(home.SettingsFile());
    EXPECT_EQ(ini.Get("General", "CatalogFolder"), home.CatalogFolder());
    EXPECT_EQ(ini.Get("View", "LV_ViewStyle"), "3");
    EXPECT_EQ(ini.Get("View", "SLV_ViewStyle"), "3");
    EXPECT_EQ(ini.Get("View", "StdBar"), "1");
    EXPECT_EQ(ini.Get("View", "PathBar"), "1");
    EXPECT_EQ(ini.Get("View", "AutoAdjust"), "1");
}

TEST_F(StartupTest, SettingsAreReadBeforeLoadingAndTheirChangesSaved)
{
    const std::string elsewhere = home.Folder("Elsewhere");
    WriteCatalog(elsewhere + "Far.arv", nullptr);
    home.WriteSettings("[General]\nCatalogFolder=" + elsewhere.substr(0, elsewhere.size() - 1) +
                       "\n[View]\nLV_ViewStyle=7\nSLV_ViewStyle=1\nStdBar=0\nPathBar=1\nAutoAdjust=0\nOther=kept\n");
    TArdvelForm& f = Start();
    EXPECT_EQ(f.CatalogFolder(), elsewhere);
    EXPECT_EQ(Volumes(), Names{"Far"});
    EXPECT_EQ(W().ListView->Style(), kDetails);  // 7 is no view style
    EXPECT_EQ(W().SearchView->Style(), kSmallIcons);
    EXPECT_TRUE(W().StandartButs->isHidden());
    EXPECT_FALSE(W().StandartButtons1->isChecked());
    EXPECT_FALSE(W().PathBar->isHidden());
    EXPECT_FALSE(W().AutoAdjust1->isChecked());

    W().StandartButtons1->trigger();
    EXPECT_FALSE(W().StandartButs->isHidden());
    W().PathBar1->trigger();
    EXPECT_TRUE(W().PathBar->isHidden());
    W().ViewsItems[kListStyle]->trigger();
    f.close();
    const IniFile ini = IniFile::Load(home.SettingsFile());
    EXPECT_EQ(ini.Get("General", "CatalogFolder"), elsewhere);
    EXPECT_EQ(ini.Get("View", "LV_ViewStyle"), "2");
    EXPECT_EQ(ini.Get("View", "SLV_ViewStyle"), "1");
    EXPECT_EQ(ini.Get("View", "StdBar"), "1");
    EXPECT_EQ(ini.Get("View", "PathBar"), "0");
    EXPECT_EQ(ini.Get("View", "AutoAdjust"), "0");
    EXPECT_EQ(ini.Get("View", "Other"), "kept");
}

TEST(BrowserSettings, StylesOutOfRangeAndUnreadableNumbersGiveTheDefaults)
{
    IniFile ini;
    ini.Set("View", "LV_ViewStyle", "-1");
    ini.Set("View", "SLV_ViewStyle", "9");
    ini.Set("View", "StdBar", "yes");
    ini.Set("View", "PathBar", "2");
    ini.Set("General", "CatalogFolder", ".\\Catalogs\\");
    const ViewSettings s = ReadViewSettings(ini);
    EXPECT_EQ(s.ListViewStyle, 3);
    EXPECT_EQ(s.SearchViewStyle, 3);
    EXPECT_TRUE(s.StdBar);   // unreadable: the default
    EXPECT_TRUE(s.PathBar);  // any number but 0
    EXPECT_EQ(s.CatalogFolder, DefaultCatalogFolder());
    ini.Set("View", "AutoAdjust", "0");
    EXPECT_FALSE(ReadViewSettings(ini).AutoAdjust);
}

TEST_F(StartupTest, ASettingsFileThatCannotBeWrittenIsReported)
{
    TArdvelForm& f = Start();
    // The settings folder is taken by a file: nothing can be written there.
    const auto folder = std::filesystem::path(home.SettingsFile()).parent_path();
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder.parent_path());
    WriteBytes(folder.string(), "x");
    f.close();
    ASSERT_EQ(dialogs.Errors.size(), 1u);
    EXPECT_EQ(dialogs.Errors[0].toStdString(), "Unable to write to " + home.SettingsFile());
    // Closing and then destroying the window saves once.
    form.reset();
    EXPECT_EQ(dialogs.Errors.size(), 1u);
}

TEST_F(StartupTest, CatalogsThatFailAreReportedInOneBoxAndTheRestLoads)
{
    WriteCatalog(home.CatalogFolder() + "Good.arv", [](CatalogTree& t, NodeId v) { t.AddFile(v, "f", 1, 0); });
    WriteBytes(home.CatalogFolder() + "Empty.arv", "");
    std::filesystem::create_directory(home.CatalogFolder() + "Folder.arv");
    TArdvelForm& f = Start();
    ASSERT_EQ(dialogs.Errors.size(), 1u);
    const std::string box = dialogs.Errors[0].toStdString();
    EXPECT_NE(box.find(home.CatalogFolder() + "Empty.arv: Read beyond end of file"), std::string::npos) << box;
    EXPECT_NE(box.find("Folder.arv"), std::string::npos) << box;
    EXPECT_EQ(box.find("Good.arv"), std::string::npos) << box;
    EXPECT_EQ(Volumes(), Names{"Good"});
    EXPECT_EQ(f.StatusText(0), QStringLiteral("1 Catalogs"));
}

TEST_F(StartupTest, ManyFailingCatalogsAreCountedAndListedOneALine)
{
    WriteCatalog(home.CatalogFolder() + "Good.arv", nullptr);
    for (int i = 0; i < 160; ++i) WriteBytes(home.CatalogFolder() + test::Numbered("Bad ", i) + ".arv", "x");
    Start();
    ASSERT_EQ(dialogs.Errors.size(), 1u);
    ASSERT_EQ(dialogs.ErrorLists.size(), 1u);
    EXPECT_TRUE(dialogs.Errors[0].startsWith(QStringLiteral("160 catalog files could not be read.\n")))
        << dialogs.Errors[0].toStdString();
    const QStringList& lines = dialogs.ErrorLists[0];
    ASSERT_EQ(lines.size(), 160);
    for (int i = 0; i < 160; ++i) {
        const QString line = QString::fromStdString(home.CatalogFolder() + test::Numbered("Bad ", i) + ".arv: ");
        EXPECT_EQ(lines.filter(line).size(), 1) << line.toStdString();
    }
    EXPECT_EQ(Volumes(), Names{"Good"});
}

TEST_F(StartupTest, OneFailingCatalogIsCountedInTheSingular)
{
    WriteBytes(home.CatalogFolder() + "Empty.arv", "");
    Start();
    ASSERT_EQ(dialogs.Errors.size(), 1u);
    EXPECT_EQ(dialogs.Errors[0].toStdString(),
              "1 catalog file could not be read.\n\n" + home.CatalogFolder() + "Empty.arv: Read beyond end of file");
}

TEST_F(StartupTest, OnlyLowerCaseExtensionsCountButEveryCatalogLoads)
{
    WriteCatalog(home.CatalogFolder() + "Upper.ARV", nullptr);
    {
        Start();
        EXPECT_TRUE(Volumes().empty());
        form.reset();
    }
    WriteCatalog(home.CatalogFolder() + "Lower.arv", nullptr);
    Start();
    EXPECT_EQ(Volumes(), (Names{"Lower", "Upper"}));
    EXPECT_TRUE(dialogs.Errors.empty());
}

TEST_F(StartupTest, EncodedFileNamesLoadAsTheirVolumeNames)
{
    WriteCatalog(home.CatalogFolder() + "My ~58 Disc.arv", nullptr);
    Start();
    EXPECT_EQ(Volumes(), Names{"My : Disc"});
    EXPECT_EQ(form->Tree().CatalogFileName(form->Tree().Children(CatalogTree::kRoot)[0]), "My ~58 Disc.arv");
}

TEST(LoadFormSplash, ProgressAndTheDotsOfTheLabel)
{
    TLoadForm splash;
    EXPECT_EQ(splash.windowTitle(), QStringLiteral("Loading..."));
    EXPECT_EQ(splash.size(), QSize(340, 240));
    EXPECT_EQ(splash.LoadingText(), QStringLiteral("L   O   A   D   I   N   G"));
    EXPECT_EQ(QString::fromLatin1(TLoadForm::kLoadingText).size(), 25);
    splash.SetMaximum(3);
    splash.SetPosition(5);
    EXPECT_EQ(splash.Position(), 3);
    const char* expected[] = {"L   O   A   D   I   N   G",     "L   O   A   D   I   N   G .",
                              "L   O   A   D   I   N   G . .", "L   O   A   D   I   N   G . . .",
                              "L   O   A   D   I   N   G",     "L   O   A   D   I   N   G ."};
    for (std::size_t files = 0; files < 6; ++files) {
        splash.SetFilesRead(files);
        EXPECT_EQ(splash.LoadingText().toStdString(), expected[files]) << files;
    }
}

}  // namespace
}  // namespace ardvel::gui
