// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The times Horalink shows and gives to the computer: the GMT text of the
// server's time, the French legal time one or two hours ahead of it, and the
// instant to give the system clock so that it shows the chosen one, date
// included.

#include "timesetter/sntp.h"

#include <chrono>
#include <string>

namespace ondelog {

/** hh:mm:ss of a UTC instant (seconds cut, not rounded). */
std::string timeOfDayText(UtcTime t);
/** dd/mm/yyyy of a UTC instant. */
std::string dateText(UtcTime t);

/** The offset of French legal time at `t`: 2 during European summer time (from
 *  01:00 UTC on the last Sunday of March to 01:00 UTC on the last Sunday of
 *  October), 1 otherwise. */
int franceOffsetHours(UtcTime t);

/** The computer's time zone, as seen by the clock setting. */
class LocalZone
{
  public:
    virtual ~LocalZone() = default;
    /** Local time minus UTC at `t`. */
    virtual std::chrono::seconds utcOffset(UtcTime t) const = 0;
    /** A name the operator knows ("Europe/Paris"); UTF-8. */
    virtual std::string name() const = 0;
};

/** The zone of this process (TZ, else the system's), read through the C library. */
class SystemZone : public LocalZone
{
  public:
    std::chrono::seconds utcOffset(UtcTime t) const override;
    std::string name() const override;
};

enum class TimeChoice
{
    Gmt,
    Legal
};

/** What "Mettre à l'heure" is about to do. */
struct ClockSetting
{
    /** The instant to give the system clock. */
    UtcTime target;
    /** The date and time of day the computer will show, written as if in UTC. */
    UtcTime shown;
    /** How far that is from what the zone shows for the server's time; an hour
     *  or more means the computer's clock will no longer be its zone's time. */
    std::chrono::seconds shift{0};

    bool shiftsTheZone() const;
};

/** Plans the setting at server time `serverNow` so that the computer shows the
 *  GMT or the legal time (GMT + `offsetHours`), with the date that goes with it. */
ClockSetting planClockSetting(UtcTime serverNow, TimeChoice choice, int offsetHours,
                              const LocalZone &zone);

/** "2 h", "1 h 30", "-1 h" */
std::string shiftText(std::chrono::seconds shift);

} // namespace ondelog
