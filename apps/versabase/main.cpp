// Versabase: converts a log of the program folder into the contact database
// that Fabribase created beside it.

#include "apps/versabase/versabasewindow.h"
#include "setup/dataroot.h"
#include "ui/application.h"

#include <QApplication>

#include <vector>

int main(int argc, char *argv[])
{
    std::vector<const char *> args(argv, argv + argc);
    const ondelog::ProgramDescription description{
        "versabase",
        "Versabase",
        "conversion d'un log en base de données (suite Ondelog)",
        ONDELOG_VERSION,
        {{"root", "DOSSIER",
          "racine des données : le log et la base sont dans son dossier Ondelog "
          "(sinon $ONDELOG_ROOT, sinon le dossier personnel)"}}};
    if (const std::optional<int> status =
            ondelog::answerCommandLine(description, argc, args.data()))
        return *status;

    QApplication app(argc, argv);
    ondelog::setUpSuiteApplication(app, QStringLiteral("Versabase"), QStringLiteral("versabase"),
                                   QStringLiteral("org.ondelog.Versabase"));

    const std::filesystem::path dataRoot = ondelog::dataRootFromEnvironment(argc, args.data());
    ondelog::VersabaseWindow window(dataRoot);
    window.show();
    return app.exec();
}
