#include "printing/logpage.h"

#include "logbook/text.h"
#include "printing/printsurface.h"

#include <array>

namespace ondelog {

namespace {

constexpr const char *kSheetFont = "MS sans Serif";
constexpr int kTableLeft = 120;
constexpr int kTableTop = 1080;
constexpr int kTableRight = 11400;
constexpr int kRuleLeft = 130;

void textAt(PrintSurface &s, double x, double y, std::string_view text)
{
    s.moveTo(x, y);
    s.print(text);
}

void columnRule(PrintSurface &s, double x)
{
    s.line(x, kTableTop, x, kLogTableBottom);
}

void heading(PrintSurface &s, const std::string &stationCall)
{
    s.setFontName(kSheetFont);
    s.setFontSize(14);
    s.setBold(true);
    textAt(s, 400, 400, "Cahier de Trafic de ");
    s.rectangle(2950, 340, 4500, 720);
    textAt(s, 3050, 390, stationCall);

    s.setFontSize(10);
    s.setBold(false);
    s.rectangle(kTableLeft, kTableTop, kTableRight, kLogTableBottom);

    textAt(s, 320, 1100, "Nr");
    textAt(s, 200, 1480, "QSO");
    columnRule(s, 700);
    textAt(s, 750, 1340, "DATE");
    columnRule(s, 1350);
    textAt(s, 1450, 1100, "HEURE");
    s.line(1400, 1440, 2200, 1440);
    textAt(s, 1400, 1480,
           "D\xE9"
           "b");
    s.line(1800, 1560, 1800, kLogTableBottom);
    textAt(s, 1900, 1480, "Fin");
    columnRule(s, 2250);
    textAt(s, 2400, 1340, "QRG");
    columnRule(s, 3000);
    s.setBold(true);
    textAt(s, 3550, 1340, "INDICATIF");
    s.setBold(false);
    columnRule(s, 4900);
    textAt(s, 5200, 1100, "R S T");
    s.line(5000, 1440, 5850, 1440);
    textAt(s, 5050, 1480, "Lui");
    s.line(5450, 1560, 5450, kLogTableBottom);
    textAt(s, 5550, 1480, "Moi");
    columnRule(s, 5950);
    s.setFontSize(8);
    textAt(s, 6050, 1340, "Mode");
    s.setFontSize(10);
    columnRule(s, 6500);
    textAt(s, 7300, 1340, "QTH");
    columnRule(s, 8550);
    textAt(s, 9100, 1340, "NOM");
    columnRule(s, 10050);
    textAt(s, 10500, 1100, "QSL");
    s.line(10150, 1440, 11300, 1440);
    textAt(s, 10300, 1480, "Ma");
    s.line(10750, 1560, 10750, kLogTableBottom);
    textAt(s, 10950, 1480, "Sa");
    s.line(kRuleLeft, kLogFirstRowTop, kTableRight, kLogFirstRowTop);
}

struct Column
{
    int x;
    Field field;
    std::size_t characters;
};

// The call sign is left out: its font depends on its length.
constexpr std::array<Column, 11> kColumns = {{
    {720, Field::DQSO, 8},
    {1380, Field::HDEB, 5},
    {1830, Field::HFIN, 5},
    {2300, Field::FREQ, 10},
    {3100, Field::CSGN, 15},
    {5000, Field::SRST, 5},
    {5500, Field::MRST, 5},
    {6000, Field::MODE, 5},
    {6600, Field::SQTH, 20},
    {8600, Field::SNOM, 12},
    {10100, Field::MQSL, 8},
}};

std::string cell(const QsoRecord &record, Field field, std::size_t characters)
{
    return trim(record.rawField(static_cast<int>(field)).substr(0, characters));
}

void row(PrintSurface &s, std::int32_t n, const QsoRecord &record, int top)
{
    const double y = top + 120;
    s.setFontSize(8);
    textAt(s, 160, y, sixDigitNumber(n));
    for (const Column &c : kColumns) {
        const std::string value = cell(record, c.field, c.characters);
        if (c.field == Field::CSGN) {
            s.setBold(true);
            s.setFontSize(value.size() < 11 ? 10 : 8);
        } else {
            s.setBold(false);
            s.setFontSize(8);
        }
        textAt(s, c.x, y, value);
    }
    textAt(s, 10800, y, cell(record, Field::SQSL, 8));
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

    surface.moveTo(8900, 14100);
    surface.print("Page n\xB0 ");
    if (request.firstRecord > 0)
        surface.print(std::to_string(request.pageNumber));
    surface.endDocument();
}

} // namespace ondelog
