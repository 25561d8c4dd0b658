// SPDX-License-Identifier: GPL-3.0-or-later
// When two records are one contact, and the index that finds it in a log.

#include "interchange/samecontact.h"
#include "logbook/frequency.h"
#include "tests/interchange/adifhelpers.h"

#include <gtest/gtest.h>

#include <random>

namespace ondelog::test {
namespace {

QsoRecord contact(const char *call, const char *date, const char *time, const char *freq,
                  const char *mode = "SSB")
{
    QsoRecord r;
    r.setField(Field::CSGN, call);
    r.setField(Field::DQSO, date);
    r.setField(Field::HDEB, time);
    r.setField(Field::FREQ, freq);
    r.setField(Field::MODE, mode);
    return r;
}

TEST(SameContact, CallDateStartTimeAndBandAgreeTheModeNever)
{
    struct Row
    {
        QsoRecord a, b;
        bool same;
        const char *why;
    };
    const QsoRecord oh2bh = contact("OH2BH", "14/03/24", "00:05", "14.025", "CW");
    const Row rows[] = {
        {oh2bh, contact("oh2bh", "14/03/24", "00:05", "14,074", "FT8"), true, "same band, case"},
        {oh2bh, contact("OH2BH", "14/03/24", "00:05", "7.025", "CW"), false, "40m"},
        {oh2bh, contact("OH2BH", "14/03/24", "00:05", ""), true, "no frequency"},
        {oh2bh, contact("OH2BH", "14/03/24", "00:05", "QRG?"), true, "no band"},
        {oh2bh, contact("OH2BH", "14/03/24", "00:05", "14.5"), true, "outside every band"},
        {oh2bh, contact("OH2BH", "14/03/24", "00:06", "14.025"), false, "start time"},
        {oh2bh, contact("OH2BH", "15/03/24", "00:05", "14.025"), false, "date"},
        {oh2bh, contact("OH2BH/P", "14/03/24", "00:05", "14.025"), false, "call sign"},
    };
    for (const Row &row : rows) {
        EXPECT_EQ(isSameContact(row.a, row.b), row.same) << row.why;
        EXPECT_EQ(isSameContact(row.b, row.a), row.same) << row.why;
    }
}

// The index finds what a search of every contact by isSameContact() finds:
// the first on the same band, else the first that agrees.
TEST(ContactIndex, FindsWhatASearchOfEveryContactFinds)
{
    std::mt19937 random(20240314);
    const char *calls[] = {"F6ABC", "f6abc", "OH2BH"};
    const char *times[] = {"00:05", "00:06"};
    const char *freqs[] = {"", "14.1", "14,2", "7.05", "QRG?", "3.6"};
    auto pick = [&](auto &array) { return array[random() % std::size(array)]; };
    std::vector<QsoRecord> records;
    for (int i = 0; i < 400; ++i)
        records.push_back(contact(pick(calls), "14/03/24", pick(times), pick(freqs)));

    ContactIndex index;
    for (std::size_t i = 0; i < 200; ++i)
        index.add(records[i]);
    ASSERT_EQ(index.size(), 200u);
    auto band = [](const QsoRecord &r) {
        const auto mhz = frequencyMegahertz(r.field(Field::FREQ));
        return mhz ? bandNumber(*mhz) : 0;
    };
    for (const QsoRecord &query : records) {
        std::optional<std::uint32_t> expected;
        for (std::uint32_t p = 0; p < 200 && !expected; ++p)
            if (isSameContact(query, records[p]) && band(query) != 0 &&
                band(query) == band(records[p]))
                expected = p;
        for (std::uint32_t p = 0; p < 200 && !expected; ++p)
            if (isSameContact(query, records[p]))
                expected = p;
        EXPECT_EQ(index.find(query), expected);
    }
}

} // namespace
} // namespace ondelog::test
