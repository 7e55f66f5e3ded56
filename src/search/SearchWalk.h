#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Locale.h"
#include "search/NameMatchCache.h"
#include "search/SearchMatcher.h"
#include "search/SearchResults.h"
#include "store/CatalogTree.h"
#include "store/ListFormats.h"

namespace ardvel {

/// What a search covers: every volume in tree order, one volume or folder
/// with everything below it, or nothing.
struct SearchScope {
    enum class Kind : std::uint8_t { Nothing, AllVolumes, Node };
    Kind What = Kind::Nothing;
    NodeId Node = kNoNode;

    static SearchScope AllVolumes() { return {Kind::AllVolumes, kNoNode}; }
    static SearchScope Of(NodeId node) { return {Kind::Node, node}; }
};

/// The scope of the Look-in entry at `index` among `count` entries: the last
/// is "All", the one before it the current folder (`selected`, all volumes
/// when that is the root or none), each earlier one the volume at that index
/// under the root. An index that names no entry searches nothing.
SearchScope ScopeFromLookIn(const CatalogTree& tree, int index, int count, NodeId selected);

/// Status panels a search writes to.
inline constexpr int kStatusCatalogs = 0;  ///< "N Volumes to search", then "N Catalogs"
inline constexpr int kStatusProgress = 1;  ///< the node path of each folder, then "N Matches found"

/// What a search tells its window. Every member may be empty.
struct SearchEvents {
    /// A new text for status panel 0 or 1. The text is only valid during the call.
    std::function<void(int panel, std::string_view text)> Status;
    /// Rows first .. first+count-1 were added to the results, in the order
    /// found. When the walk has ended the rows are sorted: read them anew.
    std::function<void(std::size_t first, std::size_t count)> RowsAdded;
    /// The sort state at the end of the search; the results are sorted by it.
    std::function<SortState()> CurrentSort;
    /// The results stay in the order found, for the caller to sort
    /// (CurrentSort is not asked).
    bool CallerSorts = false;
};

enum class SearchEnd : std::uint8_t {
    Running,
    Completed,
    Stopped,      ///< a stop request, or a node of the walk removed between steps
    InvalidMask,  ///< see SearchWalk::Error
};

/// One run of a search over the catalog tree, in pre-order: the files of a
/// folder, then each sub-folder's row followed by what lies below it. The
/// walk runs in slices (`Step`), so a window can handle its events in
/// between; the stop request is looked at before every file and sub-folder.
/// At the end the rows are sorted by the current sort state (unless the
/// caller sorts them) and the status panels get "N Catalogs" and "N Matches
/// found".
///
/// The tree must not change during a `Step`. Between steps it may: a walk
/// whose current node was removed ends as stopped, and volumes removed before
/// their turn are passed over.
class SearchWalk {
public:
    /// Empties `results`, runs PrepareNameText on the criteria and compiles
    /// them. An invalid mask does not throw: the first Step ends the walk
    /// with it.
    SearchWalk(const CatalogTree& tree, const SearchScope& scope, SearchCriteria criteria, const Locale& locale,
               SearchResults& results, SearchEvents events = {});
    ~SearchWalk();
    SearchWalk(const SearchWalk&) = delete;
    SearchWalk& operator=(const SearchWalk&) = delete;

    /// Walks on until the deadline (looked at every few hundred items), the
    /// end or a stop. True while there is more to do.
    bool Step(std::chrono::steady_clock::time_point deadline);
    /// Walks to the end.
    void Run();

    /// Asks the walk to stop before its next file or sub-folder. May be
    /// called from any thread, and from within an event of this walk.
    void RequestStop() noexcept;

    /// Criteria changed while the search runs: they apply to the names tested
    /// after this call. UseMask stays as it was at the start; the mask is
    /// compiled again only when the name text changed, and an invalid one
    /// ends the walk before its next test, keeping the rows found.
    void SetCriteria(const SearchCriteria& criteria);

    SearchEnd End() const noexcept { return end_; }
    bool Running() const noexcept { return end_ == SearchEnd::Running; }
    /// The invalid mask that ended the search, or null.
    const EMaskException* Error() const noexcept { return error_ ? &*error_ : nullptr; }
    /// The criteria in use, after PrepareNameText ("*" for an empty name).
    const SearchCriteria& Criteria() const noexcept { return criteria_; }
    /// The node path of the folder the walk is in, between steps: what the
    /// progress panel shows, for a window that shows it only now and then.
    std::string_view FolderPath() const noexcept { return nodePath_; }

private:
    struct Frame {
        NodeId Node;
        NodeHandle Handle;
        std::uint32_t NextFile = 0;
        std::uint32_t NextChild = 0;
        std::uint32_t PathLength = 0;  ///< length of the node path of this node
        std::uint32_t Place = kNoPlace;
    };
    static constexpr std::uint32_t kNoPlace = 0xFFFFFFFFu;
    /// Items (files or folders) tested between two looks at the clock; rows
    /// found meanwhile are handed on at the same time.
    static constexpr std::uint32_t kItemsPerClockCheck = 256;

    /// How a part of a step ends: go on, pause until the next step, or the
    /// walk is over (Finish has run).
    enum class Flow : std::uint8_t { Go, Pause, Done };
    void StartScope();
    Flow NextVolume();
    Flow WalkFiles(Frame& frame);
    void MatchBlock(const FileList& files, std::uint32_t next, std::size_t count, const TDetails* block,
                    SearchMatcher::MatchBits& matches);
    Flow Descend(Frame& frame);
    /// For a folder without sub-folders: tests its files as WalkFiles would
    /// and true when none matches (they then count as tested); false when
    /// one does, or when WalkFiles would look at the clock in between.
    bool NoFileMatches(NodeId folder);
    Flow BeforeItem();
    Flow Interrupted();
    bool PastDeadline() const;

    void Enter(NodeId node);
    std::uint32_t PlaceOf(Frame& frame);
    bool FramesStillValid() const noexcept;
    void Notify();
    void Finish(SearchEnd end);
    void Status(int panel, std::string_view text) const;

    const CatalogTree& tree_;
    const Locale& locale_;
    SearchResults& results_;
    SearchEvents events_;
    SearchCriteria criteria_;
    std::unique_ptr<SearchMatcher> matcher_;
    NameMatchCache names_;  ///< the files of the volume being searched whose names match
    /// Whether names_ may sweep a volume's names ahead on a second thread:
    /// not when one folder is searched, which may hold a small part of them.
    bool sweepAhead_ = true;
    std::optional<EMaskException> error_;
    TodayClock clock_;

    NodeHandle start_;                 ///< the node to search, one-node scope, until entered
    std::vector<NodeHandle> volumes_;  ///< the volumes still to search, all-volumes scope
    std::size_t nextVolume_ = 0;
    std::vector<Frame> frames_;
    NodeId volume_ = kNoNode;                         ///< the volume being searched
    std::string nodePath_;                            ///< "Volume:\Folder\...\" of the deepest frame
    std::size_t volumePrefix_ = 0;                    ///< length of "Volume:\"
    std::size_t notified_ = 0;                        ///< rows already told through RowsAdded
    std::chrono::steady_clock::time_point deadline_;  ///< of the step going on
    std::uint32_t countdown_ = kItemsPerClockCheck;   ///< items until the next look at the clock
    /// Set by NoFileMatches when it found a match: the matches of the files
    /// of the folder entered next, its first batch in WalkFiles.
    SearchMatcher::MatchBits testedMatches_;
    bool tested_ = false;
    std::atomic<bool> interrupt_{false};
    std::atomic<bool> stopRequested_{false};
    SearchEnd end_ = SearchEnd::Running;
};

}  // namespace ardvel
