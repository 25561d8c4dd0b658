// SPDX-License-Identifier: GPL-3.0-or-later
// The entry of new contacts, driven key by key through the named fields and
// buttons as an operator would, and checked in the log file byte by byte.

#include "common/filesizelimit.h"
#include "ui/helpers/uitest.h"

#include "geo/calendar.h"
#include "logbook/entryfields.h"
#include "logbook/logfile.h"
#include "ui/contacteditor.h"
#include "ui/mainwindow.h"
#include "ui/qtext.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace ondelog;
using namespace ondelog::test;

namespace {

std::string recordOf(const std::string &bytes, int n)
{
    return bytes.substr(static_cast<std::size_t>(n - 1) * kRecordSize, kRecordSize);
}

std::string bytesOf(const QsoRecord &record)
{
    return std::string(record.bytes().data(), record.bytes().size());
}

const QColor kLightOrange(0xFF, 0xE0, 0xC0);
const QColor kGreen(0x00, 0xFF, 0x00);
const QColor kLightGreen(0xC0, 0xFF, 0xC0);
const QColor kLightYellow(0xFF, 0xFF, 0xC0);

} // namespace

class EntryTest : public StationWindowTest
{
    Q_OBJECT

    // The field that has the focus, or -1 ("Suivant") or 0 (anything else).
    int focusedField()
    {
        QWidget *focus = QApplication::focusWidget();
        if (focus == button("BtEnrSuivant"))
            return -1;
        for (int i = 1; i <= 17; ++i)
            if (focus == field(i))
                return i;
        return 0;
    }

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

    void newQso() { QTest::mouseClick(button("BtNewQSO"), Qt::LeftButton); }

    // Call sign, frequency, mode and both reports: "Suivant" is then enabled.
    void typeShortContact(const QString &call)
    {
        typeEnter(call);
        typeEnter(QStringLiteral("14.205"));
        typeEnter(QStringLiteral("SSB"));
        typeEnter(QString(), false);
        typeEnter(QString(), false);
    }

    // Record 4 of a log of three, as the whole real-time contact below types it.
    QsoRecord expectedContact()
    {
        QsoRecord r;
        r.setField(Field::CSGN, "F1ABC");
        r.setField(Field::DQSO, "14/03/24");
        r.setField(Field::HDEB, "18:42");
        r.setField(Field::HFIN, "18:45");
        r.setField(Field::FREQ, "14.205");
        r.setField(Field::MODE, "SSB");
        r.setField(Field::SRST, "59");
        r.setField(Field::MRST, "59");
        r.setField(Field::SQTH, "SAINT-\xC9TIENNE");
        r.setField(Field::SLOC, "JN25RK");
        r.setField(Field::DEPT, "05");
        r.setField(Field::SNOM, "Jean-Pierre");
        r.setField(Field::INFO, "ABC            XYZ            ");
        r.setField(Field::MLOC, "JN18EU");
        return r;
    }

  private slots:
    void initTestCase() { initWindowTests(); }

    void init()
    {
        m_clock.set(makeDateTime(2024, 3, 14, 18, 42, 7));
        m_root = std::make_unique<DataRoot>();
    }

    void cleanup()
    {
        cancelModalWatches();
        m_window.reset();
        m_root.reset();
    }

    void newQsoOpensAnEmptyContact()
    {
        start(3);
        newQso();
        QVERIFY(get<QFrame>(QStringLiteral("PictMenu"))->isHidden());
        QVERIFY(get<QWidget>(QStringLiteral("PictEnrs"))->isVisible());
        QVERIFY(!get<QFrame>(QStringLiteral("PictListe"))->isEnabled());
        QVERIFY(get<QFrame>(QStringLiteral("PictRech"))->isHidden());
        QVERIFY(button("BtActiveRech")->isHidden());
        QCOMPARE(label("NoFicheLab"), QStringLiteral(" Charger fiche N° 4"));
        QVERIFY(!button("BtEnrSuivant")->isEnabled());
        QCOMPARE(button("BtEnrSuivant")->palette().color(QPalette::Button), kLightOrange);
        QVERIFY(!button("BtEnrAnnuler")->isEnabled());
        QCOMPARE(field(16)->text(), QStringLiteral("JN18EU"));
        for (int i = 1; i <= 15; ++i)
            QCOMPARE(field(i)->text(), QString());
        QCOMPARE(focusedField(), 1);
        QCOMPARE(field(1)->palette().color(QPalette::Base), kLightGreen);
        // The last line is still selected under the disabled list.
        QCOMPARE(selectedRecord(), 3);
    }

    void aWholeContactInRealTime()
    {
        start(3);
        newQso();
        typeEnter(QStringLiteral("f1abc"));
        QCOMPARE(field(1)->text(), QStringLiteral("F1ABC"));
        QCOMPARE(field(2)->text(), QStringLiteral("14/03/24"));
        QCOMPARE(field(3)->text(), QStringLiteral("18:42"));
        QVERIFY(button("BtActiveRech")->isVisible());
        QVERIFY(button("BtEnrAnnuler")->isEnabled());
        QCOMPARE(focusedField(), 5);
        typeEnter(QStringLiteral("14.205"));
        QCOMPARE(focusedField(), 6);
        typeEnter(QStringLiteral("ssb"));
        QCOMPARE(focusedField(), 7);
        QCOMPARE(field(7)->text(), QStringLiteral("59")); // offered, caret after it
        QCOMPARE(field(7)->cursorPosition(), 2);
        // Enter on emptied reports stores "59" all the same.
        typeEnter(QString());
        QCOMPARE(focusedField(), 8);
        QVERIFY(!button("BtEnrSuivant")->isEnabled());
        typeEnter(QString());
        QVERIFY(button("BtEnrSuivant")->isEnabled());
        QCOMPARE(button("BtEnrSuivant")->palette().color(QPalette::Button), kGreen);
        QCOMPARE(focusedField(), 12);
        typeEnter(QStringLiteral("jEAN-pierre"));
        QCOMPARE(field(12)->text(), QStringLiteral("Jean-Pierre"));
        QCOMPARE(focusedField(), 9);
        typeEnter(QStringLiteral("saint-étienne"));
        QCOMPARE(focusedField(), 11);
        typeEnter(QStringLiteral("5"));
        QCOMPARE(field(11)->text(), QStringLiteral("05"));
        QCOMPARE(label("LabDept"), QStringLiteral("Hautes-Alpes"));
        QCOMPARE(focusedField(), 10);
        typeEnter(QStringLiteral("jn25rk"));
        QVERIFY(label("LabDist").endsWith(QStringLiteral(" Km")));
        QVERIFY(label("LabAzim").endsWith(QStringLiteral("°")));
        QCOMPARE(focusedField(), 13);
        typeEnter(QStringLiteral("abc"));
        QCOMPARE(focusedField(), 14);
        typeEnter(QString());
        QCOMPARE(focusedField(), 15);
        typeEnter(QString());
        QCOMPARE(focusedField(), 17);
        typeEnter(QStringLiteral("xyz"));
        QCOMPARE(focusedField(), -1);

        const std::string before = logBytes();
        m_clock.advance(3 * 60);
        // Enter on "Suivant" stores, as a click would.
        QTest::keyClick(button("BtEnrSuivant"), Qt::Key_Return);

        const std::string after = logBytes();
        QCOMPARE(after.size(), before.size() + kRecordSize);
        QCOMPARE(after.substr(0, 3 * kRecordSize), before.substr(0, 3 * kRecordSize));
        QCOMPARE(recordOf(after, 4), bytesOf(expectedContact()));
        QCOMPARE(recordOf(after, 4).substr(113, 30), std::string("ABC            XYZ            "));
        QCOMPARE(recordOf(after, 5), bytesOf(QsoRecord::endMarker("JN18EU")));

        // The next contact is ready, its frequency and mode remembered.
        QCOMPARE(label("NoFicheLab"), QStringLiteral(" Charger fiche N° 5"));
        QCOMPARE(field(1)->text(), QString());
        QCOMPARE(focusedField(), 1);
        QVERIFY(!button("BtEnrSuivant")->isEnabled());
        auto *list = get<QListWidget>(QStringLiteral("ListeLog"));
        QVERIFY(list->item(list->count() - 1)->text().startsWith(QStringLiteral("4      : F1ABC")));
        typeEnter(QStringLiteral("F2XYZ"));
        QCOMPARE(field(5)->text(), QStringLiteral("14.205"));
        typeEnter(QString(), false);
        QCOMPARE(field(6)->text(), QStringLiteral("SSB"));
    }

    // The frequency and mode the radio reports are offered in their empty
    // fields, before the ones typed last; Enter alone confirms them, typing
    // replaces them.
    void theRadiosFrequencyAndModeAreOffered()
    {
        start(3);
        m_window->proposeEntryValues("14.074", "FT8");
        newQso();
        typeEnter(QStringLiteral("f1abc"));
        QCOMPARE(focusedField(), 5);
        QCOMPARE(field(5)->selectedText(), QStringLiteral("14.074"));
        typeEnter(QString(), false);
        QCOMPARE(field(6)->selectedText(), QStringLiteral("FT8"));
        typeEnter(QStringLiteral("ft4"));
        typeEnter(QString(), false);
        typeEnter(QString(), false);
        QTest::mouseClick(button("BtEnrSuivant"), Qt::LeftButton);
        const QsoRecord stored = m_window->logFile().readRecord(4).value_or(QsoRecord());
        QCOMPARE(stored.field(Field::FREQ), std::string("14.074"));
        QCOMPARE(stored.field(Field::MODE), std::string("FT4"));

        typeEnter(QStringLiteral("f2abc"));
        typeEnter(QString(), false);
        QCOMPARE(field(6)->text(), QStringLiteral("FT8"));
        // None any more: the last ones typed are offered again.
        m_window->proposeEntryValues({}, {});
        QTest::mouseClick(button("BtEnrAnnuler"), Qt::LeftButton);
        typeEnter(QStringLiteral("f2abc"));
        typeEnter(QString(), false);
        QCOMPARE(field(6)->text(), QStringLiteral("FT4"));
    }

    void aDeferredContactAndTheDateOfferedAgain()
    {
        start(0);
        newQso();
        QTest::mouseClick(get<QRadioButton>(QStringLiteral("OptionEnr2")), Qt::LeftButton);
        QCOMPARE(focusedField(), 1);
        typeEnter(QStringLiteral("F5XYZ"));
        QCOMPARE(focusedField(), 2);
        typeEnter(QStringLiteral("14/03/2")); // a date of 7 characters is not taken
        QCOMPARE(focusedField(), 2);
        typeEnter(QStringLiteral("31/02/24")); // nor an impossible one
        QCOMPARE(focusedField(), 2);
        typeEnter(QStringLiteral("02/01/24"));
        QCOMPARE(focusedField(), 3);
        typeEnter(QStringLiteral("24:10"));
        QCOMPARE(focusedField(), 3);
        typeEnter(QStringLiteral("23:10"));
        typeEnter(QStringLiteral("23:25"));
        QCOMPARE(focusedField(), 5);
        typeEnter(QStringLiteral("7.088"));
        typeEnter(QStringLiteral("CW"));
        typeEnter(QStringLiteral("579"));
        typeEnter(QStringLiteral("+10"));
        QCOMPARE(field(8)->text(), QStringLiteral("+10"));
        QTest::mouseClick(button("BtEnrSuivant"), Qt::LeftButton);

        QsoRecord first;
        first.setField(Field::CSGN, "F5XYZ");
        first.setField(Field::DQSO, "02/01/24");
        first.setField(Field::HDEB, "23:10");
        first.setField(Field::HFIN, "23:25");
        first.setField(Field::FREQ, "7.088");
        first.setField(Field::MODE, "CW");
        first.setField(Field::SRST, "579");
        first.setField(Field::MRST, "+10");
        first.setField(Field::MLOC, "JN18EU");
        std::string bytes = logBytes();
        QCOMPARE(bytes.size(), 2 * kRecordSize);
        QCOMPARE(recordOf(bytes, 1), bytesOf(first));
        QCOMPARE(recordOf(bytes, 2), bytesOf(QsoRecord::endMarker("JN18EU")));

        // The next contact offers the last date, frequency and mode.
        typeEnter(QStringLiteral("F6ABC"));
        QCOMPARE(field(2)->text(), QStringLiteral("02/01/24"));
        typeEnter(QString(), false);
        typeEnter(QStringLiteral("23:40"));
        typeEnter(QStringLiteral("23:45"));
        typeEnter(QString(), false);
        typeEnter(QString(), false);
        typeEnter(QString(), false);
        typeEnter(QString(), false);
        QTest::mouseClick(button("BtEnrTerminer"), Qt::LeftButton);
        bytes = logBytes();
        QCOMPARE(bytes.size(), 3 * kRecordSize);
        const QsoRecord second = [] {
            QsoRecord r;
            r.setField(Field::CSGN, "F6ABC");
            r.setField(Field::DQSO, "02/01/24");
            r.setField(Field::HDEB, "23:40");
            r.setField(Field::HFIN, "23:45");
            r.setField(Field::FREQ, "7.088");
            r.setField(Field::MODE, "CW");
            r.setField(Field::SRST, "59");
            r.setField(Field::MRST, "59");
            r.setField(Field::MLOC, "JN18EU");
            return r;
        }();
        QCOMPARE(recordOf(bytes, 2), bytesOf(second));
        QCOMPARE(recordOf(bytes, 3), bytesOf(QsoRecord::endMarker("JN18EU")));
    }

    void aContactAcrossMidnightKeepsItsDate()
    {
        start(1);
        m_clock.set(makeDateTime(2024, 12, 31, 23, 59, 30));
        newQso();
        typeShortContact(QStringLiteral("F1ABC"));
        m_clock.set(makeDateTime(2025, 1, 1, 0, 1, 5));
        QTest::mouseClick(button("BtEnrSuivant"), Qt::LeftButton);
        const std::string stored = recordOf(logBytes(), 2);
        QCOMPARE(stored.substr(15, 8), std::string("31/12/24"));
        QCOMPARE(stored.substr(23, 5), std::string("23:59"));
        QCOMPARE(stored.substr(28, 5), std::string("00:01"));
    }

    void finishingRightAwayWritesNothing()
    {
        start(30);
        const std::string before = logBytes();
        newQso();
        QTest::mouseClick(button("BtEnrTerminer"), Qt::LeftButton);
        QCOMPARE(logBytes(), before);
        QVERIFY(get<QWidget>(QStringLiteral("PictEnrs"))->isHidden());
        QVERIFY(get<QFrame>(QStringLiteral("PictMenu"))->isVisible());
        QVERIFY(get<QFrame>(QStringLiteral("PictListe"))->isEnabled());
        QVERIFY(get<QFrame>(QStringLiteral("PictRech"))->isVisible());
        QVERIFY(!m_window->isEntrySession());
        QCOMPARE(get<QLineEdit>(QStringLiteral("PageText1"))->text(), QStringLiteral("2"));
        QCOMPARE(selectedRecord(), 30);
        QCOMPARE(label("NoFicheLab"), QStringLiteral(" Fiche N°30 "));
        QVERIFY(get<QListWidget>(QStringLiteral("ListeLog"))->hasFocus());
    }

    void finishingStoresAndShowsTheNewLastPage()
    {
        start(25);
        newQso();
        typeShortContact(QStringLiteral("F1ABC"));
        QTest::mouseClick(button("BtEnrTerminer"), Qt::LeftButton);
        QCOMPARE(m_window->logFile().recordCount(), 26);
        QCOMPARE(get<QLineEdit>(QStringLiteral("PageText1"))->text(), QStringLiteral("2"));
        QCOMPARE(selectedRecord(), 26);
        QCOMPARE(field(1)->text(), QStringLiteral("F1ABC"));
        QCOMPARE(field(1)->palette().color(QPalette::Base),
                 QLineEdit().palette().color(QPalette::Base));
        QVERIFY(button("BtKillFiche")->isEnabled());
        QVERIFY(get<QPushButton>(QStringLiteral("CmdSensHaut"))->isEnabled());
    }

    void finishingAnEmptyLogClearsWhatWasTyped()
    {
        start(0);
        newQso();
        typeEnter(QStringLiteral("F1ABC"));
        QTest::mouseClick(button("BtEnrTerminer"), Qt::LeftButton);
        QCOMPARE(m_window->logFile().recordCount(), 0);
        QCOMPARE(field(1)->text(), QString());
        QCOMPARE(field(2)->text(), QString());
        QVERIFY(button("BtActiveRech")->isHidden());
        QVERIFY(!button("BtKillFiche")->isEnabled());
    }

    void cancelDropsTheContact()
    {
        start(3);
        const std::string before = logBytes();
        newQso();
        typeShortContact(QStringLiteral("F1ABC"));
        QTest::mouseClick(button("BtEnrAnnuler"), Qt::LeftButton);
        QCOMPARE(logBytes(), before);
        QCOMPARE(field(1)->text(), QString());
        QCOMPARE(field(8)->text(), QString());
        QCOMPARE(label("NoFicheLab"), QStringLiteral(" Charger fiche N° 4"));
        QVERIFY(!button("BtEnrAnnuler")->isEnabled());
        QVERIFY(!button("BtEnrSuivant")->isEnabled());
        QCOMPARE(focusedField(), 1);
    }

    void textLeftWithoutEnterIsNotStored()
    {
        start(3);
        newQso();
        typeShortContact(QStringLiteral("F1ABC"));
        QCOMPARE(focusedField(), 12);
        QTest::keyClicks(field(12), QStringLiteral("Jean"));
        QTest::keyClick(field(12), Qt::Key_Tab);
        QCOMPARE(field(12)->text(), QString());
        // A confirmed value typed over and left keeps the confirmed one.
        field(5)->setFocus();
        field(5)->clear();
        QTest::keyClicks(field(5), QStringLiteral("7.1"));
        field(9)->setFocus(Qt::MouseFocusReason);
        QCOMPARE(field(5)->text(), QStringLiteral("14.205"));
        QTest::keyClicks(field(9), QStringLiteral("Lyon"));
        QTest::mouseClick(button("BtEnrSuivant"), Qt::LeftButton);
        const std::string stored = recordOf(logBytes(), 4);
        QCOMPARE(stored.substr(98, 15), std::string(15, ' ')); // SNOM
        QCOMPARE(stored.substr(33, 10), std::string("14.205    "));
        QCOMPARE(stored.substr(64, 25), std::string(25, ' ')); // SQTH
    }

    void keysAreFilteredFieldByField_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("call sign in upper case") << 1 << "f1abc/p"
                                                 << "F1ABC/P";
        QTest::newRow("date: digits . / :") << 2 << "1x4/03-/24"
                                            << "14/03/24";
        QTest::newRow("département: digits only") << 11 << "9a7-1"
                                                  << "971";
        QTest::newRow("accents upper-cased") << 9 << "saint-étienne"
                                             << "SAINT-ÉTIENNE";
        QTest::newRow("remarks cut at 15") << 13 << "abcdefghijklmnopq"
                                           << "ABCDEFGHIJKLMNO";
    }
    void keysAreFilteredFieldByField()
    {
        QFETCH(int, field);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        start(0);
        newQso();
        QLineEdit *edit = this->field(field);
        edit->setFocus();
        edit->clear();
        typeText(edit, typed);
        QCOMPARE(edit->text(), shown);
        // Pasted text goes through the same filter, before it is cut to the width.
        edit->clear();
        QGuiApplication::clipboard()->setText(typed);
        QTest::keySequence(edit, QKeySequence::Paste);
        QCOMPARE(edit->text(), shown);
    }

    void aRefusedKeyKeepsTheSelection()
    {
        start(0);
        newQso();
        field(7)->setFocus();
        QCOMPARE(field(7)->text(), QStringLiteral("59"));
        field(7)->selectAll();
        QTest::keyClick(field(7), Qt::Key_X);
        QCOMPARE(field(7)->text(), QStringLiteral("59"));
        QTest::keyClick(field(7), Qt::Key_Backspace);
        QCOMPARE(field(7)->text(), QString());
        // Nor does what comes otherwise (a drop here), nor what the log's code
        // page cannot hold.
        field(1)->setFocus();
        field(1)->insert(QStringLiteral("f1Ωa€"));
        QCOMPARE(field(1)->text(), QStringLiteral("F1A€"));
    }

    void wrongValuesShowErreurForASecond_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("typed");
        QTest::newRow("locator") << 10 << "ZZ99ZZ";
        QTest::newRow("unknown département") << 11 << "96";
        QTest::newRow("call sign that would end the log") << 1 << "\\F1ABC";
    }
    void wrongValuesShowErreurForASecond()
    {
        QFETCH(int, field);
        QFETCH(QString, typed);
        start(2);
        newQso();
        QLineEdit *edit = this->field(field);
        edit->setFocus();
        QString during;
        bool readOnly = false;
        QTimer::singleShot(1, m_window.get(), [&] {
            during = edit->text();
            readOnly = edit->isReadOnly();
            // What is typed during the second is the value typed again: kept,
            // through the field's filter, but Enter meanwhile takes nothing.
            QTest::keyClicks(edit, QStringLiteral("1x3"));
            QTest::keyClick(edit, Qt::Key_Backspace);
            QTest::keyClicks(edit, QStringLiteral("2"));
            QTest::keyClick(edit, Qt::Key_Return);
        });
        typeEnter(typed);
        QCOMPARE(during, QStringLiteral("ERREUR"));
        QVERIFY(readOnly);
        QCOMPARE(edit->text(), field == 11 ? QStringLiteral("12") : QStringLiteral("1X2"));
        QVERIFY(!edit->isReadOnly());
        QVERIFY(edit->hasFocus());
        QCOMPARE(m_window->logFile().recordCount(), 2);
        QVERIFY(m_window->contactEditor()->entrySession().fieldText(field).empty());
        // The field works again at once.
        if (field == 11) {
            typeEnter(QStringLiteral("971"));
            QCOMPARE(edit->text(), QStringLiteral("971"));
            QCOMPARE(label("LabDept"), QStringLiteral("Guadeloupe"));
        }
    }

    void focusColoursAndTheWayBackToTheCallSign()
    {
        start(0);
        newQso();
        typeEnter(QStringLiteral("F1ABC"));
        QCOMPARE(field(1)->palette().color(QPalette::Base), kLightYellow);
        QCOMPARE(field(5)->palette().color(QPalette::Base), kLightGreen);
        typeEnter(QStringLiteral("14.205"));
        QCOMPARE(field(5)->palette().color(QPalette::Base),
                 QLineEdit().palette().color(QPalette::Base));
        // A begun contact whose call sign is emptied wants it back first.
        field(1)->setFocus();
        typeEnter(QString());
        field(9)->setFocus();
        QCOMPARE(focusedField(), 1);
        QTest::mouseClick(field(13), Qt::LeftButton);
        QCOMPARE(focusedField(), 1);
        QCOMPARE(field(13)->palette().color(QPalette::Base),
                 QLineEdit().palette().color(QPalette::Base));
    }

    void aPressInTheOwnLocatorChangesTheStationLocator()
    {
        start(1);
        newQso();
        typeShortContact(QStringLiteral("F1ABC"));
        QTest::mouseClick(field(16), Qt::LeftButton);
        auto *panel = get<QFrame>(QStringLiteral("PictChangLocator"));
        QVERIFY(panel->isVisible());
        auto *text = get<QLineEdit>(QStringLiteral("ChangLocText"));
        text->selectAll();
        QTest::keyClicks(text, QStringLiteral("jn19aa"));
        QTest::keyClick(text, Qt::Key_Return);
        QTest::mouseClick(button("BtChangValid"), Qt::LeftButton);
        QVERIFY(panel->isHidden());
        QCOMPARE(field(16)->text(), QStringLiteral("JN19AA"));
        QCOMPARE(focusedField(), 16);

        QTest::mouseClick(button("BtEnrSuivant"), Qt::LeftButton);
        const std::string bytes = logBytes();
        QCOMPARE(recordOf(bytes, 2).substr(159, 6), std::string("JN19AA"));
        QCOMPARE(recordOf(bytes, 3), bytesOf(QsoRecord::endMarker("JN19AA")));
        QCOMPARE(field(16)->text(), QStringLiteral("JN19AA")); // the next contact too

        // The panel belongs to the entry: "Terminer" closes it.
        get<QAction>(QStringLiteral("MnuChangerLocator"))->trigger();
        QVERIFY(panel->isVisible());
        QTest::mouseClick(button("BtEnrTerminer"), Qt::LeftButton);
        QVERIFY(panel->isHidden());
        QCOMPARE(field(16)->text(), QStringLiteral("JN19AA")); // record 2, as stored
        get<QAction>(QStringLiteral("MnuChangerLocator"))->trigger();
        QVERIFY(panel->isHidden());
    }

    // Typing over a proposed date, frequency or mode replaces it, as the French
    // operator types it (decimal comma, four-digit year); Enter alone confirms it.
    void typingReplacesWhatIsProposed()
    {
        start(0);
        newQso();
        QTest::mouseClick(get<QRadioButton>(QStringLiteral("OptionEnr2")), Qt::LeftButton);
        typeEnter(QStringLiteral("F1ABC"));
        typeEnter(QStringLiteral("30/04/24"));
        typeEnter(QStringLiteral("10:00"));
        typeEnter(QStringLiteral("10:05"));
        typeEnter(QStringLiteral("14,205")); // a decimal comma is a point
        QCOMPARE(field(5)->text(), QStringLiteral("14.205"));
        typeEnter(QStringLiteral("SSB"));
        typeEnter(QString(), false);
        typeEnter(QString(), false);
        QTest::mouseClick(button("BtEnrSuivant"), Qt::LeftButton);

        struct Step
        {
            int field;
            QString typed; // typed over the proposal, without clearing it first
            QString shown;
        };
        const Step steps[] = {
            {1, QStringLiteral("F2XYZ"), QStringLiteral("F2XYZ")},
            {2, QStringLiteral("01/05/24"), QStringLiteral("01/05/24")},
            {3, QStringLiteral("11:00"), QStringLiteral("11:00")},
            {4, QStringLiteral("11:02"), QStringLiteral("11:02")},
            {5, QStringLiteral("7.025"), QStringLiteral("7.025")},
            {6, QStringLiteral("cw"), QStringLiteral("CW")},
            {7, QStringLiteral("9"), QStringLiteral("599")}, // the report keeps its "59"
            {8, QString(), QStringLiteral("59")},
        };
        for (const Step &step : steps) {
            QCOMPARE(focusedField(), step.field);
            typeEnter(step.typed, false);
            QCOMPARE(field(step.field)->text(), step.shown);
        }
        QTest::mouseClick(button("BtEnrSuivant"), Qt::LeftButton);
        std::string stored = recordOf(logBytes(), 2);
        QCOMPARE(stored.substr(15, 8), std::string("01/05/24"));
        QCOMPARE(stored.substr(33, 10), std::string("7.025     "));
        QCOMPARE(stored.substr(43, 5), std::string("CW   "));
        QCOMPARE(stored.substr(48, 4), std::string("599 "));

        // Enter alone confirms the proposals; a four-digit year is shortened,
        // one that two digits cannot name is an error.
        typeEnter(QStringLiteral("F3AAA"), false);
        QCOMPARE(field(2)->selectedText(), QStringLiteral("01/05/24"));
        QString during;
        QTimer::singleShot(1, m_window.get(), [&] { during = field(2)->text(); });
        typeEnter(QStringLiteral("05/01/2099"), false);
        QCOMPARE(during, QString::fromLatin1(kErrorText));
        QCOMPARE(focusedField(), 2);
        typeEnter(QStringLiteral("05/01/2024"), false);
        QCOMPARE(field(2)->text(), QStringLiteral("05/01/24"));
        typeEnter(QStringLiteral("12:00"));
        typeEnter(QStringLiteral("12:01"));
        typeEnter(QString(), false);
        typeEnter(QString(), false);
        QCOMPARE(field(5)->text(), QStringLiteral("7.025"));
        QCOMPARE(field(6)->text(), QStringLiteral("CW"));
    }

    // A contact on screen is never dropped without asking: not by closing the
    // program, nor by "Terminer" before its reports are confirmed.
    void aContactBegunIsNotDroppedWithoutAsking_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("stored");
        QTest::addColumn<bool>("stillOpen");
        for (const char *how : {"menu", "close box", "Terminer"}) {
            QTest::addRow("%s, Oui", how) << how << int(QMessageBox::Yes) << true << false;
            QTest::addRow("%s, Non", how) << how << int(QMessageBox::No) << false << false;
            QTest::addRow("%s, Annuler", how) << how << int(QMessageBox::Cancel) << false << true;
        }
    }
    void aContactBegunIsNotDroppedWithoutAsking()
    {
        QFETCH(QString, how);
        QFETCH(int, answer);
        QFETCH(bool, stored);
        QFETCH(bool, stillOpen);
        start(3);
        const std::string before = logBytes();
        newQso();
        typeEnter(QStringLiteral("F1ABC"));
        typeEnter(QStringLiteral("14.205"));
        typeEnter(QStringLiteral("SSB"));
        QCOMPARE(focusedField(), 7);

        QString question;
        whenModal([](QWidget *w) { return qobject_cast<QMessageBox *>(w) != nullptr; },
                  [&](QWidget *w) {
                      auto *box = static_cast<QMessageBox *>(w);
                      question = box->text();
                      box->button(QMessageBox::StandardButton(answer))->click();
                  });
        if (how == QLatin1String("menu"))
            get<QAction>(QStringLiteral("MnuQuitter"))->trigger();
        else if (how == QLatin1String("close box"))
            m_window->close();
        else
            QTest::mouseClick(button("BtEnrTerminer"), Qt::LeftButton);
        QVERIFY2(question.contains(QStringLiteral("F1ABC")), qPrintable(question));

        const std::string after = logBytes();
        if (stored) {
            QCOMPARE(after.size(), before.size() + kRecordSize);
            const std::string contact = recordOf(after, 4);
            QCOMPARE(contact.substr(0, 5), std::string("F1ABC"));
            QCOMPARE(contact.substr(48, 16), std::string("59      59      "));
        } else {
            QCOMPARE(after, before);
        }
        if (how == QLatin1String("Terminer")) {
            QCOMPARE(m_window->isEntrySession(), stillOpen);
        } else {
            QCOMPARE(m_window->hasEnded(), !stillOpen);
            QCOMPARE(m_window->isVisible(), stillOpen);
        }
        if (stillOpen)
            QCOMPARE(field(1)->text(), QStringLiteral("F1ABC"));
        if (stillOpen && how != QLatin1String("Terminer"))
            QTRY_COMPARE(focusedField(), 7); // back to the report being typed
    }

    void closingWithNothingConfirmedAsksNothing()
    {
        start(3);
        newQso();
        QTest::keyClicks(field(1), QStringLiteral("F1AB")); // typed, never confirmed
        m_window->close();
        QVERIFY(m_window->hasEnded());
    }

    void aFailedWriteKeepsTheContactOnScreen_data()
    {
        QTest::addColumn<QString>("cause");
        QTest::newRow("read-only") << "read-only";
        QTest::newRow("disk full") << "disk full";
        QTest::newRow("file removed") << "removed";
    }
    void aFailedWriteKeepsTheContactOnScreen()
    {
        QFETCH(QString, cause);
        start(3);
        const std::string before = logBytes();
        const std::filesystem::path path = m_root->logPath();
        newQso();
        typeShortContact(QStringLiteral("F1ABC"));

        QString message;
        bool answered = false;
        answerNextMessageBox(nullptr, &message, &answered);
        {
            std::unique_ptr<FileSizeLimit> limit;
            if (cause == QLatin1String("read-only"))
                QCOMPARE(m_window->logFile().openReadOnly(path), LogStatus::Ok);
            else if (cause == QLatin1String("disk full"))
                limit = std::make_unique<FileSizeLimit>(before.size());
            else
                std::filesystem::remove(path);
            QTest::mouseClick(button("BtEnrTerminer"), Qt::LeftButton);
        }
        QVERIFY(answered);
        QVERIFY2(message.contains(QStringLiteral("n'a pas été enregistré")), qPrintable(message));
        QVERIFY(m_window->isEntrySession());
        QVERIFY(get<QWidget>(QStringLiteral("PictEnrs"))->isVisible());
        QCOMPARE(field(1)->text(), QStringLiteral("F1ABC"));
        QCOMPARE(field(4)->text(), QStringLiteral("18:42"));
        QVERIFY(button("BtEnrSuivant")->isEnabled());
        if (cause == QLatin1String("removed")) {
            QVERIFY(!std::filesystem::exists(path));
            return;
        }
        QCOMPARE(logBytes(), before);

        // Once the cause is gone the same contact is stored, once.
        if (cause == QLatin1String("read-only"))
            QCOMPARE(m_window->logFile().open(path), LogStatus::Ok);
        QTest::mouseClick(button("BtEnrSuivant"), Qt::LeftButton);
        const std::string after = logBytes();
        QCOMPARE(after.size(), before.size() + kRecordSize);
        QCOMPARE(recordOf(after, 4).substr(0, 5), std::string("F1ABC"));
        QCOMPARE(recordOf(after, 5), bytesOf(QsoRecord::endMarker("JN18EU")));
        QCOMPARE(label("NoFicheLab"), QStringLiteral(" Charger fiche N° 5"));
    }
};

QTEST_MAIN(EntryTest)
#include "tst_entry.moc"
