// SPDX-License-Identifier: GPL-3.0-or-later
#include "setup/locatorconversion.h"

#include "geo/locator.h"
#include "text/text.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace ondelog {

namespace {

constexpr double kLatitudeBound = 90;
constexpr double kLongitudeBound = 180;

bool isControl(char32_t c)
{
    return c < 32 || c == 127;
}

bool isDigit(char32_t c)
{
    return c >= '0' && c <= '9';
}

char32_t upperCase(char32_t c)
{
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 'A';
    if (c <= 0xFF) {
        const char byte = cp1252FromCodePoint(c);
        if (byte != '\0')
            return codePointFromCp1252(toUpperCp1252(byte));
    }
    return c;
}

// The hemisphere letter a typed character stands for in its field, if any.
std::optional<char> hemisphereLetter(SexaField field, char32_t typed)
{
    const char32_t c = upperCase(typed);
    if (field == SexaField::LatitudeLetter) {
        if (c == 'N' || c == 'S')
            return static_cast<char>(c);
        return std::nullopt;
    }
    if (c == 'E' || c == 'O')
        return static_cast<char>(c);
    if (c == 'W') // West, for operators used to the English letter
        return 'O';
    return std::nullopt;
}

} // namespace

int fieldDigits(SexaField field)
{
    switch (field) {
    case SexaField::LatitudeLetter:
    case SexaField::LongitudeLetter:
        return 1;
    case SexaField::LongitudeDegrees:
        return 3;
    default:
        return 2;
    }
}

int fieldBound(SexaField field)
{
    switch (field) {
    case SexaField::LatitudeDegrees:
        return 90;
    case SexaField::LongitudeDegrees:
        return 180;
    case SexaField::LatitudeLetter:
    case SexaField::LongitudeLetter:
        return 0;
    default:
        return 60;
    }
}

SexaField nextField(SexaField field)
{
    return static_cast<SexaField>(static_cast<int>(field) % 8 + 1);
}

bool isLetterField(SexaField field)
{
    return field == SexaField::LatitudeLetter || field == SexaField::LongitudeLetter;
}

bool isLongitudeField(SexaField field)
{
    return static_cast<int>(field) >= static_cast<int>(SexaField::LongitudeDegrees);
}

double sexagesimalToDecimal(const SexaAngle &angle)
{
    return angle.degrees + angle.minutes / 60.0 + angle.seconds / 3600.0;
}

SexaAngle decimalToSexagesimal(double value, int degreeBound)
{
    if (!std::isfinite(value))
        return {};
    // Rounding the whole angle to seconds first is what carries 59.6" into the
    // next minute and 59' 60" into the next degree.
    const double limit = static_cast<double>(degreeBound) * 3600 - 1;
    const auto total = static_cast<long long>(std::min(std::round(std::fabs(value) * 3600), limit));
    return {static_cast<int>(total / 3600), static_cast<int>(total / 60 % 60),
            static_cast<int>(total % 60)};
}

std::string formatCentesimal(double value)
{
    if (!std::isfinite(value))
        return "0.0000";
    char buffer[64];
    const auto [end, ec] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 4);
    if (ec != std::errc())
        return "0.0000";
    std::string text(buffer, end);
    if (text == "-0.0000")
        text.erase(0, 1);
    return text;
}

std::string sexaFieldText(SexaField field, int value)
{
    const std::string digits = std::to_string(std::max(value, 0));
    const auto width = static_cast<std::size_t>(fieldDigits(field));
    return digits.size() >= width ? digits : std::string(width - digits.size(), '0') + digits;
}

std::optional<char32_t> filterSexaKey(SexaField field, char32_t typed)
{
    if (isControl(typed))
        return typed;
    if (isLetterField(field)) {
        if (const auto letter = hemisphereLetter(field, typed))
            return static_cast<char32_t>(*letter);
        return std::nullopt;
    }
    if (isDigit(typed))
        return typed;
    return std::nullopt;
}

std::optional<char32_t> filterCentesimalKey(char32_t typed)
{
    if (isControl(typed) || isDigit(typed) || typed == '-' || typed == '.' || typed == '/')
        return typed;
    // A French keyboard's decimal key gives a comma; the field reads a point.
    if (typed == ',')
        return U'.';
    return std::nullopt;
}

std::optional<char32_t> filterLocatorKey(char32_t typed)
{
    if (isControl(typed))
        return typed;
    return upperCase(typed);
}

void LocatorCalculator::open(std::string_view defaultLocator)
{
    const std::string_view start =
        isLocatorValid(defaultLocator) ? defaultLocator : kDefaultLocator;
    m_mode = EntryMode::Locator;
    setDialogLocator(start);
    locatorToAll();
}

void LocatorCalculator::close()
{
    m_mode = EntryMode::Closed;
}

int LocatorCalculator::value(SexaField field) const
{
    const SexaAngle &angle = isLongitudeField(field) ? m_longitudeAngle : m_latitudeAngle;
    switch (field) {
    case SexaField::LatitudeDegrees:
    case SexaField::LongitudeDegrees:
        return angle.degrees;
    case SexaField::LatitudeMinutes:
    case SexaField::LongitudeMinutes:
        return angle.minutes;
    case SexaField::LatitudeSeconds:
    case SexaField::LongitudeSeconds:
        return angle.seconds;
    default:
        return 0;
    }
}

std::string LocatorCalculator::letter(SexaField field) const
{
    const char c = isLongitudeField(field) ? m_longitudeLetter : m_latitudeLetter;
    return c == '\0' ? std::string() : std::string(1, c);
}

std::string LocatorCalculator::fieldText(SexaField field) const
{
    if (isLetterField(field))
        return letter(field);
    return sexaFieldText(field, value(field));
}

std::string LocatorCalculator::centesimalText(bool longitude) const
{
    return formatCentesimal(longitude ? m_longitude : m_latitude);
}

bool LocatorCalculator::sexaToAll()
{
    const double latitude = sexagesimalToDecimal(m_latitudeAngle);
    const double longitude = sexagesimalToDecimal(m_longitudeAngle);
    m_latitude = static_cast<float>(m_latitudeLetter == 'S' ? -latitude : latitude);
    m_longitude = static_cast<float>(m_longitudeLetter == 'E' ? -longitude : longitude);
    locatorFromCentesimal();
    return isLocatorValid(m_dialogLocator);
}

void LocatorCalculator::locatorToAll()
{
    if (m_mode != EntryMode::Centesimal) {
        if (!isLocatorValid(m_dialogLocator))
            return;
        m_latitude = static_cast<float>(locatorLatitude(m_dialogLocator));
        m_longitude = static_cast<float>(locatorLongitude(m_dialogLocator));
    }
    // On the equator or the prime meridian either letter is right: keep the
    // one the operator chose.
    if (m_latitude < 0)
        m_latitudeLetter = 'S';
    else if (m_latitude > 0)
        m_latitudeLetter = 'N';
    if (m_longitude < 0)
        m_longitudeLetter = 'E';
    else if (m_longitude > 0)
        m_longitudeLetter = 'O';
    m_latitudeAngle = decimalToSexagesimal(m_latitude, static_cast<int>(kLatitudeBound));
    m_longitudeAngle = decimalToSexagesimal(m_longitude, static_cast<int>(kLongitudeBound));
}

LocatorCalculator::DigitsOutcome LocatorCalculator::editDigits(SexaField field,
                                                               std::string_view text)
{
    if (isLetterField(field))
        return DigitsOutcome::Partial;
    m_mode = EntryMode::Sexagesimal;
    const double typed = std::round(numericValue(text));
    const bool reset = !(typed < fieldBound(field));
    const int number = reset || typed < 0 ? 0 : static_cast<int>(typed);

    SexaAngle &angle = isLongitudeField(field) ? m_longitudeAngle : m_latitudeAngle;
    switch (field) {
    case SexaField::LatitudeDegrees:
    case SexaField::LongitudeDegrees:
        angle.degrees = number;
        break;
    case SexaField::LatitudeMinutes:
    case SexaField::LongitudeMinutes:
        angle.minutes = number;
        break;
    default:
        angle.seconds = number;
        break;
    }
    // Converting after a reset too keeps the other forms in step with the
    // zeros now shown, rather than with the digit typed before the bad one.
    sexaToAll();
    if (reset)
        return DigitsOutcome::Reset;
    return text.size() >= static_cast<std::size_t>(fieldDigits(field)) ? DigitsOutcome::Complete
                                                                       : DigitsOutcome::Partial;
}

bool LocatorCalculator::editLetter(SexaField field, std::string_view text)
{
    if (!isLetterField(field))
        return false;
    m_mode = EntryMode::Sexagesimal;
    char &stored = isLongitudeField(field) ? m_longitudeLetter : m_latitudeLetter;
    const std::optional<char> letter =
        text.empty() ? std::nullopt : hemisphereLetter(field, codePointFromCp1252(text.front()));
    stored = letter.value_or('\0');
    if (!letter)
        return false;
    sexaToAll();
    return true;
}

bool LocatorCalculator::editCentesimal(bool longitude, std::string_view text)
{
    float &value = longitude ? m_longitude : m_latitude;
    if (m_mode != EntryMode::Centesimal || !m_centesimalTyping || m_typingLongitude != longitude) {
        m_centesimalTyping = true;
        m_typingLongitude = longitude;
        m_valueBeforeTyping = value;
    }
    m_mode = EntryMode::Centesimal;
    // The first digits of "91" already make a valid 9 degrees: a refused value,
    // or a field emptied (or holding only a sign so far), gives back the value
    // the field had before the operator began typing, never the equator.
    const bool hasDigit =
        std::any_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
    const double bound = longitude ? kLongitudeBound : kLatitudeBound;
    const double typed = hasDigit ? numericValue(text) : 0.0;
    const bool accepted = !hasDigit || std::fabs(typed) < bound;
    value = hasDigit && accepted ? static_cast<float>(typed) : m_valueBeforeTyping;
    locatorFromCentesimal();
    locatorToAll();
    return accepted;
}

void LocatorCalculator::editLocator(std::string_view text)
{
    m_mode = EntryMode::Locator;
    setDialogLocator(text);
    m_locatorTyped = true;
}

bool LocatorCalculator::enterLocator()
{
    if (!isLocatorValid(m_dialogLocator))
        return false;
    // Enter in this field means the locator is what counts, even when the
    // operator reached it without a click.
    m_mode = EntryMode::Locator;
    m_locatorTyped = false;
    locatorToAll();
    return true;
}

LocatorCalculator::LeaveOutcome LocatorCalculator::leaveLocator(std::string_view text)
{
    const bool typed = m_locatorTyped;
    m_locatorTyped = false;
    if (trim(text).size() < 6) {
        m_mode = EntryMode::Locator;
        setDialogLocator(m_lastValidLocator);
        locatorToAll();
        return LeaveOutcome::Restored;
    }
    // Only a locator the operator typed moves the other forms: merely passing
    // through the field must not snap a typed position to its square's centre.
    if (typed && m_mode == EntryMode::Locator && isLocatorValid(m_dialogLocator)) {
        locatorToAll();
        return LeaveOutcome::Applied;
    }
    return LeaveOutcome::Unchanged;
}

void LocatorCalculator::setDialogLocator(std::string_view text)
{
    m_dialogLocator = fixedWidth(text, 6);
    if (isLocatorValid(m_dialogLocator))
        m_lastValidLocator = m_dialogLocator;
}

void LocatorCalculator::locatorFromCentesimal()
{
    m_locatorTyped = false;
    setDialogLocator(coordsToLocator(m_latitude, m_longitude));
}

} // namespace ondelog
