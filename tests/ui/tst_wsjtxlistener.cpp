// SPDX-License-Identifier: GPL-3.0-or-later
// The listener on 127.0.0.1 with real datagrams, sound and damaged, and the
// contacts it hands over going into a log once each.

#include "station/contactreceiver.h"
#include "tests/logbook/logfixture.h"
#include "tests/station/datagrams.h"
#include "ui/wsjtxlistener.h"

#include <QNetworkInterface>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <QUdpSocket>

#include <memory>
#include <vector>

using namespace ondelog;
using namespace ondelog::test;

namespace {

WsjtxSettings onAnyPort(const char *address = "127.0.0.1")
{
    WsjtxSettings settings;
    settings.address = address;
    settings.port = 0; // the system's choice: tests run side by side
    return settings;
}

/** What WSJT-X is to the listener: a socket on this machine that sends. */
class Sender
{
  public:
    explicit Sender(quint16 port, const QHostAddress &to = QHostAddress::LocalHost)
        : m_port(port), m_to(to)
    {
        m_socket.bind(QHostAddress::LocalHost, 0);
        if (to.isMulticast()) {
            m_socket.setMulticastInterface(loopback());
            m_socket.setSocketOption(QAbstractSocket::MulticastLoopbackOption, 1);
        }
    }
    void send(const std::string &datagram)
    {
        QCOMPARE(m_socket.writeDatagram(datagram.data(), static_cast<qint64>(datagram.size()), m_to,
                                        m_port),
                 static_cast<qint64>(datagram.size()));
    }
    /** True when anything came back to the sender. */
    bool gotAnswer()
    {
        QTest::qWait(100);
        return m_socket.hasPendingDatagrams();
    }
    static QNetworkInterface loopback()
    {
        for (const QNetworkInterface &i : QNetworkInterface::allInterfaces())
            if (i.flags().testFlag(QNetworkInterface::IsLoopBack))
                return i;
        return {};
    }

  private:
    QUdpSocket m_socket;
    quint16 m_port;
    QHostAddress m_to;
};

/** Every contact the listener handed over, one batch after another. */
class Contacts
{
  public:
    explicit Contacts(WsjtxListener &listener)
    {
        QObject::connect(&listener, &WsjtxListener::contactsReceived, &listener,
                         [this](const std::vector<ReceivedContact> &batch) {
                             m_all.insert(m_all.end(), batch.begin(), batch.end());
                         });
    }
    int size() const { return static_cast<int>(m_all.size()); }
    const ReceivedContact &operator[](int i) const { return m_all.at(static_cast<std::size_t>(i)); }

  private:
    std::vector<ReceivedContact> m_all;
};

} // namespace

class WsjtxListenerTest : public QObject
{
    Q_OBJECT

  private slots:
    void aSessionOfWsjtxIsFollowedAndNothingIsSentBack()
    {
        WsjtxListener listener;
        QVERIFY(listener.start(onAnyPort()));
        QVERIFY(listener.isListening());
        listener.setStationLocator("JN18EU");
        QSignalSpy lines(&listener, &WsjtxListener::clientsChanged);
        QSignalSpy statuses(&listener, &WsjtxListener::statusReceived);
        Contacts contacts(listener);
        QSignalSpy closed(&listener, &WsjtxListener::clientClosed);

        Sender wsjtx(listener.port());
        LoggedContact c;
        wsjtx.send(heartbeat());
        wsjtx.send(status(14074000, "FT8"));
        wsjtx.send(qsoLogged(c));
        wsjtx.send(loggedAdif(c));
        wsjtx.send(closeMessage());
        QTRY_COMPARE(closed.size(), 1);

        QCOMPARE(statuses.size(), 1);
        const auto status = statuses[0][0].value<ClientStatus>();
        QCOMPARE(status.programUtf8, std::string("WSJT-X"));
        QCOMPARE(status.dialFrequencyHz, 14074000u);
        QCOMPARE(status.modeUtf8, std::string("FT8"));
        QCOMPARE(contacts.size(), 2);
        const ReceivedContact &first = contacts[0];
        const ReceivedContact &second = contacts[1];
        QCOMPARE(first.source, NetworkMessageType::QsoLogged);
        QCOMPARE(second.source, NetworkMessageType::LoggedAdif);
        QCOMPARE(first.contact.record, second.contact.record);
        QCOMPARE(first.contact.record.field(Field::MLOC), std::string("JN18EU"));
        QCOMPARE(closed[0][0].toString(), QStringLiteral("WSJT-X"));

        QStringList said;
        for (const auto &l : lines)
            said << l[0].toString();
        QCOMPARE(said, QStringList({QStringLiteral("WSJT-X : connecté"),
                                    QStringLiteral("WSJT-X : 14.074 FT8"), QString()}));
        QVERIFY(!wsjtx.gotAnswer());
        QCOMPARE(listener.tally().count(DecodeOutcome::Decoded), 5u);
    }

    void damagedDatagramsAreDroppedAndCounted()
    {
        WsjtxListener listener;
        QVERIFY(listener.start(onAnyPort()));
        Contacts contacts(listener);
        Sender sender(listener.port());
        LoggedContact c;
        const std::string whole = qsoLogged(c);
        std::string otherMagic = whole;
        otherMagic[3] = 'X';
        const std::vector<std::string> damaged = {
            "",
            "GET / HTTP/1.1\r\n\r\n",
            whole.substr(0, whole.size() / 2),
            otherMagic,
            DatagramBuilder(NetworkMessageType::QsoLogged, "WSJT-X", 7).bytes(),
            DatagramBuilder(NetworkMessageType::LoggedAdif).u32(1000).raw("<call:5>").bytes(),
            DatagramBuilder(NetworkMessageType::LoggedAdif)
                .text("<call:5>\xC9\xC9\xC9\xC9\xC9<eor>")
                .bytes(),
        };
        for (const std::string &d : damaged)
            sender.send(d);
        // A contact message whose ADIF holds no record, and a decode (not dropped).
        sender.send(DatagramBuilder(NetworkMessageType::LoggedAdif).text("<eoh>").bytes());
        sender.send(DatagramBuilder(2, "WSJT-X", 3).boolean(true).bytes());
        sender.send(whole);
        QTRY_COMPARE(contacts.size(), 1); // datagrams keep their order: all were read

        const DatagramTally tally = listener.tally();
        QCOMPARE(tally.dropped(), damaged.size());
        QCOMPARE(tally.count(DecodeOutcome::Truncated), 2u);
        QCOMPARE(tally.count(DecodeOutcome::WrongMagic), 2u);
        QCOMPARE(tally.count(DecodeOutcome::UnknownSchema), 1u);
        QCOMPARE(tally.count(DecodeOutcome::LengthPastEnd), 1u);
        QCOMPARE(tally.count(DecodeOutcome::BadUtf8), 1u);
        QCOMPARE(tally.count(DecodeOutcome::OtherType), 1u);
        QCOMPARE(listener.otherDropped(), 1u);
    }

    void aPortInUseIsSaidAndTheFirstListenerKeepsIt()
    {
        WsjtxListener first;
        QVERIFY(first.start(onAnyPort()));
        WsjtxSettings same = onAnyPort();
        same.port = first.port();
        WsjtxListener second;
        QVERIFY(!second.start(same));
        QVERIFY(!second.isListening());
        QCOMPARE(second.errorText(),
                 QStringLiteral("Ondelog ne reçoit pas les contacts de WSJT-X et JTDX sur "
                                "127.0.0.1:%1 : le port est déjà utilisé par un autre programme "
                                "(un autre Ondelog, ou un autre logiciel de log).")
                     .arg(first.port()));

        Contacts contacts(first);
        Sender(first.port()).send(loggedAdif(LoggedContact{}));
        QTRY_COMPARE(contacts.size(), 1);
    }

    void settingsThatCannotListen()
    {
        WsjtxListener listener;
        WsjtxSettings off = onAnyPort();
        off.enabled = false;
        QVERIFY(!listener.start(off));
        QVERIFY(listener.errorText().isEmpty());

        QVERIFY(!listener.start(onAnyPort("wsjtx.local")));
        QVERIFY(listener.errorText().endsWith(
            QStringLiteral("l'adresse « wsjtx.local » n'est pas une adresse IP.")));
        QVERIFY(!listener.start(onAnyPort("192.0.2.7"))); // not this machine's
        QVERIFY(listener.errorText().contains(QStringLiteral("192.0.2.7")));
        QVERIFY(!listener.isListening());
    }

    void aMulticastGroupOnTheLoopbackIsSharedByItsListeners()
    {
        WsjtxListener one;
        if (!one.start(onAnyPort("224.0.0.1")))
            QSKIP(qPrintable(QStringLiteral("pas de multidiffusion ici : ") + one.errorText()));
        WsjtxSettings same = onAnyPort("224.0.0.1");
        same.port = one.port();
        WsjtxListener two;
        QVERIFY2(two.start(same), qPrintable(two.errorText()));
        Contacts toOne(one);
        Contacts toTwo(two);
        Sender(one.port(), QHostAddress(QStringLiteral("224.0.0.1")))
            .send(qsoLogged(LoggedContact{}));
        QTRY_COMPARE(toOne.size(), 1);
        QTRY_COMPARE(toTwo.size(), 1);
    }

    void stoppedItHearsNothingAndStartedAgainItDoes()
    {
        WsjtxListener listener;
        QVERIFY(listener.start(onAnyPort()));
        const quint16 port = listener.port();
        Contacts contacts(listener);
        listener.stop();
        QVERIFY(!listener.isListening());
        Sender(port).send(qsoLogged(LoggedContact{}));
        QTest::qWait(200);
        QCOMPARE(contacts.size(), 0);

        WsjtxSettings again = onAnyPort();
        again.port = port;
        QVERIFY(listener.start(again));
        Sender(port).send(qsoLogged(LoggedContact{}));
        QTRY_COMPARE(contacts.size(), 1);
    }

    void theScriptsThreeContactsAreThreeContacts()
    {
        TempDir dir;
        const std::filesystem::path path = dir.file("F6XYZ.Ham");
        writeLog(path, 0);
        LogFile log;
        QCOMPARE(log.open(path), LogStatus::Ok);
        ContactReceiver receiver;
        const ReceivingLog target{&log, "F6XYZ", "JN18EU", true};
        QStringList notices;
        WsjtxListener listener;
        QVERIFY(listener.start(onAnyPort()));
        connect(&listener, &WsjtxListener::contactsReceived, this,
                [&](const std::vector<ReceivedContact> &contacts) {
                    for (const ReceiveResult &r : receiver.receive(contacts, target))
                        if (!r.noticeUtf8.empty())
                            notices << QString::fromStdString(r.noticeUtf8);
                });
        QSignalSpy closed(&listener, &WsjtxListener::clientClosed);

        QProcess script;
        script.start(QStringLiteral("bash"),
                     {QStringLiteral(ONDELOG_SOURCE_DIR "/scripts/send-wsjtx-contacts"),
                      QStringLiteral("--port"), QString::number(listener.port()),
                      QStringLiteral("--date"), QStringLiteral("2024-03-14"),
                      QStringLiteral("--time"), QStringLiteral("18:40"),
                      QStringLiteral("--my-call"), QStringLiteral("F6XYZ"),
                      QStringLiteral("--pause"), QStringLiteral("0")});
        QVERIFY(script.waitForFinished(30000));
        QCOMPARE(script.exitCode(), 0);
        QTRY_COMPARE(closed.size(), 1);
        QCOMPARE(notices, QStringList({QStringLiteral("F5ABC 14.074 FT8 ajouté depuis WSJT-X"),
                                       QStringLiteral("DL1ABC 14.074 FT8 ajouté depuis WSJT-X"),
                                       QStringLiteral("DL1ABC 14.074 FT8 reçu de WSJT-X : déjà "
                                                      "dans le log (fiche 2), non ajouté"),
                                       QStringLiteral("G4XYZ 14.074 FT8 ajouté depuis WSJT-X")}));
        QCOMPARE(log.recordCount(), 3);
        const QsoRecord first = *log.readRecord(1);
        QCOMPARE(first.field(Field::DQSO), std::string("14/03/24"));
        QCOMPARE(first.field(Field::HDEB), std::string("18:40"));
        QCOMPARE(first.field(Field::HFIN), std::string("18:41"));
        QCOMPARE(first.field(Field::SRST), std::string("-10"));
        QCOMPARE(first.field(Field::MRST), std::string("-07"));
        QCOMPARE(first.field(Field::SLOC), std::string("JN03"));
        QCOMPARE(log.readRecord(3)->field(Field::HDEB), std::string("18:44"));
        QCOMPARE(listener.tally().dropped(), 0u);
    }

    void aBurstIsReadWholeWhileTheWindowIsBusy()
    {
        WsjtxListener listener;
        QVERIFY(listener.start(onAnyPort()));
        int received = 0;
        connect(&listener, &WsjtxListener::contactsReceived, this,
                [&](const std::vector<ReceivedContact> &batch) {
                    received += static_cast<int>(batch.size());
                });
        Sender wsjtx(listener.port());
        LoggedContact c;
        constexpr int kBurst = 1000;
        for (int i = 0; i < kBurst; ++i) {
            c.call = "F" + std::to_string(i);
            wsjtx.send(loggedAdif(c));
        }
        // The window's thread did nothing meanwhile; the datagrams waited in the listener.
        QTRY_COMPARE_WITH_TIMEOUT(received, kBurst, 30000);
        QCOMPARE(listener.tally().dropped(), 0u);
    }
};

QTEST_MAIN(WsjtxListenerTest)
#include "tst_wsjtxlistener.moc"
