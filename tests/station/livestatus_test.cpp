// SPDX-License-Identifier: GPL-3.0-or-later
// What the status line says of WSJT-X and of the radio, and what the radio's
// mode proposes to the mode field.

#include "station/clienttracker.h"
#include "station/radiostatus.h"
#include "station/stationsettings.h"
#include "tests/station/datagrams.h"

#include <gtest/gtest.h>

namespace ondelog::test {
namespace {

using namespace std::chrono_literals;

NetworkMessage message(const std::string &datagram)
{
    return decodeNetworkMessage(datagram).message.value();
}

TEST(ClientTracker, ProgramsComeReportAndGo)
{
    ClientTracker tracker;
    const ClientTracker::Clock::time_point t0{};
    EXPECT_EQ(tracker.lineUtf8(), "");
    EXPECT_FALSE(tracker.reportedMode());

    EXPECT_TRUE(tracker.take(message(heartbeat()), t0));
    EXPECT_EQ(tracker.lineUtf8(), "WSJT-X : connecté");
    EXPECT_TRUE(tracker.take(message(status(14074000, "FT8")), t0 + 1s));
    EXPECT_EQ(tracker.lineUtf8(), "WSJT-X : 14.074 FT8");
    EXPECT_FALSE(tracker.take(message(heartbeat()), t0 + 15s)); // nothing new to say
    EXPECT_TRUE(tracker.take(message(status(7047500, "FT4", "JTDX")), t0 + 16s));
    EXPECT_EQ(tracker.lineUtf8(), "WSJT-X : 14.074 FT8 ; JTDX : 7.0475 FT4");
    EXPECT_EQ(tracker.reportedMode(), "FT4");

    // JTDX closes; WSJT-X goes silent (killed) and is forgotten after 45 s.
    EXPECT_TRUE(tracker.take(message(closeMessage("JTDX")), t0 + 20s));
    EXPECT_FALSE(tracker.take(message(closeMessage("JTDX")), t0 + 21s));
    EXPECT_EQ(tracker.lineUtf8(), "WSJT-X : 14.074 FT8");
    EXPECT_EQ(tracker.reportedMode(), "FT8");
    EXPECT_FALSE(tracker.expire(t0 + 60s));
    EXPECT_TRUE(tracker.expire(t0 + 61s));
    EXPECT_EQ(tracker.lineUtf8(), "");
    EXPECT_FALSE(tracker.reportedMode());
}

TEST(RadioStatus, HamlibsModesInTheLogsWords)
{
    const std::optional<std::string> ft8 = "FT8";
    const struct
    {
        const char *hamlib;
        std::optional<std::string> dataMode;
        std::optional<std::string> expected;
    } cases[] = {
        {"USB", ft8, "SSB"},
        {"LSB", std::nullopt, "SSB"},
        {"CW", ft8, "CW"},
        {"CWR", std::nullopt, "CW"},
        {"RTTY", ft8, "RTTY"},
        {"RTTYR", ft8, "RTTY"},
        {"FM", ft8, "FM"},
        {"WFM", ft8, "FM"},
        {"AM", ft8, "AM"},
        {"PKTUSB", ft8, "FT8"},
        {"PKTLSB", "PSK31", "PSK31"},
        {"PKTUSB", std::nullopt, std::nullopt},
        {"PKTUSB", "", std::nullopt},
        {"", ft8, std::nullopt},
        {"usb", ft8, std::nullopt},
        {"DSB", ft8, std::nullopt},
    };
    for (const auto &c : cases)
        EXPECT_EQ(radioModeText(c.hamlib, c.dataMode), c.expected) << c.hamlib;

    EXPECT_EQ(radioFrequencyText(7074000.4), "7.074");
    EXPECT_EQ(radioFrequencyText(0.0), std::nullopt);
    EXPECT_EQ(radioLineUtf8({RadioState::NoAnswer, 0, {}, "le transceiver ne répond pas"}),
              "Transceiver : pas de réponse");
    EXPECT_EQ(
        radioLineUtf8({RadioState::CannotOpen, 0, {}, "/dev/ttyUSB0 : erreur d'entrée-sortie"}),
        "Transceiver : impossible de l'ouvrir (/dev/ttyUSB0 : erreur d'entrée-sortie)");
}

TEST(StationSettings, RigctldAddresses)
{
    for (const char *sound : {"127.0.0.1:4532", "shack.local:1", "[::1]:65535", "localhost:4532"})
        EXPECT_TRUE(isHostAndPort(sound)) << sound;
    for (const char *unsound :
         {"", "127.0.0.1", ":4532", "127.0.0.1:", "127.0.0.1:0", "127.0.0.1:65536", "::1:4532",
          "host:45x", "my shack:4532", "/dev/ttyUSB0", "127.0.0.1:000004532"})
        EXPECT_FALSE(isHostAndPort(unsound)) << unsound;
}

} // namespace
} // namespace ondelog::test
