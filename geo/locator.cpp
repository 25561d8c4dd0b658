// SPDX-License-Identifier: GPL-3.0-or-later
#include "geo/locator.h"

#include "text/text.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace ondelog {

namespace {

// The truncated value, not M_PI: distances and bearings already written in logs
// were computed with it, and the last digit of a distance can depend on it.
constexpr double kPi = 3.14159265358979;

int code(std::string_view locator, std::size_t i)
{
    return static_cast<unsigned char>(locator[i]);
}

// The character of a computed locator position. Coordinates far out of range
// would give a code outside a byte (or no number at all); those show as '?'
// instead of being converted, which would be undefined.
char locatorChar(int base, float index)
{
    const float value = static_cast<float>(base) + index;
    if (!(value >= 0.0f && value <= 255.0f))
        return '?';
    return static_cast<char>(static_cast<unsigned char>(value));
}

int sgn(double x)
{
    return (x > 0) - (x < 0);
}

// Angle in [0, pi] whose cosine is x, written the way the figures in old logs
// were computed: atan(sqrt(1 - x^2) / x) shifted by pi when x is negative.
// Rounding can push |x| a hair past 1, and x can be exactly 0 or not a number
// at all (coincident or antipodal points); the square root is held at 0 and
// the undefined cases take the formula's limit, pi/2, so no NaN ever reaches
// the texts.
double angleFromCosine(double x)
{
    if (!std::isfinite(x) || x == 0.0)
        return kPi / 2;
    const double root = std::sqrt(std::max(0.0, 1.0 - x * x));
    return std::atan(root / x) + (kPi / 2) * (1 - sgn(x));
}

} // namespace

bool isLocatorValid(std::string_view locator)
{
    if (locator.size() != 6)
        return false;
    const auto in = [&](std::size_t i, int low, int high) {
        const int c = code(locator, i);
        return c >= low && c <= high;
    };
    return in(0, 'A', 'R') && in(1, 'A', 'R') && in(2, '0', '9') && in(3, '0', '9') &&
           in(4, 'A', 'X') && in(5, 'A', 'X');
}

double locatorLatitude(std::string_view locator)
{
    if (!isLocatorValid(locator))
        return 0.0;
    const std::int16_t whole =
        static_cast<std::int16_t>((code(locator, 1) - 65) * 10 - 90 + (code(locator, 3) - 48));
    double latitude = whole + (code(locator, 5) - 64.5) / 24;
    if (std::fabs(latitude) > 90)
        latitude = 180 - latitude;
    return latitude;
}

double locatorLongitude(std::string_view locator)
{
    if (!isLocatorValid(locator))
        return 0.0;
    const double x = (code(locator, 0) - 65) * 20 + 180 + (code(locator, 2) - 48) * 2 +
                     (code(locator, 4) - 64.5) / 12;
    return 360 - x;
}

std::string coordsToLocator(float latitude, float longitude)
{
    // Each step rounds to float on purpose: the sub-square a point falls in
    // near a boundary must be the one the station has always been given.
    float a = (180.0f - longitude) / 20.0f;
    const float i1 = std::floor(a);
    float b = (latitude + 90.0f) / 10.0f;
    const float i2 = std::floor(b);
    a = (a - i1) * 10.0f;
    const float i3 = std::floor(a);
    b = (b - i2) * 10.0f;
    const float i4 = std::floor(b);
    const float i5 = std::floor((a - i3) * 24.0f);
    const float i6 = std::floor((b - i4) * 24.0f);

    std::string locator(6, ' ');
    locator[0] = locatorChar('A', i1);
    locator[1] = locatorChar('A', i2);
    locator[2] = locatorChar('0', i3);
    locator[3] = locatorChar('0', i4);
    locator[4] = locatorChar('A', i5);
    locator[5] = locatorChar('A', i6);
    return locator;
}

void DistanceAzimuth::setPointA(double latitude, double longitude)
{
    m_latA = latitude;
    m_lonA = longitude;
}

void DistanceAzimuth::setPointB(double latitude, double longitude)
{
    m_latB = latitude;
    m_lonB = longitude;
}

void DistanceAzimuth::compute()
{
    const double k = kPi / 180;
    const double toDegrees = 180 / kPi;
    // Held in a float as it always was: 111.28309631..., not 111.283095.
    const float kmPerDegree = 111.283095f;

    const double s1 = std::sin(m_latA * k);
    const double s2 = std::sin(m_latB * k);
    const double c1 = std::cos(m_latA * k);
    const double c2 = std::cos(m_latB * k);
    // The offset keeps two identical points away from a zero divisor.
    const double delta = m_lonB - m_lonA + 0.0001;
    const double cDelta = std::cos(delta * k);

    const double c = c1 * c2 * cDelta + s1 * s2;
    const double centralAngle = angleFromCosine(c);

    // Cut, not rounded, to 0.1 km.
    m_distance = static_cast<float>(std::floor(kmPerDegree * centralAngle * toDegrees * 10) / 10);

    // A zero sine of the central angle or a point on a pole gives an infinite or
    // undefined q, which angleFromCosine treats as its limit.
    const double q = (s2 - s1 * c) / std::sin(centralAngle) / c1;
    const double theta = angleFromCosine(q);

    // Nearest whole degree, an exact half going down.
    double azimuth = 360 - std::floor((2 * kPi - theta) * toDegrees + 0.5);
    // B lies west when the shorter way round goes west (West-positive
    // longitudes, no offset). Compared plainly, a pair on either side of the
    // 180th meridian would read the mirror of its bearing: Réunion to Hawaii
    // 277° instead of 083°. Below 180° apart both comparisons agree.
    if (std::remainder(m_lonB - m_lonA, 360.0) > 0)
        azimuth = 360 - azimuth;
    m_azimuth = static_cast<float>(azimuth);
}

void DistanceAzimuth::updateTexts(std::string_view own, std::string_view other)
{
    if (isLocatorValid(own))
        setPointA(locatorLatitude(own), locatorLongitude(own));
    if (isLocatorValid(other))
        setPointB(locatorLatitude(other), locatorLongitude(other));
    computeTexts();
}

void DistanceAzimuth::computeTexts()
{
    compute();
    m_distanceText = fixedWidth(formatNumber(m_distance) + " Km", 10);
    const std::string padded = "000" + formatNumber(m_azimuth);
    m_azimuthText = fixedWidth(padded.substr(padded.size() - 3) + "\xB0", 4);
}

void DistanceAzimuth::clearTexts()
{
    m_distanceText = fixedWidth("", 10);
    m_azimuthText = fixedWidth("", 4);
}

} // namespace ondelog
