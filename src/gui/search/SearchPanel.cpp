#include "search/SearchPanel.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QFile>
#include <QFileInfo>
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

#include "common/Icons.h"
#include "common/QtText.h"
#include "common/StyledListView.h"
#include "common/UserDialogs.h"
#include "search/LookInList.h"
#include "search/SearchControls.h"
#include "search/SearchHost.h"
#include "search/SearchEntries.h"
#include "search/SearchReport.h"
#include "search/SearchResultsModel.h"
#include "search/SearchWalk.h"
#include "store/CatalogError.h"

namespace ardvel::gui {

namespace {

constexpr const char* kPathNotFound = "Path not found!";
constexpr const char* kSaveTitle = "Save To File..";
constexpr const char* kSaveFilter = "Text report (*.txt);;CSV (*.csv);;JSON (*.json)";
constexpr const char* kCsvFilter = "CSV (*.csv)";
constexpr const char* kJsonFilter = "JSON (*.json)";

// Layout of the search panel, in pixels.
constexpr int kLeft = 10;           // left edge of the panel's rows
constexpr int kMargin = 20;         // the wide controls leave this much of the pane
constexpr int kNarrowest = 120;     // the wide controls get at least this width
constexpr int kGap = 6;             // between a control and the one below it
constexpr int kCheckIndent = 4;     // the option check boxes, inside Panel2
constexpr int kOptionIndent = 12;   // the controls of an option
constexpr int kSpinWidth = 44;
constexpr int kSizeEditWidth = 80;
constexpr int kButtonWidth = 80;

int Bottom(const QWidget* w)
{
    return w->y() + w->height();
}

int HintHeight(const QWidget* w)
{
    return w->sizeHint().height();
}

int HintWidth(const QWidget* w)
{
    return w->sizeHint().width();
}

void Place(QWidget* w, int x, int y, int width)
{
    w->setGeometry(x, y, std::max(width, 1), HintHeight(w));
}

}  // namespace

TSearchPanel::TSearchPanel(SearchHost& host, QScrollArea& pane, StyledListView& resultsView, UserDialogs& dialogs,
                           const Locale& locale)
    : host_(host), pane_(pane), resultsView_(resultsView), dialogs_(dialogs), locale_(locale)
{
    content_ = new QWidget;
    content_->setObjectName(QStringLiteral("SearchPanelContent"));
    LookIn = new QComboBox(content_);
    LookIn->setObjectName(QStringLiteral("LookIn"));
    LookIn->setEditable(false);
    LookIn->setIconSize(QSize(16, 16));
    LookIn->addItem(ListImage(kRootImage), QStringLiteral("All"));
    pane_.setWidget(content_);

    model_ = new SearchResultsModel(results_, locale_, this);
    resultsView_.SetModel(model_);
    QHeaderView* header = resultsView_.DetailsView()->header();
    header->resizeSection(kColumnName, 150);
    header->resizeSection(kColumnVolume, 80);
    header->resizeSection(kColumnPath, 100);
    header->resizeSection(kColumnSize, 70);
    header->resizeSection(kColumnModified, 110);
    header->resizeSection(kColumnMediaInfo, 49);

    stepTimer_ = new QTimer(this);
    stepTimer_->setInterval(0);
    connect(stepTimer_, &QTimer::timeout, this,
            [this] { StepSearch(std::chrono::steady_clock::now() + kSliceTime); });

    BuildControls();
    BuildOptions();
    ConnectCriteria();

    connect(&resultsView_, &StyledListView::RowDoubleClicked, this, [this] { SearchViewDblClick(); });
    pane_.installEventFilter(this);
    content_->installEventFilter(this);

    // The window opens with the options hidden and every test off.
    MediaInfoClick();
    RadioButClick();
    Splitter1Moved();
}

TSearchPanel::~TSearchPanel()
{
    // The window goes: a search ends without a word, before the tree it reads.
    stepTimer_->stop();
    walk_.reset();
    resultsView_.SetModel(nullptr);
}

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

    SearchNow = new QPushButton(QStringLiteral("Search Now"), content_);
    SearchNow->setObjectName(QStringLiteral("SearchNow"));
    StopSearch = new QPushButton(QStringLiteral("Stop Search"), content_);
    StopSearch->setObjectName(QStringLiteral("StopSearch"));
    StopSearch->setEnabled(false);
    const int buttonWidth = std::max({kButtonWidth, HintWidth(SearchNow), HintWidth(StopSearch)});
    Place(SearchNow, kLeft, Bottom(LookIn) + 8, buttonWidth);
    Place(StopSearch, kLeft + buttonWidth + 6, SearchNow->y(), buttonWidth);
    connect(SearchNow, &QPushButton::clicked, this, [this] { SearchNowClick(); });
    connect(StopSearch, &QPushButton::clicked, this, [this] { StopSearchClick(); });

    SOptHiden = new TLinkLabel(QStringLiteral(" Search Options >>"), content_);
    SOptHiden->setObjectName(QStringLiteral("SOptHiden"));
    Place(SOptHiden, kLeft, Bottom(SearchNow) + 10, kNarrowest);
    connect(SOptHiden, &TLinkLabel::Clicked, this, [this] { ToggleSearchOptions(); });
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
    // A change made while a search runs applies from its next slice on.
    const auto changed = [this] { criteriaChanged_ = true; };
    for (QLineEdit* edit : {FileNames, Artist, Title}) connect(edit, &QLineEdit::textChanged, this, changed);
    for (QAbstractButton* button : std::initializer_list<QAbstractButton*>{MediaInfo, DateCB, SizeCB, LastMonths,
                                                                          LastDays, Between})
        connect(button, &QAbstractButton::toggled, this, changed);
    for (TSpinEdit* spin : {Months, Days, SizeEdit}) connect(spin, &QSpinBox::textChanged, this, changed);
    for (QDateTimeEdit* picker : {FirstDate, SecondDate}) connect(picker, &QDateTimeEdit::dateTimeChanged, this, changed);
    connect(LeastMost, &QComboBox::currentIndexChanged, this, changed);
}

int TSearchPanel::PanelWidth() const
{
    return std::max(pane_.width() - kMargin, kNarrowest);
}

void TSearchPanel::UpdateContentSize()
{
    const int bottom = Panel2->isHidden() ? Bottom(SOptHiden) : Bottom(Panel2);
    content_->setMinimumSize(kLeft + kNarrowest + kLeft, bottom + 8);
}

// ---------------------------------------------------------------------------
// The options panel

void TSearchPanel::Splitter1Moved()
{
    const int width = PanelWidth();
    for (QWidget* w : {static_cast<QWidget*>(Panel2), static_cast<QWidget*>(FileNames),
                       static_cast<QWidget*>(LookIn), static_cast<QWidget*>(Shape2),
                       static_cast<QWidget*>(SOptHiden)})
        w->resize(width, w->height());
    // The controls inside the options panel follow its width.
    SOptShown->resize(width, SOptShown->height());
    for (QWidget* w : {static_cast<QWidget*>(MediaInfo), static_cast<QWidget*>(DateCB), static_cast<QWidget*>(SizeCB)})
        w->resize(width - 2 * kCheckIndent, w->height());
    for (QLineEdit* edit : {Artist, Title}) edit->resize(std::max(width - edit->x() - kCheckIndent, 1), edit->height());
    DateCBClick();
}

void TSearchPanel::ToggleSearchOptions()
{
    const bool show = Panel2->isHidden();
    Panel2->setVisible(show);
    SOptHiden->setVisible(!show);
    DateCBClick();
    const QDateTime second = SecondDate->dateTime();
    FirstDate->setDateTime(QDateTime(second.date().addDays(-10), second.time()));
    if (!show) {
        // Each runs its own handler when its state changes.
        MediaInfo->setChecked(false);
        DateCB->setChecked(false);
        SizeCB->setChecked(false);
    }
    UpdateContentSize();
}

void TSearchPanel::MediaInfoClick()
{
    const bool on = MediaInfo->isChecked();
    FileNames->setEnabled(!on);
    FileNames->setText(on ? QStringLiteral("*.mp3") : QString());

    const int labelWidth = std::max(HintWidth(ArtistLabel), HintWidth(TitleLabel));
    const int editLeft = kOptionIndent + labelWidth + 4;
    const int editWidth = Panel2->width() - editLeft - kCheckIndent;
    Place(Artist, editLeft, Bottom(MediaInfo) + kGap, editWidth);
    Place(ArtistLabel, kOptionIndent, Artist->y() + 3, labelWidth);
    Place(Title, editLeft, Bottom(Artist) + kGap, editWidth);
    Place(TitleLabel, kOptionIndent, Title->y() + 3, labelWidth);
    for (QWidget* w : {static_cast<QWidget*>(ArtistLabel), static_cast<QWidget*>(Artist),
                       static_cast<QWidget*>(TitleLabel), static_cast<QWidget*>(Title)})
        w->setVisible(on);

    Place(DateCB, kCheckIndent, Bottom(on ? static_cast<QWidget*>(Title) : MediaInfo) + kGap,
          Panel2->width() - 2 * kCheckIndent);
    DateCBClick();
}

void TSearchPanel::DateCBClick()
{
    const bool on = DateCB->isChecked();
    const int radioWidth = std::max({HintWidth(LastMonths), HintWidth(LastDays), HintWidth(Between)});
    const int fieldLeft = kOptionIndent + radioWidth + 4;
    // The pickers fill the panel's width, up to the width they need.
    const int pickerWidth = std::clamp(Panel2->width() - fieldLeft - kCheckIndent, 80, std::max(110, HintWidth(FirstDate)));
    if (on) {
        Place(LastMonths, kOptionIndent, Bottom(DateCB) + kGap, radioWidth);
        Place(Months, fieldLeft, LastMonths->y(), kSpinWidth);
        Place(MonthsLabel, Months->x() + kSpinWidth + 4, LastMonths->y() + 4, HintWidth(MonthsLabel));
        Place(LastDays, kOptionIndent, Bottom(LastMonths) + kGap, radioWidth);
        Place(Days, fieldLeft, LastDays->y(), kSpinWidth);
        Place(DaysLabel, Days->x() + kSpinWidth + 4, LastDays->y() + 4, HintWidth(DaysLabel));
        Place(Between, kOptionIndent, Bottom(Days) + kGap, radioWidth);
        Place(FirstDate, fieldLeft, Between->y(), pickerWidth);
        Place(SecondDate, fieldLeft, Bottom(FirstDate) + kGap, pickerWidth);
        Place(AndLabel, fieldLeft - HintWidth(AndLabel) - 6, SecondDate->y() + 4, HintWidth(AndLabel));
        Place(SizeCB, kCheckIndent, Bottom(SecondDate) + kGap, Panel2->width() - 2 * kCheckIndent);
    } else {
        Place(SizeCB, kCheckIndent, Bottom(DateCB) + kGap, Panel2->width() - 2 * kCheckIndent);
    }
    for (QWidget* w : {static_cast<QWidget*>(LastMonths), static_cast<QWidget*>(Months),
                       static_cast<QWidget*>(MonthsLabel), static_cast<QWidget*>(LastDays),
                       static_cast<QWidget*>(Days), static_cast<QWidget*>(DaysLabel),
                       static_cast<QWidget*>(Between), static_cast<QWidget*>(FirstDate),
                       static_cast<QWidget*>(SecondDate), static_cast<QWidget*>(AndLabel)})
        w->setVisible(on);
    SizeCBClick();
}

void TSearchPanel::SizeCBClick()
{
    const bool on = SizeCB->isChecked();
    const int comboWidth = HintWidth(LeastMost);
    Place(LeastMost, kOptionIndent, Bottom(SizeCB) + kGap, comboWidth);
    Place(SizeEdit, LeastMost->x() + comboWidth + 4, LeastMost->y(), kSizeEditWidth);
    Place(KBLabel, SizeEdit->x() + kSizeEditWidth + 4, SizeEdit->y() + 3, HintWidth(KBLabel));
    for (QWidget* w : {static_cast<QWidget*>(LeastMost), static_cast<QWidget*>(SizeEdit), static_cast<QWidget*>(KBLabel)})
        w->setVisible(on);
    Panel2->resize(Panel2->width(), Bottom(SizeCB) + (on ? 36 : 8));
    UpdateContentSize();
}

void TSearchPanel::RadioButClick()
{
    Months->setEnabled(LastMonths->isChecked());
    Days->setEnabled(LastDays->isChecked());
    FirstDate->setEnabled(Between->isChecked());
    SecondDate->setEnabled(Between->isChecked());
}

void TSearchPanel::FocusFileNames()
{
    if (FileNames->isEnabled()) FileNames->setFocus();
}

SearchCriteria TSearchPanel::Criteria() const
{
    SearchCriteria c;
    c.NameText = FileNames->text().toStdString();
    c.MediaOn = MediaInfo->isChecked();
    c.ArtistPart = Artist->text().toStdString();
    c.TitlePart = Title->text().toStdString();
    c.DateOn = DateCB->isChecked();
    c.DateMode = LastMonths->isChecked() ? SearchDateMode::InLastMonths
                 : LastDays->isChecked() ? SearchDateMode::InLastDays
                                         : SearchDateMode::InRange;
    c.MonthCount = Months->Value();
    c.DayCount = Days->Value();
    c.RangeStart = ToDateTime(FirstDate->dateTime());
    c.RangeEnd = ToDateTime(SecondDate->dateTime());
    c.SizeOn = SizeCB->isChecked();
    // No item selected puts no bound on the size.
    c.SizeBound = static_cast<SearchSizeBound>(LeastMost->currentIndex());
    c.SizeLimitKB = SizeEdit->Value();
    return c;
}

// ---------------------------------------------------------------------------
// Running a search

void TSearchPanel::SearchNowClick()
{
    if (walk_) return;
    model_->Forget();
    StopSearch->setEnabled(true);
    SearchNow->setEnabled(false);
    host_.SetBusy(true);
    if (FileNames->text().isEmpty()) FileNames->setText(QStringLiteral("*"));
    FindFile->Start();

    SearchEvents events;
    events.Status = [this](int panel, std::string_view text) {
        // With the folder list on show, panel 1 keeps its count of items.
        if (panel == kStatusProgress && host_.FolderListShown()) return;
        host_.SetStatusText(panel, FromUtf8(text));
    };
    events.RowsAdded = [this](std::size_t first, std::size_t count) { model_->RowsAdded(first, count); };
    events.CurrentSort = [this] { return host_.CurrentSort(); };

    const SearchScope scope = ScopeFromLookIn(host_.Tree(), LookIn->currentIndex(), LookIn->count(), host_.SelectedNode());
    walk_ = std::make_unique<SearchWalk>(host_.Tree(), scope, Criteria(), locale_, results_, std::move(events));
    criteriaChanged_ = false;
    stepTimer_->start();
}

bool TSearchPanel::StepSearch(std::chrono::steady_clock::time_point deadline)
{
    if (!walk_) return false;
    if (stepping_) return true;
    if (criteriaChanged_) {
        criteriaChanged_ = false;
        walk_->SetCriteria(Criteria());
    }
    bool more = false;
    QString failure;
    stepping_ = true;
    try {
        more = walk_->Step(deadline);
    } catch (const std::exception& e) {
        failure = QString::fromUtf8(e.what());
    }
    stepping_ = false;
    if (!more) EndSearch(failure);
    return more;
}

void TSearchPanel::StopSearchClick()
{
    StopSearch->setEnabled(false);
    SearchNow->setEnabled(true);
    if (!walk_) return;
    walk_->RequestStop();
    // Within a slice (a row event), the slice ends the search when it returns.
    if (stepping_) return;
    while (StepSearch(std::chrono::steady_clock::now())) {
    }
}

void TSearchPanel::EndSearch(const QString& failure)
{
    stepTimer_->stop();
    QString message = failure;
    if (walk_ && walk_->Error()) message = QString::fromUtf8(walk_->Error()->what());
    walk_.reset();

    host_.SetBusy(false);
    StopSearch->setEnabled(false);
    SearchNow->setEnabled(true);
    // The walk has sorted the results by the shared sort state.
    model_->Reload();
    FindFile->Stop();
    if (host_.InSearchMode()) FocusFileNames();
    if (!failure.isEmpty()) {
        // The walk broke off before it could count.
        host_.SetStatusText(kStatusCatalogs, QString::number(host_.Tree().VolumeCount()) + QStringLiteral(" Catalogs"));
        if (!host_.FolderListShown())
            host_.SetStatusText(kStatusProgress, QString::number(model_->rowCount()) + QStringLiteral(" Matches found"));
    }
    if (!message.isEmpty()) dialogs_.ShowError(message);
}

// ---------------------------------------------------------------------------
// Results

void TSearchPanel::SearchViewDblClick()
{
    const int row = resultsView_.SelectedRow();
    if (row < 0 || !model_->IsFolderRow(row)) return;
    const NodeId node = host_.Tree().Resolve(model_->RowNode(row));
    if (node == kNoNode) {
        // The folder's volume was deleted or reloaded since the search.
        dialogs_.ShowError(QString::fromLatin1(kPathNotFound));
        return;
    }
    host_.ShowFolder(node);
}

void TSearchPanel::SaveSRExecute()
{
    if (model_->rowCount() == 0) return;
    const QByteArray lookIn = LookIn->currentText().toUtf8();
    const std::vector<ReportRow> rows = model_->ReportRows();
    const std::vector<std::string> lines =
        BuildReportLines(Criteria(), std::string_view(lookIn.constData(), static_cast<std::size_t>(lookIn.size())), rows,
                         host_.StatusText(kStatusCatalogs).toStdString(),
                         host_.StatusText(kStatusProgress).toStdString(), locale_);

    // The save dialog's filter says the form: the text report, or the rows
    // as CSV or JSON.
    QString filter;
    QString path = dialogs_.SaveFileNameAs(QString::fromLatin1(kSaveTitle), QString(),
                                           QString::fromLatin1(kSaveFilter), filter);
    if (path.isEmpty()) return;
    const bool csv = filter == QLatin1String(kCsvFilter), json = filter == QLatin1String(kJsonFilter);
    if (QFileInfo(path).suffix().isEmpty())
        path += csv ? QStringLiteral(".csv") : json ? QStringLiteral(".json") : QStringLiteral(".txt");
    try {
        const std::string file = QFile::encodeName(path).toStdString();
        if (csv || json)
            SaveSearchEntries(results_, csv ? RowFormat::Csv : RowFormat::Json, file, model_->Order());
        else
            WriteReport(file, lines);
    } catch (const CatalogError& e) {
        dialogs_.ShowError(QString::fromUtf8(e.what()));
    }
}

// ---------------------------------------------------------------------------
// Look-in list

void TSearchPanel::RefreshLookIn()
{
    FillLookIn(*LookIn, host_.Tree(), host_.SelectedNode());
}

void TSearchPanel::ShowCurrentFolder(NodeId node)
{
    ShowCurrentFolderEntry(*LookIn, host_.Tree(), node);
}

void TSearchPanel::LookInAll()
{
    LookIn->setCurrentIndex(LookIn->count() - 1);
}

// ---------------------------------------------------------------------------
// Events of the pane

bool TSearchPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &pane_ && event->type() == QEvent::Resize) {
        Splitter1Moved();
    } else if (watched == content_ && event->type() == QEvent::KeyPress) {
        // Enter presses whichever of the two buttons is enabled, unless
        // another button has the focus.
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            const auto* button = qobject_cast<QAbstractButton*>(QApplication::focusWidget());
            if (button && button != SearchNow && button != StopSearch) return false;
            if (SearchNow->isEnabled())
                SearchNowClick();
            else if (StopSearch->isEnabled())
                StopSearchClick();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace ardvel::gui
