// SPDX-License-Identifier: GPL-3.0-or-later
// The reader every bulk reading of a log goes through: whole records, in
// order, across the edges of its chunks, and nothing made of a cut record.

#include "logbook/recordreader.h"
#include "tests/logbook/logfixture.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace ondelog::test {
namespace {

constexpr auto kChunk = static_cast<std::int32_t>(kChunkRecords);

TEST(RecordReader, ScanVisitsEveryWholeRecordInOrderAndStopsWhenAsked)
{
    TempDir dir;
    const auto path = dir.file("F6ABC.Ham");
    struct Case
    {
        const char *what;
        std::int32_t contacts;
        std::string tail;       ///< bytes after the end marker
        std::int32_t stopAfter; ///< visit answers false at this record (0: never)
    };
    const Case cases[] = {
        {"empty log", 0, "", 0},
        {"one chunk exactly (the end marker last)", kChunk - 1, "", 0},
        {"end marker first in the second chunk", kChunk, "", 0},
        {"several chunks and a cut record", 2 * kChunk + 5, "F1ABC", 0},
        {"stopped in the second chunk", 2 * kChunk, "", kChunk + 3},
        {"stopped on the very first record", 10, "", 1},
    };
    for (const Case &c : cases) {
        writeLog(path, c.contacts);
        writeBytes(path, fileBytes(path) + c.tail);
        RecordReader reader;
        ASSERT_EQ(reader.open(path), LogStatus::Ok) << c.what;
        std::vector<QsoRecord> seen;
        const LogStatus status = reader.scan([&](const char *bytes) {
            QsoRecord r;
            std::copy_n(bytes, kRecordSize, r.bytes().data());
            seen.push_back(r);
            return static_cast<std::int32_t>(seen.size()) != c.stopAfter;
        });
        EXPECT_EQ(status, LogStatus::Ok) << c.what;
        const std::size_t expected = c.stopAfter > 0 ? static_cast<std::size_t>(c.stopAfter)
                                                     : static_cast<std::size_t>(c.contacts) + 1;
        ASSERT_EQ(seen.size(), expected) << c.what;
        for (std::size_t i = 0; i < seen.size(); ++i) {
            if (i < static_cast<std::size_t>(c.contacts))
                ASSERT_EQ(seen[i], makeContact(static_cast<std::int64_t>(i) + 1)) << c.what << i;
            else
                EXPECT_TRUE(seen[i].isEndMarker()) << c.what;
        }
    }
}

TEST(RecordReader, ForEachGivesExactlyTheRangeAskedAndRefusesOneTheFileLacks)
{
    TempDir dir;
    const auto path = dir.file("F6ABC.Ham");
    const std::int32_t contacts = 2 * kChunk + 10;
    writeLog(path, contacts);
    RecordReader reader;
    ASSERT_EQ(reader.open(path), LogStatus::Ok);
    EXPECT_EQ(reader.fileSize(), std::int64_t{contacts + 1} * std::int64_t{kRecordSize});

    const std::pair<std::int32_t, std::int32_t> ranges[] = {
        {1, 1}, {1, contacts}, {kChunk, kChunk + 1}, {kChunk + 2, 2 * kChunk + 7}, {5, 4}};
    for (const auto &[first, last] : ranges) {
        std::vector<std::int32_t> numbers;
        std::vector<std::int32_t> chunkEnds;
        const LogStatus status = reader.forEach(
            first, last,
            [&](std::int32_t n, const char *bytes) {
                QsoRecord r;
                std::copy_n(bytes, kRecordSize, r.bytes().data());
                EXPECT_EQ(r, makeContact(n)) << n;
                numbers.push_back(n);
            },
            [&](std::int32_t n) { chunkEnds.push_back(n); });
        EXPECT_EQ(status, LogStatus::Ok) << first << ".." << last;
        ASSERT_EQ(numbers.size(), static_cast<std::size_t>(std::max(0, last - first + 1)));
        for (std::size_t i = 0; i < numbers.size(); ++i)
            EXPECT_EQ(numbers[i], first + static_cast<std::int32_t>(i));
        // Each chunk tells the last record it held; the last one ends the range.
        if (!numbers.empty()) {
            ASSERT_FALSE(chunkEnds.empty());
            EXPECT_EQ(chunkEnds.back(), last);
            EXPECT_EQ(chunkEnds.size(), static_cast<std::size_t>((last - first) / kChunk + 1));
        }
    }

    // A count the file no longer holds (it shrank under us) is an error, not a
    // shorter range that a caller would take for the whole.
    int visited = 0;
    EXPECT_EQ(
        reader.forEach(contacts, contacts + 2, [&](std::int32_t, const char *) { ++visited; }),
        LogStatus::IoError);
    EXPECT_EQ(visited, 0);
}

TEST(RecordReader, OpensOnlyRegularFilesAndLeavesABorrowedDescriptorOpen)
{
    TempDir dir;
    const auto path = dir.file("F6ABC.Ham");
    writeLog(path, 3);

    RecordReader reader;
    EXPECT_EQ(reader.open(dir.file("none.Ham")), LogStatus::NotFound);
    EXPECT_EQ(reader.scan([](const char *) { return true; }), LogStatus::NotOpen);
    EXPECT_EQ(reader.fileSize(), -1);
    EXPECT_EQ(reader.open(dir.path()), LogStatus::NotRegularFile);
    EXPECT_EQ(reader.open(path), LogStatus::Ok);

    // The open log's own descriptor: read through, never closed.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    {
        RecordReader borrowed(fd);
        int records = 0;
        EXPECT_EQ(borrowed.scan([&](const char *) { return ++records, true; }), LogStatus::Ok);
        EXPECT_EQ(records, 4);
    }
    EXPECT_NE(::fcntl(fd, F_GETFD), -1);
    EXPECT_EQ(::close(fd), 0);
}

} // namespace
} // namespace ondelog::test
