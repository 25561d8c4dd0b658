// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Backups and copies of the open log. A copy is the log exactly as it stands:
// its contacts and its end marker, nothing after. It is written beside the
// destination and renamed over it, so that a failure never leaves a
// half-written copy in place of a good one, and an older, longer file of the
// same name is replaced whole rather than overwritten record by record.

#include "logbook/logfile.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace ondelog {

inline constexpr const char *kBackupFolderName = "RidEzav";

/** programFolder / "RidEzav" */
std::filesystem::path backupFolder(const std::filesystem::path &programFolder);

/** Removes the temporary files that backups stopped by a crash left in the
 *  backup folder of `programFolder`, whatever the names they were written
 *  under. Only while no backup is under way (at start-up, under the folder's
 *  lock). Returns how many files went. */
int removeBackupLeftovers(const std::filesystem::path &programFolder);

/** Creates `folder` (and its parents) when missing. Ok when it exists as a folder. */
LogStatus ensureFolder(const std::filesystem::path &folder);

enum class CopyFailure
{
    None,
    LogUnreadable,  ///< the log cannot be read (gone, damaged, device error)
    SameFile,       ///< the destination is the log itself
    WriteProtected, ///< the destination file is marked read-only
    Destination,    ///< the destination cannot be written (see status)
};

struct CopyResult
{
    CopyFailure failure = CopyFailure::None;
    LogStatus status = LogStatus::Ok;
    std::int32_t contacts = 0; ///< contacts in the copy

    bool ok() const { return failure == CopyFailure::None; }
};

/** Copies the log at `log` (its contacts and its end marker) to `destination`,
 *  replacing it whole. A log without an end marker gets one holding
 *  `stationLocator`, so that the copy reads back as the same contacts. The log
 *  itself is only read. */
CopyResult copyLog(const std::filesystem::path &log, const std::filesystem::path &destination,
                   std::string_view stationLocator);

/** French sentence saying why a copy to `destination` failed (UTF-8). */
std::string copyFailureMessageUtf8(const CopyResult &result, const std::string &destination);

/** The file a symbolic link points to (the path itself when it is no link): a
 *  file replaced whole is replaced where it really lies. */
std::filesystem::path followLink(const std::filesystem::path &path);

/** True when both paths name the same file (same device and inode), whatever
 *  their spelling or the links between them. False when either is missing. */
bool isSameFile(const std::filesystem::path &a, const std::filesystem::path &b);

/** The folders where removable media are mounted: the folders found under each of
 *  `bases` (typically /media/$USER, /media and /run/media/$USER), without the
 *  bases themselves, each once, in order. Bases that do not exist are skipped. */
std::vector<std::filesystem::path>
removableMediaFolders(const std::vector<std::filesystem::path> &bases);

/** The usual places of mounted media for `user` on Linux. */
std::vector<std::filesystem::path> mediaBases(const std::string &user);

} // namespace ondelog
