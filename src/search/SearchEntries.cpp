#include "search/SearchEntries.h"

#include <string>

#include "store/EntryRows.h"
#include "store/Records.h"

namespace ardvel {

void WriteSearchEntries(const SearchResults& results, RowWriter& rows)
{
    std::string path;
    for (std::size_t i = 0; i < results.size(); ++i) {
        // The results keep the folder part as "A\B\"; rows use "/".
        path.assign(results.Volume(i));
        path += '/';
        for (char c : results.Path(i)) path += c == '\\' ? '/' : c;
        path += results.Name(i);
        const SearchRow& row = results.Row(i);
        const bool folder = results.IsFolder(i);
        const bool media = !folder && HasMp3Extension(TrimTrailingControls(results.Name(i)));
        WriteEntry(rows, {folder ? EntryType::Folder : EntryType::File, results.Volume(i), path, results.Name(i),
                          static_cast<std::int32_t>(row.SizeKB), row.Date, media, results.Artist(i),
                          results.Title(i)});
    }
}

}  // namespace ardvel
