#include "search/Duplicates.h"

#include <algorithm>
#include <bit>
#include <numeric>

#include "search/DuplicateBuilder.h"
#include "search/HashGroups.h"

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

/// The kept words' numbers, each with its place in the low half, in the
/// order of the numbers: a radix sort in as few passes as digits of at
/// most 12 bits allow (their counts stay within the first-level cache).
std::vector<std::uint64_t> PlacesByNumber(const HashGroups& hashes, std::uint32_t limit)
{
    std::vector<std::uint64_t> items(hashes.KeptCount()), other(items.size());
    for (std::size_t place = 0; place < items.size(); ++place)
        items[place] = (std::uint64_t{hashes.NumberAt(place)} << 32) | place;
    const auto bits = static_cast<unsigned>(std::bit_width(limit));
    const unsigned passes = std::max(1u, (bits + 11) / 12);
    const unsigned digitBits = (bits + passes - 1) / passes;
    std::vector<std::uint32_t> next((std::size_t{1} << digitBits) + 1);
    for (unsigned pass = 0; pass < passes; ++pass) {
        const unsigned shift = 32 + pass * digitBits;
        const auto digit = [&](std::uint64_t item) { return (item >> shift) & ((std::uint64_t{1} << digitBits) - 1); };
        std::fill(next.begin(), next.end(), 0);
        for (std::uint64_t item : items) ++next[digit(item) + 1];
        for (std::size_t d = 1; d < next.size(); ++d) next[d] += next[d - 1];
        for (std::uint64_t item : items) other[next[digit(item)]++] = item;
        items.swap(other);
    }
    return items;
}

/// Half of the second hash and the size of each kept word's record, in one
/// word by place: one write a record, where the records' order scatters
/// them. Beside the hash bits the words of a run share, half a hash leaves
/// two unequal keys as good as no chance to be taken as equal. The records
/// are read in tree order (the order they lie in memory) and lie apart:
/// each is asked for some records ahead, and its name once the record has
/// come in, so that the waits overlap.
void SecondHashes(const ScopeFiles& files, const std::vector<std::uint64_t>& byNumber, KeyHasher& hasher,
                  std::vector<std::uint64_t>& keys)
{
    constexpr std::size_t kRecordsAhead = 16, kNamesAhead = 8;
    const auto number = [&](std::size_t i) { return static_cast<std::uint32_t>(byNumber[i] >> 32); };
    RunCursor now(files.Runs()), records(files.Runs()), names(files.Runs());
    for (std::size_t i = 0; i < byNumber.size(); ++i) {
        if (i + kRecordsAhead < byNumber.size()) {
            const std::uint32_t n = number(i + kRecordsAhead);
            __builtin_prefetch(&files.Record(records.To(n), n));
        }
        if (i + kNamesAhead < byNumber.size()) {
            const std::uint32_t n = number(i + kNamesAhead);
            const FileRun& run = names.To(n);
            __builtin_prefetch(run.Store->Name(files.Record(run, n)).data());
        }
        const FileRun& run = now.To(number(i));
        const TDetails& d = files.Record(run, number(i));
        const auto place = static_cast<std::uint32_t>(byNumber[i]);
        keys[place] =
            (hasher.Hash(*run.Store, d, 1) & ~std::uint64_t{0xFFFFFFFF}) | static_cast<std::uint32_t>(d.SizeKB);
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
    // read in tree order: comparing the records themselves would visit them
    // in hash order, each a miss of the caches. Groups are the records
    // whose keys agree in both hashes; the hashes and sizes are kept by
    // place, so that the runs read them in the order they lie in.
    std::vector<std::uint64_t> keys(hashes.KeptCount());
    SecondHashes(files, PlacesByNumber(hashes, files.Count()), hasher, keys);
    const std::uint64_t compared = KeyHasSize(options.Key) ? ~std::uint64_t{0} : ~std::uint64_t{0xFFFFFFFF};
    const auto same = [&](std::uint32_t a, std::uint32_t b) { return ((keys[a] ^ keys[b]) & compared) == 0; };
    const auto size = [&](std::uint32_t place) -> std::int64_t { return static_cast<std::int32_t>(keys[place]); };
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
