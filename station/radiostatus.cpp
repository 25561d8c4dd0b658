// SPDX-License-Identifier: GPL-3.0-or-later
#include "station/radiostatus.h"

#include "station/livecontact.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace ondelog {

namespace {

struct ModeName
{
    std::string_view hamlib;
    std::string_view log; ///< "" for a data mode: the digital mode in use
};

constexpr ModeName kModes[] = {
    {"USB", "SSB"}, {"LSB", "SSB"},   {"ECSSUSB", "SSB"},  {"ECSSLSB", "SSB"}, {"CW", "CW"},
    {"CWR", "CW"},  {"CWN", "CW"},    {"RTTY", "RTTY"},    {"RTTYR", "RTTY"},  {"AM", "AM"},
    {"AMN", "AM"},  {"AMS", "AM"},    {"SAM", "AM"},       {"FM", "FM"},       {"FMN", "FM"},
    {"WFM", "FM"},  {"C4FM", "C4FM"}, {"D-STAR", "DSTAR"}, {"PKTUSB", ""},     {"PKTLSB", ""},
    {"PKTFM", ""},  {"PKTFMN", ""},   {"PKTAM", ""},
};

} // namespace

std::optional<std::string> radioFrequencyText(double hertz)
{
    if (!(hertz >= 1.0) || hertz > 1e15)
        return std::nullopt;
    return frequencyText(static_cast<std::uint64_t>(std::llround(hertz)));
}

std::optional<std::string> radioModeText(std::string_view hamlibMode,
                                         const std::optional<std::string> &dataMode)
{
    for (const ModeName &m : kModes) {
        if (m.hamlib != hamlibMode)
            continue;
        if (!m.log.empty())
            return std::string(m.log);
        if (dataMode && !dataMode->empty())
            return dataMode;
        return std::nullopt;
    }
    return std::nullopt;
}

bool isDataMode(std::string_view logMode)
{
    if (logMode.empty())
        return false;
    // The voice modes a radio is switched to, whatever it calls them.
    constexpr std::string_view kVoiceModes[] = {"USB", "LSB", "DV", "DMR", "FREEDV", "M17"};
    for (const ModeName &m : kModes)
        if (m.log == logMode || m.hamlib == logMode)
            return false;
    return std::find(std::begin(kVoiceModes), std::end(kVoiceModes), logMode) ==
           std::end(kVoiceModes);
}

std::string radioLineUtf8(const RadioReport &report)
{
    switch (report.state) {
    case RadioState::Off:
        return {};
    case RadioState::Connecting:
        return "Transceiver : connexion…";
    case RadioState::Answering: {
        std::string line = "Transceiver :";
        if (const auto mhz = radioFrequencyText(report.frequencyHz))
            line += " " + *mhz;
        if (!report.hamlibMode.empty())
            line += " " + report.hamlibMode;
        return line;
    }
    case RadioState::NoAnswer:
        return "Transceiver : pas de réponse";
    case RadioState::CannotOpen:
        return "Transceiver : impossible de l'ouvrir" +
               (report.detailUtf8.empty() ? std::string() : " (" + report.detailUtf8 + ")");
    }
    return {};
}

} // namespace ondelog
