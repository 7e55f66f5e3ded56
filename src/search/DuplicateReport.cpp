#include "search/DuplicateReport.h"

#include <algorithm>
#include <ostream>
#include <sstream>

#include "platform/SaveFile.h"
#include "store/ListFormats.h"
#include "store/TabFields.h"

namespace ardvel {

std::string DuplicateNodePath(const CatalogTree& tree, const DuplicateRecord& record)
{
    std::string path = GetNodePath(tree, record.Node);
    if (record.File != kNoFile) {
        const VolumeStore& store = tree.Store(tree.VolumeOf(record.Node));
        path += store.Name(store.Files[record.File]);
    }
    return path;
}

void DuplicateRowWriter::Write(std::size_t group, const DuplicateRecord& r)
{
    // The records of a group often share a folder: its path is made once.
    if (r.Node != pathNode_) {
        pathNode_ = r.Node;
        path_ = GetNodePath(tree_, r.Node);
    }
    std::string nodePath = path_;
    if (r.File != kNoFile) {
        const VolumeStore& store = tree_.Store(tree_.VolumeOf(r.Node));
        nodePath += store.Name(store.Files[r.File]);
    }
    out_ << group << '\t' << EscapeTabField(nodePath) << '\t' << EscapeTabField(FormatSize(r.SizeKB, locale_)) << '\t'
         << EscapeTabField(FormatDate(r.Date, locale_)) << '\n';
}

void DuplicateRowWriter::WriteAll(const DuplicateResult& result)
{
    const auto& groups = result.Groups();
    for (std::size_t g = 0; g < groups.size(); ++g)
        for (std::uint32_t i = 0; i < groups[g].Count; ++i) Write(g + 1, result.Record(groups[g].First + i));
}

int SaveDuplicateLines(const std::string& path, const CatalogTree& tree, const Locale& locale,
                       const DuplicateResult& result)
{
    constexpr std::size_t kChunk = 1 << 16;
    SaveFile file;
    if (const int error = file.Open(path)) return error;
    // Written in chunks: the lines of millions of records need not all be
    // held at once.
    std::ostringstream chunk;
    DuplicateRowWriter rows(tree, locale, chunk);
    const auto flush = [&]() {
        const std::string text = std::move(chunk).str();
        chunk.str({});
        return file.Write(text.data(), text.size());
    };
    const auto& groups = result.Groups();
    for (std::size_t g = 0; g < groups.size(); ++g) {
        for (std::uint32_t i = 0; i < groups[g].Count; ++i) {
            rows.Write(g + 1, result.Record(groups[g].First + i));
            if (chunk.tellp() >= static_cast<std::streamoff>(kChunk))
                if (const int error = flush()) return error;
        }
    }
    if (const int error = flush()) return error;
    return file.Commit(SaveFile::Publish::Replace);
}

std::string DuplicateSummary(std::size_t groups, std::size_t records, bool folders, std::int64_t wastedKB)
{
    return std::to_string(groups) + " groups, " + std::to_string(records) + (folders ? " folders, " : " files, ") +
           std::to_string(wastedKB) + " KB that could be freed";
}

std::int64_t CopiesWastedKB(std::int64_t fileKB, const std::vector<DuplicateRecord>& copies)
{
    if (copies.empty()) return 0;
    std::int64_t total = fileKB, largest = fileKB;
    for (const DuplicateRecord& r : copies) {
        total += r.SizeKB;
        largest = std::max(largest, r.SizeKB);
    }
    return total - largest;
}

}  // namespace ardvel
