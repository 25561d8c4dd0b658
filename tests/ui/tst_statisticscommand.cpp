// SPDX-License-Identifier: GPL-3.0-or-later
// "Statistiques" from the main window's menu: the window opened once, following
// the log whatever changes it, greyed while the log is rewritten, and a clicked
// bar listed in the contacts panel, never pointing at records a sort or a
// deletion has moved. What the window counts and draws is tst_statistics'.

#include "ui/helpers/chartclick.h"
#include "ui/helpers/uitest.h"

#include "logbook/logfile.h"
#include "ui/mainwindow.h"
#include "ui/stationmap.h"
#include "ui/statisticswindow.h"

#include <QAction>
#include <QApplication>
#include <QChartView>
#include <QComboBox>
#include <QFileDialog>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include <functional>
#include <memory>
#include <vector>

using namespace ondelog;
using namespace ondelog::test;

namespace {

constexpr const char *k20m = "14.205";
constexpr const char *k40m = "7.088";
constexpr const char *k2m = "144.300";

QsoRecord onBand(int i, const char *frequency)
{
    QsoRecord r = testContact(i);
    r.setField(Field::FREQ, frequency);
    return r;
}

// Nine contacts logged newest first, on 20m (records 1, 4, 7), 40m and 2m in
// turn: a sort turns them round, the 20m ones becoming 3, 6 and 9.
std::vector<QsoRecord> nineContacts()
{
    const char *const bands[] = {k20m, k40m, k2m};
    std::vector<QsoRecord> records;
    for (int k = 1; k <= 9; ++k) {
        QsoRecord r = onBand(k, bands[(k - 1) % 3]);
        char date[9];
        std::snprintf(date, sizeof date, "%02d/03/24", 20 - k);
        r.setField(Field::DQSO, date);
        records.push_back(r);
    }
    return records;
}

} // namespace

class StatisticsCommandTest : public StationWindowTest
{
    Q_OBJECT

    void trigger(const char *action)
    {
        child<QAction>(m_window.get(), QString::fromLatin1(action))->trigger();
    }

    StatisticsWindow *openStatistics()
    {
        trigger("MnuStatistiques");
        return m_window->findChild<StatisticsWindow *>(QStringLiteral("FenStatistiques"));
    }

    QListWidget *contactsList() { return get<QListWidget>(QStringLiteral("ContactsListe")); }
    QWidget *contactsPanel() { return get<QWidget>(QStringLiteral("PictContacts")); }

    std::vector<std::int32_t> listedRecords()
    {
        std::vector<std::int32_t> numbers;
        for (int i = 0; i < contactsList()->count(); ++i)
            numbers.push_back(contactsList()->item(i)->data(Qt::UserRole).toInt());
        return numbers;
    }

    static int barOf(StatisticsWindow *statistics, Chart chart, const char *label)
    {
        const std::vector<Tally> &bars = statistics->statistics().chart(chart);
        for (std::size_t i = 0; i < bars.size(); ++i)
            if (bars[i].label == label)
                return int(i);
        return -1;
    }

    /** Clicks the 20m bar of the bands chart, as the operator would. */
    static void click20m(StatisticsWindow *statistics)
    {
        child<QComboBox>(statistics, QStringLiteral("LstGraphique"))->setCurrentIndex(1);
        const int bar = barOf(statistics, Chart::Bands, "20m");
        QVERIFY(bar >= 0);
        QTest::mouseClick(statistics->chartView()->viewport(), Qt::LeftButton, {},
                          barCentre(statistics->chartView(), bar));
    }

    /** The records listed are those the figures give for 20m, each one a 20m contact. */
    void expect20mListed(StatisticsWindow *statistics)
    {
        QVERIFY(contactsPanel()->isVisible());
        const std::vector<std::int32_t> listed = listedRecords();
        QCOMPARE(listed, statistics->statistics().records(
                             Chart::Bands, std::size_t(barOf(statistics, Chart::Bands, "20m"))));
        QCOMPARE(listed.size(), std::size_t(3));
        for (const std::int32_t n : listed)
            QCOMPARE(m_window->logFile().readRecord(n)->field(Field::FREQ), std::string(k20m));
        QCOMPARE(label("NbreContacts"), QStringLiteral("3"));
        QCOMPARE(label("ContactsLab"), QStringLiteral("contacts sur 20m"));
    }

    static int contactsOn(StatisticsWindow *statistics, const char *band)
    {
        const int bar = barOf(statistics, Chart::Bands, band);
        return bar < 0 ? 0 : statistics->statistics().bands[std::size_t(bar)].count;
    }

  private slots:
    void initTestCase() { initWindowTests(); }
    void init() { m_root = std::make_unique<DataRoot>(); }
    void cleanup()
    {
        cancelModalWatches();
        m_window.reset();
        m_root.reset();
    }

    void oneWindowBesideTheMainOneFollowingEveryChange()
    {
        startWith(nineContacts());
        QCOMPARE(child<QAction>(m_window.get(), QStringLiteral("MnuStatistiques"))->text(),
                 QStringLiteral("&Statistiques…"));
        QPointer<StatisticsWindow> statistics = openStatistics();
        QVERIFY(statistics);
        QVERIFY(statistics->isVisible());
        QVERIFY(!QApplication::activeModalWidget());
        QCOMPARE(statistics->windowTitle(), QStringLiteral("Statistiques — F6XYZ"));
        QCOMPARE(statistics->statistics().contacts, 9);
        // Asked again: the same window, not a second one.
        QCOMPARE(openStatistics(), statistics.data());
        QCOMPARE(m_window->findChildren<StatisticsWindow *>().size(), 1);

        // The view chosen stays through every count.
        child<QTabWidget>(statistics, QStringLiteral("OngletsStatistiques"))->setCurrentIndex(1);
        LogFile &log = m_window->logFile();
        struct Change
        {
            const char *what;
            std::function<void()> make;
            int on20m, on40m, on2m;
        };
        const Change changes[] = {
            {"a contact from WSJT-X",
             [&] {
                 m_window->writeFromOutside([&] {
                     QCOMPARE(log.appendContact(onBand(10, k40m), "JN18EU"), LogStatus::Ok);
                 });
             },
             3, 4, 3},
            {"a contact changed",
             [&] { QCOMPARE(log.replaceContact(1, onBand(1, k2m)), LogStatus::Ok); }, 2, 4, 4},
            {"a contact deleted, as the operator does it",
             [&] {
                 m_window->showRecord(2);
                 QTest::mouseClick(button("BtKillFiche"), Qt::LeftButton);
                 QTest::mouseClick(button("FraCmdOui"), Qt::LeftButton);
             },
             2, 3, 4},
            {"the log sorted", [&] { trigger("MnuClasser"); }, 2, 3, 4},
        };
        for (const Change &change : changes) {
            change.make();
            auto counted = [&] {
                return contactsOn(statistics, "20m") == change.on20m &&
                       contactsOn(statistics, "40m") == change.on40m &&
                       contactsOn(statistics, "2m") == change.on2m;
            };
            QTRY_VERIFY2_WITH_TIMEOUT(counted(), change.what, 2000);
            QCOMPARE(statistics->statistics().contacts, change.on20m + change.on40m + change.on2m);
            QCOMPARE(child<QTabWidget>(statistics, QStringLiteral("OngletsStatistiques"))
                         ->currentIndex(),
                     1);
        }

        // Closed from the keyboard, it is gone; the menu opens a new one, counted afresh.
        statistics->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(statistics));
        QTest::keyClick(statistics, Qt::Key_Escape);
        QTRY_VERIFY(!statistics);
        statistics = openStatistics();
        QCOMPARE(statistics->statistics().contacts, 9);
    }

    // The sequence an operator follows: a bar clicked, its contacts listed, one
    // of them looked at; then the log sorted, then a contact deleted. The list
    // never goes on naming records that now hold other contacts.
    void aClickedBarIsListedAndNeverPointsAtMovedRecords()
    {
        startWith(nineContacts());
        StatisticsWindow *statistics = openStatistics();
        click20m(statistics);
        expect20mListed(statistics);
        QCOMPARE(listedRecords(), (std::vector<std::int32_t>{1, 4, 7}));
        QCOMPARE(m_window->shownRecord(), 1);
        // A click on a line shows its record, as any contacts line does.
        QTest::mouseClick(contactsList()->viewport(), Qt::LeftButton, {},
                          contactsList()->visualItemRect(contactsList()->item(1)).center());
        QCOMPARE(m_window->shownRecord(), 4);
        QCOMPARE(selectedRecord(), 4);

        // While the sort rewrites the log, the window is greyed: a click there
        // would list numbers the sort is changing.
        bool greyedWhileSorting = false;
        connect(m_window.get(), &MainWindow::busyChanged, this, [&](bool busy) {
            if (busy)
                greyedWhileSorting = !statistics->isEnabled();
        });
        trigger("MnuClasser");
        QVERIFY(greyedWhileSorting);
        QVERIFY(statistics->isEnabled());
        QVERIFY(contactsPanel()->isHidden());
        QTRY_COMPARE(statistics->statistics().records(
                         Chart::Bands, std::size_t(barOf(statistics, Chart::Bands, "20m"))),
                     (std::vector<std::int32_t>{3, 6, 9}));
        click20m(statistics);
        expect20mListed(statistics);

        // A deletion before the listed records moves them down one place.
        m_window->showRecord(1);
        QTest::mouseClick(button("BtKillFiche"), Qt::LeftButton);
        QTest::mouseClick(button("FraCmdOui"), Qt::LeftButton);
        QCOMPARE(m_window->logFile().recordCount(), 8);
        QVERIFY(contactsPanel()->isHidden());
        QTRY_COMPARE(statistics->statistics().contacts, 8);
        click20m(statistics);
        expect20mListed(statistics);
        QCOMPARE(listedRecords(), (std::vector<std::int32_t>{2, 5, 8}));
    }

    // While a question waits for "&Oui" or a panel holds the log, the record
    // view may not move: the contacts are not listed, and the operator is told why.
    void aClickWaitsForTheMainWindow_data()
    {
        QTest::addColumn<QString>("holding");
        QTest::newRow("a deletion waiting for its answer") << QStringLiteral("BtKillFiche");
        QTest::newRow("the label sheet") << QStringLiteral("MnuGestionFeuilleQSL");
    }
    void aClickWaitsForTheMainWindow()
    {
        QFETCH(QString, holding);
        startWith(nineContacts());
        m_window->showRecord(2);
        StatisticsWindow *statistics = openStatistics();
        if (holding.startsWith(QLatin1String("Mnu")))
            trigger(qPrintable(holding));
        else
            QTest::mouseClick(get<QPushButton>(holding), Qt::LeftButton);
        QVERIFY(m_window->mode() != WindowMode::List);

        QString told;
        bool answered = false;
        answerNextMessageBox(nullptr, &told, &answered);
        click20m(statistics);
        QTRY_VERIFY(answered);
        QVERIFY(told.contains(QStringLiteral("ensuite")));
        QVERIFY(contactsPanel()->isHidden());
        QCOMPARE(m_window->shownRecord(), 2);
        QCOMPARE(m_window->logFile().recordCount(), 9);
    }

    // Writes made while a command holds the whole log are counted once it has
    // let go, never in the middle.
    void greyedAndNotCountedWhileTheLogIsHeld()
    {
        startWith(nineContacts());
        StatisticsWindow *statistics = openStatistics();
        m_window->setBusy(true);
        QVERIFY(!statistics->isEnabled());
        QCOMPARE(m_window->logFile().appendContact(onBand(10, k20m), "JN18EU"), LogStatus::Ok);
        QTest::qWait(20);
        QCOMPARE(statistics->statistics().contacts, 9);
        m_window->setBusy(false);
        QVERIFY(statistics->isEnabled());
        QTRY_COMPARE(statistics->statistics().contacts, 10);
    }

    void anotherLogOrAnotherStationLocatorRecentresTheWindow()
    {
        startWith(nineContacts());
        const std::filesystem::path other = m_root->root() / "TM5X.Ham";
        writeRecords(other, {onBand(1, k40m), onBand(2, k40m)}, "IO91WM");
        StatisticsWindow *statistics = openStatistics();
        QCOMPARE(statistics->map()->stationLocator(), std::string("JN18EU"));

        whenModal([](QWidget *w) { return qobject_cast<QFileDialog *>(w) != nullptr; },
                  [other](QWidget *w) {
                      auto *dialog = static_cast<QFileDialog *>(w);
                      dialog->selectFile(QString::fromStdString(other.string()));
                      QMetaObject::invokeMethod(dialog, "accept");
                  });
        trigger("MnuAutreF");
        QTRY_COMPARE(statistics->statistics().contacts, 2);
        QCOMPARE(contactsOn(statistics, "40m"), 2);
        QCOMPARE(statistics->windowTitle(), QStringLiteral("Statistiques — TM5X"));
        QCOMPARE(statistics->map()->stationLocator(), std::string("IO91WM"));

        trigger("MnuCourantF");
        QTRY_COMPARE(statistics->statistics().contacts, 9);
        QCOMPARE(statistics->map()->stationLocator(), std::string("JN18EU"));

        // The station moved during an entry ("Changer de Locator").
        m_window->setMode(WindowMode::Entry);
        trigger("MnuChangerLocator");
        auto *locator = get<QLineEdit>(QStringLiteral("ChangLocText"));
        locator->selectAll();
        QTest::keyClicks(locator, QStringLiteral("JN03RO"));
        QTest::keyClick(locator, Qt::Key_Return);
        QTest::mouseClick(button("BtChangValid"), Qt::LeftButton);
        QCOMPARE(m_window->stationLocator(), std::string("JN03RO"));
        QCOMPARE(statistics->map()->stationLocator(), std::string("JN03RO"));
    }

    void theWindowGoesWithTheProgram()
    {
        startWith(nineContacts());
        QPointer<StatisticsWindow> statistics = openStatistics();
        trigger("MnuQuitter");
        QTRY_VERIFY(m_window->hasEnded());
        QTRY_VERIFY(!statistics);
    }
};

QTEST_MAIN(StatisticsCommandTest)
#include "tst_statisticscommand.moc"
