// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/radiowatcher.h"

namespace ondelog {

RadioWatcher::RadioWatcher(QObject *parent) : QObject(parent) {}

RadioWatcher::~RadioWatcher()
{
    // No report may be posted to a half-destroyed watcher.
    m_poller.reset();
}

void RadioWatcher::watch(const TransceiverSettings &settings, RadioPoller::Timing timing)
{
    stop();
    const int generation = m_generation;
    m_poller = std::make_unique<RadioPoller>(
        settings,
        [this, generation](const RadioReport &report) {
            QMetaObject::invokeMethod(
                this,
                [this, generation, report] {
                    if (generation == m_generation)
                        take(report);
                },
                Qt::QueuedConnection);
        },
        timing);
}

void RadioWatcher::stop()
{
    m_poller.reset();
    ++m_generation;
    if (m_last.state != RadioState::Off)
        take(RadioReport{});
}

void RadioWatcher::take(const RadioReport &report)
{
    m_last = report;
    emit reported(report);
}

} // namespace ondelog
