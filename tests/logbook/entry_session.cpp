// SPDX-License-Identifier: GPL-3.0-or-later
#include "geo/calendar.h"
#include "geo/locator.h"
#include "logbook/entrysession.h"
#include "logbook/record.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace ondelog;

namespace {

constexpr const char *kStation = "JN18EU";

FocusMove toField(int f)
{
    return FocusMove::toField(f);
}

class EntrySessionTest : public ::testing::Test
{
  protected:
    EntrySessionTest() { session.prepareNewEntry(41, kStation); }

    EnterResult enter(int field, const std::string &text)
    {
        return session.enter(field, text, clock);
    }

    DistanceAzimuth calculator;
    EntrySession session{calculator};
    FixedClock clock{makeDateTime(2005, 3, 14, 18, 42, 10)};
};

struct EnterCase
{
    int field;
    const char *typed;
    EnterOutcome outcome;
    const char *stored; // FieldText of the field afterwards
    FocusMove focus;
};

std::string describe(const EnterCase &c)
{
    return "field " + std::to_string(c.field) + " typed \"" + c.typed + "\"";
}

} // namespace

// Every row starts from a fresh deferred contact whose call sign is confirmed.
TEST_F(EntrySessionTest, EachFieldStepInDeferredMode)
{
    using O = EnterOutcome;
    const FocusMove stay = FocusMove::stay();
    const EnterCase cases[] = {
        {2, "01/02/03", O::Taken, "01/02/03", toField(3)},
        {2, "01.02.03", O::Taken, "01/02/03", toField(3)}, // normalised as checked
        {2, "29/02/04", O::Taken, "29/02/04", toField(3)},
        {2, "29/02/03", O::Ignored, "", stay},
        {2, "31/04/05", O::Ignored, "", stay},
        {2, "1/2/03", O::Ignored, "", stay}, // not 8 characters
        {2, "", O::Ignored, "", stay},       // nothing remembered yet
        {3, "09:05", O::Taken, "09:05", toField(4)},
        {3, " 9.05 ", O::Ignored, "", stay}, // 4 characters once trimmed
        {3, "0905", O::Ignored, "", stay},
        {3, "24:00", O::Ignored, "", stay},
        {4, "23:59", O::Taken, "23:59", toField(5)},
        {4, "12:60", O::Ignored, "", stay},
        {5, "14.205", O::Taken, "14.205", toField(6)},
        {5, "", O::Ignored, "", stay},
        {6, "ssb", O::Taken, "SSB", toField(7)},
        {7, "", O::Taken, "59", toField(8)},
        {7, "599+", O::Taken, "599+", toField(8)},
        {8, "", O::Taken, "59", toField(12)},
        {8, "57", O::Taken, "57", toField(12)},
        {12, "jEAN-pierre", O::Taken, "Jean-Pierre", toField(9)},
        {12, "\xE9lodie", O::Taken, "\xC9lodie", toField(9)},
        {9, "  saint-malo ", O::Taken, "SAINT-MALO", toField(11)},
        {11, "5", O::Taken, "05", toField(10)},
        {11, "075", O::Taken, "075", toField(10)},
        {11, "95", O::Taken, "95", toField(10)},
        {11, "971", O::Taken, "971", toField(10)},
        {11, "974", O::Taken, "974", toField(10)},
        {11, "", O::Taken, "", toField(10)},
        {11, "0", O::Refused, "", stay},
        {11, "00", O::Refused, "", stay},
        {11, "96", O::Refused, "", stay},
        {11, "975", O::Refused, "", stay},
        {11, "999", O::Refused, "", stay},
        {10, "", O::Taken, "", toField(13)},
        {10, "jn18eu", O::Taken, "JN18EU", toField(13)},
        {10, "IO91WM", O::Taken, "IO91WM", toField(13)},
        {10, "JN18", O::Taken, "JN18", stay}, // kept, not measurable
        {10, "JN18YU", O::Refused, "", stay},
        {10, "SN18EU", O::Refused, "", stay},
        {13, "abc", O::Taken, "ABC", toField(14)},
        {14, "oui", O::Taken, "oui", toField(15)},
        {15, "Non", O::Taken, "Non", toField(17)},
        {16, "IO91WM", O::Ignored, kStation, stay},
        {1, "\\", O::Refused, "F6ABC", stay},
        {1, "\\F6ABC", O::Refused, "F6ABC", stay},
        {1, "f6xyz", O::Taken, "F6XYZ", toField(2)},
    };
    for (const auto &c : cases) {
        EntrySession fresh{calculator};
        fresh.setMode(EntrySession::Mode::Deferred);
        fresh.prepareNewEntry(41, kStation);
        fresh.enter(1, "F6ABC", clock);
        const EnterResult r = fresh.enter(c.field, c.typed, clock);
        EXPECT_EQ(r.outcome, c.outcome) << describe(c);
        EXPECT_EQ(fresh.fieldText(c.field), c.stored) << describe(c);
        EXPECT_EQ(r.focus, c.focus) << describe(c);
        if (c.outcome == EnterOutcome::Taken) {
            EXPECT_EQ(fresh.shownText(c.field), c.stored) << describe(c);
        }
    }
}

TEST_F(EntrySessionTest, AWholeDeferredContactFollowsTheFocusOrderAndIsStoredAsTyped)
{
    session.setMode(EntrySession::Mode::Deferred);
    const std::pair<int, const char *> steps[] = {
        {1, "f6abc"}, {2, "01/02/03"}, {3, "09:05"}, {4, "09:20"}, {5, "14.205"},
        {6, "ssb"},   {7, ""},         {8, "57"},    {12, "jean"}, {9, "rennes"},
        {11, "35"},   {10, "IN97QC"},  {13, "abc"},  {14, "oui"},  {15, "non"},
    };
    const int expectedNext[] = {2, 3, 4, 5, 6, 7, 8, 12, 9, 11, 10, 13, 14, 15, 17};
    for (std::size_t i = 0; i < std::size(steps); ++i) {
        const auto r = enter(steps[i].first, steps[i].second);
        EXPECT_EQ(r.focus, toField(expectedNext[i])) << "step " << i;
        EXPECT_EQ(session.isNextEnabled(), steps[i].first == 8 || i > 7) << "step " << i;
    }
    EXPECT_EQ(enter(17, "xyz").focus, FocusMove::toNextButton());

    const auto stored = session.recordToStore(clock);
    ASSERT_TRUE(stored);
    const std::string bytes(stored->bytes().begin(), stored->bytes().end());
    EXPECT_EQ(bytes, "F6ABC          "
                     "01/02/03"
                     "09:05"
                     "09:20"
                     "14.205    "
                     "SSB  "
                     "59      "
                     "57      "
                     "RENNES                   "
                     "IN97QC"
                     "35 "
                     "Jean           "
                     "ABC            XYZ            "
                     "oui     "
                     "non     "
                     "JN18EU");
    EXPECT_EQ(session.currentRecordNo(), 42);
    EXPECT_EQ(session.recordCaption(), " Charger fiche N\xB0 42");
}

TEST_F(EntrySessionTest, CallSignConfirmationBeginsTheContact)
{
    EXPECT_FALSE(session.isCancelEnabled());
    EXPECT_FALSE(session.isRecordBegun());

    auto r = enter(1, "");
    EXPECT_EQ(r.outcome, EnterOutcome::Ignored);
    EXPECT_FALSE(r.showSearchButton);
    EXPECT_FALSE(session.isRecordBegun());

    r = enter(1, "\\");
    EXPECT_EQ(r.outcome, EnterOutcome::Refused);
    EXPECT_FALSE(session.isRecordBegun());
    EXPECT_EQ(session.fieldText(1), "");

    r = enter(1, " f6abc ");
    EXPECT_EQ(r.outcome, EnterOutcome::Taken);
    EXPECT_TRUE(r.showSearchButton);
    EXPECT_TRUE(session.isCancelEnabled());
    EXPECT_TRUE(session.isRecordBegun());
    EXPECT_FALSE(session.isNextEnabled()); // only the received report enables it
}

TEST_F(EntrySessionTest, RealTimeTakesDateAndTimesFromTheClockWhateverIsTyped)
{
    auto r = enter(1, "F6ABC");
    EXPECT_EQ(r.focus, toField(5));
    EXPECT_EQ(session.fieldText(2), "14/03/05");
    EXPECT_EQ(session.fieldText(3), "18:42");
    EXPECT_EQ(r.refreshFields, (std::vector<int>{1, 2, 3}));

    // The date and time fields do not react to Enter in real time.
    EXPECT_EQ(enter(2, "01/02/03").outcome, EnterOutcome::Ignored);
    EXPECT_EQ(enter(3, "10:00").outcome, EnterOutcome::Ignored);
    EXPECT_EQ(enter(4, "10:30").outcome, EnterOutcome::Ignored);
    EXPECT_EQ(session.fieldText(2), "14/03/05");
    EXPECT_EQ(session.fieldText(3), "18:42");
    EXPECT_EQ(session.fieldText(4), "");

    enter(8, "");
    clock.advance(7 * 60);
    const auto stored = session.recordToStore(clock);
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->field(Field::DQSO), "14/03/05");
    EXPECT_EQ(stored->field(Field::HDEB), "18:42");
    EXPECT_EQ(stored->field(Field::HFIN), "18:49");
}

TEST_F(EntrySessionTest, AContactAcrossMidnightKeepsTheDateOfItsCallSign)
{
    clock.set(makeDateTime(2005, 12, 31, 23, 59, 30));
    enter(1, "F6ABC");
    enter(8, "");
    clock.advance(90);
    const auto stored = session.recordToStore(clock);
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->field(Field::DQSO), "31/12/05");
    EXPECT_EQ(stored->field(Field::HDEB), "23:59");
    EXPECT_EQ(stored->field(Field::HFIN), "00:01");
}

TEST_F(EntrySessionTest, RemarksAndManagerFillTheTwoHalvesOfInfo)
{
    enter(1, "F6ABC");
    enter(13, "ABC");
    EXPECT_EQ(session.fieldText(0), "ABC" + std::string(12, ' ') + std::string(15, ' '));
    enter(17, "XYZ");
    EXPECT_EQ(session.fieldText(0), "ABC" + std::string(12, ' ') + "XYZ" + std::string(12, ' '));
    enter(13, "");
    EXPECT_EQ(session.fieldText(0), std::string(15, ' ') + "XYZ" + std::string(12, ' '));
}

TEST_F(EntrySessionTest, WithoutACallSignTheFocusReturnsToIt)
{
    session.setMode(EntrySession::Mode::Deferred);
    // A step that stops sends the operator to the call sign ...
    EXPECT_EQ(enter(2, "99/99/99").focus, toField(1));
    EXPECT_EQ(enter(16, "").focus, toField(1));
    EXPECT_EQ(enter(5, "").focus, toField(1));
    // ... one that goes on moves past it.
    EXPECT_EQ(enter(9, "PARIS").focus, toField(11));

    // Confirming the received report begins a contact even without a call sign;
    // from then on every other field sends the focus back.
    EXPECT_FALSE(session.focusGained(12).backToCallSign);
    enter(8, "");
    EXPECT_TRUE(session.focusGained(12).backToCallSign);
    EXPECT_FALSE(session.focusGained(1).backToCallSign);
    EXPECT_EQ(enter(17, "").focus, toField(1));
}

TEST_F(EntrySessionTest, TheManagerSendsTheFocusToWhatIsStillToBeConfirmed)
{
    enter(1, "F6ABC");
    EXPECT_EQ(enter(17, "").focus, toField(7)); // "Suivant" still disabled
    enter(8, "");
    EXPECT_EQ(enter(17, "").focus, FocusMove::toNextButton());
}

TEST_F(EntrySessionTest, NothingIsStoredWithoutACallSignOrAReceivedReport)
{
    EXPECT_FALSE(session.recordToStore(clock)); // "Terminer" right after "Nouveau QSO"

    enter(1, "F6ABC");
    enter(5, "7.050");
    EXPECT_FALSE(session.recordToStore(clock)); // report not confirmed

    session.prepareNewEntry(41, kStation); // "Annuler"
    enter(8, "");
    EXPECT_TRUE(session.isNextEnabled());
    EXPECT_FALSE(session.recordToStore(clock)); // no call sign

    enter(1, "F6ABC");
    enter(1, ""); // emptied again by the operator
    EXPECT_FALSE(session.recordToStore(clock));

    session.prepareNewEntry(41, kStation);
    EXPECT_FALSE(session.isNextEnabled());
    EXPECT_FALSE(session.isCancelEnabled());
    EXPECT_EQ(session.fieldText(1), "");
    EXPECT_EQ(session.fieldText(0), "");
}

TEST_F(EntrySessionTest, DateFrequencyAndModeAreRememberedForTheNextContacts)
{
    session.setMode(EntrySession::Mode::Deferred);
    enter(1, "F6ABC");
    enter(2, "01/02/03");
    enter(5, "14.205");
    enter(6, "CW");

    session.prepareNewEntry(42, kStation);
    EXPECT_EQ(session.focusGained(2).proposedText, "01/02/03");
    EXPECT_EQ(session.focusGained(5).proposedText, "14.205");
    EXPECT_EQ(session.focusGained(6).proposedText, "CW");
    EXPECT_EQ(session.focusGained(7).proposedText, "59");
    EXPECT_EQ(session.focusGained(8).proposedText, "59");
    EXPECT_FALSE(session.focusGained(9).proposedText);

    enter(1, "F5XYZ");
    EXPECT_EQ(enter(2, "").focus, toField(3));
    EXPECT_EQ(session.fieldText(2), "01/02/03");
    EXPECT_EQ(enter(5, "").outcome, EnterOutcome::Taken);
    EXPECT_EQ(session.fieldText(5), "14.205");
    enter(6, "");
    EXPECT_EQ(session.fieldText(6), "CW");

    // A confirmed value is not covered by a proposal that Enter would take.
    enter(7, "57");
    EXPECT_FALSE(session.focusGained(7).proposedText);
    enter(5, "7.050");
    EXPECT_EQ(session.lastFrequency(), "7.050");
    EXPECT_FALSE(session.focusGained(5).proposedText);

    // An old deferred date is neither proposed nor taken in real time.
    session.setMode(EntrySession::Mode::RealTime);
    session.prepareNewEntry(43, kStation);
    EXPECT_FALSE(session.focusGained(2).proposedText);
    enter(1, "F1AAA");
    enter(2, "");
    EXPECT_EQ(session.fieldText(2), "14/03/05");
}

TEST_F(EntrySessionTest, LocatorAndDepartementFillTheirLabels)
{
    enter(1, "F6ABC");
    auto r = enter(10, "IO91WM");
    ASSERT_TRUE(r.distanceAzimuth);
    EXPECT_EQ(r.distanceAzimuth->distance, "346 Km");
    EXPECT_EQ(r.distanceAzimuth->azimuth, "330\xB0");

    r = enter(10, kStation);
    ASSERT_TRUE(r.distanceAzimuth);
    EXPECT_EQ(*r.distanceAzimuth, (DistanceAzimuthTexts{"0 Km", "090\xB0"}));

    // A refused or unmeasurable locator leaves no stale distance behind.
    r = enter(10, "JN18YU");
    ASSERT_TRUE(r.distanceAzimuth);
    EXPECT_EQ(*r.distanceAzimuth, DistanceAzimuthTexts{});

    r = enter(11, "5");
    EXPECT_EQ(r.deptCaption, " Hautes-Alpes");
    r = enter(11, "974");
    EXPECT_EQ(r.deptCaption, "R\xE9union");
    r = enter(11, "975");
    EXPECT_FALSE(r.deptCaption);
    EXPECT_EQ(session.fieldText(11), "974"); // the confirmed code survives a refusal
}

TEST_F(EntrySessionTest, ANewStationLocatorIsStoredAndMeasuredFrom)
{
    session.setStationLocator("IO91WM");
    EXPECT_EQ(session.shownText(16), "IO91WM");
    enter(1, "F6ABC");
    const auto r = enter(10, "JN18EU");
    ASSERT_TRUE(r.distanceAzimuth);
    EXPECT_EQ(r.distanceAzimuth->azimuth, "148\xB0");
    enter(8, "");
    const auto stored = session.recordToStore(clock);
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->field(Field::MLOC), "IO91WM");
}
