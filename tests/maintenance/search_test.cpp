// SPDX-License-Identifier: GPL-3.0-or-later
#include "logbook/logfile.h"
#include "maintenance/search.h"
#include "tests/logbook/logfixture.h"

#include <gtest/gtest.h>

#include <vector>

namespace ondelog {
namespace {

using test::makeContact;

QsoRecord contact(const std::string &call, const std::string &date = "12/05/03",
                  const std::string &start = "14:30", const std::string &freq = "14.205")
{
    QsoRecord r = makeContact(1);
    r.setField(Field::CSGN, call);
    r.setField(Field::DQSO, date);
    r.setField(Field::HDEB, start);
    r.setField(Field::FREQ, freq);
    return r;
}

TEST(Search, CallSignRule)
{
    struct Case
    {
        const char *stored;
        const char *searched;
        bool listed;
    };
    const Case cases[] = {
        {"F5ABC", "F5ABC", true},
        {"f5abc", "F5ABC", true},        // letter case ignored
        {"  F5ABC    ", "F5ABC", true},  // stored padding
        {"F5ABC/P", "F5ABC", true},      // portable
        {"F5ABC/MM", "F5ABC", true},     // maritime mobile
        {"F5ABCD", "F5ABC", false},      // a six-character call sign beginning with it
        {"F5AB", "F5ABC", false},        // shorter
        {"EA/F5ABC", "F5ABC", false},    // prefix and "/" before it
        {"XXXXX/F5ABC", "F5ABC", true},  // five characters, "/", then the call sign
        {"XXXXX/F6ABC", "F5ABC", false}, // ... but not another one
        {"F5ABC/P", "F5ABC/P", true},    // "/" is a plain character
        {"F5ABC/PM", "F5ABC/P", false},  // and the suffix is whole
        {"F5ABC", "F5.BC", false},       // "." is no wildcard
        {"F5A+C", "F5A+C", true},        // nor is "+"
        {"F5\xE9", "F5\xC9", true},      // accented letters in either case
        {"F5ABC", "", false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(callSignMatches(c.stored, c.searched), c.listed)
            << c.stored << " searched as " << c.searched;
}

TEST(Search, DateForms)
{
    struct Case
    {
        const char *text;
        std::optional<std::string> date;
    };
    const Case cases[] = {
        {"12/05/03", "12/05/03"}, {"12.05.03", "12/05/03"},
        {"12 05 03", "12/05/03"}, {"12:05:03", "12/05/03"},
        {"29/02/04", "29/02/04"}, {"29/02/03", std::nullopt}, // not a date: searched as a call sign
        {"12/05", std::nullopt},                              // no sixth character
        {"F5ABC", std::nullopt},  {"12-05-03", std::nullopt},
    };
    for (const Case &c : cases)
        EXPECT_EQ(searchDate(c.text), c.date) << c.text;
}

TEST(Search, ContactsLines)
{
    struct Case
    {
        std::int32_t recordNo;
        QsoRecord record;
        std::string line;
    };
    const Case cases[] = {
        {12, contact("F5ABC"),
         std::string(" 12   ") + "Le 12/05/03 \xE0 14:30 sur 14.205 Mhz" + std::string(6, ' ')},
        {99999, contact("F5ABC"), " 99999Le 12/05/03 \xE0 14:30 sur 14.205 Mhz      "},
        // Beyond five digits the number field grows instead of being cut.
        {100000, contact("F5ABC"), " 100000Le 12/05/03 \xE0 14:30 sur 14.205 Mhz      "},
        // The widest fields still fit in the 40 characters.
        {7, contact("F5ABC", "12/05/03", "14:30", "1296.20000"),
         " 7    Le 12/05/03 \xE0 14:30 sur 1296.20000 Mhz  "},
    };
    for (const Case &c : cases)
        EXPECT_EQ(contactsLine(c.recordNo, c.record), c.line);
    EXPECT_EQ(contactsLine(1, contact("F5ABC")).size(), 46u);

    // Lines of many call signs keep their columns whatever the call's length.
    EXPECT_EQ(contactsLineWithCallSign(12, contact("F5ABC")),
              " 12   F5ABC           Le 12/05/03 \xE0 14:30 sur 14.205 Mhz      ");
    EXPECT_EQ(contactsLineWithCallSign(3, contact("VP2E/F5ABC/MM")).substr(6, 16),
              "VP2E/F5ABC/MM   ");
}

TEST(Search, PlaceOfRecordInList)
{
    struct Case
    {
        std::int32_t recordNo;
        std::int32_t page;
        int row;
    };
    const Case cases[] = {
        {1, 1, 0}, {24, 1, 23}, {25, 1, 24}, {26, 2, 0}, {99999, 4000, 23}, {100000, 4000, 24},
    };
    for (const Case &c : cases) {
        const ListPlace place = listPlaceOfRecord(c.recordNo);
        EXPECT_EQ(place.page, c.page) << c.recordNo;
        EXPECT_EQ(place.row, c.row) << c.recordNo;
    }
}

class SearchLog : public ::testing::Test
{
  protected:
    void write(const std::vector<QsoRecord> &records)
    {
        std::string bytes;
        for (const QsoRecord &r : records)
            bytes += test::recordBytes(r);
        bytes += test::recordBytes(QsoRecord::endMarker("JN18EU"));
        // Left after the end marker by a deletion: never a contact.
        bytes += test::recordBytes(contact("F5ABC"));
        test::writeBytes(m_path, bytes);
        ASSERT_EQ(m_log.open(m_path), LogStatus::Ok);
    }
    std::vector<std::int32_t> found(const std::string &text, ContactsListKind kind)
    {
        const SearchResult result = searchLog(m_log, text);
        EXPECT_EQ(result.status, LogStatus::Ok);
        EXPECT_EQ(result.kind, kind) << text;
        std::vector<std::int32_t> numbers;
        for (const ContactsLine &line : result.lines) {
            // Each line stands for the record whose text it shows.
            const std::optional<QsoRecord> record = m_log.readRecord(line.recordNo);
            EXPECT_EQ(line.text, contactsLine(line.recordNo, record.value_or(QsoRecord())));
            numbers.push_back(line.recordNo);
        }
        return numbers;
    }

    test::TempDir m_dir;
    std::filesystem::path m_path = m_dir.file("F6XYZ.Ham");
    LogFile m_log;
};

TEST_F(SearchLog, ListsEveryMatchInOrder)
{
    write({contact("F5ABC"), contact("F6DEF", "13/05/03"), contact("f5abc/p", "13/05/03"),
           contact("12/05"), contact("F5ABCD", "12/05/03")});
    using V = std::vector<std::int32_t>;
    EXPECT_EQ(found("F5ABC", ContactsListKind::CallSign), (V{1, 3}));
    EXPECT_EQ(found("  F5ABC  ", ContactsListKind::CallSign), (V{1, 3}));
    EXPECT_EQ(found("13.05.03", ContactsListKind::Date), (V{2, 3}));
    EXPECT_EQ(found("12/05/03", ContactsListKind::Date), (V{1, 4, 5}));
    EXPECT_EQ(found("12/05", ContactsListKind::CallSign), (V{4}));
    EXPECT_EQ(found("F1AAA", ContactsListKind::CallSign), V{});
    EXPECT_TRUE(searchLog(m_log, "   ").lines.empty());
}

} // namespace
} // namespace ondelog
