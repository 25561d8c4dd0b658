// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Fichier › Réglages…": the suite's settings an operator may change. For now
// the automatic backup: on or off, how old the latest backup may grow, how
// many are kept. Saved into Reglages.ini with every other line of it kept.

#include "maintenance/autobackup.h"

#include <QDialog>

#include <filesystem>

class QCheckBox;
class QSpinBox;

namespace ondelog {

class SettingsDialog : public QDialog
{
    Q_OBJECT

  public:
    /** Shows the settings of `programFolder` (read when the dialog opens). */
    explicit SettingsDialog(const std::filesystem::path &programFolder, QWidget *parent = nullptr);

    /** The policy as the controls show it. */
    BackupPolicy policy() const;

    void accept() override;

  private:
    void followAutomatic();

    std::filesystem::path m_programFolder;
    QCheckBox *m_automatic = nullptr;
    QSpinBox *m_days = nullptr;
    QSpinBox *m_keep = nullptr;
};

} // namespace ondelog
