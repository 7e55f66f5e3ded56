#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "store/ChunkedVector.h"
#include "store/DateTime.h"
#include "store/Records.h"
#include "store/StringPool.h"

namespace ardvel {

/// Index of a live node. Valid only while the node lives; anything that
/// outlives a change of the tree holds a NodeHandle instead.
using NodeId = std::uint32_t;
inline constexpr NodeId kNoNode = 0xFFFFFFFFu;

/// A node reference that can be kept: once the node is removed, its slot's
/// generation moves on and `CatalogTree::Resolve` returns kNoNode.
struct NodeHandle {
    std::uint32_t Index = kNoNode;
    std::uint32_t Generation = 0;
    bool operator==(const NodeHandle&) const = default;
};

inline constexpr std::uint32_t kNoMedia = 0xFFFFFFFFu;

/// The record of one file. Its texts live in the string pool of the volume
/// that holds it (see `VolumeStore`), which keeps the record at 24 bytes.
struct TDetails {
    StringRef Name;
    std::int32_t SizeKB = 0;
    std::uint32_t Media = kNoMedia;  ///< index into the volume's media table
    TDateTime Date = 0;
};
static_assert(sizeof(TDetails) == 24);

/// The two media texts of an MP3 record, in the volume's string pool.
struct MediaRecord {
    StringRef ArtistText;
    StringRef TitleText;
};

/// The record of a volume or folder node. Its `Files` are the records
/// FileBegin .. FileBegin+FileCount of its volume's store, in list order.
struct TFolderInfo {
    TDateTime Date = 0;
    std::uint32_t FileBegin = 0;
    std::uint32_t FileCount = 0;
};

/// Everything a volume's files are made of: their records, their names and
/// media texts. One per volume, owned by the volume node, released with it.
class VolumeStore {
public:
    std::string_view Text(StringRef ref) const noexcept { return Strings.Get(ref); }
    std::string_view Name(const TDetails& d) const noexcept { return Strings.Get(d.Name); }
    bool HasMedia(const TDetails& d) const noexcept { return d.Media != kNoMedia; }
    std::string_view Artist(const TDetails& d) const noexcept
    {
        return d.Media == kNoMedia ? std::string_view{} : Strings.Get(Media[d.Media].ArtistText);
    }
    std::string_view Title(const TDetails& d) const noexcept
    {
        return d.Media == kNoMedia ? std::string_view{} : Strings.Get(Media[d.Media].TitleText);
    }

    ChunkedVector<TDetails, 10> Files;
    ChunkedVector<MediaRecord, 10> Media;
    StringPool Strings;
};

/// A file record of one node, with the store that holds its texts.
class FileList {
public:
    FileList(const VolumeStore* store, std::uint32_t begin, std::uint32_t count)
        : store_(store), begin_(begin), count_(count)
    {
    }
    std::size_t size() const noexcept { return count_; }
    bool empty() const noexcept { return count_ == 0; }
    const TDetails& operator[](std::size_t i) const noexcept { return store_->Files[begin_ + i]; }
    const VolumeStore& Store() const noexcept { return *store_; }
    std::uint32_t Begin() const noexcept { return begin_; }

    class iterator {
    public:
        iterator(const VolumeStore* s, std::uint32_t i) : s_(s), i_(i) {}
        const TDetails& operator*() const noexcept { return s_->Files[i_]; }
        const TDetails* operator->() const noexcept { return &s_->Files[i_]; }
        iterator& operator++() noexcept
        {
            ++i_;
            return *this;
        }
        bool operator==(const iterator& o) const noexcept { return i_ == o.i_; }

    private:
        const VolumeStore* s_;
        std::uint32_t i_;
    };
    iterator begin() const noexcept { return {store_, begin_}; }
    iterator end() const noexcept { return {store_, begin_ + count_}; }

private:
    const VolumeStore* store_;
    std::uint32_t begin_;
    std::uint32_t count_;
};

/// The catalog tree: the root "My Catalogs", its volume nodes and their
/// folder nodes. The tree owns its nodes; each volume node owns the
/// `VolumeStore` with the file records of its whole subtree. Nodes live in
/// one vector of slots reused through a free list; removing a node moves its
/// slot's generation on, so handles to it are found stale.
class CatalogTree {
public:
    static constexpr NodeId kRoot = 0;
    static constexpr const char* kRootText = "My Catalogs";

    CatalogTree();
    CatalogTree(const CatalogTree&) = delete;
    CatalogTree& operator=(const CatalogTree&) = delete;

    // -- building ----------------------------------------------------------

    /// Adds a volume node as the last child of the root.
    NodeId AddVolume(std::string name, TDateTime date);
    /// Adds a folder node as the last child of `parent` (a volume or folder).
    NodeId AddFolder(NodeId parent, std::string_view name, TDateTime date);
    /// Appends a file record to the `Files` of `node`. The files of one node
    /// are cheapest added one after another; adding to a node after files of
    /// another node moves its earlier records to the end of the store.
    void AddFile(NodeId node, std::string_view name, std::int32_t sizeKB, TDateTime date,
                 const TMediaInfo* media = nullptr);
    void AddFile(NodeId node, const NewFileRecord& record)
    {
        AddFile(node, record.Name, record.SizeKB, record.Date, record.Media ? &*record.Media : nullptr);
    }
    /// Same with the media texts given as views.
    void AddFile(NodeId node, std::string_view name, std::int32_t sizeKB, TDateTime date, bool hasMedia,
                 std::string_view artist, std::string_view title);

    /// Moves the volume `volume` of `other`, with all below it and its
    /// store, to this tree as its last volume, and returns its node here.
    /// Nothing is copied but node texts; `other` no longer holds it.
    NodeId AdoptVolume(CatalogTree& other, NodeId volume);
    /// Puts the children of `node` in the order of `order`, which holds
    /// each of them once.
    void SetChildOrder(NodeId node, std::vector<NodeId> order);

    /// Removes `node` and everything below it, releasing their records.
    /// The root cannot be removed.
    void RemoveNode(NodeId node);
    /// Removes every volume.
    void RemoveAllVolumes();

    /// Releases the file records of `volume` and of every folder below it;
    /// the nodes stay, without files (a volume's contents being replaced).
    void ClearFiles(NodeId volume);
    /// A volume's or folder's new date (an update's).
    void SetDate(NodeId node, TDateTime date) noexcept { nodes_[node].Info.Date = date; }

    void SetText(NodeId node, std::string text);
    void SetCatalogFileName(NodeId volume, std::string fileName);

    /// Sorts the children of every node below `from` (itself included),
    /// stable, by `less` on node texts.
    void SortTree(NodeId from, const std::function<bool(std::string_view, std::string_view)>& less);

    // -- reading -----------------------------------------------------------

    NodeHandle Handle(NodeId node) const noexcept;
    /// The node a handle names, or kNoNode when that node has been removed.
    NodeId Resolve(NodeHandle handle) const noexcept;
    bool IsAlive(NodeId node) const noexcept;

    NodeId Parent(NodeId node) const noexcept { return nodes_[node].Parent; }
    std::span<const NodeId> Children(NodeId node) const noexcept { return nodes_[node].Children; }
    /// Distance from the root: 0 root, 1 volume, 2 and more folders.
    std::uint32_t Level(NodeId node) const noexcept { return nodes_[node].Level; }
    std::string_view Text(NodeId node) const noexcept { return nodes_[node].Text; }
    const TFolderInfo& Info(NodeId node) const noexcept { return nodes_[node].Info; }
    /// The volume node above `node` (itself for a volume); kNoNode for the root.
    NodeId VolumeOf(NodeId node) const noexcept { return nodes_[node].Volume; }
    /// Tree image index: 0 root, 1 volume, 2 folder.
    int ImageIndex(NodeId node) const noexcept { return node == kRoot ? 0 : nodes_[node].Level == 1 ? 1 : 2; }

    /// The `Files` of a volume or folder node (empty for the root).
    FileList Files(NodeId node) const noexcept;
    const VolumeStore& Store(NodeId volume) const noexcept { return *nodes_[volume].Store; }

    /// The catalog file a volume was loaded from or saved to (a name in the
    /// catalog folder), empty when it has none yet.
    const std::string& CatalogFileName(NodeId volume) const noexcept { return nodes_[volume].CatalogFileName; }

    std::size_t VolumeCount() const noexcept { return nodes_[kRoot].Children.size(); }
    /// Live nodes, the root included.
    std::size_t NodeCount() const noexcept { return nodes_.size() - free_.size(); }

private:
    struct Node {
        NodeId Parent = kNoNode;
        NodeId Volume = kNoNode;
        std::uint32_t Generation = 0;
        std::uint32_t Level = 0;
        bool Alive = false;
        std::string Text;
        TFolderInfo Info;
        std::vector<NodeId> Children;
        std::unique_ptr<VolumeStore> Store;  // volume nodes only
        std::string CatalogFileName;         // volume nodes only
    };

    NodeId NewNode(NodeId parent, std::string text, TDateTime date);
    void ReleaseSubtree(NodeId node);
    VolumeStore& StoreOf(NodeId node) { return *nodes_[nodes_[node].Volume].Store; }

    std::vector<Node> nodes_;
    std::vector<NodeId> free_;
};

/// A new volume or folder record with that date and no files.
inline TFolderInfo NewFolderInfo(TDateTime date) noexcept
{
    return TFolderInfo{date, 0, 0};
}

/// The node path: "My Catalogs" for the root, "Vol:\" for a volume,
/// "Vol:\A\B\" for a folder.
std::string GetNodePath(const CatalogTree& tree, NodeId node);

/// Adds the SizeKB of every file under `node` (its own and those of all
/// nodes below) to `total`. 64-bit, so subtrees over 2 TiB add up.
void AddFolderSize(const CatalogTree& tree, NodeId node, std::int64_t& total);

}  // namespace ardvel
