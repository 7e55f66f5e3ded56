#pragma once

// The sortable list of changes with its counts, shared by the update and
// compare dialogs.

#include <QWidget>

#include "catalog/CompareTrees.h"
#include "platform/Locale.h"

class QLabel;
class QSortFilterProxyModel;
class QTreeView;

namespace ardvel::gui {

class ChangesModel;

class ChangesPanel final : public QWidget {
    Q_OBJECT
public:
    explicit ChangesPanel(const Locale& locale, QWidget* parent = nullptr);

    void Clear();
    void Add(const TreeChange& change);
    /// The counts line: the summary text of the changes listed.
    void ShowSummary(const CompareSummary& summary);

    ChangesModel& Model() noexcept { return *model_; }
    QTreeView& View() noexcept { return *view_; }
    QLabel& Counts() noexcept { return *counts_; }

private:
    ChangesModel* model_;
    QSortFilterProxyModel* proxy_;
    QTreeView* view_;
    QLabel* counts_;
};

}  // namespace ardvel::gui
