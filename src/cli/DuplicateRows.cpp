#include "cli/DuplicateRows.h"

#include "store/EntryRows.h"

namespace ardvel::cli {

void DuplicateRows::Write(std::size_t group, const DuplicateRecord& r)
{
    // The records of a group often share a folder: its path is made once.
    if (r.Node != pathNode_) {
        pathNode_ = r.Node;
        path_ = EntryPathOf(tree_, r.Node);
    }
    std::string_view name = tree_.Text(r.Node);
    std::string path = path_;
    if (r.File != kNoFile) {
        const VolumeStore& store = tree_.Store(tree_.VolumeOf(r.Node));
        name = store.Name(store.Files[r.File]);
        path += '/';
        path += name;
    }
    rows_.Integer(static_cast<std::int64_t>(group)).Text(tree_.Text(tree_.VolumeOf(r.Node))).Text(path).Text(name);
    rows_.Integer(r.SizeKB * 1024).Integer(r.SizeKB).Date(r.Date);
    rows_.EndRow();
}

void DuplicateRows::WriteAll(const DuplicateResult& result)
{
    const auto& groups = result.Groups();
    for (std::size_t g = 0; g < groups.size(); ++g)
        for (std::uint32_t i = 0; i < groups[g].Count; ++i) Write(g + 1, result.Record(groups[g].First + i));
}

}  // namespace ardvel::cli
