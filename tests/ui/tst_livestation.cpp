// SPDX-License-Identifier: GPL-3.0-or-later
// The live station in the main window: contacts sent from 127.0.0.1 as WSJT-X
// sends them, written into the own log whatever the window is doing, and the
// radio read through rigctld proposing its frequency and mode to the entry.

#include "tests/ui/helpers/uitest.h"

#include "logbook/loglist.h"
#include "setup/settings.h"
#include "tests/common/rigctld.h"
#include "tests/station/datagrams.h"
#include "ui/livestation.h"
#include "ui/pause.h"
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
#include <QTest>
#include <QTimer>
#include <QUdpSocket>

#include <cstdio>
#include <fstream>
#include <functional>
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

quint16 freeUdpPort()
{
    QUdpSocket socket;
    socket.bind(QHostAddress::LocalHost, 0);
    return socket.localPort();
}

/** True once a program has bound UDP 127.0.0.1:`port` (read from the system's table). */
bool isBoundUdp(quint16 port)
{
    char wanted[32];
    std::snprintf(wanted, sizeof wanted, "0100007F:%04X ", port);
    std::ifstream table("/proc/net/udp");
    for (std::string line; std::getline(table, line);)
        if (line.find(wanted) != std::string::npos)
            return true;
    return false;
}

void saveSettings(const std::filesystem::path &programFolder,
                  const std::function<void(Settings &)> &change)
{
    std::filesystem::create_directories(programFolder);
    Settings settings = Settings::load(settingsPath(programFolder));
    change(settings);
    QVERIFY(settings.save(settingsPath(programFolder)));
}

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

    // Another station's log on screen is only read: the contacts go into the
    // own log file, and the line says so.
    void anotherStationsLogOnScreenReceivesNothing()
    {
        startListening(3);
        const std::filesystem::path other = m_root->root() / "F5ABC.Ham";
        writeLog(other, 2, "IN98GC");
        const std::string otherBytes = readBytes(other);
        whenModal([](QWidget *w) { return qobject_cast<QFileDialog *>(w) != nullptr; },
                  [other](QWidget *w) {
                      auto *dialog = static_cast<QFileDialog *>(w);
                      dialog->selectFile(QString::fromStdString(other.string()));
                      QMetaObject::invokeMethod(dialog, "accept");
                  });
        get<QAction>(QStringLiteral("MnuAutreF"))->trigger();
        QTRY_VERIFY(!m_window->isOwnLog());
        QVERIFY2(label("LabWsjtx").contains(QStringLiteral("vont au log de F6XYZ")),
                 qPrintable(label("LabWsjtx")));

        send(port(), loggedAdif(contact("G4XYZ", 20)));
        QTRY_COMPARE(notice(), QStringLiteral("G4XYZ 14.074 FT8 ajouté depuis WSJT-X"));
        QCOMPARE(readBytes(other), otherBytes);
        QCOMPARE(readBytes(m_root->logPath()).size(), std::size_t(5) * kRecordSize);
        QCOMPARE(m_window->logFile().recordCount(), 2);

        get<QAction>(QStringLiteral("MnuCourantF"))->trigger();
        QTRY_VERIFY(m_window->isOwnLog());
        QTRY_COMPARE(list()->count(), 4);
        QCOMPARE(record(4).field(Field::CSGN), std::string("G4XYZ"));
        QCOMPARE(record(4).field(Field::MLOC), std::string("JN18EU"));
    }

    // "Fermer le Log" shuts the log before its goodbye: a contact logged by
    // WSJT-X in that second still reaches the file, whole and only once.
    void aContactDuringTheGoodbyeIsKept()
    {
        startListening(3);
        const quint16 to = port();
        setPauseMilliseconds(1000); // room for the datagram under load
        QTimer::singleShot(0, m_window.get(), [to] { send(to, loggedAdif(contact("G4XYZ", 20))); });
        QTest::mouseClick(button("BtFermerLog"), Qt::LeftButton);
        setPauseMilliseconds(5);
        QVERIFY(m_window->hasEnded());
        LogFile file;
        QCOMPARE(file.openReadOnly(m_root->logPath()), LogStatus::Ok);
        QCOMPARE(file.recordCount(), 4);
        QCOMPARE(file.readRecord(4)->field(Field::CSGN), std::string("G4XYZ"));
        QCOMPARE(file.readRecord(4)->field(Field::MLOC), std::string("JN18EU"));
        QCOMPARE(file.endMarkerLocator().value_or(std::string()), std::string("JN18EU"));
    }

    // A second Ondelog, another station's, finds the port taken: it says so in
    // French, goes on without listening, and its log receives nothing.
    void aSecondOndelogFindsThePortTaken()
    {
        startListening(3);
        DataRoot otherRoot;
        writeStation(otherRoot, 1, "F5ABC", "IN98GC");
        const std::string otherBytes = readBytes(otherRoot.logPath("F5ABC.Ham"));
        LiveStation::setDefaultWsjtxSettings(onPort(port()));
        MainWindow second(otherRoot.root(), m_clock);
        second.show();
        QVERIFY(QTest::qWaitFor([&] { return second.startupState() == 0; }, 5000));
        auto *line = child<StationLine>(&second, QStringLiteral("PictStation"));
        QVERIFY2(line->notice().contains(QStringLiteral("le port est déjà utilisé")),
                 qPrintable(line->notice()));
        QCOMPARE(child<QLabel>(&second, QStringLiteral("LabWsjtx"))->text(),
                 QStringLiteral("WSJT-X : pas de réception"));

        send(port(), loggedAdif(contact("G4XYZ", 20)));
        QTRY_COMPARE(m_window->logFile().recordCount(), 4);
        QCOMPARE(readBytes(otherRoot.logPath("F5ABC.Ham")), otherBytes);
        // It goes on: a contact can be typed.
        QTest::mouseClick(child<QPushButton>(&second, QStringLiteral("BtNewQSO")), Qt::LeftButton);
        QVERIFY(second.isEntrySession());
    }

    // The program itself, another station's, listening where this station's
    // WSJT-X sends: it writes its own station's contacts and refuses the others.
    void anotherStationsOndelogRefusesThisStationsContacts()
    {
        DataRoot otherRoot;
        writeStation(otherRoot, 0, "F5ABC", "IN98GC");
        const quint16 port = freeUdpPort();
        saveSettings(otherRoot.programFolder(),
                     [&](Settings &s) { writeWsjtxSettings(s, onPort(port)); });
        QProcess ondelog;
        ondelog.start(
            QStringLiteral(ONDELOG_BIN_DIR "/ondelog"),
            {QStringLiteral("--root"), QString::fromStdString(otherRoot.root().string())});
        QVERIFY(ondelog.waitForStarted());
        QVERIFY(QTest::qWaitFor([&] { return isBoundUdp(port); }, 20000));

        LoggedContact mine = contact("G4XYZ", 20); // made by F6XYZ
        send(port, qsoLogged(mine));
        send(port, loggedAdif(mine));
        LoggedContact theirs = contact("DL1ABC", 22);
        theirs.myCall = "F5ABC";
        send(port, loggedAdif(theirs));
        const std::filesystem::path log = otherRoot.logPath("F5ABC.Ham");
        QVERIFY(QTest::qWaitFor([&] { return readBytes(log).size() == 2 * kRecordSize; }, 10000));
        ondelog.terminate();
        QVERIFY(ondelog.waitForFinished(10000));
        LogFile file;
        QCOMPARE(file.openReadOnly(log), LogStatus::Ok);
        QCOMPARE(file.recordCount(), 1);
        QCOMPARE(file.readRecord(1)->field(Field::CSGN), std::string("DL1ABC"));
    }

    // The settings changed from the menu are kept, and listening and reading
    // the radio follow at once; a new start reads them back.
    void theSettingsFromTheMenuTakeEffectAndAreKept()
    {
        startListening(3);
        const quint16 newPort = freeUdpPort();
        whenModalNamed(QStringLiteral("WsjtxReglages"), [newPort](QWidget *dialog) {
            child<QSpinBox>(dialog, QStringLiteral("TxtWsjtxPort"))->setValue(newPort);
            QTest::mouseClick(child<QPushButton>(dialog, QStringLiteral("BtOK")), Qt::LeftButton);
        });
        get<QAction>(QStringLiteral("MnuWsjtx"))->trigger();
        QCOMPARE(port(), newPort);
        send(newPort, loggedAdif(contact("G4XYZ", 20)));
        QTRY_COMPARE(m_window->logFile().recordCount(), 4);

        whenModalNamed(QStringLiteral("Transceiver"), [](QWidget *dialog) {
            QTest::keyClicks(child<QLineEdit>(dialog, QStringLiteral("TxtChercherModele")),
                             QStringLiteral("Hamlib Dummy"));
            QTest::mouseClick(child<QPushButton>(dialog, QStringLiteral("BtOK")), Qt::LeftButton);
        });
        get<QAction>(QStringLiteral("MnuTransceiver"))->trigger();
        QTRY_COMPARE(label("LabTransceiver"), QStringLiteral("Transceiver : 145 FM"));

        m_window.reset();
        start(4);
        QCOMPARE(live()->wsjtxSettings().port, newPort);
        QVERIFY(live()->listener().isListening());
        QCOMPARE(live()->transceiverSettings().model, 1);
        QTRY_COMPARE(label("LabTransceiver"), QStringLiteral("Transceiver : 145 FM"));
        whenModalNamed(QStringLiteral("Transceiver"), [](QWidget *dialog) {
            child<QComboBox>(dialog, QStringLiteral("CboModele"))->setCurrentIndex(0); // "Aucun"
            QTest::mouseClick(child<QPushButton>(dialog, QStringLiteral("BtOK")), Qt::LeftButton);
        });
        get<QAction>(QStringLiteral("MnuTransceiver"))->trigger();
        QVERIFY(get<QLabel>(QStringLiteral("LabTransceiver"))->isHidden());
        QVERIFY(live()->transceiverSettings().isNone());
    }

    // rigctld set to 7.074 MHz USB: a new live contact is offered 7.074 and
    // SSB; the dial turned while the field waits, the field follows, but not
    // once typed into; a data mode is the one WSJT-X reports; rigctld killed is
    // said within three seconds, and the contact is finished by hand.
    void rigctldProposesFrequencyAndModeUntilItStops()
    {
        const QString program = QStandardPaths::findExecutable(QStringLiteral("rigctld"));
        if (program.isEmpty())
            QSKIP("rigctld est absent (paquet libhamlib-utils) : test sauté");
        Rigctld rigctld(program);
        QVERIFY(rigctld.isReady());
        QVERIFY(rigctld.command(QStringLiteral("F 7074000")));
        QVERIFY(rigctld.command(QStringLiteral("M USB 0")));
        saveSettings(m_root->programFolder(), [&](Settings &s) {
            writeTransceiverSettings(s, {kRigctldRadioModel, {}, 0, rigctld.address()});
        });
        startListening(3);
        QTRY_COMPARE(label("LabTransceiver"), QStringLiteral("Transceiver : 7.074 USB"));

        QTest::mouseClick(button("BtNewQSO"), Qt::LeftButton);
        typeEnter(QStringLiteral("f1abc"));
        QCOMPARE(field(5)->selectedText(), QStringLiteral("7.074"));
        typeEnter(QString(), false);
        QCOMPARE(field(6)->selectedText(), QStringLiteral("SSB"));

        QTest::mouseClick(button("BtEnrAnnuler"), Qt::LeftButton);
        typeEnter(QStringLiteral("f2abc"));
        QCOMPARE(field(5)->selectedText(), QStringLiteral("7.074"));
        send(port(), status(14074000, "FT8"));
        QVERIFY(rigctld.command(QStringLiteral("F 14074000")));
        QVERIFY(rigctld.command(QStringLiteral("M PKTUSB 0")));
        QTRY_COMPARE(field(5)->selectedText(), QStringLiteral("14.074"));
        QTest::keyClicks(field(5), QStringLiteral("7"));
        QVERIFY(rigctld.command(QStringLiteral("F 21074000")));
        QTRY_COMPARE(label("LabTransceiver"), QStringLiteral("Transceiver : 21.074 PKTUSB"));
        QCOMPARE(field(5)->text(), QStringLiteral("7"));
        typeEnter(QStringLiteral("7.074"));
        QCOMPARE(field(6)->selectedText(), QStringLiteral("FT8"));

        rigctld.kill();
        QTRY_COMPARE_WITH_TIMEOUT(label("LabTransceiver"),
                                  QStringLiteral("Transceiver : pas de réponse"), 3000);
        typeEnter(QString(), false);
        typeEnter(QStringLiteral("-10"));
        typeEnter(QStringLiteral("-07"));
        QTest::mouseClick(button("BtEnrSuivant"), Qt::LeftButton);
        QCOMPARE(record(4).field(Field::FREQ), std::string("7.074"));
        QCOMPARE(record(4).field(Field::MODE), std::string("FT8"));
    }
};

QTEST_MAIN(LiveStationTest)
#include "tst_livestation.moc"
