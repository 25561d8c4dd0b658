// SPDX-License-Identifier: GPL-3.0-or-later
// Backups that keep a history, driven by a fake clock: days pass without
// waiting, and what stays in the backup folder is checked after each step.

#include "maintenance/autobackup.h"

#include "logbook/fileio.h"
#include "logbook/logfile.h"
#include "logbook/logfixture.h"

#include <gtest/gtest.h>

#include <set>
#include <sys/stat.h>

using namespace ondelog;
using namespace ondelog::test;

namespace {

constexpr std::time_t kDay = 24 * 60 * 60;

std::set<std::string> namesIn(const std::filesystem::path &folder)
{
    std::set<std::string> names;
    for (const auto &entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

std::time_t mtimeOf(const std::filesystem::path &file)
{
    struct stat st
    {
    };
    EXPECT_EQ(::stat(file.c_str(), &st), 0) << file;
    return st.st_mtime;
}

} // namespace

TEST(AutoBackup, PolicyFromTheSettings)
{
    const struct
    {
        const char *text;
        BackupPolicy policy;
    } cases[] = {
        {"", {true, 7, 10}},
        {"sauvegarde.automatique=non\nsauvegarde.jours=1\nsauvegarde.copies=3\n", {false, 1, 3}},
        {"sauvegarde.automatique=peut-être\nsauvegarde.jours=0\nsauvegarde.copies=101\n",
         {true, 7, 10}},
        {"sauvegarde.jours=365\nsauvegarde.copies=100\n", {true, 365, 100}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        const Settings settings = Settings::parse(c.text);
        EXPECT_EQ(readBackupPolicy(settings), c.policy);
        Settings rewritten = settings;
        writeBackupPolicy(rewritten, c.policy);
        EXPECT_EQ(readBackupPolicy(Settings::parse(rewritten.text())), c.policy);
    }
}

TEST(AutoBackup, DueWhenNoneOrOldEnough)
{
    const std::time_t now = epochSeconds({2024, 3, 14, 18, 42, 7});
    EXPECT_TRUE(isBackupDue(std::nullopt, now, 7));
    EXPECT_FALSE(isBackupDue(now, now, 7));
    EXPECT_FALSE(isBackupDue(now - 7 * kDay + 1, now, 7));
    EXPECT_TRUE(isBackupDue(now - 7 * kDay, now, 7));
    EXPECT_TRUE(isBackupDue(now - kDay, now, 1));
    EXPECT_TRUE(isBackupDue(now + 60, now, 7)); // made by a clock set in the future
}

TEST(AutoBackup, DatedNamesFollowTheLocalClock)
{
    const std::time_t when = epochSeconds({2024, 3, 4, 8, 5, 9});
    EXPECT_EQ(datedBackupName("F6XYZ.Ham", when), "F6XYZ_2024-03-04_080509.Ham");
    EXPECT_EQ(datedBackupName("F6X_P.Ham", when), "F6X_P_2024-03-04_080509.Ham");
}

TEST(AutoBackup, KeepsTheLatestUnderItsNameAndTheOthersDated)
{
    SkipDiskSyncs fast;
    TempDir dir;
    const auto log = dir.file("F6XYZ.Ham");
    const auto folder = dir.path() / "Ondelog" / "RidEzav";
    std::time_t now = epochSeconds({2024, 3, 14, 18, 42, 7});
    const std::time_t first = now;

    // Nothing in the folder yet: it is created, the backup takes the log's name.
    writeLog(log, 3);
    ASSERT_FALSE(latestBackupTime(folder, "F6XYZ.Ham"));
    HistoryBackupResult r = backUpKeepingHistory(log, folder, "JN18EU", now, 3);
    ASSERT_TRUE(r.ok());
    EXPECT_FALSE(r.unchanged);
    EXPECT_EQ(r.copy.contacts, 3);
    EXPECT_TRUE(r.movedTo.empty());
    EXPECT_EQ(fileBytes(folder / "F6XYZ.Ham"), fileBytes(log));
    EXPECT_EQ(latestBackupTime(folder, "F6XYZ.Ham"), now);

    // Files that are not dated backups of this log are never touched.
    const std::set<std::string> others = {"F6XYZ_notes.Ham", "F6XY_2020-01-01_000000.Ham",
                                          "F6XYZ_2020-01-01_000000.Ham.txt", "autre.Ham"};
    for (const std::string &name : others)
        writeBytes(folder / name, "x");

    // The log unchanged: the latest backup already holds it.
    now += 8 * kDay;
    r = backUpKeepingHistory(log, folder, "JN18EU", now, 3);
    ASSERT_TRUE(r.ok());
    EXPECT_TRUE(r.unchanged);
    EXPECT_EQ(r.copy.contacts, 3);
    EXPECT_EQ(latestBackupTime(folder, "F6XYZ.Ham"), first);

    // Four more backups of a growing log, a week apart, keeping three in all.
    std::vector<std::string> dated;
    for (int week = 1; week <= 4; ++week) {
        SCOPED_TRACE(week);
        const std::time_t before = *latestBackupTime(folder, "F6XYZ.Ham");
        writeLog(log, 3 + week);
        r = backUpKeepingHistory(log, folder, "JN18EU", now, 3);
        ASSERT_TRUE(r.ok());
        EXPECT_EQ(r.copy.contacts, 3 + week);
        dated.push_back(datedBackupName("F6XYZ.Ham", before));
        EXPECT_EQ(r.movedTo, folder / dated.back());
        EXPECT_EQ(r.removed, week >= 3 ? 1 : 0);
        EXPECT_EQ(fileBytes(folder / "F6XYZ.Ham"), fileBytes(log));
        EXPECT_EQ(mtimeOf(folder / "F6XYZ.Ham"), now);
        now += 7 * kDay;
    }
    std::set<std::string> expected = others;
    expected.insert({"F6XYZ.Ham", dated[2], dated[3]});
    EXPECT_EQ(namesIn(folder), expected);
    // The dated backup holds what the latest held then: the log of the week before.
    LogFile previous;
    ASSERT_EQ(previous.open(folder / dated[3]), LogStatus::Ok);
    EXPECT_EQ(previous.recordCount(), 6);
}

TEST(AutoBackup, AFailedBackupLeavesTheFormerLatestInPlace)
{
    TempDir dir;
    const auto log = dir.file("F6XYZ.Ham");
    const auto folder = dir.path() / "RidEzav";
    const std::time_t now = epochSeconds({2024, 3, 14, 18, 42, 7});
    writeLog(log, 2);
    ASSERT_TRUE(backUpKeepingHistory(log, folder, "JN18EU", now, 10).ok());
    const std::string before = fileBytes(folder / "F6XYZ.Ham");

    writeLog(log, 5);
    // The disk fills up while the new backup is written.
    fileio::setHook(
        [](fileio::Operation op, long) { return op == fileio::Operation::Write ? ENOSPC : 0; });
    const HistoryBackupResult r = backUpKeepingHistory(log, folder, "JN18EU", now + kDay, 10);
    fileio::setHook({});
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.copy.status, LogStatus::DiskFull);
    EXPECT_TRUE(r.movedTo.empty());
    EXPECT_EQ(namesIn(folder), std::set<std::string>{"F6XYZ.Ham"});
    EXPECT_EQ(fileBytes(folder / "F6XYZ.Ham"), before);
    EXPECT_NE(historyBackupSummaryUtf8(r).find("le support est plein"), std::string::npos);

    // A folder that cannot be made: said, nothing written.
    writeBytes(dir.file("fichier"), "x");
    const HistoryBackupResult blocked =
        backUpKeepingHistory(log, dir.file("fichier") / "RidEzav", "JN18EU", now, 10);
    EXPECT_FALSE(blocked.ok());
    EXPECT_EQ(blocked.copy.failure, CopyFailure::Destination);
}

TEST(AutoBackup, AFailureIsToldOnceAtTheNextStart)
{
    TempDir dir;
    EXPECT_FALSE(takeBackupFailure(dir.path()));

    writeBytes(settingsPath(dir.path()), "sauvegarde.jours=3\r\n");
    recordBackupFailure(dir.path(), "La copie a échoué :\nle support est plein.");
    EXPECT_EQ(takeBackupFailure(dir.path()), "La copie a échoué : le support est plein.");
    EXPECT_FALSE(takeBackupFailure(dir.path()));
    EXPECT_EQ(fileBytes(settingsPath(dir.path())), "sauvegarde.jours=3\r\n");

    // Settings that cannot be written (on a full disk, typically): still told.
    std::filesystem::remove(settingsPath(dir.path()));
    std::filesystem::create_directory(settingsPath(dir.path()));
    recordBackupFailure(dir.path(), "plein");
    const std::optional<std::string> told = takeBackupFailure(dir.path());
    ASSERT_TRUE(told);
    EXPECT_NE(told->find("raison inconnue"), std::string::npos);
    EXPECT_FALSE(takeBackupFailure(dir.path()));
}
