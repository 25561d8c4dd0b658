// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/automaticbackup.h"

#include "maintenance/autobackup.h"
#include "setup/settings.h"
#include "ui/mainwindow.h"
#include "ui/settingsdialog.h"

namespace ondelog {

AutomaticBackup::AutomaticBackup(MainWindow &window) : QObject(&window), m_window(window)
{
    connect(&window, &MainWindow::startupFinished, this, &AutomaticBackup::tellLastFailure);
    connect(&window, &MainWindow::programEnded, this, &AutomaticBackup::backUpIfDue);
}

void AutomaticBackup::tellLastFailure()
{
    const std::optional<std::string> failure = takeBackupFailure(m_window.programFolder());
    if (!failure)
        return;
    m_window.showWarning(
        QStringLiteral("La sauvegarde automatique du log n'a pas pu être faite à la dernière "
                       "fermeture d'Ondelog :\n%1\n\nFaites-en une avec « Liste › Sauvegarder », "
                       "ou une copie sur un autre support.")
            .arg(QString::fromStdString(*failure)));
}

bool AutomaticBackup::backUpIfDue()
{
    // Once per run, and only for a station whose configuration was read.
    if (m_done || m_window.logFileName().empty())
        return false;
    m_done = true;
    const std::filesystem::path folder = m_window.programFolder();
    const BackupPolicy policy = readBackupPolicy(Settings::load(settingsPath(folder)));
    const std::filesystem::path log = folder / m_window.logFileName();
    std::error_code ec;
    if (!policy.automatic || !std::filesystem::exists(log, ec))
        return false;
    const std::time_t now = epochSeconds(m_window.clock().now());
    const std::filesystem::path backups = backupFolder(folder);
    if (!isBackupDue(latestBackupTime(backups, m_window.logFileName()), now, policy.everyDays))
        return false;
    const HistoryBackupResult result =
        backUpKeepingHistory(log, backups, m_window.stationLocator(), now, policy.keep);
    if (!result.ok())
        recordBackupFailure(folder, historyBackupSummaryUtf8(result));
    return result.ok();
}

void AutomaticBackup::editSettings()
{
    SettingsDialog dialog(m_window.programFolder(), &m_window);
    dialog.exec();
}

} // namespace ondelog
