#pragma once

#include <QObject>
#include <atomic>
#include <cstdint>
#include <functional>
#include <thread>
#include <vector>

#include "store/RowSort.h"

namespace ardvel::gui {

/// Puts a list's rows in order on a thread of its own, so that the window
/// answers while hundreds of thousands of rows are sorted. One sort at a
/// time: Start and Cancel first end the one running (it polls its cancel
/// flag as it takes keys and every few thousand comparisons) and wait for it.
class BackgroundSort {
public:
    using Order = std::vector<std::uint32_t>;
    /// The sort, on the other thread: puts `order` in order, calling `poll`
    /// for every key it takes (and handing it to the row sort); `poll`
    /// throws once the sort is cancelled.
    using Work = std::function<void(Order& order, const SortPoll& poll)>;
    /// Takes the sorted order, on the thread of the receiver given to Start.
    using Done = std::function<void(Order& order)>;

    BackgroundSort() = default;
    BackgroundSort(const BackgroundSort&) = delete;
    BackgroundSort& operator=(const BackgroundSort&) = delete;
    ~BackgroundSort() { Cancel(); }

    /// Sorts `order` with `work`; `done` is called through `receiver`'s
    /// event loop with the result, unless the sort is cancelled or another
    /// is started first.
    void Start(QObject* receiver, Order order, Work work, Done done);
    void Cancel() noexcept;
    bool Running() const noexcept { return worker_.joinable(); }

private:
    std::thread worker_;
    std::atomic<bool> cancel_{false};
    std::uint64_t generation_ = 0;  ///< of the sort whose result is wanted
};

}  // namespace ardvel::gui
