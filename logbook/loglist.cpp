// SPDX-License-Identifier: GPL-3.0-or-later
#include "logbook/loglist.h"

#include "text/text.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace ondelog {

namespace {

constexpr std::size_t kNumberWidth = 6;

} // namespace

std::string listLine(std::int32_t recordNo, const QsoRecord &record)
{
    std::string number = std::to_string(recordNo);
    // The number column holds six characters, but a number is never cut: a cut
    // number would send a click on the line to another contact. Beyond 999,999
    // the line still fits in 40 characters.
    if (number.size() < kNumberWidth)
        number.resize(kNumberWidth, ' ');
    std::string line = number + " : " + fixedWidth(record.field(Field::CSGN), 10) + ":" +
                       fixedWidth(record.field(Field::DQSO), 8) + ":" +
                       fixedWidth(record.field(Field::HDEB), 5);
    // A damaged record may hold NUL or line breaks: shown raw, they would cut the
    // line short or break it in two.
    return withVisibleControls(fixedWidth(line, std::max(kListLineWidth, line.size())));
}

std::int32_t computePageCount(std::int32_t n)
{
    if (n <= kLinesPerPage)
        return 1;
    return n / kLinesPerPage + (n % kLinesPerPage != 0 ? 1 : 0);
}

PageRange pageRange(std::int32_t page, std::int32_t n)
{
    if (page < 1)
        return {1, 0};
    const std::int64_t last64 = std::int64_t{kLinesPerPage} * page;
    const std::int64_t first64 = page == 1 ? 1 : last64 - (kLinesPerPage - 1);
    const std::int64_t last = std::min<std::int64_t>(last64, n);
    if (first64 > std::numeric_limits<std::int32_t>::max())
        return {std::numeric_limits<std::int32_t>::max(),
                std::numeric_limits<std::int32_t>::max() - 1};
    PageRange range;
    range.first = static_cast<std::int32_t>(first64);
    range.last = static_cast<std::int32_t>(std::max(last, first64 - 1));
    return range;
}

PagingButtons pagingButtons(std::int32_t page, std::int32_t pageCount, std::int32_t n,
                            bool entrySession)
{
    PagingButtons b; // a page outside 1..pageCount offers no move
    if ((n < 26 && page == 1) || entrySession)
        return b;
    // The rules apply one after the other; a later one overrides an earlier one.
    if (n >= 26 && page == 1)
        b = {false, false, true, true};
    if (page == pageCount)
        b = {true, true, false, false};
    if (1 < page && page < pageCount)
        b = {true, true, true, true};
    return b;
}

std::optional<std::int32_t> pageFromBox(std::string_view text, std::int32_t pageCount)
{
    const std::string trimmed = trim(text);
    if (trimmed.empty())
        return std::nullopt;
    const double value = numericValue(trimmed);
    if (!(value > 0.0))
        return std::nullopt;
    const std::int32_t cap = std::max<std::int32_t>(pageCount, 1);
    if (value >= cap)
        return cap;
    // Rounded half to even (2.5 is page 2); a value that rounds to page 0 is no
    // page at all.
    const double rounded = std::nearbyint(value);
    if (rounded < 1.0)
        return std::nullopt;
    return static_cast<std::int32_t>(rounded);
}

} // namespace ondelog
