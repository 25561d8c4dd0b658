// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The locator calculator: one position held at once as degrees, minutes and
// seconds with hemisphere letters, as decimal ("centesimal") degrees and as a
// Maidenhead locator, with the rules each field of its window applies to what
// is typed. The window only wires key presses and focus changes to these
// functions and shows the texts they give back.
//
// Longitudes are positive WEST, as everywhere in geo/locator.h; the letters
// say "E" for East and "O" (Ouest) for West. Minutes and seconds are the
// ordinary ones (60 to the degree, 60 to the minute), rounded to the nearest
// second with carry.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ondelog {

/** The eight sexagesimal fields, numbered as the window numbers them. */
enum class SexaField : int
{
    LatitudeDegrees = 1,
    LatitudeMinutes = 2,
    LatitudeSeconds = 3,
    LatitudeLetter = 4, ///< "N" or "S"
    LongitudeDegrees = 5,
    LongitudeMinutes = 6,
    LongitudeSeconds = 7,
    LongitudeLetter = 8, ///< "E" or "O"
};

/** Which form of the position the operator is typing; it decides what a
 *  conversion may overwrite. */
enum class EntryMode : std::uint8_t
{
    Closed = 0,
    Sexagesimal = 1,
    Locator = 2,
    Centesimal = 3,
};

/** Characters a field holds: 2, 3 for the longitude degrees, 1 for the letters. */
int fieldDigits(SexaField field);
/** The first value a number field refuses (90, 180 or 60); 0 for the letters. */
int fieldBound(SexaField field);
/** Where the focus goes once a field is complete: 1 → 2 → 3 → 4 → 5 … 8 → 1. */
SexaField nextField(SexaField field);
bool isLetterField(SexaField field);
bool isLongitudeField(SexaField field);

/** Whole degrees, minutes and seconds of an angle's magnitude. */
struct SexaAngle
{
    int degrees = 0;
    int minutes = 0;
    int seconds = 0;

    bool operator==(const SexaAngle &) const = default;
};

/** Decimal degrees of a magnitude (d + m/60 + s/3600). */
double sexagesimalToDecimal(const SexaAngle &angle);

/** Degrees, minutes and seconds of |value|, rounded to the nearest second with
 *  carry (48.8542 is 48° 51' 15"). Held below `degreeBound` (89° 59' 59" at
 *  most for a bound of 90) so the fields never show a value they would refuse. */
SexaAngle decimalToSexagesimal(double value, int degreeBound);

/** A decimal degree value with four decimals and a point, whatever the locale
 *  ("48.8542", "-2.3750", never "-0.0000"). */
std::string formatCentesimal(double value);

/** The text of a number field with its leading zeros ("05", "002"). */
std::string sexaFieldText(SexaField field, int value);

/** What a field makes of one typed character: the character to put in the
 *  field (possibly another one), or nothing when the key is refused. Control
 *  characters (below 32) always pass: they edit, they do not type. */
std::optional<char32_t> filterSexaKey(SexaField field, char32_t typed);
/** Digits, "-", ".", "/" pass; a comma is taken as the decimal point. */
std::optional<char32_t> filterCentesimalKey(char32_t typed);
/** Letters are turned to upper case; the locator check comes on Enter. */
std::optional<char32_t> filterLocatorKey(char32_t typed);

/** The state behind the calculator window and the conversions between its
 *  three forms. Texts are Windows-1252 bytes, like the rest of the core. */
class LocatorCalculator
{
  public:
    static constexpr std::string_view kDefaultLocator = "JN18EU";

    /** Locator entry on `defaultLocator`, or on JN18EU when it is not a valid
     *  locator; every other field derived from it. */
    void open(std::string_view defaultLocator);
    /** Entry mode back to closed; the dialog locator stays. */
    void close();

    EntryMode mode() const { return m_mode; }
    void setMode(EntryMode mode)
    {
        m_mode = mode;
        m_centesimalTyping = false;
    }

    int value(SexaField field) const;
    /** "N", "S", "E", "O", or "" while the operator has emptied the field. */
    std::string letter(SexaField field) const;
    /** What the field shows: the number with its leading zeros, or the letter. */
    std::string fieldText(SexaField field) const;

    float centesimalLatitude() const { return m_latitude; }
    /** West positive. */
    float centesimalLongitude() const { return m_longitude; }
    std::string centesimalText(bool longitude) const;

    /** The locator handed back to the caller: always 6 characters, valid or not. */
    const std::string &dialogLocator() const { return m_dialogLocator; }
    /** The last valid locator the calculator held (JN18EU before any). */
    const std::string &lastValidLocator() const { return m_lastValidLocator; }

    /** Centesimal values and dialog locator from the sexagesimal fields. True
     *  when the locator is valid (the window shows it then). */
    bool sexaToAll();
    /** Centesimal values (unless they are being typed), letters and sexagesimal
     *  fields from the dialog locator. Nothing happens outside centesimal entry
     *  while the dialog locator is not valid. */
    void locatorToAll();

    enum class DigitsOutcome
    {
        Partial,  ///< taken; the field is not full yet
        Complete, ///< taken and full: show it with its zeros and move on
        Reset,    ///< reached the bound: the field is back to zeros and keeps the focus
    };
    /** The operator changed the text of a number field. Converts at once. */
    DigitsOutcome editDigits(SexaField field, std::string_view text);

    /** The operator changed a letter field. True when it now holds a letter of
     *  its hemisphere (converted at once; the focus moves on). */
    bool editLetter(SexaField field, std::string_view text);

    /** The operator changed a centesimal field. A value inside ±90 (latitude) or
     *  ±180 (longitude) is taken and the other forms follow. A value outside
     *  gives false: the field is to be emptied. That, and a field without a digit
     *  (emptied, or a sign typed so far), puts back the value the field had
     *  before this run of typing began, with its locator. */
    bool editCentesimal(bool longitude, std::string_view text);

    /** The operator changed the locator field: the dialog locator follows. */
    void editLocator(std::string_view text);
    /** Enter in the locator field: true (and the other forms follow) when the
     *  dialog locator is valid. */
    bool enterLocator();

    enum class LeaveOutcome
    {
        Unchanged, ///< nothing to do
        Restored,  ///< the field was incomplete: it shows the last valid locator again
        Applied,   ///< a valid locator typed since the last conversion: the other forms followed it
    };
    /** The focus leaves the locator field holding `text`. */
    LeaveOutcome leaveLocator(std::string_view text);

  private:
    void setDialogLocator(std::string_view text);
    void locatorFromCentesimal();

    EntryMode m_mode = EntryMode::Closed;
    SexaAngle m_latitudeAngle, m_longitudeAngle;
    char m_latitudeLetter = 'N';
    char m_longitudeLetter = 'O';
    float m_latitude = 0;
    float m_longitude = 0;
    std::string m_dialogLocator = std::string(kDefaultLocator);
    std::string m_lastValidLocator = std::string(kDefaultLocator);
    bool m_locatorTyped = false; // typed into the locator field since the last conversion
    // A run of typing into one centesimal field, and the value it started from.
    bool m_centesimalTyping = false;
    bool m_typingLongitude = false;
    float m_valueBeforeTyping = 0;
};

} // namespace ondelog
