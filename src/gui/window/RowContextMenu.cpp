#include "window/RowContextMenu.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>

namespace ardvel::gui {

namespace {

QAction* AddItem(QMenu& menu, const char* name, const QString& caption, bool enabled, const std::function<void()>& run)
{
    QAction* item = menu.addAction(caption);
    item->setObjectName(QString::fromLatin1(name));
    item->setEnabled(enabled && run);
    if (run) QObject::connect(item, &QAction::triggered, &menu, run);
    return item;
}

}  // namespace

std::unique_ptr<QMenu> BuildRowMenu(QWidget* parent, const RowMenuItems& items)
{
    auto menu = std::make_unique<QMenu>(parent);
    menu->setObjectName(QStringLiteral("RowMenu"));
    QAction* open = AddItem(*menu, kRowOpen, QStringLiteral("&Open"), items.CanOpen, items.Open);
    menu->setDefaultAction(open);
    if (items.Place == RowPlace::Results)
        AddItem(*menu, kRowOpenFolder, QStringLiteral("Open &Containing Folder"), items.HasRow,
                items.OpenContainingFolder);
    QAction* copy = AddItem(*menu, kRowCopyPath, QStringLiteral("Copy &Path"), items.HasRow, items.CopyPath);
    // The key works in the tree and the lists (the window's own actions);
    // here it is only shown.
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetShortcut);
    if (items.Place != RowPlace::Results) {
        menu->addSeparator();
        AddItem(*menu, kRowRename, QStringLiteral("&Rename"), items.IsVolume, items.Rename);
        AddItem(*menu, kRowDelete, QStringLiteral("&Delete"), items.IsVolume, items.Delete);
        for (QAction* command : items.VolumeCommands) {
            command->setEnabled(items.IsVolume);
            menu->addAction(command);
        }
    }
    if (items.Place != RowPlace::Tree && items.FindCopies) {
        menu->addSeparator();
        menu->addAction(items.FindCopies);
    }
    return menu;
}

QAction* RowMenuItem(const QMenu& menu, const char* name)
{
    for (QAction* item : menu.actions())
        if (item->objectName() == QLatin1String(name)) return item;
    return nullptr;
}

}  // namespace ardvel::gui
