// SPDX-License-Identifier: GPL-3.0-or-later
#include "printing/logpage.h"

#include "printing/printsurface.h"
#include "printing/textfit.h"
#include "text/text.h"

#include <array>

namespace ondelog {

namespace {

constexpr const char *kSheetFont = "MS sans Serif";
constexpr double kTableLeft = 120;
constexpr double kTableTop = 1080;
constexpr double kTableRight = 11400;
constexpr double kRuleLeft = 130;

// The vertical rules of the table, left to right; a text's room lies between two.
constexpr double kNumberRule = 700;
constexpr double kDateRule = 1350;
constexpr double kStartRule = 1800;
constexpr double kTimeRule = 2250;
constexpr double kFrequencyRule = 3000;
constexpr double kCallRule = 4900;
constexpr double kGivenRule = 5450;
constexpr double kReceivedRule = 5950;
constexpr double kModeRule = 6500;
constexpr double kQthRule = 8550;
constexpr double kNameRule = 10050;
constexpr double kSentRule = 10750;

void columnRule(PrintSurface &s, double x)
{
    s.line(x, kTableTop, x, kLogTableBottom);
}

void heading(PrintSurface &s, const std::string &stationCall)
{
    s.setFontName(kSheetFont);
    s.setBold(true);
    printFromLeft(s, "Cahier de Trafic de ", 400, 400, {0, 2950}, 14);
    s.rectangle(2950, 340, 4500, 720);
    printFromLeft(s, stationCall, 3050, 390, {2950, 4500}, 14);

    s.setBold(false);
    s.rectangle(kTableLeft, kTableTop, kTableRight, kLogTableBottom);

    auto title = [&s](std::string_view text, double x, double y, TextRoom room,
                      double points = 10) { printFromLeft(s, text, x, y, room, points); };
    title("Nr", 320, 1100, {kTableLeft, kNumberRule});
    title("QSO", 200, 1480, {kTableLeft, kNumberRule});
    columnRule(s, kNumberRule);
    title("DATE", 750, 1340, {kNumberRule, kDateRule});
    columnRule(s, kDateRule);
    title("HEURE", 1450, 1100, {kDateRule, kTimeRule});
    s.line(1400, 1440, 2200, 1440);
    title("D\xE9"
          "b",
          1400, 1480, {kDateRule, kStartRule});
    s.line(kStartRule, 1560, kStartRule, kLogTableBottom);
    title("Fin", 1900, 1480, {kStartRule, kTimeRule});
    columnRule(s, kTimeRule);
    title("QRG", 2400, 1340, {kTimeRule, kFrequencyRule});
    columnRule(s, kFrequencyRule);
    s.setBold(true);
    title("INDICATIF", 3550, 1340, {kFrequencyRule, kCallRule});
    s.setBold(false);
    columnRule(s, kCallRule);
    title("R S T", 5200, 1100, {kCallRule, kReceivedRule});
    s.line(5000, 1440, 5850, 1440);
    title("Lui", 5050, 1480, {kCallRule, kGivenRule});
    s.line(kGivenRule, 1560, kGivenRule, kLogTableBottom);
    title("Moi", 5550, 1480, {kGivenRule, kReceivedRule});
    columnRule(s, kReceivedRule);
    title("Mode", 6050, 1340, {kReceivedRule, kModeRule}, 8);
    columnRule(s, kModeRule);
    title("QTH", 7300, 1340, {kModeRule, kQthRule});
    columnRule(s, kQthRule);
    title("NOM", 9100, 1340, {kQthRule, kNameRule});
    columnRule(s, kNameRule);
    title("QSL", 10500, 1100, {kNameRule, kTableRight});
    s.line(10150, 1440, 11300, 1440);
    title("Ma", 10300, 1480, {kNameRule, kSentRule});
    s.line(kSentRule, 1560, kSentRule, kLogTableBottom);
    title("Sa", 10950, 1480, {kSentRule, kTableRight});
    s.line(kRuleLeft, kLogFirstRowTop, kTableRight, kLogFirstRowTop);
}

struct Column
{
    int x;
    Field field;
    TextRoom room;
};

// Each field is printed whole, as the log holds it, made smaller where it is
// wider than its column.
constexpr std::array<Column, 12> kColumns = {{
    {720, Field::DQSO, {kNumberRule, kDateRule}},
    {1380, Field::HDEB, {kDateRule, kStartRule}},
    {1830, Field::HFIN, {kStartRule, kTimeRule}},
    {2300, Field::FREQ, {kTimeRule, kFrequencyRule}},
    {3100, Field::CSGN, {kFrequencyRule, kCallRule}},
    {5000, Field::SRST, {kCallRule, kGivenRule}},
    {5500, Field::MRST, {kGivenRule, kReceivedRule}},
    {6000, Field::MODE, {kReceivedRule, kModeRule}},
    {6600, Field::SQTH, {kModeRule, kQthRule}},
    {8600, Field::SNOM, {kQthRule, kNameRule}},
    {10100, Field::MQSL, {kNameRule, kSentRule}},
    {10800, Field::SQSL, {kSentRule, kTableRight}},
}};

void row(PrintSurface &s, std::int32_t n, const QsoRecord &record, int top)
{
    const double y = top + 120;
    s.setBold(false);
    printFromLeft(s, sixDigitNumber(n), 160, y, {kTableLeft, kNumberRule}, 8);
    for (const Column &c : kColumns) {
        const std::string value = trim(record.rawField(static_cast<int>(c.field)));
        double points = 8;
        if (c.field == Field::CSGN) {
            s.setBold(true);
            points = value.size() < 11 ? 10 : 8;
        } else {
            s.setBold(false);
        }
        printFromLeft(s, value, c.x, y, c.room, points);
    }
}

} // namespace

std::string sixDigitNumber(std::int32_t n)
{
    const std::string text = "00000" + std::to_string(n);
    return text.substr(text.size() - 6);
}

void printLogPage(PrintSurface &surface, const LogPageRequest &request)
{
    heading(surface, request.stationCall);

    if (request.firstRecord > 0) {
        int top = kLogFirstRowTop;
        for (std::int32_t n = request.firstRecord; n < request.firstRecord + 25; ++n) {
            const std::optional<QsoRecord> record = request.read ? request.read(n) : std::nullopt;
            // The end of the log ends the rows: the last page is ruled no further.
            if (!record || trim(record->rawField(1)).starts_with('\\'))
                break;
            row(surface, n, *record, top);
            top += kLogRowHeight;
            surface.line(kRuleLeft, top, kTableRight, top);
        }
    } else {
        for (int top = kLogFirstRowTop; top <= kLogTableBottom; top += kLogRowHeight)
            surface.line(kRuleLeft, top, kTableRight, top);
    }

    // The foot keeps the font the sheet was left with before values were
    // fitted: that of the last value, or of the last heading on an empty sheet.
    surface.setBold(false);
    surface.setFontSize(request.firstRecord > 0 ? 8 : 10);
    surface.moveTo(8900, 14100);
    surface.print("Page n\xB0 ");
    if (request.firstRecord > 0)
        surface.print(std::to_string(request.pageNumber));
    surface.endDocument();
}

} // namespace ondelog
