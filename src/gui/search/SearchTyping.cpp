#include "search/SearchTyping.h"

#include <QCheckBox>
#include <QTimer>

#include "store/CatalogTree.h"

namespace ardvel::gui {

TSearchTyping::TSearchTyping(QWidget* parent, std::function<void()> restart) : QObject(parent)
{
    IgnoreAccents = new QCheckBox(QStringLiteral("Ignore &accents"), parent);
    IgnoreAccents->setObjectName(QStringLiteral("IgnoreAccents"));
    IgnoreAccents->setAccessibleName(QStringLiteral("Ignore accents"));
    SearchAsYouType = new QCheckBox(QStringLiteral("Search as you &type"), parent);
    SearchAsYouType->setObjectName(QStringLiteral("SearchAsYouType"));
    SearchAsYouType->setAccessibleName(QStringLiteral("Search as you type"));

    timer_ = new QTimer(this);
    timer_->setSingleShot(true);
    timer_->setInterval(kPause);
    connect(timer_, &QTimer::timeout, this, std::move(restart));
    connect(SearchAsYouType, &QCheckBox::toggled, this, [this](bool on) {
        if (!on) Cancel();
    });
}

void TSearchTyping::Changed()
{
    if (SearchAsYouType->isChecked()) timer_->start();
}

void TSearchTyping::Cancel()
{
    timer_->stop();
}

bool TSearchTyping::Pending() const
{
    return timer_->isActive();
}

void TSearchTyping::SetSearchAsYouType(const std::optional<bool>& setting, const CatalogTree& tree)
{
    if (setting) {
        SearchAsYouType->setChecked(*setting);
        return;
    }
    std::size_t records = 0;
    for (const NodeId volume : tree.Children(CatalogTree::kRoot)) records += tree.Store(volume).Files.size();
    SearchAsYouType->setChecked(records < kDefaultRecordLimit);
}

}  // namespace ardvel::gui
