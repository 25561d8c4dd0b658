// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Keeping the log safe and whole: the backup into "RidEzav", the copy to a
// removable medium, the merge of another log (with its panel), and the start of
// Horalink from the clock. The main window creates one and connects its menu
// items to it; the rules are the core's (maintenance/), this class asks for
// the files, shows the results and tells every failure.

#include <QObject>
#include <QString>

#include <filesystem>

namespace ondelog {

class MainWindow;
class MergePanel;

class LogKeeping : public QObject
{
    Q_OBJECT

  public:
    /** Adds the merge panel (PJumelage) to `window`, hidden until asked for. */
    explicit LogKeeping(MainWindow &window);

    /** "Sauvegarder": a backup, then the list has the focus again. */
    void backUpFromMenu();
    /** Backs the own log up into the backup folder; true once a backup is written. */
    bool backUp();
    /** Copies the log anywhere, removable media offered in the dialog. */
    void copyToDisk();
    /** Opens the merge panel over the log's last page. */
    void openMergePanel();
    /** Asks for the other log and merges it. */
    void merge();
    /** The clock "Horloge": starts Horalink. */
    void startClockSetter();

  private:
    /** The own log, open for writing, no entry running. */
    bool canMerge() const;
    void closeMergePanel();
    bool writeCopy(const std::filesystem::path &destination);
    void inform(const QString &text);
    void warn(const QString &text);

    MainWindow &m_window;
    MergePanel *m_panel = nullptr;
};

} // namespace ondelog
