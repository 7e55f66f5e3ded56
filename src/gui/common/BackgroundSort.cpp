#include "common/BackgroundSort.h"

#include <memory>

namespace ardvel::gui {

namespace {
struct SortCancelled {};
}  // namespace

void BackgroundSort::Start(QObject* receiver, Order order, Work work, Done done)
{
    Cancel();
    cancel_ = false;
    const std::uint64_t generation = ++generation_;
    worker_ = std::thread([this, receiver, generation, order = std::move(order), work = std::move(work),
                           done = std::move(done)]() mutable {
        const SortPoll poll = [this] {
            if (cancel_.load(std::memory_order_relaxed)) throw SortCancelled{};
        };
        try {
            work(order, poll);
        } catch (...) {
            return;  // cancelled, or out of memory: the rows keep their order
        }
        auto sorted = std::make_shared<Order>(std::move(order));
        QMetaObject::invokeMethod(
            receiver,
            [this, generation, sorted, done = std::move(done)] {
                if (generation != generation_) return;
                if (worker_.joinable()) worker_.join();
                done(*sorted);
            },
            Qt::QueuedConnection);
    });
}

void BackgroundSort::Cancel() noexcept
{
    ++generation_;  // a result on its way is not taken
    if (!worker_.joinable()) return;
    cancel_ = true;
    worker_.join();
}

}  // namespace ardvel::gui
