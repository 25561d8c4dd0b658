// SPDX-License-Identifier: GPL-3.0-or-later
#include "statistics/worldmap.h"

#include "geo/locator.h"
#include "text/text.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

namespace ondelog {

namespace {

constexpr double kDegree = std::numbers::pi / 180;
// geo/ measures distances in these kilometres per degree of arc, held in a float.
constexpr float kKmPerDegree = 111.283095f;

constexpr std::string_view kLandMagic = "ONDLAND1";

std::uint32_t readU32(const char *p)
{
    const auto *b = reinterpret_cast<const unsigned char *>(p);
    return std::uint32_t{b[0]} | std::uint32_t{b[1]} << 8 | std::uint32_t{b[2]} << 16 |
           std::uint32_t{b[3]} << 24;
}

std::int16_t readI16(const char *p)
{
    const auto *b = reinterpret_cast<const unsigned char *>(p);
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(b[0] | b[1] << 8));
}

// A longitude within 180 degrees of `reference`.
double near(double longitude, double reference)
{
    while (longitude - reference > 180)
        longitude -= 360;
    while (longitude - reference < -180)
        longitude += 360;
    return longitude;
}

} // namespace

double mapRadiusKm()
{
    return static_cast<double>(kKmPerDegree) * 180;
}

AzimuthalProjection::AzimuthalProjection(GeoPoint centre)
    : m_centre(centre), m_sinLat(std::sin(centre.latitude * kDegree)),
      m_cosLat(std::cos(centre.latitude * kDegree))
{
}

MapPoint AzimuthalProjection::project(GeoPoint point) const
{
    const double lat = point.latitude * kDegree;
    // West positive on both sides: the difference eastward is centre - point.
    const double dLon = (m_centre.longitude - point.longitude) * kDegree;
    const double sinLat = std::sin(lat), cosLat = std::cos(lat);
    const double cosC =
        std::clamp(m_sinLat * sinLat + m_cosLat * cosLat * std::cos(dLon), -1.0, 1.0);
    const double rho = std::acos(cosC) / std::numbers::pi;
    const double theta =
        std::atan2(cosLat * std::sin(dLon), m_cosLat * sinLat - m_sinLat * cosLat * std::cos(dLon));
    return {rho * std::sin(theta), rho * std::cos(theta)};
}

std::optional<GeoPoint> AzimuthalProjection::unproject(MapPoint point) const
{
    const double rho = std::hypot(point.x, point.y);
    if (!(rho <= 1.0))
        return std::nullopt;
    // The direction from the centre without an angle: its sine and cosine are
    // the point's own coordinates over its distance (this runs for every pixel
    // of the map).
    const double sinTheta = rho > 0 ? point.x / rho : 0.0;
    const double cosTheta = rho > 0 ? point.y / rho : 1.0;
    const double c = rho * std::numbers::pi;
    const double sinC = std::sin(c), cosC = std::cos(c);
    const double sinLat = std::clamp(cosC * m_sinLat + sinC * m_cosLat * cosTheta, -1.0, 1.0);
    const double east = std::atan2(sinTheta * sinC * m_cosLat, cosC - m_sinLat * sinLat);
    return GeoPoint{std::asin(sinLat) / kDegree,
                    near(m_centre.longitude - east / kDegree, m_centre.longitude)};
}

std::optional<LandMap> LandMap::read(std::string_view bytes)
{
    if (bytes.size() < kLandMagic.size() + 4 || bytes.substr(0, kLandMagic.size()) != kLandMagic)
        return std::nullopt;
    std::size_t at = kLandMagic.size();
    const std::uint32_t ringCount = readU32(bytes.data() + at);
    at += 4;
    LandMap map;
    for (std::uint32_t r = 0; r < ringCount; ++r) {
        if (bytes.size() - at < 4)
            return std::nullopt;
        const std::uint32_t points = readU32(bytes.data() + at);
        at += 4;
        if (points < 3 || (bytes.size() - at) / 4 < points)
            return std::nullopt;
        Ring ring;
        ring.reserve(points);
        for (std::uint32_t i = 0; i < points; ++i, at += 4) {
            const float latitude = readI16(bytes.data() + at + 2) / 100.0f;
            if (latitude < -90 || latitude > 90)
                return std::nullopt;
            ring.push_back({readI16(bytes.data() + at) / 100.0f, latitude});
        }
        map.m_rings.push_back(std::move(ring));
    }
    if (at != bytes.size())
        return std::nullopt;
    return map;
}

LandMask::LandMask(const LandMap &land, int columns, int rows)
    : m_columns(std::max(columns, 1)), m_rows(std::max(rows, 1)),
      m_bits((static_cast<std::size_t>(m_columns) * static_cast<std::size_t>(m_rows) + 63) / 64, 0)
{
    const double rowStep = 180.0 / m_rows;
    const double columnStep = 360.0 / m_columns;
    // Even-odd filling, row by row: where each edge crosses the middle of the row.
    std::vector<std::vector<double>> crossings(static_cast<std::size_t>(m_rows));
    for (const LandMap::Ring &ring : land.rings()) {
        const auto [west, east] = std::minmax_element(
            ring.begin(), ring.end(), [](const LandMap::Vertex &a, const LandMap::Vertex &b) {
                return a.longitude < b.longitude;
            });
        // A ring that runs on past the 180th meridian is laid again a turn of
        // the globe away, so that its far part lands on the grid too.
        std::vector<double> shifts{0.0};
        if (east->longitude > 180)
            shifts.push_back(-360.0);
        if (west->longitude < -180)
            shifts.push_back(360.0);
        for (std::size_t i = 0; i < ring.size(); ++i) {
            const LandMap::Vertex &a = ring[i];
            const LandMap::Vertex &b = ring[(i + 1) % ring.size()];
            if (a.latitude == b.latitude)
                continue;
            const double low = std::min(a.latitude, b.latitude);
            const double high = std::max(a.latitude, b.latitude);
            // Rows whose middle latitude lies in [low, high).
            const int first =
                std::max(0, static_cast<int>(std::floor((90 - high) / rowStep - 0.5)) + 1);
            const int last =
                std::min(m_rows - 1, static_cast<int>(std::floor((90 - low) / rowStep - 0.5)));
            for (int r = first; r <= last; ++r) {
                const double latitude = 90 - (r + 0.5) * rowStep;
                const double x = a.longitude + (latitude - a.latitude) *
                                                   (b.longitude - a.longitude) /
                                                   (b.latitude - a.latitude);
                for (double shift : shifts)
                    crossings[static_cast<std::size_t>(r)].push_back(x + shift);
            }
        }
    }
    for (int r = 0; r < m_rows; ++r) {
        std::vector<double> &xs = crossings[static_cast<std::size_t>(r)];
        std::sort(xs.begin(), xs.end());
        for (std::size_t i = 0; i + 1 < xs.size(); i += 2) {
            // Columns whose middle longitude lies in [xs[i], xs[i + 1]).
            const int from =
                std::max(0, static_cast<int>(std::ceil((xs[i] + 180) / columnStep - 0.5)));
            const int to = std::min(
                m_columns, static_cast<int>(std::ceil((xs[i + 1] + 180) / columnStep - 0.5)));
            for (int c = from; c < to; ++c)
                set(r, c);
        }
    }
}

bool LandMask::isLand(double latitude, double longitude) const
{
    double turns = (180 - longitude) / 360;
    turns -= std::floor(turns);
    const int c = std::min(m_columns - 1, static_cast<int>(turns * m_columns));
    const int r = std::clamp(static_cast<int>((90 - latitude) / 180 * m_rows), 0, m_rows - 1);
    const std::size_t i = index(r, c);
    return (m_bits[i / 64] >> (i % 64)) & 1;
}

std::vector<std::uint8_t> renderLand(const LandMask &mask, const AzimuthalProjection &projection,
                                     int size)
{
    size = std::max(size, 0);
    const auto n = static_cast<std::size_t>(size);
    const double half = size / 2.0;
    enum : std::uint8_t
    {
        Outside,
        Sea,
        Land
    };
    // unproject() for every pixel, in single precision: ample for a pixel, and
    // several times faster.
    const GeoPoint centre = projection.centre();
    const float sinLat0 = std::sin(static_cast<float>(centre.latitude * kDegree));
    const float cosLat0 = std::cos(static_cast<float>(centre.latitude * kDegree));
    const float toDegrees = static_cast<float>(180 / std::numbers::pi);
    auto classify = [&](double px, double py) {
        const auto x = static_cast<float>((px - half) / half);
        const auto y = static_cast<float>((half - py) / half);
        const float rho2 = x * x + y * y;
        if (rho2 > 1.0f)
            return Outside;
        const float rho = std::sqrt(rho2);
        const float sinTheta = rho > 0 ? x / rho : 0.0f;
        const float cosTheta = rho > 0 ? y / rho : 1.0f;
        const float c = rho * std::numbers::pi_v<float>;
        const float sinC = std::sin(c), cosC = std::cos(c);
        const float sinLat = std::clamp(cosC * sinLat0 + sinC * cosLat0 * cosTheta, -1.0f, 1.0f);
        const float east = std::atan2(sinTheta * sinC * cosLat0, cosC - sinLat0 * sinLat);
        return mask.isLand(std::asin(sinLat) * toDegrees, centre.longitude - east * toDegrees)
                   ? Land
                   : Sea;
    };

    std::vector<std::uint8_t> kind(n * n);
    for (std::size_t y = 0; y < n; ++y)
        for (std::size_t x = 0; x < n; ++x)
            kind[y * n + x] = classify(x + 0.5, y + 0.5);

    // Pixels on a coast are sampled again, 3 x 3 within the pixel, so that the
    // coast is drawn smooth rather than in steps.
    constexpr int kSub = 3;
    std::vector<std::uint8_t> coverage(n * n, 0);
    for (std::size_t y = 0; y < n; ++y)
        for (std::size_t x = 0; x < n; ++x) {
            const std::uint8_t k = kind[y * n + x];
            if (k == Outside)
                continue;
            // Land beside sea; the rim of the disc is smoothed by whoever draws it.
            const std::uint8_t other = k == Land ? Sea : Land;
            const bool coast = (x > 0 && kind[y * n + x - 1] == other) ||
                               (x + 1 < n && kind[y * n + x + 1] == other) ||
                               (y > 0 && kind[(y - 1) * n + x] == other) ||
                               (y + 1 < n && kind[(y + 1) * n + x] == other);
            if (!coast) {
                coverage[y * n + x] = k == Land ? 255 : 0;
                continue;
            }
            int land = 0;
            for (int sy = 0; sy < kSub; ++sy)
                for (int sx = 0; sx < kSub; ++sx)
                    land += classify(x + (sx + 0.5) / kSub, y + (sy + 0.5) / kSub) == Land;
            coverage[y * n + x] = static_cast<std::uint8_t>(land * 255 / (kSub * kSub));
        }
    return coverage;
}

std::optional<MapReading> readMap(const AzimuthalProjection &projection, MapPoint point)
{
    const auto where = projection.unproject(point);
    if (!where)
        return std::nullopt;
    // unproject() keeps the longitude within 180 degrees of the centre's:
    // the shorter way round, which geo/ also takes to decide the side.
    DistanceAzimuth calculator;
    calculator.setPointA(projection.centre().latitude, projection.centre().longitude);
    calculator.setPointB(where->latitude, where->longitude);
    calculator.computeTexts();
    MapReading reading;
    reading.point = *where;
    reading.distanceText = trim(calculator.distanceText());
    reading.azimuthText = trim(calculator.azimuthText());
    // The locator grid runs from 180 E (West positive: -180 excluded) to 180 W.
    double longitude = near(where->longitude, 0);
    if (longitude <= -180)
        longitude += 360;
    reading.locator =
        coordsToLocator(static_cast<float>(std::clamp(where->latitude, -89.99, 89.99)),
                        static_cast<float>(longitude));
    return reading;
}

} // namespace ondelog
