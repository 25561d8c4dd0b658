// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Classer le Fichier": puts the open log into chronological order while the
// panel PictClasser shows the contacts' count, the stage and the position.
// The order and the safe replacement of the file are the core's (sortLog);
// this object guards the command, keeps the window alive and shows the log
// again once sorted.

#include <QObject>

class QFrame;
class QLabel;

namespace ondelog {

class MainWindow;

class SortPanel : public QObject
{
    Q_OBJECT

  public:
    /** Adds the panel PictClasser to `window`, hidden until a sort runs. */
    explicit SortPanel(MainWindow &window);

    /** Sorts the open log; nothing during entry, with fewer than two contacts,
     *  while a change waits for confirmation or while the label sheet is open. */
    void sort();
    bool isSorting() const { return m_sorting; }

  private:
    MainWindow &m_window;
    QFrame *m_frame = nullptr;   // PictClasser
    QLabel *m_caption = nullptr; // ClasserLab
    QLabel *m_states[3] = {};    // LabEtat1..3
    bool m_sorting = false;
};

} // namespace ondelog
