// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The settings of the live station: where WSJT-X and JTDX send their
// messages, and which radio Hamlib reads. Plain values with their defaults,
// kept in "Reglages.ini" with the suite's other settings (setup/settings.h)
// under keys of their own ("wsjtx.*", "transceiver.*").

#include <cstdint>
#include <string>
#include <string_view>

namespace ondelog {

struct WsjtxSettings
{
    bool enabled = true;
    /** Where WSJT-X sends (its "UDP Server"): a unicast address of this
     *  machine, or a multicast group such as 224.0.0.1. */
    std::string address = "127.0.0.1";
    std::uint16_t port = 2237;
    /** A multicast group is joined on the loopback interface only, so that
     *  contacts come from this machine's programs alone. */
    bool multicastOnLoopback = true;

    bool operator==(const WsjtxSettings &) const = default;
};

/** Hamlib's model numbers of the models Ondelog names itself. */
inline constexpr int kNoRadioModel = 0;      ///< "Aucun": nothing is opened
inline constexpr int kRigctldRadioModel = 2; ///< NET rigctl: a rigctld server

struct TransceiverSettings
{
    int model = kNoRadioModel;
    std::string serialPort; ///< "/dev/ttyUSB0", for a radio on a serial line (or USB)
    int serialSpeed = 0;    ///< bauds; 0 for the model's own
    /** host:port, for a model reached over the network (NET rigctl: a rigctld
     *  server); "" for the model's own (127.0.0.1:4532 for rigctld). */
    std::string networkAddress;

    bool isNone() const { return model == kNoRadioModel; }
    bool operator==(const TransceiverSettings &) const = default;
};

class Settings;

/** The WSJT-X settings the file holds; a key absent or unusable reads as its
 *  value in `defaults`. */
WsjtxSettings readWsjtxSettings(const Settings &settings, const WsjtxSettings &defaults = {});
void writeWsjtxSettings(Settings &settings, const WsjtxSettings &wsjtx);

/** The radio the file names; what is absent or unusable reads as "Aucun"'s
 *  defaults (an unusable rigctld address as the model's own). */
TransceiverSettings readTransceiverSettings(const Settings &settings);
void writeTransceiverSettings(Settings &settings, const TransceiverSettings &transceiver);

/** "host:port" with a port from 1 to 65535 ("127.0.0.1:4532", "shack.local:4532",
 *  "[::1]:4532"). */
bool isHostAndPort(std::string_view text);

} // namespace ondelog
