#include "update/CompareForm.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include "catalog/CompareTrees.h"
#include "common/QtText.h"
#include "update/ChangesPanel.h"

namespace ardvel::gui {

TCompareForm::TCompareForm(const CatalogTree& tree, const Locale& locale, NodeId first, QWidget* parent)
    : QDialog(parent), tree_(tree), locale_(locale)
{
    setWindowTitle(QString::fromLatin1(kCaption));
    OldVolume = new QComboBox(this);
    OldVolume->setObjectName(QStringLiteral("OldVolume"));
    OldVolume->setAccessibleName(QStringLiteral("Old volume"));
    NewVolume = new QComboBox(this);
    NewVolume->setObjectName(QStringLiteral("NewVolume"));
    NewVolume->setAccessibleName(QStringLiteral("New volume"));
    // Each item carries its volume's handle, so a stale one is never compared.
    for (NodeId v : tree.Children(CatalogTree::kRoot)) {
        const NodeHandle h = tree.Handle(v);
        const QVariant data = QVariant::fromValue(QList<uint>{h.Index, h.Generation});
        OldVolume->addItem(FromUtf8(tree.Text(v)), data);
        NewVolume->addItem(FromUtf8(tree.Text(v)), data);
        if (v == first) OldVolume->setCurrentIndex(OldVolume->count() - 1);
    }
    if (NewVolume->count() > 1 && NewVolume->currentIndex() == OldVolume->currentIndex())
        NewVolume->setCurrentIndex(OldVolume->currentIndex() == 0 ? 1 : 0);
    CompareBut = new QPushButton(QStringLiteral("C&ompare"), this);
    CompareBut->setObjectName(QStringLiteral("CompareBut"));
    CompareBut->setAccessibleName(QStringLiteral("Compare"));
    Changes = new ChangesPanel(locale, this);
    CloseBut = new QPushButton(QStringLiteral("&Close"), this);
    CloseBut->setObjectName(QStringLiteral("CloseBut"));
    CloseBut->setAccessibleName(QStringLiteral("Close"));

    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Old volume:"), this), 0, 0);
    layout->addWidget(OldVolume, 0, 1);
    layout->addWidget(new QLabel(QStringLiteral("New volume:"), this), 1, 0);
    layout->addWidget(NewVolume, 1, 1);
    layout->addWidget(CompareBut, 0, 2, 2, 1);
    layout->addWidget(Changes, 2, 0, 1, 3);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(CloseBut);
    layout->addLayout(buttons, 3, 0, 1, 3);
    resize(640, 420);
    connect(CompareBut, &QPushButton::clicked, this, [this] { CompareButClick(); });
    connect(CloseBut, &QPushButton::clicked, this, &QDialog::accept);
}

void TCompareForm::CompareButClick()
{
    const auto volumeOf = [this](const QComboBox* box) {
        const QList<uint> h = box->currentData().value<QList<uint>>();
        return h.size() == 2 ? tree_.Resolve(NodeHandle{h[0], h[1]}) : kNoNode;
    };
    const NodeId oldVolume = volumeOf(OldVolume), newVolume = volumeOf(NewVolume);
    Changes->Clear();
    if (oldVolume == kNoNode || newVolume == kNoNode) return;
    const CompareSummary summary =
        CompareTrees(tree_, oldVolume, tree_, newVolume, locale_, [this](const TreeChange& c) { Changes->Add(c); });
    Changes->ShowSummary(summary);
}

}  // namespace ardvel::gui
