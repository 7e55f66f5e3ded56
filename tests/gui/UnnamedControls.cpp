#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>

#include "GuiTestSupport.h"

namespace ardvel::gui::test {

namespace {

/// A control a user reaches with the keyboard, a list, or a field of a
/// status bar. Line edits inside combo and spin boxes are their parts, as
/// are the lists' headers.
bool IsReadControl(QWidget* w)
{
    QWidget* parent = w->parentWidget();
    if (qobject_cast<QHeaderView*>(w)) return false;
    if (qobject_cast<QLineEdit*>(w))
        return !qobject_cast<QComboBox*>(parent) && !qobject_cast<QAbstractSpinBox*>(parent);
    if (qobject_cast<QLabel*>(w)) return qobject_cast<QStatusBar*>(parent) != nullptr;
    return qobject_cast<QAbstractButton*>(w) || qobject_cast<QAbstractItemView*>(w) || qobject_cast<QComboBox*>(w) ||
           qobject_cast<QAbstractSpinBox*>(w);
}

}  // namespace

std::vector<std::string> UnnamedControls(QWidget& root)
{
    std::vector<std::string> unnamed;
    for (QWidget* w : root.findChildren<QWidget*>()) {
        if (!w->isVisibleTo(&root) || !IsReadControl(w)) continue;
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(w);
        if (face && !face->text(QAccessible::Name).trimmed().isEmpty()) continue;
        unnamed.push_back(std::string(w->metaObject()->className()) + " \"" + w->objectName().toStdString() + "\"");
    }
    return unnamed;
}

}  // namespace ardvel::gui::test
