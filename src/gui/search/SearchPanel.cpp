#include "search/SearchPanel.h"

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
#include <QStyle>
#include <QTimer>
#include <QTreeView>
#include <algorithm>

#include "common/DetailsTable.h"
#include "common/Icons.h"
#include "common/QtText.h"
#include "common/StyledListView.h"
#include "common/UserDialogs.h"
#include "search/FolderStatus.h"
#include "search/LookInList.h"
#include "search/ReportStream.h"
#include "search/SearchControls.h"
#include "search/SearchEntries.h"
#include "search/SearchHost.h"
#include "search/SearchPanelGeometry.h"
#include "search/SearchResultsModel.h"
#include "search/SearchTyping.h"
#include "search/SearchWalk.h"
#include "store/CatalogError.h"
#include "store/NodePath.h"

namespace ardvel::gui {

using namespace search_panel;

namespace {

constexpr const char* kPathNotFound = "Path not found!";
constexpr const char* kSaveTitle = "Save To File..";
constexpr const char* kSaveFilter = "Text report (*.txt);;CSV (*.csv);;JSON (*.json)";
constexpr const char* kCsvFilter = "CSV (*.csv)";
constexpr const char* kJsonFilter = "JSON (*.json)";

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

    model_ = new SearchResultsModel(results_[0], locale_, this);
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
    connect(stepTimer_, &QTimer::timeout, this, [this] { StepSearch(std::chrono::steady_clock::now() + kSliceTime); });
    statusTimer_ = new QTimer(this);
    statusTimer_->setInterval(FolderStatusThrottle::kInterval);
    connect(statusTimer_, &QTimer::timeout, this, [this] { ShowWaitingFolder(); });

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
    statusTimer_->stop();
    walk_.reset();
    model_->CancelSort();
    resultsView_.SetModel(nullptr);
}

int TSearchPanel::PanelWidth() const
{
    return std::max(pane_.width() - kMargin, kNarrowest);
}

int TSearchPanel::PreferredPaneWidth() const
{
    // The controls that keep their own width; the wide ones leave the pane
    // kMargin, kLeft of it on their left.
    int right = kLeft + kNarrowest;
    for (const QWidget* w :
         {static_cast<const QWidget*>(Heading), static_cast<const QWidget*>(FileNamesLabel),
          static_cast<const QWidget*>(LookInLabel), static_cast<const QWidget*>(StopSearch),
          static_cast<const QWidget*>(Typing->IgnoreAccents), static_cast<const QWidget*>(Typing->SearchAsYouType),
          static_cast<const QWidget*>(SOptHiden)})
        right = std::max(right, w->x() + HintWidth(w));
    const int frame = 2 * pane_.frameWidth() + pane_.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &pane_);
    return right + (kMargin - kLeft) + frame;
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
    for (QWidget* w : {static_cast<QWidget*>(Panel2), static_cast<QWidget*>(FileNames), static_cast<QWidget*>(LookIn),
                       static_cast<QWidget*>(Shape2), static_cast<QWidget*>(SOptHiden),
                       static_cast<QWidget*>(Typing->IgnoreAccents), static_cast<QWidget*>(Typing->SearchAsYouType)})
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
    const int pickerWidth =
        std::clamp(Panel2->width() - fieldLeft - kCheckIndent, 80, std::max(110, HintWidth(FirstDate)));
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
    for (QWidget* w :
         {static_cast<QWidget*>(LastMonths), static_cast<QWidget*>(Months), static_cast<QWidget*>(MonthsLabel),
          static_cast<QWidget*>(LastDays), static_cast<QWidget*>(Days), static_cast<QWidget*>(DaysLabel),
          static_cast<QWidget*>(Between), static_cast<QWidget*>(FirstDate), static_cast<QWidget*>(SecondDate),
          static_cast<QWidget*>(AndLabel)})
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
    for (QWidget* w :
         {static_cast<QWidget*>(LeastMost), static_cast<QWidget*>(SizeEdit), static_cast<QWidget*>(KBLabel)})
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
    c.IgnoreAccents = Typing->IgnoreAccents->isChecked();
    return c;
}

// ---------------------------------------------------------------------------
// Running a search

void TSearchPanel::SearchNowClick()
{
    if (walk_) return;
    model_->Forget();
    StartSearch(model_->Results(), false);
}

void TSearchPanel::StartSearch(SearchResults& into, bool typed)
{
    // A worker may sort the rows on show, but not rows being added to.
    model_->SetGrowing(&into == &model_->Results());
    StopSearch->setEnabled(true);
    SearchNow->setEnabled(false);
    host_.SetBusy(true);
    if (FileNames->text().isEmpty()) FileNames->setText(QStringLiteral("*"));
    Typing->Cancel();
    FindFile->Start();
    typed_ = typed;
    searchClock_.start();
    countClock_.invalidate();

    SearchEvents events;
    events.Status = [this](int panel, std::string_view text) { WalkStatus(panel, text); };
    events.RowsAdded = [this](std::size_t first, std::size_t count) { RowsFound(first, count); };
    // The rows stay in the order found: the list sorts them once the search
    // has ended, on its worker thread (putting millions of rows in order
    // here would hold the window).
    events.CallerSorts = true;

    const SearchScope scope =
        ScopeFromLookIn(host_.Tree(), LookIn->currentIndex(), LookIn->count(), host_.SelectedNode());
    walk_ = std::make_unique<SearchWalk>(host_.Tree(), scope, Criteria(), locale_, into, std::move(events));
    criteriaChanged_ = false;
    folderStatus_ = {};
    if (typed) ShowCount(0);
    stepTimer_->start();
    statusTimer_->start();
}

void TSearchPanel::WalkStatus(int panel, std::string_view text)
{
    if (panel == kStatusCatalogs) {
        // A new volume, or the end: the text that follows is shown with it.
        folderStatus_.ShowNext();
        host_.SetStatusText(panel, FromUtf8(text));
        return;
    }
    // With the folder list on show, panel 1 keeps its count of items; a
    // search started by typing counts its rows there, not its folders.
    if (!folderStatus_.Entered() || ProgressPanelTaken()) return;
    host_.SetStatusText(panel, StatusPath(text));
}

bool TSearchPanel::ProgressPanelTaken() const
{
    return host_.FolderListShown() || (typed_ && walk_ && walk_->Running());
}

void TSearchPanel::ShowWaitingFolder()
{
    if (!walk_ || !folderStatus_.TakeWaiting() || ProgressPanelTaken()) return;
    host_.SetStatusText(kStatusProgress, StatusPath(walk_->FolderPath()));
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
    Typing->Cancel();
    StopSearch->setEnabled(false);
    SearchNow->setEnabled(true);
    if (!walk_) return;
    walk_->RequestStop();
    // Within a slice (a row event), the slice ends the search when it returns.
    if (stepping_) return;
    while (StepSearch(std::chrono::steady_clock::now())) {
    }
}

void TSearchPanel::ShowRows(const std::function<void(SearchResults&)>& fill, std::size_t marked)
{
    StopSearchClick();
    if (walk_) return;  // still within a slice of its own
    model_->Forget();
    reselect_.reset();
    SearchResults& shown = model_->Results();
    shown.clear();
    fill(shown);
    model_->Reload();
    model_->MarkResultRow(marked);
}

void TSearchPanel::EndSearch(const QString& failure)
{
    stepTimer_->stop();
    statusTimer_->stop();
    QString message = failure;
    if (walk_ && walk_->Error()) message = QString::fromUtf8(walk_->Error()->what());
    walk_.reset();

    host_.SetBusy(false);
    StopSearch->setEnabled(false);
    SearchNow->setEnabled(true);
    // The list sorts the rows by the shared sort state on its worker thread.
    if (filling_)
        ShowNewRows(filling_->size());
    else if (!failure.isEmpty())
        model_->Reload();  // rows the walk had not yet announced
    model_->SetGrowing(false);
    model_->SortRows(host_.CurrentSort());
    if (reselect_) SelectFound(0);
    reselect_.reset();
    FindFile->Stop();
    if (host_.InSearchMode()) FocusFileNames();
    if (!failure.isEmpty()) {
        // The walk broke off before it could count.
        host_.SetStatusText(kStatusCatalogs, QString::number(host_.Tree().VolumeCount()) + QStringLiteral(" Catalogs"));
        if (!host_.FolderListShown())
            host_.SetStatusText(kStatusProgress,
                                QString::number(model_->rowCount()) + QStringLiteral(" Matches found"));
    }
    if (!message.isEmpty()) dialogs_.ShowError(message);
}

// ---------------------------------------------------------------------------
// Results

void TSearchPanel::SearchViewDblClick()
{
    const int row = resultsView_.SelectedRow();
    if (row < 0) return;
    if (!model_->IsFolderRow(row)) {
        OpenContainingFolder();
        return;
    }
    const NodeId node = host_.Tree().Resolve(model_->RowNode(row));
    if (node == kNoNode) {
        // The folder's volume was deleted or reloaded since the search.
        dialogs_.ShowError(QString::fromLatin1(kPathNotFound));
        return;
    }
    host_.ShowFolder(node);
}

void TSearchPanel::OpenContainingFolder()
{
    const int row = resultsView_.SelectedRow();
    if (row < 0 || row >= model_->rowCount()) return;
    const std::size_t r = model_->ResultRow(row);
    const CatalogTree& tree = host_.Tree();
    const SearchResults& shown = model_->Results();
    NodeId folder = kNoNode;
    if (const NodeId node = shown.IsFolder(r) ? tree.Resolve(shown.Link(r)) : kNoNode; node != kNoNode)
        folder = tree.Parent(node);
    else
        folder = ResolveNodePath(tree, std::string(shown.Volume(r)) + ":\\" + std::string(shown.Path(r)), locale_);
    if (folder == kNoNode || folder == CatalogTree::kRoot) {
        dialogs_.ShowError(QString::fromLatin1(kPathNotFound));
        return;
    }
    // The results are not touched by leaving search mode, but the name is
    // kept apart from them all the same.
    const std::string name(shown.Name(r));
    host_.ShowFolderRow(folder, name, shown.IsFolder(r));
}

void TSearchPanel::SaveSRExecute()
{
    if (model_->rowCount() == 0) return;
    // The save dialog's filter says the form: the text report, or the rows
    // as CSV or JSON. The dialog adds the filter's extension to a name typed
    // without one, so that its question about replacing a file covers the
    // file written.
    QString filter;
    const QString path =
        dialogs_.SaveFileNameAs(QString::fromLatin1(kSaveTitle), QString(), QString::fromLatin1(kSaveFilter), filter);
    if (path.isEmpty()) return;
    const bool csv = filter == QLatin1String(kCsvFilter), json = filter == QLatin1String(kJsonFilter);
    try {
        const std::string file = QFile::encodeName(path).toStdString();
        if (csv || json)
            SaveSearchEntries(model_->Results(), csv ? RowFormat::Csv : RowFormat::Json, file, model_->Order());
        else
            WriteReportStreaming(
                file, Criteria(), ToUtf8(LookIn->currentText()), static_cast<std::size_t>(model_->rowCount()),
                [this](std::size_t row) { return model_->ReportRowAt(row); }, ToUtf8(host_.StatusText(kStatusCatalogs)),
                ToUtf8(host_.StatusText(kStatusProgress)), locale_);
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
