// SPDX-License-Identifier: GPL-3.0-or-later
#include "timesetter/clocktime.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

using namespace ondelog;
using namespace std::chrono;

namespace {

UtcTime at(year_month_day day, seconds timeOfDay)
{
    return UtcTime(sys_days(day) + timeOfDay);
}

class ParisZone : public LocalZone
{
  public:
    seconds utcOffset(UtcTime t) const override { return hours(franceOffsetHours(t)); }
    std::string name() const override { return "Europe/Paris"; }
};

class UtcZone : public LocalZone
{
  public:
    seconds utcOffset(UtcTime) const override { return seconds(0); }
    std::string name() const override { return "UTC"; }
};

TEST(ClockTime, FrenchLegalOffsetChangesAtOneUtcOnTheLastSundays)
{
    struct Case
    {
        UtcTime time;
        int offset;
    };
    const std::vector<Case> cases = {
        {at(2024y / 1 / 15, 12h), 1},      {at(2024y / 3 / 31, 1h - 1s), 1},
        {at(2024y / 3 / 31, 1h), 2},       {at(2024y / 7 / 14, 23h), 2},
        {at(2024y / 10 / 27, 1h - 1s), 2}, {at(2024y / 10 / 27, 1h), 1},
        {at(2026y / 3 / 29, 1h), 2}, // last Sunday of March 2026
        {at(2026y / 3 / 22, 1h), 1},       {at(2026y / 12 / 31, 23h + 59min + 59s), 1},
    };
    for (const Case &c : cases)
        EXPECT_EQ(franceOffsetHours(c.time), c.offset)
            << dateText(c.time) << " " << timeOfDayText(c.time);
}

TEST(ClockTime, TheClockIsGivenTheChosenTimeWithItsDate)
{
    const ParisZone paris;
    const UtcZone utc;
    struct Case
    {
        const char *what;
        UtcTime server;
        TimeChoice choice;
        int offset;
        const LocalZone &zone;
        std::string shown;
        UtcTime target;
        bool shiftsTheZone;
    };
    const UtcTime lateJune = at(2024y / 6 / 1, 23h + 30min + 5s);
    const UtcTime lateJanuary = at(2024y / 1 / 31, 23h + 10min);
    const std::vector<Case> cases = {
        {"legal time past midnight on a Paris computer", lateJune, TimeChoice::Legal, 2, paris,
         "02/06/2024 01:30:05", lateJune, false},
        {"legal winter time at the end of the month", lateJanuary, TimeChoice::Legal, 1, paris,
         "01/02/2024 00:10:00", lateJanuary, false},
        {"GMT on a Paris computer", lateJune, TimeChoice::Gmt, 2, paris, "01/06/2024 23:30:05",
         lateJune - 2h, true},
        {"winter offset in summer", lateJune, TimeChoice::Legal, 1, paris, "02/06/2024 00:30:05",
         lateJune - 1h, true},
        {"GMT on a UTC computer", lateJune, TimeChoice::Gmt, 2, utc, "01/06/2024 23:30:05",
         lateJune, false},
        {"legal time on a UTC computer", lateJune, TimeChoice::Legal, 2, utc, "02/06/2024 01:30:05",
         lateJune + 2h, true},
        {"morning", at(2024y / 6 / 1, 7h + 5min + 9s), TimeChoice::Legal, 2, paris,
         "01/06/2024 09:05:09", at(2024y / 6 / 1, 7h + 5min + 9s), false},
    };
    for (const Case &c : cases) {
        const ClockSetting s = planClockSetting(c.server, c.choice, c.offset, c.zone);
        EXPECT_EQ(dateText(s.shown) + " " + timeOfDayText(s.shown), c.shown) << c.what;
        EXPECT_EQ(s.target, c.target) << c.what;
        EXPECT_EQ(s.shiftsTheZone(), c.shiftsTheZone) << c.what;
    }
}

} // namespace
