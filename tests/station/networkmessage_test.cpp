// SPDX-License-Identifier: GPL-3.0-or-later
// The messages of WSJT-X and JTDX as a logger reads them, and what it drops.

#include "station/networkmessage.h"
#include "tests/station/datagrams.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace ondelog::test {
namespace {

using namespace std::chrono;

template <typename T> T decoded(const std::string &datagram)
{
    const DecodeResult r = decodeNetworkMessage(datagram);
    EXPECT_EQ(r.outcome, DecodeOutcome::Decoded);
    if (!r.message || !std::holds_alternative<T>(*r.message)) {
        ADD_FAILURE() << "not the message expected";
        return T{};
    }
    return std::get<T>(*r.message);
}

MessageTime utcTime(int y, unsigned mo, unsigned d, int h, int mi, int s = 0)
{
    return sys_days{year{y} / mo / d} + hours{h} + minutes{mi} + seconds{s};
}

TEST(NetworkMessage, ReadsTheTypesOfALogger)
{
    const auto beat = decoded<HeartbeatMessage>(heartbeat("JTDX"));
    EXPECT_EQ(beat.id, "JTDX");
    EXPECT_EQ(beat.maximumSchema, 3u);
    EXPECT_EQ(beat.version, "2.6.1");

    const auto st = decoded<StatusMessage>(status(7074000, "FT8"));
    EXPECT_EQ(st.dialFrequencyHz, 7074000u);
    EXPECT_EQ(st.mode, "FT8");
    EXPECT_EQ(st.dxCall, "F5ABC");
    EXPECT_EQ(st.submode, "");

    EXPECT_EQ(decoded<CloseMessage>(closeMessage("WSJT-X - IC7300")).id, "WSJT-X - IC7300");

    LoggedContact c;
    c.name = "François";
    for (const std::uint32_t schema : {2u, 3u}) {
        const auto qso = decoded<QsoLoggedMessage>(qsoLogged(c, schema));
        EXPECT_EQ(qso.dxCall, "F5ABC");
        EXPECT_EQ(qso.dxGrid, "JN03");
        EXPECT_EQ(qso.frequencyHz, 14074000u);
        EXPECT_EQ(qso.mode, "FT8");
        EXPECT_EQ(qso.reportSent, "-10");
        EXPECT_EQ(qso.name, "François");
        EXPECT_EQ(qso.timeOn, utcTime(2024, 3, 14, 18, 40));
        EXPECT_EQ(qso.timeOff, utcTime(2024, 3, 14, 18, 42));
        EXPECT_EQ(qso.myCall, "F6XYZ");
        EXPECT_EQ(qso.myGrid, "JN18");
    }

    const auto adif = decoded<LoggedAdifMessage>(loggedAdif(c));
    EXPECT_EQ(adif.adifText, loggedAdifText(c));
}

TEST(NetworkMessage, FieldsOfOlderClientsMayBeMissingAndNewerOnesAreIgnored)
{
    // A heartbeat of schema 2 has nothing after the id.
    const auto beat = decoded<HeartbeatMessage>(
        DatagramBuilder(NetworkMessageType::Heartbeat, "WSJT-X", 2).bytes());
    EXPECT_FALSE(beat.maximumSchema);

    // A status of the first versions: frequency and mode only.
    const auto st = decoded<StatusMessage>(
        DatagramBuilder(NetworkMessageType::Status).u64(14074000).text("JT65").bytes());
    EXPECT_EQ(st.mode, "JT65");

    // A QSO Logged without a time on, and a null text where a text is due.
    const auto qso = decoded<QsoLoggedMessage>(DatagramBuilder(NetworkMessageType::QsoLogged)
                                                   .utc(2019, 5, 1, 0, 3)
                                                   .text("DL1ABC")
                                                   .nullText()
                                                   .u64(7074000)
                                                   .text("FT8")
                                                   .text("-01")
                                                   .text("+02")
                                                   .text("")
                                                   .text("")
                                                   .text("")
                                                   .bytes());
    EXPECT_FALSE(qso.timeOn);
    EXPECT_EQ(qso.timeOff, utcTime(2019, 5, 1, 0, 3));
    EXPECT_EQ(qso.dxGrid, "");

    // Whatever a later version appends is left unread.
    const std::string longer = closeMessage() + std::string("\x00\x01\x02 more", 8);
    EXPECT_EQ(decoded<CloseMessage>(longer).id, "WSJT-X");
}

TEST(NetworkMessage, TimesAreTakenToUtcAndNullOnesAreAbsent)
{
    auto logged = [](auto addTime) {
        DatagramBuilder b(NetworkMessageType::QsoLogged);
        addTime(b);
        b.text("F5ABC").text("").u64(0).text("FT8");
        for (int i = 0; i < 5; ++i)
            b.text("");
        return decodeNetworkMessage(b.bytes());
    };
    // Two hours ahead of UTC (Qt::OffsetFromUTC, 2, then its offset in seconds).
    DecodeResult r = logged([](DatagramBuilder &b) {
        b.u64(2460384).u32((1 * 3600 + 15 * 60) * 1000).u8(2).u32(7200);
    });
    ASSERT_EQ(r.outcome, DecodeOutcome::Decoded);
    EXPECT_EQ(std::get<QsoLoggedMessage>(*r.message).timeOff, utcTime(2024, 3, 13, 23, 15));

    // Local time is this machine's (French summer time here, spelt out so that
    // no time zone database is needed).
    const char *zone = std::getenv("TZ");
    const std::string savedZone = zone ? zone : "";
    ::setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
    ::tzset();
    r = logged([](DatagramBuilder &b) { b.u64(2460476).u32(12 * 3600 * 1000).u8(0); });
    if (zone)
        ::setenv("TZ", savedZone.c_str(), 1);
    else
        ::unsetenv("TZ");
    ::tzset();
    ASSERT_EQ(r.outcome, DecodeOutcome::Decoded);
    EXPECT_EQ(std::get<QsoLoggedMessage>(*r.message).timeOff, utcTime(2024, 6, 14, 10, 0));

    // Qt's null date and null time.
    r = logged([](DatagramBuilder &b) { b.u64(0x8000000000000000ull).u32(0).u8(1); });
    ASSERT_EQ(r.outcome, DecodeOutcome::Decoded);
    EXPECT_FALSE(std::get<QsoLoggedMessage>(*r.message).timeOff);
    r = logged([](DatagramBuilder &b) { b.u64(2460384).u32(0xFFFFFFFF).u8(1); });
    ASSERT_EQ(r.outcome, DecodeOutcome::Decoded);
    EXPECT_FALSE(std::get<QsoLoggedMessage>(*r.message).timeOff);

    // A named time zone, a time past midnight, a date of no contact.
    EXPECT_EQ(logged([](DatagramBuilder &b) {
                  b.u64(2460384).u32(0).u8(3).text("Europe/Paris");
              }).outcome,
              DecodeOutcome::BadTime);
    EXPECT_EQ(logged([](DatagramBuilder &b) { b.u64(2460384).u32(86'400'000).u8(1); }).outcome,
              DecodeOutcome::BadTime);
    EXPECT_EQ(logged([](DatagramBuilder &b) { b.u64(12).u32(0).u8(1); }).outcome,
              DecodeOutcome::BadTime);
}

TEST(NetworkMessage, WhatIsNotForALoggerIsIgnoredOrDropped)
{
    struct Case
    {
        const char *what;
        std::string datagram;
        DecodeOutcome expected;
    };
    const std::string adif = loggedAdif(LoggedContact{});
    std::string badMagic = adif;
    badMagic[0] = '\x00';
    std::string pastEnd =
        DatagramBuilder(NetworkMessageType::LoggedAdif).u32(5000).raw("<call:").bytes();
    const Case cases[] = {
        {"a decode", DatagramBuilder(2, "WSJT-X", 3).boolean(true).bytes(),
         DecodeOutcome::OtherType},
        {"a type not yet known", DatagramBuilder(99, "WSJT-X", 3).bytes(),
         DecodeOutcome::OtherType},
        {"empty", "", DecodeOutcome::Truncated},
        {"three bytes", "\xad\xbc\xcb", DecodeOutcome::Truncated},
        {"another magic", badMagic, DecodeOutcome::WrongMagic},
        {"schema 1", DatagramBuilder(0, "WSJT-X", 1).bytes(), DecodeOutcome::UnknownSchema},
        {"schema 4", DatagramBuilder(0, "WSJT-X", 4).bytes(), DecodeOutcome::UnknownSchema},
        {"no id", adif.substr(0, 14), DecodeOutcome::Truncated},
        {"text past the end", pastEnd, DecodeOutcome::LengthPastEnd},
        {"id past the end", DatagramBuilder(6, "", 3).bytes().substr(0, 12) + "\xFF\xFF\xFF\xFE",
         DecodeOutcome::LengthPastEnd},
        {"Latin-1 call sign",
         DatagramBuilder(NetworkMessageType::LoggedAdif)
             .text("<call:5>F\xE9"
                   "ABC<eor>")
             .bytes(),
         DecodeOutcome::BadUtf8},
        {"overlong UTF-8 id", DatagramBuilder(6, "\xC0\xAF", 3).bytes(), DecodeOutcome::BadUtf8},
        {"status without its mode",
         DatagramBuilder(NetworkMessageType::Status).u64(14074000).bytes(),
         DecodeOutcome::Truncated},
    };
    for (const Case &c : cases)
        EXPECT_EQ(decodeNetworkMessage(c.datagram).outcome, c.expected) << c.what;
}

TEST(NetworkMessage, EveryCutOfAContactIsDroppedOrReadAsAnOlderClientsMessage)
{
    // A datagram cut anywhere never reads past its end; cut inside a field it is
    // dropped, cut between the fields an older client stops at it still reads.
    LoggedContact c;
    c.name = "Jérôme";
    for (const std::string &whole : {qsoLogged(c), loggedAdif(c), status(14074000, "FT4")}) {
        for (std::size_t size = 0; size < whole.size(); ++size) {
            // A copy of exactly `size` bytes, so that a sanitizer sees any overread.
            const std::string cut = whole.substr(0, size);
            const DecodeResult r = decodeNetworkMessage(cut);
            EXPECT_TRUE(r.outcome == DecodeOutcome::Truncated ||
                        r.outcome == DecodeOutcome::LengthPastEnd ||
                        r.outcome == DecodeOutcome::BadUtf8 || r.outcome == DecodeOutcome::Decoded)
                << size;
            EXPECT_EQ(r.message.has_value(), r.outcome == DecodeOutcome::Decoded);
        }
    }
}

} // namespace
} // namespace ondelog::test
