// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The backup Ondelog makes by itself: on closing, when the settings ask for
// it and the latest backup in RidEzav is old enough, the station's own log is
// backed up there (older backups kept under dated names). Closing never waits
// on a question: a failure is kept and told at the next start. Also opens the
// settings dialog from "Fichier › Réglages…".

#include <QObject>

namespace ondelog {

class MainWindow;

class AutomaticBackup : public QObject
{
    Q_OBJECT

  public:
    /** Connects to the window's start-up and end. */
    explicit AutomaticBackup(MainWindow &window);

    /** Says what went wrong with the last automatic backup, if anything did. */
    void tellLastFailure();
    /** Backs the own log up if the settings and its latest backup's age say so;
     *  true once done (or already up to date). Silent: a failure is kept. */
    bool backUpIfDue();
    /** "Fichier › Réglages…" */
    void editSettings();

  private:
    MainWindow &m_window;
    bool m_done = false;
};

} // namespace ondelog
