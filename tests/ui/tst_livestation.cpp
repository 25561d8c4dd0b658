// The live station in the main window: contacts sent from 127.0.0.1 as WSJT-X
// sends them, written into the own log whatever the window is doing, and the
// radio read through rigctld proposing its frequency and mode to the entry.

#include "tests/ui/helpers/uitest.h"

#include "logbook/loglist.h"
#include "setup/settings.h"
#include "tests/station/datagrams.h"
#include "ui/livestation.h"
#include "ui/radiowatcher.h"
#include "ui/stationline.h"
#include "ui/wsjtxlistener.h"

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QUdpSocket>

#include <fstream>
#include <thread>

using namespace ondelog;
using namespace ondelog::test;

namespace {

WsjtxSettings onPort(quint16 port)
{
    WsjtxSettings settings;
    settings.port = port; // 0: the system's choice, as tests run side by side
    return settings;
}

void send(quint16 port, const std::string &datagram)
{
    QUdpSocket socket;
    socket.writeDatagram(datagram.data(), static_cast<qint64>(datagram.size()),
                         QHostAddress::LocalHost, port);
}

LoggedContact contact(const std::string &call, int minute)
{
    LoggedContact c;
    c.call = call;
    c.minute = minute;
    return c;
}

quint16 freeTcpPort()
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    return server.serverPort();
}

/** `rigctld -m 1` (Hamlib's dummy radio) on 127.0.0.1, started and killed here. */
class Rigctld
{
  public:
    explicit Rigctld(const QString &program) : m_port(freeTcpPort())
    {
        m_process.start(program, {QStringLiteral("-m"), QStringLiteral("1"), QStringLiteral("-T"),
                                  QStringLiteral("127.0.0.1"), QStringLiteral("-t"),
                                  QString::number(m_port)});
        m_ready = m_process.waitForStarted() &&
                  QTest::qWaitFor([&] { return command(QStringLiteral("f")); }, 10000);
    }
    ~Rigctld() { kill(); }
    bool isReady() const { return m_ready; }
    quint16 port() const { return m_port; }
    /** Turns the dummy's knobs as a client of the server: "F 7074000", "M USB 0". */
    bool command(const QString &line)
    {
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, m_port);
        if (!socket.waitForConnected(1000))
            return false;
        socket.write((line + QLatin1Char('\n')).toLatin1());
        return socket.waitForReadyRead(2000) && !socket.readAll().contains("RPRT -");
    }
    void kill()
    {
        m_process.kill();
        m_process.waitForFinished();
    }

  private:
    quint16 m_port;
    QProcess m_process;
    bool m_ready = false;
};

} // namespace

class LiveStationTest : public StationWindowTest
{
    Q_OBJECT

    LiveStation *live() { return child<LiveStation>(m_window.get(), {}); }
    quint16 port() { return live()->listener().port(); }
    QString notice() { return get<StationLine>(QStringLiteral("PictStation"))->notice(); }
    QString noticeHistory()
    {
        return get<StationLine>(QStringLiteral("PictStation"))->history().join(QLatin1Char('\n'));
    }
    QListWidget *list() { return get<QListWidget>(QStringLiteral("ListeLog")); }

    void startListening(int contacts)
    {
        LiveStation::setDefaultWsjtxSettings(onPort(0));
        start(contacts);
        QVERIFY(live()->listener().isListening());
    }

    QsoRecord record(int n) { return m_window->logFile().readRecord(n).value_or(QsoRecord()); }

    // Types into the field that has the focus, then Enter.
    void typeEnter(const QString &text, bool replace = true)
    {
        auto *edit = qobject_cast<QLineEdit *>(QApplication::focusWidget());
        QVERIFY2(edit, "no field has the focus");
        if (replace)
            edit->clear();
        typeText(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
    }
    void typeShortContact(const QString &call)
    {
        typeEnter(call);
        typeEnter(QStringLiteral("14.205"));
        typeEnter(QStringLiteral("SSB"));
        typeEnter(QString(), false);
        typeEnter(QString(), false);
    }

  private slots:
    void initTestCase() { initWindowTests(); }
    void init() { m_root = std::make_unique<DataRoot>(); }
    void cleanup()
    {
        cancelModalWatches();
        m_window.reset();
        m_root.reset();
        WsjtxSettings silent;
        silent.enabled = false;
        LiveStation::setDefaultWsjtxSettings(silent);
    }

    // The script of the three FT8 contacts, the second sent twice and the
    // third while a contact is being typed: exactly three new contacts, and
    // the one typed after them.
    void theScriptsThreeContactsWithAnEntryOpen()
    {
        startListening(2);
        QProcess script;
        script.start(QStringLiteral("bash"),
                     {QStringLiteral(ONDELOG_SOURCE_DIR "/scripts/send-wsjtx-contacts"),
                      QStringLiteral("--port"), QString::number(port()), QStringLiteral("--date"),
                      QStringLiteral("2024-03-14"), QStringLiteral("--time"),
                      QStringLiteral("18:30"), QStringLiteral("--my-call"), QStringLiteral("F6XYZ"),
                      QStringLiteral("--pause"), QStringLiteral("2")});
        QTRY_COMPARE_WITH_TIMEOUT(m_window->logFile().recordCount(), 3, 10000);
        QCOMPARE(notice(), QStringLiteral("F5ABC 14.074 FT8 ajouté depuis WSJT-X"));
        QCOMPARE(list()->item(2)->data(Qt::UserRole).toInt(), 3); // the list followed

        QTest::mouseClick(button("BtNewQSO"), Qt::LeftButton);
        typeEnter(QStringLiteral("f1xyz"));
        QVERIFY(script.waitForFinished(30000));
        QCOMPARE(script.exitCode(), 0);
        QTRY_COMPARE(m_window->logFile().recordCount(), 5);
        QCOMPARE(field(1)->text(), QStringLiteral("F1XYZ")); // the screen untouched
        QCOMPARE(label("NoFicheLab").trimmed(), QStringLiteral("Charger fiche N° 6"));
        QVERIFY2(noticeHistory().contains(QStringLiteral("DL1ABC 14.074 FT8 reçu de WSJT-X : déjà "
                                                         "dans le log (fiche 4), non ajouté")),
                 qPrintable(noticeHistory()));
        typeEnter(QStringLiteral("14.205"));
        typeEnter(QStringLiteral("SSB"));
        typeEnter(QString(), false);
        typeEnter(QString(), false);
        QTest::mouseClick(button("BtEnrSuivant"), Qt::LeftButton);

        QCOMPARE(m_window->logFile().recordCount(), 6);
        const char *const calls[] = {"F5ABC", "DL1ABC", "G4XYZ", "F1XYZ"};
        const char *const starts[] = {"18:30", "18:32", "18:34", "18:42"};
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(record(3 + i).field(Field::CSGN), std::string(calls[i]));
            QCOMPARE(record(3 + i).field(Field::HDEB), std::string(starts[i]));
        }
        const QsoRecord g4 = record(5);
        QCOMPARE(g4.field(Field::DQSO), std::string("14/03/24"));
        QCOMPARE(g4.field(Field::HFIN), std::string("18:35"));
        QCOMPARE(g4.field(Field::FREQ), std::string("14.074"));
        QCOMPARE(g4.field(Field::MODE), std::string("FT8"));
        QCOMPARE(g4.field(Field::SRST), std::string("+02"));
        QCOMPARE(g4.field(Field::MRST), std::string("-01"));
        QCOMPARE(g4.field(Field::SLOC), std::string("IO91"));
        QCOMPARE(g4.field(Field::MLOC), std::string("JN18EU"));
        QCOMPARE(readBytes(m_root->logPath()).size(), std::size_t(7) * kRecordSize);
    }

    // Both orders of a contact typed and a contact received: neither is lost,
    // the typed one keeps what was typed and goes after the received one.
    void anEntryAndAReceivedContactInBothOrders_data()
    {
        QTest::addColumn<bool>("entryFirst");
        QTest::newRow("entry, then WSJT-X") << true;
        QTest::newRow("WSJT-X, then entry") << false;
    }
    void anEntryAndAReceivedContactInBothOrders()
    {
        QFETCH(bool, entryFirst);
        startListening(3);
        if (entryFirst) {
            QTest::mouseClick(button("BtNewQSO"), Qt::LeftButton);
            typeShortContact(QStringLiteral("F1AAA"));
            QCOMPARE(label("NoFicheLab").trimmed(), QStringLiteral("Charger fiche N° 4"));
        }
        send(port(), loggedAdif(contact("F5ABC", 10)));
        QTRY_COMPARE(m_window->logFile().recordCount(), 4);
        if (!entryFirst) {
            QTest::mouseClick(button("BtNewQSO"), Qt::LeftButton);
            typeShortContact(QStringLiteral("F1AAA"));
        }
        QCOMPARE(label("NoFicheLab").trimmed(), QStringLiteral("Charger fiche N° 5"));
        QCOMPARE(field(1)->text(), QStringLiteral("F1AAA"));
        QTest::mouseClick(button("BtEnrTerminer"), Qt::LeftButton);
        QCOMPARE(m_window->logFile().recordCount(), 5);
        QCOMPARE(record(4).field(Field::CSGN), std::string("F5ABC"));
        QCOMPARE(record(5).field(Field::CSGN), std::string("F1AAA"));
        QCOMPARE(record(5).field(Field::FREQ), std::string("14.205"));
        QCOMPARE(list()->count(), 5);
        QCOMPARE(list()->item(3)->data(Qt::UserRole).toInt(), 4);
        QCOMPARE(selectedRecord(), 5);
    }

    // A change waiting for "&Oui", then a deletion waiting for it: a contact
    // received meanwhile is written, and "&Oui" acts on the record it names.
    void aChangeAndADeletionWaitingForOui()
    {
        startListening(30);
        m_window->showRecord(5);
        QTest::mouseClick(field(12), Qt::LeftButton);
        QCoreApplication::processEvents();
        typeText(field(12), QStringLiteral("Pierre"));
        QTest::keyClick(field(12), Qt::Key_Return);
        send(port(), loggedAdif(contact("F5ABC", 10)));
        QTRY_COMPARE(m_window->logFile().recordCount(), 31);
        QCOMPARE(m_window->shownRecord(), 5);
        QTest::mouseClick(button("FraCmdOui"), Qt::LeftButton);
        QCOMPARE(record(5).field(Field::SNOM), std::string("Pierre"));

        m_window->showRecord(2);
        QTest::mouseClick(button("BtKillFiche"), Qt::LeftButton);
        QVERIFY(get<QGroupBox>(QStringLiteral("FraMsgFiche"))->isVisible());
        send(port(), loggedAdif(contact("G4XYZ", 20)));
        QTRY_COMPARE(m_window->logFile().recordCount(), 32);
        QTest::mouseClick(button("FraCmdOui"), Qt::LeftButton);
        QCOMPARE(m_window->logFile().recordCount(), 31);
        QCOMPARE(record(2).bytes(), testContact(3).bytes());
        QCOMPARE(record(30).field(Field::CSGN), std::string("F5ABC"));
        QCOMPARE(record(31).field(Field::CSGN), std::string("G4XYZ"));
        // Received again after the deletion: still found in the log.
        send(port(), loggedAdif(contact("G4XYZ", 20)));
        QTRY_VERIFY(notice().contains(QStringLiteral("déjà dans le log (fiche 31)")));
    }

    // A contact that comes while a sort rewrites the log waits for it: written
    // into the file the sort replaces, it would be lost.
    void aContactWaitsForTheSort()
    {
        startListening(60);
        send(port(), loggedAdif(contact("F5ABC", 10)));
        // Read from the socket, not yet taken by the window's thread (no event
        // runs here): it will be, in the middle of the sort.
        for (int i = 0; i < 200 && live()->listener().tally().count(DecodeOutcome::Decoded) == 0;
             ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        get<QAction>(QStringLiteral("MnuClasser"))->trigger();
        QTRY_COMPARE(m_window->logFile().recordCount(), 61);
        QVERIFY2(noticeHistory().contains(QStringLiteral("dès la fin de l'opération en cours")),
                 qPrintable(noticeHistory()));
        QCOMPARE(readBytes(m_root->logPath()).size(), std::size_t(62) * kRecordSize);
        QCOMPARE(record(61).field(Field::CSGN), std::string("F5ABC"));
    }
};

QTEST_MAIN(LiveStationTest)
#include "tst_livestation.moc"
