// SPDX-License-Identifier: GPL-3.0-or-later
#include "timesetter/clocktime.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>

namespace ondelog {

using namespace std::chrono;

namespace {

std::string twoDigits(long v)
{
    char buf[8];
    std::snprintf(buf, sizeof buf, "%02ld", v);
    return buf;
}

sys_seconds lastSundayAtOne(year y, month m)
{
    return sys_days(y / m / Sunday[last]) + hours(1);
}

} // namespace

std::string timeOfDayText(UtcTime t)
{
    const auto s = floor<seconds>(t);
    const hh_mm_ss hms(s - floor<days>(s));
    return twoDigits(hms.hours().count()) + ":" + twoDigits(hms.minutes().count()) + ":" +
           twoDigits(hms.seconds().count());
}

std::string dateText(UtcTime t)
{
    const year_month_day ymd(floor<days>(t));
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02u/%02u/%04d", unsigned(ymd.day()), unsigned(ymd.month()),
                  int(ymd.year()));
    return buf;
}

int franceOffsetHours(UtcTime t)
{
    const auto s = floor<seconds>(t);
    const year y = year_month_day(floor<days>(s)).year();
    return s >= lastSundayAtOne(y, March) && s < lastSundayAtOne(y, October) ? 2 : 1;
}

seconds SystemZone::utcOffset(UtcTime t) const
{
    const std::time_t when = system_clock::to_time_t(t);
    std::tm local{};
    if (!localtime_r(&when, &local))
        return seconds(0);
    return seconds(local.tm_gmtoff);
}

std::string SystemZone::name() const
{
    if (const char *tz = std::getenv("TZ"); tz && *tz)
        return *tz == ':' ? tz + 1 : tz;
    std::error_code ec;
    const std::filesystem::path target = std::filesystem::read_symlink("/etc/localtime", ec);
    if (!ec) {
        const std::string s = target.string();
        if (const auto at = s.find("zoneinfo/"); at != std::string::npos)
            return s.substr(at + 9);
    }
    std::ifstream file("/etc/timezone");
    std::string line;
    if (std::getline(file, line) && !line.empty())
        return line;
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (localtime_r(&now, &local) && local.tm_zone)
        return local.tm_zone;
    return "UTC";
}

bool ClockSetting::shiftsTheZone() const
{
    return abs(shift) >= hours(1);
}

ClockSetting planClockSetting(UtcTime serverNow, TimeChoice choice, int offsetHours,
                              const LocalZone &zone)
{
    const seconds chosen = choice == TimeChoice::Gmt ? seconds(0) : hours(offsetHours);
    ClockSetting s;
    s.shown = serverNow + chosen;
    s.shift = chosen - zone.utcOffset(serverNow);
    // The instant whose local time is `shown`: the zone's offset is looked up
    // at the instant itself, which matters on the days the offset changes.
    const UtcTime first = s.shown - zone.utcOffset(s.shown);
    const UtcTime second = s.shown - zone.utcOffset(first);
    s.target = second + zone.utcOffset(second) == s.shown ? second : first;
    return s;
}

std::string shiftText(seconds shift)
{
    const long total = long(shift.count());
    const long magnitude = std::labs(total);
    std::string text = total < 0 ? "-" : "";
    text += std::to_string(magnitude / 3600) + " h";
    if (const long minutes = magnitude % 3600 / 60; minutes)
        text += " " + twoDigits(minutes);
    return text;
}

} // namespace ondelog
