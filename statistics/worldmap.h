// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The world as seen from the station: an azimuthal equidistant map centred on
// the station's locator. In this projection a straight line from the centre is
// the great circle, its direction the azimuth to turn the antenna to, and its
// length the distance; the whole globe fills a disc whose rim is the antipode.
//
// The land comes from Natural Earth's 1:110m polygons in the compact form
// scripts/make-land-map writes (data/land-110m.bin). Drawing polygons
// projected point by point breaks near the antipode, where one land edge can
// stretch half round the rim; so the land is first laid on a grid of
// longitude and latitude, and each pixel of the map looks up the point of the
// globe it shows.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ondelog {

/** A point of the globe, in degrees; longitude West positive as geo/ counts it. */
struct GeoPoint
{
    double latitude = 0;
    double longitude = 0;
};

/** A point of the map: the disc has radius 1 (the rim is the antipode), x to
 *  the right (East at the centre), y upwards (North at the centre). */
struct MapPoint
{
    double x = 0;
    double y = 0;
};

/** Kilometres from the centre to the rim of the map, in the kilometres per
 *  degree geo/ measures distances with, so that both agree. */
double mapRadiusKm();

class AzimuthalProjection
{
  public:
    explicit AzimuthalProjection(GeoPoint centre);

    const GeoPoint &centre() const { return m_centre; }
    /** Where `point` lies on the map (the antipode itself goes to the top of the rim). */
    MapPoint project(GeoPoint point) const;
    /** The point of the globe under a point of the map; nothing outside the disc.
     *  The longitude is brought within 180 degrees of the centre's. */
    std::optional<GeoPoint> unproject(MapPoint point) const;

  private:
    GeoPoint m_centre;
    double m_sinLat, m_cosLat;
};

/** Land polygons as rings of (longitude East positive, latitude) in degrees,
 *  to be filled even-odd; see scripts/make-land-map. */
class LandMap
{
  public:
    struct Vertex
    {
        float longitude; ///< East positive; past +-180 where a ring crosses that meridian
        float latitude;
    };
    using Ring = std::vector<Vertex>;

    /** Reads the compact file's bytes; nothing when they are not such a file
     *  (wrong header, counts past the end, trailing bytes). */
    static std::optional<LandMap> read(std::string_view bytes);

    const std::vector<Ring> &rings() const { return m_rings; }

  private:
    std::vector<Ring> m_rings;
};

/** Land and sea on a grid of equal steps of longitude and latitude. */
class LandMask
{
  public:
    /** `columns` cells round the globe from 180 W, `rows` from the North pole down. */
    LandMask(const LandMap &land, int columns, int rows);

    bool isLand(GeoPoint point) const { return isLand(point.latitude, point.longitude); }
    /** `longitude` West positive, any number of turns. */
    bool isLand(double latitude, double longitude) const;
    int columns() const { return m_columns; }
    int rows() const { return m_rows; }

  private:
    void set(int row, int column)
    {
        m_bits[index(row, column) / 64] |= 1ull << (index(row, column) % 64);
    }
    std::size_t index(int row, int column) const
    {
        return static_cast<std::size_t>(row) * static_cast<std::size_t>(m_columns) +
               static_cast<std::size_t>(column);
    }

    int m_columns;
    int m_rows;
    // One bit a cell: the whole grid stays in the processor's cache while a
    // map is drawn.
    std::vector<std::uint64_t> m_bits;
};

/** The land of a square map `size` pixels wide, row by row from the top: per
 *  pixel the share of it that is land, 0 to 255 (edges are smoothed), and 0
 *  outside the disc. */
std::vector<std::uint8_t> renderLand(const LandMask &mask, const AzimuthalProjection &projection,
                                     int size);

/** What the map says about one of its points, measured from the centre. */
struct MapReading
{
    GeoPoint point;
    std::string distanceText; ///< as geo/ writes it: "1911 Km"
    std::string azimuthText;  ///< "040°" (Windows-1252 degree sign)
    std::string locator;      ///< the sub-square the point lies in
};

/** Azimuth and distance of the point under `point`, computed by geo/ from the
 *  centre; nothing outside the disc. */
std::optional<MapReading> readMap(const AzimuthalProjection &projection, MapPoint point);

} // namespace ondelog
