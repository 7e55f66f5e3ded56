#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QFile>
#include <QFrame>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QTimer>
#include <QTreeView>
#include <algorithm>
#include <vector>

#include "common/Icons.h"
#include "common/QtText.h"
#include "common/StyledListView.h"
#include "common/UserDialogs.h"
#include "search/LookInList.h"
#include "search/ReportStream.h"
#include "search/SearchControls.h"
#include "search/SearchEntries.h"
#include "search/SearchHost.h"
#include "search/SearchPanel.h"
#include "search/SearchPanelGeometry.h"
#include "search/SearchResultsModel.h"
#include "search/SearchTyping.h"
#include "search/SearchWalk.h"
#include "store/CatalogError.h"

namespace ardvel::gui {

using namespace search_panel;

// ---------------------------------------------------------------------------
// Building the panel

void TSearchPanel::BuildControls()
{
    FindFile = new TFindFileAnimation(content_);
    FindFile->setObjectName(QStringLiteral("FindFile"));
    FindFile->move(4, 4);

    Heading = new QLabel(QString::fromLatin1(kHeading), content_);
    QFont bold = Heading->font();
    bold.setBold(true);
    Heading->setFont(bold);
    Place(Heading, 24, 4, HintWidth(Heading));

    Shape2 = new QFrame(content_);
    Shape2->setObjectName(QStringLiteral("Shape2"));
    Shape2->setFrameShape(QFrame::HLine);
    Shape2->setFrameShadow(QFrame::Sunken);
    Shape2->setGeometry(kLeft, Bottom(Heading) + 4, kNarrowest, 2);

    FileNamesLabel = new QLabel(QStringLiteral("Search for files or folders named:"), content_);
    Place(FileNamesLabel, kLeft, Bottom(Shape2) + 6, HintWidth(FileNamesLabel));
    FileNames = new QLineEdit(content_);
    FileNames->setObjectName(QStringLiteral("FileNames"));
    FileNamesLabel->setBuddy(FileNames);
    Place(FileNames, kLeft, Bottom(FileNamesLabel) + 2, kNarrowest);

    LookInLabel = new QLabel(QStringLiteral("Look in:"), content_);
    Place(LookInLabel, kLeft, Bottom(FileNames) + 6, HintWidth(LookInLabel));
    LookInLabel->setBuddy(LookIn);
    Place(LookIn, kLeft, Bottom(LookInLabel) + 2, kNarrowest);
    Typing = new TSearchTyping(content_, [this] { RestartSearch(); });
    Place(Typing->IgnoreAccents, kLeft, Bottom(LookIn) + 6, kNarrowest);
    Place(Typing->SearchAsYouType, kLeft, Bottom(Typing->IgnoreAccents) + 2, kNarrowest);

    SearchNow = new QPushButton(QStringLiteral("Search Now"), content_);
    SearchNow->setObjectName(QStringLiteral("SearchNow"));
    StopSearch = new QPushButton(QStringLiteral("Stop Search"), content_);
    StopSearch->setObjectName(QStringLiteral("StopSearch"));
    StopSearch->setEnabled(false);
    const int buttonWidth = std::max({kButtonWidth, HintWidth(SearchNow), HintWidth(StopSearch)});
    Place(SearchNow, kLeft, Bottom(Typing->SearchAsYouType) + 8, buttonWidth);
    Place(StopSearch, kLeft + buttonWidth + 6, SearchNow->y(), buttonWidth);
    connect(SearchNow, &QPushButton::clicked, this, [this] { SearchNowClick(); });
    connect(StopSearch, &QPushButton::clicked, this, [this] { StopSearchClick(); });

    SOptHiden = new TLinkLabel(QStringLiteral(" Search Options >>"), content_);
    SOptHiden->setObjectName(QStringLiteral("SOptHiden"));
    Place(SOptHiden, kLeft, Bottom(SearchNow) + 10, kNarrowest);
    connect(SOptHiden, &TLinkLabel::Clicked, this, [this] { ToggleSearchOptions(); });
}

void TSearchPanel::ChainTabOrder(std::initializer_list<QWidget*> results)
{
    // The controls were made in another order than the one they are shown
    // in (Look in first of all); hidden and disabled ones are passed over.
    std::vector<QWidget*> chain{FileNames,
                                LookIn,
                                Typing->IgnoreAccents,
                                Typing->SearchAsYouType,
                                SOptHiden,
                                SOptShown,
                                MediaInfo,
                                Artist,
                                Title,
                                SizeCB,
                                LeastMost,
                                SizeEdit,
                                DateCB,
                                LastMonths,
                                Months,
                                LastDays,
                                Days,
                                Between,
                                FirstDate,
                                SecondDate,
                                SearchNow,
                                StopSearch};
    chain.insert(chain.end(), results.begin(), results.end());
    for (std::size_t i = 1; i < chain.size(); ++i) QWidget::setTabOrder(chain[i - 1], chain[i]);
}

void TSearchPanel::BuildOptions()
{
    Panel2 = new QFrame(content_);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setFrameShape(QFrame::StyledPanel);
    Panel2->setGeometry(kLeft, SOptHiden->y(), kNarrowest, 100);
    Panel2->hide();

    SOptShown = new TLinkLabel(QStringLiteral(" Search Options <<"), Panel2);
    SOptShown->setObjectName(QStringLiteral("SOptShown"));
    Place(SOptShown, 0, 2, kNarrowest);
    connect(SOptShown, &TLinkLabel::Clicked, this, [this] { ToggleSearchOptions(); });

    MediaInfo = new QCheckBox(QStringLiteral("&Media Info (mp3 only)"), Panel2);
    MediaInfo->setObjectName(QStringLiteral("MediaInfo"));
    Place(MediaInfo, kCheckIndent, Bottom(SOptShown) + kGap, kNarrowest);
    ArtistLabel = new QLabel(QStringLiteral("Artist"), Panel2);
    Artist = new QLineEdit(Panel2);
    Artist->setObjectName(QStringLiteral("Artist"));
    ArtistLabel->setBuddy(Artist);
    TitleLabel = new QLabel(QStringLiteral("Title"), Panel2);
    Title = new QLineEdit(Panel2);
    Title->setObjectName(QStringLiteral("Title"));
    TitleLabel->setBuddy(Title);

    BuildDateOptions();

    SizeCB = new QCheckBox(QStringLiteral("&Size (files only)"), Panel2);
    SizeCB->setObjectName(QStringLiteral("SizeCB"));
    LeastMost = new QComboBox(Panel2);
    LeastMost->setObjectName(QStringLiteral("LeastMost"));
    LeastMost->addItems({QStringLiteral("at least"), QStringLiteral("at most")});
    LeastMost->setCurrentIndex(0);
    SizeEdit = new TSpinEdit(Panel2, 10);
    SizeEdit->setObjectName(QStringLiteral("SizeEdit"));
    SizeEdit->SetBounds(kSizeEditMinimum, kSizeEditMaximum);
    KBLabel = new QLabel(QStringLiteral("KB"), Panel2);

    connect(MediaInfo, &QCheckBox::toggled, this, [this] { MediaInfoClick(); });
    connect(DateCB, &QCheckBox::toggled, this, [this] { DateCBClick(); });
    connect(SizeCB, &QCheckBox::toggled, this, [this] { SizeCBClick(); });
    for (QRadioButton* radio : {LastMonths, LastDays, Between})
        connect(radio, &QRadioButton::toggled, this, [this] { RadioButClick(); });
}

void TSearchPanel::BuildDateOptions()
{
    DateCB = new QCheckBox(QStringLiteral("&Date"), Panel2);
    DateCB->setObjectName(QStringLiteral("DateCB"));
    LastMonths = new QRadioButton(QStringLiteral("in the last"), Panel2);
    LastMonths->setObjectName(QStringLiteral("LastMonths"));
    Months = new TSpinEdit(Panel2, 1);
    Months->setObjectName(QStringLiteral("Months"));
    MonthsLabel = new QLabel(QStringLiteral("months"), Panel2);
    LastDays = new QRadioButton(QStringLiteral("in the last"), Panel2);
    LastDays->setObjectName(QStringLiteral("LastDays"));
    Days = new TSpinEdit(Panel2, 1);
    Days->setObjectName(QStringLiteral("Days"));
    DaysLabel = new QLabel(QStringLiteral("days"), Panel2);
    Between = new QRadioButton(QStringLiteral("between"), Panel2);
    Between->setObjectName(QStringLiteral("Between"));
    Between->setChecked(true);
    const QString pickerFormat = PickerFormat(locale_.ShortDateFormat());
    const QDateTime second(QDate(kSecondDateYear, kSecondDateMonth, kSecondDateDay),
                           QTime(kSecondDateHour, kSecondDateMinute, kSecondDateSecond));
    FirstDate = new QDateTimeEdit(Panel2);
    FirstDate->setObjectName(QStringLiteral("FirstDate"));
    AndLabel = new QLabel(QStringLiteral("and"), Panel2);
    SecondDate = new QDateTimeEdit(Panel2);
    SecondDate->setObjectName(QStringLiteral("SecondDate"));
    for (QDateTimeEdit* picker : {FirstDate, SecondDate}) {
        // A day picked changes the date only; the time of day stays.
        picker->setDisplayFormat(pickerFormat);
        picker->setCalendarPopup(true);
    }
    SecondDate->setDateTime(second);
    FirstDate->setDateTime(QDateTime(second.date().addDays(-10), second.time()));
}

void TSearchPanel::ConnectCriteria()
{
    // A change made while a search runs applies from its next slice on; with
    // search as you type, the search starts again once the changes pause.
    const auto changed = [this] {
        criteriaChanged_ = true;
        Typing->Changed();
    };
    connect(Typing->IgnoreAccents, &QAbstractButton::toggled, this, changed);
    for (QLineEdit* edit : {FileNames, Artist, Title}) connect(edit, &QLineEdit::textChanged, this, changed);
    for (QAbstractButton* button :
         std::initializer_list<QAbstractButton*>{MediaInfo, DateCB, SizeCB, LastMonths, LastDays, Between})
        connect(button, &QAbstractButton::toggled, this, changed);
    for (TSpinEdit* spin : {Months, Days, SizeEdit}) connect(spin, &QSpinBox::textChanged, this, changed);
    for (QDateTimeEdit* picker : {FirstDate, SecondDate})
        connect(picker, &QDateTimeEdit::dateTimeChanged, this, changed);
    connect(LeastMost, &QComboBox::currentIndexChanged, this, changed);
}

}  // namespace ardvel::gui
