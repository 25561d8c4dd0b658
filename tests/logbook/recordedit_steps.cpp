// SPDX-License-Identifier: GPL-3.0-or-later
#include "geo/locator.h"
#include "logbook/recordedit.h"

#include <gtest/gtest.h>

#include <string>

using namespace ondelog;

namespace {

QsoRecord storedContact()
{
    QsoRecord r;
    r.setField(Field::CSGN, "F6ABC");
    r.setField(Field::DQSO, "01/02/03");
    r.setField(Field::HDEB, "09:05");
    r.setField(Field::HFIN, "09:20");
    r.setField(Field::FREQ, "14.205");
    r.setField(Field::MODE, "SSB");
    r.setField(Field::SRST, "59");
    r.setField(Field::MRST, "57");
    r.setField(Field::SQTH, "RENNES");
    r.setField(Field::SLOC, "IN97QC");
    r.setField(Field::DEPT, "35");
    r.setField(Field::SNOM, "Jean");
    r.setField(Field::INFO, buildInfo("ABC", "XYZ"));
    r.setField(Field::MQSL, "");
    r.setField(Field::SQSL, "");
    r.setField(Field::MLOC, "JN18EU");
    return r;
}

struct EditCase
{
    int field;
    const char *typed;
    EditOutcome outcome;
    const char *shown; // what the field holds afterwards
};

} // namespace

TEST(RecordEditStep, EachFieldTakesLeavesOrRefusesAsTabled)
{
    using O = EditOutcome;
    const EditCase cases[] = {
        {1, "f5xyz", O::Taken, "F5XYZ"},
        {1, "", O::Unchanged, "F6ABC"},
        {1, "\\F5XYZ", O::Refused, "F6ABC"},
        {2, "15.06.04", O::Taken, "15/06/04"},
        {2, "29/02/03", O::Unchanged, "01/02/03"},
        {2, "1/2/04", O::Unchanged, "01/02/03"},
        {3, "10:15", O::Taken, "10:15"},
        {4, "1015", O::Unchanged, "09:20"},
        {4, "24:00", O::Unchanged, "09:20"},
        {5, "", O::Unchanged, "14.205"},
        {5, "7.050", O::Taken, "7.050"},
        {6, "cw", O::Taken, "CW"},
        {7, "", O::Unchanged, "59"},
        {8, "599", O::Taken, "599"},
        {9, "", O::Taken, ""}, // a stored value may be emptied
        {9, "brest", O::Taken, "BREST"},
        {12, "jean-paul", O::Taken, "Jean-Paul"},
        {14, "", O::Unchanged, ""}, // nothing from nothing
        {15, "OK", O::Taken, "OK"},
        {13, "", O::Taken, ""},
        {17, "f1aaa", O::Taken, "F1AAA"},
        {11, "971", O::Taken, "971"},
        {11, "5", O::Taken, "05"},
        {11, "", O::Taken, ""},
        {11, "975", O::Refused, "35"},
        {11, "96", O::Refused, "35"},
        {11, "0", O::Refused, "35"},
        {10, "io91wm", O::Taken, "IO91WM"},
        {10, "", O::Taken, ""},
        {10, "JN18YU", O::Refused, "IN97QC"},
        {10, "JN18", O::Refused, "IN97QC"},
        {16, "", O::Unchanged, "JN18EU"},
        {16, "IO91WM", O::Taken, "IO91WM"},
        {16, "IO91W", O::Refused, "JN18EU"},
    };
    for (const auto &c : cases) {
        RecordEdit edit;
        edit.load(12, storedContact());
        const auto r = edit.enter(c.field, c.typed);
        const std::string what = "field " + std::to_string(c.field) + " typed \"" + c.typed + "\"";
        EXPECT_EQ(r.outcome, c.outcome) << what;
        EXPECT_EQ(edit.shownText(c.field), c.shown) << what;
        EXPECT_EQ(edit.pendingChanges(), c.outcome == O::Taken ? 1 : 0) << what;
        EXPECT_EQ(r.askConfirmation, c.outcome == O::Taken) << what;
    }
}

TEST(RecordEditStep, EmptiedFieldsStayEmptyWhenNothingWasStored)
{
    QsoRecord bare;
    bare.setField(Field::CSGN, "F6ABC");
    RecordEdit edit;
    edit.load(3, bare);
    for (int field : {9, 10, 11, 12, 13, 14, 15, 17}) {
        EXPECT_EQ(edit.enter(field, "").outcome, EditOutcome::Unchanged) << field;
    }
    EXPECT_EQ(edit.pendingChanges(), 0);
    EXPECT_EQ(edit.confirmationCaption(), " Effacer la Fiche ");
}

TEST(RecordEditStep, EmptiedRemarksAreWrittenAsFifteenBlanks)
{
    RecordEdit edit;
    edit.load(12, storedContact());
    edit.enter(13, "");
    const QsoRecord written = edit.recordToWrite();
    EXPECT_EQ(written.rawField(static_cast<int>(Field::INFO)),
              std::string(15, ' ') + "XYZ" + std::string(12, ' '));

    // Everything else goes back exactly as it was read.
    QsoRecord expected = storedContact();
    expected.setField(Field::INFO, buildInfo("", "XYZ"));
    EXPECT_EQ(written, expected);
}

TEST(RecordEditStep, ChangesCountUntilTheRecordIsShownAgain)
{
    RecordEdit edit;
    edit.load(12, storedContact());
    EXPECT_EQ(edit.confirmationCaption(), " Effacer la Fiche ");
    edit.enter(1, "F5XYZ");
    edit.enter(17, "");
    EXPECT_EQ(edit.pendingChanges(), 2);
    // A later step that changes nothing still asks about the pending ones.
    EXPECT_TRUE(edit.enter(5, "").askConfirmation);
    EXPECT_TRUE(edit.enter(10, "XX99XX").askConfirmation);
    EXPECT_EQ(edit.confirmationCaption(), "Modifier la fiche");
    // The frame names the contact as it is stored, not as it is being changed.
    EXPECT_EQ(edit.storedCallSign(), "F6ABC");
    EXPECT_EQ(edit.recordToWrite().field(Field::CSGN), "F5XYZ");
    EXPECT_EQ(edit.recordToWrite().rawField(static_cast<int>(Field::INFO)),
              "ABC" + std::string(27, ' '));

    // "&Non": the record is displayed again from the file.
    edit.load(12, storedContact());
    EXPECT_EQ(edit.pendingChanges(), 0);
    EXPECT_EQ(edit.recordToWrite(), storedContact());
}

TEST(RecordDisplayTexts, CaptionFieldsAndLabels)
{
    DistanceAzimuth calculator;
    auto d = displayRecord(12, storedContact(), calculator);
    EXPECT_EQ(d.caption, " Fiche N\xB0"
                         "12 ");
    EXPECT_EQ(d.texts[1], "F6ABC");
    EXPECT_EQ(d.texts[13], "ABC");
    EXPECT_EQ(d.texts[17], "XYZ");
    EXPECT_EQ(d.deptCaption, "Ille-et-Vilaine");
    EXPECT_TRUE(d.hasCallSign);
    EXPECT_FALSE(d.labels.distance.empty());
    EXPECT_EQ(d.labels.azimuth.size(), 4u);

    QsoRecord r = storedContact();
    r.setField(Field::SLOC, "IO91WM");
    d = displayRecord(12, r, calculator);
    EXPECT_EQ(d.labels, (DistanceAzimuthTexts{"346 Km", "330\xB0"}));

    r.setField(Field::SLOC, "JN18EU");
    d = displayRecord(12, r, calculator);
    EXPECT_EQ(d.labels, (DistanceAzimuthTexts{"0 Km", "..."}));

    r.setField(Field::SLOC, "JN18");
    d = displayRecord(12, r, calculator);
    EXPECT_EQ(d.labels, DistanceAzimuthTexts{});

    // An unreadable own locator must not measure from the contact shown before.
    r.setField(Field::SLOC, "IO91WM");
    r.setField(Field::MLOC, "KP20LE");
    displayRecord(11, r, calculator);
    r.setField(Field::MLOC, "JN1");
    d = displayRecord(12, r, calculator);
    EXPECT_EQ(d.labels, DistanceAzimuthTexts{});

    // No locator on either side: no distance rather than "0 Km".
    r.setField(Field::SLOC, "");
    r.setField(Field::MLOC, "");
    d = displayRecord(12, r, calculator);
    EXPECT_EQ(d.labels, DistanceAzimuthTexts{});

    r.setField(Field::DEPT, "975");
    r.setField(Field::CSGN, "");
    d = displayRecord(12, r, calculator);
    EXPECT_EQ(d.deptCaption, "");
    EXPECT_FALSE(d.hasCallSign);
}
