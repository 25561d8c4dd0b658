// SPDX-License-Identifier: GPL-3.0-or-later
#include "logbook/pager.h"

#include <gtest/gtest.h>

#include <optional>

using namespace ondelog;

namespace {

// A log of 60 contacts shown on page p, as the window leaves it after drawing.
Pager pagerOn(std::int32_t n, std::int32_t page)
{
    Pager pager;
    pager.setRecordCount(n);
    pager.pageShown(page);
    return pager;
}

struct KeyCase
{
    const char *name;
    std::int32_t page;
    ListKey key;
    int line;
    std::optional<std::int32_t> expected;
    bool downPastEnd;
};

class PagerKeys : public ::testing::TestWithParam<KeyCase>
{
};

TEST_P(PagerKeys, turnPagesOnlyAtTheEdges)
{
    const KeyCase &c = GetParam();
    Pager pager = pagerOn(60, c.page);
    pager.setScrollHasFocus();
    EXPECT_EQ(pager.pageForListKey(c.key, c.line, pager.lastShown(c.page)), c.expected);
    EXPECT_EQ(pager.downPastEnd(), c.downPastEnd);
    EXPECT_FALSE(pager.scrollHasFocus()) << "a key in the list clears the scroll flag";
}

INSTANTIATE_TEST_SUITE_P(
    Keys, PagerKeys,
    ::testing::Values(KeyCase{"pageUpOnFirst", 1, ListKey::PageUp, 3, std::nullopt, false},
                      KeyCase{"pageUpOnSecond", 2, ListKey::PageUp, 3, 1, false},
                      KeyCase{"pageDownOnLast", 3, ListKey::PageDown, 3, std::nullopt, false},
                      KeyCase{"pageDownOnFirst", 1, ListKey::PageDown, 3, 2, false},
                      KeyCase{"upOnFirstLine", 2, ListKey::Up, 0, 1, false},
                      KeyCase{"upInsidePage", 2, ListKey::Up, 5, std::nullopt, false},
                      KeyCase{"upOnFirstPage", 1, ListKey::Up, 0, std::nullopt, false},
                      KeyCase{"downOn25thLine", 1, ListKey::Down, 24, 2, true},
                      KeyCase{"downOn24thLine", 1, ListKey::Down, 23, std::nullopt, false},
                      KeyCase{"downOnLastPage", 3, ListKey::Down, 9, std::nullopt, false},
                      KeyCase{"otherKey", 2, ListKey::Other, 24, std::nullopt, false}),
    [](const auto &info) { return info.param.name; });

TEST(Pager, scrollRedrawsOnlyWhenThePageChanges)
{
    Pager pager = pagerOn(60, 3);
    EXPECT_EQ(pager.scrollTo(55), std::nullopt);
    EXPECT_EQ(pager.scrollTo(51), std::nullopt);
    EXPECT_EQ(pager.scrollTo(50), LineChoice::Last) << "back without the scroll bar: last line";
    EXPECT_EQ(pager.currentPage(), 2);
    EXPECT_EQ(pager.previousPage(), 2);
    EXPECT_EQ(pager.scrollTo(26), std::nullopt);
}

TEST(Pager, lineChosenAfterAPageChange)
{
    // Down Arrow past the 25th line lands on the first line of the next page;
    // Page Down lands on its last line.
    Pager pager = pagerOn(60, 1);
    ASSERT_EQ(pager.pageForListKey(ListKey::Down, 24, 25), 2);
    EXPECT_EQ(pager.scrollTo(pager.lastShown(2)), LineChoice::First);
    EXPECT_FALSE(pager.downPastEnd()) << "the flag is spent by the page change";
    ASSERT_EQ(pager.pageForListKey(ListKey::PageDown, 0, 50), 3);
    EXPECT_EQ(pager.scrollTo(pager.lastShown(3)), LineChoice::Last);

    // The scroll bar itself: back shows the first line, forward the last,
    // even right after Down Arrow asked for the first.
    pager.setScrollHasFocus();
    EXPECT_EQ(pager.scrollTo(25), LineChoice::First);
    pager.pageForListKey(ListKey::Down, 24, 25);
    pager.setScrollHasFocus();
    EXPECT_EQ(pager.scrollTo(50), LineChoice::Last);
}

TEST(Pager, lastShownStopsAtTheLastContact)
{
    Pager pager;
    pager.setRecordCount(26);
    EXPECT_EQ(pager.pageCount(), 2);
    EXPECT_EQ(pager.lastShown(1), 25);
    EXPECT_EQ(pager.lastShown(2), 26);
    pager.setRecordCount(0);
    EXPECT_EQ(pager.pageCount(), 1);
    EXPECT_EQ(pager.lastShown(1), 0);
}

TEST(Pager, pageBoxFallsBackToThePreviousPage)
{
    Pager pager = pagerOn(60, 2);
    EXPECT_EQ(pager.pageForBox("9999"), 3);
    EXPECT_EQ(pager.pageForBox("1"), 1);
    EXPECT_EQ(pager.pageForBox("0.4"), 2);
    EXPECT_EQ(pager.pageForBox("ABC"), 2);
    EXPECT_EQ(pager.pageForBox(""), 2);
}

TEST(Pager, fewerContactsKeepThePageWithinTheLog)
{
    // After a deletion the log may lose its last page while it is shown.
    Pager pager = pagerOn(51, 3);
    pager.setRecordCount(50);
    EXPECT_EQ(pager.pageCount(), 2);
    EXPECT_EQ(pager.currentPage(), 2);
}

} // namespace
