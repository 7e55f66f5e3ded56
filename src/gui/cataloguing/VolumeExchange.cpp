#include "cataloguing/VolumeExchange.h"

#include <QFile>
#include <QFileInfo>

#include "catalog/ImportRun.h"
#include "common/QtText.h"
#include "common/UserDialogs.h"
#include "store/CatalogError.h"
#include "store/VolumeExport.h"

namespace ardvel::gui {

namespace {

QString ErrorText(const CatalogError& e)
{
    const QString message = FromUtf8(e.what());
    return e.Path().empty() ? message : QFile::decodeName(e.Path().c_str()) + QStringLiteral(": ") + message;
}

/// The engine's refusals and questions as the program's message boxes.
class DialogPrompt final : public UserPrompt {
public:
    explicit DialogPrompt(UserDialogs& dialogs) : dialogs_(dialogs) {}
    void ShowError(const std::string& text) override { dialogs_.ShowError(FromUtf8(text)); }
    bool Confirm(const std::string& text) override { return dialogs_.Confirm(FromUtf8(text)); }

private:
    UserDialogs& dialogs_;
};

}  // namespace

void ExportSelectedVolume(CataloguingHost& host, UserDialogs& dialogs)
{
    const CatalogTree& tree = host.Tree();
    const NodeId node = host.SelectedNode();
    if (node == kNoNode || node == CatalogTree::kRoot) {
        dialogs.ShowError(QString::fromLatin1(kExportNoVolume));
        return;
    }
    const NodeId volume = tree.VolumeOf(node);
    QString proposed = FromUtf8(tree.Text(volume));
    proposed.replace(QLatin1Char('/'), QLatin1Char('_'));
    QString filter;
    QString path = dialogs.SaveFileNameAs(QString::fromLatin1(kExportTitle), proposed,
                                          QString::fromLatin1(kExportFilters), filter);
    if (path.isEmpty()) return;
    const VolumeExportFormat format = filter.startsWith(QLatin1String("CSV"))    ? VolumeExportFormat::Csv
                                      : filter.startsWith(QLatin1String("ncdu")) ? VolumeExportFormat::Ncdu
                                                                                 : VolumeExportFormat::Json;
    if (QFileInfo(path).suffix().isEmpty())
        path += format == VolumeExportFormat::Csv ? QStringLiteral(".csv") : QStringLiteral(".json");
    try {
        ExportVolumeFile(tree, volume, format, QFile::encodeName(path).toStdString());
    } catch (const CatalogError& e) {
        dialogs.ShowError(ErrorText(e));
    }
}

void ImportVolume(CataloguingHost& host, UserDialogs& dialogs, const Locale& locale)
{
    const QString path = dialogs.OpenFileName(QString::fromLatin1(kImportTitle), QString::fromLatin1(kImportFilter));
    if (path.isEmpty()) return;
    const std::string file = QFile::encodeName(path).toStdString();
    std::optional<QString> name;
    try {
        name = dialogs.AskText(QString::fromLatin1(kImportTitle), QString::fromLatin1(kImportNameLabel),
                               FromUtf8(ProposedImportName(file)));
    } catch (const CatalogError& e) {
        dialogs.ShowError(ErrorText(e));
        return;
    }
    if (!name) return;

    DialogPrompt prompt(dialogs);
    bool changing = false;
    ImportResult result;
    try {
        result = ImportNcduFile(host.Tree(), host.CatalogFolder(), prompt, file, ToUtf8(*name), locale, [&] {
            host.BeginTreeChange();
            changing = true;
        });
    } catch (const CatalogError& e) {
        if (changing) host.EndTreeChange();
        if (changing) host.SelectNode(CatalogTree::kRoot);
        dialogs.ShowError(ErrorText(e));
        return;
    }
    if (changing) host.EndTreeChange();
    if (result.Outcome != ImportOutcome::Imported) return;
    host.Expand(CatalogTree::kRoot);
    host.SelectNode(result.Volume);
    host.VolumesChanged();
    host.OpenSelected();
}

}  // namespace ardvel::gui
