// SPDX-License-Identifier: GPL-3.0-or-later
// The label sheet's file, its slots and the MQSL of the contacts it names.

#include "printing/labelsheet.h"

#include "interchange/adiftransfer.h"
#include "logbook/logfixture.h"
#include "maintenance/merge.h"
#include "maintenance/sort.h"
#include "text/text.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <set>

using namespace ondelog;

namespace {

std::string freeRecords(int count)
{
    std::string bytes;
    for (int i = 0; i < count; ++i)
        bytes += LabelRecord().bytes();
    return bytes;
}

LabelRecord labelFor(std::int32_t n, const QsoRecord &contact)
{
    LabelRecord label;
    label.setField(LabelField::CallSign, contact.field(Field::CSGN));
    label.setField(LabelField::From, "F6XYZ");
    label.setField(LabelField::Date, contact.field(Field::DQSO));
    label.setField(LabelField::Time, contact.field(Field::HDEB));
    label.setField(LabelField::QsoNumber, std::to_string(n));
    return label;
}

class LabelSheetTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        test::writeLog(m_dir.file("F6XYZ.Ham"), 5);
        ASSERT_EQ(m_log.open(m_dir.file("F6XYZ.Ham")), LogStatus::Ok);
    }

    std::string mqsl(std::int32_t n) { return m_log.readRecord(n)->field(Field::MQSL); }
    std::filesystem::path sheetPath() const { return m_dir.file(kLabelSheetFileName); }

    // Stores the label of contact n: its slot.
    int store(LabelSheet &sheet, std::int32_t n)
    {
        const auto result = sheet.store(labelFor(n, *m_log.readRecord(n)), m_log);
        EXPECT_EQ(result.status, LogStatus::Ok);
        EXPECT_EQ(result.contact.update, ContactUpdate::Written);
        return result.slot.value_or(0);
    }

    test::TempDir m_dir;
    LogFile m_log;
};

} // namespace

TEST_F(LabelSheetTest, FilesOfAnyShapeLoad)
{
    LabelRecord occupied = labelFor(2, *m_log.readRecord(2));
    struct Case
    {
        const char *what;
        bool exists;
        std::string bytes;
        std::set<int> occupied;
    };
    const Case cases[] = {
        {"missing", false, "", {}},
        {"all free", true, freeRecords(16), {}},
        {"slot 3 occupied", true, freeRecords(2) + occupied.bytes() + freeRecords(13), {3}},
        {"empty file", true, "", {}},
        {"cut inside record 2", true, occupied.bytes() + occupied.bytes().substr(0, 50), {1}},
        {"longer than 16", true, freeRecords(15) + occupied.bytes() + occupied.bytes(), {16}},
        {"zero bytes", true, std::string(16 * 106, '\0'), {}},
        {"blank call signs", true, std::string(16 * 106, ' '), {}},
        {"any bytes", true, std::string(16 * 106, '\xFF'),
         [] {
             std::set<int> all;
             for (int n = 1; n <= 16; ++n)
                 all.insert(n);
             return all;
         }()},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove(sheetPath());
        if (c.exists)
            test::writeBytes(sheetPath(), c.bytes);
        LabelSheet sheet(sheetPath());
        ASSERT_EQ(sheet.load(), LogStatus::Ok);
        for (int n = 1; n <= 16; ++n)
            EXPECT_EQ(sheet.state(n), c.occupied.count(n) ? SlotState::Occupied : SlotState::Free)
                << n;
        // The file always holds at least the 16 records afterwards.
        const std::string bytes = test::fileBytes(sheetPath());
        ASSERT_GE(bytes.size(), 16u * 106);
        for (int n = 1; n <= 16; ++n)
            EXPECT_EQ(LabelRecord::fromBytes(bytes.substr((n - 1) * 106, 106)).isFree(),
                      !c.occupied.count(n));
        std::optional<int> firstFree;
        for (int n = 16; n >= 1; --n)
            if (!c.occupied.count(n))
                firstFree = n;
        EXPECT_EQ(sheet.findFree(1), firstFree);
    }
    // A missing file is created with exactly 16 free records.
    std::filesystem::remove(sheetPath());
    LabelSheet fresh(sheetPath());
    ASSERT_EQ(fresh.load(), LogStatus::Ok);
    EXPECT_EQ(test::fileBytes(sheetPath()), freeRecords(16));
}

TEST_F(LabelSheetTest, FreeSlotsSkipOccupiedAndWithdrawn)
{
    LabelSheet sheet(sheetPath());
    ASSERT_EQ(sheet.load(), LogStatus::Ok);
    EXPECT_EQ(store(sheet, 1), 1);
    EXPECT_EQ(store(sheet, 2), 2);
    sheet.toggleWithdrawn(3);
    EXPECT_EQ(sheet.state(3), SlotState::Withdrawn);
    EXPECT_EQ(sheet.findFree(1), 4);
    EXPECT_EQ(store(sheet, 3), 4);
    sheet.toggleWithdrawn(1); // occupied: stays
    EXPECT_EQ(sheet.state(1), SlotState::Occupied);
    sheet.restoreWithdrawn();
    EXPECT_EQ(sheet.state(3), SlotState::Free);
    EXPECT_EQ(sheet.findFree(5), 5);

    for (int n = 5; n <= 16; ++n)
        sheet.toggleWithdrawn(n);
    sheet.toggleWithdrawn(3);
    EXPECT_EQ(sheet.findFree(1), std::nullopt);
    const auto full = sheet.store(labelFor(5, *m_log.readRecord(5)), m_log);
    EXPECT_FALSE(full.slot);
    EXPECT_EQ(mqsl(5), "");

    // Withdrawn is the operator's note for the paper in hand: never stored.
    LabelSheet reloaded(sheetPath());
    ASSERT_EQ(reloaded.load(), LogStatus::Ok);
    EXPECT_EQ(reloaded.state(3), SlotState::Free);
    EXPECT_EQ(reloaded.state(4), SlotState::Occupied);
}

TEST_F(LabelSheetTest, StoredFieldsKeepTheirWidths)
{
    LabelRecord label = labelFor(1, *m_log.readRecord(1));
    label.setField(LabelField::Frequency, "1296.20000");
    label.setField(LabelField::Rst, "599+40dB");
    label.setField(LabelField::Mode, "RTTY45");
    label.setField(LabelField::Routing, "VIA F5NEW BURO!!");
    LabelSheet sheet(sheetPath());
    ASSERT_EQ(sheet.load(), LogStatus::Ok);
    ASSERT_EQ(sheet.store(label, m_log).slot, 1);
    const std::optional<LabelRecord> back = sheet.read(1);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->field(LabelField::Frequency), "1296.20000");
    EXPECT_EQ(back->field(LabelField::Rst), "599+40dB");
    EXPECT_EQ(back->field(LabelField::Mode), "RTTY4");
    EXPECT_EQ(back->field(LabelField::Routing), "VIA F5NEW BURO!");
    EXPECT_EQ(back->bytes().substr(73, 10), "1296.20000");
    EXPECT_EQ(test::fileBytes(sheetPath()).size(), 16u * 106);
}

TEST_F(LabelSheetTest, CycleOfTheContactsQsl)
{
    LabelSheet sheet(sheetPath());
    ASSERT_EQ(sheet.load(), LogStatus::Ok);
    ASSERT_EQ(store(sheet, 2), 1);
    ASSERT_EQ(store(sheet, 3), 2);
    ASSERT_EQ(store(sheet, 4), 3);
    sheet.toggleWithdrawn(5);
    EXPECT_EQ(mqsl(2), kLabelPendingMark);

    // Supprimer: the contact is back to no QSL, the slot free.
    const auto removed = sheet.remove(2, m_log);
    EXPECT_EQ(removed.status, LogStatus::Ok);
    EXPECT_EQ(removed.contact.update, ContactUpdate::Written);
    EXPECT_EQ(mqsl(3), "");
    EXPECT_EQ(sheet.state(2), SlotState::Free);
    EXPECT_TRUE(sheet.read(2)->isFree());

    // Printout perfect: every occupied label confirmed and freed, withdrawn kept.
    const auto confirmed = sheet.confirmPrinted(m_log, "05/01/26");
    ASSERT_EQ(confirmed.size(), 2u);
    for (const auto &c : confirmed) {
        EXPECT_TRUE(c.freed);
        EXPECT_EQ(c.contact.update, ContactUpdate::Written);
    }
    EXPECT_EQ(mqsl(2), "05/01/26");
    EXPECT_EQ(mqsl(4), "05/01/26");
    EXPECT_EQ(mqsl(3), "");
    EXPECT_EQ(mqsl(1), "");
    EXPECT_EQ(sheet.state(5), SlotState::Withdrawn);
    EXPECT_FALSE(sheet.hasOccupied());
    EXPECT_EQ(test::fileBytes(sheetPath()), freeRecords(16));
}

TEST_F(LabelSheetTest, LabelsNamingNoContactLeaveTheLogAlone)
{
    const std::string before = test::fileBytes(m_dir.file("F6XYZ.Ham"));
    struct Case
    {
        const char *what;
        const char *number;
        const char *call;
    };
    const Case cases[] = {
        {"typed by hand, no number", "", "F4AAA"},
        {"number beyond the log", "6", "F6"},
        {"the end marker", "6", "\\"},
        {"number zero", "0", "F0"},
        {"not a whole number", "2.5", "F2"},
        {"another contact since", "2", "F3"},
    };
    LabelSheet sheet(sheetPath());
    ASSERT_EQ(sheet.load(), LogStatus::Ok);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        LabelRecord label;
        label.setField(LabelField::CallSign, c.call);
        label.setField(LabelField::QsoNumber, c.number);
        const auto stored = sheet.store(label, m_log);
        ASSERT_TRUE(stored.slot);
        EXPECT_EQ(stored.contact.update, ContactUpdate::NoContact);
        EXPECT_EQ(sheet.state(*stored.slot), SlotState::Occupied);
    }
    const auto removed = sheet.remove(1, m_log);
    EXPECT_EQ(removed.contact.update, ContactUpdate::NoContact);
    EXPECT_EQ(sheet.state(1), SlotState::Free);
    for (const auto &c : sheet.confirmPrinted(m_log, "05/01/26")) {
        EXPECT_EQ(c.contact.update, ContactUpdate::NoContact);
        EXPECT_TRUE(c.freed);
    }
    EXPECT_EQ(test::fileBytes(m_dir.file("F6XYZ.Ham")), before);
}

TEST_F(LabelSheetTest, ALogThatCannotBeWrittenKeepsTheLabel)
{
    LabelSheet sheet(sheetPath());
    ASSERT_EQ(sheet.load(), LogStatus::Ok);
    ASSERT_EQ(store(sheet, 1), 1);
    m_log.close();
    ASSERT_EQ(m_log.openReadOnly(m_dir.file("F6XYZ.Ham")), LogStatus::Ok);

    const auto removed = sheet.remove(1, m_log);
    EXPECT_EQ(removed.contact.update, ContactUpdate::Failed);
    EXPECT_EQ(removed.contact.status, LogStatus::ReadOnly);
    EXPECT_EQ(sheet.state(1), SlotState::Occupied);

    const auto confirmed = sheet.confirmPrinted(m_log, "05/01/26");
    ASSERT_EQ(confirmed.size(), 1u);
    EXPECT_FALSE(confirmed[0].freed);
    EXPECT_EQ(sheet.state(1), SlotState::Occupied);
    EXPECT_FALSE(sheet.read(1)->isFree());
    EXPECT_EQ(mqsl(1), kLabelPendingMark);
}

namespace {

QsoRecord contactOf(const char *call, const char *date, const char *time)
{
    QsoRecord r = test::makeContact(1);
    r.setField(Field::CSGN, call);
    r.setField(Field::DQSO, date);
    r.setField(Field::HDEB, time);
    return r;
}

std::string bytesOf(const std::vector<QsoRecord> &records)
{
    std::string bytes;
    for (const QsoRecord &r : records)
        bytes += test::recordBytes(r);
    return bytes + test::recordBytes(QsoRecord::endMarker("JN18EU"));
}

// The log's bytes with MQSL of every contact `label` names set to `value`.
std::string withQsl(std::string bytes, const LabelRecord &label, const std::string &value)
{
    for (std::size_t at = 0; at + kRecordSize <= bytes.size(); at += kRecordSize) {
        QsoRecord r;
        std::copy_n(bytes.begin() + long(at), kRecordSize, r.bytes().begin());
        if (labelNames(label, r)) {
            r.setField(Field::MQSL, value);
            bytes.replace(at, kRecordSize, test::recordBytes(r));
        }
    }
    return bytes;
}

} // namespace

// A label names its contact by call sign, date and start time: whatever moved
// the contact since it was made, its QSL state goes to it and to no other, and
// a contact that is gone is said so with the log left alone. The sheet and the
// log are written as the previous version left them: a label in slot 1, its
// contact "En cours".
TEST_F(LabelSheetTest, ALabelFollowsItsContactWhereverItMoves)
{
    const QsoRecord labelled = contactOf("F5ABC", "15/06/24", "12:00");
    // Each change leaves another contact of F5ABC at the label's record number.
    const std::vector<QsoRecord> records = {contactOf("F1AAA", "01/01/24", "10:00"), labelled,
                                            contactOf("F5ABC", "03/03/21", "08:00"),
                                            contactOf("F2BBB", "02/02/20", "11:00")};
    LabelRecord label = labelFor(2, labelled);
    label.setField(LabelField::From, "F6XYZ");
    const test::TempDir adifDir;
    const auto adif = adifDir.file("journal.adi");
    test::writeBytes(adif, "<CALL:5>F5ABC<QSO_DATE:8>20240615<TIME_ON:4>1300<EOR>\n");
    const auto otherLog = adifDir.file("AUTRE.Ham");
    test::writeBytes(otherLog, bytesOf({contactOf("F5ABC", "15/06/24", "12:01")}));

    struct Case
    {
        const char *what;
        std::function<void(LogFile &)> change;
        bool gone = false;
    };
    const Case cases[] = {
        {"sort", [](LogFile &log) { ASSERT_EQ(sortLog(log, "JN18EU").status, LogStatus::Ok); }},
        {"deletion before it",
         [](LogFile &log) { ASSERT_EQ(log.deleteRecord(1, "JN18EU"), LogStatus::Ok); }},
        {"merge, then sort",
         [&](LogFile &log) {
             ASSERT_TRUE(mergeLog(log, otherLog, "JN18EU").ok());
             ASSERT_EQ(sortLog(log, "JN18EU").status, LogStatus::Ok);
         }},
        {"import, then sort",
         [&](LogFile &log) {
             ImportOptions options;
             options.stationLocator = "JN18EU";
             ASSERT_EQ(importAdif(log, adif, options).imported, 1);
             ASSERT_EQ(sortLog(log, "JN18EU").status, LogStatus::Ok);
         }},
        {"the contact deleted",
         [](LogFile &log) { ASSERT_EQ(log.deleteRecord(2, "JN18EU"), LogStatus::Ok); }, true},
    };
    const auto logPath = m_dir.file("F6XYZ.Ham");
    for (const Case &c : cases) {
        for (const bool perfect : {true, false}) {
            SCOPED_TRACE(std::string(c.what) + (perfect ? ", Tout est parfait" : ", Supprimer"));
            m_log.close();
            test::writeBytes(logPath, withQsl(bytesOf(records), label, kLabelPendingMark));
            test::writeBytes(sheetPath(), label.bytes() + freeRecords(15));
            ASSERT_EQ(m_log.open(logPath), LogStatus::Ok);
            LabelSheet sheet(sheetPath());
            ASSERT_EQ(sheet.load(), LogStatus::Ok);
            ASSERT_EQ(sheet.state(1), SlotState::Occupied);

            c.change(m_log);
            const std::string changed = test::fileBytes(logPath);
            ContactResult contact;
            if (perfect) {
                const auto confirmed = sheet.confirmPrinted(m_log, "05/01/26");
                ASSERT_EQ(confirmed.size(), 1u);
                EXPECT_TRUE(confirmed[0].freed);
                contact = confirmed[0].contact;
            } else {
                const auto removed = sheet.remove(1, m_log);
                EXPECT_EQ(removed.status, LogStatus::Ok);
                contact = removed.contact;
            }
            EXPECT_EQ(sheet.state(1), SlotState::Free);
            if (c.gone) {
                EXPECT_EQ(contact.update, ContactUpdate::NoContact);
                EXPECT_EQ(test::fileBytes(logPath), changed);
                continue;
            }
            EXPECT_EQ(contact.update, ContactUpdate::Written);
            EXPECT_EQ(test::fileBytes(logPath), withQsl(changed, label, perfect ? "05/01/26" : ""));
            ASSERT_GT(contact.recordNo, 0);
            EXPECT_TRUE(labelNames(label, *m_log.readRecord(contact.recordNo)));
        }
    }
}

// A contact logged twice: the label goes back to the one it marked, wherever
// the record numbers have moved.
TEST_F(LabelSheetTest, OfAContactLoggedTwiceTheMarkedOneIsConfirmed)
{
    const QsoRecord twin = contactOf("F5ABC", "15/06/24", "12:00");
    m_log.close();
    test::writeBytes(m_dir.file("F6XYZ.Ham"),
                     bytesOf({contactOf("F1AAA", "01/01/24", "10:00"), twin, twin}));
    ASSERT_EQ(m_log.open(m_dir.file("F6XYZ.Ham")), LogStatus::Ok);
    LabelSheet sheet(sheetPath());
    ASSERT_EQ(sheet.load(), LogStatus::Ok);

    // Made from the second of the two, whose number 3 then names nobody.
    ASSERT_EQ(sheet.store(labelFor(3, twin), m_log).contact.recordNo, 3);
    ASSERT_EQ(m_log.deleteRecord(1, "JN18EU"), LogStatus::Ok);
    const auto confirmed = sheet.confirmPrinted(m_log, "05/01/26");
    ASSERT_EQ(confirmed.size(), 1u);
    EXPECT_EQ(confirmed[0].contact.recordNo, 2);
    EXPECT_EQ(mqsl(1), "");
    EXPECT_EQ(mqsl(2), "05/01/26");
}

TEST_F(LabelSheetTest, NothingIsStoredForALogOpenedForReading)
{
    m_log.close();
    ASSERT_EQ(m_log.openReadOnly(m_dir.file("F6XYZ.Ham")), LogStatus::Ok);
    const std::string log = test::fileBytes(m_dir.file("F6XYZ.Ham"));
    LabelSheet sheet(sheetPath());
    ASSERT_EQ(sheet.load(), LogStatus::Ok);
    const std::string sheetBytes = test::fileBytes(sheetPath());

    const auto stored = sheet.store(labelFor(2, *m_log.readRecord(2)), m_log);
    EXPECT_EQ(stored.status, LogStatus::ReadOnly);
    EXPECT_EQ(stored.contact.update, ContactUpdate::Failed);
    EXPECT_FALSE(sheet.hasOccupied());
    EXPECT_EQ(test::fileBytes(sheetPath()), sheetBytes);
    EXPECT_EQ(test::fileBytes(m_dir.file("F6XYZ.Ham")), log);
}
