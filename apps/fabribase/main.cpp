// SPDX-License-Identifier: GPL-3.0-or-later
// Fabribase: creates the contact database in the program folder of the data
// root (given by Versabase when it starts this program).

#include "companions/fabribasewindow.h"
#include "setup/dataroot.h"
#include "ui/application.h"

#include <QApplication>

#include <vector>

int main(int argc, char *argv[])
{
    std::vector<const char *> args(argv, argv + argc);
    const ondelog::ProgramDescription description{
        "fabribase",
        "Fabribase",
        "création de la base de données des contacts (suite Ondelog)",
        ONDELOG_VERSION,
        {{"root", "DOSSIER",
          "racine des données : la base se crée dans son dossier Ondelog "
          "(sinon $ONDELOG_ROOT, sinon le dossier personnel)"}}};
    if (const std::optional<int> status =
            ondelog::answerCommandLine(description, argc, args.data()))
        return *status;

    QApplication app(argc, argv);
    ondelog::setUpSuiteApplication(app, QStringLiteral("Fabribase"), QStringLiteral("fabribase"),
                                   QStringLiteral("org.ondelog.Fabribase"));

    const std::filesystem::path dataRoot = ondelog::dataRootFromEnvironment(argc, args.data());
    ondelog::FabribaseWindow window(ondelog::programFolder(dataRoot));
    window.show();
    return app.exec();
}
