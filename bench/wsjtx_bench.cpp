// SPDX-License-Identifier: GPL-3.0-or-later
// A burst of 1,000 "Logged ADIF" datagrams sent to the listener on 127.0.0.1
// at once, each contact appended to a 100,000-contact log as "Suivant" appends
// one (synced to the disk before it is announced). Timed from the first
// datagram sent to the last contact on the disk; every contact must arrive.
// Paced, each datagram waits for the contact before it to be on the disk: one
// write and one wait for the disk per contact, the slowest it can be.

#include "station/contactreceiver.h"
#include "tests/logbook/logfixture.h"
#include "tests/station/datagrams.h"
#include "ui/wsjtxlistener.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <QUdpSocket>

#include <vector>

namespace {

using namespace ondelog;

QCoreApplication &application()
{
    static int argc = 1;
    static char name[] = "ondelog_bench";
    static char *argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

void BM_WsjtxBurst(benchmark::State &state)
{
    application();
    const std::int64_t logSize = state.range(0);
    const int burst = static_cast<int>(state.range(1));
    const bool paced = state.range(2) != 0;
    test::TempDir dir;
    const std::filesystem::path path = dir.file("F6XYZ.Ham");

    std::vector<std::string> datagrams;
    test::LoggedContact c;
    for (int i = 0; i < burst; ++i) {
        c.call = "DL";
        c.call += std::to_string(i);
        datagrams.push_back(test::loggedAdif(c));
    }

    double seconds = 0;
    std::int64_t batches = 0;
    for (auto _ : state) {
        state.PauseTiming();
        test::writeLog(path, logSize);
        LogFile log;
        log.open(path);
        ContactReceiver receiver;
        const ReceivingLog target{&log, "F6XYZ", "JN18EU", true};
        WsjtxListener listener;
        WsjtxSettings settings;
        settings.port = 0;
        if (!listener.start(settings)) {
            state.SkipWithError(listener.errorText().toStdString().c_str());
            return;
        }
        int handled = 0, added = 0;
        QEventLoop done;
        QUdpSocket sender;
        sender.bind(QHostAddress::LocalHost, 0);
        auto send = [&](int i) {
            const std::string &d = datagrams[static_cast<std::size_t>(i)];
            sender.writeDatagram(d.data(), static_cast<qint64>(d.size()), QHostAddress::LocalHost,
                                 listener.port());
        };
        QObject::connect(&listener, &WsjtxListener::contactsReceived, &listener,
                         [&](const std::vector<ReceivedContact> &contacts) {
                             for (const ReceiveResult &r : receiver.receive(contacts, target))
                                 added += r.outcome == ReceiveOutcome::Added;
                             handled += static_cast<int>(contacts.size());
                             ++batches;
                             if (handled == burst)
                                 done.quit();
                             else if (paced)
                                 send(handled);
                         });
        QTimer::singleShot(120000, &done, &QEventLoop::quit);
        state.ResumeTiming();

        QElapsedTimer clock;
        clock.start();
        for (int i = 0; i < (paced ? 1 : burst); ++i)
            send(i);
        done.exec();
        seconds += static_cast<double>(clock.nsecsElapsed()) / 1e9;

        state.PauseTiming();
        if (added != burst || log.recordCount() != logSize + burst ||
            listener.tally().dropped() != 0)
            state.SkipWithError("contacts lost");
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * burst);
    state.counters["writes"] =
        benchmark::Counter(static_cast<double>(batches), benchmark::Counter::kAvgIterations);
    state.counters["contacts_per_s"] =
        static_cast<double>(state.iterations() * burst) / (seconds > 0 ? seconds : 1);
}

BENCHMARK(BM_WsjtxBurst)
    ->ArgNames({"log", "burst", "paced"})
    ->Args({100000, 1000, 0})
    ->Args({100000, 1000, 1})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

} // namespace
