// SPDX-License-Identifier: GPL-3.0-or-later
// Backups and copies: the copy is the log exactly, whatever stood at the
// destination before, and every failure is told while the log stays untouched.

#include "logbook/logfile.h"
#include "logbook/logfixture.h"
#include "maintenance/logcopy.h"

#include <gtest/gtest.h>

#include <functional>

#include <sys/stat.h>

using namespace ondelog;
using namespace ondelog::test;

namespace {

std::string logPrefix(std::int64_t contacts, const std::string &locator = "JN18EU")
{
    std::string bytes;
    for (std::int64_t i = 1; i <= contacts; ++i)
        bytes += recordBytes(makeContact(i));
    return bytes + recordBytes(QsoRecord::endMarker(locator));
}

std::ptrdiff_t entries(const std::filesystem::path &folder)
{
    return std::distance(std::filesystem::directory_iterator(folder),
                         std::filesystem::directory_iterator());
}

} // namespace

TEST(LogCopy, TheCopyIsTheLogExactly)
{
    struct Case
    {
        const char *what;
        int contacts;
        std::string logTail;     // bytes after the log's end marker
        std::string destination; // what stood at the destination before ("" none)
    };
    const std::string stale = recordBytes(QsoRecord()) + recordBytes(makeContact(99));
    const Case cases[] = {
        {"empty log, new file", 0, "", ""},
        {"a few contacts, new file", 3, "", ""},
        {"more than one read chunk", 900, "", ""},
        {"over an older and longer backup", 3, "", logPrefix(40)},
        {"over a shorter file", 50, "", "abc"},
        {"records left behind the log's end marker stay behind", 4, stale, ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        const auto log = dir.file("F6XYZ.Ham");
        const auto copy = dir.file("copie.Ham");
        writeBytes(log, logPrefix(c.contacts) + c.logTail);
        if (!c.destination.empty())
            writeBytes(copy, c.destination);
        const std::string before = fileBytes(log);

        const CopyResult result = copyLog(log, copy, "JN18EU");
        ASSERT_TRUE(result.ok()) << copyFailureMessageUtf8(result, copy.string());
        EXPECT_EQ(result.contacts, c.contacts);
        EXPECT_EQ(fileBytes(copy), logPrefix(c.contacts));
        EXPECT_EQ(fileBytes(log), before);
        LogFile reopened;
        ASSERT_EQ(reopened.open(copy), LogStatus::Ok);
        EXPECT_EQ(reopened.recordCount(), c.contacts);
    }
}

TEST(LogCopy, ALogWithoutEndMarkerGivesACompleteCopy)
{
    TempDir dir;
    const auto log = dir.file("F6XYZ.Ham");
    const auto copy = dir.file("copie.Ham");
    std::string bytes = logPrefix(5);
    bytes.resize(5 * kRecordSize);
    writeBytes(log, bytes + "F1ABC   "); // and a piece of a record

    const CopyResult result = copyLog(log, copy, "IN98GC");
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(result.contacts, 5);
    EXPECT_EQ(fileBytes(copy), logPrefix(5, "IN98GC"));
}

TEST(LogCopy, FailuresAreToldAndTouchNothing)
{
    struct Case
    {
        const char *what;
        std::function<std::filesystem::path(const TempDir &, const std::filesystem::path &)>
            destination;
        CopyFailure failure;
    };
    const Case cases[] = {
        {"the log itself", [](const TempDir &, const auto &log) { return log; },
         CopyFailure::SameFile},
        {"a link to the log",
         [](const TempDir &d, const auto &log) {
             std::filesystem::create_symlink(log, d.file("lien.Ham"));
             return d.file("lien.Ham");
         },
         CopyFailure::SameFile},
        {"a hard link to the log",
         [](const TempDir &d, const auto &log) {
             std::filesystem::create_hard_link(log, d.file("autre.Ham"));
             return d.file("autre.Ham");
         },
         CopyFailure::SameFile},
        {"a write-protected file",
         [](const TempDir &d, const auto &) {
             writeBytes(d.file("protege.Ham"), "ancienne copie");
             ::chmod(d.file("protege.Ham").c_str(), 0444);
             return d.file("protege.Ham");
         },
         CopyFailure::WriteProtected},
        {"a folder that does not exist (no medium)",
         [](const TempDir &d, const auto &) { return d.path() / "absent" / "copie.Ham"; },
         CopyFailure::Destination},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        const auto log = dir.file("F6XYZ.Ham");
        writeLog(log, 7);
        const std::string before = fileBytes(log);
        const auto destination = c.destination(dir, log);
        const std::string destinationBefore = fileBytes(destination);
        const auto entriesBefore = entries(dir.path());

        const CopyResult result = copyLog(log, destination, "JN18EU");
        EXPECT_EQ(result.failure, c.failure);
        const std::string message = copyFailureMessageUtf8(result, destination.string());
        EXPECT_NE(message.find(destination.string()), std::string::npos) << message;
        EXPECT_EQ(fileBytes(log), before);
        EXPECT_EQ(fileBytes(destination), destinationBefore);
        EXPECT_EQ(entries(dir.path()), entriesBefore) << "a temporary file was left behind";
    }

    TempDir dir;
    const CopyResult missing = copyLog(dir.file("absent.Ham"), dir.file("copie.Ham"), "JN18EU");
    EXPECT_EQ(missing.failure, CopyFailure::LogUnreadable);
    EXPECT_FALSE(std::filesystem::exists(dir.file("copie.Ham")));
}

TEST(LogCopy, TheBackupFolderIsCreatedOnFirstUse)
{
    TempDir dir;
    const auto folder = backupFolder(dir.path() / "Ondelog");
    EXPECT_EQ(folder, dir.path() / "Ondelog" / "RidEzav");
    EXPECT_EQ(ensureFolder(folder), LogStatus::Ok);
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    EXPECT_EQ(ensureFolder(folder), LogStatus::Ok);

    writeBytes(dir.file("bouchon"), "x");
    EXPECT_NE(ensureFolder(dir.file("bouchon")), LogStatus::Ok);
    EXPECT_NE(ensureFolder(dir.file("bouchon") / "RidEzav"), LogStatus::Ok);
}

TEST(LogCopy, RemovableMediaAreTheFoldersUnderTheMountPlaces)
{
    TempDir dir;
    const auto media = dir.path() / "media";
    const auto user = media / "yves";
    const auto run = dir.path() / "run" / "media" / "yves";
    std::filesystem::create_directories(user / "CLE_USB");
    std::filesystem::create_directories(user / "CD");
    std::filesystem::create_directories(media / "cdrom");
    std::filesystem::create_directories(run / "DISQUE");
    writeBytes(media / "pas-un-dossier", "x");

    const std::vector<std::filesystem::path> expected = {user / "CD", user / "CLE_USB",
                                                         media / "cdrom", run / "DISQUE"};
    EXPECT_EQ(removableMediaFolders({user, media, run, dir.path() / "absent"}), expected);
    EXPECT_EQ(mediaBases("yves"),
              (std::vector<std::filesystem::path>{"/media/yves", "/media", "/run/media/yves"}));
    EXPECT_EQ(mediaBases(""), (std::vector<std::filesystem::path>{"/media"}));
}
