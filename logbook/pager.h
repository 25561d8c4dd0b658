// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Paging of the log list: which page is shown, which page a key or the scroll
// bar asks for, and which line to select once the new page is drawn. The list
// is only redrawn when the page actually changes, so these decisions are kept
// apart from the drawing.

#include <cstdint>
#include <optional>
#include <string_view>

namespace ondelog {

/** The line of the list selected after a page change. */
enum class LineChoice
{
    First,
    Last,
};

/** Keys of the log list that may turn the page. */
enum class ListKey
{
    PageUp,
    PageDown,
    Up,
    Down,
    Other,
};

/** Paging state of the log list (CurrentPage, PageCount, PreviousPage and the
 *  two one-shot flags ScrollHasFocus and DownPastEnd). The scroll value is the
 *  record number under the scroll box; the page it shows is the page of that record. */
class Pager
{
  public:
    /** A log of n contacts: the page count follows; nothing is shown yet. */
    void setRecordCount(std::int32_t n);
    std::int32_t recordCount() const { return m_recordCount; }
    std::int32_t pageCount() const { return m_pageCount; }
    std::int32_t currentPage() const { return m_currentPage; }
    std::int32_t previousPage() const { return m_previousPage; }

    /** Page p has just been drawn: it is the current and the previous page. */
    void pageShown(std::int32_t p);

    /** Scroll value that shows page p: its last record, at most N (LastShown). */
    std::int32_t lastShown(std::int32_t page) const;

    /** A key pressed in the list on line `lineIndex` (0-based) while the scroll
     *  value is `scrollValue`. Clears both flags, then gives the page to go to, or
     *  nothing when the key leaves the page alone (the list handles it as usual).
     *  Down on the 25th line sets DownPastEnd. */
    std::optional<std::int32_t> pageForListKey(ListKey key, int lineIndex,
                                               std::int32_t scrollValue);

    /** The operator works the scroll bar itself. */
    void setScrollHasFocus() { m_scrollHasFocus = true; }
    bool scrollHasFocus() const { return m_scrollHasFocus; }
    bool downPastEnd() const { return m_downPastEnd; }

    /** The scroll value became `value`. The current page follows it; when that page
     *  differs from the previous one the list must be redrawn with it and the line
     *  returned selected (both flags are then spent). Nothing when the page stays. */
    std::optional<LineChoice> scrollTo(std::int32_t value);

    /** Page to show after Enter in the page box: the page asked for, capped at the
     *  page count, or the previous page when the text is not a page number. */
    std::int32_t pageForBox(std::string_view text) const;

  private:
    std::int32_t m_recordCount = 0;
    std::int32_t m_pageCount = 1;
    std::int32_t m_currentPage = 1;
    std::int32_t m_previousPage = 1;
    bool m_scrollHasFocus = false;
    bool m_downPastEnd = false;
};

} // namespace ondelog
