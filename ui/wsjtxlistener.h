// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Listens for what WSJT-X and JTDX send to a logger over UDP (by default to
// 127.0.0.1:2237, or to a multicast group joined on the loopback interface),
// and hands over the contacts they log and what they report of themselves.
// Nothing is ever sent back.
//
// The socket is read on a thread of its own, so that datagrams are taken from
// the system as fast as they come even while the window's thread is busy
// writing contacts to the disk: a burst is queued here, not lost there. The
// messages are read and checked by the core (station/networkmessage.h); the
// window's thread takes all those queued at once, tracks the clients, and
// hands the contacts over together, so that a burst is written with one wait
// for the disk.

#include "station/clienttracker.h"
#include "station/livecontact.h"
#include "station/networkmessage.h"
#include "station/stationsettings.h"

#include <QObject>
#include <QString>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace ondelog {

class DatagramReader;

class WsjtxListener : public QObject
{
    Q_OBJECT

  public:
    explicit WsjtxListener(QObject *parent = nullptr);
    ~WsjtxListener() override;

    /**
     * Listens as `settings` say, after stopping any listening. False when it
     * does not listen: switched off (errorText() is empty then), or the
     * address or port cannot be had (errorText() says why, in French); the
     * program goes on without.
     */
    bool start(const WsjtxSettings &settings);
    void stop();
    bool isListening() const { return m_listening; }
    QString errorText() const { return m_error; }
    /** The port listened on (the one the system chose when 0 was asked). */
    quint16 port() const { return m_port; }

    /** MLOC of the contacts that do not give their own locator. */
    void setStationLocator(const std::string &locator) { m_stationLocator = locator; }

    DatagramTally tally() const;
    /** Contact messages whose ADIF held no readable record, and datagrams not
     *  from this machine while only its programs are listened to: dropped. */
    std::uint64_t otherDropped() const { return m_otherDropped; }
    const ClientTracker &clients() const { return m_clients; }

  signals:
    /** The contacts received since the last time, in the order they came. */
    void contactsReceived(const std::vector<ondelog::ReceivedContact> &contacts);
    /** A client's state: program, dial frequency and mode. */
    void statusReceived(const ondelog::ClientStatus &status);
    /** A client said it closes. */
    void clientClosed(const QString &program);
    /** What the line of clients says changed (ClientTracker::lineUtf8()). */
    void clientsChanged(const QString &line);

  private:
    friend class DatagramReader;
    void takeQueued();
    void expireClients();

    QThread m_thread;
    DatagramReader *m_reader = nullptr; // lives in m_thread
    bool m_listening = false;
    QString m_error;
    quint16 m_port = 0;
    std::string m_stationLocator;
    ClientTracker m_clients;
    QTimer m_expiry;

    // Shared with the reading thread.
    mutable std::mutex m_mutex;
    DatagramTally m_tally;
    std::vector<NetworkMessage> m_queue; // read, not yet taken
    std::atomic<std::uint64_t> m_otherDropped{0};
};

} // namespace ondelog
