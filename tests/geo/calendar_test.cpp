// SPDX-License-Identifier: GPL-3.0-or-later
#include "geo/calendar.h"

#include "text/text.h"

#include <gtest/gtest.h>

#include <clocale>
#include <optional>
#include <string>
#include <vector>

using namespace ondelog;

namespace {

using Expect = std::optional<std::string>;

TEST(Calendar, YearFromTwoDigits)
{
    EXPECT_EQ(yearFromTwoDigits(0), 2000);
    EXPECT_EQ(yearFromTwoDigits(3), 2003);
    EXPECT_EQ(yearFromTwoDigits(59), 2059);
    EXPECT_EQ(yearFromTwoDigits(60), 1960);
    EXPECT_EQ(yearFromTwoDigits(99), 1999);
}

TEST(Calendar, CheckDate)
{
    struct Case
    {
        std::string text;
        Expect result;
    };
    const std::vector<Case> cases = {
        {"01/02/03", "01/02/03"},
        {"29/02/04", "29/02/04"},
        {"29/02/03", std::nullopt},
        {"29/02/00", "29/02/00"}, // 2000
        {"29/02/60", "29/02/60"}, // 1960
        {"29/02/99", std::nullopt},
        {"31/04/05", std::nullopt},
        {"30/04/05", "30/04/05"},
        {"31/12/05", "31/12/05"},
        {"32/01/05", std::nullopt},
        {"00/01/05", std::nullopt},
        {"15/13/05", std::nullopt},
        {"15/00/05", std::nullopt},
        // The separators are not looked at.
        {"12.05.03", "12/05/03"},
        {"12 05 03", "12/05/03"},
        // Pieces read by numeric value and written back with two digits.
        {"1//2//03", "01/02/03"},
        {" 5/ 6/ 7", "05/06/07"},
        // The year is the last two characters whatever comes before.
        {"12/05/2003", "12/05/03"},
        // A minus sign or a fraction never turns into a date.
        {"-1/01/05", std::nullopt},
        {"01/-1/05", std::nullopt},
        {"01/01/-5", std::nullopt},
        {"01/.5/05", std::nullopt},
        {"01/01/.5", std::nullopt},
        {"", std::nullopt},
        {"ab/cd/ef", std::nullopt},
    };
    for (const auto &c : cases)
        EXPECT_EQ(checkDate(c.text), c.result) << '"' << c.text << '"';
}

TEST(Calendar, TypedDatesTakeAFourDigitYearTwoDigitsCanName)
{
    using V = TypedDate::Verdict;
    const struct
    {
        const char *typed;
        V verdict;
        const char *date;
    } cases[] = {
        {"05/01/24", V::Valid, "05/01/24"},   {"05/01/2024", V::Valid, "05/01/24"},
        {"31/12/1960", V::Valid, "31/12/60"}, {"01/01/2059", V::Valid, "01/01/59"},
        {"29/02/2024", V::Valid, "29/02/24"}, {"29/02/2023", V::Invalid, ""},
        {"01/01/1959", V::OutOfRange, ""},    {"01/01/2060", V::OutOfRange, ""},
        {"01/01/20x4", V::OutOfRange, ""},    {"05/01/2", V::Invalid, ""},
        {"05/01/202", V::Invalid, ""},        {"", V::Invalid, ""},
    };
    for (const auto &c : cases) {
        const TypedDate result = checkTypedDate(c.typed);
        EXPECT_EQ(result.verdict, c.verdict) << c.typed;
        EXPECT_EQ(result.date, c.date) << c.typed;
    }
}

TEST(Calendar, CheckTime)
{
    struct Case
    {
        std::string text;
        Expect result;
    };
    const std::vector<Case> cases = {
        {"09:05", "09:05"},      {"0905", "09:05"},       {"9:05", "09:05"},
        {"12", "12:12"},         {"00:00", "00:00"},      {"23:59", "23:59"},
        {"24:00", std::nullopt}, {"12:60", std::nullopt}, {"-1:05", std::nullopt},
        {"12:-5", std::nullopt}, {".5:30", std::nullopt}, {"12:.5", std::nullopt},
    };
    for (const auto &c : cases)
        EXPECT_EQ(checkTime(c.text), c.result) << '"' << c.text << '"';
}

TEST(Calendar, LongDateText)
{
    const LocalDateTime sunday = makeDateTime(2003, 1, 5);
    ASSERT_EQ(sunday.weekday, 1);
    const std::string text = longDateText(sunday);
    EXPECT_EQ(text, " Dimanche 05 Janvier 2003 ");
    EXPECT_EQ(text.size(), 26u);

    // Accented month names reach the windows as single Windows-1252 bytes.
    EXPECT_EQ(longDateText(makeDateTime(2004, 2, 29)), " Dimanche 29 F\xE9vrier 2004 ");
    EXPECT_EQ(longDateText(makeDateTime(2003, 8, 15)), " Vendredi 15 Ao\xFBt 2003 ");
    EXPECT_EQ(cp1252ToUtf8(longDateText(makeDateTime(1999, 12, 31))),
              " Vendredi 31 Décembre 1999 ");

    LocalDateTime odd = sunday;
    odd.weekday = 8;
    EXPECT_EQ(longDateText(odd), "  05 Janvier 2003 ");
    odd.weekday = 0;
    EXPECT_EQ(longDateText(odd), "  05 Janvier 2003 ");
}

TEST(Calendar, WeekdayOfKnownDates)
{
    EXPECT_EQ(makeDateTime(1970, 1, 1).weekday, 5);   // Thursday
    EXPECT_EQ(makeDateTime(2000, 2, 29).weekday, 3);  // Tuesday
    EXPECT_EQ(makeDateTime(2024, 12, 31).weekday, 3); // Tuesday
    EXPECT_EQ(makeDateTime(1960, 1, 1).weekday, 6);   // Friday
    EXPECT_EQ(makeDateTime(2059, 12, 31).weekday, 4); // Wednesday
}

TEST(Calendar, ShortTextsAreTwoDigitsWhateverTheLocale)
{
    const LocalDateTime t = makeDateTime(2003, 5, 7, 4, 3, 9);
    for (const char *locale : {"C", "fr_FR.UTF-8", "en_US.UTF-8"}) {
        SCOPED_TRACE(locale);
        std::setlocale(LC_ALL, locale); // may be missing; "C" always works
        EXPECT_EQ(shortDateText(t), "07/05/03");
        EXPECT_EQ(hourMinuteText(t), "04:03");
        EXPECT_EQ(clockText(t), "04:03:09");
    }
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ(shortDateText(makeDateTime(1999, 12, 31)), "31/12/99");
    EXPECT_EQ(shortDateText(makeDateTime(2000, 1, 1)), "01/01/00");
}

TEST(Calendar, FixedClockAdvance)
{
    struct Case
    {
        LocalDateTime start;
        int seconds;
        LocalDateTime expected;
    };
    const std::vector<Case> cases = {
        {makeDateTime(2003, 1, 5, 12, 0, 0), 1, makeDateTime(2003, 1, 5, 12, 0, 1)},
        {makeDateTime(2003, 1, 5, 23, 59, 59), 1, makeDateTime(2003, 1, 6, 0, 0, 0)},
        {makeDateTime(2003, 1, 31, 23, 59, 30), 45, makeDateTime(2003, 2, 1, 0, 0, 15)},
        {makeDateTime(2004, 2, 28, 23, 0, 0), 3600, makeDateTime(2004, 2, 29, 0, 0, 0)},
        {makeDateTime(2003, 2, 28, 23, 0, 0), 3600, makeDateTime(2003, 3, 1, 0, 0, 0)},
        {makeDateTime(1999, 12, 31, 23, 59, 59), 1, makeDateTime(2000, 1, 1, 0, 0, 0)},
        {makeDateTime(2000, 1, 1, 0, 0, 0), -1, makeDateTime(1999, 12, 31, 23, 59, 59)},
        {makeDateTime(2003, 1, 5, 10, 0, 0), 3 * 86400, makeDateTime(2003, 1, 8, 10, 0, 0)},
    };
    for (const auto &c : cases) {
        FixedClock clock(c.start);
        clock.advance(c.seconds);
        const LocalDateTime got = clock.now();
        SCOPED_TRACE(shortDateText(c.start) + " " + clockText(c.start) + " + " +
                     std::to_string(c.seconds));
        EXPECT_EQ(shortDateText(got), shortDateText(c.expected));
        EXPECT_EQ(got.year, c.expected.year);
        EXPECT_EQ(clockText(got), clockText(c.expected));
        EXPECT_EQ(got.weekday, c.expected.weekday);
    }
}

TEST(Calendar, SystemClockGivesAPlausibleLocalTime)
{
    const LocalDateTime t = SystemClock().now();
    EXPECT_GE(t.year, 2020);
    EXPECT_TRUE(t.month >= 1 && t.month <= 12);
    EXPECT_TRUE(t.day >= 1 && t.day <= 31);
    EXPECT_TRUE(t.secondsOfDay() >= 0 && t.secondsOfDay() < 86400);
    EXPECT_EQ(t.weekday, makeDateTime(t.year, t.month, t.day).weekday);
}

} // namespace
