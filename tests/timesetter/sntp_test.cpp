// SPDX-License-Identifier: GPL-3.0-or-later
#include "timesetter/sntp.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

using namespace ondelog;
using namespace std::chrono;

namespace {

UtcTime at(year_month_day day, milliseconds timeOfDay)
{
    return UtcTime(
        duration_cast<system_clock::duration>(sys_days(day).time_since_epoch() + timeOfDay));
}

void putTimestamp(std::vector<std::uint8_t> &packet, std::size_t at, NtpTimestamp t)
{
    for (int i = 0; i < 4; ++i) {
        packet[at + i] = std::uint8_t(t.seconds >> (24 - 8 * i));
        packet[at + 4 + i] = std::uint8_t(t.fraction >> (24 - 8 * i));
    }
}

// A server's answer to the request stamped `origin`.
std::vector<std::uint8_t> answer(NtpTimestamp origin, UtcTime received, UtcTime transmitted)
{
    std::vector<std::uint8_t> p(48, 0);
    p[0] = (0 << 6) | (4 << 3) | 4;
    p[1] = 2;
    putTimestamp(p, 24, origin);
    putTimestamp(p, 32, toNtp(received));
    putTimestamp(p, 40, toNtp(transmitted));
    return p;
}

TEST(Sntp, TimestampsKeepTheirTimeAcrossTheEras)
{
    struct Case
    {
        UtcTime time;
        std::uint32_t ntpSeconds;
    };
    const std::vector<Case> cases = {
        {at(1970y / 1 / 1, 0ms), 2208988800u},
        {at(1999y / 12 / 31, 86399500ms), 3155673599u},
        {at(2026y / 12 / 8, 25200250ms), 4005702000u},
        // The 32-bit seconds wrap on 7 February 2036 at 06:28:16.
        {at(2036y / 2 / 7, 23295000ms), 4294967295u},
        {at(2036y / 2 / 7, 23296000ms), 0u},
        {at(2040y / 1 / 1, 0ms), 123010304u},
    };
    for (const Case &c : cases) {
        const NtpTimestamp t = toNtp(c.time);
        EXPECT_EQ(t.seconds, c.ntpSeconds);
        EXPECT_LE(abs(fromNtp(t) - c.time), 1ns) << t.seconds;
    }
}

TEST(Sntp, AGoodAnswerGivesTheOffsetWithoutTheRoundTrip)
{
    // The computer is 5 s behind; the request takes 100 ms each way and the
    // server holds it 100 ms.
    const UtcTime sentAt = at(2024y / 6 / 1, 36000000ms);
    const NtpTimestamp sent = toNtp(sentAt);
    const auto reply = answer(sent, sentAt + 5100ms, sentAt + 5200ms);
    const SntpResult result = readReply(reply.data(), reply.size(), sent, sentAt, sentAt + 300ms);
    const auto *measure = std::get_if<SntpMeasure>(&result);
    ASSERT_TRUE(measure);
    EXPECT_LE(abs(measure->offset - 5000ms), 1us);
    EXPECT_LE(abs(measure->delay - 200ms), 1us);
}

TEST(Sntp, BadAnswersAreRefused)
{
    const UtcTime sentAt = at(2024y / 6 / 1, 36000000ms);
    const NtpTimestamp sent = toNtp(sentAt);
    const auto good = answer(sent, sentAt, sentAt);
    struct Case
    {
        const char *what;
        void (*change)(std::vector<std::uint8_t> &);
        bool accepted;
        SntpFault fault;
        std::string kissCode;
    };
    const std::vector<Case> cases = {
        {"as sent", [](auto &) {}, true, {}, {}},
        {"with a key and digest", [](auto &p) { p.resize(68, 0xAB); }, true, {}, {}},
        {"cut short", [](auto &p) { p.resize(47); }, false, SntpFault::WrongLength, {}},
        {"odd length", [](auto &p) { p.resize(50); }, false, SntpFault::WrongLength, {}},
        {"a client request",
         [](auto &p) { p[0] = (4 << 3) | 3; },
         false,
         SntpFault::NotAServerAnswer,
         {}},
        {"version 0", [](auto &p) { p[0] = 4; }, false, SntpFault::NotAServerAnswer, {}},
        {"kiss-of-death",
         [](auto &p) {
             p[1] = 0;
             p[12] = 'R', p[13] = 'A', p[14] = 'T', p[15] = 'E';
         },
         false, SntpFault::KissOfDeath, "RATE"},
        {"alarm", [](auto &p) { p[0] |= 3 << 6; }, false, SntpFault::Unsynchronised, {}},
        {"stratum 16", [](auto &p) { p[1] = 16; }, false, SntpFault::Unsynchronised, {}},
        {"no transmit time",
         [](auto &p) { std::fill(p.begin() + 40, p.begin() + 48, 0); },
         false,
         SntpFault::NoTransmitTime,
         {}},
        {"another request's", [](auto &p) { p[31] ^= 1; }, false, SntpFault::ForeignOrigin, {}},
        // A forged kiss-of-death must not stop the queries.
        {"forged kiss-of-death",
         [](auto &p) {
             p[1] = 0;
             p[30] ^= 0x10;
         },
         false,
         SntpFault::ForeignOrigin,
         {}},
    };
    for (const Case &c : cases) {
        auto reply = good;
        c.change(reply);
        const SntpResult result = readReply(reply.data(), reply.size(), sent, sentAt, sentAt);
        const auto *refusal = std::get_if<SntpRefusal>(&result);
        EXPECT_EQ(refusal == nullptr, c.accepted) << c.what;
        if (refusal) {
            EXPECT_EQ(refusal->fault, c.fault) << c.what;
            EXPECT_EQ(refusal->kissCode, c.kissCode) << c.what;
        }
    }
}

} // namespace
