#pragma once

// Tools > Compare Volumes...: the changes from one volume to another.
// Nothing is written.

#include <QDialog>

#include "platform/Locale.h"
#include "store/CatalogTree.h"

class QComboBox;
class QPushButton;

namespace ardvel::gui {

class ChangesPanel;

class TCompareForm final : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kCaption = "Compare Volumes";

    /// The volumes of `tree` in its order; `first` (when a volume) is
    /// proposed as the old one.
    TCompareForm(const CatalogTree& tree, const Locale& locale, NodeId first = kNoNode, QWidget* parent = nullptr);

    /// Lists the changes from the old volume to the new one.
    void CompareButClick();

    QComboBox* OldVolume;
    QComboBox* NewVolume;
    QPushButton* CompareBut;
    ChangesPanel* Changes;
    QPushButton* CloseBut;

private:
    const CatalogTree& tree_;
    const Locale& locale_;
};

}  // namespace ardvel::gui
