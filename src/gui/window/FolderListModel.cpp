#include "window/FolderListModel.h"

#include <algorithm>
#include <memory>
#include <numeric>

#include "common/Icons.h"
#include "common/QtText.h"
#include "store/RowSort.h"

namespace ardvel::gui {

FolderListModel::FolderListModel(const CatalogTree& tree, const Locale& locale, QObject* parent)
    : ListRowsModel(parent), tree_(tree), locale_(locale)
{
}

bool FolderListModel::Live() const noexcept
{
    return haveShown_ && tree_.Resolve(shown_) != kNoNode;
}

bool FolderListModel::FileRecordAt(int row, std::uint32_t& file) const
{
    if (row < 0 || static_cast<std::size_t>(row) >= order_.size() || !Live()) return false;
    const std::uint32_t source = order_[static_cast<std::size_t>(row)];
    if (IsFolder(source)) return false;
    file = files_.Begin() + static_cast<std::uint32_t>(source - folders_.size());
    return true;
}

std::string FolderListModel::RowPath(int row) const
{
    if (row < 0 || static_cast<std::size_t>(row) >= order_.size() || !Live()) return {};
    const std::uint32_t source = order_[static_cast<std::size_t>(row)];
    if (IsFolder(source)) return GetNodePath(tree_, folders_[source]);
    return GetNodePath(tree_, ShownNode()) + std::string(Caption(source));
}

int FolderListModel::RowNamed(std::string_view name, bool folder) const
{
    if (!Live()) return -1;
    for (std::size_t row = 0; row < order_.size(); ++row)
        if (IsFolder(order_[row]) == folder && Caption(order_[row]) == name) return static_cast<int>(row);
    return -1;
}

NodeId FolderListModel::ShownNode() const noexcept
{
    return haveShown_ ? tree_.Resolve(shown_) : kNoNode;
}

void FolderListModel::ShowNode(NodeId node, const SortState& sort)
{
    CancelSort();
    beginResetModel();
    haveShown_ = true;
    shown_ = tree_.Handle(node);
    const auto children = tree_.Children(node);
    folders_.assign(children.begin(), children.end());
    files_ = tree_.Files(node);
    totals_.clear();
    order_.resize(folders_.size() + files_.size());
    std::iota(order_.begin(), order_.end(), 0u);
    if (order_.size() >= backgroundRows_) {
        endResetModel();
        StartSort(sort);
        return;
    }
    SortRowsStable(
        order_, [this](std::uint32_t i) { return Keys(i); }, sort, ListKind::FolderList, locale_);
    endResetModel();
}

void FolderListModel::CancelSort() noexcept
{
    background_.Cancel();
    resortWhenDone_ = false;
}

void FolderListModel::StartSort(const SortState& sort)
{
    // The other thread reads the folder rows' keys from a copy (node texts
    // move when the tree grows) and the file rows' from their records,
    // which stay where they are until the volume changes; the window ends
    // the sort before that (CancelSort).
    struct Folders {
        std::vector<std::string> Names;
        std::vector<RowKeys> Keys;
    };
    auto folders = std::make_shared<Folders>();
    folders->Names.reserve(folders_.size());  // the names stay where they are made
    for (std::uint32_t i = 0; i < folders_.size(); ++i) {
        RowKeys keys = Keys(i);
        keys.Caption = folders->Names.emplace_back(keys.Caption);
        folders->Keys.push_back(keys);
    }
    backgroundSort_ = sort;
    resortWhenDone_ = false;
    const FileList files = files_;
    const Locale& locale = locale_;
    background_.Start(
        this, &order_,
        [folders, files, sort, &locale](BackgroundSort::Order& order, const SortPoll& poll) {
            const std::size_t folderCount = folders->Keys.size();
            const auto keys = [&](std::uint32_t i) {
                poll();
                return i < folderCount ? folders->Keys[i]
                                       : FileKeys(files, static_cast<std::uint32_t>(i - folderCount));
            };
            SortRowsStable(order, keys, sort, ListKind::FolderList, locale, poll);
        },
        [this] { SortLanded(); });
}

void FolderListModel::SortLanded()
{
    BackgroundSort::Order sorted;
    if (background_.Take(sorted) && sorted.size() == order_.size())
        ReorderRows(order_, order_.size(), [&] { order_.swap(sorted); });
    if (resortWhenDone_) {
        StartSort(backgroundSort_);
        return;
    }
    emit SortFinished();
}

void FolderListModel::Clear()
{
    CancelSort();
    beginResetModel();
    haveShown_ = false;
    shown_ = {};
    folders_.clear();
    files_ = FileList(nullptr, 0, 0);
    order_.clear();
    totals_.clear();
    endResetModel();
}

bool FolderListModel::ForgetIfStale()
{
    if (!haveShown_ || Live()) return false;
    Clear();
    return true;
}

int FolderListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() || !Live() ? 0 : static_cast<int>(order_.size());
}

int FolderListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kColumnCount;
}

std::string_view FolderListModel::Caption(std::uint32_t source) const
{
    return IsFolder(source) ? tree_.Text(folders_[source]) : files_.Store().Name(File(source));
}

RowKeys FolderListModel::Keys(std::uint32_t source) const
{
    RowKeys k;
    if (IsFolder(source)) {
        const NodeId node = folders_[source];
        k.ImageIndex = tree_.ImageIndex(node);
        k.Caption = tree_.Text(node);
        const auto total = totals_.find(source);
        k.SubDir = total == totals_.end();
        if (!k.SubDir) k.SizeKB = total->second;
        k.Date = tree_.Info(node).Date;
    } else {
        k = FileKeys(files_, static_cast<std::uint32_t>(source - folders_.size()));
    }
    return k;
}

RowKeys FolderListModel::FileKeys(const FileList& files, std::uint32_t index)
{
    const TDetails& d = files[index];
    const VolumeStore& store = files.Store();
    RowKeys k;
    k.ImageIndex = kFileImage;
    k.Caption = store.Name(d);
    k.SizeKB = d.SizeKB;
    k.Date = d.Date;
    k.MediaArtist = store.Artist(d);
    k.MediaTitle = store.Title(d);
    return k;
}

std::string FolderListModel::SizeText(std::uint32_t source) const
{
    if (IsFolder(source)) {
        const auto total = totals_.find(source);
        return total == totals_.end() ? std::string(kSubDirText) : FormatSize(total->second, locale_);
    }
    return FormatSize(File(source).SizeKB, locale_);
}

std::string FolderListModel::DateText(std::uint32_t source) const
{
    return FormatDate(IsFolder(source) ? tree_.Info(folders_[source]).Date : File(source).Date, locale_);
}

QString FolderListModel::Text(int row, int column) const
{
    if (row < 0 || row >= rowCount()) return {};
    const std::uint32_t source = order_[static_cast<std::size_t>(row)];
    switch (column) {
        case kName:
            return FromUtf8(Caption(source));
        case kSize:
            return QString::fromStdString(SizeText(source));
        case kModified:
            return QString::fromStdString(DateText(source));
        case kMediaInfo:
            if (IsFolder(source)) return {};
            return FromUtf8(files_.Store().Artist(File(source))) + FromUtf8(files_.Store().Title(File(source)));
        default:
            return {};
    }
}

QVariant FolderListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || !Live() || index.row() >= static_cast<int>(order_.size())) return {};
    switch (role) {
        case Qt::DisplayRole:
            return Text(index.row(), index.column());
        case Qt::DecorationRole:
            if (index.column() == kName) return ListImage(RowImage(index.row()));
            return {};
        case Qt::TextAlignmentRole:
            if (index.column() == kSize) return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
            return {};
        default:
            return {};
    }
}

QVariant FolderListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal) return {};
    if (role == Qt::DisplayRole) {
        switch (section) {
            case kName:
                return QStringLiteral("Name");
            case kSize:
                return QStringLiteral("Size");
            case kModified:
                return QStringLiteral("Modified");
            case kMediaInfo:
                return QStringLiteral("Media Info");
            default:
                return {};
        }
    }
    if (role == Qt::TextAlignmentRole && section == kSize)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

void FolderListModel::SortRows(const SortState& sort)
{
    if (!Live()) return;
    if (order_.size() >= backgroundRows_) {
        StartSort(sort);
        return;
    }
    CancelSort();
    ReorderRows(order_, order_.size(), [&] {
        SortRowsStable(
            order_, [this](std::uint32_t i) { return Keys(i); }, sort, ListKind::FolderList, locale_);
    });
}

int FolderListModel::RowImage(int row) const
{
    if (row < 0 || row >= rowCount()) return -1;
    const std::uint32_t source = order_[static_cast<std::size_t>(row)];
    return IsFolder(source) ? tree_.ImageIndex(folders_[source]) : kFileImage;
}

NodeHandle FolderListModel::RowNode(int row) const
{
    if (row < 0 || row >= rowCount()) return {};
    const std::uint32_t source = order_[static_cast<std::size_t>(row)];
    return IsFolder(source) ? tree_.Handle(folders_[source]) : NodeHandle{};
}

void FolderListModel::SetFolderTotal(int row, std::int64_t sizeKB)
{
    if (row < 0 || row >= rowCount()) return;
    const std::uint32_t source = order_[static_cast<std::size_t>(row)];
    if (!IsFolder(source)) return;
    totals_[source] = sizeKB;
    // A sort running elsewhere read the former total: it sorts again.
    if (background_.Running()) resortWhenDone_ = true;
    const QModelIndex cell = index(row, kSize);
    emit dataChanged(cell, cell);
}

int FolderListModel::LongestText(int column) const
{
    if (!Live()) return 0;
    int longest = 0;
    switch (column) {
        case kName:
            for (std::uint32_t s : order_) longest = std::max(longest, CharacterCount(Caption(s)));
            return longest;
        case kSize: {
            // A size text grows with the size within each unit, so the largest
            // and smallest sizes of each unit are enough.
            std::int64_t kbMax = INT64_MIN, kbMin = INT64_MAX, mbMax = INT64_MIN;
            auto note = [&](std::int64_t kb) {
                if (kb <= 999) {
                    kbMax = std::max(kbMax, kb);
                    kbMin = std::min(kbMin, kb);
                } else {
                    mbMax = std::max(mbMax, kb);
                }
            };
            for (std::uint32_t s = 0; s < order_.size(); ++s) {
                if (!IsFolder(s)) {
                    note(File(s).SizeKB);
                } else if (const auto t = totals_.find(s); t != totals_.end()) {
                    note(t->second);
                } else {
                    longest = std::max(longest, CharacterCount(kSubDirText));
                }
            }
            for (std::int64_t kb : {kbMax, kbMin, mbMax})
                if (kb != INT64_MIN && kb != INT64_MAX)
                    longest = std::max(longest, CharacterCount(FormatSize(kb, locale_)));
            return longest;
        }
        case kModified: {
            // Many files of a folder share a date-time: format each one once.
            TDateTime last = 0;
            bool haveLast = false;
            for (std::uint32_t s = 0; s < order_.size(); ++s) {
                const TDateTime date = IsFolder(s) ? tree_.Info(folders_[s]).Date : File(s).Date;
                if (haveLast && date == last) continue;
                last = date;
                haveLast = true;
                longest = std::max(longest, CharacterCount(FormatDate(date, locale_)));
            }
            return longest;
        }
        case kMediaInfo:
            for (std::uint32_t s = folders_.size(); s < order_.size(); ++s) {
                const TDetails& d = File(s);
                longest = std::max(longest,
                                   CharacterCount(files_.Store().Artist(d)) + CharacterCount(files_.Store().Title(d)));
            }
            return longest;
        default:
            return 0;
    }
}

}  // namespace ardvel::gui
