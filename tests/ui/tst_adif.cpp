// SPDX-License-Identifier: GPL-3.0-or-later
// The ADIF items of the "Fichier" menu, driven as the operator would: the file
// dialog, the progress dialog's "Annuler", the summary, and the log shown again.
// What is mapped, skipped and counted is the core tests' business.

#include "interchange/adiftransfer.h"
#include "logbook/regularfile.h"
#include "tests/ui/helpers/uitest.h"
#include "ui/adifcommands.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QtTest>

#include <atomic>
#include <chrono>
#include <memory>
#include <sys/stat.h>
#include <thread>

using namespace ondelog;
using namespace ondelog::test;

namespace {

void chooseFile(const std::filesystem::path &path)
{
    whenModal([](QWidget *w) { return qobject_cast<QFileDialog *>(w) != nullptr; },
              [path](QWidget *w) {
                  auto *dialog = static_cast<QFileDialog *>(w);
                  dialog->selectFile(QString::fromStdString(path.string()));
                  QMetaObject::invokeMethod(dialog, "accept");
              });
}

std::string adiContacts(int first, int count)
{
    std::string text = "<EOH>\n";
    for (int i = first; i < first + count; ++i) {
        const std::string call = "F" + std::to_string(10000 + i).substr(1);
        char time[5];
        std::snprintf(time, sizeof time, "%02d%02d", (i / 60) % 24, i % 60);
        text += "<CALL:5>" + call + "<QSO_DATE:8>20240314<TIME_ON:4>" + time + "<EOR>\n";
    }
    return text;
}

/** A disk that gives the first block of a file, then sticks until released
 *  (ten seconds at most): an import is held in the middle of its file. */
class StuckDisk
{
  public:
    StuckDisk()
    {
        // The state outlives this object in the hook, which an import still
        // running may call until the test's cleanup.
        setFileReadHook([state = m_state] {
            if (++state->blocks != 2)
                return;
            for (int waited = 0; !state->released && waited < 10000; ++waited)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        });
    }
    ~StuckDisk() { release(); }
    void release() { m_state->released = true; }
    int blocks() const { return m_state->blocks; }

  private:
    struct State
    {
        std::atomic<bool> released{false};
        std::atomic<int> blocks{0};
    };
    std::shared_ptr<State> m_state = std::make_shared<State>();
};

} // namespace

class AdifTest : public StationWindowTest
{
    Q_OBJECT

    QString trigger(const char *item, const std::filesystem::path &file)
    {
        chooseFile(file);
        QString summary;
        bool answered = false;
        answerNextMessageBox(nullptr, &summary, &answered);
        get<QAction>(QString::fromLatin1(item))->trigger();
        if (!QTest::qWaitFor([&] { return answered; }, 10000))
            qWarning("no summary");
        return summary;
    }

  private slots:
    void initTestCase() { initWindowTests(); }
    void init()
    {
        m_root = std::make_unique<DataRoot>();
        AdifCommands::setProgressThreshold(3000);
    }
    void cleanup()
    {
        cancelModalWatches();
        m_window.reset();
        setFileReadHook({}); // once no import reads any more
    }

    void exportThenImportIntoTheOwnLog()
    {
        start(30);
        const auto adx = m_root->root() / "log.adx";
        QCOMPARE(trigger("MnuExportAdif", adx),
                 QStringLiteral("30 contacts exportés dans « log.adx »."));
        QVERIFY(readBytes(adx).find("<STATION_CALLSIGN>F6XYZ</STATION_CALLSIGN>") !=
                std::string::npos);

        const auto adi = m_root->root() / "wsjt.adi";
        writeBytes(adi, adiContacts(1, 4));
        QCOMPARE(trigger("MnuImportAdif", adi), QStringLiteral("4 contacts ajoutés au log."));
        QCOMPARE(m_window->logFile().recordCount(), 34);
        auto *list = get<QListWidget>(QStringLiteral("ListeLog"));
        QVERIFY(list->currentItem());
        QVERIFY(list->currentItem()->text().contains(QStringLiteral("F0004")));

        // The log on screen is the new file: a contact entered now lands in it.
        QCOMPARE(m_window->logFile().appendContact(testContact(99), "JN18EU"), LogStatus::Ok);
        QCOMPARE(static_cast<int>(logBytes().size()), 36 * 165);
    }

    // A report that only confirms contacts still replaces the log file: the
    // window must read the new one, or a contact entered next would be lost.
    void aReportThatOnlyConfirmsIsShownAndKept()
    {
        start(5);
        const auto adi = m_root->root() / "lotwreport.adi";
        writeBytes(adi, "<EOH>\n<CALL:5>F0003<QSO_DATE:8>20240104<TIME_ON:6>030300<BAND:3>20M"
                        "<QSL_RCVD:1>Y<QSLRDATE:8>20240310<EOR>\n");
        QCOMPARE(trigger("MnuImportAdif", adi),
                 QStringLiteral("0 contact ajouté au log.\n1 contact confirmé : la date de "
                                "réception de sa QSL est notée dans le log."));
        QCOMPARE(m_window->logFile().readRecord(3).value_or(QsoRecord()).field(Field::SQSL),
                 std::string("10/03/24"));
        QCOMPARE(m_window->logFile().appendContact(testContact(99), "JN18EU"), LogStatus::Ok);
        const std::string bytes = logBytes();
        QCOMPARE(bytes.size(), std::size_t{7 * kRecordSize});
        QCOMPARE(bytes.substr(2 * kRecordSize + fieldLayout(Field::SQSL).offset, 8),
                 std::string("10/03/24"));
    }

    // A file that holds one long damaged region, read by a disk that is stuck
    // after its first block: the window answers all the same, with its
    // commands disabled, and "Annuler" stops the import at the next block.
    void annulerStopsAnImportStuckInADamagedRegion()
    {
        start(3);
        const std::string before = logBytes();
        const auto adi = m_root->root() / "damaged.adi";
        writeBytes(adi, "<CALL:5>F6ABC" + std::string(4 << 20, 'x'));
        StuckDisk disk;
        bool disabled = false;
        whenModal([](QWidget *w) { return qobject_cast<QProgressDialog *>(w) != nullptr; },
                  [&](QWidget *w) {
                      QVERIFY(w->objectName() == QStringLiteral("ProgressionAdif"));
                      disabled = !m_window->menuBar()->isEnabled() &&
                                 !get<QWidget>(QStringLiteral("PictListe"))->isEnabled();
                      auto *cancel = w->findChild<QPushButton *>();
                      QVERIFY(cancel);
                      QCOMPARE(cancel->text(), QStringLiteral("Annuler"));
                      cancel->click();
                      disk.release();
                  });
        QCOMPARE(trigger("MnuImportAdif", adi),
                 QStringLiteral("Import annulé : le log est resté tel qu'il était."));
        QVERIFY(disabled);
        QCOMPARE(disk.blocks(), 2);
        QCOMPARE(logBytes(), before);
        QVERIFY(m_window->menuBar()->isEnabled());
        QVERIFY(get<QWidget>(QStringLiteral("PictListe"))->isEnabled());
    }

    // A contact another program logs during an import waits for it: written
    // into the file the import replaces, it would be lost.
    void aWriteFromOutsideWaitsForTheImport()
    {
        start(3);
        const auto adi = m_root->root() / "wsjt.adi";
        writeBytes(adi, adiContacts(0, 5000));
        StuckDisk disk;
        QsoRecord received = testContact(99);
        received.setField(Field::CSGN, "F5OUT");
        bool written = false;
        whenModal([](QWidget *w) { return qobject_cast<QProgressDialog *>(w) != nullptr; },
                  [&](QWidget *) {
                      m_window->writeFromOutside([&] {
                          written = m_window->logFile().appendContact(received, "JN18EU") ==
                                    LogStatus::Ok;
                      });
                      QVERIFY(!written);
                      disk.release();
                  });
        AdifCommands::setProgressThreshold(0);
        const QString summary = trigger("MnuImportAdif", adi);
        QVERIFY2(summary.startsWith(QStringLiteral("5000 contacts ajoutés")), qPrintable(summary));
        QTRY_VERIFY(written);
        QCOMPARE(m_window->logFile().recordCount(), 5004);
        const std::string bytes = logBytes();
        QCOMPARE(bytes.size(), std::size_t{5005 * kRecordSize});
        QCOMPARE(bytes.substr(5003 * kRecordSize, kRecordSize),
                 std::string(received.bytes().data(), kRecordSize));
    }

    // The program ends in the middle of an import: the import stops at its
    // next block, says nothing to a window that is gone, and leaves nothing
    // beside the log.
    void closingTheWindowCancelsARunningImport()
    {
        start(3);
        const std::string before = logBytes();
        const auto adi = m_root->root() / "wsjt.adi";
        writeBytes(adi, adiContacts(0, 5000));
        StuckDisk disk;
        chooseFile(adi);
        get<QAction>(QStringLiteral("MnuImportAdif"))->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(disk.blocks(), 2, 10000);
        QVERIFY(m_window->close());
        disk.release();
        auto *commands = m_window->findChild<AdifCommands *>();
        QVERIFY(commands);
        QTRY_VERIFY_WITH_TIMEOUT(!commands->isRunning(), 10000);
        QCOMPARE(disk.blocks(), 2);
        QVERIFY(!QApplication::activeModalWidget());
        m_window.reset();
        QCOMPARE(readBytes(m_root->logPath()), before);
        // The configuration, the log and the label sheet; the closing's
        // automatic backup goes into a folder of its own.
        std::vector<std::string> files;
        for (const auto &entry : std::filesystem::directory_iterator(m_root->programFolder()))
            if (!entry.is_directory())
                files.push_back(entry.path().filename().string());
        QCOMPARE(files.size(), std::size_t{3});
    }

    // A pipe is never opened: nothing waits for a program to write into it.
    void aPipeIsNotImported()
    {
        start(3);
        const std::string before = logBytes();
        const auto adi = m_root->root() / "wsjt.adi";
        QCOMPARE(::mkfifo(adi.c_str(), 0644), 0);
        const QString summary = trigger("MnuImportAdif", adi);
        QVERIFY2(summary.contains(QStringLiteral("Ce n'est pas un fichier")), qPrintable(summary));
        QCOMPARE(logBytes(), before);
    }

    void importIsRefusedDuringEntry()
    {
        start(3);
        const std::string before = logBytes();
        m_window->setMode(WindowMode::Entry);
        QString text;
        bool answered = false;
        answerNextMessageBox(nullptr, &text, &answered);
        get<QAction>(QStringLiteral("MnuImportAdif"))->trigger();
        QVERIFY(QTest::qWaitFor([&] { return answered; }, 5000));
        QVERIFY(text.contains(QStringLiteral("hors saisie")));
        QCOMPARE(logBytes(), before);
        m_window->setMode(WindowMode::List);
    }
};

QTEST_MAIN(AdifTest)
#include "tst_adif.moc"
