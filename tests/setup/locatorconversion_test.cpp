// SPDX-License-Identifier: GPL-3.0-or-later
#include "setup/locatorconversion.h"

#include "geo/locator.h"

#include <gtest/gtest.h>

#include <clocale>
#include <locale>

using namespace ondelog;
using F = SexaField;
using Outcome = LocatorCalculator::DigitsOutcome;

namespace {

std::string sexaTexts(const LocatorCalculator &calc)
{
    std::string out;
    for (int i = 1; i <= 8; ++i)
        out += calc.fieldText(static_cast<F>(i)) + (i == 4 ? " | " : i == 8 ? "" : " ");
    return out;
}

} // namespace

TEST(SexagesimalConversion, UsesSixtyWithCarry)
{
    const struct
    {
        double value;
        int bound;
        SexaAngle angle;
    } cases[] = {
        {48.8542, 90, {48, 51, 15}}, // the pairs-of-decimals split would say 25"
        {48.854166, 90, {48, 51, 15}},    {-2.375, 180, {2, 22, 30}}, {0.125, 180, {0, 7, 30}},
        {48.99999, 90, {49, 0, 0}},   // 59' 59.96" carries into the degree
        {10.0166652, 90, {10, 1, 0}}, // 59.99" carries into the minute
        {89.99999, 90, {89, 59, 59}}, // never a 90 the field would refuse
        {-179.99999, 180, {179, 59, 59}}, {0, 90, {0, 0, 0}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(decimalToSexagesimal(c.value, c.bound), c.angle);
    }
    EXPECT_NEAR(sexagesimalToDecimal({48, 51, 15}), 48.8541667, 1e-7);
    EXPECT_NEAR(sexagesimalToDecimal({2, 22, 30}), 2.375, 1e-12);
}

TEST(SexagesimalConversion, TextsUseAPointWhateverTheLocale)
{
    // A comma locale for C and C++ both; to_chars must not care.
    std::setlocale(LC_ALL, "C.UTF-8");
    struct Comma : std::numpunct<char>
    {
        char do_decimal_point() const override { return ','; }
    };
    const std::locale previous = std::locale::global(std::locale(std::locale(), new Comma));

    EXPECT_EQ(formatCentesimal(48.854166f), "48.8542");
    EXPECT_EQ(formatCentesimal(-2.375), "-2.3750");
    EXPECT_EQ(formatCentesimal(-0.00001), "0.0000");
    EXPECT_EQ(formatCentesimal(179.5), "179.5000");

    std::locale::global(previous);
}

TEST(LocatorCalculatorKeys, EachFieldKeepsOnlyItsCharacters)
{
    // Control characters (Backspace) always pass.
    for (int i = 1; i <= 8; ++i)
        EXPECT_EQ(filterSexaKey(static_cast<F>(i), U'\b'), U'\b');

    EXPECT_EQ(filterSexaKey(F::LatitudeDegrees, U'7'), U'7');
    EXPECT_EQ(filterSexaKey(F::LatitudeDegrees, U'a'), std::nullopt);
    EXPECT_EQ(filterSexaKey(F::LongitudeMinutes, U'-'), std::nullopt);
    EXPECT_EQ(filterSexaKey(F::LongitudeSeconds, U'é'), std::nullopt);

    EXPECT_EQ(filterSexaKey(F::LatitudeLetter, U'n'), U'N');
    EXPECT_EQ(filterSexaKey(F::LatitudeLetter, U'S'), U'S');
    EXPECT_EQ(filterSexaKey(F::LatitudeLetter, U'e'), std::nullopt);
    EXPECT_EQ(filterSexaKey(F::LatitudeLetter, U'4'), std::nullopt);
    EXPECT_EQ(filterSexaKey(F::LongitudeLetter, U'w'), U'O');
    EXPECT_EQ(filterSexaKey(F::LongitudeLetter, U'W'), U'O');
    EXPECT_EQ(filterSexaKey(F::LongitudeLetter, U'e'), U'E');
    EXPECT_EQ(filterSexaKey(F::LongitudeLetter, U'o'), U'O');
    EXPECT_EQ(filterSexaKey(F::LongitudeLetter, U'N'), std::nullopt);

    EXPECT_EQ(filterCentesimalKey(U'-'), U'-');
    EXPECT_EQ(filterCentesimalKey(U'.'), U'.');
    EXPECT_EQ(filterCentesimalKey(U'/'), U'/');
    EXPECT_EQ(filterCentesimalKey(U','), U'.');
    EXPECT_EQ(filterCentesimalKey(U'e'), std::nullopt);
    EXPECT_EQ(filterCentesimalKey(U' '), std::nullopt);

    EXPECT_EQ(filterLocatorKey(U'j'), U'J');
    EXPECT_EQ(filterLocatorKey(U'8'), U'8');
    EXPECT_EQ(filterLocatorKey(U'é'), U'É');
}

TEST(LocatorCalculator, OpensOnTheGivenOrDefaultLocator)
{
    LocatorCalculator calc;
    calc.open("JN18EU");
    EXPECT_EQ(calc.mode(), EntryMode::Locator);
    EXPECT_EQ(calc.dialogLocator(), "JN18EU");
    EXPECT_EQ(calc.centesimalText(false), "48.8542");
    EXPECT_EQ(calc.centesimalText(true), "-2.3750");
    EXPECT_EQ(sexaTexts(calc), "48 51 15 N | 002 22 30 E");

    calc.open("IO91WM");
    EXPECT_EQ(calc.centesimalText(false), "51.5208");
    EXPECT_EQ(calc.centesimalText(true), "0.1250");
    EXPECT_EQ(sexaTexts(calc), "51 31 15 N | 000 07 30 O");

    calc.open("FF44AA"); // south and west
    EXPECT_EQ(calc.letter(F::LatitudeLetter), "S");
    EXPECT_EQ(calc.letter(F::LongitudeLetter), "O");

    for (const char *bad : {"", "jn18eu", "JN18E", "ZZ99ZZ", "      "}) {
        SCOPED_TRACE(bad);
        calc.open(bad);
        EXPECT_EQ(calc.dialogLocator(), "JN18EU");
        EXPECT_EQ(calc.centesimalText(false), "48.8542");
    }
}

TEST(LocatorCalculator, SexagesimalEntryConvertsAsItIsTyped)
{
    LocatorCalculator calc;
    calc.open("AA00AA");

    EXPECT_EQ(calc.editDigits(F::LatitudeDegrees, "4"), Outcome::Partial);
    EXPECT_EQ(calc.mode(), EntryMode::Sexagesimal);
    EXPECT_EQ(calc.editDigits(F::LatitudeDegrees, "48"), Outcome::Complete);
    EXPECT_EQ(calc.editDigits(F::LatitudeMinutes, "51"), Outcome::Complete);
    EXPECT_EQ(calc.editDigits(F::LatitudeSeconds, "15"), Outcome::Complete);
    EXPECT_TRUE(calc.editLetter(F::LatitudeLetter, "N"));
    EXPECT_EQ(calc.editDigits(F::LongitudeDegrees, "2"), Outcome::Partial);
    EXPECT_EQ(calc.editDigits(F::LongitudeDegrees, "002"), Outcome::Complete);
    EXPECT_EQ(calc.editDigits(F::LongitudeMinutes, "22"), Outcome::Complete);
    EXPECT_EQ(calc.editDigits(F::LongitudeSeconds, "30"), Outcome::Complete);
    EXPECT_TRUE(calc.editLetter(F::LongitudeLetter, "E"));

    EXPECT_EQ(calc.centesimalText(false), "48.8542");
    EXPECT_EQ(calc.centesimalText(true), "-2.3750");
    EXPECT_EQ(calc.dialogLocator(), "JN18EU");
    EXPECT_EQ(calc.lastValidLocator(), "JN18EU");

    // The letter decides the sign; West is "O".
    EXPECT_TRUE(calc.editLetter(F::LongitudeLetter, "O"));
    EXPECT_EQ(calc.centesimalText(true), "2.3750");
    EXPECT_EQ(calc.dialogLocator().substr(0, 1), "I");
    EXPECT_TRUE(calc.editLetter(F::LatitudeLetter, "S"));
    EXPECT_EQ(calc.centesimalText(false), "-48.8542");

    // An emptied letter field keeps the focus and reads as N or O.
    EXPECT_FALSE(calc.editLetter(F::LatitudeLetter, ""));
    EXPECT_EQ(calc.letter(F::LatitudeLetter), "");
    EXPECT_FALSE(calc.editLetter(F::LatitudeLetter, "X"));
}

TEST(LocatorCalculator, ValuesAtTheBoundResetTheFieldToZeros)
{
    const struct
    {
        F field;
        const char *text;
        Outcome outcome;
    } cases[] = {
        {F::LatitudeDegrees, "89", Outcome::Complete},
        {F::LatitudeDegrees, "90", Outcome::Reset},
        {F::LatitudeDegrees, "95", Outcome::Reset},
        {F::LongitudeDegrees, "18", Outcome::Partial},
        {F::LongitudeDegrees, "179", Outcome::Complete},
        {F::LongitudeDegrees, "180", Outcome::Reset},
        {F::LatitudeMinutes, "59", Outcome::Complete},
        {F::LatitudeMinutes, "60", Outcome::Reset},
        {F::LongitudeSeconds, "75", Outcome::Reset},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        LocatorCalculator calc;
        calc.open("JN18EU");
        EXPECT_EQ(calc.editDigits(c.field, c.text), c.outcome);
        if (c.outcome == Outcome::Reset) {
            EXPECT_EQ(calc.value(c.field), 0);
            EXPECT_EQ(calc.fieldText(c.field), std::string(fieldDigits(c.field), '0'));
        }
    }

    // After a reset the other forms follow the zeros, not the digit before.
    LocatorCalculator calc;
    calc.open("JN18EU");
    calc.editDigits(F::LatitudeDegrees, "9");
    EXPECT_EQ(calc.editDigits(F::LatitudeDegrees, "95"), Outcome::Reset);
    EXPECT_EQ(calc.centesimalText(false), "0.8542");
}

TEST(LocatorCalculator, CentesimalEntryKeepsTheTypedValues)
{
    LocatorCalculator calc;
    calc.open("JN18EU");

    EXPECT_TRUE(calc.editCentesimal(true, "-2.375"));
    EXPECT_EQ(calc.mode(), EntryMode::Centesimal);
    EXPECT_EQ(calc.letter(F::LongitudeLetter), "E");
    EXPECT_EQ(calc.dialogLocator().front(), 'J');
    EXPECT_EQ(calc.dialogLocator(), "JN18EU");
    EXPECT_EQ(sexaTexts(calc), "48 51 15 N | 002 22 30 E");

    // The typed value stays as typed, not moved to the sub-square's centre.
    EXPECT_TRUE(calc.editCentesimal(false, "45.1"));
    EXPECT_FLOAT_EQ(calc.centesimalLatitude(), 45.1f);
    EXPECT_EQ(calc.centesimalText(false), "45.1000");
    EXPECT_EQ(sexaTexts(calc), "45 06 00 N | 002 22 30 E");
    EXPECT_EQ(calc.dialogLocator(), "JN15EC");

    EXPECT_TRUE(calc.editCentesimal(false, "-33.9"));
    EXPECT_EQ(calc.letter(F::LatitudeLetter), "S");

    // Out of range: refused (the field empties); neither that nor a field
    // without a digit yet sends the position to the equator, nor leaves it at
    // the valid 9 degrees that the "9" of "95" made on its way.
    calc.setMode(EntryMode::Centesimal); // a click into another field
    const std::string before = calc.dialogLocator();
    EXPECT_TRUE(calc.editCentesimal(false, "9"));
    EXPECT_NE(calc.dialogLocator(), before);
    EXPECT_FALSE(calc.editCentesimal(false, "95"));
    EXPECT_EQ(calc.dialogLocator(), before);
    EXPECT_FALSE(calc.editCentesimal(true, "-180"));
    for (const char *partial : {"", "-", ".", "-."}) {
        EXPECT_TRUE(calc.editCentesimal(false, partial)) << partial;
        EXPECT_TRUE(calc.editCentesimal(true, partial)) << partial;
    }
    EXPECT_FLOAT_EQ(calc.centesimalLatitude(), -33.9f);
    EXPECT_FLOAT_EQ(calc.centesimalLongitude(), -2.375f);
    EXPECT_EQ(calc.dialogLocator(), before);

    // Intermediate texts while typing never go wrong.
    for (const char *partial : {"1/", "/"})
        EXPECT_TRUE(calc.editCentesimal(true, partial)) << partial;
}

TEST(LocatorCalculator, LocatorFieldRestoresTheLastValidLocator)
{
    LocatorCalculator calc;
    calc.open("JN18EU");

    calc.editLocator("IO9");
    EXPECT_EQ(calc.dialogLocator(), "IO9   ");
    EXPECT_FALSE(calc.enterLocator());
    EXPECT_EQ(calc.leaveLocator("IO9"), LocatorCalculator::LeaveOutcome::Restored);
    EXPECT_EQ(calc.dialogLocator(), "JN18EU");

    calc.editLocator("IO91WM");
    EXPECT_TRUE(calc.enterLocator());
    EXPECT_EQ(calc.centesimalText(false), "51.5208");
    calc.editLocator("IO91W");
    EXPECT_EQ(calc.leaveLocator("IO91W"), LocatorCalculator::LeaveOutcome::Restored);
    EXPECT_EQ(calc.dialogLocator(), "IO91WM");

    // Typed whole and left without Enter: the other forms still follow.
    calc.editLocator("KP20LE");
    EXPECT_EQ(calc.leaveLocator("KP20LE"), LocatorCalculator::LeaveOutcome::Applied);
    EXPECT_EQ(calc.letter(F::LongitudeLetter), "E");
    EXPECT_EQ(calc.value(F::LatitudeDegrees), 60);

    // Six characters but not a locator: handed back as typed, for the caller to refuse.
    calc.editLocator("ZZ99ZZ");
    EXPECT_EQ(calc.leaveLocator("ZZ99ZZ"), LocatorCalculator::LeaveOutcome::Unchanged);
    EXPECT_EQ(calc.dialogLocator(), "ZZ99ZZ");
    EXPECT_EQ(calc.lastValidLocator(), "KP20LE");

    // Entered from another form and passed through untouched: what was typed stays.
    EXPECT_TRUE(calc.editCentesimal(false, "45.1"));
    calc.setMode(EntryMode::Locator);
    EXPECT_EQ(calc.leaveLocator(calc.dialogLocator()), LocatorCalculator::LeaveOutcome::Unchanged);
    EXPECT_EQ(calc.centesimalText(false), "45.1000");
}

TEST(LocatorCalculator, EveryLocatorSurvivesTheRoundTripThroughItsCoordinates)
{
    // The sexagesimal fields of a locator's centre, typed back, must land in
    // the same sub-square: a sample across every field letter and hemisphere.
    for (char lonField = 'A'; lonField <= 'R'; lonField += 3) {
        for (char latField = 'A'; latField <= 'R'; latField += 2) {
            for (const char *rest : {"00AA", "55LL", "99XX", "37CW"}) {
                const std::string locator = std::string{lonField, latField} + rest;
                SCOPED_TRACE(locator);
                LocatorCalculator calc;
                calc.open(locator);
                ASSERT_EQ(calc.dialogLocator(), locator);
                LocatorCalculator typed;
                typed.open("JN18EU");
                for (int i = 1; i <= 8; ++i) {
                    const F field = static_cast<F>(i);
                    if (isLetterField(field))
                        typed.editLetter(field, calc.letter(field));
                    else
                        typed.editDigits(field, calc.fieldText(field));
                }
                EXPECT_EQ(typed.dialogLocator(), locator);
            }
        }
    }
}
