// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The live station: the contacts WSJT-X and JTDX log, written into the
// station's own log by themselves, and the radio's frequency and mode offered
// to the entry. This object owns the listener, the reading of the radio and
// their part of the status line, keeps their settings in "Reglages.ini" with
// the others, and opens their dialogs from the menu.
//
// A contact received is written through the window's writes from outside: at
// once, or after a sort or an import that rewrites the log (written during it,
// it would be lost with the file replaced). Under an entry or a change it goes
// after the log's last contact, and the contact being typed takes the next
// number. Only the station's own log receives: while another station's log
// is shown (read only), the contacts go into the own log file, never into the
// log on screen.

#include "station/contactreceiver.h"
#include "station/radiostatus.h"
#include "station/stationsettings.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <optional>
#include <string>
#include <vector>

class QAction;

namespace ondelog {

class MainWindow;
class RadioWatcher;
class Settings;
class StationLine;
class WsjtxListener;

class LiveStation : public QObject
{
    Q_OBJECT

  public:
    /** Starts listening and reading the radio once the window's start-up has
     *  opened the log; `wsjtxItem` and `transceiverItem` open the dialogs. */
    LiveStation(MainWindow &window, QAction *wsjtxItem, QAction *transceiverItem);
    ~LiveStation() override;

    /** The WSJT-X settings of a program folder whose "Reglages.ini" names none
     *  (the defaults: 127.0.0.1:2237). The window tests listen on a port of
     *  their own, or not at all. */
    static void setDefaultWsjtxSettings(const WsjtxSettings &settings);

    const WsjtxSettings &wsjtxSettings() const { return m_wsjtx; }
    const TransceiverSettings &transceiverSettings() const { return m_transceiver; }
    WsjtxListener &listener() const { return *m_listener; }
    const RadioReport &radioReport() const;

    /** "Fichier › Réception de WSJT-X et JTDX…" */
    void editWsjtxSettings();
    /** "Fichier › Transceiver…" */
    void editTransceiver();
    /** Keeps `settings` in "Reglages.ini" and listens as they say; a port that
     *  cannot be had is told in a message box when `tell`. */
    void changeWsjtxSettings(const WsjtxSettings &settings, bool tell = true);
    /** Keeps `settings` in "Reglages.ini" and reads that radio from now on. */
    void changeTransceiver(const TransceiverSettings &settings);

  signals:
    /** Contacts received were written into the own log (the list has followed). */
    void contactsWritten(int count);

  private:
    void start();
    void listen(bool tell);
    void receive(const std::vector<ReceivedContact> &contacts);
    void writeWaiting();
    void tellResults(const std::vector<ReceiveResult> &results);
    void notice(const QString &text, bool problem);
    StationLine &line();
    void followLog();
    void updateWsjtxLine();
    void takeRadioReport();
    void proposeToEntry();
    std::optional<std::string> dataMode() const;
    bool saveSettings(const std::function<void(Settings &)> &change);

    MainWindow &m_window;
    WsjtxListener *m_listener = nullptr;
    RadioWatcher *m_radio = nullptr;
    QPointer<StationLine> m_line; // on the window's status line, created when first needed
    ContactReceiver m_receiver;
    WsjtxSettings m_wsjtx;
    TransceiverSettings m_transceiver;
    bool m_started = false;

    std::vector<ReceivedContact> m_waiting; // received, to be written
    bool m_writeAsked = false;
    bool m_warningShown = false;
    // The locator of the station's own log: the one new contacts without their
    // own receive, and its end marker's, also while another log is shown.
    std::string m_ownLocator;
    std::string m_lastDataMode; // the digital mode last used (WSJT-X's, or typed)
    std::string m_proposedFrequency;
    std::string m_proposedMode;
};

} // namespace ondelog
