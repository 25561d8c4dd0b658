// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the log list shows: one 40-character line per record, 25 lines a page,
// and which paging buttons are usable.

#include "logbook/record.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ondelog {

inline constexpr std::int32_t kLinesPerPage = 25;
inline constexpr std::size_t kListLineWidth = 40;

/** Record number left-justified in 6, " : ", CSGN in 10, ":", DQSO in 8, ":",
 *  HDEB in 5, the whole padded to 40. A number of more than six digits is
 *  never cut: it pushes the columns right (the line still fits in 40). */
std::string listLine(std::int32_t recordNo, const QsoRecord &record);

/** Page holding record n (also the page count for n = N): at least 1. */
std::int32_t computePageCount(std::int32_t n);

struct PageRange
{
    std::int32_t first = 1; ///< FirstShown
    std::int32_t last = 0;  ///< LastShown (first - 1 when the page is empty)
};
/** Record numbers shown on page p of a log of n contacts. */
PageRange pageRange(std::int32_t page, std::int32_t n);

struct PagingButtons
{
    bool top = false;    ///< " début"
    bool minus = false;  ///< "-"
    bool plus = false;   ///< "+"
    bool bottom = false; ///< "fin"
};
/** Enabling of the four paging buttons for page p of pageCount, log of n contacts. */
PagingButtons pagingButtons(std::int32_t page, std::int32_t pageCount, std::int32_t n,
                            bool entrySession);

/** Page asked for in the page box: nullopt when the text is empty or its value is
 *  below 1 once rounded (0.4 is refused), else the rounded value capped at pageCount. */
std::optional<std::int32_t> pageFromBox(std::string_view text, std::int32_t pageCount);

} // namespace ondelog
