#include "search/SearchResults.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <limits>
#include <stdexcept>

#include "store/RowSort.h"

namespace ardvel {

StringRef ResultTexts::Add(std::string_view a, std::string_view b)
{
    const std::size_t length = a.size() + b.size();
    if (length == 0) return {};
    if (chunks_.size() >= (std::size_t{1} << 16) || length > std::numeric_limits<std::uint32_t>::max())
        throw std::length_error("search results too large");
    char* dest;
    StringRef ref;
    if (length > kChunkSize / 4) {
        oversize_.push_back(std::make_unique_for_overwrite<char[]>(length));
        dest = oversize_.back().get();
        chunks_.push_back(dest);
        ref = {static_cast<std::uint32_t>(chunks_.size() - 1) << 16, static_cast<std::uint32_t>(length)};
        // The current regular chunk, if any, is no longer the last number:
        // start a new one for the next text.
        used_ = kChunkSize;
    } else {
        if (length > kChunkSize - used_) {
            if (nextRegular_ == regular_.size()) regular_.push_back(std::make_unique_for_overwrite<char[]>(kChunkSize));
            chunks_.push_back(regular_[nextRegular_++].get());
            used_ = 0;
        }
        dest = chunks_.back() + used_;
        ref = {(static_cast<std::uint32_t>(chunks_.size() - 1) << 16) | static_cast<std::uint32_t>(used_),
               static_cast<std::uint32_t>(length)};
        used_ += length;
    }
    std::memcpy(dest, a.data(), a.size());
    if (!b.empty()) std::memcpy(dest + a.size(), b.data(), b.size());
    return ref;
}

void ResultTexts::clear() noexcept
{
    chunks_.clear();
    oversize_.clear();
    nextRegular_ = 0;
    used_ = kChunkSize;
}

void SearchResults::clear()
{
    rows_.clear();
    places_.clear();
    strings_.clear();
}

std::string SearchResults::Text(std::size_t i, int column, const Locale& locale) const
{
    const SearchRow& row = rows_[i];
    switch (column) {
        case kColumnName:
            return std::string(Name(i));
        case kColumnVolume:
            return std::string(Volume(i));
        case kColumnPath:
            return std::string(Path(i));
        case kColumnSize:
            return row.SubDir ? std::string(kSubDirText) : FormatSize(row.SizeKB, locale);
        case kColumnModified:
            return FormatDate(row.Date, locale);
        case kColumnMediaInfo:
            return std::string(Media(i));
        default:
            return {};
    }
}

std::array<std::string, kSearchColumnCount> SearchResults::Texts(std::size_t i, const Locale& locale) const
{
    std::array<std::string, kSearchColumnCount> texts;
    for (int c = 0; c < kSearchColumnCount; ++c) texts[c] = Text(i, c, locale);
    return texts;
}

RowKeys SearchResults::Keys(std::size_t i) const noexcept
{
    const SearchRow& row = rows_[i];
    RowKeys keys;
    keys.ImageIndex = row.ImageIndex;
    keys.Caption = Name(i);
    keys.SubDir = row.SubDir;
    keys.SizeKB = row.SizeKB;
    keys.Date = row.Date;
    keys.MediaArtist = Media(i);
    keys.Volume = Volume(i);
    keys.Path = Path(i);
    return keys;
}

void SearchResults::SetFolderTotal(std::size_t i, std::int64_t totalKB) noexcept
{
    rows_[i].SubDir = false;
    rows_[i].SizeKB = totalKB;
}

void SearchResults::Sort(const SortState& sort, const Locale& locale)
{
    if (sort.Column >= kSearchColumnCount) {
        // No column to compare: only the image index orders the rows, and
        // folder rows (image 2) go before file rows (image 4).
        PutFoldersFirst();
        return;
    }
    // The comparison reads the texts through the row's references, which a
    // move leaves intact; sort the rows themselves.
    const auto keys = [this](const SearchRow& row) {
        RowKeys k;
        k.ImageIndex = row.ImageIndex;
        k.Caption = strings_.Get(row.Name);
        k.SubDir = row.SubDir;
        k.SizeKB = row.SizeKB;
        k.Date = row.Date;
        k.MediaArtist = strings_.Get(row.Media);
        k.Volume = strings_.Get(places_[row.Place].Volume);
        k.Path = strings_.Get(places_[row.Place].Path);
        return k;
    };
    SortRowsStable(rows_, keys, sort, ListKind::SearchResults, locale);
}

void SearchResults::PutFoldersFirst()
{
    const auto isFolder = [](const SearchRow& row) { return row.ImageIndex == kFolderImage; };
    if (std::is_partitioned(rows_.begin(), rows_.end(), isFolder)) return;
    // Folders are few beside files: they wait aside while the file rows
    // close up towards the end, each moved once, with no second copy of
    // all the rows.
    std::vector<SearchRow> folders;
    std::copy_if(rows_.begin(), rows_.end(), std::back_inserter(folders), isFolder);
    auto to = rows_.end();
    for (auto from = rows_.end(); from != rows_.begin();) {
        --from;
        if (!isFolder(*from)) *--to = *from;
    }
    std::copy(folders.begin(), folders.end(), rows_.begin());
}

void SearchResults::Reserve(std::size_t rows, std::size_t places) noexcept
{
    try {
        rows_.reserve(rows);
        places_.reserve(places);
    } catch (const std::exception&) {
        // The system would not promise the room: the rows grow as they come.
    }
}

std::uint32_t SearchResults::AddPlace(std::string_view volume, std::string_view path)
{
    places_.push_back(Place{strings_.Add(volume), strings_.Add(path)});
    return static_cast<std::uint32_t>(places_.size() - 1);
}

void SearchResults::AddFile(std::uint32_t place, std::string_view name, std::int32_t sizeKB, TDateTime date,
                            std::string_view artist, std::string_view title)
{
    SearchRow row;
    row.Name = strings_.Add(name);
    row.Media = strings_.Add(artist, title);
    row.ArtistLength = static_cast<std::uint32_t>(artist.size());
    row.Place = place;
    row.ImageIndex = kFileImage;
    row.SizeKB = sizeKB;
    row.Date = date;
    rows_.push_back(row);
}

void SearchResults::AddFolder(std::uint32_t place, std::string_view name, TDateTime date, NodeHandle link)
{
    SearchRow row;
    row.Name = strings_.Add(name);
    row.Place = place;
    row.ImageIndex = kFolderImage;
    row.SubDir = true;
    row.Date = date;
    row.Link = link;
    rows_.push_back(row);
}

}  // namespace ardvel
