// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One Ondelog at a time per program folder: two windows writing the same log
// would overwrite each other's contacts.

#include <QString>

#include <memory>

class QLockFile;

namespace ondelog {

/** Why the program folder could not be locked. */
enum class LockFailure
{
    None,
    HeldByOther,    ///< another Ondelog, still running, holds the lock
    CannotCreate,   ///< the folder is missing and cannot be created
    ReadOnlyMedium, ///< the folder is on a read-only file system
    NoPermission,   ///< no right to create files in the folder
    DiskFull,       ///< no room left for the lock file
    Other,          ///< any other failure of the file system
};

struct ProgramFolderLock
{
    std::unique_ptr<QLockFile> lock; ///< held until destroyed; null on failure
    LockFailure failure = LockFailure::None;
    QString detail; ///< the system's own words for an Other failure
};

/** Takes the lock of `programFolder` (created when missing). On failure, says
 *  whether another running Ondelog holds it or why the lock file could not be
 *  written. */
ProgramFolderLock lockProgramFolder(const QString &programFolder);

/** The French message for a failure to lock `programFolder`. */
QString lockFailureMessage(const QString &programFolder, LockFailure failure,
                           const QString &detail = {});

/** The French message shown when the lock is held by another Ondelog. */
QString alreadyRunningMessage(const QString &programFolder);

/** The same, one line for a terminal, when a command without a window is refused. */
QString busyFolderCommandMessage(const QString &programFolder);

} // namespace ondelog
