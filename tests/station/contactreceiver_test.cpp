// SPDX-License-Identifier: GPL-3.0-or-later
// Received contacts going into the log: once each, on the disk before they are
// announced, never into a log that is not the station's own.

#include "station/contactreceiver.h"
#include "tests/logbook/logfixture.h"
#include "tests/station/datagrams.h"

#include <gtest/gtest.h>

namespace ondelog::test {
namespace {

class ContactReceiverTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        writeLog(m_path, 3);
        ASSERT_EQ(m_log.open(m_path), LogStatus::Ok);
    }
    void TearDown() override { fileio::setHook({}); }

    ReceiveResult receive(const std::string &datagram)
    {
        const DecodeResult decoded = decodeNetworkMessage(datagram);
        EXPECT_TRUE(decoded.message);
        const auto contact = receivedContact(*decoded.message, m_target.stationLocator);
        EXPECT_TRUE(contact);
        return m_receiver.receive(*contact, m_target);
    }

    TempDir m_dir;
    std::filesystem::path m_path = m_dir.file("F6XYZ.Ham");
    LogFile m_log;
    ReceivingLog m_target{&m_log, "F6XYZ", "JN18EU", true};
    ContactReceiver m_receiver;
};

TEST_F(ContactReceiverTest, BothMessagesOfAContactWriteItOnceAndSayItOnce)
{
    LoggedContact c;
    for (const bool adifFirst : {false, true}) {
        const std::string first = adifFirst ? loggedAdif(c) : qsoLogged(c);
        const std::string second = adifFirst ? qsoLogged(c) : loggedAdif(c);
        const std::int32_t before = m_log.recordCount();

        ReceiveResult r = receive(first);
        EXPECT_EQ(r.outcome, ReceiveOutcome::Added);
        EXPECT_EQ(r.noticeUtf8, c.call + " 14.074 FT8 ajouté depuis WSJT-X");
        EXPECT_EQ(r.recordNo, before + 1);
        EXPECT_EQ(m_log.recordCount(), before + 1);
        EXPECT_EQ(m_log.readRecord(before + 1)->field(Field::CSGN), c.call);
        EXPECT_TRUE(m_log.readRecord(before + 2)->isEndMarker());

        r = receive(second);
        EXPECT_EQ(r.outcome, ReceiveOutcome::SecondMessage);
        EXPECT_EQ(r.noticeUtf8, "");
        EXPECT_EQ(m_log.recordCount(), before + 1);

        // The same contact logged once more in WSJT-X is one the log holds.
        r = receive(first);
        EXPECT_EQ(r.outcome, ReceiveOutcome::AlreadyInLog);
        EXPECT_EQ(r.recordNo, before + 1);
        EXPECT_EQ(r.noticeUtf8, c.call + " 14.074 FT8 reçu de WSJT-X : déjà dans le log (fiche " +
                                    std::to_string(before + 1) + "), non ajouté");
        c.call = "DL1ABC";
    }
    EXPECT_EQ(m_log.recordCount(), 5);
}

TEST_F(ContactReceiverTest, AContactIsTheSameByCallDateStartAndBand)
{
    LoggedContact c;
    ASSERT_EQ(receive(qsoLogged(c)).outcome, ReceiveOutcome::Added);
    struct Case
    {
        const char *what;
        void (*change)(LoggedContact &);
        ReceiveOutcome expected;
    };
    const Case cases[] = {
        {"the same, letter case aside", [](LoggedContact &x) { x.call = "f5abc"; },
         ReceiveOutcome::AlreadyInLog},
        {"the same band, another frequency", [](LoggedContact &x) { x.frequencyHz = 14080000; },
         ReceiveOutcome::AlreadyInLog},
        {"another mode", [](LoggedContact &x) { x.mode = "FT4"; }, ReceiveOutcome::AlreadyInLog},
        {"another band", [](LoggedContact &x) { x.frequencyHz = 7074000; }, ReceiveOutcome::Added},
        {"a minute later", [](LoggedContact &x) { x.minute = 41; }, ReceiveOutcome::Added},
        {"the next day", [](LoggedContact &x) { x.day = 15; }, ReceiveOutcome::Added},
    };
    for (const Case &k : cases) {
        LoggedContact changed;
        k.change(changed);
        changed.id = "JTDX"; // never the pair of a WSJT-X message
        EXPECT_EQ(receive(loggedAdif(changed)).outcome, k.expected) << k.what;
    }
}

TEST_F(ContactReceiverTest, TheLogsOwnChangesAreSeenBeforeTheNextContact)
{
    LoggedContact c;
    ASSERT_EQ(receive(qsoLogged(c)).outcome, ReceiveOutcome::Added);
    // Deleted from the window: received again, it is written again.
    ASSERT_EQ(m_log.deleteRecord(4, "JN18EU"), LogStatus::Ok);
    c.id = "JTDX";
    EXPECT_EQ(receive(qsoLogged(c)).outcome, ReceiveOutcome::Added);
    EXPECT_EQ(m_log.recordCount(), 4);

    // Renamed in place within the same tick of the file's clock (same count,
    // size and time): the record read back decides.
    const auto changed = std::filesystem::last_write_time(m_path);
    QsoRecord renamed = *m_log.readRecord(4);
    renamed.setField(Field::CSGN, "G4ABC");
    ASSERT_EQ(m_log.replaceContact(4, renamed), LogStatus::Ok);
    std::filesystem::last_write_time(m_path, changed);
    c.id = "WSJT-X #2";
    EXPECT_EQ(receive(loggedAdif(c)).outcome, ReceiveOutcome::Added);

    // Another log opened in the same object: its own contacts count.
    const std::filesystem::path other = m_dir.file("other.Ham");
    writeLog(other, 0);
    ASSERT_EQ(m_log.open(other), LogStatus::Ok);
    m_receiver.logChanged();
    c.id = "WSJT-X #3";
    EXPECT_EQ(receive(qsoLogged(c)).outcome, ReceiveOutcome::Added);
    EXPECT_EQ(m_log.recordCount(), 1);
}

TEST_F(ContactReceiverTest, WhatCannotBeWrittenIsRefusedWithAReason)
{
    const std::string logBefore = fileBytes(m_path);
    LoggedContact c;
    auto refused = [&](const LoggedContact &contact, ReceiveOutcome expected,
                       const std::string &notice) {
        const ReceiveResult r = receive(loggedAdif(contact));
        EXPECT_EQ(r.outcome, expected) << notice;
        EXPECT_EQ(r.noticeUtf8, notice);
        EXPECT_EQ(fileBytes(m_path), logBefore);
    };
    LoggedContact noCall = c;
    noCall.call = "";
    refused(noCall, ReceiveOutcome::NoCallSign, "Contact reçu de WSJT-X refusé : pas d'indicatif");
    LoggedContact lateDate = c;
    lateDate.year = 2071;
    lateDate.id = "JTDX";
    refused(lateDate, ReceiveOutcome::ImpossibleDate,
            "F5ABC 14.074 FT8 reçu de JTDX refusé : date absente ou impossible");
    LoggedContact otherStation = c;
    otherStation.myCall = "F4ZZZ";
    otherStation.id = "WSJT-X #2";
    refused(otherStation, ReceiveOutcome::OtherStation,
            "F5ABC 14.074 FT8 reçu de WSJT-X #2 refusé : contact de F4ZZZ, le log ouvert est "
            "celui de F6XYZ");

    // Portable or abroad, the station is the same.
    LoggedContact portable = c;
    portable.myCall = "EA8/F6XYZ/P";
    portable.id = "WSJT-X #3";
    EXPECT_EQ(receive(qsoLogged(portable)).outcome, ReceiveOutcome::Added);
}

TEST_F(ContactReceiverTest, OnlyTheStationsOwnWritableLogReceives)
{
    const std::string logBefore = fileBytes(m_path);
    LoggedContact c;
    int n = 0;
    auto notWritable = [&](const char *why) {
        c.id = "WSJT-X #" + std::to_string(++n);
        const ReceiveResult r = receive(qsoLogged(c));
        EXPECT_EQ(r.outcome, ReceiveOutcome::NotWritable) << why;
        EXPECT_EQ(r.noticeUtf8, "F5ABC 14.074 FT8 reçu de " + c.id + " non ajouté : " + why);
    };
    m_target.isOwnLog = false;
    notWritable("le log ouvert est celui d'une autre station");
    m_target.isOwnLog = true;
    ASSERT_EQ(m_log.openReadOnly(m_path), LogStatus::Ok);
    notWritable("le log ouvert est en lecture seule");
    m_log.close();
    notWritable("aucun log n'est ouvert");
    m_target.log = nullptr;
    notWritable("aucun log n'est ouvert");
    EXPECT_EQ(fileBytes(m_path), logBefore);
}

TEST_F(ContactReceiverTest, AContactIsOnTheDiskWhenAnnouncedAndAFailedWriteIsTriedAgain)
{
    LoggedContact c;
    int syncs = 0;
    bool failWrites = true;
    fileio::setHook([&](fileio::Operation op, long) {
        if (op == fileio::Operation::Sync)
            ++syncs;
        return op == fileio::Operation::Write && failWrites ? ENOSPC : 0;
    });
    ReceiveResult r = receive(qsoLogged(c));
    EXPECT_EQ(r.outcome, ReceiveOutcome::WriteFailed);
    EXPECT_EQ(r.status, LogStatus::DiskFull);
    EXPECT_EQ(r.noticeUtf8, "F5ABC 14.074 FT8 reçu de WSJT-X non enregistré : " +
                                statusMessageUtf8(LogStatus::DiskFull));
    EXPECT_EQ(m_log.recordCount(), 3);

    // The contact's other message comes once there is room again.
    failWrites = false;
    r = receive(loggedAdif(c));
    EXPECT_EQ(r.outcome, ReceiveOutcome::Added);
    EXPECT_GE(syncs, 1);
    LogFile reopened;
    ASSERT_EQ(reopened.open(m_path), LogStatus::Ok);
    EXPECT_EQ(reopened.recordCount(), 4);
}

TEST_F(ContactReceiverTest, ABurstIsWrittenAtOnceInTheOrderItCame)
{
    auto contactOf = [this](const std::string &datagram) {
        return *receivedContact(*decodeNetworkMessage(datagram).message, m_target.stationLocator);
    };
    LoggedContact a, b, fromJtdx, noCall;
    b.call = "DL1ABC";
    fromJtdx.id = "JTDX";
    noCall.call = "";
    noCall.id = "WSJT-X #2";
    const std::vector<ReceivedContact> burst = {
        contactOf(qsoLogged(a)),        contactOf(loggedAdif(a)),     contactOf(qsoLogged(b)),
        contactOf(qsoLogged(fromJtdx)), contactOf(qsoLogged(noCall)), contactOf(loggedAdif(b)),
    };
    int syncs = 0;
    bool fail = true;
    fileio::setHook([&](fileio::Operation op, long) {
        syncs += op == fileio::Operation::Sync;
        return op == fileio::Operation::Write && fail ? EIO : 0;
    });

    // Failing, every contact to write says so once, and the log is as it was.
    std::vector<ReceiveResult> r = m_receiver.receive(burst, m_target);
    const std::vector<ReceiveOutcome> failed = {
        ReceiveOutcome::WriteFailed, ReceiveOutcome::SecondMessage, ReceiveOutcome::WriteFailed,
        ReceiveOutcome::WriteFailed, ReceiveOutcome::NoCallSign,    ReceiveOutcome::SecondMessage};
    ASSERT_EQ(r.size(), burst.size());
    for (std::size_t i = 0; i < r.size(); ++i)
        EXPECT_EQ(r[i].outcome, failed[i]) << i;
    EXPECT_EQ(m_log.recordCount(), 3);

    // Sent again: written in one go, in order, each contact once.
    fail = false;
    syncs = 0;
    r = m_receiver.receive(burst, m_target);
    const std::vector<std::pair<ReceiveOutcome, std::int32_t>> written = {
        {ReceiveOutcome::Added, 4},      {ReceiveOutcome::SecondMessage, 0},
        {ReceiveOutcome::Added, 5},      {ReceiveOutcome::AlreadyInLog, 4},
        {ReceiveOutcome::NoCallSign, 0}, {ReceiveOutcome::SecondMessage, 0}};
    for (std::size_t i = 0; i < r.size(); ++i) {
        EXPECT_EQ(r[i].outcome, written[i].first) << i;
        EXPECT_EQ(r[i].recordNo, written[i].second) << i;
    }
    EXPECT_EQ(syncs, 1);
    EXPECT_EQ(m_log.recordCount(), 5);
    EXPECT_EQ(m_log.readRecord(4)->field(Field::CSGN), "F5ABC");
    EXPECT_EQ(m_log.readRecord(5)->field(Field::CSGN), "DL1ABC");
}

} // namespace
} // namespace ondelog::test
