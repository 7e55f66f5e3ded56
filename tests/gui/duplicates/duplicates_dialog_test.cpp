// Tools > Find Duplicates...: the dialog and its list, offscreen.
#include <QCheckBox>
#include <QComboBox>
#include <QFont>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeView>
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "GuiTestSupport.h"
#include "duplicates/DuplicateRowsModel.h"
#include "duplicates/DuplicatesDialog.h"

namespace ardvel::gui::test {
namespace {

/// A:\ big.iso 900, Song.mp3 100, Docs\ (note.txt 2, report.doc 50)
/// B:\ BIG.ISO 900, song.MP3 100, Old\ (NOTE.TXT 2)
class DuplicatesDialogTest : public ::testing::Test {
protected:
    DuplicatesDialogTest()
    {
        a = tree.AddVolume("A", 40000);
        tree.AddFile(a, "big.iso", 900, 40001);
        tree.AddFile(a, "Song.mp3", 100, 40002);
        docs = tree.AddFolder(a, "Docs", 40000);
        tree.AddFile(docs, "note.txt", 2, 40003);
        tree.AddFile(docs, "report.doc", 50, 40004);
        b = tree.AddVolume("B", 40000);
        tree.AddFile(b, "BIG.ISO", 900, 40001);
        tree.AddFile(b, "song.MP3", 100, 40002);
        old = tree.AddFolder(b, "Old", 40000);
        tree.AddFile(old, "NOTE.TXT", 2, 40003);
        dialog = std::make_unique<TDuplicatesDialog>(tree, docs, English(), dialogs,
                                                     [this](NodeId folder) { opened.push_back(folder); });
    }

    std::vector<std::string> Column(int column) const
    {
        std::vector<std::string> texts;
        const QAbstractItemModel& m = dialog->Model();
        for (int row = 0; row < m.rowCount(); ++row)
            texts.push_back(m.index(row, column).data().toString().toStdString());
        return texts;
    }

    CatalogTree tree;
    NodeId a = kNoNode, docs = kNoNode, b = kNoNode, old = kNoNode;
    ScriptedDialogs dialogs;
    std::vector<NodeId> opened;
    std::unique_ptr<TDuplicatesDialog> dialog;
    ModelComplaints complaints;
};

TEST_F(DuplicatesDialogTest, FindListsTheGroupsLargestWasteFirst)
{
    const auto tester = TestModel(&dialog->Model());
    // The scope starts at All; "Save" waits for something to save.
    EXPECT_EQ(dialog->LookIn->currentText(), QStringLiteral("All"));
    EXPECT_FALSE(dialog->Save->isEnabled());
    dialog->FindClick();
    using Texts = std::vector<std::string>;
    EXPECT_EQ(Column(DuplicateRowsModel::kGroup), (Texts{"1", "1", "2", "2", "3", "3"}));
    EXPECT_EQ(Column(DuplicateRowsModel::kName),
              (Texts{"big.iso", "BIG.ISO", "Song.mp3", "song.MP3", "note.txt", "NOTE.TXT"}));
    EXPECT_EQ(Column(DuplicateRowsModel::kVolume), (Texts{"A", "B", "A", "B", "A", "B"}));
    EXPECT_EQ(Column(DuplicateRowsModel::kPath), (Texts{"", "", "", "", "Docs\\", "Old\\"}));
    EXPECT_EQ(Column(DuplicateRowsModel::kSize), (Texts{"900 KB", "900 KB", "100 KB", "100 KB", "2 KB", "2 KB"}));
    EXPECT_EQ(dialog->Summary->text(), QStringLiteral("3 groups, 6 files, 1002 KB that could be freed"));
    EXPECT_TRUE(dialog->Save->isEnabled());

    // The minimum size, and the Look-in entry of the current folder.
    dialog->MinSize->setValue(101);
    dialog->FindClick();
    EXPECT_EQ(Column(DuplicateRowsModel::kName), (Texts{"big.iso", "BIG.ISO"}));
    dialog->MinSize->setValue(0);
    dialog->LookIn->setCurrentIndex(dialog->LookIn->count() - 2);
    dialog->FindClick();
    EXPECT_TRUE(Column(DuplicateRowsModel::kName).empty());
    EXPECT_EQ(dialog->Summary->text(), QStringLiteral("0 groups, 0 files, 0 KB that could be freed"));
    EXPECT_FALSE(dialog->Save->isEnabled());
}

TEST_F(DuplicatesDialogTest, ColumnsSortAndLevelRowsKeepGroupOrder)
{
    dialog->FindClick();
    dialog->Results->sortByColumn(DuplicateRowsModel::kSize, Qt::AscendingOrder);
    EXPECT_EQ(Column(DuplicateRowsModel::kName),
              (std::vector<std::string>{"note.txt", "NOTE.TXT", "Song.mp3", "song.MP3", "big.iso", "BIG.ISO"}));
    dialog->Results->sortByColumn(DuplicateRowsModel::kVolume, Qt::DescendingOrder);
    EXPECT_EQ(Column(DuplicateRowsModel::kName),
              (std::vector<std::string>{"BIG.ISO", "song.MP3", "NOTE.TXT", "big.iso", "Song.mp3", "note.txt"}));
    // The selection follows its row.
    dialog->Results->setCurrentIndex(dialog->Model().index(2, 0));
    dialog->Results->sortByColumn(DuplicateRowsModel::kGroup, Qt::AscendingOrder);
    EXPECT_EQ(dialog->Results->currentIndex().row(), 5);
}

TEST_F(DuplicatesDialogTest, DoubleClickOpensTheRowsFolder)
{
    dialog->FindClick();
    dialog->RowDoubleClicked(5);
    EXPECT_EQ(opened, std::vector<NodeId>{old});
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    dialog->RowDoubleClicked(-1);
    EXPECT_EQ(opened.size(), 1u);
}

TEST_F(DuplicatesDialogTest, SaveWritesWhatTheCommandLineWrites)
{
    TempDir dir;
    dialog->FindClick();
    const std::string path = dir.File("dups.txt");
    dialogs.SaveNames.push_back(QString::fromStdString(path));
    dialog->SaveClick();
    EXPECT_EQ(ReadBytes(path),
              "1\tA:\\\\big.iso\t900 KB\t07/07/2009\n"
              "1\tB:\\\\BIG.ISO\t900 KB\t07/07/2009\n"
              "2\tA:\\\\Song.mp3\t100 KB\t07/08/2009\n"
              "2\tB:\\\\song.MP3\t100 KB\t07/08/2009\n"
              "3\tA:\\\\Docs\\\\note.txt\t2 KB\t07/09/2009\n"
              "3\tB:\\\\Old\\\\NOTE.TXT\t2 KB\t07/09/2009\n");
    EXPECT_TRUE(dialogs.Errors.empty());
    // Cancelled: nothing; a folder that is not there: "PATH: message".
    dialog->SaveClick();
    const QString missing = QString::fromStdString(dir.File("none/dups.txt"));
    dialogs.SaveNames.push_back(missing);
    dialog->SaveClick();
    ASSERT_EQ(dialogs.Errors.size(), 1);
    EXPECT_EQ(dialogs.Errors[0], missing + QStringLiteral(": No such file or directory"));
    // A name that turns out to be a folder fails once the text is written:
    // the file written so far goes, the saved one stays as it was.
    const std::string saved = ReadBytes(path);
    std::filesystem::create_directory(dir.File("taken"));
    dialogs.SaveNames.push_back(QString::fromStdString(dir.File("taken")));
    dialog->SaveClick();
    ASSERT_EQ(dialogs.Errors.size(), 2);
    EXPECT_EQ(dialogs.Errors[1], QString::fromStdString(dir.File("taken")) + QStringLiteral(": Is a directory"));
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"dups.txt", "taken"}));
    EXPECT_EQ(ReadBytes(path), saved);
}

TEST_F(DuplicatesDialogTest, EveryControlHasAnAccessibleName)
{
    dialog->show();
    EXPECT_EQ(test::UnnamedControls(*dialog), std::vector<std::string>{});
    EXPECT_FALSE(dialog->Summary->accessibleName().isEmpty());
    EXPECT_EQ(dialog->Key->count(), 4);
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Find Duplicates"));
}

TEST_F(DuplicatesDialogTest, FoldersAndKeys)
{
    tree.AddFile(tree.AddFolder(a, "Set", 40000), "x", 5, 1);
    tree.AddFile(tree.AddFolder(b, "SET", 40000), "y", 5, 2);
    dialog->Folders->setChecked(true);
    dialog->FindClick();
    EXPECT_EQ(Column(DuplicateRowsModel::kName), (std::vector<std::string>{"Set", "SET"}));
    EXPECT_EQ(dialog->Summary->text(), QStringLiteral("1 groups, 2 folders, 5 KB that could be freed"));
    // Size and date: the two 5 KB files differ in date.
    dialog->Folders->setChecked(false);
    dialog->Key->setCurrentIndex(2);
    dialog->MinSize->setValue(5);
    dialog->FindClick();
    EXPECT_EQ(Column(DuplicateRowsModel::kName),
              (std::vector<std::string>{"big.iso", "BIG.ISO", "Song.mp3", "song.MP3"}));
}

}  // namespace
}  // namespace ardvel::gui::test
