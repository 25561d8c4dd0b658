// The ADIF items of the "Fichier" menu, driven as the operator would: the file
// dialog, the progress dialog's "Annuler", the summary, and the log shown again.
// What is mapped, skipped and counted is the core tests' business.

#include "interchange/adiftransfer.h"
#include "tests/ui/helpers/uitest.h"
#include "ui/adifcommands.h"

#include <QAction>
#include <QFileDialog>
#include <QListWidget>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QtTest>

using namespace ondelog;
using namespace ondelog::test;

namespace {

void chooseFile(const std::filesystem::path &path)
{
    whenModal([](QWidget *w) { return qobject_cast<QFileDialog *>(w) != nullptr; },
              [path](QWidget *w) {
                  auto *dialog = static_cast<QFileDialog *>(w);
                  dialog->selectFile(QString::fromStdString(path.string()));
                  QMetaObject::invokeMethod(dialog, "accept");
              });
}

std::string adiContacts(int first, int count)
{
    std::string text = "<EOH>\n";
    for (int i = first; i < first + count; ++i) {
        const std::string call = "F" + std::to_string(10000 + i).substr(1);
        char time[5];
        std::snprintf(time, sizeof time, "%02d%02d", (i / 60) % 24, i % 60);
        text += "<CALL:5>" + call + "<QSO_DATE:8>20240314<TIME_ON:4>" + time + "<EOR>\n";
    }
    return text;
}

} // namespace

class AdifTest : public StationWindowTest
{
    Q_OBJECT

    QString trigger(const char *item, const std::filesystem::path &file)
    {
        chooseFile(file);
        QString summary;
        bool answered = false;
        answerNextMessageBox(nullptr, &summary, &answered);
        get<QAction>(QString::fromLatin1(item))->trigger();
        if (!QTest::qWaitFor([&] { return answered; }, 10000))
            qWarning("no summary");
        return summary;
    }

  private slots:
    void initTestCase() { initWindowTests(); }
    void init()
    {
        m_root = std::make_unique<DataRoot>();
        AdifCommands::setProgressThreshold(3000);
    }
    void cleanup()
    {
        cancelModalWatches();
        m_window.reset();
    }

    void exportThenImportIntoTheOwnLog()
    {
        start(30);
        const auto adx = m_root->root() / "log.adx";
        QCOMPARE(trigger("MnuExportAdif", adx),
                 QStringLiteral("30 contacts exportés dans « log.adx »."));
        QVERIFY(readBytes(adx).find("<STATION_CALLSIGN>F6XYZ</STATION_CALLSIGN>") !=
                std::string::npos);

        const auto adi = m_root->root() / "wsjt.adi";
        writeBytes(adi, adiContacts(1, 4));
        QCOMPARE(trigger("MnuImportAdif", adi), QStringLiteral("4 contacts ajoutés au log."));
        QCOMPARE(m_window->logFile().recordCount(), 34);
        auto *list = get<QListWidget>(QStringLiteral("ListeLog"));
        QVERIFY(list->currentItem());
        QVERIFY(list->currentItem()->text().contains(QStringLiteral("F0004")));

        // The log on screen is the new file: a contact entered now lands in it.
        QCOMPARE(m_window->logFile().appendContact(testContact(99), "JN18EU"), LogStatus::Ok);
        QCOMPARE(static_cast<int>(logBytes().size()), 36 * 165);
    }

    // A report that only confirms contacts still replaces the log file: the
    // window must read the new one, or a contact entered next would be lost.
    void aReportThatOnlyConfirmsIsShownAndKept()
    {
        start(5);
        const auto adi = m_root->root() / "lotwreport.adi";
        writeBytes(adi, "<EOH>\n<CALL:5>F0003<QSO_DATE:8>20240104<TIME_ON:6>030300<BAND:3>20M"
                        "<QSL_RCVD:1>Y<QSLRDATE:8>20240310<EOR>\n");
        QCOMPARE(trigger("MnuImportAdif", adi),
                 QStringLiteral("0 contact ajouté au log.\n1 contact confirmé : la date de "
                                "réception de sa QSL est notée dans le log."));
        QCOMPARE(m_window->logFile().readRecord(3).value_or(QsoRecord()).field(Field::SQSL),
                 std::string("10/03/24"));
        QCOMPARE(m_window->logFile().appendContact(testContact(99), "JN18EU"), LogStatus::Ok);
        const std::string bytes = logBytes();
        QCOMPARE(bytes.size(), std::size_t{7 * kRecordSize});
        QCOMPARE(bytes.substr(2 * kRecordSize + fieldLayout(Field::SQSL).offset, 8),
                 std::string("10/03/24"));
    }

    void cancelLeavesTheLogAsItWas()
    {
        start(3);
        AdifCommands::setProgressThreshold(10);
        const std::string before = logBytes();
        const auto adi = m_root->root() / "big.adi";
        writeBytes(adi, adiContacts(0, 3000));
        whenModal([](QWidget *w) { return qobject_cast<QProgressDialog *>(w) != nullptr; },
                  [](QWidget *w) {
                      QVERIFY(w->objectName() == QStringLiteral("ProgressionAdif"));
                      auto *cancel = w->findChild<QPushButton *>();
                      QVERIFY(cancel);
                      QCOMPARE(cancel->text(), QStringLiteral("Annuler"));
                      cancel->click();
                  });
        QCOMPARE(trigger("MnuImportAdif", adi),
                 QStringLiteral("Import annulé : le log est resté tel qu'il était."));
        QCOMPARE(logBytes(), before);
    }

    void importIsRefusedDuringEntry()
    {
        start(3);
        const std::string before = logBytes();
        m_window->setEntrySession(true);
        QString text;
        bool answered = false;
        answerNextMessageBox(nullptr, &text, &answered);
        get<QAction>(QStringLiteral("MnuImportAdif"))->trigger();
        QVERIFY(QTest::qWaitFor([&] { return answered; }, 5000));
        QVERIFY(text.contains(QStringLiteral("hors saisie")));
        QCOMPARE(logBytes(), before);
        m_window->setEntrySession(false);
    }
};

QTEST_MAIN(AdifTest)
#include "tst_adif.moc"
