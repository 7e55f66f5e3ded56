#pragma once

// The two check boxes of the search panel that change how a search runs:
// "Ignore accents", and "Search as you type", which starts the search again
// a short pause after each change of the criteria.

#include <QObject>
#include <chrono>
#include <functional>
#include <optional>

class QCheckBox;
class QTimer;
class QWidget;

namespace ardvel {
class CatalogTree;
}

namespace ardvel::gui {

class TSearchTyping final : public QObject {
    Q_OBJECT
public:
    /// How long typing must pause before the search starts again.
    static constexpr std::chrono::milliseconds kPause{150};
    /// Search as you type is on by default below this many records.
    static constexpr std::size_t kDefaultRecordLimit = 5'000'000;

    /// The check boxes go into `parent`; `restart` is run after a pause.
    TSearchTyping(QWidget* parent, std::function<void()> restart);

    /// A criterion changed: with "Search as you type" ticked, the search
    /// starts again once the changes pause.
    void Changed();
    /// No restart is due any more (the search was started or stopped).
    void Cancel();
    bool Pending() const;

    /// "Search as you type" as the settings keep it; without a setting, on
    /// when `tree` holds fewer than kDefaultRecordLimit records.
    void SetSearchAsYouType(const std::optional<bool>& setting, const CatalogTree& tree);

    QCheckBox* IgnoreAccents = nullptr;
    QCheckBox* SearchAsYouType = nullptr;

private:
    QTimer* timer_;
};

}  // namespace ardvel::gui
