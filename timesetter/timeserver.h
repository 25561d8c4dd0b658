// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Which time server Horalink asks: "--server HOST[:PORT]" on the command line,
// else $HORALINK_SERVER, else pool.ntp.org on the NTP port.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ondelog {

struct TimeServer
{
    std::string host;
    std::uint16_t port = 123;

    /** host:port, with an IPv6 address in brackets. */
    std::string text() const;
    friend bool operator==(const TimeServer &, const TimeServer &) = default;
};

inline constexpr const char *kDefaultTimeServer = "pool.ntp.org";

/** "host", "host:port", "[v6]:port", "[v6]" or a bare IPv6 address; nothing when
 *  empty, when the port is not a number in 1..65535, or the host has spaces. */
std::optional<TimeServer> parseTimeServer(std::string_view text);

/** The value of "--server HOST" or "--server=HOST" among the arguments. */
std::optional<std::string> serverOption(int argc, const char *const *argv);

/** The option, else the environment value (when not empty), else the default
 *  server. Nothing when the text chosen is not a server. */
std::optional<TimeServer> chooseTimeServer(const std::optional<std::string> &option,
                                           const std::optional<std::string> &environment);

} // namespace ondelog
