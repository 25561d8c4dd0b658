// SPDX-License-Identifier: GPL-3.0-or-later
// The main window driven as an operator would: start-up, first run, the paged
// list and its keys, another log, the clock and closing.

#include "ui/helpers/uitest.h"

#include "geo/calendar.h"
#include "geo/departements.h"
#include "logbook/entryfields.h"
#include "logbook/fileio.h"
#include "logbook/loglist.h"
#include "printing/labelsheet.h"
#include "setup/config.h"
#include "text/text.h"
#include "ui/mainwindow.h"
#include "ui/qtext.h"
#include "ui/recordpanel.h"

#include <QAction>
#include <QFileDialog>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <memory>
#include <sys/stat.h>

using namespace ondelog;
using namespace ondelog::test;

namespace {

const LocalDateTime kNow = makeDateTime(2024, 3, 14, 18, 42, 7);

struct Buttons
{
    bool top, minus, plus, bottom;
};

Buttons pagingButtons(QWidget *w)
{
    return {child<QPushButton>(w, "CmdSensHaut")->isEnabled(),
            child<QPushButton>(w, "CmdPageMoins")->isEnabled(),
            child<QPushButton>(w, "CmdPagePlus")->isEnabled(),
            child<QPushButton>(w, "CmdSensBas")->isEnabled()};
}

QString pageShown(QWidget *w)
{
    return child<QLineEdit>(w, "PageText1")->text();
}

// Record number of the line selected in the list, 0 when none.
int selectedRecord(QWidget *w)
{
    QListWidgetItem *item = child<QListWidget>(w, "ListeLog")->currentItem();
    return item ? item->text().left(6).trimmed().toInt() : 0;
}

// Types a call sign and a locator into the first-run window and confirms it.
void completeFirstRun(QWidget *dialog, const QString &call, QString *successText = nullptr)
{
    showActive(dialog);
    auto *callEdit = child<QLineEdit>(dialog, "Dlg1Fra2Text1");
    callEdit->setFocus();
    QTest::keyClicks(callEdit, call);
    QTest::keyClick(callEdit, Qt::Key_Return);
    auto *locator = child<QLineEdit>(dialog, "Dlg1Fra2Text2");
    QTest::keyClicks(locator, QStringLiteral("JN18EU"));
    QTest::keyClick(locator, Qt::Key_Return);
    answerNextMessageBox(nullptr, successText);
    QTest::mouseClick(child<QPushButton>(dialog, "Dlg1Fra3CmdValider"), Qt::LeftButton);
}

void chooseFile(const std::filesystem::path &path)
{
    whenModal([](QWidget *w) { return qobject_cast<QFileDialog *>(w) != nullptr; },
              [path](QWidget *w) {
                  auto *dialog = static_cast<QFileDialog *>(w);
                  if (path.empty()) {
                      dialog->reject();
                      return;
                  }
                  dialog->selectFile(QString::fromStdString(path.string()));
                  QMetaObject::invokeMethod(dialog, "accept");
              });
}

} // namespace

class MainWindowTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<FixedClock> m_clock;

    // A window on `root`, shown and started.
    std::unique_ptr<MainWindow> start(const DataRoot &root)
    {
        auto window = std::make_unique<MainWindow>(root.root(), *m_clock);
        window->resize(1280, 800);
        window->show();
        window->activateWindow();
        if (!QTest::qWaitFor([&] { return window->startupState() == 0; }, 5000))
            qWarning("start-up did not finish");
        // A message box during the start-up took the activation with it.
        if (!window->isActiveWindow())
            showActive(window.get());
        return window;
    }

  private slots:
    void initTestCase() { initWindowTests(); }
    void cleanup()
    {
        cancelModalWatches();
        fileio::setHook({});
    }
    void init() { m_clock = std::make_unique<FixedClock>(kNow); }

    void beforeStartingEverythingIsInPlace()
    {
        DataRoot root;
        MainWindow window(root.root(), *m_clock);
        QCOMPARE(window.windowTitle(), QStringLiteral("      Saisie des données"));
        QCOMPARE(child<QLabel>(&window, "OndelogLab03")->text(), QStringLiteral(" Bonjour "));
        QCOMPARE(window.startupState(), 4);
        for (const char *name :
             {"PictFeuilleQSL", "PictCtrlImpression", "PictEnrs", "PictContacts", "PictClasser",
              "FraMsgFiche", "PictChangLocator", "PJumelage", "BtActiveRech"})
            QVERIFY2(child<QWidget>(&window, name)->isHidden(), name);
        for (int i = 1; i <= 17; ++i) {
            auto *field = window.findChild<QLineEdit *>(QStringLiteral("TxtField%1").arg(i));
            QVERIFY(field);
            QCOMPARE(field->maxLength(), int(entryFieldWidth(i)));
        }
    }

    void menusCarryTheirCaptions_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        const char *const rows[][2] = {
            {"NmuFilect", "    Fichier    "},
            {"MnuCourantF", "    Ouvrir Fichier courant  "},
            {"MnuAutreF", "  Ouvrir Autre Fichier.Ham  "},
            {"MnuJumeler", " Jumeler deux Fichiers.Ham"},
            {"MnuQuitter", "  Fermer Fichier  et  Quitter"},
            {"MnuLister", "      Liste        "},
            {"MnuCreateMDB", "    Réaliser  fichier.mdb"},
            {"MnuCopieSurDisque", "Copier sur CD ou disquette"},
            {"MnuClasser", "      Classer  le Fichier   "},
            {"MnuDoublons", "  Chercher les doublons"},
            {"MnuSauver", "        Sauvegarder "},
            {"MnuImprim", "    Imprimer    "},
            {"MnuConfigImp", "Configurer imprimante  "},
            {"MnuImpPage", "Imprimer Page affichée  "},
            {"MnuImpPageVierge", "Imprimer page vierge  "},
            {"MnuLocator", "    Locator   "},
            {"MnuEditLocator", "    Editer Locator"},
            {"MnuChangerLocator", " Changer de Locator"},
            {"MnuServiceQSL", "   Service QSL  "},
            {"MnuVirginTags", " Imprimer étiquettes vierges à coller"},
            {"MnuGestionFeuilleQSL", "   Gestion feuille 16 étiquettes "},
            {"MnuInfos", "   Infos "},
            {"MnuVoir", "  Infos à propos de Ondelog"},
        };
        for (const auto &row : rows)
            QTest::newRow(row[0]) << QString::fromUtf8(row[0]) << QString::fromUtf8(row[1]);
    }
    void menusCarryTheirCaptions()
    {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        DataRoot root;
        MainWindow window(root.root(), *m_clock);
        if (auto *menu = window.findChild<QMenu *>(name))
            QCOMPARE(menu->title(), caption);
        else if (auto *action = window.findChild<QAction *>(name))
            QCOMPARE(action->text(), caption);
        else
            QFAIL("no such menu or item");
    }

    void firstRunCreatesTheStationThenARestartOpensIt()
    {
        DataRoot root;
        bool dialogSeen = false;
        whenModalNamed(QStringLiteral("Dlg1"), [&](QWidget *dialog) {
            dialogSeen = true;
            completeFirstRun(dialog, QStringLiteral("F6XYZ"));
        });
        auto window = start(root);
        QVERIFY(dialogSeen);
        QCOMPARE(window->startupState(), 0);
        QCOMPARE(window->windowTitle(), QStringLiteral(" Cahier de Trafic de F6XYZ") +
                                            QString(22, QLatin1Char(' ')) +
                                            QStringLiteral("(version " ONDELOG_VERSION ")"));
        QCOMPARE(child<QLabel>(window.get(), "PictListLab01")->text(), QStringLiteral("F6XYZ"));
        QCOMPARE(child<QLabel>(window.get(), "OndelogLab03")->text(), QString());
        QVERIFY(std::filesystem::exists(root.configPath()));
        QCOMPARE(std::filesystem::file_size(root.logPath()), std::uintmax_t(165));
        QVERIFY(child<QPushButton>(window.get(), "BtNewQSO")->isEnabled());
        QVERIFY(!child<QPushButton>(window.get(), "BtKillFiche")->isEnabled());
        window.reset();

        bool askedAgain = false;
        whenModalNamed(QStringLiteral("Dlg1"), [&](QWidget *dialog) {
            askedAgain = true;
            static_cast<QDialog *>(dialog)->reject();
        });
        auto again = start(root);
        QVERIFY(!askedAgain);
        QVERIFY(again->isLogOpen());
        QVERIFY(again->isOwnLog());
        QCOMPARE(again->stationLocator(), std::string("JN18EU"));
    }

    void startupShowsTheLastPage_data()
    {
        QTest::addColumn<int>("contacts");
        QTest::addColumn<int>("pages");
        QTest::addColumn<int>("lines");
        QTest::addColumn<bool>("backEnabled");
        QTest::newRow("empty") << 0 << 1 << 0 << false;
        QTest::newRow("one full page") << 25 << 1 << 25 << false;
        QTest::newRow("one line over") << 26 << 2 << 1 << true;
        QTest::newRow("sixty") << 60 << 3 << 10 << true;
    }
    void startupShowsTheLastPage()
    {
        QFETCH(int, contacts);
        QFETCH(int, pages);
        QFETCH(int, lines);
        QFETCH(bool, backEnabled);
        DataRoot root;
        writeStation(root, contacts);
        auto window = start(root);
        auto *list = child<QListWidget>(window.get(), "ListeLog");
        QCOMPARE(list->count(), lines);
        QCOMPARE(pageShown(window.get()), QString::number(pages));
        const Buttons b = pagingButtons(window.get());
        QCOMPARE(b.top, backEnabled);
        QCOMPARE(b.minus, backEnabled);
        QVERIFY(!b.plus);
        QVERIFY(!b.bottom);
        QCOMPARE(child<QScrollBar>(window.get(), "VScroll1")->maximum(), contacts);
        QCOMPARE(selectedRecord(window.get()), contacts);
        QCOMPARE(child<QPushButton>(window.get(), "BtKillFiche")->isEnabled(), contacts > 0);
        QVERIFY(child<QPushButton>(window.get(), "BtNewQSO")->isEnabled());
        QCOMPARE(child<QFrame>(window.get(), "PictRech")->isVisible(), contacts > 0);
        if (contacts > 0) {
            QCOMPARE(list->item(lines - 1)->text(),
                     toQString(listLine(contacts, testContact(contacts))));
            QCOMPARE(child<QLabel>(window.get(), "NoFicheLab")->text(),
                     QStringLiteral(" Fiche N°%1 ").arg(contacts));
        }
    }

    void pagingButtonsTurnThePages()
    {
        DataRoot root;
        writeStation(root, 60);
        auto window = start(root);
        auto click = [&](const char *name) {
            QTest::mouseClick(child<QPushButton>(window.get(), name), Qt::LeftButton);
        };
        click("CmdSensHaut");
        QCOMPARE(pageShown(window.get()), QStringLiteral("1"));
        QCOMPARE(selectedRecord(window.get()), 1);
        Buttons b = pagingButtons(window.get());
        QVERIFY(!b.top && !b.minus && b.plus && b.bottom);
        click("CmdPagePlus");
        QCOMPARE(pageShown(window.get()), QStringLiteral("2"));
        QCOMPARE(selectedRecord(window.get()), 50);
        b = pagingButtons(window.get());
        QVERIFY(b.top && b.minus && b.plus && b.bottom);
        click("CmdSensBas");
        QCOMPARE(pageShown(window.get()), QStringLiteral("3"));
        QCOMPARE(selectedRecord(window.get()), 60);
        click("CmdPageMoins");
        QCOMPARE(pageShown(window.get()), QStringLiteral("2"));
        QCOMPARE(selectedRecord(window.get()), 26);
    }

    void keysInTheListTurnPagesAtTheEdges()
    {
        DataRoot root;
        writeStation(root, 60);
        auto window = start(root);
        auto *list = child<QListWidget>(window.get(), "ListeLog");
        QTest::mouseClick(child<QPushButton>(window.get(), "CmdSensHaut"), Qt::LeftButton);

        list->setCurrentRow(10);
        QTest::keyClick(list, Qt::Key_Down);
        QCOMPARE(pageShown(window.get()), QStringLiteral("1"));
        QCOMPARE(selectedRecord(window.get()), 12);

        list->setCurrentRow(24);
        QTest::keyClick(list, Qt::Key_Down);
        QCOMPARE(pageShown(window.get()), QStringLiteral("2"));
        QCOMPARE(selectedRecord(window.get()), 26);
        QCOMPARE(child<QLabel>(window.get(), "NoFicheLab")->text(), QStringLiteral(" Fiche N°26 "));

        QTest::keyClick(list, Qt::Key_PageDown);
        QCOMPARE(pageShown(window.get()), QStringLiteral("3"));
        QCOMPARE(selectedRecord(window.get()), 60);

        QTest::keyClick(list, Qt::Key_PageUp);
        QCOMPARE(pageShown(window.get()), QStringLiteral("2"));
        QCOMPARE(selectedRecord(window.get()), 50);

        list->setCurrentRow(0);
        QTest::keyClick(list, Qt::Key_Up);
        QCOMPARE(pageShown(window.get()), QStringLiteral("1"));
        QCOMPARE(selectedRecord(window.get()), 25);
    }

    void theScrollBarRedrawsOnlyForAnotherPage()
    {
        DataRoot root;
        writeStation(root, 60);
        auto window = start(root);
        auto *list = child<QListWidget>(window.get(), "ListeLog");
        auto *scroll = child<QScrollBar>(window.get(), "VScroll1");
        QListWidgetItem *first = list->item(0);
        scroll->setValue(55);
        QCOMPARE(list->item(0), first);
        QCOMPARE(pageShown(window.get()), QStringLiteral("3"));

        // Back with the scroll bar itself: the first line of the page.
        scroll->triggerAction(QAbstractSlider::SliderSingleStepSub);
        QCOMPARE(pageShown(window.get()), QStringLiteral("2"));
        QVERIFY(list->item(0) != first);
        QCOMPARE(selectedRecord(window.get()), 26);
    }

    void thePageBoxTakesAPageNumber_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("page");
        QTest::newRow("beyond the last page") << QStringLiteral("9999") << QStringLiteral("3");
        QTest::newRow("a page") << QStringLiteral("2") << QStringLiteral("2");
        QTest::newRow("rounded") << QStringLiteral("1.6") << QStringLiteral("2");
        QTest::newRow("below one") << QStringLiteral("0.4") << QStringLiteral("1");
        QTest::newRow("letters") << QStringLiteral("abc") << QStringLiteral("1");
        QTest::newRow("nothing") << QString() << QStringLiteral("1");
    }
    void thePageBoxTakesAPageNumber()
    {
        QFETCH(QString, typed);
        QFETCH(QString, page);
        DataRoot root;
        writeStation(root, 60);
        auto window = start(root);
        QTest::mouseClick(child<QPushButton>(window.get(), "CmdSensHaut"), Qt::LeftButton);
        auto *box = child<QLineEdit>(window.get(), "PageText1");
        QTest::mouseClick(box, Qt::LeftButton);
        QCOMPARE(box->text(), QString());
        QTest::keyClicks(box, typed);
        QCOMPARE(box->text(), typed.toUpper());
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(box->text(), page);
        QCOMPARE(child<QListWidget>(window.get(), "ListeLog")->item(0)->text().left(6).trimmed(),
                 QString::number((page.toInt() - 1) * 25 + 1));
    }

    void aClickInTheListShowsTheRecord()
    {
        DataRoot root;
        std::filesystem::create_directories(root.programFolder());
        writeConfiguration(root.configPath(), makeConfiguration("F6XYZ", "JN18EU"));
        std::vector<QsoRecord> records{testContact(1), testContact(2), testContact(3)};
        records[1].setField(Field::SLOC, "JN18EU"); // the station's own square
        records[2].setField(Field::MLOC, "");       // stored without an own locator
        writeRecords(root.logPath(), records);
        auto window = start(root);
        auto *list = child<QListWidget>(window.get(), "ListeLog");

        auto clickLine = [&](int row) {
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                              list->visualItemRect(list->item(row)).center());
        };
        clickLine(0);
        QCOMPARE(list->currentItem()->data(Qt::UserRole).toInt(), 1);
        QCOMPARE(child<QLabel>(window.get(), "NoFicheLab")->text(), QStringLiteral(" Fiche N°1 "));
        QCOMPARE(child<QLineEdit>(window.get(), "TxtField1")->text(), QStringLiteral("F0001"));
        QCOMPARE(child<QLineEdit>(window.get(), "TxtField13")->text(), QStringLiteral("MERCI"));
        QCOMPARE(child<QLineEdit>(window.get(), "TxtField17")->text(), QStringLiteral("VIA BURO"));
        QCOMPARE(child<QLineEdit>(window.get(), "TxtField16")->text(), QStringLiteral("JN18EU"));
        QCOMPARE(child<QLabel>(window.get(), "LabDept")->text(),
                 toQString(trim(deptName("35").value())));
        QVERIFY(child<QLabel>(window.get(), "LabDist")->text().endsWith(QStringLiteral(" Km")));
        QVERIFY(!child<QLabel>(window.get(), "LabAzim")->text().isEmpty());
        QVERIFY(child<QPushButton>(window.get(), "BtActiveRech")->isVisible());

        clickLine(1);
        QCOMPARE(child<QLabel>(window.get(), "LabDist")->text(), QStringLiteral("0 Km"));
        QCOMPARE(child<QLabel>(window.get(), "LabAzim")->text(), QStringLiteral("..."));

        clickLine(2);
        QCOMPARE(child<QLabel>(window.get(), "LabDist")->text(), QString());
        QCOMPARE(child<QLabel>(window.get(), "LabAzim")->text(), QString());
    }

    void anotherLogIsReadButNotWritten()
    {
        DataRoot root;
        writeStation(root, 30);
        const std::filesystem::path other = root.root() / "autres" / "F1ABC.Ham";
        std::filesystem::create_directories(other.parent_path());
        writeLog(other, 5, "IN98GC");
        auto window = start(root);

        chooseFile(other);
        child<QAction>(window.get(), "MnuAutreF")->trigger();
        QVERIFY(!window->isOwnLog());
        QVERIFY(window->logFile().isReadOnly());
        QCOMPARE(child<QLabel>(window.get(), "PictListLab01")->text(),
                 QStringLiteral("F1ABC (lecture seule)"));
        QVERIFY(window->windowTitle().endsWith(
            QStringLiteral("%1 (lecture seule)").arg(QString::fromStdString(other.string()))));
        QCOMPARE(child<QListWidget>(window.get(), "ListeLog")->count(), 5);
        QVERIFY(!child<QPushButton>(window.get(), "BtNewQSO")->isEnabled());
        QVERIFY(!child<QPushButton>(window.get(), "BtKillFiche")->isEnabled());
        QVERIFY(child<QPushButton>(window.get(), "BtFermerLog")->isEnabled());
        QCOMPARE(window->stationLocator(), std::string("IN98GC"));

        // Back to the own log: contacts can be created and deleted again.
        child<QAction>(window.get(), "MnuCourantF")->trigger();
        QVERIFY(window->isOwnLog());
        QCOMPARE(child<QLabel>(window.get(), "PictListLab01")->text(), QStringLiteral("F6XYZ"));
        QVERIFY(!window->logFile().isReadOnly());
        QVERIFY(!window->windowTitle().contains(QStringLiteral("lecture seule")));
        QCOMPARE(child<QListWidget>(window.get(), "ListeLog")->count(), 5);
        QCOMPARE(pageShown(window.get()), QStringLiteral("2"));
        QVERIFY(child<QPushButton>(window.get(), "BtNewQSO")->isEnabled());
        QVERIFY(child<QPushButton>(window.get(), "BtKillFiche")->isEnabled());
        QCOMPARE(window->stationLocator(), std::string("JN18EU"));
    }

    // The own log is the file the configuration names, not any file of its name.
    void theOwnLogIsKnownByWhatItIs_data()
    {
        QTest::addColumn<QString>("call");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("link");
        QTest::addColumn<bool>("own");
        QTest::newRow("long call sign")
            << QStringLiteral("TM100ANNIV") << QStringLiteral("Ondelog/TM100ANN.Ham") << QString()
            << true;
        QTest::newRow("a copy bearing its name")
            << QStringLiteral("F6XYZ") << QStringLiteral("copie/F6XYZ.Ham") << QString() << false;
        QTest::newRow("its name in another case")
            << QStringLiteral("F6XYZ") << QStringLiteral("copie/f6xyz.ham") << QString() << false;
        QTest::newRow("another name")
            << QStringLiteral("F6XYZ") << QStringLiteral("copie/F6XYZP.Ham") << QString() << false;
        QTest::newRow("a link to it") << QStringLiteral("F6XYZ") << QStringLiteral("lien.Ham")
                                      << QStringLiteral("symbolic") << true;
        QTest::newRow("a hard link to it")
            << QStringLiteral("F6XYZ") << QStringLiteral("Ondelog/autre.Ham")
            << QStringLiteral("hard") << true;
    }
    void theOwnLogIsKnownByWhatItIs()
    {
        QFETCH(QString, call);
        QFETCH(QString, path);
        QFETCH(QString, link);
        QFETCH(bool, own);
        DataRoot root;
        writeStation(root, 2, call.toStdString());
        const std::filesystem::path ownLog =
            root.programFolder() / makeConfiguration(call.toStdString(), "JN18EU").logFileName;
        const std::filesystem::path chosen = root.root() / path.toStdString();
        std::filesystem::create_directories(chosen.parent_path());
        if (link == QLatin1String("symbolic"))
            std::filesystem::create_symlink(ownLog, chosen);
        else if (link == QLatin1String("hard"))
            std::filesystem::create_hard_link(ownLog, chosen);
        else if (!std::filesystem::exists(chosen))
            writeLog(chosen, 3);
        auto window = start(root);
        chooseFile(chosen);
        child<QAction>(window.get(), "MnuAutreF")->trigger();
        QVERIFY(window->isLogOpen());
        QCOMPARE(window->isOwnLog(), own);
        QCOMPARE(window->logFile().isReadOnly(), !own);
        QCOMPARE(child<QPushButton>(window.get(), "BtNewQSO")->isEnabled(), own);
        // Whatever the way to it, the own log is written where the configuration says.
        if (own) {
            QCOMPARE(window->logFile().path(), ownLog);
            const std::string before = readBytes(ownLog);
            QCOMPARE(window->logFile().appendContact(testContact(9), "JN18EU"), LogStatus::Ok);
            QCOMPARE(readBytes(ownLog).size(), before.size() + kRecordSize);
        }
    }

    // What rewrites killed part-way left behind goes at the next start, in the
    // backup folder too; what other programs keep in the folder stays.
    void leftoversOfKilledRewritesGoAtStartUp()
    {
        DataRoot root;
        writeStation(root, 3);
        const std::filesystem::path folder = root.programFolder();
        std::filesystem::create_directories(folder / "RidEzav");
        const std::vector<std::filesystem::path> leftovers = {
            folder / ".F6XYZ.Ham.a1B2c3", folder / ".RozOvo.cfg.Zz9Yy8",
            folder / ".FeuilleQSL.txt.q1w2e3", folder / "RidEzav" / ".F6XYZ.Ham.x1y2z3",
            folder / "RidEzav" / ".samedi.Ham.AbCdEf"};
        const std::vector<std::filesystem::path> kept = {
            folder / ".F6XYZ.mdb.a1B2c3", folder / "notes.txt", folder / "RidEzav" / "F6XYZ.Ham"};
        for (const auto &path : leftovers)
            writeBytes(path, "x");
        for (const auto &path : kept)
            writeBytes(path, "x");
        auto window = start(root);
        for (const auto &path : leftovers)
            QVERIFY2(!std::filesystem::exists(path), path.c_str());
        for (const auto &path : kept)
            QVERIFY2(std::filesystem::exists(path), path.c_str());
    }

    void anyFileOpensWithoutHarm_data()
    {
        QTest::addColumn<int>("size");
        QTest::newRow("empty") << 0;
        QTest::newRow("part of a record") << 100;
        QTest::newRow("not a multiple of 165") << 1000;
    }
    void anyFileOpensWithoutHarm()
    {
        QFETCH(int, size);
        DataRoot root;
        writeStation(root, 3);
        const std::filesystem::path junk = root.root() / "bruit.Ham";
        std::string bytes(static_cast<std::size_t>(size), '\0');
        for (int i = 0; i < size; ++i)
            bytes[static_cast<std::size_t>(i)] = static_cast<char>((i * 37) % 256);
        writeBytes(junk, bytes);
        auto window = start(root);
        chooseFile(junk);
        // Opened as it is, with one warning that names the damage.
        QString warning;
        bool warned = false;
        if (size > 0)
            answerNextMessageBox(nullptr, &warning, &warned);
        child<QAction>(window.get(), "MnuAutreF")->trigger();
        QVERIFY(window->isLogOpen());
        QCOMPARE(warned, size > 0);
        if (size > 0)
            QVERIFY2(warning.contains(QStringLiteral("endommagé")), qPrintable(warning));
        QVERIFY(child<QListWidget>(window.get(), "ListeLog")->count() <= size / 165);
        QCOMPARE(readBytes(junk), bytes);
    }

    // Pipes where files are expected are never opened: the window says so at
    // once instead of waiting for a program to write into them.
    void aPipeIsNeitherALogNorALabelSheet()
    {
        DataRoot root;
        writeStation(root, 3);
        const std::filesystem::path sheet = root.programFolder() / kLabelSheetFileName;
        const std::filesystem::path other = root.root() / "AUTRE.Ham";
        QCOMPARE(::mkfifo(sheet.c_str(), 0644), 0);
        QCOMPARE(::mkfifo(other.c_str(), 0644), 0);
        QString text;
        bool answered = false;
        answerNextMessageBox(nullptr, &text, &answered);
        auto window = start(root);
        QTRY_VERIFY_WITH_TIMEOUT(answered, 5000);
        QVERIFY2(text.contains(QStringLiteral("FeuilleQSL.txt")), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("Ce n'est pas un fichier")), qPrintable(text));
        QCOMPARE(window->logFile().recordCount(), 3);

        chooseFile(other);
        answered = false;
        answerNextMessageBox(nullptr, &text, &answered);
        child<QAction>(window.get(), "MnuAutreF")->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(answered, 5000);
        QVERIFY2(text.contains(QStringLiteral("Ce n'est pas un fichier")), qPrintable(text));
    }

    void aReadOnlyOwnLogSaysSoOnceAndShowsIt()
    {
        DataRoot root;
        writeStation(root, 3);
        const std::string before = readBytes(root.logPath());
        // The refusal a read-only medium gives, made by the file seam: the
        // tests run as root, where permissions are not enforced.
        fileio::setHook(
            [](fileio::Operation op, long) { return op == fileio::Operation::Open ? EROFS : 0; });
        QString warning;
        bool warned = false;
        answerNextMessageBox(nullptr, &warning, &warned);
        auto window = start(root);
        QVERIFY(warned);
        QVERIFY2(warning.contains(QStringLiteral("lecture seule")) &&
                     warning.contains(QStringLiteral("support")),
                 qPrintable(warning));
        QCOMPARE(child<QLabel>(window.get(), "PictListLab01")->text(),
                 QStringLiteral("F6XYZ (lecture seule)"));
        QVERIFY(!child<QPushButton>(window.get(), "BtNewQSO")->isEnabled());
        QCOMPARE(child<QListWidget>(window.get(), "ListeLog")->count(), 3);

        // Opened again, it is not said again; the title keeps saying it.
        bool warnedAgain = false;
        answerNextMessageBox(nullptr, nullptr, &warnedAgain);
        child<QAction>(window.get(), "MnuCourantF")->trigger();
        QTest::qWait(50);
        QVERIFY(!warnedAgain);
        cancelModalWatches();
        QCOMPARE(child<QLabel>(window.get(), "PictListLab01")->text(),
                 QStringLiteral("F6XYZ (lecture seule)"));
        fileio::setHook({});
        QCOMPARE(readBytes(root.logPath()), before);
    }

    void aDamagedOwnLogOpensAsItIsWithOneWarning()
    {
        DataRoot root;
        writeStation(root, 3);
        std::string bytes = readBytes(root.logPath());
        bytes[165 + 2] = '\n';  // in the call sign of contact 2
        bytes[165 + 16] = '\0'; // in its date
        bytes += "F6";          // a record cut short
        writeBytes(root.logPath(), bytes);
        QString warning;
        bool warned = false;
        answerNextMessageBox(nullptr, &warning, &warned);
        auto window = start(root);
        QVERIFY(warned);
        QVERIFY2(warning.contains(QStringLiteral("endommagé")) &&
                     warning.contains(QStringLiteral("fiche N° 2")) &&
                     warning.contains(QStringLiteral("incomplète")) &&
                     warning.contains(QStringLiteral("sauvegarde")),
                 qPrintable(warning));
        auto *list = child<QListWidget>(window.get(), "ListeLog");
        QCOMPARE(list->count(), 3);
        const QString line = list->item(1)->text();
        QVERIFY2(line.contains(QStringLiteral("¤")), qPrintable(line));
        for (const QChar c : line)
            QVERIFY(c.unicode() >= 0x20 && c.unicode() != 0x7F);
        QCOMPARE(readBytes(root.logPath()), bytes);
    }

    void cancellingTheFileDialogKeepsTheLog()
    {
        DataRoot root;
        writeStation(root, 3);
        auto window = start(root);
        chooseFile({});
        child<QAction>(window.get(), "MnuAutreF")->trigger();
        QVERIFY(window->isLogOpen());
        QVERIFY(window->isOwnLog());
        QCOMPARE(child<QListWidget>(window.get(), "ListeLog")->count(), 3);
        QVERIFY(window->logFile().readRecord(1).has_value());
    }

    void aLostConfigurationKeepsTheLog()
    {
        DataRoot root;
        writeStation(root, 30);
        const std::string before = readBytes(root.logPath());
        std::filesystem::remove(root.configPath());
        QString success;
        whenModalNamed(QStringLiteral("Dlg1"), [&](QWidget *dialog) {
            completeFirstRun(dialog, QStringLiteral("F6XYZ"), &success);
        });
        auto window = start(root);
        QVERIFY2(success.contains(QStringLiteral("conservés")), qPrintable(success));
        QCOMPARE(readBytes(root.logPath()), before);
        QCOMPARE(pageShown(window.get()), QStringLiteral("2"));
        QCOMPARE(child<QListWidget>(window.get(), "ListeLog")->count(), 5);
    }

    void aDamagedConfigurationIsSaidThenAskedAgain()
    {
        DataRoot root;
        writeStation(root, 3);
        const std::string before = readBytes(root.logPath());
        writeBytes(root.configPath(), "\"F6XYZ\"\r\n");
        QString warning;
        answerNextMessageBox(nullptr, &warning);
        whenModalNamed(QStringLiteral("Dlg1"),
                       [&](QWidget *dialog) { completeFirstRun(dialog, QStringLiteral("F6XYZ")); });
        auto window = start(root);
        QVERIFY2(warning.contains(QStringLiteral("endommagé")), qPrintable(warning));
        QCOMPARE(readBytes(root.logPath()), before);
        QCOMPARE(readBytes(root.configPath()),
                 std::string("\"F6XYZ\",\"F6XYZ.Ham\",\"JN18EU\"\r\n"));
        QCOMPARE(child<QListWidget>(window.get(), "ListeLog")->count(), 3);
    }

    void aMissingLogIsCreatedAndSaid()
    {
        DataRoot root;
        writeStation(root, 3);
        std::filesystem::remove(root.logPath());
        QString warning;
        answerNextMessageBox(nullptr, &warning);
        auto window = start(root);
        QVERIFY2(warning.contains(QStringLiteral("introuvable")), qPrintable(warning));
        QVERIFY(window->isLogOpen());
        QCOMPARE(window->logFile().recordCount(), 0);
        QCOMPARE(std::filesystem::file_size(root.logPath()), std::uintmax_t(165));
    }

    void theClockRunsFromTheGivenClock()
    {
        DataRoot root;
        writeStation(root, 0);
        auto window = start(root);
        QCOMPARE(child<QLabel>(window.get(), "LabHeure")->text(), QStringLiteral("18:42:07"));
        QCOMPARE(child<QLabel>(window.get(), "LabDate")->text(),
                 QStringLiteral(" Jeudi 14 Mars 2024 "));
        m_clock->set(makeDateTime(2024, 3, 15, 0, 0, 1));
        QTRY_COMPARE_WITH_TIMEOUT(child<QLabel>(window.get(), "LabHeure")->text(),
                                  QStringLiteral("00:00:01"), 2500);
        QCOMPARE(child<QLabel>(window.get(), "LabDate")->text(),
                 QStringLiteral(" Vendredi 15 Mars 2024 "));
    }

    void closingSaysGoodbyeAndEnds_data()
    {
        QTest::addColumn<bool>("fromMenu");
        QTest::newRow("Fermer le Log") << false;
        QTest::newRow("MnuQuitter") << true;
    }
    void closingSaysGoodbyeAndEnds()
    {
        QFETCH(bool, fromMenu);
        DataRoot root;
        writeStation(root, 3);
        auto window = start(root);
        QSignalSpy ended(window.get(), &MainWindow::programEnded);
        QString during;
        QTimer::singleShot(1, window.get(),
                           [&] { during = child<QLabel>(window.get(), "OndelogLab03")->text(); });
        if (fromMenu)
            child<QAction>(window.get(), "MnuQuitter")->trigger();
        else
            QTest::mouseClick(child<QPushButton>(window.get(), "BtFermerLog"), Qt::LeftButton);
        QCOMPARE(during, QStringLiteral(" Au revoir "));
        QCOMPARE(ended.count(), 1);
        QVERIFY(window->hasEnded());
        QVERIFY(!window->isVisible());
        QVERIFY(!window->logFile().isOpen());
    }

    void stopInTheFirstRunEndsTheProgram()
    {
        DataRoot root;
        whenModalNamed(QStringLiteral("Dlg1"), [](QWidget *dialog) {
            QTest::mouseClick(child<QPushButton>(dialog, "Dlg1Fra2CmdArreter"), Qt::LeftButton);
        });
        MainWindow window(root.root(), *m_clock);
        QSignalSpy ended(&window, &MainWindow::programEnded);
        window.show();
        QTRY_COMPARE(ended.count(), 1);
        QVERIFY(!std::filesystem::exists(root.configPath()));
    }

    void theLocatorDialogOpensOnTheStationLocator()
    {
        DataRoot root;
        writeStation(root, 0, "F6XYZ", "IN98GC");
        auto window = start(root);
        QString shown;
        whenModalNamed(QStringLiteral("Dlg2"), [&](QWidget *dialog) {
            shown = child<QLineEdit>(dialog, "Fr1TextLocator")->text();
            static_cast<QDialog *>(dialog)->accept();
        });
        child<QAction>(window.get(), "MnuEditLocator")->trigger();
        QCOMPARE(shown, QStringLiteral("IN98GC"));
    }

    // Whatever modal window the list opens, the keys typed after it closes go
    // to the list again.
    void theKeyboardComesBackToTheListAfterADialog_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("dialog");
        QTest::newRow("locator dialog") << "MnuEditLocator"
                                        << "Dlg2";
        QTest::newRow("about box") << "MnuVoir"
                                   << "AboutOndelog";
        QTest::newRow("file dialog, cancelled") << "MnuAutreF" << QString();
    }
    void theKeyboardComesBackToTheListAfterADialog()
    {
        QFETCH(QString, action);
        QFETCH(QString, dialog);
        DataRoot root;
        writeStation(root, 30);
        auto window = start(root);
        auto *list = child<QListWidget>(window.get(), "ListeLog");
        list->setFocus();
        QVERIFY(list->hasFocus());
        if (dialog.isEmpty())
            chooseFile({});
        else
            whenModalNamed(dialog, [](QWidget *w) { static_cast<QDialog *>(w)->reject(); });
        child<QAction>(window.get(), action)->trigger();
        QTRY_VERIFY(list->hasFocus());
    }

    void theAboutBoxTellsTheVersions()
    {
        DataRoot root;
        writeStation(root, 0);
        auto window = start(root);
        QString info;
        whenModalNamed(QStringLiteral("AboutOndelog"), [&](QWidget *about) {
            QVERIFY(about->findChild<QLabel *>(QStringLiteral("AboutVersion"))
                        ->text()
                        .contains(QStringLiteral(ONDELOG_VERSION)));
            answerNextMessageBox(nullptr, &info);
            QTest::mouseClick(child<QPushButton>(about, "BtInfosSysteme"), Qt::LeftButton);
            static_cast<QDialog *>(about)->accept();
        });
        child<QAction>(window.get(), "MnuVoir")->trigger();
        QVERIFY(info.contains(QStringLiteral(ONDELOG_VERSION)));
        QVERIFY(info.contains(QString::fromLatin1(qVersion())));
        QVERIFY(info.contains(QString::fromStdString(root.root().string())));
    }
};

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
