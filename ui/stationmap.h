// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The world as the station sees it: an azimuthal equidistant map centred on
// the station's locator, the land drawn from the shipped Natural Earth file,
// each worked locator a dot, rings of distance and spokes of azimuth. Under
// the mouse it tells the azimuth and distance geo/ computes for that point.
// The projection and the land are the core's (statistics/worldmap.h); this
// widget only paints them.

#include "statistics/logstatistics.h"
#include "statistics/worldmap.h"

#include <QImage>
#include <QWidget>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace ondelog {

class StationMap : public QWidget
{
    Q_OBJECT

  public:
    /** `stationLocator`: six characters; an invalid one centres the map on 0, 0. */
    explicit StationMap(const std::string &stationLocator, QWidget *parent = nullptr);
    ~StationMap() override;

    void setLocators(std::vector<WorkedLocator> locators);
    /** Centres the map on another station (another log, or the station moved). */
    void setStationLocator(const std::string &stationLocator);
    const std::string &stationLocator() const { return m_stationLocator; }
    const std::vector<WorkedLocator> &locators() const { return m_locators; }
    const AzimuthalProjection &projection() const { return m_projection; }
    /** False when the land file could not be read: the map shows the sea alone. */
    bool hasLand() const { return m_mask != nullptr; }

    /** The map drawn on an image of `size` x `size` pixels (saving as PNG). */
    QImage render(int size) const;
    /** Where a point of the map lies in the widget, and back. */
    QPointF toWidget(MapPoint point) const;
    MapPoint toMap(QPointF position) const;

    QSize sizeHint() const override { return {640, 640}; }
    QSize minimumSizeHint() const override { return {320, 320}; }

  signals:
    /** The point under the mouse, or nothing when it left the globe. */
    void pointed(const std::optional<MapReading> &reading);

  protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;

  private:
    struct Disc
    {
        QPointF centre;
        double radius = 0;
    };
    Disc disc(const QRectF &area) const;
    // What takes long to draw, kept between paintings of the same size.
    struct Layers
    {
        QImage land;
        QImage dots;
    };
    void paint(QPainter &painter, const QRectF &area, Layers &layers) const;
    QImage landImage(int size) const;
    QImage dotsImage(const QRectF &area, qreal ratio) const;

    std::string m_stationLocator;
    AzimuthalProjection m_projection;
    std::unique_ptr<LandMask> m_mask;
    std::vector<WorkedLocator> m_locators;
    struct Dot
    {
        MapPoint point;
        bool several = false; ///< more than one contact there
    };
    std::vector<Dot> m_dots; // the locators projected once
    mutable Layers m_layers; // at the widget's size, redrawn when it changes
};

} // namespace ondelog
