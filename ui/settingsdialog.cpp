// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/settingsdialog.h"

#include "setup/settings.h"
#include "ui/controls.h"
#include "ui/qtext.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace ondelog {

namespace {

QSpinBox *spinBox(const char *name, int max, const QString &suffix, QWidget *parent)
{
    auto *box = new QSpinBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setRange(1, max);
    box->setSuffix(suffix);
    return box;
}

} // namespace

SettingsDialog::SettingsDialog(const std::filesystem::path &programFolder, QWidget *parent)
    : QDialog(parent), m_programFolder(programFolder)
{
    setObjectName(QStringLiteral("DlgReglages"));
    setWindowTitle(QStringLiteral("Réglages"));

    auto *group = new QGroupBox(QStringLiteral("Sauvegarde automatique du log"), this);
    m_automatic =
        new QCheckBox(QStringLiteral("Sauvegarder le log à la fermeture d'Ondelog"), group);
    m_automatic->setObjectName(QStringLiteral("ChkSauvegardeAuto"));
    m_days = spinBox("SpinJoursSauvegarde", kMaxBackupDays, QStringLiteral(" jours"), group);
    m_keep =
        spinBox("SpinCopiesSauvegarde", kMaxBackupsKept, QStringLiteral(" sauvegardes"), group);

    auto *where =
        new QLabel(QStringLiteral("Dans le dossier %1. La plus récente porte le nom du log, "
                                  "les précédentes la date où elles ont été faites ; "
                                  "un log inchangé n'est pas sauvegardé à nouveau.")
                       .arg(nativePath(backupFolder(programFolder))),
                   group);
    where->setObjectName(QStringLiteral("LabDossierSauvegarde"));
    where->setWordWrap(true);
    where->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto *form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    form->addRow(QStringLiteral("Si la dernière date d'au moins"), m_days);
    form->addRow(QStringLiteral("Garder les"), m_keep);
    auto *column = new QVBoxLayout(group);
    column->addWidget(m_automatic);
    column->addLayout(form);
    column->addWidget(where);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("BoutonsReglages"));
    // French even where Qt's own translation is missing.
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Annuler"));
    connect(buttons, &QDialogButtonBox::accepted, this, &SettingsDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_automatic, &QCheckBox::toggled, this, &SettingsDialog::followAutomatic);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 16, 18, 14);
    layout->addWidget(group);
    layout->addWidget(buttons);
    setMinimumWidth(460);

    const BackupPolicy policy = readBackupPolicy(Settings::load(settingsPath(programFolder)));
    m_automatic->setChecked(policy.automatic);
    m_days->setValue(policy.everyDays);
    m_keep->setValue(policy.keep);
    followAutomatic();
}

BackupPolicy SettingsDialog::policy() const
{
    return {m_automatic->isChecked(), m_days->value(), m_keep->value()};
}

void SettingsDialog::followAutomatic()
{
    m_days->setEnabled(m_automatic->isChecked());
}

void SettingsDialog::accept()
{
    // Read again: another program of the suite may have written other keys since.
    const std::filesystem::path file = settingsPath(m_programFolder);
    Settings settings = Settings::load(file);
    writeBackupPolicy(settings, policy());
    if (!settings.save(file)) {
        warningBox(this, QStringLiteral("Les réglages ne peuvent pas être enregistrés dans %1 : "
                                        "ils restent tels qu'ils étaient.")
                             .arg(nativePath(file)));
        return;
    }
    QDialog::accept();
}

} // namespace ondelog
