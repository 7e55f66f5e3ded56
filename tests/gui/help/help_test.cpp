#include <unistd.h>

#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <cstdlib>
#include <optional>
#include <string>

#include "ArdvelVersion.h"
#include "help/AboutBox.h"
#include "help/HelpCommands.h"
#include "window/ArdvelFormFixture.h"

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
        if (previous_)
            ::setenv(name_, previous_->c_str(), 1);
        else
            ::unsetenv(name_);
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

    // The update page lies beside it.
    WriteBytes((installed.parent_path() / "update.html").string(), "<html></html>");
    UpdateClick(
        [this](const QUrl& url) {
            OpenedUrls.push_back(url);
            return true;
        },
        "", places);
    ASSERT_EQ(OpenedUrls.size(), 2u);
    EXPECT_EQ(OpenedUrls[1].toLocalFile().toStdString(), (installed.parent_path() / "update.html").string());
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

TEST_F(HelpTest, UpdateOpensTheLocalUpdatePageUnlessTheBuildNamesAWebPage)
{
    std::filesystem::create_directory(work.Path() / "Help");
    WriteBytes((work.Path() / "Help" / "update.html").string(), "<html></html>");
    InFolder here(work.Path());
    const UrlOpener opener = [this](const QUrl& url) {
        OpenedUrls.push_back(url);
        return false;
    };

    // No web page: update.html beside the help page of the working folder.
    UpdateClick(opener, "");
    ASSERT_EQ(OpenedUrls.size(), 1u);
    ASSERT_TRUE(OpenedUrls[0].isLocalFile());
    EXPECT_EQ(std::filesystem::canonical(OpenedUrls[0].toLocalFile().toStdString()),
              std::filesystem::canonical(work.Path() / "Help" / "update.html"));

    UpdateClick(opener, "https://downloads.ardvel.test/latest");
    ASSERT_EQ(OpenedUrls.size(), 2u);
    EXPECT_EQ(OpenedUrls[1], QUrl(QStringLiteral("https://downloads.ardvel.test/latest")));

    // The menu command opens the page this build names, and a failure
    // passes unseen.
    OpenResult = false;
    W().Update->trigger();
    ASSERT_EQ(OpenedUrls.size(), 3u);
    if (*kUpdatePageUrl == '\0')
        EXPECT_EQ(OpenedUrls[2], OpenedUrls[0]);
    else
        EXPECT_EQ(OpenedUrls[2], QUrl(QString::fromUtf8(kUpdatePageUrl)));
    EXPECT_TRUE(dialogs.Errors.empty());
}

TEST_F(HelpTest, AboutShowsTheContactLineOnlyWithAnAddress)
{
    TAboutBox without(form.get(), QString());
    EXPECT_TRUE(without.ContactCaption()->isHidden());
    EXPECT_TRUE(without.ContactLabel()->isHidden());

    TAboutBox with(form.get(), QStringLiteral("maker@ardvel.test"));
    EXPECT_FALSE(with.ContactCaption()->isHidden());
    EXPECT_EQ(with.ContactCaption()->text(), QStringLiteral("Contact me via e-mail:"));
    EXPECT_FALSE(with.ContactLabel()->isHidden());
    EXPECT_EQ(with.ContactLabel()->text(), QStringLiteral("maker@ardvel.test"));
    // An address is shown as written, never as markup.
    TAboutBox named(form.get(), QStringLiteral("Ann <ann@ardvel.test>"));
    EXPECT_EQ(named.ContactLabel()->textFormat(), Qt::PlainText);
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
        EXPECT_EQ(box->ContactLabel()->text(), QString::fromUtf8(kContactAddress));
        EXPECT_EQ(box->ContactLabel()->isHidden(), *kContactAddress == '\0');
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
