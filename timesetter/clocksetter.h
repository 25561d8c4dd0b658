// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reading and setting the computer's clock. The window talks to the ClockSetter interface
// so that tests never touch the real clock (they may run as root).

#include "timesetter/sntp.h"

#include <chrono>
#include <string>

namespace ondelog {

/** The computer's clock as Horalink reads it: the time of day, and a steady
 *  clock for the pace of the queries, which setting the time must not disturb. */
class ComputerClock
{
  public:
    using Steady = std::chrono::steady_clock::time_point;
    virtual ~ComputerClock() = default;
    virtual UtcTime now() const = 0;
    virtual Steady steadyNow() const = 0;
};

class SystemComputerClock : public ComputerClock
{
  public:
    UtcTime now() const override { return std::chrono::system_clock::now(); }
    Steady steadyNow() const override { return std::chrono::steady_clock::now(); }
};

enum class ClockSetStatus
{
    Done,
    NotPermitted,
    Failed
};

struct ClockSetResult
{
    ClockSetStatus status = ClockSetStatus::Done;
    int error = 0; ///< errno of a failure
};

class ClockSetter
{
  public:
    virtual ~ClockSetter() = default;
    virtual ClockSetResult set(UtcTime target) = 0;
};

/** clock_settime(CLOCK_REALTIME): needs root or the capability cap_sys_time. */
class SystemClockSetter : public ClockSetter
{
  public:
    ClockSetResult set(UtcTime target) override;
};

/** The French message of a setting that did not happen, with how to grant the
 *  privilege when that was the reason (`programPath` is Horalink's own file). UTF-8. */
std::string clockSetFailureText(const ClockSetResult &result, const std::string &programPath);

} // namespace ondelog
