// SPDX-License-Identifier: GPL-3.0-or-later
// The log sheet and the QSL labels measured with the fonts a printer gets:
// filled with the widest values the log allows, no text touches a rule, the
// values an operator meets print whole, and only what cannot fit is cut, with
// its mark, at the smallest size.

#include "ui/helpers/uitest.h"

#include "common/papercheck.h"
#include "printing/labelprint.h"
#include "printing/logpage.h"
#include "ui/paintersurface.h"

#include <QBuffer>
#include <QPainter>
#include <QPdfWriter>
#include <QTest>

using namespace ondelog;

namespace {

RecordLookup pageOf(const QsoRecord &contact)
{
    return [contact](std::int32_t n) -> std::optional<QsoRecord> {
        if (n <= 25)
            return contact;
        return QsoRecord::endMarker("JN18EU");
    };
}

std::size_t count(const RecordingSurface &s, const std::string &text)
{
    return s.texts(text).size();
}

} // namespace

class PaperTest : public QObject
{
    Q_OBJECT

  private slots:
    void initTestCase() { test::initWindowTests(); }

    // What the recording surface is told is what a PDF file gets.
    void measureIsThePrintersMeasure()
    {
        QBuffer pdf;
        pdf.open(QIODevice::WriteOnly);
        QPdfWriter writer(&pdf);
        writer.setResolution(1200);
        QPainter painter(&writer);
        PainterSurface printed(painter, writer.resolution());
        const PaperTextMeasure measure(1200);
        struct Case
        {
            const char *font;
            double points;
            bool bold;
            const char *text;
        };
        const Case cases[] = {
            {"Courrier", 8, true, "16/10/99"},
            {"Comic sans MS", 10, true, "TNX for NICE QSO HPE CUAGN ,73's"},
            {"MS sans Serif", 8, false, "Saint-Denis (R\xE9union) 974"},
            {"MS sans Serif", 6.25, true, "VP2MWW/DL1ABC/P"},
        };
        for (const Case &c : cases) {
            printed.setFontName(c.font);
            printed.setFontSize(c.points);
            printed.setBold(c.bold);
            const double expected = printed.textWidth(c.text);
            QVERIFY(expected > 100);
            QVERIFY2(std::abs(measure.width(c.font, c.points, c.bold, c.text) - expected) <
                         expected / 200,
                     c.text);
        }
        painter.end();
    }

    void nothingCrossesARule_data()
    {
        QTest::addColumn<int>("dotsPerInch");
        QTest::addColumn<bool>("fullest");
        for (int dpi : {1200, 600, 300}) {
            QTest::addRow("widest values, %d dpi", dpi) << dpi << false;
            QTest::addRow("every field full of W, %d dpi", dpi) << dpi << true;
        }
    }
    void nothingCrossesARule()
    {
        QFETCH(int, dotsPerInch);
        QFETCH(bool, fullest);
        const PaperTextMeasure measure(dotsPerInch);
        const QsoRecord contact = fullest ? test::fullestContact() : test::widestContact();
        const LabelRecord label = fullest ? test::fullestLabel() : test::widestLabel();
        const std::string call = contact.field(Field::CSGN);

        RecordingSurface page(&measure);
        printLogPage(page, {call, 1, 1, pageOf(contact)});
        SheetLabels labels;
        for (int n = 1; n <= kLabelCount; ++n)
            labels[std::size_t(n)] = label;
        RecordingSurface sheet(&measure);
        printSheetLabels(sheet, labels);
        RecordingSurface blank(&measure);
        printBlankLabels(blank, call);

        for (const RecordingSurface *s : {&page, &sheet, &blank}) {
            const std::vector<std::string> faults =
                test::textsTouchingRules(*s, kCellPadding - 0.5, 10);
            for (const std::string &fault : faults)
                qWarning("%s", fault.c_str());
            QVERIFY(faults.empty());
            bool smallest = false;
            test::cutTexts(*s, &smallest);
            QVERIFY(smallest);
            for (const PrintCommand &t : s->commands(PrintCommand::Kind::Text))
                QVERIFY(t.fontSize >= kSmallestPoints);
        }
        if (fullest)
            return;

        // The call sign, date, frequency and QTH of a contact print whole on
        // the log sheet, and a label's call sign, date and frequency too.
        QCOMPARE(count(page, call), std::size_t(26)); // and in the heading
        QCOMPARE(count(page, "28/08/88"), std::size_t(25));
        QCOMPARE(count(page, "1296.20000"), std::size_t(25));
        QCOMPARE(count(page, "Saint-Denis (R\xE9union) 974"), std::size_t(25));
        QCOMPARE(count(page, "Marie-Fran\xE7oise"), std::size_t(25));
        QCOMPARE(count(sheet, call), std::size_t(16));
        QCOMPARE(count(sheet, "16/10/99"), std::size_t(16));
        QCOMPARE(count(sheet, "03:00"), std::size_t(16));
        QCOMPARE(count(sheet, "1296.20000"), std::size_t(16));
        QCOMPARE(count(sheet, "MFSK8"), std::size_t(16));
    }
};

QTEST_MAIN(PaperTest)
#include "tst_paper.moc"
