// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Texts kept inside the cells of the paper layouts. The layouts were drawn for
// the fonts of another system; the faces found here are often wider, and the
// log allows values wider than their cells. Every text is therefore measured
// with the font the surface really uses: it keeps its size when it fits, is
// made smaller down to the smallest size still read at a glance, and only then
// is it cut, with an ellipsis that shows the cut. Nothing crosses a rule.

#include <string>
#include <string_view>

namespace ondelog {

class PrintSurface;

/** Twips kept clear between a text and the rule on either side of it. */
inline constexpr double kCellPadding = 30;
/** Below this size a value is no longer legible on a label or a log sheet. */
inline constexpr double kSmallestPoints = 6;
/** The mark that ends a cut text: "…" in Windows-1252. */
inline constexpr char kCutMark = '\x85';

/** The room a text has on a line: between two rules, in twips. */
struct TextRoom
{
    double left;
    double right;
};

struct FittedText
{
    std::string text; ///< the text, or its beginning and kCutMark
    double points;    ///< the size it fits at, set on the surface
};

/** Sets the font size of `surface` to the largest from `points` down to
 *  kSmallestPoints at which `text` is at most `width` wide. When it is too wide
 *  even then, keeps as many of its first characters as fit followed by
 *  kCutMark, at kSmallestPoints. */
FittedText fitText(PrintSurface &surface, std::string_view text, double width, double points);

/** Prints `text` from `x` (or further right, to keep the padding from the left
 *  rule), at `points` or smaller so that it ends before the right rule. A
 *  smaller text goes down to stand on the line the text at `points` from `y`
 *  would stand on. */
void printFromLeft(PrintSurface &surface, std::string_view text, double x, double y, TextRoom room,
                   double points);

/** Prints `text` centred on `centre` where it fits so, else as near to it as
 *  the room allows, at `points` or smaller. */
void printCentred(PrintSurface &surface, std::string_view text, double centre, double y,
                  TextRoom room, double points);

} // namespace ondelog
