// The folders way of the duplicate search: folders with the same name, total
// size and number of files below them.
#include <algorithm>

#include "search/DuplicateBuilder.h"

namespace ardvel {

namespace {

constexpr std::uint32_t kNoParent = 0xFFFFFFFFu;

/// The folders below the scope's start nodes, in tree order, with their
/// totals and the number of their parent folder (kNoParent for a start
/// node's child).
struct ScopeFolders {
    std::vector<DuplicateRecord> Records;
    std::vector<std::uint64_t> FileCounts;
    std::vector<std::uint32_t> Parents;
};

ScopeFolders CollectFolders(const CatalogTree& tree, const SearchScope& scope)
{
    ScopeFolders f;
    std::vector<std::uint32_t> numberOf;  // by node id, the folder's number while walking
    for (NodeId start : ScopeStarts(tree, scope)) {
        VisitTreeOrder(tree, start, [&](NodeId node) {
            if (node == start) return;
            if (numberOf.size() <= node) numberOf.resize(std::size_t{node} + 1, kNoParent);
            const NodeId parent = tree.Parent(node);
            numberOf[node] = static_cast<std::uint32_t>(f.Records.size());
            f.Parents.push_back(parent == start ? kNoParent : numberOf[parent]);
            std::int64_t own = 0;
            for (const TDetails& d : tree.Files(node)) own += d.SizeKB;
            f.Records.push_back(DuplicateRecord{node, kNoFile, own, tree.Info(node).Date});
            f.FileCounts.push_back(tree.Files(node).size());
        });
    }
    // Children come after their parents: adding up backwards gives totals.
    for (std::size_t i = f.Records.size(); i-- > 0;) {
        const std::uint32_t parent = f.Parents[i];
        if (parent == kNoParent) continue;
        f.Records[parent].SizeKB += f.Records[i].SizeKB;
        f.FileCounts[parent] += f.FileCounts[i];
    }
    return f;
}

/// A group whose folders all lie in the folders of one other group says
/// nothing that group does not: the copies of a folder hold copies of its
/// sub-folders.
std::vector<bool> NestedGroups(const DuplicateBuilder& builder, const ScopeFolders& folders)
{
    std::vector<std::uint32_t> groupOf(folders.Records.size(), kNoParent);
    for (std::size_t g = 0; g < builder.GroupCount(); ++g)
        for (std::uint32_t n : builder.GroupNumbers(g)) groupOf[n] = static_cast<std::uint32_t>(g);
    std::vector<bool> nested(builder.GroupCount(), false);
    for (std::size_t g = 0; g < builder.GroupCount(); ++g) {
        const auto numbers = builder.GroupNumbers(g);
        const std::uint32_t first = folders.Parents[numbers[0]];
        if (first == kNoParent || groupOf[first] == kNoParent) continue;
        nested[g] = std::all_of(numbers.begin(), numbers.end(), [&](std::uint32_t n) {
            const std::uint32_t parent = folders.Parents[n];
            return parent != kNoParent && groupOf[parent] == groupOf[first];
        });
    }
    return nested;
}

}  // namespace

void FindFolderDuplicates(DuplicateBuilder& builder, const CatalogTree& tree, const SearchScope& scope,
                          const DuplicateOptions& options, KeyHasher& hasher)
{
    ScopeFolders folders = CollectFolders(tree, scope);
    const auto count = static_cast<std::uint32_t>(folders.Records.size());
    HashGroups hashes(count, count);
    for (std::uint32_t i = 0; i < count; ++i) {
        const DuplicateRecord& r = folders.Records[i];
        // A folder without files holds nothing that could be stored twice.
        if (folders.FileCounts[i] == 0 || r.SizeKB < options.MinSizeKB) continue;
        hashes.Add(hasher.FolderHash(tree.Text(r.Node), r.SizeKB, folders.FileCounts[i]), i);
    }
    hashes.Sort();
    const auto same = [&](std::uint32_t placeA, std::uint32_t placeB) {
        const std::uint32_t a = hashes.NumberAt(placeA), b = hashes.NumberAt(placeB);
        const DuplicateRecord &x = folders.Records[a], &y = folders.Records[b];
        return x.SizeKB == y.SizeKB && folders.FileCounts[a] == folders.FileCounts[b] &&
               hasher.SameName(tree.Text(x.Node), tree.Text(y.Node));
    };
    const auto size = [&](std::uint32_t place) { return folders.Records[hashes.NumberAt(place)].SizeKB; };
    builder.TakeRuns(hashes, same, size, false);
    const std::vector<bool> nested = NestedGroups(builder, folders);
    builder.SetFolders(std::move(folders.Records));
    builder.Finish(nested);
}

}  // namespace ardvel
