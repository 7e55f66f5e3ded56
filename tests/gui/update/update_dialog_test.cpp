// Update Volume and Compare Volumes: the list of changes, Apply with the
// volume open in the browser and in the history, Cancel, and the commands.

#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>
#include <filesystem>

#include "catalog/FreshScan.h"
#include "catalog/VolumeSources.h"
#include "update/ChangesModel.h"
#include "update/ChangesPanel.h"
#include "update/CompareForm.h"
#include "update/UpdateForm.h"
#include "window/ArdvelFormFixture.h"
#include "window/RowContextMenu.h"
#include "window/UpdateCommands.h"

namespace ardvel::gui {
namespace {

namespace fs = std::filesystem;
using test::ArdvelFormFixture;
using test::Names;

/// A window over one volume "Disk" catalogued from a folder of the test,
/// with the update commands installed.
struct UpdateDialogTest : ArdvelFormFixture {
    void SetUp() override
    {
        disk = home.Folder("Disk");
        for (const char* name : {"a.txt", "Keep/k.txt", "Keep/Inner/i.txt", "Gone/g.txt"}) {
            fs::create_directories(fs::path(disk + name).parent_path());
            test::WriteBytes(disk + name, "x");
        }
        FreshScan scan;
        ASSERT_TRUE(scan.Run(disk, {}));
        catalog = home.CatalogFolder() + "Disk.arv";
        CatalogWriter writer(catalog);
        writer.WriteHeader("Disk", scan.Tree().Info(scan.Volume()).Date);
        writer.WriteTree(scan.Tree(), scan.Volume());
        writer.Commit();
        folder = disk.substr(0, disk.size() - 1);
        RememberVolumeSource(home.SettingsFile(), catalog, scan.Tree().Info(scan.Volume()).Date, folder);
        Start();
        UpdateFormOptions options;
        options.Source.SettingsFile = options.Update.SettingsFile = home.SettingsFile();
        InstallUpdateCommands(*form, dialogs, test::English(), options);
    }

    /// Adds, removes and changes files and folders of the disk.
    void ChangeDisk() const
    {
        fs::remove_all(disk + "Gone");
        fs::remove(disk + "Keep/k.txt");
        fs::create_directories(disk + "New");
        test::WriteBytes(disk + "New/n.txt", "n");
        test::WriteBytes(disk + "a.txt", std::string(5000, 'x'));
    }

    static Names Rows(ChangesPanel& panel)
    {
        Names rows;
        const ChangesModel& model = panel.Model();
        for (int r = 0; r < model.rowCount(); ++r)
            rows.push_back(model.data(model.index(r, 0), Qt::DisplayRole).toString().toStdString() + " " +
                           model.ChangeAt(r).Path);
        return rows;
    }

    void TriggerUpdate(const std::function<void(TUpdateForm&)>& script)
    {
        dialogs.OnDialog = [&](QDialog& d) { script(dynamic_cast<TUpdateForm&>(d)); };
        form->findChild<QAction*>(QStringLiteral("UpdateVolume"))->trigger();
    }

    std::string disk, folder, catalog;
};

TEST_F(UpdateDialogTest, ApplyReplacesTheVolumeKeepingWhatIsOpenWhereItStillExists)
{
    Click("Disk:\\Gone\\");
    Click("Disk:\\Keep\\");
    ChangeDisk();
    Names listed;
    TriggerUpdate([&](TUpdateForm& f) {
        EXPECT_EQ(f.FolderEdit->text().toStdString(), folder);  // the remembered one
        EXPECT_FALSE(f.ApplyBut->isEnabled());
        f.show();
        EXPECT_EQ(test::UnnamedControls(f), std::vector<std::string>{});
        f.ScanButClick();
        listed = Rows(*f.Changes);
        EXPECT_EQ(f.Changes->Counts().text().toStdString(),
                  "1 added, 2 removed, 1 changed (1 files in added folders, 1 in removed ones)");
        f.ApplyButClick();
    });
    EXPECT_EQ(listed, (Names{"Changed a.txt", "Removed Gone\\", "Removed Keep\\k.txt", "Added New\\"}));
    EXPECT_TRUE(dialogs.Errors.isEmpty()) << dialogs.Errors.join('\n').toStdString();

    // The window shows the new state; the open folder stayed open.
    EXPECT_EQ(Node("Disk:\\Gone\\"), kNoNode);
    EXPECT_NE(Node("Disk:\\New\\"), kNoNode);
    EXPECT_EQ(OpenPath(), "Disk:\\Keep\\");
    EXPECT_EQ(ListNames(), Names{"Inner"});
    // History: the entry of the gone folder was dropped.
    for (const auto* entry : form->History().BackEntries()) EXPECT_NE(entry->Text, "Disk:\\Gone\\");

    // The catalog file holds the new state: nothing left to change.
    TriggerUpdate([&](TUpdateForm& f) {
        f.ScanButClick();
        listed = Rows(*f.Changes);
        f.CancelButClick();
    });
    EXPECT_TRUE(listed.empty());
}

TEST_F(UpdateDialogTest, CancelKeepsTheCatalogAndTheTree)
{
    ChangeDisk();
    const std::string before = test::ReadBytes(catalog);
    Click("Disk:\\");
    TriggerUpdate([&](TUpdateForm& f) {
        f.ScanButClick();
        EXPECT_TRUE(f.ApplyBut->isEnabled());
        f.CancelButClick();
    });
    EXPECT_EQ(test::ReadBytes(catalog), before);
    EXPECT_NE(Node("Disk:\\Gone\\"), kNoNode);
}

TEST_F(UpdateDialogTest, CompareListsTheChangesFromOneVolumeToAnother)
{
    TCompareForm compare(form->Tree(), test::English(), Node("Disk:\\"));
    compare.show();
    EXPECT_EQ(test::UnnamedControls(compare), std::vector<std::string>{});
    compare.NewVolume->setCurrentIndex(compare.OldVolume->currentIndex());
    compare.CompareButClick();
    EXPECT_TRUE(Rows(*compare.Changes).empty());
    EXPECT_EQ(compare.Changes->Counts().text().toStdString(),
              "0 added, 0 removed, 0 changed (0 files in added folders, 0 in removed ones)");
    // The list sorts by a column's value on a header click.
    ChangesModel& model = compare.Changes->Model();
    for (const auto& [path, size] : {std::pair{"b", 900}, std::pair{"a", 1100}}) {
        TreeChange added;
        added.Kind = ChangeKind::Added;
        added.Path = path;
        added.NewSizeKB = size;
        model.Add(added);
    }
    compare.Changes->View().sortByColumn(ChangesModel::kNewSize, Qt::DescendingOrder);
    EXPECT_EQ(compare.Changes->View().model()->index(0, ChangesModel::kPath).data().toString(), "a");
}

TEST_F(UpdateDialogTest, TheTreesRowMenuOffersUpdateBesideItsOwnItems)
{
    form->SelectNode(Node("Disk:\\"));
    const std::unique_ptr<QMenu> menu = form->RowMenu(RowPlace::Tree);
    ASSERT_NE(RowMenuItem(*menu, kRowRename), nullptr);
    QAction* update = RowMenuItem(*menu, "UpdateVolume");
    ASSERT_NE(update, nullptr);
    EXPECT_TRUE(update->isEnabled());
    form->SelectNode(CatalogTree::kRoot);
    EXPECT_FALSE(RowMenuItem(*form->RowMenu(RowPlace::Tree), "UpdateVolume")->isEnabled());
}

TEST_F(UpdateDialogTest, TheMenuBarHasOneToolsMenuWithCompareAndFindDuplicates)
{
    int toolsCaptions = 0;
    for (const QToolButton* button : form->findChildren<QToolButton*>())
        if (button->text() == QStringLiteral("&Tools")) ++toolsCaptions;
    EXPECT_EQ(toolsCaptions, 1);
    const QList<QMenu*> menus = form->findChildren<QMenu*>(QStringLiteral("Tools1"));
    ASSERT_EQ(menus.size(), 1);
    QStringList names;
    for (const QAction* action : menus.front()->actions()) names << action->objectName();
    EXPECT_TRUE(names.contains(QStringLiteral("CompareVolumes"))) << names.join(u',').toStdString();
    EXPECT_TRUE(names.contains(QStringLiteral("FindDuplicates"))) << names.join(u',').toStdString();
}

}  // namespace
}  // namespace ardvel::gui
