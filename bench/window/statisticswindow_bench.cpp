// SPDX-License-Identifier: GPL-3.0-or-later
// Opening the "Statistiques" window on logs of 32,767 and 100,000 contacts:
// from the order to open it to the window painted with its first chart (the
// log counted, the chart, the award grid and the locators of the map laid
// out), and the map drawn the first time its tab is shown. Headless, on Qt's
// offscreen platform.

#include "busylog.h"
#include "logbook/logfile.h"
#include "ui/statisticswindow.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTabWidget>

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

using namespace ondelog;

// Processor time of this thread: on a machine shared with other work, the
// wall clock would measure the others too.
double threadSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

void BM_OpenStatisticsWindow(benchmark::State &state)
{
    LogFile log;
    log.openReadOnly(bench::busyLog(state.range(0)));
    double map = 0, open = 0;
    for (auto _ : state) {
        const double started = threadSeconds();
        StatisticsWindow window(log, "JN18EU");
        window.show();
        QApplication::processEvents();
        window.repaint();
        open += threadSeconds() - started;
        state.PauseTiming();
        const double start = threadSeconds();
        window.findChild<QTabWidget *>(QStringLiteral("OngletsStatistiques"))->setCurrentIndex(2);
        QApplication::processEvents();
        window.repaint();
        map += threadSeconds() - start;
        state.ResumeTiming();
    }
    state.counters["open_cpu_ms"] = open * 1e3 / double(state.iterations());
    state.counters["map_cpu_ms"] = map * 1e3 / double(state.iterations());
}

} // namespace

BENCHMARK(BM_OpenStatisticsWindow)->Arg(32767)->Arg(100000)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The offscreen platform says at every window that it cannot do what only
    // a desktop does; the figures are easier to read without it.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &message) {
        if (!message.contains(QLatin1String("propagateSizeHints")))
            std::fprintf(stderr, "%s\n", qPrintable(message));
        if (type == QtFatalMsg)
            std::abort();
    });
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
