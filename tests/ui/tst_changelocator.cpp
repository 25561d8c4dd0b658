// SPDX-License-Identifier: GPL-3.0-or-later
// The change of station locator during the entry of contacts, through the main
// window as the entry reaches it.

#include "ui/helpers/uitest.h"

#include "geo/calendar.h"
#include "ui/mainwindow.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFocusEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace ondelog;
using namespace ondelog::test;

namespace {

const std::string kConfig = "\"F6XYZ\",\"F6XYZ.Ham\",\"JN18EU\"\r\n";

} // namespace

class ChangeLocatorTest : public QObject
{
    Q_OBJECT

    FixedClock m_clock{makeDateTime(2024, 3, 14, 18, 42, 7)};
    std::unique_ptr<DataRoot> m_root;
    std::unique_ptr<MainWindow> m_window;

    QFrame *panel() { return child<QFrame>(m_window.get(), "PictChangLocator"); }
    QLineEdit *text() { return child<QLineEdit>(m_window.get(), "ChangLocText"); }
    QPushButton *validate() { return child<QPushButton>(m_window.get(), "BtChangValid"); }

    void openPanel()
    {
        m_window->setMode(WindowMode::Entry);
        child<QAction>(m_window.get(), "MnuChangerLocator")->trigger();
    }

    void type(const QString &locator)
    {
        text()->selectAll();
        QTest::keyClicks(text(), locator);
        QTest::keyClick(text(), Qt::Key_Return);
    }

  private slots:
    void initTestCase() { initWindowTests(); }

    void init()
    {
        m_root = std::make_unique<DataRoot>();
        writeStation(*m_root, 3);
        m_window = std::make_unique<MainWindow>(m_root->root(), m_clock);
        showActive(m_window.get());
        QVERIFY(QTest::qWaitFor([&] { return m_window->startupState() == 0; }, 5000));
    }

    void cleanup()
    {
        cancelModalWatches();
        m_window.reset();
        m_root.reset();
    }

    void onlyDuringEntry()
    {
        child<QAction>(m_window.get(), "MnuChangerLocator")->trigger();
        QVERIFY(panel()->isHidden());
        openPanel();
        QVERIFY(panel()->isVisible());
        QCOMPARE(child<QLabel>(m_window.get(), "ChangLocLab1")->text(),
                 QStringLiteral(" Changement de locator"));
        QCOMPARE(child<QCheckBox>(m_window.get(), "ChangLocChk")->text(),
                 QStringLiteral("Garder en mémoire"));
        QVERIFY(validate()->isHidden());
        QVERIFY(text()->hasFocus());
        QCOMPARE(text()->text(), QStringLiteral("JN18EU"));
        QVERIFY(!child<QPushButton>(m_window.get(), "CmdSensHaut")->isEnabled());
    }

    void aValidLocatorIsKeptForTheRunOrForGood_data()
    {
        QTest::addColumn<bool>("keep");
        QTest::addColumn<bool>("byEnter");
        QTest::newRow("for the run") << false << false;
        QTest::newRow("for good") << true << false;
        QTest::newRow("for good, Enter on Valider") << true << true;
    }
    void aValidLocatorIsKeptForTheRunOrForGood()
    {
        QFETCH(bool, keep);
        QFETCH(bool, byEnter);
        auto *callField = child<QLineEdit>(m_window.get(), "TxtField1");
        callField->setText(QStringLiteral("F1ABC"));
        openPanel();
        child<QCheckBox>(m_window.get(), "ChangLocChk")->setChecked(keep);
        type(QStringLiteral("jn19aa"));
        QVERIFY(validate()->isVisible());
        if (byEnter) {
            QVERIFY(validate()->hasFocus());
            QTest::keyClick(validate(), Qt::Key_Return);
        } else {
            QTest::mouseClick(validate(), Qt::LeftButton);
        }

        QVERIFY(panel()->isHidden());
        QCOMPARE(m_window->stationLocator(), std::string("JN19AA"));
        QCOMPARE(child<QLineEdit>(m_window.get(), "TxtField16")->text(), QStringLiteral("JN19AA"));
        QVERIFY(child<QPushButton>(m_window.get(), "BtActiveRech")->isVisible());
        QCOMPARE(readBytes(m_root->configPath()),
                 keep ? std::string("\"F6XYZ\",\"F6XYZ.Ham\",\"JN19AA\"\r\n") : kConfig);
    }

    void aWrongLocatorShowsErreur()
    {
        openPanel();
        QString during;
        QTimer::singleShot(1, m_window.get(), [&] { during = text()->text(); });
        type(QStringLiteral("ZZ00ZZ"));
        QCOMPARE(during, QStringLiteral("ERREUR"));
        QCOMPARE(text()->text(), QString());
        QVERIFY(validate()->isHidden());
        type(QStringLiteral("JN1")); // not six characters: nothing happens
        QCOMPARE(text()->text(), QStringLiteral("JN1"));
        QVERIFY(validate()->isHidden());
    }

    void editingAfterEnterWithdrawsValider()
    {
        openPanel();
        type(QStringLiteral("JN19AA"));
        QVERIFY(validate()->isVisible());
        text()->setFocus();
        QTest::keyClick(text(), Qt::Key_Backspace);
        QVERIFY(validate()->isHidden());
        QCOMPARE(m_window->stationLocator(), std::string("JN18EU"));
    }

    void comingBackToTheWindowKeepsWhatIsTyped()
    {
        openPanel();
        text()->selectAll();
        QTest::keyClicks(text(), QStringLiteral("jn1"));
        for (const Qt::FocusReason reason : {Qt::ActiveWindowFocusReason, Qt::PopupFocusReason}) {
            QFocusEvent out(QEvent::FocusOut, reason);
            QApplication::sendEvent(text(), &out);
            QFocusEvent in(QEvent::FocusIn, reason);
            QApplication::sendEvent(text(), &in);
            QCOMPARE(text()->text(), QStringLiteral("JN1"));
        }
    }

    void cancelChangesNothing()
    {
        openPanel();
        child<QCheckBox>(m_window.get(), "ChangLocChk")->setChecked(true);
        type(QStringLiteral("JN19AA"));
        QTest::mouseClick(child<QPushButton>(m_window.get(), "BtChangAnnul"), Qt::LeftButton);
        QVERIFY(panel()->isHidden());
        QCOMPARE(text()->text(), QString());
        QCOMPARE(m_window->stationLocator(), std::string("JN18EU"));
        QCOMPARE(child<QLineEdit>(m_window.get(), "TxtField16")->text(), QStringLiteral("JN18EU"));
        QCOMPARE(readBytes(m_root->configPath()), kConfig);
    }

    void aConfigurationThatCannotBeWrittenIsSaid()
    {
        // A folder in the place of the file: no write can succeed, whoever runs the test.
        std::filesystem::remove(m_root->configPath());
        std::filesystem::create_directory(m_root->configPath());
        openPanel();
        child<QCheckBox>(m_window.get(), "ChangLocChk")->setChecked(true);
        type(QStringLiteral("JN19AA"));
        QString warning;
        answerNextMessageBox(nullptr, &warning);
        QTest::mouseClick(validate(), Qt::LeftButton);
        QVERIFY2(warning.contains(QStringLiteral("ne peut pas être écrit")), qPrintable(warning));
        QCOMPARE(m_window->stationLocator(), std::string("JN19AA"));
    }
};

QTEST_MAIN(ChangeLocatorTest)
#include "tst_changelocator.moc"
