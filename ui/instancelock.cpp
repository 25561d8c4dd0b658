// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/instancelock.h"

#include <QByteArray>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QSysInfo>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace ondelog {

namespace {

bool isProcessRunning(qint64 pid)
{
    return pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
}

/** Why nothing can be written in `folder`: creates, writes and removes a small
 *  file, as the lock itself would. */
ProgramFolderLock diagnose(const QString &folder)
{
    ProgramFolderLock result;
    QByteArray pattern =
        QFile::encodeName(QDir(folder).filePath(QStringLiteral(".Ondelog.probe.XXXXXX")));
    int error = 0;
    const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0) {
        error = errno;
    } else {
        const char bytes[64] = {};
        if (::write(fd, bytes, sizeof bytes) != static_cast<ssize_t>(sizeof bytes))
            error = errno != 0 ? errno : ENOSPC;
        else if (::fsync(fd) != 0)
            error = errno;
        ::close(fd);
        ::unlink(pattern.constData());
    }
    struct statvfs vfs
    {
    };
    const bool hasVfs = ::statvfs(QFile::encodeName(folder).constData(), &vfs) == 0;
    if (error == EROFS || (hasVfs && (vfs.f_flag & ST_RDONLY) != 0))
        result.failure = LockFailure::ReadOnlyMedium;
    else if (error == EACCES || error == EPERM)
        result.failure = LockFailure::NoPermission;
    else if (error == ENOSPC || error == EDQUOT || (hasVfs && vfs.f_bavail == 0))
        result.failure = LockFailure::DiskFull;
    else {
        result.failure = LockFailure::Other;
        if (error != 0)
            result.detail = QString::fromLocal8Bit(std::strerror(error));
    }
    return result;
}

} // namespace

ProgramFolderLock lockProgramFolder(const QString &programFolder)
{
    if (!QDir().mkpath(programFolder)) {
        ProgramFolderLock result = diagnose(QFileInfo(programFolder).absolutePath());
        if (result.failure == LockFailure::Other)
            result.failure = LockFailure::CannotCreate;
        return result;
    }
    auto lock =
        std::make_unique<QLockFile>(QDir(programFolder).filePath(QStringLiteral(".Ondelog.lock")));
    // A lock left by a crashed Ondelog names a process that is gone: QLockFile
    // takes it over; a live one is never stale, however long it has run.
    lock->setStaleLockTime(0);
    if (lock->tryLock(200))
        return {std::move(lock), LockFailure::None, {}};

    // "Already open" only when an Ondelog is really there: a lock that cannot be
    // written, or a stale one that cannot be removed from a read-only folder,
    // would send the operator looking for a window that does not exist.
    qint64 pid = 0;
    QString host;
    QString application;
    if (lock->error() == QLockFile::LockFailedError &&
        lock->getLockInfo(&pid, &host, &application) &&
        (host != QSysInfo::machineHostName() || isProcessRunning(pid)))
        return {nullptr, LockFailure::HeldByOther, {}};
    return diagnose(programFolder);
}

QString lockFailureMessage(const QString &programFolder, LockFailure failure, const QString &detail)
{
    const QString folder = QDir::toNativeSeparators(programFolder);
    switch (failure) {
    case LockFailure::None:
        return {};
    case LockFailure::HeldByOther:
        return alreadyRunningMessage(programFolder);
    case LockFailure::CannotCreate:
        return QStringLiteral("Le dossier %1 ne peut pas être créé.").arg(folder);
    case LockFailure::ReadOnlyMedium:
        return QStringLiteral("Ondelog ne peut pas travailler dans le dossier\n%1\n\n"
                              "Le disque ou le support qui le contient est en lecture seule : "
                              "aucun contact ne pourrait y être enregistré.")
            .arg(folder);
    case LockFailure::NoPermission:
        return QStringLiteral("Ondelog ne peut pas travailler dans le dossier\n%1\n\n"
                              "Vous n'avez pas le droit d'y créer des fichiers : "
                              "aucun contact ne pourrait y être enregistré.")
            .arg(folder);
    case LockFailure::DiskFull:
        return QStringLiteral("Ondelog ne peut pas travailler dans le dossier\n%1\n\n"
                              "Le disque est plein : libérez de la place, puis relancez Ondelog.")
            .arg(folder);
    case LockFailure::Other:
        break;
    }
    QString text = QStringLiteral("Ondelog ne peut pas travailler dans le dossier\n%1\n\n"
                                  "Le fichier verrou .Ondelog.lock ne peut pas y être écrit.")
                       .arg(folder);
    if (!detail.isEmpty())
        text += QStringLiteral("\n(%1)").arg(detail);
    return text;
}

QString alreadyRunningMessage(const QString &programFolder)
{
    return QStringLiteral("Ondelog est déjà ouvert sur le dossier\n%1\n\n"
                          "Un seul Ondelog à la fois peut écrire dans ce log : "
                          "revenez à la fenêtre déjà ouverte.")
        .arg(QDir::toNativeSeparators(programFolder));
}

QString busyFolderCommandMessage(const QString &programFolder)
{
    return QStringLiteral("Ondelog est déjà ouvert sur le dossier %1 : rien n'a été fait. "
                          "Relancez la commande une fois Ondelog fermé.")
        .arg(QDir::toNativeSeparators(programFolder));
}

} // namespace ondelog
