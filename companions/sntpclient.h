// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One SNTP question at a time to the time server, without blocking the window:
// the name is resolved, the request sent over UDP, and the answer checked when
// it comes (or the question given up after the time-out).

#include "timesetter/clocksetter.h"
#include "timesetter/sntp.h"
#include "timesetter/timeserver.h"

#include <QHostAddress>
#include <QHostInfo>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QUdpSocket>

namespace ondelog {

class SntpClient : public QObject
{
    Q_OBJECT

  public:
    SntpClient(TimeServer server, const ComputerClock &clock, QObject *parent = nullptr);
    ~SntpClient() override;

    /** Asks the server once; does nothing while a question is outstanding. */
    void ask();
    /** Gives up the outstanding question: nothing will be reported for it. */
    void cancel();
    bool isAsking() const { return m_asking; }
    void setAnswerTimeout(int milliseconds) { m_timeout.setInterval(milliseconds); }

  signals:
    void answered(const ondelog::SntpMeasure &measure);
    /** `final` is false for a datagram that was thrown away while the real
     *  answer may still come. */
    void refused(const ondelog::SntpRefusal &refusal, bool final);

  private:
    void resolved(const QHostInfo &info);
    void send(const QHostAddress &address);
    void readDatagrams();
    void finish(const SntpRefusal &refusal);

    TimeServer m_server;
    const ComputerClock &m_clock;
    QUdpSocket m_socket;
    QTimer m_timeout;
    QHostAddress m_address;
    NtpTimestamp m_sent;
    UtcTime m_sentAt{};
    int m_lookup = -1;
    bool m_asking = false;
};

} // namespace ondelog
