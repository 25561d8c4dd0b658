// SPDX-License-Identifier: GPL-3.0-or-later
#include "printing/labelprint.h"

#include "printing/printsurface.h"
#include "printing/textfit.h"

namespace ondelog {

namespace {

constexpr const char *kTitleFont = "Comic sans MS";
constexpr const char *kValueFont = "Courrier";

struct TableCell
{
    int left;
    int right;
    const char *heading;
    int headingLeft;
    LabelField value;
    // Twice the centre of the value: the sum of the two edges, except the first
    // cell, whose values centre at 800 rather than on the cell (a long call sign
    // still uses the whole cell).
    int centreTwice;
};

constexpr std::array<TableCell, 6> kCells = {{
    {120, 1600, "TO RADIO", 380, LabelField::CallSign, 1600},
    {1600, 2300, " DATE", 1680, LabelField::Date, 3900},
    {2300, 2810, "UTC", 2380, LabelField::Time, 5110},
    {2810, 3780, " Frequency", 2840, LabelField::Frequency, 6590},
    {3780, 4500, "RST", 4010, LabelField::Rst, 8280},
    {4500, 5100, "Mode", 4600, LabelField::Mode, 9600},
}};

} // namespace

LabelPlace labelPlace(int n)
{
    const int row = (n + 1) / 2;
    const int column = n % 2 == 1 ? 1 : 2;
    return {column == 1 ? 300 : 6100, 400 + 1980 * (row - 1)};
}

void printOneLabel(PrintSurface &s, LabelPlace place, const LabelRecord *label,
                   const std::string &stationCall)
{
    const double x = place.x;
    const double y = place.y;
    const TextRoom whole{x, x + kLabelWidth};
    const std::string header = label ? label->field(LabelField::From) + "  Confirming QSO with  " +
                                           label->field(LabelField::CallSign)
                                     : " " + stationCall + "   Confirming QSO with";
    const double headerPoints = !label || header.size() < 47 ? 10 : 8;

    s.setFontName(kTitleFont);
    s.setBold(true);
    s.rectangle(x, y, x + kLabelWidth, y + kLabelHeight);
    if (label)
        printCentred(s, header, x + kLabelWidth / 2.0, y + 20, whole, headerPoints);
    else
        printFromLeft(s, header, x + 200, y + 20, whole, headerPoints);

    if (label && !label->field(LabelField::Manager).empty())
        printFromLeft(s, "Via QSL Manager " + label->field(LabelField::Manager), x + 2100, y + 300,
                      whole, headerPoints);

    for (const TableCell &c : kCells)
        s.rectangle(x + c.left, y + 600, x + c.right, y + 880);
    for (const TableCell &c : kCells)
        printFromLeft(s, c.heading, x + c.headingLeft, y + 620, {x + c.left, x + c.right}, 8);

    s.setFontName(kValueFont);
    for (const TableCell &c : kCells) {
        s.rectangle(x + c.left, y + 880, x + c.right, y + 1160);
        if (label)
            printCentred(s, label->field(c.value), x + c.centreTwice / 2.0, y + 920,
                         {x + c.left, x + c.right}, 8);
    }

    const std::string routing = label ? label->field(LabelField::Routing) : std::string();
    printFromLeft(s, "Pse / Tnx  QSL via  " + routing, x + 400, y + 1250, whole, 8);

    s.setFontName(kTitleFont);
    printFromLeft(s, "TNX for NICE QSO HPE CUAGN ,73's", x + 200, y + 1460, whole, 10);
}

void printSheetLabels(PrintSurface &surface, const SheetLabels &labels)
{
    for (int n = 1; n <= kLabelCount; ++n)
        if (labels[std::size_t(n)])
            printOneLabel(surface, labelPlace(n), &*labels[std::size_t(n)], {});
    surface.endDocument();
}

void printBlankLabels(PrintSurface &surface, const std::string &stationCall)
{
    for (int n = 1; n <= kLabelCount; ++n)
        printOneLabel(surface, labelPlace(n), nullptr, stationCall);
    surface.endDocument();
}

} // namespace ondelog
