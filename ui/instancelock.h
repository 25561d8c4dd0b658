#pragma once
// One Ondelog at a time per program folder: two windows writing the same log
// would overwrite each other's contacts.

#include <QString>

#include <memory>

class QLockFile;

namespace ondelog {

/** Takes the lock of `programFolder` (created when missing). Nothing when another
 *  Ondelog holds it, or when the folder cannot be created. The lock is released
 *  when the returned object is destroyed. */
std::unique_ptr<QLockFile> lockProgramFolder(const QString &programFolder);

/** The French message shown when the lock is held by another Ondelog. */
QString alreadyRunningMessage(const QString &programFolder);

} // namespace ondelog
