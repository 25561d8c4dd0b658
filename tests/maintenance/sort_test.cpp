// SPDX-License-Identifier: GPL-3.0-or-later
#include "logbook/logfile.h"
#include "maintenance/sort.h"
#include "tests/common/filesizelimit.h"
#include "tests/logbook/logfixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <random>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace ondelog {
namespace {

namespace fs = std::filesystem;

QsoRecord dated(std::int64_t i, const std::string &date, const std::string &start)
{
    QsoRecord r = test::makeContact(i);
    r.setField(Field::DQSO, date);
    r.setField(Field::HDEB, start);
    return r;
}

std::string logOf(const std::vector<QsoRecord> &records, const std::string &locator = "JN18EU")
{
    std::string bytes;
    for (const QsoRecord &r : records)
        bytes += test::recordBytes(r);
    return bytes + test::recordBytes(QsoRecord::endMarker(locator));
}

TEST(SortKey, ReadFromDateAndTime)
{
    struct Case
    {
        const char *date;
        const char *start;
        SortKey key;
    };
    const Case cases[] = {
        {"12/05/03", "14:30", {2003, 5, 12, 14, 30}},
        {"31/12/99", "23:59", {1999, 12, 31, 23, 59}},
        {"01/01/59", "00:00", {2059, 1, 1, 0, 0}}, // 59 is 2059, after 1960
        {"01/01/60", "00:00", {1960, 1, 1, 0, 0}},
        {"", "", {2000, 0, 0, 0, 0}}, // empty date and time
        {"ab/cd/ef", "xx:yy", {2000, 0, 0, 0, 0}},
        {"12/05/03", " 9:05", {2003, 5, 12, 9, 5}}, // trimmed first
    };
    for (const Case &c : cases) {
        const QsoRecord r = dated(1, c.date, c.start);
        const SortKey key = sortKeyOf(r.bytes().data());
        EXPECT_EQ(key.year, c.key.year) << c.date;
        EXPECT_EQ(key.month, c.key.month) << c.date;
        EXPECT_EQ(key.day, c.key.day) << c.date;
        EXPECT_EQ(key.hour, c.key.hour) << c.start;
        EXPECT_EQ(key.minute, c.key.minute) << c.start;
    }
}

class SortLog : public ::testing::Test
{
  protected:
    SortOutcome sortFile(const std::string &bytes)
    {
        test::writeBytes(m_path, bytes);
        EXPECT_EQ(m_log.open(m_path), LogStatus::Ok);
        return sortLog(m_log, "JN18EU");
    }
    std::size_t filesInFolder() const
    {
        return static_cast<std::size_t>(
            std::distance(fs::directory_iterator(m_dir.path()), fs::directory_iterator()));
    }

    test::TempDir m_dir;
    fs::path m_path = m_dir.file("F6XYZ.Ham");
    LogFile m_log;
};

// Random logs against a plain stable sort of their contacts by key: dates
// drawn from a small pool so that equal keys are common, with the cases that
// broke the old neighbour-exchange order (a year's last contact before the
// next year's first, years 59 and 60, empty dates and times).
TEST_F(SortLog, MatchesStableSortOfRandomLogs)
{
    const std::vector<std::string> dates = {"15/05/03", "10/05/04", "01/01/59", "31/12/60",
                                            "",         "12/05/03", "12/06/03", "05/05/03",
                                            "01/01/00", "28/02/99"};
    const std::vector<std::string> times = {"14:30", "09:05", "", "23:59", "00:00", "14:31"};
    std::mt19937 random(20261208);
    for (int round = 0; round < 12; ++round) {
        const int n = round == 0 ? 2 : static_cast<int>(random() % 1500) + 2;
        std::vector<QsoRecord> records;
        for (int i = 1; i <= n; ++i)
            records.push_back(
                dated(i, dates[random() % dates.size()], times[random() % times.size()]));
        std::vector<QsoRecord> expected = records;
        std::stable_sort(expected.begin(), expected.end(),
                         [](const QsoRecord &a, const QsoRecord &b) {
                             return sortKeyOf(a.bytes().data()) < sortKeyOf(b.bytes().data());
                         });

        const SortOutcome outcome = sortFile(logOf(records));
        ASSERT_EQ(outcome.status, LogStatus::Ok);
        EXPECT_EQ(test::fileBytes(m_path), logOf(expected)) << "round " << round;
        EXPECT_EQ(m_log.recordCount(), n);
        EXPECT_EQ(filesInFolder(), 1u);
    }
}

TEST_F(SortLog, LogInOrderIsLeftAlone)
{
    std::vector<QsoRecord> records;
    for (int i = 1; i <= 900; ++i)
        records.push_back(dated(i, "12/05/03", "14:30")); // equal keys keep their order
    const std::string before = logOf(records);
    const SortOutcome outcome = sortFile(before);
    EXPECT_EQ(outcome.status, LogStatus::Ok);
    EXPECT_FALSE(outcome.rewritten);
    EXPECT_EQ(test::fileBytes(m_path), before);
}

TEST_F(SortLog, EndsWithEndMarkerAlone)
{
    const std::vector<QsoRecord> records = {dated(1, "02/01/03", "10:00"),
                                            dated(2, "01/01/03", "10:00")};
    struct Case
    {
        const char *what;
        std::string file;
        std::string sorted;
    };
    const Case cases[] = {
        // A deletion leaves a blank record after the end marker: it goes.
        {"blank after marker", logOf(records, "IN88GS") + test::recordBytes(QsoRecord()),
         logOf({records[1], records[0]}, "IN88GS")},
        {"in order, blank after marker",
         logOf({records[1], records[0]}, "IN88GS") + test::recordBytes(QsoRecord()),
         logOf({records[1], records[0]}, "IN88GS")},
        // A file that lost its end marker gets one holding the station locator.
        {"no marker", test::recordBytes(records[0]) + test::recordBytes(records[1]) + "xyz",
         logOf({records[1], records[0]}, "JN18EU")},
    };
    for (const Case &c : cases) {
        const SortOutcome outcome = sortFile(c.file);
        EXPECT_EQ(outcome.status, LogStatus::Ok) << c.what;
        EXPECT_TRUE(outcome.rewritten) << c.what;
        EXPECT_EQ(test::fileBytes(m_path), c.sorted) << c.what;
        EXPECT_EQ(m_log.recordCount(), 2) << c.what;
    }
}

TEST_F(SortLog, ReadOnlyLogIsRefused)
{
    const std::string two = logOf({dated(1, "02/01/03", "10:00"), dated(2, "01/01/03", "10:00")});
    test::writeBytes(m_path, two);
    ASSERT_EQ(m_log.openReadOnly(m_path), LogStatus::Ok);
    EXPECT_EQ(sortLog(m_log, "JN18EU").status, LogStatus::ReadOnly);
    EXPECT_EQ(test::fileBytes(m_path), two);
}

TEST_F(SortLog, FullDiskLeavesLogUntouched)
{
    std::vector<QsoRecord> records;
    for (int i = 1; i <= 2000; ++i)
        records.push_back(dated(i, i % 2 ? "02/01/03" : "01/01/03", "10:00"));
    const std::string before = logOf(records);
    test::writeBytes(m_path, before);
    ASSERT_EQ(m_log.open(m_path), LogStatus::Ok);
    SortOutcome outcome;
    {
        test::FileSizeLimit limit(before.size() / 2);
        ASSERT_TRUE(limit.ok());
        outcome = sortLog(m_log, "JN18EU");
    }
    EXPECT_EQ(outcome.status, LogStatus::DiskFull);
    EXPECT_FALSE(outcome.rewritten);
    EXPECT_EQ(test::fileBytes(m_path), before);
    EXPECT_EQ(filesInFolder(), 1u); // no temporary file left behind
    EXPECT_TRUE(m_log.isOpen());
    EXPECT_EQ(m_log.recordCount(), 2000);
}

// A sort killed at any moment leaves the old log or the sorted one, whole.
TEST_F(SortLog, KilledAtRandomLeavesOldOrNewLog)
{
    std::vector<QsoRecord> records;
    std::mt19937 random(9);
    for (int i = 1; i <= 20000; ++i)
        records.push_back(dated(i, "0" + std::to_string(random() % 9 + 1) + "/01/03", "10:00"));
    std::vector<QsoRecord> expected = records;
    std::stable_sort(expected.begin(), expected.end(), [](const QsoRecord &a, const QsoRecord &b) {
        return sortKeyOf(a.bytes().data()) < sortKeyOf(b.bytes().data());
    });
    const std::string before = logOf(records);
    const std::string after = logOf(expected);

    // How long one sort takes here, to aim the kills inside it.
    test::writeBytes(m_path, before);
    ASSERT_EQ(m_log.open(m_path), LogStatus::Ok);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(sortLog(m_log, "JN18EU").status, LogStatus::Ok);
    const auto took = std::chrono::duration_cast<std::chrono::microseconds>(
                          std::chrono::steady_clock::now() - start)
                          .count();
    m_log.close();

    int sawOld = 0;
    int sawNew = 0;
    for (int round = 0; round < 16; ++round) {
        test::writeBytes(m_path, before);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            LogFile log;
            log.open(m_path);
            sortLog(log, "JN18EU");
            ::_exit(0);
        }
        std::this_thread::sleep_for(std::chrono::microseconds(random() % (took * 3 / 2 + 1)));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        const std::string now = test::fileBytes(m_path);
        ASSERT_TRUE(now == before || now == after) << "round " << round;
        (now == before ? sawOld : sawNew)++;
    }
    RecordProperty("old", sawOld);
    RecordProperty("new", sawNew);
}

} // namespace
} // namespace ondelog
