// SPDX-License-Identifier: GPL-3.0-or-later
#include "geo/locator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

using namespace ondelog;

namespace {

TEST(Locator, Validity)
{
    struct Case
    {
        std::string text;
        bool valid;
    };
    const std::vector<Case> cases = {
        {"JN18EU", true},   {"AA00AA", true},  {"RR99XX", true},  {"IO91WM", true},
        {"JN18eu", false},  {"jn18EU", false}, {"JN18E", false},  {"JN18EUX", false},
        {"SN18EU", false},  {"JS18EU", false}, {"JN1AEU", false}, {"JNA8EU", false},
        {"JN18YU", false},  {"JN18EY", false}, {"", false},       {" JN18EU", false},
        {"JN18EU ", false}, {"@N18EU", false}, {"JN/8EU", false}, {"JN18E\xC9", false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(isLocatorValid(c.text), c.valid) << '"' << c.text << '"';
}

TEST(Locator, CentreOfSubSquare)
{
    struct Case
    {
        std::string locator;
        double latitude;
        double longitude; // West positive
    };
    const std::vector<Case> cases = {
        {"AA00AA", -90 + 0.5 / 24, 180 - 0.5 / 12},
        {"RR99XX", 90 - 0.5 / 24, -180 + 0.5 / 12},
        {"JN18EU", 48 + 20.5 / 24, -2.375},
        {"IO91WM", 51 + 12.5 / 24, 180 - (160 + 18 + 22.5 / 12)},
        {"JJ00AA", 0.5 / 24, -0.5 / 12},
        {"II99XX", -0.5 / 24, 0.5 / 12},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.locator);
        EXPECT_NEAR(locatorLatitude(c.locator), c.latitude, 1e-12);
        EXPECT_NEAR(locatorLongitude(c.locator), c.longitude, 1e-12);
    }
    EXPECT_NEAR(locatorLatitude("AA00AA"), -89.979166666, 1e-8);
    EXPECT_NEAR(locatorLongitude("AA00AA"), 179.958333333, 1e-8);
}

TEST(Locator, InvalidTextGivesOriginNotGarbage)
{
    // Shorter than a locator: must not read past the text.
    EXPECT_EQ(locatorLatitude("JN1"), 0.0);
    EXPECT_EQ(locatorLongitude(""), 0.0);
}

TEST(Locator, CoordsToLocatorKnownPoints)
{
    EXPECT_EQ(coordsToLocator(48.854166f, -2.375f), "JN18EU");
    EXPECT_EQ(coordsToLocator(0.0f, 0.0f), "JJ00AA");
    EXPECT_EQ(coordsToLocator(-0.01f, 0.01f), "II99XX");
    // No range check: the pole and the antimeridian fall outside the letter classes.
    const std::string outside = coordsToLocator(90.0f, -180.0f);
    EXPECT_EQ(outside, "SS00AA");
    EXPECT_FALSE(isLocatorValid(outside));
}

TEST(Locator, EdgesFallWhereSinglePrecisionPutsThem)
{
    // Points exactly on a sub-square edge: worked in double precision these
    // land in the neighbouring sub-square.
    struct Case
    {
        float latitude, longitude;
        std::string locator;
    };
    const std::vector<Case> cases = {
        {-79.875f, -2.375f, "JB10ED"},   {-79.5f, -2.375f, "JB10EL"},
        {-78.875f, -2.375f, "JB11EC"},   {48.854166f, -179.75f, "RN98UU"},
        {48.854166f, -179.0f, "RN98MU"}, {48.854166f, -178.5f, "RN98FU"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(coordsToLocator(c.latitude, c.longitude), c.locator)
            << c.latitude << ", " << c.longitude;
}

TEST(Locator, CoordsToLocatorNeverMisbehavesOnWildInput)
{
    for (float lat : {1e30f, -1e30f, NAN, INFINITY}) {
        const std::string locator = coordsToLocator(lat, 1e30f);
        EXPECT_EQ(locator.size(), 6u);
        EXPECT_FALSE(isLocatorValid(locator));
    }
}

std::string locatorOf(int f1, int f2, int s1, int s2, int u1, int u2)
{
    return {char('A' + f1), char('A' + f2), char('0' + s1),
            char('0' + s2), char('A' + u1), char('A' + u2)};
}

void expectRoundTrip(const std::string &locator, int &failures)
{
    const auto lat = static_cast<float>(locatorLatitude(locator));
    const auto lon = static_cast<float>(locatorLongitude(locator));
    const std::string back = coordsToLocator(lat, lon);
    if (back != locator && ++failures <= 10)
        ADD_FAILURE() << locator << " came back as " << back;
}

TEST(Locator, CentreOfEverySquareComesBack)
{
    // Every field and square, with the corner and middle sub-squares where
    // single-precision rounding would first show.
    const int subs[] = {0, 1, 11, 12, 22, 23};
    int failures = 0;
    for (int f1 = 0; f1 < 18; ++f1)
        for (int f2 = 0; f2 < 18; ++f2)
            for (int s1 = 0; s1 < 10; ++s1)
                for (int s2 = 0; s2 < 10; ++s2)
                    for (int u1 : subs)
                        for (int u2 : subs)
                            expectRoundTrip(locatorOf(f1, f2, s1, s2, u1, u2), failures);
    EXPECT_EQ(failures, 0);
}

TEST(Locator, EverySubSquareOfSomeSquaresComesBack)
{
    struct Square
    {
        int f1, f2, s1, s2;
    };
    // The corners of the grid, the squares around the Greenwich meridian and
    // the equator, and home.
    const Square squares[] = {{0, 0, 0, 0},  {17, 17, 9, 9}, {0, 17, 0, 9}, {17, 0, 9, 0},
                              {9, 9, 0, 0},  {8, 8, 9, 9},   {8, 9, 9, 0},  {9, 8, 0, 9},
                              {9, 13, 1, 8}, {8, 14, 9, 1}};
    int failures = 0;
    for (const auto &sq : squares)
        for (int u1 = 0; u1 < 24; ++u1)
            for (int u2 = 0; u2 < 24; ++u2)
                expectRoundTrip(locatorOf(sq.f1, sq.f2, sq.s1, sq.s2, u1, u2), failures);
    EXPECT_EQ(failures, 0);
}

TEST(DistanceAzimuth, KnownPairs)
{
    struct Case
    {
        std::string own, other;
        std::string distance; // the whole 10-character field
        std::string azimuth;  // 4 characters, degree sign as the byte 0xB0
    };
    const std::vector<Case> cases = {
        {"JN18EU", "IO91WM", "346 Km    ", "330\xB0"},
        {"IO91WM", "JN18EU", "346 Km    ", "148\xB0"},
        {"JN18EU", "KP20LE", "1911 Km   ", "040\xB0"},
        {"JN18EU", "FN31PR", "5689.2 Km ", "292\xB0"},
        {"JN18EU", "JN18EV", "4.6 Km    ", "000\xB0"},
        {"JN18EU", "JN18DU", "6.1 Km    ", "270\xB0"},
        {"JN18EU", "JN18EU", "0 Km      ", "090\xB0"},
        // Far pairs whose last tenth of a kilometre depends on the constant
        // being a float and on the longitude offset.
        {"JN18EU", "AB32AX", "16892.4 Km", "182\xB0"},
        {"JN18EU", "AD03LL", "19172.5 Km", "174\xB0"}, // east: 178.6° the shorter way
        {"JN18EU", "AB85AX", "17154.4 Km", "189\xB0"},
        // Across the 180th meridian the shorter way round decides the side.
        {"RF72LQ", "BL11BH", "7118.3 Km ", "028\xB0"},
        {"BL11BH", "RF72LQ", "7118.3 Km ", "204\xB0"},
        {"LG79QC", "BL11BH", "16585.1 Km", "083\xB0"},
        // Identical points near the poles, where the cosine of the central
        // angle rounds to exactly 1 and the bearing formula divides by zero.
        {"AA00AA", "AA00AA", "0 Km      ", "090\xB0"},
        {"RR99XX", "RR99XX", "0 Km      ", "090\xB0"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.own + " -> " + c.other);
        DistanceAzimuth calc;
        calc.updateTexts(c.own, c.other);
        EXPECT_EQ(calc.distanceText(), c.distance);
        EXPECT_EQ(calc.azimuthText(), c.azimuth);
    }
}

TEST(DistanceAzimuth, DistanceIsCutToATenthAndKeptAsFloat)
{
    DistanceAzimuth calc;
    calc.updateTexts("JN18EU", "FN31PR");
    EXPECT_EQ(calc.lastDistance(), 5689.2f);
    EXPECT_EQ(calc.lastAzimuth(), 292.0f);
    calc.updateTexts("JN18EU", "JN18EV");
    EXPECT_EQ(calc.lastDistance(), 4.6f);
}

TEST(DistanceAzimuth, InvalidLocatorKeepsItsPoint)
{
    DistanceAzimuth calc;
    calc.updateTexts("JN18EU", "IO91WM");
    calc.updateTexts("jn18eu", "KP20LE"); // own ignored: still measured from JN18EU
    EXPECT_EQ(calc.distanceText(), "1911 Km   ");
    calc.updateTexts("JN18EU", "");
    EXPECT_EQ(calc.distanceText(), "1911 Km   ");
    EXPECT_DOUBLE_EQ(calc.latitudeB(), locatorLatitude("KP20LE"));
}

TEST(DistanceAzimuth, NothingValidYetMeasuresFromTheOrigin)
{
    DistanceAzimuth calc;
    calc.updateTexts("", "");
    EXPECT_EQ(calc.distanceText(), "0 Km      ");
    EXPECT_EQ(calc.azimuthText(), "090\xB0");
}

TEST(DistanceAzimuth, JustWestOfNorthReads360)
{
    DistanceAzimuth calc;
    calc.setPointA(48.854166, -2.375);
    calc.setPointB(60.0, -2.37); // a hair west, West positive
    calc.updateTexts("", "");
    EXPECT_EQ(calc.azimuthText(), "360\xB0");
}

TEST(DistanceAzimuth, ClearTextsLeavesBlanksOfTheRightWidth)
{
    DistanceAzimuth calc;
    calc.updateTexts("JN18EU", "IO91WM");
    calc.clearTexts();
    EXPECT_EQ(calc.distanceText(), std::string(10, ' '));
    EXPECT_EQ(calc.azimuthText(), std::string(4, ' '));
}

TEST(DistanceAzimuth, DegeneratePointsGiveNumbersNotNaN)
{
    struct Pair
    {
        double latA, lonA, latB, lonB;
    };
    const std::vector<Pair> pairs = {
        {90, 0, -90, 0},      {-90, 0, 90, 0},     {90, 0, 90, 0},      {0, 0, 0, 179.9999},
        {0, 0, 0, -180.0001}, {45, 10, -45, -170}, {10, 20, 10, 20},    {0, 0, 0, 0},
        {30, 0, 30, -0.0001}, {89.99, 0, 0, 90},   {-60, 45, 60, -135}, {0, 0, 90, 0},
    };
    for (const auto &p : pairs) {
        SCOPED_TRACE(::testing::Message()
                     << p.latA << "," << p.lonA << " -> " << p.latB << "," << p.lonB);
        DistanceAzimuth calc;
        calc.setPointA(p.latA, p.lonA);
        calc.setPointB(p.latB, p.lonB);
        calc.updateTexts("", "");
        EXPECT_TRUE(std::isfinite(calc.lastDistance()));
        EXPECT_GE(calc.lastDistance(), 0.0f);
        EXPECT_LE(calc.lastDistance(), 20100.0f);
        EXPECT_GE(calc.lastAzimuth(), 0.0f);
        EXPECT_LE(calc.lastAzimuth(), 360.0f);
        EXPECT_EQ(calc.lastAzimuth(), std::floor(calc.lastAzimuth()));
        EXPECT_EQ(calc.distanceText().size(), 10u);
        EXPECT_EQ(calc.azimuthText().size(), 4u);
        EXPECT_EQ(calc.distanceText().find_first_of("naif"), std::string::npos)
            << calc.distanceText();
    }
}

} // namespace
