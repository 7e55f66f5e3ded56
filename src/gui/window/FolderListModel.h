#pragma once

#include <QIcon>
#include <unordered_map>
#include <vector>

#include "common/BackgroundSort.h"
#include "common/ListRowsModel.h"
#include "platform/Locale.h"

namespace ardvel::gui {

/// The folder list: the sub-folders and then the files of the open node,
/// read from the tree on demand. Rows are a permutation of "source rows"
/// (first the node's children in tree order, then its file records in list
/// order), so a folder of a million files costs four bytes a row and no
/// copied names. Texts are formatted when a view asks for them.
class FolderListModel final : public ListRowsModel {
    Q_OBJECT
public:
    enum Column { kName = 0, kSize = 1, kModified = 2, kMediaInfo = 3, kColumnCount = 4 };

    FolderListModel(const CatalogTree& tree, const Locale& locale, QObject* parent = nullptr);

    /// Lists `node`: its children and, below the root, its files, ordered
    /// by `sort`.
    void ShowNode(NodeId node, const SortState& sort);
    /// Removes every row.
    void Clear();
    /// The node listed, kNoNode when none (or when it has been removed).
    NodeId ShownNode() const noexcept;
    /// Clears the list when its node has left the tree; true if it did.
    bool ForgetIfStale();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    ListKind Kind() const override { return ListKind::FolderList; }
    void SortRows(const SortState& sort) override;
    int RowImage(int row) const override;
    NodeHandle RowNode(int row) const override;
    void SetFolderTotal(int row, std::int64_t sizeKB) override;
    int LongestText(int column) const override;

    /// The store index of the file record a row shows; false for a folder
    /// row, no row, or a node that has left the tree.
    bool FileRecordAt(int row, std::uint32_t& file) const;

    /// The node path of a row: "Vol:\A\" for a folder or volume row,
    /// "Vol:\A\name" for a file row; empty for no row.
    std::string RowPath(int row) const;
    /// The row showing the folder or file `name` (exactly so), or -1.
    int RowNamed(std::string_view name, bool folder) const;

    /// The row's caption and texts as the view shows them (column 0..3).
    QString Text(int row, int column) const;

    /// Lists of at least this many rows are sorted on a thread of their
    /// own: they show in tree order until the sorted order is there.
    static constexpr std::size_t kBackgroundSortRows = 100'000;
    void SetBackgroundSortRows(std::size_t rows) noexcept { backgroundRows_ = rows; }
    /// Whether a sort runs on its own thread.
    bool Sorting() const noexcept { return background_.Running(); }
    /// Ends a sort running on its own thread, before the tree changes
    /// under the rows it reads.
    void CancelSort() noexcept;

signals:
    /// A sort on its own thread has put the rows in order.
    void SortFinished();

private:
    /// Sorts the rows on a thread of their own (see kBackgroundSortRows).
    void StartSort(const SortState& sort);
    /// Shows the order that sort made (or sorts again, see SetFolderTotal).
    void SortLanded();
    /// A file row's keys, read from its record.
    static RowKeys FileKeys(const FileList& files, std::uint32_t index);
    bool IsFolder(std::uint32_t source) const noexcept { return source < folders_.size(); }
    RowKeys Keys(std::uint32_t source) const;
    std::string SizeText(std::uint32_t source) const;
    std::string DateText(std::uint32_t source) const;
    std::string_view Caption(std::uint32_t source) const;
    const TDetails& File(std::uint32_t source) const { return files_[source - folders_.size()]; }
    bool Live() const noexcept;

    const CatalogTree& tree_;
    const Locale& locale_;
    NodeHandle shown_;
    bool haveShown_ = false;
    std::vector<NodeId> folders_;  // the shown node's children, in tree order
    FileList files_{nullptr, 0, 0};
    std::vector<std::uint32_t> order_;                        // row -> source row
    std::unordered_map<std::uint32_t, std::int64_t> totals_;  // source row -> folder total
    BackgroundSort background_;
    std::size_t backgroundRows_ = kBackgroundSortRows;
    SortState backgroundSort_;     // the sort running on its own thread
    bool resortWhenDone_ = false;  // a folder total changed while it ran
};

}  // namespace ardvel::gui
