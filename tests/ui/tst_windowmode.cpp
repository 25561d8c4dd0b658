// SPDX-License-Identifier: GPL-3.0-or-later
// What the main window lets the operator touch while one thing is under way
// (an entry, a question waiting for "&Oui", a panel that holds the log, a list
// of contacts opened from the record), what a command that greys the whole
// window leaves of it, and what a write from outside the window's commands
// does meanwhile. Driven through the named controls.

#include "tests/ui/helpers/uitest.h"

#include "logbook/loglist.h"
#include "ui/mainwindow.h"

#include <QAction>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace ondelog;
using namespace ondelog::test;

namespace {

enum class Holder
{
    Nothing,
    Entry,
    PendingChange,
    LabelSheet,
    MergePanel,
    ContactHistory,
};

} // namespace

Q_DECLARE_METATYPE(Holder)

class WindowModeTest : public StationWindowTest
{
    Q_OBJECT

    QListWidget *list() { return get<QListWidget>(QStringLiteral("ListeLog")); }
    QGroupBox *frame() { return get<QGroupBox>(QStringLiteral("FraMsgFiche")); }

    // Everything the operator could touch, in one line that a failure prints.
    QString touchable()
    {
        auto on = [](bool b) { return b ? QStringLiteral("1") : QStringLiteral("0"); };
        auto *bar = get<QWidget>(QStringLiteral("PictMenu"));
        auto *record = get<QWidget>(QStringLiteral("PictFiche"));
        return QStringLiteral("list %1 record %2/%3 bar %4/%5 new %6 delete %7 close %8 menus %9 "
                              "sort %10 question %11")
            .arg(on(get<QWidget>(QStringLiteral("PictListe"))->isEnabled()),
                 on(record->isVisible()), on(record->isEnabled()), on(bar->isVisible()),
                 on(bar->isEnabled()), on(button("BtNewQSO")->isEnabled()),
                 on(button("BtKillFiche")->isEnabled()), on(button("BtFermerLog")->isEnabled()),
                 on(m_window->menuBar()->isEnabled()))
            .arg(on(get<QAction>(QStringLiteral("MnuClasser"))->isEnabled()),
                 on(frame()->isVisible()));
    }

    void showRecord(int n)
    {
        m_window->showPage(computePageCount(n));
        const int row = (n - 1) % kLinesPerPage;
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {},
                          list()->visualItemRect(list()->item(row)).center());
        QCOMPARE(m_window->shownRecord(), n);
    }

    // The first name of the contact shown, changed and waiting for "&Oui".
    void changeFirstName(const QString &name)
    {
        QTest::mouseClick(field(12), Qt::LeftButton);
        QCoreApplication::processEvents(); // the selection follows the press
        typeText(field(12), name);
        QTest::keyClick(field(12), Qt::Key_Return);
        QVERIFY(frame()->isVisible());
    }

    void hold(Holder holder)
    {
        switch (holder) {
        case Holder::Nothing:
            break;
        case Holder::Entry:
            QTest::mouseClick(button("BtNewQSO"), Qt::LeftButton);
            QVERIFY(m_window->isEntrySession());
            break;
        case Holder::PendingChange:
            showRecord(5);
            changeFirstName(QStringLiteral("Pierre"));
            break;
        case Holder::LabelSheet:
            get<QAction>(QStringLiteral("MnuGestionFeuilleQSL"))->trigger();
            QVERIFY(m_window->isHeldByPanel());
            break;
        case Holder::MergePanel:
            get<QAction>(QStringLiteral("MnuJumeler"))->trigger();
            QVERIFY(m_window->isHeldByPanel());
            break;
        case Holder::ContactHistory:
            showRecord(5);
            QTest::mouseClick(button("BtActiveRech"), Qt::LeftButton);
            QVERIFY(get<QWidget>(QStringLiteral("PictContacts"))->isVisible());
            break;
        }
    }

    // An ADIF export, the whole window greyed while it runs; its summary answered.
    void exportLog()
    {
        const std::filesystem::path target = m_root->root() / "export.adi";
        whenModal([](QWidget *w) { return qobject_cast<QFileDialog *>(w) != nullptr; },
                  [target](QWidget *w) {
                      auto *dialog = static_cast<QFileDialog *>(w);
                      dialog->selectFile(QString::fromStdString(target.string()));
                      QMetaObject::invokeMethod(dialog, "accept");
                  });
        bool answered = false;
        answerNextMessageBox(nullptr, nullptr, &answered);
        get<QAction>(QStringLiteral("MnuExportAdif"))->trigger();
        QVERIFY(QTest::qWaitFor([&] { return answered; }, 10000));
        QVERIFY(std::filesystem::exists(target));
    }

    std::string recordBytes(int n)
    {
        return logBytes().substr(std::size_t(n - 1) * kRecordSize, kRecordSize);
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

    void aTransferGivesBackWhatItFound_data()
    {
        QTest::addColumn<Holder>("holder");
        QTest::newRow("nothing under way") << Holder::Nothing;
        QTest::newRow("an entry") << Holder::Entry;
        QTest::newRow("a change waiting for Oui") << Holder::PendingChange;
        QTest::newRow("the label sheet") << Holder::LabelSheet;
        QTest::newRow("the merge panel") << Holder::MergePanel;
        QTest::newRow("the contacts of the record") << Holder::ContactHistory;
    }
    void aTransferGivesBackWhatItFound()
    {
        QFETCH(Holder, holder);
        start(30);
        hold(holder);
        const QString before = touchable();
        exportLog();
        QCOMPARE(touchable(), before);
    }

    // A change waits for "&Oui" through an export: no other record can be
    // picked meanwhile, and "&Oui" writes the change to the record it names
    // (were another record shown, it would delete that one instead).
    void aChangeWaitsThroughAnExport()
    {
        start(30);
        const std::string before = logBytes();
        showRecord(5);
        changeFirstName(QStringLiteral("Pierre"));
        exportLog();
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {},
                          list()->visualItemRect(list()->item(9)).center());
        QCOMPARE(m_window->shownRecord(), 5);
        QTest::mouseClick(button("FraCmdOui"), Qt::LeftButton);
        QCOMPARE(logBytes().size(), before.size());
        QsoRecord expected = testContact(5);
        expected.setField(Field::SNOM, "Pierre");
        QCOMPARE(recordBytes(5), std::string(expected.bytes().data(), kRecordSize));
        QCOMPARE(recordBytes(10), before.substr(9 * kRecordSize, kRecordSize));
    }

    // "Fermer" of a list of contacts hands the list back only to what may use it.
    void closingTheContactsLeavesAChangeWaiting()
    {
        start(30);
        showRecord(5);
        QTest::mouseClick(button("BtActiveRech"), Qt::LeftButton);
        changeFirstName(QStringLiteral("Pierre"));
        QTest::mouseClick(button("BtContactsFermer"), Qt::LeftButton);
        QVERIFY(!get<QWidget>(QStringLiteral("PictListe"))->isEnabled());
        QVERIFY(frame()->isVisible());
        QTest::mouseClick(button("FraCmdNon"), Qt::LeftButton);
        QVERIFY(get<QWidget>(QStringLiteral("PictListe"))->isEnabled());
        QVERIFY(button("BtNewQSO")->isEnabled());
    }

    // A contact another program logs while a sort rewrites the log waits for
    // the sort: written into the file the sort replaces, it would be lost.
    void aWriteFromOutsideWaitsForTheSort()
    {
        start(60);
        QsoRecord received = testContact(61);
        received.setField(Field::CSGN, "F5OUT");
        bool asked = false;
        bool ranAtOnce = false;
        bool written = false;
        QTimer::singleShot(0, m_window.get(), [&] {
            asked = m_window->isBusy();
            m_window->writeFromOutside([&] {
                written = m_window->logFile().appendContact(received, "JN18EU") == LogStatus::Ok;
            });
            ranAtOnce = written;
        });
        get<QAction>(QStringLiteral("MnuClasser"))->trigger();
        QVERIFY(asked);
        QVERIFY(!ranAtOnce);
        QTRY_VERIFY(written);
        QCOMPARE(m_window->logFile().recordCount(), 61);
        QCOMPARE(readBytes(m_root->logPath()).size(), std::size_t(62) * kRecordSize);
        QCOMPARE(recordBytes(61), std::string(received.bytes().data(), kRecordSize));
        // The list reaches it, its line standing for record 61.
        auto *pageBox = get<QLineEdit>(QStringLiteral("PageText1"));
        QTest::mouseClick(pageBox, Qt::LeftButton);
        QTest::keyClicks(pageBox, QStringLiteral("3"));
        QTest::keyClick(pageBox, Qt::Key_Return);
        QCOMPARE(list()->count(), 11);
        QCOMPARE(list()->item(10)->data(Qt::UserRole).toInt(), 61);
        QVERIFY(list()->item(10)->text().contains(QStringLiteral("F5OUT")));
    }

    // Written at once under a change waiting for "&Oui", it leaves the record
    // view alone: the question still names its record, and "&Oui" writes it.
    void aWriteFromOutsideLeavesAChangeAlone()
    {
        start(30);
        showRecord(5);
        changeFirstName(QStringLiteral("Pierre"));
        m_window->writeFromOutside([&] {
            QCOMPARE(m_window->logFile().appendContact(testContact(31), "JN18EU"), LogStatus::Ok);
        });
        QCOMPARE(m_window->logFile().recordCount(), 31);
        QVERIFY(frame()->isVisible());
        QCOMPARE(m_window->shownRecord(), 5);
        QCOMPARE(field(12)->text(), QStringLiteral("Pierre"));
        QTest::mouseClick(button("FraCmdOui"), Qt::LeftButton);
        QCOMPARE(m_window->logFile().readRecord(5).value_or(QsoRecord()).field(Field::SNOM),
                 std::string("Pierre"));
        QCOMPARE(recordBytes(31), std::string(testContact(31).bytes().data(), kRecordSize));
    }

    // With nothing under way and the last page shown, the new contact shows at once.
    void aWriteFromOutsideShowsOnTheLastPage()
    {
        start(3);
        showRecord(2);
        list()->setFocus();
        m_window->writeFromOutside([&] {
            QCOMPARE(m_window->logFile().appendContact(testContact(4), "JN18EU"), LogStatus::Ok);
        });
        QCOMPARE(list()->count(), 4);
        QCOMPARE(list()->item(3)->data(Qt::UserRole).toInt(), 4);
        QCOMPARE(list()->currentRow(), 1);
        QCOMPARE(m_window->shownRecord(), 2);
    }

    void aStatusWidgetShowsAtTheFoot()
    {
        start(3);
        QVERIFY(!m_window->findChild<QStatusBar *>());
        auto *line = new QLabel(QStringLiteral("WSJT-X : 14.074 FT8"));
        line->setObjectName(QStringLiteral("LabStation"));
        m_window->addStatusWidget(line);
        auto *status = m_window->findChild<QStatusBar *>();
        QVERIFY(status && status->isVisible());
        QCOMPARE(status->findChild<QLabel *>(QStringLiteral("LabStation")), line);
    }
};

QTEST_MAIN(WindowModeTest)
#include "tst_windowmode.moc"
