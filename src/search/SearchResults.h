#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Locale.h"
#include "store/CatalogTree.h"
#include "store/ListFormats.h"
#include "store/StringPool.h"

namespace ardvel {

/// Columns of the search results list.
enum SearchColumn : int {
    kColumnName = 0,
    kColumnVolume = 1,
    kColumnPath = 2,
    kColumnSize = 3,
    kColumnModified = 4,
    kColumnMediaInfo = 5,
    kSearchColumnCount = 6,
};

inline constexpr int kFileImage = 4;
inline constexpr int kFolderImage = 2;

/// One row of the results. Its texts live in the results' own store, so rows
/// outlive any change of the catalog tree; a folder row keeps a handle to its
/// node, which the tree finds stale once that node is gone.
struct SearchRow {
    StringRef Name;
    StringRef Media;          ///< ArtistText followed by TitleText
    std::uint32_t Place = 0;  ///< volume and path, shared by the rows of one folder
    std::int32_t ImageIndex = kFileImage;
    bool SubDir = false;             ///< the size text is "[SUB-DIR]"
    std::uint32_t ArtistLength = 0;  ///< Media begins with ArtistText of this length
    std::int64_t SizeKB = 0;
    TDateTime Date = 0;
    NodeHandle Link;  ///< folder rows; Index kNoNode for file rows
};

/// Append-only store of the texts of search results. Texts sit in 64 KiB
/// chunks that never move; emptying keeps the chunks for the next search, so
/// a search typed again and again does not ask the system for memory anew.
class ResultTexts {
public:
    static constexpr std::size_t kChunkSize = std::size_t{1} << 16;

    /// Stores `a` immediately followed by `b`.
    StringRef Add(std::string_view a, std::string_view b = {});
    std::string_view Get(StringRef ref) const noexcept
    {
        if (ref.Length == 0) return {};
        return {chunks_[ref.Ref >> 16] + (ref.Ref & 0xFFFF), ref.Length};
    }
    void clear() noexcept;

private:
    std::vector<char*> chunks_;                      ///< chunks in use, by number
    std::vector<std::unique_ptr<char[]>> regular_;   ///< every chunk of kChunkSize, kept
    std::vector<std::unique_ptr<char[]>> oversize_;  ///< texts longer than a quarter chunk
    std::size_t nextRegular_ = 0;
    std::size_t used_ = kChunkSize;
};

/// The rows of a search, in the order the list holds them.
class SearchResults {
public:
    std::size_t size() const noexcept { return rows_.size(); }
    /// How many rows there is room for without moving them (see Reserve).
    std::size_t ReservedRows() const noexcept { return rows_.capacity(); }
    bool empty() const noexcept { return rows_.empty(); }
    void clear();

    const SearchRow& Row(std::size_t i) const noexcept { return rows_[i]; }
    std::string_view Name(std::size_t i) const noexcept { return strings_.Get(rows_[i].Name); }
    std::string_view Volume(std::size_t i) const noexcept { return strings_.Get(places_[rows_[i].Place].Volume); }
    std::string_view Path(std::size_t i) const noexcept { return strings_.Get(places_[rows_[i].Place].Path); }
    std::string_view Media(std::size_t i) const noexcept { return strings_.Get(rows_[i].Media); }
    std::string_view Artist(std::size_t i) const noexcept { return Media(i).substr(0, rows_[i].ArtistLength); }
    std::string_view Title(std::size_t i) const noexcept { return Media(i).substr(rows_[i].ArtistLength); }
    bool IsFolder(std::size_t i) const noexcept { return rows_[i].ImageIndex == kFolderImage; }
    NodeHandle Link(std::size_t i) const noexcept { return rows_[i].Link; }

    /// The text of one column, as the list shows it.
    std::string Text(std::size_t i, int column, const Locale& locale) const;
    /// The six texts of a row, in column order.
    std::array<std::string, kSearchColumnCount> Texts(std::size_t i, const Locale& locale) const;
    /// The row as the shared list comparison sees it.
    RowKeys Keys(std::size_t i) const noexcept;

    /// The folder total: the row's size text becomes `totalKB` in the size
    /// format in place of "[SUB-DIR]". The row does not move.
    void SetFolderTotal(std::size_t i, std::int64_t totalKB) noexcept;

    /// Stable sort by the list comparison under `sort`.
    void Sort(const SortState& sort, const Locale& locale);

    // -- filled by the search ---------------------------------------------

    /// Room for `rows` rows and `places` places, so that the rows never move
    /// while a search adds them: moving a million rows would hold the window
    /// for tens of milliseconds. Only the rows added take memory; without
    /// room to reserve, the rows grow as they come.
    void Reserve(std::size_t rows, std::size_t places) noexcept;

    /// Registers the volume and in-volume path that rows then refer to.
    /// Rows are added at the end; clear() keeps the memory for the next search.
    std::uint32_t AddPlace(std::string_view volume, std::string_view path);
    void AddFile(std::uint32_t place, std::string_view name, std::int32_t sizeKB, TDateTime date,
                 std::string_view artist, std::string_view title);
    void AddFolder(std::uint32_t place, std::string_view name, TDateTime date, NodeHandle link);

private:
    /// Folder rows before file rows, each in their order.
    void PutFoldersFirst();

    struct Place {
        StringRef Volume;
        StringRef Path;
    };
    std::vector<SearchRow> rows_;
    std::vector<Place> places_;
    ResultTexts strings_;
};

}  // namespace ardvel
