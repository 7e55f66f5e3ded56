#include "update/UpdateForm.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <vector>

#include "catalog/ProgressText.h"
#include "catalog/ReplaceVolume.h"
#include "common/QtText.h"
#include "common/UserDialogs.h"
#include "store/CatalogError.h"
#include "store/CatalogFile.h"
#include "update/ChangesPanel.h"
#include "update/UpdateHost.h"

namespace ardvel::gui {

namespace {

/// The label the volume's catalog file holds; empty when it cannot be read.
std::string HeaderLabel(const std::string& catalogPath)
{
    try {
        std::string label;
        CatalogReader(catalogPath).ReadHeader(&label);
        return label;
    } catch (const CatalogError&) {
        return {};
    }
}

}  // namespace

TUpdateForm::TUpdateForm(UpdateHost& host, UserDialogs& dialogs, const Locale& locale, NodeId volume,
                         UpdateFormOptions options)
    : QDialog(host.DialogParent()),
      host_(host),
      dialogs_(dialogs),
      locale_(locale),
      volume_(host.Tree().Handle(volume)),
      options_(std::move(options))
{
    BuildWidgets();
    const CatalogTree& tree = host_.Tree();
    setWindowTitle(QString::fromLatin1(kCaption) + QStringLiteral(" - ") + FromUtf8(tree.Text(volume)));
    const std::string catalogPath = host_.CatalogFolder() + tree.CatalogFileName(volume);
    FolderEdit->setText(
        FromUtf8(ProposeUpdateFolder(catalogPath, tree.Info(volume).Date, HeaderLabel(catalogPath), options_.Source)));
}

TUpdateForm::~TUpdateForm() = default;

void TUpdateForm::BuildWidgets()
{
    auto named = [](QWidget* w, const char* name, const char* accessible) {
        w->setObjectName(QString::fromLatin1(name));
        w->setAccessibleName(QString::fromLatin1(accessible));
    };
    FolderEdit = new QLineEdit(this);
    named(FolderEdit, "FolderEdit", "Folder");
    BrowseBut = new QPushButton(QStringLiteral("&Browse..."), this);
    named(BrowseBut, "BrowseBut", "Browse");
    ScanBut = new QPushButton(QStringLiteral("&Scan"), this);
    named(ScanBut, "ScanBut", "Scan");
    ProgressLbl = new QLabel(this);
    named(ProgressLbl, "ProgressLbl", "Progress");
    Changes = new ChangesPanel(locale_, this);
    ApplyBut = new QPushButton(QStringLiteral("&Apply"), this);
    named(ApplyBut, "ApplyBut", "Apply");
    ApplyBut->setEnabled(false);
    CancelBut = new QPushButton(QStringLiteral("&Cancel"), this);
    named(CancelBut, "CancelBut", "Cancel");

    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Folder:"), this), 0, 0);
    layout->addWidget(FolderEdit, 0, 1);
    layout->addWidget(BrowseBut, 0, 2);
    layout->addWidget(ScanBut, 0, 3);
    layout->addWidget(ProgressLbl, 1, 0, 1, 4);
    layout->addWidget(Changes, 2, 0, 1, 4);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ApplyBut);
    buttons->addWidget(CancelBut);
    layout->addLayout(buttons, 3, 0, 1, 4);
    resize(640, 420);

    connect(BrowseBut, &QPushButton::clicked, this, [this] { BrowseButClick(); });
    connect(ScanBut, &QPushButton::clicked, this, [this] { ScanButClick(); });
    connect(ApplyBut, &QPushButton::clicked, this, [this] { ApplyButClick(); });
    connect(CancelBut, &QPushButton::clicked, this, [this] { CancelButClick(); });
}

void TUpdateForm::SetRunning(bool running)
{
    running_ = running;
    FolderEdit->setEnabled(!running);
    BrowseBut->setEnabled(!running);
    ScanBut->setEnabled(!running);
    ApplyBut->setEnabled(!running && prepared_.Outcome == UpdateOutcome::DryRun);
}

void TUpdateForm::BrowseButClick()
{
    const QString folder = dialogs_.ChooseFolder(QStringLiteral("Choose the folder to update from..."));
    if (!folder.isEmpty()) FolderEdit->setText(folder);
}

void TUpdateForm::ScanProgressed(std::string_view folder)
{
    if (!eventTimer_.isValid() || eventTimer_.elapsed() >= kEventIntervalMs) {
        ProgressLbl->setText(FromUtf8(ShortenFolderText(folder)));
        QCoreApplication::processEvents();
        eventTimer_.start();
    }
}

void TUpdateForm::ScanButClick()
{
    const NodeId volume = host_.Tree().Resolve(volume_);
    if (running_ || volume == kNoNode || FolderEdit->text().isEmpty()) return;
    stop_.store(false);
    prepared_ = {};
    Changes->Clear();
    VolumeUpdateOptions options = options_.Update;
    options.DryRun = false;
    options.StopRequested = &stop_;
    update_ = std::make_unique<VolumeUpdate>(host_.CatalogFolder(), locale_, std::move(options));
    VolumeUpdateEvents events;
    events.Progress = [this](std::string_view folder, std::string_view) { ScanProgressed(folder); };
    events.Change = [this](const TreeChange& c) { Changes->Add(c); };

    SetRunning(true);
    try {
        prepared_ = update_->Prepare(host_.Tree(), volume, ToUtf8(FolderEdit->text()), events);
    } catch (const CatalogError& e) {
        SetRunning(false);
        dialogs_.ShowError(FromUtf8(e.Path().empty() ? e.what() : e.Path() + ": " + e.what()));
        return;
    }
    SetRunning(false);
    if (prepared_.Outcome == UpdateOutcome::Stopped) {
        ProgressLbl->setText(QStringLiteral("Stopped."));
        if (closeWhenStopped_) QDialog::reject();
        return;
    }
    ProgressLbl->clear();
    Changes->ShowSummary(prepared_.Summary);
}

void TUpdateForm::ApplyButClick()
{
    const NodeId volume = host_.Tree().Resolve(volume_);
    if (running_ || volume == kNoNode || prepared_.Outcome != UpdateOutcome::DryRun) return;
    try {
        prepared_ = update_->Commit(std::move(prepared_));
    } catch (const CatalogError& e) {
        dialogs_.ShowError(FromUtf8(e.Path() + ": " + e.what()));
        return;
    }
    CatalogTree& tree = host_.Tree();
    // The tree view forgets its expanded branches when it is reset.
    std::vector<NodeHandle> expanded;
    std::vector<NodeId> pending{volume};
    while (!pending.empty()) {
        const NodeId n = pending.back();
        pending.pop_back();
        if (!host_.IsExpanded(n)) continue;
        expanded.push_back(tree.Handle(n));
        pending.insert(pending.end(), tree.Children(n).begin(), tree.Children(n).end());
    }
    host_.BeginTreeChange();
    ReplaceVolumeContents(tree, volume, update_->Scan().Tree(), update_->Scan().Volume(), locale_);
    tree.SetDate(volume, update_->VolumeDate());
    host_.EndTreeChange();
    for (const NodeHandle& h : expanded)
        if (const NodeId n = tree.Resolve(h); n != kNoNode) host_.Expand(n);
    host_.VolumeContentsReplaced(volume);
    accept();
}

void TUpdateForm::CancelButClick()
{
    reject();
}

void TUpdateForm::reject()
{
    if (running_) {
        closeWhenStopped_ = true;
        stop_.store(true);
        return;
    }
    QDialog::reject();
}

void RunUpdateDialog(UpdateHost& host, UserDialogs& dialogs, const Locale& locale, NodeId volume,
                     const UpdateFormOptions& options)
{
    TUpdateForm dialog(host, dialogs, locale, volume, options);
    dialogs.RunDialog(dialog);
}

}  // namespace ardvel::gui
