// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The ADIF items of the "Fichier" menu: export of the open log to an .adi or
// .adx file, import of another program's ADIF file into the station's own
// log. The work is the core's (interchange/adiftransfer.h) and runs in a
// thread of its own, so that the window keeps answering whatever the file:
// this class asks for the file, disables the window's commands meanwhile,
// shows a progress dialog with "Annuler" and tells the operator what was done
// in French.

#include "interchange/adiftransfer.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

namespace ondelog {

class MainWindow;

class AdifCommands : public QObject
{
    Q_OBJECT

  public:
    explicit AdifCommands(MainWindow *window);
    /** A transfer still running is cancelled, and waited for: the log and the
     *  chosen file are then as they were. */
    ~AdifCommands() override;

    /** MnuExportAdif: the open log, own or another station's (the latter
     *  without STATION_CALLSIGN: its call sign is not known). */
    void exportLog();
    /** MnuImportAdif: into the own log only, and never during the entry of a
     *  contact or a pending confirmation. The log is shown again afterwards. */
    void importFile();
    /** An export or an import is running. */
    bool isRunning() const { return m_transfer != nullptr; }

    /** From how many contacts (or, for an import, bytes / 200) the progress
     *  dialog shows at once; below, it shows only if the work lasts. Tests
     *  lower it. Process-wide. */
    static void setProgressThreshold(std::uint64_t contacts);

  signals:
    /** A transfer has ended and its summary has been shown. */
    void finished();

  private:
    struct Transfer;
    /** Runs `work` in its own thread with a progress callback; `done` runs in
     *  the window's thread once it has ended. */
    void run(const QString &label, std::uint64_t size,
             std::function<void(const TransferProgress &)> work, std::function<void()> done);
    void updateProgress();
    void end();
    void showSummary(bool failed, const QString &text);

    MainWindow *m_window;
    std::unique_ptr<Transfer> m_transfer;
    bool m_updating = false;
};

} // namespace ondelog
