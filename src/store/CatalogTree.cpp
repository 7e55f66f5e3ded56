#include "store/CatalogTree.h"

#include <algorithm>
#include <cassert>

namespace ardvel {

CatalogTree::CatalogTree()
{
    Node root;
    root.Alive = true;
    root.Text = kRootText;
    nodes_.push_back(std::move(root));
}

NodeId CatalogTree::NewNode(NodeId parent, std::string text, TDateTime date)
{
    NodeId id;
    if (!free_.empty()) {
        id = free_.back();
        free_.pop_back();
    } else {
        id = static_cast<NodeId>(nodes_.size());
        nodes_.emplace_back();
    }
    Node& n = nodes_[id];
    n.Parent = parent;
    n.Level = nodes_[parent].Level + 1;
    n.Volume = n.Level == 1 ? id : nodes_[parent].Volume;
    n.Alive = true;
    n.Text = std::move(text);
    n.Info = NewFolderInfo(date);
    nodes_[parent].Children.push_back(id);
    return id;
}

NodeId CatalogTree::AddVolume(std::string name, TDateTime date)
{
    const NodeId id = NewNode(kRoot, std::move(name), date);
    nodes_[id].Store = std::make_unique<VolumeStore>();
    return id;
}

NodeId CatalogTree::AddFolder(NodeId parent, std::string_view name, TDateTime date)
{
    assert(parent != kRoot && IsAlive(parent));
    return NewNode(parent, std::string(name), date);
}

void CatalogTree::AddFile(NodeId node, std::string_view name, std::int32_t sizeKB, TDateTime date,
                          const TMediaInfo* media)
{
    if (media)
        AddFile(node, name, sizeKB, date, true, media->ArtistText, media->TitleText);
    else
        AddFile(node, name, sizeKB, date, false, {}, {});
}

void CatalogTree::AddFile(NodeId node, std::string_view name, std::int32_t sizeKB, TDateTime date, bool hasMedia,
                          std::string_view artist, std::string_view title)
{
    assert(node != kRoot && IsAlive(node));
    VolumeStore& store = StoreOf(node);
    TFolderInfo& info = nodes_[node].Info;
    const auto end = static_cast<std::uint32_t>(store.Files.size());
    if (info.FileCount == 0) {
        info.FileBegin = end;
    } else if (info.FileBegin + info.FileCount != end) {
        // Another node's files came in between: move this node's records to
        // the end so that they stay one range.
        for (std::uint32_t i = 0; i < info.FileCount; ++i) store.Files.push_back(store.Files[info.FileBegin + i]);
        info.FileBegin = end;
    }
    TDetails d;
    d.Name = store.Strings.Add(name);
    d.SizeKB = sizeKB;
    d.Date = date;
    if (hasMedia) {
        d.Media = static_cast<std::uint32_t>(store.Media.size());
        store.Media.push_back(MediaRecord{store.Strings.Add(artist), store.Strings.Add(title)});
    }
    store.Files.push_back(d);
    ++info.FileCount;
}

NodeId CatalogTree::AdoptVolume(CatalogTree& other, NodeId volume)
{
    // The nodes are made here in the order of a catalog file, each after
    // its parent and its elder siblings, so that children keep their order.
    const auto adopt = [&](NodeId from, NodeId parent) {
        Node& source = other.nodes_[from];
        const NodeId id = NewNode(parent, std::move(source.Text), source.Info.Date);
        nodes_[id].Info = source.Info;
        return id;
    };
    const NodeId top = adopt(volume, kRoot);
    nodes_[top].Store = std::move(other.nodes_[volume].Store);
    nodes_[top].CatalogFileName = std::move(other.nodes_[volume].CatalogFileName);
    struct Frame {
        NodeId From, To;
        std::size_t NextChild;
    };
    std::vector<Frame> stack{{volume, top, 0}};
    while (!stack.empty()) {
        Frame& frame = stack.back();
        const std::vector<NodeId>& children = other.nodes_[frame.From].Children;
        if (frame.NextChild == children.size()) {
            stack.pop_back();
            continue;
        }
        const NodeId child = children[frame.NextChild++];
        const NodeId parent = frame.To;
        stack.push_back({child, adopt(child, parent), 0});
    }
    other.RemoveNode(volume);
    return top;
}

void CatalogTree::SetChildOrder(NodeId node, std::vector<NodeId> order)
{
    assert(std::is_permutation(order.begin(), order.end(), nodes_[node].Children.begin(), nodes_[node].Children.end()));
    nodes_[node].Children = std::move(order);
}

void CatalogTree::ReleaseSubtree(NodeId top)
{
    // Iterative: a damaged catalog may nest folders deeper than the stack.
    std::vector<NodeId> pending{top};
    while (!pending.empty()) {
        const NodeId id = pending.back();
        pending.pop_back();
        Node& n = nodes_[id];
        pending.insert(pending.end(), n.Children.begin(), n.Children.end());
        n.Children.clear();
        n.Children.shrink_to_fit();
        n.Alive = false;
        ++n.Generation;
        n.Parent = kNoNode;
        n.Volume = kNoNode;
        n.Text.clear();
        n.Text.shrink_to_fit();
        n.Store.reset();
        n.CatalogFileName.clear();
        n.Info = {};
        free_.push_back(id);
    }
}

void CatalogTree::RemoveNode(NodeId node)
{
    if (node == kRoot || !IsAlive(node)) return;
    auto& siblings = nodes_[nodes_[node].Parent].Children;
    siblings.erase(std::find(siblings.begin(), siblings.end(), node));
    ReleaseSubtree(node);
}

void CatalogTree::RemoveAllVolumes()
{
    const std::vector<NodeId> volumes = nodes_[kRoot].Children;
    for (NodeId v : volumes) RemoveNode(v);
}

void CatalogTree::ClearFiles(NodeId volume)
{
    assert(nodes_[volume].Level == 1 && IsAlive(volume));
    nodes_[volume].Store = std::make_unique<VolumeStore>();
    std::vector<NodeId> pending{volume};
    while (!pending.empty()) {
        Node& n = nodes_[pending.back()];
        pending.pop_back();
        n.Info.FileBegin = n.Info.FileCount = 0;
        pending.insert(pending.end(), n.Children.begin(), n.Children.end());
    }
}

void CatalogTree::SetText(NodeId node, std::string text)
{
    nodes_[node].Text = std::move(text);
}

void CatalogTree::SetCatalogFileName(NodeId volume, std::string fileName)
{
    nodes_[volume].CatalogFileName = std::move(fileName);
}

void CatalogTree::SortTree(NodeId from, const std::function<bool(std::string_view, std::string_view)>& less)
{
    std::vector<NodeId> pending{from};
    while (!pending.empty()) {
        const NodeId id = pending.back();
        pending.pop_back();
        auto& children = nodes_[id].Children;
        std::stable_sort(children.begin(), children.end(),
                         [&](NodeId a, NodeId b) { return less(nodes_[a].Text, nodes_[b].Text); });
        pending.insert(pending.end(), children.begin(), children.end());
    }
}

NodeHandle CatalogTree::Handle(NodeId node) const noexcept
{
    if (node >= nodes_.size()) return {};
    return {node, nodes_[node].Generation};
}

NodeId CatalogTree::Resolve(NodeHandle handle) const noexcept
{
    if (handle.Index >= nodes_.size()) return kNoNode;
    const Node& n = nodes_[handle.Index];
    return n.Alive && n.Generation == handle.Generation ? handle.Index : kNoNode;
}

bool CatalogTree::IsAlive(NodeId node) const noexcept
{
    return node < nodes_.size() && nodes_[node].Alive;
}

FileList CatalogTree::Files(NodeId node) const noexcept
{
    const Node& n = nodes_[node];
    if (node == kRoot || n.Volume == kNoNode) return {nullptr, 0, 0};
    return {nodes_[n.Volume].Store.get(), n.Info.FileBegin, n.Info.FileCount};
}

std::string GetNodePath(const CatalogTree& tree, NodeId node)
{
    if (node == CatalogTree::kRoot) return std::string(tree.Text(node));
    std::vector<NodeId> chain;
    for (NodeId n = node; n != CatalogTree::kRoot; n = tree.Parent(n)) chain.push_back(n);
    std::string path(tree.Text(chain.back()));
    path += ":\\";
    for (auto it = chain.rbegin() + 1; it != chain.rend(); ++it) {
        path += tree.Text(*it);
        path += '\\';
    }
    return path;
}

void AddFolderSize(const CatalogTree& tree, NodeId node, std::int64_t& total)
{
    std::vector<NodeId> pending{node};
    while (!pending.empty()) {
        const NodeId id = pending.back();
        pending.pop_back();
        for (const TDetails& d : tree.Files(id)) total += d.SizeKB;
        const auto children = tree.Children(id);
        // Reverse push keeps the walk in tree order, depth first.
        for (auto it = children.rbegin(); it != children.rend(); ++it) pending.push_back(*it);
    }
}

}  // namespace ardvel
