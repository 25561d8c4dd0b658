// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/foldercommand.h"

#include "ui/instancelock.h"
#include "ui/qtext.h"

#include <QFile>
#include <QLockFile>

#include <cstdio>
#include <system_error>

namespace ondelog {

int printOutcome(const CommandOutcome &outcome)
{
    std::fputs(outcome.output.c_str(), stdout);
    std::fflush(stdout);
    std::fputs(outcome.error.c_str(), stderr);
    return outcome.status;
}

int runOnProgramFolder(const std::filesystem::path &programFolder, bool writesLog,
                       const std::function<CommandOutcome()> &work)
{
    std::error_code ec;
    if (!std::filesystem::is_directory(programFolder, ec))
        return printOutcome(work());

    const QString folder = nativePath(programFolder);
    const ProgramFolderLock lock = lockProgramFolder(folder);
    if (lock.failure == LockFailure::HeldByOther)
        return printOutcome(
            {kExitFolderBusy, {}, busyFolderCommandMessage(folder).toStdString() + "\n"});
    if (!lock.lock && writesLog) {
        QString message = lockFailureMessage(folder, lock.failure, lock.detail);
        message.replace(QStringLiteral("\n\n"), QStringLiteral(" "))
            .replace(QLatin1Char('\n'), QLatin1Char(' '));
        return printOutcome({kExitFailed, {}, message.toStdString() + "\n"});
    }
    return printOutcome(work());
}

} // namespace ondelog
