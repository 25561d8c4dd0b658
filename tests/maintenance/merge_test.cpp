// SPDX-License-Identifier: GPL-3.0-or-later
// Merging another log: its contacts follow the open log's in their order, the
// records that are no contact stay out, the log never merges with itself, and a
// merge cut short leaves the log as it was or wholly merged.

#include "logbook/fileio.h"
#include "logbook/logfile.h"
#include "logbook/logfixture.h"
#include "maintenance/merge.h"
#include "maintenance/sort.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <functional>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace ondelog;
using namespace ondelog::test;

namespace {

std::string contacts(std::int64_t from, std::int64_t to)
{
    std::string bytes;
    for (std::int64_t i = from; i <= to; ++i)
        bytes += recordBytes(makeContact(i));
    return bytes;
}

std::string marker(const std::string &locator = "JN18EU")
{
    return recordBytes(QsoRecord::endMarker(locator));
}

QsoRecord withCall(std::int64_t i, const std::string &call)
{
    QsoRecord r = makeContact(i);
    r.setField(Field::CSGN, call);
    return r;
}

} // namespace

TEST(Merge, TheOtherContactsFollowInTheirOrder)
{
    struct Case
    {
        const char *what;
        int own;              // contacts 1..own in the open log
        std::string other;    // the other log's bytes
        std::string expected; // the open log's contacts after the merge, end marker excluded
        int added, skipped;
    };
    const Case cases[] = {
        {"an empty other log rewrites only the end marker", 3, marker("IN98GC"), contacts(1, 3), 0,
         0},
        {"contacts appended", 3, contacts(101, 105) + marker(), contacts(1, 3) + contacts(101, 105),
         5, 0},
        {"into an empty log", 0, contacts(101, 102) + marker(), contacts(101, 102), 2, 0},
        {"more than one read chunk", 2, contacts(1001, 1900) + marker(),
         contacts(1, 2) + contacts(1001, 1900), 900, 0},
        {"no end marker: read to the end of file", 1, contacts(101, 104),
         contacts(1, 1) + contacts(101, 104), 4, 0},
        {"a short record at the end is skipped", 1, contacts(101, 102) + "F5ABC   01/0",
         contacts(1, 1) + contacts(101, 102), 2, 1},
        {"records after the other end marker are not read", 1,
         contacts(101, 101) + marker() + contacts(102, 103), contacts(1, 1) + contacts(101, 101), 1,
         0},
        {"a call sign beginning with a backslash is skipped", 1,
         contacts(101, 101) + recordBytes(withCall(102, "\\F5ABC")) + contacts(103, 103) + marker(),
         contacts(1, 1) + contacts(101, 101) + contacts(103, 103), 2, 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        const auto path = dir.file("F6XYZ.Ham");
        const auto other = dir.file("AUTRE.Ham");
        writeLog(path, c.own);
        writeBytes(other, c.other);
        const std::string otherBefore = fileBytes(other);
        LogFile log;
        ASSERT_EQ(log.open(path), LogStatus::Ok);

        const MergeResult result = mergeLog(log, other, "JN18EU");
        ASSERT_TRUE(result.ok()) << mergeFailureMessageUtf8(result, other.string());
        EXPECT_EQ(result.added, c.added);
        EXPECT_EQ(result.skipped, c.skipped);
        EXPECT_EQ(fileBytes(path), c.expected + marker());
        EXPECT_EQ(fileBytes(other), otherBefore);
        EXPECT_TRUE(log.isOpen());
        EXPECT_EQ(log.recordCount(), c.own + c.added);
        // The log goes on taking contacts after a merge.
        ASSERT_EQ(log.appendContact(makeContact(7777), "JN18EU"), LogStatus::Ok);
        EXPECT_EQ(log.recordCount(), c.own + c.added + 1);
    }
}

TEST(Merge, TheLogIsNeverMergedWithItself)
{
    struct Case
    {
        const char *what;
        std::function<std::filesystem::path(const TempDir &, const std::filesystem::path &)> other;
    };
    const Case cases[] = {
        {"the same path", [](const TempDir &, const auto &log) { return log; }},
        {"another spelling",
         [](const TempDir &d, const auto &) {
             return d.path() / "." / ".." / d.path().filename() / "F6XYZ.Ham";
         }},
        {"a symbolic link",
         [](const TempDir &d, const auto &log) {
             std::filesystem::create_symlink(log, d.file("lien.Ham"));
             return d.file("lien.Ham");
         }},
        {"a hard link",
         [](const TempDir &d, const auto &log) {
             std::filesystem::create_hard_link(log, d.file("copie.Ham"));
             return d.file("copie.Ham");
         }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        const auto path = dir.file("F6XYZ.Ham");
        writeLog(path, 4);
        const std::string before = fileBytes(path);
        LogFile log;
        ASSERT_EQ(log.open(path), LogStatus::Ok);

        const MergeResult result = mergeLog(log, c.other(dir, path), "JN18EU");
        EXPECT_EQ(result.failure, MergeFailure::SameFile);
        EXPECT_EQ(fileBytes(path), before);
        EXPECT_EQ(log.recordCount(), 4);
        EXPECT_EQ(log.appendContact(makeContact(5), "JN18EU"), LogStatus::Ok);
    }
}

TEST(Merge, OtherFailuresLeaveTheLogAsItWas)
{
    TempDir dir;
    const auto path = dir.file("F6XYZ.Ham");
    writeLog(path, 4);
    const std::string before = fileBytes(path);
    LogFile log;
    ASSERT_EQ(log.open(path), LogStatus::Ok);

    EXPECT_EQ(mergeLog(log, dir.file("absent.Ham"), "JN18EU").failure,
              MergeFailure::OtherUnreadable);
    EXPECT_EQ(mergeLog(log, dir.path(), "JN18EU").failure, MergeFailure::OtherUnreadable);
    EXPECT_EQ(fileBytes(path), before);
    EXPECT_EQ(log.recordCount(), 4);

    writeLog(dir.file("AUTRE.Ham"), 2);
    LogFile readOnly;
    ASSERT_EQ(readOnly.openReadOnly(path), LogStatus::Ok);
    EXPECT_EQ(mergeLog(readOnly, dir.file("AUTRE.Ham"), "JN18EU").failure,
              MergeFailure::LogNotWritable);
    EXPECT_EQ(fileBytes(path), before);
    // Refused, it stays as it was opened: for reading only.
    EXPECT_TRUE(readOnly.isReadOnly());
}

// The merge runs in a child process killed at moments spread over the time a
// merge takes; whenever it dies, the log holds either its own contacts or all
// of them, each in its place, and one end marker.
TEST(Merge, AMergeKilledAnywhereLeavesTheLogWholeOrMerged)
{
    constexpr int kOwn = 300;
    constexpr int kOther = 30000;
    TempDir dir;
    const auto path = dir.file("F6XYZ.Ham");
    const auto other = dir.file("AUTRE.Ham");
    writeBytes(other, contacts(kOwn + 1, kOwn + kOther) + marker());

    // How long one merge takes here, to spread the kills over it.
    writeLog(path, kOwn);
    const auto start = std::chrono::steady_clock::now();
    {
        LogFile log;
        ASSERT_EQ(log.open(path), LogStatus::Ok);
        ASSERT_TRUE(mergeLog(log, other, "JN18EU").ok());
    }
    const auto span = std::chrono::duration_cast<std::chrono::microseconds>(
                          std::chrono::steady_clock::now() - start) *
                      3 / 2;
    const std::string merged = fileBytes(path);

    constexpr int kRuns = 16;
    int whole = 0;
    int done = 0;
    for (int run = 0; run < kRuns; ++run) {
        writeLog(path, kOwn);
        const std::string before = fileBytes(path);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            LogFile log;
            if (log.open(path) != LogStatus::Ok)
                ::_exit(2);
            ::_exit(mergeLog(log, other, "JN18EU").ok() ? 0 : 1);
        }
        std::this_thread::sleep_for(span * run / kRuns);
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);

        const std::string after = fileBytes(path);
        ASSERT_TRUE(after == before || after == merged)
            << "run " << run << ": " << after.size() / kRecordSize << " records";
        (after == before ? whole : done)++;
        LogFile reopened;
        ASSERT_EQ(reopened.open(path), LogStatus::Ok);
        EXPECT_TRUE(reopened.recordCount() == kOwn || reopened.recordCount() == kOwn + kOther);
    }
    RecordProperty("whole", whole);
    RecordProperty("merged", done);
    // The first kill lands before the merge could finish.
    EXPECT_GE(whole, 1);
}

// Any file can be chosen as the other log: only contacts come in, a file with
// none adds nothing and is refused, and every reason for leaving a record out
// is counted.
TEST(Merge, OnlyContactsComeInAndAFileWithNoneIsRefused)
{
    std::string photo(1000, '\0');
    for (std::size_t i = 0; i < photo.size(); ++i)
        photo[i] = static_cast<char>((i * 131 + 7) % 256);
    std::string letter;
    while (letter.size() < 496)
        letter += "Cher ami,\r\nvoici le compte rendu de la sortie du 15/06/24.\r\n";
    letter.resize(496);

    QsoRecord tabbed = makeContact(103);
    tabbed.setField(Field::SQTH, "Saint\tMalo\f");
    QsoRecord noDate = makeContact(104);
    noDate.setField(Field::DQSO, "");
    QsoRecord badDate = makeContact(105);
    badDate.setField(Field::DQSO, "31/02/24");
    QsoRecord controlCall = makeContact(106);
    controlCall.bytes()[2] = '\n';
    QsoRecord blank;

    struct Case
    {
        const char *what;
        std::string other;
        MergeFailure failure;
        std::int32_t added, control, noCall, date, partial, cleaned;
    };
    const Case cases[] = {
        {"a photo renamed .Ham", photo, MergeFailure::NotALog, 0, 6, 0, 0, 1, 0},
        {"a letter renamed .Ham", letter, MergeFailure::NotALog, 0, 2, 0, 1, 1, 0},
        {"an empty file", "", MergeFailure::NotALog, 0, 0, 0, 0, 0, 0},
        {"a piece of a record", contacts(101, 101).substr(0, 100), MergeFailure::NotALog, 0, 0, 0,
         0, 1, 0},
        {"blank records", recordBytes(blank) + recordBytes(blank), MergeFailure::NotALog, 0, 0, 2,
         0, 0, 0},
        {"contacts among records that are none",
         contacts(101, 102) + recordBytes(tabbed) + recordBytes(noDate) + recordBytes(badDate) +
             recordBytes(controlCall) + recordBytes(blank) + letter.substr(0, 165) + marker(),
         MergeFailure::None, 4, 2, 1, 1, 0, 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        const auto path = dir.file("F6XYZ.Ham");
        writeLog(path, 3);
        writeBytes(dir.file("AUTRE.Ham"), c.other);
        const std::string before = fileBytes(path);
        LogFile log;
        ASSERT_EQ(log.open(path), LogStatus::Ok);

        const MergeResult result = mergeLog(log, dir.file("AUTRE.Ham"), "JN18EU");
        EXPECT_EQ(result.failure, c.failure);
        EXPECT_EQ(result.added, c.added);
        EXPECT_EQ(result.controlBytes, c.control);
        EXPECT_EQ(result.noCallSign, c.noCall);
        EXPECT_EQ(result.impossibleDate, c.date);
        EXPECT_EQ(result.partialRecord, c.partial);
        EXPECT_EQ(result.skipped, c.control + c.noCall + c.date + c.partial);
        EXPECT_EQ(result.cleaned, c.cleaned);
        EXPECT_EQ(log.recordCount(), 3 + c.added);
        EXPECT_FALSE(log.isReadOnly());
        if (!result.ok()) {
            EXPECT_EQ(fileBytes(path), before);
            EXPECT_NE(mergeFailureMessageUtf8(result, "AUTRE.Ham").find("aucun contact"),
                      std::string::npos);
            continue;
        }
        // What came in reads as a sound log: no control byte anywhere.
        LogFile merged;
        ASSERT_EQ(merged.openReadOnly(path), LogStatus::Ok);
        EXPECT_FALSE(merged.inspect().any());
        QsoRecord cleaned = tabbed;
        cleaned.setField(Field::SQTH, "Saint Malo");
        EXPECT_EQ(fileBytes(path), contacts(1, 3) + contacts(101, 102) + recordBytes(cleaned) +
                                       recordBytes(noDate) + marker());
        const std::string summary = mergeSummaryUtf8(result, "AUTRE.Ham");
        for (const char *said : {"4 contacts ont été ajoutés", "4 enregistrements",
                                 "caractères de contrôle dans l'indicatif, la date ou l'heure : 2",
                                 "sans indicatif : 1", "date impossible : 1",
                                 "1 contact contenait des caractères de contrôle"})
            EXPECT_NE(summary.find(said), std::string::npos) << said << "\n" << summary;
    }
}

// Sort and merge open the new file before it replaces the log: an opening that
// would fail afterwards (no descriptor left, a medium gone read-only) cannot
// leave the log closed, nor this handle writing into the replaced file.
TEST(Merge, TheLogStaysOpenWhenItCouldNotBeOpenedAgain)
{
    const std::function<LogStatus(LogFile &, const std::filesystem::path &)> rewrites[] = {
        [](LogFile &log, const std::filesystem::path &other) {
            const MergeResult result = mergeLog(log, other, "JN18EU");
            return result.ok() ? LogStatus::Ok : LogStatus::IoError;
        },
        [](LogFile &log, const std::filesystem::path &) { return sortLog(log, "JN18EU").status; },
    };
    for (const auto &rewrite : rewrites) {
        TempDir dir;
        const auto path = dir.file("F6XYZ.Ham");
        // Out of order, for the sort to have something to do.
        QsoRecord late = makeContact(5);
        late.setField(Field::DQSO, "01/02/24");
        writeBytes(path, recordBytes(late) + contacts(1, 4) + marker());
        writeLog(dir.file("AUTRE.Ham"), 2);
        LogFile log;
        ASSERT_EQ(log.open(path), LogStatus::Ok);
        bool renamed = false;
        fileio::setHook([&renamed](fileio::Operation op, long) {
            if (op == fileio::Operation::Rename)
                renamed = true;
            return renamed && op == fileio::Operation::Open ? EMFILE : 0;
        });
        const LogStatus status = rewrite(log, dir.file("AUTRE.Ham"));
        fileio::setHook({});
        EXPECT_EQ(status, LogStatus::Ok);
        ASSERT_TRUE(renamed);
        ASSERT_TRUE(log.isOpen());
        EXPECT_FALSE(log.isReadOnly());
        const std::int32_t count = log.recordCount();
        ASSERT_EQ(log.appendContact(makeContact(99), "JN18EU"), LogStatus::Ok);
        LogFile reread;
        ASSERT_EQ(reread.openReadOnly(path), LogStatus::Ok);
        EXPECT_EQ(reread.recordCount(), count + 1);
    }
}
