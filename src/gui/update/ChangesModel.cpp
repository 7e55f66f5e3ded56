#include "update/ChangesModel.h"

#include <QApplication>
#include <QStyle>

#include "common/QtText.h"
#include "store/ListFormats.h"

namespace ardvel::gui {

namespace {

QIcon KindIcon(ChangeKind kind)
{
    QStyle* style = QApplication::style();
    switch (kind) {
        case ChangeKind::Added:
            return style->standardIcon(QStyle::SP_FileDialogNewFolder);
        case ChangeKind::Removed:
            return style->standardIcon(QStyle::SP_TrashIcon);
        case ChangeKind::Changed:
            return style->standardIcon(QStyle::SP_BrowserReload);
    }
    return {};
}

}  // namespace

QString ChangeKindText(ChangeKind kind)
{
    switch (kind) {
        case ChangeKind::Added:
            return QStringLiteral("Added");
        case ChangeKind::Removed:
            return QStringLiteral("Removed");
        case ChangeKind::Changed:
            return QStringLiteral("Changed");
    }
    return {};
}

ChangesModel::ChangesModel(const Locale& locale, QObject* parent) : QAbstractTableModel(parent), locale_(locale) {}

void ChangesModel::Clear()
{
    beginResetModel();
    changes_.clear();
    endResetModel();
}

void ChangesModel::Add(const TreeChange& change)
{
    const int row = static_cast<int>(changes_.size());
    beginInsertRows(QModelIndex(), row, row);
    changes_.push_back(change);
    endInsertRows();
}

int ChangesModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(changes_.size());
}

int ChangesModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant ChangesModel::Text(const TreeChange& c, int column) const
{
    const bool hasOld = c.Kind != ChangeKind::Added, hasNew = c.Kind != ChangeKind::Removed;
    switch (column) {
        case kChange:
            return ChangeKindText(c.Kind);
        case kPath:
            return FromUtf8(c.Path);
        case kOldSize:
            if (!hasOld) return QString();
            return c.IsFolder ? QString::fromLatin1(kSubDirText) : FromUtf8(FormatSize(c.OldSizeKB, locale_));
        case kNewSize:
            if (!hasNew) return QString();
            return c.IsFolder ? QString::fromLatin1(kSubDirText) : FromUtf8(FormatSize(c.NewSizeKB, locale_));
        case kOldDate:
            return hasOld ? FromUtf8(FormatDate(c.OldDate, locale_)) : QString();
        case kNewDate:
            return hasNew ? FromUtf8(FormatDate(c.NewDate, locale_)) : QString();
    }
    return {};
}

QVariant ChangesModel::SortKey(const TreeChange& c, int column) const
{
    switch (column) {
        case kChange:
            return static_cast<int>(c.Kind);
        case kOldSize:
            return c.IsFolder ? -1 : c.OldSizeKB;
        case kNewSize:
            return c.IsFolder ? -1 : c.NewSizeKB;
        case kOldDate:
            return c.OldDate;
        case kNewDate:
            return c.NewDate;
        default:
            return Text(c, column);
    }
}

QVariant ChangesModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const TreeChange& c = changes_[static_cast<std::size_t>(index.row())];
    if (role == Qt::DisplayRole) return Text(c, index.column());
    if (role == Qt::UserRole) return SortKey(c, index.column());
    if (role == Qt::DecorationRole && index.column() == kChange) return KindIcon(c.Kind);
    if (role == Qt::TextAlignmentRole && (index.column() == kOldSize || index.column() == kNewSize))
        return QVariant(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant ChangesModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    static const char* const kCaptions[kColumnCount] = {"Change",   "Path",     "Old Size",
                                                        "New Size", "Old Date", "New Date"};
    return section >= 0 && section < kColumnCount ? QString::fromLatin1(kCaptions[section]) : QVariant();
}

}  // namespace ardvel::gui
