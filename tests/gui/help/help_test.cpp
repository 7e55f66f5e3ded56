#include <QDir>
#include <QLabel>
#include <QPushButton>

#include <unistd.h>

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

struct HelpTest : ArdvelFormFixture {
    void SetUp() override { Start(); }
    TempDir work;
};

TEST_F(HelpTest, ContentsOpensTheHelpPageOfTheWorkingFolder)
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
    EXPECT_EQ(versions, (std::vector<QString>{QStringLiteral("Version: 1.4"), QStringLiteral("Version: 1.4")}));
}

}  // namespace
}  // namespace ardvel::gui
