#include "catalog/ReplaceVolume.h"

#include <vector>

#include "catalog/NameMatch.h"

namespace ardvel {

namespace {

void CopyFiles(CatalogTree& tree, NodeId to, const CatalogTree& source, NodeId from)
{
    const FileList files = source.Files(from);
    const VolumeStore& store = files.Store();
    for (const TDetails& d : files)
        tree.AddFile(to, store.Name(d), d.SizeKB, d.Date, store.HasMedia(d), store.Artist(d), store.Title(d));
}

}  // namespace

void ReplaceVolumeContents(CatalogTree& tree, NodeId volume, const CatalogTree& source, NodeId from,
                           const Locale& locale)
{
    struct Pair {
        NodeId To, From;
    };
    tree.ClearFiles(volume);
    name_match::Buffers buffers;
    std::vector<Pair> pending{{volume, from}};
    std::vector<NodeId> gone;
    std::vector<NodeId> added;
    while (!pending.empty()) {
        const Pair p = pending.back();
        pending.pop_back();
        // Files first: each node's records then form one range of the store.
        CopyFiles(tree, p.To, source, p.From);
        const auto have = tree.Children(p.To);
        const auto want = source.Children(p.From);
        gone.clear();
        added.clear();
        buffers.Names.Clear();
        name_match::MatchByName(
            static_cast<std::uint32_t>(have.size()), static_cast<std::uint32_t>(want.size()),
            [&](std::uint32_t i) { return tree.Text(have[i]); }, [&](std::uint32_t j) { return source.Text(want[j]); },
            buffers,
            [&](std::uint32_t i, std::uint32_t j) {
                if (j == name_match::kNoIndex)
                    gone.push_back(have[i]);
                else if (i == name_match::kNoIndex)
                    added.push_back(want[j]);
                else {
                    tree.SetDate(have[i], source.Info(want[j]).Date);
                    pending.push_back({have[i], want[j]});
                }
            });
        for (NodeId node : gone) tree.RemoveNode(node);
        for (NodeId node : added)
            pending.push_back({tree.AddFolder(p.To, source.Text(node), source.Info(node).Date), node});
    }
    tree.SortTree(volume, [&](std::string_view a, std::string_view b) { return locale.Less(a, b); });
}

}  // namespace ardvel
