#pragma once
// The ADIF items of the "Fichier" menu: export of the open log to an .adi or
// .adx file, import of another program's ADIF file into the station's own
// log. The work is the core's (interchange/adiftransfer.h); this class asks
// for the file, shows a progress dialog with "Annuler" for big files, and
// tells the operator what was done in French.

#include <QObject>

#include <cstdint>

namespace ondelog {

class MainWindow;

class AdifCommands : public QObject
{
    Q_OBJECT

  public:
    explicit AdifCommands(MainWindow *window);

    /** MnuExportAdif: the open log, own or another station's (the latter
     *  without STATION_CALLSIGN: its call sign is not known). */
    void exportLog();
    /** MnuImportAdif: into the own log only, and never during the entry of a
     *  contact or a pending confirmation. The log is shown again afterwards. */
    void importFile();

    /** From how many contacts (or, for an import, bytes / 200) the progress
     *  dialog shows. Tests lower it. Process-wide. */
    static void setProgressThreshold(std::uint64_t contacts);

  private:
    void showSummary(bool failed, const QString &text);

    MainWindow *m_window;
};

} // namespace ondelog
