// SPDX-License-Identifier: GPL-3.0-or-later
// Finding contacts through the windows: the search field, "Voir contacts
// réalisés" during entry, "Classer le Fichier" and "Chercher les doublons",
// driven by their named controls. The rules themselves (matches, lines, the
// order) are the core's and tested there; these tests check the wiring.

#include "ui/helpers/uitest.h"

#include "common/filesizelimit.h"

#include "logbook/logfile.h"
#include "maintenance/search.h"
#include "maintenance/sort.h"
#include "ui/mainwindow.h"
#include "ui/qtext.h"

#include <QAction>
#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

#include <algorithm>
#include <memory>
#include <vector>

using namespace ondelog;
using namespace ondelog::test;

class MaintenanceTest : public StationWindowTest
{
    Q_OBJECT

    static std::vector<QsoRecord> contacts(int n)
    {
        std::vector<QsoRecord> records;
        for (int i = 1; i <= n; ++i)
            records.push_back(testContact(i));
        return records;
    }

    static QsoRecord withCall(QsoRecord r, const char *call)
    {
        r.setField(Field::CSGN, call);
        return r;
    }

    QListWidget *results() { return get<QListWidget>(QStringLiteral("ContactsListe")); }
    QListWidget *logList() { return get<QListWidget>(QStringLiteral("ListeLog")); }
    QLineEdit *searchText() { return get<QLineEdit>(QStringLiteral("RechText")); }
    QWidget *panel(const char *name) { return get<QWidget>(QString::fromLatin1(name)); }
    void trigger(const char *action)
    {
        child<QAction>(m_window.get(), QString::fromLatin1(action))->trigger();
    }

    void searchFor(const QString &text)
    {
        QTest::mouseClick(searchText(), Qt::LeftButton);
        QTest::keyClicks(searchText(), text);
        QTest::keyClick(searchText(), Qt::Key_Return);
    }

    std::vector<int> listedRecords()
    {
        std::vector<int> numbers;
        for (int i = 0; i < results()->count(); ++i) {
            // The number the line shows is the record it goes to.
            const QListWidgetItem *item = results()->item(i);
            static const QRegularExpression leadingNumber(QStringLiteral("^\\s*(\\d+)"));
            const int shown = leadingNumber.match(item->text()).captured(1).toInt();
            if (item->data(Qt::UserRole).toInt() != shown)
                return {};
            numbers.push_back(shown);
        }
        return numbers;
    }

    void expectShown(int n)
    {
        QCOMPARE(selectedRecord(), n);
        QCOMPARE(label("NoFicheLab"), QStringLiteral(" Fiche N°%1 ").arg(n));
        QCOMPARE(get<QLineEdit>(QStringLiteral("PageText1"))->text().toInt(), (n - 1) / 25 + 1);
        QCOMPARE(logList()->currentRow(), (n - 1) % 25);
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

    void searchListsThenGoesToEachRecord()
    {
        std::vector<QsoRecord> records = contacts(60);
        records[2] = withCall(records[2], "F5ABC");
        records[39] = withCall(records[39], "f5abc");
        records[40] = withCall(records[40], "F5ABC/P");
        records[41] = withCall(records[41], "F5ABCD");
        startWith(records);

        searchFor(QStringLiteral("f5abc"));
        QCOMPARE(searchText()->text(), QStringLiteral("F5ABC"));
        QVERIFY(panel("PictRech")->isHidden());
        QVERIFY(panel("PictContacts")->isVisible());
        QCOMPARE(listedRecords(), (std::vector<int>{3, 40, 41}));
        QCOMPARE(label("NbreContacts"), QStringLiteral("3"));
        QCOMPARE(label("ContactsLab"), QStringLiteral("Contacts réalisés"));
        expectShown(3); // the first line is chosen at once
        QVERIFY(button("BtActiveRech")->isHidden());

        QTest::mouseClick(results()->viewport(), Qt::LeftButton, {},
                          results()->visualItemRect(results()->item(2)).center());
        expectShown(41);

        // Deleted: the list is made again, its numbers follow the log.
        QTest::mouseClick(button("BtKillFiche"), Qt::LeftButton);
        QTest::mouseClick(button("FraCmdOui"), Qt::LeftButton);
        QCOMPARE(listedRecords(), (std::vector<int>{3, 40}));
        expectShown(3);

        QTest::mouseClick(button("BtContactsFermer"), Qt::LeftButton);
        QVERIFY(panel("PictContacts")->isHidden());
        QVERIFY(panel("PictRech")->isVisible());
        QVERIFY(searchText()->text().isEmpty());
        QVERIFY(logList()->hasFocus());

        searchFor(QStringLiteral("02 01 24")); // a date
        QCOMPARE(listedRecords(), std::vector<int>{1});
        QCOMPARE(label("ContactsLab"), QStringLiteral("Contact"));
        expectShown(1);
    }

    // Records named by another window (the statistics): listed under its
    // caption, each line going to its record; a deletion closes the list, whose
    // later numbers would now name other contacts.
    void givenRecordsListedThenClosedByADeletion()
    {
        startWith(contacts(60));
        m_window->listRecords({47, 3, 0, 61, 30}, QStringLiteral("Contacts sur 14 MHz"));
        QVERIFY(panel("PictContacts")->isVisible());
        QVERIFY(panel("PictRech")->isHidden());
        QCOMPARE(listedRecords(), (std::vector<int>{47, 3, 30}));
        QCOMPARE(label("NbreContacts"), QStringLiteral("3"));
        QCOMPARE(label("ContactsLab"), QStringLiteral("Contacts sur 14 MHz"));
        expectShown(47);
        QTest::mouseClick(results()->viewport(), Qt::LeftButton, {},
                          results()->visualItemRect(results()->item(1)).center());
        expectShown(3);

        QTest::mouseClick(button("BtKillFiche"), Qt::LeftButton);
        QTest::mouseClick(button("FraCmdOui"), Qt::LeftButton);
        QCOMPARE(m_window->logFile().recordCount(), 59);
        QVERIFY(panel("PictContacts")->isHidden());
        QVERIFY(panel("PictRech")->isVisible());
    }

    void recordBeyondFiveDigitsIsReached()
    {
        std::vector<QsoRecord> records(100000, testContact(1));
        records.back() = withCall(records.back(), "TM100K");
        startWith(records);
        searchFor(QStringLiteral("TM100K"));
        QCOMPARE(listedRecords(), std::vector<int>{100000});
        expectShown(100000);
    }

    void historyDuringEntryGivesTheFieldBack()
    {
        std::vector<QsoRecord> records = contacts(40);
        records[9] = withCall(records[9], "F5ABC");
        startWith(records);
        QTest::mouseClick(button("BtNewQSO"), Qt::LeftButton);
        typeText(field(1), QStringLiteral("F5ABC"));
        QTest::keyClick(field(1), Qt::Key_Return);
        QWidget *focused = QApplication::focusWidget();
        QVERIFY(focused && focused != field(1));
        QVERIFY(button("BtActiveRech")->isVisible());

        QTest::mouseClick(button("BtActiveRech"), Qt::LeftButton);
        QVERIFY(panel("PictContacts")->isVisible());
        QCOMPARE(listedRecords(), std::vector<int>{10});
        QCOMPARE(label("ContactsLab"), QStringLiteral("Contact réalisé"));
        QCOMPARE(logList()->currentRow(), 9);
        QVERIFY(!panel("PictListe")->isEnabled()); // the entry goes on
        QCOMPARE(field(1)->text(), QStringLiteral("F5ABC"));
        QCOMPARE(QApplication::focusWidget(), focused);
        QVERIFY(!button("BtNewQSO")->isEnabled());
        QVERIFY(!button("BtFermerLog")->isEnabled());

        QTest::mouseClick(button("BtContactsFermer"), Qt::LeftButton);
        QVERIFY(panel("PictContacts")->isHidden());
        QCOMPARE(QApplication::focusWidget(), focused);
    }

    void sortOrdersTheLogAndShowsItsLastPage()
    {
        std::vector<QsoRecord> records = contacts(30);
        std::reverse(records.begin(), records.end());
        records[0].setField(Field::DQSO, "10/05/04");
        records[1].setField(Field::DQSO, "15/05/03");
        startWith(records);
        std::vector<QsoRecord> expected = records;
        std::stable_sort(expected.begin(), expected.end(),
                         [](const QsoRecord &a, const QsoRecord &b) {
                             return sortKeyOf(a.bytes().data()) < sortKeyOf(b.bytes().data());
                         });
        std::string sorted;
        for (const QsoRecord &r : expected)
            sorted.append(r.bytes().data(), kRecordSize);
        const QsoRecord marker = QsoRecord::endMarker("JN18EU");
        sorted.append(marker.bytes().data(), kRecordSize);

        // Not during entry.
        QTest::mouseClick(button("BtNewQSO"), Qt::LeftButton);
        const std::string before = logBytes();
        trigger("MnuClasser");
        QCOMPARE(logBytes(), before);
        QTest::mouseClick(button("BtEnrTerminer"), Qt::LeftButton);
        // Nor under the label sheet, whose labels name contacts by number.
        trigger("MnuGestionFeuilleQSL");
        QVERIFY(panel("PictFeuilleQSL")->isVisible());
        trigger("MnuClasser");
        trigger("MnuDoublons");
        QCOMPARE(logBytes(), before);
        QVERIFY(panel("PictContacts")->isHidden());
        button("BtQuitQSL")->click();

        trigger("MnuDoublons"); // its list takes "&Nouveau QSO" and "Fermer le Log" away
        QVERIFY(!button("BtNewQSO")->isEnabled());
        trigger("MnuClasser");
        QCOMPARE(logBytes(), sorted);
        QVERIFY(panel("PictContacts")->isHidden());
        QVERIFY(button("BtNewQSO")->isEnabled());
        QVERIFY(button("BtFermerLog")->isEnabled());
        QCOMPARE(label("LabEtat1"), QStringLiteral("30"));
        QCOMPARE(label("ClasserLab"), QStringLiteral(" Terminé "));
        QVERIFY(panel("PictClasser")->isHidden());
        QVERIFY(panel("PictListe")->isEnabled());
        QVERIFY(panel("PictFiche")->isEnabled());
        QCOMPARE(get<QLineEdit>(QStringLiteral("PageText1"))->text(), QStringLiteral("2"));
        QCOMPARE(logList()->currentRow(), 4);
        QCOMPARE(selectedRecord(), 30);
    }

    void failedSortSaysSoAndKeepsTheLog()
    {
        std::vector<QsoRecord> records = contacts(400);
        std::reverse(records.begin(), records.end());
        startWith(records);
        const std::string before = logBytes();
        QString message;
        answerNextMessageBox(nullptr, &message);
        {
            FileSizeLimit full(before.size() / 2);
            QVERIFY(full.ok());
            trigger("MnuClasser");
        }
        QVERIFY(message.startsWith(QStringLiteral("Le log n'a pas été classé")));
        QVERIFY(message.contains(QStringLiteral("disque est plein")));
        QCOMPARE(logBytes(), before);
        QVERIFY(panel("PictClasser")->isHidden());
        QVERIFY(panel("PictListe")->isEnabled());
        QCOMPARE(m_window->logFile().recordCount(), 400);
    }

    void duplicatesListedAgainAfterADeletion()
    {
        std::vector<QsoRecord> records = contacts(20);
        records[2] = records[1];
        records[2].setField(Field::MODE, "CW"); // the mode is not compared
        records[10] = records[9];
        startWith(records);

        trigger("MnuDoublons");
        QVERIFY(panel("PictContacts")->isVisible());
        QCOMPARE(listedRecords(), (std::vector<int>{2, 10}));
        QCOMPARE(label("ContactsLab"), QStringLiteral("Doublons trouvés"));
        expectShown(2);
        QVERIFY(button("BtKillFiche")->isEnabled());
        QVERIFY(!button("BtNewQSO")->isEnabled());

        QTest::mouseClick(button("BtKillFiche"), Qt::LeftButton);
        QTest::mouseClick(button("FraCmdOui"), Qt::LeftButton);
        QCOMPARE(m_window->logFile().recordCount(), 19);
        QCOMPARE(listedRecords(), std::vector<int>{9}); // from the first record again
        QCOMPARE(label("ContactsLab"), QStringLiteral("Doublon trouvé"));
        expectShown(9);
    }
};

QTEST_MAIN(MaintenanceTest)
#include "tst_maintenance.moc"
