// SPDX-License-Identifier: GPL-3.0-or-later
#include "companions/sntpclient.h"

#include <QHostInfo>
#include <QNetworkDatagram>

#include <random>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <sys/socket.h>
#endif

namespace ondelog {

namespace {

// When nothing listens on the server's port, its computer answers "port
// unreachable", which the system keeps as the connected socket's pending error
// and Qt reads past without a word. Taking it first tells a closed port at once
// instead of after the time-out.
bool portWasRefused(const QUdpSocket &socket)
{
#ifdef Q_OS_UNIX
    int error = 0;
    socklen_t length = sizeof error;
    if (::getsockopt(int(socket.socketDescriptor()), SOL_SOCKET, SO_ERROR, &error, &length) != 0)
        return false;
    return error == ECONNREFUSED;
#else
    Q_UNUSED(socket);
    return false;
#endif
}

} // namespace

SntpClient::SntpClient(TimeServer server, const ComputerClock &clock, QObject *parent)
    : QObject(parent), m_server(std::move(server)), m_clock(clock)
{
    m_timeout.setSingleShot(true);
    m_timeout.setInterval(5000);
    connect(&m_timeout, &QTimer::timeout, this, [this] {
        finish(SntpRefusal{SntpFault::NoAnswer, {}});
    });
    connect(&m_socket, &QUdpSocket::readyRead, this, &SntpClient::readDatagrams);
}

SntpClient::~SntpClient()
{
    cancel();
}

void SntpClient::ask()
{
    if (m_asking)
        return;
    m_asking = true;
    m_timeout.start();
    const QString host = QString::fromStdString(m_server.host);
    // An address is used as it is: a lookup would ask for its name first.
    if (const QHostAddress literal(host); !literal.isNull()) {
        send(literal);
        return;
    }
    m_lookup = QHostInfo::lookupHost(host, this, &SntpClient::resolved);
}

void SntpClient::cancel()
{
    if (m_lookup >= 0)
        QHostInfo::abortHostLookup(m_lookup);
    m_lookup = -1;
    m_timeout.stop();
    m_asking = false;
}

void SntpClient::resolved(const QHostInfo &info)
{
    if (!m_asking || info.lookupId() != m_lookup)
        return;
    m_lookup = -1;
    const QList<QHostAddress> addresses = info.addresses();
    if (info.error() != QHostInfo::NoError || addresses.isEmpty()) {
        finish(SntpRefusal{SntpFault::UnknownServer, {}});
        return;
    }
    // IPv4 first: a machine with an IPv6 address but no IPv6 route is common.
    QHostAddress chosen = addresses.first();
    for (const QHostAddress &a : addresses) {
        if (a.protocol() == QAbstractSocket::IPv4Protocol) {
            chosen = a;
            break;
        }
    }
    send(chosen);
}

void SntpClient::send(const QHostAddress &address)
{
    m_address = address;
    // A socket connected to the server hears only from it, and hears at once
    // when its port is closed.
    m_socket.abort();
    m_socket.connectToHost(m_address, m_server.port);
    if (m_socket.state() != QAbstractSocket::ConnectedState) {
        finish(SntpRefusal{SntpFault::NetworkError, {}});
        return;
    }
    // The low bits of the fraction are random, so that an answer cannot be
    // forged from the time alone; the offset uses the exact sending time.
    static std::mt19937 noise{std::random_device{}()};
    m_sentAt = m_clock.now();
    m_sent = toNtp(m_sentAt);
    m_sent.fraction = (m_sent.fraction & 0xFFFF0000u) | (noise() & 0xFFFFu);
    const SntpPacket request = buildRequest(m_sent);
    const qint64 written =
        m_socket.write(reinterpret_cast<const char *>(request.data()), qint64(request.size()));
    if (written != qint64(request.size()))
        finish(SntpRefusal{SntpFault::NetworkError, {}});
}

void SntpClient::readDatagrams()
{
    if (portWasRefused(m_socket)) {
        if (m_asking && m_lookup < 0)
            finish(SntpRefusal{SntpFault::Refused, {}});
        return;
    }
    while (m_socket.hasPendingDatagrams()) {
        const QNetworkDatagram datagram = m_socket.receiveDatagram();
        const UtcTime receivedAt = m_clock.now();
        if (!m_asking || m_lookup >= 0)
            continue;
        if (!datagram.senderAddress().isEqual(m_address, QHostAddress::TolerantConversion) ||
            datagram.senderPort() != m_server.port) {
            emit refused(SntpRefusal{SntpFault::ForeignSource, {}}, false);
            continue;
        }
        const QByteArray bytes = datagram.data();
        const SntpResult result =
            readReply(reinterpret_cast<const std::uint8_t *>(bytes.constData()),
                      std::size_t(bytes.size()), m_sent, m_sentAt, receivedAt);
        if (const auto *measure = std::get_if<SntpMeasure>(&result)) {
            m_timeout.stop();
            m_asking = false;
            emit answered(*measure);
            return;
        }
        const SntpRefusal &refusal = std::get<SntpRefusal>(result);
        // An answer to another request is not the end of ours.
        if (refusal.fault == SntpFault::ForeignOrigin) {
            emit refused(refusal, false);
            continue;
        }
        finish(refusal);
        return;
    }
}

void SntpClient::finish(const SntpRefusal &refusal)
{
    cancel();
    emit refused(refusal, true);
}

} // namespace ondelog
