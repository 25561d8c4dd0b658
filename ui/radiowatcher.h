// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The radio as the windows see it: the poller's reports (made on its own
// thread, see radio/radiopoller.h) brought to the window's thread, and the
// last of them kept for whoever asks (the status line, the entry fields).

#include "radio/radiopoller.h"
#include "station/radiostatus.h"
#include "station/stationsettings.h"

#include <QObject>
#include <QString>

#include <memory>

namespace ondelog {

class RadioWatcher : public QObject
{
    Q_OBJECT

  public:
    explicit RadioWatcher(QObject *parent = nullptr);
    ~RadioWatcher() override;

    /** Reads the radio `settings` name, after stopping any reading ("Aucun":
     *  nothing is opened, and the last report says Off). Returns at once. */
    void watch(const TransceiverSettings &settings, RadioPoller::Timing timing = {});
    void stop();

    const RadioReport &lastReport() const { return m_last; }
    /** "Transceiver : 7.074 USB", "Transceiver : pas de réponse", "" when Off. */
    QString line() const { return QString::fromStdString(radioLineUtf8(m_last)); }

  signals:
    void reported(const ondelog::RadioReport &report);

  private:
    void take(const RadioReport &report);

    std::unique_ptr<RadioPoller> m_poller;
    RadioReport m_last;
    int m_generation = 0; // of the poller, for reports posted by one since replaced
};

} // namespace ondelog
