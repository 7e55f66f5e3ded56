#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "store/CatalogTree.h"

namespace ardvel::gui {

/// The folders the user opened, for Back and Forward: 13 slots, of which
/// the first and the last stay empty; entries fill slots 1 to 11 without
/// gaps. Each entry keeps the node's text at the time and its handle.
class NavigationHistory {
public:
    static constexpr int kSlots = 13;
    static constexpr int kMaxEntries = kSlots - 2;

    struct Entry {
        std::string Text;
        NodeHandle Handle;
    };

    /// Empties every slot; the current index is 1.
    void Clear();
    /// Puts an entry behind the last one (dropping the oldest when all 11
    /// are taken) and makes it current. Entries ahead of the current one
    /// are kept.
    void Enter(std::string text, NodeHandle handle);

    int CurrentIndex() const noexcept { return current_; }
    const std::optional<Entry>& Slot(int index) const { return slots_[static_cast<std::size_t>(index)]; }
    int Count() const noexcept;

    /// The entries behind, respectively ahead of, the current index, the
    /// nearest first, up to the first empty slot.
    std::vector<const Entry*> BackEntries() const;
    std::vector<const Entry*> ForwardEntries() const;

    /// Moves back or forward by `steps` entries (item k of a menu is k + 1
    /// steps). Returns the entry now current, or nullptr when there is no
    /// such entry (nothing changes then).
    const Entry* GoBack(int steps);
    const Entry* GoForward(int steps);

    /// Drops the entries whose node no longer exists, closing the gaps. The
    /// current index goes to the nearest remaining entry at or behind it,
    /// or to 1.
    void DropStale(const CatalogTree& tree);
    /// The entries of `handle`'s node take the node's new text.
    void Retitle(NodeHandle handle, const std::string& text);
    /// The entry of slot `index`, if any, stands for the node of `handle`
    /// from now on (the same folder, read again).
    void SetHandle(int index, NodeHandle handle);

private:
    std::array<std::optional<Entry>, kSlots> slots_;
    int current_ = 1;
};

}  // namespace ardvel::gui
