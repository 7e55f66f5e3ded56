#include "update/ChangesPanel.h"

#include <QHeaderView>
#include <QLabel>
#include <QSortFilterProxyModel>
#include <QTreeView>
#include <QVBoxLayout>

#include "common/QtText.h"
#include "update/ChangesModel.h"

namespace ardvel::gui {

ChangesPanel::ChangesPanel(const Locale& locale, QWidget* parent)
    : QWidget(parent),
      model_(new ChangesModel(locale, this)),
      proxy_(new QSortFilterProxyModel(this)),
      view_(new QTreeView(this)),
      counts_(new QLabel(this))
{
    // Rows stay in tree order until a header is clicked.
    proxy_->setSourceModel(model_);
    proxy_->setSortRole(Qt::UserRole);
    view_->setObjectName(QStringLiteral("ChangesView"));
    view_->setAccessibleName(QStringLiteral("Changes"));
    view_->setModel(proxy_);
    view_->setRootIsDecorated(false);
    view_->setUniformRowHeights(true);
    view_->setSortingEnabled(true);
    view_->header()->setSortIndicator(-1, Qt::AscendingOrder);
    view_->setSelectionBehavior(QAbstractItemView::SelectRows);
    counts_->setObjectName(QStringLiteral("CountsLbl"));
    counts_->setAccessibleName(QStringLiteral("Counts"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_, 1);
    layout->addWidget(counts_);
}

void ChangesPanel::Clear()
{
    model_->Clear();
    counts_->clear();
}

void ChangesPanel::Add(const TreeChange& change)
{
    model_->Add(change);
}

void ChangesPanel::ShowSummary(const CompareSummary& summary)
{
    counts_->setText(FromUtf8(ChangeSummaryText(summary)));
    view_->resizeColumnToContents(ChangesModel::kChange);
    view_->resizeColumnToContents(ChangesModel::kPath);
}

}  // namespace ardvel::gui
