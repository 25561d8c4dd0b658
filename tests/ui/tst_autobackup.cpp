// SPDX-License-Identifier: GPL-3.0-or-later
// The backup Ondelog makes by itself on closing, over several runs of the
// window while a fake clock moves on by days; and its settings dialog. Which
// files the rotation keeps is the core's business (autobackup_test).

#include "maintenance/autobackup.h"
#include "setup/settings.h"
#include "ui/helpers/uitest.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include <set>

using namespace ondelog;
using namespace ondelog::test;

class AutoBackupTest : public StationWindowTest
{
    Q_OBJECT

    std::filesystem::path ridEzav() const { return m_root->programFolder() / "RidEzav"; }

    std::set<std::string> backups() const
    {
        std::set<std::string> names;
        std::error_code ec;
        for (const auto &entry : std::filesystem::directory_iterator(ridEzav(), ec))
            names.insert(entry.path().filename().string());
        return names;
    }

    /** Starts the window on the station as it stands (written once by start()). */
    void reopen()
    {
        m_window = std::make_unique<MainWindow>(m_root->root(), m_clock);
        m_window->resize(1280, 800);
        showActive(m_window.get());
        QVERIFY(QTest::qWaitFor([&] { return m_window->startupState() == 0; }, 5000));
    }

    /** Closes as the operator does; nothing may ask anything on the way. */
    void closeWindow()
    {
        bool asked = false;
        QTimer watch;
        connect(&watch, &QTimer::timeout,
                [&] { asked = asked || QApplication::activeModalWidget(); });
        watch.start(1);
        get<QAction>(QStringLiteral("MnuQuitter"))->trigger();
        QVERIFY(m_window->hasEnded());
        QVERIFY(!asked);
    }

    void passDays(int days) { m_clock.advance(days * 24 * 60 * 60); }

    void addContact(int i)
    {
        QCOMPARE(m_window->logFile().appendContact(testContact(i), "JN18EU"), LogStatus::Ok);
    }

  private slots:
    void initTestCase() { initWindowTests(); }
    void init() { m_root = std::make_unique<DataRoot>(); }
    void cleanup()
    {
        cancelModalWatches();
        m_window.reset();
    }

    void closingBacksUpOnlyWhenTheLatestIsOldEnough()
    {
        const std::time_t first = epochSeconds(m_clock.now());
        start(5);
        closeWindow();
        QCOMPARE(backups(), std::set<std::string>{"F6XYZ.Ham"});
        QVERIFY(readBytes(ridEzav() / "F6XYZ.Ham") == logBytes());

        // Three days later: the latest backup is recent enough.
        passDays(3);
        reopen();
        addContact(6);
        closeWindow();
        QCOMPARE(backups(), std::set<std::string>{"F6XYZ.Ham"});
        QCOMPARE(static_cast<int>(readBytes(ridEzav() / "F6XYZ.Ham").size()), 6 * 165);

        // A week after the first: the log with its new contact goes in, the
        // former latest keeps its date.
        passDays(4);
        reopen();
        closeWindow();
        QCOMPARE(backups(),
                 (std::set<std::string>{"F6XYZ.Ham", datedBackupName("F6XYZ.Ham", first)}));
        QVERIFY(readBytes(ridEzav() / "F6XYZ.Ham") == logBytes());
    }

    void aFailureNeverStopsTheClosingAndIsToldOnce()
    {
        start(2);
        // A file where the backup folder should be: no backup can be written.
        writeBytes(ridEzav(), "pas un dossier");
        closeWindow();

        QString told;
        bool answered = false;
        answerNextMessageBox(nullptr, &told, &answered);
        reopen();
        QVERIFY(QTest::qWaitFor([&] { return answered; }, 5000));
        QVERIFY2(
            told.contains(QStringLiteral("La sauvegarde automatique du log n'a pas pu être faite")),
            qPrintable(told));
        QVERIFY2(told.contains(QStringLiteral("n'a pas été faite")), qPrintable(told));

        // Once the folder can be made the next closing backs up, and nothing more is told.
        std::filesystem::remove(ridEzav());
        closeWindow();
        QCOMPARE(backups(), std::set<std::string>{"F6XYZ.Ham"});
        answered = false;
        answerNextMessageBox(nullptr, &told, &answered);
        reopen();
        QTest::qWait(50);
        QVERIFY(!answered);
    }

    void theSettingsDialogTurnsItOffAndKeepsOtherSettings()
    {
        start(2);
        writeBytes(settingsPath(m_root->programFolder()), "wsjtx.port=2237\n");
        whenModalNamed(QStringLiteral("DlgReglages"), [](QWidget *dialog) {
            auto *automatic = child<QCheckBox>(dialog, QStringLiteral("ChkSauvegardeAuto"));
            auto *days = child<QSpinBox>(dialog, QStringLiteral("SpinJoursSauvegarde"));
            QVERIFY(automatic->isChecked());
            QCOMPARE(days->value(), 7);
            QCOMPARE(child<QSpinBox>(dialog, QStringLiteral("SpinCopiesSauvegarde"))->value(), 10);
            child<QSpinBox>(dialog, QStringLiteral("SpinCopiesSauvegarde"))->setValue(3);
            automatic->click();
            QVERIFY(!days->isEnabled());
            child<QDialogButtonBox>(dialog, QStringLiteral("BoutonsReglages"))
                ->button(QDialogButtonBox::Ok)
                ->click();
        });
        get<QAction>(QStringLiteral("MnuReglages"))->trigger();
        QCOMPARE(readBytes(settingsPath(m_root->programFolder())),
                 std::string("wsjtx.port=2237\nsauvegarde.automatique=non\nsauvegarde.jours=7\n"
                             "sauvegarde.copies=3\n"));
        passDays(30);
        closeWindow();
        QVERIFY(!std::filesystem::exists(ridEzav()));
    }
};

QTEST_MAIN(AutoBackupTest)
#include "tst_autobackup.moc"
