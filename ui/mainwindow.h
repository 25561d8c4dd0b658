// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Ondelog's main window. It owns the open log and the program-wide state (the
// station's call sign and locator, the log being own or foreign, the mode the
// window is in), shows the log list and the record view beside it, creates
// the controllers of the menu's commands and connects the menu to them.
//
// The panels own their widgets and add them to the column beside the list;
// they tell the window what they need through a few calls (the mode, show
// this record, show the log again) rather than by reaching into its widgets.
// Every enabling of the list, the record view, the button bar and the menu
// follows from the mode in one place (applyMode).
//
// Start-up runs once the window is first shown: after a one-second greeting it
// reads the configuration (or opens the first-run window), opens the log and
// shows its last page.

#include "geo/calendar.h"
#include "logbook/logfile.h"
#include "setup/config.h"
#include "ui/mainmenu.h"

#include <QMainWindow>
#include <QPointer>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

class QVBoxLayout;

namespace ondelog {

class AdifCommands;
class AutomaticBackup;
class ContactEditor;
class ContactsPanel;
class FirstRunDialog;
class LabelSheetPanel;
class LocatorChange;
class LogKeeping;
class LogListPanel;
class PrintJob;
class QslFieldWatcher;
class RecordPanel;
class SortPanel;
class TopBar;

/** What the window is doing, which decides what the operator may touch. */
enum class WindowMode
{
    List,         ///< the list, the record view and every command
    Entry,        ///< new contacts typed into the record view: no button bar, the list inert
    Confirmation, ///< a change or a deletion waits for "&Oui" or "&Non": the list and the bar wait
    Held,         ///< a panel works on the log as it stands (label sheet, merge): it takes
                  ///< the record view's place, and the list and the commands that write wait
};

class MainWindow : public QMainWindow
{
    Q_OBJECT

  public:
    /** `dataRoot`: the program folder is dataRoot/"Ondelog". `clock` is read by the
     *  clock labels and must outlive the window. */
    MainWindow(const std::filesystem::path &dataRoot, const Clock &clock,
               QWidget *parent = nullptr);
    ~MainWindow() override;

    // --- State -------------------------------------------------------------
    /** 4 from construction until the start-up has opened a log, then 0. */
    int startupState() const { return m_startupState; }
    bool isLogOpen() const { return m_logOpen; }
    /** The open log is the station's own (the one the configuration names). */
    bool isOwnLog() const { return m_ownLog; }
    /** New contacts are being entered: paging and opening another log are inert. */
    bool isEntrySession() const { return m_mode == WindowMode::Entry; }
    /** The program has ended (closing commands, or "Tout arrêter !!"). */
    bool hasEnded() const { return m_ended; }
    /** Closing: the log is shut for the goodbye, or the program has ended. */
    bool isClosing() const { return m_ending || m_ended; }

    const std::string &stationCall() const { return m_config.callSign; }
    const std::string &logFileName() const { return m_config.logFileName; }
    /** The locator new contacts receive as their own, and the distances' origin. */
    const std::string &stationLocator() const { return m_stationLocator; }
    /** The station locator from now on, written into the configuration when
     *  `keep` (a failure is told: it then holds until the program ends). */
    void changeStationLocator(const std::string &locator, bool keep);
    const std::filesystem::path &dataRoot() const { return m_dataRoot; }
    const std::filesystem::path &programFolder() const { return m_programFolder; }
    /** The configuration file read at start-up (rewritten by the locator panel). */
    const std::filesystem::path &configurationPath() const { return m_configPath; }
    const Clock &clock() const { return m_clock; }
    /** The station's own log: the file the configuration names. */
    std::filesystem::path ownLogPath() const;

    LogFile &logFile() { return m_log; }
    /** The record the record view shows, 0 when none. */
    std::int32_t shownRecord() const;
    /** The call sign in the record view, trimmed: the contact shown or being typed. */
    QString callSignInHand() const;
    /** New contacts and changes to stored ones, typed into the record view. */
    ContactEditor *contactEditor() const { return m_editor; }
    /** The printer every paper command uses. */
    PrintJob *printJob() const { return m_printJob; }

    // --- The mode ------------------------------------------------------------
    WindowMode mode() const { return m_mode; }
    /** Entering Entry also closes the search and its list, every time (each new
     *  contact starts with nothing over the record view); leaving it ends a
     *  change of station locator, which belongs to the entry. */
    void setMode(WindowMode mode);
    bool isHeldByPanel() const { return m_mode == WindowMode::Held; }
    /** While a command reads or rewrites the whole log (a sort, an ADIF
     *  transfer), the list, the record view, the menus and the buttons are
     *  disabled, whatever the mode; the mode's own state comes back after. */
    void setBusy(bool busy);
    bool isBusy() const { return m_busy; }

    // --- What the panels ask for ---------------------------------------------
    /** Fills the list with page p and sets the paging controls; selects nothing. */
    void showPage(std::int32_t page);
    /** Counts the log again, shows its last page and selects its last line. */
    void showLastPage();
    /** The log was just counted: the scroll range and page count follow, then page
     *  `page` (the last page when it lies beyond) is shown with its last line selected. */
    void showCountedPage(std::int32_t page);
    /** Record n in the list (its page, its line) and in the record view; during
     *  an entry the list only follows and the fields keep the contact typed. */
    void showRecord(std::int32_t n);
    /** The page shown drawn again, the record shown still selected. */
    void redrawPage();
    /** Record n was written: the record view shows it again if it shows it. */
    void refreshRecord(std::int32_t n);
    /** The line of record n says what `record` holds now. */
    void updateListLine(std::int32_t n, const QsoRecord &record);
    /** The log shown again as it stands: its last page, the search field when it
     *  has contacts, the commands following it. */
    void refresh();
    void focusList();
    /** Every command that writes the log follows it: "&Nouveau QSO", "&Supprimer",
     *  sort, merge, ADIF import, the QSL label sheet and the change of a shown
     *  record are only offered on the station's own log, writable, while no
     *  panel holds the window (deletion: with a contact). */
    void updateRecordButtons();

    /** "Voir contacts réalisés" offered for the call sign in hand, unless a list
     *  of contacts is open; withdrawn. */
    void offerContactHistory();
    void withdrawContactHistory();
    /** The list of contacts closed. */
    void closeContactsList();
    /** The list of contacts closed, the search field back, the history offered. */
    void resetSearch();
    /** Lists these records in the contacts panel under `caption`, the first one
     *  shown (the statistics' "which contacts are these"). */
    void listRecords(const std::vector<std::int32_t> &recordNos, const QString &caption);

    /** A panel's widget, into the column beside the list (below those added before). */
    void addPanel(QWidget *panel);
    /** A widget on the status line at the foot of the window (which appears with
     *  its first widget). */
    void addStatusWidget(QWidget *widget);
    /** Values the radio reports, offered in the frequency and mode fields of the
     *  contacts entered from now on (empty: none). */
    void proposeEntryValues(const std::string &frequency, const std::string &mode);
    /** A write to the log that comes from outside the window's commands (a contact
     *  another program logged). It runs at once or, while a command rewrites the
     *  whole log (a sort, an ADIF import), once that is done: written meanwhile it
     *  would be lost with the file the rewrite replaces. The list then follows the
     *  new count without moving under an entry, a change or a panel. */
    void writeFromOutside(std::function<void()> write);

    // --- Commands ------------------------------------------------------------
    /** Reads the configuration and opens the own log (or opens the first-run window). */
    void readConfigAndOpen();
    /** Opens the log at the current log path and shows its last page. */
    void loadLog();
    /** Chooses another log file and opens it (inert during entry). */
    void openAnotherLog();
    /** Shows the change-locator panel; only during an entry session. */
    void openChangeLocatorPanel();
    /** Closes the log, says goodbye and ends the program. */
    void closeAndQuit();
    void showAbout();
    void showLocatorDialog();
    /** "Imprimer Page affichée" (`blank` false) or "Imprimer page vierge". */
    void printLogPage(bool blank);
    /** A French warning over the window, with the normal pointer whatever is running. */
    void showWarning(const QString &text);

  signals:
    /** The start-up has run to its end (startupState() is 0). */
    void startupFinished();
    /** A log has been opened and its last page shown. */
    void logLoaded();
    /** The program must end (the window has closed its files). */
    void programEnded();
    /** The station locator changed through the change-locator panel. */
    void stationLocatorChanged();
    /** The open log changed, whatever changed it (a contact written, changed or
     *  deleted, the log rewritten, another one opened, the log closed). Sent from
     *  inside the command that changed it: who reads the log does it later. */
    void logChanged();
    /** A command starts or stops rewriting or reading the whole log (setBusy). */
    void busyChanged(bool busy);

  protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

  private:
    void buildCentralArea();
    void createControllers();
    void connectMenu();

    void applyMode();
    void setListEnabled();
    void chooseRecord(std::int32_t n);
    void runWritesFromOutside();

    void runStartup();
    void openFirstRun(const QString &reason);
    void finishStartup();
    void endProgram();
    /** Says once that the own log is read-only, and why; warns of a damaged log. */
    void reportLogState();

    std::filesystem::path m_dataRoot;
    std::filesystem::path m_programFolder;
    const Clock &m_clock;

    // Program-wide state.
    Configuration m_config;
    std::filesystem::path m_configPath;
    std::filesystem::path m_logPath;
    std::string m_stationLocator;
    QString m_logTitle; // the file name without ".Ham" of a foreign log
    std::filesystem::path m_readOnlyReported;
    bool m_logOpen = false;
    bool m_ownLog = false;
    WindowMode m_mode = WindowMode::List;
    bool m_busy = false;
    bool m_contactsHoldEntry = false; // a list opened from the record keeps entry and closing away
    std::vector<std::function<void()>> m_writesWaiting;
    int m_startupState = 4;
    bool m_startupRunning = false;
    bool m_startupScheduled = false;
    bool m_ending = false;
    bool m_ended = false;

    LogFile m_log;
    QPointer<FirstRunDialog> m_firstRun;
    MainMenu m_menu;

    // The window's own widgets.
    TopBar *m_topBar = nullptr;
    LogListPanel *m_listPanel = nullptr;
    RecordPanel *m_recordPanel = nullptr;
    QVBoxLayout *m_panelColumn = nullptr;

    // The controllers of the commands, each with its panel.
    ContactEditor *m_editor = nullptr;
    LocatorChange *m_locatorChange = nullptr;
    ContactsPanel *m_contacts = nullptr;
    SortPanel *m_sorter = nullptr;
    PrintJob *m_printJob = nullptr;
    LabelSheetPanel *m_labelSheet = nullptr;
    QslFieldWatcher *m_qslWatcher = nullptr;
    LogKeeping *m_logKeeping = nullptr;
    AdifCommands *m_adif = nullptr;
    AutomaticBackup *m_autoBackup = nullptr;
};

} // namespace ondelog
