#include "common/ErrorListBox.h"

#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

namespace ardvel::gui {

ErrorListBox::ErrorListBox(const QString& title, const QString& text, const QStringList& lines, QWidget* parent)
    : QDialog(parent), message_(new QLabel(text, this)), list_(new QPlainTextEdit(this))
{
    setWindowTitle(title);
    setAccessibleName(title);

    auto* icon = new QLabel(this);
    const int iconSize = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxCritical, nullptr, this).pixmap(iconSize, iconSize));
    icon->setAccessibleName(QStringLiteral("Error"));
    message_->setWordWrap(true);
    message_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    message_->setAccessibleName(QStringLiteral("Message"));

    list_->setReadOnly(true);
    list_->setLineWrapMode(QPlainTextEdit::NoWrap);
    list_->setPlainText(lines.join(QLatin1Char('\n')));
    list_->setAccessibleName(QStringLiteral("Details"));
    // A text area keeps the size of a few lines whatever it holds and
    // scrolls; the box never grows beyond the screen.
    const QFontMetrics metrics(list_->font());
    list_->setMinimumSize(metrics.averageCharWidth() * 60, metrics.lineSpacing() * 4);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setAccessibleName(QStringLiteral("OK"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addWidget(message_, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(list_, 1);
    layout->addWidget(buttons);

    const QScreen* screen = parent ? parent->screen() : this->screen();
    if (screen) setMaximumHeight(screen->availableGeometry().height());
}

}  // namespace ardvel::gui
