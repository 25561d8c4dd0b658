// SPDX-License-Identifier: GPL-3.0-or-later
// Every operation that writes the log, stopped after each of its writes as a
// crash would stop it (the child process running it is killed), or seeing that
// write fail: the log must then open either as before or as after.

#include "interchange/adiftransfer.h"
#include "logbook/fileio.h"
#include "logbook/logfile.h"
#include "logbook/safefile.h"
#include "maintenance/logcopy.h"
#include "maintenance/merge.h"
#include "maintenance/sort.h"
#include "printing/labelsheet.h"
#include "setup/config.h"

#include "logfixture.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <functional>
#include <optional>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace ondelog;
using test::fileBytes;
using test::makeContact;
using test::recordBytes;
using test::TempDir;

namespace {

constexpr const char *kLocator = "JN18EU";

/** What a reader of the log sees: its contacts and its end marker's locator. */
struct LogView
{
    std::vector<std::string> contacts;
    std::optional<std::string> markerLocator;
    bool operator==(const LogView &) const = default;
};

LogView viewOf(const std::filesystem::path &path)
{
    LogFile log;
    EXPECT_EQ(log.openReadOnly(path), LogStatus::Ok);
    LogView view;
    for (std::int32_t n = 1; n <= log.recordCount(); ++n)
        view.contacts.push_back(recordBytes(log.readRecord(n).value_or(QsoRecord())));
    view.markerLocator = log.endMarkerLocator();
    return view;
}

std::string describe(const LogView &view)
{
    return std::to_string(view.contacts.size()) + " contacts, end marker " +
           (view.markerLocator ? "\"" + *view.markerLocator + "\"" : "missing");
}

using Operation = std::function<LogStatus(LogFile &)>;

/** Removes every hook when the test ends, passed or not. */
struct HookGuard
{
    ~HookGuard() { fileio::setHook({}); }
};

/** Runs `operation` on the log in a child process that is killed just before its
 *  file operation number `killBefore`. True when the child finished first. */
bool runKilledBefore(const std::filesystem::path &path, long killBefore, const Operation &operation)
{
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        LogFile log;
        if (log.open(path) != LogStatus::Ok)
            ::_exit(2);
        fileio::setHook([killBefore](fileio::Operation, long n) {
            if (n >= killBefore)
                ::raise(SIGKILL);
            return 0;
        });
        ::_exit(operation(log) == LogStatus::Ok ? 0 : 3);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
        return false;
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "child status " << status;
    return true;
}

struct Case
{
    const char *name;
    std::int64_t contacts;
    Operation operation;
    /** Bytes added after the log as written (records past the end marker, a
     *  partial record): they must come through untouched. */
    std::string tail;
    /** Contacts newest first, for the operations that reorder them. */
    bool reversed = false;
};

/** A second station's log, for the merge: outside the folder of the log. */
const std::filesystem::path &otherLog()
{
    static const TempDir dir;
    static const std::filesystem::path path = [] {
        const auto p = dir.file("F5XYZ.Ham");
        test::writeLog(p, 40, "IN88GS");
        return p;
    }();
    return path;
}

/** Two new contacts in ADIF for the import, and a confirmation of the log's
 *  first contact, written over its copy once the rest is in. */
const std::filesystem::path &adifFile()
{
    static const TempDir dir;
    static const std::filesystem::path path = [] {
        const auto p = dir.file("journal.adi");
        test::writeBytes(p, "Journal\n<EOH>\n"
                            "<CALL:5>F4XYZ<QSO_DATE:8>20240301<TIME_ON:4>1200<EOR>\n"
                            "<CALL:5>F4XYY<QSO_DATE:8>20240302<TIME_ON:4>1300<EOR>\n"
                            "<CALL:2>F1<QSO_DATE:8>20030201<TIME_ON:4>0905<BAND:3>20m"
                            "<LOTW_QSL_RCVD:1>Y<LOTW_QSLRDATE:8>20240310<EOR>\n");
        return p;
    }();
    return path;
}

std::vector<Case> cases()
{
    const auto append = [](LogFile &log) { return log.appendContact(makeContact(99), kLocator); };
    const auto remove = [](std::int32_t k) {
        return [k](LogFile &log) { return log.deleteRecord(k, "IO91WM"); };
    };
    const std::string leftover = recordBytes(makeContact(77)) + "half a rec";
    return {
        {"append to an empty log", 0, append, {}},
        {"append", 5, append, {}},
        {"modification",
         5,
         [](LogFile &log) { return log.replaceContact(3, makeContact(33)); },
         {}},
        {"QSL state of a contact",
         5,
         [](LogFile &log) {
             LabelRecord label;
             label.setField(LabelField::QsoNumber, "3");
             label.setField(LabelField::CallSign, "F3");
             label.setField(LabelField::Date, "01/02/03");
             label.setField(LabelField::Time, "09:05");
             return updateContactQsl(log, label, "12/03/24").status;
         },
         {}},
        {"sort", 5, [](LogFile &log) { return sortLog(log, "IO91WM").status; }, {}, true},
        {"sort of 15,000 contacts",
         15000,
         [](LogFile &log) { return sortLog(log, "IO91WM").status; },
         {},
         true},
        {"merge of another log",
         5,
         [](LogFile &log) {
             const MergeResult result = mergeLog(log, otherLog(), "IO91WM");
             return result.ok()                      ? LogStatus::Ok
                    : result.status != LogStatus::Ok ? result.status
                                                     : LogStatus::IoError;
         },
         {}},
        {"ADIF import",
         5,
         [](LogFile &log) {
             ImportOptions options;
             options.stationLocator = "JN18EU";
             // The import rewrites the log by its path: the window opens it again.
             const std::filesystem::path path = log.path();
             const LogStatus status = importAdif(path, adifFile(), options).status;
             log.open(path);
             return status;
         },
         {}},
        {"deletion of the first contact", 5, remove(1), {}},
        {"deletion of contact 2", 5, remove(2), {}},
        {"deletion of the last contact", 5, remove(5), {}},
        {"deletion of the only contact", 1, remove(1), {}},
        {"deletion with bytes past the end marker", 5, remove(2), leftover},
        // Bigger than the copy buffer: the rewrite takes several writes.
        {"deletion in a log of 15,000 contacts", 15000, remove(3), {}},
    };
}

class CrashSafetyTest : public ::testing::Test
{
  protected:
    std::filesystem::path makeLog(const Case &c)
    {
        const auto path = m_dir.file("F6ABC.Ham");
        test::writeLog(path, c.contacts, kLocator);
        if (c.reversed) {
            std::string bytes;
            for (std::int64_t i = c.contacts; i >= 1; --i) {
                QsoRecord contact = makeContact(i);
                contact.setField(Field::DQSO, std::to_string(10 + i % 18) + "/02/03");
                bytes += recordBytes(contact);
            }
            test::writeBytes(path, bytes + recordBytes(QsoRecord::endMarker(kLocator)));
        }
        if (!c.tail.empty())
            test::writeBytes(path, fileBytes(path) + c.tail);
        return path;
    }

    /** The log's bytes after the operation runs to its end. */
    std::string bytesAfter(const Case &c)
    {
        const auto path = makeLog(c);
        LogFile log;
        EXPECT_EQ(log.open(path), LogStatus::Ok);
        EXPECT_EQ(c.operation(log), LogStatus::Ok) << c.name;
        log.close();
        return fileBytes(path);
    }

    /** Only the log is left in its folder. */
    void expectNoTemporaryFile()
    {
        std::size_t entries = 0;
        for ([[maybe_unused]] const auto &entry : std::filesystem::directory_iterator(m_dir.path()))
            ++entries;
        EXPECT_EQ(entries, 1u);
    }

    TempDir m_dir;
    HookGuard m_guard;
};

} // namespace

TEST_F(CrashSafetyTest, KilledAfterAnyWriteTheLogOpensAsBeforeOrAsAfter)
{
    for (const Case &c : cases()) {
        SCOPED_TRACE(c.name);
        const auto path = makeLog(c);
        const std::string before = fileBytes(path);
        const LogView viewBefore = viewOf(path);
        const std::string after = bytesAfter(c);
        test::writeBytes(path, after);
        const LogView viewAfter = viewOf(path);
        ASSERT_NE(viewBefore, viewAfter);

        bool finished = false;
        long killPoint = 1;
        for (; !finished && killPoint < 100; ++killPoint) {
            test::writeBytes(path, before);
            finished = runKilledBefore(path, killPoint, c.operation);
            const LogView view = viewOf(path);
            EXPECT_TRUE(view == viewBefore || view == viewAfter)
                << "killed before file operation " << killPoint << ": " << describe(view);
            // What a killed rewrite leaves beside the log goes at the next start.
            SafeFileWriter::removeLeftovers(path);
            expectNoTemporaryFile();
        }
        EXPECT_TRUE(finished);
        EXPECT_GT(killPoint, 2) << "the operation wrote nothing";
        // Run to its end, it gives what it gives in this process, byte for byte.
        EXPECT_EQ(fileBytes(path), after);
    }
}

TEST_F(CrashSafetyTest, AFailedWriteIsReportedAndLeavesTheLogWhole)
{
    for (const Case &c : cases()) {
        for (const int error : {EIO, ENOSPC}) {
            SCOPED_TRACE(std::string(c.name) + (error == EIO ? ", EIO" : ", ENOSPC"));
            const auto path = makeLog(c);
            const std::string before = fileBytes(path);
            const LogView viewBefore = viewOf(path);
            const LogView viewAfter = [&] {
                test::writeBytes(path, bytesAfter(c));
                return viewOf(path);
            }();

            bool finished = false;
            for (long failing = 1; !finished && failing < 100; ++failing) {
                test::writeBytes(path, before);
                LogFile log;
                ASSERT_EQ(log.open(path), LogStatus::Ok);
                // Writes fail, not the opening of a log, which would close it and
                // leave nothing to check but the file.
                long writes = 0;
                fileio::setHook([failing, error, &writes](fileio::Operation op, long) {
                    if (op == fileio::Operation::Open)
                        return 0;
                    return ++writes == failing ? error : 0;
                });
                const LogStatus status = c.operation(log);
                fileio::setHook({});
                finished = status == LogStatus::Ok;
                const LogView view = viewOf(path);
                EXPECT_TRUE(view == viewBefore || view == viewAfter)
                    << "operation " << failing << " failed: " << describe(view);
                // A failure never passes for success: the log did not change, or
                // the failure came after the change (its sync) and was still told.
                if (!finished) {
                    EXPECT_EQ(status, error == EIO ? LogStatus::IoError : LogStatus::DiskFull);
                }
                // The open log knows what the file holds, and keeps working.
                EXPECT_EQ(static_cast<std::size_t>(log.recordCount()), view.contacts.size());
                EXPECT_EQ(log.appendContact(makeContact(1000), kLocator), LogStatus::Ok);
                EXPECT_EQ(viewOf(path).contacts.size(), view.contacts.size() + 1);
                log.close();
                expectNoTemporaryFile();
            }
            EXPECT_TRUE(finished);
        }
    }
}

TEST_F(CrashSafetyTest, ConfigurationKilledAfterAnyWriteIsOldOrNew)
{
    const auto file = m_dir.file("RozOvo.cfg");
    const Configuration oldConfig = makeConfiguration("F6ABC", "JN18EU");
    const Configuration newConfig = makeConfiguration("F6ABC", "IN88GS");
    bool finished = false;
    for (long killPoint = 1; !finished && killPoint < 50; ++killPoint) {
        ASSERT_TRUE(writeConfiguration(file, oldConfig));
        std::fflush(nullptr);
        const pid_t pid = ::fork();
        if (pid == 0) {
            fileio::setHook([killPoint](fileio::Operation, long n) {
                if (n >= killPoint)
                    ::raise(SIGKILL);
                return 0;
            });
            ::_exit(writeConfiguration(file, newConfig) ? 0 : 3);
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
        finished = WIFEXITED(status) && WEXITSTATUS(status) == 0;
        const ConfigReadResult read = readConfiguration(file);
        ASSERT_EQ(read.status, ConfigStatus::Ok) << "killed before operation " << killPoint;
        EXPECT_TRUE(read.config == oldConfig || read.config == newConfig);
        if (finished) {
            EXPECT_EQ(read.config, newConfig);
        }
        SafeFileWriter::removeLeftovers(file);
        expectNoTemporaryFile();
    }
    EXPECT_TRUE(finished);
}

TEST_F(CrashSafetyTest, BackupKilledAfterAnyWriteLeavesTheOldBackupOrTheNew)
{
    const auto log = m_dir.file("F6ABC.Ham");
    test::writeLog(log, 2000, kLocator);
    const std::filesystem::path folder = backupFolder(m_dir.path());
    ASSERT_EQ(ensureFolder(folder), LogStatus::Ok);
    const auto backup = folder / "F6ABC.Ham";
    const std::string older = [&] {
        test::writeLog(backup, 3, kLocator);
        return fileBytes(backup);
    }();
    const std::string newer = fileBytes(log);

    bool finished = false;
    long killPoint = 1;
    for (; !finished && killPoint < 100; ++killPoint) {
        test::writeBytes(backup, older);
        finished = runKilledBefore(log, killPoint, [&backup](LogFile &open) {
            return copyLog(open.path(), backup, kLocator).ok() ? LogStatus::Ok : LogStatus::IoError;
        });
        const std::string left = fileBytes(backup);
        EXPECT_TRUE(left == older || left == newer) << "killed before file operation " << killPoint;
        // The next start cleans the backup folder as it cleans the log's.
        removeBackupLeftovers(m_dir.path());
        std::size_t entries = 0;
        for ([[maybe_unused]] const auto &entry : std::filesystem::directory_iterator(folder))
            ++entries;
        EXPECT_EQ(entries, 1u) << "killed before file operation " << killPoint;
    }
    EXPECT_TRUE(finished);
    EXPECT_GT(killPoint, 3);
    EXPECT_EQ(fileBytes(backup), newer);
    EXPECT_EQ(fileBytes(log), newer);
}
