// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The client side of SNTP (RFC 4330): the 48-byte request Horalink sends, and
// the checks an answer must pass before its time may be shown or given to the
// computer's clock. A refused answer never yields a time.

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <variant>

namespace ondelog {

using UtcTime = std::chrono::system_clock::time_point;
using Nanoseconds = std::chrono::nanoseconds;

/** The NTP 64-bit timestamp: seconds since 1900-01-01 UTC and a binary fraction. */
struct NtpTimestamp
{
    std::uint32_t seconds = 0;
    std::uint32_t fraction = 0;

    bool isZero() const { return seconds == 0 && fraction == 0; }
    friend bool operator==(const NtpTimestamp &, const NtpTimestamp &) = default;
};

NtpTimestamp toNtp(UtcTime t);
/** Timestamps with the high bit of the seconds clear belong to the era that
 *  starts in 2036, so the conversion stays right across the wrap. */
UtcTime fromNtp(NtpTimestamp t);

inline constexpr std::size_t kSntpPacketSize = 48;
inline constexpr std::uint16_t kNtpPort = 123;

using SntpPacket = std::array<std::uint8_t, kSntpPacketSize>;

/** A client request (version 4, mode 3) whose transmit timestamp is `transmit`:
 *  the server echoes it as its origin timestamp, which is how its answer is
 *  recognised as the answer to this request. */
SntpPacket buildRequest(NtpTimestamp transmit);

/** Why an answer was refused. */
enum class SntpFault
{
    WrongLength,
    NotAServerAnswer, ///< mode other than 4, or a version Horalink does not know
    KissOfDeath,      ///< stratum 0: the server refuses to serve (code in kissCode)
    Unsynchronised,   ///< leap indicator 3 ("alarm") or stratum 16 and above
    NoTransmitTime,
    ForeignOrigin, ///< not the answer to our request
    ForeignSource, ///< came from another address or port than the server's
    NoAnswer,      ///< nothing came back in time
    UnknownServer, ///< the server's name does not resolve
    Refused,       ///< the server's computer answered that nothing listens on the port
    NetworkError,
};

/** A good answer: how far the computer's clock is behind the server's, and the
 *  round-trip delay that was taken out of that figure. */
struct SntpMeasure
{
    Nanoseconds offset{0}; ///< server time minus computer time
    Nanoseconds delay{0};
    int stratum = 0;
};

struct SntpRefusal
{
    SntpFault fault = SntpFault::WrongLength;
    std::string kissCode; ///< the four ASCII letters of a kiss-of-death (RATE, DENY...)
};

using SntpResult = std::variant<SntpMeasure, SntpRefusal>;

/** Checks `reply` (its bytes as received) against the request whose transmit
 *  timestamp was `sent`, sent at `sentAt` and answered at `receivedAt` by the
 *  computer's clock, and measures the offset with the delay corrected. */
SntpResult readReply(const std::uint8_t *reply, std::size_t size, NtpTimestamp sent, UtcTime sentAt,
                     UtcTime receivedAt);

/** A few French words saying why an answer was refused (UTF-8). */
std::string refusalText(const SntpRefusal &refusal);

/** Allows one request per interval, measured on a steady clock so that setting
 *  the computer's clock does not change the pace. */
class QueryPacer
{
  public:
    using Steady = std::chrono::steady_clock::time_point;
    static constexpr std::chrono::seconds kInterval{16};

    bool mayAsk(Steady now) const;
    /** Seconds still to wait before the next request is allowed (0 when allowed). */
    int secondsToWait(Steady now) const;
    void asked(Steady now)
    {
        m_last = now;
        m_hasAsked = true;
    }

  private:
    Steady m_last{};
    bool m_hasAsked = false;
};

} // namespace ondelog
