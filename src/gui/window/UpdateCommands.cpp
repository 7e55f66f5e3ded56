#include "window/UpdateCommands.h"

#include <QAction>
#include <QMenu>

#include "common/UserDialogs.h"
#include "update/CompareForm.h"
#include "window/ArdvelForm.h"

namespace ardvel::gui {

namespace {

/// The volume of the selected node; kNoNode for the root or no selection.
NodeId SelectedVolume(const TArdvelForm& form)
{
    const NodeId node = form.SelectedNode();
    return node == kNoNode || node == CatalogTree::kRoot ? kNoNode : form.Tree().VolumeOf(node);
}

}  // namespace

void InstallUpdateCommands(TArdvelForm& form, UserDialogs& dialogs, const Locale& locale, UpdateFormOptions options)
{
    auto* update = new QAction(QStringLiteral("&Update Volume..."), &form);
    update->setObjectName(QStringLiteral("UpdateVolume"));
    auto* compare = new QAction(QStringLiteral("&Compare Volumes..."), &form);
    compare->setObjectName(QStringLiteral("CompareVolumes"));

    if (auto* file = form.findChild<QMenu*>(QStringLiteral("File1"))) {
        const QList<QAction*> items = file->actions();
        const qsizetype after = items.indexOf(form.findChild<QAction*>(QStringLiteral("CreateNew")));
        if (after >= 0 && after + 1 < items.size())
            file->insertAction(items[after + 1], update);
        else
            file->addAction(update);
    }
    // Compare joins the window's Tools menu.
    if (auto* tools = form.findChild<QMenu*>(QStringLiteral("Tools1"))) tools->addAction(compare);
    form.AddVolumeCommand(update);

    QObject::connect(update, &QAction::triggered, &form, [&form, &dialogs, &locale, options = std::move(options)] {
        const NodeId volume = SelectedVolume(form);
        if (volume != kNoNode) RunUpdateDialog(form, dialogs, locale, volume, options);
    });
    QObject::connect(compare, &QAction::triggered, &form, [&form, &dialogs, &locale] {
        TCompareForm dialog(form.Tree(), locale, SelectedVolume(form), &form);
        dialogs.RunDialog(dialog);
    });
}

}  // namespace ardvel::gui
