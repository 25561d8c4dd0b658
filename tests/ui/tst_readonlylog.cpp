// SPDX-License-Identifier: GPL-3.0-or-later
// A log opened for reading only (another station's, a backup of the own log,
// the own log on a medium that refuses writing): the commands that would write
// it are greyed, and every command of the window, forced through all the same,
// leaves the file byte for byte as it was.

#include "ui/helpers/uitest.h"

#include "interchange/adiftransfer.h"
#include "logbook/fileio.h"
#include "ui/companion.h"
#include "ui/contacteditor.h"
#include "ui/mainwindow.h"
#include "ui/printjob.h"
#include "ui/recordpanel.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace ondelog;
using namespace ondelog::test;

namespace {

QString qPath(const std::filesystem::path &path)
{
    return QString::fromStdString(path.string());
}

// The commands that change the log: greyed on a log that cannot take them.
const char *const kWritingCommands[] = {"MnuClasser", "MnuJumeler", "MnuImportAdif",
                                        "MnuGestionFeuilleQSL"};

} // namespace

class ReadOnlyLogTest : public StationWindowTest
{
    Q_OBJECT

    // Answers every modal window as it comes: a file dialog gets a file that
    // would be taken (a log to merge, an ADIF file to import, a new file to
    // write), a message its first button, any other dialog is closed.
    QTimer m_closer;
    std::filesystem::path m_someLog;
    std::filesystem::path m_someAdif;
    int m_written = 0;

    void answerModals()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return;
        if (auto *dialog = qobject_cast<QFileDialog *>(modal)) {
            if (dialog->acceptMode() == QFileDialog::AcceptSave)
                dialog->selectFile(
                    qPath(m_root->root() / ("sortie" + std::to_string(++m_written) + "." +
                                            dialog->defaultSuffix().toStdString())));
            else if (dialog->nameFilters().join(QLatin1Char(' ')).contains(QLatin1String(".adi")))
                dialog->selectFile(qPath(m_someAdif));
            else
                dialog->selectFile(qPath(m_someLog));
            QMetaObject::invokeMethod(dialog, "accept");
        } else if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            box->buttons().first()->click();
        } else if (auto *dialog = qobject_cast<QDialog *>(modal)) {
            dialog->reject();
        }
    }

    QAction *action(const char *name) { return get<QAction>(QString::fromLatin1(name)); }

    void openOther(const std::filesystem::path &path)
    {
        whenModal([](QWidget *w) { return qobject_cast<QFileDialog *>(w) != nullptr; },
                  [path](QWidget *w) {
                      auto *dialog = static_cast<QFileDialog *>(w);
                      dialog->selectFile(qPath(path));
                      QMetaObject::invokeMethod(dialog, "accept");
                  });
        action("MnuAutreF")->trigger();
    }

    // The backup of the own log made with "Sauvegarder", as an operator would.
    std::filesystem::path backUp()
    {
        const std::filesystem::path copy = m_root->programFolder() / "RidEzav" / "F6XYZ.Ham";
        whenModal([](QWidget *w) { return qobject_cast<QFileDialog *>(w) != nullptr; },
                  [copy](QWidget *w) {
                      auto *dialog = static_cast<QFileDialog *>(w);
                      dialog->selectFile(qPath(copy));
                      QMetaObject::invokeMethod(dialog, "accept");
                  });
        answerNextMessageBox();
        action("MnuSauver")->trigger();
        return copy;
    }

    void expectWritingGreyed()
    {
        QVERIFY(m_window->logFile().isReadOnly());
        QVERIFY(!button("BtNewQSO")->isEnabled());
        QVERIFY(!button("BtKillFiche")->isEnabled());
        for (const char *name : kWritingCommands)
            QVERIFY2(!action(name)->isEnabled(), name);
        for (int i = 1; i <= 17; ++i)
            QVERIFY(field(i)->isReadOnly());
        QVERIFY(get<QLabel>(QStringLiteral("PictListLab01"))
                    ->text()
                    .endsWith(QStringLiteral("(lecture seule)")));
    }

    // Every menu command and every button that could write, forced through.
    void tryEverything()
    {
        m_closer.start();
        const QList<QAction *> actions = m_window->menuBar()->findChildren<QAction *>();
        for (QAction *item : actions) {
            const QString name = item->objectName();
            // These only change which log is open, or end the program.
            if (!name.startsWith(QLatin1String("Mnu")) || name == QLatin1String("MnuQuitter") ||
                name == QLatin1String("MnuAutreF") || name == QLatin1String("MnuCourantF"))
                continue;
            item->setEnabled(true);
            item->trigger();
            QTest::qWait(20);
        }
        // Closed again whatever a command left open.
        if (auto *cancel = m_window->findChild<QPushButton *>(QStringLiteral("BtPjAnnuler"));
            cancel && cancel->isVisible())
            cancel->click();
        if (auto *quit = m_window->findChild<QPushButton *>(QStringLiteral("BtQuitQSL"));
            quit && quit->isVisible())
            quit->click();

        // "&Nouveau QSO" and "&Supprimer" forced: no entry, no deletion.
        button("BtNewQSO")->setEnabled(true);
        QTest::mouseClick(button("BtNewQSO"), Qt::LeftButton);
        QVERIFY(!m_window->isEntrySession());
        button("BtKillFiche")->setEnabled(true);
        QTest::mouseClick(button("BtKillFiche"), Qt::LeftButton);
        if (get<QGroupBox>(QStringLiteral("FraMsgFiche"))->isVisible())
            QTest::mouseClick(button("FraCmdOui"), Qt::LeftButton);
        QTest::qWait(20);

        // A change of the shown contact does not start, and a label neither.
        QTest::mouseClick(field(12), Qt::LeftButton);
        QVERIFY(!m_window->contactEditor()->isModifyMode());
        QTest::keyClicks(field(12), QStringLiteral("Paul"));
        QTest::keyClick(field(12), Qt::Key_Return);
        QVERIFY(get<QGroupBox>(QStringLiteral("FraMsgFiche"))->isHidden());
        QTest::mouseClick(field(14), Qt::LeftButton);
        QVERIFY(get<QFrame>(QStringLiteral("PictFeuilleQSL"))->isHidden());
        m_closer.stop();
    }

  private slots:
    void initTestCase()
    {
        initWindowTests();
        m_closer.setInterval(10);
        connect(&m_closer, &QTimer::timeout, this, &ReadOnlyLogTest::answerModals);
    }
    void init()
    {
        m_root = std::make_unique<DataRoot>();
        PrintJob::setRunnerForTests([](const PrintJob::Layout &) { return PrintOutcome::Printed; });
        setCompanionStarter([](const QString &, const QStringList &) { return true; });
    }
    void cleanup()
    {
        m_closer.stop();
        cancelModalWatches();
        fileio::setHook({});
        m_window.reset();
        m_root.reset();
        PrintJob::setRunnerForTests({});
        setCompanionStarter({});
    }

    void everyCommandLeavesTheFileAsItWas_data()
    {
        QTest::addColumn<QString>("log");
        QTest::newRow("another station's log") << QStringLiteral("other");
        QTest::newRow("a backup of the own log") << QStringLiteral("backup");
        QTest::newRow("the own log on a read-only medium") << QStringLiteral("medium");
    }
    void everyCommandLeavesTheFileAsItWas()
    {
        QFETCH(QString, log);
        if (log == QLatin1String("medium")) {
            // What a read-only medium answers, made by the file seam: the tests
            // run as root, where permissions are not enforced.
            fileio::setHook([](fileio::Operation op, long) {
                return op == fileio::Operation::Open ? EROFS : 0;
            });
            answerNextMessageBox(); // the own log is read-only, once
        }
        start(30);
        m_someLog = m_root->root() / "AUTRE.Ham";
        writeLog(m_someLog, 4, "IN98GC");
        m_someAdif = m_root->root() / "journal.adi";
        writeBytes(m_someAdif, "<CALL:5>F4XYZ<QSO_DATE:8>20240301<TIME_ON:4>1200<EOR>\n");
        const std::string own = logBytes();

        std::filesystem::path shown = m_root->logPath();
        if (log == QLatin1String("other")) {
            shown = m_root->root() / "autres" / "F5ABC.Ham";
            std::filesystem::create_directories(shown.parent_path());
            writeLog(shown, 40, "IN88GS");
            openOther(shown);
        } else if (log == QLatin1String("backup")) {
            shown = backUp();
            QCOMPARE(readBytes(shown), own);
            openOther(shown);
            QVERIFY(!m_window->isOwnLog());
        }
        const std::string before = readBytes(shown);
        QCOMPARE(m_window->logFile().path(), shown);
        expectWritingGreyed();

        tryEverything();

        QCOMPARE(readBytes(shown), before);
        QCOMPARE(logBytes(), own);
        QVERIFY(m_window->logFile().isReadOnly());
        // The core refuses too, whoever calls it.
        LogFile &file = m_window->logFile();
        QCOMPARE(file.appendContact(testContact(99), "JN18EU"), LogStatus::ReadOnly);
        QCOMPARE(file.deleteRecord(1, "JN18EU"), LogStatus::ReadOnly);
        QCOMPARE(importAdif(file, m_someAdif, {}).status, LogStatus::ReadOnly);
        QCOMPARE(readBytes(shown), before);
    }

    // A backup opened, then "Ouvrir Fichier courant": new contacts go to the
    // own log again, never to the backup.
    void backToTheOwnLogAfterABackup()
    {
        start(5);
        const std::filesystem::path copy = backUp();
        openOther(copy);
        const std::string backup = readBytes(copy);
        QVERIFY(!button("BtNewQSO")->isEnabled());

        // "Sauvegarder" of the backup itself says what it is for, and writes nothing.
        QString said;
        bool answered = false;
        answerNextMessageBox(nullptr, &said, &answered);
        action("MnuSauver")->trigger();
        QTRY_VERIFY(answered);
        QVERIFY2(said.contains(QStringLiteral("Copier sur CD ou disquette")), qPrintable(said));
        QCOMPARE(readBytes(copy), backup);
        QCOMPARE(std::distance(std::filesystem::directory_iterator(copy.parent_path()),
                               std::filesystem::directory_iterator()),
                 1);

        action("MnuCourantF")->trigger();
        QVERIFY(m_window->isOwnLog());
        QVERIFY(!m_window->logFile().isReadOnly());
        QCOMPARE(m_window->logFile().path(), m_root->logPath());
        QVERIFY(button("BtNewQSO")->isEnabled());
        for (const char *name : kWritingCommands)
            QVERIFY2(action(name)->isEnabled(), name);
        QVERIFY(!field(1)->isReadOnly());
        QCOMPARE(m_window->logFile().appendContact(testContact(6), "JN18EU"), LogStatus::Ok);
        QCOMPARE(logBytes().size(), 7 * kRecordSize);
        QCOMPARE(readBytes(copy), backup);
    }
};

QTEST_MAIN(ReadOnlyLogTest)
#include "tst_readonlylog.moc"
