// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The strip above the list: the button bar PictMenu ("&Nouveau QSO",
// "&Supprimer", "Fermer le Log"), the greeting, the clock that starts
// Horalink, and the time and date, told again every second.

#include <QTimer>
#include <QWidget>

class QFrame;
class QLabel;
class QPushButton;
class QToolButton;

namespace ondelog {

class Clock;

class TopBar : public QWidget
{
    Q_OBJECT

  public:
    /** `clock` is read every second and must outlive the bar. */
    TopBar(const Clock &clock, QWidget *parent = nullptr);

    /** The button bar shown (not during an entry) and usable. */
    void setButtonsShown(bool shown);
    void setButtonsEnabled(bool enabled);
    void setCommands(bool newContact, bool deleteRecord, bool close);
    /** OndelogLab03: " Bonjour ", " Au revoir ", or nothing. */
    void setGreeting(const QString &text);
    /** The time and date told now, then every second; or no more. */
    void startClock();
    void stopClock();

  signals:
    void newContactAsked();
    void deletionAsked();
    void closeAsked();
    /** The clock "Horloge". */
    void clockClicked();

  private:
    void showTime();

    const Clock &m_clock;
    QTimer m_timer;
    QFrame *m_buttons = nullptr; // PictMenu
    QPushButton *m_close = nullptr;
    QPushButton *m_newContact = nullptr;
    QPushButton *m_delete = nullptr;
    QLabel *m_greeting = nullptr;
    QLabel *m_time = nullptr;
    QLabel *m_date = nullptr;
};

} // namespace ondelog
