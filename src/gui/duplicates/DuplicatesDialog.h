#pragma once

#include <QDialog>
#include <functional>
#include <optional>

#include "platform/Locale.h"
#include "search/Duplicates.h"
#include "store/CatalogTree.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTreeView;

namespace ardvel::gui {

class DuplicateRowsModel;
class UserDialogs;

/// Tools > Find Duplicates...: a scope as the Look-in list offers it, a
/// key, a minimum size and files or folders; Find fills the list with the
/// groups (a group column, sortable by any column); a double click opens
/// the row's folder; Save writes the rows as ardvel-cli duplicates does.
/// Modal: the tree does not change while it is open.
class TDuplicatesDialog final : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kTitle = "Find Duplicates";

    /// `current` is the Look-in list's current folder; `openFolder` opens a
    /// folder in the window (the dialog closes first).
    TDuplicatesDialog(const CatalogTree& tree, NodeId current, const Locale& locale, UserDialogs& dialogs,
                      std::function<void(NodeId)> openFolder, QWidget* parent = nullptr);
    ~TDuplicatesDialog() override;

    void FindClick();
    void SaveClick();
    void RowDoubleClicked(int row);

    QComboBox* LookIn = nullptr;
    QComboBox* Key = nullptr;
    QSpinBox* MinSize = nullptr;
    QCheckBox* Folders = nullptr;
    QPushButton* Find = nullptr;
    QPushButton* Save = nullptr;
    QPushButton* Close = nullptr;
    QTreeView* Results = nullptr;
    QLabel* Summary = nullptr;

    DuplicateRowsModel& Model() noexcept { return *model_; }

private:
    void BuildControls();
    void LayOutControls();

    const CatalogTree& tree_;
    NodeId current_;
    const Locale& locale_;
    UserDialogs& dialogs_;
    std::function<void(NodeId)> openFolder_;
    DuplicateRowsModel* model_ = nullptr;
    std::optional<DuplicateResult> result_;
};

}  // namespace ardvel::gui
