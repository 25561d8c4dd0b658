// SPDX-License-Identifier: GPL-3.0-or-later
// The QSL cycle in the main window: a label started from a contact's MQSL
// field, the slots of the sheet, printing through a stand-in printer and the
// check of the printout, with the log file read back after each step.

#include "ui/helpers/uitest.h"

#include "logbook/loglist.h"
#include "printing/labelsheet.h"
#include "printing/printsurface.h"
#include "ui/contacteditor.h"
#include "ui/labelsheetpanel.h"
#include "ui/mainwindow.h"
#include "ui/printjob.h"
#include "ui/recordpanel.h"

#include <QAction>
#include <QDialog>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>
#include <QToolBar>

using namespace ondelog;
using namespace ondelog::test;

namespace {

// What the stand-in printer was given, and what it answers.
struct FakePrinter
{
    PrintOutcome answer = PrintOutcome::Printed;
    int jobs = 0;
    RecordingSurface page;

    void install()
    {
        PrintJob::setRunnerForTests([this](const PrintJob::Layout &layout) {
            ++jobs;
            page = RecordingSurface();
            layout(page);
            return answer;
        });
    }
};

} // namespace

class LabelSheetTest : public StationWindowTest
{
    Q_OBJECT

    FakePrinter m_printer;

    QFrame *sheet() { return get<QFrame>(QStringLiteral("PictFeuilleQSL")); }
    QLineEdit *box(int i) { return get<QLineEdit>(QStringLiteral("FLdText%1").arg(i)); }
    QPushButton *tag(int n) { return get<QPushButton>(QStringLiteral("BtTag%1").arg(n)); }
    QPushButton *choice(int n) { return get<QPushButton>(QStringLiteral("BtChoix%1").arg(n)); }
    QColor colour(QPushButton *b) { return b->palette().color(QPalette::Button); }

    std::string mqsl(int n) { return QsoRecord(recordAt(n)).field(Field::MQSL); }
    QsoRecord recordAt(int n)
    {
        const std::string bytes = logBytes();
        QsoRecord r;
        std::copy_n(bytes.begin() + (n - 1) * long(kRecordSize), kRecordSize, r.bytes().begin());
        return r;
    }

    void showRecord(int n)
    {
        m_window->showPage(computePageCount(n));
        auto *list = get<QListWidget>(QStringLiteral("ListeLog"));
        const int row = (n - 1) % kLinesPerPage;
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(row)).center());
        QCOMPARE(m_window->shownRecord(), n);
    }

    // A label for contact n, started from its MQSL field and validated: its slot.
    void labelContact(int n)
    {
        showRecord(n);
        QTest::mouseClick(field(14), Qt::LeftButton);
        QVERIFY(sheet()->isVisible());
        QVERIFY(button("BtValidQSL")->isVisible());
        button("BtValidQSL")->click();
        QVERIFY(!sheet()->isVisible());
    }

    void trigger(const char *item)
    {
        m_window->findChild<QAction *>(QString::fromLatin1(item))->trigger();
    }

  private slots:
    void initTestCase() { initWindowTests(); }
    void init()
    {
        m_root = std::make_unique<DataRoot>();
        m_printer = FakePrinter();
        m_printer.install();
    }
    void cleanup()
    {
        cancelModalWatches();
        m_window.reset();
        m_root.reset();
        PrintJob::setRunnerForTests({});
    }

    void labelFromAContact()
    {
        start(30);
        // The sheet was created at start-up with sixteen free labels.
        std::string freeSheet;
        for (int n = 1; n <= 16; ++n)
            freeSheet += LabelRecord().bytes();
        QCOMPARE(readBytes(m_root->programFolder() / kLabelSheetFileName), freeSheet);
        showRecord(5);
        QTest::mouseClick(field(14), Qt::LeftButton);
        QVERIFY(sheet()->isVisible());
        // In its place beside the list, not a stray child of the window.
        QTRY_VERIFY(sheet()->height() > 300);
        QVERIFY(!get<QFrame>(QStringLiteral("PictFiche"))->isVisible());
        QVERIFY(!get<QFrame>(QStringLiteral("PictListe"))->isEnabled());
        QVERIFY(!button("BtNewQSO")->isEnabled());
        const QStringList expected = {"F0005", "06/01/24", "05:05", "14.205", "SSB", "59",
                                      "F6XYZ", "VIA BURO", "",      "F0005",  "5"};
        for (int i = 1; i <= 11; ++i)
            QCOMPARE(box(i)->text(), expected[i - 1]);
        QCOMPARE(label("NrTag"), QStringLiteral("Etiquette N° 1"));

        button("BtValidQSL")->click();
        QCOMPARE(mqsl(5), std::string(kLabelPendingMark));
        // Opened again, the sheet offers the next free label.
        trigger("MnuGestionFeuilleQSL");
        QCOMPARE(label("NrTag"), QStringLiteral("Etiquette N° 2"));
        button("BtQuitQSL")->click();
        QCOMPARE(field(14)->text(), QStringLiteral("En cours"));
        QCOMPARE(tag(1)->text(), QStringLiteral("F0005 [1]"));
        QCOMPARE(choice(1)->text(), QStringLiteral("Effacer"));
        QCOMPARE(colour(choice(1)), QColor(255, 255, 0));
        QVERIFY(get<QFrame>(QStringLiteral("PictFiche"))->isVisible());
        QVERIFY(get<QFrame>(QStringLiteral("PictListe"))->isEnabled());
        QVERIFY(button("BtNewQSO")->isEnabled());

        // A contact already on a label starts no other: the press changes the field.
        QTest::mouseClick(field(14), Qt::LeftButton);
        QVERIFY(!sheet()->isVisible());
        QVERIFY(m_window->contactEditor()->isModifyMode());
    }

    // Each box shows its longest value whole in the font it uses, at the
    // window's usual sizes; a box the text cannot fill is not drawn wide.
    void boxesShowTheirLongestValues_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("1280x800") << QSize(1280, 800);
        QTest::newRow("1024x768") << QSize(1024, 768);
    }
    void boxesShowTheirLongestValues()
    {
        QFETCH(QSize, size);
        start(3);
        m_window->resize(size);
        trigger("MnuGestionFeuilleQSL");
        QVERIFY(sheet()->isVisible());
        const QStringList longest = {"WWWWWW/WWWWWW/W",
                                     "28/08/88",
                                     "23:58",
                                     "1296.20000",
                                     "MFSK8",
                                     "599+40DB",
                                     "TM2024/F6XYZ/MM",
                                     "WWWWWW/WWWWWW/W",
                                     "VIA F5NEW BURO!",
                                     "VP2MWW/DL1ABC/P",
                                     "32767"};
        for (int i = 1; i <= 11; ++i)
            box(i)->setText(longest[i - 1]);
        QCoreApplication::processEvents();
        for (int i = 1; i <= 11; ++i) {
            QLineEdit *b = box(i);
            b->end(false);
            const int y = b->height() / 2;
            // Scrolled to its end, a box too narrow hides its first characters.
            QVERIFY2(b->cursorPositionAt(QPoint(3, y)) == 0 &&
                         b->cursorPositionAt(QPoint(b->width() - 4, y)) == b->text().size(),
                     qPrintable(b->objectName() + QLatin1Char(' ') + b->text()));
        }
        for (int i : {2, 3, 6, 5})
            QVERIFY2(box(i)->width() < 3 * box(i)->fontMetrics().horizontalAdvance(longest[i - 1]),
                     qPrintable(box(i)->objectName()));
    }

    void slotButtons()
    {
        start(10);
        labelContact(3);
        trigger("MnuGestionFeuilleQSL");
        QVERIFY(sheet()->isVisible());
        QVERIFY(button("BtPrintQSL")->isVisible());

        // Free, withdrawn and back; the next label skips the withdrawn slot.
        choice(2)->click();
        QCOMPARE(choice(2)->text(), QStringLiteral("Libérer"));
        QCOMPARE(colour(choice(2)), QColor(255, 192, 192));
        QVERIFY(!tag(2)->isEnabled());
        QVERIFY(button("BtRestore")->isVisible());
        QCOMPARE(label("NrTag"), QStringLiteral("Etiquette N° 3"));
        choice(4)->click();
        button("BtRestore")->click();
        for (int n : {2, 4}) {
            QCOMPARE(choice(n)->text(), QStringLiteral("Retirer"));
            QCOMPARE(colour(choice(n)), QColor(192, 255, 192));
            QVERIFY(tag(n)->isEnabled());
        }
        QVERIFY(!button("BtRestore")->isVisible());
        QCOMPARE(label("NrTag"), QStringLiteral("Etiquette N° 2"));

        // An occupied slot shows its label; Laisser keeps it, Supprimer frees it.
        choice(1)->click();
        QVERIFY(button("BtDelQSL")->isVisible());
        QVERIFY(button("BtLeaveQSL")->isVisible());
        QVERIFY(!button("BtQuitQSL")->isVisible());
        QCOMPARE(box(1)->text(), QStringLiteral("F0003"));
        QCOMPARE(box(6)->text(), QStringLiteral("59"));
        QCOMPARE(box(5)->text(), QStringLiteral("SSB"));
        QCOMPARE(label("NrTag"), QStringLiteral("Etiquette N° 1"));
        button("BtLeaveQSL")->click();
        QCOMPARE(choice(1)->text(), QStringLiteral("Effacer"));
        QVERIFY(button("BtQuitQSL")->isVisible());
        choice(1)->click();
        button("BtDelQSL")->click();
        QCOMPARE(mqsl(3), std::string());
        QCOMPARE(choice(1)->text(), QStringLiteral("Retirer"));
        QCOMPARE(tag(1)->text(), QStringLiteral("Etiquette  [1] libre"));
        QVERIFY(!button("BtPrintQSL")->isVisible());
        QVERIFY(button("BtQuitQSL")->isVisible());

        // Typing: upper case, and Enter adds nothing but offers Valider.
        tag(1)->click();
        typeText(box(1), QStringLiteral("f5abc"));
        QTest::keyClick(box(1), Qt::Key_Return);
        QCOMPARE(box(1)->text(), QStringLiteral("F5ABC"));
        QVERIFY(button("BtValidQSL")->isVisible());
        // A label typed by hand names no contact: stored, the log untouched.
        const std::string before = logBytes();
        answerNextMessageBox();
        button("BtValidQSL")->click();
        QCOMPARE(choice(1)->text(), QStringLiteral("Effacer"));
        QCOMPARE(logBytes(), before);

        button("BtQuitQSL")->click();
        QVERIFY(!sheet()->isVisible());
        QVERIFY(get<QFrame>(QStringLiteral("PictFiche"))->isVisible());
    }

    void printAndCheck_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("checked");
        QTest::addColumn<bool>("warned");
        QTest::newRow("printed") << int(PrintOutcome::Printed) << true << false;
        QTest::newRow("cancelled") << int(PrintOutcome::Cancelled) << false << false;
        QTest::newRow("printer error") << int(PrintOutcome::Failed) << false << true;
    }
    void printAndCheck()
    {
        QFETCH(int, answer);
        QFETCH(bool, checked);
        QFETCH(bool, warned);
        start(10);
        labelContact(4);
        labelContact(7);
        trigger("MnuGestionFeuilleQSL");
        choice(3)->click(); // withdrawn: stays so after the check

        m_printer.answer = PrintOutcome(answer);
        bool answered = false;
        if (warned)
            answerNextMessageBox(nullptr, nullptr, &answered);
        button("BtPrintQSL")->click();
        QCOMPARE(m_printer.jobs, 1);
        QCOMPARE(m_printer.page.texts("TNX for NICE QSO HPE CUAGN ,73's").size(), std::size_t(2));
        QCOMPARE(answered, warned);
        QCOMPARE(get<QFrame>(QStringLiteral("PictCtrlImpression"))->isVisible(), checked);
        if (!checked) {
            // Nothing went to paper: the labels stay, ready to print again.
            QVERIFY(button("BtPrintQSL")->isVisible());
            QCOMPARE(mqsl(4), std::string(kLabelPendingMark));
            return;
        }

        button("BtCtrl_Revoir")->click();
        QVERIFY(!get<QFrame>(QStringLiteral("PictCtrlImpression"))->isVisible());
        QVERIFY(button("BtPrintQSL")->isVisible());
        button("BtPrintQSL")->click();
        button("BtCtrl_Parfait")->click();
        QCOMPARE(mqsl(4), std::string("14/03/24"));
        QCOMPARE(mqsl(7), std::string("14/03/24"));
        QCOMPARE(mqsl(5), std::string());
        for (int n : {1, 2}) {
            QCOMPARE(choice(n)->text(), QStringLiteral("Retirer"));
            QCOMPARE(tag(n)->text(), QStringLiteral("Etiquette  [%1] libre").arg(n));
        }
        QCOMPARE(choice(3)->text(), QStringLiteral("Libérer"));
        QCOMPARE(field(14)->text(), QStringLiteral("14/03/24"));
        QCOMPARE(get<QListWidget>(QStringLiteral("ListeLog"))->currentRow(), 6);
        QVERIFY(!sheet()->isVisible());
        QVERIFY(get<QFrame>(QStringLiteral("PictListe"))->isEnabled());
    }

    // The label of F5ABC's contact of 15/06/24, made from its record; the
    // record numbers then move (a sort, a deletion before it): the printout
    // confirmed, the date goes to that contact, not to F5ABC's other one now
    // at the label's number.
    void theCheckedLabelDatesItsOwnContact_data()
    {
        QTest::addColumn<QString>("change");
        QTest::newRow("Classer") << QStringLiteral("sort");
        QTest::newRow("Supprimer a contact before it") << QStringLiteral("deletion");
    }
    void theCheckedLabelDatesItsOwnContact()
    {
        QFETCH(QString, change);
        auto contact = [](int i, const char *call, const char *date) {
            QsoRecord r = testContact(i);
            r.setField(Field::CSGN, call);
            r.setField(Field::DQSO, date);
            return r;
        };
        const std::vector<QsoRecord> records = {
            contact(1, "F1AAA", "01/01/24"), contact(2, "F5ABC", "15/06/24"),
            contact(3, "F5ABC", "03/03/21"), contact(4, "F2BBB", "02/02/20")};
        startWith(records);

        labelContact(2);
        QCOMPARE(mqsl(2), std::string(kLabelPendingMark));
        std::vector<QsoRecord> expected;
        if (change == QLatin1String("sort")) {
            trigger("MnuClasser");
            expected = {records[3], records[2], records[0], records[1]};
        } else {
            showRecord(1);
            QTest::mouseClick(button("BtKillFiche"), Qt::LeftButton);
            QTest::mouseClick(button("FraCmdOui"), Qt::LeftButton);
            expected = {records[1], records[2], records[3]};
        }
        // The label's number 2 now holds F5ABC's contact of 03/03/21.
        QCOMPARE(recordAt(2).field(Field::DQSO), std::string("03/03/21"));

        trigger("MnuGestionFeuilleQSL");
        button("BtPrintQSL")->click();
        button("BtCtrl_Parfait")->click();
        for (QsoRecord &r : expected)
            if (r.field(Field::DQSO) == "15/06/24")
                r.setField(Field::MQSL, "14/03/24");
        std::string bytes;
        for (const QsoRecord &r : expected)
            bytes.append(r.bytes().data(), kRecordSize);
        QCOMPARE(logBytes().substr(0, bytes.size()), bytes);
        QVERIFY(!get<QFrame>(QStringLiteral("PictCtrlImpression"))->isVisible());
    }

    void logPages()
    {
        start(30);
        trigger("MnuImpPage");
        QCOMPARE(m_printer.jobs, 1);
        QCOMPARE(m_printer.page.texts("000026").size(), std::size_t(1));
        QCOMPARE(m_printer.page.texts("000030").size(), std::size_t(1));
        QCOMPARE(m_printer.page.commands().at(m_printer.page.commands().size() - 2).text,
                 std::string("2"));
        trigger("MnuImpPageVierge");
        QCOMPARE(m_printer.jobs, 2);
        QVERIFY(m_printer.page.texts("000026").empty());
        QCOMPARE(m_printer.page.texts("F6XYZ").size(), std::size_t(1));

        // Nothing prints while a contact is being entered.
        m_window->setMode(WindowMode::Entry);
        trigger("MnuImpPage");
        trigger("MnuVirginTags");
        QCOMPARE(m_printer.jobs, 2);
        m_window->setMode(WindowMode::List);
        trigger("MnuVirginTags");
        QCOMPARE(m_printer.page.texts(" F6XYZ   Confirming QSO with").size(), std::size_t(16));
    }

    // With no printer, the print dialog offers a PDF file: first under the
    // document's name in the documents folder, then under the name chosen.
    void printDialogOffersARealPdfFile()
    {
        PrintJob::setRunnerForTests({});
        start(30);
        if (m_window->printJob()->printer().outputFormat() != QPrinter::PdfFormat)
            QSKIP("this computer has a printer");
        const QString chosen = QString::fromStdString((m_root->root() / "mes pages.pdf").string());
        QStringList offered;
        // Prints from the preview as the operator does: its print button, then
        // "Imprimer" in the print dialog, to the file chosen there.
        auto printFromPreview = [&] {
            whenModalNamed(QStringLiteral("ApercuImpression"), [&](QWidget *preview) {
                whenModal([](QWidget *w) { return qobject_cast<QPrintDialog *>(w) != nullptr; },
                          [&](QWidget *dialog) {
                              auto *name =
                                  dialog->findChild<QLineEdit *>(QStringLiteral("filename"));
                              offered << (name ? name->text() : QString());
                              if (name)
                                  name->setText(chosen);
                              static_cast<QDialog *>(dialog)->accept();
                          });
                const QString print = QCoreApplication::translate("QPrintPreviewDialog", "Print");
                for (QAction *a : preview->findChild<QToolBar *>()->actions())
                    if (a->text() == print) {
                        a->trigger();
                        return;
                    }
                static_cast<QDialog *>(preview)->reject();
            });
        };
        printFromPreview();
        trigger("MnuImpPage");
        QTRY_COMPARE(offered.size(), 1);
        const QFileInfo first(offered[0]);
        QCOMPARE(first.fileName(), QStringLiteral("Page 2.pdf"));
        QVERIFY(first.absoluteDir().exists());
        QVERIFY(!first.isDir());
        QTRY_VERIFY(QFileInfo(chosen).size() > 1000);

        printFromPreview();
        trigger("MnuImpPageVierge");
        QTRY_COMPARE(offered.size(), 2);
        QCOMPARE(offered[1], chosen);
    }

    // The real preview, printing to a PDF file: from it, or closed unprinted.
    void previewAndPdf_data()
    {
        QTest::addColumn<bool>("print");
        QTest::addColumn<bool>("writable");
        QTest::addColumn<bool>("checked");
        QTest::newRow("printed to PDF") << true << true << true;
        QTest::newRow("PDF not writable") << true << false << false;
        QTest::newRow("preview closed") << false << true << false;
    }
    void previewAndPdf()
    {
        QFETCH(bool, print);
        QFETCH(bool, writable);
        QFETCH(bool, checked);
        PrintJob::setRunnerForTests({});
        start(10);
        labelContact(2);
        trigger("MnuGestionFeuilleQSL");
        const QString pdf = QString::fromStdString(
            (m_root->root() / (writable ? "" : "absent") / "qsl.pdf").string());
        QPrinter &printer = m_window->printJob()->printer();
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);

        bool previewed = false;
        whenModalNamed(QStringLiteral("ApercuImpression"), [&](QWidget *w) {
            previewed = true;
            auto *dialog = static_cast<QDialog *>(w);
            if (!print) {
                dialog->reject();
                return;
            }
            w->findChild<QPrintPreviewWidget *>()->print();
            dialog->accept();
        });
        bool warned = false;
        if (!writable)
            answerNextMessageBox(nullptr, nullptr, &warned);
        button("BtPrintQSL")->click();
        QVERIFY(previewed);
        QCOMPARE(warned, !writable);
        QCOMPARE(QFileInfo(pdf).size() > 1000, print && writable);
        QCOMPARE(get<QFrame>(QStringLiteral("PictCtrlImpression"))->isVisible(), checked);
        QCOMPARE(button("BtPrintQSL")->isVisible(), !checked);
    }
};

QTEST_MAIN(LabelSheetTest)
#include "tst_labelsheet.moc"
