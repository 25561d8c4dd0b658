// SPDX-License-Identifier: GPL-3.0-or-later
#include "station/stationsettings.h"

#include "setup/settings.h"
#include "text/text.h"

#include <algorithm>
#include <limits>

namespace ondelog {

namespace {

constexpr const char *kWsjtxEnabledKey = "wsjtx.reception";
constexpr const char *kWsjtxAddressKey = "wsjtx.adresse";
constexpr const char *kWsjtxPortKey = "wsjtx.port";
constexpr const char *kWsjtxLoopbackKey = "wsjtx.groupe.local";
constexpr const char *kModelKey = "transceiver.modele";
constexpr const char *kSerialPortKey = "transceiver.port";
constexpr const char *kSerialSpeedKey = "transceiver.vitesse";
constexpr const char *kNetworkAddressKey = "transceiver.rigctld";

// Fast enough for any serial line a radio has; a bigger number is a typing slip.
constexpr int kMaxSerialSpeed = 4'000'000;

/** A value fit to be written back: one line, no control characters (a file
 *  edited by hand may hold anything). */
std::optional<std::string> textValue(const Settings &settings, std::string_view key)
{
    std::optional<std::string> text = settings.value(key);
    if (text && std::any_of(text->begin(), text->end(),
                            [](char c) { return static_cast<unsigned char>(c) < ' '; }))
        return std::nullopt;
    return text;
}

} // namespace

WsjtxSettings readWsjtxSettings(const Settings &settings, const WsjtxSettings &defaults)
{
    WsjtxSettings wsjtx;
    wsjtx.enabled = settings.boolValue(kWsjtxEnabledKey, defaults.enabled);
    const std::optional<std::string> address = textValue(settings, kWsjtxAddressKey);
    wsjtx.address = address && !address->empty() ? *address : defaults.address;
    wsjtx.port = static_cast<std::uint16_t>(settings.intValue(
        kWsjtxPortKey, defaults.port, 1, std::numeric_limits<std::uint16_t>::max()));
    wsjtx.multicastOnLoopback = settings.boolValue(kWsjtxLoopbackKey, defaults.multicastOnLoopback);
    return wsjtx;
}

void writeWsjtxSettings(Settings &settings, const WsjtxSettings &wsjtx)
{
    settings.setBool(kWsjtxEnabledKey, wsjtx.enabled);
    if (!settings.setValue(kWsjtxAddressKey, wsjtx.address))
        settings.remove(kWsjtxAddressKey);
    settings.setInt(kWsjtxPortKey, wsjtx.port);
    settings.setBool(kWsjtxLoopbackKey, wsjtx.multicastOnLoopback);
}

TransceiverSettings readTransceiverSettings(const Settings &settings)
{
    TransceiverSettings radio;
    radio.model = settings.intValue(kModelKey, kNoRadioModel, 0, std::numeric_limits<int>::max());
    radio.serialPort = textValue(settings, kSerialPortKey).value_or(std::string());
    radio.serialSpeed = settings.intValue(kSerialSpeedKey, 0, 0, kMaxSerialSpeed);
    const std::string address = textValue(settings, kNetworkAddressKey).value_or(std::string());
    if (isHostAndPort(address))
        radio.networkAddress = address;
    return radio;
}

void writeTransceiverSettings(Settings &settings, const TransceiverSettings &radio)
{
    settings.setInt(kModelKey, radio.model);
    // Written empty rather than left as they were: the radio chosen is the whole of it.
    for (const auto &[key, value] : {std::pair{kSerialPortKey, radio.serialPort},
                                     std::pair{kNetworkAddressKey, radio.networkAddress}})
        if (!settings.setValue(key, value))
            settings.setValue(key, "");
    settings.setInt(kSerialSpeedKey, std::clamp(radio.serialSpeed, 0, kMaxSerialSpeed));
}

bool isHostAndPort(std::string_view text)
{
    const std::size_t colon = text.rfind(':');
    if (colon == std::string_view::npos)
        return false;
    std::string_view host = text.substr(0, colon);
    const std::string_view port = text.substr(colon + 1);
    // An IPv6 address is bracketed, since it holds colons of its own.
    if (host.starts_with('[') && host.ends_with(']'))
        host = host.substr(1, host.size() - 2);
    else if (host.find(':') != std::string_view::npos)
        return false;
    const bool hostSound = !host.empty() && std::none_of(host.begin(), host.end(), [](char c) {
        return static_cast<unsigned char>(c) <= ' ' || c == '/' || c == '[' || c == ']';
    });
    if (!hostSound || port.empty() || port.size() > 5 ||
        !std::all_of(port.begin(), port.end(), isDigit))
        return false;
    const int number = std::stoi(std::string(port));
    return number >= 1 && number <= 65535;
}

} // namespace ondelog
