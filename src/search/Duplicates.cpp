#include "search/Duplicates.h"

#include <algorithm>
#include <numeric>

#include "search/DuplicateBuilder.h"
#include "search/HashGroups.h"
#include "search/NumberSet.h"

namespace ardvel {

namespace {

/// Calls visit(record, number) for every record of `run`, reading the
/// store a block at a time.
template <typename Visit>
void ForEachRecord(const FileRun& run, Visit&& visit)
{
    std::uint32_t done = 0;
    while (done < run.Count) {
        std::size_t available;
        const TDetails* block = run.Store->Files.BlockAt(run.Begin + done, available);
        const auto n = static_cast<std::uint32_t>(std::min<std::size_t>(available, run.Count - done));
        for (std::uint32_t k = 0; k < n; ++k) visit(block[k], run.FirstNumber + done + k);
        done += n;
    }
}

void FindFileDuplicates(DuplicateBuilder& builder, const ScopeFiles& files, const DuplicateOptions& options,
                        KeyHasher& hasher)
{
    HashGroups hashes(files.Count(), files.Count());
    for (const FileRun& run : files.Runs()) {
        const VolumeStore& store = *run.Store;
        ForEachRecord(run, [&](const TDetails& d, std::uint32_t number) {
            if (d.SizeKB >= options.MinSizeKB) hashes.Add(hasher.Hash(store, d), number);
        });
    }
    hashes.Sort();

    // The records whose first hashes meet get a second, independent hash,
    // read in tree order (the order they lie in memory): comparing the
    // records themselves would visit them in hash order, each a miss of
    // the caches. Groups are the records whose keys agree in both hashes.
    NumberSet repeated(files.Count());
    hashes.ForEachRun([&](const std::uint64_t* words, std::size_t count) {
        for (std::size_t i = 0; i < count; ++i) repeated.Insert(hashes.Number(words[i]));
    });
    repeated.Finish();
    std::vector<std::uint64_t> second(repeated.Count());
    std::vector<std::int32_t> sizes(repeated.Count());
    std::size_t r = 0;
    std::uint32_t rank = 0;
    const auto& runs = files.Runs();
    repeated.ForEach([&](std::uint32_t number) {
        while (runs[r].FirstNumber + runs[r].Count <= number) ++r;
        const TDetails& d = files.Record(runs[r], number);
        second[rank] = hasher.Hash(*runs[r].Store, d, 1);
        sizes[rank++] = d.SizeKB;
    });
    const auto same = [&](std::uint32_t a, std::uint32_t b) {
        const std::uint32_t x = repeated.Rank(a), y = repeated.Rank(b);
        return second[x] == second[y] && (!KeyHasSize(options.Key) || sizes[x] == sizes[y]);
    };
    const auto size = [&](std::uint32_t number) -> std::int64_t { return sizes[repeated.Rank(number)]; };
    builder.TakeRuns(hashes, same, size, !KeyHasSize(options.Key));
}

}  // namespace

DuplicateRecord DuplicateResult::Record(std::size_t i) const
{
    const std::uint32_t number = numbers_[i];
    if (folders_) return folderRecords_[number];
    const FileRun& run = files_.RunOf(number);
    const TDetails& d = files_.Record(run, number);
    return {run.Node, run.Begin + (number - run.FirstNumber), d.SizeKB, d.Date};
}

std::int64_t DuplicateResult::WastedKB() const noexcept
{
    std::int64_t total = 0;
    for (const DuplicateGroup& g : groups_) total += g.WastedKB;
    return total;
}

DuplicateResult FindDuplicates(const CatalogTree& tree, const SearchScope& scope, const DuplicateOptions& options,
                               const Locale& locale)
{
    DuplicateResult result;
    DuplicateBuilder builder(result);
    KeyHasher hasher(options.Key, locale);
    if (options.Folders) {
        FindFolderDuplicates(builder, tree, scope, options, hasher);
    } else {
        builder.SetFiles(ScopeFiles(tree, scope));
        FindFileDuplicates(builder, builder.Files(), options, hasher);
        builder.Finish({});
    }
    return result;
}

std::vector<DuplicateRecord> FindCopies(const CatalogTree& tree, NodeId node, std::uint32_t file, DuplicateKey key,
                                        const Locale& locale)
{
    const VolumeStore& store = tree.Store(tree.VolumeOf(node));
    const TDetails& target = store.Files[file];
    KeyHasher hasher(key, locale);
    // With a size in the key, most records fail on it before any name is
    // read; by name alone, hashes spare comparing every name in full.
    const bool byHash = !KeyHasSize(key);
    const std::uint64_t hash = byHash ? hasher.Hash(store, target) : 0;

    std::vector<DuplicateRecord> copies;
    const ScopeFiles all(tree, SearchScope::AllVolumes());
    for (const FileRun& run : all.Runs()) {
        ForEachRecord(run, [&](const TDetails& d, std::uint32_t number) {
            if (&d == &target) return;
            if (byHash && hasher.Hash(*run.Store, d) != hash) return;
            if (!hasher.Equal(store, target, *run.Store, d)) return;
            copies.push_back({run.Node, run.Begin + (number - run.FirstNumber), d.SizeKB, d.Date});
        });
    }
    return copies;
}

}  // namespace ardvel
