#pragma once

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QDialog>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "common/UserDialogs.h"
#include "platform/Locale.h"
#include "store/CatalogFile.h"
#include "store/CatalogTree.h"
#include "support/TempDir.h"

namespace ardvel::gui::test {

using ardvel::test::ReadBytes;
using ardvel::test::TempDir;
using ardvel::test::WriteBytes;

/// "V12" from "V" and 12.
inline std::string Numbered(const char* prefix, int number)
{
    char text[32];
    std::snprintf(text, sizeof text, "%s%d", prefix, number);
    return text;
}

/// The controls, lists and status-bar fields on show in `root` that screen
/// readers would read without a name (class and object name of each).
std::vector<std::string> UnnamedControls(QWidget& root);

inline const Locale& English()
{
    static const Locale locale("en_US.UTF-8");
    return locale;
}

/// Answers every dialog from a script and records what was asked. A
/// question without a scripted answer fails the test and is answered No.
class ScriptedDialogs final : public UserDialogs {
public:
    void ShowError(const QString& text, const QString& title = QString()) override
    {
        Errors.push_back(text);
        ErrorTitles.push_back(title);
    }
    bool Confirm(const QString& text) override
    {
        Questions.push_back(text);
        if (Answers.empty()) {
            ADD_FAILURE() << "unexpected question: " << text.toStdString();
            return false;
        }
        const bool answer = Answers.front();
        Answers.pop_front();
        return answer;
    }
    QString ChooseFolder(const QString& title) override
    {
        FolderTitles.push_back(title);
        if (Folders.empty()) return {};
        const QString folder = Folders.front();
        Folders.pop_front();
        return folder;
    }
    QString SaveFileName(const QString& title, const QString&, const QString&, const QString&) override
    {
        SaveTitles.push_back(title);
        if (SaveNames.empty()) return {};
        const QString name = SaveNames.front();
        SaveNames.pop_front();
        return name;
    }
    void ShowErrorList(const QString& text, const QStringList& lines, const QString& title = QString()) override
    {
        ErrorLists.push_back(lines);
        UserDialogs::ShowErrorList(text, lines, title);  // into Errors, the lines after the text
    }
    int RunDialog(QDialog& dialog) override
    {
        Dialogs.push_back(&dialog);
        DialogTitles.push_back(dialog.windowTitle());
        if (OnDialog) OnDialog(dialog);
        return QDialog::Accepted;
    }

    QStringList Errors, ErrorTitles, Questions, FolderTitles, SaveTitles, DialogTitles;
    std::deque<bool> Answers;
    std::deque<QString> Folders;
    std::deque<QString> SaveNames;        ///< answers of SaveFileName; none: cancelled
    std::vector<QStringList> ErrorLists;  ///< the lines of each ShowErrorList
    std::vector<const QDialog*> Dialogs;
    std::function<void(QDialog&)> OnDialog;
};

/// A private configuration and data home for one test: the settings file
/// and the default catalog folder live in a temporary folder.
class TestHome {
public:
    TestHome()
    {
        Remember("XDG_CONFIG_HOME");
        Remember("XDG_DATA_HOME");
        ::setenv("XDG_CONFIG_HOME", (dir_.Path() / "config").c_str(), 1);
        ::setenv("XDG_DATA_HOME", (dir_.Path() / "data").c_str(), 1);
        std::filesystem::create_directories(CatalogFolder());
    }
    ~TestHome()
    {
        for (const auto& [name, value] : saved_) {
            if (value)
                ::setenv(name.c_str(), value->c_str(), 1);
            else
                ::unsetenv(name.c_str());
        }
    }
    TestHome(const TestHome&) = delete;
    TestHome& operator=(const TestHome&) = delete;

    /// The default catalog folder, with its trailing "/".
    std::string CatalogFolder() const { return (dir_.Path() / "data" / "ardvel" / "Catalogs").string() + "/"; }
    std::string SettingsFile() const { return (dir_.Path() / "config" / "ardvel" / "ardvel.ini").string(); }
    std::string Folder(const std::string& name) const
    {
        const auto path = dir_.Path() / name;
        std::filesystem::create_directories(path);
        return path.string() + "/";
    }
    void WriteSettings(const std::string& text) const
    {
        std::filesystem::create_directories(dir_.Path() / "config" / "ardvel");
        WriteBytes(SettingsFile(), text);
    }

private:
    void Remember(const std::string& name)
    {
        const char* value = std::getenv(name.c_str());
        saved_.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
    }
    TempDir dir_;
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

/// Writes a catalog file of one volume that `fill` builds below `volume`.
inline void WriteCatalog(const std::string& path, const std::function<void(CatalogTree&, NodeId)>& fill,
                         TDateTime date = 40000.5)
{
    CatalogTree tree;
    const NodeId volume = tree.AddVolume("V", date);
    if (fill) fill(tree, volume);
    CatalogWriter writer(path);
    writer.WriteHeader("LABEL", date);
    writer.WriteTree(tree, volume);
    writer.Commit();
}

/// Fails the current test on every complaint of QAbstractItemModelTester
/// while it lives.
class ModelComplaints {
public:
    ModelComplaints() { previous_ = qInstallMessageHandler(&ModelComplaints::Handle); }
    ~ModelComplaints() { qInstallMessageHandler(previous_); }

private:
    static void Handle(QtMsgType type, const QMessageLogContext& context, const QString& message)
    {
        if (type != QtDebugMsg && context.category && QByteArray(context.category).startsWith("qt.modeltest"))
            ADD_FAILURE() << "model tester: " << message.toStdString();
    }
    QtMessageHandler previous_ = nullptr;
};

/// A model tester that reports to the running test.
inline std::unique_ptr<QAbstractItemModelTester> TestModel(QAbstractItemModel* model)
{
    return std::make_unique<QAbstractItemModelTester>(model, QAbstractItemModelTester::FailureReportingMode::Warning);
}

}  // namespace ardvel::gui::test
