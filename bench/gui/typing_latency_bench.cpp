// Search as you type in the main window over generated records: keystrokes
// are posted to the name field through the event loop, a few letters apart,
// and for each the benchmark measures how long the window takes to handle
// it, how long until the list shows the new search's rows and until that
// search ends; a 10 ms heartbeat timer measures the longest stall of the
// event loop meanwhile. Target: the window answers within 50 ms while it
// searches 10 M records.
//
//   typing_latency_bench [--records N] [--volumes V] [--dir DIR]
//
// N is 1 M unless given; run it again with --records 10000000 for 10 M
// (under 1 GB of memory; a minute or two to write the catalogs). Catalogs
// already in --dir are searched as they are.
#include <QAbstractItemModel>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "BenchOptions.h"
#include "common/UserDialogs.h"
#include "gui/GuiBenchSupport.h"
#include "platform/Locale.h"
#include "search/SearchPanel.h"
#include "search/SearchResultsModel.h"
#include "search/SearchTyping.h"
#include "store/CatalogFile.h"
#include "window/ArdvelForm.h"

using namespace ardvel;

namespace {

constexpr std::array<const char*, 24> kWords = {"summer", "holiday", "beach",  "report",   "invoice", "mountain",
                                                "family", "concert", "garden", "backup",   "track",   "budget",
                                                "letter", "river",   "sunset", "meeting",  "winter",  "album",
                                                "draft",  "photo",   "scan",   "birthday", "travel",  "notes"};
constexpr std::array<const char*, 6> kExtensions = {".jpg", ".mp3", ".txt", ".pdf", ".doc", ".mkv"};

/// Volumes of `perVolume` files in folders of 200, named from a few words
/// and numbers, so each typed letter narrows the rows found.
void WriteCatalogs(const std::string& folder, std::size_t volumes, std::size_t perVolume)
{
    const auto word = [](std::mt19937& rng) { return std::string(kWords[rng() % kWords.size()]); };
    bench::WriteGeneratedCatalogs(
        folder, volumes, perVolume, 11,
        [&](std::mt19937& rng) { return word(rng) + " " + std::to_string(rng() % 1000); },
        [&](std::mt19937& rng) {
            return word(rng) + "_" + word(rng) + "_" + std::to_string(rng() % 100000) +
                   kExtensions[rng() % kExtensions.size()];
        });
}

/// One posted keystroke and what followed it, in ms from the posting (-1:
/// did not happen before the next keystroke).
struct Keystroke {
    QString Text;
    qint64 Posted = 0;
    qint64 Answered = -1;   ///< the name field has the letter
    qint64 FirstRows = -1;  ///< the list shows rows of the search it started
    qint64 Ended = -1;      ///< that search has ended
    int Rows = 0;
};

/// Types `text` into the panel's name field, one letter every `gapMs`, and
/// follows each keystroke until the next one (the last until its search
/// ends).
std::vector<Keystroke> TypeAndFollow(gui::TSearchPanel& panel, const QString& text, int gapMs, qint64& stall)
{
    std::vector<Keystroke> keys;
    QElapsedTimer clock;
    clock.start();
    gui::SearchResultsModel& model = panel.ResultsModel();
    bool searching = false;  // the search of the latest keystroke has started
    QObject watcher;         // the connections below end with it
    const auto since = [&] { return clock.elapsed() - keys.back().Posted; };
    // The list changes: the new search's rows, or its end (folders first).
    const auto listChanged = [&](bool newRows) {
        if (keys.empty() || !searching) return;
        Keystroke& k = keys.back();
        if (newRows && k.FirstRows < 0) k.FirstRows = since();
        if (!panel.Running() && k.Ended < 0) {
            k.Ended = since();
            k.Rows = model.rowCount();
            if (k.FirstRows < 0) k.FirstRows = k.Ended;
        }
    };
    QObject::connect(&model, &QAbstractItemModel::modelReset, &watcher, [&] { listChanged(true); });
    QObject::connect(&model, &QAbstractItemModel::rowsInserted, &watcher, [&] { listChanged(true); });
    QObject::connect(&model, &QAbstractItemModel::layoutChanged, &watcher, [&] { listChanged(false); });
    QObject::connect(panel.FileNames, &QLineEdit::textChanged, &watcher, [&] {
        if (!keys.empty() && keys.back().Answered < 0) keys.back().Answered = since();
    });
    // The pause is over: the search of the latest keystroke starts.
    QObject::connect(panel.Typing->findChild<QTimer*>(), &QTimer::timeout, &watcher, [&] { searching = true; });

    bench::StallMeter heartbeat(10);
    heartbeat.Start();
    for (const QChar letter : text) {
        keys.push_back({panel.FileNames->text() + letter, clock.elapsed()});
        searching = false;
        QCoreApplication::postEvent(panel.FileNames,
                                    new QKeyEvent(QEvent::KeyPress, 0, Qt::NoModifier, QString(letter)));
        const bool last = keys.size() == static_cast<std::size_t>(text.size());
        const qint64 until = keys.back().Posted + (last ? 600'000 : gapMs);
        while (clock.elapsed() < until && !(last && keys.back().Ended >= 0)) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        }
    }
    stall = heartbeat.Stop();
    return keys;
}

void Print(const std::vector<Keystroke>& keys)
{
    std::printf("  %-12s %9s %12s %10s %10s\n", "typed", "answer ms", "first rows ms", "ended ms", "rows");
    for (const Keystroke& k : keys) {
        const auto ms = [](qint64 v) { return v < 0 ? std::string("-") : std::to_string(v); };
        std::printf("  %-12s %9s %12s %10s %10s\n", qPrintable(k.Text), ms(k.Answered).c_str(), ms(k.FirstRows).c_str(),
                    ms(k.Ended).c_str(), k.Ended < 0 ? "cancelled" : std::to_string(k.Rows).c_str());
    }
}

/// The machine's load over the last minute: the figures above are wall
/// times, stretched when other processes share the cores.
double LoadAverage()
{
    double load = 0;
    if (std::FILE* f = std::fopen("/proc/loadavg", "r")) {
        if (std::fscanf(f, "%lf", &load) != 1) load = 0;
        std::fclose(f);
    }
    return load;
}

/// Three runs of typing, each followed keystroke by keystroke, and their
/// figures.
void TypeTheRuns(bench::TimedApplication& app, gui::TSearchPanel& panel, std::size_t records)
{
    // Letters 400 ms apart: each search has time to run (or is cancelled
    // by the next letter on a large catalog); then letters 80 ms apart,
    // which the pause gathers into one search.
    struct Run {
        const char* Title;
        QString Text;
        int GapMs;
        bool Clear;
    };
    // Last, a mask whose first letter finds every record: the rows of one
    // search after another are millions.
    const std::array<Run, 4> runs = {Run{"slow typing, 400 ms a letter", QStringLiteral("summer"), 400, true},
                                     Run{"fast typing, 80 ms a letter", QStringLiteral("_beach"), 80, false},
                                     Run{"a new word, 250 ms a letter", QStringLiteral("holiday"), 250, true},
                                     Run{"a mask from \"*\" on, 400 ms a letter", QStringLiteral("*.mp3"), 400, true}};
    qint64 worst = 0, worstCpu = 0;
    for (const Run& run : runs) {
        if (run.Clear) panel.FileNames->clear();
        panel.StopSearchClick();
        while (panel.ResultsModel().Sorting()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        qint64 stall = 0;
        const std::vector<Keystroke> keys = TypeAndFollow(panel, run.Text, run.GapMs, stall);
        std::printf("%s (%zu records; the pause of %lld ms included):\n", run.Title, records,
                    static_cast<long long>(gui::TSearchTyping::kPause.count()));
        Print(keys);
        std::printf("  longest event loop stall: %lld ms; slowest event: %lld ms, type %d to a %s of %s\n",
                    static_cast<long long>(stall), static_cast<long long>(app.Slowest.Ms), app.Slowest.Type,
                    qPrintable(app.Slowest.Receiver), qPrintable(app.Slowest.Class));
        std::printf("  most CPU time in one event: %lld ms, type %d to a %s of %s\n",
                    static_cast<long long>(app.MostCpu.Ms), app.MostCpu.Type, qPrintable(app.MostCpu.Receiver),
                    qPrintable(app.MostCpu.Class));
        worstCpu = std::max(worstCpu, app.MostCpu.Ms);
        app.Slowest = {};
        app.MostCpu = {};
        worst = std::max(worst, stall);
        for (const Keystroke& k : keys) worst = std::max(worst, k.Answered);
    }
    std::printf(
        "worst answer or stall: %lld ms (target 50 ms); most CPU time in one event: %lld ms; "
        "peak memory %ld MB; load average %.1f\n",
        static_cast<long long>(worst), static_cast<long long>(worstCpu), bench::PeakMemoryKB() / 1024, LoadAverage());
}

bool HasRecordsOption(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--records") == 0) return true;
    return false;
}

}  // namespace

int main(int argc, char* argv[])
{
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    auto options = bench::ParseBenchOptions(argc, argv, "typing_latency_bench");
    if (!options) return 2;
    if (!HasRecordsOption(argc, argv)) options->Records = 1'000'000;
    const std::string home = bench::BenchFolder(*options, "ardvel-typing-bench");
    if (home.empty()) return 1;
    const std::string catalogs = bench::UseBenchHome(home);
    QElapsedTimer phase;
    phase.start();
    if (!std::filesystem::exists(catalogs))
        WriteCatalogs(catalogs, options->Volumes, options->Records / options->Volumes);
    std::printf("catalogs: %zu records in %zu volumes, %lld ms\n", options->Records, options->Volumes,
                static_cast<long long>(phase.restart()));

    bench::TimedApplication app(argc, argv);
    bench::SilentDialogs dialogs;
    gui::TArdvelForm form(Locale::User(), dialogs);
    form.resize(1000, 700);
    form.show();
    std::printf("window loaded: %lld ms, peak memory %ld MB\n", static_cast<long long>(phase.restart()),
                bench::PeakMemoryKB() / 1024);

    gui::TSearchPanel& panel = form.SearchPanel();
    form.findChild<QAction*>(QStringLiteral("SBut"))->trigger();
    panel.LookInAll();
    panel.Typing->SearchAsYouType->setChecked(true);
    panel.FileNames->setFocus();

    TypeTheRuns(app, panel, options->Records);
    std::fflush(stdout);
    if (options->Dir.empty()) std::filesystem::remove_all(home);
    return 0;
}
