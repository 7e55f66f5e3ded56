#include "common/BackgroundSort.h"

namespace ardvel::gui {

namespace {
struct SortCancelled {};
}  // namespace

void BackgroundSort::Start(QObject* receiver, const Order* source, Work work, std::function<void()> landed)
{
    Cancel();
    cancel_ = false;
    const std::uint64_t generation = ++generation_;
    worker_ =
        std::thread([this, receiver, generation, source, work = std::move(work), landed = std::move(landed)]() mutable {
            const SortPoll poll = [this] {
                if (cancel_.load(std::memory_order_relaxed)) throw SortCancelled{};
            };
            try {
                Order order(*source);
                work(order, poll);
                sorted_ = std::move(order);
                ready_ = true;
            } catch (...) {
                // Cancelled, or out of memory: the rows keep their order.
            }
            QMetaObject::invokeMethod(
                receiver,
                [this, generation, landed = std::move(landed)] {
                    if (generation == generation_ && Running()) landed();
                },
                Qt::QueuedConnection);
        });
}

bool BackgroundSort::Take(Order& order)
{
    if (!worker_.joinable()) return false;
    worker_.join();
    const bool ready = ready_;
    if (ready) order.swap(sorted_);
    sorted_.clear();
    ready_ = false;
    return ready;
}

void BackgroundSort::Cancel() noexcept
{
    ++generation_;  // a landing on its way is not reported
    if (!worker_.joinable()) return;
    cancel_ = true;
    worker_.join();
    sorted_.clear();
    ready_ = false;
}

}  // namespace ardvel::gui
