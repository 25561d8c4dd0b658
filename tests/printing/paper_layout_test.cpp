// SPDX-License-Identifier: GPL-3.0-or-later
// The log sheet and the label sheet, checked through the commands they draw.

#include "printing/labelprint.h"
#include "printing/logpage.h"
#include "printing/printsurface.h"

#include "logbook/logfixture.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace ondelog;
using Kind = PrintCommand::Kind;

namespace {

bool isRowRule(const PrintCommand &c)
{
    return c.kind == Kind::Line && c.x1 == 130 && c.x2 == 11400 && c.y1 == c.y2;
}

std::vector<double> rowRules(const RecordingSurface &s)
{
    std::vector<double> tops;
    for (const PrintCommand &c : s.commands())
        if (isRowRule(c))
            tops.push_back(c.y1);
    return tops;
}

// A log of `count` contacts held in memory, read as the sheet reads the file.
RecordLookup memoryLog(std::vector<QsoRecord> contacts)
{
    contacts.push_back(QsoRecord::endMarker("JN18EU"));
    return [contacts](std::int32_t n) -> std::optional<QsoRecord> {
        if (n < 1 || std::size_t(n) > contacts.size())
            return std::nullopt;
        return contacts[std::size_t(n - 1)];
    };
}

std::vector<QsoRecord> contacts(int count)
{
    std::vector<QsoRecord> all;
    for (int i = 1; i <= count; ++i)
        all.push_back(test::makeContact(i));
    return all;
}

// The text at x in the row whose texts start at y; a smaller one stands lower.
const PrintCommand *textAt(const RecordingSurface &s, double x, double y)
{
    for (const PrintCommand &c : s.commands())
        if (c.kind == Kind::Text && c.x1 == x && c.y1 >= y && c.y1 < y + 100)
            return &c;
    return nullptr;
}

} // namespace

TEST(LogPage, SheetsAndTheirRules)
{
    struct Case
    {
        const char *what;
        int contacts;
        std::int32_t first;
        std::int32_t page;
        std::size_t rules; // below the headings' own line at 1800
        double firstRule;
        const char *foot;
    };
    const Case cases[] = {
        {"blank sheet", 0, 0, 0, 26, 1800, ""},
        {"full page", 60, 26, 2, 25, 2280, "2"},
        {"last page of two", 52, 51, 3, 2, 2280, "3"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        RecordingSurface s;
        printLogPage(s, {"F6XYZ", c.first, c.page, memoryLog(contacts(c.contacts))});
        const std::vector<double> tops = rowRules(s);
        ASSERT_EQ(tops.size(), 1 + c.rules);
        EXPECT_EQ(tops[0], 1800);
        for (std::size_t i = 1; i < tops.size(); ++i)
            EXPECT_EQ(tops[i], c.firstRule + 480 * double(i - 1));

        const auto foot = s.texts("Page n\xB0 ");
        ASSERT_EQ(foot.size(), 1u);
        EXPECT_EQ(foot[0].x1, 8900);
        EXPECT_EQ(foot[0].y1, 14100);
        const PrintCommand &last = s.commands()[s.commands().size() - 2];
        if (*c.foot)
            EXPECT_EQ(last.text, c.foot);
        else
            EXPECT_EQ(last.text, "Page n\xB0 ");
        EXPECT_EQ(s.commands().back().kind, Kind::EndDocument);

        // The heading and its fifteen column rules come with every sheet.
        EXPECT_EQ(s.texts("F6XYZ").size(), 1u);
        EXPECT_EQ(s.commands(Kind::Line).size(), 15 + tops.size());
        const std::size_t rows = c.first > 0 ? std::min(25, c.contacts - c.first + 1) : 0;
        std::size_t numbers = 0;
        for (const PrintCommand &t : s.commands(Kind::Text))
            numbers += t.x1 == 160 ? 1 : 0;
        EXPECT_EQ(numbers, rows);
    }
}

TEST(LogPage, RowValues)
{
    struct Case
    {
        const char *call;
        const char *qth;
        std::int32_t number;
        const char *printedNumber;
        double callSize;
        const char *printedQth;
        double qthSize;
    };
    // The QTH is printed whole, 25 characters, smaller where it needs to be.
    const Case cases[] = {
        {"F5ABCDEFGH", "Rennes", 7, "000007", 10, "Rennes", 8},
        {"F5ABCDEFGHI", "Saint-Germain-en-Laye Est", 1234, "001234", 8, "Saint-Germain-en-Laye Est",
         7.5},
        {"F5A/P", "  Lyon", 32767, "032767", 10, "Lyon", 8},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.call);
        QsoRecord r = test::makeContact(1);
        r.setField(Field::CSGN, c.call);
        r.setField(Field::SQTH, c.qth);
        RecordingSurface s;
        printLogPage(s, {"F6XYZ", c.number, 5, [&](std::int32_t n) -> std::optional<QsoRecord> {
                             if (n == c.number)
                                 return r;
                             return QsoRecord::endMarker("JN18EU");
                         }});
        const double y = 1800 + 120;
        const PrintCommand *number = textAt(s, 160, y);
        ASSERT_TRUE(number);
        EXPECT_EQ(number->text, c.printedNumber);
        EXPECT_EQ(number->fontSize, 8);
        const PrintCommand *call = textAt(s, 3100, y);
        ASSERT_TRUE(call);
        EXPECT_EQ(call->text, c.call);
        EXPECT_EQ(call->fontSize, c.callSize);
        EXPECT_TRUE(call->bold);
        const PrintCommand *qth = textAt(s, 6600, y);
        ASSERT_TRUE(qth);
        EXPECT_EQ(qth->text, c.printedQth);
        EXPECT_FALSE(qth->bold);
        EXPECT_EQ(qth->fontSize, c.qthSize);
        ASSERT_TRUE(textAt(s, 10800, y));
        EXPECT_EQ(rowRules(s).size(), 2u);
    }
}

TEST(LabelPrint, SheetAndBlankLabels)
{
    LabelRecord label;
    label.setField(LabelField::CallSign, "ON4XYZ");
    label.setField(LabelField::From, "F6XYZ");
    label.setField(LabelField::Routing, "BUREAU");
    label.setField(LabelField::Date, "05/01/26");

    struct Case
    {
        const char *what;
        bool blank;
        std::size_t outlines;
        LabelPlace first;
        const char *header;
        const char *routing; // the text printed after the words
    };
    const Case cases[] = {
        {"only slot 16", false, 1, {6100, 14260}, "F6XYZ  Confirming QSO with  ON4XYZ", "BUREAU"},
        {"blank labels", true, 16, {300, 400}, " F6XYZ   Confirming QSO with", ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        RecordingSurface s;
        if (c.blank) {
            printBlankLabels(s, "F6XYZ");
        } else {
            SheetLabels labels;
            labels[16] = label;
            printSheetLabels(s, labels);
        }
        std::vector<PrintCommand> outlines;
        for (const PrintCommand &r : s.commands(Kind::Rectangle))
            if (r.x2 - r.x1 == 5200 && r.y2 - r.y1 == 1780)
                outlines.push_back(r);
        ASSERT_EQ(outlines.size(), c.outlines);
        EXPECT_EQ(outlines[0].x1, c.first.x);
        EXPECT_EQ(outlines[0].y1, c.first.y);
        if (c.blank)
            for (std::size_t i = 0; i < outlines.size(); ++i) {
                EXPECT_EQ(outlines[i].x1, i % 2 ? 6100 : 300) << i;
                EXPECT_EQ(outlines[i].y1, 400 + 1980 * double(i / 2)) << i;
            }
        // Twelve cells a label, and nothing drawn outside the labels.
        EXPECT_EQ(s.commands(Kind::Rectangle).size(), 13 * c.outlines);
        for (const PrintCommand &t : s.commands(Kind::Text)) {
            bool inside = false;
            for (const PrintCommand &o : outlines)
                inside = inside || (t.x1 >= o.x1 - 1000 && t.y1 > o.y1 && t.y1 < o.y2);
            EXPECT_TRUE(inside) << t.text;
        }

        const auto headers = s.texts(c.header);
        ASSERT_EQ(headers.size(), c.outlines);
        EXPECT_EQ(headers[0].fontSize, 10);
        EXPECT_EQ(headers[0].fontName, "Comic sans MS");
        EXPECT_TRUE(headers[0].bold);
        const auto routing = s.texts(std::string("Pse / Tnx  QSL via  ") + c.routing);
        ASSERT_EQ(routing.size(), c.outlines);
        EXPECT_EQ(routing[0].fontName, "Courrier");
        for (const PrintCommand &t : s.commands(Kind::Text))
            EXPECT_EQ(t.text.find("Via QSL Manager"), std::string::npos);
        EXPECT_EQ(s.texts("TNX for NICE QSO HPE CUAGN ,73's").size(), c.outlines);
        EXPECT_EQ(s.texts("TO RADIO").size(), c.outlines);
        EXPECT_EQ(s.commands().back().kind, Kind::EndDocument);
    }
}

TEST(LabelPrint, HeaderSizeManagerAndCentredValues)
{
    struct Case
    {
        const char *from;
        const char *call;
        const char *manager;
        const char *frequency;
        double headerSize;
    };
    // 23 characters join the two call signs: 46 and 47 in all.
    const Case cases[] = {
        {"F6XYZABCDEFG", "ON4XYZABCDE", "", "14.205", 10},
        {"F6XYZABCDEFG", "ON4XYZABCDEF", "EA5ZZZ", "1296.20000", 8},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.call);
        LabelRecord label;
        label.setField(LabelField::CallSign, c.call);
        label.setField(LabelField::From, c.from);
        label.setField(LabelField::Manager, c.manager);
        label.setField(LabelField::Frequency, c.frequency);
        RecordingSurface s;
        printOneLabel(s, labelPlace(1), &label, "F6XYZ");

        const std::string header = std::string(c.from) + "  Confirming QSO with  " + c.call;
        const auto h = s.texts(header);
        ASSERT_EQ(h.size(), 1u);
        EXPECT_EQ(h[0].fontSize, c.headerSize);
        // Centred on the label whatever its size.
        EXPECT_DOUBLE_EQ(h[0].x1 + header.size() * c.headerSize * 5, 300 + 2600);

        const auto manager = s.texts(std::string("Via QSL Manager ") + c.manager);
        EXPECT_EQ(manager.size(), *c.manager ? 1u : 0u);

        // The frequency is centred on its cell (2810..3780) even when wider than it.
        const auto value = s.texts(c.frequency);
        ASSERT_EQ(value.size(), 1u);
        const double width = std::string(c.frequency).size() * 8 * 10;
        EXPECT_DOUBLE_EQ(value[0].x1 + width / 2, 300 + (2810 + 3780) / 2.0);
        EXPECT_EQ(value[0].y1, 400 + 920);
        // The call sign centres at 800, not on its cell.
        const auto call = s.texts(c.call);
        ASSERT_EQ(call.size(), 1u);
        EXPECT_DOUBLE_EQ(call[0].x1 + std::string(c.call).size() * 40, 300 + 800);
    }
}
