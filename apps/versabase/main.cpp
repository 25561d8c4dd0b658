// SPDX-License-Identifier: GPL-3.0-or-later
// Versabase: converts a log of the program folder into the contact database
// that Fabribase created beside it. With --log and --base it converts without
// its window, for scripts and machines without a display.

#include "companions/versabasewindow.h"
#include "database/conversioncommand.h"
#include "setup/dataroot.h"
#include "ui/application.h"
#include "ui/foldercommand.h"

#include <QApplication>
#include <QCoreApplication>

#include <cstdio>
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
          "(sinon $ONDELOG_ROOT, sinon le dossier personnel)"},
         {"log", "FICHIER.Ham", "convertit ce log sans fenêtre (avec --base)"},
         {"base", "FICHIER.mdb",
          "la base où ajouter ses contacts, du même nom que le log (créée si absente)"},
         {"nouvelle", "", "avec --log : une base neuve remplace celle qui existe"}},
        {},
        ondelog::conversionExitStatuses()};
    if (const std::optional<int> status =
            ondelog::answerCommandLine(description, argc, args.data()))
        return *status;

    const ondelog::CommandLineVerdict verdict =
        ondelog::checkCommandLine(description, argc, args.data());
    const std::optional<std::string> log = verdict.value("log");
    const std::optional<std::string> base = verdict.value("base");
    if (log || base || verdict.hasFlag("nouvelle")) {
        if (!log || !base || log->empty() || base->empty()) {
            std::fputs("versabase : --log et --base vont ensemble : le log à convertir et la "
                       "base à remplir.\nEssayez « versabase --help » pour la liste des "
                       "options.\n",
                       stderr);
            return ondelog::kExitUsage;
        }
        QCoreApplication core(argc, argv);
        const std::filesystem::path dataRoot = ondelog::dataRootFromEnvironment(argc, args.data());
        return ondelog::runOnProgramFolder(ondelog::programFolder(dataRoot), false, [&] {
            return ondelog::convertLogCommand(*log, *base, verdict.hasFlag("nouvelle"));
        });
    }

    QApplication app(argc, argv);
    ondelog::setUpSuiteApplication(app, QStringLiteral("Versabase"), QStringLiteral("versabase"),
                                   QStringLiteral("org.ondelog.Versabase"));

    const std::filesystem::path dataRoot = ondelog::dataRootFromEnvironment(argc, args.data());
    ondelog::VersabaseWindow window(dataRoot);
    window.show();
    return app.exec();
}
