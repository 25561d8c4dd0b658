// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/mainwindow.h"

#include "geo/locator.h"
#include "logbook/loglist.h"
#include "logbook/safefile.h"
#include "maintenance/logcopy.h"
#include "printing/logpage.h"
#include "setup/dataroot.h"
#include "text/text.h"
#include "ui/aboutdialog.h"
#include "ui/adifcommands.h"
#include "ui/automaticbackup.h"
#include "ui/companion.h"
#include "ui/contacteditor.h"
#include "ui/contactspanel.h"
#include "ui/controls.h"
#include "ui/filedialog.h"
#include "ui/firstrundialog.h"
#include "ui/keyboard.h"
#include "ui/labelsheetpanel.h"
#include "ui/livestation.h"
#include "ui/locatorchange.h"
#include "ui/locatordialog.h"
#include "ui/logkeeping.h"
#include "ui/loglistpanel.h"
#include "ui/mainmenu.h"
#include "ui/pause.h"
#include "ui/printjob.h"
#include "ui/qslfieldwatcher.h"
#include "ui/qtext.h"
#include "ui/recordpanel.h"
#include "ui/sortpanel.h"
#include "ui/statisticscommand.h"
#include "ui/topbar.h"
#include "ui/waitcursor.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QSessionManager>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

#include <utility>

namespace ondelog {

namespace {

const char *const kVersionNote = "(version " ONDELOG_VERSION ")";

} // namespace

MainWindow::MainWindow(const std::filesystem::path &dataRoot, const Clock &clock, QWidget *parent)
    : QMainWindow(parent), m_dataRoot(dataRoot), m_programFolder(ondelog::programFolder(dataRoot)),
      m_clock(clock)
{
    enableKeyboardConventions();
    setObjectName(QStringLiteral("Ondelog"));
    setWindowTitle(QStringLiteral("      Saisie des données"));
    setDefaultFileFolder(nativePath(m_programFolder));

    m_menu = buildMainMenu(menuBar());
    buildCentralArea();
    createControllers();
    connectMenu();
    // A session that ends without leave to ask closes nothing itself: the
    // contact on screen is stored rather than lost with the program.
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager &manager) {
        if (!manager.allowsInteraction())
            m_editor->storeBeforeForcedEnd();
    });

    m_topBar->startClock();
    m_topBar->setGreeting(QStringLiteral(" Bonjour "));
    m_startupState = 4;
    m_ownLog = false;
}

MainWindow::~MainWindow()
{
    // These helpers watch the events of this window's widgets (one of them
    // the record view's "Ma QSL" field). Gone first, they see none of
    // the events the widgets send while the window is taken apart, when the
    // window they would ask is no longer a MainWindow.
    delete std::exchange(m_qslWatcher, nullptr);
    delete std::exchange(m_labelSheet, nullptr);
    delete std::exchange(m_sorter, nullptr);
    delete std::exchange(m_contacts, nullptr);
    delete std::exchange(m_editor, nullptr);
}

// --- Building ----------------------------------------------------------------

void MainWindow::buildCentralArea()
{
    auto *central = new QWidget(this);
    central->setObjectName(QStringLiteral("OndelogCentre"));
    auto *outer = new QVBoxLayout(central);
    outer->setContentsMargins(12, 8, 12, 10);
    outer->setSpacing(8);
    m_topBar = new TopBar(m_clock, central);
    outer->addWidget(m_topBar);

    auto *columns = new QHBoxLayout;
    columns->setSpacing(12);
    m_listPanel = new LogListPanel(m_log, this);
    columns->addWidget(m_listPanel);

    m_panelColumn = new QVBoxLayout;
    m_panelColumn->setSpacing(10);
    m_recordPanel = new RecordPanel(m_log, this);
    m_panelColumn->addWidget(m_recordPanel);
    m_panelColumn->addStretch(1);
    columns->addLayout(m_panelColumn, 1);
    outer->addLayout(columns, 1);
    setCentralWidget(central);

    connect(m_listPanel, &LogListPanel::recordChosen, this, &MainWindow::chooseRecord);
    connect(m_listPanel, &LogListPanel::recordClicked, this, [this](std::int32_t n) {
        // A click on the line already selected shows its record again only when
        // the record view moved on to something else meanwhile.
        if (n != m_recordPanel->displayedRecord())
            chooseRecord(n);
    });
    connect(m_recordPanel, &RecordPanel::recordDisplayed, this,
            [this](std::int32_t, const QString &callSign) {
                if (!callSign.isEmpty())
                    offerContactHistory();
            });
}

void MainWindow::createControllers()
{
    // In this order: the panels take their places down the column as they come,
    // and those that watch the record view's buttons and fields act after the
    // editor, which was there first.
    m_adif = new AdifCommands(this);
    m_editor = new ContactEditor(*this, *m_recordPanel);
    m_locatorChange = new LocatorChange(*this, *m_recordPanel);
    m_contacts = new ContactsPanel(*this, *m_recordPanel);
    m_sorter = new SortPanel(*this);
    m_printJob = new PrintJob(this);
    m_labelSheet = new LabelSheetPanel(*this, *m_printJob);
    m_qslWatcher = new QslFieldWatcher(*this, *m_recordPanel, *m_labelSheet);
    m_logKeeping = new LogKeeping(*this);
    m_autoBackup = new AutomaticBackup(*this);
    new LiveStation(*this, m_menu.wsjtx, m_menu.transceiver);
    new StatisticsCommand(*this, m_menu.statistics); // a child of the window, which owns it
    m_log.setChangeListener([this] { emit logChanged(); });

    connect(m_contacts, &ContactsPanel::entryHeld, this, [this](bool held) {
        m_contactsHoldEntry = held;
        updateRecordButtons();
    });
    connect(m_locatorChange, &LocatorChange::changed, this, &MainWindow::stationLocatorChanged);
    connect(m_editor, &ContactEditor::confirmed, m_contacts, &ContactsPanel::relistIfShrunk);
    // The sheet is read once the station's log is open with a contact in it.
    connect(this, &MainWindow::logLoaded, m_labelSheet, [this] {
        if (m_ownLog && m_log.recordCount() > 0)
            m_labelSheet->loadSheet();
    });
}

void MainWindow::connectMenu()
{
    connect(m_topBar, &TopBar::newContactAsked, m_editor, &ContactEditor::startEntry);
    connect(m_topBar, &TopBar::deletionAsked, m_editor, &ContactEditor::askDeletion);
    connect(m_topBar, &TopBar::closeAsked, this, &MainWindow::closeAndQuit);
    connect(m_topBar, &TopBar::clockClicked, m_logKeeping, &LogKeeping::startClockSetter);

    connect(m_menu.openOwn, &QAction::triggered, this, [this] {
        // Reloading the log under a contact being typed would lose its place,
        // and under a pending question "&Oui" would act on the wrong log.
        if (m_mode != WindowMode::Entry && m_mode != WindowMode::Confirmation)
            readConfigAndOpen();
    });
    connect(m_menu.openOther, &QAction::triggered, this, &MainWindow::openAnotherLog);
    connect(m_menu.merge, &QAction::triggered, m_logKeeping, &LogKeeping::openMergePanel);
    connect(m_menu.exportAdif, &QAction::triggered, m_adif, &AdifCommands::exportLog);
    connect(m_menu.importAdif, &QAction::triggered, m_adif, &AdifCommands::importFile);
    connect(m_menu.settings, &QAction::triggered, m_autoBackup, &AutomaticBackup::editSettings);
    connect(m_menu.quit, &QAction::triggered, this, &MainWindow::closeAndQuit);

    connect(m_menu.createDatabase, &QAction::triggered, this, [this] {
        // Versabase asks for the log itself; an empty log has nothing to convert.
        if (!isEntrySession() && m_log.recordCount() != 0)
            startCompanion(this, QStringLiteral("versabase"), m_dataRoot);
    });
    connect(m_menu.copyToDisk, &QAction::triggered, m_logKeeping, &LogKeeping::copyToDisk);
    connect(m_menu.sort, &QAction::triggered, m_sorter, &SortPanel::sort);
    connect(m_menu.duplicates, &QAction::triggered, m_contacts, &ContactsPanel::findDuplicatePairs);
    connect(m_menu.backup, &QAction::triggered, m_logKeeping, &LogKeeping::backUpFromMenu);

    connect(m_menu.configurePrinter, &QAction::triggered, this, [this] {
        if (!isEntrySession())
            m_printJob->configure();
    });
    connect(m_menu.printPage, &QAction::triggered, this, [this] { printLogPage(false); });
    connect(m_menu.printBlankPage, &QAction::triggered, this, [this] { printLogPage(true); });

    connect(m_menu.editLocator, &QAction::triggered, this, &MainWindow::showLocatorDialog);
    connect(m_menu.changeLocator, &QAction::triggered, this, &MainWindow::openChangeLocatorPanel);
    connect(m_menu.blankLabels, &QAction::triggered, m_labelSheet, &LabelSheetPanel::printBlank);
    connect(m_menu.labelSheet, &QAction::triggered, m_labelSheet, &LabelSheetPanel::openSheet);
    connect(m_menu.about, &QAction::triggered, this, &MainWindow::showAbout);
}

void MainWindow::addPanel(QWidget *panel)
{
    // Above the stretch that keeps the column's panels together at its top.
    m_panelColumn->insertWidget(m_panelColumn->count() - 1, panel);
}

void MainWindow::addStatusWidget(QWidget *widget)
{
    // The whole width: the notices start at the left, as a status line's do.
    statusBar()->addPermanentWidget(widget, 1);
    statusBar()->show();
}

// --- The mode ------------------------------------------------------------------

void MainWindow::setMode(WindowMode mode)
{
    m_mode = mode;
    if (mode == WindowMode::Entry) {
        m_contacts->closeList();
        m_contacts->showSearchField(false);
    } else {
        m_locatorChange->cancel();
    }
    applyMode();
}

void MainWindow::setBusy(bool busy)
{
    m_busy = busy;
    applyMode();
    emit busyChanged(busy);
    // Once the command that ends here has shown the log again: an import opens
    // the file it wrote only after this.
    if (!busy)
        QTimer::singleShot(0, this, &MainWindow::runWritesFromOutside);
}

void MainWindow::applyMode()
{
    m_topBar->setButtonsShown(m_mode != WindowMode::Entry);
    // Another command in the middle of a sort or a transfer (a second sort, a
    // search, closing the log) would act on a log being replaced; a question
    // waiting for "&Oui" acts on the record it names, which must stay shown.
    m_topBar->setButtonsEnabled(m_mode != WindowMode::Confirmation && !m_busy);
    menuBar()->setEnabled(!m_busy);
    setListEnabled();
    m_recordPanel->setVisible(m_mode != WindowMode::Held);
    m_recordPanel->setEnabled(!m_busy);
    m_listPanel->setPagingInert(m_mode == WindowMode::Entry);
    updateRecordButtons();
}

void MainWindow::setListEnabled()
{
    m_listPanel->setEnabled(m_mode == WindowMode::List && !m_busy);
}

void MainWindow::updateRecordButtons()
{
    // Only the station's own log is ever written, and only when it was opened
    // for writing; the core refuses the rest all the same.
    const bool writable = m_logOpen && m_ownLog && m_log.isOpen() && !m_log.isReadOnly();
    const bool free = writable && m_mode != WindowMode::Held;
    m_topBar->setCommands(free && !m_contactsHoldEntry, free && m_log.recordCount() > 0,
                          !m_contactsHoldEntry);
    for (QAction *command : {m_menu.sort, m_menu.merge, m_menu.importAdif, m_menu.labelSheet})
        command->setEnabled(free);
    // A panel holding the window works on this log: another one may not come under it.
    m_menu.openOwn->setEnabled(m_mode != WindowMode::Held);
    m_menu.openOther->setEnabled(m_mode != WindowMode::Held);
    if (m_editor)
        m_editor->allowChanges(writable);
}

// --- What the panels ask for -------------------------------------------------------

std::int32_t MainWindow::shownRecord() const
{
    return m_recordPanel->displayedRecord();
}

QString MainWindow::callSignInHand() const
{
    return m_recordPanel->field(1)->text().trimmed();
}

std::filesystem::path MainWindow::ownLogPath() const
{
    return m_programFolder / m_config.logFileName;
}

void MainWindow::chooseRecord(std::int32_t n)
{
    m_recordPanel->displayRecord(n);
}

void MainWindow::showPage(std::int32_t page)
{
    m_listPanel->showPage(page);
}

void MainWindow::showLastPage()
{
    if (!m_log.isOpen())
        return;
    m_log.countRecords();
    // During an entry the list goes to the new contact's place all the same:
    // enabled for the moment, as the operator could not do it.
    const bool inert = m_mode == WindowMode::Entry;
    if (inert)
        m_listPanel->setEnabled(true);
    m_listPanel->showCountedPage(computePageCount(m_log.recordCount()));
    if (inert)
        setListEnabled();
}

void MainWindow::showCountedPage(std::int32_t page)
{
    m_listPanel->showCountedPage(page);
}

void MainWindow::showRecord(std::int32_t n)
{
    if (n < 1 || n > m_log.recordCount())
        return;
    const bool entry = m_mode == WindowMode::Entry;
    if (entry)
        m_listPanel->setEnabled(true);
    m_listPanel->showRecordLine(n);
    if (entry)
        setListEnabled(); // the fields keep the contact being typed
    else if (m_recordPanel->displayedRecord() != n)
        // The line was already the list's current one: show its record all the same.
        m_recordPanel->displayRecord(n);
}

void MainWindow::redrawPage()
{
    const std::int32_t shown = m_recordPanel->displayedRecord();
    if (!m_listPanel->redrawPage(shown) && shown > 0)
        m_recordPanel->displayRecord(shown);
}

void MainWindow::refreshRecord(std::int32_t n)
{
    if (n > 0 && m_recordPanel->displayedRecord() == n)
        m_recordPanel->displayRecord(n);
}

void MainWindow::updateListLine(std::int32_t n, const QsoRecord &record)
{
    m_listPanel->updateLine(n, record);
}

void MainWindow::refresh()
{
    showLastPage();
    m_contacts->showSearchField(m_log.recordCount() > 0);
    updateRecordButtons();
}

void MainWindow::focusList()
{
    m_listPanel->focusList();
}

void MainWindow::offerContactHistory()
{
    m_contacts->offerHistory();
}

void MainWindow::withdrawContactHistory()
{
    m_contacts->withdrawHistory();
}

void MainWindow::closeContactsList()
{
    m_contacts->closeList();
}

void MainWindow::resetSearch()
{
    m_contacts->reset();
}

void MainWindow::listRecords(const std::vector<std::int32_t> &recordNos, const QString &caption)
{
    m_contacts->listRecords(recordNos, caption);
}

void MainWindow::proposeEntryValues(const std::string &frequency, const std::string &mode)
{
    m_editor->proposeValues(frequency, mode);
}

void MainWindow::writeFromOutside(std::function<void()> write)
{
    m_writesWaiting.push_back(std::move(write));
    if (!m_busy)
        runWritesFromOutside();
}

void MainWindow::runWritesFromOutside()
{
    if (m_busy || m_writesWaiting.empty())
        return;
    const std::vector<std::function<void()>> writes = std::move(m_writesWaiting);
    m_writesWaiting.clear();
    for (const std::function<void()> &write : writes)
        write();
    if (!m_log.isOpen())
        return;
    m_log.countRecords();
    m_listPanel->followCount();
    m_editor->followLogCount();
    updateRecordButtons();
    // The page is drawn again only when nothing is under way: during an entry,
    // a change, a panel, or while the operator types elsewhere (a search), a
    // list drawn again would show another record or take the focus away. The
    // new contacts are then listed at the next drawing of the page.
    const QWidget *focus = QApplication::focusWidget();
    const bool quiet = m_mode == WindowMode::List && !m_editor->isModifyMode() &&
                       (!focus || m_listPanel->isAncestorOf(focus));
    if (quiet && m_listPanel->currentPage() >= m_listPanel->pageCount())
        redrawPage();
}

// --- Start-up ------------------------------------------------------------------

void MainWindow::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (m_startupState == 4 && !m_startupScheduled) {
        m_startupScheduled = true;
        // Let the window paint its greeting before the start-up takes over.
        QTimer::singleShot(0, this, &MainWindow::runStartup);
    }
}

void MainWindow::runStartup()
{
    if (m_startupState != 4 || m_startupRunning || m_firstRun || m_ended)
        return;
    m_startupRunning = true;
    QPointer<MainWindow> self(this);
    pauseSeconds(1);
    if (!self)
        return;
    m_startupRunning = false;
    if (!m_ended)
        readConfigAndOpen();
}

void MainWindow::readConfigAndOpen()
{
    m_logOpen = false;
    const std::optional<std::filesystem::path> file = findConfigurationFile(m_programFolder);
    if (!file) {
        openFirstRun({});
        return;
    }
    const ConfigReadResult read = readConfiguration(*file);
    if (read.status != ConfigStatus::Ok) {
        const QString what = read.status == ConfigStatus::ReadFailed
                                 ? QStringLiteral("ne peut pas être lu")
                                 : QStringLiteral("est endommagé");
        openFirstRun(QStringLiteral("Le fichier de configuration\n%1\n%2.\n\n"
                                    "Entrez à nouveau votre indicatif et votre locator : "
                                    "un log existant sera conservé.")
                         .arg(nativePath(*file), what));
        return;
    }

    WaitCursor wait;
    m_config = read.config;
    m_configPath = *file;
    m_stationLocator = m_config.stationLocator;
    m_logPath = ownLogPath();
    // A rewrite stopped by a crash leaves its temporary file beside what it
    // rewrote (the log, wherever a link puts it, the configuration, the label
    // sheet, a backup); the file itself is whole either way. Only this Ondelog
    // writes these files. Fabribase's own, in the same folder, are left to it.
    SafeFileWriter::removeLeftovers(m_logPath);
    SafeFileWriter::removeLeftovers(*file);
    SafeFileWriter::removeLeftovers(m_programFolder / kLabelSheetFileName);
    removeBackupLeftovers(m_programFolder);
    m_logOpen = true;
    m_ownLog = true;
    m_logTitle.clear();
    m_listPanel->setTitle(toQString(m_config.callSign));
    loadLog();
}

void MainWindow::openFirstRun(const QString &reason)
{
    if (m_firstRun)
        return;
    if (!reason.isEmpty())
        showWarning(reason);
    m_firstRun = new FirstRunDialog(m_dataRoot, this);
    connect(m_firstRun, &QDialog::finished, this, [this](int result) {
        FirstRunDialog *dialog = m_firstRun;
        m_firstRun = nullptr;
        dialog->deleteLater();
        if (result != QDialog::Accepted) {
            endProgram();
            return;
        }
        if (m_startupState == 4)
            QTimer::singleShot(0, this, &MainWindow::runStartup);
        else
            QTimer::singleShot(0, this, &MainWindow::readConfigAndOpen);
    });
    m_firstRun->open();
}

void MainWindow::loadLog()
{
    m_contacts->closeList();
    m_contacts->clearSearch();

    if (m_logOpen) {
        QString caption = QStringLiteral(" Cahier de Trafic de ") + toQString(m_config.callSign) +
                          QString(22, QLatin1Char(' ')) + QString::fromLatin1(kVersionNote);
        // Another file, whatever its name, is only read: the caption says which.
        if (!m_ownLog)
            caption += QStringLiteral("   —   %1 (lecture seule)").arg(nativePath(m_logPath));
        setWindowTitle(caption);
        m_topBar->startClock();

        LogStatus status = m_ownLog ? m_log.open(m_logPath) : m_log.openReadOnly(m_logPath);
        if (status == LogStatus::NotFound && m_ownLog) {
            // The configuration names a log that is gone: start an empty one
            // rather than leave the station without a log, and say so.
            status = LogFile::create(m_logPath, m_stationLocator);
            if (status == LogStatus::Ok) {
                showWarning(QStringLiteral("Le log %1 est introuvable : un log vide est créé.")
                                .arg(nativePath(m_logPath)));
                status = m_log.open(m_logPath);
            }
        }
        if (status != LogStatus::Ok) {
            showWarning(
                QStringLiteral("Le log %1 ne peut pas être ouvert :\n%2")
                    .arg(nativePath(m_logPath), QString::fromStdString(statusMessageUtf8(status))));
            m_logOpen = false;
        }
    }

    if (m_logOpen)
        reportLogState();

    if (m_logOpen) {
        const std::int32_t n = m_log.recordCount();
        m_listPanel->showCountedPage(computePageCount(n));
        m_contacts->showSearchField(n > 0);
        if (n > 0 || !m_ownLog)
            m_listPanel->focusList();
    } else {
        m_log.close();
        m_listPanel->clear();
        m_recordPanel->clearRecord();
        m_contacts->showSearchField(false);
    }
    updateRecordButtons();

    finishStartup();
}

void MainWindow::reportLogState()
{
    QString title = m_ownLog ? toQString(m_config.callSign) : m_logTitle;
    if (m_log.isReadOnly())
        title += QStringLiteral(" (lecture seule)");
    if (m_ownLog && m_log.isReadOnly()) {
        // Said once per log and run; the title keeps saying it.
        if (m_readOnlyReported != m_logPath) {
            m_readOnlyReported = m_logPath;
            showWarning(QStringLiteral("Le log %1 est ouvert en lecture seule : %2\n\n"
                                       "Vous pouvez le consulter, mais ni y saisir, ni y modifier, "
                                       "ni y supprimer de contact.")
                            .arg(nativePath(m_logPath),
                                 QString::fromStdString(readOnlyCauseUtf8(m_log.readOnlyCause()))));
        }
    }
    m_listPanel->setTitle(title);

    const LogDamage damage = m_log.inspect();
    if (damage.any())
        showWarning(nativePath(m_logPath) + QStringLiteral("\n\n") +
                    QString::fromStdString(damageMessageUtf8(damage)));
}

void MainWindow::finishStartup()
{
    QPointer<MainWindow> self(this);
    pauseSeconds(1);
    if (!self)
        return;
    const bool wasStarting = m_startupState == 4;
    m_startupState = 0;
    m_topBar->setGreeting({});
    if (m_logOpen)
        emit logLoaded();
    if (wasStarting)
        emit startupFinished();
}

// --- Other logs ------------------------------------------------------------------

void MainWindow::openAnotherLog()
{
    if (m_mode == WindowMode::Entry || m_mode == WindowMode::Confirmation)
        return;
    const std::filesystem::path previousPath = m_logPath;
    const bool wasOpen = m_logOpen;
    const QString previousTitle = m_logTitle;
    m_logPath.clear();
    m_logOpen = false;
    m_logTitle.clear();

    const QString chosen = askFileName(this, logFileRequest(FileDialogMode::Open,
                                                            QStringLiteral("Ouvrir un fichier.Ham"),
                                                            nativePath(m_dataRoot)));
    auto restore = [&] {
        m_logPath = previousPath;
        m_logOpen = wasOpen;
        m_logTitle = previousTitle;
    };
    if (chosen.isEmpty()) {
        restore();
        return;
    }

    WaitCursor wait;
    // The own log is the file the configuration names, found by what it is (a
    // copy or a backup bears its name too): whatever path leads to it, it is
    // written through the configured one. Any other file is only read.
    const bool own = !m_config.logFileName.empty() && isSameFile(toPath(chosen), ownLogPath());
    const std::filesystem::path path = own ? ownLogPath() : toPath(chosen);
    std::optional<std::string> markerLocator;
    {
        // Tried on the side first: a file that cannot be opened leaves the
        // current log open and shown.
        LogFile probe;
        const LogStatus status = own ? probe.open(path) : probe.openReadOnly(path);
        if (status != LogStatus::Ok) {
            restore();
            showWarning(QStringLiteral("Le fichier %1 ne peut pas être ouvert :\n%2")
                            .arg(nativePath(toPath(chosen)),
                                 QString::fromStdString(statusMessageUtf8(status))));
            return;
        }
        markerLocator = probe.endMarkerLocator();
    }

    const QString fileName = QFileInfo(chosen).fileName();
    m_logTitle = fileName.endsWith(QStringLiteral(".ham"), Qt::CaseInsensitive)
                     ? fileName.left(fileName.size() - 4)
                     : fileName;
    // The station locator of a log travels in its end marker; a blank or damaged
    // one would give new contacts no own locator, so it is only taken when valid.
    if (markerLocator && isLocatorValid(*markerLocator))
        m_stationLocator = *markerLocator;
    m_logPath = path;
    m_logOpen = true;
    m_ownLog = own;
    m_listPanel->setTitle(own ? toQString(m_config.callSign) : m_logTitle);
    loadLog();
}

// --- Station locator -------------------------------------------------------------

void MainWindow::openChangeLocatorPanel()
{
    m_locatorChange->open();
}

void MainWindow::changeStationLocator(const std::string &locator, bool keep)
{
    m_stationLocator = locator;
    if (!keep)
        return;
    Configuration config = m_config;
    config.stationLocator = locator;
    const std::filesystem::path file =
        m_configPath.empty() ? m_programFolder / kConfigFileName : m_configPath;
    if (writeConfiguration(file, config)) {
        m_config = config;
        m_configPath = file;
    } else {
        showWarning(QStringLiteral("Le fichier de configuration %1 ne peut pas être écrit : "
                                   "le nouveau locator ne vaut que jusqu'à la fermeture.")
                        .arg(nativePath(file)));
    }
}

// --- Dialogs and paper -------------------------------------------------------------

void MainWindow::showAbout()
{
    AboutDialog dialog(m_dataRoot, this);
    dialog.exec();
}

void MainWindow::showLocatorDialog()
{
    LocatorDialog dialog(m_stationLocator, this);
    dialog.exec();
}

void MainWindow::printLogPage(bool blank)
{
    if (isEntrySession())
        return;
    LogPageRequest request;
    request.stationCall = m_config.callSign;
    if (!blank) {
        if (!m_logOpen || !m_log.isOpen() || m_log.recordCount() < 1)
            return;
        const std::int32_t page = m_listPanel->currentPage();
        request.firstRecord = pageRange(page, m_log.recordCount()).first;
        request.pageNumber = page;
        request.read = [this](std::int32_t n) { return m_log.readRecord(n); };
    }
    const QString title =
        blank ? QStringLiteral("Page vierge") : QStringLiteral("Page %1").arg(request.pageNumber);
    const PrintOutcome outcome = m_printJob->run(
        title, [&request](PrintSurface &surface) { ondelog::printLogPage(surface, request); });
    if (outcome == PrintOutcome::Failed)
        showWarning(
            QStringLiteral("La page n'a pas été imprimée : %1").arg(m_printJob->lastError()));
}

void MainWindow::showWarning(const QString &text)
{
    warningBox(this, text);
}

// --- Clock and closing -----------------------------------------------------------------

void MainWindow::closeAndQuit()
{
    if (m_ending || m_ended)
        return;
    if (!m_editor->settleEntryBeforeQuit())
        return;
    m_ending = true;
    m_log.close();
    m_topBar->setGreeting(QStringLiteral(" Au revoir "));
    QPointer<MainWindow> self(this);
    pauseSeconds(1);
    if (self)
        endProgram();
}

void MainWindow::endProgram()
{
    if (m_ended)
        return;
    m_ended = true;
    m_log.close();
    m_topBar->stopClock();
    emit programEnded();
    close();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (!m_ended && !m_ending && !m_editor->settleEntryBeforeQuit()) {
        event->ignore();
        return;
    }
    if (!m_ended) {
        m_ended = true;
        m_log.close();
        m_topBar->stopClock();
        emit programEnded();
    }
    QMainWindow::closeEvent(event);
}

} // namespace ondelog
