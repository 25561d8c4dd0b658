// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Statistiques" in the menu: one window of figures at a time, beside the main
// window and not modal, that follows the log it counts. Whatever changed the
// log (a contact typed or received from WSJT-X, a change, a deletion, a sort,
// a merge, an import, the label sheet's dates, another log opened) it is
// counted again once the command that changed it is through; while a sort or
// an ADIF transfer holds the log, the window is greyed, as the file it would
// read is being replaced. A click on a bar or a département lists its
// contacts in the main window's contacts panel.

#include <QObject>
#include <QPointer>
#include <QString>

#include <cstdint>
#include <vector>

class QAction;

namespace ondelog {

class MainWindow;
class StatisticsWindow;

class StatisticsCommand : public QObject
{
    Q_OBJECT

  public:
    /** `menuItem` opens the window. */
    StatisticsCommand(MainWindow &window, QAction *menuItem);
    ~StatisticsCommand() override;

    /** Opens the window, or brings the open one to the front. */
    void open();
    /** The window while it is open, else null. */
    StatisticsWindow *statisticsWindow() const;

  private:
    void logChanged();
    void setBusy(bool busy);
    /** Counts again if the log changed since the last count and nothing holds it. */
    void countIfOutdated();
    void followStation();
    void listRecords(const std::vector<std::int32_t> &records, const QString &what);

    MainWindow &m_window;
    QPointer<StatisticsWindow> m_statistics;
    bool m_outdated = false;  // the log changed since the window counted it
    bool m_scheduled = false; // a count waits for the command under way to end
};

} // namespace ondelog
