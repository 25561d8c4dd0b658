// SPDX-License-Identifier: GPL-3.0-or-later
#include "logbook/loglist.h"

#include "logfixture.h"

#include <gtest/gtest.h>

using namespace ondelog;

TEST(ListLine, ColumnsLineUpInFortyCharacters)
{
    QsoRecord r = test::makeContact(1);
    r.setField(Field::CSGN, "F6ABC/P");
    EXPECT_EQ(listLine(1, r), "1      : F6ABC/P   :01/02/03:09:05      ");
    EXPECT_EQ(listLine(123456, r), "123456 : F6ABC/P   :01/02/03:09:05      ");

    // Call signs longer than the column are cut; blank fields keep their columns.
    QsoRecord sparse;
    sparse.setField(Field::CSGN, " VP2E/F6ABCDE");
    EXPECT_EQ(listLine(26, sparse), "26     : VP2E/F6ABC:        :           ");
    EXPECT_EQ(listLine(26, sparse).size(), kListLineWidth);
}

TEST(ListLine, ControlBytesOfADamagedRecordShowAsAPlaceholder)
{
    QsoRecord r;
    r.setField(Field::CSGN, std::string("F6\0AB\nC", 7));
    r.setField(Field::DQSO, "01\r02\t03");
    r.setField(Field::HDEB, "09:\x7F"
                            "5");
    const std::string line = listLine(7, r);
    EXPECT_EQ(line, "7      : F6\xA4"
                    "AB\xA4"
                    "C   :01\xA4"
                    "02\xA4"
                    "03:09:\xA4"
                    "5      ");
}

TEST(ListLine, RecordNumberShowsWhole)
{
    const QsoRecord r = test::makeContact(1);
    for (std::int32_t n : {1, 25, 32767, 32768, 100000, 999999, 1000000, 123456789}) {
        const std::string line = listLine(n, r);
        const std::string number = std::to_string(n);
        // Never cut, and followed by a blank: the column that follows never runs into it.
        EXPECT_EQ(line.substr(0, number.size() + 1), number + " ") << line;
        EXPECT_EQ(line.size(), kListLineWidth) << line;
    }
}

TEST(Paging, PageCountsAndRanges)
{
    struct Row
    {
        std::int32_t n;
        std::int32_t pages;
    };
    const Row counts[] = {{-1, 1}, {0, 1},  {1, 1},  {25, 1},       {26, 2},
                          {50, 2}, {51, 3}, {60, 3}, {32767, 1311}, {100000, 4000}};
    for (const Row &row : counts)
        EXPECT_EQ(computePageCount(row.n), row.pages) << row.n;

    struct RangeRow
    {
        std::int32_t page, n, first, last;
    };
    const RangeRow ranges[] = {
        {1, 0, 1, 0},
        {1, 25, 1, 25},
        {1, 26, 1, 25},
        {2, 26, 26, 26},
        {3, 60, 51, 60},
        {2, 60, 26, 50},
        {4, 60, 76, 75},
        {0, 60, 1, 0},
        {4000, 100000, 99976, 100000},
        {2147483647, 10, 2147483647, 2147483646},
    };
    for (const RangeRow &row : ranges) {
        const PageRange r = pageRange(row.page, row.n);
        EXPECT_EQ(r.first, row.first) << "page " << row.page << " of N=" << row.n;
        EXPECT_EQ(r.last, row.last) << "page " << row.page << " of N=" << row.n;
    }
}

TEST(Paging, ButtonsFollowThePageAndTheEntrySession)
{
    struct Row
    {
        std::int32_t n, page;
        bool entry;
        PagingButtons expected; // top, minus, plus, bottom
    };
    const Row rows[] = {
        {0, 1, false, {false, false, false, false}}, {25, 1, false, {false, false, false, false}},
        {26, 1, false, {false, false, true, true}},  {26, 2, false, {true, true, false, false}},
        {60, 1, false, {false, false, true, true}},  {60, 2, false, {true, true, true, true}},
        {60, 3, false, {true, true, false, false}},  {60, 2, true, {false, false, false, false}},
        {60, 3, true, {false, false, false, false}}, {60, 4, false, {false, false, false, false}},
    };
    for (const Row &row : rows) {
        const PagingButtons b = pagingButtons(row.page, computePageCount(row.n), row.n, row.entry);
        SCOPED_TRACE("N=" + std::to_string(row.n) + " page " + std::to_string(row.page) +
                     (row.entry ? " in entry" : ""));
        EXPECT_EQ(b.top, row.expected.top);
        EXPECT_EQ(b.minus, row.expected.minus);
        EXPECT_EQ(b.plus, row.expected.plus);
        EXPECT_EQ(b.bottom, row.expected.bottom);
    }
}

TEST(Paging, PageBoxTakesPositiveNumbersCappedAtTheLastPage)
{
    struct Row
    {
        const char *text;
        std::optional<std::int32_t> page;
    };
    const Row rows[] = {
        {"2", 2},
        {" 2 ", 2},
        {"9999", 3},
        {"3", 3},
        {"2X", 2},
        {"1.5", 2},
        {"2.5", 2},
        {"2.6", 3},
        {"0.6", 1},
        {"0.4", std::nullopt},
        {"0.5", std::nullopt},
        {"0", std::nullopt},
        {"-2", std::nullopt},
        {"", std::nullopt},
        {"   ", std::nullopt},
        {"ABC", std::nullopt},
    };
    for (const Row &row : rows)
        EXPECT_EQ(pageFromBox(row.text, 3), row.page) << '"' << row.text << '"';
    EXPECT_EQ(pageFromBox(std::string(400, '9'), 4000), 4000);
}
