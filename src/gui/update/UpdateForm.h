#pragma once

// File > Update Volume...: scan a volume's media again, show what changed,
// and apply it to the catalog file and the tree.

#include <QDialog>
#include <QElapsedTimer>
#include <atomic>
#include <memory>
#include <string_view>

#include "catalog/UpdateSource.h"
#include "catalog/VolumeUpdate.h"
#include "platform/Locale.h"
#include "store/CatalogTree.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace ardvel::gui {

class ChangesPanel;
class UpdateHost;
class UserDialogs;

struct UpdateFormOptions {
    VolumeUpdateOptions Update;  ///< its DryRun and StopRequested are the dialog's
    UpdateSourceConfig Source;   ///< where the proposed folder comes from
};

/// The update dialog of one volume: the proposed folder (changeable), Scan
/// with its progress and Cancel, then the list of changes, Apply and Cancel.
/// A scan handles the window's events a few dozen times a second, so Cancel
/// stops it; nothing is written before Apply.
class TUpdateForm final : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kCaption = "Update Volume";
    static constexpr int kEventIntervalMs = 16;

    TUpdateForm(UpdateHost& host, UserDialogs& dialogs, const Locale& locale, NodeId volume,
                UpdateFormOptions options = {});
    ~TUpdateForm() override;

    void BrowseButClick();
    /// Scans the folder and lists the changes; Apply is enabled after a
    /// whole scan.
    void ScanButClick();
    /// Replaces the catalog file, then the volume's contents in the tree.
    void ApplyButClick();
    /// Stops a running scan (the dialog closes once it has stopped), or
    /// closes the dialog.
    void CancelButClick();

    bool Running() const noexcept { return running_; }

    QLineEdit* FolderEdit;
    QPushButton* BrowseBut;
    QPushButton* ScanBut;
    QLabel* ProgressLbl;
    ChangesPanel* Changes;
    QPushButton* ApplyBut;
    QPushButton* CancelBut;

protected:
    void reject() override;

private:
    void BuildWidgets();
    void SetRunning(bool running);
    void ScanProgressed(std::string_view folder);

    UpdateHost& host_;
    UserDialogs& dialogs_;
    const Locale& locale_;
    NodeHandle volume_;
    UpdateFormOptions options_;
    std::atomic<bool> stop_{false};
    std::unique_ptr<VolumeUpdate> update_;
    VolumeUpdateResult prepared_;
    bool running_ = false;
    bool closeWhenStopped_ = false;
    QElapsedTimer eventTimer_;
};

/// Shows the update dialog of `volume` modally, made for this one use.
void RunUpdateDialog(UpdateHost& host, UserDialogs& dialogs, const Locale& locale, NodeId volume,
                     const UpdateFormOptions& options = {});

}  // namespace ardvel::gui
