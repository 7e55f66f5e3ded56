#include "search/SearchWalk.h"

#include <algorithm>
#include <bit>

namespace ardvel {

namespace {

// Items (files or folders) tested between two looks at the clock; rows found
// meanwhile are handed on at the same time.
constexpr std::uint32_t kItemsPerClockCheck = 256;

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
            break;
    }
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
    results_.Sort(events_.CurrentSort ? events_.CurrentSort() : SortState{}, locale_);
    end_ = end;
    Status(kStatusCatalogs, std::to_string(tree_.VolumeCount()) + " Catalogs");
    Status(kStatusProgress, std::to_string(results_.size()) + " Matches found");
}

void SearchWalk::Run()
{
    while (Step(std::chrono::steady_clock::time_point::max())) {
    }
}

bool SearchWalk::Step(std::chrono::steady_clock::time_point deadline)
{
    if (end_ != SearchEnd::Running) return false;
    if (start_.Index != kNoNode && !error_) {
        // A search of one volume or folder: its path is written when the walk
        // enters it.
        const NodeId node = tree_.Resolve(start_);
        start_ = {};
        if (node != kNoNode) {
            volume_ = tree_.VolumeOf(node);
            names_.Reset(&tree_.Store(volume_));
            if (tree_.Level(node) > 1) {
                nodePath_ = GetNodePath(tree_, tree_.Parent(node));
                volumePrefix_ = tree_.Text(volume_).size() + 2;
            }
            Enter(node);
        }
    }
    if (!FramesStillValid()) {
        Finish(SearchEnd::Stopped);
        return false;
    }

    std::uint32_t countdown = kItemsPerClockCheck;
    // A walk to the end (Run) has no deadline to look at the clock for.
    const bool timed = deadline != std::chrono::steady_clock::time_point::max();
    const auto pastDeadline = [&] { return timed && std::chrono::steady_clock::now() >= deadline; };
    // Before every item: the stop request (and an invalid mask set meanwhile),
    // and now and then the clock.
    enum class Before { Go, Pause, End };
    const auto before = [&]() {
        if (interrupt_.load(std::memory_order_relaxed)) return Before::End;
        if (--countdown == 0) {
            countdown = kItemsPerClockCheck;
            Notify();
            if (pastDeadline()) return Before::Pause;
            if (interrupt_.load(std::memory_order_relaxed)) return Before::End;
        }
        return Before::Go;
    };
    const auto interrupted = [&]() {
        Finish(error_ ? SearchEnd::InvalidMask : SearchEnd::Stopped);
        return false;
    };

    for (;;) {
        if (frames_.empty()) {
            if (nextVolume_ < volumes_.size()) {
                if (interrupt_.load(std::memory_order_relaxed)) return interrupted();
                const std::size_t i = nextVolume_++;
                Status(kStatusCatalogs, std::to_string(volumes_.size() - i - 1) + " Volumes to search");
                const NodeId volume = tree_.Resolve(volumes_[i]);
                if (volume != kNoNode) Enter(volume);
                continue;
            }
            if (interrupt_.load(std::memory_order_relaxed) && error_) return interrupted();
            Finish(SearchEnd::Completed);
            return false;
        }

        Frame& frame = frames_.back();
        const FileList files = tree_.Files(frame.Node);
        while (frame.NextFile < files.size()) {
            // The files up to the next look at the clock, within one block
            // of the store, are tested together, and their rows added in
            // order. The stop request is looked at before the first of them
            // and before each one that matched: nothing can set it in
            // between on this thread, and a file that does not match adds
            // nothing, so no file is taken after a stop.
            if (interrupt_.load(std::memory_order_relaxed)) return interrupted();
            const VolumeStore& store = files.Store();
            std::size_t available;
            const TDetails* block = store.Files.BlockAt(files.Begin() + frame.NextFile, available);
            const std::size_t count =
                std::min<std::size_t>({available, files.size() - frame.NextFile, countdown, SearchMatcher::kMaxBatch});
            SearchMatcher::MatchBits matches;
            if (const NameSweep sweep = matcher_->PackedNames(); sweep.Text != nullptr || sweep.Mask != nullptr) {
                // A text or mask to look for in names: the volume's names are
                // swept a block at a time, and only the records of matches read.
                if (names_.Store() != &store) names_.Reset(&store);
                names_.Get(sweep, files.Begin() + frame.NextFile, count, matches);
                if (matcher_->OtherTestsOn()) matcher_->MatchOtherTests(store, block, count, clock_, matches);
            } else {
                matcher_->MatchFiles(store, block, count, clock_, matches);
            }
            for (std::size_t w = 0; w < matches.size(); ++w) {
                for (std::uint64_t bits = matches[w]; bits != 0; bits &= bits - 1) {
                    const std::size_t i = w * 64 + static_cast<std::size_t>(std::countr_zero(bits));
                    if (interrupt_.load(std::memory_order_relaxed)) {
                        frame.NextFile += static_cast<std::uint32_t>(i);
                        return interrupted();
                    }
                    const TDetails& file = block[i];
                    results_.AddFile(PlaceOf(frame), store.Name(file), file.SizeKB, file.Date, store.Artist(file),
                                     store.Title(file));
                }
            }
            frame.NextFile += static_cast<std::uint32_t>(count);
            countdown -= static_cast<std::uint32_t>(count);
            if (countdown == 0) {
                countdown = kItemsPerClockCheck;
                Notify();
                if (pastDeadline()) return true;
            }
        }

        const auto children = tree_.Children(frame.Node);
        if (frame.NextChild < children.size()) {
            switch (before()) {
                case Before::Go:
                    break;
                case Before::Pause:
                    return true;
                case Before::End:
                    return interrupted();
            }
            const NodeId child = children[frame.NextChild++];
            const SearchMatcher& matcher = *matcher_;
            const TDateTime today = matcher.NeedsToday() ? clock_.Today() : 0;
            if (matcher.FolderMatches(tree_.Info(child).Date, tree_.Text(child), today))
                results_.AddFolder(PlaceOf(frame), tree_.Text(child), tree_.Info(child).Date, tree_.Handle(child));
            nodePath_.resize(frame.PathLength);
            Enter(child);  // may move `frame`
            continue;
        }
        frames_.pop_back();
    }
}

}  // namespace ardvel
