#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <chrono>
#include <deque>
#include <functional>

#include "common/DetailsTable.h"
#include "search/SearchControls.h"
#include "search/SearchPanel.h"
#include "search/SearchResultsModel.h"
#include "search/SearchTyping.h"
#include "window/ArdvelFormFixture.h"

namespace ardvel::gui::test {

/// The scripted dialogs of the window fixture, with the names chosen in
/// save dialogs taken from a script of their own (none left: cancelled).
class SaveScriptDialogs final : public UserDialogs {
public:
    explicit SaveScriptDialogs(ScriptedDialogs& inner) : inner_(inner) {}

    void ShowError(const QString& text, const QString& title = QString()) override { inner_.ShowError(text, title); }
    bool Confirm(const QString& text) override { return inner_.Confirm(text); }
    QString ChooseFolder(const QString& title) override { return inner_.ChooseFolder(title); }
    int RunDialog(QDialog& dialog) override { return inner_.RunDialog(dialog); }
    QString SaveFileName(const QString& title, const QString& proposedName, const QString& filter,
                         const QString& defaultSuffix) override
    {
        SaveTitles.push_back(title);
        SaveProposed.push_back(proposedName);
        SaveFilters.push_back(filter);
        SaveSuffixes.push_back(defaultSuffix);
        if (SaveNames.empty()) return {};
        const QString name = SaveNames.front();
        SaveNames.pop_front();
        return name;
    }

    std::deque<QString> SaveNames;
    QStringList SaveTitles, SaveProposed, SaveFilters, SaveSuffixes;

private:
    ScriptedDialogs& inner_;
};

/// A window whose searches a test runs itself: StepSearch in place of the
/// event loop, so nothing depends on timing.
class SearchModeFixture : public ArdvelFormFixture {
protected:
    void TearDown() override
    {
        // The window goes before the dialogs it answers through.
        resultsTester.reset();
        form.reset();
    }

    TArdvelForm& StartWindow()
    {
        resultsTester.reset();
        form.reset();
        form = std::make_unique<TArdvelForm>(English(), saveDialogs);
        form->SetUrlOpener([](const QUrl&) { return true; });
        resultsTester = TestModel(&Results());
        // The tests start their searches themselves, unless they type to.
        Panel().Typing->SearchAsYouType->setChecked(false);
        return *form;
    }

    TSearchPanel& Panel() { return form->SearchPanel(); }
    SearchResultsModel& Results() { return form->SearchPanel().ResultsModel(); }

    /// Runs the search under way to its end, in one slice, and waits for
    /// the list's sort.
    void RunToEnd()
    {
        while (Panel().StepSearch(std::chrono::steady_clock::time_point::max())) {
        }
        Results().FinishSort();
    }
    /// Runs one short slice (a few hundred items); true while more is to do.
    /// After the last one the list's sort is waited for.
    bool OneSlice()
    {
        const bool more = Panel().StepSearch(std::chrono::steady_clock::now());
        if (!more) Results().FinishSort();
        return more;
    }
    /// A click on a header of the results list, and the sort it starts.
    void ClickResultsHeader(int column)
    {
        emit W().SearchView->HeaderClicked(column);
        Results().FinishSort();
    }

    void SelectLookIn(const QString& entry)
    {
        const int index = LookIn()->findText(entry);
        ASSERT_GE(index, 0) << entry.toStdString();
        LookIn()->setCurrentIndex(index);
    }
    /// Types `name`, chooses `lookIn` and runs a whole search.
    void Search(const QString& name, const QString& lookIn = QStringLiteral("All"))
    {
        SelectLookIn(lookIn);
        Panel().FileNames->setText(name);
        Panel().SearchNowClick();
        RunToEnd();
    }

    std::vector<std::string> RowNames()
    {
        std::vector<std::string> names;
        for (int row = 0; row < Results().rowCount(); ++row)
            names.push_back(Results().index(row, 0).data().toString().toStdString());
        return names;
    }
    int RowOf(const std::string& name)
    {
        const auto names = RowNames();
        const auto it = std::find(names.begin(), names.end(), name);
        return it == names.end() ? -1 : static_cast<int>(it - names.begin());
    }
    /// The six texts of the row named `name`.
    QStringList RowTexts(const std::string& name)
    {
        const int row = RowOf(name);
        return row < 0 ? QStringList{} : Results().Texts(row);
    }

    /// A double click on the row named `name`, as the list reports it.
    void DoubleClick(const std::string& name)
    {
        const int row = RowOf(name);
        ASSERT_GE(row, 0) << name;
        W().SearchView->SelectRow(row);
        emit W().SearchView->DetailsView()->doubleClicked(Results().index(row, 0));
    }

    /// A catalog of one volume with `count` files directly in it, named by
    /// `nameOf(i)` in that order.
    void WriteFilesCatalog(const std::string& volume, int count, const std::function<std::string(int)>& nameOf)
    {
        WriteCatalog(home.CatalogFolder() + volume + ".arv", [&](CatalogTree& t, NodeId v) {
            for (int i = 0; i < count; ++i) t.AddFile(v, nameOf(i), 1 + i % 50, 44000.0 + i % 7);
        });
    }
    static std::string FileNumber(int i)
    {
        char text[32];
        std::snprintf(text, sizeof text, "f%05d.txt", i);
        return text;
    }

    SaveScriptDialogs saveDialogs{dialogs};
    std::unique_ptr<QAbstractItemModelTester> resultsTester;
};

}  // namespace ardvel::gui::test
