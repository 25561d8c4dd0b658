// SPDX-License-Identifier: GPL-3.0-or-later
#include "logbook/fileio.h"
#include "logbook/logfile.h"

#include "common/filesizelimit.h"

#include "logfixture.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace ondelog;
using ondelog::test::fileBytes;
using ondelog::test::FileSizeLimit;
using ondelog::test::makeContact;
using ondelog::test::recordBytes;
using ondelog::test::TempDir;

namespace {

constexpr const char *kLocator = "JN18EU";

std::string blankRecord()
{
    return std::string(kRecordSize, ' ');
}

std::string markerRecord()
{
    return recordBytes(QsoRecord::endMarker(kLocator));
}

/** The file as a list of whole records. */
std::vector<std::string> recordsOf(const std::filesystem::path &path)
{
    const std::string bytes = fileBytes(path);
    std::vector<std::string> records;
    for (std::size_t at = 0; at + kRecordSize <= bytes.size(); at += kRecordSize)
        records.push_back(bytes.substr(at, kRecordSize));
    return records;
}

class LogFileTest : public ::testing::Test
{
  protected:
    std::filesystem::path logWith(std::int64_t contacts)
    {
        const auto path = m_dir.file("F6ABC.Ham");
        test::writeLog(path, contacts, kLocator);
        return path;
    }

    TempDir m_dir;
};

} // namespace

TEST_F(LogFileTest, NewLogIsTheEndMarkerAlone)
{
    const auto path = m_dir.file("F6ABC.Ham");
    // The new log's name reaches the disk too: its folder is synced after it.
    std::vector<fileio::Operation> operations;
    fileio::setHook([&operations](fileio::Operation op, long) {
        operations.push_back(op);
        return 0;
    });
    ASSERT_EQ(LogFile::create(path, kLocator), LogStatus::Ok);
    fileio::setHook({});
    EXPECT_EQ(operations,
              (std::vector<fileio::Operation>{fileio::Operation::Open, fileio::Operation::Write,
                                              fileio::Operation::Sync, fileio::Operation::Sync}));
    EXPECT_EQ(fileBytes(path), markerRecord());

    LogFile log;
    ASSERT_EQ(log.open(path), LogStatus::Ok);
    EXPECT_TRUE(log.isOpen());
    EXPECT_FALSE(log.isReadOnly());
    EXPECT_EQ(log.path(), path);
    EXPECT_EQ(log.recordCount(), 0);
    EXPECT_EQ(log.endMarkerLocator(), std::optional<std::string>(kLocator));

    // A second creation never replaces a log that exists.
    ASSERT_EQ(log.appendContact(makeContact(1), kLocator), LogStatus::Ok);
    const std::string before = fileBytes(path);
    EXPECT_EQ(LogFile::create(path, "IO91WM"), LogStatus::IoError);
    EXPECT_EQ(fileBytes(path), before);

    EXPECT_EQ(LogFile::create(m_dir.file("nowhere") / "X.Ham", kLocator), LogStatus::NotFound);
}

TEST_F(LogFileTest, AppendWritesTheContactOverTheMarkerAndAMarkerAfterIt)
{
    const auto path = logWith(0);
    LogFile log;
    ASSERT_EQ(log.open(path), LogStatus::Ok);
    for (int i = 1; i <= 3; ++i) {
        ASSERT_EQ(log.appendContact(makeContact(i), "IO91WM"), LogStatus::Ok);
        EXPECT_EQ(log.recordCount(), i);
    }
    const auto records = recordsOf(path);
    ASSERT_EQ(records.size(), 4u);
    for (int i = 1; i <= 3; ++i)
        EXPECT_EQ(records[i - 1], recordBytes(makeContact(i)));
    EXPECT_EQ(records[3], recordBytes(QsoRecord::endMarker("IO91WM")));
    EXPECT_EQ(log.endMarkerLocator(), std::optional<std::string>("IO91WM"));

    // The file on disk is the truth: a fresh handle counts the same.
    LogFile again;
    ASSERT_EQ(again.open(path), LogStatus::Ok);
    EXPECT_EQ(again.recordCount(), 3);
}

TEST_F(LogFileTest, AppendToALogWithoutMarkerGivesItOneAgain)
{
    const auto path = m_dir.file("F6ABC.Ham");
    // Two contacts and the start of a third: the end marker was never written.
    test::writeBytes(path, recordBytes(makeContact(1)) + recordBytes(makeContact(2)) + "F6XYZ");
    LogFile log;
    ASSERT_EQ(log.open(path), LogStatus::Ok);
    ASSERT_EQ(log.recordCount(), 2);
    ASSERT_EQ(log.appendContact(makeContact(3), kLocator), LogStatus::Ok);
    EXPECT_EQ(log.recordCount(), 3);
    const auto records = recordsOf(path);
    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(records[2], recordBytes(makeContact(3)));
    EXPECT_EQ(records[3], markerRecord());
}

TEST_F(LogFileTest, DeleteShiftsDownAndNeverShrinksTheFile)
{
    struct Row
    {
        int contacts;
        int k;
    };
    // First, middle, last, the only one, and shifts longer than one chunk.
    const Row rows[] = {{5, 1}, {5, 3}, {5, 5}, {1, 1}, {1000, 2}, {1000, 397}, {1000, 999}};
    for (const Row &row : rows) {
        SCOPED_TRACE("N=" + std::to_string(row.contacts) + " k=" + std::to_string(row.k));
        const auto path = logWith(row.contacts);
        const auto sizeBefore = std::filesystem::file_size(path);
        LogFile log;
        ASSERT_EQ(log.open(path), LogStatus::Ok);
        ASSERT_EQ(log.deleteRecord(row.k, kLocator), LogStatus::Ok);
        EXPECT_EQ(log.recordCount(), row.contacts - 1);
        EXPECT_EQ(std::filesystem::file_size(path), sizeBefore);

        const auto records = recordsOf(path);
        ASSERT_EQ(records.size(), static_cast<std::size_t>(row.contacts + 1));
        for (int n = 1; n < row.contacts; ++n) {
            const int was = n < row.k ? n : n + 1;
            ASSERT_EQ(records[n - 1], recordBytes(makeContact(was))) << "record " << n;
        }
        EXPECT_EQ(records[row.contacts - 1], markerRecord());
        EXPECT_EQ(records[row.contacts], blankRecord());
    }
}

TEST_F(LogFileTest, DeleteThenAppendReusesThePlace)
{
    const auto path = logWith(3);
    LogFile log;
    ASSERT_EQ(log.open(path), LogStatus::Ok);
    ASSERT_EQ(log.deleteRecord(3, kLocator), LogStatus::Ok);
    ASSERT_EQ(log.appendContact(makeContact(9), kLocator), LogStatus::Ok);
    const auto records = recordsOf(path);
    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(records[2], recordBytes(makeContact(9)));
    EXPECT_EQ(records[3], markerRecord());
    EXPECT_EQ(log.recordCount(), 3);
}

TEST_F(LogFileTest, WrongRecordNumbersChangeNothing)
{
    const auto path = logWith(3);
    const std::string before = fileBytes(path);
    LogFile log;
    ASSERT_EQ(log.open(path), LogStatus::Ok);
    EXPECT_EQ(log.deleteRecord(0, kLocator), LogStatus::OutOfRange);
    EXPECT_EQ(log.deleteRecord(4, kLocator), LogStatus::OutOfRange);
    EXPECT_EQ(log.writeRecord(0, makeContact(1)), LogStatus::OutOfRange);
    EXPECT_EQ(log.writeRecord(-5, makeContact(1)), LogStatus::OutOfRange);
    EXPECT_EQ(fileBytes(path), before);

    EXPECT_FALSE(log.readRecord(0));
    EXPECT_FALSE(log.readRecord(5)); // past the end
    EXPECT_EQ(log.lastStatus(), LogStatus::OutOfRange);
    ASSERT_TRUE(log.readRecord(4));
    EXPECT_TRUE(log.readRecord(4)->isEndMarker());
    EXPECT_EQ(log.lastStatus(), LogStatus::Ok);
}

TEST_F(LogFileTest, WriteRecordRewritesInPlaceOrExtends)
{
    const auto path = logWith(2);
    LogFile log;
    ASSERT_EQ(log.open(path), LogStatus::Ok);
    ASSERT_EQ(log.writeRecord(1, makeContact(7)), LogStatus::Ok);
    EXPECT_EQ(log.readRecord(1), makeContact(7));
    EXPECT_EQ(log.recordCount(), 2);

    // Beyond N + 1 the file grows; the records in between read as zero bytes
    // but are past the end marker, so not part of the log.
    ASSERT_EQ(log.writeRecord(6, makeContact(6)), LogStatus::Ok);
    EXPECT_EQ(std::filesystem::file_size(path), 6 * kRecordSize);
    EXPECT_EQ(log.countRecords(), 2);
}

TEST_F(LogFileTest, CountingStopsAtTheFirstMarkerOrAtTheLastWholeRecord)
{
    struct Row
    {
        std::string name;
        std::string bytes;
        std::int32_t count;
        bool marker;
    };
    const std::string c1 = recordBytes(makeContact(1));
    const std::string c2 = recordBytes(makeContact(2));
    QsoRecord spaced = QsoRecord::endMarker("");
    spaced.setField(Field::CSGN, "      \\");
    QsoRecord notMarker = makeContact(3);
    notMarker.setField(Field::CSGN, "\\F6ABC");
    const Row rows[] = {
        {"empty file", "", 0, false},
        {"marker alone", markerRecord(), 0, true},
        {"no marker", c1 + c2, 2, false},
        {"no marker, partial record", c1 + c2 + c1.substr(0, 100), 2, false},
        {"partial marker", c1 + markerRecord().substr(0, 164), 1, false},
        {"shorter than a record", c1.substr(0, 50), 0, false},
        {"data after the marker", c1 + markerRecord() + c2 + markerRecord(), 1, true},
        {"marker padded on both sides", c1 + recordBytes(spaced), 1, true},
        {"backslash call sign is not a marker", c1 + recordBytes(notMarker) + markerRecord(), 2,
         true},
        {"blank records count", c1 + blankRecord() + markerRecord(), 2, true},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const auto path = m_dir.file("count.Ham");
        test::writeBytes(path, row.bytes);
        LogFile log;
        ASSERT_EQ(log.open(path), LogStatus::Ok);
        EXPECT_EQ(log.recordCount(), row.count);
        EXPECT_EQ(log.endMarkerLocator().has_value(), row.marker);
    }
}

TEST_F(LogFileTest, CountingIsRightAroundReadChunkBoundaries)
{
    for (std::int64_t n : {396, 397, 398, 793, 794, 795}) {
        SCOPED_TRACE(n);
        const auto path = logWith(n);
        LogFile log;
        ASSERT_EQ(log.open(path), LogStatus::Ok);
        EXPECT_EQ(log.recordCount(), n);
        EXPECT_TRUE(log.endMarkerLocator());

        // The same file without its marker, and with a partial record instead.
        std::string bytes = fileBytes(path);
        bytes.resize(bytes.size() - kRecordSize);
        test::writeBytes(path, bytes + "F6");
        EXPECT_EQ(log.countRecords(), n);
        EXPECT_FALSE(log.endMarkerLocator());
    }
}

TEST_F(LogFileTest, LogsBeyond32767ContactsWork)
{
    const auto path = logWith(100000);
    LogFile log;
    ASSERT_EQ(log.open(path), LogStatus::Ok);
    EXPECT_EQ(log.recordCount(), 100000);
    EXPECT_EQ(log.readRecord(32768), makeContact(32768));
    EXPECT_EQ(log.readRecord(100000), makeContact(100000));
    EXPECT_TRUE(log.readRecord(100001)->isEndMarker());

    ASSERT_EQ(log.appendContact(makeContact(100001), kLocator), LogStatus::Ok);
    EXPECT_EQ(log.recordCount(), 100001);
    ASSERT_EQ(log.deleteRecord(1, kLocator), LogStatus::Ok);
    EXPECT_EQ(log.recordCount(), 100000);
    EXPECT_EQ(log.readRecord(1), makeContact(2));
    EXPECT_EQ(log.readRecord(50000), makeContact(50001));
    EXPECT_EQ(log.readRecord(100000), makeContact(100001));
    EXPECT_TRUE(log.readRecord(100001)->isEndMarker());
    EXPECT_EQ(log.readRecord(100002), QsoRecord());
}

namespace {

void expectWritesRefused(LogFile &log, const std::filesystem::path &path)
{
    const std::string before = fileBytes(path);
    EXPECT_TRUE(log.isReadOnly());
    EXPECT_EQ(log.recordCount(), 3);
    EXPECT_EQ(log.readRecord(2), makeContact(2));
    EXPECT_EQ(log.writeRecord(1, makeContact(9)), LogStatus::ReadOnly);
    EXPECT_EQ(log.writeEndMarker(4, kLocator), LogStatus::ReadOnly);
    EXPECT_EQ(log.appendContact(makeContact(9), kLocator), LogStatus::ReadOnly);
    EXPECT_EQ(log.deleteRecord(1, kLocator), LogStatus::ReadOnly);
    EXPECT_EQ(log.lastStatus(), LogStatus::ReadOnly);
    EXPECT_EQ(log.recordCount(), 3);
    EXPECT_EQ(fileBytes(path), before);
}

} // namespace

TEST_F(LogFileTest, ReadOnlyLogRefusesEveryWrite)
{
    const auto path = logWith(3);
    LogFile log;
    ASSERT_EQ(log.openReadOnly(path), LogStatus::Ok);
    expectWritesRefused(log, path);
}

TEST_F(LogFileTest, FileWithoutWritePermissionOpensReadOnly)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "running as root: file permissions are not enforced";
    const auto path = logWith(3);
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    LogFile log;
    ASSERT_EQ(log.open(path), LogStatus::Ok);
    expectWritesRefused(log, path);
}

TEST_F(LogFileTest, ALogRemovedWhileOpenRefusesWrites)
{
    const auto path = logWith(3);
    LogFile log;
    ASSERT_EQ(log.open(path), LogStatus::Ok);
    std::filesystem::remove(path);
    EXPECT_EQ(log.appendContact(makeContact(4), kLocator), LogStatus::NotFound);
    EXPECT_EQ(log.writeRecord(1, makeContact(9)), LogStatus::NotFound);
    EXPECT_EQ(log.deleteRecord(1, kLocator), LogStatus::NotFound);
}

TEST_F(LogFileTest, FailuresToOpenAreReported)
{
    LogFile log;
    EXPECT_EQ(log.open(m_dir.file("absent.Ham")), LogStatus::NotFound);
    EXPECT_FALSE(std::filesystem::exists(m_dir.file("absent.Ham"))) << "open must not create";
    EXPECT_EQ(log.openReadOnly(m_dir.file("absent.Ham")), LogStatus::NotFound);
    EXPECT_EQ(log.open(m_dir.file("no") / "folder.Ham"), LogStatus::NotFound);
    EXPECT_EQ(log.open(m_dir.path()), LogStatus::NotRegularFile); // a folder
    EXPECT_EQ(log.openReadOnly(m_dir.path()), LogStatus::NotRegularFile);
    EXPECT_FALSE(log.isOpen());

    // Opening a missing file closes the log that was open.
    ASSERT_EQ(log.open(logWith(2)), LogStatus::Ok);
    EXPECT_EQ(log.open(m_dir.file("absent.Ham")), LogStatus::NotFound);
    EXPECT_FALSE(log.isOpen());
    EXPECT_TRUE(log.path().empty());
    EXPECT_EQ(log.recordCount(), 0);
}

TEST_F(LogFileTest, ClosedLogDoesNothing)
{
    LogFile log;
    EXPECT_EQ(log.countRecords(), 0);
    EXPECT_EQ(log.lastStatus(), LogStatus::NotOpen);
    EXPECT_FALSE(log.readRecord(1));
    EXPECT_EQ(log.writeRecord(1, makeContact(1)), LogStatus::NotOpen);
    EXPECT_EQ(log.appendContact(makeContact(1), kLocator), LogStatus::NotOpen);
    EXPECT_EQ(log.deleteRecord(1, kLocator), LogStatus::NotOpen);

    ASSERT_EQ(log.open(logWith(1)), LogStatus::Ok);
    log.close();
    EXPECT_FALSE(log.isOpen());
    EXPECT_EQ(log.writeEndMarker(1, kLocator), LogStatus::NotOpen);
}

TEST_F(LogFileTest, CallSignThatWouldEndTheLogIsRefused)
{
    const auto path = logWith(2);
    const std::string before = fileBytes(path);
    LogFile log;
    ASSERT_EQ(log.open(path), LogStatus::Ok);
    for (const char *call : {"\\", " \\", "\\F6ABC"}) {
        QsoRecord contact = makeContact(3);
        contact.setField(Field::CSGN, call);
        EXPECT_EQ(log.appendContact(contact, kLocator), LogStatus::InvalidRecord) << call;
    }
    EXPECT_EQ(fileBytes(path), before);
    EXPECT_EQ(log.recordCount(), 2);
}

TEST_F(LogFileTest, FullDiskLeavesTheLogAsItWas)
{
    const auto path = logWith(3);
    const std::string before = fileBytes(path);
    LogFile log;
    ASSERT_EQ(log.open(path), LogStatus::Ok);

    // No room at all, then room for part of a record only.
    for (rlim_t room : {rlim_t{0}, rlim_t{100}}) {
        SCOPED_TRACE(room);
        {
            FileSizeLimit limit(before.size() + room);
            ASSERT_TRUE(limit.ok());
            EXPECT_EQ(log.appendContact(makeContact(4), kLocator), LogStatus::DiskFull);
        }
        EXPECT_EQ(fileBytes(path), before);
        EXPECT_EQ(log.countRecords(), 3);
    }
    {
        // Creating a log on a full disk leaves no file that would block a retry.
        FileSizeLimit limit(0);
        EXPECT_EQ(LogFile::create(m_dir.file("new.Ham"), kLocator), LogStatus::DiskFull);
    }
    EXPECT_FALSE(std::filesystem::exists(m_dir.file("new.Ham")));

    ASSERT_EQ(log.appendContact(makeContact(4), kLocator), LogStatus::Ok);
    EXPECT_EQ(log.recordCount(), 4);
}

TEST(LogStatusMessages, EveryFailureHasAFrenchSentence)
{
    EXPECT_EQ(statusMessageUtf8(LogStatus::Ok), "");
    for (LogStatus s : {LogStatus::NotOpen, LogStatus::NotFound, LogStatus::AccessDenied,
                        LogStatus::ReadOnly, LogStatus::DiskFull, LogStatus::OutOfRange,
                        LogStatus::IoError, LogStatus::InvalidRecord}) {
        const std::string text = statusMessageUtf8(s);
        EXPECT_NE(text, "Erreur inconnue.");
        EXPECT_EQ(text.back(), '.') << text;
    }
}

TEST_F(LogFileTest, AnyBytesOpenCountAndReadWithoutHarm)
{
    const test::SkipDiskSyncs fast;
    std::mt19937 random(20240607);
    const auto path = m_dir.file("fuzz.Ham");

    auto check = [&](const std::string &bytes) {
        test::writeBytes(path, bytes);
        LogFile log;
        ASSERT_EQ(log.open(path), LogStatus::Ok);
        const std::int32_t n = log.recordCount();
        // Oracle: the first whole record that is an end marker, else all of them.
        std::int32_t expected = 0;
        bool marker = false;
        for (std::size_t at = 0; at + kRecordSize <= bytes.size(); at += kRecordSize) {
            QsoRecord r;
            std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(at), kRecordSize,
                        r.bytes().begin());
            if (r.isEndMarker()) {
                marker = true;
                break;
            }
            ++expected;
        }
        ASSERT_EQ(n, expected);
        EXPECT_EQ(log.endMarkerLocator().has_value(), marker);
        for (std::int32_t i = 1; i <= n + 2; ++i) {
            const auto r = log.readRecord(i);
            EXPECT_EQ(r.has_value(), static_cast<std::size_t>(i) * kRecordSize <= bytes.size());
        }
        // Whatever the file held before, the store leaves it a sound log.
        if (n > 0) {
            ASSERT_EQ(log.deleteRecord(1, kLocator), LogStatus::Ok);
            EXPECT_EQ(log.recordCount(), n - 1);
        }
        ASSERT_EQ(log.appendContact(makeContact(1), kLocator), LogStatus::Ok);
        EXPECT_EQ(log.recordCount(), std::max(n, 1));
        EXPECT_EQ(log.readRecord(log.recordCount()), makeContact(1));
        EXPECT_TRUE(log.readRecord(log.recordCount() + 1)->isEndMarker());
    };

    // Random bytes, rich in the two characters the count looks at.
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<std::size_t> length(0, 4000);
    for (int round = 0; round < 300; ++round) {
        std::string bytes(length(random), ' ');
        for (char &c : bytes) {
            const int b = byte(random);
            c = b < 200 ? ' ' : b < 215 ? '\\' : static_cast<char>(byte(random));
        }
        check(bytes);
    }

    // Every truncation of a valid log, and a few with random damage.
    test::writeLog(path, 5, kLocator);
    const std::string valid = fileBytes(path);
    for (std::size_t size = 0; size <= valid.size(); ++size)
        check(valid.substr(0, size));
    std::uniform_int_distribution<std::size_t> place(0, valid.size() - 1);
    for (int round = 0; round < 200; ++round) {
        std::string damaged = valid;
        for (int k = 0; k < 4; ++k)
            damaged[place(random)] = static_cast<char>(byte(random));
        check(damaged);
    }
}

TEST_F(LogFileTest, ModificationRewritesOneContactAndRefusesWhatWouldBreakTheLog)
{
    const auto path = logWith(3);
    LogFile log;
    ASSERT_EQ(log.open(path), LogStatus::Ok);
    const std::string before = fileBytes(path);
    QsoRecord endsTheLog = makeContact(2);
    endsTheLog.setField(Field::CSGN, "\\");
    struct Row
    {
        std::int32_t k;
        QsoRecord record;
        LogStatus expected;
    };
    for (const Row &row : {Row{0, makeContact(9), LogStatus::OutOfRange},
                           Row{4, makeContact(9), LogStatus::OutOfRange}, // the end marker
                           Row{2, endsTheLog, LogStatus::InvalidRecord}}) {
        SCOPED_TRACE(row.k);
        EXPECT_EQ(log.replaceContact(row.k, row.record), row.expected);
        EXPECT_EQ(fileBytes(path), before);
    }
    ASSERT_EQ(log.replaceContact(2, makeContact(22)), LogStatus::Ok);
    EXPECT_EQ(recordsOf(path)[1], recordBytes(makeContact(22)));
    EXPECT_EQ(log.recordCount(), 3);
}

TEST_F(LogFileTest, DeletionFollowsTheNewFileAndKeepsItsPermissions)
{
    const auto path = logWith(4);
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    LogFile log;
    ASSERT_EQ(log.open(path), LogStatus::Ok);
    ASSERT_EQ(log.deleteRecord(2, kLocator), LogStatus::Ok);
    // Later writes reach the file now at the path, not the one replaced.
    ASSERT_EQ(log.appendContact(makeContact(5), kLocator), LogStatus::Ok);
    ASSERT_EQ(log.replaceContact(1, makeContact(11)), LogStatus::Ok);
    const auto records = recordsOf(path);
    ASSERT_EQ(records.size(), 5u);
    EXPECT_EQ(records[0], recordBytes(makeContact(11)));
    EXPECT_EQ(records[1], recordBytes(makeContact(3)));
    EXPECT_EQ(records[3], recordBytes(makeContact(5)));
    EXPECT_EQ(records[4], markerRecord());
    EXPECT_EQ(std::filesystem::status(path).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                  std::filesystem::perms::group_read);
}

TEST_F(LogFileTest, ReadOnlyOpeningSaysWhy)
{
    // The refusals a read-only medium or missing rights would give, made by the
    // file seam: tests run as root, where permissions are not enforced.
    struct Row
    {
        const char *name;
        long refused; // 1: opening the file for writing, 2: writing in its folder
        int error;
        ReadOnlyCause cause;
    };
    for (const Row &row :
         {Row{"read-only medium", 1, EROFS, ReadOnlyCause::ReadOnlyMedium},
          Row{"file not writable", 1, EACCES, ReadOnlyCause::FileNotWritable},
          Row{"folder not writable", 2, EACCES, ReadOnlyCause::FolderNotWritable},
          Row{"folder on read-only medium", 2, EROFS, ReadOnlyCause::ReadOnlyMedium},
          Row{"writable", 0, 0, ReadOnlyCause::None}}) {
        SCOPED_TRACE(row.name);
        const auto path = logWith(2);
        LogFile log;
        fileio::setHook([&row](fileio::Operation op, long n) {
            return op == fileio::Operation::Open && n == row.refused ? row.error : 0;
        });
        const LogStatus status = log.open(path);
        fileio::setHook({});
        ASSERT_EQ(status, LogStatus::Ok);
        EXPECT_EQ(log.recordCount(), 2);
        EXPECT_EQ(log.readOnlyCause(), row.cause);
        EXPECT_EQ(log.isReadOnly(), row.cause != ReadOnlyCause::None);
        if (row.cause != ReadOnlyCause::None) {
            EXPECT_EQ(log.appendContact(makeContact(3), kLocator), LogStatus::ReadOnly);
            EXPECT_FALSE(readOnlyCauseUtf8(row.cause).empty());
        }
    }
    LogFile log;
    ASSERT_EQ(log.openReadOnly(logWith(1)), LogStatus::Ok);
    EXPECT_EQ(log.readOnlyCause(), ReadOnlyCause::None); // asked for, nothing to explain
}

TEST_F(LogFileTest, DamageIsNamedAndNothingIsChanged)
{
    const std::string contact = recordBytes(makeContact(1));
    std::string withNul = recordBytes(makeContact(2));
    withNul[3] = '\0';
    std::string withLineBreak = recordBytes(makeContact(3));
    withLineBreak[70] = '\n';
    struct Row
    {
        const char *name;
        std::string bytes;
        LogDamage expected;
        const char *words; // in the warning
    };
    const std::vector<Row> rows = {
        {"sound", contact + markerRecord(), {}, ""},
        {"sound, odd bytes past the marker", contact + markerRecord() + withNul, {}, ""},
        {"no end marker", contact + contact, {true, 0, 0, 0}, "fiche de fin"},
        {"partial last record", contact + markerRecord() + "F6", {false, 2, 0, 0}, "2 octets"},
        {"cut in a record", contact + contact.substr(0, 100), {true, 100, 0, 0}, "incompl"},
        {"control bytes",
         contact + withNul + withLineBreak + markerRecord(),
         {false, 0, 2, 2},
         "2 fiches contiennent des caract\xC3\xA8res de contr\xC3\xB4le"},
        {"one record with a line break",
         withLineBreak + markerRecord(),
         {false, 0, 1, 1},
         "la fiche N\xC2\xB0 1 contient"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const auto path = m_dir.file("F6ABC.Ham");
        test::writeBytes(path, row.bytes);
        LogFile log;
        ASSERT_EQ(log.open(path), LogStatus::Ok);
        const LogDamage damage = log.inspect();
        EXPECT_EQ(damage.missingEndMarker, row.expected.missingEndMarker);
        EXPECT_EQ(damage.partialBytes, row.expected.partialBytes);
        EXPECT_EQ(damage.controlRecords, row.expected.controlRecords);
        EXPECT_EQ(damage.firstControlRecord, row.expected.firstControlRecord);
        const std::string text = damageMessageUtf8(damage);
        EXPECT_EQ(text.empty(), !damage.any());
        EXPECT_NE(text.find(row.words), std::string::npos) << text;
        if (damage.any()) {
            EXPECT_NE(text.find("sauvegarde"), std::string::npos);
        }
        EXPECT_EQ(fileBytes(path), row.bytes);
    }
}

TEST_F(LogFileTest, SeveralContactsJoinTheLogTogetherOrNotAtAll)
{
    const auto path = logWith(2);
    LogFile log;
    ASSERT_EQ(log.open(path), LogStatus::Ok);
    const std::vector<QsoRecord> three = {makeContact(3), makeContact(4), makeContact(5)};
    const std::string before = fileBytes(path);

    // Each write that could fail, failing: the log reads as it was every time.
    for (long failing = 1; failing <= 2; ++failing) {
        SCOPED_TRACE(failing);
        fileio::setHook([failing](fileio::Operation op, long ordinal) {
            return op == fileio::Operation::Write && ordinal == failing ? EIO : 0;
        });
        EXPECT_EQ(log.appendContacts(three, kLocator), LogStatus::IoError);
        fileio::setHook({});
        LogFile reread;
        ASSERT_EQ(reread.open(path), LogStatus::Ok);
        EXPECT_EQ(reread.recordCount(), 2);
        EXPECT_EQ(fileBytes(path).substr(0, 3 * kRecordSize), before.substr(0, 3 * kRecordSize));
    }
    QsoRecord ending = makeContact(6);
    ending.setField(Field::CSGN, "\\");
    const std::string afterFailures = fileBytes(path);
    EXPECT_EQ(log.appendContacts(std::vector{makeContact(3), ending}, kLocator),
              LogStatus::InvalidRecord);
    EXPECT_EQ(fileBytes(path), afterFailures);

    int syncs = 0;
    fileio::setHook([&syncs](fileio::Operation op, long) {
        syncs += op == fileio::Operation::Sync;
        return 0;
    });
    ASSERT_EQ(log.appendContacts(three, kLocator), LogStatus::Ok);
    fileio::setHook({});
    EXPECT_EQ(syncs, 1);
    EXPECT_EQ(log.recordCount(), 5);
    const std::vector<std::string> records = recordsOf(path);
    ASSERT_GE(records.size(), 6u);
    for (int i = 3; i <= 5; ++i)
        EXPECT_EQ(records[i - 1], recordBytes(makeContact(i)));
    EXPECT_EQ(records[5], markerRecord());
    EXPECT_EQ(log.appendContacts({}, kLocator), LogStatus::Ok);
    EXPECT_EQ(log.recordCount(), 5);
}

// Whoever shows figures of the log hears of every change, whatever command
// made it, once per operation and with the log already counted again.
TEST_F(LogFileTest, TheListenerHearsOfEveryChangeOnceCounted)
{
    const auto path = logWith(3);
    const auto other = m_dir.file("TM5X.Ham");
    test::writeLog(other, 2, kLocator);
    QsoRecord ending = makeContact(9);
    ending.setField(Field::CSGN, "\\");

    std::vector<std::int32_t> heard; // the count each call found
    {
        LogFile log;
        log.setChangeListener([&] { heard.push_back(log.recordCount()); });
        const std::vector<QsoRecord> two = {makeContact(5), makeContact(6)};
        const struct
        {
            const char *what;
            std::function<void()> run;
            std::vector<std::int32_t> heard;
        } steps[] = {
            {"opened", [&] { log.open(path); }, {3}},
            {"one contact added", [&] { log.appendContact(makeContact(4), kLocator); }, {4}},
            {"two added at once", [&] { log.appendContacts(two, kLocator); }, {6}},
            {"one replaced", [&] { log.replaceContact(2, makeContact(8)); }, {6}},
            {"one deleted (a rewrite inside)", [&] { log.deleteRecord(1, kLocator); }, {5}},
            {"a record written", [&] { log.writeRecord(1, makeContact(1)); }, {5}},
            // Refused before anything was written: heard all the same, harmlessly.
            {"a refused append", [&] { log.appendContact(ending, kLocator); }, {5}},
            {"reading only",
             [&] {
                 log.readRecord(1);
                 log.countRecords();
                 log.inspect();
                 log.sync();
             },
             {}},
            {"another log opened over it", [&] { log.openReadOnly(other); }, {2}},
            {"closed", [&] { log.close(); }, {0}},
            {"closed again", [&] { log.close(); }, {}},
            {"opened at last", [&] { log.open(path); }, {5}},
        };
        for (const auto &step : steps) {
            SCOPED_TRACE(step.what);
            heard.clear();
            step.run();
            EXPECT_EQ(heard, step.heard);
        }
        heard.clear();
    }
    // Its owner may be half gone when the log is destroyed.
    EXPECT_TRUE(heard.empty());
}
