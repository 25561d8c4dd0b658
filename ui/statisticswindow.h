// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The "Statistiques" window: what the log holds, seen rather than read. Three
// tabs over one count of the log (statistics/logstatistics.h): charts per
// year, band, mode and hour, the French départements award, and the map
// centred on the station. A period (from ... to, dates as the log writes
// them) applies to all three.
//
// A click on a bar or a département says which contacts stand behind it by
// record number (recordsChosen); the window lists nothing itself, so that
// whoever opens it decides where the contacts are shown. It reads the log
// when told to (refresh): whoever opens it knows when the log changed.

#include "logbook/logfile.h"
#include "statistics/logstatistics.h"
#include "statistics/worldmap.h"

#include <QWidget>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class QChartView;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;

namespace ondelog {

class AwardPanel;
class PrintSurface;
class StationMap;

class StatisticsWindow : public QWidget
{
    Q_OBJECT

  public:
    /** Counts `log`, which must outlive the window (open, or closed: the window
     *  then says so); `stationLocator` (six characters) is the centre of the map. */
    StatisticsWindow(const LogFile &log, const std::string &stationLocator,
                     QWidget *parent = nullptr);
    ~StatisticsWindow() override;

    const LogStatistics &statistics() const { return m_statistics; }
    Chart currentChart() const;
    QChartView *chartView() const { return m_chartView; }
    StationMap *map() const { return m_map; }
    AwardPanel *awardPanel() const { return m_award; }
    /** The page "Imprimer…" sends to the printer: the chart shown, under its title. */
    void printPage(PrintSurface &surface) const;

    const std::string &stationLocator() const { return m_stationLocator; }
    /** The map centred on another station: another log, or the station moved. */
    void setStationLocator(const std::string &stationLocator);

  public slots:
    /** Counts the log again: after a contact was added, changed or deleted, or
     *  another log opened. The period and the view shown stay. */
    void refresh();

  signals:
    /** The contacts behind what was clicked, in record order, and what they are,
     *  to follow their number in a list ("contacts sur 20m"). */
    void recordsChosen(const std::vector<std::int32_t> &records, const QString &what);

  private:
    void applyPeriod();
    void count();
    void showTab();
    void showChart();
    void chooseBar(int index);
    void saveChart();
    void printChart();
    void saveMap();
    void showReading(const std::optional<MapReading> &reading);
    QString periodText() const;
    QString stationCall() const;

    const LogFile &m_log;
    std::string m_stationLocator;
    Period m_period;
    LogStatistics m_statistics;
    // The award and the map are drawn from the figures when their tab is shown.
    bool m_awardShown = false;
    bool m_mapShown = false;

    QLineEdit *m_from;
    QLineEdit *m_to;
    QLabel *m_summary;
    QTabWidget *m_tabs;
    QComboBox *m_chartChoice;
    QChartView *m_chartView;
    QLabel *m_selection;
    AwardPanel *m_award;
    StationMap *m_map;
    QLabel *m_reading;
    QLabel *m_mapSummary;
};

} // namespace ondelog
