#include "ui/mainwindow.h"

#include "geo/locator.h"
#include "logbook/loglist.h"
#include "logbook/safefile.h"
#include "maintenance/logcopy.h"
#include "setup/dataroot.h"
#include "text/text.h"
#include "ui/aboutdialog.h"
#include "ui/adifcommands.h"
#include "ui/automaticbackup.h"
#include "ui/changelocatorpanel.h"
#include "ui/companion.h"
#include "ui/contacteditor.h"
#include "ui/contactspanel.h"
#include "ui/filedialog.h"
#include "ui/firstrundialog.h"
#include "ui/keyboard.h"
#include "ui/labelsheetpanel.h"
#include "ui/locatordialog.h"
#include "ui/logkeeping.h"
#include "ui/mergepanel.h"
#include "ui/pause.h"
#include "ui/qtext.h"
#include "ui/recordpanel.h"
#include "ui/sortpanel.h"
#include "ui/uppercase.h"
#include "ui/waitcursor.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QSessionManager>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace ondelog {

namespace {

const char *const kVersionNote = "(version " ONDELOG_VERSION ")";

QString nativePath(const std::filesystem::path &path)
{
    return QDir::toNativeSeparators(QString::fromStdString(path.string()));
}

std::filesystem::path toPath(const QString &path)
{
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

QFont listFont()
{
    // The list lines are columns of blanks: they only line up in a fixed pitch.
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPointSizeF(10.5);
    return font;
}

QPushButton *button(const QString &text, const char *name, QWidget *parent)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

QFrame *panel(const char *name, QWidget *parent)
{
    auto *frame = new QFrame(parent);
    frame->setObjectName(QString::fromLatin1(name));
    frame->setFrameShape(QFrame::StyledPanel);
    return frame;
}

} // namespace

MainWindow::MainWindow(const std::filesystem::path &dataRoot, const Clock &clock, QWidget *parent)
    : QMainWindow(parent), m_dataRoot(dataRoot), m_programFolder(ondelog::programFolder(dataRoot)),
      m_clock(clock)
{
    enableKeyboardConventions();
    setObjectName(QStringLiteral("Ondelog"));
    setWindowTitle(QStringLiteral("      Saisie des données"));
    setDefaultFileFolder(nativePath(m_programFolder));

    buildMenu();
    buildCentralArea();
    m_editor = new ContactEditor(*this);
    buildPaperCommands();
    // A session that ends without leave to ask closes nothing itself: the
    // contact on screen is stored rather than lost with the program.
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager &manager) {
        if (!manager.allowsInteraction())
            m_editor->storeBeforeForcedEnd();
    });
    // After the editor: their handlers of the record view's buttons run after its own.
    m_contacts = new ContactsPanel(*this);
    m_sorter = new SortPanel(*this);
    new AutomaticBackup(*this);

    m_clockTimer.setInterval(1000);
    connect(&m_clockTimer, &QTimer::timeout, this, &MainWindow::refreshClock);
    refreshClock();
    m_clockTimer.start();

    m_greeting->setText(QStringLiteral(" Bonjour "));
    m_startupState = 4;
    m_ownLog = false;
}

MainWindow::~MainWindow()
{
    // These helpers watch the events of this window's widgets (the label sheet
    // those of the record view's "Ma QSL" field). Gone first, they see none of
    // the events the widgets send while the window is taken apart, when the
    // window they would ask is no longer a MainWindow.
    delete m_labelSheet;
    m_labelSheet = nullptr;
    delete m_sorter;
    m_sorter = nullptr;
    delete m_contacts;
    m_contacts = nullptr;
    delete m_editor;
    m_editor = nullptr;
}

// --- Building ----------------------------------------------------------------

void MainWindow::buildMenu()
{
    auto addMenu = [this](const char *name, const QString &title) {
        QMenu *menu = menuBar()->addMenu(title);
        menu->setObjectName(QString::fromLatin1(name));
        return menu;
    };
    auto addItem = [](QMenu *menu, const char *name, const QString &text) {
        QAction *action = menu->addAction(text);
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };

    m_fileMenu = addMenu("NmuFilect", QStringLiteral("    Fichier    "));
    m_openOwn = addItem(m_fileMenu, "MnuCourantF", QStringLiteral("    Ouvrir Fichier courant  "));
    m_openOther = addItem(m_fileMenu, "MnuAutreF", QStringLiteral("  Ouvrir Autre Fichier.Ham  "));
    m_mergeAction = addItem(m_fileMenu, "MnuJumeler", QStringLiteral(" Jumeler deux Fichiers.Ham"));
    m_fileMenu->addSeparator();
    QAction *exportAdif = addItem(m_fileMenu, "MnuExportAdif", QStringLiteral("Exporter en ADIF…"));
    m_importAction =
        addItem(m_fileMenu, "MnuImportAdif", QStringLiteral("Importer un fichier ADIF…"));
    m_fileMenu->addSeparator();
    addItem(m_fileMenu, "MnuReglages", QStringLiteral("Réglages…"));
    m_quit = addItem(m_fileMenu, "MnuQuitter", QStringLiteral("  Fermer Fichier  et  Quitter"));

    QMenu *list = addMenu("MnuLister", QStringLiteral("      Liste        "));
    QAction *createMdb = addItem(list, "MnuCreateMDB", QStringLiteral("    Réaliser  fichier.mdb"));
    addItem(list, "MnuCopieSurDisque", QStringLiteral("Copier sur CD ou disquette"));
    m_sortAction = addItem(list, "MnuClasser", QStringLiteral("      Classer  le Fichier   "));
    addItem(list, "MnuDoublons", QStringLiteral("  Chercher les doublons"));
    addItem(list, "MnuSauver", QStringLiteral("        Sauvegarder "));

    QMenu *print = addMenu("MnuImprim", QStringLiteral("    Imprimer    "));
    addItem(print, "MnuConfigImp", QStringLiteral("Configurer imprimante  "));
    addItem(print, "MnuImpPage", QStringLiteral("Imprimer Page affichée  "));
    addItem(print, "MnuImpPageVierge", QStringLiteral("Imprimer page vierge  "));

    QMenu *locator = addMenu("MnuLocator", QStringLiteral("    Locator   "));
    QAction *editLocator = addItem(locator, "MnuEditLocator", QStringLiteral("    Editer Locator"));
    QAction *changeLocator =
        addItem(locator, "MnuChangerLocator", QStringLiteral(" Changer de Locator"));

    QMenu *qsl = addMenu("MnuServiceQSL", QStringLiteral("   Service QSL  "));
    addItem(qsl, "MnuVirginTags", QStringLiteral(" Imprimer étiquettes vierges à coller"));
    m_labelSheetAction =
        addItem(qsl, "MnuGestionFeuilleQSL", QStringLiteral("   Gestion feuille 16 étiquettes "));

    QMenu *infos = addMenu("MnuInfos", QStringLiteral("   Infos "));
    QAction *about = addItem(infos, "MnuVoir", QStringLiteral("  Infos à propos de Ondelog"));

    connect(m_openOwn, &QAction::triggered, this, [this] {
        // Reloading the log under a contact being typed would lose its place,
        // and under a pending question "&Oui" would act on the wrong log.
        if (!m_entrySession && m_recordPanel->confirmFrame()->isHidden())
            readConfigAndOpen();
    });
    connect(m_openOther, &QAction::triggered, this, &MainWindow::openAnotherLog);
    connect(m_quit, &QAction::triggered, this, &MainWindow::closeAndQuit);
    connect(editLocator, &QAction::triggered, this, &MainWindow::showLocatorDialog);
    connect(changeLocator, &QAction::triggered, this, &MainWindow::openChangeLocatorPanel);
    connect(about, &QAction::triggered, this, &MainWindow::showAbout);
    connect(createMdb, &QAction::triggered, this, [this] {
        // Versabase asks for the log itself; an empty log has nothing to convert.
        if (!m_entrySession && m_log.recordCount() != 0)
            startCompanion(this, QStringLiteral("versabase"), m_dataRoot);
    });
    auto *adif = new AdifCommands(this);
    connect(exportAdif, &QAction::triggered, adif, &AdifCommands::exportLog);
    connect(m_importAction, &QAction::triggered, adif, &AdifCommands::importFile);
}

QToolButton *MainWindow::buildClockIcon()
{
    const int size = 28;
    QPixmap pixmap(size * 2, size * 2);
    pixmap.setDevicePixelRatio(2.0);
    pixmap.fill(Qt::transparent);
    {
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        const QPalette pal = palette();
        painter.setPen(QPen(pal.color(QPalette::WindowText), 1.6));
        painter.setBrush(pal.color(QPalette::Base));
        const QRectF face(2, 2, size - 4, size - 4);
        painter.drawEllipse(face);
        const QPointF centre = face.center();
        for (int i = 0; i < 12; ++i) {
            painter.save();
            painter.translate(centre);
            painter.rotate(i * 30.0);
            painter.drawLine(QPointF(0, -face.height() / 2 + 2),
                             QPointF(0, -face.height() / 2 + 4));
            painter.restore();
        }
        painter.setPen(QPen(pal.color(QPalette::WindowText), 2.0, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(centre, centre + QPointF(0, -8));
        painter.drawLine(centre, centre + QPointF(6, 3));
    }
    auto *icon = new QToolButton(this);
    icon->setObjectName(QStringLiteral("Horloge"));
    icon->setIcon(QIcon(pixmap));
    icon->setIconSize(QSize(size, size));
    icon->setAutoRaise(true);
    icon->setToolTip(QStringLiteral("Mise à l'heure"));
    return icon;
}

QWidget *MainWindow::buildTopBar()
{
    auto *bar = new QWidget(this);
    auto *row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(10);

    m_menuPanel = panel("PictMenu", bar);
    m_menuPanel->setFrameShape(QFrame::NoFrame);
    auto *buttons = new QHBoxLayout(m_menuPanel);
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->setSpacing(8);
    m_closeButton = button(QStringLiteral("Fermer le Log"), "BtFermerLog", m_menuPanel);
    m_newQsoButton = button(QStringLiteral("&Nouveau QSO"), "BtNewQSO", m_menuPanel);
    m_deleteButton = button(QStringLiteral("&Supprimer"), "BtKillFiche", m_menuPanel);
    QFont strong = m_newQsoButton->font();
    strong.setBold(true);
    m_newQsoButton->setFont(strong);
    for (QPushButton *b : {m_newQsoButton, m_deleteButton, m_closeButton}) {
        b->setMinimumHeight(32);
        b->setMinimumWidth(120);
    }
    buttons->addWidget(m_newQsoButton);
    buttons->addWidget(m_deleteButton);
    buttons->addSpacing(16);
    buttons->addWidget(m_closeButton);
    row->addWidget(m_menuPanel);
    row->addStretch(1);

    m_greeting = new QLabel(bar);
    m_greeting->setObjectName(QStringLiteral("OndelogLab03"));
    QFont greetingFont = m_greeting->font();
    greetingFont.setItalic(true);
    greetingFont.setPointSizeF(greetingFont.pointSizeF() * 1.2);
    m_greeting->setFont(greetingFont);
    row->addWidget(m_greeting);

    m_clockIcon = buildClockIcon();
    row->addWidget(m_clockIcon);

    auto *clockBox = new QVBoxLayout;
    clockBox->setSpacing(0);
    m_timeLabel = new QLabel(bar);
    m_timeLabel->setObjectName(QStringLiteral("LabHeure"));
    QFont timeFont = m_timeLabel->font();
    timeFont.setBold(true);
    timeFont.setPointSizeF(timeFont.pointSizeF() * 1.35);
    timeFont.setStyleHint(QFont::Monospace);
    m_timeLabel->setFont(timeFont);
    m_timeLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_dateLabel = new QLabel(bar);
    m_dateLabel->setObjectName(QStringLiteral("LabDate"));
    m_dateLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    clockBox->addWidget(m_timeLabel);
    clockBox->addWidget(m_dateLabel);
    row->addLayout(clockBox);

    connect(m_closeButton, &QPushButton::clicked, this, &MainWindow::closeAndQuit);
    return bar;
}

QWidget *MainWindow::buildListPanel()
{
    m_listPanel = panel("PictListe", this);
    auto *layout = new QVBoxLayout(m_listPanel);
    layout->setContentsMargins(10, 8, 10, 8);
    layout->setSpacing(6);

    m_listTitle = new QLabel(m_listPanel);
    m_listTitle->setObjectName(QStringLiteral("PictListLab01"));
    QFont titleFont = m_listTitle->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.25);
    m_listTitle->setFont(titleFont);
    layout->addWidget(m_listTitle);

    m_list = new QListWidget(m_listPanel);
    m_list->setObjectName(QStringLiteral("ListeLog"));
    m_list->setFont(listFont());
    m_list->setUniformItemSizes(true);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    // The log scrolls through VScroll1, a page at a time; the list itself never scrolls.
    m_list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const QFontMetrics metrics(m_list->font());
    const int frame = m_list->frameWidth() * 2;
    // A page always shows whole: the rows share the list's height (see
    // fitListRows), never less than a line of text each. The event filter sees
    // the resize before the viewport follows, hence the list's own height.
    m_list->setProperty("rowHeight", metrics.lineSpacing() + 4);
    m_list->setMinimumHeight((metrics.lineSpacing() + 4) * kLinesPerPage + frame);
    m_list->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
    m_list->setMinimumWidth(
        metrics.horizontalAdvance(QString(int(kListLineWidth) + 1, QLatin1Char('0'))) + frame + 12);
    m_list->installEventFilter(this);

    m_scroll = new QScrollBar(Qt::Vertical, m_listPanel);
    m_scroll->setObjectName(QStringLiteral("VScroll1"));
    m_scroll->setRange(0, 0);
    m_scroll->setSingleStep(kLinesPerPage);
    m_scroll->setPageStep(kLinesPerPage);

    auto *listRow = new QHBoxLayout;
    listRow->setSpacing(2);
    listRow->addWidget(m_list, 1);
    listRow->addWidget(m_scroll);
    layout->addLayout(listRow);

    m_pagePanel = panel("PictPage", m_listPanel);
    m_pagePanel->setFrameShape(QFrame::NoFrame);
    auto *pageRow = new QHBoxLayout(m_pagePanel);
    pageRow->setContentsMargins(0, 2, 0, 0);
    pageRow->setSpacing(6);
    m_topButton = button(QStringLiteral(" début"), "CmdSensHaut", m_pagePanel);
    m_minusButton = button(QStringLiteral("-"), "CmdPageMoins", m_pagePanel);
    m_plusButton = button(QStringLiteral("+"), "CmdPagePlus", m_pagePanel);
    m_bottomButton = button(QStringLiteral("fin"), "CmdSensBas", m_pagePanel);
    for (QPushButton *b : {m_minusButton, m_plusButton})
        b->setFixedWidth(36);
    for (QPushButton *b : {m_topButton, m_bottomButton})
        b->setMinimumWidth(64);
    auto *pageLabel = new QLabel(QStringLiteral("Page N°"), m_pagePanel);
    pageLabel->setObjectName(QStringLiteral("PageNoLab"));
    m_pageBox = new QLineEdit(QStringLiteral("0000"), m_pagePanel);
    m_pageBox->setObjectName(QStringLiteral("PageText1"));
    m_pageBox->setMaxLength(4);
    m_pageBox->setAlignment(Qt::AlignCenter);
    m_pageBox->setFixedWidth(m_pageBox->fontMetrics().horizontalAdvance(QStringLiteral("00000")) +
                             16);
    makeUpperCase(m_pageBox);
    m_pageBox->installEventFilter(this);
    pageRow->addWidget(m_topButton);
    pageRow->addWidget(m_minusButton);
    pageRow->addStretch(1);
    pageRow->addWidget(pageLabel);
    pageRow->addWidget(m_pageBox);
    pageRow->addStretch(1);
    pageRow->addWidget(m_plusButton);
    pageRow->addWidget(m_bottomButton);
    layout->addWidget(m_pagePanel);

    connect(m_list, &QListWidget::currentRowChanged, this, &MainWindow::onListRowChanged);
    connect(m_list, &QListWidget::itemClicked, this, [this](QListWidgetItem *item) {
        // A click on the line already selected shows its record again only when
        // the record view moved on to something else meanwhile.
        const std::int32_t n = recordNoOfLine(toCp1252(item->text()));
        if (n != m_recordPanel->displayedRecord())
            onListRowChanged(m_list->row(item));
    });
    connect(m_scroll, &QScrollBar::actionTriggered, this, [this] { m_pager.setScrollHasFocus(); });
    connect(m_scroll, &QScrollBar::valueChanged, this, &MainWindow::onScrollValueChanged);
    connect(m_topButton, &QPushButton::clicked, this, [this] {
        if (!m_entrySession)
            goToPage(1, LineChoice::First);
    });
    connect(m_bottomButton, &QPushButton::clicked, this, [this] {
        if (!m_entrySession)
            goToPage(computePageCount(m_pager.recordCount()), LineChoice::Last);
    });
    connect(m_minusButton, &QPushButton::clicked, this, [this] {
        if (m_entrySession)
            return;
        if (m_pager.currentPage() > 1)
            showPage(m_pager.currentPage() - 1);
        selectLine(LineChoice::First);
    });
    connect(m_plusButton, &QPushButton::clicked, this, [this] {
        if (m_entrySession)
            return;
        if (m_pager.currentPage() < m_pager.pageCount())
            goToPage(m_pager.currentPage() + 1, LineChoice::Last);
    });
    return m_listPanel;
}

QWidget *MainWindow::buildSearchPanel()
{
    m_searchPanel = panel("PictRech", this);
    auto *row = new QHBoxLayout(m_searchPanel);
    row->setContentsMargins(14, 8, 14, 8);
    auto *label = new QLabel(QStringLiteral("Rechercher"), m_searchPanel);
    label->setObjectName(QStringLiteral("PictRechLab"));
    m_searchText = new QLineEdit(m_searchPanel);
    m_searchText->setObjectName(QStringLiteral("RechText"));
    m_searchText->setMaxLength(static_cast<int>(fieldLayout(Field::CSGN).width));
    m_searchText->setPlaceholderText(QStringLiteral("indicatif ou date jj/mm/aa"));
    row->addWidget(label);
    row->addWidget(m_searchText, 1);
    return m_searchPanel;
}

QFrame *MainWindow::buildPlaceholder(const char *name)
{
    QFrame *frame = panel(name, this);
    new QVBoxLayout(frame);
    frame->hide();
    return frame;
}

void MainWindow::buildCentralArea()
{
    auto *central = new QWidget(this);
    central->setObjectName(QStringLiteral("OndelogCentre"));
    auto *outer = new QVBoxLayout(central);
    outer->setContentsMargins(12, 8, 12, 10);
    outer->setSpacing(8);
    outer->addWidget(buildTopBar());

    auto *columns = new QHBoxLayout;
    columns->setSpacing(12);
    columns->addWidget(buildListPanel());

    auto *right = new QVBoxLayout;
    right->setSpacing(10);
    m_recordPanel = new RecordPanel(m_log, this);
    m_searchButton = m_recordPanel->searchButton();
    right->addWidget(m_recordPanel);
    m_locatorPanel = new ChangeLocatorPanel(this);
    right->addWidget(m_locatorPanel);
    right->addWidget(buildSearchPanel());
    m_contactsPanel = buildPlaceholder("PictContacts");
    right->addWidget(m_contactsPanel);
    for (const char *name : {"PictClasser", "PictFeuilleQSL", "PictCtrlImpression"})
        right->addWidget(buildPlaceholder(name));
    m_logKeeping = new LogKeeping(*this);
    right->addWidget(m_logKeeping->mergePanel());
    right->addStretch(1);
    columns->addLayout(right, 1);
    outer->addLayout(columns, 1);
    setCentralWidget(central);

    connect(m_recordPanel, &RecordPanel::recordDisplayed, this,
            [this](std::int32_t, const QString &callSign) {
                if (!callSign.isEmpty())
                    m_searchButton->setVisible(m_contactsPanel->isHidden());
            });
    connect(m_locatorPanel, &ChangeLocatorPanel::locatorChosen, this, &MainWindow::onLocatorChosen);
    connect(m_locatorPanel, &ChangeLocatorPanel::cancelled, this,
            &MainWindow::closeChangeLocatorPanel);
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
    m_listTitle->setText(toQString(m_config.callSign));
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
    m_contactsPanel->hide();
    m_searchText->clear();
    std::int32_t n = 0;

    if (m_logOpen) {
        QString caption = QStringLiteral(" Cahier de Trafic de ") + toQString(m_config.callSign) +
                          QString(22, QLatin1Char(' ')) + QString::fromLatin1(kVersionNote);
        // Another file, whatever its name, is only read: the caption says which.
        if (!m_ownLog)
            caption += QStringLiteral("   —   %1 (lecture seule)").arg(nativePath(m_logPath));
        setWindowTitle(caption);
        refreshClock();
        m_clockTimer.start();

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
        n = m_log.recordCount();
        m_pager.setRecordCount(n);
        {
            const QSignalBlocker blocker(m_scroll);
            m_scroll->setRange(0, n);
        }
        showPage(m_pager.pageCount());
        selectLine(LineChoice::Last);
        m_searchPanel->setVisible(n > 0);
        if (n > 0 || !m_ownLog)
            m_list->setFocus(Qt::OtherFocusReason);
    } else {
        m_log.close();
        m_list->clear();
        m_recordPanel->clearRecord();
        m_pager.setRecordCount(0);
        m_searchPanel->hide();
        setPagingButtons();
    }
    updateRecordButtons();
    m_closeButton->setEnabled(true);

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
    m_listTitle->setText(title);

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
    m_greeting->clear();
    if (m_logOpen)
        emit logLoaded();
    if (wasStarting)
        emit startupFinished();
}

// --- The list and its pages ------------------------------------------------------

void MainWindow::addListLine(const QString &line)
{
    auto *item = new QListWidgetItem(line, m_list);
    item->setSizeHint(QSize(0, m_list->property("rowHeight").toInt()));
}

void MainWindow::showPage(std::int32_t page)
{
    const PageRange range = pageRange(page, m_pager.recordCount());
    m_drawing = true;
    m_list->clear();
    for (std::int32_t r = range.first; r <= range.last; ++r) {
        const std::optional<QsoRecord> record = m_log.readRecord(r);
        if (!record || record->isEndMarker())
            break;
        addListLine(toQString(listLine(r, *record)));
    }
    m_drawing = false;
    m_pageBox->setText(QString::number(page));
    {
        // The scroll box follows the page; its own handler must not draw it again.
        const QSignalBlocker blocker(m_scroll);
        m_scroll->setValue(m_pager.lastShown(page));
    }
    if (m_listPanel->isEnabled())
        m_list->setFocus(Qt::OtherFocusReason);
    m_pager.pageShown(page);
    setPagingButtons();
    // A log of one page has nowhere to scroll to.
    m_scroll->setEnabled(m_pager.pageCount() > 1);
}

void MainWindow::setPagingButtons()
{
    const PagingButtons enabled = pagingButtons(m_pager.currentPage(), m_pager.pageCount(),
                                                m_pager.recordCount(), m_entrySession);
    m_topButton->setEnabled(enabled.top);
    m_minusButton->setEnabled(enabled.minus);
    m_plusButton->setEnabled(enabled.plus);
    m_bottomButton->setEnabled(enabled.bottom);
}

void MainWindow::selectLine(LineChoice line)
{
    const int count = m_list->count();
    if (count == 0)
        return;
    const int row = line == LineChoice::First ? 0 : count - 1;
    if (m_list->currentRow() == row)
        onListRowChanged(row);
    else
        m_list->setCurrentRow(row);
}

void MainWindow::showLastPage()
{
    if (!m_log.isOpen())
        return;
    m_log.countRecords();
    showCountedPage(computePageCount(m_log.recordCount()));
}

void MainWindow::showCountedPage(std::int32_t page)
{
    m_pager.setRecordCount(m_log.recordCount());
    {
        const QSignalBlocker blocker(m_scroll);
        m_scroll->setRange(0, m_pager.recordCount());
    }
    showPage(std::clamp(page, 1, m_pager.pageCount()));
    selectLine(LineChoice::Last);
}

void MainWindow::updateRecordButtons()
{
    // Only the station's own log is ever written, and only when it was opened
    // for writing; the core refuses the rest all the same.
    const bool writable = m_logOpen && m_ownLog && m_log.isOpen() && !m_log.isReadOnly();
    const bool free = writable && !m_heldByPanel;
    m_newQsoButton->setEnabled(free);
    m_deleteButton->setEnabled(free && m_log.recordCount() > 0);
    for (QAction *command : {m_sortAction, m_mergeAction, m_importAction, m_labelSheetAction})
        command->setEnabled(free);
    // A panel holding the window works on this log: another one may not come under it.
    m_openOwn->setEnabled(!m_heldByPanel);
    m_openOther->setEnabled(!m_heldByPanel);
    if (m_editor)
        m_editor->allowChanges(writable);
}

void MainWindow::holdForPanel(bool held)
{
    m_heldByPanel = held;
    m_listPanel->setEnabled(!held);
    m_recordPanel->setVisible(!held);
    updateRecordButtons();
}

std::filesystem::path MainWindow::ownLogPath() const
{
    return m_programFolder / m_config.logFileName;
}

void MainWindow::goToPage(std::int32_t page, LineChoice line)
{
    showPage(page);
    selectLine(line);
}

void MainWindow::onListRowChanged(int row)
{
    if (m_drawing || row < 0)
        return;
    const std::int32_t n = recordNoOfLine(toCp1252(m_list->item(row)->text()));
    m_log.setSelectedRecordNo(n);
    m_recordPanel->displayRecord(n);
}

void MainWindow::onScrollValueChanged(int value)
{
    if (const std::optional<LineChoice> line = m_pager.scrollTo(value))
        goToPage(m_pager.currentPage(), *line);
}

bool MainWindow::handleListKey(int key)
{
    ListKey listKey = ListKey::Other;
    switch (key) {
    case Qt::Key_PageUp:
        listKey = ListKey::PageUp;
        break;
    case Qt::Key_PageDown:
        listKey = ListKey::PageDown;
        break;
    case Qt::Key_Up:
        listKey = ListKey::Up;
        break;
    case Qt::Key_Down:
        listKey = ListKey::Down;
        break;
    default:
        break;
    }
    const std::optional<std::int32_t> page =
        m_pager.pageForListKey(listKey, m_list->currentRow(), m_scroll->value());
    if (!page)
        return false;
    // Through the scroll bar, whose handler draws the page and picks the line.
    m_scroll->setValue(m_pager.lastShown(*page));
    return true;
}

void MainWindow::takePageBox()
{
    if (m_entrySession)
        return;
    const std::int32_t page = m_pager.pageForBox(trim(toCp1252(m_pageBox->text())));
    goToPage(page, LineChoice::Last);
}

void MainWindow::fitListRows()
{
    const QFontMetrics metrics(m_list->font());
    const int rowHeight = std::max(metrics.lineSpacing() + 4,
                                   (m_list->height() - m_list->frameWidth() * 2) / kLinesPerPage);
    if (rowHeight == m_list->property("rowHeight").toInt())
        return;
    m_list->setProperty("rowHeight", rowHeight);
    for (int i = 0; i < m_list->count(); ++i)
        m_list->item(i)->setSizeHint(QSize(0, rowHeight));
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_list && event->type() == QEvent::Resize) {
        fitListRows();
    } else if (watched == m_list && event->type() == QEvent::KeyPress) {
        if (handleListKey(static_cast<QKeyEvent *>(event)->key()))
            return true;
    } else if (watched == m_pageBox) {
        if (event->type() == QEvent::MouseButtonPress) {
            m_pageBox->clear();
        } else if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                takePageBox();
                return true;
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::setEntrySession(bool on)
{
    m_entrySession = on;
    // The change of station locator belongs to the entry: it must not outlive it
    // and later write its locator over the own-locator field of a shown record.
    if (!on && m_locatorPanel->isVisible())
        m_locatorPanel->cancelButton()->click();
    setPagingButtons();
}

// --- Other logs ------------------------------------------------------------------

void MainWindow::openAnotherLog()
{
    if (m_entrySession || !m_recordPanel->confirmFrame()->isHidden())
        return;
    const std::filesystem::path previousPath = m_logPath;
    const bool wasOpen = m_logOpen;
    const QString previousTitle = m_logTitle;
    m_logPath.clear();
    m_logOpen = false;
    m_logTitle.clear();
    m_listPanel->setEnabled(true);
    m_recordPanel->entryPanel()->hide();

    FileDialogRequest request;
    request.mode = FileDialogMode::Open;
    request.title = QStringLiteral("Ouvrir un fichier.Ham");
    request.initialFolder = nativePath(m_dataRoot);
    request.defaultSuffix = QStringLiteral("Ham");
    request.filter = QStringLiteral("Fichier (*.Ham)");
    const QString chosen = askFileName(this, request);
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
                            .arg(QDir::toNativeSeparators(chosen),
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
    m_listTitle->setText(own ? toQString(m_config.callSign) : m_logTitle);
    loadLog();
}

// --- Change of station locator -----------------------------------------------------

void MainWindow::openChangeLocatorPanel()
{
    if (!m_entrySession)
        return;
    m_searchButton->hide();
    m_contactsPanel->hide();
    m_focusBeforeLocatorPanel = QApplication::focusWidget();
    m_locatorPanel->begin(m_stationLocator);
}

void MainWindow::onLocatorChosen(const std::string &locator, bool keep)
{
    m_stationLocator = locator;
    if (keep) {
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
    closeChangeLocatorPanel();
    emit stationLocatorChanged();
}

void MainWindow::closeChangeLocatorPanel()
{
    m_locatorPanel->hide();
    m_searchButton->setVisible(!m_recordPanel->field(1)->text().trimmed().isEmpty());
    m_recordPanel->field(16)->setText(toQString(m_stationLocator));
    if (m_focusBeforeLocatorPanel)
        m_focusBeforeLocatorPanel->setFocus(Qt::OtherFocusReason);
}

// --- Dialogs -------------------------------------------------------------------------

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

void MainWindow::setBusy(bool busy)
{
    m_listPanel->setEnabled(!busy);
    m_recordPanel->setEnabled(!busy);
    // The menus and the buttons too: another command in the middle (a second
    // sort, a search, closing the log) would act on a log being replaced.
    menuBar()->setEnabled(!busy);
    m_menuPanel->setEnabled(!busy);
}

void MainWindow::showWarning(const QString &text)
{
    NormalCursor normal;
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Ondelog"), text, QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("OndelogAlerte"));
    box.exec();
}

// --- Clock and closing -----------------------------------------------------------------

void MainWindow::refreshClock()
{
    const LocalDateTime now = m_clock.now();
    m_timeLabel->setText(QString::fromStdString(clockText(now)));
    m_dateLabel->setText(toQString(longDateText(now)));
}

void MainWindow::closeAndQuit()
{
    if (m_ending || m_ended)
        return;
    if (!m_editor->settleEntryBeforeQuit())
        return;
    m_ending = true;
    m_log.close();
    m_greeting->setText(QStringLiteral(" Au revoir "));
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
    m_clockTimer.stop();
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
        m_clockTimer.stop();
        emit programEnded();
    }
    QMainWindow::closeEvent(event);
}

} // namespace ondelog
