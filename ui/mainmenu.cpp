// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/mainmenu.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace ondelog {

MainMenu buildMainMenu(QMenuBar *bar)
{
    auto addMenu = [bar](const char *name, const QString &title) {
        QMenu *menu = bar->addMenu(title);
        menu->setObjectName(QString::fromLatin1(name));
        return menu;
    };
    auto addItem = [](QMenu *menu, const char *name, const QString &text) {
        QAction *action = menu->addAction(text);
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };

    MainMenu menu;
    QMenu *file = addMenu("NmuFilect", QStringLiteral("    Fichier    "));
    menu.openOwn = addItem(file, "MnuCourantF", QStringLiteral("    Ouvrir Fichier courant  "));
    menu.openOther = addItem(file, "MnuAutreF", QStringLiteral("  Ouvrir Autre Fichier.Ham  "));
    menu.merge = addItem(file, "MnuJumeler", QStringLiteral(" Jumeler deux Fichiers.Ham"));
    file->addSeparator();
    menu.exportAdif = addItem(file, "MnuExportAdif", QStringLiteral("Exporter en ADIF…"));
    menu.importAdif = addItem(file, "MnuImportAdif", QStringLiteral("Importer un fichier ADIF…"));
    file->addSeparator();
    menu.settings = addItem(file, "MnuReglages", QStringLiteral("Réglages…"));
    menu.wsjtx = addItem(file, "MnuWsjtx", QStringLiteral("Réception de WSJT-X et JTDX…"));
    menu.transceiver = addItem(file, "MnuTransceiver", QStringLiteral("Transceiver…"));
    menu.quit = addItem(file, "MnuQuitter", QStringLiteral("  Fermer Fichier  et  Quitter"));

    QMenu *list = addMenu("MnuLister", QStringLiteral("      Liste        "));
    menu.createDatabase =
        addItem(list, "MnuCreateMDB", QStringLiteral("    Réaliser  fichier.mdb"));
    menu.copyToDisk =
        addItem(list, "MnuCopieSurDisque", QStringLiteral("Copier sur CD ou disquette"));
    menu.sort = addItem(list, "MnuClasser", QStringLiteral("      Classer  le Fichier   "));
    menu.duplicates = addItem(list, "MnuDoublons", QStringLiteral("  Chercher les doublons"));
    menu.backup = addItem(list, "MnuSauver", QStringLiteral("        Sauvegarder "));
    list->addSeparator();
    menu.statistics = addItem(list, "MnuStatistiques", QStringLiteral("&Statistiques…"));

    QMenu *print = addMenu("MnuImprim", QStringLiteral("    Imprimer    "));
    menu.configurePrinter =
        addItem(print, "MnuConfigImp", QStringLiteral("Configurer imprimante  "));
    menu.printPage = addItem(print, "MnuImpPage", QStringLiteral("Imprimer Page affichée  "));
    menu.printBlankPage =
        addItem(print, "MnuImpPageVierge", QStringLiteral("Imprimer page vierge  "));

    QMenu *locator = addMenu("MnuLocator", QStringLiteral("    Locator   "));
    menu.editLocator = addItem(locator, "MnuEditLocator", QStringLiteral("    Editer Locator"));
    menu.changeLocator =
        addItem(locator, "MnuChangerLocator", QStringLiteral(" Changer de Locator"));

    QMenu *qsl = addMenu("MnuServiceQSL", QStringLiteral("   Service QSL  "));
    menu.blankLabels =
        addItem(qsl, "MnuVirginTags", QStringLiteral(" Imprimer étiquettes vierges à coller"));
    menu.labelSheet =
        addItem(qsl, "MnuGestionFeuilleQSL", QStringLiteral("   Gestion feuille 16 étiquettes "));

    QMenu *infos = addMenu("MnuInfos", QStringLiteral("   Infos "));
    menu.about = addItem(infos, "MnuVoir", QStringLiteral("  Infos à propos de Ondelog"));
    return menu;
}

} // namespace ondelog
