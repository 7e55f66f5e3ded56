#pragma once

// The search panel of the main window's left pane and the run of a search:
// the name, Look-in and option controls, "Search Now" and "Stop Search",
// the results list's model, the way back from a result to the browser and
// the report of the results.

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QStringList>
#include <chrono>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>

#include "platform/Locale.h"
#include "search/FolderStatus.h"
#include "search/SearchCriteria.h"
#include "search/SearchResults.h"
#include "search/SearchResultsModel.h"

class QCheckBox;
class QComboBox;
class QDateTimeEdit;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollArea;
class QTimer;
class QWidget;

namespace ardvel {
class SearchWalk;
}

namespace ardvel::gui {

class SearchHost;
class StyledListView;
class TFindFileAnimation;
class TLinkLabel;
class TSearchTyping;
class TSpinEdit;
class UserDialogs;

/// Builds the search controls into the window's search pane and runs
/// searches over the host's catalog tree, showing the rows in the results
/// list it is given.
///
/// A search runs on the GUI thread in slices of about 15 ms, driven by a
/// zero-interval timer, so the window handles its events in between: the
/// user can stop the search, switch modes, change the criteria (they apply
/// from the next slice on) or use the menus. "Stop Search" ends the search
/// at once: the rows found so far stay, sorted and counted. With "Search as
/// you type" ticked, a change of the criteria starts the search again after
/// a short pause, cancelling the running one. The rows shown stay until the
/// new search has some of its own (it fills a second set of results), the
/// record selected before is selected again when it is a result again, and
/// status panel 1 counts the rows found so far.
class TSearchPanel final : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kHeading = "Search for Files and Folders";
    /// Longest time one slice of a search keeps the window waiting.
    static constexpr std::chrono::milliseconds kSliceTime{15};
    /// Where "between" starts when the window opens.
    static constexpr int kSecondDateYear = 2002, kSecondDateMonth = 7, kSecondDateDay = 22;
    static constexpr int kSecondDateHour = 20, kSecondDateMinute = 44, kSecondDateSecond = 56;

    /// The controls fill `pane`; `resultsView` shows the rows. All of them
    /// must outlive the panel.
    TSearchPanel(SearchHost& host, QScrollArea& pane, StyledListView& resultsView, UserDialogs& dialogs,
                 const Locale& locale);
    ~TSearchPanel() override;
    TSearchPanel(const TSearchPanel&) = delete;
    TSearchPanel& operator=(const TSearchPanel&) = delete;

    // -- events ----------------------------------------------------------------

    /// Starts a search over the scope chosen in the Look-in list; it runs
    /// on from the event loop (or from StepSearch). Does nothing while a
    /// search runs.
    void SearchNowClick();
    /// Ends a running search; the rows found so far stay. Also run when the
    /// window leaves search mode.
    void StopSearchClick();
    /// Opens the folder of the selected row in the browser; a file row
    /// opens the folder that holds it with the file selected. No row does
    /// nothing; a folder that has left the tree since it was found gives
    /// "Path not found!".
    void SearchViewDblClick();
    /// Opens the folder holding the selected row's file or folder, with
    /// that row selected.
    void OpenContainingFolder();
    /// "&Save Search Results": the criteria and the rows, in the list's
    /// order, as a text report in a file that the user chooses.
    void SaveSRExecute();
    /// Rows no search found (Find Copies): a running search stops, `fill`
    /// adds the rows to the emptied results, the list shows them in that
    /// order and result row `marked` in bold.
    void ShowRows(const std::function<void(SearchResults&)>& fill, std::size_t marked);

    /// A click on either options link: shows or hides the options panel.
    /// A hidden panel leaves no test switched on.
    void ToggleSearchOptions();
    void MediaInfoClick();
    void DateCBClick();
    void SizeCBClick();
    void RadioButClick();
    /// The pane changed width: the wide controls follow it.
    void Splitter1Moved();
    /// Gives the name field the focus, when it is enabled.
    void FocusFileNames();
    /// Tab goes from the name field through Look in, the criteria and the
    /// options to Search Now and Stop Search, and then to `results` (the
    /// views of the results list, the first shown taking the focus).
    void ChainTabOrder(std::initializer_list<QWidget*> results);
    /// Cancels the running search, if any, and starts it anew with the
    /// criteria as they are now, keeping the selected row when it is found
    /// again.
    void RestartSearch();

    /// How long a search started by typing leaves the former rows on show
    /// when it has found rows but not ended: a quick search replaces the
    /// list once, not with a few rows that then grow.
    static constexpr std::chrono::milliseconds kKeepFormerRows{100};
    /// Shortest time between two counts of the rows found so far.
    static constexpr std::chrono::milliseconds kCountInterval{100};
    /// Results of more rows than this give their memory back once replaced.
    static constexpr std::size_t kKeptResultRows = 1'000'000;

    // -- Look-in list --------------------------------------------------------

    /// Rebuilds the list from the host's volumes and selected node.
    void RefreshLookIn();
    /// The current-folder entry names `node`.
    void ShowCurrentFolder(NodeId node);
    /// Chooses "All".
    void LookInAll();

    // -- state -----------------------------------------------------------------

    bool Running() const noexcept { return walk_ != nullptr; }
    /// The criteria as the controls give them now.
    SearchCriteria Criteria() const;
    const SearchResults& Results() const noexcept { return model_->Results(); }
    SearchResultsModel& ResultsModel() noexcept { return *model_; }
    /// The widget inside the pane that holds the controls.
    QWidget* Content() const noexcept { return content_; }

    /// Runs the search on until `deadline` (looked at every few hundred
    /// items) or its end, which it then completes. True while there is more
    /// to do. The event loop calls it; a test may drive a search with it.
    bool StepSearch(std::chrono::steady_clock::time_point deadline);
    /// Shows the folder the search is in when it entered one since the last
    /// shown. A timer calls it every FolderStatusThrottle::kInterval.
    void ShowWaitingFolder();

    // -- the controls ------------------------------------------------------------

    TFindFileAnimation* FindFile = nullptr;
    QLabel* Heading = nullptr;
    QFrame* Shape2 = nullptr;
    QLabel* FileNamesLabel = nullptr;
    QLineEdit* FileNames = nullptr;
    QLabel* LookInLabel = nullptr;
    QComboBox* LookIn = nullptr;
    QPushButton* SearchNow = nullptr;
    QPushButton* StopSearch = nullptr;
    TLinkLabel* SOptHiden = nullptr;
    QFrame* Panel2 = nullptr;
    TLinkLabel* SOptShown = nullptr;
    QCheckBox* MediaInfo = nullptr;
    QLabel* ArtistLabel = nullptr;
    QLineEdit* Artist = nullptr;
    QLabel* TitleLabel = nullptr;
    QLineEdit* Title = nullptr;
    QCheckBox* DateCB = nullptr;
    QRadioButton* LastMonths = nullptr;
    TSpinEdit* Months = nullptr;
    QLabel* MonthsLabel = nullptr;
    QRadioButton* LastDays = nullptr;
    TSpinEdit* Days = nullptr;
    QLabel* DaysLabel = nullptr;
    QRadioButton* Between = nullptr;
    QDateTimeEdit* FirstDate = nullptr;
    QLabel* AndLabel = nullptr;
    QDateTimeEdit* SecondDate = nullptr;
    QCheckBox* SizeCB = nullptr;
    QComboBox* LeastMost = nullptr;
    TSpinEdit* SizeEdit = nullptr;
    QLabel* KBLabel = nullptr;
    /// "Ignore accents" and "Search as you type", with the restart after a pause.
    TSearchTyping* Typing = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void BuildOptions();
    void BuildDateOptions();
    void ConnectCriteria();
    /// The end of a search, stopped or not: buttons, animation, cursor, the
    /// sorted list, and the message of an invalid mask or a failure.
    void EndSearch(const QString& failure);
    /// The search's status texts, the folder's as FolderStatusThrottle allows.
    void WalkStatus(int panel, std::string_view text);
    /// Status panel 1 shows something else than the folder searched: the
    /// folder list's count of items, or the rows a typed search found.
    bool ProgressPanelTaken() const;
    /// Starts the walk, filling `into`; `typed`: started by typing.
    void StartSearch(SearchResults& into, bool typed);
    /// The walk added rows first..first+count-1 to the results it fills.
    void RowsFound(std::size_t first, std::size_t count);
    /// The list shows the first `count` rows of the new search in place of
    /// the former ones, the scroll position kept.
    void ShowNewRows(std::size_t count);
    /// Selects the record RestartSearch kept when a list row from `first`
    /// on shows it, unless the user has selected a row meanwhile.
    void SelectFound(std::size_t first);
    /// "N Matches found" for a search started by typing, at most every
    /// kCountInterval.
    void ShowCount(std::size_t found);
    /// The search panel's content is as tall as its lowest control.
    void UpdateContentSize();
    int PanelWidth() const;

public:
    /// The width of the pane in which the panel's texts and buttons show
    /// whole, as this font draws them (the wide controls then get the rest).
    int PreferredPaneWidth() const;

private:
    SearchHost& host_;
    QScrollArea& pane_;
    StyledListView& resultsView_;
    UserDialogs& dialogs_;
    const Locale& locale_;
    QWidget* content_ = nullptr;

    SearchResults results_[2];          ///< those on show, and those of the next search
    SearchResults* filling_ = nullptr;  ///< a typed search's results while the former rows show
    SearchResultsModel* model_ = nullptr;
    std::unique_ptr<SearchWalk> walk_;
    QTimer* stepTimer_ = nullptr;
    QTimer* statusTimer_ = nullptr;  ///< shows the folder being searched now and then
    FolderStatusThrottle folderStatus_;
    bool stepping_ = false;                ///< inside a slice of the walk
    bool criteriaChanged_ = false;         ///< to hand to the walk before its next slice
    bool typed_ = false;                   ///< the running search was started by typing
    QElapsedTimer searchClock_;            ///< since the running search started
    QElapsedTimer countClock_;             ///< since the last count of the rows found
    std::optional<RowIdentity> reselect_;  ///< the record to select again
};

}  // namespace ardvel::gui
