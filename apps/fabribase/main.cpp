// Fabribase: creates the contact database in the program folder of the data
// root (given by Versabase when it starts this program).

#include "apps/fabribase/fabribasewindow.h"
#include "setup/dataroot.h"

#include <QApplication>

#include <vector>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Fabribase"));
    QApplication::setApplicationVersion(QStringLiteral(ONDELOG_VERSION));

    std::vector<const char *> args(argv, argv + argc);
    const std::filesystem::path dataRoot = ondelog::dataRootFromEnvironment(argc, args.data());
    ondelog::FabribaseWindow window(ondelog::programFolder(dataRoot));
    window.show();
    return app.exec();
}
