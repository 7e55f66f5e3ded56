// The longest time the main window's event loop is kept waiting while a
// search for "*" runs over every volume and its rows are sorted, and while
// a header click re-sorts them. Target: no stall over 100 ms on 10 M
// records.
//
//   window_stall_bench [--records N] [--volumes V] [--dir DIR]
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>

#include "BenchOptions.h"
#include "common/StyledListView.h"
#include "common/UserDialogs.h"
#include "gui/GuiBenchSupport.h"
#include "platform/Locale.h"
#include "search/SearchPanel.h"
#include "search/SearchResultsModel.h"
#include "store/CatalogFile.h"
#include "window/ArdvelForm.h"

using namespace ardvel;

namespace {

/// Volumes of `perVolume` files in folders of 200, with names that sort in
/// no particular order.
void WriteCatalogs(const std::string& folder, std::size_t volumes, std::size_t perVolume)
{
    bench::WriteGeneratedCatalogs(
        folder, volumes, perVolume, 7, [](std::mt19937& rng) { return "folder " + std::to_string(rng() % 100000); },
        [](std::mt19937& rng) { return "file " + std::to_string(rng()) + ".dat"; });
}

/// The slowest event since the last call, forgotten for the next phase.
bench::TimedApplication::Event TakeSlowest(bench::TimedApplication& app)
{
    const bench::TimedApplication::Event slowest = app.Slowest;
    app.Slowest = {};
    return slowest;
}

void PrintSlowest(const bench::TimedApplication::Event& e)
{
    std::printf("  slowest event: %lld ms, type %d to a %s of %s\n", static_cast<long long>(e.Ms), e.Type,
                qPrintable(e.Receiver), qPrintable(e.Class));
}

}  // namespace

int main(int argc, char* argv[])
{
    const auto options = bench::ParseBenchOptions(argc, argv, "window_stall_bench");
    if (!options) return 2;
    const std::string home = bench::BenchFolder(*options, "ardvel-window-bench");
    if (home.empty()) return 1;
    const std::string catalogs = bench::UseBenchHome(home);
    QElapsedTimer phase;
    phase.start();
    WriteCatalogs(catalogs, options->Volumes, options->Records / options->Volumes);
    std::printf("catalogs written: %zu records in %zu volumes, %lld ms\n", options->Records, options->Volumes,
                static_cast<long long>(phase.restart()));

    bench::TimedApplication app(argc, argv);
    bench::SilentDialogs dialogs;
    gui::TArdvelForm form(Locale::User(), dialogs);
    form.show();
    std::printf("window loaded: %lld ms\n", static_cast<long long>(phase.restart()));

    gui::TSearchPanel& panel = form.SearchPanel();
    gui::SearchResultsModel& results = panel.ResultsModel();
    form.findChild<QAction*>(QStringLiteral("SBut"))->trigger();
    panel.LookInAll();
    panel.FileNames->setText(QStringLiteral("*"));

    bench::StallMeter meter;
    QSignalSpy sorted(&results, &gui::SearchResultsModel::SortFinished);
    meter.Start();
    panel.SearchNowClick();
    while (panel.Running()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    const qint64 searchStall = meter.Stop();
    const auto searchSlowest = TakeSlowest(app);
    const qint64 searchMs = phase.restart();
    meter.Start();
    if (sorted.isEmpty()) sorted.wait(600'000);
    const qint64 sortStall = meter.Stop();
    const auto sortSlowest = TakeSlowest(app);
    std::printf("search \"*\": %d rows in %lld ms, longest stall %lld ms (the end and its sort start included)\n",
                results.rowCount(), static_cast<long long>(searchMs), static_cast<long long>(searchStall));
    PrintSlowest(searchSlowest);
    std::printf("final sort: %lld ms more, longest stall %lld ms\n", static_cast<long long>(phase.restart()),
                static_cast<long long>(sortStall));
    PrintSlowest(sortSlowest);
    std::fflush(stdout);

    auto* list = form.findChild<gui::StyledListView*>(QStringLiteral("SearchView"));
    sorted.clear();
    meter.Start();
    emit list->HeaderClicked(kColumnSize);
    if (sorted.isEmpty()) sorted.wait(600'000);
    const qint64 clickStall = meter.Stop();
    const auto clickSlowest = TakeSlowest(app);
    std::printf("header click (Size): sorted in %lld ms; longest stall %lld ms\n",
                static_cast<long long>(phase.restart()), static_cast<long long>(clickStall));
    PrintSlowest(clickSlowest);

    if (options->Dir.empty()) std::filesystem::remove_all(home);
    return 0;
}
