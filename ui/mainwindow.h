#pragma once
// Ondelog's main window. It owns the open log and the program-wide state (the
// station's call sign and locator, the log being own or foreign, the entry
// session), shows the log 25 contacts to a page with its paging controls, the
// record view beside it, and hosts the panels that the menu opens over them.
//
// Start-up runs once the window is first shown: after a one-second greeting it
// reads the configuration (or opens the first-run window), opens the log and
// shows its last page. Every page-turning decision is the core's Pager; the
// window draws the page and selects the line it is told to.

#include "geo/calendar.h"
#include "logbook/logfile.h"
#include "logbook/pager.h"
#include "setup/config.h"

#include <QMainWindow>
#include <QPointer>
#include <QTimer>

#include <cstdint>
#include <filesystem>
#include <string>

class QAction;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class QScrollBar;
class QToolButton;

namespace ondelog {

class ChangeLocatorPanel;
class ContactEditor;
class ContactsPanel;
class FirstRunDialog;
class LabelSheetPanel;
class PrintJob;
class LogKeeping;
class RecordPanel;
class SortPanel;

class MainWindow : public QMainWindow
{
    Q_OBJECT

  public:
    /** A French warning over the window, with the normal pointer whatever is running. */
    void showWarning(const QString &text);
    /** While a command reads or rewrites the whole log (a sort, an ADIF
     *  transfer), the list, the record, the menus and the buttons are disabled. */
    void setBusy(bool busy);
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
    bool isEntrySession() const { return m_entrySession; }
    /** Starts or ends the entry session; the paging buttons follow. */
    void setEntrySession(bool on);
    /** The program has ended (closing commands, or "Tout arrêter !!"). */
    bool hasEnded() const { return m_ended; }

    const std::string &stationCall() const { return m_config.callSign; }
    const std::string &logFileName() const { return m_config.logFileName; }
    /** The locator new contacts receive as their own, and the distances' origin. */
    const std::string &stationLocator() const { return m_stationLocator; }
    void setStationLocator(const std::string &locator) { m_stationLocator = locator; }
    const std::filesystem::path &dataRoot() const { return m_dataRoot; }
    const std::filesystem::path &programFolder() const { return m_programFolder; }
    /** The configuration file read at start-up (rewritten by the locator panel). */
    const std::filesystem::path &configurationPath() const { return m_configPath; }
    const Clock &clock() const { return m_clock; }

    LogFile &logFile() { return m_log; }
    Pager &pager() { return m_pager; }
    RecordPanel *recordPanel() const { return m_recordPanel; }
    QListWidget *logList() const { return m_list; }              ///< ListeLog
    QFrame *listPanel() const { return m_listPanel; }            ///< PictListe
    QFrame *menuPanel() const { return m_menuPanel; }            ///< PictMenu
    QPushButton *newQsoButton() const { return m_newQsoButton; } ///< BtNewQSO
    QPushButton *deleteButton() const { return m_deleteButton; } ///< BtKillFiche
    QFrame *searchPanel() const { return m_searchPanel; }        ///< PictRech
    QPushButton *searchButton() const { return m_searchButton; } ///< BtActiveRech
    QFrame *contactsPanel() const { return m_contactsPanel; }    ///< PictContacts
    /** New contacts and changes to stored ones, typed into the record view. */
    ContactEditor *contactEditor() const { return m_editor; }
    /** The sheet of 16 QSL labels (PictFeuilleQSL). */
    LabelSheetPanel *labelSheetPanel() const { return m_labelSheet; }
    /** The printer every paper command uses. */
    PrintJob *printJob() const { return m_printJob; }
    /** Backup, copy, merge and the start of the companion programs. */
    LogKeeping *logKeeping() const { return m_logKeeping; }

    // --- Operations ----------------------------------------------------------
    /** Reads the configuration and opens the own log (or opens the first-run window). */
    void readConfigAndOpen();
    /** Opens the log at the current log path and shows its last page. */
    void loadLog();
    /** Fills the list with page p and sets the paging controls; selects nothing. */
    void showPage(std::int32_t page);
    /** Selects the first or last line of the list (which shows its record). */
    void selectLine(LineChoice line);
    /** Counts the log again, shows its last page and selects its last line. */
    void showLastPage();
    /** The log was just counted: the scroll range and page count follow, then page
     *  `page` (the last page when it lies beyond) is shown with its last line selected. */
    void showCountedPage(std::int32_t page);
    /** Every command that writes the log follows it: "&Nouveau QSO", "&Supprimer",
     *  sort, merge, ADIF import, the QSL label sheet and the change of a shown
     *  record are only offered on the station's own log, writable, while no
     *  panel holds the window (deletion: with a contact). */
    void updateRecordButtons();
    /** A panel that works on the log as it stands (the label sheet, the merge
     *  panel) takes the place of the record view and holds the window: the list,
     *  the commands that write the log and the opening of another log wait
     *  until it lets go. */
    void holdForPanel(bool held);
    bool isHeldByPanel() const { return m_heldByPanel; }
    /** The station's own log: the file the configuration names. */
    std::filesystem::path ownLogPath() const;
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

  signals:
    /** The start-up has run to its end (startupState() is 0). */
    void startupFinished();
    /** A log has been opened and its last page shown. */
    void logLoaded();
    /** The program must end (the window has closed its files). */
    void programEnded();
    /** The station locator changed through the change-locator panel. */
    void stationLocatorChanged();

  protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    void buildMenu();
    void buildCentralArea();
    QWidget *buildTopBar();
    QToolButton *buildClockIcon();
    QWidget *buildListPanel();
    QWidget *buildSearchPanel();
    QFrame *buildPlaceholder(const char *name);
    void buildPaperCommands();

    void runStartup();
    void openFirstRun(const QString &reason);
    void finishStartup();
    void refreshClock();
    void setPagingButtons();
    void onListRowChanged(int row);
    void onScrollValueChanged(int value);
    bool handleListKey(int key);
    void takePageBox();
    void addListLine(std::int32_t recordNo, const QString &line);
    void fitListRows();
    void goToPage(std::int32_t page, LineChoice line);
    void onLocatorChosen(const std::string &locator, bool keep);
    void closeChangeLocatorPanel();
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
    bool m_entrySession = false;
    int m_startupState = 4;
    bool m_startupRunning = false;
    bool m_startupScheduled = false;
    bool m_ending = false;
    bool m_ended = false;
    bool m_drawing = false;
    bool m_heldByPanel = false;

    LogFile m_log;
    Pager m_pager;
    QTimer m_clockTimer;
    QPointer<FirstRunDialog> m_firstRun;
    QPointer<QWidget> m_focusBeforeLocatorPanel;

    // Menu (objectName as the menu items are known).
    QMenu *m_fileMenu = nullptr;
    QAction *m_openOwn = nullptr;
    QAction *m_openOther = nullptr;
    QAction *m_quit = nullptr;
    // The commands that write the log, greyed with it (see updateRecordButtons).
    QAction *m_sortAction = nullptr;
    QAction *m_mergeAction = nullptr;
    QAction *m_importAction = nullptr;
    QAction *m_labelSheetAction = nullptr;

    // Panels and controls.
    QFrame *m_menuPanel = nullptr; // PictMenu
    QPushButton *m_closeButton = nullptr;
    QPushButton *m_newQsoButton = nullptr;
    QPushButton *m_deleteButton = nullptr;
    QLabel *m_greeting = nullptr;
    QToolButton *m_clockIcon = nullptr;
    QLabel *m_timeLabel = nullptr;
    QLabel *m_dateLabel = nullptr;

    QFrame *m_listPanel = nullptr; // PictListe
    QLabel *m_listTitle = nullptr;
    QListWidget *m_list = nullptr;
    QScrollBar *m_scroll = nullptr;
    QFrame *m_pagePanel = nullptr;
    QPushButton *m_topButton = nullptr;
    QPushButton *m_minusButton = nullptr;
    QPushButton *m_plusButton = nullptr;
    QPushButton *m_bottomButton = nullptr;
    QLineEdit *m_pageBox = nullptr;

    RecordPanel *m_recordPanel = nullptr;
    QFrame *m_searchPanel = nullptr; // PictRech
    QLineEdit *m_searchText = nullptr;
    QPushButton *m_searchButton = nullptr;
    QFrame *m_contactsPanel = nullptr;
    ChangeLocatorPanel *m_locatorPanel = nullptr;
    ContactEditor *m_editor = nullptr;
    PrintJob *m_printJob = nullptr;
    LabelSheetPanel *m_labelSheet = nullptr;
    ContactsPanel *m_contacts = nullptr;
    SortPanel *m_sorter = nullptr;
    LogKeeping *m_logKeeping = nullptr;
};

} // namespace ondelog
