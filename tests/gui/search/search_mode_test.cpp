#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QFontInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSignalSpy>
#include <QTest>
#include <QTreeView>
#include <algorithm>
#include <filesystem>
#include <map>

#include "SearchModeFixture.h"
#include "common/DetailsTable.h"
#include "store/ListFormats.h"

namespace ardvel::gui {
namespace {

using test::English;
using test::Names;
using test::ReadBytes;
using test::SearchModeFixture;
using test::TempDir;
using test::WriteBytes;

QString Q(const std::string& text)
{
    return QString::fromStdString(text);
}

/// Types over the text of a spin edit.
void SetSpinText(TSpinEdit* spin, const QString& text)
{
    spin->findChild<QLineEdit*>()->setText(text);
}

int BottomOf(const QWidget* w)
{
    return w->y() + w->height();
}

/// The standard three volumes: Backup (empty), Music 2002, Photos.
struct SearchModeTest : SearchModeFixture {
    void SetUp() override
    {
        WriteStandardCatalogs();
        StartWindow();
    }
};

/// Volumes of many files, for searches that take more than one slice.
struct LongSearchTest : SearchModeFixture {
    void SetUp() override
    {
        WriteFilesCatalog("Big", kFiles, [](int i) { return FileNumber(kFiles - 1 - i); });
        StartWindow();
    }
    static constexpr int kFiles = 5000;
};

// ---------------------------------------------------------------------------
// Modes and the panel

TEST_F(SearchModeTest, ModeButtonsSwapThePanesListsTitlesAndThePathBoxEntry)
{
    Click("Photos:\\");
    W().SBut->trigger();
    EXPECT_FALSE(W().ScrollBox1->isHidden());
    EXPECT_TRUE(W().Catalog->isHidden());
    EXPECT_FALSE(form->FolderListShown());
    EXPECT_EQ(W().Panel1->text(), QStringLiteral(" Search"));
    EXPECT_EQ(W().PathBox->itemText(0), QStringLiteral("Search Results"));
    EXPECT_EQ(W().PathBox->currentIndex(), 0);
    EXPECT_TRUE(W().SaveSR->isEnabled());
    EXPECT_EQ(form->StatusText(1), QStringLiteral("0 Matches found"));
    // The wide controls take the pane's width less 20 pixels.
    EXPECT_EQ(Panel().FileNames->width(), std::max(W().ScrollBox1->width() - 20, 120));
    EXPECT_EQ(LookIn()->width(), Panel().FileNames->width());

    W().FBut->trigger();
    EXPECT_TRUE(W().ScrollBox1->isHidden());
    EXPECT_FALSE(W().Catalog->isHidden());
    EXPECT_TRUE(form->FolderListShown());
    EXPECT_EQ(W().Panel1->text(), QStringLiteral(" Folders"));
    EXPECT_EQ(Entries(W().PathBox), (Names{"Photos:\\", "My Catalogs"}));
    EXPECT_FALSE(W().SaveSR->isEnabled());
    EXPECT_EQ(form->StatusText(1), QStringLiteral("1 Items"));
}

TEST_F(SearchModeTest, ThePanelStartsIdleWithTheOptionsHiddenAndEveryTestOff)
{
    TSearchPanel& p = Panel();
    EXPECT_EQ(p.Heading->text(), QStringLiteral("Search for Files and Folders"));
    EXPECT_EQ(p.FileNamesLabel->text(), QStringLiteral("Search for files or folders named:"));
    EXPECT_EQ(p.LookInLabel->text(), QStringLiteral("Look in:"));
    EXPECT_EQ(LookIn()->parentWidget(), form->SearchPanel().Content());
    EXPECT_EQ(p.SearchNow->text(), QStringLiteral("Search Now"));
    EXPECT_EQ(p.StopSearch->text(), QStringLiteral("Stop Search"));
    EXPECT_TRUE(p.SearchNow->isEnabled());
    EXPECT_FALSE(p.StopSearch->isEnabled());
    EXPECT_FALSE(p.FindFile->Active());
    EXPECT_TRUE(p.FileNames->text().isEmpty());
    EXPECT_TRUE(p.FileNames->isEnabled());

    EXPECT_TRUE(p.Panel2->isHidden());
    EXPECT_FALSE(p.SOptHiden->isHidden());
    EXPECT_EQ(p.SOptHiden->text(), QStringLiteral(" Search Options >>"));
    EXPECT_EQ(p.SOptShown->text(), QStringLiteral(" Search Options <<"));
    EXPECT_EQ(p.MediaInfo->text(), QStringLiteral("&Media Info (mp3 only)"));
    EXPECT_EQ(p.DateCB->text(), QStringLiteral("&Date"));
    EXPECT_EQ(p.SizeCB->text(), QStringLiteral("&Size (files only)"));
    EXPECT_FALSE(p.MediaInfo->isChecked());
    EXPECT_FALSE(p.DateCB->isChecked());
    EXPECT_FALSE(p.SizeCB->isChecked());
    EXPECT_TRUE(p.Artist->isHidden());
    EXPECT_TRUE(p.Title->isHidden());
    EXPECT_TRUE(p.Between->isChecked());
    EXPECT_FALSE(p.Months->isEnabled());
    EXPECT_FALSE(p.Days->isEnabled());
    EXPECT_TRUE(p.FirstDate->isEnabled());
    EXPECT_TRUE(p.SecondDate->isEnabled());
    EXPECT_EQ(p.Months->Value(), 0);
    EXPECT_EQ(p.Days->Value(), 0);
    EXPECT_EQ(p.SecondDate->dateTime(), QDateTime(QDate(2002, 7, 22), QTime(20, 44, 56)));
    EXPECT_EQ(p.LeastMost->count(), 2);
    EXPECT_EQ(p.LeastMost->itemText(0), QStringLiteral("at least"));
    EXPECT_EQ(p.LeastMost->itemText(1), QStringLiteral("at most"));
    EXPECT_EQ(p.LeastMost->currentIndex(), 0);
    EXPECT_EQ(p.SizeEdit->Value(), 0);
    EXPECT_EQ(p.KBLabel->text(), QStringLiteral("KB"));
}

TEST_F(SearchModeTest, TheOptionsPanelStacksShowsAndHidesItsControls)
{
    TSearchPanel& p = Panel();
    QTest::mouseClick(p.SOptHiden, Qt::LeftButton);
    EXPECT_FALSE(p.Panel2->isHidden());
    EXPECT_TRUE(p.SOptHiden->isHidden());
    EXPECT_EQ(p.Panel2->geometry().topLeft(), p.SOptHiden->geometry().topLeft());
    EXPECT_EQ(p.FirstDate->dateTime(), QDateTime(QDate(2002, 7, 12), QTime(20, 44, 56)));
    EXPECT_EQ(p.SizeCB->y(), BottomOf(p.DateCB) + 6);
    EXPECT_EQ(p.Panel2->height(), BottomOf(p.SizeCB) + 8);

    p.MediaInfo->setChecked(true);
    EXPECT_FALSE(p.FileNames->isEnabled());
    EXPECT_EQ(p.FileNames->text(), QStringLiteral("*.mp3"));
    EXPECT_FALSE(p.Artist->isHidden());
    EXPECT_FALSE(p.Title->isHidden());
    EXPECT_EQ(p.Artist->y(), BottomOf(p.MediaInfo) + 6);
    EXPECT_EQ(p.Title->y(), BottomOf(p.Artist) + 6);
    EXPECT_EQ(p.DateCB->y(), BottomOf(p.Title) + 6);

    p.DateCB->setChecked(true);
    EXPECT_EQ(p.LastMonths->y(), BottomOf(p.DateCB) + 6);
    EXPECT_EQ(p.Months->y(), p.LastMonths->y());
    EXPECT_EQ(p.MonthsLabel->y(), p.LastMonths->y() + 4);
    EXPECT_EQ(p.LastDays->y(), BottomOf(p.LastMonths) + 6);
    EXPECT_EQ(p.Days->y(), p.LastDays->y());
    EXPECT_EQ(p.DaysLabel->y(), p.LastDays->y() + 4);
    EXPECT_EQ(p.Between->y(), BottomOf(p.Days) + 6);
    EXPECT_EQ(p.FirstDate->y(), p.Between->y());
    EXPECT_EQ(p.SecondDate->y(), BottomOf(p.FirstDate) + 6);
    EXPECT_EQ(p.AndLabel->y(), p.SecondDate->y() + 4);
    EXPECT_EQ(p.SizeCB->y(), BottomOf(p.SecondDate) + 6);
    for (QWidget* w :
         {static_cast<QWidget*>(p.LastMonths), static_cast<QWidget*>(p.Months), static_cast<QWidget*>(p.MonthsLabel),
          static_cast<QWidget*>(p.LastDays), static_cast<QWidget*>(p.Days), static_cast<QWidget*>(p.DaysLabel),
          static_cast<QWidget*>(p.Between), static_cast<QWidget*>(p.FirstDate), static_cast<QWidget*>(p.SecondDate),
          static_cast<QWidget*>(p.AndLabel)})
        EXPECT_FALSE(w->isHidden()) << w->objectName().toStdString();

    EXPECT_TRUE(p.LeastMost->isHidden());
    p.SizeCB->setChecked(true);
    EXPECT_FALSE(p.LeastMost->isHidden());
    EXPECT_FALSE(p.SizeEdit->isHidden());
    EXPECT_EQ(p.LeastMost->y(), BottomOf(p.SizeCB) + 6);
    EXPECT_EQ(p.SizeEdit->y(), p.LeastMost->y());
    EXPECT_EQ(p.KBLabel->y(), p.SizeEdit->y() + 3);
    EXPECT_EQ(p.Panel2->height(), BottomOf(p.SizeCB) + 36);
    // The search panel scrolls down to the options' end.
    EXPECT_GE(form->SearchPanel().Content()->minimumHeight(), BottomOf(p.Panel2));

    // Only the radio button's own fields are enabled.
    p.LastDays->setChecked(true);
    EXPECT_TRUE(p.Days->isEnabled());
    EXPECT_FALSE(p.Months->isEnabled());
    EXPECT_FALSE(p.FirstDate->isEnabled());
    EXPECT_FALSE(p.SecondDate->isEnabled());
    p.LastMonths->setChecked(true);
    EXPECT_TRUE(p.Months->isEnabled());
    EXPECT_FALSE(p.Days->isEnabled());

    // Closing switches every test off and gives back an empty name field.
    p.FirstDate->setDateTime(QDateTime(QDate(1999, 1, 1), QTime(1, 2, 3)));
    QTest::mouseClick(p.SOptShown, Qt::LeftButton);
    EXPECT_TRUE(p.Panel2->isHidden());
    EXPECT_FALSE(p.SOptHiden->isHidden());
    EXPECT_FALSE(p.MediaInfo->isChecked());
    EXPECT_FALSE(p.DateCB->isChecked());
    EXPECT_FALSE(p.SizeCB->isChecked());
    EXPECT_TRUE(p.FileNames->isEnabled());
    EXPECT_TRUE(p.FileNames->text().isEmpty());
    EXPECT_TRUE(p.Artist->isHidden());
    EXPECT_TRUE(p.LastMonths->isHidden());
    EXPECT_TRUE(p.LeastMost->isHidden());
    EXPECT_EQ(p.FirstDate->dateTime(), QDateTime(QDate(2002, 7, 12), QTime(20, 44, 56)));
    const SearchCriteria c = p.Criteria();
    EXPECT_FALSE(c.MediaOn || c.DateOn || c.SizeOn);

    // With the media test off, opening and closing leaves the name alone.
    p.FileNames->setText(QStringLiteral("abc"));
    p.ToggleSearchOptions();
    p.ToggleSearchOptions();
    EXPECT_EQ(p.FileNames->text(), QStringLiteral("abc"));
}

TEST_F(SearchModeTest, TheCriteriaAreTakenFromTheControls)
{
    TSearchPanel& p = Panel();
    p.ToggleSearchOptions();
    p.MediaInfo->setChecked(true);
    p.Artist->setText(QStringLiteral("Band"));
    p.Title->setText(QStringLiteral("One"));
    p.DateCB->setChecked(true);
    p.LastMonths->setChecked(true);
    SetSpinText(p.Months, QStringLiteral("-3"));
    SetSpinText(p.Days, QStringLiteral("12"));
    p.SizeCB->setChecked(true);
    p.LeastMost->setCurrentIndex(1);
    SetSpinText(p.SizeEdit, QStringLiteral("6000000"));

    SearchCriteria c = p.Criteria();
    EXPECT_EQ(c.NameText, "*.mp3");
    EXPECT_TRUE(c.MediaOn);
    EXPECT_EQ(c.ArtistPart, "Band");
    EXPECT_EQ(c.TitlePart, "One");
    EXPECT_TRUE(c.DateOn);
    EXPECT_EQ(c.DateMode, SearchDateMode::InLastMonths);
    EXPECT_EQ(c.MonthCount, -3);  // no range: negative counts are possible
    EXPECT_EQ(c.DayCount, 12);
    EXPECT_TRUE(c.SizeOn);
    EXPECT_EQ(c.SizeBound, SearchSizeBound::AtMost);
    // A size outside the range counts as typed until the arrows are used.
    EXPECT_EQ(c.SizeLimitKB, 6000000);
    p.SizeEdit->stepBy(1);
    EXPECT_EQ(p.SizeEdit->Value(), 5250000);
    SetSpinText(p.SizeEdit, QStringLiteral("-5"));
    p.SizeEdit->stepBy(-1);
    EXPECT_EQ(p.SizeEdit->Value(), 0);
    SetSpinText(p.SizeEdit, QStringLiteral("25"));
    p.SizeEdit->stepBy(1);
    EXPECT_EQ(p.SizeEdit->Value(), 35);  // steps of 10
    SetSpinText(p.SizeEdit, QString());
    EXPECT_EQ(p.Criteria().SizeLimitKB, 0);  // no number counts as 0
    p.LeastMost->setCurrentIndex(-1);
    EXPECT_NE(p.Criteria().SizeBound, SearchSizeBound::AtLeast);
    EXPECT_NE(p.Criteria().SizeBound, SearchSizeBound::AtMost);

    p.Between->setChecked(true);
    c = p.Criteria();
    EXPECT_EQ(c.DateMode, SearchDateMode::InRange);
    EXPECT_EQ(c.RangeStart, ToDateTime(QDateTime(QDate(2002, 7, 12), QTime(20, 44, 56))));
    EXPECT_EQ(c.RangeEnd, ToDateTime(QDateTime(QDate(2002, 7, 22), QTime(20, 44, 56))));
    // A day picked on the picker keeps the value's time of day.
    p.SecondDate->setCurrentSectionIndex(0);
    QTest::keyClick(p.SecondDate, Qt::Key_Up);
    EXPECT_NE(p.SecondDate->date(), QDate(2002, 7, 22));
    EXPECT_EQ(p.SecondDate->time(), QTime(20, 44, 56));
}

TEST(SearchControlsTest, PickerValuesAndFormats)
{
    const QDateTime value(QDate(2002, 7, 22), QTime(20, 44, 56));
    EXPECT_EQ(FromDateTime(ToDateTime(value)), value);
    EXPECT_DOUBLE_EQ(ToDateTime(QDateTime(QDate(1899, 12, 31), QTime(12, 0))), 1.5);
    EXPECT_EQ(PickerFormat("%m/%d/%Y"), QStringLiteral("MM'/'dd'/'yyyy"));
    EXPECT_EQ(PickerFormat("%d.%m.%y"), QStringLiteral("dd'.'MM'.'yy"));
    EXPECT_EQ(PickerFormat("%F"), QStringLiteral("yyyy-MM-dd"));
    EXPECT_EQ(PickerFormat("%Q"), QStringLiteral("yyyy-MM-dd"));
    EXPECT_EQ(PickerFormat(""), QStringLiteral("yyyy-MM-dd"));
}

// ---------------------------------------------------------------------------
// Searching

TEST_F(SearchModeTest, AnEmptyNameSearchesEverythingAndListsSixTextsARow)
{
    W().SBut->trigger();
    Search(QString());
    EXPECT_EQ(Panel().FileNames->text(), QStringLiteral("*"));
    // Sorted by name, folders first.
    EXPECT_EQ(RowNames(), (Names{"Jazz", "Live", "Rock", "beach.jpg", "one.mp3", "readme.txt", "two.mp3"}));
    EXPECT_EQ(RowTexts("one.mp3"), (QStringList{"one.mp3", "Music 2002", "Rock\\", Q(FormatSize(1200, English())),
                                                Q(FormatDate(44001.5, English())), "Band - One"}));
    EXPECT_EQ(RowTexts("Live"),
              (QStringList{"Live", "Music 2002", "Rock\\", "[SUB-DIR]", Q(FormatDate(44002.0, English())), ""}));
    EXPECT_EQ(RowTexts("readme.txt"), (QStringList{"readme.txt", "Music 2002", "", Q(FormatSize(1, English())),
                                                   Q(FormatDate(44000.0, English())), ""}));
    EXPECT_EQ(Results().headerData(kColumnMediaInfo, Qt::Horizontal).toString(), QStringLiteral("Media Info"));
    EXPECT_EQ(Results().RowImage(RowOf("Live")), kFolderImage);
    EXPECT_EQ(Results().RowImage(RowOf("one.mp3")), kFileImage);
    EXPECT_EQ(form->StatusText(0), QStringLiteral("3 Catalogs"));
    EXPECT_EQ(form->StatusText(1), QStringLiteral("7 Matches found"));
    EXPECT_TRUE(Panel().SearchNow->isEnabled());
    EXPECT_FALSE(Panel().StopSearch->isEnabled());
    EXPECT_FALSE(Panel().FindFile->Active());
    EXPECT_FALSE(Panel().Running());
}

TEST_F(SearchModeTest, TextMaskAndLookInChooseTheRows)
{
    W().SBut->trigger();
    // No wildcard: a piece of the name, in any case.
    Search(QStringLiteral("O"));
    EXPECT_EQ(RowNames(), (Names{"Rock", "one.mp3", "two.mp3"}));
    Search(QStringLiteral("*.MP3"));
    EXPECT_EQ(RowNames(), (Names{"one.mp3", "two.mp3"}));
    Search(QStringLiteral("*"), QStringLiteral("Photos"));
    EXPECT_EQ(RowNames(), (Names{"beach.jpg"}));
    Search(QStringLiteral("*"), QStringLiteral("Backup"));
    EXPECT_TRUE(RowNames().empty());
    EXPECT_EQ(form->StatusText(1), QStringLiteral("0 Matches found"));

    // The current-folder entry searches what lies inside the folder.
    W().FBut->trigger();
    Click("Music 2002:\\Rock\\");
    W().SBut->trigger();
    LookIn()->setCurrentIndex(LookIn()->count() - 2);
    Panel().SearchNowClick();
    RunToEnd();
    EXPECT_EQ(RowNames(), (Names{"Live", "one.mp3", "two.mp3"}));
    // With the root opened it searches every volume.
    W().FBut->trigger();
    Click("My Catalogs");
    W().SBut->trigger();
    LookIn()->setCurrentIndex(LookIn()->count() - 2);
    Panel().SearchNowClick();
    RunToEnd();
    EXPECT_EQ(RowNames().size(), 7u);
}

TEST_F(SearchModeTest, MediaSizeAndDateOptionsNarrowTheSearch)
{
    TSearchPanel& p = Panel();
    W().SBut->trigger();
    p.ToggleSearchOptions();
    p.MediaInfo->setChecked(true);
    p.Title->setText(QStringLiteral("two"));
    p.SearchNowClick();
    RunToEnd();
    EXPECT_EQ(RowNames(), (Names{"two.mp3"}));

    p.ToggleSearchOptions();  // closing switches the media test off
    p.ToggleSearchOptions();
    p.SizeCB->setChecked(true);
    p.LeastMost->setCurrentIndex(1);
    p.SizeEdit->SetValue(300);
    Search(QStringLiteral("*"));
    EXPECT_EQ(RowNames(), (Names{"beach.jpg", "readme.txt"}));  // no folders with a size test

    p.SizeCB->setChecked(false);
    p.DateCB->setChecked(true);
    p.FirstDate->setDateTime(FromDateTime(44001.0));
    p.SecondDate->setDateTime(FromDateTime(44002.0));
    Search(QStringLiteral("*"));
    EXPECT_EQ(RowNames(), (Names{"Live", "Rock", "one.mp3"}));
}

TEST_F(SearchModeTest, AnInvalidMaskShowsItsMessageAndLeavesThePanelIdle)
{
    W().SBut->trigger();
    // Without "*" or "?" the text is no mask: it is looked for as it is.
    Search(QStringLiteral("[]x"));
    EXPECT_TRUE(dialogs.Errors.isEmpty());
    Search(QStringLiteral("*[]x"));
    ASSERT_EQ(dialogs.Errors.size(), 1);
    EXPECT_EQ(dialogs.Errors.back(), QStringLiteral("'*[]x' is an invalid mask at (3)"));
    EXPECT_TRUE(RowNames().empty());
    EXPECT_TRUE(Panel().SearchNow->isEnabled());
    EXPECT_FALSE(Panel().StopSearch->isEnabled());
    EXPECT_FALSE(Panel().FindFile->Active());
    EXPECT_FALSE(Panel().Running());
    EXPECT_EQ(form->StatusText(0), QStringLiteral("3 Catalogs"));
    EXPECT_EQ(form->StatusText(1), QStringLiteral("0 Matches found"));
}

TEST_F(SearchModeTest, EnterPressesWhicheverButtonIsEnabled)
{
    W().SBut->trigger();
    Panel().FileNames->setText(QStringLiteral("*"));
    QTest::keyClick(Panel().FileNames, Qt::Key_Return);
    EXPECT_TRUE(Panel().Running());
    EXPECT_TRUE(Panel().FindFile->Active());
    EXPECT_FALSE(Panel().SearchNow->isEnabled());
    QTest::keyClick(Panel().FileNames, Qt::Key_Return);
    EXPECT_FALSE(Panel().Running());
    EXPECT_TRUE(Panel().SearchNow->isEnabled());
    EXPECT_EQ(form->StatusText(0), QStringLiteral("3 Catalogs"));
}

TEST_F(SearchModeTest, NoVolumesNoRows)
{
    resultsTester.reset();
    form.reset();
    std::filesystem::remove_all(home.CatalogFolder());
    std::filesystem::create_directories(home.CatalogFolder());
    StartWindow();
    W().SBut->trigger();
    Search(QStringLiteral("*"));
    EXPECT_TRUE(RowNames().empty());
    EXPECT_EQ(form->StatusText(0), QStringLiteral("0 Catalogs"));
    EXPECT_EQ(form->StatusText(1), QStringLiteral("0 Matches found"));
}

// ---------------------------------------------------------------------------
// Long searches: slices, stopping, changes while running

TEST_F(LongSearchTest, RowsArriveInBatchesAndStopSearchKeepsThemSortedAndCounted)
{
    W().SBut->trigger();
    std::vector<int> countsSeen;
    QObject::connect(&Results(), &QAbstractItemModel::rowsInserted, [&] {
        countsSeen.push_back(Results().rowCount());
        if (countsSeen.size() == 1) Panel().StopSearch->click();
    });
    Search(QStringLiteral("*"));
    ASSERT_EQ(countsSeen.size(), 1u);
    const int kept = countsSeen[0];
    EXPECT_GT(kept, 0);
    EXPECT_LT(kept, kFiles);
    EXPECT_EQ(Results().rowCount(), kept);
    const auto names = RowNames();
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));
    EXPECT_EQ(names.back(), FileNumber(kFiles - 1));  // the first found, sorted last
    EXPECT_EQ(form->StatusText(0), QStringLiteral("1 Catalogs"));
    EXPECT_EQ(form->StatusText(1), QString::number(kept) + QStringLiteral(" Matches found"));
    EXPECT_TRUE(Panel().SearchNow->isEnabled());
    EXPECT_FALSE(Panel().StopSearch->isEnabled());
    EXPECT_FALSE(Panel().FindFile->Active());
    EXPECT_FALSE(Panel().Running());
}

TEST_F(LongSearchTest, TheEventLoopRunsASearchInSlices)
{
    W().SBut->trigger();
    Panel().FileNames->setText(QStringLiteral("*"));
    Panel().SearchNowClick();
    EXPECT_EQ(form->cursor().shape(), Qt::BusyCursor);
    // Bounded by rounds of the loop, not by time.
    for (int round = 0; round < 1000000 && Panel().Running(); ++round) QCoreApplication::processEvents();
    EXPECT_FALSE(Panel().Running());
    EXPECT_EQ(Results().rowCount(), kFiles);
    EXPECT_EQ(form->StatusText(1), QString::number(kFiles) + QStringLiteral(" Matches found"));
    EXPECT_EQ(form->cursor().shape(), Qt::ArrowCursor);
    EXPECT_FALSE(Panel().FindFile->Active());
}

TEST_F(LongSearchTest, SearchNowRightAfterStopStartsAFreshSearch)
{
    W().SBut->trigger();
    Panel().FileNames->setText(QStringLiteral("*"));
    Panel().SearchNowClick();
    ASSERT_TRUE(OneSlice());
    EXPECT_GT(Results().rowCount(), 0);
    EXPECT_EQ(form->StatusText(1), QStringLiteral("Big:\\"));
    Panel().StopSearchClick();
    Panel().SearchNowClick();
    EXPECT_TRUE(Panel().Running());
    EXPECT_EQ(Results().rowCount(), 0);
    RunToEnd();
    EXPECT_EQ(Results().rowCount(), kFiles);
    EXPECT_EQ(form->StatusText(1), QString::number(kFiles) + QStringLiteral(" Matches found"));
}

TEST_F(LongSearchTest, ChangedCriteriaApplyToTheNamesTestedAfterwards)
{
    W().SBut->trigger();
    Panel().FileNames->setText(QStringLiteral("*"));
    Panel().SearchNowClick();
    ASSERT_TRUE(OneSlice());
    const int before = Results().rowCount();
    Panel().FileNames->setText(QStringLiteral("*9.txt"));
    RunToEnd();
    const auto names = RowNames();
    const auto endsInNine = [](const std::string& n) { return n.ends_with("9.txt"); };
    EXPECT_EQ(std::count_if(names.begin(), names.end(), endsInNine), kFiles / 10);  // none of them lost
    // The other rows are those found before the change: the first files of
    // the volume, named from the top number down.
    int othersBefore = 0;
    for (int number = kFiles - before; number < kFiles; ++number)
        if (number % 10 != 9) ++othersBefore;
    int others = 0;
    for (const std::string& name : names) {
        if (endsInNine(name)) continue;
        ++others;
        EXPECT_GE(name, FileNumber(kFiles - before));
    }
    EXPECT_EQ(others, othersBefore);
    EXPECT_LT(static_cast<int>(names.size()), kFiles);
}

TEST_F(LongSearchTest, AMaskMadeInvalidWhileRunningEndsTheSearchAndKeepsTheRows)
{
    W().SBut->trigger();
    Panel().FileNames->setText(QStringLiteral("*"));
    Panel().SearchNowClick();
    ASSERT_TRUE(OneSlice());
    const int before = Results().rowCount();
    Panel().FileNames->setText(QStringLiteral("["));
    RunToEnd();
    ASSERT_FALSE(dialogs.Errors.isEmpty());
    EXPECT_EQ(dialogs.Errors.back(), QStringLiteral("'[' is an invalid mask at (2)"));
    EXPECT_EQ(Results().rowCount(), before);
    EXPECT_TRUE(Panel().SearchNow->isEnabled());
    EXPECT_FALSE(Panel().Running());
}

TEST_F(LongSearchTest, FoldersModeStopsASearchAndItsRowsWaitForTheReturn)
{
    W().SBut->trigger();
    Panel().FileNames->setText(QStringLiteral("*"));
    Panel().SearchNowClick();
    ASSERT_TRUE(OneSlice());
    W().FBut->trigger();
    EXPECT_FALSE(Panel().Running());
    EXPECT_TRUE(Panel().SearchNow->isEnabled());
    EXPECT_EQ(form->StatusText(1), QStringLiteral("1 Items"));
    const int kept = Results().rowCount();
    EXPECT_GT(kept, 0);
    W().SBut->trigger();
    EXPECT_EQ(Results().rowCount(), kept);
    EXPECT_EQ(form->StatusText(1), QString::number(kept) + QStringLiteral(" Matches found"));
    Results().FinishSort();  // the rows found so far, sorted off the event loop
    const auto names = RowNames();
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));

    // The path box leaves search mode too.
    Panel().SearchNowClick();
    ASSERT_TRUE(OneSlice());
    W().PathBox->setCurrentIndex(W().PathBox->findText(QStringLiteral("My Catalogs")));
    form->PathBoxCloseUp();
    EXPECT_FALSE(Panel().Running());
    EXPECT_TRUE(form->FolderListShown());
    EXPECT_EQ(form->StatusText(1), QStringLiteral("1 Items"));
}

TEST_F(LongSearchTest, DeletingTheVolumeBeingSearchedEndsTheSearchSafely)
{
    W().SBut->trigger();
    Panel().FileNames->setText(QStringLiteral("*"));
    Panel().SearchNowClick();
    ASSERT_TRUE(OneSlice());
    form->SelectNode(Node("Big:\\"));
    dialogs.Answers.push_back(true);
    form->Delete1Execute();
    RunToEnd();
    EXPECT_FALSE(Panel().Running());
    EXPECT_GT(Results().rowCount(), 0);
    EXPECT_LT(Results().rowCount(), kFiles);
    EXPECT_EQ(form->StatusText(0), QStringLiteral("0 Catalogs"));
}

TEST_F(LongSearchTest, ClosingOrDestroyingTheWindowEndsASearch)
{
    W().SBut->trigger();
    Panel().FileNames->setText(QStringLiteral("*"));
    Panel().SearchNowClick();
    ASSERT_TRUE(OneSlice());
    form->close();
    EXPECT_FALSE(Panel().Running());

    StartWindow();
    Panel().FileNames->setText(QStringLiteral("*"));
    Panel().SearchNowClick();
    ASSERT_TRUE(OneSlice());
    resultsTester.reset();
    form.reset();  // must not touch the freed tree
    SUCCEED();
}

TEST_F(SearchModeFixture, StatusPanelsFollowTheVolumesAndFoldersSearched)
{
    for (const char* volume : {"A", "B", "C"}) WriteFilesCatalog(volume, 600, [](int i) { return FileNumber(i); });
    StartWindow();
    W().SBut->trigger();
    std::vector<std::pair<QString, QString>> seen;
    QObject::connect(&Results(), &QAbstractItemModel::rowsInserted,
                     [&] { seen.emplace_back(form->StatusText(0), form->StatusText(1)); });
    Search(QStringLiteral("*"));
    ASSERT_FALSE(seen.empty());
    // Each volume's folder path goes with the count of the volumes after it.
    const std::map<QString, QString> pathOf = {{QStringLiteral("2 Volumes to search"), QStringLiteral("A:\\")},
                                               {QStringLiteral("1 Volumes to search"), QStringLiteral("B:\\")},
                                               {QStringLiteral("0 Volumes to search"), QStringLiteral("C:\\")}};
    for (const auto& [volumes, path] : seen) {
        ASSERT_TRUE(pathOf.contains(volumes)) << volumes.toStdString();
        EXPECT_EQ(pathOf.at(volumes), path);
    }
    EXPECT_EQ(seen.back().first, QStringLiteral("0 Volumes to search"));
    EXPECT_EQ(form->StatusText(0), QStringLiteral("3 Catalogs"));
    EXPECT_EQ(form->StatusText(1), QStringLiteral("1800 Matches found"));
}

// ---------------------------------------------------------------------------
// Results and the browser

TEST_F(SearchModeTest, ADoubleClickedFolderRowOpensTheFolderInTheBrowser)
{
    W().SBut->trigger();
    Search(QStringLiteral("*"));
    DoubleClick("Live");
    EXPECT_TRUE(W().FBut->isChecked());
    EXPECT_FALSE(W().SBut->isChecked());
    EXPECT_TRUE(form->FolderListShown());
    EXPECT_EQ(OpenPath(), "Music 2002:\\Rock\\Live\\");
    EXPECT_EQ(SelectedPath(), "Music 2002:\\Rock\\Live\\");
    EXPECT_EQ(ListNames(), (Names{"two.mp3"}));
    EXPECT_EQ(W().PathBox->findText(QStringLiteral("Search Results")), -1);
    EXPECT_EQ(W().PathBox->currentText(), QStringLiteral("Music 2002:\\Rock\\Live\\"));
    EXPECT_EQ(form->StatusText(1), QStringLiteral("1 Items"));
    // The rows wait for the next visit to search mode.
    W().SBut->trigger();
    EXPECT_EQ(RowNames().size(), 7u);
}

TEST_F(SearchModeTest, SpaceShowsAFolderRowsTotalAndColumnClicksResort)
{
    W().SBut->trigger();
    Search(QStringLiteral("*"));
    W().SearchView->SelectRow(RowOf("Rock"));
    emit W().SearchView->SpacePressed();
    EXPECT_EQ(RowTexts("Rock")[kColumnSize], Q(FormatSize(1200 + 1202, English())));
    W().SearchView->SelectRow(RowOf("one.mp3"));
    emit W().SearchView->SpacePressed();  // a file row keeps its size
    EXPECT_EQ(RowTexts("one.mp3")[kColumnSize], Q(FormatSize(1200, English())));

    // Column sizing works on the results list when it is on show.
    form->AdjustColsExecute();
    const QHeaderView* header = W().SearchView->DetailsView()->header();
    const QFontMetrics metrics(W().SearchView->DetailsView()->font());
    EXPECT_GT(header->sectionSize(kColumnName), metrics.horizontalAdvance(QStringLiteral("readme.txt")) + 16);
    EXPECT_GT(header->sectionSize(kColumnVolume), metrics.horizontalAdvance(QStringLiteral("Music 2002")));
    EXPECT_GT(header->sectionSize(kColumnSize), metrics.horizontalAdvance(QStringLiteral("[SUB-DIR]")));
    EXPECT_GT(header->sectionSize(kColumnMediaInfo), metrics.horizontalAdvance(QStringLiteral("Media Info")));

    // The shared sort state: the same column again sorts descending.
    ClickResultsHeader(kColumnName);
    EXPECT_EQ(RowNames(), (Names{"Rock", "Live", "Jazz", "two.mp3", "readme.txt", "one.mp3", "beach.jpg"}));
    EXPECT_EQ(form->CurrentSort().Direction, -1);
    // Another column sorts ascending, keeping the order of level rows.
    ClickResultsHeader(kColumnVolume);
    EXPECT_EQ(form->CurrentSort().Direction, 1);
    EXPECT_EQ(RowNames(), (Names{"Rock", "Live", "Jazz", "two.mp3", "readme.txt", "one.mp3", "beach.jpg"}));
    // A new search ends sorted by the same state.
    Search(QStringLiteral("*"));
    EXPECT_EQ(RowNames().back(), "beach.jpg");
}

TEST_F(SearchModeTest, ARowWhoseVolumeWasDeletedDoesNothingHarmful)
{
    W().SBut->trigger();
    Search(QStringLiteral("*"));
    W().FBut->trigger();
    form->SelectNode(Node("Music 2002:\\"));
    dialogs.Answers.push_back(true);
    form->Delete1Execute();
    ASSERT_EQ(Node("Music 2002:\\"), kNoNode);
    const std::string openBefore = OpenPath();

    W().SBut->trigger();
    EXPECT_EQ(RowNames().size(), 7u);  // the rows keep their texts
    dialogs.Errors.clear();
    DoubleClick("Live");
    ASSERT_EQ(dialogs.Errors.size(), 1);
    EXPECT_EQ(dialogs.Errors.back(), QStringLiteral("Path not found!"));
    EXPECT_TRUE(W().SBut->isChecked());
    EXPECT_FALSE(form->FolderListShown());
    EXPECT_EQ(OpenPath(), openBefore);
    W().SearchView->SelectRow(RowOf("Rock"));
    emit W().SearchView->SpacePressed();
    EXPECT_EQ(RowTexts("Rock")[kColumnSize], QStringLiteral("[SUB-DIR]"));
}

// ---------------------------------------------------------------------------
// Saving the results

TEST_F(SearchModeTest, SaveSearchResultsWritesTheReportInTheListsOrder)
{
    TempDir out;
    W().SBut->trigger();
    // No rows: no dialog, no file.
    W().SaveSR->trigger();
    EXPECT_TRUE(saveDialogs.SaveTitles.isEmpty());

    Search(QStringLiteral("*"));
    ClickResultsHeader(kColumnName);  // descending
    saveDialogs.SaveNames.push_back(QString::fromStdString((out.Path() / "report.txt").string()));
    W().SaveSR->trigger();
    ASSERT_EQ(saveDialogs.SaveTitles.size(), 1);
    EXPECT_EQ(saveDialogs.SaveTitles[0], QStringLiteral("Save To File.."));
    EXPECT_EQ(saveDialogs.SaveFilters[0], QStringLiteral("Text report (*.txt);;CSV (*.csv);;JSON (*.json)"));
    EXPECT_TRUE(saveDialogs.SaveProposed[0].isEmpty());
    EXPECT_TRUE(dialogs.Errors.isEmpty());

    const std::string text = ReadBytes((out.Path() / "report.txt").string());
    ASSERT_TRUE(text.ends_with("\r\n"));
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = text.find("\r\n", start);
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    ASSERT_EQ(lines.size(), 5u + 1 + 7 + 1 + 1);
    EXPECT_EQ(lines[0], "Criteria: *");
    EXPECT_EQ(lines[1], "Look In: All");
    EXPECT_EQ(lines[2], "MediaInfo: None");
    EXPECT_EQ(lines[3], "Date: None");
    EXPECT_EQ(lines[4], "Size: None");
    EXPECT_EQ(lines[5], std::string(40, '-'));
    // Names padded to the longest (readme.txt) plus three, in the list's order.
    const auto pad = [](std::string text, std::size_t width) {
        text.resize(std::max(width, text.size()), ' ');
        return text;
    };
    EXPECT_TRUE(lines[6].starts_with(pad("Rock", 13) + pad("Music 2002", 13) + pad("", 8))) << lines[6];
    EXPECT_TRUE(lines[7].starts_with(pad("Live", 13) + pad("Music 2002", 13) + pad("Rock\\", 8))) << lines[7];
    EXPECT_TRUE(lines[12].starts_with(pad("beach.jpg", 13) + pad("Photos", 13) + pad("", 8))) << lines[12];
    EXPECT_NE(lines[9].find("Band - Two"), std::string::npos) << lines[9];
    EXPECT_EQ(lines[13], std::string(40, '-'));
    EXPECT_EQ(lines[14], "3 Catalogs" + std::string(9, ' ') + "7 Matches found");

    // Saving again over the file replaces it, without a question.
    Panel().ToggleSearchOptions();
    Panel().SizeCB->setChecked(true);
    Panel().SizeEdit->SetValue(10);
    saveDialogs.SaveNames.push_back(QString::fromStdString((out.Path() / "report.txt").string()));
    W().SaveSR->trigger();
    EXPECT_TRUE(dialogs.Questions.isEmpty());
    EXPECT_NE(ReadBytes((out.Path() / "report.txt").string()).find("Size: at least 10 KB\r\n"), std::string::npos);
}

TEST_F(SearchModeTest, TheSaveDialogAddsTheExtensionSoItsOverwriteQuestionCoversTheFile)
{
    TempDir out;
    WriteBytes((out.Path() / "report1.txt").string(), "kept");
    W().SBut->trigger();
    Search(QStringLiteral("*"));
    // The dialog is told the suffix; the name it gives back is the file.
    saveDialogs.SaveNames.push_back(QString::fromStdString((out.Path() / "report1").string()));
    W().SaveSR->trigger();
    ASSERT_EQ(saveDialogs.SaveSuffixes.size(), 1);
    EXPECT_EQ(saveDialogs.SaveSuffixes[0], QStringLiteral("txt"));
    EXPECT_EQ(ReadBytes((out.Path() / "report1.txt").string()), "kept");
    EXPECT_TRUE(ReadBytes((out.Path() / "report1").string()).starts_with("Criteria: *\r\n"));
}

TEST_F(SearchModeTest, AFailedSaveLeavesTheOldReportAndNoTemporaryFile)
{
    TempDir out;
    const std::string report = (out.Path() / "report.txt").string();
    WriteBytes(report, "old");
    W().SBut->trigger();
    Search(QStringLiteral("*"));
    // A folder in the report's place: the new report cannot replace it.
    const std::string folder = (out.Path() / "taken").string();
    std::filesystem::create_directory(folder);
    WriteBytes(folder + "/inside", "x");
    saveDialogs.SaveNames.push_back(QString::fromStdString(folder));
    W().SaveSR->trigger();
    ASSERT_EQ(dialogs.Errors.size(), 1);
    EXPECT_EQ(dialogs.Errors.back(), QString::fromStdString("Cannot create file " + folder));
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    // A good save goes through whole; the folder holds only the two files.
    saveDialogs.SaveNames.push_back(QString::fromStdString(report));
    W().SaveSR->trigger();
    EXPECT_EQ(dialogs.Errors.size(), 1);
    EXPECT_TRUE(ReadBytes(report).starts_with("Criteria: *"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(out.Path()), std::filesystem::directory_iterator()), 2);
}

TEST_F(SearchModeTest, CancellingTheSaveWritesNothingAndFailuresAreShown)
{
    TempDir out;
    W().SBut->trigger();
    Search(QStringLiteral("*"));
    W().SaveSR->trigger();  // no name scripted: cancelled
    EXPECT_EQ(saveDialogs.SaveTitles.size(), 1);
    EXPECT_TRUE(std::filesystem::is_empty(out.Path()));
    EXPECT_TRUE(dialogs.Errors.isEmpty());

    const std::string missing = (out.Path() / "missing" / "report.txt").string();
    saveDialogs.SaveNames.push_back(QString::fromStdString(missing));
    W().SaveSR->trigger();
    ASSERT_EQ(dialogs.Errors.size(), 1);
    EXPECT_EQ(dialogs.Errors.back(), QString::fromStdString("Cannot create file " + missing));
    EXPECT_EQ(Results().rowCount(), 7);
}

}  // namespace
}  // namespace ardvel::gui
