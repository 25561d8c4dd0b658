// SPDX-License-Identifier: GPL-3.0-or-later
#include "timesetter/clocksetter.h"

#include <cerrno>
#include <cstring>
#include <ctime>

namespace ondelog {

ClockSetResult SystemClockSetter::set(UtcTime target)
{
    using namespace std::chrono;
    const auto since = duration_cast<nanoseconds>(target.time_since_epoch());
    const auto whole = floor<seconds>(since);
    timespec ts{};
    ts.tv_sec = std::time_t(whole.count());
    ts.tv_nsec = long((since - whole).count());
    if (clock_settime(CLOCK_REALTIME, &ts) == 0)
        return {ClockSetStatus::Done, 0};
    const int error = errno;
    return {error == EPERM ? ClockSetStatus::NotPermitted : ClockSetStatus::Failed, error};
}

std::string clockSetFailureText(const ClockSetResult &result, const std::string &programPath)
{
    if (result.status == ClockSetStatus::NotPermitted)
        return "L'horloge de l'ordinateur n'a pas été réglée : Horalink n'en a pas le droit.\n\n"
               "Lancez-le en administrateur (sudo horalink), ou donnez-lui une fois pour toutes "
               "la capacité de régler l'horloge :\n\nsudo setcap cap_sys_time+ep " +
               programPath;
    std::string text = "L'horloge de l'ordinateur n'a pas été réglée";
    if (result.error)
        text += std::string(" (") + std::strerror(result.error) + ")";
    return text + ".";
}

} // namespace ondelog
