// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/aboutdialog.h"

#include "ui/qtext.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSysInfo>
#include <QVBoxLayout>
#include <QtGlobal>

namespace ondelog {

AboutDialog::AboutDialog(const std::filesystem::path &dataRoot, QWidget *parent)
    : QDialog(parent), m_dataRoot(dataRoot)
{
    setObjectName(QStringLiteral("AboutOndelog"));
    setWindowTitle(QStringLiteral("À propos de Ondelog"));

    auto *title = new QLabel(QStringLiteral("Ondelog"), this);
    title->setObjectName(QStringLiteral("AboutTitre"));
    QFont titleFont = title->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 2.0);
    title->setFont(titleFont);

    auto *version =
        new QLabel(QStringLiteral("Version %1").arg(QStringLiteral(ONDELOG_VERSION)), this);
    version->setObjectName(QStringLiteral("AboutVersion"));

    auto *description = new QLabel(
        QStringLiteral("Cahier de trafic pour station radioamateur.\n\n"
                       "Ondelog tient un fichier de log par indicatif, affiche les contacts "
                       "par pages de 25, saisit les QSO en temps réel ou en différé, calcule "
                       "distance et azimut d'après les locators, et gère les cartes QSL."),
        this);
    description->setObjectName(QStringLiteral("AboutDescription"));
    description->setWordWrap(true);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    auto *info = buttons->addButton(QStringLiteral("Infos système…"), QDialogButtonBox::ActionRole);
    info->setObjectName(QStringLiteral("BtInfosSysteme"));
    connect(info, &QPushButton::clicked, this, &AboutDialog::showSystemInformation);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(22, 18, 22, 16);
    layout->addWidget(title);
    layout->addWidget(version);
    layout->addSpacing(8);
    layout->addWidget(description);
    layout->addSpacing(8);
    layout->addWidget(buttons);
    setMinimumWidth(420);
}

QString AboutDialog::systemInformation(const std::filesystem::path &dataRoot)
{
    return QStringLiteral("Ondelog : version %1\n"
                          "Qt : version %2 (compilé avec %3)\n"
                          "Système : %4\n"
                          "Noyau : %5 %6, %7\n"
                          "Racine des données : %8")
        .arg(QStringLiteral(ONDELOG_VERSION), QString::fromLatin1(qVersion()),
             QStringLiteral(QT_VERSION_STR), QSysInfo::prettyProductName(), QSysInfo::kernelType(),
             QSysInfo::kernelVersion(), QSysInfo::currentCpuArchitecture(), nativePath(dataRoot));
}

void AboutDialog::showSystemInformation()
{
    QMessageBox box(QMessageBox::Information, QStringLiteral("Infos système"),
                    systemInformation(m_dataRoot), QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("InfosSysteme"));
    box.setTextInteractionFlags(Qt::TextSelectableByMouse);
    box.exec();
}

} // namespace ondelog
