// The label sheet's file, its slots and the MQSL of the contacts it names.

#include "printing/labelsheet.h"

#include "logbook/logfixture.h"
#include "logbook/text.h"

#include <gtest/gtest.h>

#include <filesystem>
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
