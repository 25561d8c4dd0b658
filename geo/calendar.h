// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Dates and times as the log holds them (dd/mm/yy, hh:mm), the long French date
// of the main window, and the clock the windows read, which tests replace.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ondelog {

/** A local date and time of day as the clock gives it. */
struct LocalDateTime
{
    int year = 2000;
    int month = 1; ///< 1..12
    int day = 1;   ///< 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;
    int weekday = 7; ///< 1 = Sunday .. 7 = Saturday

    /** Seconds since midnight. */
    int secondsOfDay() const { return hour * 3600 + minute * 60 + second; }
};

/** The clock read by the windows; tests give them a fixed one. */
class Clock
{
  public:
    virtual ~Clock() = default;
    virtual LocalDateTime now() const = 0;
};

/** Local time of the computer. */
class SystemClock : public Clock
{
  public:
    LocalDateTime now() const override;
};

/** A clock that shows what it is told; advance() moves it on (weekday and date follow). */
class FixedClock : public Clock
{
  public:
    explicit FixedClock(const LocalDateTime &t) : m_now(t) {}
    LocalDateTime now() const override { return m_now; }
    void set(const LocalDateTime &t) { m_now = t; }
    void advance(int seconds);

  private:
    LocalDateTime m_now;
};

/** Builds a LocalDateTime with its weekday computed. */
LocalDateTime makeDateTime(int year, int month, int day, int hour = 0, int minute = 0,
                           int second = 0);

/** 00..59 give 2000..2059, 60..99 give 1960..1999. */
int yearFromTwoDigits(std::uint8_t twoDigitYear);

/** The date normalised to dd/mm/yy, or nothing when it is not a valid date. Day
 *  from characters 1-2, month from 4-5, year from the last two characters. */
std::optional<std::string> checkDate(std::string_view text);
/** What a date field makes of the text typed into it. */
struct TypedDate
{
    enum class Verdict
    {
        Valid,      ///< `date` holds it as dd/mm/yy
        Invalid,    ///< not a date (or not of a date's length): not taken, no error shown
        OutOfRange, ///< dd/mm/yyyy whose year two digits cannot name: an error to show
    };
    Verdict verdict = Verdict::Invalid;
    std::string date;
};
/** dd/mm/yy checked as checkDate() does; dd/mm/yyyy (the way most people write a
 *  year) is taken as dd/mm/yy when the year lies in 1960..2059, the years the
 *  log's two digits stand for, and is out of range otherwise. */
TypedDate checkTypedDate(std::string_view text);

/** The time normalised to hh:mm, or nothing ("0905", "9:05" -> "09:05"; "12" -> "12:12"). */
std::optional<std::string> checkTime(std::string_view text);

/** " Dimanche 05 Janvier 2003 " (Windows-1252; day name by weekday, none outside 1..7). */
std::string longDateText(const LocalDateTime &today);
/** dd/mm/yy whatever the locale. */
std::string shortDateText(const LocalDateTime &t);
/** hh:mm */
std::string hourMinuteText(const LocalDateTime &t);
/** hh:mm:ss */
std::string clockText(const LocalDateTime &t);

} // namespace ondelog
