#include "search/SearchWalk.h"

#include <algorithm>
#include <bit>

namespace ardvel {

namespace {

}  // namespace

SearchScope ScopeFromLookIn(const CatalogTree& tree, int index, int count, NodeId selected)
{
    if (count <= 0 || index < 0 || index >= count) return {};
    if (index == count - 1) return SearchScope::AllVolumes();
    if (index == count - 2) {
        if (selected == kNoNode || selected == CatalogTree::kRoot || !tree.IsAlive(selected))
            return SearchScope::AllVolumes();
        return SearchScope::Of(selected);
    }
    const auto volumes = tree.Children(CatalogTree::kRoot);
    if (static_cast<std::size_t>(index) >= volumes.size()) return {};
    return SearchScope::Of(volumes[static_cast<std::size_t>(index)]);
}

SearchWalk::SearchWalk(const CatalogTree& tree, const SearchScope& scope, SearchCriteria criteria, const Locale& locale,
                       SearchResults& results, SearchEvents events)
    : tree_(tree), locale_(locale), results_(results), events_(std::move(events)), criteria_(std::move(criteria))
{
    results_.clear();
    PrepareNameText(criteria_);
    // The mask is compiled once, here: an invalid one is reported even when
    // the scope holds nothing to test.
    try {
        matcher_ = std::make_unique<SearchMatcher>(criteria_, locale_);
    } catch (const EMaskException& e) {
        error_ = e;
        interrupt_ = true;
    }

    switch (scope.What) {
        case SearchScope::Kind::AllVolumes:
            for (NodeId v : tree_.Children(CatalogTree::kRoot)) volumes_.push_back(tree_.Handle(v));
            break;
        case SearchScope::Kind::Node:
            if (scope.Node != CatalogTree::kRoot && tree_.IsAlive(scope.Node)) start_ = tree_.Handle(scope.Node);
            break;
        case SearchScope::Kind::Nothing:
            return;
    }
    // At most every record of the tree is found.
    std::size_t files = 0;
    for (NodeId v : tree_.Children(CatalogTree::kRoot)) files += tree_.Store(v).Files.size();
    results_.Reserve(files + tree_.NodeCount(), tree_.NodeCount());
}

SearchWalk::~SearchWalk() = default;

void SearchWalk::Status(int panel, std::string_view text) const
{
    if (events_.Status) events_.Status(panel, text);
}

void SearchWalk::Enter(NodeId node)
{
    if (tree_.Level(node) == 1) {
        volume_ = node;
        names_.Reset(&tree_.Store(node));
        nodePath_.assign(tree_.Text(node));
        nodePath_ += ":\\";
        volumePrefix_ = nodePath_.size();
    } else {
        nodePath_ += tree_.Text(node);
        nodePath_ += '\\';
    }
    // Filled in place: a frame put together elsewhere and copied in costs
    // more than the rest of this call.
    Frame& frame = frames_.emplace_back();
    frame.Node = node;
    frame.Handle = tree_.Handle(node);
    frame.PathLength = static_cast<std::uint32_t>(nodePath_.size());
    Status(kStatusProgress, nodePath_);
}

std::uint32_t SearchWalk::PlaceOf(Frame& frame)
{
    if (frame.Place == kNoPlace) {
        const std::string_view path(nodePath_.data() + volumePrefix_, frame.PathLength - volumePrefix_);
        frame.Place = results_.AddPlace(tree_.Text(volume_), path);
    }
    return frame.Place;
}

bool SearchWalk::FramesStillValid() const noexcept
{
    for (const Frame& frame : frames_)
        if (tree_.Resolve(frame.Handle) != frame.Node) return false;
    return true;
}

void SearchWalk::Notify()
{
    if (results_.size() == notified_) return;
    const std::size_t first = notified_;
    notified_ = results_.size();
    if (events_.RowsAdded) events_.RowsAdded(first, notified_ - first);
}

void SearchWalk::RequestStop() noexcept
{
    stopRequested_.store(true, std::memory_order_relaxed);
    interrupt_.store(true, std::memory_order_relaxed);
}

void SearchWalk::SetCriteria(const SearchCriteria& criteria)
{
    if (end_ != SearchEnd::Running || error_) return;
    names_.StopAhead();  // it reads what the matcher holds
    try {
        if (matcher_)
            matcher_->Update(criteria);
        else
            matcher_ = std::make_unique<SearchMatcher>(criteria, locale_);
        criteria_ = matcher_->Criteria();
        names_.Reset(names_.Store());
    } catch (const EMaskException& e) {
        error_ = e;
        interrupt_ = true;
    }
}

void SearchWalk::Finish(SearchEnd end)
{
    frames_.clear();
    volumes_.clear();
    Notify();
    if (!events_.CallerSorts) results_.Sort(events_.CurrentSort ? events_.CurrentSort() : SortState{}, locale_);
    end_ = end;
    Status(kStatusCatalogs, std::to_string(tree_.VolumeCount()) + " Catalogs");
    Status(kStatusProgress, std::to_string(results_.size()) + " Matches found");
}

void SearchWalk::Run()
{
    while (Step(std::chrono::steady_clock::time_point::max())) {
    }
}

void SearchWalk::StartScope()
{
    // A search of one volume or folder: its path is written when the walk
    // enters it.
    const NodeId node = tree_.Resolve(start_);
    start_ = {};
    if (node == kNoNode) return;
    volume_ = tree_.VolumeOf(node);
    names_.Reset(&tree_.Store(volume_));
    if (tree_.Level(node) > 1) {
        sweepAhead_ = false;
        nodePath_ = GetNodePath(tree_, tree_.Parent(node));
        volumePrefix_ = tree_.Text(volume_).size() + 2;
    }
    Enter(node);
}

bool SearchWalk::PastDeadline() const
{
    // A walk to the end (Run) has no deadline to look at the clock for.
    return deadline_ != std::chrono::steady_clock::time_point::max() && std::chrono::steady_clock::now() >= deadline_;
}

SearchWalk::Flow SearchWalk::Interrupted()
{
    tested_ = false;
    Finish(error_ ? SearchEnd::InvalidMask : SearchEnd::Stopped);
    return Flow::Done;
}

SearchWalk::Flow SearchWalk::BeforeItem()
{
    // Before every item: the stop request (and an invalid mask set
    // meanwhile), and now and then the clock.
    if (interrupt_.load(std::memory_order_relaxed)) return Interrupted();
    if (--countdown_ == 0) {
        countdown_ = kItemsPerClockCheck;
        Notify();
        if (PastDeadline()) return Flow::Pause;
        if (interrupt_.load(std::memory_order_relaxed)) return Interrupted();
    }
    return Flow::Go;
}

SearchWalk::Flow SearchWalk::NextVolume()
{
    if (nextVolume_ < volumes_.size()) {
        if (interrupt_.load(std::memory_order_relaxed)) return Interrupted();
        const std::size_t i = nextVolume_++;
        Status(kStatusCatalogs, std::to_string(volumes_.size() - i - 1) + " Volumes to search");
        const NodeId volume = tree_.Resolve(volumes_[i]);
        if (volume != kNoNode) Enter(volume);
        return Flow::Go;
    }
    if (interrupt_.load(std::memory_order_relaxed) && error_) return Interrupted();
    Finish(SearchEnd::Completed);
    return Flow::Done;
}

void SearchWalk::MatchBlock(const FileList& files, std::uint32_t next, std::size_t count, const TDetails* block,
                            SearchMatcher::MatchBits& matches)
{
    const VolumeStore& store = files.Store();
    if (const NameSweep sweep = matcher_->PackedNames(); sweep.Text != nullptr || sweep.Mask != nullptr) {
        // A text or mask to look for in names: the volume's names are swept
        // a block at a time, and only the records of matches read.
        if (names_.Store() != &store) names_.Reset(&store);
        if (sweepAhead_) names_.SweepAhead(sweep, files.Begin() + next);
        names_.Get(sweep, files.Begin() + next, count, matches);
        if (matcher_->OtherTestsOn()) matcher_->MatchOtherTests(store, block, count, clock_, matches);
    } else {
        matcher_->MatchFiles(store, block, count, clock_, matches);
    }
}

SearchWalk::Flow SearchWalk::WalkFiles(Frame& frame)
{
    const FileList files = tree_.Files(frame.Node);
    while (frame.NextFile < files.size()) {
        // The files up to the next look at the clock, within one block of
        // the store, are tested together, and their rows added in order. The
        // stop request is looked at before the first of them and before each
        // one that matched: nothing can set it in between on this thread, and
        // a file that does not match adds nothing, so no file is taken after
        // a stop.
        if (interrupt_.load(std::memory_order_relaxed)) return Interrupted();
        const VolumeStore& store = files.Store();
        std::size_t available;
        const TDetails* block = store.Files.BlockAt(files.Begin() + frame.NextFile, available);
        const std::size_t count =
            std::min<std::size_t>({available, files.size() - frame.NextFile, countdown_, SearchMatcher::kMaxBatch});
        SearchMatcher::MatchBits matches;
        if (tested_) {
            // The batch NoFileMatches tested on the way in.
            matches = testedMatches_;
            tested_ = false;
        } else {
            MatchBlock(files, frame.NextFile, count, block, matches);
        }
        for (std::size_t w = 0; w < matches.size(); ++w) {
            for (std::uint64_t bits = matches[w]; bits != 0; bits &= bits - 1) {
                const std::size_t i = w * 64 + static_cast<std::size_t>(std::countr_zero(bits));
                if (interrupt_.load(std::memory_order_relaxed)) {
                    frame.NextFile += static_cast<std::uint32_t>(i);
                    return Interrupted();
                }
                const TDetails& file = block[i];
                results_.AddFile(PlaceOf(frame), store.Name(file), file.SizeKB, file.Date, store.Artist(file),
                                 store.Title(file));
            }
        }
        frame.NextFile += static_cast<std::uint32_t>(count);
        countdown_ -= static_cast<std::uint32_t>(count);
        if (countdown_ == 0) {
            countdown_ = kItemsPerClockCheck;
            Notify();
            if (PastDeadline()) return Flow::Pause;
        }
    }
    return Flow::Go;
}

SearchWalk::Flow SearchWalk::Descend(Frame& frame)
{
    const auto children = tree_.Children(frame.Node);
    if (frame.NextChild == children.size()) {
        frames_.pop_back();
        return Flow::Go;
    }
    if (const Flow flow = BeforeItem(); flow != Flow::Go) return flow;
    const NodeId child = children[frame.NextChild++];
    const TDateTime today = matcher_->NeedsToday() ? clock_.Today() : 0;
    if (matcher_->FolderMatches(tree_.Info(child).Date, tree_.Text(child), today))
        results_.AddFolder(PlaceOf(frame), tree_.Text(child), tree_.Info(child).Date, tree_.Handle(child));
    nodePath_.resize(frame.PathLength);
    if (tree_.Children(child).empty() && NoFileMatches(child)) {
        // Nothing below it to add: its path is shown as for a folder
        // entered, without a frame for it.
        nodePath_ += tree_.Text(child);
        nodePath_ += '\\';
        Status(kStatusProgress, nodePath_);
        return Flow::Go;
    }
    Enter(child);  // may move `frame`
    return Flow::Go;
}

bool SearchWalk::NoFileMatches(NodeId folder)
{
    // Most folders of a large tree hold a few dozen files, none of which
    // match: they are tested here in one batch, which WalkFiles would take
    // too (no look at the clock falls within it), rather than entered.
    const FileList files = tree_.Files(folder);
    if (files.size() == 0) return true;
    if (files.size() >= countdown_ || files.size() > SearchMatcher::kMaxBatch) return false;
    std::size_t available;
    const TDetails* block = files.Store().Files.BlockAt(files.Begin(), available);
    if (available < files.size()) return false;
    SearchMatcher::MatchBits& matches = testedMatches_;
    MatchBlock(files, 0, files.size(), block, matches);
    for (const std::uint64_t word : matches) {
        if (word != 0) {
            // Entered next: its first batch is this one.
            tested_ = true;
            return false;
        }
    }
    countdown_ -= static_cast<std::uint32_t>(files.size());
    return true;
}

bool SearchWalk::Step(std::chrono::steady_clock::time_point deadline)
{
    // Between two steps the tree may change: no thread reads it then.
    struct StopSweep {
        NameMatchCache& Names;
        ~StopSweep() { Names.StopAhead(); }
    } stopSweep{names_};
    if (end_ != SearchEnd::Running) return false;
    if (start_.Index != kNoNode && !error_) StartScope();
    if (!FramesStillValid()) {
        Finish(SearchEnd::Stopped);
        return false;
    }
    deadline_ = deadline;
    countdown_ = kItemsPerClockCheck;
    for (;;) {
        Flow flow;
        if (frames_.empty()) {
            flow = NextVolume();
        } else {
            flow = WalkFiles(frames_.back());
            if (flow == Flow::Go) flow = Descend(frames_.back());
        }
        if (flow == Flow::Pause) return true;
        if (flow == Flow::Done) return false;
    }
}

}  // namespace ardvel
