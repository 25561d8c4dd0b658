// SPDX-License-Identifier: GPL-3.0-or-later
#include "printing/textfit.h"

#include "printing/printsurface.h"

#include <algorithm>
#include <cmath>

namespace ondelog {

namespace {

// Sizes go down by quarter points: fine enough to use the room, coarse enough
// that the sizes on one page stay few.
constexpr double kSizeStep = 0.25;

// The part of the size above the base line, near enough for the faces the
// layouts use: a smaller text goes down by as much as its top came down, so
// that the texts of a row still stand on one line.
constexpr double kAscentShare = 0.85;

double baseLineDrop(const FittedText &fitted, double points)
{
    return (points - fitted.points) * 20.0 * kAscentShare;
}

double roomWidth(TextRoom room)
{
    return room.right - room.left - 2 * kCellPadding;
}

} // namespace

FittedText fitText(PrintSurface &surface, std::string_view text, double width, double points)
{
    surface.setFontSize(points);
    const double measured = surface.textWidth(text);
    if (measured <= width || text.empty())
        return {std::string(text), points};

    // Widths follow the size closely but not exactly (glyphs snap to device
    // pixels), so the size the ratio promises is checked and stepped down.
    double size = std::floor(points * width / measured / kSizeStep) * kSizeStep;
    size = std::max(size, kSmallestPoints);
    for (; size >= kSmallestPoints; size -= kSizeStep) {
        surface.setFontSize(size);
        if (surface.textWidth(text) <= width)
            return {std::string(text), size};
    }

    surface.setFontSize(kSmallestPoints);
    std::string cut(text);
    while (!cut.empty()) {
        cut.pop_back();
        // A cut that ends on a blank would hide where the text stops.
        while (!cut.empty() && cut.back() == ' ')
            cut.pop_back();
        std::string marked = cut + kCutMark;
        if (surface.textWidth(marked) <= width)
            return {std::move(marked), kSmallestPoints};
    }
    std::string mark(1, kCutMark);
    if (surface.textWidth(mark) > width)
        mark.clear();
    return {std::move(mark), kSmallestPoints};
}

void printFromLeft(PrintSurface &surface, std::string_view text, double x, double y, TextRoom room,
                   double points)
{
    const double left = std::max(x, room.left + kCellPadding);
    const FittedText fitted = fitText(surface, text, room.right - kCellPadding - left, points);
    surface.moveTo(left, y + baseLineDrop(fitted, points));
    surface.print(fitted.text);
}

void printCentred(PrintSurface &surface, std::string_view text, double centre, double y,
                  TextRoom room, double points)
{
    const FittedText fitted = fitText(surface, text, roomWidth(room), points);
    const double width = surface.textWidth(fitted.text);
    const double left =
        std::clamp(centre - width / 2, room.left + kCellPadding,
                   std::max(room.left + kCellPadding, room.right - kCellPadding - width));
    surface.moveTo(left, y + baseLineDrop(fitted, points));
    surface.print(fitted.text);
}

} // namespace ondelog
