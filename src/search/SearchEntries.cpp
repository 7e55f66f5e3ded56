#include "search/SearchEntries.h"

#include <string>

#include "store/EntryRows.h"
#include "store/OutputFile.h"
#include "store/Records.h"

namespace ardvel {

void WriteSearchEntries(const SearchResults& results, RowWriter& rows, std::span<const std::uint32_t> order)
{
    std::string path;
    const std::size_t count = order.empty() ? results.size() : order.size();
    for (std::size_t k = 0; k < count; ++k) {
        const std::size_t i = order.empty() ? k : order[k];
        // The results keep the folder part as "A\B\"; rows use "/".
        path.assign(results.Volume(i));
        path += '/';
        for (char c : results.Path(i)) path += c == '\\' ? '/' : c;
        path += results.Name(i);
        const SearchRow& row = results.Row(i);
        const bool folder = results.IsFolder(i);
        const bool media = !folder && HasMp3Extension(TrimTrailingControls(results.Name(i)));
        WriteEntry(rows, {folder ? EntryType::Folder : EntryType::File, results.Volume(i), path, results.Name(i),
                          static_cast<std::int32_t>(row.SizeKB), row.Date, media, results.Artist(i), results.Title(i)});
    }
}

void SaveSearchEntries(const SearchResults& results, RowFormat format, const std::string& path,
                       std::span<const std::uint32_t> order)
{
    OutputFile file(path);
    RowWriter rows(file, format, kEntryFields, kEntryPathField);
    WriteSearchEntries(results, rows, order);
    rows.Finish();
    file.Commit();
}

}  // namespace ardvel
