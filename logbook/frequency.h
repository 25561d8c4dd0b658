// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The frequency of a contact as the log holds it: MHz typed as text. The entry
// field has written a point since the start, but logs typed before that, or by
// other programs, hold "14,205": every reader of the frequency goes through
// here so that the comma reads the same everywhere.

#include <optional>
#include <string>
#include <string_view>

namespace ondelog {

/** The frequency in MHz of a FREQ text: digits with at most one decimal
 *  separator, a point or a comma ("14.205", "14,205", "7", ".5", "28."),
 *  blanks around ignored. Nothing for any other text ("", "QRG?", "14.205.1",
 *  "1,234.5", "-7", "14 MHz"). */
std::optional<double> frequencyMegahertz(std::string_view text);

/** The frequency as a number field of another program wants it: the same
 *  digits with a point ("14,205" -> "14.205"); nothing when the text is not
 *  a frequency (see frequencyMegahertz()). */
std::optional<std::string> frequencyWithPoint(std::string_view text);

/** ADIF band of a frequency in MHz ("20m"), or "" outside every band. Edges
 *  are inside their band. */
std::string bandOfFrequency(double megahertz);
/** The same band as a small number for comparisons: 1 for the lowest band
 *  (2190m), 2 for the next..., 0 outside every band. */
int bandNumber(double megahertz);
/** Lower edge in MHz of an ADIF band (any letter case), or nothing. */
std::optional<double> bandLowerEdge(std::string_view band);

} // namespace ondelog
