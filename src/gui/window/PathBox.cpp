#include "window/PathBox.h"

#include <QMetaObject>

#include "common/Icons.h"

namespace ardvel::gui {

int PathBoxImageIndex(const QString& text)
{
    if (text == QLatin1String(kSearchResultsEntry)) return kSearchResultsImage;
    if (text.endsWith(QLatin1String(":\\"))) return kVolumeImage;
    if (text.contains(QLatin1Char('\\'))) return kFolderImage;
    return kRootImage;
}

PathBox::PathBox(QWidget* parent) : QComboBox(parent)
{
    setEditable(false);
    setMinimumWidth(30);
    setIconSize(QSize(16, 16));
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMaxVisibleItems(kMaxPaths + 1);
}

void PathBox::InsertEntry(int index, const QString& text)
{
    insertItem(index, ListImage(PathBoxImageIndex(text)), text);
}

void PathBox::RecordPath(const QString& path)
{
    for (int i = 0; i < count(); ++i) {
        if (itemText(i) == path) {
            setCurrentIndex(i);
            return;
        }
    }
    // "Search Results" stays first and does not count as a path.
    const int first = count() > 0 && itemText(0) == QLatin1String(kSearchResultsEntry) ? 1 : 0;
    if (count() - first > kMaxPaths - 1) removeItem(count() - 1);
    InsertEntry(first, path);
    setCurrentIndex(first);
}

void PathBox::InsertSearchResults()
{
    if (count() == 0 || itemText(0) != QLatin1String(kSearchResultsEntry))
        InsertEntry(0, QString::fromLatin1(kSearchResultsEntry));
    setCurrentIndex(0);
}

void PathBox::RemoveSearchResults()
{
    if (count() > 0 && itemText(0) == QLatin1String(kSearchResultsEntry)) removeItem(0);
}

QStringList PathBox::Entries() const
{
    QStringList entries;
    for (int i = 0; i < count(); ++i) entries.push_back(itemText(i));
    return entries;
}

void PathBox::RenameRoot(const QString& oldRoot, const QString& newRoot)
{
    for (int i = 0; i < count(); ++i) {
        const QString text = itemText(i);
        if (text.startsWith(oldRoot)) setItemText(i, newRoot + text.mid(oldRoot.size()));
    }
}

void PathBox::showPopup()
{
    popupOpen_ = true;
    QComboBox::showPopup();
}

void PathBox::hidePopup()
{
    // Qt hides the popup too when the box itself is hidden (the window
    // closing, the path bar switched off): only the close-up of an open
    // list is the user's choice.
    const bool closingUp = popupOpen_;
    popupOpen_ = false;
    QComboBox::hidePopup();
    // The chosen entry becomes current only after the popup has gone.
    if (closingUp) QMetaObject::invokeMethod(this, &PathBox::ClosedUp, Qt::QueuedConnection);
}

}  // namespace ardvel::gui
