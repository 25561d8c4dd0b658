// SPDX-License-Identifier: GPL-3.0-or-later
// The first-run window: what it asks, what it refuses, and the files it leaves.

#include "ui/helpers/uitest.h"

#include "logbook/record.h"
#include "ui/firstrundialog.h"

#include <QApplication>
#include <QDir>
#include <QFocusEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace ondelog;
using namespace ondelog::test;

namespace {

QString native(const std::filesystem::path &path)
{
    return QDir::toNativeSeparators(QString::fromStdString(path.string()));
}

// Types a call sign and a locator as an operator would, each followed by Enter.
void typeStation(FirstRunDialog &dialog, const QString &call, const QString &locator)
{
    auto *callEdit = child<QLineEdit>(&dialog, "Dlg1Fra2Text1");
    auto *locatorEdit = child<QLineEdit>(&dialog, "Dlg1Fra2Text2");
    callEdit->setFocus();
    QTest::keyClicks(callEdit, call);
    QTest::keyClick(callEdit, Qt::Key_Return);
    QTest::keyClicks(locatorEdit, locator);
    QTest::keyClick(locatorEdit, Qt::Key_Return);
}

} // namespace

class FirstRunTest : public QObject
{
    Q_OBJECT

  private slots:
    void initTestCase() { initWindowTests(); }
    void cleanup() { cancelModalWatches(); }

    void showsItsControls()
    {
        DataRoot root;
        FirstRunDialog dialog(root.root());
        QVERIFY(showActive(&dialog));
        QCOMPARE(dialog.objectName(), QStringLiteral("Dlg1"));
        QCOMPARE(dialog.windowTitle(), QStringLiteral(" Création du cahier de trafic"));
        QCOMPARE(child<QLabel>(&dialog, "Dlg1LabOndelog")->text(), QStringLiteral("Ondelog"));
        QVERIFY(child<QLabel>(&dialog, "LabDisk")
                    ->text()
                    .startsWith(QStringLiteral(" Le disque courant est le disque : ")));
        QCOMPARE(child<QLabel>(&dialog, "Dlg1Fra2Lab1")->text(),
                 QStringLiteral("Entrer votre indicatif complet ->"));
        QCOMPARE(child<QLabel>(&dialog, "Dlg1Fra2Lab2")->text(),
                 QStringLiteral("Entrer le locator de la station ->"));
        QCOMPARE(child<QPushButton>(&dialog, "BtAppelLocator")->text(),
                 QStringLiteral("Calculer Locator"));
        QCOMPARE(child<QPushButton>(&dialog, "Dlg1Fra2CmdArreter")->text(),
                 QStringLiteral("Tout arrêter !!"));
        QCOMPARE(child<QLabel>(&dialog, "Dlg1Fra3Lab1")->text(),
                 QStringLiteral(" Le dossier Ondelog sera placé sur le disque courant"));
        QCOMPARE(child<QPushButton>(&dialog, "Dlg1Fra3CmdValider")->text(),
                 QStringLiteral("Valider"));
        QCOMPARE(
            child<QPlainTextEdit>(&dialog, "Dlg1Fra2Text3")->toPlainText().split(QLatin1Char('\n')),
            QStringList({QStringLiteral("              Création du fichier.Ham"),
                         QStringLiteral("    Si votre indicatif est trop long ,seulement les"),
                         QStringLiteral("  8 premières lettres seront prises pour nommer"),
                         QStringLiteral("  le fichier MyCall.Ham .")}));
        QVERIFY(child<QFrame>(&dialog, "Dlg1Fra2")->isVisible());
        QVERIFY(child<QFrame>(&dialog, "Dlg1Fra3")->isHidden());
    }

    void lowerCaseIsTypedAsUpperCase()
    {
        DataRoot root;
        FirstRunDialog dialog(root.root());
        QVERIFY(showActive(&dialog));
        typeStation(dialog, QStringLiteral("f6xyz"), QStringLiteral("jn18eu"));
        QCOMPARE(child<QLineEdit>(&dialog, "Dlg1Fra2Text1")->text(), QStringLiteral("F6XYZ"));
        QCOMPARE(child<QLineEdit>(&dialog, "Dlg1Fra2Text2")->text(), QStringLiteral("JN18EU"));
        QVERIFY(child<QFrame>(&dialog, "Dlg1Fra3")->isVisible());
        QCOMPARE(child<QLabel>(&dialog, "Dlg1Fra3Lab2")->text(),
                 native(root.logPath()) + QStringLiteral(" va être créé "));
        QVERIFY(child<QPushButton>(&dialog, "Dlg1Fra3CmdValider")->hasFocus());
    }

    void wrongLocatorShowsErreurForASecond_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::newRow("too short") << QStringLiteral("JN18E");
        QTest::newRow("field letter past R") << QStringLiteral("ZZ18EU");
        QTest::newRow("sub-square past X") << QStringLiteral("JN18EZ");
    }
    void wrongLocatorShowsErreurForASecond()
    {
        QFETCH(QString, typed);
        DataRoot root;
        FirstRunDialog dialog(root.root());
        QVERIFY(showActive(&dialog));
        auto *locator = child<QLineEdit>(&dialog, "Dlg1Fra2Text2");
        QString during;
        // Seen while the pause runs: the error stays up, the field takes no keys.
        QTimer::singleShot(1, &dialog, [&] {
            QTest::keyClick(locator, Qt::Key_A);
            during = locator->text();
        });
        typeStation(dialog, QStringLiteral("F6XYZ"), typed);
        QCOMPARE(during, QStringLiteral("ERREUR"));
        QCOMPARE(locator->text(), QString());
        QVERIFY(child<QFrame>(&dialog, "Dlg1Fra3")->isHidden());
    }

    void validateCreatesFolderLogAndConfiguration()
    {
        DataRoot root;
        FirstRunDialog dialog(root.root());
        QVERIFY(showActive(&dialog));
        typeStation(dialog, QStringLiteral("F6XYZ"), QStringLiteral("JN18EU"));
        QString title, text;
        answerNextMessageBox(&title, &text);
        QTest::mouseClick(child<QPushButton>(&dialog, "Dlg1Fra3CmdValider"), Qt::LeftButton);

        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(title, QStringLiteral(" Création réalisée avec succès"));
        QCOMPARE(text, QStringLiteral("   Le fichier F6XYZ.Ham est créé  \n\n"));
        QCOMPARE(readBytes(root.configPath()),
                 std::string("\"F6XYZ\",\"F6XYZ.Ham\",\"JN18EU\"\r\n"));
        const std::string log = readBytes(root.logPath());
        std::string expected(kRecordSize, ' ');
        expected[0] = '\\';
        expected.replace(159, 6, "JN18EU");
        QCOMPARE(log, expected);
    }

    void longCallSignNamesTheLogWithEightCharacters()
    {
        DataRoot root;
        FirstRunDialog dialog(root.root());
        QVERIFY(showActive(&dialog));
        typeStation(dialog, QStringLiteral("TM100ANNIV"), QStringLiteral("JN18EU"));
        answerNextMessageBox();
        QTest::mouseClick(child<QPushButton>(&dialog, "Dlg1Fra3CmdValider"), Qt::LeftButton);
        QCOMPARE(readBytes(root.configPath()),
                 std::string("\"TM100ANNIV\",\"TM100ANN.Ham\",\"JN18EU\"\r\n"));
        QVERIFY(std::filesystem::exists(root.logPath("TM100ANN.Ham")));
    }

    void anExistingLogKeepsItsContacts()
    {
        DataRoot root;
        std::filesystem::create_directories(root.programFolder());
        writeLog(root.logPath(), 3, "IN98GC");
        const std::string before = readBytes(root.logPath());

        FirstRunDialog dialog(root.root());
        QVERIFY(showActive(&dialog));
        typeStation(dialog, QStringLiteral("F6XYZ"), QStringLiteral("JN18EU"));
        QVERIFY(
            child<QLabel>(&dialog, "Dlg1Fra3Lab2")->text().contains(QStringLiteral("conservé")));
        QString text;
        answerNextMessageBox(nullptr, &text);
        QTest::mouseClick(child<QPushButton>(&dialog, "Dlg1Fra3CmdValider"), Qt::LeftButton);

        QVERIFY(dialog.keptExistingLog());
        QVERIFY2(text.contains(QStringLiteral("conservés")), qPrintable(text));
        QCOMPARE(readBytes(root.logPath()), before);
        QCOMPARE(readBytes(root.configPath()),
                 std::string("\"F6XYZ\",\"F6XYZ.Ham\",\"JN18EU\"\r\n"));
    }

    void clickInTheCallSignStartsAgain()
    {
        DataRoot root;
        FirstRunDialog dialog(root.root());
        QVERIFY(showActive(&dialog));
        typeStation(dialog, QStringLiteral("F6XYZ"), QStringLiteral("JN18EU"));
        auto *call = child<QLineEdit>(&dialog, "Dlg1Fra2Text1");
        QTest::mouseClick(call, Qt::LeftButton);
        QCOMPARE(call->text(), QString());
        QVERIFY(child<QFrame>(&dialog, "Dlg1Fra3")->isHidden());
        // Another window, or the field's context menu, is not leaving the field.
        QTest::keyClicks(call, QStringLiteral("F1A"));
        for (const Qt::FocusReason reason : {Qt::ActiveWindowFocusReason, Qt::PopupFocusReason}) {
            QFocusEvent out(QEvent::FocusOut, reason);
            QApplication::sendEvent(call, &out);
        }
        QTest::mouseClick(call, Qt::RightButton);
        QCOMPARE(call->text(), QStringLiteral("F1A"));
        // Left without Enter, what was typed is kept all the same; emptied, the
        // call sign taken before shows again.
        QTest::keyClicks(call, QStringLiteral("BC"));
        child<QLineEdit>(&dialog, "Dlg1Fra2Text2")->setFocus();
        QCOMPARE(call->text(), QStringLiteral("F1ABC"));
        call->setFocus();
        call->clear();
        child<QLineEdit>(&dialog, "Dlg1Fra2Text2")->setFocus();
        QCOMPARE(call->text(), QStringLiteral("F1ABC"));
    }

    // The keyboard alone: Tab between the fields keeps what was typed, Enter on
    // the focused "Valider" presses it; without a call sign it says so.
    void tabAndEnterAlone_data()
    {
        QTest::addColumn<QString>("call");
        QTest::addColumn<int>("enterKey");
        QTest::newRow("Return") << QStringLiteral("f6xyz") << int(Qt::Key_Return);
        QTest::newRow("keypad Enter") << QStringLiteral("f6xyz") << int(Qt::Key_Enter);
        QTest::newRow("no call sign") << QString() << int(Qt::Key_Return);
    }
    void tabAndEnterAlone()
    {
        QFETCH(QString, call);
        QFETCH(int, enterKey);
        DataRoot root;
        FirstRunDialog dialog(root.root());
        QVERIFY(showActive(&dialog));
        auto *callEdit = child<QLineEdit>(&dialog, "Dlg1Fra2Text1");
        auto *locator = child<QLineEdit>(&dialog, "Dlg1Fra2Text2");
        QVERIFY(callEdit->hasFocus());
        QTest::keyClicks(callEdit, call);
        QTest::keyClick(callEdit, Qt::Key_Tab);
        QVERIFY(locator->hasFocus());
        QTest::keyClicks(locator, QStringLiteral("jn18eu"));
        QTest::keyClick(locator, Qt::Key(enterKey));
        auto *validate = child<QPushButton>(&dialog, "Dlg1Fra3CmdValider");
        QVERIFY(validate->hasFocus());
        QString text;
        answerNextMessageBox(nullptr, &text);
        QTest::keyClick(validate, Qt::Key(enterKey));
        if (call.isEmpty()) {
            QVERIFY2(text.contains(QStringLiteral("indicatif")), qPrintable(text));
            QVERIFY(dialog.isVisible());
            QTRY_VERIFY(callEdit->hasFocus());
            QVERIFY(!std::filesystem::exists(root.configPath()));
            return;
        }
        QCOMPARE(callEdit->text(), QStringLiteral("F6XYZ"));
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(readBytes(root.configPath()),
                 std::string("\"F6XYZ\",\"F6XYZ.Ham\",\"JN18EU\"\r\n"));
    }

    void stopEndsWithoutFiles()
    {
        DataRoot root;
        FirstRunDialog dialog(root.root());
        QVERIFY(showActive(&dialog));
        QTest::mouseClick(child<QPushButton>(&dialog, "Dlg1Fra2CmdArreter"), Qt::LeftButton);
        QCOMPARE(dialog.result(), FirstRunDialog::StopProgram);
        QVERIFY(!std::filesystem::exists(root.configPath()));
    }

    void locatorDialogHandsItsLocatorBack()
    {
        DataRoot root;
        FirstRunDialog dialog(root.root());
        QVERIFY(showActive(&dialog));
        auto *call = child<QLineEdit>(&dialog, "Dlg1Fra2Text1");
        QTest::keyClicks(call, QStringLiteral("F6XYZ"));
        QTest::keyClick(call, Qt::Key_Return);
        bool seen = false;
        whenModalNamed(QStringLiteral("Dlg2"), [&](QWidget *locatorDialog) {
            seen = true;
            auto *edit = child<QLineEdit>(locatorDialog, "Fr1TextLocator");
            edit->selectAll();
            QTest::keyClicks(edit, QStringLiteral("in98gc"));
            QTest::keyClick(edit, Qt::Key_Return);
            QTest::mouseClick(child<QPushButton>(locatorDialog, "Fr1CmdFermer"), Qt::LeftButton);
        });
        QTest::mouseClick(child<QPushButton>(&dialog, "BtAppelLocator"), Qt::LeftButton);
        QVERIFY(seen);
        QCOMPARE(child<QLineEdit>(&dialog, "Dlg1Fra2Text2")->text(), QStringLiteral("IN98GC"));
        QVERIFY(child<QFrame>(&dialog, "Dlg1Fra3")->isVisible());
    }
};

QTEST_MAIN(FirstRunTest)
#include "tst_firstrun.moc"
