// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The panel shown before two logs are merged: it names the log the contacts
// will be appended to, advises a backup first, and offers "Jumeler",
// "Sauvegarder" and "Annuler". The merge itself is the core's; the panel only
// reports which button was pressed.

#include <QFrame>

class QLabel;
class QPushButton;

namespace ondelog {

class MergePanel : public QFrame
{
    Q_OBJECT

  public:
    explicit MergePanel(QWidget *parent = nullptr);

    /** Shows the panel for the log `logFileName`, backup offered again, the
     *  focus on "Jumeler". */
    void begin(const QString &logFileName);

    QPushButton *mergeButton() const { return m_merge; }   ///< BtPjumeler
    QPushButton *backupButton() const { return m_backup; } ///< BtPjSauvegarder
    QPushButton *cancelButton() const { return m_cancel; } ///< BtPjAnnuler
    QLabel *logNameLabel() const { return m_logName; }     ///< LabPj2

  signals:
    void mergeRequested();
    void backupRequested();
    void cancelRequested();

  private:
    QLabel *m_logName = nullptr;
    QPushButton *m_merge = nullptr;
    QPushButton *m_backup = nullptr;
    QPushButton *m_cancel = nullptr;
};

} // namespace ondelog
