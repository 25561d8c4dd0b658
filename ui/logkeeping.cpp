// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/logkeeping.h"

#include "maintenance/logcopy.h"
#include "maintenance/merge.h"
#include "ui/companion.h"
#include "ui/controls.h"
#include "ui/filedialog.h"
#include "ui/mainwindow.h"
#include "ui/mergepanel.h"
#include "ui/qtext.h"
#include "ui/waitcursor.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QToolButton>

namespace ondelog {

namespace {

QString contactsText(std::int32_t n)
{
    return n == 1 ? QStringLiteral("1 contact") : QStringLiteral("%1 contacts").arg(n);
}

QString userName()
{
    const QString user = qEnvironmentVariable("USER");
    return user.isEmpty() ? qEnvironmentVariable("LOGNAME") : user;
}

} // namespace

LogKeeping::LogKeeping(MainWindow &window) : QObject(&window), m_window(window)
{
    m_panel = new MergePanel(&window);
    window.addPanel(m_panel);
    connect(m_panel, &MergePanel::cancelRequested, this, &LogKeeping::closeMergePanel);
    connect(m_panel, &MergePanel::mergeRequested, this, &LogKeeping::merge);
    connect(m_panel, &MergePanel::backupRequested, this, [this] {
        // One backup per opening of the panel; a cancelled one may be tried again.
        if (!m_window.isEntrySession() && backUp())
            m_panel->backupButton()->setEnabled(false);
    });
}

void LogKeeping::startClockSetter()
{
    startProgram(&m_window, QStringLiteral("horalink"), m_window.programFolder(), {});
}

// --- Backup and copy ---------------------------------------------------------------

void LogKeeping::backUpFromMenu()
{
    if (m_window.isEntrySession() || m_window.logFile().recordCount() == 0)
        return;
    // RidEzav keeps the station's own log; an item that did nothing at all
    // with another log open would look broken.
    if (!m_window.isOwnLog()) {
        inform(QStringLiteral("« Sauvegarder » range dans RidEzav une copie du log de la station. "
                              "Le log affiché est un autre fichier : « Copier sur CD ou "
                              "disquette » en fait une copie où vous voulez."));
        return;
    }
    backUp();
    m_window.focusList();
}

bool LogKeeping::backUp()
{
    if (m_window.isEntrySession() || !m_window.isOwnLog() || !m_window.logFile().isOpen())
        return false;
    const std::filesystem::path folder = backupFolder(m_window.programFolder());
    if (const LogStatus s = ensureFolder(folder); s != LogStatus::Ok) {
        warn(QStringLiteral("Le dossier de sauvegarde %1 ne peut pas être créé : la sauvegarde "
                            "n'a pas été faite.\n%2")
                 .arg(nativePath(folder), QString::fromStdString(statusMessageUtf8(s))));
        return false;
    }

    FileDialogRequest request = logFileRequest(
        FileDialogMode::Save, QStringLiteral("Sauvegarder le log"), nativePath(folder));
    request.proposedName = nativePath(m_window.logFile().path().filename());
    const QString chosen = askFileName(&m_window, request);
    if (chosen.isEmpty())
        return false;
    return writeCopy(toPath(chosen));
}

void LogKeeping::copyToDisk()
{
    if (m_window.isEntrySession() || !m_window.logFile().isOpen() ||
        m_window.logFile().recordCount() == 0)
        return;
    FileDialogRequest request = logFileRequest(
        FileDialogMode::Save, QStringLiteral("Copier le log sur CD, disquette ou clé"),
        nativePath(m_window.dataRoot()));
    request.proposedName = nativePath(m_window.logFile().path().filename());
    for (const std::filesystem::path &medium :
         removableMediaFolders(mediaBases(userName().toStdString())))
        request.extraPlaces << nativePath(medium);
    const QString chosen = askFileName(&m_window, request);
    if (!chosen.isEmpty())
        writeCopy(toPath(chosen));
    m_window.focusList();
}

bool LogKeeping::writeCopy(const std::filesystem::path &destination)
{
    CopyResult result;
    {
        WaitCursor wait;
        result = copyLog(m_window.logFile().path(), destination, m_window.stationLocator());
    }
    if (!result.ok()) {
        warn(QString::fromStdString(
            copyFailureMessageUtf8(result, nativePath(destination).toStdString())));
        return false;
    }
    inform(QStringLiteral("Le log est copié dans\n%1\n(%2).")
               .arg(nativePath(destination), contactsText(result.contacts)));
    return true;
}

// --- Merge -------------------------------------------------------------------------

bool LogKeeping::canMerge() const
{
    const LogFile &log = m_window.logFile();
    return !m_window.isEntrySession() && m_window.isOwnLog() && log.isOpen() && !log.isReadOnly();
}

void LogKeeping::openMergePanel()
{
    // Not over another panel, a question or a command under way (nor twice).
    if (!canMerge() || m_window.mode() != WindowMode::List || m_window.isBusy())
        return;
    // Counted again: the panel must speak of the log as it stands on disk.
    m_window.showLastPage();
    // Nothing may change the log under the panel, which speaks of it as it is.
    m_window.setMode(WindowMode::Held);
    m_panel->begin(nativePath(m_window.logFile().path().filename()));
}

void LogKeeping::closeMergePanel()
{
    m_panel->hide();
    m_window.setMode(WindowMode::List);
    m_window.focusList();
}

void LogKeeping::merge()
{
    if (!canMerge() || m_panel->isHidden())
        return;
    const QString chosen = askFileName(
        &m_window, logFileRequest(FileDialogMode::Open, QStringLiteral("Jumeler un fichier.Ham"),
                                  nativePath(m_window.dataRoot())));
    if (chosen.isEmpty()) {
        closeMergePanel();
        return;
    }

    m_panel->hide();
    m_window.setMode(WindowMode::List);
    const std::filesystem::path other = toPath(chosen);
    MergeResult result;
    {
        WaitCursor wait;
        result = mergeLog(m_window.logFile(), other, m_window.stationLocator());
    }
    m_window.refresh();
    const std::string file = QDir::toNativeSeparators(chosen).toStdString();
    if (result.ok())
        inform(QString::fromStdString(mergeSummaryUtf8(result, file)));
    else
        warn(QString::fromStdString(mergeFailureMessageUtf8(result, file)));
    m_window.focusList();
}

// --- Messages ----------------------------------------------------------------------

void LogKeeping::inform(const QString &text)
{
    informationBox(&m_window, text);
}

void LogKeeping::warn(const QString &text)
{
    m_window.showWarning(text);
}

} // namespace ondelog
