// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// FormHeure, Horalink's one window. Disconnected: nothing is asked. "Connecter"
// asks the time server; its first good answer makes the window Connected, and
// from then on the server is asked at most once every 16 seconds while Timer1
// shows, every second, the computer's clock corrected by the last measured
// offset: GMT, legal time (GMT + 1 or 2 hours) and the one the computer would
// be given, each new second as it begins. "Mettre à l'heure" gives it to the
// computer, date included.

#include "companions/sntpclient.h"
#include "timesetter/clocksetter.h"
#include "timesetter/clocktime.h"
#include "timesetter/sntp.h"
#include "timesetter/timeserver.h"

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QString>
#include <QTimer>
#include <QWidget>

namespace ondelog {

/** What the window works with; tests give it fakes of every one. */
struct TimeSetterParts
{
    TimeServer server;
    const ComputerClock &clock;
    ClockSetter &setter;
    const LocalZone &zone;
    bool networkUp = false;
    QString programPath; ///< shown in the message that says how to grant the privilege
};

class TimeSetterWindow : public QWidget
{
    Q_OBJECT

  public:
    explicit TimeSetterWindow(const TimeSetterParts &parts, QWidget *parent = nullptr);

    /** What Timer1 runs every second. */
    void updateTimes();
    /** How late after the start of a second Timer1 shows it: enough that the
     *  tick never lands before the second it is to show. */
    static constexpr std::chrono::milliseconds kTickAfterSecond{2};
    /** True while a question to the server is outstanding. */
    bool isAsking() const { return m_client.isAsking(); }
    void setAnswerTimeout(int milliseconds) { m_client.setAnswerTimeout(milliseconds); }

  private:
    void connectClicked();
    void disconnectClicked();
    void setClockClicked();
    void answered(const SntpMeasure &measure);
    void refused(const SntpRefusal &refusal, bool final);
    void askWhenAllowed();
    void scheduleTick();
    void showTimes();
    void enterConnected();
    bool confirmShift(const ClockSetting &setting, const QString &chosenText);
    int offsetHours() const { return m_opt2h->isChecked() ? 2 : 1; }
    TimeChoice choice() const
    {
        return m_optGmt->isChecked() ? TimeChoice::Gmt : TimeChoice::Legal;
    }
    UtcTime serverNow() const { return m_clock.now() + m_offset; }

    const ComputerClock &m_clock;
    ClockSetter &m_setter;
    const LocalZone &m_zone;
    QString m_programPath;
    TimeServer m_server;
    SntpClient m_client;
    QueryPacer m_pacer;

    bool m_ready = false;      // the server is to be asked
    bool m_connecting = false; // "Connecter" waits for the first good answer
    bool m_connected = false;
    bool m_hasMeasure = false;
    Nanoseconds m_offset{0};

    QPushButton *m_connect;
    QPushButton *m_disconnect;
    QPushButton *m_setClock;
    QPushButton *m_quit;
    QLabel *m_state;
    QLabel *m_gmt;
    QLabel *m_legal;
    QLabel *m_computer;
    QLabel *m_serverLabel;
    QRadioButton *m_optGmt;
    QRadioButton *m_optLegal;
    QRadioButton *m_opt1h;
    QRadioButton *m_opt2h;
    QTimer *m_timer;
};

} // namespace ondelog
