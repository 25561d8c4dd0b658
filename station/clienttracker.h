// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Which programs are sending to the logger, and what they report: the small
// line of the main window ("WSJT-X : 14.074 FT8"). A client announces itself
// with heartbeats every 15 seconds and its state with status messages; it says
// goodbye with Close, or falls silent when it dies, and then it is forgotten
// after a few missed heartbeats.

#include "station/networkmessage.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace ondelog {

/** What a client last reported of itself. */
struct ClientStatus
{
    std::string programUtf8;           ///< its id, fit for a line (shortLine())
    std::uint64_t dialFrequencyHz = 0; ///< 0 until a status came
    std::string modeUtf8;              ///< "FT8"; "" until a status came
    bool operator==(const ClientStatus &) const = default;
};

class ClientTracker
{
  public:
    using Clock = std::chrono::steady_clock;
    /** Three heartbeats missed. */
    static constexpr std::chrono::seconds kSilenceLimit{45};

    /** Takes any message of a client into account. True when what the line says changed. */
    bool take(const NetworkMessage &message, Clock::time_point now);
    /** Forgets the clients silent for longer than kSilenceLimit. True when any was. */
    bool expire(Clock::time_point now);

    const std::vector<ClientStatus> &clients() const { return m_clients; }
    /** "WSJT-X : 14.074 FT8", clients separated by " ; ", "" when none. */
    std::string lineUtf8() const;
    /** The mode of the client that reported last, for a radio in a data mode. */
    std::optional<std::string> reportedMode() const;

  private:
    std::vector<ClientStatus> m_clients;
    std::vector<Clock::time_point> m_lastHeard;
    std::size_t m_latest = 0; // index of the client that reported a status last
};

} // namespace ondelog
