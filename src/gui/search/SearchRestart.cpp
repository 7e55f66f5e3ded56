// Starting a search again as the user types: the former rows stay on show
// until the new search has rows of its own, the selected record is selected
// again when it is found again, and the status counts the rows found so far.
#include <QAbstractItemView>
#include <QScrollBar>
#include <QTimer>

#include "common/StyledListView.h"
#include "search/SearchHost.h"
#include "search/SearchPanel.h"
#include "search/SearchResultsModel.h"
#include "search/SearchTyping.h"
#include "search/SearchWalk.h"

namespace ardvel::gui {

void TSearchPanel::RestartSearch()
{
    Typing->Cancel();
    const int selected = resultsView_.SelectedRow();
    // A record still sought by the search cancelled here stays sought.
    if (selected >= 0) reselect_ = model_->Identity(selected);
    if (walk_) {
        // Cancelled without a word: the new search counts and sorts.
        stepTimer_->stop();
        walk_.reset();
    }
    filling_ = nullptr;
    if (model_->rowCount() == 0) {
        model_->Forget();
        StartSearch(model_->Results(), true);
        return;
    }
    // The new search fills the results not on show; the list keeps showing
    // the former rows meanwhile.
    SearchResults& shown = model_->Results();
    filling_ = &shown == &results_[0] ? &results_[1] : &results_[0];
    StartSearch(*filling_, true);
}

void TSearchPanel::RowsFound(std::size_t first, std::size_t count)
{
    if (typed_) ShowCount(first + count);
    if (filling_) {
        if (searchClock_.elapsed() < kKeepFormerRows.count()) return;
        ShowNewRows(first + count);
        return;
    }
    model_->RowsAdded(first, count);
    if (reselect_) SelectFound(first);
}

void TSearchPanel::ShowNewRows(std::size_t count)
{
    QScrollBar* scroll = resultsView_.CurrentView()->verticalScrollBar();
    const int position = scroll->value();
    SearchResults& former = model_->Results();
    model_->ShowResults(*filling_, count);
    filling_ = nullptr;
    model_->SetGrowing(walk_ != nullptr);
    if (former.size() > kKeptResultRows) former = SearchResults{};
    // The view lays out the new rows before the position can be set again.
    resultsView_.CurrentView()->doItemsLayout();
    scroll->setValue(position);
    if (reselect_) SelectFound(0);
}

void TSearchPanel::SelectFound(std::size_t first)
{
    if (resultsView_.SelectedRow() >= 0) {
        // The user has chosen a row of the new results.
        reselect_.reset();
        return;
    }
    const std::optional<std::size_t> row = model_->FindRow(*reselect_, first);
    if (!row) return;
    resultsView_.SelectRow(static_cast<int>(*row));
    reselect_.reset();
}

void TSearchPanel::ShowCount(std::size_t found)
{
    if (countClock_.isValid() && countClock_.elapsed() < kCountInterval.count()) return;
    countClock_.start();
    if (!host_.FolderListShown())
        host_.SetStatusText(kStatusProgress, QString::number(found) + QStringLiteral(" Matches found"));
}

}  // namespace ardvel::gui
