// Starting a search again as the user types, keeping the selected row.
#include <QTimer>

#include "common/StyledListView.h"
#include "search/SearchPanel.h"
#include "search/SearchResultsModel.h"
#include "search/SearchTyping.h"
#include "search/SearchWalk.h"

namespace ardvel::gui {

namespace {

/// What tells a row from the others across two searches: its name, volume
/// and path.
QStringList RowKey(const SearchResultsModel& model, int row)
{
    return model.Texts(row).mid(0, 3);
}

}  // namespace

void TSearchPanel::RestartSearch()
{
    Typing->Cancel();
    const int selected = resultsView_.SelectedRow();
    if (selected >= 0) reselect_ = RowKey(*model_, selected);
    if (walk_) {
        // Cancelled without a word: the new search counts and sorts.
        stepTimer_->stop();
        walk_.reset();
    }
    SearchNowClick();
}

void TSearchPanel::SelectAgain()
{
    for (int row = 0; !reselect_.isEmpty() && row < model_->rowCount(); ++row) {
        if (RowKey(*model_, row) == reselect_) {
            resultsView_.SelectRow(row);
            break;
        }
    }
    reselect_.clear();
}

}  // namespace ardvel::gui
