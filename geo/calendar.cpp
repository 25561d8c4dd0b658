// SPDX-License-Identifier: GPL-3.0-or-later
#include "geo/calendar.h"

#include "text/text.h"

#include <array>
#include <chrono>
#include <cmath>
#include <ctime>

namespace ondelog {

namespace {

// Written by hand rather than through printf or streams so that no locale can
// ever slip a different digit form into the log.
std::string digits(int value, int width)
{
    std::string text = std::to_string(value < 0 ? -value : value);
    if (text.size() < static_cast<std::size_t>(width))
        text.insert(0, static_cast<std::size_t>(width) - text.size(), '0');
    return value < 0 ? "-" + text : text;
}

std::string twoDigits(int value)
{
    return digits(value, 2);
}

// Characters `pos` (0-based) and on, as many as there are up to `count`.
std::string_view piece(std::string_view text, std::size_t pos, std::size_t count)
{
    return pos < text.size() ? text.substr(pos, count) : std::string_view{};
}

std::string_view lastTwo(std::string_view text)
{
    return text.size() <= 2 ? text : text.substr(text.size() - 2);
}

// The numeric value of a piece as a whole number within [low, high]. The pieces
// were held in small integer types; a minus sign or a fraction typed into the
// field must fail the check, never wrap or round into a different date.
std::optional<int> wholeValue(std::string_view text, int low, int high)
{
    const double value = numericValue(text);
    if (!(value >= low && value <= high) || value != std::floor(value))
        return std::nullopt;
    return static_cast<int>(value);
}

// Days in each month of a common year, less 28.
constexpr std::string_view kMonthLengths = "303232332323";

const std::array<std::string, 8> &dayNames()
{
    static const std::array<std::string, 8> names = {
        "",
        utf8ToCp1252("Dimanche"),
        utf8ToCp1252("Lundi"),
        utf8ToCp1252("Mardi"),
        utf8ToCp1252("Mercredi"),
        utf8ToCp1252("Jeudi"),
        utf8ToCp1252("Vendredi"),
        utf8ToCp1252("Samedi"),
    };
    return names;
}

const std::array<std::string, 13> &monthNames()
{
    static const std::array<std::string, 13> names = {
        "",
        utf8ToCp1252("Janvier"),
        utf8ToCp1252("Février"),
        utf8ToCp1252("Mars"),
        utf8ToCp1252("Avril"),
        utf8ToCp1252("Mai"),
        utf8ToCp1252("Juin"),
        utf8ToCp1252("Juillet"),
        utf8ToCp1252("Août"),
        utf8ToCp1252("Septembre"),
        utf8ToCp1252("Octobre"),
        utf8ToCp1252("Novembre"),
        utf8ToCp1252("Décembre"),
    };
    return names;
}

std::chrono::sys_days toDays(const LocalDateTime &t)
{
    using namespace std::chrono;
    return sys_days{year{t.year} / month{static_cast<unsigned>(t.month)} /
                    day{static_cast<unsigned>(t.day)}};
}

int weekdayOf(std::chrono::sys_days days)
{
    return static_cast<int>(std::chrono::weekday{days}.c_encoding()) + 1;
}

} // namespace

LocalDateTime SystemClock::now() const
{
    const std::time_t seconds = std::time(nullptr);
    std::tm local{};
    localtime_r(&seconds, &local);
    LocalDateTime t;
    t.year = local.tm_year + 1900;
    t.month = local.tm_mon + 1;
    t.day = local.tm_mday;
    t.hour = local.tm_hour;
    t.minute = local.tm_min;
    // A leap second shows as the last ordinary one; the windows know no 60.
    t.second = local.tm_sec > 59 ? 59 : local.tm_sec;
    t.weekday = local.tm_wday + 1;
    return t;
}

void FixedClock::advance(int seconds)
{
    using namespace std::chrono;
    const auto start = toDays(m_now);
    const auto moved = sys_seconds{start} + std::chrono::seconds{m_now.secondsOfDay()} +
                       std::chrono::seconds{seconds};
    const auto days = floor<std::chrono::days>(moved);
    const year_month_day ymd{days};
    const hh_mm_ss<std::chrono::seconds> time{moved - days};

    m_now.year = static_cast<int>(ymd.year());
    m_now.month = static_cast<int>(static_cast<unsigned>(ymd.month()));
    m_now.day = static_cast<int>(static_cast<unsigned>(ymd.day()));
    m_now.hour = static_cast<int>(time.hours().count());
    m_now.minute = static_cast<int>(time.minutes().count());
    m_now.second = static_cast<int>(time.seconds().count());
    m_now.weekday = weekdayOf(days);
}

LocalDateTime makeDateTime(int year, int month, int day, int hour, int minute, int second)
{
    LocalDateTime t;
    t.year = year;
    t.month = month;
    t.day = day;
    t.hour = hour;
    t.minute = minute;
    t.second = second;
    t.weekday = weekdayOf(toDays(t));
    return t;
}

int yearFromTwoDigits(std::uint8_t twoDigitYear)
{
    return twoDigitYear < 60 ? 2000 + twoDigitYear : 1900 + twoDigitYear;
}

std::optional<std::string> checkDate(std::string_view text)
{
    // Characters 3 and 6 are not looked at, so 12.05.03 and 12 05 03 pass too.
    const auto day = wholeValue(piece(text, 0, 2), 1, 31);
    const auto month = wholeValue(piece(text, 3, 2), 1, 12);
    const auto yy = wholeValue(lastTwo(text), 0, 255);
    if (!day || !month || !yy)
        return std::nullopt;

    const int fullYear = yearFromTwoDigits(static_cast<std::uint8_t>(*yy));
    // Every fourth year is a leap year: exact over 1960-2059, the only years
    // a two-digit year can name.
    int days = 28 + (kMonthLengths[static_cast<std::size_t>(*month - 1)] - '0');
    if (*month == 2 && fullYear % 4 == 0)
        ++days;
    if (*day > days)
        return std::nullopt;
    return twoDigits(*day) + "/" + twoDigits(*month) + "/" + twoDigits(*yy);
}

TypedDate checkTypedDate(std::string_view text)
{
    constexpr std::size_t kShort = 8;
    constexpr std::size_t kLong = 10;
    std::string shortText;
    if (text.size() == kLong) {
        const auto year = wholeValue(piece(text, 6, 4), 1960, 2059);
        if (!year)
            return {TypedDate::Verdict::OutOfRange, {}};
        shortText = std::string(text.substr(0, 6)) + std::string(text.substr(8, 2));
    } else if (text.size() == kShort) {
        shortText = std::string(text);
    } else {
        return {};
    }
    if (auto date = checkDate(shortText))
        return {TypedDate::Verdict::Valid, *date};
    return {};
}

std::optional<std::string> checkTime(std::string_view text)
{
    const auto hours = wholeValue(piece(text, 0, 2), 0, 23);
    const auto minutes = wholeValue(lastTwo(text), 0, 59);
    if (!hours || !minutes)
        return std::nullopt;
    return twoDigits(*hours) + ":" + twoDigits(*minutes);
}

std::string longDateText(const LocalDateTime &today)
{
    const auto &days = dayNames();
    const auto &months = monthNames();
    const std::string &dayName = today.weekday >= 1 && today.weekday <= 7
                                     ? days[static_cast<std::size_t>(today.weekday)]
                                     : days[0];
    const std::string &monthName = today.month >= 1 && today.month <= 12
                                       ? months[static_cast<std::size_t>(today.month)]
                                       : months[0];
    return " " + dayName + " " + twoDigits(today.day) + " " + monthName + " " +
           digits(today.year, 4) + " ";
}

std::string shortDateText(const LocalDateTime &t)
{
    const int yy = ((t.year % 100) + 100) % 100;
    return twoDigits(t.day) + "/" + twoDigits(t.month) + "/" + twoDigits(yy);
}

std::string hourMinuteText(const LocalDateTime &t)
{
    return twoDigits(t.hour) + ":" + twoDigits(t.minute);
}

std::string clockText(const LocalDateTime &t)
{
    return hourMinuteText(t) + ":" + twoDigits(t.second);
}

} // namespace ondelog
