// SPDX-License-Identifier: GPL-3.0-or-later
#include "statistics/worldmap.h"

#include "geo/locator.h"
#include "logbook/logfixture.h"
#include "text/text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

namespace ondelog {
namespace {

GeoPoint centreOf(std::string_view locator)
{
    return {locatorLatitude(locator), locatorLongitude(locator)};
}

double mapAzimuth(MapPoint p)
{
    const double degrees = std::atan2(p.x, p.y) * 180 / std::numbers::pi;
    return degrees < 0 ? degrees + 360 : degrees;
}

double angleBetween(double a, double b)
{
    const double d = std::fmod(std::fabs(a - b), 360.0);
    return std::min(d, 360 - d);
}

const LandMap &land()
{
    static const LandMap map = [] {
        const auto bytes = test::fileBytes(ONDELOG_LAND_MAP);
        auto read = LandMap::read(bytes);
        EXPECT_TRUE(read.has_value());
        return read.value_or(LandMap());
    }();
    return map;
}

// The direction and length of the line from the centre are the azimuth and
// the distance that geo/ computes between the two locators.
TEST(Projection, AgreesWithTheDistanceAndAzimuthOfGeo)
{
    const struct
    {
        const char *station;
        const char *other;
    } pairs[] = {
        {"JN18EU", "IO91WM"}, {"JN18EU", "KP20LE"}, {"JN18EU", "FN31PR"}, {"JN18EU", "JN18EV"},
        {"JN18EU", "JN18DU"}, {"JN18EU", "QF56OD"}, {"JN18EU", "PM95UQ"}, {"JN18EU", "BL11BH"},
        {"JN18EU", "FF46PP"}, {"JN18EU", "KG33XX"}, {"JN18EU", "RE78IR"}, {"IN80DK", "RE79IA"},
        {"PM95UQ", "JN18EU"}, {"QF56OD", "IO91WM"}, {"FN31PR", "KP20LE"}, {"KG33XX", "JN18EU"},
    };
    for (const auto &p : pairs) {
        DistanceAzimuth geo;
        geo.updateTexts(p.station, p.other);
        const AzimuthalProjection projection(centreOf(p.station));
        const MapPoint m = projection.project(centreOf(p.other));
        EXPECT_NEAR(std::hypot(m.x, m.y) * mapRadiusKm(), geo.lastDistance(), 0.11)
            << p.station << " " << p.other;
        // geo/ gives whole degrees, an exact half going down.
        EXPECT_LE(angleBetween(mapAzimuth(m), geo.lastAzimuth()), 0.51)
            << p.station << " " << p.other;
    }
}

TEST(Projection, UnprojectsWhatItProjects)
{
    const AzimuthalProjection projection(centreOf("JN18EU"));
    EXPECT_NEAR(projection.project(centreOf("JN18EU")).x, 0, 1e-12);
    const GeoPoint points[] = {{48.85, -2.35}, {-33.9, -151.2}, {64.0, 170.0},  {-89.0, 0.0},
                               {89.0, 100.0},  {0.0, 90.0},     {-48.8, 177.6}, {10.0, -179.9}};
    for (const GeoPoint &p : points) {
        const auto back = projection.unproject(projection.project(p));
        ASSERT_TRUE(back) << p.latitude << " " << p.longitude;
        EXPECT_NEAR(back->latitude, p.latitude, 1e-6);
        EXPECT_LE(angleBetween(back->longitude, p.longitude), 1e-6);
        EXPECT_LE(std::fabs(back->longitude - projection.centre().longitude), 180.0);
    }
    EXPECT_FALSE(projection.unproject({0.8, 0.7}));
    EXPECT_FALSE(projection.unproject({std::nan(""), 0}));
    EXPECT_TRUE(projection.unproject({0, -1}));
}

// Under the mouse, anywhere on the disc: the azimuth and distance geo/ gives
// are those the map shows, also past the 180th meridian.
TEST(Reading, GeoFiguresMatchTheMapEverywhere)
{
    std::mt19937 random(7);
    std::uniform_real_distribution<double> coordinate(-1.0, 1.0);
    for (const char *station : {"JN18EU", "PM95UQ", "RE78IR", "BL11BH", "KG33XX"}) {
        const AzimuthalProjection projection(centreOf(station));
        for (int i = 0; i < 400; ++i) {
            const MapPoint m{coordinate(random), coordinate(random)};
            const double rho = std::hypot(m.x, m.y);
            const auto reading = readMap(projection, m);
            ASSERT_EQ(reading.has_value(), rho <= 1.0);
            if (!reading || rho < 0.001 || rho > 0.995)
                continue;
            EXPECT_NEAR(numericValue(reading->distanceText), rho * mapRadiusKm(), 0.11)
                << station << " " << m.x << " " << m.y;
            EXPECT_LE(angleBetween(numericValue(reading->azimuthText), mapAzimuth(m)), 0.51)
                << station << " " << m.x << " " << m.y << " " << reading->azimuthText;
            EXPECT_TRUE(isLocatorValid(reading->locator)) << reading->locator;
        }
    }
    const auto here = readMap(AzimuthalProjection(centreOf("JN18EU")), {0, 0});
    ASSERT_TRUE(here);
    EXPECT_EQ(here->locator, "JN18EU");
    EXPECT_EQ(here->distanceText, "0 Km");
}

TEST(Land, ReadsTheShippedFileAndRefusesAnythingElse)
{
    EXPECT_GT(land().rings().size(), 100u);

    // A small file of one triangle, then every way of spoiling it.
    std::string good = "ONDLAND1";
    auto u32 = [](std::uint32_t v) {
        return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
    };
    auto i16 = [](int v) { return std::string{char(v & 0xFF), char((v >> 8) & 0xFF)}; };
    good += u32(1) + u32(3) + i16(0) + i16(0) + i16(1000) + i16(0) + i16(0) + i16(-1000);
    const auto read = LandMap::read(good);
    ASSERT_TRUE(read);
    ASSERT_EQ(read->rings().size(), 1u);
    EXPECT_FLOAT_EQ(read->rings()[0][2].latitude, -10.0f);
    for (std::size_t size = 0; size < good.size(); ++size)
        EXPECT_FALSE(LandMap::read(good.substr(0, size))) << size;
    EXPECT_FALSE(LandMap::read(good + "x"));
    std::string badMagic = good;
    badMagic[0] = 'X';
    EXPECT_FALSE(LandMap::read(badMagic));
    std::string hugeCount = good;
    hugeCount.replace(12, 4, u32(0xFFFFFFFF));
    EXPECT_FALSE(LandMap::read(hugeCount));
    std::string twoPoints = "ONDLAND1" + u32(1) + u32(2) + i16(0) + i16(0) + i16(1) + i16(1);
    EXPECT_FALSE(LandMap::read(twoPoints));
    std::string pastThePole = good;
    pastThePole.replace(good.size() - 2, 2, i16(9500));
    EXPECT_FALSE(LandMap::read(pastThePole));
}

TEST(Land, LandAndSeaWhereTheyAre)
{
    const LandMask mask(land(), 1440, 720);
    // West positive, as geo/ counts longitudes.
    const struct
    {
        const char *where;
        GeoPoint point;
        bool land;
    } places[] = {
        {"Paris", {48.85, -2.35}, true},
        {"Bay of Biscay", {45.5, 4.0}, false},
        {"Sahara", {23.0, -10.0}, true},
        {"mid-Atlantic", {30.0, 40.0}, false},
        {"Greenland", {75.0, 40.0}, true},
        {"Australia", {-25.0, -135.0}, true},
        {"Pacific", {0.0, 150.0}, false},
        {"Chukotka, past 180", {66.0, 175.0}, true},
        {"Siberia, before 180", {66.0, -170.0}, true},
        {"Antarctica near the pole", {-89.5, 0.0}, true},
        {"Antarctica, 180th meridian", {-86.0, 180.0}, true},
        {"Southern Ocean", {-60.0, 90.0}, false},
        {"North Pole", {89.5, 0.0}, false},
        {"Caspian Sea", {42.0, -50.5}, false},
    };
    for (const auto &p : places)
        EXPECT_EQ(mask.isLand(p.point), p.land) << p.where;
}

TEST(Land, TheMapShowsTheStationAtItsCentreAndTheAntipodeRoundTheRim)
{
    const LandMask mask(land(), 1440, 720);
    constexpr int kSize = 201;
    auto pixel = [&](const std::vector<std::uint8_t> &image, MapPoint m) {
        const int x = static_cast<int>((m.x + 1) * kSize / 2);
        const int y = static_cast<int>((1 - m.y) * kSize / 2);
        return image[static_cast<std::size_t>(y * kSize + x)];
    };
    const AzimuthalProjection paris(centreOf("JN18EU"));
    const auto image = renderLand(mask, paris, kSize);
    ASSERT_EQ(image.size(), std::size_t(kSize * kSize));
    EXPECT_EQ(pixel(image, {0, 0}), 255);
    EXPECT_EQ(image[0], 0);
    EXPECT_EQ(image.back(), 0);
    EXPECT_EQ(pixel(image, paris.project({39.0, 98.0})), 255);    // Kansas
    EXPECT_EQ(pixel(image, paris.project({30.0, 40.0})), 0);      // mid-Atlantic
    EXPECT_EQ(pixel(image, paris.project({-25.0, -135.0})), 255); // Australia
    EXPECT_TRUE(std::any_of(image.begin(), image.end(), [](auto v) { return v > 0 && v < 255; }));

    // From Madrid the antipode lies on New Zealand's North Island: its land
    // runs all round the rim instead of cutting across the map.
    const AzimuthalProjection madrid(centreOf("IN80DK"));
    for (int degrees = 0; degrees < 360; degrees += 15) {
        const double a = degrees * std::numbers::pi / 180;
        const auto point = madrid.unproject({0.9995 * std::sin(a), 0.9995 * std::cos(a)});
        EXPECT_TRUE(point && mask.isLand(*point)) << degrees;
    }
}

} // namespace
} // namespace ondelog
