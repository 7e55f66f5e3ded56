#include "window/NavigationHistory.h"

namespace ardvel::gui {

void NavigationHistory::Clear()
{
    for (auto& slot : slots_) slot.reset();
    current_ = 1;
}

int NavigationHistory::Count() const noexcept
{
    int n = 0;
    for (int i = 1; i <= kMaxEntries; ++i)
        if (slots_[static_cast<std::size_t>(i)]) ++n;
    return n;
}

void NavigationHistory::Enter(std::string text, NodeHandle handle)
{
    if (slots_[kMaxEntries]) {
        for (int i = 1; i < kSlots - 1; ++i)
            slots_[static_cast<std::size_t>(i)] = std::move(slots_[static_cast<std::size_t>(i + 1)]);
        slots_[kSlots - 1].reset();
    }
    int slot = 1;
    while (slots_[static_cast<std::size_t>(slot)]) ++slot;
    slots_[static_cast<std::size_t>(slot)] = Entry{std::move(text), handle};
    current_ = slot;
}

std::vector<const NavigationHistory::Entry*> NavigationHistory::BackEntries() const
{
    std::vector<const Entry*> entries;
    for (int i = current_ - 1; i >= 0 && slots_[static_cast<std::size_t>(i)]; --i)
        entries.push_back(&*slots_[static_cast<std::size_t>(i)]);
    return entries;
}

std::vector<const NavigationHistory::Entry*> NavigationHistory::ForwardEntries() const
{
    std::vector<const Entry*> entries;
    for (int i = current_ + 1; i < kSlots && slots_[static_cast<std::size_t>(i)]; ++i)
        entries.push_back(&*slots_[static_cast<std::size_t>(i)]);
    return entries;
}

const NavigationHistory::Entry* NavigationHistory::GoBack(int steps)
{
    const int target = current_ - steps;
    if (steps < 1 || target < 1 || !slots_[static_cast<std::size_t>(target)]) return nullptr;
    current_ = target;
    return &*slots_[static_cast<std::size_t>(target)];
}

const NavigationHistory::Entry* NavigationHistory::GoForward(int steps)
{
    const int target = current_ + steps;
    if (steps < 1 || target > kMaxEntries || !slots_[static_cast<std::size_t>(target)]) return nullptr;
    current_ = target;
    return &*slots_[static_cast<std::size_t>(target)];
}

void NavigationHistory::DropStale(const CatalogTree& tree)
{
    std::array<std::optional<Entry>, kSlots> kept;
    int next = 1;
    int newCurrent = 0;
    for (int i = 1; i <= kMaxEntries; ++i) {
        auto& slot = slots_[static_cast<std::size_t>(i)];
        if (!slot) break;
        if (tree.Resolve(slot->Handle) == kNoNode) continue;
        if (i <= current_) newCurrent = next;
        kept[static_cast<std::size_t>(next++)] = std::move(slot);
    }
    slots_ = std::move(kept);
    current_ = newCurrent > 0 ? newCurrent : 1;
}

void NavigationHistory::Retitle(NodeHandle handle, const std::string& text)
{
    for (std::optional<Entry>& slot : slots_)
        if (slot && slot->Handle == handle) slot->Text = text;
}

void NavigationHistory::SetHandle(int index, NodeHandle handle)
{
    if (index < 0 || index >= kSlots) return;
    if (std::optional<Entry>& slot = slots_[static_cast<std::size_t>(index)]) slot->Handle = handle;
}

}  // namespace ardvel::gui
