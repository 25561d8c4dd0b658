// SPDX-License-Identifier: GPL-3.0-or-later
// Ondelog: finds the data root, makes sure no other Ondelog works on the same
// program folder, and shows the main window, which does the rest. Given a
// command ("ondelog exporter F6XYZ.adi"), it does that instead, without any
// window or display.

#include "commands/logcommands.h"
#include "geo/calendar.h"
#include "setup/dataroot.h"
#include "ui/application.h"
#include "ui/foldercommand.h"
#include "ui/instancelock.h"
#include "ui/mainwindow.h"
#include "ui/qtext.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QLockFile>
#include <QMessageBox>
#include <QScreen>

#include <ctime>
#include <vector>

int main(int argc, char *argv[])
{
    std::vector<const char *> args(argv, argv + argc);
    const ondelog::ProgramDescription description{
        "ondelog",
        "Ondelog",
        "cahier de trafic pour station radioamateur",
        ONDELOG_VERSION,
        {{"root", "DOSSIER",
          "racine des données : Ondelog y range son dossier Ondelog "
          "(sinon $ONDELOG_ROOT, sinon le dossier personnel)"}},
        ondelog::logCommands(),
        ondelog::logCommandExitStatuses()};
    if (const std::optional<int> status =
            ondelog::answerCommandLine(description, argc, args.data()))
        return *status;

    const ondelog::CommandLineVerdict verdict =
        ondelog::checkCommandLine(description, argc, args.data());
    if (!verdict.command.empty()) {
        QCoreApplication core(argc, argv);
        const ondelog::CommandContext context{
            ondelog::programFolder(ondelog::dataRootFromEnvironment(argc, args.data())),
            std::time(nullptr),
            QDateTime::currentDateTimeUtc()
                .toString(QStringLiteral("yyyyMMdd HHmmss"))
                .toStdString()};
        return ondelog::runOnProgramFolder(
            context.programFolder, ondelog::commandWritesLog(verdict.command),
            [&] { return ondelog::runLogCommand(verdict.command, verdict.arguments, context); });
    }

    QApplication app(argc, argv);
    ondelog::setUpSuiteApplication(app, QStringLiteral("Ondelog"), QStringLiteral("ondelog"),
                                   QStringLiteral("org.ondelog.Ondelog"));

    const std::filesystem::path dataRoot = ondelog::dataRootFromEnvironment(argc, args.data());
    const QString folder = ondelog::nativePath(ondelog::programFolder(dataRoot));

    const ondelog::ProgramFolderLock lock = ondelog::lockProgramFolder(folder);
    if (!lock.lock) {
        const QString message = ondelog::lockFailureMessage(folder, lock.failure, lock.detail);
        if (lock.failure == ondelog::LockFailure::HeldByOther)
            QMessageBox::warning(nullptr, QStringLiteral("Ondelog"), message);
        else
            QMessageBox::critical(nullptr, QStringLiteral("Ondelog"), message);
        return 1;
    }

    const ondelog::SystemClock clock;
    ondelog::MainWindow window(dataRoot, clock);
    QObject::connect(&window, &ondelog::MainWindow::programEnded, &app, &QApplication::quit,
                     Qt::QueuedConnection);
    const QSize wanted(1280, 800);
    if (const QScreen *screen = window.screen())
        window.resize(wanted.boundedTo(screen->availableSize()));
    else
        window.resize(wanted);
    window.show();
    return app.exec();
}
