// SPDX-License-Identifier: GPL-3.0-or-later
#include "logbook/pager.h"

#include "logbook/loglist.h"

#include <algorithm>

namespace ondelog {

void Pager::setRecordCount(std::int32_t n)
{
    m_recordCount = std::max<std::int32_t>(n, 0);
    m_pageCount = computePageCount(m_recordCount);
    m_currentPage = std::min(m_currentPage, m_pageCount);
    m_previousPage = std::min(m_previousPage, m_pageCount);
}

void Pager::pageShown(std::int32_t p)
{
    m_currentPage = p;
    m_previousPage = p;
}

std::int32_t Pager::lastShown(std::int32_t page) const
{
    return std::min(kLinesPerPage * page, m_recordCount);
}

std::optional<std::int32_t> Pager::pageForListKey(ListKey key, int lineIndex,
                                                  std::int32_t scrollValue)
{
    m_scrollHasFocus = false;
    m_downPastEnd = false;
    const std::int32_t page = computePageCount(scrollValue);
    switch (key) {
    case ListKey::PageUp:
        if (page >= 2)
            return page - 1;
        break;
    case ListKey::PageDown:
        if (page < m_pageCount)
            return page + 1;
        break;
    case ListKey::Up:
        if (lineIndex == 0 && page >= 2)
            return page - 1;
        break;
    case ListKey::Down:
        if (lineIndex == kLinesPerPage - 1 && page < m_pageCount) {
            m_downPastEnd = true;
            return page + 1;
        }
        break;
    case ListKey::Other:
        break;
    }
    return std::nullopt;
}

std::optional<LineChoice> Pager::scrollTo(std::int32_t value)
{
    m_currentPage = computePageCount(value);
    if (m_currentPage == m_previousPage)
        return std::nullopt;
    LineChoice choice;
    if (m_currentPage < m_previousPage)
        choice = m_scrollHasFocus ? LineChoice::First : LineChoice::Last;
    else
        choice = (m_downPastEnd && !m_scrollHasFocus) ? LineChoice::First : LineChoice::Last;
    m_previousPage = m_currentPage;
    m_scrollHasFocus = false;
    m_downPastEnd = false;
    return choice;
}

std::int32_t Pager::pageForBox(std::string_view text) const
{
    return pageFromBox(text, m_pageCount).value_or(m_previousPage);
}

} // namespace ondelog
