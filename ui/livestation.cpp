// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/livestation.h"

#include "logbook/logfile.h"
#include "setup/settings.h"
#include "text/text.h"
#include "ui/contacteditor.h"
#include "ui/controls.h"
#include "ui/mainwindow.h"
#include "ui/qtext.h"
#include "ui/radiowatcher.h"
#include "ui/stationline.h"
#include "ui/transceiverdialog.h"
#include "ui/wsjtxdialog.h"
#include "ui/wsjtxlistener.h"

#include <QAction>

namespace ondelog {

namespace {

WsjtxSettings &defaultWsjtxSettings()
{
    static WsjtxSettings settings;
    return settings;
}

bool isProblem(ReceiveOutcome outcome)
{
    switch (outcome) {
    case ReceiveOutcome::Added:
    case ReceiveOutcome::SecondMessage:
    case ReceiveOutcome::AlreadyInLog:
        return false;
    default:
        return true;
    }
}

} // namespace

LiveStation::LiveStation(MainWindow &window, QAction *wsjtxItem, QAction *transceiverItem)
    : QObject(&window), m_window(window)
{
    m_listener = new WsjtxListener(this);
    m_radio = new RadioWatcher(this);
    connect(wsjtxItem, &QAction::triggered, this, &LiveStation::editWsjtxSettings);
    connect(transceiverItem, &QAction::triggered, this, &LiveStation::editTransceiver);

    connect(m_listener, &WsjtxListener::contactsReceived, this, &LiveStation::receive);
    connect(m_listener, &WsjtxListener::clientsChanged, this, [this] {
        if (const std::optional<std::string> mode = m_listener->clients().reportedMode();
            mode && isDataMode(utf8ToCp1252(*mode)))
            m_lastDataMode = toUpperCp1252(utf8ToCp1252(*mode));
        updateWsjtxLine();
        proposeToEntry();
    });
    connect(m_radio, &RadioWatcher::reported, this, &LiveStation::takeRadioReport);

    connect(&window, &MainWindow::startupFinished, this, &LiveStation::start);
    connect(&window, &MainWindow::logLoaded, this, &LiveStation::followLog);
    connect(&window, &MainWindow::stationLocatorChanged, this, &LiveStation::followLog);
    // A contact changed or deleted: "already in the log?" reads the log again.
    connect(window.contactEditor(), &ContactEditor::confirmed, this,
            [this] { m_receiver.logChanged(); });
}

LiveStation::~LiveStation() = default;

void LiveStation::setDefaultWsjtxSettings(const WsjtxSettings &settings)
{
    defaultWsjtxSettings() = settings;
}

const RadioReport &LiveStation::radioReport() const
{
    return m_radio->lastReport();
}

// --- Settings --------------------------------------------------------------------

void LiveStation::start()
{
    if (m_started)
        return;
    m_started = true;
    const Settings settings = Settings::load(settingsPath(m_window.programFolder()));
    m_wsjtx = readWsjtxSettings(settings, defaultWsjtxSettings());
    m_transceiver = readTransceiverSettings(settings);
    listen(false);
    if (!m_transceiver.isNone())
        m_radio->watch(m_transceiver);
}

bool LiveStation::saveSettings(const std::function<void(Settings &)> &change)
{
    // Read again: another program of the suite may have written other keys since.
    const std::filesystem::path file = settingsPath(m_window.programFolder());
    Settings settings = Settings::load(file);
    change(settings);
    if (settings.save(file))
        return true;
    m_window.showWarning(QStringLiteral("Les réglages ne peuvent pas être enregistrés dans %1 : "
                                        "ils ne valent que jusqu'à la fermeture d'Ondelog.")
                             .arg(nativePath(file)));
    return false;
}

void LiveStation::editWsjtxSettings()
{
    WsjtxDialog dialog(m_wsjtx, &m_window);
    if (dialog.exec() == QDialog::Accepted)
        changeWsjtxSettings(dialog.settings());
}

void LiveStation::changeWsjtxSettings(const WsjtxSettings &settings, bool tell)
{
    saveSettings([&](Settings &s) { writeWsjtxSettings(s, settings); });
    // The same settings listen again only when they did not: the port may be free now.
    const bool same = settings == m_wsjtx && m_listener->isListening();
    m_wsjtx = settings;
    m_started = true;
    if (!same)
        listen(tell);
}

void LiveStation::editTransceiver()
{
    TransceiverDialog dialog(m_transceiver, &m_window);
    if (dialog.exec() == QDialog::Accepted)
        changeTransceiver(dialog.settings());
}

void LiveStation::changeTransceiver(const TransceiverSettings &settings)
{
    saveSettings([&](Settings &s) { writeTransceiverSettings(s, settings); });
    m_transceiver = settings;
    m_started = true;
    if (settings.isNone())
        m_radio->stop();
    else
        m_radio->watch(settings);
}

// --- WSJT-X and JTDX ---------------------------------------------------------------

void LiveStation::listen(bool tell)
{
    m_listener->setStationLocator(m_ownLocator);
    if (!m_listener->start(m_wsjtx) && !m_listener->errorText().isEmpty()) {
        const QString why = m_listener->errorText();
        notice(why, true);
        if (tell)
            m_window.showWarning(why + QStringLiteral("\n\nOndelog continue sans les recevoir : "
                                                      "choisissez un autre port ici et dans "
                                                      "WSJT-X ou JTDX, ou fermez le programme "
                                                      "qui occupe ce port."));
    }
    updateWsjtxLine();
}

void LiveStation::followLog()
{
    // While another station's log is shown, the own log's locator stays the one
    // received contacts get.
    if (m_window.isOwnLog()) {
        m_ownLocator = m_window.stationLocator();
        m_listener->setStationLocator(m_ownLocator);
    }
    m_receiver.logChanged();
    updateWsjtxLine();
}

StationLine &LiveStation::line()
{
    // Made when there is first something to say: a window with neither WSJT-X
    // nor a radio keeps its foot bare.
    if (!m_line) {
        m_line = new StationLine;
        m_window.addStatusWidget(m_line);
    }
    return *m_line;
}

void LiveStation::updateWsjtxLine()
{
    if (!m_started)
        return; // the settings are not read yet
    if (!m_wsjtx.enabled) {
        if (m_line)
            m_line->setWsjtx({}, false);
        return;
    }
    if (!m_listener->isListening()) {
        line().setWsjtx(QStringLiteral("WSJT-X : pas de réception"), true, m_listener->errorText());
        return;
    }
    const QString where = QStringLiteral("%1:%2")
                              .arg(QString::fromStdString(m_wsjtx.address))
                              .arg(m_listener->port());
    QString text = QString::fromStdString(m_listener->clients().lineUtf8());
    if (text.isEmpty())
        text = QStringLiteral("WSJT-X : à l'écoute sur %1").arg(where);
    // Where the contacts go when it is not the log on screen.
    bool problem = false;
    const LogFile &log = m_window.logFile();
    if (m_window.logFileName().empty()) {
        text += QStringLiteral(" — aucun log où enregistrer les contacts");
        problem = true;
    } else if (!m_window.isOwnLog()) {
        text += QStringLiteral(" — les contacts vont au log de %1, pas à celui affiché")
                    .arg(toQString(m_window.stationCall()));
    } else if (log.isOpen() && log.isReadOnly()) {
        text += QStringLiteral(" — log en lecture seule : les contacts ne sont pas enregistrés");
        problem = true;
    }
    const DatagramTally tally = m_listener->tally();
    QString detail = QStringLiteral("Réception des contacts de WSJT-X et JTDX sur %1").arg(where);
    if (tally.dropped() + m_listener->otherDropped() > 0)
        detail += QStringLiteral("\nMessages illisibles ou étrangers écartés : %1")
                      .arg(tally.dropped() + m_listener->otherDropped());
    line().setWsjtx(text, problem, detail);
}

void LiveStation::receive(const std::vector<ReceivedContact> &contacts)
{
    for (const ReceivedContact &c : contacts) {
        const std::string mode = c.contact.record.field(Field::MODE);
        if (isDataMode(mode))
            m_lastDataMode = mode;
    }
    m_waiting.insert(m_waiting.end(), contacts.begin(), contacts.end());
    if (m_window.isBusy())
        notice(m_waiting.size() == 1
                   ? QStringLiteral("Contact reçu : il sera enregistré dès la fin de "
                                    "l'opération en cours")
                   : QStringLiteral("%1 contacts reçus : ils seront enregistrés dès la fin de "
                                    "l'opération en cours")
                         .arg(m_waiting.size()),
               false);
    if (m_writeAsked)
        return;
    m_writeAsked = true;
    m_window.writeFromOutside([this] {
        m_writeAsked = false;
        writeWaiting();
    });
}

void LiveStation::writeWaiting()
{
    const std::vector<ReceivedContact> batch = std::move(m_waiting);
    m_waiting.clear();
    if (batch.empty())
        return;
    ReceivingLog target{nullptr, m_window.stationCall(), m_ownLocator, false};
    LogFile own;
    LogFile &shown = m_window.logFile();
    // Closing shuts the log before the goodbye: a contact made meanwhile still
    // goes into the own log file rather than being refused.
    if (m_window.isOwnLog() && (shown.isOpen() || !m_window.isClosing())) {
        target = {&shown, m_window.stationCall(), m_window.stationLocator(), true};
    } else if (!m_window.logFileName().empty() &&
               own.open(m_window.ownLogPath()) == LogStatus::Ok) {
        // Another station's log on screen, or none: the own log receives all the same.
        target.log = &own;
        target.isOwnLog = true;
        if (target.stationLocator.empty())
            target.stationLocator = own.endMarkerLocator().value_or(std::string());
    }
    tellResults(m_receiver.receive(batch, target));
}

void LiveStation::tellResults(const std::vector<ReceiveResult> &results)
{
    int added = 0;
    const ReceiveResult *failed = nullptr;
    for (const ReceiveResult &r : results) {
        if (r.outcome == ReceiveOutcome::Added)
            ++added;
        if (r.outcome == ReceiveOutcome::WriteFailed && !failed)
            failed = &r;
        if (!r.noticeUtf8.empty())
            notice(QString::fromStdString(r.noticeUtf8), isProblem(r.outcome));
    }
    if (added > 0)
        emit contactsWritten(added);
    // A contact that could not be written is lost to the log unless the operator
    // acts (WSJT-X keeps its own ADIF file): said where it cannot be missed, once
    // at a time however many follow.
    if (failed && !m_warningShown) {
        m_warningShown = true;
        QPointer<LiveStation> self(this);
        m_window.showWarning(
            QString::fromStdString(failed->noticeUtf8) +
            QStringLiteral("\n\nWSJT-X et JTDX gardent leurs contacts dans leur propre fichier "
                           "ADIF (wsjtx_log.adi) : vous pourrez l'importer une fois la cause "
                           "réparée, les contacts déjà dans le log ne seront pas doublés."));
        if (self)
            m_warningShown = false;
    }
}

void LiveStation::notice(const QString &text, bool problem)
{
    updateWsjtxLine();
    const LocalDateTime now = m_window.clock().now();
    line().addNotice(text, problem,
                     QStringLiteral("%1:%2")
                         .arg(now.hour, 2, 10, QLatin1Char('0'))
                         .arg(now.minute, 2, 10, QLatin1Char('0')));
}

// --- The radio ---------------------------------------------------------------------

void LiveStation::takeRadioReport()
{
    const RadioReport &report = m_radio->lastReport();
    if (report.state != RadioState::Off || m_line) {
        const bool problem =
            report.state == RadioState::NoAnswer || report.state == RadioState::CannotOpen;
        line().setRadio(QString::fromStdString(radioLineUtf8(report)), problem);
    }
    proposeToEntry();
}

std::optional<std::string> LiveStation::dataMode() const
{
    // What WSJT-X reports now, else the digital mode of the last contact
    // received or typed.
    if (const std::optional<std::string> reported = m_listener->clients().reportedMode()) {
        const std::string mode = toUpperCp1252(utf8ToCp1252(*reported));
        if (isDataMode(mode))
            return mode;
    }
    if (!m_lastDataMode.empty())
        return m_lastDataMode;
    const std::string &typed = m_window.contactEditor()->entrySession().lastMode();
    if (isDataMode(typed))
        return typed;
    return std::nullopt;
}

void LiveStation::proposeToEntry()
{
    const RadioReport &report = m_radio->lastReport();
    std::string frequency;
    std::string mode;
    if (report.state == RadioState::Answering) {
        frequency = radioFrequencyText(report.frequencyHz).value_or(std::string());
        mode = radioModeText(report.hamlibMode, dataMode()).value_or(std::string());
    }
    if (frequency == m_proposedFrequency && mode == m_proposedMode)
        return;
    m_proposedFrequency = frequency;
    m_proposedMode = mode;
    m_window.proposeEntryValues(frequency, mode);
}

} // namespace ondelog
