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
    EXPECT_EQ(versions, (std::vector<QString>{QStringLiteral("Version: 1.4"), QStringLiteral("Version: 1.4")}));
}

}  // namespace
}  // namespace ardvel::gui
