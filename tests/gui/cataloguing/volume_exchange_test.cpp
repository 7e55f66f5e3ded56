#include <QAction>
#include <filesystem>

#include "catalog/NameChecks.h"
#include "catalog/NcduImport.h"
#include "cataloguing/VolumeExchange.h"
#include "store/VolumeName.h"
#include "window/ArdvelFormFixture.h"

namespace ardvel::gui::test {
namespace {

/// Scripts the save, open and text dialogs of the exchange commands and
/// passes every other dialog to `inner`.
class ExchangeDialogs final : public UserDialogs {
public:
    explicit ExchangeDialogs(ScriptedDialogs& inner) : inner_(inner) {}
    void ShowError(const QString& text, const QString& title) override { inner_.ShowError(text, title); }
    bool Confirm(const QString& text) override { return inner_.Confirm(text); }
    QString ChooseFolder(const QString& title) override { return inner_.ChooseFolder(title); }
    QString SaveFileName(const QString& title, const QString& proposed, const QString& filter) override
    {
        return inner_.SaveFileName(title, proposed, filter);
    }
    int RunDialog(QDialog& dialog) override { return inner_.RunDialog(dialog); }

    QString SaveFileNameAs(const QString& title, const QString& proposed, const QString& filters,
                           QString& chosen) override
    {
        Asked.push_back(title + QStringLiteral("|") + proposed + QStringLiteral("|") + filters);
        chosen = Filter;
        return Path;
    }
    QString OpenFileName(const QString& title, const QString& filter) override
    {
        Asked.push_back(title + QStringLiteral("|") + filter);
        return Path;
    }
    std::optional<QString> AskText(const QString& title, const QString& label, const QString& proposed) override
    {
        Asked.push_back(title + QStringLiteral("|") + label + QStringLiteral("|") + proposed);
        return Text;
    }

    QString Path, Filter;
    std::optional<QString> Text;
    QStringList Asked;

private:
    ScriptedDialogs& inner_;
};

constexpr const char* kServerExport = R"([1,2,{"progname":"ncdu"},
[{"name":"/srv/music","asize":4096},
{"name":"a.txt","asize":2049,"mtime":1111111110},
[{"name":"Rock","mtime":1111111110},{"name":"x.mp3","asize":10}]]]
)";

class VolumeExchangeTest : public ArdvelFormFixture {
protected:
    void SetUp() override
    {
        WriteStandardCatalogs();
        form = std::make_unique<TArdvelForm>(English(), exchange);
        form->SetUrlOpener([](const QUrl&) { return true; });
    }
    void TearDown() override { form.reset(); }
    std::string Out(const std::string& name) { return (out.Path() / name).string(); }

    ExchangeDialogs exchange{dialogs};
    TempDir out;
};

TEST_F(VolumeExchangeTest, ExportWritesTheSelectedVolumeAsTheChosenFilterSays)
{
    EXPECT_EQ(W().ExportVolume->text(), QStringLiteral("&Export Volume..."));
    Click("Music 2002:\\Rock\\Live\\");
    exchange.Path = QString::fromStdString(Out("music"));
    exchange.Filter = QStringLiteral("CSV (*.csv)");
    W().ExportVolume->trigger();
    ASSERT_EQ(exchange.Asked.size(), 1);
    EXPECT_EQ(exchange.Asked[0],
              QStringLiteral("Export Volume|Music 2002|CSV (*.csv);;JSON (*.json);;ncdu export (*.json)"));
    const std::string csv = ReadBytes(Out("music.csv"));
    EXPECT_TRUE(csv.starts_with("type,volume,path,name,size,size_kb,date,artist,title\r\nvolume,Music 2002,")) << csv;
    EXPECT_NE(csv.find("\r\nfile,Music 2002,Music 2002/Rock/one.mp3,one.mp3,1228800,1200,"), std::string::npos) << csv;
    EXPECT_NE(csv.find(",Band,One\r\n"), std::string::npos);

    exchange.Path = QString::fromStdString(Out("music.json"));
    exchange.Filter = QStringLiteral("ncdu export (*.json)");
    W().ExportVolume->trigger();
    CatalogTree back;
    const NodeId v = back.AddVolume("back", 0);
    const NcduImportStats stats = ReadNcduExport(ReadBytes(Out("music.json")), back, v, 0);
    EXPECT_EQ(stats.RootName, "Music 2002");
    EXPECT_EQ(stats.Files, 3u);
    EXPECT_EQ(stats.Folders, 3u);

    exchange.Filter = QStringLiteral("JSON (*.json)");
    W().ExportVolume->trigger();
    EXPECT_TRUE(ReadBytes(Out("music.json")).starts_with("[\n{\"type\":\"volume\",\"volume\":\"Music 2002\""));
    EXPECT_TRUE(dialogs.Errors.isEmpty());
}

TEST_F(VolumeExchangeTest, ExportNeedsAVolumeAndReportsFailures)
{
    Click("My Catalogs");
    W().ExportVolume->trigger();
    ASSERT_EQ(dialogs.Errors.size(), 1);
    EXPECT_EQ(dialogs.Errors[0], QString::fromLatin1(kExportNoVolume));
    EXPECT_TRUE(exchange.Asked.isEmpty());

    Click("Photos:\\");
    exchange.Path = QString::fromStdString(Out("missing/photos.csv"));
    exchange.Filter = QStringLiteral("CSV (*.csv)");
    W().ExportVolume->trigger();
    ASSERT_EQ(dialogs.Errors.size(), 2);
    EXPECT_TRUE(dialogs.Errors[1].startsWith(exchange.Path + QStringLiteral(": "))) << dialogs.Errors[1].toStdString();
    exchange.Path.clear();  // cancelled: nothing more
    W().ExportVolume->trigger();
    EXPECT_EQ(dialogs.Errors.size(), 2);
}

TEST_F(VolumeExchangeTest, ImportAddsTheVolumeSavesItAndOpensIt)
{
    EXPECT_EQ(W().ImportVolume->text(), QStringLiteral("&Import..."));
    WriteBytes(Out("server.json"), kServerExport);
    exchange.Path = QString::fromStdString(Out("server.json"));
    exchange.Text = QStringLiteral("Server");
    W().ImportVolume->trigger();
    ASSERT_EQ(exchange.Asked.size(), 2);
    EXPECT_EQ(exchange.Asked[0], QStringLiteral("Import|ncdu JSON export (*.json);;All files (*)"));
    EXPECT_EQ(exchange.Asked[1], QStringLiteral("Import|Volume name:|music"));
    EXPECT_TRUE(dialogs.Errors.isEmpty()) << dialogs.Errors.join(QStringLiteral("\n")).toStdString();
    EXPECT_EQ(Volumes(), (Names{"Backup", "Music 2002", "Photos", "Server"}));
    EXPECT_TRUE(CatalogExists("Server.arv"));
    EXPECT_EQ(SelectedPath(), "Server:\\");
    EXPECT_EQ(OpenPath(), "Server:\\");
    EXPECT_EQ(ListNames(), (Names{"Rock", "a.txt"}));
    EXPECT_NE(LookIn()->findText(QStringLiteral("Server")), -1);
}

TEST_F(VolumeExchangeTest, ImportRefusalsCancelsAndFaultsChangeNothing)
{
    WriteBytes(Out("server.json"), kServerExport);
    exchange.Path = QString::fromStdString(Out("server.json"));
    exchange.Text = QStringLiteral("music 2002");
    W().ImportVolume->trigger();
    ASSERT_EQ(dialogs.Errors.size(), 1);
    EXPECT_EQ(dialogs.Errors[0], QString::fromLatin1(kVolumeNameTaken));

    exchange.Text = std::nullopt;  // the name dialog cancelled
    W().ImportVolume->trigger();

    std::string damaged = kServerExport;
    damaged.replace(damaged.find("\"asize\":2049"), 12, "\"asize\":20x9");
    WriteBytes(Out("damaged.json"), damaged);
    exchange.Path = QString::fromStdString(Out("damaged.json"));
    exchange.Text = QStringLiteral("Damaged");
    W().ImportVolume->trigger();
    ASSERT_EQ(dialogs.Errors.size(), 2);
    EXPECT_EQ(dialogs.Errors[1],
              exchange.Path + QStringLiteral(": line 3, column 27: unexpected 'x'; expected ',' or '}'"));
    EXPECT_EQ(Volumes(), (Names{"Backup", "Music 2002", "Photos"}));
    EXPECT_FALSE(CatalogExists("Damaged.arv"));
    EXPECT_FALSE(CatalogExists("music 2002.arv"));
}

TEST(SaveDialogFilter, TheFilterIsTheOneTheExtensionMatches)
{
    const QString filters = QStringLiteral("Text report (*.txt);;CSV (*.csv);;JSON (*.json)");
    EXPECT_EQ(FilterOfPath(filters, QStringLiteral("/a/b.CSV")), QStringLiteral("CSV (*.csv)"));
    EXPECT_EQ(FilterOfPath(filters, QStringLiteral("b.json")), QStringLiteral("JSON (*.json)"));
    EXPECT_EQ(FilterOfPath(filters, QStringLiteral("b")), QStringLiteral("Text report (*.txt)"));
    EXPECT_EQ(FilterOfPath(filters, QStringLiteral("b.tar.gz")), QStringLiteral("Text report (*.txt)"));
}

}  // namespace
}  // namespace ardvel::gui::test
