#pragma once

// What the window benchmarks share: catalogs of generated volumes, a meter
// of the event loop's stalls, and dialogs that answer nothing.

#include <time.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <random>
#include <string>

#include "common/UserDialogs.h"
#include "store/CatalogFile.h"

namespace ardvel::bench {

using NameMaker = std::function<std::string(std::mt19937&)>;

/// `volumes` catalogs "Volume N.arv" in `folder`, each of `perVolume` files
/// in folders of 200, named by `folderName` and `fileName`.
inline void WriteGeneratedCatalogs(const std::string& folder, std::size_t volumes, std::size_t perVolume, unsigned seed,
                                   const NameMaker& folderName, const NameMaker& fileName)
{
    std::filesystem::create_directories(folder);
    std::mt19937 rng(seed);
    for (std::size_t v = 0; v < volumes; ++v) {
        CatalogTree tree;
        const NodeId volume = tree.AddVolume("v", 45000.5);
        NodeId current = volume;
        for (std::size_t i = 0; i < perVolume; ++i) {
            if (i % 200 == 0) current = tree.AddFolder(volume, folderName(rng), 44000.0);
            const std::string name = fileName(rng);
            tree.AddFile(current, name, static_cast<std::int32_t>(rng() % 100000), 40000 + rng() % 8000);
        }
        CatalogWriter writer(folder + "Volume " + std::to_string(v) + ".arv");
        writer.WriteHeader("Label", 45000.5);
        writer.WriteTree(tree, volume);
        writer.Commit();
    }
}

/// Points the window's settings and catalog folder into `home` (and Qt to
/// the offscreen platform unless another is set); returns the catalog folder.
inline std::string UseBenchHome(const std::string& home)
{
    ::setenv("XDG_CONFIG_HOME", home.c_str(), 1);
    ::setenv("XDG_DATA_HOME", home.c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    return home + "/ardvel/Catalogs/";
}

/// CPU time of the calling thread, in microseconds: on a busy machine an
/// event's wall time also counts the time other processes had the core.
inline qint64 ThreadCpuMicros()
{
    timespec t{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<qint64>(t.tv_sec) * 1'000'000 + t.tv_nsec / 1000;
}

/// The application, timing each event it delivers: the slowest ones name
/// what keeps the window waiting.
class TimedApplication final : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override
    {
        if (depth_++ > 0) {
            const bool done = QApplication::notify(receiver, event);
            --depth_;
            return done;
        }
        QElapsedTimer clock;
        clock.start();
        const qint64 cpuStart = ThreadCpuMicros();
        const int type = event->type();
        // Named before: the event may delete its receiver. A timer is known
        // by what it belongs to.
        const QObject* owner = receiver->parent() && !receiver->isWidgetType() ? receiver->parent() : receiver;
        const char* ownerClass = owner->metaObject()->className();
        const char* receiverClass = receiver->metaObject()->className();
        const bool done = QApplication::notify(receiver, event);
        --depth_;
        const qint64 ms = clock.elapsed(), cpuMs = (ThreadCpuMicros() - cpuStart) / 1000;
        if (ms > Slowest.Ms) Slowest = {ms, ownerClass, receiverClass, type};
        if (cpuMs > MostCpu.Ms) MostCpu = {cpuMs, ownerClass, receiverClass, type};
        return done;
    }
    struct Event {
        qint64 Ms = 0;
        QString Class, Receiver;
        int Type = 0;
    };
    Event Slowest;  ///< by wall time
    Event MostCpu;  ///< by the main thread's CPU time

private:
    int depth_ = 0;
};

/// The longest time the event loop kept a timer of `intervalMs` waiting
/// beyond its interval (with 0: the longest gap between two turns of the
/// loop), from Start to Stop.
class StallMeter {
public:
    explicit StallMeter(int intervalMs = 0) : interval_(intervalMs)
    {
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(intervalMs);
        QObject::connect(&timer_, &QTimer::timeout,
                         [this] { longest_ = std::max(longest_, clock_.restart() - interval_); });
    }
    void Start()
    {
        longest_ = 0;
        clock_.start();
        timer_.start();
    }
    qint64 Stop()
    {
        timer_.stop();
        return std::max(longest_, clock_.elapsed() - interval_);
    }

private:
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 interval_;
    qint64 longest_ = 0;
};

/// Answers nothing: the benchmarks ask no questions.
class SilentDialogs final : public gui::UserDialogs {
public:
    void ShowError(const QString& text, const QString&) override { std::fprintf(stderr, "%s\n", qPrintable(text)); }
    bool Confirm(const QString&) override { return false; }
    QString ChooseFolder(const QString&) override { return {}; }
    QString SaveFileName(const QString&, const QString&, const QString&, const QString&) override { return {}; }
    int RunDialog(QDialog&) override { return 0; }
};

}  // namespace ardvel::bench
