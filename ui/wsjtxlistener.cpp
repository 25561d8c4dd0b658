// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/wsjtxlistener.h"

#include <QHostAddress>
#include <QNetworkDatagram>
#include <QNetworkInterface>
#include <QUdpSocket>
#include <QVariant>

#include <chrono>

namespace ondelog {

namespace {

// A burst of a thousand contacts fits many times; a program flooding the port
// does not fill the memory.
constexpr std::size_t kMaxQueuedMessages = 20000;
// Enough for thousands of datagrams while the reading thread is not scheduled.
constexpr int kReceiveBufferBytes = 4 << 20;
constexpr int kExpiryCheckMs = 5000;

QString socketFailure(const QUdpSocket &socket)
{
    switch (socket.error()) {
    case QAbstractSocket::AddressInUseError:
        return QStringLiteral("le port est déjà utilisé par un autre programme "
                              "(un autre Ondelog, ou un autre logiciel de log)");
    case QAbstractSocket::SocketAccessError:
        return QStringLiteral("accès refusé (un port sous 1024 est réservé à l'administrateur)");
    case QAbstractSocket::SocketAddressNotAvailableError:
        return QStringLiteral("cette adresse n'est pas celle de cet ordinateur");
    case QAbstractSocket::UnsupportedSocketOperationError:
        return QStringLiteral("ce type d'adresse n'est pas pris en charge");
    default:
        return socket.errorString();
    }
}

QNetworkInterface loopbackInterface()
{
    for (const QNetworkInterface &i : QNetworkInterface::allInterfaces())
        if (i.flags().testFlag(QNetworkInterface::IsLoopBack) &&
            i.flags().testFlag(QNetworkInterface::IsUp))
            return i;
    return {};
}

} // namespace

/** The socket and its reading, on the listener's thread. */
class DatagramReader : public QObject
{
  public:
    explicit DatagramReader(WsjtxListener &listener) : m_listener(listener) {}

    /** Binds as `settings` say: "" and the port, or why not (French). */
    QString bind(const WsjtxSettings &settings, quint16 &port)
    {
        const QString text = QString::fromStdString(settings.address);
        const QHostAddress address(text);
        if (address.isNull())
            return QStringLiteral("l'adresse « %1 » n'est pas une adresse IP").arg(text);
        m_socket = std::make_unique<QUdpSocket>();
        bool bound = false;
        if (address.isMulticast()) {
            // Every program listening to the group gets each datagram.
            const QHostAddress any = address.protocol() == QAbstractSocket::IPv6Protocol
                                         ? QHostAddress(QHostAddress::AnyIPv6)
                                         : QHostAddress(QHostAddress::AnyIPv4);
            bound = m_socket->bind(any, settings.port,
                                   QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint);
            if (bound) {
                const QNetworkInterface loopback = loopbackInterface();
                const bool joined =
                    settings.multicastOnLoopback
                        ? loopback.isValid() && m_socket->joinMulticastGroup(address, loopback)
                        : m_socket->joinMulticastGroup(address);
                if (!joined) {
                    const QString why = socketFailure(*m_socket);
                    m_socket.reset();
                    return QStringLiteral("impossible de rejoindre le groupe %1 : %2")
                        .arg(text, why);
                }
            }
        } else {
            // Alone on the port: a second program bound there would take some of
            // the datagrams, and with them contacts meant for this log.
            bound = m_socket->bind(address, settings.port, QUdpSocket::DontShareAddress);
        }
        if (!bound) {
            const QString why = socketFailure(*m_socket);
            m_socket.reset();
            return why;
        }
        // Bound to any address for a group, the socket also gets what the
        // network sends to the port: only this machine's programs are heard then.
        m_loopbackOnly =
            address.isLoopback() || (address.isMulticast() && settings.multicastOnLoopback);
        m_socket->setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption,
                                  kReceiveBufferBytes);
        port = m_socket->localPort();
        connect(m_socket.get(), &QUdpSocket::readyRead, this, &DatagramReader::read);
        read(); // whatever came between the binding and the connection
        return {};
    }

    void unbind() { m_socket.reset(); }

  private:
    void read()
    {
        while (m_socket && m_socket->hasPendingDatagrams()) {
            const QNetworkDatagram datagram = m_socket->receiveDatagram();
            if (m_loopbackOnly && !datagram.senderAddress().isLoopback()) {
                ++m_listener.m_otherDropped;
                continue;
            }
            const QByteArray bytes = datagram.data();
            DecodeResult result =
                decodeNetworkMessage(std::string_view(bytes.constData(), bytes.size()));
            bool wake = false;
            {
                const std::lock_guard lock(m_listener.m_mutex);
                m_listener.m_tally.add(result.outcome);
                if (!result.message)
                    continue;
                if (m_listener.m_queue.size() >= kMaxQueuedMessages) {
                    ++m_listener.m_otherDropped;
                    continue;
                }
                wake = m_listener.m_queue.empty();
                m_listener.m_queue.push_back(std::move(*result.message));
            }
            // One call takes everything queued until it runs.
            if (wake)
                QMetaObject::invokeMethod(
                    &m_listener, [listener = &m_listener] { listener->takeQueued(); },
                    Qt::QueuedConnection);
        }
    }

    WsjtxListener &m_listener;
    std::unique_ptr<QUdpSocket> m_socket;
    bool m_loopbackOnly = true;
};

WsjtxListener::WsjtxListener(QObject *parent) : QObject(parent)
{
    m_thread.setObjectName(QStringLiteral("WsjtxListener"));
    m_reader = new DatagramReader(*this);
    m_reader->moveToThread(&m_thread);
    m_expiry.setInterval(kExpiryCheckMs);
    connect(&m_expiry, &QTimer::timeout, this, &WsjtxListener::expireClients);
}

WsjtxListener::~WsjtxListener()
{
    stop();
    m_thread.quit();
    m_thread.wait();
    delete m_reader;
}

bool WsjtxListener::start(const WsjtxSettings &settings)
{
    stop();
    m_error.clear();
    if (!settings.enabled)
        return false;
    if (!m_thread.isRunning())
        m_thread.start();
    QString why;
    quint16 port = 0;
    QMetaObject::invokeMethod(
        m_reader, [&] { why = m_reader->bind(settings, port); }, Qt::BlockingQueuedConnection);
    if (!why.isEmpty()) {
        m_error =
            QStringLiteral("Ondelog ne reçoit pas les contacts de WSJT-X et JTDX sur %1:%2 : %3.")
                .arg(QString::fromStdString(settings.address))
                .arg(settings.port)
                .arg(why);
        return false;
    }
    m_listening = true;
    m_port = port;
    m_expiry.start();
    return true;
}

void WsjtxListener::stop()
{
    if (!m_listening)
        return;
    QMetaObject::invokeMethod(
        m_reader, [this] { m_reader->unbind(); }, Qt::BlockingQueuedConnection);
    {
        // What came before the stop is not for a later listening.
        const std::lock_guard lock(m_mutex);
        m_queue.clear();
    }
    m_listening = false;
    m_port = 0;
    m_expiry.stop();
    if (!m_clients.clients().empty()) {
        m_clients = ClientTracker();
        emit clientsChanged(QString());
    }
}

DatagramTally WsjtxListener::tally() const
{
    const std::lock_guard lock(m_mutex);
    return m_tally;
}

void WsjtxListener::takeQueued()
{
    std::vector<NetworkMessage> messages;
    {
        const std::lock_guard lock(m_mutex);
        messages.swap(m_queue);
    }
    std::vector<ReceivedContact> contacts;
    for (const NetworkMessage &message : messages) {
        if (m_clients.take(message, std::chrono::steady_clock::now()))
            emit clientsChanged(QString::fromStdString(m_clients.lineUtf8()));
        if (const auto *status = std::get_if<StatusMessage>(&message)) {
            emit statusReceived(ClientStatus{shortLine(status->id), status->dialFrequencyHz,
                                             shortLine(status->mode)});
        } else if (const auto *close = std::get_if<CloseMessage>(&message)) {
            emit clientClosed(QString::fromStdString(shortLine(close->id)));
        } else if (std::holds_alternative<QsoLoggedMessage>(message) ||
                   std::holds_alternative<LoggedAdifMessage>(message)) {
            if (auto contact = receivedContact(message, m_stationLocator))
                contacts.push_back(std::move(*contact));
            else
                ++m_otherDropped;
        }
    }
    if (!contacts.empty())
        emit contactsReceived(contacts);
}

void WsjtxListener::expireClients()
{
    if (m_clients.expire(std::chrono::steady_clock::now()))
        emit clientsChanged(QString::fromStdString(m_clients.lineUtf8()));
}

} // namespace ondelog
