#include "ui/instancelock.h"

#include <QDir>
#include <QLockFile>

namespace ondelog {

std::unique_ptr<QLockFile> lockProgramFolder(const QString &programFolder)
{
    if (!QDir().mkpath(programFolder))
        return nullptr;
    auto lock =
        std::make_unique<QLockFile>(QDir(programFolder).filePath(QStringLiteral(".Ondelog.lock")));
    // A lock left by a crashed Ondelog names a process that is gone: QLockFile
    // takes it over; a live one is never stale, however long it has run.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(200))
        return nullptr;
    return lock;
}

QString alreadyRunningMessage(const QString &programFolder)
{
    return QStringLiteral("Ondelog est déjà ouvert sur le dossier\n%1\n\n"
                          "Un seul Ondelog à la fois peut écrire dans ce log : "
                          "revenez à la fenêtre déjà ouverte.")
        .arg(QDir::toNativeSeparators(programFolder));
}

} // namespace ondelog
