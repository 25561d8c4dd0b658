// SPDX-License-Identifier: GPL-3.0-or-later
// A stored contact in the record view: changed in place and confirmed or
// dropped, or deleted, through the named fields and the confirmation frame,
// and checked in the log file record by record.

#include "ui/helpers/uitest.h"

#include "geo/calendar.h"
#include "geo/locator.h"
#include "logbook/logfile.h"
#include "logbook/loglist.h"
#include "logbook/recordedit.h"
#include "ui/mainwindow.h"
#include "ui/qtext.h"

#include <QApplication>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
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

const QColor kLightRed(0xFF, 0xC0, 0xC0);

QColor windowColour()
{
    return QLineEdit().palette().color(QPalette::Base);
}

} // namespace

class RecordViewTest : public StationWindowTest
{
    Q_OBJECT

    QGroupBox *frame() { return get<QGroupBox>(QStringLiteral("FraMsgFiche")); }
    QListWidget *list() { return get<QListWidget>(QStringLiteral("ListeLog")); }

    // Shows record n as an operator would: its page, then a click on its line.
    void showRecord(int n)
    {
        m_window->showPage(computePageCount(n));
        const int row = (n - 1) % kLinesPerPage;
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {},
                          list()->visualItemRect(list()->item(row)).center());
        QCOMPARE(selectedRecord(), n);
        QCOMPARE(label("NoFicheLab"), QStringLiteral(" Fiche N°%1 ").arg(n));
    }

    // A mouse press in field i, then `text` over what it selected, then Enter.
    void change(int i, const QString &text)
    {
        QTest::mouseClick(field(i), Qt::LeftButton);
        QCoreApplication::processEvents(); // the selection follows the press
        if (text.isEmpty())
            QTest::keyClick(field(i), Qt::Key_Backspace);
        else
            typeText(field(i), text);
        QTest::keyClick(field(i), Qt::Key_Return);
    }

    void expectShownAsStored(const QsoRecord &stored)
    {
        const FieldTexts texts = fieldTextsFromRecord(stored);
        for (int i = 1; i <= 17; ++i)
            QCOMPARE(field(i)->text(), toQString(texts[static_cast<std::size_t>(i)]));
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

    void eachKindOfFieldChangedThenConfirmedOrDropped_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("recordField");
        QTest::addColumn<QByteArray>("stored"); // the record field's value, Windows-1252
        QTest::addColumn<bool>("yes");
        struct Row
        {
            const char *name;
            int field;
            const char *typed, *shown;
            int recordField;
            QByteArray stored;
        };
        const Row rows[] = {
            {"call sign", 1, "f1zzz", "F1ZZZ", 1, "F1ZZZ"},
            {"date", 2, "01/02/25", "01/02/25", 2, "01/02/25"},
            {"start time", 3, "07:05", "07:05", 3, "07:05"},
            {"frequency", 5, "7.050", "7.050", 5, "7.050"},
            {"QTH emptied", 9, "", "", 9, ""},
            {"département padded", 11, "5", "05", 11, "05"},
            {"first name", 12, "marie-CLAIRE", "Marie-Claire", 12, "Marie-Claire"},
            {"remarks emptied", 13, "", "", 13, QByteArray(15, ' ') + "VIA BURO       "},
            {"other locator", 10, "jn03ro", "JN03RO", 10, "JN03RO"},
            {"own locator", 16, "jn19aa", "JN19AA", 16, "JN19AA"},
        };
        for (const Row &row : rows) {
            for (const bool yes : {true, false}) {
                QTest::addRow("%s, %s", row.name, yes ? "Oui" : "Non")
                    << row.field << QString::fromUtf8(row.typed) << QString::fromUtf8(row.shown)
                    << row.recordField << row.stored << yes;
            }
        }
    }
    void eachKindOfFieldChangedThenConfirmedOrDropped()
    {
        QFETCH(int, field);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(int, recordField);
        QFETCH(QByteArray, stored);
        QFETCH(bool, yes);
        start(30);
        const std::string before = logBytes();
        showRecord(27);

        QTest::mouseClick(this->field(field), Qt::LeftButton);
        QVERIFY(m_window->contactEditor() != nullptr);
        QCOMPARE(this->field(field)->palette().color(QPalette::Base), kLightRed);
        change(field, typed);
        QCOMPARE(this->field(field)->text(), shown);
        QVERIFY(frame()->isVisible());
        QCOMPARE(frame()->title(), QStringLiteral("Modifier la fiche"));
        QCOMPARE(label("FraLab01"), QStringLiteral("27"));
        QCOMPARE(label("FraLab02"), QStringLiteral("F0027"));
        // Nothing else may pick another record before the question is answered.
        QVERIFY(!get<QFrame>(QStringLiteral("PictListe"))->isEnabled());
        QVERIFY(!get<QFrame>(QStringLiteral("PictMenu"))->isEnabled());
        QCOMPARE(logBytes(), before);

        QTest::mouseClick(button(yes ? "FraCmdOui" : "FraCmdNon"), Qt::LeftButton);
        QVERIFY(frame()->isHidden());
        QVERIFY(get<QFrame>(QStringLiteral("PictListe"))->isEnabled());
        QVERIFY(get<QFrame>(QStringLiteral("PictMenu"))->isEnabled());
        for (int i = 1; i <= 17; ++i)
            QCOMPARE(this->field(i)->palette().color(QPalette::Base), windowColour());

        QsoRecord expected = testContact(27);
        if (yes)
            expected.setField(recordField, std::string(stored.constData(), stored.size()));
        const std::string after = logBytes();
        QCOMPARE(after.size(), before.size());
        QCOMPARE(recordOf(after, 27), bytesOf(expected));
        QCOMPARE(after.substr(0, 26 * kRecordSize), before.substr(0, 26 * kRecordSize));
        QCOMPARE(after.substr(27 * kRecordSize), before.substr(27 * kRecordSize));
        // Both show the record as the file now holds it, its list line too.
        expectShownAsStored(expected);
        // The distance follows the locators as stored, not as first shown.
        DistanceAzimuth calculator;
        const RecordDisplay shownAgain = displayRecord(27, expected, calculator);
        QCOMPARE(label("LabDist"), toQString(shownAgain.labels.distance));
        QCOMPARE(label("LabAzim"), toQString(shownAgain.labels.azimuth));
        QCOMPARE(list()->item(1)->text(), toQString(listLine(27, expected)));
        QCOMPARE(label("NoFicheLab"), QStringLiteral(" Fiche N°27 "));
        QVERIFY(list()->hasFocus());
    }

    void severalChangesAreWrittenTogether()
    {
        start(3);
        showRecord(2);
        change(1, QStringLiteral("F9AA"));
        change(6, QStringLiteral("cw"));
        // A field left once its change is taken looks like any field left; one
        // left in the middle of a change, with others waiting, stays light red.
        QCOMPARE(field(1)->palette().color(QPalette::Base), QColor(0xFF, 0xFF, 0xC0));
        QTest::mouseClick(field(12), Qt::LeftButton);
        QCOMPARE(field(6)->palette().color(QPalette::Base), windowColour());
        QTest::keyClick(field(12), Qt::Key_Tab);
        QCOMPARE(field(12)->palette().color(QPalette::Base), kLightRed);
        QCOMPARE(field(12)->text(), QStringLiteral("Yves"));
        change(3, QStringLiteral("23:59"));
        QTest::mouseClick(button("FraCmdOui"), Qt::LeftButton);
        QsoRecord expected = testContact(2);
        expected.setField(Field::CSGN, "F9AA");
        expected.setField(Field::MODE, "CW");
        expected.setField(Field::HDEB, "23:59");
        QCOMPARE(recordOf(logBytes(), 2), bytesOf(expected));
        QCOMPARE(list()->item(1)->text(), toQString(listLine(2, expected)));
    }

    void valuesThatChangeNothing()
    {
        start(3);
        const std::string before = logBytes();
        showRecord(3);
        // Enter without a mouse press first is no change.
        field(5)->setFocus();
        typeText(field(5), QStringLiteral("1"));
        QTest::keyClick(field(5), Qt::Key_Return);
        QVERIFY(frame()->isHidden());

        for (const auto &[i, text] :
             {std::pair{2, "1/2/25"}, std::pair{2, "32/01/25"}, std::pair{3, "9:05"},
              std::pair{1, ""}, std::pair{5, ""}, std::pair{14, ""}}) {
            change(i, QString::fromLatin1(text));
            QVERIFY2(frame()->isHidden(), text);
            QCOMPARE(field(i)->palette().color(QPalette::Base), windowColour());
        }
        // Once left, each field shows its stored value again.
        field(9)->setFocus();
        expectShownAsStored(testContact(3));
        QCOMPARE(logBytes(), before);
    }

    void wrongValuesShowErreurAndCanBeTypedAgain_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("wrong");
        QTest::addColumn<QString>("right");
        QTest::newRow("département 96") << 11 << "96"
                                        << "971";
        QTest::newRow("locator") << 10 << "ZZ99ZZ"
                                 << "JN03RO";
        QTest::newRow("call sign that would end the log") << 1 << "\\"
                                                          << "F1ABC";
    }
    void wrongValuesShowErreurAndCanBeTypedAgain()
    {
        QFETCH(int, field);
        QFETCH(QString, wrong);
        QFETCH(QString, right);
        start(3);
        showRecord(2);
        QTest::mouseClick(this->field(field), Qt::LeftButton);
        QCoreApplication::processEvents();
        QString during;
        QTimer::singleShot(1, m_window.get(), [&] { during = this->field(field)->text(); });
        typeText(this->field(field), wrong);
        QTest::keyClick(this->field(field), Qt::Key_Return);
        QCOMPARE(during, QStringLiteral("ERREUR"));
        QCOMPARE(this->field(field)->text(), QString());
        QVERIFY(this->field(field)->hasFocus());
        QVERIFY(frame()->isHidden());
        // Typed again right there, without another click.
        typeText(this->field(field), right);
        QTest::keyClick(this->field(field), Qt::Key_Return);
        QCOMPARE(this->field(field)->text(), right);
        QVERIFY(frame()->isVisible());
        if (field == 11)
            QVERIFY(!label("LabDept").isEmpty());
    }

    void deleting_data()
    {
        QTest::addColumn<int>("contacts");
        QTest::addColumn<int>("k");
        QTest::addColumn<int>("page");     // shown afterwards
        QTest::addColumn<int>("selected"); // record of the line selected afterwards
        QTest::newRow("first") << 30 << 1 << 1 << 25;
        QTest::newRow("middle") << 30 << 13 << 1 << 25;
        QTest::newRow("last of its page") << 30 << 25 << 1 << 25;
        QTest::newRow("last of the log") << 30 << 30 << 2 << 29;
        QTest::newRow("alone on the last page") << 26 << 26 << 1 << 25;
    }
    void deleting()
    {
        QFETCH(int, contacts);
        QFETCH(int, k);
        QFETCH(int, page);
        QFETCH(int, selected);
        start(contacts);
        const std::string before = logBytes();
        showRecord(k);

        QTest::mouseClick(button("BtKillFiche"), Qt::LeftButton);
        QVERIFY(frame()->isVisible());
        QCOMPARE(frame()->title(), QStringLiteral(" Effacer la Fiche "));
        QCOMPARE(label("FraLab01"), QString::number(k));
        QCOMPARE(label("FraLab02"), QStringLiteral("F%1").arg(k, 4, 10, QLatin1Char('0')));
        QVERIFY(!get<QFrame>(QStringLiteral("PictMenu"))->isEnabled());
        QCOMPARE(logBytes(), before);
        QTest::mouseClick(button("FraCmdOui"), Qt::LeftButton);

        const std::string after = logBytes();
        QCOMPARE(after.size(), before.size());
        int j = 1;
        for (int i = 1; i <= contacts; ++i) {
            if (i != k)
                QCOMPARE(recordOf(after, j++), bytesOf(testContact(i)));
        }
        QCOMPARE(recordOf(after, contacts), bytesOf(QsoRecord::endMarker("JN18EU")));
        QCOMPARE(recordOf(after, contacts + 1), std::string(kRecordSize, ' '));

        QCOMPARE(m_window->logFile().recordCount(), contacts - 1);
        QVERIFY(frame()->isHidden());
        QVERIFY(get<QFrame>(QStringLiteral("PictMenu"))->isEnabled());
        QCOMPARE(get<QLineEdit>(QStringLiteral("PageText1"))->text(), QString::number(page));
        QCOMPARE(selectedRecord(), selected);
        QCOMPARE(list()->currentRow(), list()->count() - 1);
        QCOMPARE(label("NoFicheLab"), QStringLiteral(" Fiche N°%1 ").arg(selected));
    }

    void deletingTheOnlyContactOpensANewEntry()
    {
        start(1);
        showRecord(1);
        QTest::mouseClick(button("BtKillFiche"), Qt::LeftButton);
        QTest::mouseClick(button("FraCmdOui"), Qt::LeftButton);
        const std::string after = logBytes();
        QCOMPARE(after.size(), 2 * kRecordSize);
        QCOMPARE(recordOf(after, 1), bytesOf(QsoRecord::endMarker("JN18EU")));
        QCOMPARE(recordOf(after, 2), std::string(kRecordSize, ' '));
        QVERIFY(m_window->isEntrySession());
        QVERIFY(get<QWidget>(QStringLiteral("PictEnrs"))->isVisible());
        QVERIFY(get<QFrame>(QStringLiteral("PictMenu"))->isHidden());
        QCOMPARE(list()->count(), 0);
        QCOMPARE(label("NoFicheLab"), QStringLiteral(" Charger fiche N° 1"));
        QCOMPARE(field(1)->text(), QString());
        QVERIFY(field(1)->hasFocus());
    }

    void nonKeepsTheRecord()
    {
        start(3);
        const std::string before = logBytes();
        showRecord(2);
        QTest::mouseClick(button("BtKillFiche"), Qt::LeftButton);
        QTest::mouseClick(button("FraCmdNon"), Qt::LeftButton);
        QCOMPARE(logBytes(), before);
        QVERIFY(frame()->isHidden());
        QVERIFY(get<QFrame>(QStringLiteral("PictMenu"))->isEnabled());
        QVERIFY(button("BtActiveRech")->isVisible());
        QCOMPARE(selectedRecord(), 2);
        expectShownAsStored(testContact(2));
    }

    void aFailedWriteKeepsTheQuestion_data()
    {
        QTest::addColumn<bool>("deletion");
        QTest::newRow("change") << false;
        QTest::newRow("deletion") << true;
    }
    void aFailedWriteKeepsTheQuestion()
    {
        QFETCH(bool, deletion);
        start(3);
        const std::string before = logBytes();
        showRecord(2);
        if (deletion)
            QTest::mouseClick(button("BtKillFiche"), Qt::LeftButton);
        else
            change(12, QStringLiteral("paul"));
        QCOMPARE(m_window->logFile().openReadOnly(m_root->logPath()), LogStatus::Ok);
        QString message;
        answerNextMessageBox(nullptr, &message);
        QTest::mouseClick(button("FraCmdOui"), Qt::LeftButton);
        QVERIFY2(message.contains(deletion ? QStringLiteral("n'a pas été effacée")
                                           : QStringLiteral("n'a pas été modifiée")),
                 qPrintable(message));
        QCOMPARE(logBytes(), before);
        if (deletion) {
            QCOMPARE(m_window->logFile().recordCount(), 3);
            QCOMPARE(list()->count(), 3);
            return;
        }
        // The change stays on screen, to be written again or dropped.
        QVERIFY(frame()->isVisible());
        QCOMPARE(field(12)->text(), QStringLiteral("Paul"));
        QCOMPARE(m_window->logFile().open(m_root->logPath()), LogStatus::Ok);
        QTest::mouseClick(button("FraCmdOui"), Qt::LeftButton);
        QCOMPARE(recordOf(logBytes(), 2).substr(98, 15), std::string("Paul           "));
    }
};

QTEST_MAIN(RecordViewTest)
#include "tst_recordview.moc"
