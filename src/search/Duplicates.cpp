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

/// The run of each of a rising series of numbers, found by moving on.
class RunCursor {
public:
    explicit RunCursor(const std::vector<FileRun>& runs) : runs_(runs) {}
    const FileRun& To(std::uint32_t number) noexcept
    {
        while (runs_[r_].FirstNumber + runs_[r_].Count <= number) ++r_;
        return runs_[r_];
    }

private:
    const std::vector<FileRun>& runs_;
    std::size_t r_ = 0;
};

/// The second hash and the size of each member of `repeated`, by rank. The
/// records lie apart in memory: each is asked for some records ahead, and
/// its name once the record has come in, so that the waits overlap.
void SecondHashes(const ScopeFiles& files, const NumberSet& repeated, KeyHasher& hasher,
                  std::vector<std::uint64_t>& second, std::vector<std::int32_t>& sizes)
{
    constexpr std::size_t kRecordsAhead = 16, kNamesAhead = 8;
    std::vector<std::uint32_t> numbers;
    numbers.reserve(repeated.Count());
    repeated.ForEach([&](std::uint32_t number) { numbers.push_back(number); });
    RunCursor now(files.Runs()), records(files.Runs()), names(files.Runs());
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        if (i + kRecordsAhead < numbers.size()) {
            const std::uint32_t n = numbers[i + kRecordsAhead];
            __builtin_prefetch(&files.Record(records.To(n), n));
        }
        if (i + kNamesAhead < numbers.size()) {
            const std::uint32_t n = numbers[i + kNamesAhead];
            const FileRun& run = names.To(n);
            __builtin_prefetch(run.Store->Name(files.Record(run, n)).data());
        }
        const FileRun& run = now.To(numbers[i]);
        const TDetails& d = files.Record(run, numbers[i]);
        second[i] = hasher.Hash(*run.Store, d, 1);
        sizes[i] = d.SizeKB;
    }
}

void FindFileDuplicates(DuplicateBuilder& builder, const ScopeFiles& files, const DuplicateOptions& options,
                        KeyHasher& hasher)
{
    HashGroups hashes(files.Count(), files.Count());
    // A quick hash first: the full keys of the few records whose quick
    // hashes meet are hashed below.
    for (const FileRun& run : files.Runs()) {
        std::uint32_t done = 0;
        while (done < run.Count) {
            std::size_t available;
            const TDetails* block = run.Store->Files.BlockAt(run.Begin + done, available);
            const auto n = static_cast<std::uint32_t>(std::min<std::size_t>(available, run.Count - done));
            hasher.AddQuickHashes(*run.Store, block, n, run.FirstNumber + done, options.MinSizeKB, hashes);
            done += n;
        }
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
    SecondHashes(files, repeated, hasher, second, sizes);
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

std::uint32_t FindFileRecord(const CatalogTree& tree, NodeId folder, std::string_view name, const Locale& locale)
{
    const FileList files = tree.Files(folder);
    for (int pass = 0; pass < 2; ++pass) {
        for (std::uint32_t i = 0; i < files.size(); ++i) {
            const std::string_view candidate = files.Store().Name(files[i]);
            if (pass == 0 ? candidate == name : locale.EqualIgnoreCase(candidate, name)) return files.Begin() + i;
        }
    }
    return kNoFile;
}

}  // namespace ardvel
