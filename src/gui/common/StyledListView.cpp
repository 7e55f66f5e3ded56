#include "common/StyledListView.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QListView>
#include <QTreeView>

namespace ardvel::gui {

StyledListView::StyledListView(QWidget* parent) : QStackedWidget(parent), details_(new QTreeView), icons_(new QListView)
{
    details_->setRootIsDecorated(false);
    details_->setItemsExpandable(false);
    details_->setUniformRowHeights(true);
    details_->setAllColumnsShowFocus(true);
    details_->setSelectionBehavior(QAbstractItemView::SelectRows);
    details_->setSelectionMode(QAbstractItemView::SingleSelection);
    details_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    details_->setSortingEnabled(false);
    details_->header()->setSectionsClickable(true);
    details_->header()->setSectionsMovable(false);
    details_->header()->setStretchLastSection(false);
    details_->header()->setSortIndicatorShown(false);
    // Column sizing may make a column narrower than the style would.
    details_->header()->setMinimumSectionSize(8);

    icons_->setSelectionMode(QAbstractItemView::SingleSelection);
    icons_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    icons_->setUniformItemSizes(true);
    icons_->setLayoutMode(QListView::Batched);
    icons_->setBatchSize(1000);
    icons_->setResizeMode(QListView::Adjust);
    icons_->setMovement(QListView::Static);
    icons_->setWordWrap(true);

    addWidget(details_);
    addWidget(icons_);

    for (QAbstractItemView* view : {static_cast<QAbstractItemView*>(details_), static_cast<QAbstractItemView*>(icons_)}) {
        view->installEventFilter(this);
        connect(view, &QAbstractItemView::doubleClicked, this,
                [this](const QModelIndex& index) { emit RowDoubleClicked(index.row()); });
    }
    connect(details_->header(), &QHeaderView::sectionClicked, this, &StyledListView::HeaderClicked);
    SetStyle(kDetails);
}

void StyledListView::SetModel(QAbstractItemModel* model)
{
    model_ = model;
    details_->setModel(model);
    icons_->setModel(model);
    if (model) {
        QItemSelectionModel* own = icons_->selectionModel();
        icons_->setSelectionModel(details_->selectionModel());
        if (own != details_->selectionModel()) delete own;
    }
}

QItemSelectionModel* StyledListView::Selection() const
{
    return details_->selectionModel();
}

void StyledListView::SetStyle(int style)
{
    if (style < kLargeIcons || style > kDetails) style = kDetails;
    style_ = style;
    switch (style) {
    case kLargeIcons:
        icons_->setViewMode(QListView::IconMode);
        icons_->setIconSize(QSize(32, 32));
        icons_->setGridSize(QSize(80, 64));
        icons_->setFlow(QListView::LeftToRight);
        icons_->setWrapping(true);
        break;
    case kSmallIcons:
        icons_->setViewMode(QListView::IconMode);
        icons_->setIconSize(QSize(16, 16));
        icons_->setGridSize(QSize(140, 20));
        icons_->setFlow(QListView::LeftToRight);
        icons_->setWrapping(true);
        break;
    case kListStyle:
        icons_->setViewMode(QListView::ListMode);
        icons_->setIconSize(QSize(16, 16));
        icons_->setGridSize(QSize());
        icons_->setFlow(QListView::TopToBottom);
        icons_->setWrapping(true);
        break;
    default: break;
    }
    QWidget* wanted = style == kDetails ? static_cast<QWidget*>(details_) : static_cast<QWidget*>(icons_);
    const bool hadFocus = HasFocus();
    setCurrentWidget(wanted);
    if (hadFocus) wanted->setFocus();
}

QAbstractItemView* StyledListView::CurrentView() const
{
    return style_ == kDetails ? static_cast<QAbstractItemView*>(details_) : static_cast<QAbstractItemView*>(icons_);
}

int StyledListView::SelectedRow() const
{
    const QItemSelectionModel* selection = Selection();
    if (!selection) return -1;
    const QModelIndexList rows = selection->selectedIndexes();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void StyledListView::SelectRow(int row)
{
    if (!model_ || !Selection()) return;
    const QModelIndex index = model_->index(row, 0);
    Selection()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

bool StyledListView::HasFocus() const
{
    return details_->hasFocus() || icons_->hasFocus();
}

bool StyledListView::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && (watched == details_ || watched == icons_)) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Space && key->modifiers() == Qt::NoModifier) {
            emit SpacePressed();
            return true;
        }
    }
    return QStackedWidget::eventFilter(watched, event);
}

}  // namespace ardvel::gui
