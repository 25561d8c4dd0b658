// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The paper log sheet: the page of 25 contacts the main window shows, or the
// same ruled sheet empty, to keep a log by hand. A4 portrait, in twips.

#include "logbook/record.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace ondelog {

class PrintSurface;

/** Reads contact n of the log; nothing past its end or on error. */
using RecordLookup = std::function<std::optional<QsoRecord>(std::int32_t)>;

struct LogPageRequest
{
    std::string stationCall;      ///< the heading's call sign (Windows-1252)
    std::int32_t firstRecord = 0; ///< first record of the page; 0 for an empty sheet
    std::int32_t pageNumber = 0;  ///< printed in the foot after "Page n° "
    RecordLookup read;            ///< unused for an empty sheet
};

/** Draws the sheet and ends the document. Rows stop at the end of the log. */
void printLogPage(PrintSurface &surface, const LogPageRequest &request);

/** Height of one contact's row, and where the first one starts. */
inline constexpr int kLogRowHeight = 480;
inline constexpr int kLogFirstRowTop = 1800;
inline constexpr int kLogTableBottom = 13800;

/** "000007": the last six characters of "00000" followed by the number. */
std::string sixDigitNumber(std::int32_t n);

} // namespace ondelog
