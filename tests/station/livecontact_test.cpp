// SPDX-License-Identifier: GPL-3.0-or-later
// A contact from WSJT-X as the log holds it, whichever message brought it.

#include "station/livecontact.h"
#include "tests/station/datagrams.h"

#include <gtest/gtest.h>

namespace ondelog::test {
namespace {

ReceivedContact contactOf(const std::string &datagram, std::string_view stationLocator = "JN18EU")
{
    const DecodeResult r = decodeNetworkMessage(datagram);
    EXPECT_EQ(r.outcome, DecodeOutcome::Decoded);
    const auto contact = r.message ? receivedContact(*r.message, stationLocator) : std::nullopt;
    EXPECT_TRUE(contact.has_value());
    return contact.value_or(ReceivedContact{});
}

TEST(LiveContact, FrequenciesInTheLogsForm)
{
    const std::pair<std::uint64_t, const char *> hertz[] = {
        {14074000, "14.074"},     {7074000, "7.074"},
        {1840000, "1.84"},        {474200, "0.4742"},
        {14074123, "14.074123"},  {144174000, "144.174"},
        {10368100000, "10368.1"}, {1296123456, "1296.12345"},
        {50000000, "50"},         {0, "0"},
    };
    for (const auto &[hz, text] : hertz)
        EXPECT_EQ(frequencyText(hz), text) << hz;

    const std::pair<const char *, std::optional<std::string>> megahertz[] = {
        {"14.074000", "14.074"}, {"007.0740", "7.074"}, {"14.", "14"},
        {".5", "0.5"},           {"14", "14"},          {"14,074", std::nullopt},
        {"", std::nullopt},      {".", std::nullopt},   {"1.2.3", std::nullopt},
        {"-14", std::nullopt},
    };
    for (const auto &[text, expected] : megahertz)
        EXPECT_EQ(frequencyText(std::string_view(text)), expected) << text;
}

TEST(LiveContact, BothMessagesOfAContactGiveTheSameRecord)
{
    LoggedContact c;
    c.name = "Jérôme";
    const ReceivedContact fromFields = contactOf(qsoLogged(c));
    const ReceivedContact fromAdif = contactOf(loggedAdif(c));
    EXPECT_EQ(fromFields.source, NetworkMessageType::QsoLogged);
    EXPECT_EQ(fromAdif.source, NetworkMessageType::LoggedAdif);

    const QsoRecord &r = fromFields.contact.record;
    EXPECT_EQ(r.field(Field::CSGN), "F5ABC");
    EXPECT_EQ(r.field(Field::DQSO), "14/03/24");
    EXPECT_EQ(r.field(Field::HDEB), "18:40");
    EXPECT_EQ(r.field(Field::HFIN), "18:42");
    EXPECT_EQ(r.field(Field::FREQ), "14.074");
    EXPECT_EQ(r.field(Field::MODE), "FT8");
    EXPECT_EQ(r.field(Field::SRST), "-10");
    EXPECT_EQ(r.field(Field::MRST), "-07");
    EXPECT_EQ(r.field(Field::SLOC), "JN03");
    EXPECT_EQ(r.field(Field::SNOM), "J\xE9r\xF4me");
    // WSJT-X's square of the station gives way to the station's locator.
    EXPECT_EQ(r.field(Field::MLOC), "JN18EU");
    EXPECT_EQ(fromFields.contact.skip, ImportSkip::None);
    EXPECT_EQ(fromFields.stationCall, "F6XYZ");
    EXPECT_EQ(fromFields.programUtf8, "WSJT-X");

    EXPECT_EQ(fromAdif.contact.record, r);
    EXPECT_EQ(fromAdif.stationCall, "F6XYZ");

    // FT4 is a submode for ADIF, and both give the log "FT4".
    c.mode = "FT4";
    EXPECT_EQ(contactOf(qsoLogged(c)).contact.record.field(Field::MODE), "FT4");

    // A square that is not the station's is what the contact was made from.
    c.myGrid = "IN88";
    EXPECT_EQ(contactOf(qsoLogged(c)).contact.record.field(Field::MLOC), "IN88");
    EXPECT_EQ(contactOf(loggedAdif(c)).contact.record.field(Field::MLOC), "IN88");
}

TEST(LiveContact, RefusalsAreTheImportsAndUnreadableAdifBringsNothing)
{
    LoggedContact c;
    c.call = "";
    EXPECT_EQ(contactOf(qsoLogged(c)).contact.skip, ImportSkip::NoCallSign);
    c.call = "\\";
    EXPECT_EQ(contactOf(loggedAdif(c)).contact.skip, ImportSkip::NoCallSign);
    c.call = "F5ABC";
    c.year = 2061;
    EXPECT_EQ(contactOf(qsoLogged(c)).contact.skip, ImportSkip::DateNotWritable);

    // A QSO Logged whose times are null has no date.
    const std::string noTime = DatagramBuilder(NetworkMessageType::QsoLogged)
                                   .u64(0x8000000000000000ull)
                                   .u32(0xFFFFFFFF)
                                   .u8(1)
                                   .text("F5ABC")
                                   .text("")
                                   .u64(14074000)
                                   .text("FT8")
                                   .raw(std::string(20, '\0'))
                                   .bytes();
    EXPECT_EQ(contactOf(noTime).contact.skip, ImportSkip::DateNotWritable);

    for (const char *text : {"", "<EOH>", "<call:5>F5ABC", "<call:50>F5ABC<eor>"}) {
        const auto r = decodeNetworkMessage(
            DatagramBuilder(NetworkMessageType::LoggedAdif).text(text).bytes());
        ASSERT_TRUE(r.message);
        EXPECT_FALSE(receivedContact(*r.message, "JN18EU")) << text;
    }
    const auto beat = decodeNetworkMessage(heartbeat());
    EXPECT_FALSE(receivedContact(*beat.message, "JN18EU"));
}

TEST(LiveContact, TextFromTheNetworkFitsOnALine)
{
    EXPECT_EQ(shortLine("WSJT-X"), "WSJT-X");
    EXPECT_EQ(shortLine("  JTDX\r\n"), "JTDX");
    EXPECT_EQ(shortLine("WSJT-X\x1B[2J - IC7300"), "WSJT-X[2J - IC7300");
    // Cut after 32 characters, never inside one.
    const std::string accents = std::string(31, 'a') + "éé";
    EXPECT_EQ(shortLine(accents), std::string(31, 'a') + "é");
}

} // namespace
} // namespace ondelog::test
