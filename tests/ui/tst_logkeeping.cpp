// SPDX-License-Identifier: GPL-3.0-or-later
// Backup, copy, merge and the companions, driven from the menus, the merge
// panel and the clock as an operator would; the copy and merge rules themselves
// are pinned down by the core tests.

#include "ui/helpers/uitest.h"

#include "logbook/logfile.h"
#include "ui/mainwindow.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <sys/stat.h>

using namespace ondelog;
using namespace ondelog::test;

namespace {

QString qPath(const std::filesystem::path &path)
{
    return QString::fromStdString(path.string());
}

// Answers the next file dialog with `path` (cancels it when empty); `folder`
// receives the folder it opened in and `proposed` the name it offered.
void chooseFile(const std::filesystem::path &path, QString *folder = nullptr,
                QString *proposed = nullptr)
{
    whenModal([](QWidget *w) { return qobject_cast<QFileDialog *>(w) != nullptr; },
              [=](QWidget *w) {
                  auto *dialog = static_cast<QFileDialog *>(w);
                  if (folder)
                      *folder = dialog->directory().absolutePath();
                  if (proposed && !dialog->selectedFiles().isEmpty())
                      *proposed = QFileInfo(dialog->selectedFiles().first()).fileName();
                  if (path.empty()) {
                      dialog->reject();
                      return;
                  }
                  dialog->selectFile(qPath(path));
                  QMetaObject::invokeMethod(dialog, "accept");
              });
}

// Says yes to the file dialog's question before replacing a file.
void confirmReplace()
{
    whenModal(
        [](QWidget *w) {
            auto *box = qobject_cast<QMessageBox *>(w);
            return box && box->button(QMessageBox::Yes);
        },
        [](QWidget *w) { static_cast<QMessageBox *>(w)->button(QMessageBox::Yes)->click(); });
}

// Reads the program's next message (success or failure) and closes it.
void readMessage(QString *text, QString *kind)
{
    whenModal(
        [](QWidget *w) {
            return w->objectName() == QStringLiteral("OndelogInfo") ||
                   w->objectName() == QStringLiteral("OndelogAlerte");
        },
        [=](QWidget *w) {
            auto *box = static_cast<QMessageBox *>(w);
            *text = box->text();
            *kind = box->objectName();
            box->buttons().first()->click();
        });
}

} // namespace

class LogKeepingTest : public StationWindowTest
{
    Q_OBJECT

    QAction *action(const char *name) { return get<QAction>(QString::fromLatin1(name)); }
    QFrame *mergePanel() { return get<QFrame>(QStringLiteral("PJumelage")); }
    int shownRecordCount() { return m_window->logFile().recordCount(); }

  private slots:
    void initTestCase() { initWindowTests(); }
    void init() { m_root = std::make_unique<DataRoot>(); }
    void cleanup()
    {
        cancelModalWatches();
        m_window.reset();
        m_root.reset();
    }

    void backupAndCopyWriteTheLogAndSaySo_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("toBackupFolder");
        QTest::newRow("Sauvegarder") << "MnuSauver" << true;
        QTest::newRow("Sauvegarder of the merge panel") << "BtPjSauvegarder" << true;
        QTest::newRow("Copier sur CD ou disquette") << "MnuCopieSurDisque" << false;
    }
    void backupAndCopyWriteTheLogAndSaySo()
    {
        QFETCH(QString, command);
        QFETCH(bool, toBackupFolder);
        start(30);
        const std::filesystem::path folder =
            toBackupFolder ? m_root->programFolder() / "RidEzav" : m_root->root();
        QCOMPARE(std::filesystem::exists(m_root->programFolder() / "RidEzav"), false);
        const std::filesystem::path destination = folder / "F6XYZ.Ham";
        const std::string log = logBytes();

        QString openedIn, proposed, text, kind;
        chooseFile(destination, &openedIn, &proposed);
        readMessage(&text, &kind);
        if (command.startsWith(QStringLiteral("Bt"))) {
            action("MnuJumeler")->trigger();
            QTest::mouseClick(get<QPushButton>(command), Qt::LeftButton);
            QVERIFY(!get<QPushButton>(command)->isEnabled()); // one backup per opening
        } else {
            action(command.toLatin1().constData())->trigger();
        }

        QCOMPARE(QDir(openedIn), QDir(qPath(folder)));
        QCOMPARE(proposed, QStringLiteral("F6XYZ.Ham"));
        QCOMPARE(kind, QStringLiteral("OndelogInfo"));
        QVERIFY2(text.contains(QStringLiteral("30 contacts")), qPrintable(text));
        QVERIFY2(text.contains(QDir::toNativeSeparators(qPath(destination))), qPrintable(text));
        QCOMPARE(readBytes(destination), log);
        QCOMPARE(logBytes(), log);
    }

    void aWriteProtectedDestinationIsToldAndTouchesNothing()
    {
        start(12);
        const std::filesystem::path folder = m_root->programFolder() / "RidEzav";
        std::filesystem::create_directories(folder);
        const std::filesystem::path destination = folder / "F6XYZ.Ham";
        writeBytes(destination, "ancienne sauvegarde");
        ::chmod(destination.c_str(), 0444);
        const std::string log = logBytes();

        QString text, kind;
        chooseFile(destination);
        confirmReplace();
        readMessage(&text, &kind);
        action("MnuSauver")->trigger();

        QCOMPARE(kind, QStringLiteral("OndelogAlerte"));
        QVERIFY2(text.contains(QStringLiteral("protégé en écriture")), qPrintable(text));
        QCOMPARE(readBytes(destination), std::string("ancienne sauvegarde"));
        QCOMPARE(logBytes(), log);
    }

    void nothingActsDuringEntry_data()
    {
        QTest::addColumn<QString>("command");
        for (const char *name : {"MnuSauver", "MnuCopieSurDisque", "MnuJumeler"})
            QTest::newRow(name) << name;
    }
    void nothingActsDuringEntry()
    {
        QFETCH(QString, command);
        start(5);
        QTest::mouseClick(button("BtNewQSO"), Qt::LeftButton);
        QVERIFY(m_window->isEntrySession());
        const std::string log = logBytes();
        bool opened = false;
        whenModal([](QWidget *) { return true; },
                  [&](QWidget *w) {
                      opened = true;
                      w->close();
                  });
        action(command.toLatin1().constData())->trigger();
        QTest::qWait(50);
        QVERIFY(!opened);
        QVERIFY(mergePanel()->isHidden());
        QVERIFY(!std::filesystem::exists(m_root->programFolder() / "RidEzav"));
        QCOMPARE(logBytes(), log);
    }

    void mergeAppendsTheOtherLogAndShowsItsLastContact()
    {
        start(30);
        const std::filesystem::path other = m_root->root() / "AUTRE.Ham";
        writeLog(other, 7);
        action("MnuJumeler")->trigger();
        QVERIFY(mergePanel()->isVisible());
        QVERIFY(!get<QFrame>(QStringLiteral("PictListe"))->isEnabled());
        QCOMPARE(label("LabPj2"), QStringLiteral("F6XYZ.Ham"));
        QCOMPARE(label("LabPj1"), QStringLiteral("Les QSO seront placés à la suite du fichier "));

        QString openedIn, text, kind;
        chooseFile(other, &openedIn);
        readMessage(&text, &kind);
        QTest::mouseClick(button("BtPjumeler"), Qt::LeftButton);

        QCOMPARE(QDir(openedIn), QDir(qPath(m_root->root())));
        QCOMPARE(kind, QStringLiteral("OndelogInfo"));
        QVERIFY2(text.contains(QStringLiteral("7 contacts ont été ajoutés")), qPrintable(text));
        QCOMPARE(shownRecordCount(), 37);
        QVERIFY(mergePanel()->isHidden());
        QVERIFY(get<QFrame>(QStringLiteral("PictListe"))->isEnabled());
        auto *list = get<QListWidget>(QStringLiteral("ListeLog"));
        QCOMPARE(list->currentItem()->text().left(6).trimmed(), QStringLiteral("37"));
        QCOMPARE(logBytes().substr(30 * kRecordSize), readBytes(other));
    }

    // Through a link: only the file itself tells that it is the log.
    void theLogIsNotMergedWithItself()
    {
        start(4);
        std::filesystem::create_symlink(m_root->logPath(), m_root->root() / "lien.Ham");
        const std::string log = logBytes();
        action("MnuJumeler")->trigger();
        QString text, kind;
        chooseFile(m_root->root() / "lien.Ham");
        readMessage(&text, &kind);
        QTest::mouseClick(button("BtPjumeler"), Qt::LeftButton);
        QCOMPARE(kind, QStringLiteral("OndelogAlerte"));
        QVERIFY2(text.contains(QStringLiteral("lui-même")), qPrintable(text));
        QCOMPARE(logBytes(), log);
        QCOMPARE(shownRecordCount(), 4);
    }

    // While the panel is open nothing may change the log it speaks of; a file
    // dialog given up closes it as "Annuler" does.
    void theMergePanelHoldsTheWindow_data()
    {
        QTest::addColumn<QString>("closedBy");
        QTest::newRow("Annuler") << QStringLiteral("BtPjAnnuler");
        QTest::newRow("Annuler of the file dialog") << QStringLiteral("BtPjumeler");
    }
    void theMergePanelHoldsTheWindow()
    {
        QFETCH(QString, closedBy);
        std::vector<QsoRecord> records;
        for (int i = 30; i >= 1; --i)
            records.push_back(testContact(i)); // out of order: a sort would change it
        startWith(records);
        const std::string log = logBytes();

        action("MnuJumeler")->trigger();
        QVERIFY(mergePanel()->isVisible());
        QVERIFY(!get<QFrame>(QStringLiteral("PictListe"))->isEnabled());
        QVERIFY(get<QFrame>(QStringLiteral("PictFiche"))->isHidden());
        QVERIFY(!button("BtNewQSO")->isEnabled());
        QVERIFY(!button("BtKillFiche")->isEnabled());
        for (const char *name : {"MnuClasser", "MnuJumeler", "MnuImportAdif",
                                 "MnuGestionFeuilleQSL", "MnuAutreF", "MnuCourantF"})
            QVERIFY2(!action(name)->isEnabled(), name);
        // Forced through, they do nothing either.
        for (const char *name : {"MnuClasser", "MnuGestionFeuilleQSL"}) {
            action(name)->setEnabled(true);
            action(name)->trigger();
        }
        QTest::mouseClick(button("BtNewQSO"), Qt::LeftButton);
        QVERIFY(!m_window->isEntrySession());
        QCOMPARE(logBytes(), log);
        QVERIFY(get<QFrame>(QStringLiteral("PictFeuilleQSL"))->isHidden());

        if (closedBy == QLatin1String("BtPjumeler"))
            chooseFile({});
        QTest::mouseClick(get<QPushButton>(closedBy), Qt::LeftButton);
        QVERIFY(mergePanel()->isHidden());
        QVERIFY(get<QFrame>(QStringLiteral("PictListe"))->isEnabled());
        QVERIFY(get<QFrame>(QStringLiteral("PictFiche"))->isVisible());
        QVERIFY(button("BtNewQSO")->isEnabled());
        QVERIFY(button("BtKillFiche")->isEnabled());
        for (const char *name : {"MnuClasser", "MnuJumeler", "MnuAutreF"})
            QVERIFY2(action(name)->isEnabled(), name);
        QCOMPARE(logBytes(), log);
    }

    // A pipe is never opened: nothing waits for a program to write into it.
    void aPipeIsNotMerged()
    {
        start(4);
        const std::string log = logBytes();
        const std::filesystem::path pipe = m_root->root() / "AUTRE.Ham";
        QCOMPARE(::mkfifo(pipe.c_str(), 0644), 0);
        action("MnuJumeler")->trigger();
        QString text, kind;
        chooseFile(pipe);
        readMessage(&text, &kind);
        QTest::mouseClick(button("BtPjumeler"), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(kind, QStringLiteral("OndelogAlerte"), 5000);
        QVERIFY2(text.contains(QStringLiteral("Ce n'est pas un fichier")), qPrintable(text));
        QCOMPARE(logBytes(), log);
        QCOMPARE(shownRecordCount(), 4);
    }

    // Horalink refuses any option it does not know: it must start with none.
    void theClockStartsHoralinkFromTheProgramFolderWithoutArguments()
    {
        start(1);
        const std::filesystem::path started = m_root->root() / "started";
        const std::filesystem::path fake = m_root->programFolder() / "horalink";
        writeBytes(fake, "#!/bin/sh\necho \"$#\" > '" + started.string() + "'\n");
        ::chmod(fake.c_str(), 0755);
        QTest::mouseClick(get<QToolButton>(QStringLiteral("Horloge")), Qt::LeftButton);
        QVERIFY(QTest::qWaitFor([&] { return readBytes(started) == "0\n"; }, 5000));
    }

    void aMissingHoralinkIsNamedWithWhereItWasSought()
    {
        start(3);
        QString text;
        answerNextMessageBox(nullptr, &text);
        QTest::mouseClick(get<QToolButton>(QStringLiteral("Horloge")), Qt::LeftButton);
        QVERIFY2(text.contains(QStringLiteral("horalink")), qPrintable(text));
        QVERIFY2(text.contains(QDir::toNativeSeparators(qPath(m_root->programFolder()))),
                 qPrintable(text));
    }
};

QTEST_MAIN(LogKeepingTest)
#include "tst_logkeeping.moc"
