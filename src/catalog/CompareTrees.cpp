#include "catalog/CompareTrees.h"

#include <algorithm>
#include <string_view>
#include <utility>
#include <vector>

#include "catalog/NameMatch.h"

namespace ardvel {

namespace {

using name_match::kNoIndex;
using name_match::MatchByName;

/// The depth-first walk over the folders both trees hold. Each frame is a
/// pair of matched folders with its subfolders still to visit, so the order
/// of the output is pre-order without recursion.
class Comparer {
public:
    Comparer(const CatalogTree& oldTree, const CatalogTree& newTree, const Locale& locale, const ChangeSink& sink)
        : old_(oldTree), new_(newTree), locale_(locale), sink_(sink)
    {
    }

    CompareSummary Run(NodeId oldRoot, NodeId newRoot)
    {
        std::size_t depth = 0;
        Enter(depth++, oldRoot, newRoot);
        while (depth > 0) {
            Frame& frame = frames_[depth - 1];
            if (frame.Next == frame.Items.size()) {
                --depth;
                continue;
            }
            const FolderPair item = frame.Items[frame.Next++];
            path_.resize(frame.PathSize);
            slashPath_.resize(frame.PathSize);
            if (item.Old == kNoNode) {
                EmitFolder(ChangeKind::Added, new_, item.New);
            } else if (item.New == kNoNode) {
                EmitFolder(ChangeKind::Removed, old_, item.Old);
            } else {
                buffers_.Names.Clear();
                const std::string_view name = buffers_.Names.Of(old_.Text(item.Old));
                path_ += name;
                path_ += '\\';
                slashPath_ += name;
                slashPath_ += '/';
                Enter(depth++, item.Old, item.New);
            }
        }
        return summary_;
    }

private:
    struct FolderPair {
        NodeId Old, New;  ///< kNoNode on the side that lacks the folder
    };
    struct Frame {
        std::size_t PathSize = 0;
        std::vector<FolderPair> Items;
        std::size_t Next = 0;
    };
    struct FileChange {
        ChangeKind Kind;
        std::uint32_t Old, New;
        std::string_view Name;
    };

    /// Reports the file changes of a pair of folders and lines up their
    /// subfolders in frame `depth`; path_ is the pair's path.
    void Enter(std::size_t depth, NodeId oldNode, NodeId newNode)
    {
        CompareFiles(oldNode, newNode);
        if (frames_.size() <= depth) frames_.emplace_back();
        Frame& frame = frames_[depth];
        frame.PathSize = path_.size();
        frame.Next = 0;
        MatchFolders(oldNode, newNode, frame.Items);
    }

    void CompareFiles(NodeId oldNode, NodeId newNode)
    {
        const FileList oldFiles = old_.Files(oldNode), newFiles = new_.Files(newNode);
        buffers_.Names.Clear();
        fileChanges_.clear();
        MatchByName(
            static_cast<std::uint32_t>(oldFiles.size()), static_cast<std::uint32_t>(newFiles.size()),
            [&](std::uint32_t i) { return oldFiles.Store().Name(oldFiles[i]); },
            [&](std::uint32_t j) { return newFiles.Store().Name(newFiles[j]); }, buffers_,
            [&](std::uint32_t i, std::uint32_t j) {
                if (i == kNoIndex)
                    fileChanges_.push_back({ChangeKind::Added, i, j, newFiles.Store().Name(newFiles[j])});
                else if (j == kNoIndex)
                    fileChanges_.push_back({ChangeKind::Removed, i, j, oldFiles.Store().Name(oldFiles[i])});
                else if (!SameFile(oldFiles, i, newFiles, j))
                    fileChanges_.push_back({ChangeKind::Changed, i, j, oldFiles.Store().Name(oldFiles[i])});
            });
        if (fileChanges_.empty()) return;
        for (FileChange& c : fileChanges_) c.Name = buffers_.Names.Of(c.Name);
        if (fileChanges_.size() > 1)
            std::stable_sort(fileChanges_.begin(), fileChanges_.end(),
                             [&](const FileChange& a, const FileChange& b) { return locale_.Less(a.Name, b.Name); });
        for (const FileChange& c : fileChanges_) EmitFile(c, oldFiles, newFiles);
    }

    void MatchFolders(NodeId oldNode, NodeId newNode, std::vector<FolderPair>& items)
    {
        const auto oldChildren = old_.Children(oldNode);
        const auto newChildren = new_.Children(newNode);
        buffers_.Names.Clear();
        items.clear();
        const bool inOrder = MatchByName(
            static_cast<std::uint32_t>(oldChildren.size()), static_cast<std::uint32_t>(newChildren.size()),
            [&](std::uint32_t i) { return old_.Text(oldChildren[i]); },
            [&](std::uint32_t j) { return new_.Text(newChildren[j]); }, buffers_,
            [&](std::uint32_t i, std::uint32_t j) {
                items.push_back({i == kNoIndex ? kNoNode : oldChildren[i], j == kNoIndex ? kNoNode : newChildren[j]});
            });
        if (inOrder || items.size() < 2) return;
        // Back into the order of the tree, by the locale's collation.
        sortNames_.clear();
        for (std::uint32_t k = 0; k < items.size(); ++k) {
            const FolderPair& p = items[k];
            const std::string_view raw = p.Old != kNoNode ? old_.Text(p.Old) : new_.Text(p.New);
            sortNames_.emplace_back(buffers_.Names.Of(raw), k);
        }
        std::stable_sort(sortNames_.begin(), sortNames_.end(),
                         [&](const auto& a, const auto& b) { return locale_.Less(a.first, b.first); });
        sortedItems_.clear();
        for (const auto& entry : sortNames_) sortedItems_.push_back(items[entry.second]);
        items.swap(sortedItems_);
    }

    bool SameText(std::string_view a, std::string_view b)
    {
        return a == b || buffers_.Names.Of(a) == buffers_.Names.Of(b);
    }

    bool SameFile(const FileList& oldFiles, std::uint32_t i, const FileList& newFiles, std::uint32_t j)
    {
        const TDetails& a = oldFiles[i];
        const TDetails& b = newFiles[j];
        if (a.SizeKB != b.SizeKB) return false;
        // Compared as stored: a date kept in memory to the millisecond
        // equals its catalog file's whole even seconds.
        if (a.Date != b.Date && DateTimeToDos(a.Date) != DateTimeToDos(b.Date)) return false;
        const VolumeStore& sa = oldFiles.Store();
        const VolumeStore& sb = newFiles.Store();
        if (sa.HasMedia(a) != sb.HasMedia(b)) return false;
        if (!sa.HasMedia(a)) return true;
        return SameText(sa.Artist(a), sb.Artist(b)) && SameText(sa.Title(a), sb.Title(b));
    }

    std::string MediaText(const VolumeStore& store, const TDetails& d)
    {
        if (!store.HasMedia(d)) return {};
        std::string text(buffers_.Names.Of(store.Artist(d)));
        text += buffers_.Names.Of(store.Title(d));
        return text;
    }

    void EmitFile(const FileChange& c, const FileList& oldFiles, const FileList& newFiles)
    {
        TreeChange change;
        change.Kind = c.Kind;
        change.Path = path_;
        change.Path += c.Name;
        change.SlashPath = slashPath_;
        change.SlashPath += c.Name;
        if (c.Old != kNoIndex) {
            const TDetails& d = oldFiles[c.Old];
            change.OldSizeKB = d.SizeKB;
            change.OldDate = d.Date;
            change.OldMedia = MediaText(oldFiles.Store(), d);
        }
        if (c.New != kNoIndex) {
            const TDetails& d = newFiles[c.New];
            change.NewSizeKB = d.SizeKB;
            change.NewDate = d.Date;
            change.NewMedia = MediaText(newFiles.Store(), d);
        }
        Count(change);
        sink_(change);
    }

    void EmitFolder(ChangeKind kind, const CatalogTree& tree, NodeId node)
    {
        TreeChange change;
        change.Kind = kind;
        change.IsFolder = true;
        buffers_.Names.Clear();
        const std::string_view name = buffers_.Names.Of(tree.Text(node));
        change.Path = path_;
        change.Path += name;
        change.Path += '\\';
        change.SlashPath = slashPath_;
        change.SlashPath += name;
        (kind == ChangeKind::Added ? change.NewDate : change.OldDate) = tree.Info(node).Date;
        CountInside(tree, node, change);
        Count(change);
        sink_(change);
    }

    /// Files at every level of `node` and the folders below it.
    void CountInside(const CatalogTree& tree, NodeId node, TreeChange& change)
    {
        countStack_.assign(1, node);
        while (!countStack_.empty()) {
            const NodeId n = countStack_.back();
            countStack_.pop_back();
            change.FilesInside += tree.Files(n).size();
            const auto children = tree.Children(n);
            change.FoldersInside += children.size();
            countStack_.insert(countStack_.end(), children.begin(), children.end());
        }
    }

    void Count(const TreeChange& change)
    {
        switch (change.Kind) {
            case ChangeKind::Added:
                ++summary_.Added;
                summary_.FilesInAddedFolders += change.FilesInside;
                break;
            case ChangeKind::Removed:
                ++summary_.Removed;
                summary_.FilesInRemovedFolders += change.FilesInside;
                break;
            case ChangeKind::Changed:
                ++summary_.Changed;
                break;
        }
    }

    const CatalogTree& old_;
    const CatalogTree& new_;
    const Locale& locale_;
    const ChangeSink& sink_;
    CompareSummary summary_;
    std::string path_;
    /// path_ with "/" between the names: a name may hold a "\\" itself.
    std::string slashPath_;
    std::vector<Frame> frames_;
    name_match::Buffers buffers_;
    std::vector<FileChange> fileChanges_;
    std::vector<std::pair<std::string_view, std::uint32_t>> sortNames_;
    std::vector<FolderPair> sortedItems_;
    std::vector<NodeId> countStack_;
};

}  // namespace

CompareSummary CompareTrees(const CatalogTree& oldTree, NodeId oldNode, const CatalogTree& newTree, NodeId newNode,
                            const Locale& locale, const ChangeSink& sink)
{
    Comparer comparer(oldTree, newTree, locale, sink);
    return comparer.Run(oldNode, newNode);
}

std::string ChangeSummaryText(const CompareSummary& s)
{
    return std::to_string(s.Added) + " added, " + std::to_string(s.Removed) + " removed, " + std::to_string(s.Changed) +
           " changed (" + std::to_string(s.FilesInAddedFolders) + " files in added folders, " +
           std::to_string(s.FilesInRemovedFolders) + " in removed ones)";
}

}  // namespace ardvel
