#include "store/LoadCatalogs.h"

#include <fcntl.h>

#include <algorithm>
#include <atomic>
#include <exception>
#include <system_error>
#include <thread>

#include "platform/FileDescriptor.h"
#include "platform/SaveFile.h"
#include "store/CatalogError.h"
#include "store/CatalogFile.h"
#include "store/VolumeName.h"

namespace ardvel {

namespace {

bool MatchesCatalogPattern(std::string_view name) noexcept
{
    if (name.size() < 4) return false;
    const char* e = name.data() + name.size() - 4;
    return e[0] == '.' && (e[1] | 0x20) == 'a' && (e[2] | 0x20) == 'r' && (e[3] | 0x20) == 'v';
}

}  // namespace

bool HasExactCatalogExtension(std::string_view name) noexcept
{
    return name.size() >= 4 && name.substr(name.size() - 4) == ".arv";
}

std::vector<std::string> ListCatalogEntries(const std::string& folder)
{
    std::vector<std::string> names;
    DirectoryStream dir(
        FileDescriptor(::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)));
    if (!dir.IsOpen()) return names;
    while (const dirent* entry = dir.Next()) {
        const std::string_view name = entry->d_name;
        if (MatchesCatalogPattern(name)) names.emplace_back(name);
    }
    return names;
}

NodeId LoadCatalogFile(CatalogTree& tree, const std::string& path, const std::string& fileName, std::string volumeName)
{
    CatalogReader reader(path);
    const TFolderInfo header = reader.ReadHeader();
    const NodeId volume = tree.AddVolume(std::move(volumeName), header.Date);
    tree.SetCatalogFileName(volume, fileName);
    reader.ReadTree(tree, volume);
    return volume;
}

void SortCatalogTree(CatalogTree& tree, const Locale& locale)
{
    tree.SortTree(CatalogTree::kRoot, [&](std::string_view a, std::string_view b) { return locale.Less(a, b); });
}

namespace {

/// What reading one entry of the listing gave.
struct EntryLoad {
    NodeId Volume = kNoNode;  ///< in the tree that read it, kept with what was read
    bool Side = false;        ///< read into the second thread's tree
    bool Failed = false;
    std::string Message;
};

EntryLoad LoadEntry(CatalogTree& tree, const std::string& folder, const std::string& name)
{
    EntryLoad load;
    const std::size_t volumes = tree.VolumeCount();
    try {
        load.Volume = LoadCatalogFile(tree, folder + name, name, DecodeVolumeName(name));
    } catch (const CatalogError& e) {
        load.Failed = true;
        load.Message = e.what();
        // A failure after the header keeps the volume with what was read.
        if (tree.VolumeCount() > volumes) load.Volume = tree.Children(CatalogTree::kRoot).back();
    }
    return load;
}

/// Reads the entries: on this thread into `tree` and, when there are
/// several, on a second thread into `side`, each entry taken by whichever
/// thread is free. `reportUpTo(m)` is called on this thread, before it reads
/// an entry and at the end, for the first m entries to have been taken.
std::vector<EntryLoad> LoadEntries(CatalogTree& tree, CatalogTree& side, const std::string& folder,
                                   const std::vector<std::string>& entries,
                                   const std::function<void(std::size_t)>& reportUpTo)
{
    const std::size_t count = entries.size();
    std::vector<EntryLoad> loads(count);
    std::atomic<std::size_t> next{0};
    std::exception_ptr sideError;
    std::thread worker;
    if (count >= 2) {
        try {
            worker = std::thread([&]() noexcept {
                try {
                    for (std::size_t k; (k = next.fetch_add(1, std::memory_order_relaxed)) < count;) {
                        loads[k] = LoadEntry(side, folder, entries[k]);
                        loads[k].Side = true;
                    }
                } catch (...) {
                    sideError = std::current_exception();
                    next.store(count, std::memory_order_relaxed);
                }
            });
        } catch (const std::system_error&) {
            // No second thread to be had: this one reads every entry.
        }
    }
    // Whatever leaves this function, the second thread takes no more and
    // is waited for.
    const auto join = [&] {
        next.store(count, std::memory_order_relaxed);
        if (worker.joinable()) worker.join();
    };
    try {
        for (std::size_t k; (k = next.fetch_add(1, std::memory_order_relaxed)) < count;) {
            reportUpTo(k + 1);
            loads[k] = LoadEntry(tree, folder, entries[k]);
        }
    } catch (...) {
        join();
        throw;
    }
    join();
    if (sideError) std::rethrow_exception(sideError);
    reportUpTo(count);
    return loads;
}

}  // namespace

LoadResult LoadCatalogs(CatalogTree& tree, const std::string& catalogFolder, const Locale& locale,
                        const LoadProgress& progress)
{
    LoadResult result;
    tree.RemoveAllVolumes();
    RemoveDeadSaveFiles(catalogFolder);
    const std::vector<std::string> entries = ListCatalogEntries(catalogFolder);
    for (const std::string& name : entries)
        if (HasExactCatalogExtension(name)) ++result.ExpectedCount;
    if (result.ExpectedCount == 0) return result;

    // Progress for each entry in listing order, as if read one after another.
    std::size_t reported = 0;
    const auto reportUpTo = [&](std::size_t taken) {
        for (; reported < taken; ++reported)
            if (progress) progress(std::min(reported + 1, result.ExpectedCount), result.ExpectedCount);
    };
    CatalogTree side;
    std::vector<EntryLoad> loads = LoadEntries(tree, side, catalogFolder, entries, reportUpTo);

    // The volumes in listing order, those read by the second thread moved
    // over, before the sort puts them in order (ties keep listing order).
    std::vector<NodeId> volumes;
    for (std::size_t k = 0; k < loads.size(); ++k) {
        EntryLoad& load = loads[k];
        if (load.Side && load.Volume != kNoNode) load.Volume = tree.AdoptVolume(side, load.Volume);
        if (load.Volume != kNoNode) volumes.push_back(load.Volume);
        if (load.Failed) result.Failures.push_back({catalogFolder + entries[k], std::move(load.Message)});
    }
    tree.SetChildOrder(CatalogTree::kRoot, std::move(volumes));
    result.FilesRead = entries.size();
    SortCatalogTree(tree, locale);
    return result;
}

}  // namespace ardvel
