// Ondelog: finds the data root, makes sure no other Ondelog works on the same
// program folder, and shows the main window, which does the rest.

#include "geo/calendar.h"
#include "setup/dataroot.h"
#include "ui/instancelock.h"
#include "ui/mainwindow.h"

#include <QApplication>
#include <QDir>
#include <QLockFile>
#include <QMessageBox>
#include <QScreen>

#include <vector>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Ondelog"));
    QApplication::setApplicationVersion(QStringLiteral(ONDELOG_VERSION));

    std::vector<const char *> args(argv, argv + argc);
    const std::filesystem::path dataRoot = ondelog::dataRootFromEnvironment(argc, args.data());
    const QString folder =
        QDir::toNativeSeparators(QString::fromStdString(ondelog::programFolder(dataRoot).string()));

    if (!QDir().mkpath(folder)) {
        QMessageBox::critical(nullptr, QStringLiteral("Ondelog"),
                              QStringLiteral("Le dossier %1 ne peut pas être créé.").arg(folder));
        return 1;
    }
    const std::unique_ptr<QLockFile> lock = ondelog::lockProgramFolder(folder);
    if (!lock) {
        QMessageBox::warning(nullptr, QStringLiteral("Ondelog"),
                             ondelog::alreadyRunningMessage(folder));
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
