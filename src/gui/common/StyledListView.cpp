#include "common/StyledListView.h"

#include <QHeaderView>
#include <QHelpEvent>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QListView>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QToolTip>
#include <algorithm>

#include "common/DetailsTable.h"

namespace ardvel::gui {

StyledListView::StyledListView(QWidget* parent)
    : QStackedWidget(parent), details_(new DetailsTable), icons_(new QListView)
{
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
    icons_->setLayoutMode(QListView::Batched);
    icons_->setBatchSize(1000);
    icons_->setResizeMode(QListView::Adjust);
    icons_->setMovement(QListView::Static);
    icons_->setWordWrap(true);

    addWidget(details_);
    addWidget(icons_);

    for (QAbstractItemView* view :
         {static_cast<QAbstractItemView*>(details_), static_cast<QAbstractItemView*>(icons_)}) {
        view->installEventFilter(this);
        view->viewport()->installEventFilter(this);
        connect(view, &QAbstractItemView::doubleClicked, this,
                [this](const QModelIndex& index) { emit RowDoubleClicked(index.row()); });
    }
    connect(details_->header(), &QHeaderView::sectionClicked, this, &StyledListView::HeaderClicked);
    SetStyle(kDetails);
}

void StyledListView::SetModel(QAbstractItemModel* model)
{
    if (model_) disconnect(model_, nullptr, this, nullptr);
    model_ = model;
    details_->setModel(model);
    icons_->setModel(model);
    captionWidth_ = 0;
    captionsKnown_ = false;
    if (model) {
        // The cells follow the captions: all of them anew after a reset,
        // the new ones as rows come. Only the small-icon and list styles
        // need them: the others leave them unmeasured until then, so that
        // a list replaced while the user types is not measured each time.
        const auto remeasure = [this] {
            captionsKnown_ = false;
            FitCells();
        };
        connect(model, &QAbstractItemModel::modelReset, this, remeasure);
        // A sort keeps the captions, and so the width; of changed data
        // only the names count.
        connect(model, &QAbstractItemModel::dataChanged, this, [remeasure](const QModelIndex& topLeft) {
            if (topLeft.column() == 0) remeasure();
        });
        connect(model, &QAbstractItemModel::rowsInserted, this, [this](const QModelIndex&, int first, int last) {
            if (captionsKnown_ && MeasuresCaptions())
                MeasureRows(first, last);
            else
                captionsKnown_ = false;
            FitCells();
        });
        captionsKnown_ = false;
        FitCells();
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
            // Icon left, text right, in rows of columns.
            icons_->setViewMode(QListView::ListMode);
            icons_->setIconSize(QSize(16, 16));
            icons_->setFlow(QListView::LeftToRight);
            icons_->setWrapping(true);
            break;
        case kListStyle:
            icons_->setViewMode(QListView::ListMode);
            icons_->setIconSize(QSize(16, 16));
            icons_->setFlow(QListView::TopToBottom);
            icons_->setWrapping(true);
            break;
        default:
            break;
    }
    // A cell of the small-icon and list styles is as wide as its caption,
    // on a grid as wide as the longest (FitCells).
    icons_->setUniformItemSizes(style == kLargeIcons);
    FitCells();
    QWidget* wanted = style == kDetails ? static_cast<QWidget*>(details_) : static_cast<QWidget*>(icons_);
    const bool hadFocus = HasFocus();
    setCurrentWidget(wanted);
    if (hadFocus) wanted->setFocus();
}

QAbstractItemView* StyledListView::CurrentView() const
{
    return style_ == kDetails ? static_cast<QAbstractItemView*>(details_) : static_cast<QAbstractItemView*>(icons_);
}

void StyledListView::SetAccessibleName(const QString& name)
{
    setAccessibleName(name);
    details_->setAccessibleName(name);
    icons_->setAccessibleName(name);
}

void StyledListView::SetMultiSelection(bool on)
{
    const auto mode = on ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection;
    details_->setSelectionMode(mode);
    icons_->setSelectionMode(mode);
}

int StyledListView::SelectedRow() const
{
    const QItemSelectionModel* selection = Selection();
    if (!selection) return -1;
    const QModelIndex current = selection->currentIndex();
    if (current.isValid() && selection->isSelected(current.siblingAtColumn(0))) return current.row();
    const QModelIndexList rows = selection->selectedIndexes();
    return rows.isEmpty() ? -1 : rows.first().row();
}

std::vector<int> StyledListView::SelectedRows() const
{
    std::vector<int> rows;
    if (const QItemSelectionModel* selection = Selection())
        for (const QModelIndex& index : selection->selectedIndexes()) rows.push_back(index.row());
    // The details style selects every cell of a row.
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
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

void StyledListView::MeasureRows(int first, int last)
{
    if (!model_) return;
    const QFontMetrics metrics(icons_->font());
    last = std::min(last, kMeasuredRows - 1);
    for (int row = std::max(first, 0); row <= last; ++row)
        captionWidth_ = std::max(captionWidth_, metrics.horizontalAdvance(model_->index(row, 0).data().toString()));
}

bool StyledListView::MeasuresCaptions() const noexcept
{
    return style_ == kSmallIcons || style_ == kListStyle;
}

void StyledListView::FitCells()
{
    if (!MeasuresCaptions()) return;
    if (!captionsKnown_) {
        captionWidth_ = 0;
        if (model_) MeasureRows(0, model_->rowCount() - 1);
        captionsKnown_ = true;
    }
    // As the item delegate lays out a cell: a margin either side of the
    // icon and of the text.
    const int margin = icons_->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, icons_) + 1;
    const QFontMetrics metrics(icons_->font());
    const int icon = icons_->iconSize().width();
    const int width = std::min(captionWidth_, kMaxCellWidth) + icon + 4 * margin + 2;
    const int height = std::max(metrics.height(), icons_->iconSize().height()) + 4;
    icons_->setGridSize(QSize(width, height));
}

QString StyledListView::CutCaption(const QModelIndex& index) const
{
    if (!index.isValid()) return {};
    const QString text = index.data().toString();
    QStyleOptionViewItem option;
    QAbstractItemView* view = CurrentView();
    option.initFrom(view);
    option.decorationSize = style_ == kDetails ? QSize(16, 16) : icons_->iconSize();
    option.features |= QStyleOptionViewItem::HasDisplay;
    if (style_ == kLargeIcons) {
        option.decorationPosition = QStyleOptionViewItem::Top;
        option.features |= QStyleOptionViewItem::WrapText;
    }
    const QSize wanted = view->itemDelegate()->sizeHint(option, index);
    const QRect cell = view->visualRect(index);
    const bool cut = wanted.width() > cell.width() || wanted.height() > cell.height();
    return cut ? text : QString();
}

bool StyledListView::ShowToolTip(QEvent* event)
{
    auto* help = static_cast<QHelpEvent*>(event);
    QAbstractItemView* view = CurrentView();
    const QString text = CutCaption(view->indexAt(help->pos()));
    if (text.isEmpty()) {
        QToolTip::hideText();
        return false;
    }
    QToolTip::showText(help->globalPos(), text, view->viewport());
    return true;
}

bool StyledListView::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ToolTip && (watched == details_->viewport() || watched == icons_->viewport()))
        return ShowToolTip(event) || QStackedWidget::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress && (watched == details_ || watched == icons_)) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Space && key->modifiers() == Qt::NoModifier) {
            emit SpacePressed();
            return true;
        }
        // Enter opens the selected row, as a double click does.
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && SelectedRow() >= 0) {
            emit RowDoubleClicked(SelectedRow());
            return true;
        }
    }
    return QStackedWidget::eventFilter(watched, event);
}

}  // namespace ardvel::gui
