// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reads the radio about once a second on a thread of its own, and reports
// what changed: the radio answering with its frequency and mode, no longer
// answering, or not opening at all. A radio that stopped answering is opened
// again until it answers.
//
// Hamlib may wait seconds on a dead serial port, in the opening as in every
// reading; nobody waits for that. Destroying a poller only asks its thread to
// stop: a thread still caught in Hamlib finishes on its own, reports nothing
// more, and is joined later (by the next poller destroyed, or at exit).

#include "station/radiostatus.h"
#include "station/stationsettings.h"

#include <chrono>
#include <functional>
#include <memory>

namespace ondelog {

struct RadioPollerState;

class RadioPoller
{
  public:
    /** Called on the poller's thread, never after the poller is destroyed; it
     *  must only hand the report over (post it to a window's thread). */
    using Report = std::function<void(const RadioReport &)>;

    struct Timing
    {
        std::chrono::milliseconds interval{1000}; ///< between readings, and between openings
        int timeoutMs = 1000;                     ///< Hamlib's wait for each answer
        int retries = 1;                          ///< Hamlib's tries after the first
    };

    /** Starts reading the radio of `settings` (nothing for "Aucun": one Off report). */
    RadioPoller(const TransceiverSettings &settings, Report report, Timing timing);
    explicit RadioPoller(const TransceiverSettings &settings, Report report)
        : RadioPoller(settings, std::move(report), Timing{})
    {
    }
    ~RadioPoller();
    RadioPoller(const RadioPoller &) = delete;
    RadioPoller &operator=(const RadioPoller &) = delete;

  private:
    std::shared_ptr<RadioPollerState> m_state;
};

} // namespace ondelog
