// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The QSL labels on paper: an A4 sheet of 16 self-adhesive labels, two columns
// of eight, each 5200 x 1780 twips. Labels of the sheet carry the confirmation
// of one contact; blank labels carry the frame and headings only, to be filled
// in by hand.

#include "printing/labelsheet.h"

#include <array>
#include <optional>
#include <string>

namespace ondelog {

class PrintSurface;

inline constexpr int kLabelWidth = 5200;
inline constexpr int kLabelHeight = 1780;

struct LabelPlace
{
    int x;
    int y;
};

/** Top-left corner of label n (1..16): odd on the left, rows top to bottom. */
LabelPlace labelPlace(int n);

/** The labels to print, by slot; an empty slot leaves its place blank. */
using SheetLabels = std::array<std::optional<LabelRecord>, kLabelCount + 1>; // [0] unused

/** Prints the labels of the sheet at their places and ends the document. */
void printSheetLabels(PrintSurface &surface, const SheetLabels &labels);

/** Prints 16 blank labels headed by `stationCall` and ends the document. */
void printBlankLabels(PrintSurface &surface, const std::string &stationCall);

/** One label at `place`: the sheet's when `label` is given, else a blank one. */
void printOneLabel(PrintSurface &surface, LabelPlace place, const LabelRecord *label,
                   const std::string &stationCall);

} // namespace ondelog
