// Versabase: converts a log of the program folder into the contact database
// that Fabribase created beside it.

#include "apps/versabase/versabasewindow.h"
#include "setup/dataroot.h"

#include <QApplication>

#include <vector>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Versabase"));
    QApplication::setApplicationVersion(QStringLiteral(ONDELOG_VERSION));

    std::vector<const char *> args(argv, argv + argc);
    const std::filesystem::path dataRoot = ondelog::dataRootFromEnvironment(argc, args.data());
    ondelog::VersabaseWindow window(dataRoot);
    window.show();
    return app.exec();
}
