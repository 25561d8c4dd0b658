// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Backups that keep a history. The latest backup of a log keeps the log's own
// name in the backup folder ("RidEzav/F6ABC.Ham", the name the Sauvegarder
// menu proposes); each new one first moves it aside under a dated name
// ("F6ABC_2024-03-14_184207.Ham", the moment it was made), then the oldest
// dated ones beyond the number to keep are removed. A backup that cannot be
// written leaves the folder as it was: the former latest gets its name back
// and nothing is removed.
//
// The age of the latest backup is its file's modification time, which a
// backup made here sets to the moment its clock gave: a manual backup under
// the same name counts too, and tests move a fake clock instead of waiting.

#include "geo/calendar.h"
#include "maintenance/logcopy.h"
#include "setup/settings.h"

#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace ondelog {

/** When and how much Ondelog backs up by itself (keys "sauvegarde.*" of the settings). */
struct BackupPolicy
{
    bool automatic = true; ///< back up on closing when the latest backup is old enough
    int everyDays = 7;     ///< 1..365
    int keep = 10;         ///< backups kept, the latest included: 1..100

    bool operator==(const BackupPolicy &) const = default;
};

inline constexpr int kMaxBackupDays = 365;
inline constexpr int kMaxBackupsKept = 100;

/** The policy the settings hold; defaults for what is absent or unusable. */
BackupPolicy readBackupPolicy(const Settings &settings);
/** Stores `policy` into `settings` (saving them is the caller's). */
void writeBackupPolicy(Settings &settings, const BackupPolicy &policy);

/** Seconds since the epoch of a local date and time (the windows' clock). */
std::time_t epochSeconds(const LocalDateTime &local);

/** "F6ABC_2024-03-14_184207.Ham" for the backup of "F6ABC.Ham" made at `when` (local time). */
std::string datedBackupName(const std::string &logFileName, std::time_t when);

/** When the latest backup of `logFileName` in `folder` was made; nullopt when
 *  there is none. */
std::optional<std::time_t> latestBackupTime(const std::filesystem::path &folder,
                                            const std::string &logFileName);

/** True when no backup exists, the latest is `everyDays` days old or more, or
 *  it claims to come from the future (a clock that was wrong then). */
bool isBackupDue(std::optional<std::time_t> latest, std::time_t now, int everyDays);

struct HistoryBackupResult
{
    CopyResult copy;               ///< the writing of the new latest backup
    bool unchanged = false;        ///< the latest backup already held the log: nothing written
    std::filesystem::path latest;  ///< folder / the log's file name
    std::filesystem::path movedTo; ///< the former latest's dated name (empty when none)
    int removed = 0;               ///< dated backups removed beyond `keep`

    bool ok() const { return copy.ok(); }
};

/**
 * Backs the log at `log` up into `folder` (created when missing) under the
 * log's own file name, keeping `keep` backups in all (at least 1): the former
 * latest gets its dated name first, and goes back to its name if the new one
 * cannot be written. A latest backup that already holds exactly the log is
 * left alone. The new backup is stamped with `now`. Only files whose names
 * datedBackupName() could have made for this log are ever removed.
 */
HistoryBackupResult backUpKeepingHistory(const std::filesystem::path &log,
                                         const std::filesystem::path &folder,
                                         std::string_view stationLocator, std::time_t now,
                                         int keep);

/** French summary of a backup into `folder` (UTF-8): where it went and how many
 *  contacts it holds, or why it failed. */
std::string historyBackupSummaryUtf8(const HistoryBackupResult &result);

/** Keeps the French reason of a failed automatic backup for the next start: in
 *  the settings, else (a full disk cannot take them) as an empty marker file. */
void recordBackupFailure(const std::filesystem::path &programFolder, const std::string &reasonUtf8);
/** The failure kept by recordBackupFailure(), forgotten once read; nullopt when
 *  the last automatic backup did not fail. */
std::optional<std::string> takeBackupFailure(const std::filesystem::path &programFolder);

} // namespace ondelog
