// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/stationmap.h"

#include "geo/locator.h"
#include "ui/qtext.h"

#include <QFile>
#include <QHash>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace ondelog {

namespace {

// A quarter of a degree: finer than the 1:110m coasts, and a few megabytes.
constexpr int kMaskColumns = 1440;
constexpr int kMaskRows = 720;
// Room round the disc for the azimuths written at its rim.
constexpr double kRimMargin = 30;

const QColor kSea(0xdb, 0xe9, 0xf6);
const QColor kLand(0xc6, 0xda, 0xab);
const QColor kCoast(0x6f, 0x8f, 0x52);
const QColor kGrid(0x7d, 0x98, 0xb3);
const QColor kGridText(0x3e, 0x51, 0x66);
const QColor kContact(0xd9, 0x48, 0x0f);
const QColor kStation(0xb0, 0x10, 0x30);

GeoPoint stationPoint(const std::string &locator)
{
    if (!isLocatorValid(locator))
        return {};
    return {locatorLatitude(locator), locatorLongitude(locator)};
}

std::unique_ptr<LandMask> loadLand()
{
    QFile file(QStringLiteral(":/map/land-110m.bin"));
    if (!file.open(QIODevice::ReadOnly))
        return nullptr;
    const QByteArray bytes = file.readAll();
    const auto land = LandMap::read(std::string_view(bytes.constData(), std::size_t(bytes.size())));
    if (!land)
        return nullptr;
    return std::make_unique<LandMask>(*land, kMaskColumns, kMaskRows);
}

// A worked locator's dot, drawn once and stamped where each one lies.
QImage dotImage(double radius, qreal ratio)
{
    const int side = int(std::ceil((2 * radius + 2) * ratio));
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::white, 1));
    painter.setBrush(kContact);
    const double middle = side / ratio / 2;
    painter.drawEllipse(QPointF(middle, middle), radius, radius);
    return image;
}

QString azimuthLabel(int degrees)
{
    switch (degrees) {
    case 0:
        return QStringLiteral("N");
    case 90:
        return QStringLiteral("E");
    case 180:
        return QStringLiteral("S");
    case 270:
        return QStringLiteral("O");
    default:
        return QStringLiteral("%1°").arg(degrees);
    }
}

} // namespace

StationMap::StationMap(const std::string &stationLocator, QWidget *parent)
    : QWidget(parent), m_stationLocator(stationLocator), m_projection(stationPoint(stationLocator)),
      m_mask(loadLand())
{
    setObjectName(QStringLiteral("CarteStation"));
    setMouseTracking(true);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

StationMap::~StationMap() = default;

void StationMap::setLocators(std::vector<WorkedLocator> locators)
{
    m_locators = std::move(locators);
    m_dots.clear();
    m_dots.reserve(m_locators.size());
    for (const WorkedLocator &l : m_locators)
        m_dots.push_back({m_projection.project({l.latitude, l.longitude}), l.contacts > 1});
    m_layers.dots = QImage();
    update();
}

void StationMap::setStationLocator(const std::string &stationLocator)
{
    if (stationLocator == m_stationLocator)
        return;
    m_stationLocator = stationLocator;
    m_projection = AzimuthalProjection(stationPoint(stationLocator));
    // The land and the dots lie elsewhere on a map with another centre.
    m_layers = Layers();
    setLocators(std::move(m_locators));
}

StationMap::Disc StationMap::disc(const QRectF &area) const
{
    return {area.center(), std::max(10.0, std::min(area.width(), area.height()) / 2 - kRimMargin)};
}

QPointF StationMap::toWidget(MapPoint point) const
{
    const Disc d = disc(QRectF(rect()));
    return {d.centre.x() + point.x * d.radius, d.centre.y() - point.y * d.radius};
}

MapPoint StationMap::toMap(QPointF position) const
{
    const Disc d = disc(QRectF(rect()));
    return {(position.x() - d.centre.x()) / d.radius, (d.centre.y() - position.y()) / d.radius};
}

QImage StationMap::landImage(int size) const
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    if (!m_mask)
        return image;
    const std::vector<std::uint8_t> coverage = renderLand(*m_mask, m_projection, size);
    for (int y = 0; y < size; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < size; ++x) {
            const int alpha = coverage[std::size_t(y) * std::size_t(size) + std::size_t(x)];
            if (alpha == 0)
                continue;
            // Pixels the coast crosses are drawn darker: the outline of the land.
            const QColor &colour = alpha == 255 ? kLand : kCoast;
            line[x] = qPremultiply(qRgba(colour.red(), colour.green(), colour.blue(),
                                         alpha == 255 ? 255 : std::min(255, alpha + 90)));
        }
    }
    return image;
}

// Thousands of locators fall on a few hundred pixels: each pixel gets one dot,
// a stamp drawn once, the bigger one where several contacts were made.
QImage StationMap::dotsImage(const QRectF &area, qreal ratio) const
{
    QImage image((area.size() * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    const Disc d = disc(QRectF(QPointF(), area.size()));
    QHash<quint64, bool> pixels;
    pixels.reserve(qsizetype(std::min<std::size_t>(m_dots.size(), 1 << 16)));
    for (const Dot &dot : m_dots) {
        const auto x = quint32(std::lround(d.centre.x() + dot.point.x * d.radius));
        const auto y = quint32(std::lround(d.centre.y() - dot.point.y * d.radius));
        bool &several = pixels[quint64(x) << 32 | y];
        several = several || dot.several;
    }
    QPainter painter(&image);
    const QImage one = dotImage(3.0, ratio), several = dotImage(4.0, ratio);
    for (auto it = pixels.cbegin(); it != pixels.cend(); ++it) {
        const QImage &stamp = it.value() ? several : one;
        const QSizeF extent = QSizeF(stamp.size()) / ratio;
        painter.drawImage(QPointF(double(it.key() >> 32) - extent.width() / 2,
                                  double(it.key() & 0xFFFFFFFFu) - extent.height() / 2),
                          stamp);
    }
    return image;
}

void StationMap::paint(QPainter &painter, const QRectF &area, Layers &layers) const
{
    const Disc d = disc(area);
    const QPointF c = d.centre;
    const double r = d.radius;
    painter.setRenderHint(QPainter::Antialiasing);

    painter.setPen(Qt::NoPen);
    painter.setBrush(kSea);
    painter.drawEllipse(c, r, r);

    const int size = std::max(1, int(std::lround(2 * r)));
    if (layers.land.width() != size)
        layers.land = landImage(size);
    painter.drawImage(QPointF(c.x() - size / 2.0, c.y() - size / 2.0), layers.land);

    // Rings every 5,000 km and spokes every 30 degrees: read off the map as
    // the antenna's heading and the distance to the station.
    QPen grid(kGrid, 1, Qt::DashLine);
    grid.setCosmetic(true);
    painter.setPen(grid);
    painter.setBrush(Qt::NoBrush);
    QFont small = painter.font();
    small.setPointSizeF(std::max(7.0, small.pointSizeF() * 0.85));
    // The last ring would lie on the rim (20,000 km is the antipode, near enough).
    const double lastRing = mapRadiusKm() - 2000;
    for (int km = 5000; km < lastRing; km += 5000) {
        const double ring = r * km / mapRadiusKm();
        painter.drawEllipse(c, ring, ring);
    }
    for (int degrees = 0; degrees < 360; degrees += 30) {
        const double a = degrees * std::numbers::pi / 180;
        painter.drawLine(c, QPointF(c.x() + r * std::sin(a), c.y() - r * std::cos(a)));
    }

    painter.setFont(small);
    painter.setPen(kGridText);
    for (int km = 5000; km < lastRing; km += 5000) {
        const double ring = r * km / mapRadiusKm();
        // Along the spoke of 15 degrees, between two spokes drawn.
        const double a = 15 * std::numbers::pi / 180;
        const QPointF at(c.x() + ring * std::sin(a), c.y() - ring * std::cos(a));
        painter.drawText(QRectF(at.x() - 40, at.y() - 9, 80, 18), Qt::AlignCenter,
                         QStringLiteral("%L1 km").arg(km));
    }
    QFont rimFont = painter.font();
    rimFont.setBold(true);
    painter.setFont(rimFont);
    for (int degrees = 0; degrees < 360; degrees += 30) {
        const double a = degrees * std::numbers::pi / 180;
        const double at = r + kRimMargin / 2;
        const QPointF p(c.x() + at * std::sin(a), c.y() - at * std::cos(a));
        painter.drawText(QRectF(p.x() - 30, p.y() - 10, 60, 20), Qt::AlignCenter,
                         azimuthLabel(degrees));
    }

    QPen rim(kGrid.darker(130), 1.5);
    painter.setPen(rim);
    painter.drawEllipse(c, r, r);

    const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    if (layers.dots.deviceIndependentSize() != area.size())
        layers.dots = dotsImage(area, ratio);
    painter.drawImage(area.topLeft(), layers.dots);

    // The station: a cross ringed in white, and its locator beside it.
    QPainterPath cross;
    cross.moveTo(c.x() - 7, c.y());
    cross.lineTo(c.x() + 7, c.y());
    cross.moveTo(c.x(), c.y() - 7);
    cross.lineTo(c.x(), c.y() + 7);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::white, 5, Qt::SolidLine, Qt::RoundCap));
    painter.drawPath(cross);
    painter.setPen(QPen(kStation, 2.5, Qt::SolidLine, Qt::RoundCap));
    painter.drawPath(cross);
    const QString name = toQString(m_stationLocator);
    const QRectF label(c.x() + 9, c.y() + 3, painter.fontMetrics().horizontalAdvance(name) + 6,
                       painter.fontMetrics().height());
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, 210));
    painter.drawRoundedRect(label, 3, 3);
    painter.setPen(kStation);
    painter.drawText(label, Qt::AlignCenter, name);
}

QImage StationMap::render(int size) const
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    Layers layers;
    paint(painter, QRectF(0, 0, size, size), layers);
    return image;
}

void StationMap::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    paint(painter, QRectF(rect()), m_layers);
}

void StationMap::mouseMoveEvent(QMouseEvent *event)
{
    emit pointed(readMap(m_projection, toMap(event->position())));
}

void StationMap::leaveEvent(QEvent *)
{
    emit pointed(std::nullopt);
}

} // namespace ondelog
