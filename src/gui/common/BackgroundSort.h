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
/// answers while millions of rows are sorted; the folder list and the
/// search results list share it. One sort at a time: Start and Cancel first
/// end the one running (it polls its cancel flag as it takes keys and every
/// few thousand comparisons) and wait for it.
class BackgroundSort {
public:
    using Order = std::vector<std::uint32_t>;
    /// The sort, on the other thread: puts `order` in order, calling `poll`
    /// for every key it takes (and handing it to the row sort); `poll`
    /// throws once the sort is cancelled.
    using Work = std::function<void(Order& order, const SortPoll& poll)>;

    BackgroundSort() = default;
    BackgroundSort(const BackgroundSort&) = delete;
    BackgroundSort& operator=(const BackgroundSort&) = delete;
    ~BackgroundSort() { Cancel(); }

    /// Sorts a copy of `*source` with `work`; the copy is made on the other
    /// thread (a list of millions of rows would keep the window waiting for
    /// fresh memory), so `*source` must not change until the sort is taken
    /// or cancelled. Once it is done, `landed` is called through
    /// `receiver`'s event loop (unless the sort was cancelled or taken, or
    /// another started) to Take the result.
    void Start(QObject* receiver, const Order* source, Work work, std::function<void()> landed);
    /// Waits for the sort started last and hands over its order; false
    /// when none runs, or it was cancelled or failed (the rows then keep
    /// their order).
    bool Take(Order& order);
    /// Ends the sort running, if any; its order is not taken.
    void Cancel() noexcept;
    /// Whether a sort was started and is not yet taken or cancelled.
    bool Running() const noexcept { return worker_.joinable(); }

private:
    std::thread worker_;
    std::atomic<bool> cancel_{false};
    Order sorted_;                  ///< written by the worker before it ends
    bool ready_ = false;            ///< ditto: sorted_ holds its order
    std::uint64_t generation_ = 0;  ///< of the sort whose landing is wanted
};

}  // namespace ardvel::gui
