// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the radio reports, in the log's terms: a frequency in MHz as the log
// writes it and a mode the log knows, and the French line that says whether
// the radio answers.

#include <optional>
#include <string>
#include <string_view>

namespace ondelog {

enum class RadioState
{
    Off,        ///< no radio chosen ("Aucun")
    Connecting, ///< being opened
    Answering,  ///< the last reading came back
    NoAnswer,   ///< opened, but the last reading did not come back
    CannotOpen, ///< the port or the server could not be opened
};

struct RadioReport
{
    RadioState state = RadioState::Off;
    double frequencyHz = 0; ///< when Answering
    std::string hamlibMode; ///< Hamlib's name of the mode ("USB", "PKTUSB"), when Answering
    std::string detailUtf8; ///< why, for CannotOpen and NoAnswer (French)
    bool operator==(const RadioReport &) const = default;
};

/** The frequency field's proposal: "7.074" for 7074000.4 Hz; nothing for none. */
std::optional<std::string> radioFrequencyText(double hertz);

/**
 * The mode field's proposal for Hamlib's mode: USB and LSB are SSB, CW and CWR
 * are CW, RTTY and RTTYR RTTY, the FM and AM kinds FM and AM; a data mode
 * (PKTUSB, PKTLSB, PKTFM...) is `dataMode` (the mode WSJT-X reports when it is
 * connected, else the digital mode last used), nothing without one. Nothing
 * either for a mode the log has no name for.
 */
std::optional<std::string> radioModeText(std::string_view hamlibMode,
                                         const std::optional<std::string> &dataMode);

/** A mode of the log that a radio sends through its data modes (FT8, PSK31,
 *  OLIVIA...): none of those the radio names itself (SSB, CW, AM, FM...).
 *  Empty is none. */
bool isDataMode(std::string_view logMode);

/** "Transceiver : 7.074 USB", "Transceiver : pas de réponse"...; "" when Off. */
std::string radioLineUtf8(const RadioReport &report);

} // namespace ondelog
