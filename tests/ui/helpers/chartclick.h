// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where a bar of a chart lies on screen, for clicking it as the operator
// would: the window tests and the screenshots click the bars of the
// "Statistiques" window.

#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QPoint>

namespace ondelog::test {

/** The middle of bar `index` of the first bar set, in `view`'s viewport. */
inline QPoint barCentre(QChartView *view, int index)
{
    QChart *chart = view->chart();
    auto *series = qobject_cast<QBarSeries *>(chart->series().value(0));
    if (!series || series->barSets().isEmpty())
        return {};
    const qreal value = series->barSets()[0]->at(index);
    const QPointF inChart = chart->mapToPosition(QPointF(index, value / 2), series);
    return view->mapFromScene(chart->mapToScene(inChart));
}

} // namespace ondelog::test
