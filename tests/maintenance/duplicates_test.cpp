// SPDX-License-Identifier: GPL-3.0-or-later
#include "logbook/logfile.h"
#include "maintenance/duplicates.h"
#include "maintenance/search.h"
#include "tests/logbook/logfixture.h"

#include <gtest/gtest.h>

#include <vector>

namespace ondelog {
namespace {

QsoRecord same(std::int64_t i)
{
    // Differs from its twins only where the comparison does not look.
    QsoRecord r = test::makeContact(i);
    r.setField(Field::CSGN, "F5ABC");
    return r;
}

QsoRecord with(QsoRecord r, Field f, const std::string &value)
{
    r.setField(f, value);
    return r;
}

TEST(Duplicates, PairsFound)
{
    struct Case
    {
        const char *what;
        std::vector<QsoRecord> records;
        std::vector<std::int32_t> firsts;
    };
    const Case cases[] = {
        {"equal", {same(1), same(2)}, {1}},
        {"mode differs", {same(1), with(same(2), Field::MODE, "CW")}, {1}},
        {"call sign case differs", {same(1), with(same(2), Field::CSGN, "f5abc")}, {}},
        {"call sign padding differs", {same(1), with(same(2), Field::CSGN, " F5ABC")}, {}},
        {"end time differs", {same(1), with(same(2), Field::HFIN, "09:31")}, {}},
        {"frequency differs", {same(1), with(same(2), Field::FREQ, "14.2050")}, {}},
        {"three in a row", {same(1), same(2), same(3)}, {1, 2}},
        {"not neighbours", {same(1), with(same(2), Field::CSGN, "F6DEF"), same(3)}, {}},
        {"one contact", {same(1)}, {}},
    };
    test::TempDir dir;
    const auto path = dir.file("F6XYZ.Ham");
    for (const Case &c : cases) {
        std::string bytes;
        for (const QsoRecord &r : c.records)
            bytes += test::recordBytes(r);
        // After the end marker, two equal records a deletion could have left:
        // beyond the contacts, never compared.
        bytes += test::recordBytes(QsoRecord::endMarker("JN18EU"));
        bytes += test::recordBytes(same(8)) + test::recordBytes(same(9));
        test::writeBytes(path, bytes);
        LogFile log;
        ASSERT_EQ(log.open(path), LogStatus::Ok);
        const DuplicateSearch found = findDuplicates(log);
        EXPECT_EQ(found.status, LogStatus::Ok) << c.what;
        std::vector<std::int32_t> firsts;
        for (const ContactsLine &line : found.lines) {
            EXPECT_EQ(line.text.substr(0, kContactsNumberWidth), contactsNumberField(line.recordNo))
                << c.what;
            firsts.push_back(line.recordNo);
        }
        EXPECT_EQ(firsts, c.firsts) << c.what;
    }
}

TEST(Duplicates, PairAcrossReads)
{
    // Records 397 and 398 sit in two different reads of the file.
    test::TempDir dir;
    const auto path = dir.file("F6XYZ.Ham");
    std::string bytes;
    for (int i = 1; i <= 500; ++i)
        bytes += test::recordBytes(i == 398 ? test::makeContact(397) : test::makeContact(i));
    test::writeBytes(path, bytes + test::recordBytes(QsoRecord::endMarker("JN18EU")));
    LogFile log;
    ASSERT_EQ(log.open(path), LogStatus::Ok);
    const DuplicateSearch found = findDuplicates(log);
    ASSERT_EQ(found.lines.size(), 1u);
    EXPECT_EQ(found.lines[0].recordNo, 397);
    EXPECT_EQ(found.lines[0].text,
              duplicateLine(397, test::recordBytes(test::makeContact(397)).data()));
}

TEST(Duplicates, LineText)
{
    QsoRecord r = test::makeContact(1);
    r.setField(Field::CSGN, "F5ABCDEFGHIJ/P");
    r.setField(Field::DQSO, "12/05/03");
    r.setField(Field::HDEB, "14:30");
    EXPECT_EQ(duplicateLine(12, r.bytes().data()),
              " 12    F5ABCDEFGHLe 12/05/03 \xE0 14:30" + std::string(10, ' '));
    r.setField(Field::CSGN, "F5ABC");
    EXPECT_EQ(duplicateLine(100000, r.bytes().data()),
              " 100000 F5ABC     Le 12/05/03 \xE0 14:30" + std::string(10, ' '));
}

} // namespace
} // namespace ondelog
