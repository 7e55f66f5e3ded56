// The results list while search as you type restarts searches: the rows on
// show stay until new ones replace them, the selected record stays
// selected, and the status counts the rows found so far.
#include <QCheckBox>
#include <QLineEdit>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTest>
#include <QTreeView>
#include <chrono>
#include <thread>

#include "SearchModeFixture.h"
#include "common/DetailsTable.h"

namespace ardvel::gui {
namespace {

using test::Names;
using test::SearchModeFixture;
using test::WriteCatalog;

/// Every row count the list reports after a change of its rows.
struct RowCountLog {
    explicit RowCountLog(QAbstractItemModel& model)
    {
        const auto note = [this, &model] { Counts.push_back(model.rowCount()); };
        QObject::connect(&model, &QAbstractItemModel::modelReset, &model, note);
        QObject::connect(&model, &QAbstractItemModel::layoutChanged, &model, note);
        QObject::connect(&model, &QAbstractItemModel::rowsInserted, &model, note);
        QObject::connect(&model, &QAbstractItemModel::rowsRemoved, &model, note);
    }
    bool EverEmpty() const { return std::find(Counts.begin(), Counts.end(), 0) != Counts.end(); }
    std::vector<int> Counts;
};

struct TypingRowsTest : SearchModeFixture {
    void StartTyping()
    {
        StartWindow();
        W().SBut->trigger();
        Panel().Typing->SearchAsYouType->setChecked(true);
    }
    /// Types `text` and runs the search it starts, after the pause, to its end.
    void Type(const QString& text)
    {
        Panel().FileNames->setText(text);
        QTRY_VERIFY(!Panel().Typing->Pending());
        RunToEnd();
    }
    /// Types `text` and starts its search as the pause would; the test runs
    /// the search.
    void TypeAndPause(const QString& text)
    {
        Panel().FileNames->setText(text);
        ASSERT_TRUE(Panel().Typing->Pending());
        Panel().RestartSearch();
    }
    RowIdentity Selected() { return Results().Identity(W().SearchView->SelectedRow()); }
    /// "N Matches found" gives N; any other text -1.
    static int CountIn(const QString& status)
    {
        static const QRegularExpression count(QStringLiteral("^(\\d+) Matches found$"));
        const QRegularExpressionMatch match = count.match(status);
        return match.hasMatch() ? match.captured(1).toInt() : -1;
    }
};

TEST_F(TypingRowsTest, AnotherLetterKeepsTheSelectedRecordAndNeverEmptiesTheList)
{
    // Two records named alike, told apart by their folders; folders among
    // the files, so that the end of a search moves rows.
    WriteCatalog(home.CatalogFolder() + "Disk.arv", [](CatalogTree& t, NodeId v) {
        t.AddFile(v, "alpha1.txt", 1, 44001.0);
        const NodeId alpine = t.AddFolder(v, "Alpine", 44001.0);
        t.AddFile(alpine, "alpha.log", 2, 44001.0);
        t.AddFile(v, "alps.txt", 3, 44001.0);
        const NodeId beta = t.AddFolder(v, "Beta", 44001.0);
        t.AddFile(beta, "alpha.log", 4, 44001.0);
        t.AddFile(beta, "album.txt", 5, 44001.0);
    });
    StartTyping();
    Type(QStringLiteral("al"));
    ASSERT_EQ(RowNames().size(), 6u);
    const auto beta = Results().FindRow({"alpha.log", "Disk", "Beta\\"});
    ASSERT_TRUE(beta.has_value());
    W().SearchView->SelectRow(static_cast<int>(*beta));

    RowCountLog log(Results());
    Type(QStringLiteral("alp"));
    EXPECT_EQ(RowNames(), (Names{"Alpine", "alpha1.txt", "alpha.log", "alpha.log", "alps.txt"}));
    EXPECT_EQ(Selected().Path, "Beta\\");
    EXPECT_EQ(Selected().Name, "alpha.log");
    Type(QStringLiteral("alpha"));
    EXPECT_EQ(Selected().Path, "Beta\\");
    EXPECT_FALSE(log.EverEmpty()) << log.Counts.size();

    // A search without results empties the list; the record is sought no more.
    Type(QStringLiteral("alpx"));
    EXPECT_TRUE(RowNames().empty());
    Type(QStringLiteral("alpha"));
    EXPECT_LT(W().SearchView->SelectedRow(), 0);
}

/// A volume of many files, found over many slices of a search.
struct LongTypingTest : TypingRowsTest {
    void SetUp() override
    {
        WriteFilesCatalog("Big", kFiles, [](int i) { return FileNumber(kFiles - 1 - i); });
        StartTyping();
        form->resize(900, 600);
        form->show();
    }
    static constexpr int kFiles = 5000, kMiddle = 2500;
};

TEST_F(LongTypingTest, NewRowsReplaceTheFormerOnesOnceFoundAndKeepTheScrollAndSelection)
{
    Type(QStringLiteral("*"));
    ASSERT_EQ(Results().rowCount(), kFiles);
    // Found halfway: the files were catalogued in falling order.
    W().SearchView->SelectRow(RowOf(FileNumber(kMiddle)));
    QScrollBar* scroll = W().SearchView->DetailsView()->verticalScrollBar();
    scroll->setValue(40);
    ASSERT_EQ(scroll->value(), 40);

    RowCountLog log(Results());
    TypeAndPause(QStringLiteral("f0*"));
    // The former rows stay until the new search has run a while.
    ASSERT_TRUE(OneSlice());
    EXPECT_EQ(Results().rowCount(), kFiles);
    EXPECT_EQ(Selected().Name, FileNumber(kMiddle));
    std::this_thread::sleep_for(TSearchPanel::kKeepFormerRows + std::chrono::milliseconds(10));
    ASSERT_TRUE(OneSlice());
    const int firstShown = Results().rowCount();
    EXPECT_GT(firstShown, 0);
    EXPECT_LT(firstShown, kFiles);
    EXPECT_EQ(scroll->value(), 40);
    EXPECT_LT(W().SearchView->SelectedRow(), 0);  // not found yet

    bool selectedWhileRunning = false;
    while (OneSlice()) selectedWhileRunning = selectedWhileRunning || Selected().Name == FileNumber(kMiddle);
    EXPECT_TRUE(selectedWhileRunning);
    EXPECT_EQ(Results().rowCount(), kFiles);
    EXPECT_EQ(Selected().Name, FileNumber(kMiddle));
    EXPECT_FALSE(log.EverEmpty());
    // The list is sorted by name at the end: the selection followed its record.
    EXPECT_EQ(W().SearchView->SelectedRow(), kMiddle);
}

TEST_F(LongTypingTest, TheStatusCountsTheRowsFoundSoFarAFewTimesASecond)
{
    TypeAndPause(QStringLiteral("f0*"));
    EXPECT_EQ(form->StatusText(1), QStringLiteral("0 Matches found"));
    const auto start = std::chrono::steady_clock::now();
    QStringList seen;
    int last = 0;
    while (OneSlice()) {
        const QString status = form->StatusText(1);
        if (seen.isEmpty() || seen.back() != status) seen.push_back(status);
        // A count, never a folder's path, and never more than found so far.
        const int count = CountIn(status);
        ASSERT_GE(count, last) << status.toStdString();
        last = count;
        std::this_thread::sleep_for(std::chrono::milliseconds(3));
    }
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_GT(seen.size(), 1) << "the count moved on while the search ran";
    EXPECT_LE(seen.size(), 2 + elapsed / TSearchPanel::kCountInterval);
    EXPECT_EQ(form->StatusText(1), QString::number(kFiles) + QStringLiteral(" Matches found"));
}

TEST_F(LongTypingTest, SearchNowKeepsARowSelectedWhileItRan)
{
    // Folders among the files: the end of the search puts them first.
    WriteCatalog(home.CatalogFolder() + "Tree.arv", [](CatalogTree& t, NodeId v) {
        for (int f = 0; f < 40; ++f) {
            const NodeId folder = t.AddFolder(v, "d" + std::to_string(f), 44001.0);
            for (int i = 0; i < 60; ++i) t.AddFile(folder, "g" + std::to_string(f * 60 + i) + ".txt", 1, 44001.0);
        }
    });
    StartTyping();
    Panel().Typing->SearchAsYouType->setChecked(false);
    SelectLookIn(QStringLiteral("Tree"));
    Panel().FileNames->setText(QStringLiteral("*"));
    Panel().SearchNowClick();
    ASSERT_TRUE(OneSlice());
    const int row = std::min(Results().rowCount() - 1, 100);
    W().SearchView->SelectRow(row);
    const RowIdentity chosen = Selected();
    ASSERT_FALSE(chosen.Name.empty());
    RowCountLog log(Results());
    RunToEnd();
    EXPECT_EQ(Results().rowCount(), 40 * 61);
    EXPECT_EQ(Selected().Name, chosen.Name);
    EXPECT_EQ(Selected().Path, chosen.Path);
    EXPECT_FALSE(log.EverEmpty());
}

}  // namespace
}  // namespace ardvel::gui
