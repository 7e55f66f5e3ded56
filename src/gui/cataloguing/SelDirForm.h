#pragma once

// The cataloguing dialog: a folder tree on the left, the volume name and
// the progress of the scan on the right.

#include <QDialog>
#include <QElapsedTimer>
#include <QString>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "catalog/CatalogRun.h"
#include "catalog/CatalogSource.h"
#include "catalog/ScanFolder.h"
#include "platform/Locale.h"
#include "store/CatalogTree.h"

class QCloseEvent;
class QFileSystemModel;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeView;

namespace ardvel::gui {

class CataloguingHost;
class UserDialogs;

/// "Browse For Folder": turns a folder of the file system into a new volume
/// of the main window's catalog tree and saves its catalog file. Made for
/// one use by "&New Catalog..." (see RunCatalogDialog below); it can
/// catalogue several volumes before it closes.
///
/// A run goes on inside OKButClick: the scan handles the window's pending
/// events a few dozen times a second, so Cancel works while it runs. While
/// it runs the folder tree, the name and OK are disabled, so the run keeps
/// the folder, label and eject decision it was started with.
class TSelDirForm final : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kCaption = "Browse For Folder";
    static constexpr const char* kInitialVolumeName = "New Volume";
    /// The folder shown in "Current Folder:" until a folder is selected.
    static constexpr const char* kInitialFolder = "/";
    /// The longest pause between two rounds of event handling during a scan.
    static constexpr int kEventIntervalMs = 16;

    /// A dialog over `host`'s catalog tree and catalog folder; `dialogs`
    /// shows every message and question, `locale` orders and compares names.
    /// The home folder is selected in the folder tree.
    TSelDirForm(CataloguingHost& host, UserDialogs& dialogs, const Locale& locale, CatalogRunOptions options = {});
    ~TSelDirForm() override;
    TSelDirForm(const TSelDirForm&) = delete;
    TSelDirForm& operator=(const TSelDirForm&) = delete;

    // -- events -------------------------------------------------------------

    /// The folder tree's selection changed: proposes the folder's name (a
    /// CD-ROM's label for the root of a disc) and keeps what a run needs.
    void ShellTreeView1Change();
    /// Catalogues the selected folder under the name typed. Does nothing
    /// when no folder is selected or a run is going on.
    void OKButClick();
    /// Stops a running scan and closes the dialog; the dialog closes once
    /// the run has returned. Closing the window or Escape do the same.
    void CancelButClick();

    // -- operations ---------------------------------------------------------

    /// "Current Folder:" shows `folder` (shortened when longer than 34
    /// characters), "Current File:" shows `name`.
    void ShowProgress(std::string_view folder, std::string_view name);

    /// Selects `path` in the folder tree, as a click on it does; false when
    /// the tree has no such folder.
    bool SelectFolder(const QString& path);
    /// The folder selected in the folder tree (empty when none).
    QString SelectedFolder() const;

    /// The label of the selection: a CD-ROM's label or the folder's display
    /// name; it heads the catalog file.
    const std::string& SourceLabel() const noexcept { return source_.SourceLabel; }
    /// The selection is the root of a CD-ROM: its door opens after saving.
    bool EjectWhenDone() const noexcept { return source_.EjectWhenDone; }
    /// Cancel was pressed during the current (or last) run.
    bool StopRequested() const noexcept { return run_.StopRequested(); }
    /// True while OKButClick runs a cataloguing.
    bool Running() const noexcept { return run_.Running(); }

    /// Called for every entry of a scan, after the dialog's own handling;
    /// lets a test act at a chosen point of a scan.
    void SetProgressObserver(ScanProgress observer) { progressObserver_ = std::move(observer); }

    // -- the dialog's components --------------------------------------------

    QTreeView* ShellTreeView1 = nullptr;
    QFileSystemModel* ShellFolders = nullptr;
    QFrame* Bevel1 = nullptr;
    QLabel* StatusLbl = nullptr;
    QLabel* VolumeNameLabel = nullptr;
    QLineEdit* VolumeName = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* CurDir = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* CurFile = nullptr;
    QPushButton* OKBut = nullptr;
    QPushButton* CancelBut = nullptr;

public slots:
    /// Every way of closing the dialog but the last question ends here: a
    /// running scan is asked to stop and the dialog closes after it.
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    class Prompt;

    void BuildControls();
    void BuildFolderTree();
    void BuildStatusPanel();
    void SelectHomeFolder();
    void SetRunning(bool running);
    /// The dialog after a run: ready for the next one, or closed.
    void FinishRun(bool failed, CatalogOutcome outcome);
    void SetStatus(std::string_view status);
    void ScanProgressed(std::string_view folder, std::string_view name);

    // The main window's tree view is kept consistent with the catalog tree
    // while the run changes it: a model reset around the scan and another
    // around the sort, each closed at the latest when the run returns.
    void ScanStarting();
    void ScanEnded(NodeId volume);
    void SortStarting();
    void CloseSortReset();
    void CloseTreeResets();
    void SaveTreeView();
    void RestoreTreeView(NodeId select);

    CataloguingHost& host_;
    UserDialogs& dialogs_;
    std::unique_ptr<Prompt> prompt_;
    CatalogRun run_;
    CdRomConfig cdRom_;

    CatalogSource source_;
    bool haveSource_ = false;
    bool closePending_ = false;

    bool scanResetOpen_ = false;
    bool sortResetOpen_ = false;
    NodeId runVolume_ = kNoNode;
    NodeHandle savedSelection_;
    bool haveSavedSelection_ = false;
    std::vector<NodeHandle> savedExpanded_;

    QElapsedTimer eventTimer_;
    ScanProgress progressObserver_;
};

/// "&New Catalog...": creates the cataloguing dialog over `host`, shows it
/// modally through `dialogs` and frees it when it closes.
void RunCatalogDialog(CataloguingHost& host, UserDialogs& dialogs, const Locale& locale,
                      const CatalogRunOptions& options = {});

}  // namespace ardvel::gui
