// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Maidenhead locators (six characters) and the great-circle distance and
// azimuth between two of them. Longitudes are positive WEST throughout, and the
// arithmetic keeps the single precision and constants the figures printed in
// logs over the years were computed with, so the same pair always gives the
// same kilometres and degrees.

#include <string>
#include <string_view>

namespace ondelog {

/** Exactly 6 characters: field letters A-R, square digits, sub-square letters A-X.
 *  Upper case only; no trimming. */
bool isLocatorValid(std::string_view locator);

/** Latitude of the centre of the sub-square (valid locator). */
double locatorLatitude(std::string_view locator);
/** Longitude, West positive, of the centre of the sub-square (valid locator). */
double locatorLongitude(std::string_view locator);

/** Locator of a point (single precision, West positive). No range check: out of
 *  range coordinates give characters outside the valid classes. */
std::string coordsToLocator(float latitude, float longitude);

/** The distance/azimuth calculator with its state kept between calls: point A
 *  (the station) and point B (the other station), the last results and the two
 *  fixed-width texts. An invalid locator leaves its point where it was. */
class DistanceAzimuth
{
  public:
    /** Sets point A from `own` and point B from `other` when valid, computes,
     *  fills distanceText() and azimuthText(). */
    void updateTexts(std::string_view own, std::string_view other);
    /** Computes from points A and B as they stand. */
    void compute();
    /** Computes from points A and B as they stand and fills both texts. */
    void computeTexts();

    /** "346 Km" in a 10-character field. */
    const std::string &distanceText() const { return m_distanceText; }
    /** "330°" in a 4-character field (the degree sign is one Windows-1252 byte, 0xB0). */
    const std::string &azimuthText() const { return m_azimuthText; }
    /** Both texts back to blanks, as callers do once they copied them. */
    void clearTexts();

    float lastDistance() const { return m_distance; }
    float lastAzimuth() const { return m_azimuth; }

    void setPointA(double latitude, double longitude);
    void setPointB(double latitude, double longitude);
    double latitudeA() const { return m_latA; }
    double longitudeA() const { return m_lonA; }
    double latitudeB() const { return m_latB; }
    double longitudeB() const { return m_lonB; }

  private:
    double m_latA = 0, m_lonA = 0, m_latB = 0, m_lonB = 0;
    float m_distance = 0, m_azimuth = 0;
    std::string m_distanceText = std::string(10, ' ');
    std::string m_azimuthText = std::string(4, ' ');
};

} // namespace ondelog
