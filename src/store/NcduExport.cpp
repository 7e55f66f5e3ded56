#include "store/NcduExport.h"

#include <vector>

#include "store/ExportFormats.h"
#include "store/TreeWalk.h"

namespace ardvel {

namespace {
constexpr std::size_t kFlushSize = 1 << 16;
}

NcduWriter::NcduWriter(ByteSink& sink, std::int64_t timestamp) : sink_(sink)
{
    buffer_.reserve(kFlushSize + 4096);
    // Minor version 1: the info objects carry mtime, the extended field.
    buffer_ += "[1,1,{\"progname\":\"ardvel\",\"timestamp\":";
    AppendInteger(buffer_, timestamp);
    buffer_ += "}";
}

void NcduWriter::Info(std::string_view name, TDateTime date)
{
    buffer_ += "{\"name\":";
    AppendJsonString(buffer_, name);
    buffer_ += ",\"mtime\":";
    AppendInteger(buffer_, LocalDateTimeToUnix(date));
    buffer_ += '}';
    ++records_;
}

void NcduWriter::BeginFolder(std::string_view name, TDateTime date)
{
    buffer_ += ",\n[";
    Info(name, date);
    ++depth_;
}

void NcduWriter::File(std::string_view name, std::int32_t sizeKB, TDateTime date)
{
    const std::int64_t bytes = std::int64_t{sizeKB} * 1024;
    buffer_ += ",\n{\"name\":";
    AppendJsonString(buffer_, name);
    buffer_ += ",\"asize\":";
    AppendInteger(buffer_, bytes);
    buffer_ += ",\"dsize\":";
    AppendInteger(buffer_, bytes);
    buffer_ += ",\"mtime\":";
    AppendInteger(buffer_, LocalDateTimeToUnix(date));
    buffer_ += '}';
    ++records_;
    FlushIfFull();
}

void NcduWriter::EndFolder()
{
    if (depth_ == 0) return;
    buffer_ += ']';
    --depth_;
}

void NcduWriter::FlushIfFull()
{
    if (buffer_.size() < kFlushSize) return;
    sink_.Write(buffer_);
    buffer_.clear();
}

void NcduWriter::Finish()
{
    while (depth_ > 0) EndFolder();
    buffer_ += "]\n";
    sink_.Write(buffer_);
    buffer_.clear();
}

void WriteNcduExport(CatalogReader& reader, std::string_view volume, ByteSink& sink, std::int64_t timestamp)
{
    const TFolderInfo header = reader.ReadHeader();
    NcduWriter ncdu(sink, timestamp);
    ncdu.BeginFolder(volume, header.Date);
    CatalogReader::Record r;
    while (reader.ReadRecord(r)) {
        if (r.IsFolder) {
            // Placed by level as loading places it: under the open folder
            // of level Level - 1, never above the volume.
            const std::size_t parentLevel = r.Level < 2 ? 1 : static_cast<std::size_t>(r.Level - 1);
            while (ncdu.Depth() > parentLevel) ncdu.EndFolder();
            ncdu.BeginFolder(r.Name, r.Date);
        } else {
            ncdu.File(r.Name, r.SizeKB, r.Date);
        }
    }
    ncdu.Finish();
}

void WriteNcduExport(const CatalogTree& tree, NodeId volume, ByteSink& sink, std::int64_t timestamp)
{
    NcduWriter ncdu(sink, timestamp);
    ForEachFolderPreOrder(tree, volume, [&](NodeId folder, std::size_t depth) {
        // The folders walked out of since the last one are closed first.
        while (ncdu.Depth() > depth) ncdu.EndFolder();
        ncdu.BeginFolder(tree.Text(folder), tree.Info(folder).Date);
        const FileList files = tree.Files(folder);
        for (const TDetails& d : files) ncdu.File(files.Store().Name(d), d.SizeKB, d.Date);
    });
    ncdu.Finish();
}

}  // namespace ardvel
