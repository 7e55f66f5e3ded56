#include "store/VolumeExport.h"

#include <ctime>

#include "store/EntryRows.h"
#include "store/NcduExport.h"
#include "store/OutputFile.h"

namespace ardvel {

void ExportVolumeFile(const CatalogTree& tree, NodeId volume, VolumeExportFormat format, const std::string& path)
{
    OutputFile file(path);
    if (format == VolumeExportFormat::Ncdu) {
        WriteNcduExport(tree, volume, file, static_cast<std::int64_t>(std::time(nullptr)));
    } else {
        RowWriter rows = EntryRowWriter(file, format == VolumeExportFormat::Csv ? RowFormat::Csv : RowFormat::Json);
        WriteVolumeEntries(tree, volume, rows);
        rows.Finish();
    }
    file.Commit();
}

}  // namespace ardvel
