#include <QDir>
#include <QLabel>
#include <QPushButton>

#include <unistd.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "ArdvelVersion.h"

#include "window/ArdvelFormFixture.h"
#include "help/AboutBox.h"
#include "help/HelpCommands.h"

namespace ardvel::gui {
namespace {

using test::ArdvelFormFixture;
using test::TempDir;
using test::WriteBytes;

/// Runs a test from inside a fresh working folder.
class InFolder {
public:
    explicit InFolder(const std::filesystem::path& folder) : previous_(std::filesystem::current_path())
    {
        std::filesystem::current_path(folder);
    }
    ~InFolder() { std::filesystem::current_path(previous_); }

private:
    std::filesystem::path previous_;
};

/// Sets an environment variable for one test and puts the old value back.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : name_(name)
    {
        if (const char* old = std::getenv(name)) previous_ = old;
        ::setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv()
    {
        if (previous_) ::setenv(name_, previous_->c_str(), 1);
        else ::unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> previous_;
};

struct HelpTest : ArdvelFormFixture {
    void SetUp() override { Start(); }
    TempDir work;
    // An installed copy of Ardvel on this machine must not answer for the
    // page these tests lay out.
    ScopedEnv dataDirs{"XDG_DATA_DIRS", (work.Path() / "data").string()};

    std::filesystem::path WritePage(const std::filesystem::path& folder)
    {
        std::filesystem::create_directories(folder / "Help");
        WriteBytes((folder / "Help" / "readme.html").string(), "<html></html>");
        return folder / "Help" / "readme.html";
    }
};

TEST_F(HelpTest, ContentsOpensTheHelpPageOfTheWorkingFolderWhenNoneIsInstalled)
{
    std::filesystem::create_directory(work.Path() / "Help");
    WriteBytes((work.Path() / "Help" / "readme.html").string(), "<html></html>");
    InFolder here(work.Path());
    W().HelpContents->trigger();
    EXPECT_TRUE(dialogs.Errors.empty());
    ASSERT_EQ(OpenedUrls.size(), 1u);
    EXPECT_TRUE(OpenedUrls[0].isLocalFile());
    EXPECT_EQ(std::filesystem::canonical(OpenedUrls[0].toLocalFile().toStdString()),
              std::filesystem::canonical(work.Path() / "Help" / "readme.html"));
}

TEST_F(HelpTest, AnInstalledHelpPageComesBeforeTheWorkingFolder)
{
    WritePage(work.Path() / "here");
    const std::filesystem::path installed = WritePage(work.Path() / "data" / "ardvel");
    InFolder here(work.Path() / "here");
    W().HelpContents->trigger();
    EXPECT_TRUE(dialogs.Errors.empty());
    ASSERT_EQ(OpenedUrls.size(), 1u);
    EXPECT_EQ(std::filesystem::canonical(OpenedUrls[0].toLocalFile().toStdString()),
              std::filesystem::canonical(installed));
}

TEST_F(HelpTest, ContentsLooksBesideTheExecutableFirst)
{
    const std::filesystem::path installed = WritePage(work.Path() / "usr" / "share" / "ardvel");
    WritePage(work.Path() / "data" / "ardvel");
    DataFilePlaces places = DataFilePlaces::OfProcess();
    places.ExecutableDir = (work.Path() / "usr" / "bin").string();
    HelpContentsExecute(
        [this](const QUrl& url) {
            OpenedUrls.push_back(url);
            return true;
        },
        dialogs, places);
    ASSERT_EQ(OpenedUrls.size(), 1u);
    EXPECT_EQ(OpenedUrls[0].toLocalFile().toStdString(), installed.string());
}

TEST_F(HelpTest, AMissingOrUnopenableHelpPageIsReported)
{
    InFolder here(work.Path());
    W().HelpContents->trigger();
    EXPECT_TRUE(OpenedUrls.empty());
    ASSERT_EQ(dialogs.Errors.size(), 1u);
    EXPECT_EQ(dialogs.Errors[0], QStringLiteral("Help files not found or corrupted."));
    EXPECT_EQ(dialogs.ErrorTitles[0], QStringLiteral("Error"));

    // There, but no viewer takes it.
    std::filesystem::create_directory(work.Path() / "Help");
    WriteBytes((work.Path() / "Help" / "readme.html").string(), "<html></html>");
    OpenResult = false;
    form->HelpContentsExecute();
    EXPECT_EQ(OpenedUrls.size(), 1u);
    EXPECT_EQ(dialogs.Errors.size(), 2u);
}

TEST_F(HelpTest, UpdateOpensTheUpdatePageAndShowsNothing)
{
    OpenResult = false;
    W().Update->trigger();
    ASSERT_EQ(OpenedUrls.size(), 1u);
    EXPECT_EQ(OpenedUrls[0], QUrl(QString::fromLatin1(kUpdatePageUrl)));
    EXPECT_EQ(OpenedUrls[0].scheme(), QStringLiteral("https"));
    EXPECT_TRUE(dialogs.Errors.empty());
}

TEST_F(HelpTest, AboutShowsAFreshBoxEachTime)
{
    std::vector<QString> versions;
    dialogs.OnDialog = [&](QDialog& dialog) {
        auto* box = qobject_cast<TAboutBox*>(&dialog);
        ASSERT_NE(box, nullptr);
        versions.push_back(box->VersionLabel()->text());
        EXPECT_EQ(box->ProductName()->text(), QStringLiteral("Ardvel"));
        EXPECT_EQ(box->OkButton()->text(), QStringLiteral("OK"));
        EXPECT_TRUE(box->OkButton()->isDefault());
        EXPECT_EQ(box->ContactLabel()->text(), QString::fromLatin1(kContactAddress));
        // Whatever the first box went through, the second starts anew.
        box->VersionLabel()->setText(QStringLiteral("changed"));
    };
    W().About1->trigger();
    W().About1->trigger();
    EXPECT_EQ(dialogs.DialogTitles, (QStringList{QStringLiteral("About"), QStringLiteral("About")}));
    const QString version = QStringLiteral("Version: ") + QString::fromLatin1(kVersion);
    EXPECT_EQ(versions, (std::vector<QString>{version, version}));
    EXPECT_TRUE(version.startsWith(QStringLiteral("Version: 1.4."))) << version.toStdString();
}

}  // namespace
}  // namespace ardvel::gui
