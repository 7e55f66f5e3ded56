#include "duplicates/DuplicatesDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeView>
#include <cstring>

#include "common/QtText.h"
#include "common/UserDialogs.h"
#include "duplicates/DuplicateRowsModel.h"
#include "search/DuplicateReport.h"
#include "search/LookInList.h"
#include "search/SearchCriteria.h"
#include "search/SearchWalk.h"

namespace ardvel::gui {

namespace {

/// The keys in the order the Key list offers them.
constexpr DuplicateKey kKeys[] = {DuplicateKey::NameSize, DuplicateKey::NameSizeDate, DuplicateKey::SizeDate,
                                  DuplicateKey::Name};
constexpr const char* kKeyCaptions[] = {"Name and size", "Name, size and date", "Size and date (renamed copies)",
                                        "Name"};

}  // namespace

TDuplicatesDialog::TDuplicatesDialog(const CatalogTree& tree, NodeId current, const Locale& locale,
                                     UserDialogs& dialogs, std::function<void(NodeId)> openFolder, QWidget* parent)
    : QDialog(parent),
      tree_(tree),
      current_(current),
      locale_(locale),
      dialogs_(dialogs),
      openFolder_(std::move(openFolder))
{
    setWindowTitle(QString::fromLatin1(kTitle));
    setObjectName(QStringLiteral("DuplicatesDialog"));
    model_ = new DuplicateRowsModel(locale_, this);
    BuildControls();
    FillLookIn(*LookIn, tree_, current_);
    // All volumes, the question most asked.
    LookIn->setCurrentIndex(LookIn->count() - 1);
    resize(720, 460);
}

TDuplicatesDialog::~TDuplicatesDialog() = default;

void TDuplicatesDialog::BuildControls()
{
    const auto named = [](QWidget* widget, const char* name, const char* accessible) {
        widget->setObjectName(QString::fromLatin1(name));
        widget->setAccessibleName(QString::fromLatin1(accessible));
    };
    LookIn = new QComboBox(this);
    named(LookIn, "LookIn", "Look in");
    Key = new QComboBox(this);
    named(Key, "Key", "Compare by");
    for (const char* caption : kKeyCaptions) Key->addItem(QString::fromLatin1(caption));
    MinSize = new QSpinBox(this);
    named(MinSize, "MinSize", "Minimum size in KB");
    MinSize->setRange(kSizeEditMinimum, kSizeEditMaximum);
    MinSize->setSuffix(QStringLiteral(" KB"));
    Folders = new QCheckBox(QStringLiteral("Compare &folders"), this);
    named(Folders, "Folders", "Compare folders");
    Find = new QPushButton(QStringLiteral("&Find"), this);
    named(Find, "Find", "Find");
    Find->setDefault(true);
    Save = new QPushButton(QStringLiteral("&Save..."), this);
    named(Save, "Save", "Save");
    Save->setEnabled(false);
    Close = new QPushButton(QStringLiteral("Close"), this);
    named(Close, "Close", "Close");
    Results = new QTreeView(this);
    named(Results, "Results", "Duplicate groups");
    Results->setModel(model_);
    Results->setRootIsDecorated(false);
    Results->setSortingEnabled(true);
    Results->setUniformRowHeights(true);
    Results->setAlternatingRowColors(true);
    Results->header()->setSortIndicator(-1, Qt::AscendingOrder);
    Results->header()->resizeSection(DuplicateRowsModel::kGroup, 50);
    Results->header()->resizeSection(DuplicateRowsModel::kName, 150);
    Results->header()->resizeSection(DuplicateRowsModel::kSize, 80);
    Summary = new QLabel(this);
    named(Summary, "Summary", "Summary");

    LayOutControls();

    connect(Find, &QPushButton::clicked, this, [this] { FindClick(); });
    connect(Save, &QPushButton::clicked, this, [this] { SaveClick(); });
    connect(Close, &QPushButton::clicked, this, &QDialog::reject);
    connect(Results, &QTreeView::doubleClicked, this,
            [this](const QModelIndex& index) { RowDoubleClicked(index.row()); });
}

void TDuplicatesDialog::LayOutControls()
{
    auto* grid = new QGridLayout;
    const auto addRow = [&](int row, const char* caption, QWidget* field) {
        auto* label = new QLabel(QString::fromLatin1(caption), this);
        label->setBuddy(field);
        grid->addWidget(label, row, 0);
        grid->addWidget(field, row, 1);
    };
    addRow(0, "&Look in:", LookIn);
    addRow(1, "Compare &by:", Key);
    addRow(2, "&Minimum size:", MinSize);
    grid->addWidget(Folders, 3, 1);
    grid->setColumnStretch(2, 1);  // the fields keep their own width
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Find);
    buttons->addWidget(Save);
    buttons->addStretch();
    buttons->addWidget(Close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    layout->addWidget(Results, 1);
    layout->addWidget(Summary);
}

void TDuplicatesDialog::FindClick()
{
    DuplicateOptions options;
    options.Key = kKeys[std::max(0, Key->currentIndex())];
    options.MinSizeKB = MinSize->value();
    options.Folders = Folders->isChecked();
    const SearchScope scope = ScopeFromLookIn(tree_, LookIn->currentIndex(), LookIn->count(), current_);
    // Millions of records take a second or so: long enough to show.
    QGuiApplication::setOverrideCursor(Qt::BusyCursor);
    result_ = FindDuplicates(tree_, scope, options, locale_);
    QGuiApplication::restoreOverrideCursor();
    Results->header()->setSortIndicator(-1, Qt::AscendingOrder);
    model_->Show(tree_, *result_);
    Summary->setText(FromUtf8(
        DuplicateSummary(result_->Groups().size(), result_->RecordCount(), options.Folders, result_->WastedKB())));
    Save->setEnabled(!result_->Groups().empty());
}

void TDuplicatesDialog::SaveClick()
{
    if (!result_) return;
    const QString path =
        dialogs_.SaveFileName(QStringLiteral("Save Duplicates"), QStringLiteral("duplicates.txt"),
                              QStringLiteral("Text files (*.txt);;All files (*)"), QStringLiteral("txt"));
    if (path.isEmpty()) return;
    // Saved whole or not at all: a failure leaves any file of the name as it was.
    const int error = SaveDuplicateLines(QFile::encodeName(path).toStdString(), tree_, locale_, *result_);
    if (error != 0) dialogs_.ShowError(path + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(error)));
}

void TDuplicatesDialog::RowDoubleClicked(int row)
{
    const NodeId folder = tree_.Resolve(model_->RowFolder(row));
    if (folder == kNoNode) return;
    accept();
    if (openFolder_) openFolder_(folder);
}

}  // namespace ardvel::gui
