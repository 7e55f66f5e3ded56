#pragma once

#include <QString>
#include <chrono>
#include <cstddef>
#include <string_view>

namespace ardvel::gui {

/// When the status bar shows the folder a search is in. The walk names every
/// folder it enters, and a path's text costs as much as the path is long:
/// shown each time, a chain of folders N deep costs N squared. So the first
/// folder of a search and of each volume is shown as it is entered (the count
/// of volumes beside it stays true), and any other is only noted: a timer
/// shows the walk's folder of the moment at most every kInterval.
class FolderStatusThrottle {
public:
    static constexpr std::chrono::milliseconds kInterval{100};

    /// A new search or a new volume: the next folder is shown at once.
    void ShowNext() noexcept { showNext_ = true; }
    /// A folder was entered: true when it is shown now, else it waits for
    /// the timer.
    bool Entered() noexcept
    {
        waiting_ = !showNext_;
        showNext_ = false;
        return !waiting_;
    }
    /// The timer: true once when a folder entered since the last one shown
    /// waits to be shown.
    bool TakeWaiting() noexcept
    {
        const bool waiting = waiting_;
        waiting_ = false;
        return waiting;
    }

private:
    bool showNext_ = true;
    bool waiting_ = false;
};

/// The text of a folder path for the status bar. A path longer than
/// `maxBytes` keeps its volume and its deepest folders, "..." in between,
/// cut at folder bounds: a panel never shows more, and a text of megabytes
/// would cost more to lay out than the search.
QString StatusPath(std::string_view path, std::size_t maxBytes = 1024);

}  // namespace ardvel::gui
