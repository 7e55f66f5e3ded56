#include "cataloguing/SelDirForm.h"

#include <pwd.h>
#include <unistd.h>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileSystemModel>
#include <QFont>
#include <QFrame>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>
#include <exception>
#include <filesystem>
#include <system_error>

#include "catalog/ProgressText.h"
#include "cataloguing/CataloguingHost.h"
#include "common/QtText.h"
#include "common/UserDialogs.h"
#include "platform/Settings.h"

namespace ardvel::gui {

namespace {

QLabel* BoldLabel(const char* text, QWidget* parent)
{
    auto* label = new QLabel(QString::fromLatin1(text), parent);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

/// A one-line text that is cut at the label's edge instead of widening the
/// dialog.
QLabel* ProgressLabel(QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    label->setMinimumWidth(1);
    label->setTextFormat(Qt::PlainText);
    return label;
}

/// The folders under which removable media are mounted, for this user.
QStringList MountFolders()
{
    QStringList folders{QStringLiteral("/media")};
    if (const passwd* user = ::getpwuid(::getuid()))
        folders.push_back(QStringLiteral("/run/media/") + QFile::decodeName(user->pw_name));
    folders.push_back(QStringLiteral("/mnt"));
    return folders;
}

}  // namespace

/// The engine's messages and questions, as the program's message boxes. A
/// box must never show a tree in the middle of a model reset.
class TSelDirForm::Prompt final : public UserPrompt {
public:
    explicit Prompt(TSelDirForm& form) : form_(form) {}

    void ShowError(const std::string& text) override
    {
        form_.CloseSortReset();
        form_.dialogs_.ShowError(FromUtf8(text));
    }
    bool Confirm(const std::string& text) override
    {
        form_.CloseSortReset();
        return form_.dialogs_.Confirm(FromUtf8(text));
    }

private:
    TSelDirForm& form_;
};

// ---------------------------------------------------------------------------
// Creation

TSelDirForm::TSelDirForm(CataloguingHost& host, UserDialogs& dialogs, const Locale& locale, CatalogRunOptions options)
    : QDialog(host.DialogParent()),
      host_(host),
      dialogs_(dialogs),
      prompt_(std::make_unique<Prompt>(*this)),
      run_(host.Tree(), host.CatalogFolder(), *prompt_, locale, options),
      cdRom_(options.CdRom)
{
    setObjectName(QStringLiteral("SelDirForm"));
    setWindowTitle(QString::fromLatin1(kCaption));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setModal(true);
    setSizeGripEnabled(true);
    BuildControls();
    resize(455, 293);
    SelectHomeFolder();
}

TSelDirForm::~TSelDirForm()
{
    // Only reachable with a reset open if a run was torn down abnormally.
    CloseTreeResets();
}

void TSelDirForm::BuildFolderTree()
{
    ShellFolders = new QFileSystemModel(this);
    ShellFolders->setObjectName(QStringLiteral("ShellFolders"));
    ShellFolders->setOptions(QFileSystemModel::DontWatchForChanges);
    ShellFolders->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Hidden);
    ShellFolders->setReadOnly(true);
    ShellFolders->setRootPath(QStringLiteral("/"));

    ShellTreeView1 = new QTreeView(this);
    ShellTreeView1->setObjectName(QStringLiteral("ShellTreeView1"));
    ShellTreeView1->setAccessibleName(QStringLiteral("Folders"));
    ShellTreeView1->setModel(ShellFolders);
    ShellTreeView1->setHeaderHidden(true);
    for (int column = 1; column < ShellFolders->columnCount(); ++column) ShellTreeView1->hideColumn(column);
    ShellTreeView1->setSelectionMode(QAbstractItemView::SingleSelection);
    ShellTreeView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ShellTreeView1->setUniformRowHeights(true);
    ShellTreeView1->setMinimumWidth(120);
    connect(ShellTreeView1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { ShellTreeView1Change(); });
}

void TSelDirForm::BuildStatusPanel()
{
    Bevel1 = new QFrame(this);
    Bevel1->setObjectName(QStringLiteral("Bevel1"));
    Bevel1->setFrameShape(QFrame::StyledPanel);
    Bevel1->setFrameShadow(QFrame::Sunken);

    StatusLbl = new QLabel(QString::fromLatin1(kStatusSelecting), Bevel1);
    StatusLbl->setObjectName(QStringLiteral("StatusLbl"));
    StatusLbl->setAutoFillBackground(true);
    // Light text on a grey band, both from the palette so that a dark
    // theme keeps it readable.
    StatusLbl->setBackgroundRole(QPalette::Dark);
    StatusLbl->setForegroundRole(QPalette::BrightText);
    QFont statusFont = StatusLbl->font();
    statusFont.setBold(true);
    statusFont.setPointSize(10);
    StatusLbl->setFont(statusFont);
    StatusLbl->setFixedHeight(20);
    StatusLbl->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);

    VolumeNameLabel = BoldLabel("Enter New Volume Name:", Bevel1);
    VolumeName = new QLineEdit(QString::fromLatin1(kInitialVolumeName), Bevel1);
    VolumeName->setObjectName(QStringLiteral("VolumeName"));
    VolumeNameLabel->setBuddy(VolumeName);
    Label1 = BoldLabel("Current Folder:", Bevel1);
    Label1->setObjectName(QStringLiteral("Label1"));
    CurDir = ProgressLabel(Bevel1);
    CurDir->setObjectName(QStringLiteral("CurDir"));
    CurDir->setText(QString::fromLatin1(kInitialFolder));
    Label2 = BoldLabel("Current File:", Bevel1);
    Label2->setObjectName(QStringLiteral("Label2"));
    CurFile = ProgressLabel(Bevel1);
    CurFile->setObjectName(QStringLiteral("CurFile"));

    auto* panel = new QVBoxLayout(Bevel1);
    panel->setContentsMargins(1, 1, 1, 6);
    panel->setSpacing(2);
    panel->addWidget(StatusLbl);
    auto* fields = new QVBoxLayout;
    fields->setContentsMargins(5, 0, 5, 0);
    fields->setSpacing(2);
    fields->addSpacing(22);
    fields->addWidget(VolumeNameLabel);
    fields->addWidget(VolumeName);
    fields->addSpacing(20);
    fields->addWidget(Label1);
    fields->addWidget(CurDir);
    fields->addSpacing(20);
    fields->addWidget(Label2);
    fields->addWidget(CurFile);
    fields->addStretch(1);
    panel->addLayout(fields, 1);
}

void TSelDirForm::BuildControls()
{
    BuildFolderTree();
    BuildStatusPanel();

    OKBut = new QPushButton(QStringLiteral("&OK"), this);
    OKBut->setObjectName(QStringLiteral("OKBut"));
    OKBut->setDefault(true);
    OKBut->setFixedSize(75, 25);
    CancelBut = new QPushButton(QStringLiteral("&Cancel"), this);
    CancelBut->setObjectName(QStringLiteral("CancelBut"));
    CancelBut->setFixedSize(75, 25);
    connect(OKBut, &QPushButton::clicked, this, [this] { OKButClick(); });
    connect(CancelBut, &QPushButton::clicked, this, [this] { CancelButClick(); });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(OKBut);
    buttons->addStretch(2);
    buttons->addWidget(CancelBut);
    buttons->addStretch(1);

    auto* right = new QVBoxLayout;
    right->setSpacing(12);
    right->addWidget(Bevel1, 1);
    right->addLayout(buttons);

    auto* rightPanel = new QWidget(this);
    rightPanel->setLayout(right);
    right->setContentsMargins(0, 0, 0, 0);
    rightPanel->setFixedWidth(228);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 6, 8, 8);
    layout->setSpacing(5);
    layout->addWidget(ShellTreeView1, 1);
    layout->addWidget(rightPanel, 0);

    setTabOrder(ShellTreeView1, VolumeName);
    setTabOrder(VolumeName, OKBut);
    setTabOrder(OKBut, CancelBut);
}

void TSelDirForm::SelectHomeFolder()
{
    const auto expandPath = [this](const QString& path) {
        // Every folder on the way is opened too.
        QString prefix;
        for (const QString& part : path.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
            prefix += QLatin1Char('/') + part;
            ShellTreeView1->expand(ShellFolders->index(prefix));
        }
    };
    ShellTreeView1->expand(ShellFolders->index(QStringLiteral("/")));
    for (const QString& folder : MountFolders()) {
        const QDir dir(folder);
        if (dir.exists() && !dir.isEmpty(QDir::AllDirs | QDir::NoDotAndDotDot)) expandPath(folder);
    }
    SelectFolder(QDir::homePath());
}

// ---------------------------------------------------------------------------
// Selection

QString TSelDirForm::SelectedFolder() const
{
    const QModelIndex index = ShellTreeView1->currentIndex();
    return index.isValid() ? ShellFolders->filePath(index) : QString();
}

bool TSelDirForm::SelectFolder(const QString& path)
{
    const QModelIndex index = ShellFolders->index(QDir::cleanPath(QDir(path).absolutePath()));
    if (!index.isValid() || !ShellFolders->isDir(index)) return false;
    ShellTreeView1->setCurrentIndex(index);
    ShellTreeView1->scrollTo(index);
    return true;
}

void TSelDirForm::ShellTreeView1Change()
{
    const QString folder = SelectedFolder();
    if (folder.isEmpty()) return;
    source_ = SelectSource(QFile::encodeName(folder).toStdString(), cdRom_);
    haveSource_ = true;
    VolumeName->setText(FromUtf8(source_.SourceLabel));
    // A disc's folder and file stay as they were.
    if (!source_.EjectWhenDone) ShowProgress(source_.ScanRoot, {});
}

void TSelDirForm::ShowProgress(std::string_view folder, std::string_view name)
{
    CurDir->setText(FromUtf8(ShortenFolderText(folder)));
    CurFile->setText(FromUtf8(name));
}

// ---------------------------------------------------------------------------
// Cataloguing

void TSelDirForm::OKButClick()
{
    if (run_.Running() || !haveSource_ || !ShellTreeView1->currentIndex().isValid()) return;
    // The run keeps the selection it starts with, whatever happens to the
    // dialog meanwhile.
    const CatalogSource source = source_;
    const std::string volumeName = VolumeName->text().toStdString();

    // The default catalog folder is made on first use.
    if (host_.CatalogFolder() == DefaultCatalogFolder()) {
        std::error_code ec;
        std::filesystem::create_directories(host_.CatalogFolder(), ec);
    }

    closePending_ = false;
    runVolume_ = kNoNode;
    eventTimer_.invalidate();
    VolumeName->setEnabled(false);
    SetRunning(true);

    CatalogEvents events;
    events.Status = [this](std::string_view status) { SetStatus(status); };
    events.Progress = [this](std::string_view folder, std::string_view name) { ScanProgressed(folder, name); };
    events.ScanStarting = [this](NodeId volume) {
        runVolume_ = volume;
        ScanStarting();
    };
    events.ScanEnded = [this](NodeId volume) { ScanEnded(volume); };
    events.RemoveVolume = [this](NodeId volume) { host_.RemoveVolume(volume); };

    CatalogOutcome outcome = CatalogOutcome::Refused;
    bool failed = false;
    try {
        outcome = run_.Run(source, volumeName, events).Outcome;
    } catch (const std::exception& error) {
        failed = true;
        CloseTreeResets();
        dialogs_.ShowError(FromUtf8(error.what()));
    }
    CloseTreeResets();
    SetRunning(false);

    FinishRun(failed, outcome);
}

void TSelDirForm::FinishRun(bool failed, CatalogOutcome outcome)
{
    if (failed) {
        // A volume whose save failed is gone already (the run removed it);
        // one that failed later, once saved, stays.
        if (runVolume_ != kNoNode && host_.Tree().IsAlive(runVolume_)) {
            host_.VolumesChanged();
        }
        StatusLbl->setText(QString::fromLatin1(kStatusSelecting));
        CurFile->clear();
        VolumeName->setEnabled(true);
        VolumeName->setFocus();
        if (closePending_) QDialog::reject();
        return;
    }

    switch (outcome) {
        case CatalogOutcome::Catalogued:
            VolumeName->setEnabled(true);
            if (closePending_) {
                QDialog::reject();
            } else if (!dialogs_.Confirm(QString::fromLatin1(kCatalogAnotherQuestion))) {
                accept();
            }
            break;
        case CatalogOutcome::Stopped:
            // Cancel asked for it.
            QDialog::reject();
            break;
        case CatalogOutcome::Refused:
        case CatalogOutcome::Declined:
            VolumeName->setEnabled(true);
            VolumeName->setFocus();
            if (closePending_) QDialog::reject();
            break;
        case CatalogOutcome::Busy:
            break;
    }
}

void TSelDirForm::CancelButClick()
{
    reject();
}

void TSelDirForm::reject()
{
    if (run_.Running()) {
        run_.RequestStop();
        closePending_ = true;
        return;
    }
    QDialog::reject();
}

void TSelDirForm::closeEvent(QCloseEvent* event)
{
    if (run_.Running()) {
        // The window goes once the run has returned.
        reject();
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void TSelDirForm::SetRunning(bool running)
{
    ShellTreeView1->setEnabled(!running);
    OKBut->setEnabled(!running);
}

void TSelDirForm::SetStatus(std::string_view status)
{
    CloseSortReset();
    StatusLbl->setText(FromUtf8(status));
    StatusLbl->repaint();
    if (status == kStatusSorting) SortStarting();
}

void TSelDirForm::ScanProgressed(std::string_view folder, std::string_view name)
{
    // Labels and events a few dozen times a second, not for every entry:
    // a large scan must not spend its time in the event loop.
    if (!eventTimer_.isValid() || eventTimer_.elapsed() >= kEventIntervalMs) {
        ShowProgress(folder, name);
        QCoreApplication::processEvents();
        eventTimer_.start();
    }
    if (progressObserver_) progressObserver_(folder, name);
}

// ---------------------------------------------------------------------------
// The main window's tree during a run

void TSelDirForm::ScanStarting()
{
    // The volume node is in the tree already; the views learn of it, and of
    // everything below it, when the scan has ended.
    SaveTreeView();
    host_.BeginTreeChange();
    scanResetOpen_ = true;
}

void TSelDirForm::ScanEnded(NodeId volume)
{
    if (!scanResetOpen_) return;
    scanResetOpen_ = false;
    host_.EndTreeChange();
    if (volume == kNoNode || !host_.Tree().IsAlive(volume)) {
        RestoreTreeView(kNoNode);
        return;
    }
    // The new volume is shown before it is saved.
    RestoreTreeView(volume);
    host_.VolumesChanged();
    host_.OpenSelected();
}

void TSelDirForm::SortStarting()
{
    SaveTreeView();
    host_.BeginTreeChange();
    sortResetOpen_ = true;
}

void TSelDirForm::CloseSortReset()
{
    if (!sortResetOpen_) return;
    sortResetOpen_ = false;
    host_.EndTreeChange();
    RestoreTreeView(kNoNode);
    // The Look-in list's volume entries stand for the volumes by their place
    // under the root, which the sort has just changed.
    host_.VolumesChanged();
    VolumeName->setEnabled(true);
    CurDir->clear();
    CurFile->clear();
}

void TSelDirForm::CloseTreeResets()
{
    if (scanResetOpen_) {
        scanResetOpen_ = false;
        host_.EndTreeChange();
        RestoreTreeView(kNoNode);
    }
    CloseSortReset();
}

void TSelDirForm::SaveTreeView()
{
    const CatalogTree& tree = host_.Tree();
    const NodeId selected = host_.SelectedNode();
    haveSavedSelection_ = selected != kNoNode;
    if (haveSavedSelection_) savedSelection_ = tree.Handle(selected);
    // Only the open branches are walked: as many nodes as rows on show.
    savedExpanded_.clear();
    std::vector<NodeId> pending{CatalogTree::kRoot};
    while (!pending.empty()) {
        const NodeId node = pending.back();
        pending.pop_back();
        if (!host_.IsExpanded(node)) continue;
        savedExpanded_.push_back(tree.Handle(node));
        for (const NodeId child : tree.Children(node))
            if (!tree.Children(child).empty()) pending.push_back(child);
    }
}

void TSelDirForm::RestoreTreeView(NodeId select)
{
    const CatalogTree& tree = host_.Tree();
    host_.Expand(CatalogTree::kRoot);
    for (const NodeHandle& handle : savedExpanded_) {
        const NodeId node = tree.Resolve(handle);
        if (node != kNoNode) host_.Expand(node);
    }
    NodeId node = select;
    if (node == kNoNode && haveSavedSelection_) node = tree.Resolve(savedSelection_);
    host_.SelectNode(node != kNoNode ? node : CatalogTree::kRoot);
}

// ---------------------------------------------------------------------------
// "&New Catalog..."

void RunCatalogDialog(CataloguingHost& host, UserDialogs& dialogs, const Locale& locale,
                      const CatalogRunOptions& options)
{
    // Made for this one use and freed when it closes.
    TSelDirForm dialog(host, dialogs, locale, options);
    dialogs.RunDialog(dialog);
}

}  // namespace ardvel::gui
