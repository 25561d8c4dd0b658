// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The French départements award as a grid of the 96 départements of
// metropolitan France, each not worked, worked or confirmed, on one band or
// all; a click on a département hands its contacts on by record number.

#include "statistics/logstatistics.h"

#include <QStringList>
#include <QWidget>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

class QComboBox;
class QFontMetrics;
class QLabel;
class QPushButton;

namespace ondelog {

class AwardPanel : public QWidget
{
    Q_OBJECT

  public:
    explicit AwardPanel(QWidget *parent = nullptr);

    /** Shows the award of these figures, which must outlive the panel's use of
     *  them (until the next call). The band chosen is kept when the new figures
     *  still have it. */
    void setStatistics(const LogStatistics &statistics);

    QPushButton *cell(int index) const { return m_cells[std::size_t(index)]; }

    /** A département's name on one line if it is no wider than `width` pixels
     *  in these letters, else on two broken after a hyphen or at a space, as
     *  narrow as they can be. */
    static QStringList nameLines(const QString &name, const QFontMetrics &metrics, int width);

  signals:
    void recordsChosen(const std::vector<std::int32_t> &records, const QString &what);

  protected:
    void resizeEvent(QResizeEvent *event) override;

  private:
    void nameCells();
    void showBand();
    void choose(int index);
    /** The band chosen, as an index into the figures' bands; nothing for all bands. */
    std::optional<std::size_t> band() const;

    qreal m_cellPoints = 0;     // the size of the names' letters where there is room
    qreal m_smallestPoints = 0; // and the smallest they become in a narrow window
    const LogStatistics *m_statistics = nullptr;
    AwardView m_view;
    QComboBox *m_band;
    QLabel *m_counts;
    QLabel *m_notes;
    std::array<QPushButton *, kAwardDepartements> m_cells{};
};

} // namespace ondelog
