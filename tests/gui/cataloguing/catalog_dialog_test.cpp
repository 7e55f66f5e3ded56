// The cataloguing dialog: its first state, the selection and its proposal,
// the progress display, a whole cataloguing into the window's tree, the
// refusals, Cancel in the middle of a scan, failures, and "&New Catalog...".

#include <QAction>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QTreeView>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>

#include "catalog/CatalogRun.h"
#include "catalog/CatalogSource.h"
#include "catalog/NameChecks.h"
#include "catalog/ProgressText.h"
#include "cataloguing/SelDirForm.h"
#include "platform/Settings.h"
#include "store/CatalogError.h"
#include "store/CatalogFile.h"
#include "store/VolumeName.h"
#include "window/ArdvelFormFixture.h"
#include "window/NewCatalogHandler.h"

namespace ardvel::gui {
namespace {

namespace fs = std::filesystem;
using test::ArdvelFormFixture;
using test::Names;
using test::TempDir;
using test::WriteBytes;

QString Q(const std::string& text)
{
    return QString::fromStdString(text);
}

/// An MP3 file whose tags can never be read.
TMediaInfo UnreadableMedia(const std::string& path)
{
    throw CatalogError("Cannot open file " + path, path);
}

struct CatalogDialogTest : ArdvelFormFixture {
    void SetUp() override
    {
        WriteStandardCatalogs();
        Start();
        treeTester = test::TestModel(&form->TreeModel());
        listTester = test::TestModel(&form->ListModel());
        // No real CD-ROM is ever taken for a source, no door ever opens.
        options.CdRom.MountTable = sources.File("no-mounts");
        options.CdRom.EjectCommand = {"/bin/false"};
    }

    TSelDirForm& Open()
    {
        dialog = std::make_unique<TSelDirForm>(*form, dialogs, test::English(), options);
        finished = std::make_unique<QSignalSpy>(dialog.get(), &QDialog::finished);
        return *dialog;
    }

    /// A folder to catalogue: two files, a subfolder with a file, a hidden
    /// folder.
    std::string Source(const std::string& name)
    {
        const fs::path root = sources.Path() / name;
        fs::create_directories(root / "sub");
        fs::create_directories(root / ".hidden");
        WriteBytes((root / "a.txt").string(), "a");
        WriteBytes((root / "c.txt").string(), "cc");
        WriteBytes((root / "sub" / "b.txt").string(), "b");
        return root.string();
    }

    std::string HeaderLabel(const std::string& catalogFile) const
    {
        std::string label;
        CatalogReader reader(catalogFile);
        reader.ReadHeader(&label);
        return label;
    }

    Names CatalogFiles() const
    {
        Names names;
        for (const auto& entry : fs::directory_iterator(home.CatalogFolder()))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    /// Selects `folder`, types `name` and presses OK.
    void Catalogue(const std::string& folder, const std::string& name)
    {
        ASSERT_TRUE(dialog->SelectFolder(Q(folder))) << folder;
        dialog->VolumeName->setText(Q(name));
        dialog->OKBut->click();
    }

    /// The dialog in its resting state: nothing runs, the name can be typed.
    void ExpectUsable() const
    {
        EXPECT_FALSE(dialog->Running());
        EXPECT_TRUE(dialog->VolumeName->isEnabled());
        EXPECT_TRUE(dialog->OKBut->isEnabled());
        EXPECT_TRUE(dialog->ShellTreeView1->isEnabled());
    }

    TempDir sources;
    CatalogRunOptions options;
    std::unique_ptr<TSelDirForm> dialog;
    std::unique_ptr<QSignalSpy> finished;
    std::unique_ptr<QAbstractItemModelTester> treeTester, listTester;
};

TEST_F(CatalogDialogTest, OpensWithTheHomeFolderSelected)
{
    TSelDirForm& d = Open();
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Browse For Folder"));
    EXPECT_TRUE(d.isModal());
    EXPECT_EQ(d.StatusLbl->text(), QStringLiteral(" Selecting..."));
    EXPECT_EQ(d.VolumeNameLabel->text(), QStringLiteral("Enter New Volume Name:"));
    EXPECT_EQ(d.VolumeNameLabel->buddy(), d.VolumeName);
    EXPECT_EQ(d.Label1->text(), QStringLiteral("Current Folder:"));
    EXPECT_EQ(d.Label2->text(), QStringLiteral("Current File:"));
    EXPECT_EQ(d.OKBut->text(), QStringLiteral("&OK"));
    EXPECT_TRUE(d.OKBut->isDefault());
    EXPECT_EQ(d.CancelBut->text(), QStringLiteral("&Cancel"));
    EXPECT_TRUE(d.ShellFolders->filter().testFlag(QDir::Hidden));
    EXPECT_FALSE(d.ShellFolders->filter().testFlag(QDir::Files));

    ExpectUsable();

    // The home folder's selection has made its proposal.
    if (!QFileInfo(QDir::homePath()).isDir()) return;
    const std::string homeFolder = QDir::homePath().toStdString();
    ASSERT_EQ(d.SelectedFolder(), QDir::homePath());
    EXPECT_EQ(d.VolumeName->text().toStdString(), FolderDisplayName(homeFolder));
    EXPECT_EQ(d.SourceLabel(), FolderDisplayName(homeFolder));
    EXPECT_EQ(d.CurDir->text().toStdString(), ShortenFolderText(homeFolder));
    EXPECT_TRUE(d.CurFile->text().isEmpty());
    EXPECT_FALSE(d.EjectWhenDone());
}

TEST_F(CatalogDialogTest, EveryControlHasAName)
{
    TSelDirForm& d = Open();
    d.show();
    EXPECT_EQ(test::UnnamedControls(d), std::vector<std::string>{});
}

TEST_F(CatalogDialogTest, SelectingAFolderProposesItsLastComponent)
{
    TSelDirForm& d = Open();
    const std::string folder = Source("Holiday Photos");
    d.ShowProgress("/somewhere", "file.txt");
    ASSERT_TRUE(d.SelectFolder(Q(folder)));
    EXPECT_EQ(d.VolumeName->text(), QStringLiteral("Holiday Photos"));
    EXPECT_EQ(d.SourceLabel(), "Holiday Photos");
    EXPECT_FALSE(d.EjectWhenDone());
    EXPECT_EQ(d.CurDir->text().toStdString(), ShortenFolderText(folder));
    EXPECT_TRUE(d.CurFile->text().isEmpty());

    // The root proposes "/"; a file is no folder to select.
    ASSERT_TRUE(d.SelectFolder(QStringLiteral("/")));
    EXPECT_EQ(d.VolumeName->text(), QStringLiteral("/"));
    EXPECT_EQ(d.CurDir->text(), QStringLiteral("/"));
    EXPECT_FALSE(d.SelectFolder(Q(folder + "/a.txt")));
    EXPECT_EQ(d.SelectedFolder(), QStringLiteral("/"));
}

TEST_F(CatalogDialogTest, ShowProgressShortensFolderTextsLongerThan34Characters)
{
    TSelDirForm& d = Open();
    const std::string exact = "/abcdefghij/klmnopqrst/uvwxyz/0123";  // 34 characters
    ASSERT_EQ(exact.size(), 34u);
    d.ShowProgress(exact, "song.mp3");
    EXPECT_EQ(d.CurDir->text().toStdString(), exact);
    EXPECT_EQ(d.CurFile->text(), QStringLiteral("song.mp3"));

    d.ShowProgress(exact + "4", "x");
    EXPECT_EQ(d.CurDir->text(), QStringLiteral("/ab .../01234"));
    d.ShowProgress("/usr/share/doc/packages/zlib-devel/examples", "");
    EXPECT_EQ(d.CurDir->text(), QStringLiteral("/us .../examples"));
    EXPECT_TRUE(d.CurFile->text().isEmpty());
    // Characters, not bytes, are counted.
    const std::string accented = "/\xc3\xa9t\xc3\xa9/" + std::string(29, 'x');  // 34 characters
    d.ShowProgress(accented, "");
    EXPECT_EQ(d.CurDir->text().toStdString(), accented);
}

TEST_F(CatalogDialogTest, CataloguesAVolumeShowsItSortedAndClosesOnNo)
{
    TSelDirForm& d = Open();
    const std::string folder = Source("Holiday");
    dialogs.Answers = {false};
    std::size_t entries = 0;
    d.SetProgressObserver([&](std::string_view dir, std::string_view name) {
        // The first entry is on show at once.
        if (++entries == 1) {
            EXPECT_EQ(d.CurDir->text().toStdString(), ShortenFolderText(dir));
            EXPECT_EQ(d.CurFile->text().toStdString(), name);
        }
        // While the scan runs, nothing can start another run.
        EXPECT_TRUE(d.Running());
        EXPECT_FALSE(d.VolumeName->isEnabled());
        EXPECT_FALSE(d.OKBut->isEnabled());
        EXPECT_FALSE(d.ShellTreeView1->isEnabled());
        EXPECT_EQ(d.StatusLbl->text(), QStringLiteral(" Scaning..."));
    });
    Catalogue(folder, "Apples");

    EXPECT_EQ(entries, 5u);
    EXPECT_TRUE(dialogs.Errors.empty()) << dialogs.Errors.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(dialogs.Questions, QStringList{QStringLiteral("Will you catalog another volume or folder?")});
    // Sorted in among the others, and the Look-in list follows the new order.
    EXPECT_EQ(Volumes(), (Names{"Apples", "Backup", "Music 2002", "Photos"}));
    EXPECT_EQ(Entries(LookIn()), (Names{"Apples", "Backup", "Music 2002", "Photos", "Apples:\\", "All"}));
    EXPECT_EQ(SelectedPath(), "Apples:\\");
    EXPECT_EQ(OpenPath(), "Apples:\\");
    EXPECT_EQ(ListNames(), (Names{".hidden", "sub", "a.txt", "c.txt"}));
    EXPECT_TRUE(W().Catalog->isExpanded(form->TreeModel().IndexOf(CatalogTree::kRoot)));
    EXPECT_EQ(form->StatusText(0), QStringLiteral("4 Catalogs"));
    // The tree view sees the new volume and its folders.
    const QModelIndex root = form->TreeModel().IndexOf(CatalogTree::kRoot);
    ASSERT_EQ(form->TreeModel().rowCount(root), 4);
    const QModelIndex apples = form->TreeModel().index(0, 0, root);
    EXPECT_EQ(apples.data().toString(), QStringLiteral("Apples"));
    EXPECT_EQ(form->TreeModel().rowCount(apples), 2);
    EXPECT_EQ(W().Catalog->indexBelow(root), apples);
    EXPECT_EQ(W().Catalog->indexBelow(apples).data().toString(), QStringLiteral("Backup"));

    // Saved under its name, headed by the folder's label.
    EXPECT_EQ(CatalogFiles(), (Names{"Apples.arv", "Backup.arv", "Music 2002.arv", "Photos.arv"}));
    EXPECT_EQ(HeaderLabel(home.CatalogFolder() + "Apples.arv"), "Holiday");

    // The dialog's state at the end, and No closed it.
    EXPECT_EQ(d.StatusLbl->text(), QStringLiteral(" Ending..."));
    EXPECT_TRUE(d.CurDir->text().isEmpty());
    EXPECT_TRUE(d.CurFile->text().isEmpty());
    ExpectUsable();
    ASSERT_EQ(finished->count(), 1);
    EXPECT_EQ(finished->at(0).at(0).toInt(), int(QDialog::Accepted));
}

TEST_F(CatalogDialogTest, CataloguingInSearchModeShowsTheNewVolumeInFoldersMode)
{
    W().SBut->trigger();
    ASSERT_FALSE(form->FolderListShown());
    Open();
    dialogs.Answers = {false};
    Catalogue(Source("Holiday"), "Apples");
    EXPECT_TRUE(W().FBut->isChecked());
    EXPECT_FALSE(W().SBut->isChecked());
    EXPECT_TRUE(form->FolderListShown());
    EXPECT_EQ(OpenPath(), "Apples:\\");
    EXPECT_EQ(W().PathBox->currentText(), QStringLiteral("Apples:\\"));
    EXPECT_EQ(W().PathBox->findText(QStringLiteral("Search Results")), -1);
    EXPECT_EQ(form->StatusText(1), QStringLiteral("4 Items"));
}

TEST_F(CatalogDialogTest, YesLeavesTheDialogOpenForTheNextVolume)
{
    TSelDirForm& d = Open();
    dialogs.Answers = {true, false};
    Catalogue(Source("One"), "Zoo");
    EXPECT_EQ(finished->count(), 0);
    ExpectUsable();
    Catalogue(Source("Two"), "Apples");
    EXPECT_EQ(finished->count(), 1);
    EXPECT_EQ(dialogs.Questions.size(), 2);
    EXPECT_EQ(Volumes(), (Names{"Apples", "Backup", "Music 2002", "Photos", "Zoo"}));
    EXPECT_EQ(Entries(LookIn()), (Names{"Apples", "Backup", "Music 2002", "Photos", "Zoo", "Apples:\\", "All"}));
    EXPECT_EQ(HeaderLabel(home.CatalogFolder() + "Zoo.arv"), "One");
    EXPECT_EQ(HeaderLabel(home.CatalogFolder() + "Apples.arv"), "Two");
    EXPECT_EQ(form->StatusText(0), QStringLiteral("5 Catalogs"));
    EXPECT_EQ(d.StatusLbl->text(), QStringLiteral(" Ending..."));
}

TEST_F(CatalogDialogTest, RefusedNamesAndADeclinedSourceLeaveTheNameToRetype)
{
    TSelDirForm& d = Open();
    d.show();
    // The standard catalogs are headed "LABEL": a folder of that name was
    // catalogued before.
    const std::string folder = Source("LABEL");
    const Names before = CatalogFiles();

    Catalogue(folder, "Disc~1");
    Catalogue(folder, "pHoToS");
    Catalogue(folder, "   ");
    Catalogue(folder, std::string(252, 'n'));
    dialogs.Answers = {false};
    Catalogue(folder, "Fresh");
    ASSERT_EQ(dialogs.Errors.size(), 4);
    EXPECT_EQ(dialogs.Errors[0].toStdString(), EncodeVolumeName("Disc~1").Message);
    EXPECT_EQ(dialogs.Errors[1], QString::fromLatin1(kVolumeNameTaken));
    EXPECT_EQ(dialogs.Errors[2], QStringLiteral("Improper name! Please choose another one!"));
    EXPECT_EQ(dialogs.Errors[3], QStringLiteral("Improper name! Please choose another one!"));
    EXPECT_EQ(dialogs.Questions, QStringList{QString::fromLatin1(kAlreadyCataloguedQuestion)});
    EXPECT_EQ(Volumes(), (Names{"Backup", "Music 2002", "Photos"}));
    EXPECT_EQ(CatalogFiles(), before);
    EXPECT_EQ(finished->count(), 0);
    EXPECT_EQ(d.StatusLbl->text(), QStringLiteral(" Selecting..."));
    ExpectUsable();
    EXPECT_EQ(d.focusWidget(), d.VolumeName);

    // Yes to the same question makes the new volume.
    dialogs.Answers = {true, false};
    d.OKBut->click();
    EXPECT_EQ(dialogs.Errors.size(), 4);
    EXPECT_EQ(Volumes(), (Names{"Backup", "Fresh", "Music 2002", "Photos"}));
    EXPECT_EQ(HeaderLabel(home.CatalogFolder() + "Fresh.arv"), "LABEL");
    EXPECT_EQ(finished->count(), 1);
}

TEST_F(CatalogDialogTest, TheRunKeepsTheFolderItWasStartedFor)
{
    TSelDirForm& d = Open();
    const std::string first = Source("First");
    const std::string second = Source("Second");
    fs::create_directories(fs::path(second) / "only-in-second");
    dialogs.Answers = {false};
    bool once = false;
    d.SetProgressObserver([&](std::string_view, std::string_view) {
        if (once) return;
        once = true;
        // A selection made meanwhile, and a second OK, change nothing.
        ASSERT_TRUE(d.SelectFolder(Q(second)));
        d.OKButClick();
    });
    Catalogue(first, "Vol");
    EXPECT_EQ(dialogs.Questions.size(), 1);
    EXPECT_EQ(Volumes(), (Names{"Backup", "Music 2002", "Photos", "Vol"}));
    EXPECT_EQ(HeaderLabel(home.CatalogFolder() + "Vol.arv"), "First");
    EXPECT_EQ(ListNames(), (Names{".hidden", "sub", "a.txt", "c.txt"}));
}

TEST_F(CatalogDialogTest, CancelDuringAScanLeavesNoVolumeAndNoFile)
{
    struct Way {
        const char* name;
        std::function<void(TSelDirForm&)> before;  // before OK
        std::function<void(TSelDirForm&)> during;  // inside the scan
    };
    const std::vector<Way> ways = {
        {"Cancel clicked while the scan handles events",
         [](TSelDirForm& d) { QMetaObject::invokeMethod(d.CancelBut, "click", Qt::QueuedConnection); }, nullptr},
        {"Cancel deep in the tree", nullptr, [](TSelDirForm& d) { d.CancelButClick(); }},
        {"the window closed", nullptr, [](TSelDirForm& d) { d.close(); }},
    };
    const std::string folder = Source("Big");
    for (int i = 0; i < 30; ++i) fs::create_directories(fs::path(folder) / "sub" / test::Numbered("deep", i));
    const Names before = CatalogFiles();
    Click("Music 2002:\\Rock\\");
    W().Catalog->expand(form->TreeModel().IndexOf(Node("Music 2002:\\")));

    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        TSelDirForm& d = Open();
        if (way.before) way.before(d);
        bool cancelled = false;
        d.SetProgressObserver([&](std::string_view dir, std::string_view name) {
            if (cancelled || !way.during) return;
            if (fs::path(std::string(dir)).filename() == "sub" && name == "deep5") {
                cancelled = true;
                way.during(d);
                // The dialog stays until the run has returned.
                EXPECT_EQ(finished->count(), 0);
            }
        });
        Catalogue(folder, "Partial");
        EXPECT_TRUE(d.StopRequested());
        EXPECT_FALSE(d.Running());
        ASSERT_EQ(finished->count(), 1);
        EXPECT_EQ(finished->at(0).at(0).toInt(), int(QDialog::Rejected));
        EXPECT_TRUE(dialogs.Questions.isEmpty());
        EXPECT_TRUE(dialogs.Errors.isEmpty());
        EXPECT_EQ(Volumes(), (Names{"Backup", "Music 2002", "Photos"}));
        EXPECT_EQ(CatalogFiles(), before);
        EXPECT_EQ(form->TreeModel().rowCount(form->TreeModel().IndexOf(CatalogTree::kRoot)), 3);
        // The window's tree is as it was.
        EXPECT_EQ(SelectedPath(), "Music 2002:\\Rock\\");
        EXPECT_EQ(OpenPath(), "Music 2002:\\Rock\\");
        EXPECT_TRUE(W().Catalog->isExpanded(form->TreeModel().IndexOf(Node("Music 2002:\\"))));
        EXPECT_TRUE(W().Catalog->updatesEnabled());
        dialog.reset();
    }
}

TEST_F(CatalogDialogTest, AScanHandlesEventsAFewDozenTimesASecondAtMost)
{
    Open();
    const std::string folder = Source("Many");
    for (int i = 0; i < 600; ++i) WriteBytes(folder + "/" + test::Numbered("f", i), "");
    // A zero timer runs once in every round of event handling.
    int rounds = 0;
    QTimer counter;
    QObject::connect(&counter, &QTimer::timeout, [&] { ++rounds; });
    counter.start(0);
    dialogs.Answers = {false};
    QElapsedTimer clock;
    clock.start();
    Catalogue(folder, "Many");
    const qint64 elapsed = clock.elapsed();
    counter.stop();

    EXPECT_EQ(Volumes(), (Names{"Backup", "Many", "Music 2002", "Photos"}));
    // Once at the first entry, then once per interval at most.
    EXPECT_GE(rounds, 1);
    EXPECT_LE(rounds, 1 + elapsed / TSelDirForm::kEventIntervalMs);
}

TEST_F(CatalogDialogTest, CancelWithoutARunJustCloses)
{
    TSelDirForm& d = Open();
    d.CancelBut->click();
    ASSERT_EQ(finished->count(), 1);
    EXPECT_EQ(finished->at(0).at(0).toInt(), int(QDialog::Rejected));
    EXPECT_EQ(Volumes(), (Names{"Backup", "Music 2002", "Photos"}));
}

TEST_F(CatalogDialogTest, OkWithoutASelectionDoesNothing)
{
    TSelDirForm& d = Open();
    d.ShellTreeView1->selectionModel()->clearCurrentIndex();
    d.OKBut->click();
    EXPECT_TRUE(dialogs.Questions.isEmpty());
    EXPECT_TRUE(dialogs.Errors.isEmpty());
    EXPECT_EQ(Volumes(), (Names{"Backup", "Music 2002", "Photos"}));
    ExpectUsable();
}

TEST_F(CatalogDialogTest, AFailedSaveIsReportedAndTheDialogStaysUsable)
{
    // A catalog folder that does not exist (and is not the default one).
    form.reset();
    const std::string missing = sources.Folder() + "gone/";
    home.WriteSettings("[General]\nCatalogFolder=" + missing + "\n");
    Start();
    treeTester = test::TestModel(&form->TreeModel());
    listTester = test::TestModel(&form->ListModel());
    ASSERT_EQ(form->CatalogFolder(), missing);

    const std::string openBefore = OpenPath();
    TSelDirForm& d = Open();
    Catalogue(Source("Lost"), "Lost");
    // The folder is found unwritable before the scan, with the system's reason.
    ASSERT_EQ(dialogs.Errors.size(), 1);
    EXPECT_TRUE(dialogs.Errors[0].startsWith(QStringLiteral("Cannot create file ") + QString::fromStdString(missing)))
        << dialogs.Errors[0].toStdString();
    EXPECT_TRUE(dialogs.Errors[0].endsWith(QString::fromLocal8Bit(std::strerror(ENOENT))))
        << dialogs.Errors[0].toStdString();
    EXPECT_TRUE(dialogs.Questions.isEmpty());
    EXPECT_EQ(finished->count(), 0);
    ExpectUsable();
    EXPECT_TRUE(d.CurFile->text().isEmpty());
    // No volume was added, so nothing looks catalogued.
    EXPECT_EQ(Volumes(), (Names{}));
    EXPECT_EQ(form->StatusText(0), QStringLiteral("0 Catalogs"));
    EXPECT_EQ(OpenPath(), openBefore);
    EXPECT_FALSE(fs::exists(missing));
    // Its name is free for the next try.
    fs::create_directories(missing);
    dialogs.Errors.clear();
    dialogs.Answers = {false};
    Catalogue(Source("Lost"), "Lost");
    EXPECT_TRUE(dialogs.Errors.isEmpty());
    EXPECT_EQ(Volumes(), (Names{"Lost"}));
}

TEST_F(CatalogDialogTest, AnUnreadableCatalogDoesNotBlockCataloguing)
{
    WriteBytes(home.CatalogFolder() + "junk.arv", "");
    dialogs.Errors.clear();
    form->LoadCatalogs();  // reported here, once
    ASSERT_EQ(dialogs.Errors.size(), 1);
    Open();
    dialogs.Answers = {false};
    Catalogue(Source("New"), "New");
    EXPECT_EQ(dialogs.Errors.size(), 1);
    EXPECT_EQ(Volumes(), (Names{"Backup", "Music 2002", "New", "Photos"}));
    EXPECT_TRUE(CatalogExists("New.arv"));
}

TEST_F(CatalogDialogTest, TheDefaultCatalogFolderIsMadeOnFirstUse)
{
    ASSERT_EQ(form->CatalogFolder(), DefaultCatalogFolder());
    fs::remove_all(home.CatalogFolder());
    Open();
    dialogs.Answers = {false};
    Catalogue(Source("First"), "First");
    EXPECT_TRUE(dialogs.Errors.isEmpty());
    EXPECT_EQ(CatalogFiles(), (Names{"First.arv"}));
}

TEST_F(CatalogDialogTest, UnreadableTagsAreReportedOnceAfterTheSort)
{
    options.ReadMedia = &UnreadableMedia;
    Open();
    const std::string folder = Source("Songs");
    WriteBytes(folder + "/one.mp3", "x");
    WriteBytes(folder + "/sub/two.MP3", "y");
    dialogs.Answers = {false};
    Catalogue(folder, "Songs");
    ASSERT_EQ(dialogs.Errors.size(), 1);
    EXPECT_TRUE(dialogs.Errors[0].startsWith(QStringLiteral("The tags of 2 MP3 files could not be read")));
    EXPECT_EQ(dialogs.Questions.size(), 1);
    EXPECT_EQ(Volumes(), (Names{"Backup", "Music 2002", "Photos", "Songs"}));
    EXPECT_EQ(Entries(LookIn()), (Names{"Backup", "Music 2002", "Photos", "Songs", "Songs:\\", "All"}));
    EXPECT_EQ(finished->count(), 1);
    ExpectUsable();
}

TEST_F(CatalogDialogTest, NewCatalogRunsTheDialogAndFreesIt)
{
    InstallCreateNewHandler(*form, dialogs, test::English(), options);
    const std::string folder = Source("Via Menu");
    QPointer<QDialog> shown;
    dialogs.OnDialog = [&](QDialog& d) {
        shown = &d;
        auto* sel = qobject_cast<TSelDirForm*>(&d);
        ASSERT_NE(sel, nullptr);
        EXPECT_EQ(sel->parentWidget(), form.get());
        ASSERT_TRUE(sel->SelectFolder(Q(folder)));
        sel->OKBut->click();
    };
    dialogs.Answers = {false};
    EXPECT_EQ(W().CreateNew->shortcut(), QKeySequence(QStringLiteral("Ctrl+N")));
    W().CreateNew->trigger();
    EXPECT_EQ(dialogs.DialogTitles, QStringList{QStringLiteral("Browse For Folder")});
    EXPECT_TRUE(shown.isNull());
    EXPECT_EQ(Volumes(), (Names{"Backup", "Music 2002", "Photos", "Via Menu"}));
    EXPECT_TRUE(CatalogExists("Via Menu.arv"));
}

}  // namespace
}  // namespace ardvel::gui
